#include "app/lightning_pages.h"

#include <algorithm>
#include <cmath>

#include "core/control_builders.h"
#include "document/lightning.h"
#include "document/lightning_texts.h"
#include "document/project.h"

namespace {

using namespace lightning_texts;

constexpr int32_t None = static_cast<int32_t>(LevelNone);
constexpr TColor CaptionColour = clNavy;
constexpr TColor ValueColour = clMaroon;

AnsiString SizeText(int32_t value) { return value == None ? AnsiString() : IntToStr(value); }

// What the sizes may be, in whole metres and square metres: a structure up
// to 10 km long and wide and 1000 m high (the incoming-line term 1000 - H
// stays positive, the collection area within a 32-bit count); empty is no
// value. A count of incoming lines is 0 to 100, empty counting none.
TNumberRule LengthRule() { return TNumberRule::Whole(1, 10000, "m").OrEmpty(); }
TNumberRule HeightRule() { return TNumberRule::Whole(1, 1000, "m").OrEmpty(); }
TNumberRule CollectionAreaRule() { return TNumberRule::Whole(1, 100000000, "mq").OrEmpty(); }
TNumberRule StructureAreaRule() { return TNumberRule::Whole(1, 10000000, "mq").OrEmpty(); }
TNumberRule LineCountRule() { return TNumberRule::Whole(0, 100).OrEmpty(); }

// The size a text stands for under its rule: no value when empty; a text the
// rule does not take (refused when its place is left) keeps `before`.
int32_t TakenSize(const TNumberRule& rule, const AnsiString& text, int32_t before) {
    double v = None;
    return rule.Accepts(text, &v) ? static_cast<int32_t>(v) : before;
}
int32_t TakenSize(const TEdit* edit, int32_t before) { return TakenSize(edit->HeldRule(), edit->Text, before); }

TComboBox* MakeChoice(TWinControl* parent, int left, int top, int width,
                      std::initializer_list<const char*> items) {
    TComboBox* combo = MakeComboBoxAt(parent, left, top, width, clBlack);
    combo->Style = csDropDownList;
    for (const char* item : items) combo->Items->Add(item);
    return combo;
}

// A label as wide as its text, in the builders' font.
TLabel* MakeText(TWinControl* parent, int left, int top, const AnsiString& text, TColor colour) {
    auto* label = new TLabel(parent);
    label->Parent = parent;
    label->Font->Name = "Arial";
    label->Font->Height = -11;
    label->Font->Color = colour;
    label->Transparent = true;
    label->SetBounds(left, top, 0, 14);
    label->Caption = text;
    return label;
}

TLabel* MakeCaption(TWinControl* parent, int left, int top, const AnsiString& text) {
    return MakeText(parent, left, top, text, CaptionColour);
}

TLabel* MakeValue(TWinControl* parent, int left, int top, int width) {
    TLabel* label = MakeText(parent, left, top, NoResult, ValueColour);
    label->AutoSize = false;
    label->Width = width;
    return label;
}

// The sketch of a parallelepiped with its length, width and height.
void DrawStructureSketch(TCanvas* canvas, const TRect& r) {
    canvas->Brush->Color = clWhite;
    canvas->FillRect(r);
    canvas->Pen->Color = clBlack;
    const int w = r.Width(), h = r.Height();
    const int x0 = r.Left + w / 5, y0 = r.Top + h * 2 / 5, bw = w * 2 / 5, bh = h * 2 / 5, dx = w / 5,
              dy = h / 6;
    canvas->Brush->Color = TColor(0xE0E0E0);
    canvas->Polygon({TPoint(x0, y0), TPoint(x0 + bw, y0), TPoint(x0 + bw, y0 + bh), TPoint(x0, y0 + bh)});
    canvas->Polygon(
        {TPoint(x0, y0), TPoint(x0 + dx, y0 - dy), TPoint(x0 + bw + dx, y0 - dy), TPoint(x0 + bw, y0)});
    canvas->Polygon({TPoint(x0 + bw, y0), TPoint(x0 + bw + dx, y0 - dy), TPoint(x0 + bw + dx, y0 + bh - dy),
                     TPoint(x0 + bw, y0 + bh)});
    canvas->Brush->Style = bsClear;
    canvas->TextOut(x0 + bw / 2 - 3, y0 + bh + 4, "L");
    canvas->TextOut(x0 + bw + dx / 2 + 6, y0 + bh - dy / 2 + 2, "W");
    canvas->TextOut(x0 - 14, y0 + bh / 2 - 6, "H");
    canvas->Brush->Style = bsSolid;
}

TPaintBox* MakeSketch(TWinControl* parent, int left, int top, int width, int height) {
    auto* box = new TPaintBox(parent);
    box->Parent = parent;
    box->SetBounds(left, top, width, height);
    box->OnPaint = [box](TObject*) { DrawStructureSketch(box->Canvas, box->ClientRect()); };
    return box;
}

}  // namespace

// ---------------------------------------------------------------- "Fulmini 81.1"

TPaginaFulmini811::TPaginaFulmini811(TComponent* owner) : TPanel(owner) {
    Caption = "";
    BevelOuter = bvNone;
    SetBounds(0, 0, 812, 492);

    MakeCaption(this, 8, 4, "Tipo di struttura");
    ListaStrutture = new TListBox(this);
    ListaStrutture->Parent = this;
    ListaStrutture->SetBounds(8, 20, 340, 292);
    ListaStrutture->ItemHeight = 16;
    ListaStrutture->MultiSelect = true;
    ListaStrutture->ExtendedSelect = false;
    for (int i = 0; i < StructureTypes; ++i) ListaStrutture->Items->Add(StructureTypeCaption(i));
    ListaStrutture->OnClick = Handler(this, &TPaginaFulmini811::ListaStruttureClick);

    MakeCaption(this, 352, 4, "Area [mq]");
    GrigliaAree = new TStringGrid(this);
    GrigliaAree->Parent = this;
    GrigliaAree->SetBounds(352, 20, 57, 292);
    GrigliaAree->ColCount = 1;
    GrigliaAree->RowCount = StructureTypes;
    GrigliaAree->FixedCols = 0;
    GrigliaAree->FixedRows = 0;
    GrigliaAree->DefaultColWidth = 50;
    GrigliaAree->DefaultRowHeight = 15;
    GrigliaAree->ScrollBars = ssNone;
    GrigliaAree->Options = TGridOptions{goVertLine, goHorzLine, goEditing};
    GrigliaAree->ColumnHolds(0, StructureAreaRule());
    GrigliaAree->OnSelectCell = Handler(this, &TPaginaFulmini811::GrigliaAreeSelectCell);
    GrigliaAree->OnSetEditText = Handler(this, &TPaginaFulmini811::GrigliaAreeSetEditText);

    TGroupBox* calcoli = MakeGroupBoxAt(this, 415, 4, 123, 269, "Calcoli");
    TLabel** values[] = {&ValoreSenzaAntenne, &ValoreConAntenne, &ValoreTollerabile};
    const char* second[] = {"diretta senza ant.", "diretta con ant.", "tollerabile"};
    for (int i = 0; i < 3; ++i) {
        const int top = 20 + i * 82;
        MakeCaption(calcoli, 8, top, "Freq. fulminazione");
        MakeCaption(calcoli, 8, top + 15, second[i]);
        MakeCaption(calcoli, 8, top + 30, "[fulmini/anno]:");
        *values[i] = MakeValue(calcoli, 8, top + 48, 105);
    }

    MakeCaption(this, 416, 277, "Rischio di incendio");
    ComboRischio = MakeChoice(this, 416, 292, 121, {FireRisks811[0], FireRisks811[1], FireRisks811[2]});
    ComboRischio->OnChange = Handler(this, &TPaginaFulmini811::ComboRischioChange);

    MakeCaption(this, 8, 328, "Comune");
    ComboComune = MakeChoice(this, 96, 324, 169, {});
    for (const auto& m : TabelleFulmini811().Municipalities) ComboComune->Items->Add(m.first);
    ComboComune->OnChange = Handler(this, &TPaginaFulmini811::ComboComuneChange);
    MakeCaption(this, 300, 328, "Densità fulmini");
    ComboDensita =
        MakeChoice(this, 400, 324, 137, {FlashDensities811[0], FlashDensities811[1], FlashDensities811[2]});
    ComboDensita->OnChange = Handler(this, &TPaginaFulmini811::ComboDensitaChange);
    MakeCaption(this, 8, 360, "Coeff. amb.");
    ComboCoeffAmb = MakeChoice(
        this, 96, 356, 441, {Environments811[0], Environments811[1], Environments811[2], Environments811[3]});
    ComboCoeffAmb->OnChange = Handler(this, &TPaginaFulmini811::ComboCoeffAmbChange);
    MakeCaption(this, 8, 392, "con ant.");
    ComboCoeffAmbAnt = MakeChoice(
        this, 96, 388, 441, {Environments811[0], Environments811[1], Environments811[2], Environments811[3]});
    ComboCoeffAmbAnt->OnChange = Handler(this, &TPaginaFulmini811::ComboCoeffAmbAntChange);

    TGroupBox* esito = MakeGroupBoxAt(this, 8, 420, 529, 65, "Esito analisi");
    auto* panel = new TPanel(esito);
    panel->Parent = esito;
    panel->SetBounds(8, 16, 513, 42);
    panel->BevelOuter = bvLowered;
    panel->Caption = "";
    LabelInsufficienti = MakeText(panel, 8, 4, InsufficientData, clRed);
    LabelEsitoSenza = MakeText(panel, 8, 4, "", clBlack);
    LabelEsitoCon = MakeText(panel, 8, 22, "", clBlack);

    TGroupBox* descrizione = MakeGroupBoxAt(this, 544, 4, 261, 481, "Descrizione struttura");
    MakeSketch(descrizione, 8, 18, 245, 210);
    RadioParallelepipeda = MakeRadioButtonAt(descrizione, 8, 236, 240, "Struttura parallelepipeda");
    RadioComplessa = MakeRadioButtonAt(descrizione, 8, 390, 240, "Struttura complessa");
    RadioParallelepipeda->OnClick = Handler(this, &TPaginaFulmini811::FormaClick);
    RadioComplessa->OnClick = Handler(this, &TPaginaFulmini811::FormaClick);
    struct {
        TEdit** edit;
        int top;
        const char* caption;
        TNumberRule rule;
    } edits[] = {
        {&EditLunghezza, 258, "Lunghezza [m]", LengthRule()},
        {&EditLarghezza, 286, "Larghezza [m]", LengthRule()},
        {&EditAltezzaSenza, 314, "Altezza senza antenne [m]", HeightRule()},
        {&EditAltezzaCon, 342, "Altezza con antenne [m]", HeightRule()},
        {&EditAreaSenza, 412, "Area raccolta senza antenne [mq]", CollectionAreaRule()},
        {&EditAreaCon, 440, "Area raccolta con antenne [mq]", CollectionAreaRule()},
    };
    for (auto& e : edits) {
        MakeCaption(descrizione, 12, e.top + 3, e.caption);
        *e.edit = MakeEditAt(descrizione, 184, e.top, 65, clBlack);
        (*e.edit)->Holds(e.rule, e.caption);
        (*e.edit)->OnChange = Handler(this, &TPaginaFulmini811::DimensioneChange);
    }
}

TPalo* TPaginaFulmini811::Mast() const { return project_ ? project_->Mast.get() : nullptr; }

void TPaginaFulmini811::SetProject(TProgetto* project) {
    project_ = project;
    Fill();
}

void TPaginaFulmini811::Fill() {
    TPalo* mast = Mast();
    if (!mast) return;
    updating_ = true;
    for (int i = 0; i < StructureTypes; ++i) {
        ListaStrutture->Selected[i] = mast->StructureSelected[i] != 0;
        GrigliaAree->Cells[0][i] = SizeText(mast->StructureArea[i]);
    }
    ComboRischio->ItemIndex = mast->FireRisk;
    ComboDensita->ItemIndex = mast->FlashDensity;
    ComboComune->ItemIndex =
        mast->Municipality.empty() ? -1 : ComboComune->Items->IndexOf(mast->Municipality);
    ComboCoeffAmb->ItemIndex = mast->EnvironmentFactor;
    ComboCoeffAmbAnt->ItemIndex = mast->EnvironmentFactorWithAntennas;
    RadioParallelepipeda->Checked = mast->Parallelepiped != 0;
    RadioComplessa->Checked = mast->Parallelepiped == 0;
    EditLunghezza->Text = SizeText(mast->Length);
    EditLarghezza->Text = SizeText(mast->Width);
    EditAltezzaSenza->Text = SizeText(mast->HeightWithout);
    EditAltezzaCon->Text = SizeText(mast->HeightWith);
    EditAreaSenza->Text = SizeText(mast->CollectionAreaWithout);
    EditAreaCon->Text = SizeText(mast->CollectionAreaWith);
    UpdateAreaEditing();
    updating_ = false;
    ShowEvaluation();
}

void TPaginaFulmini811::ShowEvaluation() {
    TPalo* mast = Mast();
    if (!mast) return;
    const TEsitoFulmini811 e = EvaluateLightning811(*mast);
    LabelInsufficienti->Visible = e.Insufficient;
    LabelEsitoSenza->Visible = !e.Insufficient;
    LabelEsitoCon->Visible = !e.Insufficient;
    if (e.Insufficient) {
        ValoreSenzaAntenne->Caption = NoResult;
        ValoreConAntenne->Caption = NoResult;
        ValoreTollerabile->Caption = NoResult;
        return;
    }
    ValoreSenzaAntenne->Caption = FormatFloat(FrequencyMask, e.FrequencyWithout);
    ValoreConAntenne->Caption = FormatFloat(FrequencyMask, e.FrequencyWith);
    ValoreTollerabile->Caption = FormatFloat(FrequencyMask, e.TolerableFrequency);
    LabelEsitoSenza->Caption = SelfProtection811[0][e.SelfProtectedWithout];
    LabelEsitoCon->Caption = SelfProtection811[1][e.SelfProtectedWith];
}

void TPaginaFulmini811::UpdateAreaEditing() {
    const TPalo* mast = Mast();
    if (!mast) return;
    // The current area cell stays on a selected type; with none the areas are not edited.
    const int row = GrigliaAree->Row;
    int target = row >= 0 && row < StructureTypes && mast->StructureSelected[row] ? row : -1;
    for (int i = 0; i < StructureTypes && target < 0; ++i)
        if (mast->StructureSelected[i]) target = i;
    TGridOptions options = GrigliaAree->Options;
    if (target < 0) {
        GrigliaAree->EditorMode = false;
        options >> goEditing;
    } else {
        options << goEditing;
    }
    GrigliaAree->Options = options;
    if (target >= 0 && target != row) GrigliaAree->Row = target;
}

void TPaginaFulmini811::Changed() {
    if (project_) project_->Modified = true;
    ShowEvaluation();
}

void TPaginaFulmini811::ListaStruttureClick(TObject*) {
    TPalo* mast = Mast();
    if (updating_ || !mast) return;
    for (int i = 0; i < StructureTypes; ++i)
        mast->StructureSelected[i] = ListaStrutture->IsSelected(i) ? 1 : 0;
    UpdateAreaEditing();
    Changed();
}

void TPaginaFulmini811::GrigliaAreeSelectCell(TObject*, int, int ARow, bool& CanSelect) {
    const TPalo* mast = Mast();
    CanSelect = mast && ARow >= 0 && ARow < StructureTypes && mast->StructureSelected[ARow];
}

void TPaginaFulmini811::GrigliaAreeSetEditText(TObject*, int, int ARow, const AnsiString& Value) {
    TPalo* mast = Mast();
    if (updating_ || !mast || ARow < 0 || ARow >= StructureTypes || !mast->StructureSelected[ARow]) return;
    // A text the column does not take is refused on leaving the cell.
    if (!GrigliaAree->CellRule(0, ARow).Accepts(Value)) return;
    mast->StructureArea[ARow] = TakenSize(GrigliaAree->CellRule(0, ARow), Value, mast->StructureArea[ARow]);
    Changed();
}

void TPaginaFulmini811::ComboRischioChange(TObject*) {
    TPalo* mast = Mast();
    if (updating_ || !mast) return;
    mast->FireRisk = ComboRischio->ItemIndex;
    Changed();
}

void TPaginaFulmini811::ComboComuneChange(TObject*) {
    TPalo* mast = Mast();
    if (updating_ || !mast) return;
    const auto& table = TabelleFulmini811().Municipalities;
    const int index = ComboComune->ItemIndex;
    mast->FlashDensity = -1;
    mast->Municipality.clear();
    if (index >= 0 && index < static_cast<int>(table.size())) {
        const AnsiString& density = table[index].second;
        if (density == "1,5")
            mast->FlashDensity = 0;
        else if (density == "2,5")
            mast->FlashDensity = 1;
        else if (density == "4")
            mast->FlashDensity = 2;
        mast->Municipality = table[index].first;
    }
    updating_ = true;
    ComboDensita->ItemIndex = mast->FlashDensity;
    updating_ = false;
    Changed();
}

void TPaginaFulmini811::ComboDensitaChange(TObject*) {
    TPalo* mast = Mast();
    if (updating_ || !mast) return;
    updating_ = true;
    ComboComune->ItemIndex = -1;
    updating_ = false;
    mast->Municipality.clear();
    mast->FlashDensity = ComboDensita->ItemIndex;
    Changed();
}

void TPaginaFulmini811::ComboCoeffAmbChange(TObject*) {
    TPalo* mast = Mast();
    if (updating_ || !mast) return;
    mast->EnvironmentFactor = ComboCoeffAmb->ItemIndex;
    Changed();
}

void TPaginaFulmini811::ComboCoeffAmbAntChange(TObject*) {
    TPalo* mast = Mast();
    if (updating_ || !mast) return;
    mast->EnvironmentFactorWithAntennas = ComboCoeffAmbAnt->ItemIndex;
    Changed();
}

void TPaginaFulmini811::FormaClick(TObject*) {
    TPalo* mast = Mast();
    if (updating_ || !mast) return;
    mast->Parallelepiped = RadioParallelepipeda->Checked ? 1 : 0;
    Changed();
}

void TPaginaFulmini811::DimensioneChange(TObject* Sender) {
    TPalo* mast = Mast();
    if (updating_ || !mast) return;
    const std::pair<TEdit*, int32_t*> fields[] = {
        {EditLunghezza, &mast->Length},
        {EditLarghezza, &mast->Width},
        {EditAltezzaSenza, &mast->HeightWithout},
        {EditAltezzaCon, &mast->HeightWith},
        {EditAreaSenza, &mast->CollectionAreaWithout},
        {EditAreaCon, &mast->CollectionAreaWith},
    };
    for (const auto& [edit, field] : fields) {
        if (Sender != edit) continue;
        // A text the field does not take is refused on leaving it.
        if (!edit->HeldRule().Accepts(edit->Text)) return;
        *field = TakenSize(edit, *field);
    }
    Changed();
}

// ---------------------------------------------------------------- "Fulmini 81.10-2"

int32_t TCaselleBit::Bits() const {
    int32_t bits = 0;
    for (const auto& [box, bit] : Boxes)
        if (box->Checked) bits |= int32_t(1) << bit;
    return bits;
}

void TCaselleBit::Show(int32_t bits) const {
    for (const auto& [box, bit] : Boxes) box->Checked = (bits >> bit) & 1;
}

TPaginaFulmini8110::TPaginaFulmini8110(TComponent* owner) : TPanel(owner) {
    Caption = "";
    BevelOuter = bvNone;
    // The page fits the room a main window of about 1000 x 700 pixels gives
    // it: check rows 19 pixels apart, choice rows 28.
    SetBounds(0, 0, 984, 604);
    constexpr int CheckStep = 19;
    constexpr int ChoiceStep = 28;
    constexpr int ChoiceTop = 286;
    const TNotifyEvent change = Handler(this, &TPaginaFulmini8110::ControlChange);
    auto box = [&](TWinControl* parent, int left, int top, int width, const char* caption) {
        TCheckBox* b = MakeCheckBoxAt(parent, left, top, width, caption);
        b->OnClick = change;
        return b;
    };
    auto factor = [&](TWinControl* parent, int left, int top, const char* caption, int valueLeft) {
        MakeCaption(parent, left, top, caption);
        return MakeValue(parent, valueLeft, top, 60);
    };

    TGroupBox* struttura = MakeGroupBoxAt(this, 8, 8, 160, 270, "Tipo struttura ");
    int top = 18;
    for (const auto& [caption, bit] : StructureKindBoxes) {
        TipoStruttura.Boxes.push_back({box(struttura, 8, top, 145, caption), bit});
        top += CheckStep;
    }
    PersoneEsterno = box(struttura, 8, top + 6, 150, "Previste persone esterno");
    ValoreLt = factor(struttura, 8, 234, CaptionLt, 96);
    ValoreLf = factor(struttura, 8, 250, CaptionLf, 96);

    TGroupBox* suolo = MakeGroupBoxAt(this, 176, 8, 152, 270, "Tipo suolo, pavimentazione ");
    top = 18;
    for (int i = 0; i < 10; ++i) {
        Pavimentazione.Boxes.push_back({box(suolo, 8, top, 136, FloorKindBoxes[i]), i});
        top += CheckStep;
    }
    ValoreRaFattore = factor(suolo, 8, 250, CaptionRa, 88);

    TGroupBox* incendi = MakeGroupBoxAt(this, 336, 8, 212, 270, "Prevenzione incendi ");
    top = 18;
    for (int i = 0; i < 8; ++i) {
        Prevenzione.Boxes.push_back({box(incendi, 8, top, 200, FireProvisionBoxes[i]), i});
        top += CheckStep;
    }
    ValoreRp = factor(incendi, 8, 250, CaptionRp, 88);

    TGroupBox* calcoli = MakeGroupBoxAt(this, 556, 8, 152, 270, "Calcoli");
    TLabel** results[] = {&ValoreRa, &ValoreRb, &ValoreRu, &ValoreRv, &ValoreR1, &ValoreTollerabile};
    const char* formulas[] = {FormulaRa, FormulaRb, "Ru", "Rv", FormulaR1, TolerableRiskCaption};
    for (int i = 0; i < 6; ++i) {
        MakeCaption(calcoli, 8, 20 + i * 40, formulas[i]);
        *results[i] = MakeValue(calcoli, 24, 36 + i * 40, 110);
    }

    auto choiceTop = [&](int row) { return ChoiceTop + row * ChoiceStep; };
    MakeCaption(this, 8, choiceTop(0) + 4, "Pericolo particolare");
    ComboPericolo = MakeChoice(this, 144, choiceTop(0), 170, {});
    for (const auto& item : SpecialHazards) ComboPericolo->Items->Add(item.first);
    ComboPericolo->OnChange = change;
    ValoreHz = factor(this, 320, choiceTop(0) + 4, CaptionHz, 390);
    MakeCaption(this, 8, choiceTop(1) + 4, "Rischio di incendio");
    ComboRischio = MakeChoice(this, 144, choiceTop(1), 170, {});
    for (const char* item : FireRisks8110) ComboRischio->Items->Add(item);
    ComboRischio->OnChange = change;
    ValoreRf = factor(this, 320, choiceTop(1) + 4, CaptionRf, 390);
    MakeCaption(this, 8, choiceTop(2) + 4, "Comune");
    ComboComune = MakeChoice(this, 96, choiceTop(2), 218, {});
    ComboComune->OnChange = change;
    ValoreNg = factor(this, 320, choiceTop(2) + 4, "Ng", 390);
    MakeCaption(this, 8, choiceTop(3) + 4, "Coeff. amb.");
    ComboCoeffAmb = MakeChoice(this, 96, choiceTop(3), 441, {});
    for (const char* item : Surroundings8110) ComboCoeffAmb->Items->Add(item);
    ComboCoeffAmb->OnChange = change;
    ValoreCa = factor(this, 545, choiceTop(3) + 4, CaptionCa, 620);

    TGroupBox* ipotesi = MakeGroupBoxAt(this, 460, choiceTop(0), 248, 48, "Ipotesi essenziali ");
    DanniImpianti = box(ipotesi, 8, 20, 236, "Danni impianti non arrecano pericolo vita");

    TGroupBox* dimensioni = MakeGroupBoxAt(this, 715, 8, 261, 386, "Dimensioni struttura ");
    MakeSketch(dimensioni, 8, 18, 245, 160);
    RadioParallelepipeda = MakeRadioButtonAt(dimensioni, 8, 184, 240, "Struttura parallelepipeda");
    RadioParallelepipeda->OnClick = change;
    const struct {
        TEdit** edit;
        int top;
        const char* caption;
        TNumberRule rule;
    } sizes[] = {
        {&EditLunghezza, 206, "Lunghezza [m]", LengthRule()},
        {&EditLarghezza, 232, "Larghezza [m]", LengthRule()},
        {&EditAltezza, 258, "Altezza [m]", HeightRule()},
        {&EditArea, 310, "Area raccolta (Aa) [mq]", CollectionAreaRule()},
    };
    for (const auto& s : sizes) {
        MakeCaption(dimensioni, 24, s.top + 3, s.caption);
        *s.edit = MakeEditAt(dimensioni, 184, s.top, 65, clBlack);
        (*s.edit)->Holds(s.rule, s.caption);
        (*s.edit)->OnChange = change;
    }
    RadioComplessa = MakeRadioButtonAt(dimensioni, 8, 288, 240, "Struttura complessa");
    RadioComplessa->OnClick = change;
    MakeCaption(dimensioni, 8, 340, FormulaNd);
    ValoreNd = MakeValue(dimensioni, 184, 358, 70);

    TGroupBox* servizi = MakeGroupBoxAt(this, 8, 398, 966, 140, "Servizi entranti ");
    const char* heads[] = {"N.", "Al", "Nl", "Ru", "Rv"};
    const int columns[] = {160, 212, 292, 372, 462};
    for (int c = 0; c < 5; ++c) MakeCaption(servizi, columns[c], 16, heads[c]);
    for (int i = 0; i < 4; ++i) {
        const int rowTop = 34 + i * 25;
        MakeCaption(servizi, 8, rowTop + 3, LineCaptions[i]);
        EditLinee[i] = MakeEditAt(servizi, columns[0], rowTop, 40, clBlack);
        EditLinee[i]->Holds(LineCountRule(), LineCaptions[i]);
        EditLinee[i]->OnChange = change;
        ValoreAl[i] = MakeValue(servizi, columns[1], rowTop + 3, 75);
        ValoreNl[i] = MakeValue(servizi, columns[2], rowTop + 3, 75);
        ValoreRuLinea[i] = MakeValue(servizi, columns[3], rowTop + 3, 85);
        ValoreRvLinea[i] = MakeValue(servizi, columns[4], rowTop + 3, 85);
    }
    MakeCaption(servizi, 560, 16, "Tipo suolo ");
    for (int i = 0; i < 6; ++i) {
        const auto& [caption, bit] = LineSoilBoxes[i];
        SuoloLinee.Boxes.push_back({box(servizi, 560 + (i / 3) * 90, 34 + (i % 3) * 25, 86, caption), bit});
    }
    MakeCaption(servizi, 760, 34, FormulaNl);
    MakeCaption(servizi, 760, 59, FormulaRu);
    MakeCaption(servizi, 760, 84, FormulaRv);
    ValoreRuFattore = factor(servizi, 760, 112, "ru", 790);

    TGroupBox* esito = MakeGroupBoxAt(this, 8, 540, 966, 58, "Esito analisi");
    auto* panel = new TPanel(esito);
    panel->Parent = esito;
    panel->SetBounds(8, 18, 950, 36);
    panel->BevelOuter = bvLowered;
    panel->Caption = "";
    LabelInsufficienti = MakeText(panel, 8, 2, InsufficientData, clRed);
    LabelEsitoRischio = MakeText(panel, 8, 2, "", clBlack);
    LabelEsitoVerdetto = MakeText(panel, 8, 18, "", clBlack);
}

TFulmini* TPaginaFulmini8110::Lightning() const { return project_ ? project_->Lightning.get() : nullptr; }

void TPaginaFulmini8110::SetProject(TProgetto* project) {
    project_ = project;
    Fill();
}

void TPaginaFulmini8110::Fill() {
    TFulmini* f = Lightning();
    if (!f) return;
    updating_ = true;
    TipoStruttura.Show(f->StructureKinds);
    PersoneEsterno->Checked = f->PersonsOutside != 0;
    Pavimentazione.Show(f->FloorKinds);
    Prevenzione.Show(f->FireProvisions);
    SuoloLinee.Show(f->LineSoilKinds);
    ComboPericolo->ItemIndex = -1;
    for (int i = 0; i < static_cast<int>(std::size(SpecialHazards)); ++i)
        if (SpecialHazards[i].second == f->SpecialHazard) ComboPericolo->ItemIndex = i;
    ComboRischio->ItemIndex =
        f->FireRisk >= 0 && f->FireRisk < ComboRischio->Items->Count() ? f->FireRisk : -1;
    ComboCoeffAmb->ItemIndex =
        f->Surroundings >= 0 && f->Surroundings < ComboCoeffAmb->Items->Count() ? f->Surroundings : -1;
    DanniImpianti->Checked = f->Flag != 0;
    RadioParallelepipeda->Checked = f->Parallelepiped != 0;
    RadioComplessa->Checked = f->Parallelepiped == 0;
    EditLunghezza->Text = SizeText(f->L);
    EditLarghezza->Text = SizeText(f->W);
    EditAltezza->Text = SizeText(f->H);
    EditArea->Text = SizeText(f->Ad);
    const int32_t lines[4] = {f->AerialLinesA, f->BuriedLinesA, f->AerialLinesB, f->BuriedLinesB};
    for (int i = 0; i < 4; ++i) EditLinee[i]->Text = IntToStr(lines[i]);
    updating_ = false;
    ShowResults();
}

void TPaginaFulmini8110::ReadControls() {
    TFulmini* f = Lightning();
    f->StructureKinds = TipoStruttura.Bits();
    f->PersonsOutside = PersoneEsterno->Checked ? 1 : 0;
    f->FloorKinds = Pavimentazione.Bits();
    f->FireProvisions = Prevenzione.Bits();
    f->LineSoilKinds = SuoloLinee.Bits();
    const int hazard = ComboPericolo->ItemIndex;
    f->SpecialHazard = hazard >= 0 && hazard < static_cast<int>(std::size(SpecialHazards))
                           ? SpecialHazards[hazard].second
                           : None;
    f->FireRisk = ComboRischio->ItemIndex;
    f->Surroundings = ComboCoeffAmb->ItemIndex >= 0 ? ComboCoeffAmb->ItemIndex : None;
    f->Flag = DanniImpianti->Checked ? 1 : 0;
    f->Parallelepiped = RadioComplessa->Checked ? 0 : 1;
    // Each figure as its field's rule takes it; a text the rule does not
    // take (refused when the field is left) keeps the figure before.
    if (f->Parallelepiped) {
        f->L = TakenSize(EditLunghezza, f->L);
        f->W = TakenSize(EditLarghezza, f->W);
        f->H = TakenSize(EditAltezza, f->H);
    } else {
        f->Ad = TakenSize(EditArea, f->Ad);
    }
    int32_t* lines[4] = {&f->AerialLinesA, &f->BuriedLinesA, &f->AerialLinesB, &f->BuriedLinesB};
    for (int i = 0; i < 4; ++i) *lines[i] = std::max(0, TakenSize(EditLinee[i], *lines[i]));
}

void TPaginaFulmini8110::ShowResults() {
    const TFulmini* f = Lightning();
    if (!f) return;
    const bool missing = f->Insufficient != 0;
    auto factorText = [](float v) { return FormatFloat(FactorMask, v); };
    auto riskText = [missing](float v) { return missing ? AnsiString(NoResult) : FormatFloat(RiskMask, v); };
    ValoreLt->Caption = factorText(f->Lt);
    ValoreLf->Caption = factorText(f->Lf);
    ValoreRaFattore->Caption = factorText(f->ra);
    ValoreRp->Caption = factorText(f->rp);
    ValoreHz->Caption = factorText(f->hz);
    ValoreRf->Caption = factorText(f->rf);
    ValoreNg->Caption = factorText(f->Ng);
    ValoreCa->Caption = factorText(f->Ca);
    ValoreRuFattore->Caption = factorText(f->ru);
    ValoreNd->Caption = riskText(f->Nd);
    ValoreRa->Caption = riskText(f->Ra);
    ValoreRb->Caption = riskText(f->Rb);
    ValoreRu->Caption = riskText(f->Ru);
    ValoreRv->Caption = riskText(f->Rv);
    ValoreR1->Caption = riskText(f->R1);
    ValoreTollerabile->Caption = FormatFloat(RiskMask, TolerableRiskR1);
    const float al[4] = {f->AlAerial, f->AlBuried, f->AlAerial, f->AlBuried};
    const float nl[4] = {f->NlAerial, f->NlBuried, f->NlAerial, f->NlBuried};
    const float ru[4] = {f->RuAerial, f->RuBuried, f->RuAerial, f->RuBuried};
    const float rv[4] = {f->RvAerial, f->RvBuried, f->RvAerial, f->RvBuried};
    for (int i = 0; i < 4; ++i) {
        ValoreAl[i]->Caption = FormatFloat("0", al[i]);
        ValoreNl[i]->Caption = factorText(nl[i]);
        ValoreRuLinea[i]->Caption = FormatFloat(RiskMask, ru[i]);
        ValoreRvLinea[i]->Caption = FormatFloat(RiskMask, rv[i]);
    }
    // The collection area is worked out for a parallelepiped and typed for a complex structure.
    updating_ = true;
    if (f->Parallelepiped) EditArea->Text = SizeText(f->Ad);
    updating_ = false;
    EditArea->ReadOnly = f->Parallelepiped != 0;
    for (TEdit* e : {EditLunghezza, EditLarghezza, EditAltezza}) e->Enabled = f->Parallelepiped != 0;

    LabelInsufficienti->Visible = missing;
    LabelEsitoRischio->Visible = !missing;
    LabelEsitoVerdetto->Visible = !missing;
    if (missing) return;
    LabelEsitoRischio->Caption = RiskR1Caption + FormatFloat(RiskMask, f->R1);
    LabelEsitoVerdetto->Caption = double(f->R1) > TolerableRiskR1 ? ProtectionNeeded : ProtectionNotNeeded;
}

void TPaginaFulmini8110::ControlChange(TObject*) {
    if (updating_ || !Lightning()) return;
    if (project_) project_->Modified = true;
    ReadControls();
    Lightning()->Compute();
    ShowResults();
}
