// TAutoProgetto: the form, its pages, buttons and menu, the page flow, the
// choices of page 0, the packages of page 3 and the components page.
#include <algorithm>
#include <string>

#include "autodesign/wizard.h"
#include "core/band_systems.h"
#include "core/cell_codes.h"
#include "core/control_builders.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/libraries.h"
#include "platform/application.h"

namespace {

constexpr int ButtonTop = 504;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr TColor ChosenColour = clRed;
constexpr TColor GroupColour = clNavy;

const char* const ConnectorItems[] = {"(Automatico)",
                                      "IEC maschio",
                                      "Connettore F",
                                      "IEC femmina",
                                      "IEC maschio + connettore F",
                                      "IEC maschio + IEC femmina",
                                      "IEC femmina + connettore F",
                                      "IEC maschio + IEC femmina + connettore F"};
const char* const ConnectorSlotNames[ConnectorPickers] = {"CPresaTer", "CPresaSat"};
// The package boxes: caption, top in the group, settings-store name. Boxes 2
// and 5 stay hidden: the wizard offers neither package.
struct TPackageBox {
    const char* Caption;
    int Top;
    const char* Name;
    bool Visible;
};
const TPackageBox PackageBoxes[PackageCount] = {{"Sky", 32, "CDp", true},
                                                {"Stream", 64, "CStream", false},
                                                {"RAI", 64, "CRai", true},
                                                {"Mediaset", 96, "CMediaset", true},
                                                {"Net System", 160, "CNetSystem", false}};
const char* const CableCaptions[CableRows] = {
    "Cavo montante terrestre",           "Cavo montante satellite",     "Cavo scala-appartamento terrestre",
    "Cavo scala-appartamento satellite", "Cavo appartamento terrestre", "Cavo appartamento satellite"};

// The six groups of page 0: caption, bounds, first button, button count, button width.
struct TChoiceGroupDef {
    const char* Caption;
    int Left, Top, Width, Height;
    int First, Count, ButtonWidth;
};
// clang-format off
const TChoiceGroupDef ChoiceGroupDefs[ChoiceGroups] = {
    {"Tipo di impianto ", 16, 56, 225, 121, ChoiceTerrestre, 3, 201},
    {"Elementi da progettare ", 16, 208, 225, 121, ChoiceRete, 3, 201},
    {"Tipo centrale di testa ", 272, 128, 217, 89, ChoiceLargaBanda, 2, 201},
    {"Tipo distribuzione satellite ", 272, 248, 217, 153, ChoiceMonocavo, 4, 201},
    {"Distribuzione terrestre-satellite ", 520, 128, 241, 89, ChoiceSeparate, 2, 217},
    {"Opzioni multiswitch ", 520, 248, 241, 121, ChoiceLungoScala, 3, 217},
};
// clang-format on
const char* const ChoiceCaptions[ChoiceCount] = {"Terrestre",
                                                 "Satellitare",
                                                 "Terrestre e satellitare",
                                                 "Rete di distribuzione",
                                                 "Centrale di testa",
                                                 "Rete e centrale",
                                                 "Larga banda",
                                                 "Modulare",
                                                 "Monocavo",
                                                 "Multiswitch 2 cavi",
                                                 "Multiswitch 4 cavi",
                                                 "Multiswitch 8 cavi",
                                                 "Separate",
                                                 "Unite",
                                                 "Multiswitch lungo scala",
                                                 "Multiswitch in appartamento",
                                                 "Radiale"};

AnsiString AppTitle() { return Application ? Application->Title : AnsiString(); }

void BoldArial(TControl* control, int pixels) {
    control->Font->Name = "Arial";
    control->Font->Height = -pixels;
    control->Font->Style = TFontStyles{fsBold};
}

TLabel* MakeLabel(TComponent* owner, TWinControl* parent, int left, int top, int width,
                  const AnsiString& caption) {
    auto* label = MakeControl<TLabel>(owner, parent, left, top, width, 16);
    label->AutoSize = false;
    label->Transparent = true;
    label->Caption = caption;
    BoldArial(label, 13);
    return label;
}

}  // namespace

TAutoProgetto::TAutoProgetto(TComponent* owner) : TForm(owner) {
    Busy = true;
    Caption = AppTitle() + " - Auto progetto";
    Width = 816;
    Height = 585;
    BorderIcons = TBorderIcons{biSystemMenu};
    OnShow = Handler(this, &TAutoProgetto::FormShow);

    MainMenu1 = new TMainMenu(this);
    Progetto = new TMenuItem(this);
    Progetto->Caption = "Progetto";
    Nuovo1 = new TMenuItem(this);
    Nuovo1->Caption = "&Nuovo";
    Nuovo1->OnClick = Handler(this, &TAutoProgetto::Nuovo1Click);
    Apri1 = new TMenuItem(this);
    Apri1->Caption = "&Apri";
    Apri1->OnClick = Handler(this, &TAutoProgetto::Apri1Click);
    Progetto->Add(Nuovo1);
    Progetto->Add(Apri1);
    Preselezionati = new TMenuItem(this);
    Preselezionati->Caption = "&Preselezionati";
    Preselezionati->OnClick = Handler(this, &TAutoProgetto::PreselezionatiClick);
    Salva = new TMenuItem(this);
    Salva->Caption = "&Salva";
    MainMenu1->Items->Add(Progetto);
    MainMenu1->Items->Add(Preselezionati);
    MainMenu1->Items->Add(Salva);
    using Click = void (TAutoProgetto::*)(TObject*);
    const Click loads[PreselectionSlots] = {
        &TAutoProgetto::Preselezione1LClick, &TAutoProgetto::Preselezione2LClick,
        &TAutoProgetto::Preselezione3LClick, &TAutoProgetto::Preselezione4LClick};
    const Click saves[PreselectionSlots] = {
        &TAutoProgetto::Preselezione1SClick, &TAutoProgetto::Preselezione2SClick,
        &TAutoProgetto::Preselezione3SClick, &TAutoProgetto::Preselezione4SClick};
    for (int i = 0; i < PreselectionSlots; ++i) {
        const AnsiString caption = "Preselezione &" + std::to_string(i + 1);
        PreselezioneL[i] = new TMenuItem(this);
        PreselezioneL[i]->Caption = caption;
        PreselezioneL[i]->OnClick = Handler(this, loads[i]);
        Preselezionati->Add(PreselezioneL[i]);
        PreselezioneS[i] = new TMenuItem(this);
        PreselezioneS[i]->Caption = caption;
        PreselezioneS[i]->OnClick = Handler(this, saves[i]);
        Salva->Add(PreselezioneS[i]);
    }
    Menu = MainMenu1;

    const char* const titles[WizardPages] = {"Specifica della tipologia di impianto",
                                             "Descrizione dell'edificio", nullptr, nullptr,
                                             "Specifica dei componenti da utilizzare"};
    for (int p = 0; p < WizardPages; ++p) {
        Pages[p] = MakeControl<TPanel>(this, this, 0, 0, Width - 8, ButtonTop - 4);
        Pages[p]->BevelOuter = bvNone;
        Pages[p]->Visible = p == 0;
        PageTitles[p] = nullptr;
        if (titles[p]) {
            PageTitles[p] = MakeLabel(this, Pages[p], 16, 8, 480, titles[p]);
            PageTitles[p]->Height = 22;
            BoldArial(PageTitles[p], 19);
        }
    }

    BAnnulla = MakeControl<TButton>(this, this, 552, ButtonTop, ButtonWidth, ButtonHeight);
    BAnnulla->Caption = "Annulla";
    BAnnulla->OnClick = Handler(this, &TAutoProgetto::CancelClick);
    BAnnulla->Visible = false;
    BIndietro = MakeControl<TButton>(this, this, 632, ButtonTop, ButtonWidth, ButtonHeight);
    BIndietro->Caption = "<< Indietro";
    BIndietro->OnClick = Handler(this, &TAutoProgetto::PageBack);
    BIndietro->Enabled = false;
    BAvanti = MakeControl<TButton>(this, this, 712, ButtonTop, ButtonWidth, ButtonHeight);
    BAvanti->Caption = "Avanti >>";
    BAvanti->OnClick = Handler(this, &TAutoProgetto::PageForward);

    BuildTypePage();
    BuildBuildingPage();
    for (int k = 0; k < WizardChannelPanels; ++k) {
        ChannelPanels[k] =
            MakeControl<TPannelloCanaliTer>(this, Pages[WizardChannelsPage], 8, 8 + 160 * k, 777, 154);
        ChannelPanels[k]->Index = k;
        if (k > 0) ChannelPanels[k - 1]->Next = ChannelPanels[k];
    }
    AntennaScroll = MakeControl<TScrollBar>(this, Pages[WizardChannelsPage], 788, 14, 16, 467);
    AntennaScroll->Kind = sbVertical;
    AntennaScroll->Min = 0;
    AntennaScroll->Max = AntennaSlots - WizardChannelPanels;
    AntennaScroll->OnChange = Handler(this, &TAutoProgetto::AntennaScrollChange);
    BuildPackagesPage();
    BuildComponentsPage();
    ShowPreselectionMenus(false);
    Busy = false;
}

void TAutoProgetto::BuildTypePage() {
    TPanel* page = Pages[WizardTypePage];
    for (int g = 0; g < ChoiceGroups; ++g) {
        const TChoiceGroupDef& d = ChoiceGroupDefs[g];
        ChoiceGroup[g] = MakeControl<TGroupBox>(this, page, d.Left, d.Top, d.Width, d.Height);
        ChoiceGroup[g]->Caption = d.Caption;
        BoldArial(ChoiceGroup[g], 13);
        ChoiceGroup[g]->Font->Color = GroupColour;
        for (int i = 0; i < d.Count; ++i) {
            TRadioButton*& b = Choice[d.First + i];
            b = MakeControl<TRadioButton>(this, ChoiceGroup[g], 8, 32 + 32 * i, d.ButtonWidth, 17);
            b->Caption = ChoiceCaptions[d.First + i];
            BoldArial(b, 13);
            b->Font->Color = clBlack;
            b->OnClick = Handler(this, &TAutoProgetto::ChoiceClick);
        }
    }
    // Multiswitches in the apartment are designed when a loaded project or a
    // preset asks for them, but not offered here: the button stays hidden,
    // "Radiale" takes its row and the group closes up. A head-end-only
    // design is shown the same way and cannot be chosen.
    Choice[ChoiceInAppartamento]->Visible = false;
    Choice[ChoiceRadiale]->Top = Choice[ChoiceRadiale]->Top - 28;
    TGroupBox* options = ChoiceGroup[ChoiceGroups - 1];
    options->Height = options->Height - 28;
    Choice[ChoiceCentrale]->Enabled = false;
}

void TAutoProgetto::BuildPackagesPage() {
    PackageGroup = MakeControl<TGroupBox>(this, Pages[WizardPackagesPage], 288, 176, 185, 161);
    PackageGroup->Caption = "Pacchetti Sat ";
    BoldArial(PackageGroup, 13);
    PackageGroup->Font->Color = GroupColour;
    for (int k = 0; k < PackageCount; ++k) {
        PackageBox[k] = MakeControl<TCheckBox>(this, PackageGroup, 24, PackageBoxes[k].Top, 120, 17);
        PackageBox[k]->Caption = PackageBoxes[k].Caption;
        BoldArial(PackageBox[k], 13);
        PackageBox[k]->Font->Color = clBlack;
        PackageBox[k]->Visible = PackageBoxes[k].Visible;
        PackageBox[k]->OnClick = Handler(this, &TAutoProgetto::PackageBoxClick);
    }
}

void TAutoProgetto::BuildComponentsPage() {
    TPanel* page = Pages[WizardComponentsPage];
    const char* const columns[3] = {"Libreria", "Codice", "Altri componenti"};
    const int columnLeft[3] = {208, 344, 496};
    for (int c = 0; c < 3; ++c) ColumnTitle[c] = MakeLabel(this, page, columnLeft[c], 44, 129, columns[c]);
    for (int r = 0; r < CableRows; ++r) {
        CableLabel[r] = MakeLabel(this, page, 8, 68 + 24 * r, 193, CableCaptions[r]);
        // The longest captions fit the column only a size smaller.
        CableLabel[r]->Font->Height = -11;
        for (int side = 0; side < 2; ++side) {
            TComboBox*& picker = CablePicker[2 * r + side];
            picker = MakeControl<TComboBox>(this, page, side == 0 ? 208 : 344, 64 + 24 * r, 129, 21);
            picker->Sorted = true;
            if (side == 0) {
                picker->OnEnter = Handler(this, &TAutoProgetto::LibraryPickerEnter);
                picker->OnChange = Handler(this, &TAutoProgetto::LibraryPickerChange);
            } else {
                picker->OnEnter = Handler(this, &TAutoProgetto::CodePickerEnter);
                picker->OnChange = Handler(this, &TAutoProgetto::CodePickerChange);
            }
        }
    }
    for (int k = 0; k < ConnectorPickers; ++k) {
        ConnectorLabel[k] = MakeLabel(this, page, 8, 252 + 24 * k, 193, "Connettori prese terrestri");
        ConnectorLabel[k]->Font->Height = -11;
        ConnectorPicker[k] = MakeControl<TComboBox>(this, page, 208, 248 + 24 * k, 265, 21);
        ConnectorPicker[k]->Style = csDropDownList;
        for (const char* item : ConnectorItems) ConnectorPicker[k]->Items->Add(item);
        ConnectorPicker[k]->ItemIndex = 0;
        ConnectorPicker[k]->OnChange = Handler(this, &TAutoProgetto::ConnectorPickerChange);
    }
    ComponentTree = MakeControl<TSelectionTreeView>(this, page, 496, 64, 257, 433);
    ComponentTree->OnClick = Handler(this, &TAutoProgetto::ComponentTreeClick);
    FrequencyLabel = MakeLabel(this, page, 232, 476, 163, "Frequenza di calcolo:");
    FrequencyLabel->Visible = false;
    FrequencyPicker = MakeControl<TComboBox>(this, page, 400, 472, 89, 21);
    FrequencyPicker->Style = csDropDownList;
    FrequencyPicker->Visible = false;
}

// ---------------------------------------------------------------- showing

void TAutoProgetto::FormShow(TObject*) {
    if (TCustomForm* main = Application ? Application->MainForm() : nullptr; main && main != this) {
        Top = main->Top + (main->Height - Height) / 2;
        Left = main->Left + (main->Width - Width) / 2;
    }
    if (FirstShow) FillComponentPickers();
    if (!Opz().WizardSynced) ResetWizard();
}

void TAutoProgetto::ShowPreselectionMenus(bool on) {
    Preselezionati->Visible = on;
    Salva->Visible = on;
}

void TAutoProgetto::ShowPage(int page, bool componentMode) {
    const bool wasBusy = Busy;
    Busy = true;
    if (componentMode != ComponentMode) {
        const int shown = componentMode ? WizardComponentsPage : SavedPage;
        SavedPage = CurrentPage;
        page = shown;
    }
    for (TLabel* title : ColumnTitle) title->Visible = !componentMode;
    for (int r = 0; r < CableRows; ++r) CableLabel[r]->Visible = !componentMode;
    for (TComboBox* picker : CablePicker) picker->Visible = !componentMode;
    for (int k = 0; k < ConnectorPickers; ++k) {
        ConnectorLabel[k]->Visible = !componentMode;
        ConnectorPicker[k]->Visible = !componentMode;
    }
    FrequencyLabel->Visible = componentMode;
    FrequencyPicker->Visible = componentMode;
    BIndietro->Visible = !componentMode;
    Progetto->Visible = !componentMode;

    for (TPanel* p : Pages) p->Visible = false;
    BAvanti->Enabled = true;
    BIndietro->Enabled = true;
    BAvanti->Caption = "Avanti >>";
    page = page < 0 || page >= WizardPages ? WizardTypePage : page;
    Pages[page]->Visible = true;
    ShowPreselectionMenus(page == WizardChannelsPage || page == WizardComponentsPage);
    CurrentPage = page;
    ComponentMode = componentMode;
    if (page == WizardTypePage) {
        BIndietro->Enabled = false;
        RefreshChoices();
    } else if (page == WizardBuildingPage) {
        bool select = true;
        BuildingGridSelectCell(BuildingGrid, 0, 0, select);
    } else if (page == WizardComponentsPage) {
        BAvanti->Caption = componentMode ? "Ok" : "Fine";
        if (!componentMode) UpdateComponentRows();
    }
    Busy = wasBusy;
}

int TAutoProgetto::VisiblePage() const {
    for (int p = 0; p < WizardPages; ++p)
        if (Pages[p]->Visible) return p;
    return -1;
}

int TAutoProgetto::NextPage(int page) const {
    const TOpzProgetto& o = Opz();
    const bool channels = o.Terrestrial && o.DesignHeadEnd;
    const bool packages = o.Satellite && o.DesignHeadEnd && o.SatelliteCables == 1;
    switch (page) {
    case WizardTypePage: return WizardBuildingPage;
    case WizardBuildingPage:
        return channels ? WizardChannelsPage : packages ? WizardPackagesPage : WizardComponentsPage;
    case WizardChannelsPage: return packages ? WizardPackagesPage : WizardComponentsPage;
    default: return WizardComponentsPage;
    }
}

int TAutoProgetto::PreviousPage(int page) const {
    const TOpzProgetto& o = Opz();
    const bool channels = o.Terrestrial && o.DesignHeadEnd;
    const bool packages = o.Satellite && o.DesignHeadEnd && o.SatelliteCables == 1;
    switch (page) {
    case WizardBuildingPage: return WizardTypePage;
    case WizardChannelsPage: return WizardBuildingPage;
    case WizardPackagesPage: return channels ? WizardChannelsPage : WizardBuildingPage;
    case WizardComponentsPage:
        return packages ? WizardPackagesPage : channels ? WizardChannelsPage : WizardBuildingPage;
    default: return WizardTypePage;
    }
}

bool TAutoProgetto::AntennasChosen() {
    for (int i = 0; i < AntennaSlots; ++i) {
        const TAntennaAutoProg& a = Opz().Antennas[static_cast<size_t>(i)];
        if (!a.Channels.head || !a.Code.empty()) continue;
        // Shown in the first panel, or as near to it as the scroll bar goes.
        AntennaScroll->Position = std::min(i, AntennaScroll->Max.Get());
        AntennaScrollChange(AntennaScroll);
        if (Application)
            Application->MessageBox("Scegliere il codice dell'antenna " + std::to_string(i + 1) + ".",
                                    AppTitle(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void TAutoProgetto::PageForward(TObject*) {
    const int page = VisiblePage();
    if (page == WizardChannelsPage && !AntennasChosen()) return;
    if (page == WizardComponentsPage) {
        StoreControls();
        ModalResult = WizardDone;
        return;
    }
    ShowPage(NextPage(page), ComponentMode);
}

void TAutoProgetto::PageBack(TObject*) {
    const int page = VisiblePage();
    if (page <= WizardTypePage) return;
    ShowPage(PreviousPage(page), ComponentMode);
}

void TAutoProgetto::CancelClick(TObject*) {
    StoreControls();
    ModalResult = WizardClosed;
}

void TAutoProgetto::PrepareAutoDesign() {
    Caption = AppTitle() + " - Auto progetto";
    if (FirstShow) FillComponentPickers();
    ShowPage(CurrentPage, false);
}

void TAutoProgetto::PrepareComponentSelection() {
    if (FirstShow) FillComponentPickers();
    Caption = AppTitle() + " - Selezione automatica dei componenti";
    ShowPage(WizardComponentsPage, true);
}

void TAutoProgetto::ResetWizard() {
    const bool wasBusy = Busy;
    Busy = true;
    for (int p = 0; p < WizardPages; ++p) Pages[p]->Visible = p == WizardTypePage;
    CurrentPage = WizardTypePage;
    BIndietro->Enabled = false;
    BAvanti->Caption = "Avanti >>";
    BAvanti->Enabled = true;
    ShowPreselectionMenus(false);
    RefreshChoices();
    RefreshBuildingGrid();
    LoadBuildingControls();
    AntennaScroll->Position = 0;
    AntennaScrollChange(AntennaScroll);
    LoadControls();
    Opz().WizardSynced = true;
    // The component choice offers its page alone: controls reloaded from a
    // record read since (a project just opened) keep the wizard on it, and
    // leaving the mode starts again from the type page.
    if (ComponentMode) {
        SavedPage = WizardTypePage;
        ShowPage(WizardComponentsPage, true);
    }
    Busy = wasBusy;
}

void TAutoProgetto::Nuovo1Click(TObject*) {
    // A new design describes its reception from the start: the satellite
    // packages, as the antennas' channels, are the defaults' (none) like every
    // other choice of the description pages. The components page keeps the
    // person's components.
    TOpzProgetto& o = Opz();
    o.SetDefaults();
    for (bool& package : o.Packages) package = false;
    ResetWizard();
}

void TAutoProgetto::Apri1Click(TObject*) {
    if (OpenDialog && OpenDialog->Execute()) ModalResult = WizardOpenProject;
}

void TAutoProgetto::AntennaScrollChange(TObject*) {
    for (int k = 0; k < WizardChannelPanels; ++k) {
        ChannelPanels[k]->Index = AntennaScroll->Position + k;
        ChannelPanels[k]->Settings = Settings;
    }
    ChannelPanels[0]->Refresh();
}

int TAutoProgetto::CalculationBand() const {
    const int index = FrequencyPicker->ItemIndex;
    return index < 0 ? DefaultCalculationBand : index + 1;
}

// ---------------------------------------------------------------- page 0

void TAutoProgetto::ChoiceClick(TObject* Sender) {
    if (Busy) return;
    int choice = -1;
    for (int k = 0; k < ChoiceCount; ++k)
        if (Choice[k] == Sender) choice = k;
    if (choice < 0) return;
    MarkDesign();
    TOpzProgetto& o = Opz();
    switch (choice) {
    case ChoiceTerrestre: o.Terrestrial = true, o.Satellite = false; break;
    case ChoiceSatellitare: o.Terrestrial = false, o.Satellite = true; break;
    case ChoiceTerSat: o.Terrestrial = true, o.Satellite = true; break;
    case ChoiceRete: o.DesignNetwork = true, o.DesignHeadEnd = false; break;
    case ChoiceCentrale: o.DesignNetwork = false, o.DesignHeadEnd = true; break;
    case ChoiceReteCentrale: o.DesignNetwork = true, o.DesignHeadEnd = true; break;
    case ChoiceLargaBanda: o.Wideband = true; break;
    case ChoiceModulare: o.Wideband = false; break;
    case ChoiceMonocavo: o.SatelliteCables = 1, o.Radial = false; break;
    case ChoiceMs2: o.SatelliteCables = 2; break;
    case ChoiceMs4: o.SatelliteCables = 4; break;
    case ChoiceMs8: o.SatelliteCables = 8; break;
    case ChoiceSeparate: o.SeparateDistributions = true; break;
    case ChoiceUnite: o.SeparateDistributions = false; break;
    case ChoiceLungoScala: o.MultiswitchAlongStaircase = true, o.Radial = false; break;
    case ChoiceInAppartamento: o.MultiswitchAlongStaircase = false, o.Radial = false; break;
    case ChoiceRadiale: o.MultiswitchAlongStaircase = false, o.Radial = true; break;
    default: break;
    }
    RefreshChoices();
}

void TAutoProgetto::RefreshChoices() {
    const bool wasBusy = Busy;
    Busy = true;
    const TOpzProgetto& o = Opz();
    int chosen[ChoiceGroups] = {-1, -1, -1, -1, -1, -1};
    bool enabled[ChoiceGroups] = {true, true, true, true, true, true};
    if (o.Terrestrial || o.Satellite)
        chosen[0] = o.Terrestrial && o.Satellite ? ChoiceTerSat
                    : o.Terrestrial              ? ChoiceTerrestre
                                                 : ChoiceSatellitare;
    if (o.DesignNetwork || o.DesignHeadEnd)
        chosen[1] = o.DesignNetwork && o.DesignHeadEnd ? ChoiceReteCentrale
                    : o.DesignNetwork                  ? ChoiceRete
                                                       : ChoiceCentrale;
    enabled[2] = o.DesignHeadEnd && o.Terrestrial;
    if (enabled[2]) chosen[2] = o.Wideband ? ChoiceLargaBanda : ChoiceModulare;
    enabled[3] = o.Satellite;
    switch (o.SatelliteCables) {
    case 1: chosen[3] = ChoiceMonocavo; break;
    case 2: chosen[3] = ChoiceMs2; break;
    case 4: chosen[3] = ChoiceMs4; break;
    case 8: chosen[3] = ChoiceMs8; break;
    default: break;
    }
    enabled[4] = o.Terrestrial && o.Satellite;
    chosen[4] = o.SeparateDistributions ? ChoiceSeparate : ChoiceUnite;
    enabled[5] = o.Satellite && o.SatelliteCables >= 2;
    if (enabled[5])
        chosen[5] = o.Radial                      ? ChoiceRadiale
                    : o.MultiswitchAlongStaircase ? ChoiceLungoScala
                                                  : ChoiceInAppartamento;
    for (int g = 0; g < ChoiceGroups; ++g) {
        const TChoiceGroupDef& d = ChoiceGroupDefs[g];
        ChoiceGroup[g]->Enabled = enabled[g];
        for (int k = d.First; k < d.First + d.Count; ++k) {
            Choice[k]->Enabled = enabled[g] && k != ChoiceCentrale;
            Choice[k]->Checked = k == chosen[g];
            Choice[k]->Font->Color = !enabled[g] ? clGrayText : k == chosen[g] ? ChosenColour : clBlack;
        }
    }
    if (Pages[WizardTypePage]->Visible)
        BAvanti->Enabled = (o.Terrestrial || o.Satellite) && (o.DesignNetwork || o.DesignHeadEnd);
    Busy = wasBusy;
}

// ---------------------------------------------------------------- pages 3 and 4

void TAutoProgetto::PackageBoxClick(TObject* Sender) {
    MarkDesign();
    for (int k = 0; k < PackageCount; ++k)
        if (PackageBox[k] == Sender && Ini) Ini->WriteBool(PackageBoxes[k].Name, PackageBox[k]->Checked);
}

void TAutoProgetto::LibraryPickerEnter(TObject* Sender) {
    auto* picker = static_cast<TComboBox*>(Sender);
    picker->Items->Clear();
    if (Librerie) Librerie->ListNames(*picker->Items);
    if (picker->Text.Get().empty() && picker->Items->Count() == 1) picker->ItemIndex = 0;
}

void TAutoProgetto::LibraryPickerChange(TObject* Sender) {
    for (int r = 0; r < CableRows; ++r)
        if (CablePicker[2 * r] == Sender) CablePicker[2 * r + 1]->Text = AnsiString();
}

void TAutoProgetto::CodePickerEnter(TObject* Sender) {
    for (int r = 0; r < CableRows; ++r) {
        if (CablePicker[2 * r + 1] != Sender) continue;
        TLibreria* library = Librerie ? Librerie->Find(CablePicker[2 * r]->Text) : nullptr;
        if (!library || !library->Open(false)) return;
        CablePicker[2 * r + 1]->Items->Clear();
        library->Query(*CablePicker[2 * r + 1]->Items, "", CodeCable, 0, 0, 0, lqCodesOfType);
        library->Close();
    }
}

void TAutoProgetto::CodePickerChange(TObject* Sender) {
    MarkDesign();
    if (!Ini) return;
    for (int r = 0; r < CableRows; ++r) {
        if (CablePicker[2 * r + 1] != Sender) continue;
        TIniUpdate update(*Ini);
        Ini->WriteString(AnsiString("C") + CablePickerNames[2 * r], CablePicker[2 * r]->Text);
        Ini->WriteString(AnsiString("C") + CablePickerNames[2 * r + 1], CablePicker[2 * r + 1]->Text);
    }
}

void TAutoProgetto::ConnectorPickerChange(TObject* Sender) {
    MarkDesign();
    for (int k = 0; k < ConnectorPickers; ++k)
        if (ConnectorPicker[k] == Sender && Ini)
            Ini->WriteInteger(ConnectorSlotNames[k], ConnectorPicker[k]->ItemIndex);
}

void TAutoProgetto::ComponentTreeClick(TObject*) { MarkDesign(); }

void TAutoProgetto::LoadControls() {
    const TOpzProgetto& o = Opz();
    for (int k = 0; k < PackageCount; ++k) PackageBox[k]->Checked = o.Packages[k];
    for (int k = 0; k < CableTextCount; ++k)
        if (!o.CableTexts[k].empty()) CablePicker[k]->Text = o.CableTexts[k];
    ConnectorPicker[0]->ItemIndex = o.TerrConnector < 0 ? 0 : o.TerrConnector;
    ConnectorPicker[1]->ItemIndex = o.SatConnector < 0 ? 0 : o.SatConnector;
    for (int r = 0; r < CableRows; ++r) {
        TComboBox* library = CablePicker[2 * r];
        if (library->Text.Get().empty() && library->Items->Count() == 1) library->ItemIndex = 0;
    }
}

void TAutoProgetto::StoreControls() {
    TOpzProgetto& o = Opz();
    for (int k = 0; k < PackageCount; ++k) o.Packages[k] = PackageBox[k]->Checked;
    for (int k = 0; k < CableTextCount; ++k) o.CableTexts[k] = CablePicker[k]->Text;
    o.TerrConnector = ConnectorPicker[0]->ItemIndex;
    o.SatConnector = ConnectorPicker[1]->ItemIndex;
}

void TAutoProgetto::FillComponentPickers() {
    FirstShow = false;
    const bool wasBusy = Busy;
    Busy = true;
    ComponentTree->Items->Clear();
    FillLibraryTree(ComponentTree, SelectionTreeFlags, OfferedOnPalettes);
    ComponentTree->AlphaSort();
    int filled = 0;
    for (int i = ComponentTree->Items->RootCount() - 1; i >= 0; --i) {
        TTreeNode* root = ComponentTree->Items->Root(i);
        if (root->Count() == 0)
            root->Delete();
        else
            ++filled;
    }
    if (filled == 1) {
        TTreeNode* root = ComponentTree->Items->GetFirstNode();
        ComponentTree->SetNodeState(root, NodeFull);
        root->Expand(false);
    }
    ReadDefaultSel();
    ResetWizard();
    if (Ini) {
        for (int k = 0; k < CableTextCount; ++k) {
            const AnsiString text = Ini->String(AnsiString("C") + CablePickerNames[k]);
            if (!text.empty()) CablePicker[k]->Text = text;
        }
        for (int k = 0; k < ConnectorPickers; ++k) {
            int32_t index = -1;
            Ini->ReadInteger(ConnectorSlotNames[k], index);
            if (Ini->String(ConnectorSlotNames[k]).empty()) continue;
            ConnectorPicker[k]->ItemIndex =
                index < 0 || index >= ConnectorPicker[k]->Items->Count() ? 0 : index;
        }
        for (int k = 0; k < PackageCount; ++k) {
            bool on = false;
            Ini->ReadBool(PackageBoxes[k].Name, on);
            if (!Ini->String(PackageBoxes[k].Name).empty()) PackageBox[k]->Checked = on;
        }
    }
    FrequencyPicker->Items->Clear();
    for (int band = 1; band <= FrequencyBands; ++band) {
        const bool known = SistemaBandeCorrente && band < SistemaBandeCorrente->bandCount;
        const float reference =
            known ? SistemaBandeCorrente->bands[static_cast<size_t>(band)].reference : 0.0f;
        FrequencyPicker->Items->Add(FloatToStr(reference) + " MHz");
    }
    FrequencyPicker->ItemIndex = DefaultCalculationBand - 1;
    TStringList names;
    if (Librerie) Librerie->ListNames(names);
    auto fill = [&](TComboBox* picker) {
        picker->Items->Assign(names);
        if (picker->Text.Get().empty() && picker->Items->Count() == 1) picker->ItemIndex = 0;
    };
    for (int r = 0; r < CableRows; ++r) fill(CablePicker[2 * r]);
    for (TPannelloCanaliTer* panel : ChannelPanels) fill(panel->Library);
    StoreControls();
    Busy = wasBusy;
}

void TAutoProgetto::UpdateComponentRows() {
    const TOpzProgetto& o = Opz();
    const bool m = o.Satellite && o.SatelliteCables != 1;
    const bool t = o.Terrestrial && (o.SeparateDistributions || !m);
    const bool j = t && o.Satellite && !o.SeparateDistributions;
    const bool x = m && o.Terrestrial && !o.SeparateDistributions;
    const bool s = m || (o.Satellite && (o.SeparateDistributions || !o.Terrestrial));
    const bool rows[CableRows] = {
        (t || x) && !j, j || s,  !j && (t || (x && !o.MultiswitchAlongStaircase && !o.Radial)),
        j || s,         t && !j, !(t && !j && !s)};
    for (int r = 0; r < CableRows; ++r) {
        CableLabel[r]->Enabled = rows[r];
        CablePicker[2 * r]->Enabled = rows[r];
        CablePicker[2 * r + 1]->Enabled = rows[r];
    }
    CableLabel[1]->Caption = j ? "Cavo montante" : "Cavo montante satellite";
    CableLabel[3]->Caption = j ? "Cavo scala-appartamento" : "Cavo scala-appartamento satellite";
    CableLabel[5]->Caption = rows[5] && !x ? "Cavo appartamento" : "Cavo appartamento satellite";
    const bool connectors[ConnectorPickers] = {t && !j, j || s};
    for (int k = 0; k < ConnectorPickers; ++k) {
        ConnectorLabel[k]->Enabled = connectors[k];
        ConnectorPicker[k]->Enabled = connectors[k];
    }
    // Outlets carrying both signals take the plain caption.
    ConnectorLabel[1]->Caption = j || x ? "Connettori prese" : "Connettori prese satellitari";
}
