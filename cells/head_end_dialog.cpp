// The head-end terminal in the component-data form and in the reports: it
// has no data of its own, its ports are its lines.
#include "cells/head_end.h"
#include "cells/mouse_info.h"
#include "cells/report_writing.h"

void TTesta::GetPortName(TInfoMousePos& position) {
    const int32_t index = position.Column - Column - 1;
    const bool line = index >= 0 && index < NumThroughOutputs;
    position.Input = -1;
    position.TapOutput = -1;
    position.ThroughOutput = line ? index : -1;
    // The squares at the two ends of the bar are no line.
    position.PortName = line ? "linea " + IntToStr(index + 1) : AnsiString();
}

void TTesta::GetPortLevelText(TRichEdit* report) {
    TListaCanali empty;
    for (int32_t i = 0; i < NumThroughOutputs; ++i) {
        TListaCanali* list =
            i < static_cast<int32_t>(ChannelLists.size()) && ChannelLists[static_cast<size_t>(i)]
                ? ChannelLists[static_cast<size_t>(i)].get()
                : &empty;
        AddChannelRowsDefault(report, "Uscita " + IntToStr(i + 1), *list);
    }
    AppendReportLine(report, "");
}
