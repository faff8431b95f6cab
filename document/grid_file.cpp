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
// Before version 50000 the multiswitch of code 47 stored its outputs as through outputs.
constexpr int32_t MultiswitchCode = 47;

void Tell(AnsiString* problem, const AnsiString& text) {
    if (problem) *problem = text;
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

bool TGridData::Load(TStream& s, int32_t version, AnsiString* problem) {
    // A section that does not read leaves an empty grid rather than half of one.
    auto refuse = [this, problem](const AnsiString& text) {
        Clear();
        Tell(problem, text);
        return false;
    };
    if (!Signs->Load(s, version)) return refuse("I segni grafici dello schema sono danneggiati.");

    int anchors = 0;
    for (;;) {
        int32_t code = 0;
        if (!TryReadI32(s, code) || code == GridSectionTag) break;
        int32_t counts[3];
        for (int32_t& n : counts)
            if (!TryReadI32(s, n)) {
                Tell(problem, "Il file si interrompe nel mezzo di un componente.");
                MarkAllOutOfDate();
                return false;
            }
        if (version < V50000 && code == MultiswitchCode) {
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
        case TRecordResult::Truncated:
            // What was read before the end of the file stays.
            Tell(problem, "Il file si interrompe nel mezzo di un componente.");
            MarkAllOutOfDate();
            return false;
        case TRecordResult::Damaged: return refuse("I dati di un componente dello schema sono danneggiati.");
        }
        if (auto* old = dynamic_cast<TCavo*>(cell.get())) {
            // An old cable cell becomes its one or two cable segments.
            TCavo::TSegments segments = old->ToNCavo();
            if (segments.First) InsertCell(std::move(segments.First), false, 0);
            if (segments.Second) InsertCell(std::move(segments.Second), false, 0);
            continue;
        }
        TCella* placed = cell.get();
        if (InsertCell(std::move(cell), false, 0) && code == CodeHeadEnd) Anchor = placed;
    }
    MarkAllOutOfDate();
    return true;
}
