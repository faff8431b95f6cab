#pragma once
// Amplifiers: the in-line amplifier TAmplificatore of both grids, described
// band by band by tilt, gain regulation, gain, noise figure and maximum
// output level; TAmplificatoreA, described instead by the range of input
// levels it levels out and the output level it gives; and the head end's
// wide-band amplifier / mixer TTerrestre, several inputs amplified onto one
// output. All three regulate themselves: their stamp spread runs the
// project's channel pass and raises each input's gain regulation so that the
// loudest channel respects the maximum output and the outlets' limits.
//
// Ports: N inputs and M through outputs, no tap outputs; Attenuation has one
// row per input and seven columns, in the orders below. An amplifier has
// either one input per output (N = M, line i through row i) or one input
// feeding every output (N = 1).
#include <cstdint>
#include <span>

#include "cells/cell.h"
#include "cells/taps.h"

// Category counters of the short codes "A" (codes 21, 22 and 23 share it) and "Tr".
constexpr int AmplifierCounter = 15;
constexpr int WideBandCounter = 18;

// The largest counts that keep a last-used prototype.
constexpr int32_t AmplifierPrototypeWays = 17;
constexpr int32_t WideBandPrototypeInputs = 9;
constexpr int32_t WideBandPrototypeOutputs = 10;

// Columns of an amplifier row (one row per input).
enum : int32_t {
    AmpTilt = 0,
    AmpMaxTilt = 1,
    AmpRegulation = 2,
    AmpMaxRegulation = 3,
    AmpGain = 4,
    AmpNoiseFigure = 5,
    AmpMaxOutput = 6,
    AmpColumns = 7,
};

// Columns of a levelling amplifier's row.
enum : int32_t {
    AgcMinInput = 0,
    AgcMaxInput = 1,
    AgcRegulation = 2,
    AgcMaxRegulation = 3,
    AgcNoiseFigure = 4,
    AgcOutputLevel = 5,
};

// Columns of a wide-band amplifier's row.
enum : int32_t {
    WideRegulation = 0,
    WideGain = 1,
    WideNoiseFigure = 2,
    WideMaxOutput = 3,
    WideMaxRegulation = 4,
    WideTilt = 5,
    WideMaxTilt = 6,
};

// One band of the automatic regulation: how much the loudest channel must
// come down (Need) and how much the quietest may (Room).
struct TRegolazioneBanda {
    double Need = 0.0;
    double Room = 0.0;
};

// The regulation step over the band groups of one row: a band whose largest
// regulation is above 0 opens a group that runs on over the bands marked
// LevelRepeat; the group moves by the least of its largest Need, its
// smallest Room and the regulation left in its opening band.
void RegulateBandGroups(std::span<const TRegolazioneBanda, BandSlots> bands,
                        std::span<const float, BandSlots> maxRegulation,
                        std::span<float, BandSlots> regulation);
// The same step on row of a cell's table, its regulation and largest
// regulation in the given columns.
void RegulateRow(TCella& cell, int32_t row, int32_t regulationColumn, int32_t maxRegulationColumn,
                 std::span<const TRegolazioneBanda, BandSlots> bands);
// Per band slot the lowest levelMin and the highest levelMax of the channels
// of reached that also stand in list (both in freqLow order, walked
// together); 1000 and 0 where none does.
void MatchChannelLevels(const TListaCanali& reached, const TListaCanali& list,
                        std::span<double, BandSlots> lowest, std::span<double, BandSlots> highest);
// A per-band limit of the options ("SigMin", "SigMax", ...).
double OptionLimit(int32_t band, int kind);

class TAmplificatore : public TCella {
public:
    // code 21 or 22; inputs inputs and throughOutputs through outputs.
    TAmplificatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                   int32_t code, int32_t inputs, int32_t throughOutputs);
    ~TAmplificatore() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // "Amplificatore ", "A"; a form page per input, a value row per column
    // of its table (gain, noise figure and maximum output only for code 21).
    TCellDescription Describe() const override;
    // Older records: counts after the base record, regulation groups, the
    // anchor of several outputs and the column order.
    void Load(TStream& stream, int32_t version) override;
    // Old flag bytes: 1 external supply, 4 not in a substation, 5 not on a
    // line.
    void ConvertOldFlags(const uint8_t (&flags)[5]) override;
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    TCella* GetPrototype() const override;
    bool CheckData(const AnsiString& prefix) override;
    bool AllowsAutoChoice() const override;
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    // The automatic regulation.
    void SpreadStamp(uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    float MinDownstreamValue(float value, int32_t band, bool apply, TCella* candidates, uint8_t needsBand5,
                             uint8_t needsBand9) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    // No separation passes through an amplifier.
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    // Each row stays with its port.
    bool Mirror() override;
    bool ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t band,
                     int32_t further) override;
    void EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) override;
    void ComputeReachWindows() override;
    void GetPortName(TInfoMousePos& position) override;
    // Codes 21 and 22 stand in for each other where the cell asks so.
    bool IsSameKind(const TCella* other) const override;
    void ComputeBandMask() override;
    // The gain regulations back to 0 (code 21 has none to touch).
    void AdjustLossTables() override;
    // The attenuation of row input in band: the negated net gain.
    float GetRow1Attenuation(int32_t input, int32_t output, int32_t band) const override;

    // The squares and ports of the cell.
    TCellLayout Layout() const override;

protected:
    // The row the designer evaluates: row 1 with several inputs.
    int32_t EvaluatedRow() const { return NumInputs > 1 ? 1 : 0; }
    // A library cell the designer may take under the mode word.
    bool Qualifies(TCella* candidate, int32_t mode);
    void TakeModel(TCella* candidate);
    // The automatic regulation of input i, once the channel pass has run.
    void RegulateInput(int32_t input, TListaCanali& scratch);
    // Line i of the channel pass: what arrives on input i through row i into output i.
    virtual void PassLine(int32_t i, const TListaCanali& arriving, TListaCanali& out,
                          const AnsiString& prefix);
};

class TAmplificatoreA : public TAmplificatore {
public:
    TAmplificatoreA(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                    int32_t inputs, int32_t throughOutputs);
    ~TAmplificatoreA() override;

    // Older records rebuild the largest regulation from the regulation.
    void Load(TStream& stream, int32_t version) override;
    // The levelling amplifier had no flags.
    void ConvertOldFlags(const uint8_t (&flags)[5]) override;
    // An amplifier's form with the levelling amplifier's row captions.
    TCellDescription Describe() const override;
    void FillDataDialogDefault(TDatiComponenti* dialog) override;
    void ReadDataDialogDefault(TDatiComponenti* dialog) override;
    bool CheckData(const AnsiString& prefix) override;
    // Every line passes the windows on (see the notes in the passes).
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;

protected:
    // Every channel within the input range leaves at the output level less the regulation.
    void PassLine(int32_t i, const TListaCanali& arriving, TListaCanali& out,
                  const AnsiString& prefix) override;
};

class TTerrestre : public TCella {
public:
    TTerrestre(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
               int32_t inputs, int32_t throughOutputs);
    ~TTerrestre() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // "Ampli/Mix larga banda ", "Tr"; a form page per input with its columns
    // in the amplifier's line order.
    TCellDescription Describe() const override;
    // The satellite bands' value cells stay hidden.
    void FinishDataForm(TDatiComponenti& form) override;
    // Records older than version 20000 carry the counts; older than 40000
    // have no regulation groups.
    void Load(TStream& stream, int32_t version) override;
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    void FillDataDialogDefault(TDatiComponenti* dialog) override;
    void ReadDataDialogDefault(TDatiComponenti* dialog) override;
    TCella* GetPrototype() const override;
    bool CheckData(const AnsiString& prefix) override;
    // The automatic regulation against what arrives on each input.
    void SpreadStamp(uint32_t stamp) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    bool Mirror() override;
    // The head end's blocks stand as drawn.
    bool Rotate(int32_t n) override;
    void GetPortName(TInfoMousePos& position) override;
    void AdjustLossTables() override;

    TCellLayout Layout() const override;
};

// The port table of a cell of n inputs, m through outputs and one row of
// seven columns per input.
void SetLinePortCounts(TCella& cell);
// Reverses the first n rows of a rank-3 table (a mirrored cell keeps each
// row with its port).
void ReverseRows(TInfo& table, int32_t n);
