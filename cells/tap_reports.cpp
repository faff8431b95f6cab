// What a tap or splitter says of itself: the name of the port under the
// mouse, and the channels of every output for the channel report.
#include "app/mouse_info.h"
#include "app/report_pages.h"
#include "cells/taps.h"

namespace {

// The pixel inside a square of the grid, as a pixel inside the same square
// of the layout: the cell's turn undone, then its mirror (the layout is
// mirrored first and turned after).
void SquarePixelToLayout(int32_t orientation, int32_t mirrored, int32_t px, int32_t py, int32_t size,
                         int32_t& outX, int32_t& outY) {
    // Doubled and centred, so that the square's middle is exact.
    const int32_t ux = 2 * px - size, uy = 2 * py - size;
    int32_t lx = ux, ly = uy;
    switch (((orientation % 4) + 4) % 4) {
    case 1: lx = uy; ly = -ux; break;
    case 2: lx = -ux; ly = -uy; break;
    case 3: lx = -uy; ly = ux; break;
    default: break;
    }
    if (mirrored) lx = -lx;
    outX = (lx + size) / 2;
    outY = (ly + size) / 2;
}

}  // namespace

void TDerivatore::GetPortName(TInfoMousePos& position) {
    position.Input = -1;
    position.TapOutput = -1;
    position.ThroughOutput = -1;
    position.PortName = AnsiString();
    // The layout square under the pointer (LayoutToGrid undone).
    int32_t localColumn = 0, localRow = 0;
    LocalToGrid(localColumn, localRow, position.Column, position.Row);
    int32_t px = 0, py = 0;
    SquarePixelToLayout(Orientation, Mirrored, position.OffsetX, position.OffsetY, position.SquareSize, px, py);
    const TTapLayout layout = Layout();
    const TTapPort* port = PortNear(layout, localColumn - Column, localRow - Row, px, py, position.SquareSize);
    if (!port) return;
    const TTapPortName name = NamePort(*port);
    position.Input = name.Input;
    position.TapOutput = name.TapOutput;
    position.ThroughOutput = name.ThroughOutput;
    position.PortName = name.Name;
}

void TDerivatore::GetPortLevelText(TRichEdit* report) {
    TListaCanali empty;
    auto listOf = [this, &empty](int32_t out) -> TListaCanali& {
        return out < static_cast<int32_t>(ChannelLists.size()) && ChannelLists[static_cast<size_t>(out)]
                   ? *ChannelLists[static_cast<size_t>(out)]
                   : empty;
    };
    const AnsiString code = GetShortCode();
    for (int32_t k = 0; k < NumThroughOutputs; ++k)
        AddChannelRowsDefault(report, NumThroughOutputs > 1 ? code + " passaggio " + IntToStr(k + 1) : code + " passaggio",
                              listOf(k));
    for (int32_t j = 0; j < NumTapOutputs; ++j)
        AddChannelRowsDefault(report, code + " uscita " + IntToStr(j + 1), listOf(NumThroughOutputs + j));
}
