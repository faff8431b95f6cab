// The connectivity analysis of a grid. Cells placed side by side are only a
// drawing; the analysis follows the signal square by square from every
// source, lets each cell it reaches occupy its squares and declare its ports,
// links every arriving signal to the input waiting for it, checks that every
// input was reached, collapses each cable run onto its run head and rebuilds
// the grid's chain of cells and chain of outlets.
#include <algorithm>
#include <memory>
#include <vector>

#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/pass_links.h"
#include "cells/separation_log.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "document/circuit_errors.h"
#include "document/grid.h"

namespace {

bool IsSegment(const TCella* cell) { return cell && cell->HasRole(RoleCableSegment); }

class Analysis {
public:
    Analysis(TGridData& grid, bool report) : grid_(grid), report_(report) {}

    bool Run();

private:
    bool Fail(int32_t column, int32_t row, uint8_t side, int32_t kind);
    bool Propagate();
    bool Link(const TNextCell& record, TCella* cell, TSquareAnalysis& square);
    void AttachTerminations();
    bool CheckReached();
    void ChooseRunHeads();
    void CollapseRuns();
    void SetCableKinds();
    void MoveDescriptionsToHeads();
    void BuildChains();

    // Every cell standing on a square: the square's cell and its overlays.
    template <typename F>
    void ForCellsOn(int32_t column, int32_t row, F f) {
        int guard = 0;
        for (TCella* cell = grid_.CellAt(column, row); cell && guard < 4; cell = cell->Overlay, ++guard)
            f(cell);
    }
    // The segments of a run, following output 0 from first; bounded so that a
    // run closed on itself ends.
    std::vector<TCella*> RunFrom(TCella* first) const;
    size_t Bound() const {
        return 2 * static_cast<size_t>(std::max(0, grid_.Columns)) *
                   static_cast<size_t>(std::max(0, grid_.Rows)) +
               2;
    }

    TGridData& grid_;
    bool report_;
    TQNextCell queue_;
};

bool Analysis::Fail(int32_t column, int32_t row, uint8_t side, int32_t kind) {
    if (report_ && GestoreErrori)
        GestoreErrori->SetPendingError(std::make_unique<TErroreCircuito>(column, row, side, &grid_, kind));
    return false;
}

bool Analysis::Run() {
    const int32_t columns = grid_.Columns;
    const int32_t rows = grid_.Rows;
    // Every square starts unvisited, without error mark, its cells unlinked.
    for (int32_t c = 0; c < columns; ++c)
        for (int32_t r = 0; r < rows; ++r) {
            grid_.SetErrorMark(c, r, 0);
            ForCellsOn(c, r, [](TCella* cell) { cell->AllocLinks(); });
        }
    // The signal starts at every source, in reading order.
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c) {
            TCella* cell = grid_.CellAt(c, r);
            if (!cell || cell->Column != c || cell->Row != r || !cell->IsSignalStart()) continue;
            TNextCell start;
            start.Column = c;
            start.Row = r;
            start.Side = SideStart;
            queue_.Push(start);
        }
    if (!Propagate()) return false;
    AttachTerminations();
    if (!CheckReached()) return false;
    ChooseRunHeads();
    CollapseRuns();
    SetCableKinds();
    MoveDescriptionsToHeads();
    BuildChains();
    return true;
}

bool Analysis::Propagate() {
    TNextCell record;
    while (queue_.Pop(record)) {
        if (!grid_.Inside(record.Column, record.Row)) {
            if (record.MayEndOpen) continue;
            return Fail(std::clamp(record.Column, 0, grid_.Columns - 1),
                        std::clamp(record.Row, 0, grid_.Rows - 1), record.Side, ErroreInterruzione);
        }
        TSquareAnalysis* square = grid_.AnalysisAt(record.Column, record.Row);
        TCella* cell = grid_.CellAt(record.Column, record.Row);
        if (!square) return false;
        if (!square->Visited) {
            if (!cell) {
                if (record.MayEndOpen) continue;
                return Fail(record.Column, record.Row, record.Side, ErroreInterruzione);
            }
            // A refusing cell has left its own circuit error.
            if (!cell->PlaceOnGrid(record, queue_)) return false;
        }
        if (!Link(record, cell, *square)) return false;
    }
    return true;
}

bool Analysis::Link(const TNextCell& record, TCella* cell, TSquareAnalysis& square) {
    if (record.Side >= SideStart) return true;
    const int32_t side = record.Side;
    if (!square.Waiting[side] || !cell) {
        if (record.MayEndOpen) return true;
        return Fail(record.Column, record.Row, record.Side, ErroreNonIngresso);
    }
    int32_t senderColumn = record.Column, senderRow = record.Row;
    StepAcross(SideOf(side), senderColumn, senderRow);
    TCella* sender = grid_.CellAt(senderColumn, senderRow);
    TCella* receiver = cell;
    // Vertical lines run on the crossing layer.
    if (side % 2 == 0) {
        if (sender && sender->Overlay) sender = sender->Overlay;
        if (receiver->Overlay) receiver = receiver->Overlay;
    }
    square.Waiting[side] = 0;
    const int32_t input = square.InputIndex[side];
    if (input >= 0 && static_cast<size_t>(input) < receiver->InputCell.size()) {
        receiver->InputCell[static_cast<size_t>(input)] = sender;
        receiver->InputPort[static_cast<size_t>(input)] = sender ? record.Port : -1;
    }
    if (sender && record.Port >= 0 && static_cast<size_t>(record.Port) < sender->OutputCell.size()) {
        sender->OutputCell[static_cast<size_t>(record.Port)] = receiver;
        sender->OutputPort[static_cast<size_t>(record.Port)] = input;
    }
    return true;
}

// A termination the signal never reached closes the input it faces.
void Analysis::AttachTerminations() {
    for (int32_t r = 0; r < grid_.Rows; ++r)
        for (int32_t c = 0; c < grid_.Columns; ++c) {
            TCella* term = grid_.CellAt(c, r);
            TSquareAnalysis* own = grid_.AnalysisAt(c, r);
            if (!term || !term->HasRole(RoleTermination) || !own || own->Visited) continue;
            // Orientation 0 faces the square above, 1 the right, 2 below, 3
            // the left, and closes the input waiting on the side facing it.
            const TSide faces = term->Transform().Apply(TSide::Top);
            int32_t fc = c, fr = r;
            StepAcross(faces, fc, fr);
            const int32_t side = SideNumber(Opposite(faces));
            TCella* faced = grid_.CellAt(fc, fr);
            TSquareAnalysis* square = grid_.AnalysisAt(fc, fr);
            if (!faced || !square || IsSegment(faced) || !square->Waiting[side]) continue;
            own->Visited = 1;
            square->Waiting[side] = 0;
            const int32_t input = square->InputIndex[side];
            if (input >= 0 && static_cast<size_t>(input) < faced->InputCell.size()) {
                faced->InputCell[static_cast<size_t>(input)] = term;
                faced->InputPort[static_cast<size_t>(input)] = 0;
            }
        }
}

bool Analysis::CheckReached() {
    const int32_t kind = grid_.Kind == GridHeadEnd ? ErroreIngressoTesta : ErroreIngressoRete;
    static constexpr int32_t sideOrder[4] = {0, 2, 3, 1};  // top, bottom, left, right
    for (int32_t r = 0; r < grid_.Rows; ++r)
        for (int32_t c = 0; c < grid_.Columns; ++c) {
            const TSquareAnalysis* square = grid_.AnalysisAt(c, r);
            TCella* cell = grid_.CellAt(c, r);
            if (!square) continue;
            if (cell && !square->Visited && cell->TakesPartInAnalysis()) return Fail(c, r, SideStart, kind);
            for (int32_t side : sideOrder)
                if (square->Waiting[side] && !square->MayStayOpen[side]) return Fail(c, r, SideStart, kind);
        }
    return true;
}

std::vector<TCella*> Analysis::RunFrom(TCella* first) const {
    std::vector<TCella*> run;
    const size_t bound = Bound();
    for (TCella* seg = first; IsSegment(seg) && run.size() < bound; seg = OutputNeighbour(*seg, 0)) {
        if (std::find(run.begin(), run.end(), seg) != run.end()) break;
        run.push_back(seg);
    }
    return run;
}

// The run head moves to the first segment downstream that stands alone on
// its square, so that its labels are not drawn over a crossing.
void Analysis::ChooseRunHeads() {
    for (int32_t r = 1; r < grid_.Rows; ++r)
        for (int32_t c = 0; c < grid_.Columns; ++c)
            if (TSquareAnalysis* square = grid_.AnalysisAt(c, r)) square->Visited = 0;
    for (int32_t r = 1; r < grid_.Rows; ++r)
        for (int32_t c = 0; c < grid_.Columns; ++c) {
            std::vector<TCella*> heads;
            ForCellsOn(c, r, [&](TCella* cell) {
                if (IsSegment(cell) && cell->IsRunHead()) heads.push_back(cell);
            });
            for (TCella* start : heads) {
                TSquareAnalysis* own = grid_.AnalysisAt(c, r);
                if (!own || own->Visited) continue;
                TCella* candidate = start;
                for (TCella* seg : RunFrom(start)) {
                    if (seg->KeepsOffRunHead()) continue;
                    const bool alone = grid_.CellAt(seg->Column, seg->Row) == seg && !seg->Overlay;
                    if (alone) {
                        candidate = seg;
                        break;
                    }
                    if (candidate->KeepsOffRunHead()) candidate = seg;
                }
                start->SetRunHead(false);
                candidate->SetRunHead(true);
                if (TSquareAnalysis* chosen = grid_.AnalysisAt(candidate->Column, candidate->Row))
                    chosen->Visited = 1;
            }
        }
}

// Each run enters the signal graph as its head alone: the component before
// the run feeds the head, the head feeds the component after it, and every
// other segment points back at the head.
void Analysis::CollapseRuns() {
    for (int32_t c = 0; c < grid_.Columns; ++c)
        for (int32_t r = 0; r < grid_.Rows; ++r) {
            std::vector<TCella*> heads;
            ForCellsOn(c, r, [&](TCella* cell) {
                if (IsSegment(cell) && cell->IsRunHead()) heads.push_back(cell);
            });
            for (TCella* head : heads) {
                TCella* first = head;
                for (size_t guard = Bound(); guard > 0; --guard) {
                    TCella* up = InputNeighbour(*first, 0);
                    if (!IsSegment(up) || up == head) break;
                    first = up;
                }
                const std::vector<TCella*> run = RunFrom(first);
                if (run.empty()) continue;
                TCella* last = run.back();
                TCella* before = InputNeighbour(*first, 0);
                const int32_t beforePort = InputNeighbourPort(*first, 0);
                TCella* after = OutputNeighbour(*last, 0);
                const int32_t afterPort = OutputNeighbourPort(*last, 0);
                if (IsSegment(before)) before = nullptr;  // a run closed on itself
                if (IsSegment(after)) after = nullptr;

                if (!head->InputCell.empty()) {
                    head->InputCell[0] = before;
                    head->InputPort[0] = before ? beforePort : -1;
                }
                if (before && beforePort >= 0 &&
                    static_cast<size_t>(beforePort) < before->OutputCell.size()) {
                    before->OutputCell[static_cast<size_t>(beforePort)] = head;
                    before->OutputPort[static_cast<size_t>(beforePort)] = 0;
                }
                if (!head->OutputCell.empty()) {
                    head->OutputCell[0] = after;
                    head->OutputPort[0] = after ? afterPort : -1;
                }
                if (after && afterPort >= 0 && static_cast<size_t>(afterPort) < after->InputCell.size()) {
                    after->InputCell[static_cast<size_t>(afterPort)] = head;
                    after->InputPort[static_cast<size_t>(afterPort)] = 0;
                }
                for (TCella* seg : run) {
                    if (seg == head || seg->InputCell.empty()) continue;
                    seg->InputCell[0] = head;
                    seg->InputPort[0] = 0;
                }
            }
        }
}

// A run between two auto-mixing modules is a jumper; any other run a cable.
void Analysis::SetCableKinds() {
    auto mixes = [](TCella* cell) { return cell && cell->HasRole(RoleJoinsByJumpers); };
    for (int32_t c = 0; c < grid_.Columns; ++c)
        for (int32_t r = 0; r < grid_.Rows; ++r)
            ForCellsOn(c, r, [&](TCella* head) {
                if (!IsSegment(head) || !head->IsRunHead() || head->Column != c || head->Row != r) return;
                MakeJumper(*head, mixes(InputNeighbour(*head, 0)) && mixes(OutputNeighbour(*head, 0)));
            });
    for (int32_t c = 0; c < grid_.Columns; ++c)
        for (int32_t r = 0; r < grid_.Rows; ++r)
            ForCellsOn(c, r, [&](TCella* cell) {
                if (!IsSegment(cell) || cell->IsRunHead()) return;
                if (TCella* head = InputNeighbour(*cell, 0)) cell->TypeCode = head->TypeCode;
            });
}

// The data of a run live in its head; a described segment elsewhere on the
// run hands them over and forgets them.
void Analysis::MoveDescriptionsToHeads() {
    for (int32_t c = 0; c < grid_.Columns; ++c)
        for (int32_t r = 0; r < grid_.Rows; ++r)
            ForCellsOn(c, r, [&](TCella* seg) {
                if (!IsSegment(seg) || seg->IsRunHead() || !seg->Described) return;
                TCella* head = InputNeighbour(*seg, 0);
                if (IsSegment(head) && head->IsRunHead() && !head->Described) seg->Assign(head);
                seg->Described = 0;
                // A segment's data: the loss per 100 m (column 0) and the length (column 1).
                for (int32_t b = 0; b < BandSlots; ++b) {
                    seg->Attenuation->Set3(0, 0, b, LevelNone);
                    seg->Attenuation->Set3(0, 1, b, LevelNone);
                }
                seg->Description.clear();
                seg->Article.clear();
                seg->Notes.clear();
                seg->Brand.clear();
                seg->Code.clear();
                seg->Series.clear();
                seg->Price = LevelNone;
                seg->InstallMinutes = static_cast<int32_t>(LevelNone);
            });
}

void Analysis::BuildChains() {
    TCella* firstCell = nullptr;
    TCella* lastCell = nullptr;
    TCella* headEnd = nullptr;
    TCella* firstOutlet = nullptr;
    TCella* lastOutlet = nullptr;
    for (int32_t r = 0; r < grid_.Rows; ++r)
        for (int32_t c = 0; c < grid_.Columns; ++c) {
            int guard = 0;
            for (TCella* cell = grid_.CellAt(c, r); cell && cell->Column == c && cell->Row == r && guard < 4;
                 cell = cell->Overlay, ++guard) {
                cell->NextCell = nullptr;
                cell->NextOutlet = nullptr;
                if (IsSegment(cell) && !cell->IsRunHead()) continue;
                if (!headEnd && cell->HasRole(RoleGridAnchor)) {
                    headEnd = cell;
                } else {
                    if (lastCell)
                        lastCell->NextCell = cell;
                    else
                        firstCell = cell;
                    lastCell = cell;
                }
                if (cell->HasRole(RoleOutlet)) {
                    if (lastOutlet)
                        lastOutlet->NextOutlet = cell;
                    else
                        firstOutlet = cell;
                    lastOutlet = cell;
                }
            }
        }
    // The head-end terminal leads the chain: it is the grid's anchor.
    if (headEnd) {
        headEnd->NextCell = firstCell;
        firstCell = headEnd;
    }
    grid_.Anchor = firstCell;
    grid_.FirstOutlet = firstOutlet;
}
}  // namespace

bool TGridData::Analyse(bool report) {
    // A quiet analysis leaves the reporter's pending error as it was, even
    // when a refusing cell reports its own.
    std::unique_ptr<TErroreCircuito> kept;
    TErroreCircuito* pendingBefore = GestoreErrori ? GestoreErrori->PendingError() : nullptr;
    if (!report && pendingBefore) kept = std::make_unique<TErroreCircuito>(*pendingBefore);

    separation_log::LinksChanged();
    BeginAnalysis();
    const bool ok = Analysis(*this, report).Run();
    EndAnalysis();

    // Put back a copy of what was pending (or nothing) whatever happened in
    // between: comparing addresses could be fooled by a record freed and
    // another made at the same address.
    if (!report && GestoreErrori) GestoreErrori->SetPendingError(std::move(kept));
    return ok;
}
