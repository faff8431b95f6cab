// The project body of a ".ant" file: TProgetto::Save and TProgetto::Load.
//
// Version 20000 and later:
//   header texts 1-21, 23, 24, 25, 22, 26 (chunked, each with its maximum);
//   13 reserved chunked strings; texts 27-29; byte A; byte B;
//   tagged sections (int32 tag, body) to the end of the file:
//     200 estimate, 205 grid (kind, columns, rows, body), 207 mast,
//     208 design settings, 209 lightning then design settings;
//     201 and 204 estimate rows, 202 and 203 estimate notes of older files.
// Versions 10000-19999: seven raw texts, then tagged sections, where any tag
// that is no section is the type code of a cell whose record follows.
// Version 1: seven raw texts and a mast body.
#include <iterator>
#include <memory>

#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/factory.h"
#include "cells/record.h"
#include "core/file.h"
#include "core/record_versions.h"
#include "document/design_settings.h"
#include "document/estimate.h"
#include "document/grid.h"
#include "document/lightning.h"
#include "document/mast.h"
#include "document/project.h"
#include "document/project_files.h"

namespace {

constexpr int32_t OldGridSize = 50;
constexpr int32_t TagGrid = 205;
constexpr int32_t TagMast = 207;
// Header texts of files below version 20000: raw arrays of these widths.
constexpr int OldHeaderWidths[] = {51, 51, 51, 21, 21, 21, 12};
// Order of the header texts on file (indexes from 0).
constexpr int HeaderFileOrder[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                   13, 14, 15, 16, 17, 18, 19, 20, 22, 23, 24, 21, 25};
constexpr int ReservedTexts = 13;
constexpr int ReservedTextMax = 10;
constexpr int FurtherTextFirst = 26;

[[noreturn]] void Damaged(const AnsiString& problem = {}) { throw EProjectDamaged(problem); }

bool IsSectionTag(int32_t tag) { return (tag >= 200 && tag <= 205) || (tag >= 207 && tag <= 209); }

// The sections a whole file of the version holds: every writer writes the
// estimate and both grids, and since version 50000 the designer's data last.
struct TSectionsFound {
    bool Estimate = false;
    bool Grid[2] = {false, false};
    bool Design = false;
};

void CheckWhole(const TSectionsFound& found, int32_t version) {
    if (version < V20000) return;
    if (!found.Estimate || !found.Grid[GridHeadEnd] || !found.Grid[GridNetwork] ||
        (version >= V50000 && !found.Design))
        Damaged("Il file si interrompe prima della fine del progetto.");
}

// A cell written in place by files below version 20000; it goes on the
// network grid, an old cable as its segments. A cell that cannot be placed
// refuses the file.
void LoadInlineCell(TProgetto& project, int32_t code, TStream& s, int32_t version) {
    TProgettoInCaricamento loading(&project);
    TGridData* grid = project.NetworkGrid;
    std::unique_ptr<TCella> cell(NewCella(grid, code, 0, 0, 0, 0, 0));
    if (!cell) Damaged();
    switch (ReadCellRecord(*cell, s, version)) {
    case TRecordResult::Ok: break;
    case TRecordResult::Truncated: Damaged("Il file si interrompe nel mezzo di un componente.");
    case TRecordResult::Damaged: Damaged("I dati di un componente dello schema sono danneggiati.");
    }
    AnsiString problem;
    if (auto* old = dynamic_cast<TCavo*>(cell.get())) {
        TCavo::TSegments segments = old->ToNCavo();
        for (auto* piece : {&segments.First, &segments.Second})
            if (*piece && !grid->PlaceLoadedCell(std::move(*piece), &problem)) Damaged(problem);
        return;
    }
    if (!grid->PlaceLoadedCell(std::move(cell), &problem)) Damaged(problem);
}

void LoadGridSection(TProgetto& project, TStream& s, int32_t version, TSectionsFound& found) {
    const int32_t kind = ReadI32(s);
    const int32_t columns = ReadI32(s);
    const int32_t rows = ReadI32(s);
    if (kind != GridHeadEnd && kind != GridNetwork) Damaged();
    if (columns < 1 || columns > MaxProjectGridSize || rows < 1 || rows > MaxProjectGridSize) Damaged();
    // Each grid is written once: a second section of a kind is damage.
    if (found.Grid[kind]) Damaged();
    found.Grid[kind] = true;
    TGridData* grid = kind == GridHeadEnd ? project.HeadEndGrid : project.NetworkGrid;
    AnsiString problem;
    if (!grid->Resize(columns, rows)) Damaged();
    if (!grid->Load(s, version, &problem)) Damaged(problem);
}

}  // namespace

void TProgetto::Save(TStream& s, int32_t version) const {
    for (int i : HeaderFileOrder) chunked::WriteAnsiString(s, HeaderTexts[i], HeaderTextMax[i]);
    for (int i = 0; i < ReservedTexts; ++i) chunked::WriteAnsiString(s, "", ReservedTextMax);
    for (int i = FurtherTextFirst; i < HeaderTextCount; ++i)
        chunked::WriteAnsiString(s, HeaderTexts[i], HeaderTextMax[i]);
    WriteU8(s, ReservedNumber);
    WriteU8(s, static_cast<uint8_t>(ReservedLetter));
    WriteI32(s, TagEstimate);
    Estimate->Save(s, version);
    HeadEndGrid->Save(s, version);
    NetworkGrid->Save(s, version);
    WriteI32(s, TagMast);
    Mast->Save(s, version);
    // The designer's settings follow the lightning data: one section holds both.
    WriteI32(s, TagLightning);
    Lightning->Save(s);
    DesignSettings().SaveBody(s);
}

void TProgetto::Load(TStream& s, int32_t version, TOpzProgetto& design) {
    Reset(false);
    if (version >= 2 && version < V20000) {
        HeadEndGrid->Resize(OldGridSize, OldGridSize);
        NetworkGrid->Resize(OldGridSize, OldGridSize);
    }
    if (version < V20000) {
        for (int i = 0; i < static_cast<int>(std::size(OldHeaderWidths)); ++i)
            HeaderTexts[i] = ReadRawText(s, OldHeaderWidths[i]);
    }
    bool designFound = false;
    if (version == ProjectVersionMastOnly) {
        Mast->Load(s, version);
    } else {
        if (version >= V20000) {
            for (int i : HeaderFileOrder) HeaderTexts[i] = chunked::ReadAnsiString(s, HeaderTextMax[i]);
            for (int i = 0; i < ReservedTexts; ++i) chunked::ReadAnsiString(s, ReservedTextMax);
            for (int i = FurtherTextFirst; i < HeaderTextCount; ++i)
                HeaderTexts[i] = chunked::ReadAnsiString(s, HeaderTextMax[i]);
            ReservedNumber = ReadU8(s);
            ReservedLetter = static_cast<char>(ReadU8(s));
        }
        TSectionsFound found;
        for (;;) {
            // The sections end with the file; a file that ends inside a tag is cut.
            const int64_t left = s.Size() - s.Position();
            if (left <= 0) break;
            if (left < 4) Damaged("Il file si interrompe nel mezzo di una sezione.");
            const int32_t tag = ReadI32(s);
            if (version >= V20000 && !IsSectionTag(tag)) Damaged();
            switch (tag) {
            case TagEstimate:
                Estimate->Load(s, version);
                found.Estimate = true;
                break;
            case TagEstimateRows:
            case TagEstimateRowsMinutes: Estimate->LoadOldRows(s, tag, version); break;
            case TagEstimateNotes121: Estimate->LoadOldNotes(s, 121); break;
            case TagEstimateNotes201:
                if (version < V20000) Estimate->LoadOldNotes(s, EstimateNotesSize);
                break;
            case TagGrid: LoadGridSection(*this, s, version, found); break;
            case TagMast: Mast->Load(s, version); break;
            case TagDesignSettings:
                design.Load(s, version);
                designFound = true;
                found.Design = true;
                break;
            case TagLightning:
                Lightning->LoadFromStream(s);
                design.Load(s, version);
                designFound = true;
                found.Design = true;
                break;
            default: LoadInlineCell(*this, tag, s, version); break;
            }
        }
        CheckWhole(found, version);
    }
    // Without a terminal nothing could be connected on a grid.
    for (TGridData* grid : {NetworkGrid, HeadEndGrid})
        if (!grid->Anchor && !grid->HasComponents()) InsertAnchor(grid);
    const bool estimateOutOfDate = EstimateOutOfDate;
    MarkLoaded();
    EstimateOutOfDate = estimateOutOfDate;
    DesignPending = !designFound;
}
