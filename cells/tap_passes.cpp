// The calculation passes of taps and splitters: losses with their optional
// amplifier stages, required and signal levels, channels, the outlet
// separation search and the designer's reach windows. Every line is handled
// on its own: line i feeds its through output i and its own user outputs.
#include <algorithm>
#include <memory>

#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "cells/separation_log.h"
#include "cells/taps.h"
#include "core/channel_list.h"

namespace {

// Row i of a rank-3 stage table, when the table has it.
TInfo::Block StageRow(const TInfo& table, int32_t i) {
    if (table.Rank() != 3) return nullptr;
    return table.Block3(i);
}

// Entry (i, j) of a rank-4 table, when the table has it.
TInfo::Block MatrixEntry(const TInfo& table, int32_t i, int32_t j) {
    if (table.Rank() != 4) return nullptr;
    return table.Block4(i, j);
}

// One stage as the channel checks take it: a 7 x 15 table.
std::unique_ptr<TInfo> StageTable(TInfo::Block block) {
    if (!block) return nullptr;
    auto stage = std::make_unique<TInfo>(2);
    constexpr int StageRows = 7;
    stage->Alloc2(StageRows, BandSlots);
    for (int r = 0; r < StageRows; ++r)
        for (int b = 0; b < BandSlots; ++b) stage->Set2(r, b, block[r] ? block[r][b] : LevelNone);
    return stage;
}

TFinestra Window(float v) { return TFinestra{v, v}; }

}  // namespace

bool HasStageRows(const TInfo& table) { return table.Rank() == 3 && table.HasBlocks3(); }

bool TDerivatore::HasOwnOutputLosses() const {
    return MatrixTableA->Rank() == 4 && MatrixTableA->HasBlocks4();
}

// ---- Losses ----

float TDerivatore::GetRow1Attenuation(int32_t input, int32_t, int32_t band) const {
    if (input < 0 || input >= NumThroughOutputs || band < 0 || band >= BandSlots) return LevelNone;
    return AddGains(Attenuation->Get3(input, TapThroughColumn, band), LevelTableA.get(), LevelTableB.get(),
                    input, input, band);
}

float TDerivatore::TapLoss(int32_t input, int32_t output, int32_t band) const {
    if (input < 0 || input >= Lines() || band < 0 || band >= BandSlots) return LevelNone;
    if (!HasOwnOutputLosses())
        return AddGains(Attenuation->Get3(input, TapLossColumn, band), LevelTableA.get(), LevelTableC.get(),
                        input, input, band);
    const float loss = MatrixTableA->Get4(input, output, 0, band);
    if (!(MatrixTableB->Rank() == 4 && MatrixTableB->HasBlocks4()))
        return AddGains(loss, LevelTableA.get(), LevelTableC.get(), input, input, band);
    // The input stage, then the output's own stage.
    const float x = AddGains(loss, LevelTableA.get(), nullptr, input, 0, band);
    if (!IsRealLevel(x)) return x;
    const float g = GainAtBand(MatrixEntry(*MatrixTableB, input, output), band);
    if (g == LevelBlocked) return LevelBlocked;
    if (!IsRealLevel(g)) return LevelNone;
    return LevelSum(x, g);
}

// ---- Required levels ----

void TDerivatore::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetInputLevels();
    for (int32_t j = 0; j < NumOutputs; ++j)
        if (TCella* next = OutputNeighbour(*this, j))
            next->ComputeRequiredLevels(minLevels, maxLevels, stamp);

    const int32_t bands = CalculationBandCount();
    const int32_t t = OutputsPerLine();
    const bool own = HasOwnOutputLosses();
    const bool ownStages = MatrixTableB->Rank() == 4 && MatrixTableB->HasBlocks4();
    // The window asked at the input port of the cell downstream of output out.
    auto asked = [this](int32_t out, int32_t b, TFinestra& d) {
        const TCella* next = OutputNeighbour(*this, out);
        const TFinestra* w = next ? WindowAt(next->InputLevels, OutputNeighbourPort(*this, out), b) : nullptr;
        if (!w) return false;
        d = *w;
        return true;
    };
    for (int32_t b = 0; b < bands; ++b) {
        const auto slot = static_cast<size_t>(b);
        for (int32_t i = 0; i < Lines(); ++i)
            for (int32_t j = 0; j < t; ++j) {
                TFinestra d;
                if (!asked(TapOutputPort(i, j), b, d)) continue;
                if (own) {
                    if (ownStages) ApplyStage(d, MatrixEntry(*MatrixTableB, i, j), b);
                    CombineForward(InputLevels[i][slot], d, MatrixTableA->Get4(i, j, 0, b), false);
                } else {
                    ApplyStage(d, StageRow(*LevelTableC, i), b);
                    CombineForward(InputLevels[i][slot], d, Attenuation->Get3(i, TapLossColumn, b), false);
                }
            }
        for (int32_t k = 0; k < NumThroughOutputs; ++k) {
            TFinestra d;
            if (!asked(k, b, d)) continue;
            ApplyStage(d, StageRow(*LevelTableB, k), b);
            CombineForward(InputLevels[k][slot], d, Attenuation->Get3(k, TapThroughColumn, b), false);
        }
        if (HasStageRows(*LevelTableA))
            for (int32_t i = 0; i < Lines(); ++i)
                ApplyStage(InputLevels[i][slot], StageRow(*LevelTableA, i), b);
    }
}

// ---- Signal levels ----

void TDerivatore::ComputeSignalLevels(uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetOutputLevels();
    const int32_t bands = CalculationBandCount();
    const int32_t t = OutputsPerLine();
    const bool own = HasOwnOutputLosses();
    for (int32_t i = 0; i < Lines(); ++i) {
        TCella* up = InputNeighbour(*this, i);
        if (!up) continue;
        up->ComputeSignalLevels(stamp);
        const int32_t port = InputNeighbourPort(*this, i);
        for (int32_t b = 0; b < bands; ++b) {
            const auto slot = static_cast<size_t>(b);
            const TFinestra* u = WindowAt(up->OutputLevels, port, b);
            if (!u) continue;
            if (i < NumThroughOutputs)
                CombineBackward(OutputLevels[i][slot], *u, GetRow1Attenuation(i, i, b), false);
            if (t < 1) continue;
            if (own) {
                for (int32_t j = 0; j < t; ++j)
                    CombineBackward(OutputLevels[TapOutputPort(i, j)][slot], *u, TapLoss(i, j, b), false);
            } else {
                // Every user output of a line shows its first one's window.
                TFinestra& first = OutputLevels[TapOutputPort(i, 0)][slot];
                CombineBackward(first, *u, TapLoss(i, 0, b), false);
                for (int32_t j = 1; j < t; ++j) OutputLevels[TapOutputPort(i, j)][slot] = first;
            }
        }
    }
}

// ---- Channels ----

void TDerivatore::ComputeChannels(int32_t mode, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    const AnsiString prefix = GetShortCode();
    mode &= ~ChannelFlagFirstStep;
    const int32_t t = OutputsPerLine();
    const bool own = HasOwnOutputLosses();
    for (int32_t i = 0; i < Lines(); ++i) {
        TCella* up = InputNeighbour(*this, i);
        if (!up) continue;
        const int32_t upPort = InputNeighbourPort(*this, i);
        up->ComputeChannels(mode, upPort, stamp);
        TListaCanali arriving;
        if (const TListaCanali* source = OutputList(*up, upPort)) TListaCanali::AddAll(*source, arriving);
        if (auto stage = StageTable(StageRow(*LevelTableA, i)))
            TListaCanali::CheckHandled(arriving, *stage, prefix, i + 1, 0);

        if (i < NumThroughOutputs)
            if (TListaCanali* through = OutputList(*this, i)) {
                TListaCanali::AddAll(arriving, *through);
                const TBandVector loss = AttenuationVector(*this, i, TapThroughColumn);
                TListaCanali::CheckHandledByInput(*through, loss.v, prefix, 0);
                if (auto stage = StageTable(StageRow(*LevelTableB, i)))
                    TListaCanali::CheckHandled(*through, *stage, prefix, i + 1, 0);
            }
        if (t < 1) continue;

        if (own) {
            for (int32_t j = 0; j < t; ++j) {
                TListaCanali branch;
                TListaCanali::AddAll(arriving, branch);
                const TBandVector loss = MatrixVector(*MatrixTableA, i, j);
                TListaCanali::CheckHandledByInput(branch, loss.v, prefix, 0);
                if (auto stage = StageTable(MatrixEntry(*MatrixTableB, i, j)))
                    TListaCanali::CheckHandled(branch, *stage, prefix, i + 1, j + 1);
                if (TListaCanali* out = OutputList(*this, TapOutputPort(i, j)))
                    TListaCanali::CheckOutputConflicts(*out, branch, true, prefix, 0);
            }
            continue;
        }
        const TBandVector loss = AttenuationVector(*this, i, TapLossColumn);
        TListaCanali::CheckHandledByInput(arriving, loss.v, prefix, 0);
        if (auto stage = StageTable(StageRow(*LevelTableC, i)))
            TListaCanali::CheckHandled(arriving, *stage, prefix, i + 1, 0);
        TListaCanali* first = OutputList(*this, TapOutputPort(i, 0));
        if (!first) continue;
        TListaCanali::CheckOutputConflicts(*first, arriving, true, prefix, 0);
        // Every user output of a line carries what its first one carries.
        for (int32_t j = 1; j < t; ++j)
            if (TListaCanali* other = OutputList(*this, TapOutputPort(i, j)))
                TListaCanali::AddAll(*first, *other);
    }
}

// ---- Outlet separation ----

void TDerivatore::AcceptSeparation(int32_t port, int32_t band, float value, float limit) {
    if (band < 0 || band >= BandSlots || !IsRealLevel(value)) return;
    EnsureSeparationArrays();
    const auto slot = static_cast<size_t>(band);
    float* stored = nullptr;
    if (port >= PortInputBase) {
        const int32_t i = port - PortInputBase;
        if (i >= NumInputs) return;
        stored = &InputSeparation[static_cast<size_t>(i)][slot];
    } else if (port >= 0 && port < NumThroughOutputs) {
        stored = &ThroughSeparation[static_cast<size_t>(port)][slot];
    } else if (port >= NumThroughOutputs && port < NumOutputs) {
        // One value for every user output of every line.
        stored = &SeparationOutlet[band];
    } else {
        return;
    }
    if (IsRealLevel(*stored) && *stored <= value) return;
    if (value >= limit) return;
    separation_log::NoteWrite(this);
    *stored = value;
    PushSeparation(port, band, limit);
}

void TDerivatore::PushDownOutput(int32_t out, int32_t band, float value, float limit) {
    if (!IsRealLevel(value)) return;
    if (TCella* next = OutputNeighbour(*this, out))
        next->AcceptSeparation(OutputNeighbourPort(*this, out) + PortInputBase, band, value, limit);
}

void TDerivatore::PushUpLine(int32_t input, int32_t band, float value, float limit) {
    if (!IsRealLevel(value)) return;
    if (TCella* up = InputNeighbour(*this, input))
        up->AcceptSeparation(InputNeighbourPort(*this, input), band, value, limit);
}

void TDerivatore::PushSeparation(int32_t port, int32_t band, float limit) {
    if (band < 0 || band >= BandSlots) return;
    // The arrays are made by the clearing and by every accepted value; a
    // value can only have arrived on a row they have.
    const auto slot = static_cast<size_t>(band);
    const int32_t t = OutputsPerLine();
    auto toOutput = [this, band, limit](int32_t out, float value) {
        PushDownOutput(out, band, value, limit);
    };
    auto upLine = [this, band, limit](int32_t i, float value) { PushUpLine(i, band, value, limit); };

    if (port >= PortInputBase) {
        // Arrived down line i: on to its user outputs and its through output.
        const int32_t i = port - PortInputBase;
        if (i >= Lines() || static_cast<size_t>(i) >= InputSeparation.size()) return;
        const float s = InputSeparation[static_cast<size_t>(i)][slot];
        if (!IsRealLevel(s)) return;
        if (HasOwnOutputLosses()) {
            for (int32_t j = 0; j < t; ++j) {
                const float loss = TDerivatore::TapLoss(i, j, band);
                if (IsRealLevel(loss)) toOutput(TapOutputPort(i, j), LevelSum(s, loss));
            }
        } else if (t > 0) {
            // One tap loss for every user output of the line.
            const float loss = TDerivatore::TapLoss(i, 0, band);
            if (IsRealLevel(loss))
                for (int32_t j = 0; j < t; ++j) toOutput(TapOutputPort(i, j), LevelSum(s, loss));
        }
        if (i < NumThroughOutputs) {
            const float loss = TDerivatore::GetRow1Attenuation(i, i, band);
            if (IsRealLevel(loss)) toOutput(i, LevelSum(s, loss));
        }
        return;
    }
    // An active line (with stages) passes the search only downstream.
    if (port >= 0 && port < NumThroughOutputs) {
        // Arrived back through through output k.
        const int32_t k = port;
        if (static_cast<size_t>(k) >= ThroughSeparation.size()) return;
        const float s = ThroughSeparation[static_cast<size_t>(k)][slot];
        if (!IsRealLevel(s) || StageRow(*LevelTableA, k) || StageRow(*LevelTableB, k)) return;
        const float pass = Attenuation->Get3(k, TapThroughColumn, band);
        if (IsRealLevel(pass)) upLine(k, LevelSum(s, pass));
        const float reverse = Attenuation->Get3(k, TapReverseColumn, band);
        if (IsRealLevel(reverse))
            for (int32_t j = 0; j < t; ++j) toOutput(TapOutputPort(k, j), LevelSum(s, reverse));
        return;
    }
    if (port < NumThroughOutputs || port >= NumOutputs || t < 1) return;
    // Arrived back through a user output of line i.
    const float s = SeparationOutlet[band];
    if (!IsRealLevel(s)) return;
    const int32_t i = (port - NumThroughOutputs) / t;
    const bool stagesA = HasStageRows(*LevelTableA), stagesB = HasStageRows(*LevelTableB),
               stagesC = HasStageRows(*LevelTableC);
    const float loss = Attenuation->Get3(i, TapLossColumn, band);
    if (IsRealLevel(loss) && !stagesA && !stagesC) upLine(i, LevelSum(s, loss));
    const float reverse = Attenuation->Get3(i, TapReverseColumn, band);
    if (IsRealLevel(reverse) && !stagesC && !stagesB && i < NumThroughOutputs)
        toOutput(i, LevelSum(s, reverse));
    const float decoupling = Attenuation->Get3(i, TapDecouplingColumn, band);
    if (IsRealLevel(decoupling) && !stagesC)
        for (int32_t j = 0; j < t; ++j)
            if (TapOutputPort(i, j) != port) toOutput(TapOutputPort(i, j), LevelSum(s, decoupling));
}

// ---- Reach windows ----

void TDerivatore::ComputeReachWindows() {
    if (!ReachLevels.Allocated() || ReachLevels.Ports() != NumInputs) ResetAuxLevels();
    const int32_t t = OutputsPerLine();
    const bool own = HasOwnOutputLosses();
    // The reach window of the cell downstream of output out, with a loss added.
    auto widen = [this](TFinestra& w, int32_t out, int32_t b, float loss, bool addLoss) {
        const TCella* next = OutputNeighbour(*this, out);
        if (!next) return;
        const TFinestra* r = WindowAt(next->ReachLevels, OutputNeighbourPort(*this, out), b);
        TFinestra there = r ? *r : Window(LevelNone);
        if (addLoss) there = TFinestra{LevelSum(there.Min, loss), LevelSum(there.Max, loss)};
        w.Min = std::min(w.Min, there.Min);
        w.Max = std::max(w.Max, there.Max);
    };
    for (int32_t i = 0; i < Lines(); ++i)
        for (int32_t b = 0; b < BandSlots; ++b) {
            TFinestra w{1000.0f, 0.0f};
            if (own) {
                for (int32_t j = 0; j < t; ++j) widen(w, TapOutputPort(i, j), b, TapLoss(i, j, b), true);
            } else if (t > 0) {
                for (int32_t j = 0; j < t; ++j) widen(w, TapOutputPort(i, j), b, 0.0f, false);
                const float loss = TapLoss(i, 0, b);
                w = TFinestra{LevelSum(w.Min, loss), LevelSum(w.Max, loss)};
            }
            if (i < NumThroughOutputs) widen(w, i, b, GetRow1Attenuation(i, i, b), true);
            ReachLevels[i][static_cast<size_t>(b)] = w;
        }
}
