#pragma once
// The calculation report pages of the main window as the cells see them:
// whether a page is there, the rich-text writing of channel rows, and the
// program-wide report colour that tells consecutive blocks of rows apart.
#include <memory>
#include <set>

#include "platform/graphics.h"
#include "platform/sysutils.h"

class TRichEdit;
class TListaCanali;
class TBitmap;

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

// Empties the report and writes the column header of the channel rows.
void WriteChannelHeader(TRichEdit* report);
// One row per channel of the list (sorted by frequency first) under the
// prefix; a channel lying wholly between low and high MHz is written in
// magenta, the others in the report colour, which then switches.
void AddChannelRows(TRichEdit* report, const AnsiString& prefix, TListaCanali& list, float low, float high);
// The same with no channel highlighted.
void AddChannelRowsDefault(TRichEdit* report, const AnsiString& prefix, TListaCanali& list);

// Carrier-to-noise ratios of the channel rows: the source ratio less the
// path's noise figure, bounded by the lowest level met, and never below 0.
float ChannelCNMin(float sourceCN, float noiseSum, float floor);
