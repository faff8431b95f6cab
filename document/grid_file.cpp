// The grid section of a project file: TGridData::Save and TGridData::Load.
//
//   int32 205, int32 kind, int32 columns, int32 rows
//   the sign block of the grid's graphic signs
//   the cell records, column by column and row by row, each cell once (at the
//   first square of its rectangle), followed by the record of its overlay
//   int32 205
#include <unordered_set>

#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/factory.h"
#include "cells/record.h"
#include "core/file.h"
#include "core/record_versions.h"
#include "document/grid.h"
#include "document/signs.h"

namespace {

constexpr int32_t GridSectionTag = 205;
// Before version 50000 the multiswitch of code 47 (CodeSwitchN) stored its
// outputs as through outputs.

void Tell(AnsiString* problem, const AnsiString& text) {
    if (problem) *problem = text;
}

// Positions the record reader takes for damage.
constexpr int32_t MaxGridExtent = 1 << 16;

// "Il componente <type> <code> in colonna C, riga R": a cell named in a refusal.
AnsiString NamedCell(const TCella& cell) {
    AnsiString name = cell.GetTypeName();
    if (!cell.Code.empty()) name += " " + cell.Code;
    return "Il componente " + name + " in colonna " + IntToStr(cell.Column) + ", riga " + IntToStr(cell.Row);
}

}  // namespace

void TGridData::Save(TStream& s, int32_t version) {
    WriteI32(s, GridSectionTag);
    WriteI32(s, Kind);
    WriteI32(s, Columns);
    WriteI32(s, Rows);
    Signs->Save(s, version);
    std::unordered_set<const TCella*> written;
    for (int32_t c = 0; c < Columns; ++c) {
        for (int32_t r = 0; r < Rows; ++r) {
            TCella* cell = CellAt(c, r);
            if (!cell || !written.insert(cell).second) continue;
            cell->Save(s, version);
            if (TCella* overlay = cell->Overlay) {
                written.insert(overlay);
                overlay->Save(s, version);
            }
        }
    }
    WriteI32(s, GridSectionTag);
}

bool TGridData::PlaceLoadedCell(std::unique_ptr<TCella> cell, AnsiString* problem) {
    if (!cell) return false;
    const TCellRect rect = cell->GetGridRect();
    const bool anchor = cell->HasRole(RoleGridAnchor);
    auto refuse = [&](const char* why) {
        Tell(problem, NamedCell(*cell) + " " + why);
        return false;
    };
    const bool onGrid = rect.Left >= 0 && rect.Top >= 0 && rect.Right < Columns && rect.Bottom < Rows &&
                        rect.Left <= rect.Right && rect.Top <= rect.Bottom;
    if (!onGrid || (!anchor && !InsideUsableArea(rect))) return refuse("cade fuori dallo schema.");
    // A file holds each square's cell once, and a crossing cable as the
    // overlay of the other: a cell that would take another's place is damage.
    if (!cell->CanOverlapCell()) {
        for (int32_t c = rect.Left; c <= rect.Right; ++c)
            for (int32_t r = rect.Top; r <= rect.Bottom; ++r)
                if (CellAt(c, r)) return refuse("si sovrappone a un altro componente.");
    } else if (const TCella* there = CellAt(rect.Left, rect.Top)) {
        if (!there->CanOverlapCell() || there->Orientation == cell->Orientation || there->Overlay)
            return refuse("si sovrappone a un altro componente.");
    }
    TCella* placed = cell.get();
    const int32_t code = cell->TypeCode;
    const AnsiString named = NamedCell(*cell);
    if (!InsertCell(std::move(cell), false, 0)) {
        Tell(problem, named + " non può essere collocato sullo schema.");
        return false;
    }
    if (code == CodeHeadEnd) Anchor = placed;
    return true;
}

bool TGridData::Load(TStream& s, int32_t version, AnsiString* problem) {
    // A section that does not read leaves an empty grid rather than half of
    // one: the section ends with its end mark, and every cell it holds is
    // placed.
    auto refuse = [this, problem](const AnsiString& text) {
        Clear();
        Tell(problem, text);
        return false;
    };
    if (!Signs->Load(s, version)) return refuse("I segni grafici dello schema sono danneggiati.");

    int anchors = 0;
    for (;;) {
        int32_t code = 0;
        if (!TryReadI32(s, code)) return refuse("Il file si interrompe prima della fine di uno schema.");
        if (code == GridSectionTag) break;
        int32_t counts[3];
        for (int32_t& n : counts)
            if (!TryReadI32(s, n)) return refuse("Il file si interrompe nel mezzo di un componente.");
        if (version < V50000 && code == CodeSwitchN) {
            counts[2] = counts[1];
            counts[1] = 0;
        }
        if (code == CodeHeadEnd && ++anchors > 1)
            return refuse("Lo schema contiene più di una centrale di testa.");
        std::unique_ptr<TCella> cell = NewCella(this, code, 0, 0, counts[0], counts[1], counts[2]);
        if (!cell)
            return refuse("Lo schema contiene un componente di tipo sconosciuto (" + IntToStr(code) +
                          ") o con un numero di porte non valido.");
        switch (ReadCellRecord(*cell, s, version)) {
        case TRecordResult::Ok: break;
        case TRecordResult::Truncated: return refuse("Il file si interrompe nel mezzo di un componente.");
        case TRecordResult::Damaged:
            // A position no grid has is named as such; other damage is not the cell's place.
            if (cell->Column < 0 || cell->Row < 0 || cell->Column >= MaxGridExtent || cell->Row >= MaxGridExtent)
                return refuse(NamedCell(*cell) + " cade fuori dallo schema.");
            return refuse("I dati di un componente dello schema sono danneggiati.");
        }
        AnsiString why;
        if (auto* old = dynamic_cast<TCavo*>(cell.get())) {
            // An old cable cell becomes its one or two cable segments.
            TCavo::TSegments segments = old->ToNCavo();
            for (auto* piece : {&segments.First, &segments.Second})
                if (*piece && !PlaceLoadedCell(std::move(*piece), &why)) return refuse(why);
            continue;
        }
        if (!PlaceLoadedCell(std::move(cell), &why)) return refuse(why);
    }
    MarkAllOutOfDate();
    return true;
}
