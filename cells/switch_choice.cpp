// The automatic designer's choice of a switch model from a list of library
// cells: the model whose need at the input is the least, or, in a riser of
// cascaded switches, the model whose tap loss best fits the level that
// arrives; the through outputs then ask the switches below for that level.
#include <algorithm>
#include <cmath>

#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "cells/switches.h"
#include "core/globals.h"
#include "core/reporter.h"

namespace {

// Power words that make a model feed power to its lines.
constexpr uint32_t FeedsPowerBits = PowerTaps | PowerInternal | PowerExternal;

// The bands of the riser's lines: the first lines carry the low satellite
// band, the others the high one.
constexpr int32_t LowBand = 5;
constexpr int32_t HighBand = 9;
constexpr int32_t FirstBandAllowed = 6;

constexpr double SameScore = 0.1;
constexpr double ScoreFloor = -20.0;
constexpr double WorthOffering = 1.0;
constexpr float NoTarget = 1000.0f;

bool RefusedWithoutPowerFeeding(const TCella& candidate, int32_t mode) {
    return (mode & ModeNoPowerFeeding) && (candidate.Power[PowerSupply][PowerFlags] & FeedsPowerBits) &&
           (candidate.Power[PowerFeeds][PowerFlags] & PowerInputs);
}

int32_t LevelArgument(float level) { return static_cast<int32_t>(std::lround(level)); }

}  // namespace

int32_t TSwitch::ChoiceLine(int32_t preferred) const {
    return std::clamp<int32_t>(preferred, 0, std::max(0, Lines() - 1));
}

bool TSwitch::FindModelForAttenuation(TCella* candidates, int32_t band, bool needsBand5, bool needsBand9) {
    return TCella::FindModelForAttenuation(candidates, band, needsBand5, needsBand9);
}

bool TSwitch::IsModelUsable(bool needsBand5, bool needsBand9) const {
    return TCella::IsModelUsable(needsBand5, needsBand9);
}

void TSwitch::EvaluateModel(TCella*, int32_t, float, uint32_t, int32_t) {}

void TSwitch::ReportNoModel() {
    if (GestoreErrori)
        GestoreErrori->Report("Non vi sono componenti selezionabili per lo switch " + GetShortCode());
}

bool TSwitch::StartChoice(int32_t& mode, int32_t& band, uint32_t stamp) {
    if (!EnterPass(stamp)) return false;
    if (!ReachLevels.Allocated()) ResetAuxLevels();
    mode = ModeWithOwnConnector(mode);
    if (band < FirstBandAllowed) band = HighBand;
    return true;
}

bool TSwitch::UsersChoose(TCella* candidates, int32_t mode, int32_t terminationMode, uint32_t stamp,
                          TProgressBar* progress, int32_t band, int32_t further, bool stopAtFailure,
                          float& m) {
    // Terminations on the inputs first, then every user output.
    for (int32_t i = 0; i < NumInputs; ++i)
        if (TCella* up = InputNeighbour(*this, i); up && up->TypeCode == CodeTermination)
            up->ChooseModel(candidates, terminationMode, stamp, progress, band, further);
    const int32_t userMode = (mode & ~ModeCellBits) | (Choice1 & ModeConnectorBits) | ModePassesDc;
    m = 0.0f;
    bool seen = false, last = true;
    for (int32_t out = NumThroughOutputs; out < NumOutputs; ++out) {
        TCella* next = OutputNeighbour(*this, out);
        if (!next) continue;
        last = next->ChooseModel(candidates, userMode, stamp, progress, band, further);
        if (!last && stopAtFailure) return false;
        float maximum = 0.0f;
        if (ReachMaximumAt(*this, out, band, maximum)) {
            m = seen ? std::max(m, maximum) : maximum;
            seen = true;
        }
    }
    return last;
}

bool TSwitch::ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                          int32_t band, int32_t further) {
    if (!StartChoice(mode, band, stamp)) return true;
    float m = 0.0f;
    if (!UsersChoose(candidates, mode, mode | ModeIsolatedTermination, stamp, progress, band, further, true, m))
        return false;

    if (!(mode & ModeNoChoice) && ((Positions[1] & SecondPositionCascade) || (mode & ModeCascade)))
        return ChooseCascade(candidates, mode, stamp, progress, band, further, m);

    // The through lines: the first ones in the low band, the others in the high one.
    const int32_t lowLines = Lines() == 10 ? 2 : 1;
    bool last = true;
    for (int32_t k = 0; k < NumThroughOutputs; ++k)
        if (TCella* next = OutputNeighbour(*this, k))
            last = next->ChooseModel(candidates, mode | ModeTargetGiven | ModeIsolatedTermination, stamp, progress,
                                     k < lowLines ? LowBand : HighBand, further);
    float r = 0.0f;
    if (ChoiceLine(2) < NumThroughOutputs) ReachMaximumAt(*this, ChoiceLine(2), band, r);
    if (mode & ModeNoChoice) return last;
    if (!last) return false;
    return ChooseByScore(candidates, mode, progress, band, m, r);
}

bool TSwitch::ChooseByScore(TCella* candidates, int32_t mode, TProgressBar* progress, int32_t band, float m,
                            float r) {
    const int32_t line = ChoiceLine(2);
    const bool usable5 = (mode & ModeNeedsBand5) != 0, usable9 = (mode & ModeNeedsBand9) != 0;
    TCella* taken = nullptr;
    double best = 0.0, takenLoss = 0.0;
    auto score = [&](bool positionTest, double floor) {
        for (TCella* c = candidates; c; c = c->NextInList) {
            if (!IsSameKind(c) || (positionTest && !(c->Positions[0] & PositionLine)) ||
                !c->IsModelUsable(usable5, usable9) || RefusedWithoutPowerFeeding(*c, mode))
                continue;
            const double d = c->TapLoss(line, 0, band);
            const double t = c->GetRow1Attenuation(line, line, band);
            const double s = std::max(static_cast<double>(m) + d, static_cast<double>(r) + t);
            if (!taken || (s < best && s >= floor) || (std::fabs(s - best) < SameScore && d > takenLoss)) {
                taken = c;
                best = s;
                takenLoss = d;
            }
        }
    };
    score(true, ScoreFloor);
    if (!(mode & ModeTargetGiven) && (Positions[1] & SecondPositionRescore)) score(false, 0.0);
    if (!taken) {
        ReportNoModel();
        return false;
    }
    TakeModel(taken);

    // Where more level arrives than a line needs, the cells on it may take a larger loss.
    const float level = static_cast<float>(best);
    const int32_t throughLine = ChoiceLine(2);
    if (TCella* next = OutputNeighbour(*this, throughLine); next && throughLine < NumThroughOutputs) {
        const float offered = LevelDifference(level, GetRow1Attenuation(line, line, band));
        if (IsRealLevel(offered) && static_cast<double>(offered) - r >= WorthOffering)
            next->EvaluateModel(candidates, mode | ModeTargetGiven, offered, NextPassNumber(), band);
    }
    const float offered = LevelDifference(level, TapLoss(line, 0, band));
    for (int32_t out = NumThroughOutputs; out < NumOutputs; ++out) {
        float maximum = 0.0f;
        if (!ReachMaximumAt(*this, out, band, maximum)) continue;
        if (IsRealLevel(offered) && static_cast<double>(offered) - maximum >= WorthOffering)
            OutputNeighbour(*this, out)
                ->EvaluateModel(candidates, mode | ModePassesDc, offered, NextPassNumber(), band);
    }
    ComputeReachWindows();
    if (progress) AdvanceProgress(progress);
    return true;
}

bool TSwitch::ChooseCascade(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                            int32_t band, int32_t further, float m) {
    const int32_t line = ChoiceLine(2);
    const bool given = (mode & ModeTargetGiven) != 0;
    const double target = (given ? static_cast<double>(further) : NoTarget) - m;
    const bool usable5 = (mode & ModeNeedsBand5) != 0, usable9 = (mode & ModeNeedsBand9) != 0;
    // The tap loss nearest below the level to spare, else the smallest above it.
    TCella* taken = nullptr;
    double takenLoss = 0.0;
    for (TCella* c = candidates; c; c = c->NextInList) {
        if (!IsSameKind(c) || !(c->Positions[0] & PositionLine) || !c->IsModelUsable(usable5, usable9) ||
            RefusedWithoutPowerFeeding(*c, mode))
            continue;
        const double d = c->TapLoss(line, 0, band);
        const bool within = d <= target, takenWithin = takenLoss <= target;
        if (!taken || (within && !takenWithin) || (within && takenWithin && d > takenLoss) ||
            (!within && !takenWithin && d < takenLoss)) {
            taken = c;
            takenLoss = d;
        }
    }
    if (!taken) {
        ReportNoModel();
        return false;
    }
    TakeModel(taken);
    const double need = given ? std::max(static_cast<double>(further), takenLoss + m) : takenLoss + m;
    const float level = static_cast<float>(need - GetRow1Attenuation(line, line, band));
    // The switches below, last line first.
    const int32_t lowLines = Lines() == 10 ? 2 : 1;
    bool last = true;
    for (int32_t k = NumThroughOutputs - 1; k >= 0; --k)
        if (TCella* next = OutputNeighbour(*this, k))
            last = next->ChooseModel(candidates, mode | ModeTargetGiven | ModeIsolatedTermination, stamp, progress,
                                     k < lowLines ? LowBand : HighBand, LevelArgument(level));
    if (!last) {
        ReportNoModel();
        return false;
    }
    ComputeReachWindows();
    if (progress) AdvanceProgress(progress);
    return true;
}

bool TSwitchN::ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                           int32_t band, int32_t further) {
    if (!StartChoice(mode, band, stamp)) return true;
    // A user output that finds nothing does not stop the others; the last one decides.
    float m = 0.0f;
    const bool last = UsersChoose(candidates, mode, mode | ModeTargetGiven | ModeIsolatedTermination, stamp,
                                  progress, band, further, false, m);
    if (mode & ModeNoChoice) return last;

    const int32_t line = ChoiceLine(1);
    const uint32_t position = (mode & ModeTargetGiven) ? PositionLastOfLine : PositionFirstOfLine;
    TCella* taken = nullptr;
    double best = 0.0;
    for (TCella* c = candidates; c; c = c->NextInList) {
        if (!IsSameKind(c) || !c->IsModelUsable((mode & ModeNeedsBand5) != 0, (mode & ModeNeedsBand9) != 0) ||
            RefusedWithoutPowerFeeding(*c, mode) || !(c->Positions[0] & position))
            continue;
        const double s = c->TapLoss(line, 0, band);
        if (!taken || (s < best && s >= 0.0)) {
            taken = c;
            best = s;
        }
    }
    if (!taken || !last) {
        ReportNoModel();
        return false;
    }
    TakeModel(taken);
    for (int32_t out = NumThroughOutputs; out < NumOutputs; ++out) {
        float maximum = 0.0f;
        if (ReachMaximumAt(*this, out, band, maximum) && static_cast<double>(m) - maximum >= WorthOffering)
            OutputNeighbour(*this, out)
                ->EvaluateModel(candidates, mode | ModePassesDc, m, NextPassNumber(), band);
    }
    ComputeReachWindows();
    if (progress) AdvanceProgress(progress);
    return true;
}
