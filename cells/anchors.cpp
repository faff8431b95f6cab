#include "cells/anchors.h"

#include <algorithm>

#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "core/channel_list.h"
#include "cells/cell_grid.h"

namespace {
// The reach window of an output that leads nowhere.
constexpr TFinestra NoReach{1000.0f, 0.0f};
}  // namespace

// ---------------------------------------------------------------- TAncora

TAncora::TAncora(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                 int32_t typeCode)
    : TCella(owner, orientation, mirrored, column, row, 1, 1, 0) {
    TypeCode = typeCode;
    Kind = KindAnchor;
    SetPortCounts();
    Described = 1;
}

TAncora::~TAncora() = default;

void TAncora::Load(TStream& stream, int32_t version) {
    TCella::Load(stream, version);
    Described = 1;
}

void TAncora::Save(TStream& stream, int32_t version) {
    Described = 1;
    TCella::Save(stream, version);
}

void TAncora::AllocLinks() {
    InputPort.resize(static_cast<size_t>(std::max<int32_t>(0, NumInputs)), -1);
    InputCell.resize(static_cast<size_t>(std::max<int32_t>(0, NumInputs)), nullptr);
    OutputPort.resize(static_cast<size_t>(std::max<int32_t>(0, NumOutputs)), -1);
    OutputCell.resize(static_cast<size_t>(std::max<int32_t>(0, NumOutputs)), nullptr);
}

void TAncora::SetPortCounts() {
    TCella::SetPortCounts();
    TableRows = 0;
    TableColumns = 0;
    MatrixColumns = 0;
}

bool TAncora::CheckData(const AnsiString&) { return true; }
bool TAncora::IsEstimateItem() const { return false; }
bool TAncora::IsSignalStart() const { return true; }

void TAncora::Join(TCella* entry, TCella* exit) {
    entry->AllocLinks();
    exit->AllocLinks();
    if (entry->InputCell.empty() || exit->OutputCell.empty()) return;
    entry->InputCell[0] = exit;
    entry->InputPort[0] = 0;
    exit->OutputCell[0] = entry;
    exit->OutputPort[0] = 0;
}

// ---- Passes: windows and lists are copied straight through ----

void TAncora::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    RequiredLevelsThrough(minLevels, maxLevels, stamp);
}

void TAncora::ComputeSignalLevels(uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetOutputLevels();
    const int32_t bands = CalculationBandCount();
    const int32_t lines = std::min(NumInputs, NumThroughOutputs);
    for (int32_t i = 0; i < lines; ++i) {
        TFinestreBande& out = OutputLevels[i];
        TCella* up = InputNeighbour(*this, i);
        if (!up) {
            for (int32_t b = 0; b < bands; ++b) out[static_cast<size_t>(b)] = TFinestra{LevelOff, LevelOff};
            continue;
        }
        up->ComputeSignalLevels(stamp);
        const int32_t port = InputNeighbourPort(*this, i);
        for (int32_t b = 0; b < bands; ++b)
            if (const TFinestra* u = WindowAt(up->OutputLevels, port, b)) out[static_cast<size_t>(b)] = *u;
    }
}

void TAncora::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    ChannelsThrough(flags & ~ChannelFlagFirstStep, stamp);
}

void TAncora::PushSeparation(int32_t port, int32_t band, float limit) {
    if (band < 0 || band >= BandSlots) return;
    const float value = SeparationBest[band];
    if (!IsRealLevel(value)) return;
    if (port != PortInputBase) {
        if (TCella* up = InputNeighbour(*this, 0))
            up->AcceptSeparation(InputNeighbourPort(*this, 0), band, value, limit);
    } else if (TCella* next = OutputNeighbour(*this, 0)) {
        next->AcceptSeparation(OutputNeighbourPort(*this, 0) + PortInputBase, band, value, limit);
    }
}

// ---- Designer's passes ----

bool TAncora::ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                          int32_t band, int32_t further) {
    return ChooseModelThrough(candidates, mode, stamp, progress, band, further);
}

void TAncora::EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) {
    EvaluateModelThrough(candidates, mode, value, stamp, band);
}

void TAncora::ComputeReachWindows() {
    if (!ReachLevels.Allocated() || ReachLevels.Ports() != NumInputs) ResetAuxLevels();
    const int32_t lines = std::min(NumInputs, NumThroughOutputs);
    for (int32_t i = 0; i < lines; ++i) {
        TFinestreBande& reach = ReachLevels[i];
        const TCella* next = OutputNeighbour(*this, i);
        const int32_t port = OutputNeighbourPort(*this, i);
        for (int32_t b = 0; b < BandSlots; ++b) {
            const TFinestra* r = next ? WindowAt(next->ReachLevels, port, b) : nullptr;
            reach[static_cast<size_t>(b)] = r ? *r : NoReach;
        }
    }
}

// ---------------------------------------------------------------- TAncoraI

TAncoraI::TAncoraI(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row)
    : TAncora(owner, orientation, mirrored, column, row, CodeEntryAnchor) {}

TAncoraI::~TAncoraI() = default;

TCellLayout TAncoraI::Layout() const {
    TCellLayout layout;
    layout.Ports.push_back({TPortKind::Through, 0, 0, 0, TSide::Bottom});
    return layout;
}

bool TAncoraI::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    PlacePorts(layout, TLineEnds{record.NeedsTermination, 0, 0}, queue);
    return true;
}

TCellDescription TAncoraI::Describe() const {
    TCellDescription d = TAncora::Describe();
    d.TypeName = "Punto ingresso ";
    return d;
}

void TAncoraI::LinkAnchor(TCella* partner) { LinkExitAnchor(partner); }

void TAncoraI::LinkExitAnchor(TCella* exit) {
    if (!exit || exit->TypeCode != CodeExitAnchor) return;
    Join(this, exit);
}

// ---------------------------------------------------------------- TAncoraO

TAncoraO::TAncoraO(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row)
    : TAncora(owner, orientation, mirrored, column, row, CodeExitAnchor) {}

TAncoraO::~TAncoraO() = default;

TCellLayout TAncoraO::Layout() const {
    TCellLayout layout;
    layout.Ports.push_back({TPortKind::Input, 0, 0, 0, TSide::Top});
    return layout;
}

bool TAncoraO::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    PlacePorts(layout, TLineEnds{}, queue);
    return true;
}

TCellDescription TAncoraO::Describe() const {
    TCellDescription d = TAncora::Describe();
    d.TypeName = "Punto uscita ";
    return d;
}

void TAncoraO::LinkAnchor(TCella* partner) { LinkEntryAnchor(partner); }

void TAncoraO::LinkEntryAnchor(TCella* entry) {
    if (!entry || entry->TypeCode != CodeEntryAnchor) return;
    Join(entry, this);
}
