#include "app/mast_page.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "core/levels.h"
#include "dialogs/mast_sizing.h"
#include "document/mast_head_end.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/sysutils.h"

namespace {

constexpr auto& Environments = MastEnvironmentTexts;
constexpr auto& Winds = MastWindTexts;
constexpr auto& Systems = MastSystemTexts;
constexpr auto& Bands = MastBandTexts;
constexpr auto& Divergences = MastDivergenceTexts;
constexpr auto& Polarisations = MastPolarisationTexts;
const char* const WindsOfForce[] = {"100", "120", "130", "150", "160", "200"};
const char* const ModeDiameter = "Diametro";
const char* const ModeArea = "Area";
const char* const ModeForce = "Forza";
const char* const ColumnHints[] = {"Diametro tra 25 e 102 mm", "Sezione tra 2 e 6 mm",
                                   "Lunghezza tra .5 e 6 m"};
// What the antenna's figures may be: a dish of 10 cm to 5 m, an area of
// wind up to 100 mq, a thrust up to 100 kN; empty is no value.
TNumberRule DishDiameterRule() { return TNumberRule::Decimal(10, 500, 2, "cm").OrEmpty(); }
TNumberRule AreaRule() { return TNumberRule::Decimal(0, 100, 3, "mq").OrEmpty(); }
TNumberRule ForceRule() { return TNumberRule::Decimal(0, 100000, 2, "N").OrEmpty(); }

// The figure an edit holds as its rule reads it, no value when empty; a
// text the rule does not take (not yet refused) keeps the figure before.
float Figure(const TEdit* edit, float before) {
    double v = LevelNone;
    return edit->HeldRule().Accepts(edit->Text, &v) ? static_cast<float>(v) : before;
}

constexpr int AxisMid = (MastAxisLeft + MastAxisRight) / 2;
constexpr int PickDistance = 10;     // how near a record the pointer must be
constexpr int LeastDragSpacing = 5;  // a dragged item stays this far above the one below
constexpr int ViewHeight = 481;      // the visible part of the mast view

TComboBox* MakeChoice(TComponent* owner, TWinControl* parent, const AnsiString& caption, int captionLeft,
                      int left, int top, int width, std::initializer_list<const char*> items,
                      TLabel** label = nullptr) {
    auto* l = MakeControl<TLabel>(owner, parent, captionLeft, top + 4, left - captionLeft - 2, 13);
    l->Caption = caption;
    if (label) *label = l;
    auto* c = MakeControl<TComboBox>(owner, parent, left, top, width, 21);
    c->Style = csDropDownList;
    for (const char* i : items) c->Items->Add(i);
    return c;
}

AnsiString Number(float v, const char* format) {
    return v == LevelNone ? AnsiString() : FormatFloat(format, v);
}

bool OnAxis(int x) { return x >= MastAxisLeft && x <= MastAxisRight; }
bool OnFirstPlace(int x) { return x >= MastArmFirstLeft && x <= MastArmFirstRight; }
bool OnSecondPlace(int x) { return x >= MastArmSecondLeft && x <= MastArmSecondRight; }

std::unique_ptr<TDatiAntenna> NewItem(int32_t kind) {
    auto item = std::make_unique<TDatiAntenna>();
    item->Kind = kind;
    item->Divergence = 0;
    item->Band = 0;
    item->Polarisation = 0;
    return item;
}

}  // namespace

// ---------------------------------------------------------------- construction

TPaginaSostegno::TPaginaSostegno(TComponent* owner) : TPanel(owner) {
    Width = 814;
    Height = 516;
    BevelOuter = bvNone;
    Caption = "";

    GroupAmbiente = MakeControl<TGroupBox>(this, this, 8, 4, 297, 73);
    GroupAmbiente->Caption = "Condizioni ambientali ";
    ComboAmbiente =
        MakeChoice(this, GroupAmbiente, "Ambiente", 8, 72, 16, 73, {Environments[0], Environments[1]});
    ComboVento = MakeChoice(this, GroupAmbiente, "Vento", 156, 192, 16, 97,
                            {Winds[0], Winds[1], Winds[2], Winds[3]}, &LabelVento);
    ComboSistema =
        MakeChoice(this, GroupAmbiente, "Sistema antenne", 8, 96, 44, 193, {Systems[0], Systems[1]});
    ComboAmbiente->OnChange = Handler(this, &TPaginaSostegno::EnvironmentChange);
    ComboVento->OnChange = Handler(this, &TPaginaSostegno::WindChange);
    ComboSistema->OnChange = Handler(this, &TPaginaSostegno::AntennaSystemChange);

    GroupAntenna = MakeControl<TGroupBox>(this, this, 8, 84, 297, 169);
    GroupAntenna->Caption = "Dati antenna ";
    ComboBanda = MakeChoice(
        this, GroupAntenna, "Banda:", 8, 96, 16, 121,
        {Bands[0], Bands[1], Bands[2], Bands[3], Bands[4], Bands[5], Bands[6], Bands[7], Bands[8], Bands[9]});
    ComboDivergenza = MakeChoice(this, GroupAntenna, "Divergenza:", 8, 96, 40, 121,
                                 {Divergences[0], Divergences[1], Divergences[2]}, &LabelDivergenza);
    ComboPolarita =
        MakeChoice(this, GroupAntenna, "Polarità:", 8, 96, 64, 121, {Polarisations[0], Polarisations[1]});
    ComboResistenza = MakeChoice(this, GroupAntenna, "Resistenza vento", 8, 96, 96, 121,
                                 {ModeDiameter, ModeArea, ModeForce});
    LabelValore = MakeControl<TLabel>(this, GroupAntenna, 8, 124, 86, 13);
    LabelValore->Caption = "Spinta [n]:";
    EditValore = MakeControl<TEdit>(this, GroupAntenna, 96, 120, 41, 21);
    LabelVentoForza = MakeControl<TLabel>(this, GroupAntenna, 142, 124, 70, 13);
    LabelVentoForza->Caption = "Vento [Km/h]:";
    ComboVentoForza = MakeControl<TComboBox>(this, GroupAntenna, 214, 120, 49, 21);
    for (const char* w : WindsOfForce) ComboVentoForza->Items->Add(w);
    LabelDiametro = MakeControl<TLabel>(this, GroupAntenna, 8, 148, 86, 13);
    LabelDiametro->Caption = "Diametro [cm]:";
    EditDiametro = MakeControl<TEdit>(this, GroupAntenna, 96, 144, 41, 21);
    EditDiametro->Holds(DishDiameterRule(), "Diametro");
    EditValore->Holds(ForceRule(), ModeForce);
    for (TComboBox* c : {ComboBanda, ComboDivergenza, ComboPolarita})
        c->OnChange = Handler(this, &TPaginaSostegno::BandChange);
    ComboResistenza->OnChange = Handler(this, &TPaginaSostegno::ResistanceModeChange);
    EditValore->OnChange = Handler(this, &TPaginaSostegno::ValueChange);
    EditDiametro->OnChange = Handler(this, &TPaginaSostegno::ValueChange);
    ComboVentoForza->OnChange = Handler(this, &TPaginaSostegno::ValueChange);

    PTipiAntenna = MakeControl<TPanel>(this, GroupAntenna, 264, 10, 29, 153);
    PTipiAntenna->Caption = "";
    TSpeedButton** kinds[] = {&SBStandard, &SBDiedroO, &SBDiedroD, &SBGrata, &SBLogaritmica, &SBParabola};
    const char* hints[] = {MastItemKindText(MastYagi),        MastItemKindText(MastDihedral),
                           MastItemKindText(MastCurtain),     MastItemKindText(MastGrid),
                           MastItemKindText(MastLogPeriodic), MastItemKindText(MastDish)};
    const char* glyphs[] = {"Y", "D", "C", "G", "L", "P"};
    for (int i = 0; i < 6; ++i) {
        TSpeedButton* b = MakeControl<TSpeedButton>(this, PTipiAntenna, 2, 2 + 25 * i, 25, 25);
        b->GroupIndex = 1;
        b->Hint = hints[i];
        b->ShowHint = true;
        b->Caption = glyphs[i];
        b->OnClick = Handler(this, &TPaginaSostegno::KindClick);
        *kinds[i] = b;
    }
    SBStandard->Down = true;

    PanelSezione = MakeControl<TPanel>(this, this, 8, 260, 116, 124);
    PanelSezione->BevelOuter = bvNone;
    PanelSezione->BorderStyle = bsSingle;
    PanelSezione->Caption = "";
    ImageSezione = MakeControl<TImage>(this, PanelSezione, 0, 0, 113, 121);
    ImageSezione->Picture->Bitmap->SetSize(113, 121);
    DrawSectionSketch(ImageSezione->Canvas);

    PanelAttenzione = MakeControl<TPanel>(this, this, 8, 388, 116, 97);
    PanelAttenzione->Color = clRed;
    PanelAttenzione->Caption = "";
    auto* attention = MakeControl<TLabel>(this, PanelAttenzione, 0, 8, 116, 16);
    attention->AutoSize = false;
    attention->Alignment = taCenter;
    attention->Caption = "ATTENZIONE";
    attention->Font->Style = TFontStyles{fsBold};
    attention->Font->Height = -16;
    MemoAttenzione = MakeControl<TMemo>(this, PanelAttenzione, 8, 32, 97, 81 - 20);
    MemoAttenzione->BorderStyle = bsNone;
    MemoAttenzione->ReadOnly = true;
    MemoAttenzione->Font->Style = TFontStyles{fsBold};
    MemoAttenzione->Color = clRed;

    GroupSostegno = MakeControl<TGroupBox>(this, this, 128, 260, 201, 225);
    GroupSostegno->Caption = "Dati sostegno ";
    ComboTronchi = MakeChoice(this, GroupSostegno, "Tronchi: ", 16, 112, 16, 81,
                              {"1 tronco", "2 tronchi", "3 tronchi", "4 tronchi", "5 tronchi", "6 tronchi"});
    ComboTronchi->OnChange = Handler(this, &TPaginaSostegno::SectionCountChange);
    CheckTelescopici = MakeControl<TCheckBox>(this, GroupSostegno, 16, 44, 129, 17);
    CheckTelescopici->Caption = "Tronchi telescopici";
    CheckTelescopici->OnClick = Handler(this, &TPaginaSostegno::TelescopicClick);
    GridTronchi = MakeControl<TStringGrid>(this, GroupSostegno, 28, 66, 145, 137);
    GridTronchi->ColCount = 4;
    GridTronchi->RowCount = 7;
    GridTronchi->DefaultColWidth = 35;
    GridTronchi->DefaultRowHeight = 18;
    GridTronchi->ScrollBars = ssNone;
    // Without a border the cells fill the grid exactly (4 x 36 wide, count x 19
    // + 19 high): no cell is ever partly hidden, so selecting one never scrolls
    // the sections or the "d [mm]" column out of sight.
    GridTronchi->BorderStyle = bsNone;
    GridTronchi->Options =
        TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing, goTabs};
    GridTronchi->Cells[1][0] = "d [mm]";
    GridTronchi->Cells[2][0] = "s [mm]";
    GridTronchi->Cells[3][0] = "  l [m]";
    for (int r = 1; r <= MastSections; ++r) GridTronchi->Cells[0][r] = std::to_string(r) + "°";
    // The cells show two decimals; an empty cell is a section without that measure.
    for (int measure : {MastMeasureDiameter, MastMeasureThickness, MastMeasureLength})
        GridTronchi->ColumnHolds(measure + 1, MastSectionRule(measure, 2).OrEmpty());
    GridTronchi->OnSelectCell = Handler(this, &TPaginaSostegno::GridSelectCell);
    GridTronchi->OnSetEditText = Handler(this, &TPaginaSostegno::GridSetEditText);
    GridTronchi->OnKeyDown = Handler(this, &TPaginaSostegno::GridKeyDown);
    GridTronchi->OnExit = [this](TObject*) { ShowStoredCell(GridTronchi->Col, GridTronchi->Row); };
    PanelSuggerimento = MakeControl<TPanel>(this, GroupSostegno, 8, 204, 185, 17);
    PanelSuggerimento->Caption = ColumnHints[0];

    TSpeedButton** tools[] = {&BArrowS, &BAggiungi, &BAggiungiBraccioS, &BAggiungiBraccioD};
    const char* toolHints[] = {"", "Aggiunta antenna", "Aggiunta braccio singolo", "Aggiunta braccio doppio"};
    const char* toolGlyphs[] = {"↖", "+", "⊢", "⊥"};
    for (int i = 0; i < 4; ++i) {
        TSpeedButton* b = MakeControl<TSpeedButton>(this, this, 312, 4 + 25 * i, 25, 25);
        b->GroupIndex = 2;
        b->Hint = toolHints[i];
        b->ShowHint = i > 0;
        b->Caption = toolGlyphs[i];
        b->OnClick = Handler(this, &TPaginaSostegno::ToolClick);
        *tools[i] = b;
    }
    BArrowS->Down = true;

    ScrollSostegno = MakeControl<TScrollBox>(this, this, 336, 4, 473, 481);
    ScrollSostegno->HorzScrollBar->Visible = false;
    ImageSostegno = MakeControl<TImage>(this, ScrollSostegno, 0, 0, 453, MastImageHeight);
    ImageSostegno->Picture->Bitmap->SetSize(453, MastImageHeight);
    ImageSostegno->OnMouseDown = Handler(this, &TPaginaSostegno::ImageMouseDown);
    ImageSostegno->OnMouseMove = Handler(this, &TPaginaSostegno::ImageMouseMove);
    ImageSostegno->OnClick = Handler(this, &TPaginaSostegno::ImageClick);

    PopAntenne = new TPopupMenu(this);
    auto item = [&](const char* caption, TNotifyEvent onClick) {
        auto* m = new TMenuItem(this);
        m->Caption = caption;
        m->OnClick = std::move(onClick);
        PopAntenne->Items->Add(m);
        return m;
    };
    auto press = [this](TSpeedButton* b) {
        return [this, b](TObject*) {
            b->Down = true;
            ToolClick(b);
        };
    };
    paDistMin = item("Porta a distanza minima", Handler(this, &TPaginaSostegno::DistMinClick));
    paTDistMin = item("Porta tutto a distanza minima", Handler(this, &TPaginaSostegno::AllDistMinClick));
    paElimina = item("Elimina", Handler(this, &TPaginaSostegno::DeleteClick));
    paModifica = item("Modifica", press(BArrowS));
    paNuovaAntenna = item("Aggiunta antenna", press(BAggiungi));
    paNuovoBs = item("Aggiunta braccio singolo", press(BAggiungiBraccioS));
    paNuovoBd = item("Aggiunta braccio doppio", press(BAggiungiBraccioD));
    paSuoloBasso = item("Suolo ad ancoraggio basso", Handler(this, &TPaginaSostegno::GroundClick));
    paSuoloAlto = item("Suolo ad ancoraggio alto", Handler(this, &TPaginaSostegno::GroundClick));
    paSuoloLibero = item("Suolo libero", Handler(this, &TPaginaSostegno::GroundClick));

    EnableMastControls(false);
}

TPalo& TPaginaSostegno::Palo() const { return *project_->Mast; }

void TPaginaSostegno::Modified() {
    if (project_) project_->SetModified(1);
}

void TPaginaSostegno::SetProject(TProgetto* project) {
    project_ = project;
    if (project_) ShowMast();
}

// ---------------------------------------------------------------- the mast and the page's controls

void TPaginaSostegno::ShowMast() {
    TPalo& palo = Palo();
    {
        TShowing showing(showing_, showing_ + 1);
        ComboVento->ItemIndex = std::clamp(palo.WindClass, 0, 3);
        ComboAmbiente->ItemIndex = std::clamp(palo.Environment, 0, 1);
        ComboSistema->ItemIndex = std::clamp(palo.AntennaSystem, 0, 1);
        ComboVento->Enabled = palo.Environment != 0;
        LabelVento->Enabled = palo.Environment != 0;
        palo.SectionCount = std::clamp(palo.SectionCount, 1, MastSections);
        for (int k = palo.SectionCount; k < MastSections; ++k) {
            palo.Sections[k].Diameter = LevelNone;
            palo.Sections[k].Thickness = LevelNone;
            palo.Sections[k].Length = LevelNone;
        }
        palo.SelectedItem = nullptr;
        palo.SelectedSection = -1;
        CheckTelescopici->Checked = palo.Telescopic != 0;
        ShowSections();
        ShowGround();
        ScrollSostegno->VertScrollBar->Position = 2000;
        EnableMastControls(false);
        LabelValore->Visible = false;
        EditValore->Visible = false;
        LabelVentoForza->Visible = false;
        ComboVentoForza->Visible = false;
        EditValore->Text = "";
        ComboVentoForza->Text = "";
        EditDiametro->Text = "";
    }
    Evaluate();
}

void TPaginaSostegno::ReadAntennaFromForm(TDatiAntenna& item) const {
    if (!item.IsArm()) {
        item.Kind = SelectedKind();
        item.Divergence = ComboDivergenza->ItemIndex;
        item.Band = ComboBanda->ItemIndex;
        item.Polarisation = ComboPolarita->ItemIndex;
    }
    const float diameter = item.Diameter, area = item.Area, force = item.Force;
    item.Force = item.Area = item.Diameter = item.WindOfForce = LevelNone;
    item.Diameter = Figure(EditDiametro, diameter);
    const AnsiString mode = ComboResistenza->Text;
    if (mode == ModeArea) {
        item.Area = Figure(EditValore, area);
    } else if (mode == ModeForce) {
        item.Force = Figure(EditValore, force);
        item.WindOfForce = TextToFloat(ComboVentoForza->Text, LevelNone);
    }
}

void TPaginaSostegno::ShowSections() {
    TPalo& palo = Palo();
    TShowing showing(showing_, showing_ + 1);
    ComboTronchi->ItemIndex = palo.SectionCount - 1;
    GridTronchi->Height = palo.SectionCount * 19 + 20;
    for (int r = 1; r <= MastSections; ++r) {
        const TTroncoPalo& t = palo.Sections[r - 1];
        const bool shown = r <= palo.SectionCount;
        GridTronchi->Cells[1][r] = shown ? Number(t.Diameter, "0.##") : AnsiString();
        GridTronchi->Cells[2][r] = shown ? Number(t.Thickness, "0.##") : AnsiString();
        GridTronchi->Cells[3][r] = shown ? Number(t.Length, "0.##") : AnsiString();
    }
}

void TPaginaSostegno::ShowGround() {
    const int32_t ground = Palo().Ground;
    paSuoloBasso->Checked = ground == -2;
    paSuoloAlto->Checked = ground == -1;
    paSuoloLibero->Checked = ground >= 0;
}

// ---------------------------------------------------------------- evaluation and drawing

void TPaginaSostegno::Evaluate() {
    if (!project_) return;
    layout_ = EvaluateMast(Palo());
    AnsiString text;
    for (const AnsiString& line : layout_.Warnings) text += line + "\r\n";
    {
        TShowing showing(showing_, showing_ + 1);
        MemoAttenzione->Text = text;
    }
    PanelAttenzione->Visible = !layout_.Warnings.empty();
    DrawMast(ImageSostegno->Canvas);
    ImageSostegno->Invalidate();
}

void TPaginaSostegno::DrawSectionSketch(TCanvas* canvas) {
    canvas->Brush->Color = clWhite;
    canvas->FillRect(TRect(0, 0, 113, 121));
    // The tube: outer ring filled, bore white.
    const int cx = 56, cy = 52;
    canvas->Pen->Color = clBlack;
    canvas->Pen->Width = 2;
    canvas->Brush->Color = clGray;
    canvas->Ellipse(cx - 40, cy - 40, cx + 40, cy + 40);
    canvas->Brush->Color = clWhite;
    canvas->Ellipse(cx - 32, cy - 32, cx + 32, cy + 32);
    // Dimension lines with filled arrow heads.
    canvas->Pen->Width = 1;
    canvas->Pen->Color = clGreen;
    canvas->Brush->Color = clGreen;
    auto arrow = [&](int x, int y, int dx) {
        const TPoint head[3] = {TPoint(x, y), TPoint(x - 6 * dx, y - 3), TPoint(x - 6 * dx, y + 3)};
        canvas->Polygon(head);
    };
    const int dy = cy + 50;  // the outer diameter, under the tube
    canvas->MoveTo(cx - 40, cy);
    canvas->LineTo(cx - 40, dy + 4);
    canvas->MoveTo(cx + 40, cy);
    canvas->LineTo(cx + 40, dy + 4);
    canvas->MoveTo(cx - 40, dy);
    canvas->LineTo(cx + 40, dy);
    arrow(cx - 40, dy, -1);
    arrow(cx + 40, dy, 1);
    canvas->MoveTo(cx + 20, cy);  // the wall, on the right
    canvas->LineTo(cx + 32, cy);
    arrow(cx + 32, cy, 1);
    canvas->MoveTo(cx + 52, cy);
    canvas->LineTo(cx + 40, cy);
    arrow(cx + 40, cy, -1);
    canvas->Brush->Style = bsClear;
    canvas->Font->Color = clGreen;
    canvas->TextOut(cx - 3, dy + 2, "d");
    canvas->TextOut(cx + 43, cy - 17, "s");  // beside the ring, clear of it
}

void TPaginaSostegno::DrawMast(TCanvas* canvas) const {
    const TPalo& palo = Palo();
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = clWhite;
    canvas->FillRect(TRect(0, 0, 453, MastImageHeight));
    canvas->Pen->Width = 1;
    canvas->Pen->Color = clBlack;
    canvas->MoveTo(0, MastBaseLineY);
    canvas->LineTo(453, MastBaseLineY);
    if (palo.Ground >= 0) {
        canvas->Pen->Color = clOlive;
        const int gy = MastBaseLineY - palo.Ground;
        canvas->MoveTo(0, gy);
        canvas->LineTo(453, gy);
    }
    // The sections, failing ones in red, the picked one outlined.
    for (int k = 0; k < MastSections; ++k) {
        const TTroncoLayout& s = layout_.Sections[k];
        if (!s.Drawn) continue;
        canvas->Pen->Color = palo.SelectedSection == k ? clBlue : clBlack;
        canvas->Pen->Width = palo.SelectedSection == k ? 2 : 1;
        canvas->Brush->Color = s.Fails() ? clRed : clSilver;
        // A mast taller than the picture (a file may hold any length) is cut at its edges.
        auto inPicture = [](double y) {
            return static_cast<int>(std::clamp(y, -10.0, MastImageHeight + 10.0));
        };
        canvas->Rectangle(s.Left, inPicture(s.Top), s.Right, inPicture(s.Bottom));
    }
    // The foot handle.
    canvas->Pen->Width = 1;
    canvas->Pen->Color = clBlack;
    canvas->Brush->Color = footGrabbed_ ? clBlue : clBlack;
    canvas->Rectangle(MastAxisLeft - 6, layout_.FootY - 3, MastAxisRight + 6, layout_.FootY + 3);
    // The items.
    auto symbol = [&](const TDatiAntenna& a, int left, int right, int y) {
        const bool selected = palo.SelectedItem == &a;
        canvas->Pen->Color = selected ? clBlue : clNavy;
        canvas->Pen->Width = selected ? 2 : 1;
        canvas->Brush->Color = a.Kind == MastDish ? clTeal : clNavy;
        if (a.Kind == MastDish) {
            canvas->Ellipse(left, y - 8, right, y + 8);
        } else {
            canvas->Rectangle(left, y - 3, right, y + 3);
            canvas->MoveTo((left + right) / 2, y - 8);
            canvas->LineTo((left + right) / 2, y + 8);
        }
    };
    for (size_t r = 1; r < layout_.Records.size(); ++r) {
        const TRecordPalo& rec = layout_.Records[r];
        const TDatiAntenna& a = *rec.Item;
        if (a.IsArm()) {
            const bool selected = palo.SelectedItem == &a;
            canvas->Pen->Color = selected ? clBlue : clBlack;
            canvas->Pen->Width = selected ? 2 : 1;
            const int right = a.Kind == MastDoubleArm ? MastArmSecondRight : AxisMid;
            canvas->MoveTo(MastArmFirstLeft, rec.Y);
            canvas->LineTo(right, rec.Y);
            if (a.FirstChild) symbol(*a.FirstChild, MastArmFirstLeft, MastArmFirstRight, rec.Y - 10);
            if (a.SecondChild) symbol(*a.SecondChild, MastArmSecondLeft, MastArmSecondRight, rec.Y - 10);
        } else {
            symbol(a, AxisMid - 30, AxisMid + 30, rec.Y);
        }
    }
    canvas->Pen->Width = 1;
}

// ---------------------------------------------------------------- environment

void TPaginaSostegno::EnvironmentChange(TObject*) {
    if (Showing() || !project_) return;
    TPalo& palo = Palo();
    palo.Environment = std::max(0, ComboAmbiente->ItemIndex.Get());
    const bool adverse = palo.Environment != 0;
    ComboVento->Enabled = adverse;
    LabelVento->Enabled = adverse;
    if (!adverse) {
        palo.WindClass = palo.AntennaSystem;
        ComboVento->ItemIndex = palo.WindClass;
    }
    StoreFormIntoSelected();
    Modified();
    Evaluate();
}

void TPaginaSostegno::AntennaSystemChange(TObject*) {
    if (Showing() || !project_) return;
    TPalo& palo = Palo();
    palo.AntennaSystem = std::max(0, ComboSistema->ItemIndex.Get());
    if (palo.Environment == 0) {
        palo.WindClass = palo.AntennaSystem;
        ComboVento->ItemIndex = palo.WindClass;
    }
    StoreFormIntoSelected();
    Modified();
    Evaluate();
}

void TPaginaSostegno::WindChange(TObject*) {
    if (Showing() || !project_) return;
    Palo().WindClass = std::max(0, ComboVento->ItemIndex.Get());
    StoreFormIntoSelected();
    Modified();
    Evaluate();
}

// ---------------------------------------------------------------- the selected antenna

TSpeedButton* TPaginaSostegno::KindButton(int32_t kind) const {
    switch (kind) {
    case MastDihedral: return SBDiedroO;
    case MastCurtain: return SBDiedroD;
    case MastGrid: return SBGrata;
    case MastLogPeriodic: return SBLogaritmica;
    case MastDish: return SBParabola;
    default: return SBStandard;
    }
}

int32_t TPaginaSostegno::SelectedKind() const {
    if (SBDiedroO->Down) return MastDihedral;
    if (SBDiedroD->Down) return MastCurtain;
    if (SBGrata->Down) return MastGrid;
    if (SBLogaritmica->Down) return MastLogPeriodic;
    if (SBParabola->Down) return MastDish;
    return MastYagi;
}

void TPaginaSostegno::EnableMastControls(bool on) {
    for (TControl* c : std::initializer_list<TControl*>{
             ComboBanda, ComboDivergenza, ComboPolarita, ComboResistenza, EditValore, ComboVentoForza,
             EditDiametro, LabelValore, LabelVentoForza, LabelDiametro, LabelDivergenza, SBStandard,
             SBDiedroO, SBDiedroD, SBGrata, SBLogaritmica, SBParabola})
        c->Enabled = on;
}

TDatiAntenna* TPaginaSostegno::ArmOf(const TDatiAntenna* item) const {
    for (const auto& a : Palo().Antennas.Items)
        if (a->FirstChild.get() == item || a->SecondChild.get() == item) return a.get();
    return nullptr;
}

bool TPaginaSostegno::IsLowest(const TDatiAntenna* item) const {
    const auto& items = Palo().Antennas.Items;
    if (items.empty()) return false;
    const TDatiAntenna* lowest = items.front().get();
    return item == lowest || ArmOf(item) == lowest;
}

void TPaginaSostegno::ShowAntennaData(TDatiAntenna* item, const AnsiString& modeIn) {
    TShowing showing(showing_, showing_ + 1);
    AnsiString mode = modeIn;
    if (!item) {
        SBStandard->Down = true;
        for (TComboBox* c : {ComboBanda, ComboDivergenza, ComboPolarita, ComboResistenza}) c->ItemIndex = -1;
        EditValore->Text = "";
        ComboVentoForza->Text = "";
        LabelVentoForza->Visible = false;
        ComboVentoForza->Visible = false;
        EnableMastControls(false);
        return;
    }
    KindButton(item->Kind)->Down = true;
    const bool dish = item->Kind == MastDish, grid = item->Kind == MastGrid;
    ComboBanda->Enabled = !dish;
    ComboDivergenza->Enabled = true;
    LabelDivergenza->Enabled = true;
    ComboPolarita->Enabled = !dish && !grid;
    if (grid) item->Polarisation = 0;
    if (dish) item->Polarisation = -1;
    if (IsLowest(item)) {
        ComboDivergenza->Enabled = false;
        LabelDivergenza->Enabled = false;
    }
    ComboDivergenza->ItemIndex = ComboDivergenza->Enabled ? item->Divergence : -1;
    ComboBanda->ItemIndex = ComboBanda->Enabled ? item->Band : -1;
    ComboPolarita->ItemIndex = ComboPolarita->Enabled || grid ? item->Polarisation : -1;

    const bool hasDiameter = ComboResistenza->Items->Count() == 3;
    if (!dish) {
        if (hasDiameter) ComboResistenza->Items->Delete(0);
        if (mode == ModeDiameter) mode = "";
        LabelDiametro->Visible = false;
        EditDiametro->Visible = false;
        EditDiametro->Text = "";
    } else {
        if (!hasDiameter) ComboResistenza->Items->Insert(0, ModeDiameter);
        LabelDiametro->Visible = true;
        EditDiametro->Visible = true;
        EditDiametro->Text = Number(item->Diameter, "0.##");
    }
    auto setMode = [&](const char* m) { ComboResistenza->ItemIndex = ComboResistenza->Items->IndexOf(m); };
    if (item->Area == LevelNone && mode != ModeArea) {
        if (dish && item->Force == LevelNone && item->WindOfForce == LevelNone && mode != ModeForce) {
            setMode(ModeDiameter);
            LabelValore->Visible = false;
            EditValore->Visible = false;
            LabelVentoForza->Visible = false;
            ComboVentoForza->Visible = false;
        } else {
            setMode(ModeForce);
            LabelValore->Caption = AnsiString(ModeForce) + "[" + "N" + "]";
            EditValore->Holds(ForceRule(), ModeForce);
            // With its decimals: showing the item again after a band or
            // divergence change reads these edits back into it.
            EditValore->Text = Number(item->Force, "0.##");
            ComboVentoForza->Text = Number(item->WindOfForce, "0.##");
            LabelValore->Visible = true;
            EditValore->Visible = true;
            LabelVentoForza->Visible = true;
            ComboVentoForza->Visible = true;
        }
    } else {
        setMode(ModeArea);
        LabelValore->Caption = AnsiString(ModeArea) + "[" + "mq" + "]";
        EditValore->Holds(AreaRule(), ModeArea);
        EditValore->Text = item->Area == LevelNone ? AnsiString() : FormatFloat("0.###", item->Area);
        ComboVentoForza->Text = "";
        LabelValore->Visible = true;
        EditValore->Visible = true;
        LabelVentoForza->Visible = false;
        ComboVentoForza->Visible = false;
    }
}

void TPaginaSostegno::StoreFormIntoSelected() {
    TPalo& palo = Palo();
    if (palo.SelectedItem && !palo.SelectedItem->IsArm()) ReadAntennaFromForm(*palo.SelectedItem);
}

void TPaginaSostegno::AntennaDataChanged() {
    if (!project_) return;
    TPalo& palo = Palo();
    const AnsiString mode = ComboResistenza->Text;
    if (palo.SelectedItem) {
        ReadAntennaFromForm(*palo.SelectedItem);
        ShowAntennaData(palo.SelectedItem, mode);
        Modified();
        Evaluate();
    }
}

void TPaginaSostegno::BandChange(TObject*) {
    if (!Showing()) AntennaDataChanged();
}

void TPaginaSostegno::ResistanceModeChange(TObject*) {
    if (Showing()) return;
    {
        TShowing showing(showing_, showing_ + 1);
        EditValore->Text = "";
        ComboVentoForza->Text = "";
    }
    AntennaDataChanged();
}

void TPaginaSostegno::ValueChange(TObject*) {
    if (Showing() || !project_ || !Palo().SelectedItem) return;
    // A figure its field does not take is refused on leaving the field; the
    // item keeps the figure before.
    for (const TEdit* edit : {EditValore, EditDiametro})
        if (!edit->HeldRule().Accepts(edit->Text)) return;
    ReadAntennaFromForm(*Palo().SelectedItem);
    Modified();
    Evaluate();
}

void TPaginaSostegno::KindClick(TObject* Sender) {
    if (Showing()) return;
    SetSelectedItemKind(SelectedKind());
    (void)Sender;
}

void TPaginaSostegno::SetSelectedItemKind(int32_t kind) {
    if (!project_) return;
    TDatiAntenna* item = Palo().SelectedItem;
    if (!item) return;
    if ((item->FirstChild || item->SecondChild) && kind != MastDoubleArm) {
        if (kind == MastSingleArm && !item->FirstChild) item->FirstChild = std::move(item->SecondChild);
        if (item->SecondChild || !item->IsArm() || kind != MastSingleArm) {
            const bool loses = item->SecondChild || kind != MastSingleArm;
            if (loses &&
                Application->MessageBox("Attenzione: la modifica richiesta comporta l'eliminazione di una o "
                                        "più antenne. Procedo?",
                                        MastMessageCaption, MB_OKCANCEL | MB_ICONWARNING) != IDOK) {
                ShowAntennaData(item, "");
                return;
            }
        }
    }
    if (kind != MastDoubleArm) item->SecondChild.reset();
    if (kind != MastSingleArm && kind != MastDoubleArm) item->FirstChild.reset();
    item->Kind = kind;
    ShowAntennaData(item, "");
    Modified();
    Evaluate();
}

void TPaginaSostegno::DeleteSelectedItem() {
    if (!project_) return;
    TPalo& palo = Palo();
    TDatiAntenna* item = palo.SelectedItem;
    if (!item) return;
    if (item->FirstChild || item->SecondChild) {
        if (Application->MessageBox(
                "Attenzione: l'eliminazione del braccio selezionato comporta l'eliminazione "
                "delle antenne connesse. Procedo?",
                MastMessageCaption, MB_OKCANCEL | MB_ICONWARNING) != IDOK)
            return;
    }
    palo.SelectedItem = nullptr;
    if (TDatiAntenna* arm = ArmOf(item)) {
        if (arm->FirstChild.get() == item)
            arm->FirstChild.reset();
        else
            arm->SecondChild.reset();
    } else {
        auto& items = palo.Antennas.Items;
        items.erase(
            std::remove_if(items.begin(), items.end(), [&](const auto& p) { return p.get() == item; }),
            items.end());
    }
    ShowAntennaData(nullptr, "");
    Modified();
    Evaluate();
}

// ---------------------------------------------------------------- sections

void TPaginaSostegno::SectionCountChange(TObject*) {
    if (Showing() || !project_) return;
    Palo().SectionCount = std::clamp(ComboTronchi->ItemIndex.Get() + 1, 1, MastSections);
    // Sections above a lowered count keep their data: they show again when
    // the count rises.
    ShowSections();
    Modified();
    Evaluate();
}

void TPaginaSostegno::TelescopicClick(TObject*) {
    if (Showing() || !project_) return;
    TPalo& palo = Palo();
    palo.Telescopic = CheckTelescopici->Checked ? 1 : 0;
    if (!palo.Telescopic)
        for (TTroncoPalo& t : palo.Sections) t.Insertion = LevelNone;
    Modified();
    Evaluate();
}

void TPaginaSostegno::GridSelectCell(TObject*, int ACol, int ARow, bool& CanSelect) {
    if (!project_) return;
    CanSelect = ARow >= 1 && ARow <= Palo().SectionCount;
    if (CanSelect) ShowStoredCell(GridTronchi->Col, GridTronchi->Row);
    if (CanSelect && ACol >= 1 && ACol <= 3) PanelSuggerimento->Caption = ColumnHints[ACol - 1];
}

// The cell left shows what the section keeps: a refused text does not stay
// in sight as if it had been taken.
void TPaginaSostegno::ShowStoredCell(int col, int row) {
    if (!project_ || col < 1 || col > 3 || row < 1 || row > std::min(Palo().SectionCount, MastSections)) return;
    const TTroncoPalo& t = Palo().Sections[row - 1];
    const float stored[] = {t.Diameter, t.Thickness, t.Length};
    TShowing showing(showing_, showing_ + 1);
    GridTronchi->Cells[col][row] = Number(stored[col - 1], "0.##");
}

// Tab walks d, s and l of the sections shown; past the last cell (or before
// the first with Shift) it goes on to the next control of the form.
void TPaginaSostegno::GridKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (Key != VK_TAB || !project_) return;
    const bool back = Shift.Contains(ssShift);
    const int lastRow = std::clamp(Palo().SectionCount, 1, MastSections);
    const bool edge = back ? GridTronchi->Col <= 1 && GridTronchi->Row <= 1
                           : GridTronchi->Col >= 3 && GridTronchi->Row >= lastRow;
    if (!edge) return;
    Key = 0;
    if (TCustomForm* form = GetParentForm(GridTronchi)) form->SelectNext(GridTronchi, !back, true);
}

void TPaginaSostegno::GridSetEditText(TObject*, int ACol, int ARow, const AnsiString& Value) {
    if (Showing() || !project_ || ARow < 1 || ARow > MastSections || ACol < 1 || ACol > 3) return;
    // A text its column does not take changes nothing: leaving the cell
    // refuses it and puts back the measure before.
    double v = LevelNone;
    if (!GridTronchi->CellRule(ACol, ARow).Accepts(Value, &v)) return;
    TTroncoPalo& t = Palo().Sections[ARow - 1];
    float* fields[] = {&t.Diameter, &t.Thickness, &t.Length};
    *fields[ACol - 1] = static_cast<float>(v);
    if (t.Length != LevelNone && t.Insertion != LevelNone && 100.0 * t.Length < t.Insertion + 10)
        t.Insertion = static_cast<float>(100.0 * t.Length - 10);
    Modified();
    Evaluate();
}

// ---------------------------------------------------------------- the mast view

void TPaginaSostegno::ToolClick(TObject* Sender) {
    if (!project_) return;
    StoreFormIntoSelected();
    Palo().SelectedItem = nullptr;
    Palo().SelectedSection = -1;
    footGrabbed_ = groundGrabbed_ = false;
    if (Sender == BArrowS) ShowAntennaData(nullptr, "");
    EnableMastControls(false);
    Evaluate();
}

void TPaginaSostegno::ImageMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    if (!project_) return;
    TPalo& palo = Palo();
    pointer_ = TPoint(X, Y);
    havePointer_ = true;
    lastMoveY_ = Y;
    if (BArrowS->Down) {
        StoreFormIntoSelected();
        palo.SelectedItem = nullptr;
        palo.SelectedSection = -1;
        footGrabbed_ = groundGrabbed_ = false;
        for (size_t r = 0; r < layout_.Records.size(); ++r) {
            const TRecordPalo& rec = layout_.Records[r];
            if (std::abs(rec.Y - Y) > PickDistance) continue;
            if (r == 0) {
                if (OnAxis(X)) {
                    if (palo.Ground >= 1)
                        groundGrabbed_ = true;
                    else if (palo.Ground == -1)
                        footGrabbed_ = true;
                }
                continue;
            }
            TDatiAntenna* a = rec.Item;
            if (a->IsArm() && OnFirstPlace(X) && a->FirstChild)
                palo.SelectedItem = a->FirstChild.get();
            else if (a->Kind == MastDoubleArm && OnSecondPlace(X) && a->SecondChild)
                palo.SelectedItem = a->SecondChild.get();
            else if (OnAxis(X))
                palo.SelectedItem = a;
        }
        if (!palo.SelectedItem && OnAxis(X) && std::abs(layout_.FootY - Y) <= PickDistance)
            footGrabbed_ = true;
        const bool antenna = palo.SelectedItem && !palo.SelectedItem->IsArm();
        EnableMastControls(antenna);
        ShowAntennaData(palo.SelectedItem, "");
        if (!antenna) EnableMastControls(false);
        for (int k = 1; k < palo.SectionCount && !palo.SelectedItem; ++k) {
            const TTroncoLayout& s = layout_.Sections[k];
            if (s.Drawn && X >= s.Left && X <= s.Right && Y >= s.Top && Y <= s.Bottom)
                palo.SelectedSection = k;
        }
        Evaluate();
    }
    if (Button == mbRight) {
        paElimina->Visible = palo.SelectedItem != nullptr;
        paDistMin->Visible = palo.SelectedItem != nullptr || footGrabbed_;
        PopAntenne->Popup(X, Y);
    }
}

void TPaginaSostegno::ImageMouseMove(TObject*, TShiftState Shift, int X, int Y) {
    if (!project_) return;
    const int top = ScrollSostegno->VertScrollBar->Position;
    if (Y >= top && Y < top + ViewHeight) {
        pointer_ = TPoint(X, Y);
        havePointer_ = true;
    }
    if (!BArrowS->Down || !Shift.Contains(ssLeft)) return;
    TPalo& palo = Palo();
    bool changed = false;
    if (palo.SelectedItem && std::abs(Y - lastMoveY_) > 2) {
        // The dragged item follows the pointer, measured from the record below it.
        for (size_t r = 1; r < layout_.Records.size(); ++r)
            if (layout_.Records[r].Item == palo.SelectedItem) {
                const int base = layout_.Records[r - 1].Y;
                if (base - Y >= LeastDragSpacing) {
                    palo.SelectedItem->Spacing = base - Y;
                    changed = true;
                }
            }
        lastMoveY_ = Y;
    } else if (footGrabbed_ && Y < MastBaseLineY - MastMinFoot + 1) {
        palo.FootPosition = MastBaseLineY - Y;
        changed = true;
    } else if (groundGrabbed_) {
        palo.Ground = std::max(1, MastBaseLineY - Y);
        changed = true;
    } else if (palo.Telescopic && palo.SelectedSection >= 1) {
        TTroncoPalo& t = palo.Sections[palo.SelectedSection];
        const TTroncoLayout& below = layout_.Sections[palo.SelectedSection - 1];
        const int insertion = static_cast<int>(Y - below.Top);
        const double bottom = below.Top + insertion;
        if (insertion >= layout_.Sections[palo.SelectedSection].MinInsertion &&
            100.0 * t.Length >= insertion + 10 && bottom < layout_.FootY) {
            t.Insertion = static_cast<float>(insertion);
            changed = true;
        }
    }
    if (changed) {
        Modified();
        Evaluate();
    }
}

void TPaginaSostegno::ImageClick(TObject*) {
    if (!project_ || BArrowS->Down || !havePointer_) return;
    TPalo& palo = Palo();
    if (palo.Antennas.Count() + 1 >= MastMaxItems + 1) return;
    const int32_t kind = BAggiungi->Down ? MastYagi : BAggiungiBraccioS->Down ? MastSingleArm : MastDoubleArm;
    auto item = NewItem(kind);
    const int x = pointer_.x, y = pointer_.y;
    // The records around the pointer: the last below it and the first above.
    int below = 0;
    for (size_t r = 0; r < layout_.Records.size(); ++r)
        if (layout_.Records[r].Y >= y) below = static_cast<int>(r);
    int nearest = below;
    if (below + 1 < static_cast<int>(layout_.Records.size()) &&
        std::abs(layout_.Records[below + 1].Y - y) < std::abs(layout_.Records[below].Y - y))
        nearest = below + 1;
    const TRecordPalo& near = layout_.Records[nearest];
    TDatiAntenna* arm =
        nearest > 0 && std::abs(near.Y - y) <= PickDistance && near.Item->IsArm() ? near.Item : nullptr;
    std::unique_ptr<TDatiAntenna>* place = nullptr;
    if (arm && arm->Kind == MastSingleArm && !arm->FirstChild) {
        place = &arm->FirstChild;
    } else if (arm && arm->Kind == MastDoubleArm) {
        if (!arm->FirstChild && !(!arm->SecondChild && x >= 110))
            place = &arm->FirstChild;
        else if (!arm->SecondChild)
            place = &arm->SecondChild;
    }
    if (place) {
        item->Spacing = 0;
        if (item->IsArm()) item->Kind = MastYagi;
        *place = std::move(item);
    } else if (y >= layout_.FootY) {
        item->Spacing = 0;
        palo.Antennas.InsertAt(0, std::move(item));
    } else {
        item->Spacing = std::max(LeastDragSpacing, layout_.Records[below].Y - y);
        palo.Antennas.InsertAt(below, std::move(item));
    }
    Modified();
    Evaluate();
}

void TPaginaSostegno::DistMinClick(TObject*) {
    if (!project_) return;
    TPalo& palo = Palo();
    if (footGrabbed_) palo.FootPosition = layout_.MinFootPosition;
    for (size_t r = 1; r < layout_.Records.size(); ++r)
        if (palo.SelectedItem && layout_.Records[r].Item == palo.SelectedItem)
            palo.SelectedItem->Spacing = layout_.Records[r].MinSpacing;
    Modified();
    Evaluate();
}

void TPaginaSostegno::AllDistMinClick(TObject*) {
    if (!project_) return;
    TPalo& palo = Palo();
    for (size_t r = 1; r < layout_.Records.size(); ++r)
        layout_.Records[r].Item->Spacing = layout_.Records[r].MinSpacing;
    layout_ = EvaluateMast(palo);
    palo.FootPosition = layout_.MinFootPosition;
    Modified();
    Evaluate();
}

void TPaginaSostegno::DeleteClick(TObject*) { DeleteSelectedItem(); }

void TPaginaSostegno::GroundClick(TObject* Sender) {
    if (!project_) return;
    TPalo& palo = Palo();
    if (Sender == paSuoloBasso)
        palo.Ground = -2;
    else if (Sender == paSuoloAlto)
        palo.Ground = -1;
    else
        palo.Ground = palo.FootPosition / 2;
    ShowGround();
    // The ground is part of the project like any other edit: without the
    // mark a change made alone would be lost on closing.
    Modified();
    Evaluate();
}

// ---------------------------------------------------------------- automatic sizing

// After a design or a load (step 2 on), and only when every antenna and dish
// of the head end has its data.
bool TPaginaSostegno::HeadEndAntennasUsable() const {
    return project_ && project_->Step >= 2 && project_->HeadEndGrid &&
           HeadEndAntennasDescribed(*project_->HeadEndGrid);
}

bool TPaginaSostegno::DetAutSostClick(TObject*) {
    if (!project_) return false;
    if (!DatiAutSost) DatiAutSost = new TDatiAutSost(this);
    const bool headEnd = HeadEndAntennasUsable();
    if (!headEnd) DatiAutSost->RadioDisegno->Checked = true;
    DatiAutSost->RadioTesta->Enabled = headEnd;
    if (DatiAutSost->ShowModal() != mrOk) return false;
    if (DatiAutSost->RadioTesta->Checked && headEnd)
        SizeMastFromHeadEnd();
    else
        SizeMast();
    return true;
}

bool TPaginaSostegno::SizeMastFromHeadEnd() {
    if (!project_) return false;
    TPalo& palo = Palo();
    const TFormaPalo before(palo);
    palo.ClearMast();
    palo.SelectedItem = nullptr;
    palo.SelectedSection = -1;
    const int found = project_->HeadEndGrid ? MastItemsFromHeadEnd(*project_->HeadEndGrid, palo.Antennas) : 0;
    // Every item at its minimum spacing, and the foot where they all fit.
    layout_ = EvaluateMast(palo);
    for (const TRecordPalo& record : layout_.Records)
        if (record.Item) record.Item->Spacing = record.MinSpacing;
    layout_ = EvaluateMast(palo);
    palo.FootPosition = layout_.MinFootPosition;
    if (!SearchSections()) {
        SizingFailed(before);
        return false;
    }
    ShowGround();
    ShowAntennaData(nullptr, "");
    SizingDone();
    if (found <= MastMaxItems) return true;
    {
        TShowing showing(showing_, showing_ + 1);
        MemoAttenzione->Lines->Add(HeadEndItemsDropped);
    }
    PanelAttenzione->Visible = true;
    return true;
}

bool TPaginaSostegno::SizeMast() {
    if (!project_) return false;
    const TFormaPalo before(Palo());
    if (!SearchSections()) {
        SizingFailed(before);
        return false;
    }
    SizingDone();
    return true;
}

bool TPaginaSostegno::SearchSections() {
    const bool telescopic = DatiAutSost && DatiAutSost->CheckTelescopici->Checked;
    const std::vector<TTroncoPalo> candidates =
        DatiAutSost ? DatiAutSost->SelectedSections() : std::vector<TTroncoPalo>{};
    return SizeMastSections(Palo(), candidates, telescopic);
}

void TPaginaSostegno::SizingDone() {
    {
        TShowing showing(showing_, showing_ + 1);
        CheckTelescopici->Checked = Palo().Telescopic != 0;
    }
    Modified();
    ShowSections();
    Evaluate();
}

// The mast as it was before the command, shown again, and the message: the
// person keeps the sections typed or sized before, and the project is not
// marked changed by a sizing that changed nothing.
void TPaginaSostegno::SizingFailed(const TFormaPalo& before) {
    before.PutBack(Palo());
    {
        TShowing showing(showing_, showing_ + 1);
        CheckTelescopici->Checked = Palo().Telescopic != 0;
    }
    footGrabbed_ = groundGrabbed_ = false;
    ShowSections();
    ShowGround();
    ShowAntennaData(nullptr, "");
    Evaluate();
    Application->MessageBox(SizingFailure, MastMessageCaption, MB_OK | MB_ICONWARNING);
}
