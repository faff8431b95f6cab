#pragma once
// TGridData: one drawing grid, a rectangle of squares on which cells stand.
// Every cell enters a grid through InsertCell and leaves it through RemoveCell,
// the only places (with Resize and the head-end terminal's line count) that
// write the squares.
#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "cells/cell.h"
#include "cells/cell_grid.h"

class TAnnulla;
class TBufferCopia;
class TProgetto;
class TSegnoGrafico;
class TSegniGrafici;
class TStream;
class TProjectPages;
class TGridData;

// Size of a new project's grids, and the least size the scheme may shrink to.
constexpr int32_t GridDefaultSize = 75;
constexpr int32_t GridMinimumSize = 50;

// Pixels of one square in the units graphic signs are stored in.
constexpr int32_t SquarePixels = 42;

// What the grid asks of the window that shows it.
class TGridWindow : public TCellGridWindow {
public:
    virtual void RepaintCell(int32_t column, int32_t row) = 0;
    // The sign is leaving the grid (removed, cut, undone): a window that keeps
    // it selected must drop it before it may be deleted.
    virtual void SignLeft(TSegnoGrafico* sign) { (void)sign; }
    // What signs are painted with: the width and height of a square on
    // screen (42 at zoom 1), the first square shown, and whether the window's
    // selection holds a sign.
    virtual int ColumnWidth() const { return SquarePixels; }
    virtual int RowHeight() const { return SquarePixels; }
    virtual int32_t FirstVisibleColumn() const { return 0; }
    virtual int32_t FirstVisibleRow() const { return 0; }
    virtual bool IsSignSelected(const TSegnoGrafico* sign) const {
        (void)sign;
        return false;
    }
    // The grid is going away: its owner tells the window before freeing it.
    virtual void DetachGrid(TGridData* /*grid*/) {}
};

// The document's grid: the squares and chains of TCellGrid with the signs,
// the undo list, the copy buffer and the window.
class TGridData final : public TCellGrid {
public:
    TGridData(TProgetto* project, int32_t columns, int32_t rows, int32_t kind);
    ~TGridData() override;
    TGridData(const TGridData&) = delete;
    TGridData& operator=(const TGridData&) = delete;

    // Deletes every cell (and its overlay) and every sign, telling the window
    // of each sign; empties the undo list; anchor and first outlet become
    // none; everything is out of date.
    void Clear() override;
    // Changes the size, keeping the anchor in its row at column
    // (columns / 2) - 1 and moving every cell and sign with it. Refused
    // (false) when an occupied square would leave the grid. A resize that
    // moves the drawing empties the undo list: its removed cells would come
    // back beside the wrong neighbours.
    bool Resize(int32_t columns, int32_t rows) override;
    // The least size Resize accepts for the present drawing.
    void GetMinimumSize(int32_t& columns, int32_t& rows) const;

    // Puts a cell on its squares, replacing what stands there (a straight
    // cable crossing another stays as its overlay). A refused cell is freed
    // with the pointer that brought it.
    // Recording, the removals are recorded with caption 1 and then one
    // inserted-cell record, whose group counts them, with the caption given.
    bool InsertCell(std::unique_ptr<TCella> cell, bool recordUndo, int32_t caption);
    // What InsertCell lost since the grid was made, for the designer to
    // check its drawings by: cells refused, and cells displaced that were
    // neither an anchor nor a piece of cable (those a cable run covers by
    // design). Anyone placing cells may add its own refusals.
    int32_t RefusedInsertions = 0;
    int32_t DisplacedCells = 0;
    // Takes a cell off its squares and out of the links and chains of the
    // other cells. Recording, the undo list keeps it (a removed-cell record);
    // otherwise it is deleted.
    bool RemoveCell(TCella* cell, bool recordUndo, int32_t caption);
    // RemoveCell without a record that hands the cell back to the caller;
    // none for none or a cell of another grid.
    std::unique_ptr<TCella> TakeOutCell(TCella* cell);
    // Removes every cell standing on the rectangle (cut to the grid), each
    // whole with the cable crossing it, except the anchor; recording, each
    // one is a removed-cell record with the caption. Answers how many.
    int RemoveCellsIn(const TCellRect& rect, bool recordUndo, int32_t caption);
    // Removes every cell on the rectangle except the anchor, every graphic
    // sign whose hit test accepts the rectangle and the given signs of this
    // grid (the ones selected, wherever they lie); recording, one group
    // record with the caption counts them all, and nothing is recorded when
    // nothing went. Answers how many went.
    int DeleteRect(const TCellRect& rect, bool recordUndo, int32_t caption,
                   const std::vector<TSegnoGrafico*>& signs = {});

    // Takes a sign into the grid's list and square index. A sign with both
    // ends outside the grid's pixels is refused and deleted. Recording: an
    // inserted-sign record.
    bool AddSign(std::unique_ptr<TSegnoGrafico> sign, bool recordUndo, int32_t caption);
    // Takes a sign of this grid out of the list and index, tells the window
    // it has left, and deletes it unless the undo list keeps it (recording).
    // False for none or a sign of another grid.
    bool RemoveSign(TSegnoGrafico* sign, bool recordUndo, int32_t caption);
    // The signs crossing a square (none outside the grid).
    const std::vector<TSegnoGrafico*>& SignsAt(int32_t column, int32_t row) const;
    // The square index of the signs list: a sign is entered on every square
    // of its bounding box, cut to the grid, that its hit test accepts.
    // TSegniGrafici keeps it in step with its list.
    void IndexSign(TSegnoGrafico* sign, bool repaint);
    void UnindexSign(TSegnoGrafico* sign, bool repaint);
    void ClearSignIndex();
    // Squares entered in the index, counting each sign on each square.
    int64_t SignIndexEntries() const { return signIndexEntries_; }
    // The most squares indexing the sign may enter (before it is indexed).
    int64_t SignSquareBound(const TSegnoGrafico* sign) const;

    // The overlay of the square's cell when second > first, else the cell.
    TCella* CellAtLayer(int32_t column, int32_t row, int32_t first, int32_t second) const;

    uint8_t ErrorMark(int32_t column, int32_t row) const;
    void SetErrorMark(int32_t column, int32_t row, uint8_t mark);

    bool HasComponents() const override;
    bool HasEarthSymbol() const;
    TCellRect GetFullArea() const { return TCellRect{0, 0, Rows - 1, Columns - 1}; }
    TCellRect GetUsedArea() const;
    bool AllCellsDescribed(bool strict) const override;

    void MarkAllOutOfDate();
    void SetModified(int32_t mask) override;
    void RepaintSquare(int32_t column, int32_t row) override;
    TCellProject* CellProject() const override;

    // Sets the walk mark of every cell and overlay to 0.
    void ClearWalkMarks() override;
    // Gives every cell after the anchor its sequence number, the counters
    // first set to 1 when reset is true.
    void NumberCells(TContatoriCategoria& counters, bool reset) override;

    // The connectivity analysis: turns the drawing into a signal graph
    // (links, cable runs collapsed onto their heads, the cell and outlet
    // chains). False at the first fault; with report, that fault is left as
    // the reporter's pending circuit error.
    bool Analyse(bool report) override;
    // The required-level pass over the cell chain, anchor included.
    void RunRequiredLevelPass();
    // The designer's model choice of every termination of the grid, square
    // by square, by the connector of the component each one faces.
    void ChooseTerminations(TCella* candidates);

    // Allocates (cleared) or frees the analysis records; the analysis calls them.
    void BeginAnalysis();
    void EndAnalysis();

    // The grid section of a project file (grid_file.cpp): tag, kind, size,
    // the sign block and the cell records. Load reads what follows the size
    // into the grid, already sized by the caller. It answers false, saying
    // why in problem, and leaves the grid empty, when the section does not
    // read whole: it ends before its end mark, a record does not read, or a
    // cell cannot be placed.
    void Save(TStream& stream, int32_t version) override;
    bool Load(TStream& stream, int32_t version, AnsiString* problem = nullptr) override;
    // Places a cell read from a file: refused (false, problem naming the
    // cell) when it falls outside the grid or on another cell's squares,
    // where InsertCell would put it in the other's place.
    bool PlaceLoadedCell(std::unique_ptr<TCella> cell, AnsiString* problem);
    // Makes target an exact copy of this grid's size, cells and signs,
    // through a copy buffer (the target keeps its kind, project and window):
    // the target's terminal is a copy of this grid's.
    void CopyTo(TCellGrid& target) override;
    void CopyTo(TGridData& target);

    // ---- Block operations (grid_blocks.cpp) ----

    // Moves the cells whose first square lies in rect (cut to source) to
    // target, the rectangle's first square going to (column, row): the
    // target rectangle is cut to the target and kept off its terminal's row,
    // then emptied; each cell is taken out whole (links and chains of the
    // source forget it) and inserted; a refused cell is dropped. The
    // terminal stays on its grid. Recording, the removals and insertions on
    // the target are one step "&Annulla incolla". Source and target may be
    // the same grid.
    static void MoveBlock(TGridData* source, const TCellRect& rect, TGridData* target, int32_t column,
                          int32_t row, bool recordUndo);
    // The same, each cell mirrored left to right within the target rectangle.
    static void MoveBlockMirrored(TGridData* source, const TCellRect& rect, TGridData* target, int32_t column,
                                  int32_t row, bool recordUndo);
    // "Copia dati": copies the data of source into the cells of the same kind
    // in the grid's chain that the person ticks in the copy-data form (all of
    // them with all, without the form), asking first when some of them are
    // described already.
    void CopyDataToSameKind(bool all, TCella* source) override;
    // The window showing the grid: a window attached before, showing this
    // grid, lets it go first. DetachView forgets window when it is the grid's.
    void AttachView(TGridWindow* window);
    void DetachView(TGridWindow* window);
    // The window that shows the grid, none when no window does: only a
    // TGridWindow is ever attached (AttachView), or lent by a grid it shows.
    TGridWindow* View() const { return static_cast<TGridWindow*>(Window); }

    TProjectPages* Form = nullptr;
    TProgetto* Project = nullptr;
    int32_t SavedLeft = -1;         // first visible column when last shown
    int32_t SavedTop = -1;          // first visible row when last shown
    bool NetworkOutOfDate = true;
    bool RequiredOutOfDate = true;
    bool ChannelsOutOfDate = true;
    bool RequiredChannelsOutOfDate = true;
    std::unique_ptr<TSegniGrafici> Signs;      // the graphic signs drawn over the grid
    std::unique_ptr<TAnnulla> UndoList;        // the edits an undo reverses (document/undo.h)
    std::unique_ptr<TBufferCopia> CopyBuffer;  // what Copia and Incolla work with (document/copy_buffer.h)

private:
    bool HoldsHeadEnd() const;
    bool FindAnchorColumn(int32_t& column, int32_t& row) const;
    // The squares of a sign's bounding box, cut to the grid; false when none.
    bool SignSquares(const TSegnoGrafico* sign, TCellRect& squares) const;
    void PlaceOnSquare(int32_t column, int32_t row, TCella* cell);
    // Drops every reference that the cells of the grid and the chains hold to
    // cell, and the cell's own links.
    void ForgetCell(TCella* cell);
    // The same, in one walk, for the cell one and every cell of many.
    void ForgetCells(const TCella* one, const std::unordered_set<const TCella*>* many);
    void UnlinkOwn(TCella* cell);
    // Takes a cell of this grid off its squares; false for none, a cell of
    // another grid or an overlay the square does not hold.
    bool LiftCell(TCella* cell);
    void Empty(bool tellWindow);
    static void MoveCells(TGridData* source, const TCellRect& rect, TGridData* target, int32_t column,
                          int32_t row, bool recordUndo, bool mirrored);

    // The cells stand on the squares; the grid owns them here, each entered
    // when it comes onto the grid and taken out when it leaves.
    TCella* Own(std::unique_ptr<TCella> cell);
    std::unique_ptr<TCella> Disown(TCella* cell);

    std::unordered_map<const TCella*, std::unique_ptr<TCella>> owned_;
    std::vector<uint8_t> errorMarks_;                     // [column][row]
    // The signs of each square that some sign crosses, by Index (a large
    // grid holds few such squares).
    std::unordered_map<size_t, std::vector<TSegnoGrafico*>> signIndex_;
    int64_t signIndexEntries_ = 0;
};

// The document's grid a cell stands on: every grid a cell stands on is one
// (TGridData is the one grid class), so this is how the code above the cells
// reaches the whole grid from a cell's owner.
// Names the document's grid as the maker of a custom component's grids. The
// program does it as it starts; a program that reads cells without ever
// making a grid (a static link may leave this file's start-up out) calls it
// before its first cell.
void NameCellGridMaker();

inline TGridData* GridOf(TCellGrid* grid) { return static_cast<TGridData*>(grid); }
inline const TGridData* GridOf(const TCellGrid* grid) { return static_cast<const TGridData*>(grid); }
// The grid a circuit error was reported on.
inline TGridData* GridOf(TReportedGrid* grid) { return GridOf(dynamic_cast<TCellGrid*>(grid)); }
inline TGridData* GridOf(const TCella* cell) { return cell ? GridOf(cell->Owner) : nullptr; }
// The same for a grid a cell holds (a custom component's structure and drawing).
inline TGridData& GridOf(const std::unique_ptr<TCellGrid>& grid) { return *GridOf(grid.get()); }
