#pragma once
// The writing of the calculation reports, which the cells do as well as the
// report pages: which report pages the main window has (it adds them as it
// builds them, and a cell writes its report rows only into a page that is
// there), the rich-text writing of lines and channel rows, the program-wide
// report colour that tells consecutive blocks of rows apart, and a report
// text built in memory.
#include <deque>
#include <memory>
#include <set>
#include <vector>

#include "platform/graphics.h"
#include "platform/sysutils.h"

class TBitmap;
class TCanale;
class TListaCanali;
class TReportText;
class TRichEdit;

// Captions of the two report pages the cells ask for.
constexpr const char* PageNetworkCalculations = "Calcoli rete";
constexpr const char* PageChannelCalculations = "Calcoli canali";

// Column header of the channel rows.
constexpr const char* ChannelRowsHeader =
    "Componente\tCanale\t\tDescrizione\t\tS Min.\tS Max.\tC/N Min.\tC/N Max.\tProvenienza";

// The report pages the main window has; the main window adds its pages when
// it builds them.
class TReportPages {
public:
    TReportPages();
    ~TReportPages();
    TReportPages(const TReportPages&) = delete;
    TReportPages& operator=(const TReportPages&) = delete;

    void AddPage(const AnsiString& caption);
    void RemovePage(const AnsiString& caption);
    void Clear();
    // True when there is a report page with that caption.
    bool FindPage(const AnsiString& caption) const;

    // Blue at start; alternates with dark green after every block of channel rows.
    TColor ReportColour = clBlue;

    // The canvas text widths are measured on; kept for the run.
    TCanvas* MeasuringCanvas();

private:
    std::set<AnsiString> pages_;
    std::unique_ptr<TBitmap> bitmap_;
};

// The program's report pages.
TReportPages& ReportPages();

// Appends a line to a report and returns where it starts in the text.
int AppendReportLine(TRichEdit* report, const AnsiString& line);
// Gives the text from start, length characters long, a colour.
void ColourReportText(TRichEdit* report, int start, int length, TColor colour);
// Later text is written in this colour.
void SetReportTextColour(TRichEdit* report, TColor colour);
// Tab stops every so many pixels across the report's paragraph.
void SetReportTabStops(TRichEdit* report, int count);
// The font and tab stops at which every label of the network report reaches
// the column its tabs mean ("Alla presa" short of the first stop,
// "Differenza" and "Presa P10" past it).
void SetNetworkReportColumns(TRichEdit* report);

// Empties the report and writes the column header of the channel rows.
void WriteChannelHeader(TRichEdit* report);
// One row per channel of the list (sorted by frequency first) under the
// prefix; a channel lying wholly between low and high MHz is written in
// magenta, the others in the report colour, which then switches.
void AddChannelRows(TRichEdit* report, const AnsiString& prefix, TListaCanali& list, float low, float high);
// The same with no channel highlighted.
void AddChannelRowsDefault(TRichEdit* report, const AnsiString& prefix, TListaCanali& list);
// The same rows, appended to a report built in memory for the report
// control (whose font measures the columns); no channel highlighted.
void AddChannelRows(TReportText& out, TRichEdit* report, const AnsiString& prefix, TListaCanali& list);

// Carrier-to-noise ratios of the channel rows: the source ratio less the
// path's noise figure, bounded by the lowest level met, and never below 0.
float ChannelCNMin(float sourceCN, float noiseSum, float floor);

// The texts of one channel's row, on the report pages and on the printed
// channel table alike: the channel, its description, the least and
// greatest signal and C/N ("#0.00"), where it came from.
struct TChannelRowTexts {
    AnsiString Name, Label, MinSignal, MaxSignal, MinCN, MaxCN, Origin;
};
TChannelRowTexts ChannelRowTexts(const TCanale& channel);

// A report being written: lines with their coloured runs, built in memory
// and written into a rich edit in one go, so that a long report costs time
// in proportion to its length.
class TReportText {
public:
    void Add(const AnsiString& line);
    // Above every line written so far.
    void InsertFirst(const AnsiString& line);
    // Colours length characters of the last line, from column on.
    void Colour(int column, int length, TColor colour);
    int Count() const { return static_cast<int>(lines_.size()); }
    const AnsiString& Line(int index) const { return lines_[static_cast<size_t>(index)].text; }
    // Replaces the report's text; whatever no run colours is black.
    void WriteTo(TRichEdit* report) const;

private:
    struct Run {
        int column;
        int length;
        TColor colour;
    };
    struct Row {
        AnsiString text;
        std::vector<Run> runs;
    };
    std::deque<Row> lines_;
};
