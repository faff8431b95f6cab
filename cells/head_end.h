#pragma once
// The head-end terminal TTesta: the seam between the two grids of a project.
// Each grid holds one as the first cell of its chain: on the head-end grid it
// gathers the distribution lines on its inputs, on the network grid it feeds
// the same lines into the network from its outputs. The two are one logical
// component and always have the same number of lines.
#include "cells/cell.h"

class TTesta : public TCella {
public:
    static constexpr int32_t MinLines = 1;
    static constexpr int32_t MaxLines = 24;

    // lines outside 1 to 24 are brought into that range.
    TTesta(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
           int32_t lines);
    ~TTesta() override;

    // A bar over all its squares with a stub per line (symbol in cells/head_end_symbol.cpp).
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // The symbol only: the terminal carries no code.
    void Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) override;
    // One row of lines + 2 squares; line i stands on square 1 + i: an input
    // on its top on the head-end grid, a through output below it on the
    // network grid.
    TCellLayout Layout() const override;
    // Records older than version 20000 carry the line count after the base record.
    void Load(TStream& stream, int32_t version) override;
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    bool IsEstimateItem() const override;
    // "Centrale di testa " (on the head-end grid "Rete di distribuzione "),
    // no short code, the grid's anchor; always described, so no form.
    TCellDescription Describe() const override;
    // A line of the terminal: "linea" and its number.
    void GetPortName(TInfoMousePos& position) override;
    // The channels of every line.
    void GetPortLevelText(TRichEdit* report) override;
    // The network terminal, in row 0, is where the analysis starts.
    bool IsSignalStart() const override;

    // Passes (head_end_passes.cpp). The calculation crosses from one
    // terminal to its partner on the project's other grid.
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void SpreadStamp(uint32_t stamp) override;
    // The network terminal's outputs are seeded by the project, not computed.
    void ComputeSignalLevels(uint32_t stamp) override;
    void WalkDownstream(TListaCanali* list, int32_t entryPort, uint32_t stamp) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    bool ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t band,
                     int32_t further) override;
    void EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) override;
    void ComputeReachWindows() override;
    // The terminal of the same project on the other grid, or none.
    TTesta* Partner() const;

    // Changes the number of lines of this terminal and of its partner on the
    // project's other grid; nothing unless 1 <= n <= 24 and n is new.
    void SetLineCount(int32_t n);
    int32_t Lines() const { return NumThroughOutputs; }

private:
    void ApplyLineCount(int32_t n);
};
