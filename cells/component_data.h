#pragma once
// TDatiComponenti: the one form in which the data of every kind of component
// are entered. It is a generic sheet (a header, eight sections and two
// buttons, all made in code) that knows nothing of component classes: a cell
// switches on the sections, rows and check boxes it needs, fills the form's
// controls and tables from its own data and reads them back on OK. The
// program keeps one instance for its whole run; every edit refills it.
#include <array>
#include <cstdint>
#include <functional>

#include "core/cell_codes.h"
#include "core/channel_list.h"
#include "core/filter_modules.h"
#include "core/levels.h"
#include "platform/comctrls.h"
#include "platform/controls.h"
#include "platform/forms.h"

class TCella;
class TSistemaBande;
class TComboStringGrid;
class TLibreria;

// One row of a value table: a value per band slot.
using TBandRow = std::array<float, BandSlots>;

// Sizes of the form's tables.
constexpr int DialogModules = 17;      // modules (pages) of a component
constexpr int DialogRows = 12;         // value rows of a page
constexpr int DialogOutputs = 20;      // outputs of a module
constexpr int DialogStageRows = 7;     // rows of an amplification stage
constexpr int DialogDistinctRows = 2;  // rows kept per output when outputs are distinct
constexpr int DialogBandColumns = 11;  // band columns the sheet edits
constexpr int DialogChannelRows = 3;

// Table kinds the value rows show.
enum : int {
    TableMainFunction = 0,
    TableInputAmplification = 1,
    TableThroughAmplification = 2,
    TableOutputAmplification = 3,
};

// Bits of the electrical word ("Dati elettrici").
enum : int32_t {
    ElectricInputs = 0x01,           // "Ingressi" in every shown port row
    ElectricThrough = 0x02,          // "Passanti"
    ElectricTaps = 0x04,             // "Uscite"
    ElectricReceives = 0x08,         // "Riceve alimentazione da"
    ElectricFeeds = 0x10,            // "Alimenta"
    ElectricRefuses = 0x20,          // "Non accetta alimentazione da"
    ElectricCurrent = 0x40,          // "Corrente assorbita:"
    ElectricInternalSupply = 0x80,   // "Alimentatore interno", with ElectricReceives
    ElectricExternalSupply = 0x100,  // "Alimentatore esterno", with ElectricReceives
};
// The three port rows, and the current with the two supply boxes.
constexpr int32_t ElectricPortRows = ElectricInputs | ElectricThrough | ElectricTaps;
constexpr int32_t ElectricSupplies = ElectricCurrent | ElectricInternalSupply | ElectricExternalSupply;
constexpr int32_t ElectricAll =
    ElectricPortRows | ElectricReceives | ElectricFeeds | ElectricRefuses | ElectricSupplies;

// Bits of the other-features word ("Altre caratteristiche").
enum : int32_t {
    FeatureDigital = 0x01,
    FeatureQuadLnb = 0x04,
    FeatureOptical = 0x08,
};

// Bit of SetPortFlags that makes its word a mask of rows instead of a count.
constexpr int32_t PortFlagsMask = 0x800000;

// The prefix of the data-check messages of the form's OK.
constexpr const char* DataCheckPrefix = "Dati componente errati a causa del seguante problema: ";

// The three supply groups of "Dati elettrici", in the order of the cell's power data.
enum : int { SupplyReceives = 0, SupplyFeeds = 1, SupplyRefuses = 2 };
// The three port groups of each supply group.
enum : int { PortGroupInputs = 0, PortGroupThrough = 1, PortGroupTaps = 2 };

// What the form's numeric places hold (component_data_places.cpp).
// A frequency in MHz, empty for none.
TNumberRule FrequencyRule();
// A signal level in dB(µV), empty for none.
TNumberRule SignalLevelRule();
// A carrier-to-noise ratio in dB, empty for none.
TNumberRule CarrierToNoiseRule();
// A value of the signal table for the row's caption: frequencies, gain and
// tilt settings, noise figures and other levels; empty (no value), "*"
// (not handled) and "<" (as the band to the left) as the level codes allow.
TNumberRule SignalTableRule(const AnsiString& rowCaption);
// A price as the price edit holds it: empty is 0.
float PriceOf(const AnsiString& text);

// The editor of a custom component's circuit and symbol lives above the
// cells, with the main window's palettes; the program's start names it here.
using TCustomCellEditor = void (*)(TCella& cell);
void SetCustomCellEditor(TCustomCellEditor editor);

class TDatiComponenti : public TForm {
public:
    explicit TDatiComponenti(TComponent* owner);
    ~TDatiComponenti() override;

    // ---- Preparation by the component classes, in this order ----
    // Hides every optional section and check box and puts the switches back
    // to their defaults.
    void ResetSections();
    // Captions of the three port check boxes of every supply group.
    void SetPortCaptions(const AnsiString& inputs, const AnsiString& through, const AnsiString& taps);
    // With PortFlagsMask set, row i is shown when bit i is set; otherwise the
    // word counts the rows shown from row 0.
    void SetPortFlags(int32_t word);
    // Lays the form out for the switches and sets its caption; does not show it.
    void ArrangeLayout();

    // ---- Value tables ----
    void ShowBandHeader();
    void HideBandHeader();
    // Writes the table of the current kind, module and output into the value
    // edits, or reads the edits back into it.
    void ShowValueTable();
    void StoreValueTable();
    // With shared outputs, the two distinct rows of every module go to the
    // store of output 0.
    void CopyDistinctRows();
    void CopyModuleData(int to, int from);
    void CopyOutputData(int to, int from);
    // Row r of the table the value edits address (kind, module, output).
    TBandRow& AddressedRow(int r);
    // The single-output amplification table of a module: output 0 of the
    // output-amplification table.
    TBandRow* SingleOutputTable(int module) { return OutputAmpTable[module][0]; }

    // ---- Handlers ----
    void FormShow(TObject* sender);
    void OkClick(TObject* sender);
    void CancelClick(TObject* sender);

    // ---- Editing handlers (component_data_edit.cpp) ----
    // The three channel rows of "Dati segnali".
    void ChannelEdgeChange(int row);
    void ChannelComboEnter(int row);
    void ChannelComboChange(int row);
    void PlanComboChange(int row);
    // An antenna's wind data: area, or thrust and speed.
    void AreaChange(TObject* sender);
    void ThrustChange(TObject* sender);
    void WindSpeedChange(TObject* sender);
    // Price and currency.
    void PriceExit(TObject* sender);
    void CurrencyEnter(TObject* sender);
    void ConvertPrice(TObject* sender);
    // The two "Scambia" buttons, "Cambia canali" and "LNB Quad".
    void SwapMainTablesClick(TObject* sender);
    void SwapValueRowsClick(TObject* sender);
    void ChangeChannelsClick(TObject* sender);
    void LnbQuadClick(TObject* sender);

    // ---- Pages: main function, module and output (component_data_edit.cpp) ----
    // Switches the value rows to a table kind, then shows the current module.
    void SetRegulationRowsMode(int kind);
    // A module at or above the module count gives module 0.
    void SelectModulePage(int module);
    void SelectOutput(int output);
    // Each stores the page shown, then shows the new one.
    void ChangeTableKind(int kind);
    void ChangeModule(int module);
    void ChangeOutput(int output);
    // "Uscite distinte" / "Uscite uguali".
    void UpdateEqualOutputs(TObject* sender);
    // A selector button dropped on another: copies the dragged module or
    // output onto the one dropped on.
    void ModuleDropped(int target, int source);
    void OutputDropped(int target, int source);

    // ---- Channel grids (component_data_grids.cpp) ----
    // The eight-column grid from a channel list, and the list rebuilt from it.
    void ShowChannelGrid(const TListaCanali& list);
    void StoreChannelGrid(TListaCanali& list);
    // "(Nessuna)" and the plans of the chosen uses, in each channel row's plan combo.
    void FillPlanCombos(bool terrestrial, bool satellite);
    // A combo's items: every channel of a plan, or those meeting a range (MHz).
    static void FillChannelCombo(TComboBox* combo, const TCanalizzazione* plan);
    static void AddChannelsInRange(TComboBox* combo, const TCanalizzazione* plan, float from, float to);
    void Grid8SelectCell(int col, int row, bool& canSelect);
    void Grid8SetEditText(int col, int row, const AnsiString& value);
    void Grid8ComboChange();
    void Grid5SelectCell(int col, int row, bool& canSelect);
    void Grid5SetEditText(int col, int row, const AnsiString& value);
    void Grid5ComboChange();

    // ---- Module tabs (component_data_modules.cpp) ----
    // "Ampli Entrata", "Ampli Uscita" and a "Modulo n" per module of the list.
    void RebuildModuleTabs();
    // Selects the tab of a module and shows it.
    void ShowModulePage(int index);
    void ShowModule(int index);
    void StoreModule();
    // The input (0) or output (1) amplifier's regulation rows.
    void ShowRegulationValues(int tab);
    void StoreRegulationValues();
    // The module or amplifier tab shown goes back into the module list or the tables.
    void StoreModulePage();
    void ShowSelectedTab();
    void TabChange(TObject* sender);
    // A converter's rows for its conversion type: "IF/IF" takes no output
    // channel, the PAL conversions an output level and no gain.
    void UpdateModuleTypeRows(TObject* sender);

    // ---- Library combos (component_data_edit.cpp) ----
    // Lists the open libraries' names.
    void LibraryNamesEnter(TObject* sender);
    // "Struttura": the edited custom component in the editor the program's
    // start names (SetCustomCellEditor); without one the button does nothing.
    void EditCustomCell(TObject* sender);
    // "Articoli ausiliari" row: a new library empties the rest of the row.
    void AuxLibraryChange(int row);
    // "Libreria" group: a new library empties the code and disables "Elimina".
    void LibraryChange(TObject* sender);

    // ---- Library entries (component_data_library.cpp) ----
    // "Articoli ausiliari" row: the categories of its library, the codes of
    // its category; a chosen code fills the rest of the row.
    void AuxCategoryEnter(int row);
    void AuxCategoryChange(int row);
    void AuxCodeEnter(int row);
    void AuxCodeChange(int row);
    // "Libreria" group: the codes of the entries of the edited component's
    // type and port counts; a chosen code loads its entry into the form.
    void LibraryCodeEnter(TObject* sender);
    // The code list filled with the shown component's articles, none chosen.
    void ResetLibraryCodes();
    void LibraryCodeChange(TObject* sender);
    // "Aggiungi" writes the form as a new entry under "Codice", "Aggiorna"
    // over the entry of that code, "Elimina" removes the loaded entry.
    void AddEntryClick(TObject* sender);
    void UpdateEntryClick(TObject* sender);
    void DeleteEntryClick(TObject* sender);

    // ---- State ----
    TCella* EditedCell = nullptr;         // the clone being edited; owned by the edit
    TSistemaBande* BandSystem = nullptr;  // the bands the header and the value rows show
    int CurrencyIndex = 1;                // currency of the price edit
    int CurrentModule = 0;
    int CurrentOutput = 0;
    int CurrentKind = TableMainFunction;
    int ShownModuleTab = -1;
    int ShownAmplifierTab = -1;
    bool Updating = false;  // set while the form's own code fills controls

    // Value tables: a row per value row of the sheet, per module (and output).
    TBandRow MainTable[DialogModules][DialogRows];
    TBandRow InputAmpTable[DialogModules][DialogRows];
    TBandRow ThroughAmpTable[DialogModules][DialogRows];
    TBandRow OutputAmpTable[DialogModules][DialogOutputs][DialogRows];
    TBandRow DistinctOutputRows[DialogModules][DialogOutputs][DialogDistinctRows];
    uint8_t ModuleData = 0;  // the distinct-output rows hold a cell's matrix tables
    uint8_t BandRowByte[DialogModules] = {};
    TListaCanali ChannelLists[DialogModules];
    TModuliFiltro ModuleList;  // a copy of the edited cell's modules

    // ---- Switches the classes write (ResetSections gives the defaults) ----
    int32_t ModuleCount = 1;
    int32_t OutputCount = 1;
    int32_t DistinctRow[2] = {-1, -1};
    uint8_t DistinctOutputs = 0;  // not reset
    uint8_t ShowStructure = 0;
    uint8_t ShowBandRows = 1;
    uint8_t ShowAuxArticles = 1;
    uint8_t ShowSwapButtons[3] = {0, 0, 0};  // "Scambia", "Scambia", "Cambia canali"
    uint8_t ShowSignals = 1;
    uint8_t ShowCommercial = 1;
    uint8_t AntennaKind[2] = {0, 0};  // a dish, a terrestrial antenna
    int32_t MainFunction = 0;
    int32_t ElectricalWord = 0;
    int32_t PositionsWord = 0;
    uint8_t ChannelRows[5] = {0, 0, 0, 0, 0};  // channel rows 1-3, description row, converter row
    uint8_t ChannelGrids[2] = {0, 0};          // five-column and eight-column grid
    uint8_t ShowModuleTabs = 0;
    int32_t OtherFeatures = 0;
    int32_t RowFlags[DialogRows] = {};  // not reset
    // The component's own first rows, kept while an amplification table is shown.
    struct TOwnRows {
        AnsiString Caption[DialogStageRows];
        int Top[DialogStageRows] = {};
        bool CaptionShown[DialogRows] = {};
        bool EditShown[DialogRows][DialogBandColumns] = {};
        int StageTop = 0;
    } OwnRows;

    // ---- Controls ----
    TLabel* LabelNome;  // hidden: type name and short code
    TEdit* CaptionCategoria;
    TEdit* EditCategoria;

    TGroupBox* GroupStruttura;
    TButton* ButtonStruttura;

    TGroupBox* GroupSegnali;
    TLabel* ChannelHeaders[2][4];  // "Min", "Max", "Canale", "Canalizzazione"
    TEdit* BandCaption[4];         // "Nome Banda", "Da frequenza  [MHz]", ...
    TEdit* BandCell[4][DialogBandColumns];
    TEdit* RowCaption[DialogRows];
    TEdit* ValueEdit[DialogRows][DialogBandColumns];
    TEdit* ChannelCaption[DialogChannelRows];  // row 1 is the caption box of value row 0
    TEdit* ChannelMin[DialogChannelRows];
    TEdit* ChannelMax[DialogChannelRows];
    TComboBox* ChannelCombo[DialogChannelRows];
    TComboBox* PlanCombo[DialogChannelRows];
    TEdit* CaptionDescrizioneModulo;
    TEdit* EditDescrizioneModulo;
    TEdit* CaptionConversione;
    TComboBox* ComboConversione;
    TComboStringGrid* GridCanali8;
    TComboStringGrid* GridCanali5;
    TPanel* PanelFunzione;
    TRadioButton* RadioFunzione[4];
    TEdit* CaptionModulo;
    TPageScroller* StripModulo;  // scrolls the strip of module buttons
    TPanel* PanelModulo;
    TRadioButton* RadioModulo[DialogModules];
    TEdit* CaptionUscita;
    TPageScroller* StripUscita;
    TPanel* PanelUscita;
    TRadioButton* RadioUscita[DialogOutputs];
    TButton* ButtonUsciteDistinte;
    TButton* ButtonScambia1;
    TButton* ButtonScambia2;
    TButton* ButtonCambiaCanali;

    TTabControl* TabModuli;
    TEdit* CaptionFrequenze;
    TEdit* EditFreqMin;
    TEdit* EditFreqMax;
    TEdit* CaptionLarghezza;
    TEdit* EditLarghezza;
    TEdit* CaptionBlocchi;
    TEdit* EditBlocchi;
    TEdit* CaptionTipoModulo;
    TComboBox* ComboTipoModulo;

    TGroupBox* GroupElettrici;
    TCheckBox* CheckChiusuraDC;
    TCheckBox* CheckAlimentaMontanti;
    TCheckBox* CheckTrasferisce;
    TLabel* LabelCorrente;
    TEdit* EditCorrente;
    TLabel* LabelCorrenteMa;
    TLabel* LabelSupply[3];  // "Riceve alimentazione da", "Alimenta", "Non accetta ..."
    TCheckBox* CheckAlimInterno;
    TEdit* EditCorrenteInterno;
    TLabel* LabelCorrenteInternoMa;
    TCheckBox* CheckAlimEsterno;
    TCheckBox* CheckPort[3][3];  // [supply group][port group]

    TGroupBox* GroupPosizioni;
    TCheckBox* CheckTestaCalata;
    TCheckBox* CheckAmpliLinea;
    TCheckBox* CheckPalo1;
    TCheckBox* CheckCentrale;
    TCheckBox* CheckSottostazione;
    TCheckBox* CheckPrimoLinea;
    TCheckBox* CheckLinea;
    TCheckBox* CheckUltimoLinea;
    TCheckBox* CheckPresa;
    TCheckBox* CheckPalo2;

    TGroupBox* GroupCaratteristiche;
    TCheckBox* CheckDigitale;
    TCheckBox* CheckOttico;
    TCheckBox* CheckLnbQuad;

    TGroupBox* GroupCommerciali;
    TEdit* CaptionForma;
    TComboBox* ComboForma;
    TEdit* CaptionDiametro;
    TEdit* EditDiametro;
    TEdit* CaptionArea;
    TEdit* EditArea;
    TEdit* CaptionSpinta;
    TEdit* EditSpinta;
    TEdit* CaptionVelocita;
    TComboBox* ComboVelocita;
    TEdit* CaptionNoteInt;
    TEdit* EditNoteInt;
    TEdit* CaptionNoteEst;
    TEdit* EditNoteEst;
    TEdit* CaptionConnettore;
    TComboBox* ComboConnettore;
    TEdit* CaptionConnOut;
    TComboBox* ComboConnOut;
    TEdit* CaptionNote;
    TEdit* EditNote;
    TEdit* CaptionCodice;
    TEdit* EditCodice;
    TEdit* CaptionArticolo;
    TEdit* EditArticolo;
    TEdit* CaptionSerie;
    TEdit* EditSerie;
    TEdit* CaptionMarca;
    TEdit* EditMarca;
    TEdit* CaptionDescrizione;
    TEdit* EditDescrizione;
    TEdit* CaptionPrezzo;
    TEdit* EditPrezzo;
    TComboBox* ComboValuta;
    TEdit* CaptionInstallazione;
    TEdit* EditInstallazione;

    TGroupBox* GroupAusiliari;
    TLabel* AuxHeaders[5];  // "Libreria", "Categoria", "Codice", "Quantità", "Descrizione"
    TComboBox* AuxLibreria[2];
    TComboBox* AuxCategoria[2];
    TComboBox* AuxCodice[2];
    TEdit* AuxQuantita[2];
    TEdit* AuxDescrizione[2];

    TGroupBox* GroupLibreria;
    TComboBox* ComboLibreria;
    TComboBox* ComboVoce;  // the library entry
    TButton* ButtonAggiungi;
    TButton* ButtonAggiorna;
    TButton* ButtonElimina;

    TButton* ButtonOk;
    TButton* ButtonAnnulla;

private:
    TEdit* MakeCaptionBox(TWinControl* parent, const AnsiString& text, int left, int top, int width);
    TEdit* MakeValueEdit(TWinControl* parent, int left, int top, int width);
    TLabel* MakeLabel(TWinControl* parent, const AnsiString& text, int left, int top, TColor colour);
    TCheckBox* MakeCheck(TWinControl* parent, const AnsiString& text, int left, int top, int width);
    TComboBox* MakeCombo(TWinControl* parent, int left, int top, int width);
    TGroupBox* MakeGroup(const AnsiString& text, int left, int width, int height);
    void BuildHeader();
    void BuildSignals();
    void BuildModuleTabs();
    void BuildElectrical();
    void BuildPositions();
    void BuildFeatures();
    void BuildCommercial();
    void BuildAuxArticles();
    void BuildLibrary();
    void WireEditHandlers();
    void WirePageHandlers();
    template <size_t N>
    void WireSelectorRow(TRadioButton* (&row)[N], std::function<void(int)> change,
                         std::function<void(int, int)> dropped);
    // Lists the channels of the plan the row's plan combo names.
    void FillChannelCombo(int row);
    void BuildChannelGrids();
    // Every edit says what it holds: text, or a number with its range.
    void DeclarePlaces();
    // The value edits of row r follow the row's caption.
    void DeclareValueRow(int r);
    void WireLibraryHandlers();
    TLibreria* ChosenLibrary() const;
    bool auxCodeChosen_[2] = {false, false};
    bool WriteEntry(bool adding);
    // The signal rows live in "Dati segnali", or in the module tabs.
    void MoveSignalRows(TWinControl* parent);
    // The caption width and first value column of the band, value and
    // channel rows; the band columns stand step pixels apart.
    void PlaceRowColumns(int captionWidth, int valueLeft, int step = 40);
    // The caption width the shown rows of "Dati segnali" need for their
    // whole texts, at least the sheet's own width.
    int SignalCaptionWidth();
    void HideTabRows();
    // The value edits, and the channel grid when in use, go back into the tables.
    void StoreShownPage();
    // The pages stored, then read by a cell (the edited clone).
    void ReadFormInto(TCella& cell);
    // Shows or hides what the band rows of a satellite module need beside
    // the header: the labels of value rows 0 and 1 and their upper columns.
    void ShowSatelliteBandRows(bool visible);
    int BandCount() const;
    // The first page of the component: module 0, output 0, its own data.
    void ResetPages();
    // What the shown pages hold goes back into the tables.
    void StorePages();
    // Each lays out a section's rows and returns the section's height.
    int LayoutSignals();
    int LayoutCommercial();
    int LayoutElectrical();
    int LayoutPositions();
    int LayoutFeatures();
};

// The program's component-data form. Program start makes it; a cell that is
// edited before then gets one made on first use, owned by the application.
extern TDatiComponenti* DatiComponenti;
TDatiComponenti* ComponentDataForm();
