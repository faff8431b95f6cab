// The passes of a cell that carries each of its lines untreated from input i
// to through output i: windows, channel lists and the designer's passes are
// copied straight through.
#include <algorithm>

#include "cells/cell.h"
#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "core/channel_list.h"

void TCella::RequiredLevelsThrough(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetInputLevels();
    const int32_t bands = CalculationBandCount();
    const int32_t lines = std::min(NumInputs, NumThroughOutputs);
    for (int32_t i = 0; i < lines; ++i) {
        TFinestreBande& in = InputLevels[i];
        TCella* next = OutputNeighbour(*this, i);
        // Nothing downstream of a line asks anything of it.
        if (!next) {
            for (int32_t b = 0; b < bands; ++b)
                in[static_cast<size_t>(b)] = TFinestra{LevelReqUnlimited, LevelReqUnlimited};
            continue;
        }
        next->ComputeRequiredLevels(minLevels, maxLevels, stamp);
        const int32_t port = OutputNeighbourPort(*this, i);
        for (int32_t b = 0; b < bands; ++b)
            if (const TFinestra* d = WindowAt(next->InputLevels, port, b)) in[static_cast<size_t>(b)] = *d;
    }
}

void TCella::ChannelsThrough(int32_t flags, uint32_t stamp) {
    const int32_t lines = std::min(NumInputs, NumThroughOutputs);
    for (int32_t i = 0; i < lines; ++i) {
        const TListaCanali* arriving = ChannelsArrivingOn(i, flags, stamp);
        TListaCanali* own = OutputList(*this, i);
        if (arriving && own) TListaCanali::AddAll(*arriving, *own);
    }
}

bool TCella::ChooseModelThrough(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                                int32_t band, int32_t further) {
    if (!EnterPass(stamp)) return true;
    if (!ReachLevels.Allocated()) ResetAuxLevels();
    for (int32_t j = 0; j < NumThroughOutputs; ++j)
        if (TCella* next = OutputNeighbour(*this, j))
            if (!next->ChooseModel(candidates, mode, stamp, progress, band, further)) return false;
    if (!(mode & ModeNoChoice)) {
        ComputeReachWindows();
        AdvanceProgress(progress);
    }
    return true;
}

void TCella::EvaluateModelThrough(TCella* candidates, int32_t mode, float value, uint32_t stamp,
                                  int32_t band) {
    if (!EnterPass(stamp)) return;
    for (int32_t j = 0; j < NumThroughOutputs; ++j)
        if (TCella* next = OutputNeighbour(*this, j))
            next->EvaluateModel(candidates, mode, value, stamp, band);
    ComputeReachWindows();
}
