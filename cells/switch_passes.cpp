// The calculation passes of switches: the tap's passes over the user outputs
// that every line shares, then the matrix inputs, each feeding the user
// output of its own row with the horizontal loss; the separation search back
// through a user output, the data check and the channel report.
#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "cells/report_writing.h"
#include "cells/switches.h"
#include "core/channel_list.h"

namespace {

// The stage column of the gain regulation.
constexpr int32_t GainRegulationColumn = 2;

TFinestra Window(float v) { return TFinestra{v, v}; }

}  // namespace

// ---- Required levels ----

void TSwitch::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (stamp <= PassStamp) return;
    TDerivatore::ComputeRequiredLevels(minLevels, maxLevels, stamp);
    if (!HasMatrixInputs()) return;
    // A matrix input asks what its user output asks, raised by the horizontal loss.
    const int32_t bands = CalculationBandCount();
    for (int32_t k = 0; k < NumTapOutputs && Lines() + k < NumInputs; ++k) {
        const int32_t out = NumThroughOutputs + k;
        const TCella* next = OutputNeighbour(*this, out);
        if (!next) continue;
        for (int32_t b = 0; b < bands; ++b)
            if (const TFinestra* d = WindowAt(next->InputLevels, OutputNeighbourPort(*this, out), b))
                CombineForward(InputLevels[Lines() + k][static_cast<size_t>(b)], *d,
                               Attenuation->Get3(0, SwitchHorizontalColumn, b), false);
    }
}

// ---- Signal levels ----

// The lines first: without own output losses the tap's pass gives every user
// output user output 0's window; each matrix input is then merged into its
// own row alone.
void TSwitch::ComputeSignalLevels(uint32_t stamp) {
    if (stamp <= PassStamp) return;
    TDerivatore::ComputeSignalLevels(stamp);
    if (!HasMatrixInputs()) return;
    const int32_t bands = CalculationBandCount();
    for (int32_t k = 0; k < NumTapOutputs && Lines() + k < NumInputs; ++k) {
        const int32_t input = Lines() + k;
        TCella* up = InputNeighbour(*this, input);
        if (up) up->ComputeSignalLevels(stamp);
        for (int32_t b = 0; b < bands; ++b) {
            // An input left open carries nothing: the band is off there.
            TFinestra arriving = Window(LevelOff);
            if (up) {
                const TFinestra* u = WindowAt(up->OutputLevels, InputNeighbourPort(*this, input), b);
                if (!u) continue;
                arriving = *u;
            }
            CombineBackward(OutputLevels[NumThroughOutputs + k][static_cast<size_t>(b)], arriving,
                            Attenuation->Get3(0, SwitchHorizontalColumn, b), false);
        }
    }
}

float TSwitch::MinDownstreamValue(float, int32_t, bool, TCella*, uint8_t, uint8_t) { return 0.0f; }

// ---- Channels ----

void TSwitch::ComputeChannels(int32_t mode, int32_t port, uint32_t stamp) {
    if (stamp <= PassStamp) return;
    TDerivatore::ComputeChannels(mode, port, stamp);
    if (!HasMatrixInputs()) return;
    const AnsiString prefix = GetShortCode();
    mode &= ~ChannelFlagFirstStep;
    const TBandVector across = AttenuationVector(*this, 0, SwitchHorizontalColumn);
    for (int32_t k = 0; k < NumTapOutputs && Lines() + k < NumInputs; ++k) {
        const int32_t input = Lines() + k;
        TCella* up = InputNeighbour(*this, input);
        if (!up) continue;  // an open matrix input brings no channel
        const int32_t upPort = InputNeighbourPort(*this, input);
        up->ComputeChannels(mode, upPort, stamp);
        TListaCanali arriving;
        if (const TListaCanali* source = OutputList(*up, upPort)) TListaCanali::AddAll(*source, arriving);
        TListaCanali::CheckHandledByInput(arriving, across.v, prefix, 0);
        if (TListaCanali* out = OutputList(*this, NumThroughOutputs + k))
            TListaCanali::CheckOutputConflicts(*out, arriving, true, prefix, 0);
    }
}

// ---- Outlet separation ----

void TSwitch::PushSeparation(int32_t port, int32_t band, float limit) {
    if (band < 0 || band >= BandSlots) return;
    if (port >= PortInputBase || port < NumThroughOutputs || port >= NumOutputs) {
        TDerivatore::PushSeparation(port, band, limit);
        return;
    }
    // Arrived back through a user output: the one value shared by all of them.
    const float s = SeparationOutlet[band];
    if (!IsRealLevel(s)) return;
    const bool stagesA = HasStageRows(*LevelTableA), stagesB = HasStageRows(*LevelTableB),
               stagesC = HasStageRows(*LevelTableC);
    for (int32_t i = 0; i < Lines(); ++i) {
        const float loss = Attenuation->Get3(i, TapLossColumn, band);
        if (IsRealLevel(loss) && !stagesA && !stagesC) PushUpLine(i, band, LevelSum(s, loss), limit);
        const float reverse = Attenuation->Get3(i, TapReverseColumn, band);
        if (i < NumThroughOutputs && IsRealLevel(reverse) && !stagesC && !stagesB)
            PushDownOutput(i, band, LevelSum(s, reverse), limit);
    }
    const float decoupling = Attenuation->Get3(0, TapDecouplingColumn, band);
    if (IsRealLevel(decoupling) && !stagesC)
        for (int32_t out = NumThroughOutputs; out < NumOutputs; ++out)
            if (out != port) PushDownOutput(out, band, LevelSum(s, decoupling), limit);
}

// ---- Data check ----

bool TSwitch::CheckData(const AnsiString& prefix) {
    return CheckLines(prefix, HasMatrixInputs() ? SwitchHorizontalColumn : -1, true);
}

// ---- Designer's tables ----

void TSwitch::AdjustLossTables() {
    for (TInfo* table : {LevelTableA.get(), LevelTableB.get(), LevelTableC.get()}) {
        if (table->Rank() != 3 || !table->Block3(0)) continue;
        if (table->Size3() <= GainRegulationColumn) continue;
        float* regulation = table->Block3(0)[GainRegulationColumn];
        if (!regulation) continue;
        for (int32_t b = 0; b < table->Size4(); ++b)
            if (IsRealLevel(regulation[b]) && regulation[b] > 0.0f) regulation[b] = 0.0f;
    }
}

// ---- Channel report ----

void TSwitch::GetPortLevelText(TRichEdit* report) {
    TListaCanali empty;
    auto listOf = [this, &empty](int32_t out) -> TListaCanali& {
        TListaCanali* list = OutputList(*this, out);
        return list ? *list : empty;
    };
    const AnsiString code = GetShortCode();
    for (int32_t k = 0; k < NumThroughOutputs; ++k)
        AddChannelRowsDefault(report, code + " passaggio " + IntToStr(k + 1), listOf(k));
    for (int32_t k = 0; k < NumTapOutputs; ++k)
        AddChannelRowsDefault(report, code + " uscita " + IntToStr(k + 1), listOf(NumThroughOutputs + k));
}
