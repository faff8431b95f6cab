// Amplifiers: construction, port model, layout and placement, port names,
// numbering, prototypes, older records, mirroring and the library answers.
#include "cells/amplifiers.h"

#include <algorithm>

#include "cells/factory.h"
#include "cells/mouse_info.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "core/file.h"
#include "cells/cell_grid.h"

namespace {

constexpr int32_t VersionWithPortCounts = V20000;
constexpr int32_t VersionWithRegulationGroups = V40000;
constexpr int32_t VersionWithCurrentAnchor = V50000;
// Up to this version codes 21 and 22 stored their columns in another order.
constexpr int32_t LastVersionOldColumnOrder = V50000;
// Stored column k of that order is column OldColumnOrder[k] today's.
constexpr int32_t OldColumnOrder[AmpColumns] = {5, 6, 0, 4, 1, 2, 3};

// A copy of every column of a row, for reordering in place.
void ReorderOldColumns(TInfo& table, int32_t rows) {
    if (table.Rank() != 3 || !table.HasBlocks3() || table.Size3() < AmpColumns) return;
    for (int32_t r = 0; r < std::min(rows, table.Size2()); ++r) {
        TInfo::Block block = table.Block3(r);
        if (!block) continue;
        TInfo::Row stored[AmpColumns];
        std::copy(block, block + AmpColumns, stored);
        for (int32_t k = 0; k < AmpColumns; ++k) block[k] = stored[OldColumnOrder[k]];
    }
}

// Rebuilds column target of every row from column source: equal neighbouring
// bands become one group.
void GroupRegulation(TInfo& table, int32_t rows, int32_t source, int32_t target) {
    for (int32_t r = 0; r < std::min(rows, table.Size2()); ++r) {
        if (table.Rank() != 3 || !table.Block3(r)) continue;
        float from[BandSlots];
        float to[BandSlots];
        for (int32_t b = 0; b < BandSlots; ++b) from[b] = table.Get3(r, source, b);
        TCella::NormaliseBandLevels(from, to);
        for (int32_t b = 0; b < BandSlots; ++b) table.Set3(r, target, b, to[b]);
    }
}

// Records before the port counts describe a one-way cell whose counts follow
// the base record: the table is rebuilt for the counts read, row 0 kept, and
// the further rows follow.
template <class SetCounts>
void RebuildForOldCounts(TCella& cell, TStream& stream, int32_t version, SetCounts setCounts) {
    float first[AmpColumns][BandSlots];
    for (int32_t k = 0; k < AmpColumns; ++k)
        for (int32_t b = 0; b < BandSlots; ++b) first[k][b] = cell.Attenuation->Get3(0, k, b);
    setCounts();
    cell.SetPortCounts();
    cell.Attenuation->Init(0, cell.TableRows, cell.TableColumns, BandSlots);
    cell.Attenuation->Allocate();
    for (int32_t k = 0; k < std::min<int32_t>(AmpColumns, cell.TableColumns); ++k)
        for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, k, b, first[k][b]);
    LoadLevelRows(cell, stream, version);
}

bool ValidOldCount(int32_t n) { return n >= 1 && n <= MaxPortCount; }

}  // namespace

// ---- Rows that stay with their ports ----

void ReverseRows(TInfo& table, int32_t n) {
    if (table.Rank() != 3) return;
    table.ReverseBlocks3(n);
}

// ---- Construction ----

TAmplificatore::TAmplificatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                               int32_t row, int32_t code, int32_t inputs, int32_t throughOutputs)
    : TCella(owner, orientation, mirrored, column, row, inputs, throughOutputs, 0) {
    TypeCode = code;
    Kind = KindAmplifier;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Category = "Amplificatori";
}

TAmplificatore::~TAmplificatore() = default;

void TAmplificatore::ConvertOldFlags(const uint8_t (&f)[5]) {
    if (f[4] == 0) Positions[0] &= ~(PositionLine | PositionFirstOfLine | PositionLastOfLine);
    if (f[3] == 0) Positions[0] &= ~PositionSubstation;
    if (f[0]) Power[PowerSupply][PowerFlags] |= PowerExternal;
}

TAmplificatoreA::TAmplificatoreA(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                                 int32_t row, int32_t inputs, int32_t throughOutputs)
    : TAmplificatore(owner, orientation, mirrored, column, row, CodeAmplificatore, inputs, throughOutputs) {
    TypeCode = CodeAmplificatoreA;
}

TAmplificatoreA::~TAmplificatoreA() = default;

void TAmplificatoreA::ConvertOldFlags(const uint8_t (&f)[5]) { TCella::ConvertOldFlags(f); }

void SetLinePortCounts(TCella& cell) {
    cell.NumInputs = std::max<int32_t>(0, cell.Inputs);
    cell.NumTapOutputs = 0;
    cell.NumThroughOutputs = std::max<int32_t>(0, cell.ThroughOutputs);
    cell.NumOutputs = cell.NumThroughOutputs;
    cell.TableRows = cell.NumInputs;
    cell.TableColumns = AmpColumns;
    cell.MatrixColumns = 0;
}

void TAmplificatore::SetPortCounts() { SetLinePortCounts(*this); }

// ---- Layout ----

TCellLayout TAmplificatore::Layout() const {
    TCellLayout layout;
    const int32_t m = NumThroughOutputs;
    if (m <= 1) {
        // One square: the line comes in at the top and leaves at the bottom.
        for (int32_t i = 0; i < std::min<int32_t>(NumInputs, 1); ++i)
            layout.Ports.push_back({TPortKind::Input, 0, 0, 0, TSide::Top});
        if (m == 1) layout.Ports.push_back({TPortKind::Through, 0, 0, 0, TSide::Bottom});
        return layout;
    }
    layout.Width = m;
    layout.Height = Variant == 1 ? 3 : 2;
    if (NumInputs == m)
        for (int32_t i = 0; i < m; ++i) layout.Ports.push_back({TPortKind::Input, i, i, 0, TSide::Top});
    else if (NumInputs >= 1)
        layout.Ports.push_back({TPortKind::Input, 0, (m - 1) / 2, 0, TSide::Top});
    for (int32_t k = 0; k < m; ++k)
        layout.Ports.push_back({TPortKind::Through, k, k, layout.Height - 1, TSide::Bottom});
    return layout;
}

bool TAmplificatore::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    if (NumThroughOutputs == 1) return TCella::PlaceOnGrid(record, queue);
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    PlacePorts(layout, TLineEnds{record.NeedsTermination, record.NeedsTermination, 0}, queue);
    return true;
}

void TAmplificatore::GetPortName(TInfoMousePos& position) {
    if (NumThroughOutputs == 1) {
        TCella::GetPortName(position);
        return;
    }
    position.Input = position.TapOutput = position.ThroughOutput = -1;
    position.PortName = AnsiString();
    const TCellLayout layout = Layout();
    const TCellPort* port = PortUnder(layout, position);
    if (!port) return;
    if (port->Kind == TPortKind::Input) {
        position.Input = port->Index;
        position.PortName = NumInputs == 1 ? AnsiString("ingresso") : "ingresso " + IntToStr(port->Index + 1);
    } else {
        position.ThroughOutput = port->Index;
        position.PortName = "uscita " + IntToStr(port->Index + 1);
    }
}

// ---- Texts, numbering, prototypes ----

// Two series per code: n lines through n ways, and one line to n outputs.
TCella* TAmplificatore::GetPrototype() const {
    if (NumInputs == NumThroughOutputs) return FindPrototype({TypeCode, NumInputs, 0, 0});
    if (NumInputs != 1) return nullptr;
    return FindPrototype({TypeCode, NumThroughOutputs, 0, 1});
}

bool TAmplificatore::AllowsAutoChoice() const { return false; }

// ---- Older records ----

void TAmplificatore::Load(TStream& stream, int32_t version) {
    const bool old = version < VersionWithPortCounts;
    if (old) {
        Inputs = 1;
        ThroughOutputs = 1;
    } else if (Inputs < 1 || ThroughOutputs < 1 || (Inputs != ThroughOutputs && Inputs != 1)) {
        // The passes keep one row per input and one window per output: any
        // other shape would send them past the tables.
        throw EReadError("Numero di ingressi e uscite dell'amplificatore non valido");
    }
    TCella::Load(stream, version);
    if (old) {
        const int32_t count = ReadI32(stream);
        if (!ValidOldCount(count)) throw EReadError("Numero di ingressi dell'amplificatore non valido");
        RebuildForOldCounts(*this, stream, version, [this, count] { Inputs = ThroughOutputs = count; });
    }
    if (version < VersionWithRegulationGroups && TypeCode == CodeAmplificatoreRegolato)
        GroupRegulation(*Attenuation, TableRows, 0, 4);  // stored order: regulation, ..., largest regulation
    // A corner far beyond any grid is left as read, for the record check to refuse.
    constexpr int32_t FarBeyondAnyGrid = 1 << 24;
    const bool placed = Column >= 0 && Column < FarBeyondAnyGrid && Row >= 0 && Row < FarBeyondAnyGrid;
    if (version < VersionWithCurrentAnchor && NumThroughOutputs > 1 && placed) {
        // The anchor stood one square further along the outputs.
        int32_t c = 0, r = 0;
        GridToLocal(c, r, Column - 1, Row);
        Column = c;
        Row = r;
        Variant = 1;
    }
    if (version <= LastVersionOldColumnOrder && TypeCode != CodeAmplificatoreA)
        ReorderOldColumns(*Attenuation, TableRows);
}

void TAmplificatoreA::Load(TStream& stream, int32_t version) {
    TAmplificatore::Load(stream, version);
    if (version < VersionWithRegulationGroups)
        GroupRegulation(*Attenuation, TableRows, AgcRegulation, AgcMaxRegulation);
}

// ---- Turn and mirror ----

bool TAmplificatore::Mirror() {
    TCella::Mirror();
    if (Orientation % 2 == 0 && NumThroughOutputs > 1 && NumInputs == NumThroughOutputs)
        ReverseRows(*Attenuation, NumInputs);
    return true;
}

// ---- Library answers ----

bool TAmplificatore::IsSameKind(const TCella* other) const {
    if (other && (TypeCode == CodeAmplificatore || TypeCode == CodeAmplificatoreRegolato) &&
        (Positions[1] & SecondPositionEitherAmplifier))
        return (other->TypeCode == CodeAmplificatore || other->TypeCode == CodeAmplificatoreRegolato) &&
               other->Inputs == Inputs && other->ThroughOutputs == ThroughOutputs &&
               other->TapOutputs == TapOutputs;
    return TCella::IsSameKind(other);
}

void TAmplificatore::ComputeBandMask() {
    BandMask = 0;
    for (int32_t r = 0; r < TableRows; ++r)
        for (int32_t b = 0; b < BandSlots; ++b)
            if (Attenuation->Get3(r, AmpGain, b) != LevelNone) BandMask |= 1u << b;
}

void TAmplificatore::AdjustLossTables() {
    if (TypeCode == CodeAmplificatore) return;
    for (int32_t r = 0; r < TableRows; ++r)
        for (int32_t b = 0; b < BandSlots; ++b)
            if (Attenuation->Get3(r, AmpRegulation, b) > 0.0f) Attenuation->Set3(r, AmpRegulation, b, 0.0f);
}

// ---- The wide-band amplifier / mixer ----

TTerrestre::TTerrestre(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                       int32_t inputs, int32_t throughOutputs)
    : TCella(owner, orientation, mirrored, column, row, inputs, throughOutputs, 0) {
    TypeCode = CodeTerrestre;
    Kind = KindWideBand;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Category = "Amplificatori LB";
}

TTerrestre::~TTerrestre() = default;

void TTerrestre::SetPortCounts() { SetLinePortCounts(*this); }

// Inputs along the top row, outputs along the row two below, each row
// centred on the block; a short row keeps to the block's inner squares.
TCellLayout TTerrestre::Layout() const {
    TCellLayout layout;
    const int32_t n = NumInputs, m = NumThroughOutputs;
    const int32_t w = std::max({n, m, 3});
    layout.Width = w;
    layout.Height = 3;
    auto outer = [w](int32_t d, int32_t a, int32_t b, bool shortRow) {
        return d < a || d >= w - b || (shortRow && (d == 0 || d == w - 1));
    };
    int32_t next = 0;
    for (int32_t d = 0; d < w && next < n; ++d) {
        const bool takes =
            !outer(d, (m - n) / 2, (m + 1 - n) / 2, m < 3) || (m <= 2 && (n >= 3 || (n >= 2 && d == 0)));
        if (takes) layout.Ports.push_back({TPortKind::Input, next++, d, 0, TSide::Top});
    }
    next = 0;
    for (int32_t d = 0; d < w && next < m; ++d) {
        const bool takes =
            !outer(d, (n + 1 - m) / 2, (n - m) / 2, n < 3) || (n <= 2 && (m >= 3 || (m >= 2 && d == w - 1)));
        if (takes) layout.Ports.push_back({TPortKind::Through, next++, d, 2, TSide::Bottom});
    }
    return layout;
}

bool TTerrestre::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    PlacePorts(layout, TLineEnds{}, queue);
    return true;
}

void TTerrestre::GetPortName(TInfoMousePos& position) {
    position.Input = position.TapOutput = position.ThroughOutput = -1;
    position.PortName = AnsiString();
    const TCellLayout layout = Layout();
    const TCellPort* port = PortUnder(layout, position);
    if (!port) return;
    if (port->Kind == TPortKind::Input) {
        position.Input = port->Index;
        position.PortName = "ingresso " + IntToStr(port->Index + 1);
    } else {
        position.ThroughOutput = 0;
        position.PortName = "uscita";
    }
}

TCella* TTerrestre::GetPrototype() const {
    return FindPrototype({TypeCode, NumInputs, NumThroughOutputs, 0});
}

void TTerrestre::Load(TStream& stream, int32_t version) {
    const bool old = version < VersionWithPortCounts;
    if (old) {
        Inputs = 1;
        ThroughOutputs = 1;
    }
    TCella::Load(stream, version);
    if (old) {
        const int32_t inputs = ReadI32(stream);
        const int32_t outputs = version >= V10002 ? ReadI32(stream) : 1;
        if (!ValidOldCount(inputs) || !ValidOldCount(outputs))
            throw EReadError("Numero di ingressi o uscite dell'amplificatore non valido");
        RebuildForOldCounts(*this, stream, version, [this, inputs, outputs] {
            Inputs = inputs;
            ThroughOutputs = outputs;
        });
    }
    if (version < VersionWithRegulationGroups)
        GroupRegulation(*Attenuation, TableRows, WideRegulation, WideMaxRegulation);
}

bool TTerrestre::Mirror() {
    TCella::Mirror();
    if (Orientation % 2 == 0 && NumInputs >= 2) ReverseRows(*Attenuation, NumInputs);
    return true;
}

bool TTerrestre::Rotate(int32_t) { return false; }

void TTerrestre::AdjustLossTables() {
    for (int32_t r = 0; r < TableRows; ++r)
        for (int32_t b = 0; b < BandSlots; ++b)
            if (Attenuation->Get3(r, WideRegulation, b) > 0.0f) Attenuation->Set3(r, WideRegulation, b, 0.0f);
}
