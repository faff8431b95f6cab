#pragma once
// Auto-mix head-end modules: boxes of 3 x 5 squares standing side by side in
// the head-end grid, each taking the common line from its neighbour, adding
// what it produces and handing the line on; the final amplifier
// TAmplificatoreAt at the end of the row amplifies the mixed line.
//
// The port counts of the record head are arrangements, not counts: the
// input arrangement (0 none, 1 one input at the top centre, 2 two inputs at
// the top corners, 3 the common line through the top corners) and the output
// arrangement (1 output 2 at the bottom centre, 3 output 2 at the outer
// bottom squares where a cell below may feed input 2, 4 output 2 at the
// bottom right with a bypass input at the bottom left). Every module has the
// same port frame: 5 inputs and 4 through outputs.
#include <cstdint>
#include <memory>

#include "cells/cell.h"
#include "core/filter_modules.h"

enum : int32_t {
    AutoMixNoInput = 0,
    AutoMixOneInput = 1,
    AutoMixTwoInputs = 2,
    AutoMixCommonLine = 3,
};
enum : int32_t {
    AutoMixOutputCentre = 1,
    AutoMixOutputOuter = 3,
    AutoMixOutputBypass = 4,
};
constexpr int32_t AutoMixMaxInputArrangement = 3;
constexpr int32_t AutoMixMaxOutputArrangement = 4;

// The port frame and the ports the passes use.
constexpr int32_t AutoMixInputs = 5;
constexpr int32_t AutoMixThroughOutputs = 4;
constexpr int32_t AutoMixCommonOutput = 0;  // the common line at the top corners
constexpr int32_t AutoMixOwnOutput = 2;     // the module's own output at the bottom
constexpr int32_t AutoMixBelowInput = 2;    // fed by the cell standing below the box
constexpr int32_t AutoMixBypassInput = 4;
constexpr int32_t AutoMixWidth = 3;
constexpr int32_t AutoMixHeight = 5;
// A module whose common line joins its neighbours' inside the box frame.
constexpr uint8_t AutoMixFramedVariant = 2;

// The kind bit a module's flags carry by the type code of its cell (0 for
// a cell that is no channel module).
uint32_t ModuleKindOf(int32_t code);

// Category counter of the short code "Af".
constexpr int FinalAmplifierCounter = 21;

class TCellaAutoMix : public TCella {
public:
    TCellaAutoMix(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                  int32_t inputArrangement, int32_t outputArrangement);
    ~TCellaAutoMix() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    TCellLayout Layout() const override;
    // The cell record, then the module list. Arrangements outside their
    // ranges are a damaged record.
    void Load(TStream& stream, int32_t version) override;
    void Save(TStream& stream, int32_t version) override;
    // The module keeps its own band system: only the reference changes.
    void SetBandSystem(TSistemaBande* system) override;
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    void Assign(TCella* target) override;
    bool IsAutoMixModule() const override;
    // A module of the common line joins its neighbours of the line by jumpers.
    TCellDescription Describe() const override;
    void SpreadStamp(uint32_t stamp) override;
    bool Rotate(int32_t n) override;
    void GetPortName(TInfoMousePos& position) override;

    int32_t InputArrangement() const { return Inputs; }
    int32_t OutputArrangement() const { return ThroughOutputs; }

    std::unique_ptr<TModuliFiltro> Modules;

protected:
    // Claims the squares of the box and registers its ports for the grid
    // analysis, by the arrangements and the side the line came from; the
    // final amplifier looks for a chained neighbour before it links a
    // corner of the common line, and wants its termination below turned as
    // it is.
    void PlaceBox(const TNextCell& record, TQNextCell& queue, bool finalAmplifier);
    // The side of the box a grid side is, under the cell's turn and mirror.
    TSide LocalSide(int32_t gridSide) const;
    // True when a chained final amplifier or module is met from (column,
    // row) going in a grid direction, across cables.
    bool FindChainNeighbour(int32_t column, int32_t row, TDirection direction) const;
    // True when a cell stands just below one of the box's outer bottom squares.
    bool CellBelowOuterSquare() const;
    void RefuseDamagedArrangements() const;
    void LoadOldModule(TStream& stream, int32_t version);
};

class TAmplificatoreAt : public TCellaAutoMix {
public:
    TAmplificatoreAt(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                     int32_t inputArrangement, int32_t outputArrangement);
    ~TAmplificatoreAt() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // "Amplificatore ", "Af"; joins the modules by jumpers; the form shows
    // its columns in line order, a page per amplifier of its arrangement.
    TCellDescription Describe() const override;
    // The plain cell record, with the conversions of older files.
    void Load(TStream& stream, int32_t version) override;
    void Save(TStream& stream, int32_t version) override;
    void SetBandSystem(TSistemaBande* system) override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    void FillDataDialogDefault(TDatiComponenti* dialog) override;
    void ReadDataDialogDefault(TDatiComponenti* dialog) override;
    TCella* GetPrototype() const override;
    bool CheckData(const AnsiString& prefix) override;
    bool IsAutoMixModule() const override;
    // The automatic gain regulation of its rows.
    void SpreadStamp(uint32_t stamp) override;
    // Follows its own output only.
    void WalkDownstream(TListaCanali* list, int32_t entryPort, uint32_t stamp) override;
    // The two-step pass of the common line.
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void GetPortLevelText(TRichEdit* report) override;
    bool Mirror() override;
    // Only a half turn.
    bool Rotate(int32_t n) override;
    void AdjustLossTables() override;

    // The designer's searches of a library list: the same kind, brand and
    // series (an empty filter takes any), whose largest maximum output at
    // band reaches level, the smallest such; with a band mask to match too.
    TCella* FindByOutputLevel(TCella* candidates, int32_t band, float level, const AnsiString& brand,
                              const AnsiString& series);
    TCella* FindForChannel(TCella* candidates, int32_t band, float level, const AnsiString& brand,
                           const AnsiString& series, uint32_t mask, uint32_t value);
    // Takes the model FindForChannel finds; nothing when none fits.
    bool SelectFromLibrary(TCella* candidates, int32_t band, float level, const AnsiString& brand,
                           const AnsiString& series, uint32_t mask, uint32_t value);

    // The rows in use: input 0, input 1 with two inputs, the bypass path.
    int32_t UsedRows() const;
};
