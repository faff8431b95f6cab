// The small choosers of the head-end blocks: a channel filter for a channel,
// a converter for a satellite transponder and the power supply of a block,
// each of one family (brand and series) of the chosen components; and the
// placing of a cell on a head-end work grid, which refuses to cover a cell
// already drawn there.
#include <algorithm>
#include <memory>

#include "autodesign/engine.h"
#include "cells/active_filters.h"
#include "cells/graphic_cells.h"
#include "cells/terminations.h"
#include "core/channels.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/grid.h"

namespace {

constexpr int32_t ModuleOutputs = 3;  // the output arrangement of a chained module
constexpr int32_t ConverterInputs = 3;

const TModuloFiltro* FirstModule(const TCella& cell) {
    const auto* mix = dynamic_cast<const TCellaAutoMix*>(&cell);
    return mix && mix->Modules ? mix->Modules->head : nullptr;
}

float Draw(const TCella& cell) { return std::max(cell.Current1, 0.0f); }

// The first filter of a type that passes the channel whole.
TCella* FindFilter(TCella* list, int32_t type, const AnsiString& brand, const AnsiString& series,
                   const TCanale& channel, int32_t inputs, const AnsiString* code) {
    for (TCella* c = list; c; c = c->NextInList) {
        if (c->TypeCode != type || c->ThroughOutputs != ModuleOutputs ||
            (inputs != 0 && c->Inputs != inputs) || c->Series != series || c->Brand != brand ||
            (code && c->Code != *code))
            continue;
        const TModuloFiltro* m = FirstModule(*c);
        if (m && m->slotLow[ModuleInputSlot] <= channel.freqLow &&
            channel.freqHigh <= m->slotHigh[ModuleInputSlot])
            return c;
    }
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------- placing

TCella* TCreaAuto::PlaceNew(std::unique_ptr<TCella> cell, TGridData* grid) {
    if (!cell || !grid) return nullptr;
    const TCellRect rect = cell->GetGridRect();
    bool free = grid->InsideUsableArea(rect);
    for (int32_t c = rect.Left; free && c <= rect.Right; ++c)
        for (int32_t r = rect.Top; free && r <= rect.Bottom; ++r) free = grid->CellAt(c, r) == nullptr;
    TCella* placed = cell.get();
    const AnsiString what = cell->Code.empty() ? AnsiString("un componente") : "il componente " + cell->Code;
    const AnsiString where = "colonna " + IntToStr(cell->Column + 1) + ", riga " + IntToStr(cell->Row + 1);
    if (!free || !grid->InsertCell(std::move(cell), false, 0)) {
        Reporter->Report(DrawingFailedMessage(what + " non trova posto sulla griglia di lavoro (" + where + ")"));
        return nullptr;
    }
    return placed;
}

TCella* TCreaAuto::PlaceClone(TCella* prototype, int32_t column, int32_t row, int32_t orientation,
                              TGridData* grid) {
    std::unique_ptr<TCella> cell(prototype ? prototype->Clone() : nullptr);
    if (!cell) {
        Reporter->Report(DrawingFailedMessage("manca tra i componenti scelti un articolo da posizionare"));
        return nullptr;
    }
    cell->Column = column;
    cell->Row = row;
    cell->Orientation = orientation;
    return PlaceNew(std::move(cell), grid);
}

bool TCreaAuto::PlaceTermination(int32_t column, int32_t row, int32_t orientation, TGridData* grid) {
    return PlaceNew(std::make_unique<TChiusura>(nullptr, orientation, 0, column, row, 1), grid) != nullptr;
}

// ---------------------------------------------------------------- choosers

namespace {

// The chooser of both filter searches: plain filters first, then those with
// automatic gain control; the message names the channel.
bool PlaceFilter(TCreaAuto& engine, int32_t column, int32_t row, TGridData* grid, const AnsiString& brand,
                 const AnsiString& series, const TCanale& channel, float& consumption, int32_t inputs,
                 const AnsiString* code) {
    TCella* list = engine.Components->head;
    TCella* found = FindFilter(list, CodeFiltroAT, brand, series, channel, inputs, code);
    if (!found) found = FindFilter(list, CodeFiltroCAG, brand, series, channel, inputs, code);
    if (!found) {
        engine.Reporter->Report("Non sono stati selezionati filtri adeguati al canale " + channel.name + ".");
        return false;
    }
    if (!engine.PlaceClone(found, column, row, 0, grid)) return false;
    consumption += Draw(*found);
    return true;
}

}  // namespace

bool TCreaAuto::SelectChannelFiltersByCode(int32_t column, int32_t row, TGridData* grid,
                                           const AnsiString& brand, const AnsiString& series,
                                           const TCanale& channel, float& consumption, int32_t inputs,
                                           const AnsiString& code) {
    return PlaceFilter(*this, column, row, grid, brand, series, channel, consumption, inputs, &code);
}

bool TCreaAuto::SelectChannelFilters(int32_t column, int32_t row, TGridData* grid, const AnsiString& brand,
                                     const AnsiString& series, const TCanale& channel, float& consumption,
                                     int32_t inputs) {
    return PlaceFilter(*this, column, row, grid, brand, series, channel, consumption, inputs, nullptr);
}

bool TCreaAuto::SelectChannelFilterAnyInputs(int32_t column, int32_t row, TGridData* grid,
                                             const AnsiString& brand, const AnsiString& series,
                                             const TCanale& channel, float& consumption) {
    return SelectChannelFilters(column, row, grid, brand, series, channel, consumption, 0);
}

bool TCreaAuto::SelectConverters(int32_t column, int32_t row, TGridData* grid, const AnsiString& brand,
                                 const AnsiString& series, int32_t transponder, float low, float high,
                                 float& consumption) {
    // The first converter that takes the transponder and can still give it a
    // free IF slot, placed tuned to both.
    std::unique_ptr<TCella> tuned;
    for (TCella* c = Components->head; c && !tuned; c = c->NextInList) {
        if (c->TypeCode != CodeConvertitore || c->Inputs != ConverterInputs ||
            c->ThroughOutputs != ModuleOutputs || c->Series != series || c->Brand != brand)
            continue;
        const TModuloFiltro* m = FirstModule(*c);
        if (!m || m->slotLow[ModuleInputSlot] > low || m->slotHigh[ModuleInputSlot] < high) continue;
        tuned = std::unique_ptr<TCella>(c->Clone());
        if (tuned && grid && !TuneConverter(*tuned, *grid, low, high)) tuned.reset();
    }
    if (!tuned) {
        Reporter->Report("Non sono stati selezionati convertitori adeguati al trasponder " +
                         IntToStr(transponder) + ".");
        return false;
    }
    tuned->Column = column;
    tuned->Row = row;
    tuned->Orientation = 0;
    const float draw = Draw(*tuned);
    if (!PlaceNew(std::move(tuned), grid)) return false;
    consumption += draw;
    return true;
}

bool TCreaAuto::SelectPowerSupplies(int32_t column, int32_t row, TGridData* grid, const AnsiString& brand,
                                    const AnsiString& series, int32_t variant, float needed) {
    // The smallest stated capacity that covers the need; a supply without a
    // stated capacity serves only until one with a capacity comes.
    TCella* best = nullptr;
    for (TCella* c = Components->head; c; c = c->NextInList) {
        if (c->TypeCode != CodeAlimentatoreSF || c->Series != series || c->Brand != brand) continue;
        const float capacity = c->Current2;
        if (!(capacity < 0.0f || capacity >= needed)) continue;
        if (!best || best->Current2 < 0.0f || (capacity > 0.0f && capacity < best->Current2)) best = c;
    }
    if (!best) {
        Reporter->Report("Non sono stati selezionati alimentatori adeguati alla centrale IF.");
        return false;
    }
    std::unique_ptr<TCella> supply(best->Clone());
    if (!supply) return PlaceClone(nullptr, column, row, 0, grid) != nullptr;
    supply->Column = column;
    supply->Row = row;
    supply->Orientation = 0;
    if (variant > 0) supply->Variant = static_cast<uint8_t>(variant - 1);
    return PlaceNew(std::move(supply), grid) != nullptr;
}
