#include "support/line_ends.h"

#include "core/channel_list.h"
#include "core/info.h"

int32_t TFineLinea::calls = 0;

TSorgenteFinestre::TSorgenteFinestre(std::vector<TFinestra> w)
    : TCella(nullptr, 0, 0, 0, 0, 0, static_cast<int32_t>(w.size()), 0), windows(std::move(w)) {
    SetPortCounts();
}

void TSorgenteFinestre::ComputeSignalLevels(uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetOutputLevels();
    for (int32_t j = 0; j < NumOutputs; ++j)
        for (auto& w : OutputLevels[j]) w = windows[static_cast<size_t>(j)];
}

void TSorgenteFinestre::ComputeChannels(int32_t, int32_t, uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetChannelLists();
    for (auto& list : ChannelLists) TListaCanali::AddAll(*SourceChannels, *list);
}

TFineLinea::TFineLinea(TFinestra a, TFinestra reach) : TCella(nullptr, 0, 0, 0, 0, 1, 0, 0), asked(a) {
    SetPortCounts();
    ResetAuxLevels();
    for (auto& w : ReachLevels[0]) w = reach;
}

void TFineLinea::ComputeRequiredLevels(TBandLimits, TBandLimits, uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetInputLevels();
    for (auto& w : InputLevels[0]) w = asked;
}

bool TFineLinea::ChooseModel(TCella*, int32_t mode, uint32_t stamp, TProgressBar*, int32_t band,
                             int32_t further) {
    if (stamp <= PassStamp) return true;
    PassStamp = stamp;
    chooseMode = mode;
    chooseBand = band;
    chooseLevel = further;
    chosenAs = ++calls;
    return chooses;
}

void TFineLinea::EvaluateModel(TCella*, int32_t mode, float level, uint32_t stamp, int32_t) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    evaluateMode = mode;
    evaluated = level;
}

void SetStageRow(TInfo& table, int32_t rows, int32_t row, float gain, float maxOut) {
    if (table.Size2() != rows) table.SetSizes(0, rows, 7, BandSlots);
    for (int b = 0; b < BandSlots; ++b) {
        table.Set3(row, 4, b, gain);
        table.Set3(row, 5, b, 3.0f);  // noise figure: the channel checks need one
        table.Set3(row, 6, b, maxOut);
    }
}

void SetBands(TCella& cell, int32_t row, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(row, column, b, value);
}

void AddBandChannel(TListaCanali& list, const char* name, float low, float high, int32_t band, float level) {
    TCanale c;
    c.name = name;
    c.freqLow = low;
    c.freqHigh = high;
    c.band = band;
    c.levelMin = c.levelMax = level;
    list.Insert(c);
}

float ChannelLevel(const TListaCanali* list, const char* name) {
    for (const TCanale* c = list ? list->head : nullptr; c; c = c->next)
        if (c->name == name) return c->levelMin;
    return LevelNone;
}
