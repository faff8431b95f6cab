#include "cells/terminations.h"

#include <algorithm>

#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "cells/prototypes.h"
#include "core/globals.h"
#include "core/record_versions.h"
#include "core/reporter.h"
#include "cells/cell_grid.h"

namespace {
// The reach window of a termination: empty, so that it never bounds a choice.
constexpr TFinestra EmptyReach{1000.0f, -1000.0f};
}  // namespace

TChiusura::TChiusura(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                     int32_t inputs)
    : TCella(owner, orientation, mirrored, column, row, inputs, inputs, 0) {
    TypeCode = CodeTermination;
    Kind = KindTermination;
    SetPortCounts();
    Category = "Chiusure";
    // No supply in or out; power is refused on every input. The model choice
    // tells a DC-isolated termination by a refusing word of 0.
    SetPowerGroups({0, 0, PowerInputs});
}

TChiusura::~TChiusura() = default;

void TChiusura::ConvertOldFlags(const uint8_t (&f)[5]) {
    if (f[2]) {
        Power[PowerRefuses][PowerFlags] = 0;
        Power[PowerRefuses][PowerInputMask] = 0;
    }
}

TCellLayout TChiusura::Layout() const {
    TCellLayout layout;
    const int32_t n = std::max<int32_t>(1, NumInputs);
    // The squares run from the anchor as they always have on file: against
    // the frame's x on a quarter turn of an unmirrored termination. A project
    // keeps only the anchor, so they must stay where they were.
    const bool backwards = (Transform().Turn % 2 != 0) && !Mirrored;
    layout.Left = backwards ? -(n - 1) : 0;
    layout.Width = n;
    for (int32_t k = 0; k < NumInputs; ++k)
        layout.Ports.push_back({TPortKind::Input, 0, backwards ? -k : k, 0, TSide::Top});
    return layout;
}

void TChiusura::Load(TStream& stream, int32_t version) {
    if (version < V20000) {
        Inputs = 1;
        ThroughOutputs = 1;
        SetPortCounts();
    }
    TCella::Load(stream, version);
}

// One square, and one through output, per input; no attenuation table.
void TChiusura::SetPortCounts() {
    TCella::SetPortCounts();
    NumThroughOutputs = Inputs;
    TableRows = 0;
    TableColumns = 0;
}

// Every square closes the line that reaches it; the passes read the window
// of input 0 whichever square the line arrives at.
bool TChiusura::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    if (NumInputs < 1) return true;
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    PlacePorts(layout, TLineEnds{}, queue);
    return true;
}

TCella* TChiusura::GetPrototype() const { return FindPrototype({CodeTermination, Inputs, 0, 0}); }

bool TChiusura::CheckData(const AnsiString&) { return true; }
bool TChiusura::NeedsNoDescription() const { return true; }

// ---- Passes: a termination ends them all ----

void TChiusura::ComputeRequiredLevels(TBandLimits, TBandLimits, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetInputLevels();
    if (NumInputs < 1) return;
    const int32_t bands = CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b)
        InputLevels[0][static_cast<size_t>(b)] = TFinestra{LevelReqUnlimited, LevelReqUnlimited};
}

void TChiusura::SpreadStamp(uint32_t) {}

void TChiusura::ComputeSignalLevels(uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetOutputLevels();
    if (NumOutputs < 1) return;
    const int32_t bands = CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b)
        OutputLevels[0][static_cast<size_t>(b)] = TFinestra{LevelOff, LevelOff};
}

void TChiusura::WalkDownstream(TListaCanali*, int32_t, uint32_t) {}

float TChiusura::MinDownstreamValue(float, int32_t, bool, TCella*, uint8_t, uint8_t) { return 0.0f; }

void TChiusura::ComputeChannels(int32_t, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
}

void TChiusura::PushSeparation(int32_t, int32_t, float) {}

// ---- Designer's model choice ----

bool TChiusura::IsIsolated(const TCella& cell) { return cell.Power[PowerRefuses][PowerFlags] == 0; }

bool TChiusura::MatchesRequest(const TCella& cell, int32_t mode) {
    const bool isolatedWanted = (mode & ModeIsolatedTermination) != 0;
    if (IsIsolated(cell) != isolatedWanted) return false;
    const int32_t connector = mode & ModeConnectorBits;
    return connector == TerminationAnyConnector || connector == cell.Choice1;
}

void TChiusura::SetEmptyReach() {
    if (!ReachLevels.Allocated() || ReachLevels.Ports() != NumInputs) ResetAuxLevels();
    for (int32_t i = 0; i < ReachLevels.Ports(); ++i) ReachLevels[i].fill(EmptyReach);
}

bool TChiusura::ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t,
                            int32_t) {
    if (PassStamp >= stamp) return true;
    PassStamp = stamp;
    SetEmptyReach();
    if (!(mode & ModeNoChoice)) return true;  // only the terminations' pass chooses them
    const bool usable5 = (mode & ModeNeedsBand5) != 0;
    const bool usable9 = (mode & ModeNeedsBand9) != 0;
    // The first matching entry is taken; a termination that already is what
    // is asked for keeps its data.
    for (TCella* c = candidates; c; c = c->NextInList) {
        if (Described && MatchesRequest(*this, mode)) break;
        if (IsSameKind(c) && c->IsModelUsable(usable5, usable9) && MatchesRequest(*c, mode)) {
            c->Assign(this);
            Described = 1;
        }
    }
    const bool fits = Described && MatchesRequest(*this, mode);
    if (!fits && GestoreErrori) GestoreErrori->Report("Non sono disponibili chiusure adeguate all'impianto.");
    AdvanceProgress(progress);
    return fits;
}

void TChiusura::EvaluateModel(TCella*, int32_t, float, uint32_t, int32_t) { SetEmptyReach(); }
