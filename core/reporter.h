#pragma once
// The message reporter: the one channel through which calculations, checks,
// the designer and the dialogs report problems.
#include <cstdint>

#include "platform/sysutils.h"

class TListBox;
class TGridData;

// A cell found in error by the grid analysis or by cell placement.
struct TErroreCircuito {
    TErroreCircuito(int32_t column, int32_t row, uint8_t side, TGridData* grid, int32_t kind)
        : Column(column), Row(row), Side(side), Grid(grid), Kind(kind) {}
    int32_t Column;
    int32_t Row;
    uint8_t Side;      // grid side 0-3, 4 when the error is not tied to a side
    TGridData* Grid;
    int32_t Kind;      // 1-5, see the circuit-error messages
};

class TGestoreErrori {
public:
    TGestoreErrori() = default;
    ~TGestoreErrori();
    TGestoreErrori(const TGestoreErrori&) = delete;
    TGestoreErrori& operator=(const TGestoreErrori&) = delete;

    // Chooses where messages go and enables the reporter; with no list, only
    // the first message of the run is shown (in a message box).
    void SetTarget(TListBox* target);
    void Report(const AnsiString& text);
    // Takes ownership of the record; frees the one held before.
    void SetPendingError(TErroreCircuito* error);
    TErroreCircuito* PendingError() const { return pendingError; }

    TListBox* target = nullptr;
    bool enabled = false;   // callers clear it to switch the reporter off
    bool reportOnce = false;

private:
    TErroreCircuito* pendingError = nullptr;
};
