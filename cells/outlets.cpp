// Outlets: data, placement with the termination check, the calculation
// passes, the separation search, the designer's model choice and the data
// check.
#include "cells/outlets.h"

#include <algorithm>
#include <cmath>

#include "cells/checks.h"
#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "cells/prototypes.h"
#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "cells/cell_grid.h"

namespace {

constexpr int32_t OutletTableRows = 1;
constexpr int32_t OutletTableColumns = 4;
// The circuit error of an end outlet on a line that needs a termination.
constexpr int32_t ErrorNeedsTermination = 4;
// Supply flag of an outlet that passes DC ("Passaggio DC").
constexpr uint32_t SupplyPassesDc = PowerTaps;
// Two candidates whose needs differ by less than this count as equal.
constexpr float NeedTolerance = 0.1f;

const char* const SocketCaption = "Atten. di deriv.  [dB]";
const char* const ThroughCaption = "Atten. di passaggio  [dB]";
const char* const ReverseCaption = "Atten. inversa  [dB]";
// The socket connectors of an outlet with one or two sockets.
const char* const SocketConnectors[2][3] = {
    {"IEC mas.", "F", "IEC fem."},
    {"IEC m + F", "IEC m + f", "IEC f + F"},
};

float Sum(float a, float b) { return TCella::LevelSum(a, b); }

// The socket's level limits of a band: the given vectors where they hold
// the band, else the options.
float SocketLimit(TBandLimits given, int32_t band, int limit) {
    if (static_cast<size_t>(band) < given.size()) return given[static_cast<size_t>(band)];
    return Opzioni ? Opzioni->limits[band][limit] : LevelNone;
}

TFinestra SocketWindow(TBandLimits minLevels, TBandLimits maxLevels, int32_t band) {
    return TFinestra{SocketLimit(minLevels, band, LimitSigMin), SocketLimit(maxLevels, band, LimitSigMax)};
}

}  // namespace

TPresaD::TPresaD(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                 int32_t typeCode, int32_t sockets)
    : TCella(owner, orientation, mirrored, column, row, 1, 1, sockets) {
    TypeCode = typeCode;
    Kind = KindOutlet;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Category = "Prese";
    Terminated = typeCode == CodeTerminatedOutlet ? 1 : 0;
    PassThrough = typeCode == CodePassThroughOutlet ? 1 : 0;
    // Power is received from and passed on through the line, never through the socket.
    SetPowerGroups({PowerInputs | PowerThrough, PowerInputs | PowerThrough, 0});
}

TPresaD::~TPresaD() = default;

void TPresaD::ConvertOldFlags(const uint8_t (&f)[5]) {
    if (TypeCode != CodeEndOutlet || !f[2]) return;
    Power[PowerSupply][PowerFlags] |= PowerTaps;
    Power[PowerSupply][PowerTapMask] = AllBits;
}

TCellDescription TPresaD::Describe() const {
    TCellDescription d = NamedWithForm("Presa ", "P", OutletCounter);
    d.Roles = RoleOutlet | RoleLabelsLoss;
    TDataSheet& sheet = d.Sheet;
    sheet.RowCaptions[OutletSocketLoss] = SocketCaption;
    sheet.RowCaptions[OutletThroughLoss] = ThroughCaption;
    sheet.RowCaptions[OutletReverseLoss] = ReverseCaption;
    sheet.OutputConnectors = std::span<const char* const>();
    if (TapOutputs == 1 || TapOutputs == 2) sheet.OutputConnectors = SocketConnectors[TapOutputs - 1];
    sheet.PortRows = PassThrough ? 3 : 1;
    sheet.FirstBoxCaption = "Passaggio DC";
    return d;
}

// One input, the through output and the socket, whatever the number of
// sockets the outlet has.
void TPresaD::SetPortCounts() {
    NumInputs = 1;
    NumThroughOutputs = 1;
    NumTapOutputs = 1;
    NumOutputs = 2;
    TableRows = OutletTableRows;
    TableColumns = OutletTableColumns;
    MatrixColumns = 0;
}

TCella* TPresaD::GetPrototype() const { return FindPrototype({TypeCode, TapOutputs, 0, 0}); }

// ---- Placement ----

TCellLayout TPresaD::Layout() const {
    TCellLayout layout;
    layout.Ports.push_back({TPortKind::Input, 0, 0, 0, TSide::Top});
    if (PassThrough) layout.Ports.push_back({TPortKind::Through, OutletThroughOutput, 0, 0, TSide::Bottom});
    return layout;
}

bool TPresaD::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    if (!record.NeedsTermination || PassThrough || Terminated) {
        const TCellLayout layout = Layout();
        OccupyLayout(layout);
        // The line goes on after a pass-through outlet, so it must end in a
        // termination too.
        PlacePorts(layout, TLineEnds{1, 0, 0}, queue);
        return true;
    }
    if (GestoreErrori)
        GestoreErrori->SetPendingError(
            std::make_unique<TErroreCircuito>(Column, Row, record.Side, Owner, ErrorNeedsTermination));
    return false;
}

// ---- Level passes ----

void TPresaD::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetInputLevels();
    TCella* through = PassThrough ? OutputNeighbour(*this, OutletThroughOutput) : nullptr;
    if (through) through->ComputeRequiredLevels(minLevels, maxLevels, stamp);
    const int32_t port = OutputNeighbourPort(*this, OutletThroughOutput);
    const int32_t bands = CalculationBandCount();
    const TBandVector socket = AttenuationVector(*this, 0, OutletSocketLoss);
    const TBandVector throughLoss = through ? AttenuationVector(*this, 0, OutletThroughLoss) : TBandVector{};
    for (int32_t b = 0; b < bands; ++b) {
        TFinestra& in = InputLevels[0][static_cast<size_t>(b)];
        if (through)
            if (const TFinestra* d = WindowAt(through->InputLevels, port, b))
                CombineForward(in, *d, throughLoss.v[b], false);
        CombineForward(in, SocketWindow(minLevels, maxLevels, b), socket.v[b], false);
    }
}

void TPresaD::ComputeSignalLevels(uint32_t stamp) {
    // The loss rows read once for every band; the through output (before the
    // socket) only on a pass-through outlet.
    const TBandVector socket = AttenuationVector(*this, 0, OutletSocketLoss);
    const TBandVector through = PassThrough ? AttenuationVector(*this, 0, OutletThroughLoss) : TBandVector{};
    SignalFromInput0(*this, stamp, PassThrough ? OutletThroughOutput : OutletSocket, OutletSocket + 1,
                     [&](int32_t q, int32_t b) { return q == OutletSocket ? socket.v[b] : through.v[b]; });
}

// ---- Channel pass and walk ----

void TPresaD::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    const TListaCanali* arriving = ChannelsArrivingOn(0, flags & ~ChannelFlagFirstStep, stamp);
    if (!arriving) return;
    const AnsiString code = GetShortCode();
    float vector[BandSlots];
    if (PassThrough)
        if (TListaCanali* through = OutputList(*this, OutletThroughOutput)) {
            Row0Vector(*this, OutletThroughLoss, vector);
            TListaCanali::CheckInputs(*through, *arriving, vector, false, code, 0, 0);
        }
    if (TListaCanali* socket = OutputList(*this, OutletSocket)) {
        Row0Vector(*this, OutletSocketLoss, vector);
        TListaCanali::CheckInputs(*socket, *arriving, vector, false, code, 0, 0);
    }
}

void TPresaD::WalkDownstream(TListaCanali* list, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    if (PassThrough)
        if (TCella* next = OutputNeighbour(*this, OutletThroughOutput))
            next->WalkDownstream(list, OutputNeighbourPort(*this, OutletThroughOutput), stamp);
    const TListaCanali* socket = OutputList(*this, OutletSocket);
    if (list && socket) TListaCanali::CheckConflicts(*list, *socket, ConflictsQuiet | ConflictsMerge, AnsiString());
}

float TPresaD::MinDownstreamValue(float, int32_t, bool, TCella*, uint8_t, uint8_t) { return 0.0f; }

// ---- Outlet separation ----

void TPresaD::PushSeparation(int32_t port, int32_t band, float limit) {
    if (band < 0 || band >= BandSlots) return;
    // The losses are read where an arrival needs them: the search passes
    // here some thirty times per outlet.
    auto offerDown = [this, band, limit](float value) {
        if (!PassThrough || !IsRealLevel(value)) return;
        if (TCella* next = OutputNeighbour(*this, OutletThroughOutput))
            next->AcceptSeparation(OutputNeighbourPort(*this, OutletThroughOutput) + PortInputBase, band,
                                   value, limit);
    };
    auto offerUp = [this, band, limit](float value) {
        if (!IsRealLevel(value)) return;
        if (TCella* up = InputNeighbour(*this, 0))
            up->AcceptSeparation(InputNeighbourPort(*this, 0), band, value, limit);
    };

    if (port == PortInputBase) {
        // Arrived at the input from upstream: this outlet's result is the
        // least loss from the starting socket to its own socket.
        const float s = SeparationBest[band];
        const float through = ThroughLoss(band);
        if (IsRealLevel(through)) offerDown(Sum(s, through));
        const float socket = SocketLoss(band);
        if (IsRealLevel(socket)) SeparationOutlet[band] = Sum(s, socket);
    } else if (port == OutletSocket) {
        // The starting socket.
        const float s = SeparationOutlet[band];
        const float socket = SocketLoss(band);
        if (IsRealLevel(socket)) offerUp(Sum(s, socket));
        const float reverse = ReverseLoss(band);
        if (IsRealLevel(reverse)) offerDown(Sum(s, reverse));
    } else if (port == OutletThroughOutput) {
        // Arrived at the through output from downstream.
        const float s = SeparationBest[band];
        const float through = ThroughLoss(band);
        if (IsRealLevel(through)) offerUp(Sum(s, through));
        const float reverse = ReverseLoss(band);
        if (IsRealLevel(reverse)) SeparationOutlet[band] = Sum(s, reverse);
    }
}

// ---- Designer's model choice ----

bool TPresaD::Qualifies(TCella* candidate, int32_t mode, uint8_t connector) {
    if (!candidate || !IsSameKind(candidate)) return false;
    const bool passesDc = (candidate->Power[PowerSupply][PowerFlags] & SupplyPassesDc) != 0;
    if (passesDc != ((mode & ModePassesDc) != 0)) return false;
    if (!candidate->IsModelUsable((mode & ModeNeedsBand5) != 0, (mode & ModeNeedsBand9) != 0))
        return false;
    if (mode & ModeAnyConnector) return true;
    if (mode & ModeConnectorOne) return candidate->Choice3 == 1;
    // 255 is "no connector chosen": then any will do.
    return static_cast<int8_t>(connector) < 0 || candidate->Choice3 == connector;
}

void TPresaD::ComputeReachWindows() {
    if (!ReachLevels.Allocated() || ReachLevels.Ports() != NumInputs) ResetAuxLevels();
    if (NumInputs < 1) return;
    TCella* next = PassThrough ? OutputNeighbour(*this, OutletThroughOutput) : nullptr;
    const int32_t port = OutputNeighbourPort(*this, OutletThroughOutput);
    for (int32_t b = 0; b < BandSlots; ++b) {
        const float socket = SocketLoss(b);
        TFinestra& reach = ReachLevels[0][static_cast<size_t>(b)];
        reach = TFinestra{socket, socket};
        if (!next) continue;
        const TFinestra* r = WindowAt(next->ReachLevels, port, b);
        if (!r) continue;
        const float through = ThroughLoss(b);
        reach.Min = std::min(socket, Sum(r->Min, through));
        reach.Max = std::max(socket, Sum(r->Max, through));
    }
}

bool TPresaD::ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                          int32_t band, int32_t further) {
    if (!EnterPass(stamp)) return true;
    if (!ReachLevels.Allocated()) ResetAuxLevels();
    mode = (mode & ~ModeConnectorBits) | (Choice1 & ModeConnectorBits);
    if (mode & ModePassesDc) mode |= ModeIsolatedTermination;
    const uint8_t connector = Choice3;

    TCella* taken = nullptr;
    if (!PassThrough) {
        if (mode & ModeNoChoice) return true;
        for (TCella* c = candidates; c; c = c->NextInList) {
            if (!Qualifies(c, mode, connector)) continue;
            if (!taken || c->Attenuation->Get3(0, OutletSocketLoss, band) <
                              taken->Attenuation->Get3(0, OutletSocketLoss, band))
                taken = c;
        }
    } else {
        TCella* next = OutputNeighbour(*this, OutletThroughOutput);
        bool ok = true;
        float r = LevelNone;
        if (next) {
            ok = next->ChooseModel(candidates, mode, stamp, progress, band, further);
            if (const TFinestra* w = WindowAt(next->ReachLevels, OutputNeighbourPort(*this, 0), band))
                r = w->Max;
        }
        if (mode & ModeNoChoice) return ok;
        if (!ok) return false;
        float best = 0.0f;
        for (TCella* c = candidates; c; c = c->NextInList) {
            if (!Qualifies(c, mode, connector)) continue;
            const float socket = c->Attenuation->Get3(0, OutletSocketLoss, band);
            const float through = c->Attenuation->Get3(0, OutletThroughLoss, band);
            const float need = IsRealLevel(r) ? std::max(socket, Sum(r, through)) : socket;
            const bool better = need < best && need >= 0.0f;
            const bool tie = taken && std::fabs(static_cast<double>(need) - best) < NeedTolerance &&
                             socket > taken->Attenuation->Get3(0, OutletSocketLoss, band);
            if (!taken || better || tie) {
                taken = c;
                best = need;
            }
        }
    }
    if (taken) {
        taken->Assign(this);
        Described = 1;
    } else if (GestoreErrori) {
        GestoreErrori->Report("Non vi sono componenti selezionabili per la presa " + GetShortCode());
    }
    ComputeReachWindows();
    AdvanceProgress(progress);
    return taken != nullptr;
}

void TPresaD::EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) {
    if (!EnterPass(stamp)) return;
    const uint8_t connector = Choice3;
    float spare = static_cast<float>(static_cast<double>(value) - SocketLoss(band));
    for (TCella* c = candidates; c; c = c->NextInList) {
        if (!Qualifies(c, mode, connector)) continue;
        const float d = static_cast<float>(
            static_cast<double>(c->Attenuation->Get3(0, OutletSocketLoss, band)) - SocketLoss(band));
        if (d > 0.0f && d <= spare) {
            spare = static_cast<float>(static_cast<double>(spare) - d);
            c->Assign(this);
            Described = 1;
        }
    }
    if (PassThrough)
        if (TCella* next = OutputNeighbour(*this, OutletThroughOutput)) {
            const int32_t passed = (mode & ~ModeConnectorBits) | (Choice1 & ModeConnectorBits);
            const float through = ThroughLoss(band);
            next->EvaluateModel(candidates, passed, IsRealLevel(through) ? Sum(value, -through) : through,
                                stamp, band);
        }
    ComputeReachWindows();
}

// ---- Data check ----

bool TPresaD::CheckData(const AnsiString& prefix) {
    float socket[BandSlots], through[BandSlots], reverse[BandSlots];
    Row0Vector(*this, OutletSocketLoss, socket);
    Row0Vector(*this, OutletThroughLoss, through);
    Row0Vector(*this, OutletReverseLoss, reverse);
    if (!CheckBands(*this, socket, BandsRefuseRepeat, prefix + SocketCaption + ": ")) return false;
    const int32_t bands = CheckedBands(*this);
    bool handled = false;
    if (!PassThrough) {
        for (int32_t b = 0; b < bands; ++b) handled = handled || socket[b] != LevelNone;
    } else {
        if (!CheckBands(*this, through, BandsRefuseRepeat, prefix + ThroughCaption + ": ")) return false;
        if (!CheckBands(*this, reverse, BandsRefuseRepeat, prefix + ReverseCaption + ": ")) return false;
        for (int32_t b = 0; b < bands; ++b) {
            const int given =
                (socket[b] != LevelNone) + (through[b] != LevelNone) + (reverse[b] != LevelNone);
            if (given == 3) {
                handled = true;
            } else if (given > 0) {
                const AnsiString name = BandSystem && b < static_cast<int32_t>(BandSystem->bands.size())
                                            ? BandSystem->bands[static_cast<size_t>(b)].bandName
                                            : AnsiString();
                if (GestoreErrori)
                    GestoreErrori->Report(prefix + "Banda " + name + " descritta parzialmente.");
                return false;
            }
        }
    }
    if (!handled) {
        if (GestoreErrori) GestoreErrori->Report(prefix + "Il componente non gestisce alcun segnale.");
        return false;
    }
    return true;
}
