#pragma once
// The message reporter: the one channel through which calculations, checks,
// the designer and the dialogs report problems.
#include <cstdint>
#include <memory>
#include <utility>

#include "platform/sysutils.h"

class TListBox;

// The caption of the program's message boxes.
constexpr const char* ApplicationTitle = "Ordivex Varne";

// The grid a circuit error was found on, as the reporter keeps it for the
// window that shows the error: the drawing grids above are made of it, and
// the window asks them back for the whole grid (GridOf).
class TReportedGrid {
public:
    virtual ~TReportedGrid() = default;
};

// A cell found in error by the grid analysis or by cell placement.
struct TErroreCircuito {
    TErroreCircuito(int32_t column, int32_t row, uint8_t side, TReportedGrid* grid, int32_t kind)
        : Column(column), Row(row), Side(side), Grid(grid), Kind(kind) {}
    int32_t Column;
    int32_t Row;
    uint8_t Side;  // grid side 0-3, 4 when the error is not tied to a side
    TReportedGrid* Grid;
    int32_t Kind;  // 0 nothing to show, 1-10 the circuit-error messages
};

class TGestoreErrori {
public:
    TGestoreErrori() = default;
    TGestoreErrori(const TGestoreErrori&) = delete;
    TGestoreErrori& operator=(const TGestoreErrori&) = delete;

    // Chooses where messages go and enables the reporter; with no list, only
    // the first message of the run is shown (in a message box titled
    // ApplicationTitle, with one OK button and the exclamation icon).
    void SetTarget(TListBox* target);
    void Report(const AnsiString& text);
    // Holds the record in place of the one held before (none with nullptr).
    void SetPendingError(std::unique_ptr<TErroreCircuito> error) { pendingError = std::move(error); }
    TErroreCircuito* PendingError() const { return pendingError.get(); }

    TListBox* target = nullptr;
    bool enabled = false;  // callers clear it to switch the reporter off
    bool reportOnce = false;

private:
    std::unique_ptr<TErroreCircuito> pendingError;
};

// Switches the reporter off for a scope (a pass whose messages are not for
// the user) and gives it back its enabled flag after; nothing without one.
class TReporterOff {
public:
    explicit TReporterOff(TGestoreErrori* reporter) : reporter_(reporter) {
        if (!reporter_) return;
        saved_ = reporter_->enabled;
        reporter_->enabled = false;
    }
    ~TReporterOff() {
        if (reporter_) reporter_->enabled = saved_;
    }
    TReporterOff(const TReporterOff&) = delete;
    TReporterOff& operator=(const TReporterOff&) = delete;

private:
    TGestoreErrori* reporter_;
    bool saved_ = false;
};
