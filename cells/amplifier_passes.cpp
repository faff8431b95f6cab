// The calculation passes of the amplifiers: gain arithmetic of a row,
// required and signal levels, channels, the automatic gain regulation run
// from the stamp spread, and the designer's model choice and reach windows.
#include <algorithm>
#include <cmath>
#include <memory>

#include "cells/amplifiers.h"
#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "cells/terminations.h"
#include "core/channel_list.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "cells/cell_grid.h"
#include "cells/cell_project.h"

namespace {

// With several inputs the designer evaluates a band of the upper range.
constexpr int32_t FirstUpperBand = 6;
constexpr int32_t UpperEvaluationBand = 9;
// Where no channel was met the regulation's extremes start.
constexpr double NoLowest = 1000.0;
constexpr double NoHighest = 0.0;
constexpr float NoDownstreamValue = 1000.0f;

TFinestra Window(float v) { return TFinestra{v, v}; }

// Row r of a table as the 7 x 15 stage the channel checks take.
std::unique_ptr<TInfo> StageOfRow(const TInfo& table, int32_t r) {
    auto stage = std::make_unique<TInfo>(2);
    stage->Alloc2(AmpColumns, BandSlots);
    for (int32_t k = 0; k < AmpColumns; ++k)
        for (int32_t b = 0; b < BandSlots; ++b) stage->Set2(k, b, table.Get3(r, k, b));
    return stage;
}

// The message ports of a line: the short forms for a one-line cell.
int32_t LinePort(const TCella& cell, int32_t i) { return cell.NumInputs > 1 ? i + 1 : 0; }

// The channels the outlets downstream of output out receive.
void CollectAtOutlets(TCella& cell, int32_t out, TListaCanali& scratch) {
    scratch.Clear();
    if (TCella* next = OutputNeighbour(cell, out))
        next->WalkDownstream(&scratch, OutputNeighbourPort(cell, out), NextPassNumber());
}

void RunProjectChannelPass(TCella& cell) {
    if (TCellProject* project = cell.Owner ? cell.Owner->CellProject() : nullptr) project->RunChannelPass(0);
}

}  // namespace

// ---- Regulation step ----

namespace {
constexpr double RegulationMargin = 5e-5;  // dB: a few float steps at the levels amplifiers give
}  // namespace

double OptionLimit(int32_t band, int kind) {
    return Opzioni && band >= 0 && band < BandSlots ? Opzioni->limits[band][kind] : LimitNoLimit;
}

void MatchChannelLevels(const TListaCanali& reached, const TListaCanali& list,
                        std::span<double, BandSlots> lowest, std::span<double, BandSlots> highest) {
    std::fill(lowest.begin(), lowest.end(), NoLowest);
    std::fill(highest.begin(), highest.end(), NoHighest);
    const TCanale* a = reached.head;
    const TCanale* b = list.head;
    while (a && b) {
        if (a->freqLow < b->freqLow) {
            a = a->next;
        } else if (b->freqLow < a->freqLow) {
            b = b->next;
        } else {
            if (a->band >= 0 && a->band < BandSlots) {
                lowest[a->band] = std::min<double>(lowest[a->band], a->levelMin);
                highest[a->band] = std::max<double>(highest[a->band], a->levelMax);
            }
            a = a->next;
            b = b->next;
        }
    }
}

void RegulateRow(TCella& cell, int32_t row, int32_t regulationColumn, int32_t maxRegulationColumn,
                 std::span<const TRegolazioneBanda, BandSlots> bands) {
    TBandVector maxRegulation = AttenuationVector(cell, row, maxRegulationColumn);
    TBandVector regulation = AttenuationVector(cell, row, regulationColumn);
    RegulateBandGroups(bands, maxRegulation.v, regulation.v);
    for (int32_t b = 0; b < BandSlots; ++b)
        if (regulation.v[b] != cell.Attenuation->Get3(row, regulationColumn, b))
            cell.Attenuation->Set3(row, regulationColumn, b, regulation.v[b]);
}

void RegulateBandGroups(std::span<const TRegolazioneBanda, BandSlots> bands,
                        std::span<const float, BandSlots> maxRegulation,
                        std::span<float, BandSlots> regulation) {
    int32_t b = 0;
    while (b < BandSlots) {
        if (!(maxRegulation[b] > 0.0f)) {
            ++b;
            continue;
        }
        int32_t end = b + 1;
        while (end < BandSlots && maxRegulation[end] == LevelRepeat) ++end;
        double need = bands[b].Need, room = bands[b].Room;
        for (int32_t k = b + 1; k < end; ++k) {
            need = std::max(need, bands[k].Need);
            room = std::min(room, bands[k].Room);
        }
        // A band without a regulation value regulates from 0.
        const double now = IsRealLevel(regulation[b]) ? regulation[b] : 0.0;
        // A step taken for a need goes a hair past it: the level it leaves,
        // worked out again in floats by the next pass, then stays at or under
        // the limit it was cut to instead of rounding back just above it.
        const double wanted = need > 0.0 ? need + RegulationMargin : need;
        const double step = std::min({wanted, room, static_cast<double>(maxRegulation[b]) - now});
        if (step > 0.0)
            for (int32_t k = b; k < end; ++k) {
                if (regulation[k] == LevelNone)
                    regulation[k] = static_cast<float>(step);
                else if (IsRealLevel(regulation[k]))
                    regulation[k] = static_cast<float>(static_cast<double>(regulation[k]) + step);
            }
        b = end;
    }
}

// ---- Gain arithmetic ----

float TAmplificatore::GetRow1Attenuation(int32_t input, int32_t, int32_t band) const {
    if (input < 0 || input >= TableRows || band < 0 || band >= BandSlots) return LevelNone;
    if (Attenuation->Rank() != 3 || !Attenuation->Block3(input) || Attenuation->Size3() < AmpColumns)
        return LevelNone;
    return GainAtBand(Attenuation->Block3(input), band);
}

// ---- Required levels ----

void TAmplificatore::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetInputLevels();
    for (int32_t o = 0; o < NumOutputs; ++o)
        if (TCella* next = OutputNeighbour(*this, o))
            next->ComputeRequiredLevels(minLevels, maxLevels, stamp);
    if (NumInputs < 1) return;
    const bool lines = NumInputs > 1;
    const int32_t bands = CalculationBandCount();
    for (int32_t o = 0; o < NumThroughOutputs; ++o) {
        const int32_t row = lines ? o : 0;
        if (row >= NumInputs) continue;
        const TCella* next = OutputNeighbour(*this, o);
        if (!next) continue;
        const int32_t port = OutputNeighbourPort(*this, o);
        for (int32_t b = 0; b < bands; ++b) {
            const TFinestra* d = WindowAt(next->InputLevels, port, b);
            if (!d) continue;
            TFinestra w = *d;
            ClipWindow(w, Attenuation->Get3(row, AmpMaxOutput, b));
            AddAttenuation(w, GetRow1Attenuation(row, row, b));
            const auto slot = static_cast<size_t>(b);
            if (lines)
                InputLevels[row][slot] = w;
            else
                CombineForward(InputLevels[0][slot], w, 0.0f, false);
        }
    }
}

// ---- Signal levels ----

void TAmplificatore::ComputeSignalLevels(uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetOutputLevels();
    const int32_t bands = CalculationBandCount();
    for (int32_t i = 0; i < NumInputs && i < NumOutputs; ++i) {
        TCella* up = InputNeighbour(*this, i);
        if (!up) continue;
        up->ComputeSignalLevels(stamp);
        const int32_t port = InputNeighbourPort(*this, i);
        for (int32_t b = 0; b < bands; ++b)
            if (const TFinestra* u = WindowAt(up->OutputLevels, port, b))
                CombineBackward(OutputLevels[i][static_cast<size_t>(b)], *u, GetRow1Attenuation(i, i, b),
                                false);
    }
    // One line feeding several outputs: every output carries output 0's window.
    if (NumThroughOutputs > NumInputs)
        for (int32_t k = 1; k < NumThroughOutputs; ++k) OutputLevels[k] = OutputLevels[0];
}

// A levelling amplifier gives the same output level whatever arrives within
// its input range, so no level window crosses it: it asks nothing of the
// line above (which keeps the window the rest of the network asks) and
// hands the line below a window that cannot be computed.
void TAmplificatoreA::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetInputLevels();
    for (int32_t o = 0; o < NumOutputs; ++o)
        if (TCella* next = OutputNeighbour(*this, o))
            next->ComputeRequiredLevels(minLevels, maxLevels, stamp);
    for (int32_t i = 0; i < NumInputs; ++i) InputLevels[i].fill(Window(LevelReqUnlimited));
}

void TAmplificatoreA::ComputeSignalLevels(uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetOutputLevels();
    for (int32_t i = 0; i < NumInputs; ++i)
        if (TCella* up = InputNeighbour(*this, i)) up->ComputeSignalLevels(stamp);
    for (int32_t k = 0; k < NumOutputs; ++k) OutputLevels[k].fill(Window(LevelError));
}

// ---- Channels ----

void TAmplificatore::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    if (NumInputs > 1) flags &= ~ChannelFlagFirstStep;
    const AnsiString prefix = GetShortCode();
    for (int32_t i = 0; i < NumInputs && i < NumOutputs; ++i) {
        const TListaCanali* arriving = ChannelsArrivingOn(i, flags, stamp);
        TListaCanali* out = OutputList(*this, i);
        if (arriving && out) PassLine(i, *arriving, *out, prefix);
    }
    if (NumThroughOutputs > NumInputs)
        if (const TListaCanali* first = OutputList(*this, 0))
            for (int32_t k = 1; k < NumThroughOutputs; ++k)
                if (TListaCanali* other = OutputList(*this, k)) TListaCanali::AddAll(*first, *other);
}

void TAmplificatore::PassLine(int32_t i, const TListaCanali& arriving, TListaCanali& out,
                              const AnsiString& prefix) {
    TListaCanali::AddAll(arriving, out);
    TListaCanali::CheckHandled(out, *StageOfRow(*Attenuation, i), prefix, LinePort(*this, i),
                               LinePort(*this, i));
}

void TAmplificatoreA::PassLine(int32_t i, const TListaCanali& arriving, TListaCanali& out,
                               const AnsiString& prefix) {
    const TBandVector minIn = AttenuationVector(*this, i, AgcMinInput);
    const TBandVector maxIn = AttenuationVector(*this, i, AgcMaxInput);
    const TBandVector regulation = AttenuationVector(*this, i, AgcRegulation);
    const TBandVector level = AttenuationVector(*this, i, AgcOutputLevel);
    const TBandVector noise = AttenuationVector(*this, i, AgcNoiseFigure);
    TListaCanali::CheckLevelLimits(out, arriving, minIn.v, maxIn.v, regulation.v, level.v, noise.v, false,
                                   prefix, LinePort(*this, i), LinePort(*this, i));
}

void TTerrestre::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    flags &= ~ChannelFlagFirstStep;
    const AnsiString prefix = GetShortCode();
    TListaCanali* mixed = OutputList(*this, 0);
    for (int32_t i = 0; i < NumInputs; ++i) {
        const TListaCanali* arriving = ChannelsArrivingOn(i, flags, stamp);
        if (!arriving || !mixed) continue;
        const TBandVector tilt = AttenuationVector(*this, i, WideTilt);
        const TBandVector regulation = AttenuationVector(*this, i, WideRegulation);
        const TBandVector gain = AttenuationVector(*this, i, WideGain);
        const TBandVector noise = AttenuationVector(*this, i, WideNoiseFigure);
        const TBandVector maximum = AttenuationVector(*this, i, WideMaxOutput);
        TListaCanali::PassAmplifier(*mixed, *arriving, tilt.v, regulation.v, gain.v, noise.v, maximum.v,
                                    false, prefix, LinePort(*this, i), 0);
    }
    if (mixed)
        for (int32_t k = 1; k < NumThroughOutputs; ++k)
            if (TListaCanali* other = OutputList(*this, k)) TListaCanali::AddAll(*mixed, *other);
}

void TAmplificatore::PushSeparation(int32_t, int32_t, float) {}

// ---- Automatic regulation ----

void TAmplificatore::SpreadStamp(uint32_t stamp) {
    if (stamp <= SpreadPassStamp) return;
    SpreadPassStamp = stamp;
    for (int32_t i = 0; i < NumInputs; ++i)
        if (TCella* up = InputNeighbour(*this, i)) up->SpreadStamp(stamp);
    RunProjectChannelPass(*this);
    TListaCanali scratch;
    for (int32_t i = 0; i < NumInputs; ++i) RegulateInput(i, scratch);
    for (int32_t o = 0; o < NumOutputs; ++o)
        if (TCella* next = OutputNeighbour(*this, o)) next->SpreadStamp(stamp);
}

void TAmplificatore::RegulateInput(int32_t input, TListaCanali& scratch) {
    const TListaCanali* out = OutputList(*this, input);
    if (!out || input >= TableRows) return;
    CollectAtOutlets(*this, input, scratch);

    double loudest[BandSlots];
    std::fill(loudest, loudest + BandSlots, NoHighest);
    for (const TCanale* c = out->head; c; c = c->next)
        if (c->band >= 0 && c->band < BandSlots)
            loudest[c->band] = std::max<double>(loudest[c->band], c->levelMax);
    double lowest[BandSlots], highest[BandSlots];
    MatchChannelLevels(scratch, *out, lowest, highest);

    const double derating = TListaCanali::OverloadDerating(out->Count());
    TRegolazioneBanda bands[BandSlots];
    for (int32_t b = 0; b < BandSlots; ++b) {
        const double maxOutput = Attenuation->Get3(input, AmpMaxOutput, b);
        bands[b].Need =
            std::max({0.0, loudest[b] - (maxOutput - derating), highest[b] - OptionLimit(b, LimitSigMax)});
        bands[b].Room = lowest[b] - OptionLimit(b, LimitSigMin);
    }
    RegulateRow(*this, input, AmpRegulation, AmpMaxRegulation, bands);
}

// The wide-band amplifier matches what arrives on each input against the
// outlets and keeps to the outlets' limits; it does not spread upwards.
void TTerrestre::SpreadStamp(uint32_t stamp) {
    if (stamp <= SpreadPassStamp) return;
    SpreadPassStamp = stamp;
    RunProjectChannelPass(*this);
    TListaCanali scratch;
    for (int32_t i = 0; i < NumInputs && i < TableRows; ++i) {
        CollectAtOutlets(*this, 0, scratch);
        const TCella* up = InputNeighbour(*this, i);
        const TListaCanali* arriving = up ? OutputList(*up, InputNeighbourPort(*this, i)) : nullptr;
        if (!arriving) continue;
        double lowest[BandSlots], highest[BandSlots];
        MatchChannelLevels(scratch, *arriving, lowest, highest);
        TRegolazioneBanda bands[BandSlots];
        for (int32_t b = 0; b < BandSlots; ++b) {
            bands[b].Need = highest[b] - OptionLimit(b, LimitSigMax);
            bands[b].Room = lowest[b] - OptionLimit(b, LimitSigMin);
        }
        RegulateRow(*this, i, WideRegulation, WideMaxRegulation, bands);
    }
    for (int32_t o = 0; o < NumOutputs; ++o)
        if (TCella* next = OutputNeighbour(*this, o)) next->SpreadStamp(stamp);
}

// ---- Designer ----

bool TAmplificatore::Qualifies(TCella* candidate, int32_t mode) {
    return candidate && IsSameKind(candidate) && (candidate->Positions[0] & Positions[1]) != 0 &&
           candidate->IsModelUsable((mode & ModeNeedsBand5) != 0, (mode & ModeNeedsBand9) != 0);
}

void TAmplificatore::TakeModel(TCella* candidate) {
    candidate->Assign(this);
    TypeCode = candidate->TypeCode;
    Described = 1;
}

bool TAmplificatore::ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                                 int32_t band, int32_t further) {
    if (!EnterPass(stamp)) return true;
    if (!ReachLevels.Allocated()) ResetAuxLevels();
    mode = (mode & ~ModeConnectorBits) | (Choice1 & ModeConnectorBits);
    const int32_t row = EvaluatedRow();
    if (NumInputs > 1 && band < FirstUpperBand) band = UpperEvaluationBand;

    // Terminations in front of the inputs first, then everything downstream.
    // A neighbour that found no model has reported it: the choice fails,
    // whichever neighbour it was.
    bool answer = true;
    for (int32_t i = 0; i < NumInputs; ++i)
        if (TCella* up = InputNeighbour(*this, i); up && up->TypeCode == CodeTermination)
            answer =
                up->ChooseModel(candidates, mode | ModeTargetGiven, stamp, progress, band, further) && answer;
    for (int32_t o = 0; o < NumOutputs; ++o)
        if (TCella* next = OutputNeighbour(*this, o))
            answer = next->ChooseModel(candidates, mode, stamp, progress, band, further) && answer;
    if ((mode & ModeNoChoice) || !answer) return answer;

    TCella* taken = nullptr;
    float kept = 0.0f;
    for (TCella* c = candidates; c; c = c->NextInList) {
        if (!Qualifies(c, mode)) continue;
        const float value = c->GetRow1Attenuation(row, row, band);
        if (!taken || (value < kept && value >= 0.0f)) {
            taken = c;
            kept = value;
        }
    }
    if (!taken) {
        if (GestoreErrori)
            GestoreErrori->Report("Non vi sono componenti selezionabili per l'amplificatore " +
                                  GetShortCode());
        return false;
    }
    TakeModel(taken);
    ComputeReachWindows();
    if (progress) AdvanceProgress(progress);
    return true;
}

void TAmplificatore::EvaluateModel(TCella*, int32_t, float, uint32_t, int32_t) {}

void TAmplificatore::ComputeReachWindows() {
    if (!ReachLevels.Allocated() || ReachLevels.Ports() != NumInputs) ResetAuxLevels();
    if (NumInputs < 1) return;
    const bool lines = NumInputs > 1;
    for (int32_t b = 0; b < BandSlots; ++b) {
        const auto slot = static_cast<size_t>(b);
        bool first = true;
        for (int32_t o = 0; o < NumThroughOutputs; ++o) {
            const int32_t row = lines ? o : 0;
            if (row >= NumInputs) continue;
            const TCella* next = OutputNeighbour(*this, o);
            const TFinestra* r =
                next ? WindowAt(next->ReachLevels, OutputNeighbourPort(*this, o), b) : nullptr;
            const TFinestra there = r ? *r : Window(LevelNone);
            const float a = GetRow1Attenuation(row, row, b);
            const TFinestra shifted{LevelSum(there.Min, a), LevelSum(there.Max, a)};
            TFinestra& reach = ReachLevels[row][slot];
            if (lines || first) {
                reach = shifted;
                first = false;
            } else {
                reach.Min = std::min(reach.Min, shifted.Min);
                reach.Max = std::max(reach.Max, shifted.Max);
            }
        }
    }
}

float TAmplificatore::MinDownstreamValue(float value, int32_t band, bool apply, TCella* candidates,
                                         uint8_t needsBand5, uint8_t needsBand9) {
    float m = NoDownstreamValue;
    for (int32_t o = 0; o < NumOutputs; ++o)
        if (TCella* next = OutputNeighbour(*this, o))
            m = std::min(m, next->MinDownstreamValue(value, band, false, candidates, needsBand5, needsBand9));
    if (m > 0.0f && apply)
        for (int32_t o = 0; o < NumOutputs; ++o)
            if (TCella* next = OutputNeighbour(*this, o))
                next->MinDownstreamValue(m, band, true, candidates, needsBand5, needsBand9);
    if (NumThroughOutputs == 1 || band < 0 || band >= BandSlots) return m;

    // The negated gain of the evaluated row: a model of less gain may take
    // up level that the outputs do not need.
    auto negatedGain = [band](TCella* cell) -> float {
        const float g = cell->Attenuation->Get3(cell->NumInputs > 1 ? 1 : 0, AmpGain, band);
        return IsRealLevel(g) ? -g : LevelNone;
    };
    const float a = negatedGain(this);
    if (!IsRealLevel(a)) return m;
    const int32_t mode = (needsBand5 ? ModeNeedsBand5 : 0) | (needsBand9 ? ModeNeedsBand9 : 0);
    TCella* kept = nullptr;
    float keptValue = 0.0f;
    for (TCella* c = candidates; c; c = c->NextInList) {
        if (!Qualifies(c, mode)) continue;
        const float candidate = negatedGain(c);
        if (!IsRealLevel(candidate)) continue;
        if (static_cast<double>(candidate) <= static_cast<double>(a) + value && candidate >= 0.0f &&
            (!kept || candidate > keptValue)) {
            kept = c;
            keptValue = candidate;
        }
    }
    if (!kept) return m;
    if (apply) TakeModel(kept);
    return static_cast<float>(static_cast<double>(m) + keptValue - a);
}
