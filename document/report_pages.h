#pragma once
// The calculation reports of the main window's pages: the "Calcoli rete"
// report and the runs of the calculation pages, written with the report
// writing of the cells' layer (cells/report_writing.h).
#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "cells/report_writing.h"
#include "platform/graphics.h"
#include "platform/sysutils.h"

class TRichEdit;
class TListaCanali;
class TBitmap;
class TCella;
class TListBox;
class TProgetto;
struct TAttenuazioniPrese;

// ---------------------------------------------------------------- calculation pages

// What a calculation asks of the window it runs in, which the shell
// implements: every command that could free or replace the project or its
// grids (menus, tabs, buttons, the drawing control) kept off while the
// calculation lets pending window messages run, and its progress shown.
class TCalculationWindow {
public:
    virtual ~TCalculationWindow() = default;
    // Locks nest: the commands are off from the first lock to the last
    // unlock, which gives each back the state it had.
    virtual void LockCommands() = 0;
    virtual void UnlockCommands() = 0;
    // The progress panel shown from 0, moved on, and hidden.
    virtual void ShowProgress() = 0;
    virtual void SetProgress(int percent) = 0;
    virtual void HideProgress() = 0;
};

// What a calculation page needs of the main window.
struct TCalculationRun {
    TProgetto* Project = nullptr;
    TCalculationWindow* Window = nullptr;  // none: nothing to keep off, no progress shown
    bool* Cancel = nullptr;                // set by the panel's "Annulla", or none
};

// Keeps the window's commands off for as long as it lives.
class TCommandLock {
public:
    explicit TCommandLock(TCalculationWindow* window);
    ~TCommandLock();
    TCommandLock(const TCommandLock&) = delete;
    TCommandLock& operator=(const TCommandLock&) = delete;

private:
    TCalculationWindow* window_;
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

// ---------------------------------------------------------------- rows of the calculation tables
// The same rows on the printed calculation tables and on the calculation
// pages, so that a page shows what its table prints.

// One block of the signal-limits table: its label and, band by band, the
// minimum and the maximum with the colour each is written in (band 0, the
// return channel, in magenta).
struct TSignalLimitBlock {
    AnsiString Label;
    std::vector<AnsiString> Minima, Maxima;
    std::vector<TColor> MinimumColours, MaximumColours;
};
// The blocks of a cell: for the head-end terminal one per output ("Uscita "
// and its number), with the windows admissible there; for an outlet one,
// under its short code, with the levels at its socket.
std::vector<TSignalLimitBlock> SignalLimitBlocks(TCella* cell);

// A block of the channel table: a name ("Uscita " and the number of a
// head-end output, or an outlet's short code) over the channels of that
// output, sorted by frequency (none: an output without a list).
struct TChannelBlock {
    AnsiString Name;
    TListaCanali* Channels = nullptr;
};
// The head-end terminal's outputs, or an outlet's socket.
std::vector<TChannelBlock> ChannelBlocks(TCella* cell);
// The texts of each of its rows: ChannelRowTexts (cells/report_writing.h).

// The title of the printed table of the head-end terminal's admissible
// signals, which the "Calcoli rete richiesti" report opens with too.
constexpr const char* HeadEndLimitsTitle =
    "Segnali minimi e massimi ammessi all'uscita del terminale di testa [dB]";

// The "Calcoli rete richiesti" report: the signals admissible at the outputs
// of the head-end terminal, band by band, left by the required-level walk,
// under the title of the printed table. The network levels are worked out
// first.
void ReportRequiredLevels(TProgetto& project, TRichEdit* report);
// The channel table of the "Calcoli canali" page: every outlet's channels,
// in the outlet chain's order, with their levels, as the printed channel
// table gives them. Called after the channel pass.
void FillChannelTable(TProgetto* project, TRichEdit* table);

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
