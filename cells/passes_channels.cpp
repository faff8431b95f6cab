// The channel pass ("Calcoli canali"), the downstream walk, the designer's
// least downstream value and the outlet-separation search, as the base cell
// runs them. Sources, outlets, taps, switches and amplifiers give their own.
#include <algorithm>

#include "cells/cell.h"
#include "cells/pass_links.h"
#include "cells/separation_log.h"
#include "core/channel_list.h"

namespace {
constexpr float NoDownstreamValue = 1000.0f;
}  // namespace

// ---- Channel pass ----

void TCella::ResetChannelLists() {
    if (NumOutputs <= 0) return;
    const size_t outputs = static_cast<size_t>(NumOutputs);
    if (ChannelLists.size() != outputs) ChannelLists.resize(outputs);
    for (auto& list : ChannelLists) {
        if (list)
            list->Clear();
        else
            list = std::make_unique<TListaCanali>();
    }
}

const TListaCanali* TCella::ChannelsArrivingOn(int32_t input, int32_t flags, uint32_t stamp) {
    TCella* up = InputNeighbour(*this, input);
    if (!up) return nullptr;
    const int32_t upPort = InputNeighbourPort(*this, input);
    up->ComputeChannels(flags, upPort, stamp);
    return OutputList(*up, upPort);
}

void TCella::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    const TListaCanali* arriving = ChannelsArrivingOn(0, flags, stamp);
    TListaCanali* first = OutputList(*this, 0);
    if (!arriving || !first || NumThroughOutputs < 1) return;
    float attenuation[BandSlots];
    Row0Vector(*this, 1, attenuation);
    TListaCanali::CheckInputs(*first, *arriving, attenuation, false, GetShortCode(), 0, 0);
    // Every through output carries what output 0 carries; tap outputs stay empty.
    for (int32_t j = 1; j < NumThroughOutputs; ++j)
        if (TListaCanali* other = OutputList(*this, j)) TListaCanali::AddAll(*first, *other);
}

// ---- Downstream walk ----

void TCella::WalkDownstream(TListaCanali* list, int32_t entryPort, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    // Only the through output the walk came in by is followed, then every tap output.
    if (entryPort >= 0 && entryPort < NumThroughOutputs)
        if (TCella* next = OutputNeighbour(*this, entryPort))
            next->WalkDownstream(list, OutputNeighbourPort(*this, entryPort), stamp);
    for (int32_t j = NumThroughOutputs; j < NumOutputs; ++j)
        if (TCella* next = OutputNeighbour(*this, j))
            next->WalkDownstream(list, OutputNeighbourPort(*this, j), stamp);
}

float TCella::MinDownstreamValue(float value, int32_t band, bool apply, TCella* candidates,
                                 uint8_t needsBand5, uint8_t needsBand9) {
    float least = NoDownstreamValue;
    for (int32_t j = 0; j < NumOutputs; ++j)
        if (TCella* next = OutputNeighbour(*this, j))
            least = std::min(
                least, next->MinDownstreamValue(value, band, false, candidates, needsBand5, needsBand9));
    // Hand the minimum found down the network as the value of a second walk.
    if (least > 0.0f && apply)
        for (int32_t j = 0; j < NumOutputs; ++j)
            if (TCella* next = OutputNeighbour(*this, j))
                next->MinDownstreamValue(least, band, true, candidates, needsBand5, needsBand9);
    return least;
}

// ---- Outlet separation ----

void TCella::ClearBandAccumulators(int32_t band) {
    if (band < 0 || band >= BandSlots) return;
    SeparationBest[band] = LevelNone;
    SeparationAux[band] = LevelNone;
    SeparationOutlet[band] = LevelNone;
}

void TCella::PushSeparation(int32_t port, int32_t band, float limit) {
    if (band < 0 || band >= BandSlots) return;
    const float through = Attenuation->Get3(0, 1, band);
    if (!IsRealLevel(through)) return;
    const float s = SeparationBest[band];
    const float across = LevelSum(s, through);
    if (port < PortInputBase) {
        // Arrived backwards through an output: on upstream through the input,
        // and across to every other through output.
        if (TCella* up = InputNeighbour(*this, 0))
            if (IsRealLevel(across)) up->AcceptSeparation(InputNeighbourPort(*this, 0), band, across, limit);
        const float sideways = LevelSum(s, Attenuation->Get3(0, 3, band));
        if (!IsRealLevel(sideways)) return;
        for (int32_t j = 0; j < NumThroughOutputs; ++j) {
            if (j == port) continue;
            if (TCella* next = OutputNeighbour(*this, j))
                next->AcceptSeparation(OutputNeighbourPort(*this, j) + PortInputBase, band, sideways, limit);
        }
        return;
    }
    // Arrived forwards through the input: on to every through output.
    if (!IsRealLevel(across)) return;
    for (int32_t j = 0; j < NumThroughOutputs; ++j)
        if (TCella* next = OutputNeighbour(*this, j))
            next->AcceptSeparation(OutputNeighbourPort(*this, j) + PortInputBase, band, across, limit);
}

void TCella::AcceptSeparation(int32_t port, int32_t band, float value, float limit) {
    // Only a level can be carried on; a value without one opens no path.
    if (band < 0 || band >= BandSlots || !IsRealLevel(value)) return;
    const float best = SeparationBest[band];
    if (IsRealLevel(best) && best <= value) return;
    if (value >= limit) return;
    separation_log::NoteWrite(this);
    SeparationBest[band] = value;
    PushSeparation(port, band, limit);
}
