#pragma once
// The mast's antenna list rebuilt from the head end: one item per dish and
// per terrestrial antenna of the head-end grid, dishes first (larger first),
// then antennas from the lowest band up.
#include "document/mast.h"

class TGridData;
class TCella;

// Whether every antenna and dish of the grid has its data (there may be none).
bool HeadEndAntennasDescribed(const TGridData& headEnd);

// Clears items and fills it from the grid's antennas and dishes, each at
// spacing 10, keeping the first MastMaxItems of the order above. Returns how
// many antennas and dishes the grid holds.
int MastItemsFromHeadEnd(const TGridData& headEnd, TDatiAntenne& items);
