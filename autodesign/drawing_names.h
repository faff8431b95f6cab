#pragma once
// The names the designer draws with: the turns of the cells it places, by
// the side their input faces, and the shapes of its cable runs
// (DrawCableRun). The bends of cable pieces are the cable's own
// (cells/cables.h).
#include <cstdint>

// Quarter turns of a placed cell.
constexpr int32_t FacingDown = 0;   // input on top: a cell below its feed
constexpr int32_t FacingLeft = 1;   // input on the right: outputs leaving to the left
constexpr int32_t FromBelow = 2;    // input at the bottom: a cell above its feed
constexpr int32_t FacingRight = 3;  // input on the left: outputs leaving to the right

// A run's first leg: down (or up) first, or sideways first; and a run whose
// corner stands where the first leg ends.
constexpr int32_t RunVerticalFirst = 0;
constexpr int32_t RunHorizontalFirst = 1;
constexpr int32_t NoBend = -1;
