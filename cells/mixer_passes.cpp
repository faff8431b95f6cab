// The passes of mixers and demixers: required levels, signal levels,
// channels and the outlet-separation search across the branches.
//
// A branch whose pass attenuation is not given in a band does not carry that
// band: the level passes take it as a blocked band there, so its required
// window asks nothing and its signal contribution is "no signal", which the
// merge of the branches leaves out. The channel pass keeps reporting the
// channels such a branch does not carry.
#include "cells/mixers.h"
#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "cells/separation_log.h"
#include "core/channel_list.h"

namespace {

size_t Slot(int32_t band) { return static_cast<size_t>(band); }
}  // namespace

// ---- Separation accumulators ----

void TCellaRami::ClearBandAccumulators(int32_t band) {
    TCella::ClearBandAccumulators(band);
    if (band < 0 || band >= BandSlots) return;
    if (PortSeparation.size() != static_cast<size_t>(Branches())) {
        std::array<float, BandSlots> none;
        none.fill(LevelNone);
        PortSeparation.assign(static_cast<size_t>(Branches()), none);
    }
    for (auto& entry : PortSeparation) entry[Slot(band)] = LevelNone;
}

float* TCellaRami::BranchSeparation(int32_t branch, int32_t band) {
    if (branch < 0 || static_cast<size_t>(branch) >= PortSeparation.size() || band < 0 || band >= BandSlots)
        return nullptr;
    return &PortSeparation[static_cast<size_t>(branch)][Slot(band)];
}

float* TCellaRami::StoredSeparation(int32_t port, int32_t band) {
    const bool atInput = port >= PortInputBase;
    // The common port keeps the cell's own value; a branch its own.
    if (atInput != BranchesIn()) return band >= 0 && band < BandSlots ? &SeparationBest[band] : nullptr;
    return BranchSeparation(atInput ? port - PortInputBase : port, band);
}

void TCellaRami::AcceptSeparation(int32_t port, int32_t band, float value, float limit) {
    if (!IsRealLevel(value)) return;
    float* stored = StoredSeparation(port, band);
    if (!stored) return;
    if (IsRealLevel(*stored) && *stored <= value) return;
    if (value >= limit) return;
    separation_log::NoteWrite(this);
    *stored = value;
    PushSeparation(port, band, limit);
}

// ---- Downstream walk ----

void TCellaRami::WalkDownstream(TListaCanali* list, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    for (int32_t j = 0; j < NumThroughOutputs; ++j)
        if (TCella* next = OutputNeighbour(*this, j))
            next->WalkDownstream(list, OutputNeighbourPort(*this, j), stamp);
}

// ---- Mixer ----

void TMiscelatore::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetInputLevels();
    TCella* next = OutputNeighbour(*this, 0);
    if (!next) return;
    next->ComputeRequiredLevels(minLevels, maxLevels, stamp);
    const int32_t port = OutputNeighbourPort(*this, 0);
    const int32_t bands = CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b) {
        const TFinestra* d = WindowAt(next->InputLevels, port, b);
        if (!d) continue;
        for (int32_t i = 0; i < NumInputs; ++i)
            CombineForward(InputLevels[i][Slot(b)], *d, LevelPassLoss(i, b), false);
    }
}

void TMiscelatore::ComputeSignalLevels(uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetOutputLevels();
    if (NumOutputs < 1) return;
    const int32_t bands = CalculationBandCount();
    for (int32_t i = 0; i < NumInputs; ++i) {
        TCella* up = InputNeighbour(*this, i);
        if (!up) continue;
        up->ComputeSignalLevels(stamp);
        const int32_t port = InputNeighbourPort(*this, i);
        for (int32_t b = 0; b < bands; ++b)
            if (const TFinestra* u = WindowAt(up->OutputLevels, port, b))
                CombineBackward(OutputLevels[0][Slot(b)], *u, LevelPassLoss(i, b), false);
    }
}

void TMiscelatore::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    TListaCanali* output = OutputList(*this, 0);
    if (!output) return;
    for (int32_t i = 0; i < NumInputs; ++i) {
        const TListaCanali* arriving = ChannelsArrivingOn(i, flags & ~ChannelFlagFirstStep, stamp);
        if (!arriving) continue;
        const TBandVector loss = AttenuationVector(*this, 0, i);
        // Messages name the input as its port does: "ingresso 1" is input 0.
        TListaCanali::CheckInputs(*output, *arriving, loss.v, false, GetShortCode(), i + 1, 0);
    }
}

void TMiscelatore::PushSeparation(int32_t port, int32_t band, float limit) {
    if (band < 0 || band >= BandSlots) return;
    if (port < PortInputBase) {
        // Arrived at the output: back up every input that carries the band.
        for (int32_t i = 0; i < NumInputs; ++i) {
            const float loss = BranchLoss(i, band);
            if (!IsRealLevel(loss)) continue;
            if (TCella* up = InputNeighbour(*this, i))
                up->AcceptSeparation(InputNeighbourPort(*this, i), band, LevelSum(SeparationBest[band], loss),
                                     limit);
        }
        return;
    }
    const int32_t k = port - PortInputBase;
    const float* arrived = BranchSeparation(k, band);
    const float loss = BranchLoss(k, band);
    if (!arrived || !IsRealLevel(loss)) return;
    const float atOutput = LevelSum(*arrived, loss);
    if (TCella* next = OutputNeighbour(*this, 0))
        next->AcceptSeparation(OutputNeighbourPort(*this, 0) + PortInputBase, band, atOutput, limit);
    for (int32_t j = 0; j < NumInputs; ++j) {
        const float other = BranchLoss(j, band);
        if (j == k || !IsRealLevel(other)) continue;
        if (TCella* up = InputNeighbour(*this, j))
            up->AcceptSeparation(InputNeighbourPort(*this, j), band, LevelSum(atOutput, other), limit);
    }
}

// ---- Demixer ----

void TDemiscelatore::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetInputLevels();
    for (int32_t q = 0; q < NumOutputs; ++q)
        if (TCella* next = OutputNeighbour(*this, q))
            next->ComputeRequiredLevels(minLevels, maxLevels, stamp);
    if (NumInputs < 1) return;
    const int32_t bands = CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b)
        for (int32_t q = 0; q < NumOutputs; ++q) {
            const TCella* next = OutputNeighbour(*this, q);
            const TFinestra* d =
                next ? WindowAt(next->InputLevels, OutputNeighbourPort(*this, q), b) : nullptr;
            if (d) CombineForward(InputLevels[0][Slot(b)], *d, LevelPassLoss(q, b), false);
        }
}

void TDemiscelatore::ComputeSignalLevels(uint32_t stamp) {
    SignalFromInput0(*this, stamp, 0, NumOutputs, [this](int32_t q, int32_t b) { return LevelPassLoss(q, b); });
}

void TDemiscelatore::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    const TListaCanali* arriving = ChannelsArrivingOn(0, flags, stamp);
    if (!arriving) return;
    for (int32_t q = 0; q < NumOutputs; ++q)
        if (TListaCanali* output = OutputList(*this, q)) {
            const TBandVector loss = AttenuationVector(*this, 0, q);
            // Messages name the output as its port does: "uscita 1" is output 0.
            TListaCanali::CheckInputs(*output, *arriving, loss.v, false, GetShortCode(), 0, q + 1);
        }
}

void TDemiscelatore::PushSeparation(int32_t port, int32_t band, float limit) {
    if (band < 0 || band >= BandSlots) return;
    if (port >= PortInputBase) {
        // Arrived at the input: on down every output that carries the band.
        for (int32_t q = 0; q < NumOutputs; ++q) {
            const float loss = BranchLoss(q, band);
            if (!IsRealLevel(loss)) continue;
            if (TCella* next = OutputNeighbour(*this, q))
                next->AcceptSeparation(OutputNeighbourPort(*this, q) + PortInputBase, band,
                                       LevelSum(SeparationBest[band], loss), limit);
        }
        return;
    }
    const float* arrived = BranchSeparation(port, band);
    const float loss = BranchLoss(port, band);
    if (!arrived || !IsRealLevel(loss)) return;
    const float atInput = LevelSum(*arrived, loss);
    if (TCella* up = InputNeighbour(*this, 0))
        up->AcceptSeparation(InputNeighbourPort(*this, 0), band, atInput, limit);
    for (int32_t q = 0; q < NumOutputs; ++q) {
        const float other = BranchLoss(q, band);
        if (q == port || !IsRealLevel(other)) continue;
        if (TCella* next = OutputNeighbour(*this, q))
            next->AcceptSeparation(OutputNeighbourPort(*this, q) + PortInputBase, band,
                                   LevelSum(atInput, other), limit);
    }
}
