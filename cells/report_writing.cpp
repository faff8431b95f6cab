#include "cells/report_writing.h"

#include <algorithm>
#include <cmath>

#include "core/channel_list.h"
#include "core/channels.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/utf8.h"

namespace {

// Widths below which a name or a label gets one more tab (pixels at 96 per inch).
constexpr double NarrowColumn = 45.0;
constexpr double WideColumn = 94.0;
constexpr TColor HighlightColour = clFuchsia;
// Pixels per inch the widths above are measured at.
constexpr double BaseResolution = 96.0;
// The report font whose widths need no scaling.
constexpr int DefaultReportFontHeight = -11;
constexpr int TabStopPoints = 36;
// The network report's columns: a label column and one per band.
constexpr int NetworkReportPoints = 9;
constexpr int NetworkReportTabPoints = 42;
constexpr int NetworkReportTabStops = 16;

// Noise figure of a path from its noise sum, dB.
double NoiseDb(double noiseSum) { return noiseSum + 1.0 > 0.0 ? 10.0 * std::log10(noiseSum + 1.0) : 0.0; }

}  // namespace

// ---------------------------------------------------------------- the pages

TReportPages::TReportPages() = default;
TReportPages::~TReportPages() = default;

void TReportPages::AddPage(const AnsiString& caption) { pages_.insert(caption); }
void TReportPages::RemovePage(const AnsiString& caption) { pages_.erase(caption); }

void TReportPages::Clear() {
    pages_.clear();
    ReportColour = clBlue;
}

bool TReportPages::FindPage(const AnsiString& caption) const { return pages_.count(caption) != 0; }

TCanvas* TReportPages::MeasuringCanvas() {
    if (!bitmap_) {
        bitmap_ = std::make_unique<TBitmap>();
        bitmap_->SetSize(1, 1);
    }
    return bitmap_->Canvas;
}

TReportPages& ReportPages() {
    static TReportPages pages;
    return pages;
}

// ---------------------------------------------------------------- writing a report

int AppendReportLine(TRichEdit* report, const AnsiString& line) {
    report->Lines->Add(line);
    // The new line is the last of the text, with or without a break after it;
    // the text is looked at, not copied, and its length is kept by the edit.
    const AnsiString& text = report->Text.Get();
    int end = report->GetTextLen();
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) end -= 2;
    return end - utf8::Length(line);
}

void ColourReportText(TRichEdit* report, int start, int length, TColor colour) {
    if (length <= 0) return;
    report->SelStart = start;
    report->SelLength = length;
    report->SelAttributes->SetColor(colour);
}

void SetReportTextColour(TRichEdit* report, TColor colour) {
    report->SelStart = report->GetTextLen();
    report->SelLength = 0;
    report->SelAttributes->SetColor(colour);
}

void SetReportTabStops(TRichEdit* report, int count) {
    report->Paragraph->SetTabCount(count);
    for (int i = 0; i < count; ++i) report->Paragraph->SetTab(i, TabStopPoints * (i + 1));
}

void SetNetworkReportColumns(TRichEdit* report) {
    report->DefAttributes->SetSize(NetworkReportPoints);
    report->Paragraph->SetTabCount(NetworkReportTabStops);
    for (int i = 0; i < NetworkReportTabStops; ++i)
        report->Paragraph->SetTab(i, NetworkReportTabPoints * (i + 1));
}

// ---------------------------------------------------------------- channel rows

void WriteChannelHeader(TRichEdit* report) {
    report->Lines->Clear();
    report->Lines->Add(ChannelRowsHeader);
}

float ChannelCNMin(float sourceCN, float noiseSum, float floor) {
    const double cn = std::min(static_cast<double>(sourceCN) - NoiseDb(noiseSum), static_cast<double>(floor));
    return static_cast<float>(std::max(0.0, cn));
}

TChannelRowTexts ChannelRowTexts(const TCanale& ch) {
    TChannelRowTexts t;
    t.Name = ch.name;
    t.Label = ch.label;
    t.MinSignal = FormatFloat("#0.00", ch.levelMin);
    t.MaxSignal = FormatFloat("#0.00", ch.levelMax);
    t.MinCN = FormatFloat("#0.00", ChannelCNMin(ch.sourceCNMin, ch.noiseMax, ch.floorMin));
    t.MaxCN = FormatFloat("#0.00", ChannelCNMin(ch.sourceCNMax, ch.noiseMin, ch.floorMax));
    t.Origin = ch.sources;
    return t;
}

namespace {

// One channel row: its text and the colour of the text from a column on
// (the first row's prefix keeps the report's own colour).
struct TChannelRow {
    AnsiString Text;
    int ColourFrom = 0;
    TColor Colour = clBlack;
};

// The rows of a list under a prefix, in the report's columns: a name or a
// label narrower than a column gets one more tab. An empty list gives the
// prefix alone. The report colour switches for the next block.
std::vector<TChannelRow> ChannelRows(TRichEdit* report, const AnsiString& prefix, TListaCanali& list,
                                     float low, float high) {
    TReportPages& pages = ReportPages();
    TCanvas* canvas = pages.MeasuringCanvas();
    canvas->Font->Name = report->DefAttributes->Name();
    canvas->Font->Height = report->DefAttributes->Height();
    const double scale = report->Font->Height == DefaultReportFontHeight || !Screen
                             ? 1.0
                             : Screen->PixelsPerInch() / BaseResolution;
    auto narrow = [&](const AnsiString& text, double limit) {
        return canvas->TextWidth(text) < limit * scale;
    };

    std::vector<TChannelRow> rows;
    list.Sort();
    AnsiString pending = prefix + ": \t";
    if (narrow(prefix + ":", NarrowColumn)) pending += " \t";
    if (list.Count() == 0) rows.push_back(TChannelRow{pending, utf8::Length(pending), pages.ReportColour});

    bool firstRow = true;
    for (const TCanale* ch = list.head; ch; ch = ch->next) {
        const TChannelRowTexts t = ChannelRowTexts(*ch);
        AnsiString row = pending + t.Name + ": \t";
        if (narrow(t.Name, NarrowColumn)) row += " \t";
        row += t.Label + " \t";
        if (narrow(t.Label, NarrowColumn)) row += " \t";
        if (narrow(t.Label, WideColumn)) row += " \t";
        row += t.MinSignal + " \t";
        row += t.MaxSignal + " \t";
        row += t.MinCN + " \t";
        row += t.MaxCN + " \t";
        row += t.Origin;
        const bool inside = ch->freqLow >= low && ch->freqHigh <= high;
        rows.push_back(TChannelRow{row, firstRow ? utf8::Length(pending) : 0,
                                   inside ? HighlightColour : pages.ReportColour});
        pending = "\t\t";
        firstRow = false;
    }
    pages.ReportColour = pages.ReportColour == clBlue ? clGreen : clBlue;
    return rows;
}

}  // namespace

void AddChannelRows(TRichEdit* report, const AnsiString& prefix, TListaCanali& list, float low, float high) {
    const TColor colour = ReportPages().ReportColour;
    const bool empty = list.Count() == 0;
    for (const TChannelRow& row : ChannelRows(report, prefix, list, low, high)) {
        const int start = AppendReportLine(report, row.Text);
        if (empty) break;  // the prefix alone, in the report's own colour
        ColourReportText(report, start + row.ColourFrom, utf8::Length(row.Text) - row.ColourFrom, row.Colour);
        SetReportTextColour(report, colour);
    }
    SetReportTextColour(report, clBlack);
}

void AddChannelRowsDefault(TRichEdit* report, const AnsiString& prefix, TListaCanali& list) {
    AddChannelRows(report, prefix, list, -1.0f, -1.0f);
}

void AddChannelRows(TReportText& out, TRichEdit* report, const AnsiString& prefix, TListaCanali& list) {
    const bool empty = list.Count() == 0;
    for (const TChannelRow& row : ChannelRows(report, prefix, list, -1.0f, -1.0f)) {
        out.Add(row.Text);
        if (!empty) out.Colour(row.ColourFrom, utf8::Length(row.Text) - row.ColourFrom, row.Colour);
    }
}

// ---------------------------------------------------------------- report text

void TReportText::Add(const AnsiString& line) { lines_.push_back(Row{line, {}}); }

void TReportText::InsertFirst(const AnsiString& line) { lines_.push_front(Row{line, {}}); }

void TReportText::Colour(int column, int length, TColor colour) {
    if (lines_.empty() || length <= 0) return;
    lines_.back().runs.push_back(Run{column, length, colour});
}

void TReportText::WriteTo(TRichEdit* report) const {
    report->Lines->Clear();
    // Through the lines, so that empty lines at the end stay lines.
    TStringList text;
    for (const Row& row : lines_) text.Add(row.text);
    report->Lines->Assign(text);
    ColourReportText(report, 0, report->GetTextLen(), clBlack);
    int start = 0;
    for (const Row& row : lines_) {
        for (const Run& run : row.runs) ColourReportText(report, start + run.column, run.length, run.colour);
        start += utf8::Length(row.text) + 2;
    }
    SetReportTextColour(report, clBlack);
}
