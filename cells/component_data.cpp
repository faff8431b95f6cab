// The component-data form: its controls and its value tables. The layout for
// a component's switches is in component_data_layout.cpp, the OK of an edit
// in component_data_ok.cpp.
#include "cells/component_data.h"

#include <algorithm>

#include "cells/cell.h"
#include "core/band_systems.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/scoped_flag.h"
#include "cells/combo_string_grid.h"
#include "platform/application.h"

TDatiComponenti* DatiComponenti = nullptr;

TDatiComponenti* ComponentDataForm() {
    if (!DatiComponenti) DatiComponenti = new TDatiComponenti(Application);
    return DatiComponenti;
}

namespace {

// Colours of the sheet's texts.
constexpr TColor CaptionColour = clNavy;
constexpr TColor HeaderColour = clOlive;
constexpr TColor ValueColour = clGreen;

constexpr int SectionWidth = 577;
constexpr int SideWidth = 195;
constexpr int CaptionBoxWidth = 121;
constexpr int ValueEditWidth = 41;
constexpr int ValueEditStep = 40;
constexpr int ValueEditLeft = 128;
constexpr int RowHeight = 20;
constexpr int CheckRowHeight = 17;

const char* const BandHeaderCaptions[4] = {"Nome Banda", "Da frequenza  [MHz]", "Frequenza  [MHz]",
                                           "A frequenza  [MHz]"};
const char* const ChannelHeaderCaptions[4] = {"Min", "Max", "Canale", "Canalizzazione"};
const char* const ConverterKinds[] = {"CAN/CAN",   "IF/IF",      "4QPSK/64QAM", "4QPSK/PAL",
                                      "COFDM/PAL", "ANALOG/PAL", "DVBS2/COFDM", "DVBS2/QAM"};
const char* const MainFunctionCaptions[4] = {"Funzione principale", "Amplificazione  ingressi",
                                             "Amplificazione  passanti", "Amplificazione  uscite"};
const char* const ModuleKinds[] = {"Filtro attivo", "Filtro CAG", "Convertitore", "Modulatore"};
const char* const AntennaShapes[] = {"Pannello", "Yagi", "Logaritmica", "Rifl. Diedro", "Rifl. Cortina"};
const char* const WindSpeeds[] = {"100", "120", "130", "150", "160", "200"};
const char* const Connectors[] = {"Morsetto", "F", "IEC"};
const char* const SupplyCaptions[3] = {"Riceve alimentazione da", "Alimenta", "Non accetta alimentazione da"};
const char* const PortCaptions[3] = {"Ingressi", "Passanti", "Uscite"};
const char* const AuxHeaderCaptions[5] = {"Libreria", "Categoria", "Codice", "Quantità", "Descrizione"};
constexpr int AuxHeaderWidths[5] = {113, 113, 113, 49, 177};

template <class T>
T* Make(TComponent* owner, TWinControl* parent, int left, int top, int width, int height) {
    T* control = new T(owner);
    control->Parent = parent;
    control->SetBounds(left, top, width, height);
    return control;
}

}  // namespace

// ---------------------------------------------------------------- construction

TDatiComponenti::TDatiComponenti(TComponent* owner) : TForm(owner) {
    Caption = Application ? Application->Title + " - Dati componenti" : AnsiString(" - Dati componenti");
    BorderStyle = bsDialog;
    Position = poMainFormCenter;
    Width = 800;
    Height = 600;
    BandSystem = SistemaBandeCorrente;
    for (auto& page : MainTable)
        for (TBandRow& row : page) row.fill(LevelNone);
    for (auto& page : InputAmpTable)
        for (TBandRow& row : page) row.fill(LevelNone);
    for (auto& page : ThroughAmpTable)
        for (TBandRow& row : page) row.fill(LevelNone);
    for (auto& page : OutputAmpTable)
        for (auto& output : page)
            for (TBandRow& row : output) row.fill(LevelNone);
    for (auto& page : DistinctOutputRows)
        for (auto& output : page)
            for (TBandRow& row : output) row.fill(LevelNone);

    BuildHeader();
    BuildSignals();
    BuildModuleTabs();
    BuildElectrical();
    BuildPositions();
    BuildFeatures();
    BuildCommercial();
    BuildAuxArticles();
    BuildLibrary();

    ButtonAnnulla = Make<TButton>(this, this, 607, 540, 75, 25);
    ButtonAnnulla->Caption = "Annulla";
    ButtonAnnulla->Cancel = true;
    ButtonAnnulla->OnClick = Handler(this, &TDatiComponenti::CancelClick);
    ButtonOk = Make<TButton>(this, this, 607 + 75 + 16, 540, 75, 25);
    ButtonOk->Caption = "Ok";
    ButtonOk->Default = true;
    ButtonOk->OnClick = Handler(this, &TDatiComponenti::OkClick);

    OnShow = Handler(this, &TDatiComponenti::FormShow);
    WireEditHandlers();
    DeclarePlaces();
    ResetSections();
    SetPortFlags(0);
    ArrangeLayout();
}

TDatiComponenti::~TDatiComponenti() {
    if (DatiComponenti == this) DatiComponenti = nullptr;
}

TEdit* TDatiComponenti::MakeCaptionBox(TWinControl* parent, const AnsiString& text, int left, int top,
                                       int width) {
    TEdit* box = Make<TEdit>(this, parent, left, top, width, RowHeight);
    box->Text = text;
    box->ReadOnly = true;
    box->TabStop = false;
    box->Color = clBtnFace;
    box->Font->Color = CaptionColour;
    return box;
}

TEdit* TDatiComponenti::MakeValueEdit(TWinControl* parent, int left, int top, int width) {
    TEdit* edit = Make<TEdit>(this, parent, left, top, width, RowHeight);
    edit->Font->Color = ValueColour;
    edit->TabStop = true;
    return edit;
}

TLabel* TDatiComponenti::MakeLabel(TWinControl* parent, const AnsiString& text, int left, int top,
                                   TColor colour) {
    TLabel* label = Make<TLabel>(this, parent, left, top, 0, 13);
    label->Caption = text;
    label->Font->Color = colour;
    return label;
}

TCheckBox* TDatiComponenti::MakeCheck(TWinControl* parent, const AnsiString& text, int left, int top,
                                      int width) {
    TCheckBox* box = Make<TCheckBox>(this, parent, left, top, width, CheckRowHeight);
    box->Caption = text;
    box->TabStop = true;
    return box;
}

TComboBox* TDatiComponenti::MakeCombo(TWinControl* parent, int left, int top, int width) {
    TComboBox* combo = Make<TComboBox>(this, parent, left, top, width, 21);
    combo->TabStop = true;
    return combo;
}

TGroupBox* TDatiComponenti::MakeGroup(const AnsiString& text, int left, int width, int height) {
    TGroupBox* group = Make<TGroupBox>(this, this, left, 8, width, height);
    group->Caption = text;
    return group;
}

void TDatiComponenti::BuildHeader() {
    LabelNome = MakeLabel(this, "", 8, 8, clBlue);
    LabelNome->Font->Style = TFontStyles{fsBold};
    LabelNome->Font->Size = 10;
    LabelNome->Visible = false;
    CaptionCategoria = MakeCaptionBox(this, "Categoria", 593, 8, 57);
    EditCategoria = MakeValueEdit(this, 651, 8, 137);
    EditCategoria->MaxLength = 30;
}

void TDatiComponenti::BuildSignals() {
    GroupStruttura = MakeGroup("Struttura", 8, SectionWidth, 52);
    ButtonStruttura = Make<TButton>(this, GroupStruttura, 245, 16, 75, 25);
    ButtonStruttura->Caption = "Struttura";

    GroupSegnali = MakeGroup("Dati segnali", 8, SectionWidth, 300);
    for (int r = 0; r < 4; ++r) {
        BandCaption[r] = MakeCaptionBox(GroupSegnali, BandHeaderCaptions[r], 8, 16 + 20 * r, CaptionBoxWidth);
        for (int c = 0; c < DialogBandColumns; ++c) {
            TEdit* cell = Make<TEdit>(this, GroupSegnali, ValueEditLeft + ValueEditStep * c, 16 + 20 * r,
                                      ValueEditWidth, RowHeight);
            cell->ReadOnly = true;
            cell->TabStop = false;
            cell->Color = clBtnFace;
            cell->Font->Color = HeaderColour;
            if (r == 0 || r == 2) cell->Font->Style = TFontStyles{fsBold};
            BandCell[r][c] = cell;
        }
    }
    for (int c = 0; c < 4; ++c)
        ChannelHeaders[0][c] = MakeLabel(GroupSegnali, ChannelHeaderCaptions[c], 0, 0, HeaderColour);
    for (int r = 0; r < DialogRows; ++r) {
        RowCaption[r] = MakeCaptionBox(GroupSegnali, "", 8, 0, CaptionBoxWidth);
        for (int c = 0; c < DialogBandColumns; ++c)
            ValueEdit[r][c] =
                MakeValueEdit(GroupSegnali, ValueEditLeft + ValueEditStep * c, 0, ValueEditWidth);
    }
    for (int i = 0; i < DialogChannelRows; ++i) {
        ChannelCaption[i] = i == 0 ? RowCaption[0] : MakeCaptionBox(GroupSegnali, "", 8, 0, CaptionBoxWidth);
        ChannelMin[i] = MakeValueEdit(GroupSegnali, 128, 0, 41);
        ChannelMax[i] = MakeValueEdit(GroupSegnali, 172, 0, 41);
        ChannelCombo[i] = MakeCombo(GroupSegnali, 216, 0, 49);
        PlanCombo[i] = MakeCombo(GroupSegnali, 268, 0, 89);
        PlanCombo[i]->Sorted = true;
    }
    CaptionDescrizioneModulo = MakeCaptionBox(GroupSegnali, "Descrizione", 8, 0, CaptionBoxWidth);
    EditDescrizioneModulo = MakeValueEdit(GroupSegnali, 128, 0, 129);
    EditDescrizioneModulo->MaxLength = 20;
    CaptionConversione = MakeCaptionBox(GroupSegnali, "Tipo convertitore", 8, 0, CaptionBoxWidth);
    ComboConversione = MakeCombo(GroupSegnali, 128, 0, 129);
    ComboConversione->Style = csDropDownList;
    for (const char* kind : ConverterKinds) ComboConversione->Items->Add(kind);

    GridCanali8 = new TComboStringGrid(this, GroupSegnali);
    GridCanali8->SetBounds(SectionWidth - 8 - 562, 16, 562, 136);
    GridCanali5 = new TComboStringGrid(this, GroupSegnali);
    GridCanali5->SetBounds(SectionWidth - 8 - 334, 16, 334, 98);
    BuildChannelGrids();

    PanelFunzione = Make<TPanel>(this, GroupSegnali, 8, 0, SectionWidth - 16, 25);
    PanelFunzione->BevelOuter = bvNone;
    for (int k = 0; k < 4; ++k) {
        RadioFunzione[k] = Make<TRadioButton>(this, PanelFunzione, 0, 4, 0, CheckRowHeight);
        RadioFunzione[k]->Caption = MainFunctionCaptions[k];
    }
    CaptionModulo = MakeCaptionBox(GroupSegnali, "", 8, 0, CaptionBoxWidth);
    StripModulo = Make<TPageScroller>(this, GroupSegnali, 136, 0, SectionWidth - 144, CheckRowHeight);
    PanelModulo = Make<TPanel>(this, StripModulo, 0, 0, 40 * DialogModules, CheckRowHeight);
    PanelModulo->BevelOuter = bvNone;
    StripModulo->Control = PanelModulo;
    for (int m = 0; m < DialogModules; ++m) {
        RadioModulo[m] = Make<TRadioButton>(this, PanelModulo, 40 * m, 0, 38, CheckRowHeight);
        RadioModulo[m]->Caption = IntToStr(m + 1);
    }
    CaptionUscita = MakeCaptionBox(GroupSegnali, "", 8, 0, CaptionBoxWidth);
    StripUscita = Make<TPageScroller>(this, GroupSegnali, 136, 0, SectionWidth - 144, CheckRowHeight);
    PanelUscita = Make<TPanel>(this, StripUscita, 0, 0, 40 * DialogOutputs, CheckRowHeight);
    PanelUscita->BevelOuter = bvNone;
    StripUscita->Control = PanelUscita;
    for (int o = 0; o < DialogOutputs; ++o) {
        RadioUscita[o] = Make<TRadioButton>(this, PanelUscita, 40 * o, 0, 38, CheckRowHeight);
        RadioUscita[o]->Caption = IntToStr(o + 1);
    }
    ButtonUsciteDistinte = Make<TButton>(this, GroupSegnali, 8, 0, 81, 21);
    ButtonUsciteDistinte->Caption = "Uscite distinte";
    ButtonScambia1 = Make<TButton>(this, GroupSegnali, 97, 0, 75, 21);
    ButtonScambia1->Caption = "Scambia";
    ButtonScambia2 = Make<TButton>(this, GroupSegnali, 180, 0, 75, 21);
    ButtonScambia2->Caption = "Scambia";
    ButtonCambiaCanali = Make<TButton>(this, GroupSegnali, 263, 0, 81, 21);
    ButtonCambiaCanali->Caption = "Cambia canali";
}

void TDatiComponenti::BuildModuleTabs() {
    TabModuli = Make<TTabControl>(this, this, 8, 8, SectionWidth, 416);
    TabModuli->Tabs->Add("Ampli Entrata");
    TabModuli->Tabs->Add("Ampli Uscita");
    TabModuli->Tabs->Add("Modulo 1");
    for (int c = 0; c < 4; ++c)
        ChannelHeaders[1][c] = MakeLabel(TabModuli, ChannelHeaderCaptions[c], 0, 0, HeaderColour);
    // As wide as a module page's value rows below them.
    constexpr int captionWidth = 151, left = 162;
    int y = 32;
    CaptionFrequenze = MakeCaptionBox(TabModuli, "Freq. gestibili [MHz]", 8, y, captionWidth);
    EditFreqMin = MakeValueEdit(TabModuli, left, y, 49);
    EditFreqMax = MakeValueEdit(TabModuli, left + 52, y, 49);
    y += 22;
    CaptionLarghezza = MakeCaptionBox(TabModuli, "Larg. banda blocco [MHz]", 8, y, captionWidth);
    EditLarghezza = MakeValueEdit(TabModuli, left, y, 49);
    y += 22;
    CaptionBlocchi = MakeCaptionBox(TabModuli, "Max. numero blocchi", 8, y, captionWidth);
    EditBlocchi = MakeValueEdit(TabModuli, left, y, 49);
    y += 22;
    CaptionTipoModulo = MakeCaptionBox(TabModuli, "Tipo modulo", 8, y, captionWidth);
    ComboTipoModulo = MakeCombo(TabModuli, left, y, 101);
    ComboTipoModulo->Style = csDropDownList;
    for (const char* kind : ModuleKinds) ComboTipoModulo->Items->Add(kind);
    TabModuli->OnChange = Handler(this, &TDatiComponenti::TabChange);
}

void TDatiComponenti::BuildElectrical() {
    GroupElettrici = MakeGroup("Dati elettrici", 593, SideWidth, 100);
    CheckChiusuraDC = MakeCheck(GroupElettrici, "Chiusura isolata DC", 8, 0, 180);
    CheckAlimentaMontanti = MakeCheck(GroupElettrici, "Alimenta i montanti", 8, 0, 180);
    CheckTrasferisce = MakeCheck(GroupElettrici, "Trasferisce alimentazione ai montanti", 8, 0, 180);
    LabelCorrente = MakeLabel(GroupElettrici, "Corrente assorbita:", 8, 0, CaptionColour);
    EditCorrente = MakeValueEdit(GroupElettrici, 112, 0, 49);
    LabelCorrenteMa = MakeLabel(GroupElettrici, "mA", 166, 0, CaptionColour);
    LabelSupply[0] = MakeLabel(GroupElettrici, SupplyCaptions[0], 8, 0, CaptionColour);
    CheckAlimInterno = MakeCheck(GroupElettrici, "Alimentatore interno", 16, 0, 124);
    EditCorrenteInterno = MakeValueEdit(GroupElettrici, 140, 0, 24);
    LabelCorrenteInternoMa = MakeLabel(GroupElettrici, "mA", 166, 0, CaptionColour);
    CheckAlimEsterno = MakeCheck(GroupElettrici, "Alimentatore esterno", 16, 0, 170);
    for (int p = 0; p < 3; ++p)
        CheckPort[0][p] = MakeCheck(GroupElettrici, PortCaptions[p], 8 + 60 * p, 0, 58);
    for (int g = 1; g < 3; ++g) {
        LabelSupply[g] = MakeLabel(GroupElettrici, SupplyCaptions[g], 8, 0, CaptionColour);
        for (int p = 0; p < 3; ++p)
            CheckPort[g][p] = MakeCheck(GroupElettrici, PortCaptions[p], 8 + 60 * p, 0, 58);
    }
}

void TDatiComponenti::BuildPositions() {
    GroupPosizioni = MakeGroup("Dati posizioni possibili", 593, SideWidth, 100);
    CheckTestaCalata = MakeCheck(GroupPosizioni, "Amplificatore testa calata", 8, 0, 180);
    CheckAmpliLinea = MakeCheck(GroupPosizioni, "Amplificatore di linea", 8, 0, 180);
    CheckPalo1 = MakeCheck(GroupPosizioni, "Palo", 8, 0, 180);
    CheckCentrale = MakeCheck(GroupPosizioni, "Centrale di testa", 8, 0, 180);
    CheckSottostazione = MakeCheck(GroupPosizioni, "Sottostazione", 8, 0, 180);
    CheckPrimoLinea = MakeCheck(GroupPosizioni, "Primo linea", 8, 0, 180);
    CheckLinea = MakeCheck(GroupPosizioni, "Linea", 8, 0, 180);
    CheckUltimoLinea = MakeCheck(GroupPosizioni, "Ultimo linea", 8, 0, 180);
    CheckPresa = MakeCheck(GroupPosizioni, "Presa", 8, 0, 180);
    CheckPalo2 = MakeCheck(GroupPosizioni, "Palo", 8, 0, 180);
}

void TDatiComponenti::BuildFeatures() {
    GroupCaratteristiche = MakeGroup("Altre caratteristiche", 593, SideWidth, 76);
    CheckDigitale = MakeCheck(GroupCaratteristiche, "Componente digitale", 8, 0, 180);
    CheckOttico = MakeCheck(GroupCaratteristiche, "Componente ottico", 8, 0, 180);
    CheckLnbQuad = MakeCheck(GroupCaratteristiche, "LNB Quad", 8, 0, 180);
}

void TDatiComponenti::BuildCommercial() {
    GroupCommerciali = MakeGroup("Dati tecnici e commerciali", 8, SectionWidth, 140);
    TGroupBox* g = GroupCommerciali;
    // Line 1: the antenna's mast data.
    CaptionForma = MakeCaptionBox(g, "Forma", 8, 0, 41);
    ComboForma = MakeCombo(g, 50, 0, 89);
    ComboForma->Style = csDropDownList;
    for (const char* shape : AntennaShapes) ComboForma->Items->Add(shape);
    CaptionDiametro = MakeCaptionBox(g, "Diametro [cm]", 8, 0, 81);
    EditDiametro = MakeValueEdit(g, 90, 0, 49);
    CaptionArea = MakeCaptionBox(g, "Area [mq]", 144, 0, 65);
    EditArea = MakeValueEdit(g, 210, 0, 49);
    CaptionSpinta = MakeCaptionBox(g, "Spinta vento [n]", 264, 0, 93);
    EditSpinta = MakeValueEdit(g, 358, 0, 49);
    CaptionVelocita = MakeCaptionBox(g, "Velocità vento [Km/h]", 412, 0, 113);
    ComboVelocita = MakeCombo(g, 526, 0, 41);
    for (const char* speed : WindSpeeds) ComboVelocita->Items->Add(speed);
    // Line 2: notes and connector.
    CaptionNoteInt = MakeCaptionBox(g, "Note int.", 8, 0, 57);
    EditNoteInt = MakeValueEdit(g, 66, 0, 201);
    EditNoteInt->MaxLength = 99;
    CaptionNoteEst = MakeCaptionBox(g, "Note est.", 272, 0, 57);
    EditNoteEst = MakeValueEdit(g, 330, 0, 81);
    EditNoteEst->MaxLength = 10;
    CaptionConnettore = MakeCaptionBox(g, "Connettore", 416, 0, 65);
    ComboConnettore = MakeCombo(g, 482, 0, 85);
    ComboConnettore->Style = csDropDownList;
    for (const char* connector : Connectors) ComboConnettore->Items->Add(connector);
    CaptionConnOut = MakeCaptionBox(g, "Conn. out", 416, 0, 65);
    ComboConnOut = MakeCombo(g, 482, 0, 85);
    ComboConnOut->Style = csDropDownList;
    // Line 3.
    CaptionNote = MakeCaptionBox(g, "Note", 8, 0, 57);
    EditNote = MakeValueEdit(g, 66, 0, 501);
    EditNote->MaxLength = 99;
    // Line 4.
    CaptionCodice = MakeCaptionBox(g, "Codice", 8, 0, 49);
    EditCodice = MakeValueEdit(g, 58, 0, 97);
    EditCodice->MaxLength = 19;
    CaptionArticolo = MakeCaptionBox(g, "Articolo", 160, 0, 49);
    EditArticolo = MakeValueEdit(g, 210, 0, 129);
    EditArticolo->MaxLength = 29;
    CaptionSerie = MakeCaptionBox(g, "Serie", 344, 0, 41);
    EditSerie = MakeValueEdit(g, 386, 0, 65);
    EditSerie->MaxLength = 19;
    CaptionMarca = MakeCaptionBox(g, "Marca", 456, 0, 41);
    EditMarca = MakeValueEdit(g, 498, 0, 69);
    EditMarca->MaxLength = 19;
    // Line 5.
    CaptionDescrizione = MakeCaptionBox(g, "Descrizione", 8, 0, 73);
    EditDescrizione = MakeValueEdit(g, 82, 0, 150);
    EditDescrizione->MaxLength = 29;
    CaptionPrezzo = MakeCaptionBox(g, "Prezzo", 236, 0, 45);
    EditPrezzo = MakeValueEdit(g, 282, 0, 68);
    ComboValuta = MakeCombo(g, 353, 0, 57);
    ComboValuta->Sorted = true;
    CaptionInstallazione = MakeCaptionBox(g, "Installazione (min)", 414, 0, 113);
    EditInstallazione = MakeValueEdit(g, 528, 0, 39);
}

void TDatiComponenti::BuildAuxArticles() {
    GroupAusiliari = MakeGroup("Articoli ausiliari", 8, SectionWidth, 87);
    int x = 8;
    int left[5];
    for (int c = 0; c < 5; ++c) {
        left[c] = x;
        AuxHeaders[c] = MakeLabel(GroupAusiliari, AuxHeaderCaptions[c], x, 16, HeaderColour);
        x += AuxHeaderWidths[c] + 1;
    }
    for (int k = 0; k < 2; ++k) {
        const int y = 34 + 24 * k;
        AuxLibreria[k] = MakeCombo(GroupAusiliari, left[0], y, AuxHeaderWidths[0]);
        AuxLibreria[k]->Sorted = true;
        AuxCategoria[k] = MakeCombo(GroupAusiliari, left[1], y, AuxHeaderWidths[1]);
        AuxCategoria[k]->Sorted = true;
        AuxCodice[k] = MakeCombo(GroupAusiliari, left[2], y, AuxHeaderWidths[2]);
        AuxCodice[k]->Sorted = true;
        AuxQuantita[k] = MakeValueEdit(GroupAusiliari, left[3], y, AuxHeaderWidths[3]);
        // The description ends inside the group's frame, as the other rows do.
        AuxDescrizione[k] = MakeValueEdit(GroupAusiliari, left[4], y,
                                          std::min(AuxHeaderWidths[4], SectionWidth - 8 - left[4]));
        AuxDescrizione[k]->ReadOnly = true;
        AuxDescrizione[k]->TabStop = false;
    }
}

void TDatiComponenti::BuildLibrary() {
    GroupLibreria = MakeGroup("Libreria", 593, SideWidth, 87);
    GroupLibreria->Color = clSilver;
    ComboLibreria = MakeCombo(GroupLibreria, 8, 20, 113);
    ComboLibreria->Sorted = true;
    ComboLibreria->TabStop = false;
    ComboVoce = MakeCombo(GroupLibreria, 8, 52, 113);
    ComboVoce->Sorted = true;
    ComboVoce->TabStop = false;
    ButtonAggiungi = Make<TButton>(this, GroupLibreria, 128, 16, 59, 21);
    ButtonAggiungi->Caption = "Aggiungi";
    ButtonAggiungi->TabStop = false;
    ButtonAggiorna = Make<TButton>(this, GroupLibreria, 128, 36, 59, 21);
    ButtonAggiorna->Caption = "Aggiorna";
    ButtonAggiorna->TabStop = false;
    ButtonElimina = Make<TButton>(this, GroupLibreria, 128, 56, 59, 21);
    ButtonElimina->Caption = "Elimina";
    ButtonElimina->TabStop = false;
    ButtonElimina->Enabled = false;
}

// ---------------------------------------------------------------- switches

void TDatiComponenti::ResetSections() {
    ModuleCount = 1;
    OutputCount = 1;
    DistinctRow[0] = DistinctRow[1] = -1;
    ShownModuleTab = -1;
    ShownAmplifierTab = -1;
    ShowBandRows = 1;
    ShowAuxArticles = 1;
    ShowSignals = 1;
    ShowCommercial = 1;
    ShowStructure = 0;
    std::fill(std::begin(ShowSwapButtons), std::end(ShowSwapButtons), 0);
    AntennaKind[0] = AntennaKind[1] = 0;
    MainFunction = 0;
    ElectricalWord = 0;
    PositionsWord = 0;
    std::fill(std::begin(ChannelRows), std::end(ChannelRows), 0);
    ChannelGrids[0] = ChannelGrids[1] = 0;
    ShowModuleTabs = 0;
    OtherFeatures = 0;
    for (TCheckBox* box :
         {CheckChiusuraDC, CheckAlimentaMontanti, CheckTrasferisce, CheckAmpliLinea, CheckTestaCalata})
        box->Visible = false;
    SetPortCaptions(PortCaptions[0], PortCaptions[1], PortCaptions[2]);
}

void TDatiComponenti::SetPortCaptions(const AnsiString& inputs, const AnsiString& through,
                                      const AnsiString& taps) {
    for (int g = 0; g < 3; ++g) {
        CheckPort[g][PortGroupInputs]->Caption = inputs;
        CheckPort[g][PortGroupThrough]->Caption = through;
        CheckPort[g][PortGroupTaps]->Caption = taps;
    }
}

void TDatiComponenti::SetPortFlags(int32_t word) {
    if (word & PortFlagsMask) {
        for (int i = 0; i < DialogRows; ++i) RowFlags[i] = (word >> i) & 1;
    } else {
        for (int i = 0; i < DialogRows; ++i) RowFlags[i] = i < word ? 1 : 0;
    }
}

// ---------------------------------------------------------------- value tables

int TDatiComponenti::BandCount() const {
    if (!BandSystem) return 0;
    return std::clamp(static_cast<int>(BandSystem->bandCount), 0, DialogBandColumns);
}

void TDatiComponenti::ShowBandHeader() {
    const int n = BandCount();
    for (int r = 0; r < 4; ++r) {
        BandCaption[r]->Visible = true;
        for (int c = 0; c < DialogBandColumns; ++c) BandCell[r][c]->Visible = c < n;
    }
}

void TDatiComponenti::HideBandHeader() {
    for (int r = 0; r < 4; ++r) {
        BandCaption[r]->Visible = false;
        for (int c = 0; c < DialogBandColumns; ++c) BandCell[r][c]->Visible = false;
    }
}

TBandRow& TDatiComponenti::AddressedRow(int r) {
    const int m = std::clamp(CurrentModule, 0, DialogModules - 1);
    const int o = std::clamp(CurrentOutput, 0, DialogOutputs - 1);
    switch (CurrentKind) {
    case TableInputAmplification: return InputAmpTable[m][r];
    case TableThroughAmplification: return ThroughAmpTable[m][r];
    case TableOutputAmplification:
        return OutputCount >= 2 ? OutputAmpTable[m][o][r] : SingleOutputTable(m)[r];
    default: return MainTable[m][r];
    }
}

void TDatiComponenti::ShowValueTable() {
    const int m = std::clamp(CurrentModule, 0, DialogModules - 1);
    const int o = std::clamp(CurrentOutput, 0, DialogOutputs - 1);
    // Rows kept per output come into the main table of the module first.
    if (CurrentKind == TableMainFunction && OutputCount >= 2)
        for (int k = 0; k < DialogDistinctRows; ++k) {
            const int row = DistinctRow[k];
            if (row >= 0 && row < DialogRows) MainTable[m][row] = DistinctOutputRows[m][o][k];
        }
    const int n = BandCount();
    for (int c = 0; c < DialogBandColumns; ++c) {
        const bool band = c < n;
        const TBanda* b = band ? &BandSystem->bands[static_cast<size_t>(c)] : nullptr;
        BandCell[0][c]->Text = band ? b->bandName : AnsiString();
        BandCell[1][c]->Text = band ? FormatFloat("#0", b->lowest) : AnsiString();
        BandCell[2][c]->Text = band ? FormatFloat("#0", b->reference) : AnsiString();
        BandCell[3][c]->Text = band ? FormatFloat("#0", b->highest) : AnsiString();
    }
    for (int r = 0; r < DialogRows; ++r) {
        const TBandRow& row = AddressedRow(r);
        for (int c = 0; c < DialogBandColumns; ++c)
            ValueEdit[r][c]->Text = c < n ? FormatLevel(row[static_cast<size_t>(c)], "##0.##") : AnsiString();
    }
}

void TDatiComponenti::StoreValueTable() {
    const int m = std::clamp(CurrentModule, 0, DialogModules - 1);
    const int o = std::clamp(CurrentOutput, 0, DialogOutputs - 1);
    for (int r = 0; r < DialogRows; ++r) {
        TBandRow& row = AddressedRow(r);
        for (int c = 0; c < DialogBandColumns; ++c)
            row[static_cast<size_t>(c)] = ParseLevel(ValueEdit[r][c]->Text);
    }
    if (CurrentKind == TableMainFunction && OutputCount >= 2)
        for (int k = 0; k < DialogDistinctRows; ++k) {
            const int row = DistinctRow[k];
            if (row >= 0 && row < DialogRows) DistinctOutputRows[m][o][k] = MainTable[m][row];
        }
}

void TDatiComponenti::CopyDistinctRows() {
    if (DistinctOutputs || OutputCount < 2) return;
    for (int m = 0; m < DialogModules; ++m)
        for (int k = 0; k < DialogDistinctRows; ++k) {
            const int row = DistinctRow[k];
            if (row >= 0 && row < DialogRows) DistinctOutputRows[m][0][k] = MainTable[m][row];
        }
}

void TDatiComponenti::CopyModuleData(int to, int from) {
    if (to == from || to < 0 || from < 0 || to >= DialogModules || from >= DialogModules) return;
    std::copy(std::begin(MainTable[from]), std::end(MainTable[from]), MainTable[to]);
    std::copy(std::begin(InputAmpTable[from]), std::end(InputAmpTable[from]), InputAmpTable[to]);
    std::copy(std::begin(ThroughAmpTable[from]), std::end(ThroughAmpTable[from]), ThroughAmpTable[to]);
    for (int o = 0; o < DialogOutputs; ++o) {
        std::copy(std::begin(DistinctOutputRows[from][o]), std::end(DistinctOutputRows[from][o]),
                  DistinctOutputRows[to][o]);
        std::copy(std::begin(OutputAmpTable[from][o]), std::end(OutputAmpTable[from][o]),
                  OutputAmpTable[to][o]);
    }
    BandRowByte[to] = BandRowByte[from];
    TListaCanali::AddAll(ChannelLists[from], ChannelLists[to]);
}

void TDatiComponenti::CopyOutputData(int to, int from) {
    if (to == from || to < 0 || from < 0 || to >= DialogOutputs || from >= DialogOutputs) return;
    const int m = std::clamp(CurrentModule, 0, DialogModules - 1);
    std::copy(std::begin(DistinctOutputRows[m][from]), std::end(DistinctOutputRows[m][from]),
              DistinctOutputRows[m][to]);
    std::copy(std::begin(OutputAmpTable[m][from]), std::end(OutputAmpTable[m][from]), OutputAmpTable[m][to]);
}

// ---------------------------------------------------------------- showing and closing

void TDatiComponenti::ResetPages() {
    CurrentModule = 0;
    CurrentOutput = 0;
    // The layout was made afresh for the component: its own rows are shown.
    CurrentKind = TableMainFunction;
    {
        const TUpdating updating(Updating);
        RadioFunzione[0]->Checked = true;
        RadioUscita[0]->Checked = true;
    }
    if (ShowModuleTabs) {
        RebuildModuleTabs();
        ShowModulePage(0);
    } else {
        SelectModulePage(0);
    }
}

void TDatiComponenti::FormShow(TObject*) {
    // A component whose outputs differ brought its per-output tables.
    DistinctOutputs = ModuleData;
    CopyDistinctRows();
    ResetPages();
    // The "Libreria" group starts on the first open library.
    if (ComboLibreria->Text.Get().empty() && Librerie) {
        TStringList names;
        Librerie->ListNames(names);
        if (names.Count() > 0) ComboLibreria->Text = names[0];
    }
    ResetLibraryCodes();
    // The antenna's grid starts on the signal column of its first channel.
    const bool shown = GridCanali5->Visible;
    GridCanali5->Visible = true;
    GridCanali5->Selection = TGridRect{2, 1, 2, 1};
    GridCanali5->Visible = shown;
}

void TDatiComponenti::StoreShownPage() {
    StoreValueTable();
    if (ChannelGrids[1]) StoreChannelGrid(ChannelLists[std::clamp(CurrentModule, 0, DialogModules - 1)]);
}

void TDatiComponenti::StorePages() {
    // With module tabs the value rows show a tab, not the main table.
    if (!ShowModuleTabs) {
        StoreShownPage();
        return;
    }
    StoreModulePage();
    // Beside the module list, a module cell reads its description and
    // converter type from their controls: they show its own (first) module.
    if (const TModuloFiltro* first = ModuleList.head) {
        const TUpdating updating(Updating);
        EditDescrizioneModulo->Text = first->slotLabel[ModuleOutputSlot];
        ComboConversione->ItemIndex = static_cast<int>(first->flags & ModuleConversionMask);
    }
}

void TDatiComponenti::ReadFormInto(TCella& cell) {
    StorePages();
    cell.ReadDataDialogDefault(this);
    // The form may stay open: the tab shows its own module again.
    if (ShowModuleTabs) ShowSelectedTab();
}

void TDatiComponenti::CancelClick(TObject*) { ModalResult = mrCancel; }
