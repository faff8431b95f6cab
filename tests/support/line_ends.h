#pragma once
// The two ends of a line for the tests of the passes and of the designer's
// choice on hand-linked cells: a source whose outputs carry fixed windows and
// its SourceChannels, and an end that asks a fixed window, keeps a fixed reach
// window and records what the designer's passes hand it.
#include <vector>

#include "cells/cell.h"
#include "support/stand_in.h"

class TListaCanali;

// Attenuation[row][column] in every band slot.
void SetBands(TCella& cell, int32_t row, int32_t column, float value);

// A channel of the given band at one level, and the level of the channel of
// that name in a list (LevelNone when the list is missing or lacks it).
void AddBandChannel(TListaCanali& list, const char* name, float low, float high, int32_t band, float level);
float ChannelLevel(const TListaCanali* list, const char* name);

class TSorgenteFinestre : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    explicit TSorgenteFinestre(std::vector<TFinestra> windows);
    void ComputeSignalLevels(uint32_t stamp) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    std::vector<TFinestra> windows;
};

class TFineLinea : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    explicit TFineLinea(TFinestra asked = {LevelNone, LevelNone}, TFinestra reach = {0, 0});
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    bool ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t band,
                     int32_t further) override;
    void EvaluateModel(TCella* candidates, int32_t mode, float level, uint32_t stamp, int32_t band) override;

    TFinestra asked;
    bool chooses = true;
    int32_t chooseMode = -1;
    int32_t chooseBand = -1;
    int32_t chooseLevel = -1;
    int32_t chosenAs = 0;  // order of the ChooseModel calls over all ends, from 1
    int32_t evaluateMode = -1;
    float evaluated = LevelNone;
    static int32_t calls;
};

// A stage row with a gain (and a maximum output level) and a noise figure of
// 3 dB in every band; the table is sized for rows stage rows when it is not.
void SetStageRow(TInfo& table, int32_t rows, int32_t row, float gain, float maxOut = LevelNone);
