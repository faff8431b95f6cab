#pragma once
// TCella: the base of every element that stands on a drawing grid (components,
// the head-end terminal, the sub-network anchors, the graphic symbols). It holds
// what all of them share: place and turn on the grid, type code, commercial
// texts, ports and links to the neighbours, the per-port per-band level windows
// of the calculations, the per-band tables that describe the component, and the
// virtual operations through which the grid, the dialogs, the designer and the
// printing code drive every class.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "cells/description.h"
#include "cells/drawing.h"
#include "cells/layout.h"
#include "core/cell_codes.h"
#include "core/channel_list.h"
#include "core/info.h"
#include "core/levels.h"
#include "core/record_versions.h"
#include "platform/sysutils.h"

class TRichEdit;
class TProgressBar;
class TStream;
class TLibreria;
class TSistemaBande;
class TCellGrid;
class TDatiComponenti;
class TQNextCell;
struct TNextCell;
struct TInfoMousePos;

// A rectangle of grid squares, inclusive: (first row, first column, last row, last column).
struct TCellRect {
    int32_t Top = 0;
    int32_t Left = 0;
    int32_t Bottom = 0;
    int32_t Right = 0;
    bool operator==(const TCellRect&) const = default;
};

// One level window: the (minimum, maximum) levels of a port in one band slot.
// A window whose minimum exceeds its maximum is empty; a sentinel window has
// both ends equal to the sentinel.
struct TFinestra {
    float Min = LevelNone;
    float Max = LevelNone;
};

using TFinestreBande = std::array<TFinestra, BandSlots>;

// The windows of every port of one side of a cell, allocated on first reset.
// A reset with another port count than the table holds reallocates it, so a
// cell whose port table has changed never indexes past its windows.
class TTabellaFinestre {
public:
    bool Allocated() const { return allocated_; }
    int Ports() const { return static_cast<int>(rows_.size()); }
    // Allocates for ports ports when needed and sets every window to LevelNone.
    void Reset(int ports) {
        if (ports < 0) ports = 0;
        if (!allocated_ || static_cast<int>(rows_.size()) != ports) Allocate(ports);
        for (auto& row : rows_) row.fill(TFinestra{});
    }
    void Free();
    TFinestreBande& operator[](int port) { return rows_[static_cast<size_t>(port)]; }
    const TFinestreBande& operator[](int port) const { return rows_[static_cast<size_t>(port)]; }

private:
    void Allocate(int ports);
    std::vector<TFinestreBande> rows_;
    bool allocated_ = false;
};

// Category counters: one running sequence number per category of component,
// shared by both grids of a project while they are numbered.
constexpr int CategoryCounterCount = 28;
using TContatoriCategoria = std::array<int32_t, CategoryCounterCount>;

// Sizes of the fixed-length text fields, terminator included (a field keeps
// one character less).
constexpr int DescriptionSize = 30;
constexpr int ArticleSize = 30;
constexpr int NotesSize = 100;
constexpr int InternalNotesSize = 100;
constexpr int ExternalNotesSize = 11;
constexpr int BrandSize = 20;
constexpr int CodeSize = 20;
constexpr int SeriesSize = 20;
constexpr int CategorySize = 30;  // as stored; the field itself holds 32
constexpr int AuxLibrarySize = 20;
constexpr int AuxCodeSize = 20;

// Per-band level limits handed down the required-level pass: one value per
// band slot, or empty for none (the options' limits then apply).
using TBandLimits = std::span<const float>;

// Port numbers of the outlet-separation search: below this an output port,
// from this on an input port (PortInputBase + k for input k).
constexpr int32_t PortInputBase = 300;

class TCella {
public:
    // The short form uses one input, one through output and no tap output.
    TCella(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    TCella(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
           int32_t inputs, int32_t throughOutputs, int32_t tapOutputs);
    TCella(const TCella&) = delete;
    TCella& operator=(const TCella&) = delete;

    // ---- The 67 virtual operations, in the order of the class's table ----
    // The base bodies live with their family: records in record.cpp, checks in
    // checks.cpp, the dialog in dialog_protocol.cpp, reports in reports.cpp,
    // passes in passes_*.cpp, drawing in drawing.cpp. The ones that only
    // answer a question about the cell are const.

    // 1. Frees what the cell owns; neighbours are unlinked by the grid beforehand.
    virtual ~TCella();
    // 2. Nothing in the base; classes draw their symbol, normally starting
    //    with BeginSymbol.
    virtual void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom);
    // 3. The symbol, then, above detail level 1 and at the top-left square,
    //    the short code: green when described, red when not.
    virtual void Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom);
    // 4. Category letters and sequence number, from the description.
    virtual AnsiString GetShortCode() const;
    // 5. Repaints every square of the grid rectangle.
    virtual void InvalidateArea();
    // 6. Calls InvalidateArea.
    virtual void Invalidate();
    // 7. Label of the printed scheme on the canvas handed in, at the
    //    top-right square above detail level 1: by the flags, the loss of
    //    taps, switches, splitters and outlets (64), the article code (32) or
    //    the short code (16).
    virtual void DrawAttenuationValues(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                                       int32_t zoom, int32_t flags);
    // 8. Draws the symbol on the canvas handed in when (column, row) is
    //    the cell's anchor square.
    virtual void PaintIfAt(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom);
    // 9. The squares the cell occupies: its layout under its turn and mirror.
    virtual TCellRect GetGridRect() const;
    // 10. Reads the cell record after the fields the reader has consumed.
    virtual void Load(TStream& stream, int32_t version);
    // 11. Writes the cell record.
    virtual void Save(TStream& stream, int32_t version);
    // 12. Marks the cell described; the library accepts every cell.
    virtual bool RegisterInLibrary(TLibreria* library);
    // 13. Per-port level rows of older records.
    virtual void LoadLevelTables(TStream& stream, int32_t version);
    // 14. Converts every band vector of Attenuation into the given band system.
    virtual void SetBandSystem(TSistemaBande* system);
    // 15. Creates the missing link arrays and clears every link.
    virtual void AllocLinks();
    // 16. Fills the port table from the constructor counts.
    virtual void SetPortCounts();
    // 17. Occupies the cell's squares and queues its ports for the grid
    //     analysis; the base places its layout, the line leaving each through
    //     output needing a termination when the arriving one does.
    virtual bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue);
    // 18. Takes the next number of the category the description names.
    virtual void TakeSequenceNumber(TContatoriCategoria& counters);
    // 19-22. The component-data dialog. order[j] is the Attenuation column
    //        shown as value row j (negative: none); rows past its end show none.
    virtual void FillDataDialog(TDatiComponenti* dialog, std::span<const int32_t> order);
    virtual void ReadDataDialog(TDatiComponenti* dialog, std::span<const int32_t> order);
    virtual void FillDataDialogDefault(TDatiComponenti* dialog);
    virtual void ReadDataDialogDefault(TDatiComponenti* dialog);
    // 23. One edit in the dialog; true when confirmed.
    virtual bool EditData(TDatiComponenti* dialog);
    // 24. Prepares the dialog from the description's sheet and edits; without
    //     a form, marks the cell described or leaves it as the sheet says.
    virtual bool OpenDataDialog();
    // 25. The class's last-used prototype; none in the base.
    virtual TCella* GetPrototype() const;
    // 26. Checks the data, reporting problems after the prefix.
    virtual bool CheckData(const AnsiString& prefix);
    // 27. Copies this cell's data into the target.
    virtual void Assign(TCella* target);
    // 28. Takes the prototype's data.
    virtual void TakeLastUsed();
    // 29. Stores this cell's data into the prototype.
    virtual void StoreAsLastUsed();
    // 30. "Copia su ..." (flag 0) and "Copia su tutti" (flag 1): the owner
    //     grid's copy of this cell's data into the cells of its kind.
    virtual void CopyDataToSameKind(uint8_t flag);
    // 31. A new cell of the same class and data, owned by the caller; none when
    //     the factory does not build this type code.
    virtual std::unique_ptr<TCella> Clone();
    // 32-35. Simple answers.
    virtual bool IsEstimateItem() const;
    virtual bool NeedsNoDescription() const;
    virtual bool AllowsAutoChoice() const;
    virtual bool IsAutoMixModule() const;
    // 36-38. Level passes. The two vectors of the
    //        required-level pass are per-band limits or empty.
    virtual void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp);
    virtual void SpreadStamp(uint32_t stamp);
    virtual void ComputeSignalLevels(uint32_t stamp);
    // 39-45. Channel pass and outlet separation.
    virtual void ResetChannelLists();
    virtual void WalkDownstream(TListaCanali* list, int32_t entryPort, uint32_t stamp);
    virtual float MinDownstreamValue(float value, int32_t band, bool apply, TCella* candidates,
                                     uint8_t needsBand5, uint8_t needsBand9);
    virtual void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp);
    virtual void ClearBandAccumulators(int32_t band);
    virtual void PushSeparation(int32_t port, int32_t band, float limit);
    virtual void AcceptSeparation(int32_t port, int32_t band, float value, float limit);
    // 46-47. Report texts.
    virtual void WriteAttenuationTable(TRichEdit* report, int32_t input, const AnsiString& title);
    virtual void GetPortLevelText(TRichEdit* report);
    // 48. Mirrors the cell in place; 49. turns it by n quarter turns.
    virtual bool Mirror();
    virtual bool Rotate(int32_t n);
    // 50. The designer's fit of a model to an attenuation; none in the base.
    virtual bool FindModelForAttenuation(TCella* candidates, int32_t band, bool needsBand5, bool needsBand9);
    // 51-53. The designer's model passes.
    virtual bool ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                             int32_t band, int32_t further);
    virtual void EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band);
    virtual void ComputeReachWindows();
    // 54-56. Texts (the type name is the description's).
    virtual void GetPortName(TInfoMousePos& position);
    virtual void WriteReport(TRichEdit* report, TInfoMousePos& position);
    virtual AnsiString GetTypeName() const;
    // 57. Same type code and same three constructor counts.
    virtual bool IsSameKind(const TCella* other) const;
    // 58. Bit b of BandMask set when some row of Attenuation has a value in slot b of column 0.
    virtual void ComputeBandMask();
    // 59. The designer's usability of a library model; true in the base.
    virtual bool IsModelUsable(bool needsBand5, bool needsBand9) const;
    // 60. True for a cell that may share a square with another (straight cable pieces).
    virtual bool CanOverlapCell() const;
    // 61. Nothing in the base.
    virtual void AdjustLossTables();
    // 62-63. Attenuation lookups: the through attenuation, and the tap loss
    //        from an input to an output; the base ignores the two port
    //        indexes and reads row 0 (column 1 and column 0).
    virtual float GetRow1Attenuation(int32_t input, int32_t output, int32_t band) const;
    virtual float TapLoss(int32_t input, int32_t output, int32_t band) const;
    // 64. True for signal sources, where the grid analysis starts.
    virtual bool IsSignalStart() const;
    // 65. False for cells the grid analysis ignores (graphic cells).
    virtual bool TakesPartInAnalysis() const;
    // 66-67. Exchange two columns (outputs) or two rows (inputs) of Attenuation.
    virtual void SwapOutputColumns(int32_t i, int32_t j);
    virtual void SwapInputRows(int32_t i, int32_t j);

    // ---- Plain operations ----
    // True the first time a pass of this stamp reaches the cell, which it
    // then marks as visited; false when the pass has been here already (a
    // later stamp marks a later pass).
    bool EnterPass(uint32_t stamp) {
        if (stamp <= PassStamp) return false;
        PassStamp = stamp;
        return true;
    }
    void ResetInputLevels();
    void ResetOutputLevels();
    void ResetAuxLevels();
    // True when (BandMask and mask) equals value.
    bool BandMaskMatches(uint32_t mask, uint32_t value) const;
    // True when every bit of mask is set in BandMask.
    bool HasBands(uint32_t mask) const;
    // The band vectors of older records: a value repeating the one before it
    // becomes LevelRepeat; LevelBlocked breaks a run.
    static void NormaliseBandLevels(std::span<const float, BandSlots> source,
                                    std::span<float, BandSlots> target);

    // ---- Level windows of the passes (passes_levels.cpp) ----
    // Arithmetic is done in double and stored once as float. A sum with a
    // sentinel operand gives that sentinel (the first one), never a number.
    static float LevelSum(float a, float b) {
        if (!IsRealLevel(a)) return a;
        if (!IsRealLevel(b)) return b;
        return static_cast<float>(static_cast<double>(a) + static_cast<double>(b));
    }
    static float LevelDifference(float a, float b) {
        if (!IsRealLevel(a)) return a;
        if (!IsRealLevel(b)) return b;
        return static_cast<float>(static_cast<double>(a) - static_cast<double>(b));
    }
    // Number of band slots the passes fill: the bands of the calculation band system.
    static int32_t CalculationBandCount();
    // Required windows, from the outlets upwards.
    static void ClipWindow(TFinestra& w, float limit);
    static void AddAttenuation(TFinestra& w, float attenuation);
    static void IntersectWindows(TFinestra& w, const TFinestra& other);
    static void CombineForward(TFinestra& w, const TFinestra& downstream, float attenuation, bool gain);
    void ApplyStage(TFinestra& w, TInfo::Block stage, int32_t band) const;
    // Signal windows, from the head end downwards.
    static void SubtractAttenuation(TFinestra& w, float attenuation);
    static void MergeWindow(TFinestra& w, const TFinestra& other);
    static void CombineBackward(TFinestra& w, const TFinestra& upstream, float attenuation, bool gain);
    // Gain arithmetic over the stages of the amplifier-like classes: a stage
    // is one row of a level table (seven band vectors: tilt regulation,
    // maximum tilt regulation, gain regulation, maximum gain regulation, gain,
    // noise figure, maximum output level).
    float InterpolateBandValue(std::span<const float> vector, int32_t band) const;
    float GainAtBand(TInfo::Block stage, int32_t band) const;
    float AddGains(float value, const TInfo* list1, const TInfo* list2, int32_t index1, int32_t index2,
                   int32_t band) const;
    // Head-end seeding of the signal pass: the probe level on every through
    // output (band 0) and the admissible windows of the other bands, or one
    // line fed alone.
    void InitOutputMaxLevels();
    void InitOutputMinLevels();
    void SelectOutputLevel(int32_t line);

    // The report rows of the least and greatest attenuation from the head
    // end to output port, over the lines of the head-end terminal.
    void WriteAttenuationRows(TRichEdit* report, int32_t port);

    // ---- What the grid analysis asks of cable segments (Kind 81) ----
    // The run head is the one segment that stands for its whole cable run.
    virtual bool IsRunHead() const;
    virtual void SetRunHead(bool head);
    // True for a segment that must not be chosen as run head.
    virtual bool KeepsOffRunHead() const;

    // ---- What a class says of itself where the base would otherwise ask its code ----
    // The class's description (cells/description.h): names and numbering,
    // roles, the sheet of the component-data form. The base's GetTypeName,
    // GetShortCode, TakeSequenceNumber, LabelsLoss and OpenDataDialog answer
    // from it. The base describes a cell with no name, no number, no role
    // and no form.
    virtual TCellDescription Describe() const;
    bool HasRole(TCellRole role) const { return Describe().Has(role); }
    // Prepares the component-data form from a sheet, in the form's order:
    // names and captions, its sections, the class's own touches
    // (FinishDataForm) once it is laid out.
    void PrepareDataForm(TDatiComponenti& form, const TDataSheet& sheet);
    // What the class does to the laid-out form beyond its sheet; nothing in the base.
    virtual void FinishDataForm(TDatiComponenti& form);
    // The name that opens the cell's report; the type name unless the class
    // names itself otherwise there.
    virtual AnsiString ReportHeading() const;
    // True when the printed label may show the cell's loss (column 0, row 0 of
    // the attenuation table): the description's RoleLabelsLoss.
    virtual bool LabelsLoss() const;
    // The first box of "Dati elettrici" means something to some classes only:
    // FirstElectricBox gives its state from the power words (nothing where the
    // class leaves the box alone), SetFirstElectricBox writes a ticked or
    // cleared box back; the form reads it after the other boxes, so it decides
    // last for the words it touches.
    virtual std::optional<bool> FirstElectricBox() const;
    virtual void SetFirstElectricBox(bool ticked);
    // Records from 40000 to 49999 carry five flag bytes where later ones
    // keep power and position bits; a class that used them turns them into
    // its bits here. The base has nothing to take from them.
    virtual void ConvertOldFlags(const uint8_t (&flags)[5]);

    // ---- Placement on the grid (cells/placement.cpp) ----
    // The squares and ports in the cell's own frame (cells/layout.h). The
    // base: one square per through output side by side (at least one), the
    // input on top of the middle one, through output k below square k.
    virtual TCellLayout Layout() const;
    TTurnMirror Transform() const;
    // A point of the cell's frame to its grid square, and back.
    void FrameToGrid(int32_t& column, int32_t& row, int32_t x, int32_t y) const;
    void GridToFrame(int32_t& x, int32_t& y, int32_t column, int32_t row) const;
    // The same in absolute local coordinates (the frame's origin at the
    // anchor): GridToLocal places a local point, LocalToGrid is its inverse.
    void LocalToGrid(int32_t& outColumn, int32_t& outRow, int32_t localColumn, int32_t localRow) const;
    void GridToLocal(int32_t& outColumn, int32_t& outRow, int32_t column, int32_t row) const;
    // A point inside a turned and mirrored symbol box of the given size, in
    // the symbol's own frame.
    void RotateSymbolPoint(int32_t& outX, int32_t& outY, int32_t x, int32_t y, int32_t boxSize) const;
    // The grid squares a layout covers.
    TCellRect RectOf(const TCellLayout& layout) const;
    // Declares an input waiting on a side (of the cell's frame) of a square
    // for the grid analysis.
    void MarkGridCell(int32_t column, int32_t row, TSide side, int32_t value, uint8_t byte);
    // Links an output port to the cell across a side (of the cell's frame)
    // of a square and queues that square for the grid analysis.
    void LinkPortAt(int32_t column, int32_t row, int32_t outputPort, TSide side, uint8_t needsTermination,
                    uint8_t mayEndOpen, TQNextCell& queue);
    // What the lines leaving a cell's outputs ask of their ends.
    struct TLineEnds {
        uint8_t Through = 0;     // a through output's line needs a termination
        uint8_t Tap = 0;         // a tap output's line needs a termination
        uint8_t MayEndOpen = 0;  // an output may stay unconnected
    };
    // Marks every square of the layout occupied; then marks every input and
    // links every output of the layout, in the layout's order.
    void OccupyLayout(const TCellLayout& layout);
    void PlacePorts(const TCellLayout& layout, const TLineEnds& ends, TQNextCell& queue);
    // The port of the layout under the mouse: on a square with one port the
    // whole square names it; on a square with several, the quarter of the
    // square along the port's side (ports looked at in the layout's order);
    // none elsewhere.
    const TCellPort* PortUnder(const TCellLayout& layout, const TInfoMousePos& position) const;
    // Fills the port indexes and name of the mouse position from a port
    // (none clears them).
    static void SetPortUnder(TInfoMousePos& position, const TCellPort* port, const AnsiString& name);
    // The port of square (x, y) of the layout whose side's middle is nearest
    // to the point (px, py) of a square of size pixels; none when the square
    // holds no port.
    const TCellPort* PortNear(const TCellLayout& layout, int32_t x, int32_t y, int32_t px, int32_t py,
                              int32_t size) const;

    // ---- Symbol drawing (cells/drawing.cpp) ----
    // A symbol is written in units, 21 per grid square; these primitives turn
    // it by the cell's orientation, mirror it, scale it by zoom / 21 and draw
    // it on the canvas that BeginSymbol set. The ones taking a state draw with
    // the symbol's state unless another is given (half-scale signs).
    void BeginSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom);
    // The pixel of a symbol point: mirrored (x to W - x), then turned, then scaled.
    TPoint SymPoint(int32_t x, int32_t y, const TSymbolState& state = SymbolState) const;
    // Two corners as an ordered pixel rectangle whose outline lies inside the squares.
    TRect SymRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                  const TSymbolState& state = SymbolState) const;
    void SymMoveTo(int32_t x, int32_t y, const TSymbolState& state = SymbolState) const;
    void SymLineTo(int32_t x, int32_t y, const TSymbolState& state = SymbolState) const;
    void SymRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                      const TSymbolState& state = SymbolState) const;
    // A rectangle filled black; the brush is left clear with its colour.
    void SymFilledRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const;
    void SymEllipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                    const TSymbolState& state = SymbolState) const;
    // Arc in the box (x1, y1)-(x2, y2), counterclockwise from the radial
    // through (x3, y3) to the one through (x4, y4), as the symbol shows it.
    void SymArc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
                int32_t y4, const TSymbolState& state = SymbolState) const;
    // An open polyline; the caller's points are not changed.
    void SymPolyline(std::span<const TPoint> points, const TSymbolState& state = SymbolState) const;
    void SymPolyline(std::initializer_list<TPoint> points, const TSymbolState& state = SymbolState) const;
    // Three sides of a bar 4 units thick from (x, y), dx across (or dy down when dx is 0).
    void SymArrow(int32_t x, int32_t y, int32_t dx, int32_t dy) const;
    // The framed sign of a square at (x, y), and the marker sign.
    void SymFrame(int32_t x, int32_t y, const TSymbolState& state = SymbolState) const;
    void SymMarker(int32_t x, int32_t y) const;
    // The module sign of head-end modules and filters, at half scale moved by
    // (dx, dy) units: variant 0 one stroke, variant 1 two.
    void DrawModuleSymbol(int32_t dx, int32_t dy, int32_t variant) const;

    // Labels beside a symbol, in "Arial" of height -8. DrawLabel ends the
    // text at the symbol's right edge (x + width - 17, or - 21 from 4
    // characters on); DrawTextAt writes at (x + dx, y + dy); DrawLevelLabel
    // adds the level as "-" and its whole dB in purple when the options show
    // attenuations: beside the label from 42 pixels on when they show both,
    // else in the label's place.
    void DrawLabel(TCanvas* canvas, int32_t x, int32_t y, int32_t width, const AnsiString& text,
                   TColor colour) const;
    void DrawTextAt(TCanvas* canvas, int32_t x, int32_t y, const AnsiString& text, TColor colour, int32_t dx,
                    int32_t dy) const;
    void DrawLevelLabel(TCanvas* canvas, int32_t x, int32_t y, int32_t width, const AnsiString& text,
                        float level, TColor colour) const;
    // The symbol, then on the cell's top-right square the short code with the
    // loss beside it (without the loss, in the undescribed colour, while the
    // cell is not described), when the detail level shows labels.
    void PaintWithLossLabel(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom,
                            float loss);
    // The drawing's detail level: the project's, or the grid's own without a
    // project; 1 for a cell on no grid. Labels show above 1.
    int32_t DetailLevel() const;

    // ---- Data ----
    TCellGrid* Owner = nullptr;
    TSistemaBande* BandSystem = nullptr;
    uint32_t PassStamp = 0;        // last level, walk, channel or model pass that visited the cell
    uint32_t SpreadPassStamp = 0;  // last spread pass (SpreadStamp)
    int32_t Orientation = 0;       // quarter turns, 0-3
    int32_t Inputs = 0;            // constructor counts, kept in the record
    int32_t ThroughOutputs = 0;
    int32_t TapOutputs = 0;
    int32_t Mirrored = 0;
    int32_t Column = 0;  // anchor square (first through output)
    int32_t Row = 0;
    int32_t TypeCode = CodeNone;
    int32_t Kind = 0;     // library kind of the class; not in the record
    uint8_t Variant = 0;  // class-specific layout variant

    AnsiString Description;
    AnsiString Article;
    AnsiString Notes;
    AnsiString InternalNotes;
    AnsiString ExternalNotes;
    AnsiString Brand;
    AnsiString Code;  // article code, first key of a library entry
    AnsiString Series;
    AnsiString Category;  // library group, e.g. "Derivatori"

    float Price = 0.0f;
    uint8_t Currency = 1;  // index into the options' currency table
    int32_t InstallMinutes = static_cast<int32_t>(LevelNone);
    AnsiString AuxLibrary[2];
    AnsiString AuxCode[2];
    float AuxQuantity[2] = {LevelNone, LevelNone};
    uint8_t Choice1 = 255;  // "Connettore"
    uint8_t Choice2 = 255;
    uint8_t Choice3 = 255;  // "Conn. out"
    uint32_t Characteristics[4] = {0, 0, 0, 0};
    float ExtraValue = LevelNone;
    float Current1 = 0.0f;  // mA, "Corrente assorbita:"
    float Current2 = 0.0f;  // mA, internal supply
    uint32_t Power[3][4] = {{PowerInputs | PowerThrough | PowerTaps, AllBits, AllBits, AllBits},
                            {PowerInputs | PowerThrough | PowerTaps, AllBits, AllBits, AllBits},
                            {0, 0, 0, 0}};
    uint32_t Positions[2] = {255, 255};
    uint8_t Described = 0;
    int32_t SequenceNumber = 0;
    std::unique_ptr<TListaCanali> SourceChannels;

    // Port table; outputs are numbered through outputs first, then tap outputs.
    int32_t NumInputs = 0;
    int32_t NumTapOutputs = 0;
    int32_t NumThroughOutputs = 0;
    int32_t NumOutputs = 0;
    int32_t TableRows = 0;  // first two dimensions of Attenuation
    int32_t TableColumns = 0;

    // Links: per input the upstream cell and its output port, per output the
    // downstream cell and its input port; -1 and none when unlinked.
    std::vector<int32_t> InputPort;
    std::vector<int32_t> OutputPort;
    std::vector<TCella*> InputCell;
    std::vector<TCella*> OutputCell;

    std::vector<std::unique_ptr<TListaCanali>> ChannelLists;  // one per output, made by the channel pass

    TTabellaFinestre InputLevels;   // one row per input
    TTabellaFinestre ReachLevels;   // one row per input: the designer's reach windows
    TTabellaFinestre OutputLevels;  // one row per output

    float SeparationBest[BandSlots];
    float SeparationAux[BandSlots];
    float SeparationOutlet[BandSlots];
    int32_t SeparationNode =
        -1;  // the cell's place in the search's copy of its grid (cells/separation_network.h)

    TCella* NextCell = nullptr;  // next cell of the grid's chain (it begins with the head-end terminal)
    TCella* NextInList =
        nullptr;  // next cell of a library or candidate list (TMemLib), apart from the grid's chain
    TCella* NextOutlet = nullptr;  // next outlet of the grid's outlet chain
    TCella* Overlay = nullptr;     // a second cell on the same square (crossing cables)

    // Attenuation: TableRows x TableColumns x 15 dB; column 1 of row 0 is the
    // through attenuation, column 3 of row 0 the attenuation between two
    // outputs. The level tables: rows x 7 x 15 stages of the amplifier-like
    // classes (tilt regulation, maximum tilt regulation, gain regulation,
    // maximum gain regulation, gain, noise figure, maximum output level).
    std::unique_ptr<TInfo> Attenuation;
    std::unique_ptr<TInfo> LevelTableA;
    std::unique_ptr<TInfo> LevelTableB;
    std::unique_ptr<TInfo> LevelTableC;

    // The words of the port table that the tap classes use: the second and
    // third dimensions of the two matrix tables.
    int32_t MatrixColumns = 0;
    int32_t MatrixDepth = 0;
    std::unique_ptr<TInfo> MatrixTableA;  // rows x MatrixColumns x MatrixDepth x 15
    std::unique_ptr<TInfo> MatrixTableB;  // rows x MatrixColumns x 7 x 15

    int32_t WalkMark = 0;   // cable-run walks
    uint32_t BandMask = 0;  // bit b set when band slot b is handled

protected:
    // Runs the channel pass up the line that reaches input and gives the
    // channel list that arrives on it; none when the input is not linked or
    // the cell upstream has no list on that port.
    const TListaCanali* ChannelsArrivingOn(int32_t input, int32_t flags, uint32_t stamp);

    // ---- Passes of a cell that carries line i from input i to through
    // output i untreated (passes_through.cpp) ----
    // Each input asks what the cell downstream of its line asks; a line with
    // nothing downstream asks nothing.
    void RequiredLevelsThrough(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp);
    // Each line's channel list takes what arrives on its input (the stamp
    // and the reset of the lists are the caller's).
    void ChannelsThrough(int32_t flags, uint32_t stamp);
    // The designer's passes handed down every through output, then the
    // reach windows; a refused choice stops the walk.
    bool ChooseModelThrough(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                            int32_t band, int32_t further);
    void EvaluateModelThrough(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band);

    // The short code of a class: its category letters and sequence number.
    AnsiString ShortCodeWith(const char* letters) const;
    // Takes the sequence number from counter index and advances the counter.
    void TakeFromCounter(TContatoriCategoria& counters, int index);
    // Power group group concerns just the port groups in ports, every port of
    // each: the port bits of its flag word and its three masks follow, the
    // supply bits of the flag word stay.
    void SetPowerGroup(int group, uint32_t ports);
    // The three power groups of a class at once.
    void SetPowerGroups(const TPowerGroups& groups);
};

#include "cells/window_arithmetic.h"  // IWYU pragma: export
