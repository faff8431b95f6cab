#pragma once
// TChiusura, the line termination: it closes a line end and carries no
// signal. It ends every calculation pass, counts as described without data,
// and in the designer's model choice takes a library termination of the kind
// (DC-isolated or not) and connector asked for.
#include <cstdint>

#include "cells/cell.h"

// Category counter of the short code "X".
constexpr int TerminationCounter = 14;

class TChiusura : public TCella {
public:
    // inputs squares side by side along the row, each closing one line.
    TChiusura(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
              int32_t inputs);
    ~TChiusura() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    void Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) override;
    void DrawAttenuationValues(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                               int32_t zoom, int32_t flags) override;
    // "Chiusura ", "X" and its number; the form has no value rows, only
    // "Chiusura isolata DC".
    TCellDescription Describe() const override;
    // One square per input along its row, each waiting on its top for the
    // line it closes (input 0 on every square).
    TCellLayout Layout() const override;
    void Load(TStream& stream, int32_t version) override;
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    TCella* GetPrototype() const override;
    bool CheckData(const AnsiString& prefix) override;
    // The first electrical box, ticked: the termination lets supply through
    // its inputs instead of refusing it.
    std::optional<bool> FirstElectricBox() const override;
    void SetFirstElectricBox(bool ticked) override;
    // Old flag byte 3: the termination lets supply through its inputs.
    void ConvertOldFlags(const uint8_t (&flags)[5]) override;
    // No port to name and no report rows.
    void GetPortName(TInfoMousePos& position) override;
    void WriteAttenuationTable(TRichEdit* report, int32_t input, const AnsiString& title) override;
    void GetPortLevelText(TRichEdit* report) override;
    bool NeedsNoDescription() const override;
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void SpreadStamp(uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    void WalkDownstream(TListaCanali* list, int32_t entryPort, uint32_t stamp) override;
    float MinDownstreamValue(float value, int32_t band, bool apply, TCella* candidates, uint8_t needsBand5,
                             uint8_t needsBand9) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    bool ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t band,
                     int32_t further) override;
    void EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) override;

    // A DC-isolated termination: its refuses-power flag word is 0.
    static bool IsIsolated(const TCella& cell);
    // True when cell is the kind of termination mode asks for.
    static bool MatchesRequest(const TCella& cell, int32_t mode);

private:
    void SetEmptyReach();
};
