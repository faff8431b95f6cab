#pragma once
// TCreaAuto, the automatic designer: one long-lived object that holds the
// design settings, the components the user allowed and the working state of
// a design, and whose Run turns the settings into cells on the current
// project's two grids. Every stage of a design is a method of this class,
// kept in the file of its stage family:
//   engine.cpp          construction, Reset, Run
//   cable_tools.cpp     size splitting, cable runs, outlet lines, cable loading
//   availability.cpp    the classification pass and its tables
//   input_check.cpp     the input check of a run: variant flags, outlets, cables
//   antenna_checks.cpp  the terrestrial antenna table and the fit of antennas to inputs
//   head_end_figures.cpp the head-end families, level figures and LNB group
//   floors.cpp          the floor blocks of the riser and the floors' layout
//   staircase.cpp       floor rows, brand amplifier floors, line amplifier banks
//   riser_sizing.cpp    riser splits and the amplifier floors of a multiswitch riser
//   network.cpp, network_layout.cpp, network_runs.cpp
//                       the whole network: decisions, drawing under the terminal, model choice
// The stages talk to each other only through the fields below.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "cells/library_cells.h"
#include "core/levels.h"
#include "document/design_settings.h"
#include "platform/sysutils.h"

class TBufferCopia;
class TCanale;
class TCella;
class TGestoreErrori;
class TListaCanali;
class TGridData;
class TNCavo;
class TProgetto;
class TProgressBar;
enum class TDirection : uint8_t;

// Kind of the grids the designer draws its blocks in before moving them.
constexpr int32_t GridWork = 100;
constexpr int32_t WorkGridSize = 75;

// The limits of a design: the engine's per-staircase, per-floor and
// per-apartment tables have exactly this room.
constexpr int32_t DesignStaircasesMax = 4;
constexpr int32_t DesignFloorsMax = 12;
constexpr int32_t DesignApartmentsMax = 6;
constexpr int32_t DesignOutletsMax = 15;
constexpr int32_t DesignLayoutMax = 7;

// Signal kinds of the designer: the terrestrial line (or the joint single
// cable) and the satellite line (a multiswitch bundle counts as one).
constexpr int SignalKinds = 2;

// Band masks of the designer (calculation band slots 1, 3, 4, 5 and 6 to 9).
constexpr uint32_t BandMaskTer = 0x3a;
constexpr uint32_t BandMaskSat = 0x3c0;
constexpr uint32_t BandMaskJoint = 0x3fa;
// The terrestrial mask's two halves: VHF (slots 1 and 3) and UHF (4 and 5).
constexpr uint32_t BandMaskVhf = 0x0a;
constexpr uint32_t BandMaskUhf = 0x30;
// The band slots terrestrial and satellite levels are taken at, and the
// slot a VHF-only amplifier is taken at.
constexpr int32_t BandSlotTer = 5;
constexpr int32_t BandSlotSat = 9;
constexpr int32_t BandSlotVhf = 1;

// Sizes of the availability tables: inputs 0..17; outputs 0..10 for
// splitters and taps, 0..40 for switches.
constexpr int32_t AvailInputs = 18;
constexpr int32_t AvailTapOutputs = 11;
constexpr int32_t AvailSwitchOutputs = 41;
using TAvailRow = std::array<uint8_t, AvailTapOutputs>;
using TAvailSwitchRow = std::array<uint8_t, AvailSwitchOutputs>;
using TAvailTable = std::array<TAvailRow, AvailInputs>;
using TAvailSwitchTable = std::array<TAvailSwitchRow, AvailInputs>;
using TLossTable = std::array<std::array<float, AvailTapOutputs>, AvailInputs>;
using TLossSwitchTable = std::array<std::array<float, AvailSwitchOutputs>, AvailInputs>;
// A loss no component offers.
constexpr float LossUnavailable = 1000.0f;
// Groups of riser lines a row of splitters takes.
constexpr int32_t SplitGroupsMax = 10;

// Outlet roles and the outlet types chosen for each.
enum : int { RoleTer = 0, RoleSat = 1, RoleSatDc = 2, OutletRoles = 3 };
enum : int { OutletDirect = 0, OutletThrough = 1, OutletTerminal = 2, OutletTypes = 3 };
// Outlet types of the "no outlet" message.
enum : int { MessageDirect = 0, MessageThrough = 1, MessageTerminal = 2, MessageThroughOrTerminal = 3 };

// The six cables of the settings, in the order of their cable texts.
enum : int {
    CableRiserTer = 0,
    CableRiserSat,
    CableStaircaseTer,
    CableStaircaseSat,
    CableApartmentTer,
    CableApartmentSat,
    CableCount
};

// Lines of a riser and the colour tables of the cable runs.
constexpr int LineTableSize = 10;
constexpr int ColourTables = 3;

// One terrestrial antenna of a design: its cell with the channels it brings
// (owned until it is placed), the design levels of those channels, the band
// slots they use, and the preamplifier chosen for it.
struct TAntennaEntry {
    std::unique_ptr<TCella> Cell;
    float Lowest = 100000.0f;
    float Highest = 0.0f;
    uint8_t BandUse[BandSlots] = {};
    uint8_t Vhf = 0;
    uint8_t Uhf = 0;
    uint8_t NeedsPreamplifier = 0;
    TCella* Preamplifier = nullptr;  // not owned: a cell of the component list
};

// A head-end module family: one brand and series of active filters (or of
// satellite converters) with the levels its final amplifiers deliver at the
// head end (H) and in a substation (S), indexed [inputs - 1][outputs - 1].
constexpr int FamiliesMax = 10;
constexpr int FamilyShapes = 4;
struct TFamiglia {
    AnsiString Brand;
    AnsiString Series;
    int32_t Variant = 0;
    float ModuleLevel = LevelNone;
    float H[FamilyShapes][FamilyShapes] = {};
    float S[FamilyShapes][FamilyShapes] = {};
    float Hmax = 0.0f;
    float Smax = 0.0f;
};

// What a design run asks of the main window. The main window implements it;
// tests put a stand-in in its place. The engine never reaches a form.
class TDesignWindow {
public:
    virtual ~TDesignWindow() = default;
    // The project shown, which a run empties and fills.
    virtual TProgetto* CurrentProject() = 0;
    // Empties the current project (anchors placed when withAnchors).
    virtual void ResetProject(bool withAnchors) = 0;
    // Makes the project current and shows its network grid.
    virtual void ShowProject(TProgetto* project) = 0;
    // The checks and pages of a freshly loaded project.
    virtual void AfterLoad() = 0;
    // The progress panel: shown with its bar at 0 of maximum, and hidden.
    virtual void ShowProgress(int32_t maximum) = 0;
    virtual void HideProgress() = 0;
    // The panel's bar, advanced by the stages' model choices; none while hidden.
    virtual TProgressBar* ProgressBar() = 0;
    // Lets pending window messages run once (the panel paints).
    virtual void ProcessMessages() = 0;
};

class TCreaAuto {
public:
    // Makes the settings, the empty component list, the two work grids and
    // the seven cable cells; reporter is the program's, not owned.
    explicit TCreaAuto(TGestoreErrori* reporter, TDesignWindow* window = nullptr);
    virtual ~TCreaAuto();
    TCreaAuto(const TCreaAuto&) = delete;
    TCreaAuto& operator=(const TCreaAuto&) = delete;

    // Drops the work state of the last run: the network stages' work grids,
    // the antenna cells, the counters and the chosen cells; the colour and
    // line tables start again from the settings.
    void Reset();
    // A whole design run; true when the design stands on the project's grids.
    bool Run();

    // ---- Building limits (input check) ----
    // False, with the limit message, for a building the engine's tables
    // cannot hold.
    bool CheckBuildingLimits();
    // The progress maximum of a run: staircases, their floors and the
    // apartments of those floors when the network is designed, else 0.
    int32_t ProgressMaximum() const;

    // ---- Availability tables (availability.cpp) ----
    // Clears the tables, then files every chosen component into them.
    void ClassifyComponents();
    void ClearAvailability();

    // ---- Input check (input_check.cpp) ----
    // Multi-channel back-off of n channels (dB).
    static float BackOff(int32_t n);
    // Whether cable check k (0-8) runs for the variant set by the check.
    bool CableCheckRuns(int k) const;

    // ---- Antennas (antenna_checks.cpp) ----
    // Fills the antenna table from the settings' antennas: cells read from
    // the libraries with their channels, ordered VHF first, preamplifiers
    // chosen for weak antennas. False after one message.
    bool CheckAntennaChannels();
    // Whether the antennas fit the inputs of a wideband module (type 40).
    bool CanFitAntennas(TCella* module);
    // The first order of the antennas (positions in order) whose antennas
    // take module inputs that never decrease, with the input of each.
    bool FitAntennasToInputs(TCella* module, std::span<int32_t> order, std::span<int32_t> inputs);
    bool PermuteAntennas(TCella* module, std::span<int32_t> order, std::span<int32_t> inputs, int32_t k);
    bool TryAntennaOrder(TCella* module, std::span<const int32_t> order, std::span<int32_t> inputs);
    // Every band slot in use has a value (not negative) in values.
    static bool InputCoversBands(const uint8_t* bandUse, std::span<const float> values);
    // Places the antenna of a table entry (with its preamplifier below it)
    // on a grid at (column, row); the entry keeps a cell the grid refuses.
    bool PlaceHeadEndModule(int32_t column, int32_t row, int32_t position, TGridData* grid);

    // ---- Head-end figures (head_end_figures.cpp) ----
    // The head-end families and level figures of a run that designs the head
    // end; false after one message.
    bool CheckHeadEndFigures();

    // ---- Apartments (apartments.cpp) ----
    // The lines of an apartment part: layouts 1-6 are line counts (never
    // more than the outlets), 0 and 7 a line per outlet; the first lines
    // take the remainder of the outlets.
    static int32_t ApartmentLineCount(int32_t outlets, int32_t layout);
    static int32_t OutletsOfLine(int32_t outlets, int32_t lines, int32_t line);
    // The tap-network part of one kind of an apartment from its entry at
    // (x, y); nothing (true) without a tap network of that kind.
    bool PlaceApartmentTaps(TGridData* grid, int kind, int32_t x, int32_t y, int32_t outlets, int32_t layout,
                            int32_t spacing, int32_t distance);
    // One kind's distribution: a direct outlet, a line of outlets, a
    // splitter star, a two-level tree or a tap trunk, from the splitters and
    // taps the one-input tables offer; dc: the satellite outlets passing DC.
    bool ChooseApartmentTaps(TGridData* grid, int kind, int32_t x, int32_t y, int32_t outlets, int32_t layout,
                             int32_t spacing, int32_t distance, int32_t colour, bool otherTapKind,
                             std::span<const uint8_t> splitters, std::span<const uint8_t> taps, bool dc);
    // The satellite part with multiswitch distribution: the apartment's
    // multiswitch, the outlets of a multiswitch line, or the radial single
    // outlets; nothing (true) without multiswitch distribution.
    bool PlaceApartmentSwitch(TGridData* grid, int32_t x, int32_t y, int32_t outlets, int32_t layout,
                              int32_t spacing, int32_t distance);

    // Draws an apartment's block (its terrestrial part above its satellite
    // part) and the rows of their entries, or copies the block of an earlier
    // apartment of the staircase with the same record.
    bool PlaceApartments(int32_t staircase, int32_t floor, int32_t apartment);

    // ---- Floors (floors.cpp) ----
    // Both kinds' blocks of a floor; false as soon as one fails.
    bool PlaceFloorBothKinds(int32_t staircase, int32_t floor);
    // Draws a floor's piece of the riser of one kind in the first work grid
    // and keeps it, cut out, in FloorGrid; links it to the floor above.
    bool PlaceFloors(int32_t staircase, int32_t floor, int kind);
    // The single-line tap chain of a kind from its entry at (column, row).
    bool PlaceFloorTapChain(TGridData* grid, int kind, int32_t column, int32_t row, int32_t staircase,
                            int32_t floor);
    // The multi-line satellite chain of a multiswitch: a tap chain per line,
    // or the switches along the staircase (with an amplifier group first on
    // an amplifier floor).
    bool PlaceFloorSwitchOutlets(TGridData* grid, int32_t column, int32_t row, int32_t staircase,
                                 int32_t floor);
    // Links the entry anchors of a floor block to the exits of the block above
    // (nothing on the top floor or without that block), and the other way.
    void LinkFloorToAbove(int32_t staircase, int32_t floor, int kind);
    void UnlinkFloorFromAbove(int32_t staircase, int32_t floor, int kind);
    // Places the floor's apartments in pairs beside the riser and records the
    // floor's offsets, width, height and tail; always true.
    bool LayoutFloorApartments(int32_t staircase, int32_t floor);
    // Every table of the staircases back to its start (entry rows -1).
    void ResetStaircaseTables();
    // The inputs of the amplifiers of an amplifier floor for a line count (0: none).
    int32_t FloorAmplifierGroup(int32_t lines) const;

    // ---- Staircase (staircase.cpp) ----
    // The rows of a staircase's floor blocks, from the top floor down; true.
    bool ComputeFloorRows(int32_t staircase);
    // Moves the staircase's floor and apartment blocks (emptied) into a new
    // StaircaseGrid[staircase] and draws its riser entries, splits and runs;
    // true. What the grid holds for the network builder:
    // - the riser entries are entry anchors (TAncoraI, type 52) on row 0,
    //   each with the cable of its riser on row 1 below it, except where the
    //   top floor's block starts on row 0 (its first cell is on row 1, and
    //   the terminations of a switch's spare inputs share row 0) or a passive
    //   split's splitter stands on row 1;
    // - kind k's lines i < LineCount[k] enter at RiserEntryColumn[s][k] + i;
    //   with RiserBreakCount[s][k] splits, split j's riser of line i enters at
    //   RiserSplitColumn[s][k][j] + i (the first split right of the lines,
    //   the second left of them);
    // - a passive split leaves one entry at RiserEntryColumn[s][k] (a splitter
    //   below it feeds the split floors) and RiserBreakCount[s][k] set to 0;
    // - a radial multiswitch has RadialOutputs[s] entries from
    //   RiserEntryColumn[s][1] rightwards, one per apartment line;
    // - no other cell is left linked to a cell outside the grid.
    bool AssembleStaircase(int32_t staircase);
    // Cells refused or displaced (other than anchors and cable pieces a run
    // covers) on every grid the engine owns since its last reset; a sound
    // design has none.
    int32_t InsertionSlips() const;
    // A bank of line amplifiers of n inputs across the satellite lines from
    // (column, row) of grid, with terminations on a spare input and output.
    void PlaceLineAmplifiers(int32_t column, int32_t row, int32_t n, TGridData* grid);
    // The inputs of each amplifier of a bank asked for n.
    int32_t BankAmplifierInputs(int32_t n) const;
    // The amplifier floors the brand of a riser's switches fixes for a riser
    // of floors floors, added to amplifierFloors; true when a rule of the
    // brand applies (even without a floor).
    static bool BrandAmplifierFloors(const AnsiString& brand, const AnsiString& series, int32_t floors,
                                     std::vector<int32_t>& amplifierFloors);

    // ---- Riser sizing (riser_sizing.cpp) ----
    // Sizes both kinds' risers of a staircase; false after one message.
    bool SizeRisersBothKinds(int32_t staircase);
    // One kind's riser: fed whole, or split once or twice (the split floors,
    // margins and the passive-split flag recorded); along a multiswitch
    // riser, its amplifier floors.
    bool SizeMultiswitchRiser(int32_t staircase, int kind);
    // The amplifier floors of a multiswitch riser along the staircase (by the
    // switch brand, the maker's rule or the imbalance) and the levels the
    // staircase asks for; false after one message.
    bool ChooseStaircaseSwitches(int32_t staircase);

    // ---- Placement tools (cable_tools.cpp) ----
    // Splits count into at most N parts of the sizes table offers (table[s]
    // nonzero: a component with s outputs), searching sizes up to M.
    static void SplitIntoAvailableSizes(int32_t count, std::span<int32_t> sizes,
                                        std::span<const uint8_t> table, int32_t n, int32_t m);
    // The same with a table for the first part, one for the others, and an
    // alternative table that competes for each part when useAlternative.
    static void SplitIntoAvailableSizesEx(int32_t count, std::span<int32_t> sizes,
                                          std::span<const uint8_t> first, std::span<const uint8_t> other,
                                          std::span<const uint8_t> alternative, bool useAlternative,
                                          int32_t n, int32_t m);
    // A clone of the cable template on the template's grid: horizontal,
    // vertical, and a corner piece of the given orientation.
    bool PlaceCableSegment(int32_t column, int32_t row);
    bool PlaceCableSegmentV(int32_t column, int32_t row);
    bool PlaceCableSegmentEx(int32_t column, int32_t row, int32_t orientation);
    // The template takes the cable's data, the flag word (the segments'
    // colour) and the length; gives back the length.
    float SetCableTemplate(TCella* cable, float length);
    float SetCableTemplateEx(TCella* cable, float length, int32_t flags);
    // The template takes a cable cell's data and flag word; nothing for
    // another cell or none.
    void TakeCableTemplate(TCella* cell);
    // Reads the entry code of the named library into the cable cell (marked
    // described); the library is closed again. False when not found.
    bool LoadCableFromLibrary(const AnsiString& library, const AnsiString& code, TCella* cable);
    // A run of the given cable between an exit anchor and the cell linked to it.
    void ConnectAnchorToPartner(TCella* anchor, TCella* cable, int32_t bend);
    // An L-shaped or straight run of segments from (c1, r1) to (c2, r2):
    // direction 0 or 2 goes vertically first, any other horizontally first;
    // the corner stands at bend when it lies between the ends.
    void DrawCableRun(int32_t c1, int32_t r1, int32_t c2, int32_t r2, int32_t bend, int32_t direction);
    // A line of count outlets of a role joined by cable, from (column, row)
    // to the right, upwards or downwards; false, with the message, when the
    // role has no outlet to build it with.
    bool PlaceOutletRowRight(int32_t column, int32_t row, int32_t count, TGridData* grid, int role, bool dc);
    bool PlaceOutletColumnUp(int32_t column, int32_t row, int32_t count, TGridData* grid, int role, bool dc);
    bool PlaceOutletColumnDown(int32_t column, int32_t row, int32_t count, TGridData* grid, int role,
                               bool dc);
    // The message for a missing outlet; a connector index outside 0-6 adds
    // no connector text.
    static AnsiString OutletNotFoundMessage(int type, int connector, bool dc, bool terrestrial,
                                            bool satellite);
    // The connector index of the message for an outlet shape of a outputs
    // and connector kind b; -1 for a shape no connector choice gives.
    static int OutletConnectorIndex(int outputs, int kind);
    // Puts a cell on a grid; a cell the grid cannot hold comes back.
    static std::unique_ptr<TCella> Place(TGridData* grid, std::unique_ptr<TCella> cell);

    // ---- Network between the staircases and the terminal (network.cpp) ----
    // Splits n riser lines into groups that splitters of w outputs take
    // (entries not needed keep their values; callers add groups up to n);
    // false when the grouping needs a splitter of one input that is missing.
    static bool SplitOutputs(const TAvailTable& avail, int32_t n, int32_t w,
                             std::span<int32_t, SplitGroupsMax> groups);
    // Whether several staircases share the terrestrial and the satellite
    // risers, the splitter ways and the satellite line groups.
    void DecideSharedRisers();
    // The terminal's line count and the risers of each kind it feeds.
    void CountTerminalLines();
    // The radial switch's inputs and outputs; false, after the message, when
    // no chosen radial switch has enough outputs.
    bool ChooseRadialSwitch();
    // The columns a radial switch of more inputs than outputs stands left of
    // its first output.
    int32_t RadialSwitchOverhang() const {
        return RadialSwitchOutputs < RadialInputs ? (RadialInputs - RadialSwitchOutputs + 1) / 2 : 0;
    }
    // The satellite level the farthest staircase head asks of the network's
    // top, and where line amplifiers go when the LNB cannot deliver it.
    float LineAmplifierNeed() const;
    void PlanLineAmplifiers();
    // The first stages: every staircase's apartments, floors and risers
    // (the progress bar one step for each), the floor sizes, the floor rows,
    // aligned between staircases when the settings ask; false after the
    // first failing stage's message.
    bool DesignStaircases();
    void AlignFloorRows();
    void StepProgress();
    // The band mask a terminal output's network chooses its models with:
    // the terrestrial-line outputs come first.
    uint32_t TerminalOutputMask(int32_t output) const;

    // ---- Drawing under the terminal (network_layout.cpp, network_runs.cpp) ----
    // The whole network: the staircases' stages, their assembly, the
    // decisions above, the drawing, the model choice and the level margin;
    // false after the first failing stage's message.
    bool DesignNetwork();
    // The staircases moved under the terminal with the runs, splitters,
    // radial switch and line amplifiers between them; false when the
    // staircases do not meet what the decisions expect of them.
    bool DrawDistribution();
    bool PlaceOneStaircase();
    bool PlaceSeveralStaircases();
    // The columns of a staircase grid's entry anchors (row 0), left to right:
    // the terrestrial entries first, each kind's split entries around the
    // main ones; and how many of them each kind has.
    std::vector<int32_t> StaircaseEntries(int32_t s) const;
    int32_t EntryCountOfKind(int32_t s, int kind) const;
    // The network grid's column of entry index of kind of a placed staircase.
    int32_t EntryOf(int32_t s, int kind, int32_t index) const;
    // The kind of a multiswitch line (its cable) and the colour of a run.
    int LineKind(int32_t line) const;
    int32_t RunColour(int kind, int32_t line) const;
    // The template of the run to an entry at column of the entry row: the
    // cable below the entry (with the head-end distance for a riser fed
    // whole), else the riser cable of the kind.
    void TakeEntryTemplate(int32_t column, int32_t staircase, int kind, int32_t line, bool firstRiser);
    bool GrowNetworkGrid(int32_t columns, int32_t rows);
    bool MoveStaircase(int32_t s, int32_t column);
    void PlaceRadialSwitchOver(int32_t x, const std::vector<int32_t>& entries, int32_t switchColumn,
                               int32_t inputsFrom);
    int32_t LanesOfKind(int k, const int32_t* x) const;
    void FeedSeparateKind(int k, int32_t& leftLane, int32_t& rightLane, int32_t& output);
    void FeedSharedKind(int k, int32_t& leftLane, int32_t& rightLane, int32_t& output);
    bool FeedRadialStaircases(int32_t& leftLane, int32_t& rightLane, int32_t& output);
    // A bank of line amplifiers at (column, row) across the satellite lines
    // from column on; the run above and the run below take the lengths
    // given (none: LevelNone).
    void PlaceBank(int32_t column, int32_t row, float aboveLength, TDirection aboveDirection,
                   float belowLength);
    void PlaceBanksOfSeveral();
    int32_t FirstBankLine() const;
    // Step by step after the drawing: every component's library model, and
    // the LNB's surplus handed down the last satellite line.
    bool ChooseNetworkModels();
    void HandLevelMargin();
    // The required head-end levels from the windows of the terminal's inputs
    // after the required-level pass.
    void TakeRequiredLevels();
    // False (with a debug-build assertion) when an insertion of the build
    // was refused or displaced a component since the grids lost
    // lossesBefore, or a staircase would land on cells (Slips, naming the
    // square and the two cells); runs and banks replace anchors and cable
    // segments by design.
    bool GeometryHeld(int32_t lossesBefore) const;
    int32_t InsertionLosses() const;
    struct TInsertionSlip {
        int32_t Column, Row, NewCode, OldCode;
    };

    // ---- Head-end blocks (head_end_choice.cpp, head_end_modules.cpp,
    //      head_end_ter.cpp, head_end_sat.cpp) ----
    // The family of each kind a head end is built with (-1 none).
    void ChooseHeadEndFamilies();
    // An LNB (or two) for outputs lines at (column, row), terminations on the
    // outputs left over and the dish; false after the LNB message.
    bool SelectLnb(int32_t column, int32_t row, TGridData* grid, int32_t outputs);
    // The output settings of the terrestrial channel filters on the project's
    // head-end grid, from what the network needs.
    void AdjustHeadEndLevels();
    // How far the terrestrial channels reaching the outlets stand at most
    // above the outlets' highest signal of their band and below their least
    // (a quiet channel pass first); 0 where none does.
    struct TLevelMisfit {
        double over = 0.0, under = 0.0;
    };
    TLevelMisfit TerrestrialMisfit();
    // The wideband amplifier's inputs regulated further down, as far as
    // their regulation and the outlets' minimum let them, until the channels
    // reach the outlets within their windows as the designer counts levels
    // (a digital channel with its band's analog-digital difference); the
    // amplifier's own regulation weighs every channel as an analog one. The
    // reason the outlets stay above their maximum, empty when they do not.
    AnsiString RegulateWidebandInputs();
    // The choosers of one module of a family; each placed module's draw is
    // added to consumption. inputs 0 takes any input arrangement.
    bool SelectChannelFilters(int32_t column, int32_t row, TGridData* grid, const AnsiString& brand,
                              const AnsiString& series, const TCanale& channel, float& consumption,
                              int32_t inputs);
    bool SelectChannelFiltersByCode(int32_t column, int32_t row, TGridData* grid, const AnsiString& brand,
                                    const AnsiString& series, const TCanale& channel, float& consumption,
                                    int32_t inputs, const AnsiString& code);
    bool SelectChannelFilterAnyInputs(int32_t column, int32_t row, TGridData* grid, const AnsiString& brand,
                                      const AnsiString& series, const TCanale& channel, float& consumption);
    bool SelectConverters(int32_t column, int32_t row, TGridData* grid, const AnsiString& brand,
                          const AnsiString& series, int32_t transponder, float low, float high,
                          float& consumption);
    bool SelectPowerSupplies(int32_t column, int32_t row, TGridData* grid, const AnsiString& brand,
                             const AnsiString& series, int32_t variant, float needed);
    // Tunes a converter (a clone about to be placed) to the transponder
    // low-high: its input takes that transponder alone and its output the
    // first free IF slot of the same width in the article's output range,
    // clear of every transponder of the table and of the outputs of the
    // converters drawn on grid. False when the range holds no free slot.
    // Converters of other conversion kinds keep their slots.
    static bool TuneConverter(TCella& converter, const TGridData& grid, float low, float high);
    // The terrestrial head end: a wideband amplifier or a modular one.
    bool DesignTerrestrialHeadEnd(int32_t column, int32_t row, TGridData* grid);
    bool SelectWidebandAmplifier(int32_t column, int32_t row, TGridData* grid);
    bool DesignModularHeadEnd(int32_t column, int32_t row, TGridData* grid);
    // The satellite IF head end and its LNB with the transponders of each output.
    bool DesignSatIfHeadEnd(int32_t column, int32_t row, TGridData* grid);
    // What the split amplifiers of a kind are made of: the parts of the tap
    // chain with the rows and outputs they take, the amplifiers of one block
    // (not owned: cells of the component list; the jumper is a copy used as
    // cable template) and the amplifier lines of a split.
    struct TSplitChoice {
        std::vector<int32_t> Parts;
        int32_t Rows = 0, Left = 0, Right = 0;
        TCella* BandIIIFinal = nullptr;
        TCella* FinalTer = nullptr;
        TCella* FinalSat = nullptr;
        TCella* LineTer = nullptr;
        TCella* LineSat = nullptr;
        TCella* LineJoint = nullptr;
        std::unique_ptr<TCella> Jumper;
        int32_t LinesPerSplit = 1;
    };
    // The tap parts, the amplifier candidates and the decision among them,
    // and the jumper; false with the stage's message when no block can be
    // made.
    bool ChooseSplitAmplifiers(int32_t kind, TSplitChoice& choice);
    // The terrestrial band slots the antennas receive (all of them when no
    // antenna says).
    uint32_t ReceivedTerrestrialBands() const;
    // The split blocks of a kind on a work grid: one amplifier block per
    // split with its supply, fed from the tap chain; true, placing nothing,
    // for a kind without its own network or with fewer than two splits.
    bool SelectSplitAmplifiers(TGridData* grid, int32_t kind);
    // The whole head end on the project's head-end grid: both head ends and
    // the split blocks stacked above the terminal, their exits joined to the
    // terminal's lines, terminations chosen, analysed and levels adjusted.
    bool DesignHeadEnd();
    bool PlaceIfChannels(int32_t column, int32_t row, TGridData* grid, int32_t kind0, int32_t kind1,
                         int32_t kind2, int32_t kind3);
    bool PlaceIfChannelsInOrder(int32_t column, int32_t row, TGridData* grid);
    static void AddTransponderChannel(TListaCanali& list, float low, float high, const AnsiString& label,
                                      char letter, float level, float carrierNoise);
    // A clone of a library cell (or a new cell) on an empty part of a head-end
    // work grid; none, after the drawing message, when the grid refuses it or
    // it would displace a cell.
    TCella* PlaceClone(TCella* prototype, int32_t column, int32_t row, int32_t orientation, TGridData* grid);
    TCella* PlaceNew(std::unique_ptr<TCella> cell, TGridData* grid);
    bool PlaceTermination(int32_t column, int32_t row, int32_t orientation, TGridData* grid);

    // The stages of a run after the building check; each reports its first
    // problem through the reporter and returns false. The network and head
    // end stages are empty until they are built.
    virtual bool CheckInputs();
    virtual bool BuildNetwork();
    virtual bool BuildHeadEnd();
    // The last stage: the design drawn is checked as the calculation pages
    // will check it. Every cell has its component; with a head end, its
    // channel pass reports nothing, and every outlet receives every channel
    // its lines carry in the bands it handles, within the options' least and
    // greatest signal. False with the first finding, naming the cell or the
    // outlet and the limit.
    bool CheckDesign();
    // The levels the outlets of a riser piece ask for at its entry (floor
    // block floor of kind k), each limit on its own, said with where the
    // piece starts: the figures of a refusal for levels too far apart.
    AnsiString LevelsApartFigures(int32_t s, int32_t floor, int k, const TCella* entry, int32_t band);
    // The first active of the head end (or of the network) that a channel
    // pass finds driven above its rating (derated for the channels it
    // carries), said with the article, the channel and the level against the
    // limit; empty when none.
    AnsiString ActiveOverload(bool headEnd);
    // The network's amplifiers within their ratings once the head end
    // stands, else the refusal with the figures; true without both grids.
    bool NetworkActivesWithinRating();
    // The outlets' levels within the spread the options allow, band by
    // band, as the network page compares them; else the refusal with the
    // two outlets, their levels and the choice that serves.
    bool OutletSpreadWithinLimit();
    // Where an outlet of the drawn network stands, " (scala s, piano f,
    // appartamento a)", as far as the layout tells; and the choice of the
    // wizard that serves a building this run's choices do not, or empty.
    AnsiString OutletPlace(const TCella& outlet) const;
    AnsiString ServingChoice() const;

    // ==== The engine's state, by stage of a run ====
    // The owners keep their order of declaration: the settings and the
    // component list, declared first, outlive the grids, cables and antennas
    // declared after them, which point into them.

    // ---- Settings and components: what a run is asked to design, and from what ----
    std::unique_ptr<TOpzProgetto> Settings;
    std::unique_ptr<TMemLib> Components;  // the chosen library cells
    TGestoreErrori* Reporter = nullptr;
    TDesignWindow* Window = nullptr;
    TProgetto* Project = nullptr;  // taken at each run

    // ---- Work grids: where each stage draws before its blocks are assembled ----
    std::unique_ptr<TGridData> WorkGrids[2];
    std::unique_ptr<TGridData> StaircaseGrid[DesignStaircasesMax];
    std::unique_ptr<TGridData> FloorGrid[DesignStaircasesMax][DesignFloorsMax][SignalKinds];
    std::unique_ptr<TGridData> ApartmentGrid[DesignApartmentsMax];

    // ---- Staircases (apartments.cpp, floors.cpp, riser_sizing.cpp, staircase.cpp):
    //      the apartment and floor blocks, their places and the risers' sizing ----
    std::unique_ptr<TGridData> ApartmentBlock[DesignStaircasesMax][DesignFloorsMax][DesignApartmentsMax];
    // What an apartment block was copied into, for the later equal ones.
    std::unique_ptr<TBufferCopia> ApartmentCopy[DesignStaircasesMax][DesignFloorsMax][DesignApartmentsMax];
    // Row of each kind's entry in an apartment block, -1 without that kind.
    int32_t ApartmentInputRow[DesignStaircasesMax][DesignFloorsMax][DesignApartmentsMax][SignalKinds] = {};
    int32_t RiserColumn[DesignStaircasesMax][DesignFloorsMax][SignalKinds] = {};
    int32_t ChainLength[DesignStaircasesMax][DesignFloorsMax][SignalKinds] = {};
    // 0 a closing tap or switch ends the chain, 1 terminations, 2 it goes on below.
    int32_t ChainEnd[DesignStaircasesMax][DesignFloorsMax][SignalKinds] = {};
    int32_t ApartmentOffset[DesignStaircasesMax][DesignFloorsMax][DesignApartmentsMax] = {};
    int32_t TapChainOffset[DesignStaircasesMax][DesignFloorsMax] = {};
    int32_t FloorCableColumns[DesignStaircasesMax][DesignFloorsMax] = {};
    int32_t FloorWidth[DesignStaircasesMax][DesignFloorsMax] = {};
    int32_t FloorHeight[DesignStaircasesMax][DesignFloorsMax] = {};
    int32_t FloorTail[DesignStaircasesMax][DesignFloorsMax] = {};
    uint8_t LineAmplifierFloor[DesignStaircasesMax][DesignFloorsMax] = {};
    int32_t RiserBreakCount[DesignStaircasesMax][SignalKinds] = {};
    int32_t RiserBreakFloor[DesignStaircasesMax][SignalKinds][2] = {};
    uint8_t PassiveSplit[DesignStaircasesMax][SignalKinds] = {};
    // What a staircase's head asks of the network (dB) and the margin left.
    float StaircaseRequiredLevel[DesignStaircasesMax][SignalKinds] = {};
    float StaircaseMargin[DesignStaircasesMax][SignalKinds] = {};
    // Row of each floor block in the staircase's grid.
    int32_t FloorRow[DesignStaircasesMax][DesignFloorsMax] = {};
    // Columns of the riser entries in the staircase's grid (see AssembleStaircase).
    int32_t RiserEntryColumn[DesignStaircasesMax][SignalKinds] = {};
    int32_t RiserSplitColumn[DesignStaircasesMax][SignalKinds][2] = {};

    // ---- Cables: the seven cable cells of the settings, and the template ----
    std::unique_ptr<TNCavo> Cables[CableCount];
    std::unique_ptr<TNCavo> CableTemplate;  // every segment placed is a clone of it

    // ---- Input check (input_check.cpp): variant flags, lines and outlets ----
    uint8_t MultiswitchSat = 0;  // satellite on a multiswitch of 2, 4 or 8 cables
    uint8_t MultiswitchRadial = 0;
    uint8_t MultiswitchStaircase = 0;
    uint8_t MultiswitchApartment = 0;
    uint8_t TapNetwork[SignalKinds] = {0, 0};  // a single-cable tap network of the kind
    uint8_t TerOnMultiswitch = 0;              // terrestrial rides the multiswitch (CarriesTer[1])
    int32_t LineCount[SignalKinds] = {0, 0};
    int32_t RadialOutputs[DesignStaircasesMax] = {};
    int32_t RadialOutputsTotal = 0;
    int32_t LineAmpInputs = 0;  // inputs of the line amplifiers of a multiswitch riser
    int32_t LineAmpRest = 0;    // lines left over by them
    // Per outlet role; the satellite role passing DC follows the satellite one.
    uint8_t CarriesTer[OutletRoles] = {0, 0, 0};
    uint8_t CarriesSat[OutletRoles] = {0, 0, 0};
    // Terrestrial and satellite outlet output counts, then their connector kinds.
    int8_t OutletShape[4] = {1, 1, 0, 1};
    TCella* OutletChoice[OutletTypes][OutletRoles] = {};  // not owned: cells of Components

    // ---- Input check: the colours of the cables and the line tables ----
    int32_t ColourTable[ColourTables][CableColourCount] = {};
    int32_t LineColour[LineTableSize] = {};
    uint8_t LineIsTerrestrial[LineTableSize] = {};
    int32_t NetworkColour[SignalKinds] = {0, 0};

    // ---- Input check: level figures ----
    float BackOffTerNF = 0.0f;
    float BackOffTer = 0.0f;
    float BackOffSat = 0.0f;
    float HeadEndLevelTer = LevelNone;
    float HeadEndLevelSat = LevelNone;
    float LineLevelTer = LevelNone;
    float LineLevelSat = LevelNone;
    float LnbLevelMax = 0.0f;
    float LnbLevelMin = 0.0f;

    // ---- Availability (availability.cpp): the chosen components by shape ----
    uint8_t AmpAvail21[AvailInputs] = {};
    uint8_t AmpAvail22[AvailInputs] = {};
    uint8_t LineAmpAvail[AvailInputs] = {};
    TAvailTable SplitterAvail{};
    TAvailTable TapAvail{};
    TAvailTable SplitterDcAvail{};
    TAvailTable TapDcAvail{};
    TAvailTable TapNAvail{};
    TAvailTable TapSAvail{};
    uint8_t OwnBrandSwitch = 0;
    TAvailSwitchTable SwitchAvail{};
    TAvailSwitchTable RadialSwitchAvail{};
    TAvailSwitchTable SwitchPoweredAvail{};
    TAvailSwitchTable RadialSwitchPoweredAvail{};
    TAvailSwitchTable SwitchUnpoweredAvail{};
    TAvailSwitchTable RadialSwitchUnpoweredAvail{};
    TAvailSwitchTable SwitchLineAvail{};
    TAvailSwitchTable RadialSwitchLineAvail{};
    TAvailSwitchTable RadialSwitchLastAvail{};
    TCella* MixerCell = nullptr;  // not owned: cells of Components
    TCella* MixerSwapped = nullptr;
    float SubstationLevelTer[AvailInputs] = {};
    float SubstationLevelSat[AvailInputs] = {};
    TLossTable SplitterLossTer{};
    TLossTable SplitterLossSat{};
    TLossSwitchTable RadialSwitchLossSat{};
    TCella* CustomModelCell = nullptr;

    // ---- Terrestrial antennas (antenna_checks.cpp): one entry per antenna slot with channels ----
    std::array<TAntennaEntry, AntennaSlots> Antennas;
    int32_t AntennaCount = 0;
    int32_t AntennaChannelCount = 0;
    int32_t FirstUhfAntenna = 0;  // position of the first antenna with a UHF channel
    uint8_t MixedAntenna = 0;     // that antenna also receives a VHF channel

    // ---- Head-end figures (head_end_figures.cpp): the families, what the
    //      head end must deliver and what the network's entry takes ----
    std::array<TFamiglia, FamiliesMax> FamilyTer;
    std::array<TFamiglia, FamiliesMax> FamilySat;
    float RequiredLevelTer = 0.0f;
    float RequiredLevelSat = 0.0f;
    int32_t EntryInputsTer = 0;  // terrestrial inputs of the network's entry
    int32_t EntryInputsSat = 0;  // separate satellite inputs (0: shared)
    int32_t FamilyCount[SignalKinds] = {0, 0};
    int32_t ChosenFamily[SignalKinds] = {-1, -1};

    // ---- Network (network.cpp): the floor sizes over the staircases, the
    //      terminal's lines, the shared risers, the radial switch, the line amplifiers ----
    int32_t HighestFloorCount = 0;
    int32_t LargestFloorWidth[DesignStaircasesMax] = {};
    int32_t LargestFloorHeight[DesignStaircasesMax] = {};
    int32_t LargestFloorCableColumns[DesignStaircasesMax] = {};
    int32_t TallestFloorHeight = 0;
    int32_t TerminalLines = 0;
    int32_t TerminalLinesTer = 0;  // the first outputs, terrestrial lines only
    int32_t RiserCountTer = 0;
    int32_t RiserCountSat = 0;
    uint8_t SharedTer = 0;
    uint8_t SharedSat = 0;
    int32_t SplitWays = 0;
    std::array<int32_t, SplitGroupsMax> SplitGroups{};
    int32_t RadialInputs = 0;
    int32_t RadialSwitchOutputs = 0;
    uint8_t LineAmpTop = 0;
    uint8_t LineAmpStaircase[DesignStaircasesMax] = {};

    // ---- Drawing under the terminal (network_layout.cpp, network_runs.cpp) ----
    std::vector<TInsertionSlip> Slips;
    int32_t EntryRow = 0;
    int32_t StaircaseColumn[DesignStaircasesMax] = {};
    std::vector<int32_t> entryColumns_[DesignStaircasesMax];
    int32_t topBankRow_ = 0;

    // ---- Head end (head_end*.cpp, split_amplifiers.cpp): the articles asked
    //      for by code, the split blocks' outputs, the blocks' exits ----
    // The article code of the custom cell a head end may be built from, and
    // the two IF filters of the satellite head end: none by default (an
    // empty code matches no component).
    AnsiString CustomModelCode;
    AnsiString IfFilterCodes[2];
    // What the split blocks leave for the head-end builder: the amplifier
    // lines of a split, per kind the tap chain's entry column and the block
    // spacing, and the column each block's output leaves at, below the
    // blocks (work-grid columns, in split order).
    int32_t SplitLines = 1;
    int32_t SplitEntryColumn[SignalKinds] = {0, 0};
    int32_t SplitSpacing[SignalKinds] = {0, 0};
    std::vector<int32_t> SplitOutputColumn[SignalKinds];
    // The exits each head-end block leaves for the head-end builder: column,
    // row and kind (2: an amplifier output reached from the side) per signal kind.
    int32_t ExitColumn[SignalKinds] = {0, 0};
    int32_t ExitRow[SignalKinds] = {0, 0};
    uint8_t ExitKind[SignalKinds] = {0, 0};
    // Off, the modular head end of a jumper family is its channel filters
    // alone, with no final amplifier.
    bool TerrestrialFinals = true;
    // The supply a wideband amplifier asks for, while it is being placed.
    TCella* WidebandSupply = nullptr;  // not owned: a cell of Components
    uint8_t WidebandSupplyNeeded = 0;

private:
    // One message of the run through the reporter (dropped without one).
    void Report(const AnsiString& text);
    // Cells of the apartments: a new cell, a clone of a prototype, a termination.
    static bool PlaceNew(TGridData* grid, std::unique_ptr<TCella> cell);
    static bool PlaceClone(TGridData* grid, TCella* prototype, int32_t column, int32_t row,
                           int32_t orientation);
    static bool PlaceTermination(TGridData* grid, int32_t column, int32_t row, int32_t orientation);
    // The line of outlets leaving an output at column above or below row y:
    // straight, or turning right beyond the lines drawn so far (up, down).
    bool PlaceApartmentLine(TGridData* grid, int role, bool dc, int32_t column, int32_t y, bool above,
                            int32_t outlets, int32_t& up, int32_t& down);
    // The steps of the input check.
    void SetVariantFlags();
    void SetLineTables();
    void SetOutletShapes();
    void ChooseOutlets();
    bool CheckCables();
    // The level figures when no head end is designed.
    void SetDefaultFigures();
    // The steps of the head-end figures.
    bool CheckTerrestrialFigures();
    bool CheckSatelliteFigures();
    void FoldLineAmplifiers();
    bool ChooseLnbGroup();
    // The coverage of each antenna by each input of the module being fitted.
    void PrepareCoverage(TCella* module);
    std::vector<std::array<uint8_t, AntennaSlots>> coverage_;
    TCella* coverageModule_ = nullptr;
    // The outlet line of the three directions: one square (stepColumn,
    // stepRow) at a time, outlets turned to orientation.
    bool PlaceOutletLine(int32_t column, int32_t row, int32_t count, TGridData* grid, int role, bool dc,
                         int32_t stepColumn, int32_t stepRow, int32_t orientation);
    bool PlaceSegment(int32_t column, int32_t row, int32_t orientation, uint8_t bend);
    bool CopyEqualApartment(int32_t staircase, int32_t floor, int32_t apartment);
    // The steps of the riser sizing.
    float CableLoss(int cable, float metres, int32_t band) const;
    TCella* RiserEntry(int32_t staircase, int32_t floor, int kind, int32_t offset) const;
    bool ChooseRiserModels(std::initializer_list<std::pair<TCella*, uint32_t>> cells, int32_t band);
    bool StaircaseGateOpen(int32_t lines, int32_t inputs) const;
    // The steps of a floor block.
    void ForgetBlockLinks(TGridData* block);
    struct TPendingLink {
        int32_t Column, Row;  // an anchor's square in the work grid
        TCella* Partner;
    };
    std::vector<TPendingLink> pendingLinks_;
    void LinkLater(int32_t column, int32_t row, TCella* partner);
    TCella* ApartmentEntry(int32_t staircase, int32_t floor, int32_t apartment, int kind, int32_t line);
    TCella* FloorBelowEntry(int32_t staircase, int32_t floor, int kind, int32_t line);
    bool IsTopFloor(int32_t staircase, int32_t floor) const;
    bool ChainEndsHere(int32_t staircase, int32_t floor, int kind) const;
    int32_t ApartmentsOfFloor(int32_t staircase, int32_t floor) const;
    float FloorSpacing(int32_t staircase) const;
    void FeedApartment(TGridData* grid, int32_t column, int32_t row, bool right, int32_t staircase,
                       int32_t floor, int32_t apartment, int kind, int32_t line);
    void SetLineTemplate(int32_t line, float length);
    bool PlaceFloorLineTaps(TGridData* grid, int32_t column, int32_t y, int32_t staircase, int32_t floor,
                            int32_t L, int32_t apartments);
    bool PlaceFloorSwitches(TGridData* grid, int32_t column, int32_t row, int32_t staircase, int32_t floor,
                            int32_t L, bool endsHere, int32_t apartments);
    // The steps of a staircase's assembly: an exit anchor of a floor block
    // with its partner, read before the blocks move, and both ends as they
    // stand once moved.
    struct TAnchorLink {
        TCella* Exit;
        TCella* Partner;
        int32_t Floor;
        int Kind;
    };
    struct TJoinEnds {
        TCella* Exit;
        TCella* Partner;
        int Kind;
        int32_t ExitColumn, ExitRow, ExitOrientation;
        int32_t PartnerColumn, PartnerRow, PartnerOrientation;
    };
    void MoveBlockInto(TGridData* block, TGridData* target, int32_t column, int32_t row, bool mirrored);
    static std::vector<TJoinEnds> JoinEnds(TGridData& grid, std::span<const TAnchorLink> links, int32_t floor,
                                           bool downward);
    void JoinEnd(TGridData& grid, const TJoinEnds& ends, TCella* cable, int32_t bend);
    // The bend column, between first and last (the floor's bend columns, from
    // the riser out), of a run from an exit anchor to its partner where the
    // run crosses other runs only straight across: preferred first, then the
    // columns beyond it, then those from first on; preferred when none is free.
    static int32_t FreeBendColumn(const TGridData& grid, const TJoinEnds& ends, int32_t preferred,
                                  int32_t first, int32_t last);
    int32_t RiserColour(int kind, int32_t line) const;
    TNCavo* RiserCable(int kind, int32_t line) const;
    void PlaceRiserEntries(int32_t staircase, int kind, int32_t row, std::span<const int32_t> splitRows);
    void PlaceRadialEntries(int32_t staircase, int32_t firstColumn, int32_t rightStart, int32_t riserStart,
                            int32_t highest);

    // ---- Steps of the long stages ----
    // The satellite IF head end (head_end_sat.cpp): the compact unit; the
    // final amplifier's shape (inputs, outputs) and article for the family;
    // the jumper layout's modules and their jumpers, bus and LNB lines; the
    // modular chain.
    bool PlaceCompactIfUnit(int32_t column, int32_t row, TGridData* grid);
    // The refusal when no satellite series gives what the network asks: the
    // level asked against the most the chosen amplifiers give, and the
    // distribution that serves such buildings.
    AnsiString SatSeriesRefusal() const;
    TCella* ChooseIfAmplifier(const TFamiglia& family, int32_t& inputs, int32_t& outputs);
    bool PlaceJumperIfModules(int32_t column, int32_t row, TGridData* grid, const TFamiglia& family,
                              TCella* amplifier, int32_t outputs);
    bool JoinJumperIfModules(int32_t column, int32_t row, TGridData* grid, const TFamiglia& family,
                             int32_t inputs, int32_t outputs);
    bool PlaceModularIfChain(int32_t column, int32_t row, TGridData* grid, const TFamiglia& family,
                             TCella* amplifier, int32_t outputs);
    // The staircase's assembly (staircase.cpp): the plan of its grid's
    // columns and rows, a floor block and its row, the cable columns right of
    // the riser area, the exit links read before the blocks move, one floor
    // moved in and joined, and the runs of one side from the riser to the
    // apartments with their bend columns (lastBends: the farthest of each run).
    struct TStaircasePlan;
    TStaircasePlan PlanStaircase(int32_t staircase) const;
    TGridData* FloorBlock(int32_t staircase, int32_t floor, int kind) const;
    int32_t FloorBlockRow(int32_t staircase, int32_t floor, int kind) const;
    int32_t RightCableColumns(int32_t staircase, int32_t floor) const;
    std::vector<TAnchorLink> ReadExitLinks(int32_t staircase, int32_t floors) const;
    void AssembleFloor(int32_t staircase, int32_t floor, const TStaircasePlan& plan,
                       std::span<const TAnchorLink> links);
    void JoinApartmentRuns(TGridData& grid, std::span<const TJoinEnds> ends, bool left,
                           const TStaircasePlan& plan);
    static std::vector<int32_t> RunBendColumns(std::span<const TJoinEnds* const> runs, int32_t start,
                                               int32_t step, std::span<const int32_t> lastBends);
    // The riser sizing (riser_sizing.cpp): the level a radial multiswitch
    // riser asks for, and whether a splitter of 2 x splits outputs makes a
    // passive split within the least margins of the kinds carried (none: not carried).
    void SizeRadialRiser(int32_t staircase);
    bool PassiveSplitFits(int32_t splits, const float* marginTer, const float* marginSat) const;
    // One kind's riser of a staircase being sized: the levels that reach its
    // pieces, the search for the split floors, and the figures and words of
    // its refusal (riser_sizing.cpp).
    class TRiserSearch;
};

// The program's design engine, made by the main window with the program's
// other long-lived objects; DesignSettings() is its settings while it lives.
extern TCreaAuto* CreaAuto;

// "L'edificio non rientra nei limiti dell'autoprogetto: ..."
extern const char* const BuildingLimitsMessage;
// The message of a drawing the designer could not complete, with the step
// that stopped it.
AnsiString DrawingFailedMessage(const AnsiString& step);
