#pragma once
// TCellGrid: what a cell knows of the grid it stands on. The squares, the
// size, the kind, the chains' first cells and the analysis records are data
// here, read by the passes and the walks without a call through a table; what
// belongs to the document (the project, the window, undo, signs, the file
// section, the analysis itself) the document's grid supplies by overriding
// the virtual operations below.
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "cells/cell.h"
#include "core/reporter.h"

class TCellProject;
// The window that shows a grid, as the cells know it: whether there is one.
// The document's window interface is made of it (TGridWindow, document/grid.h).
class TCellGridWindow {
public:
    virtual ~TCellGridWindow() = default;
};
class TStream;

// Grid kinds.
constexpr int32_t GridHeadEnd = 0;  // page "Testa"
constexpr int32_t GridNetwork = 1;  // page "Rete"
constexpr int32_t GridSymbol = 10;  // the symbol of a custom component
constexpr int32_t GridCustom = 11;  // the structure of a custom component

// Modified masks of SetModified.
enum : int32_t {
    ModDrawing = 1,  // signs and texts
    ModEstimate = 2,
    ModNetwork = 4,   // network-level calculations
    ModChannels = 8,  // channel calculations
    ModAll = 15,      // every cell edit
};

// One entry of the connectivity analysis's work queue: the square a signal
// arrives at, the side of that square it enters by (0 top, 1 right, 2 bottom,
// 3 left, 4 a start record), the sending output port, the sender's type code,
// whether the line must end in a termination and whether it may end open.
struct TNextCell {
    int32_t Column = 0;
    int32_t Row = 0;
    uint8_t Side = 0;
    int32_t Port = 0;
    int32_t TypeCode = 0;
    uint8_t NeedsTermination = 0;
    uint8_t MayEndOpen = 0;
};

constexpr uint8_t SideStart = 4;

// First in, first out queue of the analysis.
class TQNextCell {
public:
    void Push(const TNextCell& record) { entries_.push_back(record); }
    // Copies the head into record and drops it; false when the queue is empty.
    bool Pop(TNextCell& record) {
        if (entries_.empty()) return false;
        record = entries_.front();
        entries_.pop_front();
        return true;
    }
    bool Empty() const { return entries_.empty(); }
    int Count() const { return static_cast<int>(entries_.size()); }

private:
    std::deque<TNextCell> entries_;
};

// The analysis record of one square while an analysis runs: visited, and per
// side an input waiting there, which input of the square's cell it is and
// whether it may stay unconnected.
struct TSquareAnalysis {
    uint8_t Visited = 0;
    uint8_t Spare[2] = {0, 0};
    uint8_t Waiting[4] = {0, 0, 0, 0};
    int32_t InputIndex[4] = {0, 0, 0, 0};
    uint8_t MayStayOpen[4] = {0, 0, 0, 0};
};

class TCellGrid : public TReportedGrid {
public:
    TCellGrid(int32_t columns, int32_t rows, int32_t kind);
    ~TCellGrid() override;
    TCellGrid(const TCellGrid&) = delete;
    TCellGrid& operator=(const TCellGrid&) = delete;

    // ---- The squares ----
    TCella* CellAt(int32_t column, int32_t row) const {
        if (!Inside(column, row)) return nullptr;
        return cells_[Index(column, row)];
    }
    bool Inside(int32_t column, int32_t row) const {
        return column >= 0 && column < Columns && row >= 0 && row < Rows;
    }
    // True when the rectangle lies where cells may stand (the head-end
    // terminal alone may use the rows kept for it).
    bool InsideUsableArea(const TCellRect& rect) const;
    // Sets a square of the head-end terminal's row (its line count changes
    // the squares it covers); other callers go through the grid's insertion.
    void PutOnSquare(int32_t column, int32_t row, TCella* cell) {
        if (Inside(column, row)) cells_[Index(column, row)] = cell;
    }
    // The analysis record of a square while an analysis runs; none otherwise
    // and outside the grid.
    TSquareAnalysis* AnalysisAt(int32_t column, int32_t row) {
        if (analysis_.empty() || !Inside(column, row)) return nullptr;
        return &analysis_[Index(column, row)];
    }
    // The drawing's detail level: the project's, or the grid's own Step
    // without a project.
    int32_t DetailLevel() const;

    // ---- What the document's grid supplies ----
    // The project the grid belongs to; none for the grids of a custom
    // component and for a grid standing alone.
    virtual TCellProject* CellProject() const = 0;
    virtual void SetModified(int32_t mask) = 0;
    virtual void RepaintSquare(int32_t column, int32_t row) = 0;
    // Deletes every cell and sign; anchor and first outlet become none.
    virtual void Clear() = 0;
    // Changes the size; false when an occupied square would leave the grid.
    virtual bool Resize(int32_t columns, int32_t rows) = 0;
    // The grid section of a project file (tag, kind, size, signs, cells),
    // and the reading of what follows its size into a grid already sized.
    virtual void Save(TStream& stream, int32_t version) = 0;
    virtual bool Load(TStream& stream, int32_t version, AnsiString* problem = nullptr) = 0;
    // Makes target an exact copy of this grid's size, cells and signs.
    virtual void CopyTo(TCellGrid& target) = 0;
    // The connectivity analysis; false at the first fault.
    virtual bool Analyse(bool report) = 0;
    // Sets the walk mark of every cell and overlay to 0.
    virtual void ClearWalkMarks() = 0;
    // Gives every cell after the anchor its sequence number, the counters
    // first set to 1 when reset is true.
    virtual void NumberCells(TContatoriCategoria& counters, bool reset) = 0;
    virtual bool AllCellsDescribed(bool strict) const = 0;
    virtual bool HasComponents() const = 0;
    // "Copia dati": the data of source into the cells of its kind.
    virtual void CopyDataToSameKind(bool all, TCella* source) = 0;

    int32_t Columns = 0;
    int32_t Rows = 0;
    int32_t Kind = 0;
    int32_t Step = 1;               // detail level when the grid has no project
    TCella* Anchor = nullptr;       // the head-end terminal, first cell of the cell chain
    TCella* FirstOutlet = nullptr;  // first cell of the outlet chain
    // The window showing the grid (the document says what it is): the cells
    // only ask whether there is one, and lend it to a grid of their own.
    TCellGridWindow* Window = nullptr;

protected:
    size_t Index(int32_t column, int32_t row) const {
        return static_cast<size_t>(column) * static_cast<size_t>(Rows) + static_cast<size_t>(row);
    }

    std::vector<TCella*> cells_;               // [column][row], column-major; they only point
    std::vector<TSquareAnalysis> analysis_;    // while an analysis runs
};

// Makes the grids a custom component holds its structure and symbol in: an
// empty grid of that size and kind, of no project. The document's grid names
// it (document/grid.cpp, when the program starts and again with every grid
// made; `NameCellGridMaker` for a program that makes no grid).
using TCellGridMaker = std::unique_ptr<TCellGrid> (*)(int32_t columns, int32_t rows, int32_t kind);
void SetCellGridMaker(TCellGridMaker maker);
// A grid of the maker named; throws std::logic_error when none is.
std::unique_ptr<TCellGrid> MakeCellGrid(int32_t columns, int32_t rows, int32_t kind);
