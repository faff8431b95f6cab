#pragma once
// The calculation report pages of the main window: whether a page is there,
// the rich-text writing of channel rows, the program-wide report colour that
// tells consecutive blocks of rows apart, the "Calcoli rete" report and the
// runs of the calculation pages.
#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/graphics.h"
#include "platform/sysutils.h"

class TRichEdit;
class TListaCanali;
class TBitmap;
class TCella;
class TComponent;
class TControl;
class TListBox;
class TProgetto;
class TProgressBar;
struct TAttenuazioniPrese;

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

// Carrier-to-noise ratios of the channel rows: the source ratio less the
// path's noise figure, bounded by the lowest level met, and never below 0.
float ChannelCNMin(float sourceCN, float noiseSum, float floor);

// ---------------------------------------------------------------- calculation pages

// What a calculation page needs of the main window.
struct TCalculationRun {
    TProgetto* Project = nullptr;
    TProgressBar* Progress = nullptr;   // the progress panel's bar, or none
    TControl* ProgressPanel = nullptr;  // shown while a page calculates, when given
    bool* Cancel = nullptr;             // set by the panel's "Annulla", or none
    // Every command that could free or replace the project or its grids
    // (menus, tabs, buttons, the drawing control): off while a calculation
    // lets pending window messages run.
    std::vector<TComponent*> Locked;
};

// Keeps commands off for as long as it lives and gives each back the state
// it had.
class TCommandLock {
public:
    explicit TCommandLock(const std::vector<TComponent*>& commands);
    ~TCommandLock();
    TCommandLock(const TCommandLock&) = delete;
    TCommandLock& operator=(const TCommandLock&) = delete;

private:
    std::vector<std::pair<TComponent*, bool>> saved_;
};

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

// The line between the blocks of a report: 28 dashes and 16 per band of the
// calculation band system.
AnsiString ReportSeparator();

// The band heading: the bands' names and reference frequencies, between two
// separators; with clear, the report is emptied first and the separators
// are left out.
void WriteBandHeader(TReportText& out, bool clear);
// Empties the report and writes the band heading alone.
void WriteBandHeaderOnly(TRichEdit* report);

// The "Calcoli rete" report: least and greatest attenuation to the outlets,
// the levels admissible at the head end, the levels at every outlet, and the
// level-difference and separation checks with an example of each violation.
// False when the person cancelled it: the separation check was not finished
// and the report is incomplete. The cancel flag is cleared first.
bool ReportNetwork(TCalculationRun& run, TRichEdit* report);
void WriteAttenuationLimits(TProgetto& project, const TAttenuazioniPrese& attenuations, TReportText& out);
void WriteHeadEndLimits(TProgetto& project, TReportText& out);
void WriteOutletSignals(TCalculationRun& run, TReportText& out);
// Flags of the separation report.
enum : int32_t {
    SeparationBounded = 1,        // the spread stops at the band's "AttMin"
    SeparationViolatingOnly = 2,  // only rows below "AttMin"
    SeparationTable = 4,          // write the rows
    SeparationHeading = 8,        // with a heading before the first row
    SeparationHeadingAll = 16,    // the heading of every outlet at once
    SeparationFirstFailure = 32,  // stop after the first outlet that fails
};
constexpr int32_t NetworkReportSeparationFlags = SeparationBounded | SeparationViolatingOnly |
                                                 SeparationTable | SeparationHeading | SeparationFirstFailure;
// The separation check from every outlet in turn; false with the failing
// source outlet, the other outlet and the band. Pending window messages run
// between outlets; a cancel stops the walk with what was found so far.
bool ReportOutletSeparation(TCalculationRun& run, TCella*& source, TCella*& other, int32_t& band,
                            int32_t flags, TReportText& out);
bool WriteOutletSeparation(TProgetto& project, TCella* source, TCella*& other, int32_t& band, int32_t flags,
                           TReportText& out);
bool WriteOutletSeparationFor(TProgetto& project, TCella* source, int32_t flags, TReportText& out);

// The channel table of the "Calcoli canali" page keeps its header only.
void FillChannelTable(TRichEdit* table);

// The runs of the calculation pages, for the page change when the grids say
// the result is out of date. Each keeps the run's commands off meanwhile.
// "Calcoli rete": the progress panel at 0, the report, the network grid's
// flag cleared unless the report was cancelled; false when it was.
bool RunNetworkCalculations(TCalculationRun& run, TRichEdit* report);
// "Calcoli canali": the progress panel at 0, the channel pass with the cells'
// findings in the message list, the header written, both grids' channels
// flags cleared.
void RunChannelCalculations(TCalculationRun& run, TRichEdit* header, TRichEdit* table, TListBox* messages);
// "Calcoli canali richiesti": the same without a progress panel, clearing
// the required-channels flags.
void RunRequiredChannelCalculations(TCalculationRun& run, TRichEdit* table, TListBox* messages);
