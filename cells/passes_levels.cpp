// The level passes of the network calculation: the required-level pass from
// the outlets towards the head end, the signal-level pass from the head end
// towards the outlets, the stamp spread, the head-end seeding, and the
// designer's model passes, with the window and gain arithmetic that every
// class's own steps reuse.
//
// A level L found at an outlet after the signal pass is 50000 - L dB below the
// head end, which is fed the probe level 50000 dB.
#include <algorithm>
#include <span>

#include "cells/cell.h"
#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "core/band_systems.h"
#include "core/globals.h"

namespace {
constexpr float ProbeLevel = 50000.0f;

bool IsSentinel(float v) { return !IsRealLevel(v); }

TFinestra Window(float v) { return TFinestra{v, v}; }

// A band vector of a level table's row: its band slots, or none when the
// row holds no such vector.
std::span<const float> BandVector(const float* row) {
    return row ? std::span<const float>(row, BandSlots) : std::span<const float>();
}

// Stage columns of the level tables.
enum : int { StageTilt = 0, StageGainRegulation = 2, StageGain = 4, StageMaxOutput = 6 };
}  // namespace

// ---- Arithmetic ----

int32_t TCella::CalculationBandCount() {
    if (!SistemaBandeCorrente) return 0;
    return std::clamp<int32_t>(SistemaBandeCorrente->bandCount, 0, BandSlots);
}

void TCella::ApplyStage(TFinestra& w, TInfo::Block stage, int32_t band) const {
    if (!stage || band < 0 || band >= BandSlots) return;
    ClipWindow(w, stage[StageMaxOutput] ? stage[StageMaxOutput][band] : LevelNone);
    AddAttenuation(w, GainAtBand(stage, band));
}

float TCella::InterpolateBandValue(std::span<const float> vector, int32_t band) const {
    const int32_t slots = static_cast<int32_t>(std::min<size_t>(vector.size(), BandSlots));
    if (band < 0 || band >= slots) return LevelNone;
    int32_t lo = band;
    while (lo >= 0 && vector[lo] == LevelRepeat) --lo;
    int32_t hi = band;
    while (hi < slots && vector[hi] == LevelRepeat) ++hi;
    if (lo < 0 || hi >= slots) return LevelNone;
    if (lo == hi) return vector[band];
    if (IsSentinel(vector[lo])) return vector[lo];
    if (IsSentinel(vector[hi])) return vector[hi];
    // Interpolated over the reference frequencies of the cell's bands.
    if (!BandSystem || hi >= static_cast<int32_t>(BandSystem->bands.size())) return LevelNone;
    const double fLo = BandSystem->bands[static_cast<size_t>(lo)].reference;
    const double fHi = BandSystem->bands[static_cast<size_t>(hi)].reference;
    const double f = BandSystem->bands[static_cast<size_t>(band)].reference;
    if (fHi == fLo) return vector[lo];
    const double vLo = vector[lo];
    const double vHi = vector[hi];
    return static_cast<float>(vLo + (vHi - vLo) / (fHi - fLo) * (f - fLo));
}

float TCella::GainAtBand(TInfo::Block stage, int32_t band) const {
    if (!stage || band < 0 || band >= BandSlots) return 0.0f;
    const float g = stage[StageGain] ? stage[StageGain][band] : LevelNone;
    if (IsSentinel(g)) return g == LevelBlocked ? LevelBlocked : LevelNone;
    double gain = g;
    // clang-format off
    const float regulations[2] = {
        stage[StageGainRegulation] ? stage[StageGainRegulation][band] : LevelNone,
        InterpolateBandValue(BandVector(stage[StageTilt]), band)};
    for (float r : regulations) {
        if (IsRealLevel(r)) {
            gain -= r;
        } else if (r == LevelBlocked) {
            return LevelBlocked;
        } else if (r != LevelNone) {
            return LevelNone;
        }
    }
    // An attenuation: negative where the stage amplifies.
    return static_cast<float>(-gain);
}

float TCella::AddGains(float value, const TInfo* list1, const TInfo* list2, int32_t index1,
                       int32_t index2, int32_t band) const {
    if (IsSentinel(value)) return value == LevelBlocked ? LevelBlocked : LevelNone;
    auto stageOf = [](const TInfo* list, int32_t i) -> TInfo::Block {
        if (!list || list->Rank() != 3) return nullptr;
        return list->Block3(i);
    };
    // clang-format on
    float running = value;
    const TInfo* lists[2] = {list1, list2};
    const int32_t indexes[2] = {index1, index2};
    for (int k = 0; k < 2; ++k) {
        if (!lists[k]) continue;
        const float g = GainAtBand(stageOf(lists[k], indexes[k]), band);
        if (g == LevelBlocked) return LevelBlocked;
        if (IsSentinel(g)) return LevelNone;
        running = LevelSum(running, g);
    }
    return running;
}

// ---- Required-level pass ----

void TCella::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetInputLevels();
    // Downstream first.
    for (int32_t j = 0; j < NumOutputs; ++j)
        if (TCella* next = OutputNeighbour(*this, j))
            next->ComputeRequiredLevels(minLevels, maxLevels, stamp);
    if (NumInputs < 1) return;
    // The input window satisfies every through output; tap outputs do not
    // constrain the base cell.
    const int32_t bands = CalculationBandCount();
    const int32_t through = std::min(ThroughOutputs, NumOutputs);
    for (int32_t b = 0; b < bands; ++b) {
        const float attenuation = Attenuation->Get3(0, 1, b);
        for (int32_t j = 0; j < through; ++j) {
            const TCella* next = OutputNeighbour(*this, j);
            if (!next) continue;
            const TFinestra* d = WindowAt(next->InputLevels, OutputNeighbourPort(*this, j), b);
            if (!d) continue;
            CombineForward(InputLevels[0][static_cast<size_t>(b)], *d, attenuation, false);
        }
    }
}

// ---- Stamp spread ----

void TCella::SpreadStamp(uint32_t stamp) {
    if (stamp <= SpreadPassStamp) return;
    SpreadPassStamp = stamp;
    for (int32_t i = 0; i < NumInputs; ++i)
        if (TCella* up = InputNeighbour(*this, i)) up->SpreadStamp(stamp);
    for (int32_t j = 0; j < NumOutputs; ++j)
        if (TCella* next = OutputNeighbour(*this, j)) next->SpreadStamp(stamp);
}

// ---- Signal-level pass ----

void TCella::ComputeSignalLevels(uint32_t stamp) {
    // Every through output less the one loss of the band.
    SignalFromInput0(*this, stamp, 0, std::min(ThroughOutputs, NumOutputs),
                     [this](int32_t, int32_t b) { return Attenuation->Get3(0, 1, b); });
}

// ---- Head-end seeding ----

void TCella::InitOutputMaxLevels() {
    ResetOutputLevels();
    const int32_t bands = CalculationBandCount();
    const int32_t through = std::min(ThroughOutputs, NumOutputs);
    for (int32_t i = 0; i < through; ++i) {
        TFinestreBande& out = OutputLevels[i];
        if (bands > 0) out[0] = Window(ProbeLevel);
        for (int32_t b = 1; b < bands; ++b) {
            // A band whose admissible window is not a level (no requirement,
            // or an empty one) carries no signal.
            const TFinestra* in = WindowAt(InputLevels, i, b);
            if (!in || in->Min < 0.0f)
                out[static_cast<size_t>(b)] = Window(LevelOff);
            else
                out[static_cast<size_t>(b)] = *in;
        }
    }
}

void TCella::InitOutputMinLevels() { InitOutputMaxLevels(); }

void TCella::SelectOutputLevel(int32_t line) {
    ResetOutputLevels();
    const int32_t bands = CalculationBandCount();
    const int32_t through = std::min(ThroughOutputs, NumOutputs);
    for (int32_t b = 0; b < bands; ++b) {
        for (int32_t i = 0; i < through; ++i) OutputLevels[i][static_cast<size_t>(b)] = Window(LevelOff);
        if (line >= 0 && line < through) OutputLevels[line][static_cast<size_t>(b)] = Window(ProbeLevel);
    }
}

// ---- Designer's model passes ----

bool TCella::ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                         int32_t band, int32_t further) {
    if (!EnterPass(stamp)) return true;
    if (!ReachLevels.Allocated()) ResetAuxLevels();
    mode = (mode & ~ModeConnectorBits) | (Choice1 & ModeConnectorBits);
    bool result = true;
    if (TCella* next = OutputNeighbour(*this, 0))
        result = next->ChooseModel(candidates, mode, stamp, progress, band, further);
    if (!(mode & ModeNoChoice)) {
        ComputeReachWindows();
        if (progress) AdvanceProgress(progress);
    }
    return result;
}

void TCella::EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) {
    if (!EnterPass(stamp)) return;
    mode = (mode & ~ModeConnectorBits) | (Choice1 & ModeConnectorBits);
    const float attenuation = Attenuation->Get3(0, 1, band);
    const int32_t through = std::min(ThroughOutputs, NumOutputs);
    for (int32_t j = 0; j < through; ++j)
        if (TCella* next = OutputNeighbour(*this, j))
            next->EvaluateModel(candidates, mode, LevelDifference(value, attenuation), stamp, band);
    ComputeReachWindows();
}

void TCella::ComputeReachWindows() {
    if (NumInputs < 1) return;
    if (!ReachLevels.Allocated() || ReachLevels.Ports() != NumInputs) ResetAuxLevels();
    const int32_t through = std::min(ThroughOutputs, NumOutputs);
    for (int32_t b = 0; b < BandSlots; ++b) {
        const float attenuation = Attenuation->Get3(0, 1, b);
        TFinestra& reach = ReachLevels[0][static_cast<size_t>(b)];
        bool first = true;
        for (int32_t j = 0; j < through; ++j) {
            const TCella* next = OutputNeighbour(*this, j);
            if (!next) continue;
            const TFinestra* r = WindowAt(next->ReachLevels, OutputNeighbourPort(*this, j), b);
            const TFinestra there = r ? *r : Window(LevelNone);
            const TFinestra raised{LevelSum(there.Min, attenuation), LevelSum(there.Max, attenuation)};
            if (first) {
                reach = raised;
                first = false;
            } else {
                reach.Min = std::min(reach.Min, raised.Min);
                reach.Max = std::max(reach.Max, raised.Max);
            }
        }
    }
}
