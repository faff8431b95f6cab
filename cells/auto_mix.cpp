// Auto-mix modules: the port frame, the box and its placement by the
// arrangements, the chain search of the final amplifiers, port names, the
// module list on file and in copies.
#include "cells/auto_mix.h"

#include <algorithm>
#include <array>

#include "cells/cables.h"
#include "cells/drawing.h"
#include "cells/mouse_info.h"
#include "cells/record.h"
#include "cells/terminations.h"
#include "core/channel_plans.h"
#include "core/file.h"
#include "core/globals.h"
#include "cells/cell_grid.h"

namespace {

constexpr int32_t VersionWithPortCounts = V20000;
constexpr int32_t VersionWithRegulationGroups = V40000;
constexpr int32_t VersionWithNewSentinels = V50000;
constexpr int32_t VersionWithModuleList = V60000;

}  // namespace

uint32_t ModuleKindOf(int32_t code) {
    switch (code) {
    case CodeFiltroAT: return ModuleChannelFilter;
    case CodeModulatore: return ModuleModulator;
    case CodeConvertitore: return ModuleConverter;
    case CodeFiltroCAG: return ModuleAutomaticGain;
    default: return 0;
    }
}

TCellaAutoMix::TCellaAutoMix(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                             int32_t row, int32_t inputArrangement, int32_t outputArrangement)
    : TCella(owner, orientation, mirrored, column, row, inputArrangement, outputArrangement, 0),
      Modules(std::make_unique<TModuliFiltro>()) {
    Modules->Append(std::make_unique<TModuloFiltro>());
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
}

TCellaAutoMix::~TCellaAutoMix() = default;

void TCellaAutoMix::SetPortCounts() {
    NumInputs = AutoMixInputs;
    NumThroughOutputs = AutoMixThroughOutputs;
    NumTapOutputs = std::max<int32_t>(0, TapOutputs);
    NumOutputs = NumTapOutputs + AutoMixThroughOutputs;
    TableRows =
        (Inputs == AutoMixNoInput || Inputs == AutoMixCommonLine) ? 1 : std::clamp<int32_t>(Inputs, 1, 2);
    if (ThroughOutputs == AutoMixOutputBypass) TableRows = 3;
    TableColumns = 7;
    MatrixColumns = 0;
}

bool TCellaAutoMix::IsAutoMixModule() const { return true; }

TCellDescription TCellaAutoMix::Describe() const {
    TCellDescription d;
    if (IsAutoMixModule()) d.Roles = RoleJoinsByJumpers;
    return d;
}

void TCellaAutoMix::SpreadStamp(uint32_t) {}

bool TCellaAutoMix::Rotate(int32_t) { return false; }

void TCellaAutoMix::SetBandSystem(TSistemaBande* system) { BandSystem = system; }

TCellLayout TCellaAutoMix::Layout() const {
    // The box only: which of its sides take lines depends on the line that
    // reaches it (PlaceBox).
    TCellLayout box;
    box.Width = AutoMixWidth;
    box.Height = AutoMixHeight;
    return box;
}

void TCellaAutoMix::Assign(TCella* target) {
    TCella::Assign(target);
    auto* module = dynamic_cast<TCellaAutoMix*>(target);
    if (module && module != this) TModuliFiltro::Assign(*Modules, *module->Modules);
}

// ---- Records ----

void TCellaAutoMix::RefuseDamagedArrangements() const {
    if (Inputs < 0 || Inputs > AutoMixMaxInputArrangement || ThroughOutputs < 0 ||
        ThroughOutputs > AutoMixMaxOutputArrangement)
        throw EReadError("Disposizione degli ingressi o delle uscite del modulo non valida");
}

void TCellaAutoMix::Load(TStream& stream, int32_t version) {
    RefuseDamagedArrangements();
    TCella::Load(stream, version);
    if (version >= VersionWithModuleList) {
        Modules->Read(stream, version);
        if (!Modules->head) Modules->Append(std::make_unique<TModuloFiltro>());
        return;
    }
    LoadOldModule(stream, version);
}

// Older records keep the module's slots after the cell record, and before
// 40000 their edges in the cell's own table.
void TCellaAutoMix::LoadOldModule(TStream& stream, int32_t version) {
    Modules->Clear();
    Modules->Append(std::make_unique<TModuloFiltro>());
    TModuloFiltro& m = *Modules->head;
    auto take = [this](int32_t column, int32_t band) {
        const float v = Attenuation->Get3(0, column, band);
        Attenuation->Set3(0, column, band, LevelNone);
        return v;
    };
    if (version >= VersionWithPortCounts) {
        for (int32_t i = 0; i < ModuleSlots; ++i) {
            m.slotName[i] = chunked::ReadString(stream, ModuleSlotNameChars + 1);
            m.slotPlan[i] = ReadPlanReference(stream);
        }
    } else {
        Inputs = TypeCode == CodeModulatore ? AutoMixNoInput : AutoMixCommonLine;
        ThroughOutputs = AutoMixOutputOuter;
        SetPortCounts();
        // The names by the edges kept in the table, in the Italian plan.
        const int32_t places[ModuleSlots][2] = {{0, 0}, {0, 6}, {1, 6}};
        for (int32_t i = 0; i < ModuleSlots; ++i) {
            const float low = Attenuation->Get3(0, places[i][0], places[i][1]);
            const float high = Attenuation->Get3(0, places[i][0], places[i][1] + 1);
            m.slotName[i].clear();
            m.slotPlan[i] = nullptr;
            const TCanalizzazione* plan = CanalizzazioneItalia;
            for (int r = 0; plan && r < plan->Count(); ++r)
                if (plan->Row(r).lowEdge == low && plan->Row(r).highEdge == high) {
                    m.slotName[i] = plan->Row(r).channelName;
                    m.slotPlan[i] = CanalizzazioneItalia;
                    break;
                }
        }
    }
    if (version >= VersionWithRegulationGroups) {
        for (int32_t i = 0; i < ModuleSlots; ++i) {
            m.slotLow[i] = ReadF32(stream);
            m.slotHigh[i] = ReadF32(stream);
            if (version < VersionWithNewSentinels) {
                m.slotLow[i] = ConvertOldSentinel(m.slotLow[i]);
                m.slotHigh[i] = ConvertOldSentinel(m.slotHigh[i]);
            }
        }
    } else {
        switch (TypeCode) {
        case CodeFiltroAT:
        case CodeConvertitore:
            Attenuation->Set3(0, 4, 0, Attenuation->Get3(0, 0, 0));
            m.slotLow[1] = take(0, 6);
            m.slotHigh[1] = take(0, 7);
            if (TypeCode == CodeConvertitore) {
                m.slotLow[2] = take(1, 6);
                m.slotHigh[2] = take(1, 7);
            }
            break;
        case CodeModulatore:
            m.slotLow[0] = take(0, 0);
            m.slotHigh[0] = take(0, 1);
            break;
        case CodeFiltroCAG:
            Attenuation->Set3(0, 5, 0, Attenuation->Get3(0, 2, 0));
            m.slotLow[1] = take(0, 6);
            m.slotHigh[1] = take(0, 7);
            break;
        default: break;
        }
    }
    m.flags = ModuleKindOf(TypeCode);
}

void TCellaAutoMix::Save(TStream& stream, int32_t version) {
    TCella::Save(stream, version);
    Modules->Write(stream, version);
}

// ---- Placement ----

TSide TCellaAutoMix::LocalSide(int32_t gridSide) const { return Transform().Undo(SideOf(gridSide)); }

bool TCellaAutoMix::FindChainNeighbour(int32_t column, int32_t row, TDirection direction) const {
    if (!Owner) return false;
    // A run of cable cannot be longer than the grid has squares.
    for (int32_t steps = 0; steps < Owner->Columns * Owner->Rows; ++steps) {
        TCella* cell = Owner->CellAt(column, row);
        if (!cell) return false;
        if (cell->IsAutoMixModule() && direction == TDirection::Up) return true;
        if (cell->TypeCode == CodeAmplificatoreAt) {
            const TSquareAnalysis* square = Owner->AnalysisAt(column, row);
            return cell->Orientation == DirectionNumber(Reverse(direction)) || (square && square->Visited);
        }
        // A cable is followed the way its segment runs.
        const int32_t axis = DirectionNumber(direction) % 2;
        auto* cable = dynamic_cast<TNCavo*>(cell);
        if (cable && !cable->Bend && (cable->Orientation % 2) != axis && cell->Overlay)
            cable = dynamic_cast<TNCavo*>(cell->Overlay);
        if (!cable || cable->Kind != KindCableSegment) return false;
        if (cable->Bend) {
            // The line goes on across the bend's other side.
            const std::array<TSide, 2> sides = BendSides(cable->Orientation);
            const TSide entered = EntrySide(direction);
            if (entered != sides[0] && entered != sides[1]) return false;
            direction = Leaving(entered == sides[0] ? sides[1] : sides[0]);
        } else if ((cable->Orientation % 2) != axis) {
            return false;
        }
        StepTowards(direction, column, row);
    }
    return false;
}

bool TCellaAutoMix::CellBelowOuterSquare() const {
    if (!Owner) return false;
    for (int32_t x : {0, AutoMixWidth - 1}) {
        int32_t c = 0, r = 0;
        FrameToGrid(c, r, x, AutoMixHeight);
        if (Owner->Inside(c, r) && Owner->CellAt(c, r)) return true;
    }
    return false;
}

void TCellaAutoMix::PlaceBox(const TNextCell& record, TQNextCell& queue, bool finalAmplifier) {
    auto at = [this](int32_t x, int32_t y, int32_t& c, int32_t& r) { FrameToGrid(c, r, x, y); };
    auto square = [this, &at](int32_t x, int32_t y) -> TSquareAnalysis* {
        int32_t c = 0, r = 0;
        at(x, y, c, r);
        return Owner ? Owner->AnalysisAt(c, r) : nullptr;
    };
    auto markRow = [&square](int32_t y) {
        for (int32_t x = 0; x < AutoMixWidth; ++x)
            if (TSquareAnalysis* s = square(x, y)) s->Visited = 1;
    };
    // A line waits on a side of a box square; a line leaves a box square in
    // a direction of the box.
    auto wait = [this, &at](int32_t x, int32_t y, TSide side, int32_t input, uint8_t open) {
        int32_t c = 0, r = 0;
        at(x, y, c, r);
        MarkGridCell(c, r, side, input, open);
    };
    auto leave = [this, &at, &queue](int32_t x, int32_t y, int32_t output, TDirection direction,
                                     uint8_t open) {
        int32_t c = 0, r = 0;
        at(x, y, c, r);
        LinkPortAt(c, r, output, ExitSide(direction), 0, open, queue);
    };
    // Whether the line came across a side of the box (not at its start).
    const bool started = record.Side >= SideStart;
    const TSide side = started ? TSide::Top : LocalSide(record.Side);
    auto cameAcross = [started, side](TSide s) { return !started && side == s; };
    const int32_t inputs = InputArrangement(), outputs = OutputArrangement();

    // The top row, unless it is taken or the common line's row comes later.
    const TSquareAnalysis* anchor = square(0, 0);
    if (!(anchor && anchor->Visited) && !(inputs == AutoMixCommonLine && cameAcross(TSide::Bottom))) {
        markRow(0);
        if (Variant == AutoMixFramedVariant) {
            if (inputs == AutoMixOneInput)
                wait(1, 0, TSide::Top, 0, 0);
            else
                wait(0, 0, TSide::Left, TypeCode == CodeAmplificatoreAt ? AutoMixBelowInput : 0, 1);
            leave(2, 0, AutoMixCommonOutput, TDirection::Right, 1);
        } else if (inputs == AutoMixOneInput) {
            wait(1, 0, TSide::Top, 0, 0);
        } else if (inputs == AutoMixTwoInputs) {
            wait(0, 0, TSide::Top, 0, 0);
            wait(2, 0, TSide::Top, 1, 0);
        } else if (inputs == AutoMixCommonLine && finalAmplifier && !cameAcross(TSide::Top)) {
            // Each corner links on to a chained neighbour, else waits for the line.
            struct TCorner {
                int32_t x;
                TDirection direction;
                TSide waitSide;
            };
            const TCorner corners[2] = {{0, TDirection::Left, TSide::Left},
                                        {2, TDirection::Right, TSide::Right}};
            for (int32_t k = 0; k < 2; ++k) {
                const auto [x, direction, waitSide] = corners[k];
                int32_t c = 0, r = 0;
                at(x, 0, c, r);
                const TDirection d = Transform().Apply(direction);
                StepTowards(d, c, r);
                if (FindChainNeighbour(c, r, d))
                    leave(x, 0, AutoMixCommonOutput, direction, 1);
                else
                    wait(x, 0, waitSide, k, 1);
            }
        } else if (inputs == AutoMixCommonLine && cameAcross(TSide::Top)) {
            // A line brought down from above (the jumpers over a row of
            // modules, or the bus under a turned final) enters at the corner
            // it reaches and goes on up from the other one.
            int32_t localColumn = 0, localRow = 0;
            LocalToGrid(localColumn, localRow, record.Column, record.Row);
            const int32_t entry = localColumn - Column >= AutoMixWidth - 1 ? AutoMixWidth - 1 : 0;
            wait(entry, 0, TSide::Top, 0, 0);
            leave(AutoMixWidth - 1 - entry, 0, AutoMixCommonOutput, TDirection::Up, 1);
        } else if (inputs == AutoMixCommonLine) {
            // The line enters at the corner it came from and goes on from the other.
            const bool fromRight = cameAcross(TSide::Right);
            wait(fromRight ? 2 : 0, 0, fromRight ? TSide::Right : TSide::Left, 0, 0);
            leave(fromRight ? 0 : 2, 0, AutoMixCommonOutput, fromRight ? TDirection::Left : TDirection::Right,
                  1);
        }
    }
    for (int32_t y = 1; y < AutoMixHeight - 1; ++y) markRow(y);

    const int32_t bottom = AutoMixHeight - 1;
    const TSquareAnalysis* bottomAnchor = square(0, bottom);
    if (bottomAnchor && bottomAnchor->Visited) return;
    if (outputs == AutoMixOutputOuter) {
        // A termination standing below an outer square closes input 2.
        const int32_t turned = finalAmplifier ? Orientation : 0;
        for (int32_t x : {0, AutoMixWidth - 1}) {
            int32_t c = 0, r = 0;
            at(x, bottom + 1, c, r);
            TCella* below = Owner ? Owner->CellAt(c, r) : nullptr;
            if (!below || below->TypeCode != CodeTermination || below->Orientation != turned) continue;
            if (TSquareAnalysis* s = Owner->AnalysisAt(c, r)) s->Visited = 1;
            if (InputCell.size() > static_cast<size_t>(AutoMixBelowInput)) {
                InputCell[AutoMixBelowInput] = below;
                InputPort[AutoMixBelowInput] = 0;
            }
            leave(AutoMixWidth - 1 - x, bottom, AutoMixOwnOutput, TDirection::Down, 0);
            markRow(bottom);
            return;
        }
        if (!cameAcross(TSide::Bottom)) {
            // A framed module hands its line on inside the frame: with nothing
            // below that could still feed it, its own output stays unused and
            // its bottom row is taken as it is. Otherwise the cell below comes
            // later.
            if (Variant == AutoMixFramedVariant && !CellBelowOuterSquare()) markRow(bottom);
            return;
        }
        markRow(bottom);
        int32_t localColumn = 0, localRow = 0;
        LocalToGrid(localColumn, localRow, record.Column, record.Row);
        const int32_t entry = localColumn - Column >= AutoMixWidth - 1 ? AutoMixWidth - 1 : 0;
        wait(entry, bottom, TSide::Bottom, AutoMixBelowInput, 0);
        leave(AutoMixWidth - 1 - entry, bottom, AutoMixOwnOutput, TDirection::Down, 0);
        return;
    }
    markRow(bottom);
    if (outputs == AutoMixOutputBypass) {
        wait(0, bottom, TSide::Bottom, AutoMixBypassInput, 0);
        leave(AutoMixWidth - 1, bottom, AutoMixOwnOutput, TDirection::Down, 0);
    } else {
        leave(1, bottom, AutoMixOwnOutput, TDirection::Down, 0);
    }
}

bool TCellaAutoMix::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    PlaceBox(record, queue, false);
    return true;
}

// ---- Names ----

void TCellaAutoMix::GetPortName(TInfoMousePos& position) {
    position.Input = position.TapOutput = position.ThroughOutput = -1;
    position.PortName = AnsiString();
    const TCellRect box = GetGridRect();
    int32_t column = position.Column, row = position.Row;
    if (Orientation != 0) {
        column = 2 * box.Left + AutoMixWidth - 1 - column;
        row = 2 * box.Top + AutoMixHeight - 1 - row;
    }
    const int32_t k = column - box.Left;
    if (k < 0 || k >= AutoMixWidth) return;
    if (row == box.Top) {
        switch (InputArrangement()) {
        case AutoMixOneInput:
            if (k == 1) {
                position.Input = 0;
                position.PortName = "ingresso";
            }
            break;
        case AutoMixTwoInputs:
            if (k != 1) {
                position.Input = k == 0 ? 0 : 1;
                position.PortName = "ingresso " + IntToStr(position.Input + 1);
            }
            break;
        case AutoMixCommonLine:
            if (k != 1) {
                position.ThroughOutput = AutoMixCommonOutput;
                position.PortName = "ingresso";
            }
            break;
        default: break;
        }
    } else if (row == box.Top + AutoMixHeight - 1) {
        switch (OutputArrangement()) {
        case AutoMixOutputCentre:
            if (k == 1) {
                position.ThroughOutput = AutoMixOwnOutput;
                position.PortName = "uscita";
            }
            break;
        case AutoMixOutputOuter:
            position.ThroughOutput = AutoMixOwnOutput;
            position.PortName = "uscita";
            break;
        case AutoMixOutputBypass:
            if (k == 0) {
                position.Input = AutoMixBypassInput;
                position.PortName = "bypass";
            } else if (k == 2) {
                position.ThroughOutput = AutoMixOwnOutput;
                position.PortName = "uscita";
            }
            break;
        default: break;
        }
    }
}

// ---- Symbol: a box inset in the frame, a stub at every port ----

void TCellaAutoMix::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                               int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    const int32_t w = SymbolState.W, h = SymbolState.H;
    constexpr int32_t Inset = 5;
    SymRectangle(Inset, Inset, w - Inset, h - Inset);
    if (Variant == AutoMixFramedVariant) SymRectangle(Inset + 2, Inset + 2, w - Inset - 2, h - Inset - 2);
    auto stub = [this](int32_t sx, int32_t y0, int32_t y1) {
        SymMoveTo(sx, y0);
        SymLineTo(sx, y1);
    };
    const int32_t left = 10, centre = w / 2, right = w - 10;
    switch (InputArrangement()) {
    case AutoMixOneInput: stub(centre, 0, Inset); break;
    case AutoMixTwoInputs:
        stub(left, 0, Inset);
        stub(right, 0, Inset);
        break;
    case AutoMixCommonLine:
        // The line runs across the box and leaves it at both top corners,
        // where the jumper or the cable from above meets it.
        SymMoveTo(0, 10);
        SymLineTo(w, 10);
        stub(left, 0, 10);
        stub(right, 0, 10);
        break;
    default: break;
    }
    switch (OutputArrangement()) {
    case AutoMixOutputCentre: stub(centre, h - Inset, h); break;
    case AutoMixOutputOuter:
    case AutoMixOutputBypass:
        stub(left, h - Inset, h);
        stub(right, h - Inset, h);
        break;
    default: break;
    }
}
