// What a tap or splitter says of itself: the name of the port under the
// mouse, and the channels of every output for the channel report.
#include "cells/mouse_info.h"
#include "cells/report_writing.h"
#include "cells/taps.h"

void TDerivatore::GetPortName(TInfoMousePos& position) {
    position.Input = -1;
    position.TapOutput = -1;
    position.ThroughOutput = -1;
    position.PortName = AnsiString();
    // The layout square under the pointer, and the pointer inside it.
    int32_t x = 0, y = 0;
    GridToFrame(x, y, position.Column, position.Row);
    int32_t px = position.OffsetX, py = position.OffsetY;
    Transform().UndoInBox(px, py, position.SquareSize, position.SquareSize);
    const TCellLayout layout = Layout();
    const TCellPort* port = PortNear(layout, x, y, px, py, position.SquareSize);
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
        AddChannelRowsDefault(
            report, NumThroughOutputs > 1 ? code + " passaggio " + IntToStr(k + 1) : code + " passaggio",
            listOf(k));
    for (int32_t j = 0; j < NumTapOutputs; ++j)
        AddChannelRowsDefault(report, code + " uscita " + IntToStr(j + 1), listOf(NumThroughOutputs + j));
}
