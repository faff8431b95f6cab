#pragma once
// Taps ("derivatori"): a tap takes one or more lines ("montanti"), passes each
// line on to a through output ("passante") of the same index and branches a
// fixed number of user outputs ("derivate") off every line, each with its tap
// loss. TDerivatoreS and TDerivatoreN differ only in type code, symbol and
// prototypes; TDerivatoreN is an end-of-line tap without through outputs. The
// splitter (cells/splitters.h) is a tap without through outputs as well.
//
// Ports, with n lines and t user outputs per line: outputs 0 to n - 1 are the
// through outputs (through output i carries line i), output through + i x t + j
// is user output j of line i. Attenuation has one row per line and the four
// columns below; the level tables hold optional amplifier stages of active
// taps (LevelTableA per line at the input, LevelTableB per through output,
// LevelTableC per line for its user outputs), and MatrixTableA, when present,
// gives every user output its own tap loss (with MatrixTableB its own stage).
#include <array>
#include <cstdint>
#include <vector>

#include "cells/cell.h"

// Category counter of the short code "R".
constexpr int TapCounter = 4;

// Columns of a tap's Attenuation row (one row per line).
enum : int32_t {
    TapLossColumn = 0,        // line to each of its user outputs
    TapThroughColumn = 1,     // line to its through output
    TapReverseColumn = 2,     // between a user output and the through output
    TapDecouplingColumn = 3,  // between two user outputs of one line
};

// A tap's layout (cells/layout.h): x along the lines (column i is line i),
// inputs on top, user outputs on the sides, through outputs at the bottom.

// The port a point names, with its index (the others -1).
// The glyph in the middle of a cell of several lines.
enum class TTapGlyph : uint8_t { Tap, EndTap, TerminatedTap, Splitter };

struct TTapPortName {
    AnsiString Name;
    int32_t Input = -1;
    int32_t TapOutput = -1;
    int32_t ThroughOutput = -1;
};

// True when a rank-3 level table holds stage rows.
bool HasStageRows(const TInfo& table);

class TDerivatore : public TCella {
public:
    // inputs lines with tapOutputs user outputs each; one through output per line.
    TDerivatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                int32_t inputs, int32_t tapOutputs);
    ~TDerivatore() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // The symbol, and on the top-right square the short code with the tap
    // loss of line 1 to its first user output.
    void Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) override;
    // "Derivatore ", "R"; prints its loss; a form page per line, its losses
    // as value rows, the user outputs of a line when they differ.
    TCellDescription Describe() const override;
    // Records older than version 20000 describe a one-line tap and carry its
    // user-output count after the base record.
    void Load(TStream& stream, int32_t version) override;
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    // The prototype of the cell's class for its lines and user outputs.
    TCella* GetPrototype() const override;
    // Every line must handle some band, each band fully or not at all.
    bool CheckData(const AnsiString& prefix) override;
    // The passes: every line on its own, with its losses and stages.
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    void ComputeChannels(int32_t mode, int32_t port, uint32_t stamp) override;
    void ClearBandAccumulators(int32_t band) override;
    // The separation search: a value arriving down a line, back through a
    // through output, or back through any user output (one value shared by
    // all user outputs of the cell).
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    void AcceptSeparation(int32_t port, int32_t band, float value, float limit) override;
    // The channels of every output under its heading: "passaggio" for
    // through outputs, "uscita" and its number for user outputs.
    void GetPortLevelText(TRichEdit* report) override;
    // An odd number of user outputs makes the symbol lopsided: mirroring flips it.
    bool Mirror() override;
    // The designer's model choice from a list of library cells linked through NextInList.
    bool FindModelForAttenuation(TCella* candidates, int32_t band, bool needsBand5, bool needsBand9) override;
    bool ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t band,
                     int32_t further) override;
    void EvaluateModel(TCella* candidates, int32_t mode, float level, uint32_t stamp, int32_t band) override;
    void ComputeReachWindows() override;
    // The port under the mouse: the nearest port edge of the pointed square.
    void GetPortName(TInfoMousePos& position) override;
    bool IsModelUsable(bool needsBand5, bool needsBand9) const override;
    // Through loss of line input (to its own through output) and tap loss of
    // line input to its user output output (0 to t - 1), with the stages
    // that lie on the way; sentinels for a band the way does not pass.
    float GetRow1Attenuation(int32_t input, int32_t output, int32_t band) const override;
    float TapLoss(int32_t input, int32_t output, int32_t band) const override;

    // The squares and ports of the cell.
    TCellLayout Layout() const override;
    // The name of a port of the layout and its indexes.
    virtual TTapPortName NamePort(const TCellPort& port) const;

    // True when every user output has its own tap loss (MatrixTableA).
    bool HasOwnOutputLosses() const;
    // User outputs per line.
    int32_t OutputsPerLine() const { return MatrixColumns; }
    // The lines: one Attenuation row each, from input 0 on (further inputs,
    // when a class has them, are not lines).
    int32_t Lines() const { return TableRows; }
    // The output number of user output j of line i.
    int32_t TapOutputPort(int32_t line, int32_t j) const {
        return NumThroughOutputs + (UserOutputsShared ? 0 : line * OutputsPerLine()) + j;
    }

    // Best values of the separation search per line (arriving from upstream)
    // and per through output, per band slot; made by the first clearing.
    std::vector<std::array<float, BandSlots>> InputSeparation;
    std::vector<std::array<float, BandSlots>> ThroughSeparation;

protected:
    // Set by classes whose lines all reach the same user outputs (switches):
    // user output j is then the same port for every line.
    bool UserOutputsShared = false;
    // The data check of the lines; horizontalColumn is the Attenuation column
    // of the matrix inputs' loss (checked when the cell has matrix inputs, -1
    // for none); the through columns are checked without through outputs too
    // unless throughColumnsOnlyWithThrough.
    bool CheckLines(const AnsiString& prefix, int32_t horizontalColumn, bool throughColumnsOnlyWithThrough);
    // A description with the names, the printed loss and the four loss-row
    // captions of a line that taps, splitters and switches share.
    static TCellDescription LossRowsDescription(const char* typeName, const char* letters, int counter);
    // The tap's and the splitter's description under their names.
    TCellDescription DescribeLines(const char* typeName, const char* letters, int counter) const;
    // A library cell the designer may take under mode.
    bool Qualifies(TCella* candidate, int32_t mode);
    // Copies a library cell's data into this cell.
    void TakeModel(TCella* candidate);
    int32_t ModeWithOwnConnector(int32_t mode) const;
    // A value of the separation search handed to the cell downstream of
    // output out (arriving at its input), or up to the cell feeding input.
    void PushDownOutput(int32_t out, int32_t band, float value, float limit);
    void PushUpLine(int32_t input, int32_t band, float value, float limit);
    // Makes the separation arrays for the present port counts (the search
    // calls it on every step: the sizes are compared here, inline).
    void EnsureSeparationArrays() {
        if (static_cast<int32_t>(InputSeparation.size()) != NumInputs ||
            static_cast<int32_t>(ThroughSeparation.size()) != NumThroughOutputs)
            MakeSeparationArrays();
    }
    void MakeSeparationArrays();
    // Symbol parts: the tap's body, the stub of every port of a cell of
    // several lines (inputStub units long at the inputs), the middle glyph
    // (beside the supply mark when the cell has an internal supply).
    void DrawTapBody() const;
    void DrawPortStubs(int32_t inputStub) const;
    void DrawCentre(TTapGlyph glyph) const;
    void DrawGlyph(TTapGlyph glyph, int32_t gx, int32_t gy, bool outer) const;
    // Arrows on the stubs of a cell of several lines, when the options ask for them.
    virtual bool ShowsArrows() const;
    // Whether the lines leaving the user outputs must end in a termination.
    virtual uint8_t TapLinesNeedTermination() const;
};

// A tap whose user-output lines need a termination.
class TDerivatoreS : public TDerivatore {
public:
    TDerivatoreS(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                 int32_t inputs, int32_t tapOutputs);
    ~TDerivatoreS() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
};

// An end-of-line tap: no through outputs.
class TDerivatoreN : public TDerivatore {
public:
    TDerivatoreN(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                 int32_t inputs, int32_t tapOutputs);
    ~TDerivatoreN() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
};
