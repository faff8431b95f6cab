// What the network line says of itself: the names of its ports under the
// mouse and its rows in the calculation reports.
#include <vector>

#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/mouse_info.h"
#include "cells/outlets.h"
#include "cells/report_writing.h"
#include "cells/terminations.h"
#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/globals.h"
#include "core/table_texts.h"
#include "platform/comctrls.h"
#include "platform/utf8.h"

namespace {

TListaCanali* ListOf(TCella& cell, int32_t output) {
    if (output < 0 || output >= static_cast<int32_t>(cell.ChannelLists.size())) return nullptr;
    return cell.ChannelLists[static_cast<size_t>(output)].get();
}

void ChannelRows(TRichEdit* report, const AnsiString& title, TCella& cell, int32_t output) {
    TListaCanali empty;
    TListaCanali* list = ListOf(cell, output);
    AddChannelRowsDefault(report, title, list ? *list : empty);
}

void NoPort(TInfoMousePos& position) {
    position.Input = -1;
    position.TapOutput = -1;
    position.ThroughOutput = -1;
}

}  // namespace

// ---------------------------------------------------------------- outlets

// Along the line through the outlet: the first quarter is the input, the
// last quarter the through output of a pass-through outlet, the rest the socket.
void TPresaD::GetPortName(TInfoMousePos& position) {
    NoPort(position);
    const int32_t size = position.SquareSize > 0 ? position.SquareSize : 1;
    int32_t along = position.OffsetY;
    switch (((Orientation % 4) + 4) % 4) {
    case 1: along = size - position.OffsetX; break;
    case 2: along = size - position.OffsetY; break;
    case 3: along = position.OffsetX; break;
    default: break;
    }
    if (4 * along < size) {
        position.Input = 0;
        position.PortName = "ingresso";
    } else if (PassThrough && 4 * along >= 3 * size) {
        position.ThroughOutput = 0;
        position.PortName = "passante";
    } else {
        position.TapOutput = 0;
        position.PortName = "uscita";
    }
}

void TPresaD::GetPortLevelText(TRichEdit* report) {
    if (PassThrough) ChannelRows(report, GetShortCode() + " passaggio", *this, OutletThroughOutput);
    ChannelRows(report, GetShortCode() + " uscita", *this, OutletSocket);
}

// ---------------------------------------------------------------- cables

void TNCavo::GetPortName(TInfoMousePos& position) {
    NoPort(position);
    position.PortName = "Uscita ";
    TNCavo* head = GetRunHead();
    position.Cell = head ? head : this;
}

void TNCavo::GetPortLevelText(TRichEdit* report) { ChannelRows(report, GetShortCode(), *this, 0); }

// The required window at the segment's input: a row of minima and a row of maxima.
void TNCavo::WriteAttenuationTable(TRichEdit* report, int32_t, const AnsiString&) {
    const int32_t bands = CalculationBandCount();
    for (int bound = 0; bound < 2; ++bound) {
        AnsiString text = GetShortCode() + "-Ing " + (bound == 0 ? " Min." : " Max.");
        std::vector<int> starts, lengths;
        std::vector<TColor> colours;
        for (int32_t b = 0; b < bands; ++b) {
            const TFinestra w = InputLevels.Allocated() && InputLevels.Ports() > 0
                                    ? InputLevels[0][static_cast<size_t>(b)]
                                    : TFinestra{};
            const float v = bound == 0 ? w.Min : w.Max;
            const AnsiString value = FormatLimitCell(v);
            text += "\t";
            starts.push_back(utf8::Length(text));
            lengths.push_back(utf8::Length(value));
            colours.push_back(LimitColour(v));
            text += value;
        }
        const int start = AppendReportLine(report, text);
        for (size_t i = 0; i < colours.size();) {
            size_t j = i;
            while (j + 1 < colours.size() && colours[j + 1] == colours[i]) ++j;
            ColourReportText(report, start + starts[i], starts[j] + lengths[j] - starts[i], colours[i]);
            i = j + 1;
        }
        SetReportTextColour(report, clBlack);
    }
}

// ---------------------------------------------------------------- terminations

void TChiusura::GetPortName(TInfoMousePos& position) {
    NoPort(position);
    position.PortName = AnsiString();
}

void TChiusura::WriteAttenuationTable(TRichEdit*, int32_t, const AnsiString&) {}
void TChiusura::GetPortLevelText(TRichEdit*) {}

// ---------------------------------------------------------------- anchors

void TAncora::GetPortName(TInfoMousePos& position) {
    NoPort(position);
    position.ThroughOutput = 0;
    position.PortName = "uscita";
}

void TAncora::GetPortLevelText(TRichEdit* report) {
    ChannelRows(report, "Uscita ", *this, 0);
    AppendReportLine(report, "");
}
