// The passes of the head-end terminal. The head-end grid's terminal gathers
// the distribution lines on its inputs; the network grid's terminal feeds
// them into the network from its outputs; a pass that reaches one of them
// crosses to the other.
#include <algorithm>

#include "cells/head_end.h"
#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "core/channel_list.h"
#include "cells/cell_grid.h"
#include "cells/cell_project.h"

TTesta* TTesta::Partner() const {
    TCellProject* project = Owner ? Owner->CellProject() : nullptr;
    if (!project) return nullptr;
    TCellGrid* other = Owner == project->HeadEndCellGrid()   ? project->NetworkCellGrid()
                       : Owner == project->NetworkCellGrid() ? project->HeadEndCellGrid()
                                                       : nullptr;
    if (!other || other == Owner) return nullptr;
    auto* partner = dynamic_cast<TTesta*>(other->Anchor);
    return partner != this ? partner : nullptr;
}

void TTesta::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    RequiredLevelsThrough(minLevels, maxLevels, stamp);
}

void TTesta::SpreadStamp(uint32_t stamp) {
    if (stamp <= SpreadPassStamp) return;
    SpreadPassStamp = stamp;
    const bool headEnd = Owner && Owner->Kind == GridHeadEnd;
    if (headEnd) {
        for (int32_t i = 0; i < NumInputs; ++i)
            if (TCella* up = InputNeighbour(*this, i)) up->SpreadStamp(stamp);
        if (TTesta* partner = Partner()) partner->SpreadStamp(stamp);
    } else {
        if (TTesta* partner = Partner()) partner->SpreadStamp(stamp);
        for (int32_t j = 0; j < NumThroughOutputs; ++j)
            if (TCella* next = OutputNeighbour(*this, j)) next->SpreadStamp(stamp);
    }
}

void TTesta::ComputeSignalLevels(uint32_t) {}

void TTesta::WalkDownstream(TListaCanali* list, int32_t entryPort, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    if (Owner && Owner->Kind == GridHeadEnd) {
        // The line the walk arrived on continues in the network.
        if (TTesta* partner = Partner()) partner->WalkDownstream(list, entryPort, stamp);
        return;
    }
    if (TCella* next = OutputNeighbour(*this, entryPort))
        next->WalkDownstream(list, OutputNeighbourPort(*this, entryPort), stamp);
}

void TTesta::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    flags &= ~ChannelFlagFirstStep;
    if (Row != 0) {
        // The head-end terminal: each line carries what arrives on its input.
        ChannelsThrough(flags, stamp);
        return;
    }
    // The network terminal takes the lines its partner gathered.
    TCellProject* project = Owner ? Owner->CellProject() : nullptr;
    TCella* headEnd = project && project->HeadEndCellGrid() ? project->HeadEndCellGrid()->Anchor : nullptr;
    if (!headEnd || headEnd == this) return;
    headEnd->ComputeChannels(flags, 0, stamp);
    for (int32_t i = 0; i < NumThroughOutputs; ++i) {
        const TListaCanali* gathered = OutputList(*headEnd, i);
        TListaCanali* own = OutputList(*this, i);
        if (gathered && own) TListaCanali::AddAll(*gathered, *own);
    }
}

void TTesta::PushSeparation(int32_t, int32_t, float) {}

bool TTesta::ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                         int32_t band, int32_t further) {
    return ChooseModelThrough(candidates, mode, stamp, progress, band, further);
}

void TTesta::EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) {
    EvaluateModelThrough(candidates, mode, value, stamp, band);
}

void TTesta::ComputeReachWindows() {
    if (!ReachLevels.Allocated() || ReachLevels.Ports() != NumInputs) ResetAuxLevels();
    const int32_t lines = std::min(NumInputs, NumThroughOutputs);
    for (int32_t i = 0; i < lines; ++i) {
        const TCella* next = OutputNeighbour(*this, i);
        if (!next) continue;
        const int32_t port = OutputNeighbourPort(*this, i);
        for (int32_t b = 0; b < BandSlots; ++b)
            if (const TFinestra* r = WindowAt(next->ReachLevels, port, b))
                ReachLevels[i][static_cast<size_t>(b)] = *r;
    }
}
