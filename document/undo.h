#pragma once
// TAnnulla: the undo list of one grid. Every insertion and removal of a cell
// or graphic sign that a grid operation is asked to record becomes a record;
// records are grouped into steps that one Undo reverses together.
//
// A record's group count is the number of further records, below it, that
// belong to the same step (each of them with a group of its own). A step is
// therefore its head and, recursively, the groups of the records it counts.
// The records of removed objects own them (the objects are off the grid);
// records of inserted objects point at objects the grid owns.
//
// How the grid records (callers pass recordUndo and a caption code):
//   InsertCell:  the removals it makes (caption 1), then one inserted-cell
//                record whose group counts those removals;
//   RemoveCell, RemoveSign: one removed record (group 0);
//   AddSign:     one inserted-sign record (group 0);
//   DeleteRect, a paste or a block move: its records, then one group marker
//                counting them.
// A caller building a step of its own (moving a sign: a recorded RemoveSign
// and AddSign) opens a TUndoStep, which counts what is pushed meanwhile and
// joins it under a marker or under the top record as it ends.
#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_set>

#include "platform/sysutils.h"

class TCella;
class TGridData;
class TSegnoGrafico;

// Operation of a record.
enum : uint8_t {
    UndoMarker = 0,    // a group marker (any value other than 1 and 2)
    UndoRemoved = 1,   // undo puts the object back
    UndoInserted = 2,  // undo takes the object away
    UndoGroup = 5,     // the marker that closes a paste or a block move
};

// Caption codes of the undo menu items.
enum : int32_t {
    CaptionRemoval = 1,    // removals done inside an insertion or a paste
    CaptionInsertion = 2,  // cells and signs inserted by a paste or a drawing action
    CaptionCut = 3,
    CaptionDelete = 4,
    CaptionPaste = 5,  // the group marker of every paste
    CaptionResize = 6,
    CaptionTextEdit = 7,
    CaptionMove = 8,
    CaptionProperties = 9,
};

// More records than this: the oldest whole step is dropped.
constexpr int UndoMaxRecords = 2000;

class TAnnulla {
public:
    explicit TAnnulla(TGridData* grid);
    ~TAnnulla();
    TAnnulla(const TAnnulla&) = delete;
    TAnnulla& operator=(const TAnnulla&) = delete;

    // A removed object: the list keeps it until it is undone or dropped.
    void PushRemoved(std::unique_ptr<TCella> cell, int32_t groupCount, int32_t caption);
    void PushRemoved(std::unique_ptr<TSegnoGrafico> sign, int32_t groupCount, int32_t caption);
    // An object the grid now holds.
    void PushInserted(TCella* cell, int32_t groupCount, int32_t caption);
    void PushInserted(TSegnoGrafico* sign, int32_t groupCount, int32_t caption);
    // A group marker: undoing it only undoes the records it counts.
    void PushMarker(int32_t groupCount, int32_t caption, uint8_t operation = UndoGroup);

    // The top record's group count becomes n; a count that runs past the
    // bottom of the list clears it. Nothing on an empty list.
    void SetGroupSize(int32_t n);
    // Undoes the top step: removed objects go back through InsertCell or
    // AddSign, inserted ones are removed for good, all without recording;
    // the grid is marked modified (15 for cells and markers, 1 for signs).
    void Undo();
    // "&Annulla" on an empty list, else the caption of the top record's code.
    AnsiString GetMenuCaption() const;
    // Frees every record and the objects removed records keep.
    void Clear();
    int Count() const { return static_cast<int>(records_.size()); }
    bool Empty() const { return records_.empty(); }

    // The object has left the grid for good (deleted or handed out without a
    // record): records that point at it become markers, so that an undo
    // never reaches it. Their group counts stay, keeping the steps whole.
    void Forget(const TCella* cell);
    void Forget(const TSegnoGrafico* sign);
    void Forget(const std::unordered_set<const TCella*>& cells);

    // A running count of the steps pushed: each push adds one and takes away
    // the steps its group joins, so that the count since any moment is the
    // number of steps pushed since then, whatever the list dropped or cleared.
    int64_t PushedSteps() const { return pushedSteps_; }

    // A view of the top records for tests and the menus: 0 is the top.
    struct TRecordView {
        const void* Object;
        uint8_t Kind;  // 0 cell, 1 sign
        uint8_t Operation;
        uint8_t Caption;
        int32_t GroupCount;
    };
    TRecordView Record(int index) const;

    TGridData* const Grid;

private:
    struct TRecord {
        TCella* Cell = nullptr;
        TSegnoGrafico* Sign = nullptr;
        std::unique_ptr<TCella> OwnedCell;         // removed cells
        std::unique_ptr<TSegnoGrafico> OwnedSign;  // removed signs
        uint8_t Kind = 0;
        uint8_t Operation = UndoMarker;
        uint8_t Caption = 0;
        int32_t GroupCount = 0;
    };
    static TRecord Make(uint8_t kind, uint8_t operation, int32_t groupCount, int32_t caption);
    void Push(TRecord record);
    // Finds the steps again from the records (after an undo or a changed
    // group count); clears the list when a count runs past its bottom.
    void FindSteps();
    void DropOldestStep();
    // Undoes the top record alone; answers its group count.
    int32_t UndoOne(int32_t& mask);

    std::deque<TRecord> records_;  // back() is the top (most recent)
    std::deque<size_t> steps_;     // records per step, the oldest first
    int64_t pushedSteps_ = 0;
};

// One undo step built of several recorded operations: the steps pushed while
// it lives (each recorded insertion or removal is one) become one as it ends,
// under a group marker of its own caption or under the last record pushed,
// whose caption then names the step. Without a list (nothing is recorded) it
// does nothing.
class TUndoStep {
public:
    enum class TEnd : uint8_t {
        Marker,       // a marker counting them, even when there are none
        MarkerIfAny,  // a marker counting them, when there are some
        UnderTop,     // the last record heads the others
    };
    TUndoStep(TAnnulla* list, TEnd end, int32_t caption = 0);
    ~TUndoStep();
    TUndoStep(const TUndoStep&) = delete;
    TUndoStep& operator=(const TUndoStep&) = delete;

    // The steps pushed since the step began.
    int32_t Count() const;
    // Ends the step now rather than at the end of the scope.
    void End();

private:
    TAnnulla* list_;
    TEnd end_;
    int32_t caption_;
    int64_t start_;
};
