// The passes of a custom component, handed through the anchors of its
// structure: the entry anchor of input i takes the place of the cell's input
// i, the exit anchor of output j the place of its output j.
#include <algorithm>

#include "cells/custom_cell.h"
#include "cells/pass_links.h"
#include "core/channel_list.h"

// While a pass runs through the cell, the entry anchors are linked to the
// cells upstream of the inputs and the exit anchors to the cells downstream
// of the outputs. A pass may come back into the cell by another port before
// it leaves (the separation search does): the links go when the outermost
// call leaves.
class TCellaCustom::TLinkScope {
public:
    explicit TLinkScope(TCellaCustom& cell) : cell_(cell) {
        if (cell_.linkDepth_++ > 0) return;
        cell_.AnalyseStructure();
        cell_.LinkAnchorsOutside();
    }
    ~TLinkScope() {
        if (--cell_.linkDepth_ == 0) cell_.UnlinkAnchorsOutside();
    }
    TLinkScope(const TLinkScope&) = delete;
    TLinkScope& operator=(const TLinkScope&) = delete;

private:
    TCellaCustom& cell_;
};

namespace {
TCella* AnchorAt(const std::vector<TCella*>& anchors, int32_t k) {
    return k >= 0 && static_cast<size_t>(k) < anchors.size() ? anchors[static_cast<size_t>(k)] : nullptr;
}

void CopyWindows(TFinestreBande& target, const TTabellaFinestre& source, int32_t port) {
    const int32_t bands = TCella::CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b)
        if (const TFinestra* w = WindowAt(source, port, b)) target[static_cast<size_t>(b)] = *w;
}
}  // namespace

void TCellaCustom::LinkAnchorsOutside() {
    for (size_t i = 0; i < InputAnchors.size(); ++i) {
        TCella* anchor = InputAnchors[i];
        if (!anchor) continue;
        anchor->AllocLinks();
        if (anchor->InputCell.empty()) continue;
        anchor->InputCell[0] = InputNeighbour(*this, static_cast<int32_t>(i));
        anchor->InputPort[0] = InputNeighbourPort(*this, static_cast<int32_t>(i));
    }
    for (size_t j = 0; j < OutputAnchors.size(); ++j) {
        TCella* anchor = OutputAnchors[j];
        if (!anchor) continue;
        anchor->AllocLinks();
        if (anchor->OutputCell.empty()) continue;
        const int32_t output = NumThroughOutputs + static_cast<int32_t>(j);
        anchor->OutputCell[0] = OutputNeighbour(*this, output);
        anchor->OutputPort[0] = OutputNeighbourPort(*this, output);
    }
}

void TCellaCustom::UnlinkAnchorsOutside() {
    for (TCella* anchor : InputAnchors)
        if (anchor && !anchor->InputCell.empty()) {
            anchor->InputCell[0] = nullptr;
            anchor->InputPort[0] = -1;
        }
    for (TCella* anchor : OutputAnchors)
        if (anchor && !anchor->OutputCell.empty()) {
            anchor->OutputCell[0] = nullptr;
            anchor->OutputPort[0] = -1;
        }
}

void TCellaCustom::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    TLinkScope links(*this);
    ResetInputLevels();
    for (int32_t i = 0; i < NumInputs; ++i)
        if (TCella* anchor = AnchorAt(InputAnchors, i)) {
            anchor->ComputeRequiredLevels(minLevels, maxLevels, stamp);
            CopyWindows(InputLevels[i], anchor->InputLevels, 0);
        }
}

void TCellaCustom::ComputeSignalLevels(uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    TLinkScope links(*this);
    ResetOutputLevels();
    for (int32_t j = 0; j < NumTapOutputs; ++j)
        if (TCella* anchor = AnchorAt(OutputAnchors, j)) {
            anchor->ComputeSignalLevels(stamp);
            CopyWindows(OutputLevels[NumThroughOutputs + j], anchor->OutputLevels, 0);
        }
}

float TCellaCustom::MinDownstreamValue(float, int32_t, bool, TCella*, uint8_t, uint8_t) { return 0.0f; }

void TCellaCustom::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    TLinkScope links(*this);
    ResetChannelLists();
    for (int32_t j = 0; j < NumTapOutputs; ++j) {
        TCella* anchor = AnchorAt(OutputAnchors, j);
        if (!anchor) continue;
        anchor->ComputeChannels(flags, 0, stamp);
        const TListaCanali* inner = OutputList(*anchor, 0);
        TListaCanali* own = OutputList(*this, NumThroughOutputs + j);
        if (inner && own) TListaCanali::AddAll(*inner, *own);
    }
}

void TCellaCustom::ClearBandAccumulators(int32_t band) {
    TCella::ClearBandAccumulators(band);
    AnalyseStructure();
    for (TCella* cell = Structure->Anchor; cell; cell = cell->NextCell) cell->ClearBandAccumulators(band);
}

// The search goes on from the anchors the value reaches.
void TCellaCustom::PushSeparation(int32_t, int32_t, float) {}

void TCellaCustom::AcceptSeparation(int32_t port, int32_t band, float value, float limit) {
    TLinkScope links(*this);
    if (port < PortInputBase) {
        if (TCella* anchor = AnchorAt(OutputAnchors, port - NumThroughOutputs))
            anchor->AcceptSeparation(0, band, value, limit);
    } else if (TCella* anchor = AnchorAt(InputAnchors, port - PortInputBase)) {
        anchor->AcceptSeparation(PortInputBase, band, value, limit);
    }
}
