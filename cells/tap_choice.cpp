// The automatic designer's choice of a tap or splitter model from a list of
// library cells: the model whose loss leaves the least level to spare below
// what the cells downstream need, a larger loss where more level arrives
// than needed, and the model that fits a required loss.
#include <algorithm>
#include <cmath>

#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "core/globals.h"
#include "core/reporter.h"

namespace {

// Two needs closer than this are the same need; the larger tap loss wins.
constexpr double SameNeed = 0.1;
// A cell downstream is offered a larger loss only when at least this much
// level is to spare.
constexpr double WorthOffering = 1.0;

double Difference(float a, float b) { return static_cast<double>(a) - static_cast<double>(b); }

}  // namespace

int32_t TDerivatore::ModeWithOwnConnector(int32_t mode) const {
    return (mode & ~ModeConnectorBits) | (Choice1 & ModeConnectorBits);
}

bool TDerivatore::Qualifies(TCella* candidate, int32_t mode) {
    if (!candidate || !IsSameKind(candidate)) return false;
    if (!candidate->IsModelUsable((mode & ModeNeedsBand5) != 0, (mode & ModeNeedsBand9) != 0)) return false;
    if ((mode & ModePassesDc) && candidate->Power[PowerSupply][PowerTapMask] == 0)
        return false;
    return true;
}

void TDerivatore::TakeModel(TCella* candidate) {
    candidate->Assign(this);
    Described = 1;
}

bool TDerivatore::ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                              int32_t band, int32_t further) {
    if (!EnterPass(stamp)) return true;
    if (!ReachLevels.Allocated()) ResetAuxLevels();
    mode = ModeWithOwnConnector(mode);
    const bool through = NumThroughOutputs > 0;

    // Downstream first: the through line, then every user output.
    bool ok = true;
    float r = 0.0f;
    if (through)
        if (TCella* next = OutputNeighbour(*this, 0)) {
            ok = next->ChooseModel(candidates, mode, stamp, progress, band, further);
            ReachMaximumAt(*this, 0, band, r);
        }
    const int32_t userMode = TypeCode == CodeDivisore ? mode : mode | ModeNoPowerFeeding;
    float m = 0.0f;
    for (int32_t out = NumThroughOutputs; out < NumOutputs; ++out) {
        TCella* next = OutputNeighbour(*this, out);
        if (!next) continue;
        if (!next->ChooseModel(candidates, userMode, stamp, progress, band, further)) return false;
        float maximum = 0.0f;
        if (ReachMaximumAt(*this, out, band, maximum)) m = std::max(m, maximum);
    }
    if (mode & ModeNoChoice) return ok;

    // The model asking the least level at the input that still serves everything downstream.
    TCella* taken = nullptr;
    double best = 0.0, takenLoss = 0.0;
    for (TCella* c = candidates; c; c = c->NextInList) {
        if (!Qualifies(c, mode)) continue;
        const float a = c->TapLoss(0, 0, band);
        float need = LevelSum(m, a);
        if (through) need = std::max(need, LevelSum(r, c->GetRow1Attenuation(0, 0, band)));
        const bool take = (!taken && (NumInputs > 1 || need >= 0.0f)) || (need >= 0.0f && need < best) ||
                          (through && std::fabs(need - best) < SameNeed && a > takenLoss);
        if (!take) continue;
        taken = c;
        best = need;
        takenLoss = a;
    }
    if (!taken) {
        if (GestoreErrori)
            GestoreErrori->Report(AnsiString("Non vi sono componenti selezionabili per ") +
                                  (TypeCode == CodeDivisore ? "il divisore " : "il derivatore ") +
                                  GetShortCode());
        return false;
    }
    TakeModel(taken);

    // Where more level arrives than a line needs, the cells on it may take a larger loss.
    const float level = static_cast<float>(best);
    if (through) {
        const float offered = LevelDifference(level, GetRow1Attenuation(0, 0, band));
        if (TCella* next = OutputNeighbour(*this, 0))
            if (IsRealLevel(offered) && Difference(offered, r) >= WorthOffering)
                next->EvaluateModel(candidates, mode, offered, NextPassNumber(), band);
    }
    const float offered = LevelDifference(level, TapLoss(0, 0, band));
    for (int32_t j = 0; j < OutputsPerLine() && NumInputs > 0; ++j) {
        const int32_t out = TapOutputPort(0, j);
        TCella* next = OutputNeighbour(*this, out);
        float maximum = 0.0f;
        if (!next || !ReachMaximumAt(*this, out, band, maximum)) continue;
        if (IsRealLevel(offered) && Difference(offered, maximum) >= WorthOffering)
            next->EvaluateModel(candidates, mode | ModeNoPowerFeeding, offered, NextPassNumber(), band);
    }
    ComputeReachWindows();
    if (progress) AdvanceProgress(progress);
    // A line downstream that found no model has reported it: the choice failed.
    return ok;
}

void TDerivatore::EvaluateModel(TCella* candidates, int32_t mode, float level, uint32_t stamp, int32_t band) {
    if (!EnterPass(stamp)) return;
    mode = ModeWithOwnConnector(mode);
    if (NumInputs < 1) return;
    const int32_t t = OutputsPerLine();

    float m = 0.0f;
    for (int32_t j = 0; j < t; ++j) {
        float maximum = 0.0f;
        if (ReachMaximumAt(*this, TapOutputPort(0, j), band, maximum)) m = std::max(m, maximum);
    }
    // A larger tap loss where the level to spare covers it, step by step.
    float a = TapLoss(0, 0, band);
    double spare = static_cast<double>(level) - m - a;
    if (IsRealLevel(level) && IsRealLevel(a))
        for (TCella* c = candidates; c; c = c->NextInList) {
            if (!Qualifies(c, mode)) continue;
            const float loss = c->TapLoss(0, 0, band);
            if (!IsRealLevel(loss)) continue;
            const double d = Difference(loss, a);
            if (d > 0.0 && d <= spare) {
                spare -= d;
                TakeModel(c);
                a = loss;
            }
        }

    if (NumThroughOutputs > 0)
        if (TCella* next = OutputNeighbour(*this, 0))
            next->EvaluateModel(candidates, mode, LevelDifference(level, GetRow1Attenuation(0, 0, band)),
                                stamp, band);
    const float down = LevelDifference(level, TapLoss(0, 0, band));
    for (int32_t j = 0; j < t; ++j)
        if (TCella* next = OutputNeighbour(*this, TapOutputPort(0, j)))
            next->EvaluateModel(candidates, mode | ModeNoPowerFeeding, down, stamp, band);
    ComputeReachWindows();
}

bool TDerivatore::FindModelForAttenuation(TCella* candidates, int32_t band, bool needsBand5,
                                          bool needsBand9) {
    const int32_t r = (NumInputs == 1 || band <= 5) ? 0 : 1;
    const bool through = NumThroughOutputs > 0;
    TCella* taken = nullptr;
    float takenLoss = 0.0f, takenPass = 0.0f;
    for (TCella* c = candidates; c; c = c->NextInList) {
        if (!IsSameKind(c) || !c->IsModelUsable(needsBand5, needsBand9)) continue;
        const float a = c->TapLoss(r, 0, band);
        const float p = c->GetRow1Attenuation(r, r, band);
        if (a <= LevelNone) continue;
        if (!taken || a < takenLoss ||
            (through && std::fabs(Difference(a, takenLoss)) < SameNeed && p > takenPass)) {
            taken = c;
            takenLoss = a;
            takenPass = p;
        }
    }
    if (taken) TakeModel(taken);
    return taken != nullptr;
}
