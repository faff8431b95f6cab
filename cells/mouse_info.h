#pragma once
// What the drawing window knows of the mouse over its grid, and the port of
// the cell under it that the cell names (TCella::GetPortName fills the port).
#include <cstdint>

#include "platform/sysutils.h"

class TCella;

struct TInfoMousePos {
    int32_t X = 0;  // mouse in the control, pixels
    int32_t Y = 0;
    int32_t Column = 0;  // square under the mouse
    int32_t Row = 0;
    int32_t OffsetX = 0;  // mouse inside that square, pixels
    int32_t OffsetY = 0;
    int32_t CentreDX = 0;  // distance from the square's centre
    int32_t CentreDY = 0;
    int32_t SquareSize = 42;     // pixels of one square at the present zoom
    TCella* HintCell = nullptr;  // the cell the hint shows
    TCella* Cell = nullptr;      // the cell under the mouse
    // The pointed port: an input, a tap output or a through output (-1 when none).
    int32_t Input = -1;
    int32_t TapOutput = -1;
    int32_t ThroughOutput = -1;
    AnsiString PortName;
    AnsiString Text;

    bool PointsAtPort() const { return Input >= 0 || TapOutput >= 0 || ThroughOutput >= 0; }
};
