// The antennas and dishes of the head end as items of the mast, with the
// band choice and the kind their cell data give.
#include "document/mast_head_end.h"

#include <cmath>
#include <memory>
#include <vector>

#include "cells/graphic_cells.h"
#include "cells/sources.h"
#include "core/band_systems.h"
#include "core/globals.h"
#include "document/grid.h"

namespace {

// Spacing every item starts with, before the minimum spacings are known.
constexpr int32_t StartSpacing = 10;
// An antenna's range when its data leave an end unset, MHz.
constexpr float UnsetLowest = 0.0f;
constexpr float UnsetHighest = 1000.0f;

// Band choices of the mast page's list.
enum : int32_t {
    BandV = 0,
    BandIV = 1,
    BandIII = 2,
    BandI = 4,
    BandI_III = 5,
    BandI_III_IV_V = 6,
    BandIII_IV = 7,
    BandIII_IV_V = 8,
    BandIV_V = 9,
};

// The terrestrial bands an antenna may cover, by their names in the band system.
const char* const TerrestrialBands[4] = {"b. I", "b. III", "b. IV", "b. V"};

struct TBandChoice {
    int32_t band;
    int order;  // antennas of lower order stand lower on the mast
};

TBandChoice ChoiceFor(bool i, bool iii, bool iv, bool v) {
    if (i) {
        if (!iii) return {BandI, 1};
        return iv ? TBandChoice{BandI_III_IV_V, 3} : TBandChoice{BandI_III, 2};
    }
    if (iii) {
        if (!iv) return {BandIII, 5};
        return v ? TBandChoice{BandIII_IV_V, 7} : TBandChoice{BandIII_IV, 6};
    }
    if (iv) return v ? TBandChoice{BandIV_V, 9} : TBandChoice{BandIV, 8};
    return {BandV, 10};
}

// Which of the four bands the range lowest..highest reaches.
void BandsOf(float lowest, float highest, bool (&covered)[4]) {
    const TSistemaBande* system = SistemaBande3;
    for (int k = 0; k < 4; ++k) {
        covered[k] = false;
        if (!system) continue;
        for (const TBanda& b : system->bands)
            if (b.bandName == TerrestrialBands[k]) covered[k] = lowest < b.highest && highest >= b.lowest;
    }
}

int32_t KindOfShape(uint8_t shape) {
    switch (shape) {
    case 0: return MastGrid;
    case 2: return MastLogPeriodic;
    case 3: return MastDihedral;
    case 4: return MastCurtain;
    default: return MastYagi;
    }
}

// Calls visit for every antenna and dish of the grid in reading order, the
// order of the grid's cell chain. The squares are read rather than the chain,
// which only an analysis brings up to date after an edit.
template <class Visit>
void ForEachMastSource(const TGridData& grid, Visit visit) {
    for (int32_t r = 0; r < grid.Rows; ++r)
        for (int32_t c = 0; c < grid.Columns; ++c) {
            const TCella* cell = grid.CellAt(c, r);
            if (!cell || cell->Column != c || cell->Row != r) continue;
            if (cell->TypeCode == CodeAntenna || cell->TypeCode == CodeParabola) visit(*cell);
        }
}

// A figure of a cell's mast data as a measure of the item: a non-finite
// float (damaged cell data) is no value, as on the mast page.
float Measure(float v) { return std::isfinite(v) ? v : LevelNone; }

// The mast item's wind values from its source.
void WindOf(TDatiAntenna& item, const TWindData& wind) {
    item.Force = Measure(wind.WindThrust);
    item.Area = Measure(wind.WindArea);
    item.WindOfForce = Measure(wind.WindSpeed);
}

struct TOrdered {
    std::unique_ptr<TDatiAntenna> item;
    bool dish;
    float key;  // a dish's diameter, an antenna's order
};

}  // namespace

bool HeadEndAntennasDescribed(const TGridData& headEnd) {
    bool described = true;
    ForEachMastSource(headEnd, [&](const TCella& cell) { described = described && cell.Described; });
    return described;
}

int MastItemsFromHeadEnd(const TGridData& headEnd, TDatiAntenne& items) {
    std::vector<TOrdered> ordered;
    ForEachMastSource(headEnd, [&](const TCella& source) {
        const TCella* cell = &source;
        auto item = std::make_unique<TDatiAntenna>();
        item->Divergence = 0;
        item->Band = 0;
        item->Polarisation = 0;
        item->Spacing = StartSpacing;
        TOrdered entry;
        if (const auto* dish = dynamic_cast<const TParabola*>(cell); dish && cell->TypeCode == CodeParabola) {
            item->Kind = MastDish;
            WindOf(*item, *dish);
            item->Diameter = Measure(dish->Diameter);
            const float diameter = item->Diameter;
            entry = {std::move(item), true, diameter};
        } else if (const auto* antenna = dynamic_cast<const TAntenna*>(cell);
                   antenna && cell->TypeCode == CodeAntenna) {
            item->Kind = KindOfShape(antenna->Shape);
            WindOf(*item, *antenna);
            float lowest = cell->Attenuation->Get3(0, AntennaRangeColumn, AntennaLowestSlot);
            float highest = cell->Attenuation->Get3(0, AntennaRangeColumn, AntennaHighestSlot);
            if (!IsRealLevel(lowest)) lowest = UnsetLowest;
            if (!IsRealLevel(highest)) highest = UnsetHighest;
            bool covered[4];
            BandsOf(lowest, highest, covered);
            const TBandChoice choice = ChoiceFor(covered[0], covered[1], covered[2], covered[3]);
            item->Band = choice.band;
            entry = {std::move(item), false, static_cast<float>(choice.order)};
        } else {
            return;
        }
        // Dishes first, larger first, a new dish before equal ones; then
        // antennas, a new one before the first of no smaller order.
        auto at = ordered.begin();
        if (entry.dish) {
            while (at != ordered.end() && at->dish && at->key > entry.key) ++at;
        } else {
            while (at != ordered.end() && (at->dish || at->key < entry.key)) ++at;
        }
        ordered.insert(at, std::move(entry));
    });
    items.Clear();
    // The mast holds fewer items than a head end may have antennas.
    for (TOrdered& entry : ordered) {
        if (items.Count() >= MastMaxItems) break;
        items.Items.push_back(std::move(entry.item));
    }
    return static_cast<int>(ordered.size());
}
