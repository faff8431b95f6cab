// Splitters: construction, power groups, layout, names and numbering; the
// rest is the tap's.
#include "cells/splitters.h"

#include <algorithm>

TDivisore::TDivisore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                     int32_t inputs, int32_t outputs)
    : TDerivatore(owner, orientation, mirrored, column, row, inputs, outputs) {
    TypeCode = CodeDivisore;
    Kind = KindSplitter;
    ThroughOutputs = 0;
    SetPortCounts();
    Category = "Divisori";
    // Power passes between the input and every output.
    SetPowerGroups({PowerInputs | PowerTaps, PowerInputs | PowerTaps, PowerThrough});
}

TDivisore::~TDivisore() = default;

TCellDescription TDivisore::Describe() const { return DescribeLines("Divisore ", "D", SplitterCounter); }

uint8_t TDivisore::TapLinesNeedTermination() const { return 1; }

TCellLayout TDivisore::Layout() const {
    TCellLayout layout;
    const int32_t n = NumInputs;
    const int32_t t = OutputsPerLine();
    if (n < 1) return layout;
    // Outputs two to a row, interleaved line by line with an empty row
    // between groups as for a tap; an odd last output of each line leaves at
    // the bottom of the line's column. A line with a single output still has
    // one row, with that output at its bottom.
    const int32_t pairs = t / 2;
    layout.Width = n;
    layout.Height = std::max<int32_t>(1, n == 1 ? pairs : (n + 1) * pairs - 1);
    for (int32_t i = 0; i < n; ++i) layout.Ports.push_back({TPortKind::Input, i, i, 0, TSide::Top});
    for (int32_t g = 0; g < pairs; ++g)
        for (int32_t i = 0; i < n; ++i)
            for (int32_t u = 2 * g; u < 2 * g + 2; ++u) {
                const int32_t y = n == 1 ? g : g * (n + 1) + i;
                const bool right = u % 2 == 0;
                layout.Ports.push_back(
                    {TPortKind::Tap, i * t + u, right ? n - 1 : 0, y, right ? TSide::Right : TSide::Left});
            }
    if (t % 2 != 0)
        for (int32_t i = 0; i < n; ++i)
            layout.Ports.push_back({TPortKind::Tap, i * t + t - 1, i, layout.Height - 1, TSide::Bottom});
    return layout;
}

TTapPortName TDivisore::NamePort(const TCellPort& port) const {
    TTapPortName name;
    if (port.Kind == TPortKind::Input) {
        name.Name = NumInputs > 1 ? "ingresso " + IntToStr(port.Index + 1) : AnsiString("ingresso");
        name.Input = port.Index;
    } else {
        name.Name = "uscita " + IntToStr(port.Index + 1);
        name.TapOutput = port.Index;
    }
    return name;
}
