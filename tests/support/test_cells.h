#pragma once
// A small cell class for tests of the cell base and the grid: configurable
// ports, overlap and prototype, a category counter, and a count of the cells
// alive so that tests see which cells a grid deleted.
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "cells/cell.h"
#include "cells/factory.h"
#include "document/grid.h"
#include "document/signs.h"
#include "support/stand_in.h"

class TCellaProva : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    static constexpr int32_t CodiceProva = 1;  // built in place of the class of code 1 while registered

    TCellaProva(TCellGrid* owner, int32_t column, int32_t row, int32_t inputs = 1, int32_t through = 1,
                int32_t taps = 0, bool overlaps = false, int32_t orientation = 0);
    ~TCellaProva() override;

    bool CanOverlapCell() const override { return overlaps; }
    TCella* GetPrototype() const override { return prototype; }
    void TakeSequenceNumber(TContatoriCategoria& counters) override { TakeFromCounter(counters, 3); }
    AnsiString GetShortCode() const override { return ShortCodeWith("T"); }
    bool NeedsNoDescription() const override { return noDescription; }
    // The base clone (through the factory, see ScopedTestCellClass) with this
    // cell's port counts and overlap.
    std::unique_ptr<TCella> Clone() override;

    bool overlaps = false;
    bool noDescription = false;
    TCella* prototype = nullptr;

    static int Alive;
};

// While it lives, the factory builds TCellaProva for code 1 (with the asked
// counts), so that Clone works on test cells.
class ScopedTestCellClass {
public:
    ScopedTestCellClass();
    ~ScopedTestCellClass();
    ScopedTestCellClass(const ScopedTestCellClass&) = delete;
    ScopedTestCellClass& operator=(const ScopedTestCellClass&) = delete;

private:
    TCellMaker before_;
};

// A window that records the squares it is asked to repaint.
class RecordingGridWindow : public TGridWindow {
public:
    void RepaintCell(int32_t column, int32_t row) override {
        Repainted.push_back({row, column, row, column});
    }
    std::vector<TCellRect> Repainted;  // one square each: (row, column, row, column)
};

// A window that also records the signs that leave its grid.
class SignWindow : public RecordingGridWindow {
public:
    void SignLeft(TSegnoGrafico* sign) override { Left.push_back(sign); }
    std::vector<TSegnoGrafico*> Left;
};

// A new sign of grid (not yet on it) from (x1, y1) to (x2, y2).
std::unique_ptr<TSegnoGrafico> MakeSign(TGridData* grid, int32_t kind, int32_t x1, int32_t y1, int32_t x2,
                                        int32_t y2);

// (column, row)
using Square = std::pair<int32_t, int32_t>;
// The squares of grid holding a cell other than the head-end terminal.
std::set<Square> Occupied(const TGridData& grid);
