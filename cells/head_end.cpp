#include "cells/head_end.h"

#include <algorithm>

#include "core/file.h"
#include "cells/cell_grid.h"
#include "cells/cell_project.h"

namespace {
int32_t ClampLines(int32_t n) { return std::clamp(n, TTesta::MinLines, TTesta::MaxLines); }

// Records of this version and later carry the line count in the port counts.
constexpr int32_t VersionWithPortCounts = V20000;
}  // namespace

TTesta::TTesta(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
               int32_t lines)
    : TCella(owner, orientation, mirrored, column, row, ClampLines(lines), ClampLines(lines), 0) {
    TypeCode = CodeHeadEnd;
    Kind = CodeHeadEnd;
    SetPortCounts();
    Described = 1;
}

TTesta::~TTesta() = default;

TCellLayout TTesta::Layout() const {
    TCellLayout layout;
    layout.Width = NumThroughOutputs + 2;
    const bool headEnd = Owner && Owner->Kind == GridHeadEnd;
    for (int32_t i = 0; i < NumThroughOutputs; ++i)
        layout.Ports.push_back(headEnd ? TCellPort{TPortKind::Input, i, 1 + i, 0, TSide::Top}
                                       : TCellPort{TPortKind::Through, i, 1 + i, 0, TSide::Bottom});
    return layout;
}

void TTesta::Load(TStream& stream, int32_t version) {
    TCella::Load(stream, version);
    if (version < VersionWithPortCounts) {
        const int32_t n = ReadI32(stream);
        if (n < MinLines || n > MaxLines)
            throw EReadError("Numero di linee della centrale di testa non valido");
        Inputs = ThroughOutputs = n;
        SetPortCounts();
    }
    Described = 1;
}

void TTesta::SetPortCounts() {
    TCella::SetPortCounts();
    TableRows = 0;
    TableColumns = 0;
    MatrixColumns = 0;
}

bool TTesta::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    // A line of the network may end open and needs no termination, so an
    // untouched project analyses cleanly.
    PlacePorts(layout, TLineEnds{0, 0, 1}, queue);
    return true;
}

bool TTesta::IsEstimateItem() const { return false; }

TCellDescription TTesta::Describe() const {
    TCellDescription d;
    d.TypeName = Owner && Owner->Kind == GridHeadEnd ? "Rete di distribuzione " : "Centrale di testa ";
    d.Roles = RoleGridAnchor;
    d.Sheet.Use = TSheetUse::Nothing;
    return d;
}

bool TTesta::IsSignalStart() const { return Row == 0; }

namespace {
// True when a terminal can stand on n + 2 squares: every square it needs lies
// on its grid and is empty or its own.
bool HasRoomForLines(const TTesta& terminal, int32_t n) {
    const TCellGrid* grid = terminal.Owner;
    if (!grid) return true;
    for (int32_t c = terminal.Column; c <= terminal.Column + n + 1; ++c) {
        if (!grid->Inside(c, terminal.Row)) return false;
        const TCella* there = grid->CellAt(c, terminal.Row);
        if (there && there != &terminal) return false;
    }
    return true;
}
}  // namespace

// The two terminals are one component: both take the new count, or, when
// either has no room for it, neither does.
void TTesta::SetLineCount(int32_t n) {
    if (n < MinLines || n > MaxLines || n == NumThroughOutputs) return;
    TTesta* partner = nullptr;
    if (TCellProject* project = Owner ? Owner->CellProject() : nullptr) {
        TCellGrid* other = Owner == project->HeadEndCellGrid()   ? project->NetworkCellGrid()
                           : Owner == project->NetworkCellGrid() ? project->HeadEndCellGrid()
                                                           : nullptr;
        if (other && other != Owner) partner = dynamic_cast<TTesta*>(other->Anchor);
        if (partner == this || (partner && partner->NumThroughOutputs == n)) partner = nullptr;
    }
    if (!HasRoomForLines(*this, n) || (partner && !HasRoomForLines(*partner, n))) return;
    ApplyLineCount(n);
    if (partner) partner->ApplyLineCount(n);
}

void TTesta::ApplyLineCount(int32_t n) {
    // Neighbours linked to lines that go away forget this terminal, so no pass
    // reaches past its new port table.
    for (size_t i = static_cast<size_t>(n); i < InputCell.size(); ++i)
        if (TCella* up = InputCell[i])
            for (size_t j = 0; j < up->OutputCell.size(); ++j)
                if (up->OutputCell[j] == this && up->OutputPort[j] == static_cast<int32_t>(i)) {
                    up->OutputCell[j] = nullptr;
                    up->OutputPort[j] = -1;
                }
    for (size_t i = static_cast<size_t>(n); i < OutputCell.size(); ++i)
        if (TCella* down = OutputCell[i])
            for (size_t j = 0; j < down->InputCell.size(); ++j)
                if (down->InputCell[j] == this && down->InputPort[j] == static_cast<int32_t>(i)) {
                    down->InputCell[j] = nullptr;
                    down->InputPort[j] = -1;
                }

    InputLevels.Free();
    OutputLevels.Free();
    ReachLevels.Free();
    ChannelLists.clear();
    Inputs = ThroughOutputs = n;
    SetPortCounts();
    InputPort.resize(static_cast<size_t>(NumInputs), -1);
    InputCell.resize(static_cast<size_t>(NumInputs), nullptr);
    OutputPort.resize(static_cast<size_t>(NumOutputs), -1);
    OutputCell.resize(static_cast<size_t>(NumOutputs), nullptr);

    if (Owner) {
        for (int32_t c = Column + 1; c <= Column + n + 1; ++c) {
            if (!Owner->Inside(c, Row)) continue;
            TCella* there = Owner->CellAt(c, Row);
            if (!there) Owner->PutOnSquare(c, Row, this);
        }
        for (int32_t c = Column + n + 2; c <= Column + MaxLines + 1; ++c) {
            if (!Owner->Inside(c, Row) || Owner->CellAt(c, Row) != this) continue;
            Owner->PutOnSquare(c, Row, nullptr);
            Owner->RepaintSquare(c, Row);
        }
    }
    InvalidateArea();
}
