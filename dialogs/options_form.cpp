#include "dialogs/options_form.h"

#include <algorithm>
#include <cmath>

#include "core/band_systems.h"
#include "core/control_builders.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/reporter.h"
#include "platform/application.h"

namespace {

constexpr TColor HeaderColour = clOlive;
constexpr TColor RowCaptionColour = clNavy;
constexpr TColor WithinNorm = TColor(32768);  // green
constexpr TColor OutsideNorm = TColor(255);   // red
constexpr int NormEditWidth = 40;
constexpr int NormCaptionWidth = 212;
constexpr int NormLeft = 16 + NormCaptionWidth;
constexpr int LevelCount = 10;  // "Intensità:" 0-9
// "Grafica componenti": its width and the gap to "Sottofondo stampe" beside
// it, the cell-width edit's place, the least room between a label and its
// edit, and between the edit and the group's right edge.
constexpr int GraficaGroupWidth = 249;
constexpr int GraficaGroupGap = 7;
constexpr int MaxWidthEditLeft = 208;
constexpr int LabelEditGap = 6;
constexpr int GroupInnerMargin = 7;

// Rows of "Valori norma": caption, limit kind, and how a value is judged
// against the norm (1: at least, -1: at most, 0: not coloured).
struct TNormRow {
    const char* caption;
    int kind;
    int judge;
};
// clang-format off
constexpr TNormRow NormRowTable[NormRows] = {
    {"Segnale minimo analogico alle prese [dB]", LimitSigMin, 1},
    {"Segnale massimo analogico alle prese [dB]", LimitSigMax, -1},
    {"Segnale minimo digitale alle prese [dB]", LimitSigMinDig, 1},
    {"Segnale massimo digitale alle prese [dB]", LimitSigMaxDig, -1},
    {"Separazione minima tra le prese [dB]", LimitAttMin, 1},
    {"Differenza livelli analogico/digitale [dB]", LimitDiffAnDig, 0},
    {"Differenza max. segnale alle prese [dB]", LimitDiffMax, 0},
    {"Diff. max. segnale canali adiacenti [dB]", LimitSigAdj, -1},
    {"Diff. max. segnali entro 60 MHz. [dB]", LimitSig60, -1},
    {"Diff. max. segnali entro banda [dB]", LimitSigBanda, 0},
    {"Rapporto C/N analogico minimo [dB]", LimitCNMin, 1},
    {"Rapporto C/N digitale minimo [dB]", LimitCNMinDig, 1},
};
// clang-format on
constexpr int UncolouredRow = 9;
constexpr int UncolouredBand = 0;

// What the figures may be: a norm level in dB (empty for none, "*" for a
// band where the value is not allowed), the largest printed cell (0: no
// limit), a conversion factor (empty: none known), the labour cost per hour.
TNumberRule NormRule() { return TNumberRule::Decimal(-200, 200, 2, "dB").OrEmpty().OrText("*"); }
TNumberRule CellWidthRule() { return TNumberRule::Decimal(0, 20, 2, "cm"); }
TNumberRule FactorRule() { return TNumberRule::Decimal(0.000001, 1000000, 8).OrEmpty(); }
TNumberRule LabourCostRule() { return TNumberRule::Decimal(0, 9999999, 2); }
constexpr const char* CellWidthName = "Massima larghezza cella su stampa in cm.";
constexpr const char* LabourCostName = "Costo orario della manodopera";

const char* const HeaderCaptions[4] = {"Nome Banda", "Da frequenza  [MHz]", "Frequenza  [MHz]",
                                       "A frequenza  [MHz]"};
const char* const FontCaptions[5] = {
    "Preventivi:", "Lista materiali:", "Relazioni:", "Dichiarazioni:", "Copertine:"};

AnsiString NormText(float value) {
    if (value == LevelNone) return "";
    if (value == LevelBlocked) return "*";
    return FormatFloat("0.##", value);
}

AnsiString NumberText(float value) { return FormatFloat("0.##", value); }

TLabel* MakeFixedLabel(TWinControl* parent, int left, int top, int width, const AnsiString& text,
                       TColor colour) {
    TLabel* label = MakeLabelAt(parent, left, top, width, text);
    label->AutoSize = false;
    label->Width = width;
    label->Height = 14;
    label->Font->Color = colour;
    return label;
}

TLabel* MakeTextLabel(TWinControl* parent, int left, int top, const AnsiString& text) {
    auto* label = new TLabel(parent);
    label->Parent = parent;
    label->Font->Name = "Arial";
    label->Font->Height = -11;
    label->SetBounds(left, top, 0, 14);
    label->Caption = text;
    return label;
}

TTabSheet* MakePage(TPageControl* pages, const AnsiString& caption) {
    auto* page = new TTabSheet(pages);
    page->PageControl = pages;
    page->Caption = caption;
    return page;
}

}  // namespace

TDatiOpzioni::TDatiOpzioni(TComponent* owner) : TForm(owner) {
    Caption = (Application ? Application->Title : AnsiString(ApplicationTitle)) + " - Opzioni";
    BorderStyle = bsDialog;
    Position = poMainFormCenter;
    ClientWidth = 860;
    ClientHeight = 480;
    ColorDialog = new TColorDialog(this);

    Pagine = new TPageControl(this);
    Pagine->Parent = this;
    Pagine->SetBounds(8, 8, 844, 428);
    PaginaNorma = MakePage(Pagine, "Valori norma");
    PaginaGrafica = MakePage(Pagine, "Grafica");
    PaginaValute = MakePage(Pagine, "Valute");
    PaginaGenerale = MakePage(Pagine, "Generale");
    Pagine->ActivePage = PaginaNorma;
    BuildNormPage();
    BuildGraphicsPage();
    BuildCurrencyPage();
    BuildGeneralPage();

    BDefault = MakeButtonAt(this, 384, 446, "Default");
    BDefault->OnClick = Handler(this, &TDatiOpzioni::BDefaultClick);
    BOk = MakeButtonAt(this, 472, 446, "Ok");
    BOk->Default = true;
    BOk->OnClick = Handler(this, &TDatiOpzioni::BOkClick);
    BAnnulla = MakeButtonAt(this, 560, 446, "Annulla");
    BAnnulla->Cancel = true;
    BAnnulla->OnClick = Handler(this, &TDatiOpzioni::BAnnullaClick);
    OnShow = Handler(this, &TDatiOpzioni::FormShow);
}

namespace {
TDatiOpzioni* ProgramOptionsForm = nullptr;
}

TDatiOpzioni::~TDatiOpzioni() {
    if (ProgramOptionsForm == this) ProgramOptionsForm = nullptr;
}

void TDatiOpzioni::BuildNormPage() {
    for (int h = 0; h < 4; ++h) {
        const int top = 8 + h * 16;
        MakeFixedLabel(PaginaNorma, 8, top, NormCaptionWidth, HeaderCaptions[h], HeaderColour);
        for (int b = 0; b < BandSlots; ++b) {
            BandHeaders[h][b] = MakeFixedLabel(PaginaNorma, NormLeft + b * NormEditWidth, top, NormEditWidth,
                                               "", HeaderColour);
            BandHeaders[h][b]->Alignment = taCenter;
        }
    }
    for (int r = 0; r < NormRows; ++r) {
        const int top = 80 + r * 25;
        RowCaptions[r] = MakeFixedLabel(PaginaNorma, 8, top + 3, NormCaptionWidth, NormRowTable[r].caption,
                                        RowCaptionColour);
        for (int b = 0; b < BandSlots; ++b) {
            TEdit* edit =
                MakeEditAt(PaginaNorma, NormLeft + b * NormEditWidth, top, NormEditWidth, WithinNorm);
            edit->Height = 21;
            edit->OnChange = Handler(this, &TDatiOpzioni::CheckNormValue);
            edit->Holds(NormRule(), NormRowTable[r].caption);
            NormEdits[r][b] = edit;
        }
    }
}

void TDatiOpzioni::BuildGraphicsPage() {
    TGroupBox* drawing = GroupGrafica =
        MakeGroupBoxAt(PaginaGrafica, 8, 8, GraficaGroupWidth, 145, "Grafica componenti ");
    CheckAccavallamento = MakeCheckBoxAt(drawing, 8, 16, 235, "Accavallamento cavi con arco");
    CheckCanaliFiltri = MakeCheckBoxAt(drawing, 8, 34, 235, "Mostra canali su componenti attivi di testa");
    CheckCodiciFiltri = MakeCheckBoxAt(drawing, 8, 52, 235, "Mostra codici su componenti attivi di testa");
    CheckAmpliRitorno = MakeCheckBoxAt(drawing, 8, 70, 235, "Disegna amplificatori di ritorno");
    LabelMaxLarghezza = MakeTextLabel(drawing, 8, 94, "Massima larghezza cella su stampa in cm.");
    EditMaxLarghezza = MakeEditAt(drawing, MaxWidthEditLeft, 90, 34, clBlack);
    EditMaxLarghezza->Holds(CellWidthRule(), CellWidthName);
    MakeTextLabel(drawing, 8, 120, "Sfondo componenti:");
    ComboBordo = MakeComboBoxAt(drawing, 110, 116, 131, clBlack);
    ComboBordo->Style = csDropDownList;
    for (const char* item : {"Nessuno", "Punti", "Griglia"}) ComboBordo->Items->Add(item);

    TGroupBox* background = GroupSottofondo = MakeGroupBoxAt(
        PaginaGrafica, 8 + GraficaGroupWidth + GraficaGroupGap, 8, 225, 177, "Sottofondo stampe ");
    CheckSottofondo = MakeCheckBoxAt(background, 8, 16, 210, "Visualizza sottofondo stampe");
    CheckSottofondo->OnClick = Handler(this, &TDatiOpzioni::CheckSottofondoClick);
    TLabel* heading = MakeTextLabel(background, 8, 46, "Intestazione:");
    EditStringaObliqua = MakeEditAt(background, 80, 42, 137, clBlack);
    EditStringaObliqua->Holds(TNumberRule::Text(), "Intestazione");
    TLabel* font = MakeTextLabel(background, 8, 74, "Font:");
    ComboFontObliqua = MakeComboBoxAt(background, 80, 70, 137, clBlack);
    ComboFontObliqua->OnEnter = Handler(this, &TDatiOpzioni::FontComboEnter);
    TLabel* colour = MakeTextLabel(background, 8, 104, "Colore:");
    PanelColore = new TPanel(background);
    PanelColore->Parent = background;
    PanelColore->SetBounds(80, 100, 50, 21);
    PanelColore->BevelOuter = bvLowered;
    PanelColore->Caption = "";
    BSeleziona = MakeButtonAt(background, 142, 98, "Seleziona");
    BSeleziona->OnClick = Handler(this, &TDatiOpzioni::BSelezionaClick);
    TLabel* level = MakeTextLabel(background, 8, 140, "Intensità:");
    ComboLivello = MakeComboBoxAt(background, 80, 136, 50, clBlack);
    ComboLivello->Style = csDropDownList;
    for (int i = 0; i < LevelCount; ++i) ComboLivello->Items->Add(IntToStr(i));
    SottofondoControls = {heading,     EditStringaObliqua, font,  ComboFontObliqua, colour,
                          PanelColore, BSeleziona,         level, ComboLivello};
}

void TDatiOpzioni::BuildCurrencyPage() {
    MakeTextLabel(PaginaValute, 8, 8, "Tabella di Conversione Valuta");
    GridValute = new TStringGrid(PaginaValute);
    GridValute->Parent = PaginaValute;
    GridValute->ColCount = CurrencyCount + 1;
    GridValute->RowCount = CurrencyCount + 1;
    GridValute->DefaultColWidth = 68;
    GridValute->DefaultRowHeight = 16;
    GridValute->ScrollBars = ssNone;
    GridValute->Options = TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing};
    GridValute->SetBounds(8, 24, (CurrencyCount + 1) * 69 + 4, (CurrencyCount + 1) * 17 + 4);
    for (int i = 0; i < CurrencyCount; ++i) {
        GridValute->Cells[0][i + 1] = TOpzioni::GetCurrencyName(i);
        GridValute->Cells[i + 1][0] = TOpzioni::GetCurrencyName(i);
    }
    // Every cell off the diagonal holds a factor; the diagonal takes nothing
    // typed (its cells cannot be chosen). The blocks begin on cells that can.
    GridValute->CellsHold(TGridRect{1, 2, 1, CurrencyCount}, FactorRule());
    GridValute->CellsHold(TGridRect{2, 1, CurrencyCount, CurrencyCount}, FactorRule());
    GridValute->CellsHold(TGridRect{1, 1, 1, 1}, TNumberRule::Text());
    GridValute->OnSelectCell = Handler(this, &TDatiOpzioni::GridValuteSelectCell);
    GridValute->Col = 2;  // off the diagonal
    MakeTextLabel(PaginaValute, 8, 236, "Valuta riferimento preventivi:");
    ComboValutaP = MakeComboBoxAt(PaginaValute, 180, 232, 140, clBlack);
    ComboValutaP->Style = csDropDownList;
    for (int i = 0; i < CurrencyCount; ++i) ComboValutaP->Items->Add(TOpzioni::GetCurrencyName(i));
    MakeTextLabel(PaginaValute, 8, 266, "Costo orario della manodopera:");
    EditCostoM = MakeEditAt(PaginaValute, 180, 262, 80, clBlack);
    EditCostoM->Holds(LabourCostRule(), LabourCostName);
}

void TDatiOpzioni::BuildGeneralPage() {
    TGroupBox* dirs = MakeGroupBoxAt(PaginaGenerale, 8, 8, 530, 84, "Directory ");
    MakeTextLabel(dirs, 8, 26, "Progetti:");
    EditDirProgetti = MakeEditAt(dirs, 70, 22, 409, clBlack);
    BDirProgetti = MakeButtonAt(dirs, 484, 21, "...");
    BDirProgetti->Width = 30;
    BDirProgetti->Height = 23;
    MakeTextLabel(dirs, 8, 56, "Librerie:");
    EditDirLibrerie = MakeEditAt(dirs, 70, 52, 409, clBlack);
    EditDirProgetti->Holds(TNumberRule::Text(), "Progetti");
    EditDirLibrerie->Holds(TNumberRule::Text(), "Librerie");
    BDirLibrerie = MakeButtonAt(dirs, 484, 51, "...");
    BDirLibrerie->Width = 30;
    BDirLibrerie->Height = 23;
    BDirProgetti->OnClick = Handler(this, &TDatiOpzioni::BDirClick);
    BDirLibrerie->OnClick = Handler(this, &TDatiOpzioni::BDirClick);

    TGroupBox* fonts = MakeGroupBoxAt(PaginaGenerale, 8, 100, 300, 160, "Font ");
    for (int i = 0; i < 5; ++i) {
        MakeTextLabel(fonts, 8, 24 + i * 26, FontCaptions[i]);
        FontCombos[i] = MakeComboBoxAt(fonts, 110, 20 + i * 26, 180, clBlack);
        FontCombos[i]->OnEnter = Handler(this, &TDatiOpzioni::FontComboEnter);
    }
}

void TDatiOpzioni::MakeWorking() {
    // Fresh options made without the store, so that making them writes no
    // directory; the store is only read, by "Default".
    if (!Working) Working = std::make_unique<TOpzioni>(nullptr, Librerie);
    Working->ini = Ini;
    Working->libraries = Librerie;
}

void TDatiOpzioni::ArrangeGraphicsPage() {
    // The cell-width label is as long as the screen's font makes it: its
    // edit stands after the whole text, unit included, and the group grows
    // for it, the group beside moving right, instead of covering the unit.
    Canvas->Font->Assign(*LabelMaxLarghezza->Font);
    const int labelRight = LabelMaxLarghezza->Left + Canvas->TextWidth(LabelMaxLarghezza->Caption);
    EditMaxLarghezza->Left = std::max(MaxWidthEditLeft, labelRight + LabelEditGap);
    GroupGrafica->Width =
        std::max(GraficaGroupWidth, EditMaxLarghezza->Left + EditMaxLarghezza->Width + GroupInnerMargin);
    GroupSottofondo->Left = GroupGrafica->Left + GroupGrafica->Width + GraficaGroupGap;
}

void TDatiOpzioni::FormShow(TObject*) {
    MakeWorking();
    ArrangeGraphicsPage();
}

bool TDatiOpzioni::ParseNormValue(const AnsiString& text, float& value) {
    const AnsiString t = Trim(text);
    if (t.empty()) {
        value = LevelNone;
        return true;
    }
    if (t == "*") {
        value = LevelBlocked;
        return true;
    }
    double v = 0.0;
    if (!TryStrToFloat(t, v) || !(std::fabs(v) <= 1e9)) return false;
    value = static_cast<float>(v);
    return true;
}

void TDatiOpzioni::FillFrom(const TOpzioni& o) {
    MakeWorking();
    const TSistemaBande* system = o.limitsBandSystem;
    const int count =
        system ? std::min<int>(system->bandCount, std::min<int>(BandSlots, system->bands.size())) : 0;
    for (int b = 0; b < BandSlots; ++b) {
        const bool used = b < count;
        BandHeaders[0][b]->Caption = used ? system->bands[b].bandName : AnsiString();
        BandHeaders[1][b]->Caption = used ? NumberText(system->bands[b].lowest) : AnsiString();
        BandHeaders[2][b]->Caption = used ? NumberText(system->bands[b].reference) : AnsiString();
        BandHeaders[3][b]->Caption = used ? NumberText(system->bands[b].highest) : AnsiString();
        for (int r = 0; r < NormRows; ++r) {
            TEdit* edit = NormEdits[r][b];
            const float value = o.limits[b][NormRowTable[r].kind];
            filledValue_[r][b] = value;
            filledText_[r][b] = NormText(value);
            edit->Enabled = used;
            edit->Holds(NormRule(), AnsiString(NormRowTable[r].caption) + ", " +
                                        (used ? system->bands[b].bandName : AnsiString("banda ") + IntToStr(b + 1)));
            edit->Font->Color = WithinNorm;
            edit->Text = filledText_[r][b];
            CheckNormValue(edit);
        }
    }

    CheckAccavallamento->Checked = o.cableOverlap;
    CheckCanaliFiltri->Checked = o.activeFilterChannels;
    CheckCodiciFiltri->Checked = o.activeFilterCodes;
    CheckAmpliRitorno->Checked = o.drawReturnAmplifiers;
    EditMaxLarghezza->Text = NumberText(o.maxCellWidth);
    ComboBordo->ItemIndex = o.cellBorder >= 0 && o.cellBorder < 3 ? o.cellBorder : -1;
    CheckSottofondo->Checked = o.printBackground;
    EditStringaObliqua->Text = o.obliqueText;
    ComboFontObliqua->Text = o.obliqueFont;
    PanelColore->Color = TColor(o.obliqueColour);
    ComboLivello->ItemIndex =
        o.backgroundLevel >= 0 && o.backgroundLevel < LevelCount ? o.backgroundLevel : -1;
    CheckSottofondoClick(CheckSottofondo);

    for (int i = 0; i < CurrencyCount; ++i)
        for (int j = 0; j < CurrencyCount; ++j)
            GridValute->Cells[j + 1][i + 1] = i == j ? AnsiString() : o.currencyFactorTexts[i][j];
    ComboValutaP->ItemIndex = o.priceCurrency >= 0 && o.priceCurrency < CurrencyCount ? o.priceCurrency : -1;
    EditCostoM->Text = NumberText(o.costM);

    EditDirProgetti->Text = o.projectsDir;
    EditDirLibrerie->Text = o.librariesDir;
    const AnsiString* fonts[] = {&o.estimateFont, &o.listFont, &o.reportFont, &o.declarationFont,
                                 &o.coverFont};
    for (int i = 0; i < 5; ++i) FontCombos[i]->Text = *fonts[i];
}

void TDatiOpzioni::CheckNormValue(TObject* Sender) {
    for (int r = 0; r < NormRows; ++r)
        for (int b = 0; b < BandSlots; ++b) {
            if (NormEdits[r][b] != Sender) continue;
            const int judge = NormRowTable[r].judge;
            if (r == UncolouredRow || b == UncolouredBand || judge == 0) return;
            float value = 0.0f;
            if (!ParseNormValue(NormEdits[r][b]->Text, value) || value < 0.0f) return;
            MakeWorking();
            const float norm = Working->limits[b][NormRowTable[r].kind];
            const bool within = judge > 0 ? value >= norm : value <= norm;
            NormEdits[r][b]->Font->Color = within ? WithinNorm : OutsideNorm;
            return;
        }
}

void TDatiOpzioni::GridValuteSelectCell(TObject*, int ACol, int ARow, bool& CanSelect) {
    CanSelect = ACol > 0 && ARow > 0 && ACol != ARow;
}

void TDatiOpzioni::FontComboEnter(TObject* Sender) {
    auto* combo = dynamic_cast<TComboBox*>(Sender);
    if (!combo || !Screen) return;
    const AnsiString text = combo->Text;
    combo->Items->Assign(*Screen->Fonts);
    combo->Text = text;
}

void TDatiOpzioni::CheckSottofondoClick(TObject*) {
    for (TControl* c : SottofondoControls) c->Enabled = CheckSottofondo->Checked.Get();
}

void TDatiOpzioni::BSelezionaClick(TObject*) {
    ColorDialog->Color = PanelColore->Color;
    ColorDialog->CustomColors->SetText(Ini ? Ini->String("ColoriDefault") : AnsiString());
    if (!ColorDialog->Execute()) return;
    PanelColore->Color = ColorDialog->Color;
    if (Ini) Ini->WriteString("ColoriDefault", ColorDialog->CustomColors->Text());
}

void TDatiOpzioni::BDirClick(TObject* Sender) {
    const bool projects = Sender == BDirProgetti;
    TEdit* edit = projects ? EditDirProgetti : EditDirLibrerie;
    const AnsiString title =
        (Application ? Application->Title : AnsiString(ApplicationTitle)) +
        (projects ? " - Selezione directory progetti" : " - Selezione directory librerie");
    AnsiString directory = edit->Text;
    if (SelectDirectory(title, edit->Text, directory) && !directory.empty())
        edit->Text = IncludeTrailingPathDelimiter(directory);
}

void TDatiOpzioni::BDefaultClick(TObject*) {
    MakeWorking();
    AnsiString projects, libraries;
    Working->ComputeDefaultDirectories(projects, libraries);
    EditDirProgetti->Text = projects;
    EditDirLibrerie->Text = libraries;
}

void TDatiOpzioni::ReadInto(TOpzioni& options) const {
    // Every figure was taken by its place's rule when it was typed; a text
    // the person left as it was filled keeps the value it was filled from.
    TOpzioni o = options;
    for (int r = 0; r < NormRows; ++r)
        for (int b = 0; b < BandSlots; ++b) {
            const AnsiString text = NormEdits[r][b]->Text;
            float value = filledValue_[r][b];
            if (text != filledText_[r][b]) ParseNormValue(text, value);
            o.limits[b][NormRowTable[r].kind] = value;
        }

    auto figure = [](const TEdit* edit, float& field) {
        double v = field;
        if (edit->HeldRule().Accepts(edit->Text, &v)) field = static_cast<float>(v);
    };
    figure(EditMaxLarghezza, o.maxCellWidth);
    figure(EditCostoM, o.costM);

    for (int i = 0; i < CurrencyCount; ++i)
        for (int j = 0; j < CurrencyCount; ++j) {
            if (i == j) continue;
            const AnsiString text = Trim(GridValute->Cells[j + 1][i + 1]);
            if (text == o.currencyFactorTexts[i][j]) continue;
            double v = 0.0;
            if (!GridValute->CellRule(j + 1, i + 1).Accepts(text, &v)) continue;
            // Kept as the person typed it, less the thousands marks, so
            // that the options read it back.
            AnsiString kept;
            for (char c : text)
                if (c != FormatSettings().ThousandSeparator) kept += c;
            o.currencyFactorTexts[i][j] = kept;
            o.currencyFactors[i][j] = kept.empty() ? LevelNone : static_cast<float>(v);
        }

    o.cableOverlap = CheckAccavallamento->Checked;
    o.activeFilterChannels = CheckCanaliFiltri->Checked;
    o.activeFilterCodes = CheckCodiciFiltri->Checked;
    o.drawReturnAmplifiers = CheckAmpliRitorno->Checked;
    if (ComboBordo->ItemIndex >= 0) o.cellBorder = static_cast<int8_t>(ComboBordo->ItemIndex.Get());
    o.printBackground = CheckSottofondo->Checked;
    o.obliqueText = EditStringaObliqua->Text;
    o.obliqueFont = ComboFontObliqua->Text;
    o.obliqueColour = static_cast<int32_t>(PanelColore->Color.Get());
    if (ComboLivello->ItemIndex >= 0) o.backgroundLevel = ComboLivello->ItemIndex;
    if (ComboValutaP->ItemIndex >= 0) o.priceCurrency = static_cast<int8_t>(ComboValutaP->ItemIndex.Get());
    o.projectsDir = EditDirProgetti->Text;
    o.librariesDir = EditDirLibrerie->Text;
    AnsiString* fonts[] = {&o.estimateFont, &o.listFont, &o.reportFont, &o.declarationFont, &o.coverFont};
    for (int i = 0; i < 5; ++i) *fonts[i] = FontCombos[i]->Text;
    options = o;
}

void TDatiOpzioni::BOkClick(TObject*) {
    if (!Opzioni) return;
    TOpzioni read = *Opzioni;
    ReadInto(read);
    Result = std::make_unique<TOpzioni>(read);
    ModalResult = mrOk;
}

void TDatiOpzioni::BAnnullaClick(TObject*) { ModalResult = mrCancel; }

TDatiOpzioni& DatiOpzioni() {
    if (!ProgramOptionsForm) ProgramOptionsForm = new TDatiOpzioni(Application);
    return *ProgramOptionsForm;
}

bool EditProgramOptions() {
    if (!Opzioni) return false;
    TDatiOpzioni& form = DatiOpzioni();
    form.Result.reset();
    form.FillFrom(*Opzioni);
    if (form.ShowModal() != mrOk || !form.Result) return false;
    *Opzioni = *form.Result;
    form.Result.reset();
    Opzioni->Save();
    return true;
}
