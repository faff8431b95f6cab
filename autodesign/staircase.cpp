// The staircase as one drawing: the rows its floor blocks take from the top
// floor down, the assembly of its floor and apartment blocks in a grid of its
// own with the riser entries, splits and runs, the fixed amplifier floors
// some switch brands ask for along a multiswitch riser, and a bank of line
// amplifiers across the satellite lines.
#include <algorithm>
#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

#include "autodesign/drawing_names.h"
#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/splitters.h"
#include "cells/terminations.h"
#include "document/grid.h"

namespace {

// The second Positions word of a line amplifier of a bank.
constexpr uint32_t BankAmplifierPositions = PositionSubstation | SecondPositionEitherAmplifier;

// The switch brands whose makers fix the amplifier floors of a multiswitch
// riser of F floors: first floor, step (0: one floor at (F - 1) / 2 from
// more than minFloors floors). Texts are compared exactly.
struct TBrandRule {
    const char* Brand;
    const char* Series;  // none: any series
    int32_t First, Step, MinFloors;
};
// clang-format off
constexpr TBrandRule BrandRules[] = {
    {"Marca A", nullptr, 0, 0, 7},
    {"Marca B", nullptr, 2, 3, 0},
    {"Marca C", "Serie 4000", 5, 6, 0},
    {"Marca C", "Serie 400", 4, 5, 0},
    {"Marca C", "Serie T", 4, 5, 0},
};
// clang-format on

}  // namespace

bool TCreaAuto::BrandAmplifierFloors(const AnsiString& brand, const AnsiString& series, int32_t floors,
                                     std::vector<int32_t>& amplifierFloors) {
    bool fired = false;
    for (const TBrandRule& rule : BrandRules) {
        if (brand != rule.Brand || (rule.Series && series != rule.Series)) continue;
        fired = true;
        if (rule.Step == 0) {
            if (floors > rule.MinFloors) amplifierFloors.push_back((floors - 1) / 2);
            continue;
        }
        for (int32_t f = rule.First; f < floors - 1; f += rule.Step) amplifierFloors.push_back(f);
    }
    return fired;
}

bool TCreaAuto::ComputeFloorRows(int32_t s) {
    const TPalazzo& building = *Settings->Building;
    const int32_t F = std::clamp(building.Staircases[s].FloorCount, 0, DesignFloorsMax);
    std::fill(std::begin(FloorRow[s]), std::end(FloorRow[s]), 0);
    if (F == 0) return true;
    // A passive split hangs its splitter above the top floor's block, one row
    // a split, below the entry anchor on row 0: the top floor moves down as
    // far as that needs, never up (its apartments would leave the grid).
    int32_t extra = 0;
    for (int k = 0; k < SignalKinds; ++k) {
        if (RiserBreakCount[s][k] <= 0 || !PassiveSplit[s][k]) continue;
        int32_t blockRow = TapChainOffset[s][F - 1];
        if (k == 1 && TapNetwork[0]) blockRow += ChainLength[s][F - 1][0] + Settings->APDistDerTS;
        extra = std::max(extra, std::min(RiserBreakCount[s][k], 2) - blockRow);
    }
    FloorRow[s][F - 1] = extra;
    for (int32_t f = F - 2; f >= 0; --f)
        FloorRow[s][f] =
            FloorRow[s][f + 1] + FloorHeight[s][f + 1] + Settings->APDistPiani - 1 - FloorTail[s][f + 1];
    return true;
}

int32_t TCreaAuto::BankAmplifierInputs(int32_t n) const {
    const int32_t S = LineCount[1];
    const float level = n >= 0 && n < AvailInputs ? SubstationLevelSat[n] : 0.0f;
    return level < StaircaseRequiredLevel[0][1] && S % 2 == 0 ? S + 1 : n;
}

void TCreaAuto::PlaceLineAmplifiers(int32_t column, int32_t row, int32_t n, TGridData* grid) {
    const int32_t S = LineCount[1];
    auto level = [this](int32_t inputs) {
        return inputs >= 0 && inputs < AvailInputs ? SubstationLevelSat[inputs] : 0.0f;
    };
    n = BankAmplifierInputs(n);
    if (n <= 0) return;
    if (S < n) --column;
    if (!(level(n) > 0.0f)) return;
    // From the first amplifier on, as long as an amplifier's last input meets a line.
    const int32_t lastLine = column + (S < n ? 1 : 0) + S - 1;
    for (int32_t x = column; x == column || x + n - 1 <= lastLine; x += n) {
        auto amplifier =
            std::make_unique<TAmplificatore>(nullptr, FacingDown, 0, x, row, CodeAmplificatoreRegolato, n, n);
        amplifier->Positions[1] = BankAmplifierPositions;
        PlaceNew(grid, std::move(amplifier));
    }
    if (S < n) {
        PlaceTermination(grid, column, row - 1, FromBelow);
        PlaceTermination(grid, column, row + 2, FacingDown);
    }
}

// ---------------------------------------------------------------- the staircase's own grid

namespace {

// The distinct cells (overlays included) standing on a rectangle of a grid.
std::unordered_set<TCella*> CellsOn(const TGridData& grid, const TCellRect& rect) {
    std::unordered_set<TCella*> cells;
    for (int32_t c = std::max(rect.Left, 0); c <= std::min(rect.Right, grid.Columns - 1); ++c)
        for (int32_t r = std::max(rect.Top, 0); r <= std::min(rect.Bottom, grid.Rows - 1); ++r)
            if (TCella* cell = grid.CellAt(c, r)) {
                cells.insert(cell);
                if (cell->Overlay) cells.insert(cell->Overlay);
            }
    return cells;
}

bool IsExitAnchor(const TCella* cell) { return cell && cell->TypeCode == CodeExitAnchor; }

}  // namespace

int32_t TCreaAuto::InsertionSlips() const {
    int32_t slips = 0;
    auto add = [&slips](const std::unique_ptr<TGridData>& grid) {
        if (grid) slips += grid->RefusedInsertions + grid->DisplacedCells;
    };
    for (const auto& grid : WorkGrids) add(grid);
    for (const auto& grid : ApartmentGrid) add(grid);
    for (const auto& grid : StaircaseGrid) add(grid);
    for (const auto& staircase : FloorGrid)
        for (const auto& floor : staircase)
            for (const auto& grid : floor) add(grid);
    for (const auto& staircase : ApartmentBlock)
        for (const auto& floor : staircase)
            for (const auto& grid : floor) add(grid);
    return slips;
}

void TCreaAuto::MoveBlockInto(TGridData* block, TGridData* target, int32_t column, int32_t row,
                              bool mirrored) {
    if (!block || !target) return;
    const TCellRect used = block->GetUsedArea();
    if (used.Right < used.Left || used.Bottom < used.Top) return;
    // The block takes the squares of its whole rectangle: whatever stood
    // there is lost, and so is a cell the target cannot hold.
    const TCellRect full{0, 0, block->Rows - 1, block->Columns - 1};
    const TCellRect there{row, column, row + block->Rows - 1, column + block->Columns - 1};
    const size_t moving = CellsOn(*block, full).size();
    target->DisplacedCells += static_cast<int32_t>(CellsOn(*target, there).size());
    if (mirrored)
        TGridData::MoveBlockMirrored(block, full, target, column, row, false);
    else
        TGridData::MoveBlock(block, full, target, column, row, false);
    const size_t landed = CellsOn(*target, there).size();
    if (landed < moving) target->RefusedInsertions += static_cast<int32_t>(moving - landed);
}

std::vector<TCreaAuto::TJoinEnds> TCreaAuto::JoinEnds(TGridData& grid, std::span<const TAnchorLink> links,
                                                      int32_t floor, bool downward) {
    // Only cells standing on the grid are read: a cell refused on the way
    // is gone, and its link with it.
    const std::unordered_set<TCella*> live = CellsOn(grid, grid.GetFullArea());
    std::vector<TJoinEnds> ends;
    for (const TAnchorLink& link : links) {
        if (link.Floor != floor) continue;
        if (!live.count(link.Exit)) {
            if (downward) ++grid.RefusedInsertions;
            continue;
        }
        if ((link.Exit->Orientation == 0) != downward) continue;
        if (!live.count(link.Partner)) {
            ++grid.RefusedInsertions;
            continue;
        }
        ends.push_back({link.Exit, link.Partner, link.Kind, link.Exit->Column, link.Exit->Row,
                        link.Exit->Orientation, link.Partner->Column, link.Partner->Row,
                        link.Partner->Orientation});
    }
    return ends;
}

void TCreaAuto::JoinEnd(TGridData& grid, const TJoinEnds& ends, TCella* cable, int32_t bend) {
    // A run drawn since may have covered one of the two anchors: that join
    // is lost, and counted so.
    if (grid.CellAt(ends.ExitColumn, ends.ExitRow) != ends.Exit ||
        grid.CellAt(ends.PartnerColumn, ends.PartnerRow) != ends.Partner) {
        ++grid.DisplacedCells;
        return;
    }
    static_cast<TAncora*>(ends.Exit)->LinkAnchor(ends.Partner);
    ConnectAnchorToPartner(ends.Exit, cable, bend);
}

namespace {

// Whether a run can take a square: an empty one, or for a straight piece a
// straight cable across it with nothing over it yet.
bool SquareFree(const TGridData& grid, int32_t column, int32_t row, bool corner, bool horizontal) {
    const TCella* there = grid.CellAt(column, row);
    if (!there) return grid.Inside(column, row);
    if (corner || there->TypeCode != CodeCable || there->Overlay) return false;
    const auto* cable = static_cast<const TNCavo*>(there);
    return !cable->Bend && (cable->Orientation % 2 == 0) == horizontal;
}

}  // namespace

int32_t TCreaAuto::FreeBendColumn(const TGridData& grid, const TJoinEnds& e, int32_t preferred, int32_t first,
                                  int32_t last) {
    // The run leaves the anchor along its row, turns at the bend column and
    // reaches the partner along the partner's row.
    const int32_t step = e.PartnerColumn > e.ExitColumn ? 1 : -1;
    auto fits = [&](int32_t b) {
        if ((b - e.ExitColumn) * step <= 0 || (e.PartnerColumn - b) * step <= 0) return false;
        for (int32_t x = e.ExitColumn + step; x != b; x += step)
            if (!SquareFree(grid, x, e.ExitRow, false, true)) return false;
        if (!SquareFree(grid, b, e.ExitRow, true, false) || !SquareFree(grid, b, e.PartnerRow, true, false))
            return false;
        for (int32_t y = std::min(e.ExitRow, e.PartnerRow) + 1; y < std::max(e.ExitRow, e.PartnerRow); ++y)
            if (!SquareFree(grid, b, y, false, false)) return false;
        for (int32_t x = b + step; x != e.PartnerColumn; x += step)
            if (!SquareFree(grid, x, e.PartnerRow, false, true)) return false;
        return true;
    };
    // The pointer's next column, else the next free one beyond it, else one
    // nearer the riser, all within the floor's bend columns.
    for (int32_t b = preferred; (last - b) * step >= 0; b += step)
        if (fits(b)) return b;
    for (int32_t b = first; (preferred - b) * step > 0 && (last - b) * step >= 0; b += step)
        if (fits(b)) return b;
    return preferred;
}

// The columns and rows of a staircase's grid. Per kind: the riser column
// within its floor blocks (floors aligned on it), the blocks' width, the
// splits, the columns of the first-split risers after the block and of the
// second-split ones before it, and where the kind's columns start in the
// riser area. The riser area starts at Offset and spans Span columns; a
// radial multiswitch puts its columns after the terrestrial ones.
struct TCreaAuto::TStaircasePlan {
    int32_t Floors = 0;
    int32_t Highest = 0;  // the floors of the tallest staircase
    int32_t Riser[SignalKinds] = {0, 0}, Width[SignalKinds] = {0, 0}, Splits[SignalKinds] = {0, 0};
    int32_t First[SignalKinds] = {0, 0}, Second[SignalKinds] = {0, 0}, Base[SignalKinds] = {0, 0};
    int32_t LargestCableColumns = 0;
    int32_t RightBends = 0;  // beside the terrestrial block when the satellite is radial
    int32_t Radial = 0;
    int32_t Span = 0;
    int32_t Offset = 0;
    int32_t Columns = 1, Rows = 1;
};

TGridData* TCreaAuto::FloorBlock(int32_t s, int32_t f, int k) const {
    TGridData* block = FloorGrid[s][f][k].get();
    return block && block->Columns > 0 && block->Rows > 0 ? block : nullptr;
}

int32_t TCreaAuto::FloorBlockRow(int32_t s, int32_t f, int k) const {
    int32_t row = FloorRow[s][f] + TapChainOffset[s][f];
    if (k == 1 && TapNetwork[0]) row += ChainLength[s][f][0] + Settings->APDistDerTS;
    return row;
}

std::vector<TCreaAuto::TAnchorLink> TCreaAuto::ReadExitLinks(int32_t s, int32_t floors) const {
    std::vector<TAnchorLink> links;
    for (int32_t f = 0; f < floors; ++f)
        for (int k = 0; k < SignalKinds; ++k)
            if (TGridData* block = FloorBlock(s, f, k))
                for (int32_t r = 0; r < block->Rows; ++r)
                    for (int32_t c = 0; c < block->Columns; ++c) {
                        TCella* cell = block->CellAt(c, r);
                        if (IsExitAnchor(cell) && cell->Column == c && cell->Row == r &&
                            !cell->OutputCell.empty() && cell->OutputCell[0])
                            links.push_back({cell, cell->OutputCell[0], f, k});
                    }
    return links;
}

TCreaAuto::TStaircasePlan TCreaAuto::PlanStaircase(int32_t s) const {
    const TPalazzo& building = *Settings->Building;
    TStaircasePlan plan;
    const int32_t F = plan.Floors = std::clamp(building.Staircases[s].FloorCount, 0, DesignFloorsMax);
    for (int32_t k = 0; k < std::clamp(building.StaircaseCount, 0, DesignStaircasesMax); ++k)
        plan.Highest =
            std::max(plan.Highest, std::clamp(building.Staircases[k].FloorCount, 0, DesignFloorsMax));

    for (int k = 0; k < SignalKinds; ++k) {
        int32_t right = 0;
        bool any = false;
        for (int32_t f = 0; f < F; ++f)
            if (TGridData* block = FloorBlock(s, f, k)) {
                any = true;
                plan.Riser[k] = std::max(plan.Riser[k], RiserColumn[s][f][k]);
                right = std::max(right, block->Columns - RiserColumn[s][f][k]);
            }
        plan.Width[k] = any ? plan.Riser[k] + right : 0;
        plan.Splits[k] = any ? std::clamp(RiserBreakCount[s][k], 0, 2) : 0;
        const int32_t lines = std::max(LineCount[k], 0);
        plan.First[k] = plan.Splits[k] >= 1 ? lines : 0;
        plan.Second[k] = plan.Splits[k] >= 2 ? lines : 0;
    }
    for (int32_t f = 0; f < F; ++f)
        plan.LargestCableColumns = std::max(plan.LargestCableColumns, FloorCableColumns[s][f]);
    int32_t x = 0;
    plan.Base[0] = x + plan.Second[0];
    x = plan.Base[0] + plan.Width[0] + plan.First[0];
    plan.RightBends = x;
    if (MultiswitchRadial) {
        // Beside a terrestrial riser the radial switch's overhang left of
        // its first output stays clear of the terrestrial entries.
        if (TapNetwork[0]) x += plan.LargestCableColumns + RadialSwitchOverhang();
        plan.Radial = x;
        x += std::max(RadialOutputs[s], 0);
    } else {
        plan.Base[1] = x + plan.Second[1];
        x = plan.Base[1] + plan.Width[1] + plan.First[1];
    }
    plan.Span = x;

    // The riser area leaves room on its left for the widest floor's cable
    // columns and apartments; the right side takes as much.
    auto apartmentWidth = [&](int32_t f) {
        int32_t w = 0;
        for (int32_t a = 0; a < ApartmentsOfFloor(s, f); ++a)
            if (const TGridData* block = ApartmentBlock[s][f][a].get()) w = std::max(w, block->Columns);
        return w;
    };
    int32_t rightNeed = 0;
    for (int32_t f = 0; f < F; ++f) {
        plan.Offset = std::max(plan.Offset, FloorCableColumns[s][f] + apartmentWidth(f));
        rightNeed = std::max(rightNeed, RightCableColumns(s, f) + apartmentWidth(f));
    }
    int32_t rows = F > 0 ? FloorRow[s][0] + FloorHeight[s][0] : 1;
    for (int32_t f = 0; f < F; ++f) {
        for (int k = 0; k < SignalKinds; ++k)
            if (TGridData* block = FloorBlock(s, f, k))
                rows = std::max(rows, FloorBlockRow(s, f, k) + block->Rows);
        for (int32_t a = 0; a < ApartmentsOfFloor(s, f); ++a)
            if (const TGridData* block = ApartmentBlock[s][f][a].get())
                rows = std::max(rows, FloorRow[s][f] + ApartmentOffset[s][f][a] + block->Rows);
    }
    plan.Columns = std::max(plan.Offset + plan.Span + rightNeed, 1);
    plan.Rows = std::max(rows, 1);
    return plan;
}

int32_t TCreaAuto::RightCableColumns(int32_t s, int32_t f) const {
    return MultiswitchRadial ? 0 : FloorCableColumns[s][f];
}

bool TCreaAuto::AssembleStaircase(int32_t s) {
    // The links of the floor blocks' exit anchors, read before any block
    // moves: a move takes the cells out of their links. The cells themselves
    // move whole, so the pointers stay good.
    const TStaircasePlan plan = PlanStaircase(s);
    const std::vector<TAnchorLink> links = ReadExitLinks(s, plan.Floors);
    StaircaseGrid[s] = std::make_unique<TGridData>(nullptr, plan.Columns, plan.Rows, GridWork);
    TGridData& grid = *StaircaseGrid[s];
    CableTemplate->Owner = &grid;

    const int32_t c = plan.Offset;
    for (int k = 0; k < SignalKinds; ++k) {
        RiserEntryColumn[s][k] = c + plan.Base[k] + plan.Riser[k];
        RiserSplitColumn[s][k][0] = c + plan.Base[k] + plan.Width[k];
        RiserSplitColumn[s][k][1] = c + plan.Base[k] - plan.Second[k];
    }
    for (int32_t f = 0; f < plan.Floors; ++f) AssembleFloor(s, f, plan, links);
    if (MultiswitchRadial) {
        RiserEntryColumn[s][1] = c + plan.Radial;
        PlaceRadialEntries(s, c + plan.Radial, c + plan.Span, c, plan.Highest);
    }
    return true;
}

void TCreaAuto::AssembleFloor(int32_t s, int32_t f, const TStaircasePlan& plan,
                              std::span<const TAnchorLink> links) {
    TGridData& grid = *StaircaseGrid[s];
    const int32_t c = plan.Offset;
    for (int k = 0; k < SignalKinds; ++k) {
        TGridData* block = FloorBlock(s, f, k);
        if (!block) continue;
        MoveBlockInto(block, &grid, c + plan.Base[k] + plan.Riser[k] - RiserColumn[s][f][k],
                      FloorBlockRow(s, f, k), false);
    }
    // The riser goes on from the floor above to this one.
    for (const TJoinEnds& ends : JoinEnds(grid, links, f, true)) {
        TCella* above = grid.CellAt(ends.ExitColumn, ends.ExitRow - 1);
        TCella* cable = above && above->TypeCode == CodeCable ? above : RiserCable(ends.Kind, 0);
        JoinEnd(grid, ends, cable, 0);
    }

    if (f == plan.Floors - 1)
        for (int k = 0; k < SignalKinds; ++k) {
            if (!FloorBlock(s, f, k)) continue;
            int32_t splitRows[2] = {0, 0};
            for (int32_t j = 0; j < plan.Splits[k]; ++j)
                splitRows[j] = FloorBlockRow(s, std::clamp(RiserBreakFloor[s][k][j], 0, plan.Floors - 1), k);
            PlaceRiserEntries(s, k, FloorBlockRow(s, f, k),
                              std::span<const int32_t>(splitRows, size_t(plan.Splits[k])));
        }

    const int32_t rightStart = c + plan.Span + RightCableColumns(s, f);
    const int32_t leftEnd = c - FloorCableColumns[s][f] - 1;
    for (int32_t a = 0; a < ApartmentsOfFloor(s, f); ++a) {
        TGridData* block = ApartmentBlock[s][f][a].get();
        if (!block) continue;
        const int32_t row = FloorRow[s][f] + ApartmentOffset[s][f][a];
        if (a % 2 == 0)
            MoveBlockInto(block, &grid, rightStart, row, false);
        else
            MoveBlockInto(block, &grid, leftEnd - block->Columns + 1, row, true);
    }
    if (!TapNetwork[0] && MultiswitchRadial) return;

    // The runs from the riser to the apartments, side by side.
    const std::vector<TJoinEnds> ends = JoinEnds(grid, links, f, false);
    JoinApartmentRuns(grid, ends, true, plan);
    JoinApartmentRuns(grid, ends, false, plan);
}

void TCreaAuto::JoinApartmentRuns(TGridData& grid, std::span<const TJoinEnds> ends, bool left,
                                  const TStaircasePlan& plan) {
    const int32_t c = plan.Offset;
    std::vector<const TJoinEnds*> column;
    for (const TJoinEnds& e : ends)
        if (e.ExitOrientation == (left ? FacingLeft : FacingRight)) column.push_back(&e);
    std::sort(column.begin(), column.end(), [](const TJoinEnds* a, const TJoinEnds* b) {
        return std::pair(a->ExitRow, a->ExitColumn) < std::pair(b->ExitRow, b->ExitColumn);
    });
    const int32_t step = left ? -1 : 1;
    const int32_t start = left ? c - 1 : c + (MultiswitchRadial ? plan.RightBends : plan.Span);
    // Beyond the floor's bend columns the split risers and the radial
    // runs come later: no bend goes there.
    std::vector<int32_t> lastBends;
    for (const TJoinEnds* e : column)
        lastBends.push_back(left                ? e->PartnerColumn + 1
                            : MultiswitchRadial ? start + plan.LargestCableColumns - 1
                                                : e->PartnerColumn - 1);
    const std::vector<int32_t> bends = RunBendColumns(column, start, step, lastBends);
    auto join = [&](size_t i) {
        const TJoinEnds& e = *column[i];
        const int32_t next = e.PartnerOrientation == FacingLeft ? -1 : 1;
        TCella* beside = grid.CellAt(e.PartnerColumn + next, e.PartnerRow);
        TCella* cable = beside && beside->TypeCode == CodeCable
                            ? beside
                            : Cables[e.Kind == 0 ? CableStaircaseTer : CableStaircaseSat].get();
        const bool straight = e.PartnerRow == e.ExitRow;
        JoinEnd(grid, e, cable, straight ? bends[i] : FreeBendColumn(grid, e, bends[i], start, lastBends[i]));
    };
    // Two pointers: the top one takes runs going up, the bottom one
    // runs going down; when both wait, the top one's run is drawn
    // anyway and the walk goes on.
    ptrdiff_t top = 0, bottom = static_cast<ptrdiff_t>(column.size()) - 1;
    while (top <= bottom) {
        const TJoinEnds& t = *column[static_cast<size_t>(top)];
        const TJoinEnds& b = *column[static_cast<size_t>(bottom)];
        if (t.PartnerRow <= t.ExitRow || b.PartnerRow < b.ExitRow) {
            join(static_cast<size_t>(top++));
        } else {
            join(static_cast<size_t>(bottom--));
        }
    }
}

std::vector<int32_t> TCreaAuto::RunBendColumns(std::span<const TJoinEnds* const> column, int32_t start,
                                               int32_t step, std::span<const int32_t> lastBends) {
    // Each run's vertical spans the rows between its anchor and its
    // partner; runs whose spans meet need columns of their own. Taken
    // by the top of their spans, each the column nearest the riser
    // that no earlier one holds there, they need no more columns
    // than spans meet on one row.
    std::vector<int32_t> bends(column.size(), start);
    std::vector<size_t> order(column.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    auto top = [&](size_t i) { return std::min(column[i]->ExitRow, column[i]->PartnerRow); };
    auto bottom = [&](size_t i) { return std::max(column[i]->ExitRow, column[i]->PartnerRow); };
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return top(a) < top(b); });
    // How far out from the riser a column lies.
    auto depth = [&](int32_t b) { return (b - start) * step; };
    std::vector<uint8_t> state(column.size(), 0);  // 1 being placed, 2 placed
    std::vector<size_t> done;
    // A run leaving on the row another one arrives on turns inside
    // that one's corner: it takes its column first.
    std::function<void(size_t)> place = [&](size_t i) {
        if (state[i]) return;
        state[i] = 1;
        const TJoinEnds& y = *column[i];
        for (size_t j = 0; j < column.size(); ++j)
            if (j != i && column[j]->ExitRow == y.PartnerRow) place(j);
        auto fits = [&](int32_t b) {
            for (size_t j : done) {
                const TJoinEnds& x = *column[j];
                const bool meet = top(i) <= bottom(j) && top(j) <= bottom(i);
                if (meet && b == bends[j]) return false;
                if (y.ExitRow == x.PartnerRow && depth(b) >= depth(bends[j])) return false;
                if (y.PartnerRow == x.ExitRow && depth(b) <= depth(bends[j])) return false;
            }
            return true;
        };
        if (y.ExitRow != y.PartnerRow) {
            int32_t b = start;
            while (!fits(b) && depth(b) < depth(lastBends[i])) b += step;
            bends[i] = b;
        }
        state[i] = 2;
        done.push_back(i);
    };
    for (size_t i : order) place(i);
    return bends;
}

int32_t TCreaAuto::RiserColour(int kind, int32_t line) const {
    if (kind == 0) return NetworkColour[0];
    if (MultiswitchSat) return line >= 0 && line < LineTableSize ? LineColour[line] : 0;
    return TapNetwork[0] ? NetworkColour[1] : NetworkColour[0];
}

TNCavo* TCreaAuto::RiserCable(int kind, int32_t line) const {
    const bool ter =
        kind == 0 || (MultiswitchSat && line >= 0 && line < LineTableSize && LineIsTerrestrial[line]);
    return Cables[ter ? CableRiserTer : CableRiserSat].get();
}

void TCreaAuto::PlaceRiserEntries(int32_t s, int k, int32_t row, std::span<const int32_t> splitRows) {
    TGridData* grid = StaircaseGrid[s].get();
    const TScala& sc = Settings->Building->Staircases[s];
    const int32_t F = std::clamp(sc.FloorCount, 0, DesignFloorsMax);
    const int32_t entry = RiserEntryColumn[s][k];
    const int32_t lines = std::max(LineCount[k], 0);
    const auto splits = static_cast<int32_t>(splitRows.size());
    auto splitLength = [&](int32_t j) {
        return FloorSpacing(s) * static_cast<float>(F - 1 - RiserBreakFloor[s][k][j]);
    };
    const float top = static_cast<float>(sc.TopFloorDistance);

    if (splits == 0 || !PassiveSplit[s][k]) {
        // A riser per line, and one more per split reaching down to the
        // split floor: the first split's right of the lines, the second's left.
        for (int32_t i = 0; i < lines; ++i) {
            SetCableTemplateEx(RiserCable(k, i), top, RiserColour(k, i));
            PlaceNew(grid, std::make_unique<TAncoraI>(nullptr, FacingDown, 0, entry + i, 0));
            if (row >= 1) DrawCableRun(entry + i, 1, entry + i, row, 0, 0);
            for (int32_t j = 0; j < splits; ++j) {
                const int32_t column = RiserSplitColumn[s][k][j] + i;
                SetCableTemplateEx(RiserCable(k, i), top + splitLength(j), RiserColour(k, i));
                PlaceNew(grid, std::make_unique<TAncoraI>(nullptr, FacingDown, 0, column, 0));
                DrawCableRun(column, 1, entry + i, splitRows[j], splitRows[j] - i, 0);
            }
        }
        return;
    }

    // A passive split: one riser into a splitter above the top floor, whose
    // outputs feed the top floor and run down to the split floors.
    const int32_t colour = RiserColour(k, 0);
    TNCavo* cable = RiserCable(k, 0);
    const int32_t x = entry + 1;
    const int32_t splitterRow = splits == 1 ? row : row - 1;
    SetCableTemplateEx(cable, top, colour);
    PlaceNew(grid, std::make_unique<TAncoraI>(nullptr, FacingDown, 0, x, 0));
    if (splitterRow >= 2) DrawCableRun(x, 1, x, splitterRow - 1, 0, 0);
    PlaceNew(grid, std::make_unique<TDivisore>(nullptr, FacingDown, 0, x, splitterRow, 1, 2 * splits));
    SetCableTemplateEx(cable, Settings->APLungCavoComp, colour);
    PlaceCableSegmentEx(entry, row, BendRightBottom);
    // The last right output: the first split.
    SetCableTemplateEx(cable, splitLength(0), colour);
    PlaceCableSegmentEx(x + 1, row, BendLeftBottom);
    DrawCableRun(x + 1, row + 1, entry, splitRows[0], splitRows[0], 0);
    if (splits == 2) {
        // The first left output turns down two columns left; the first right one is closed.
        SetCableTemplateEx(cable, splitLength(1), colour);
        PlaceCableSegment(entry, row - 1);
        PlaceCableSegment(entry - 1, row - 1);
        PlaceCableSegmentEx(entry - 2, row - 1, BendRightBottom);
        DrawCableRun(entry - 2, row, entry, splitRows[1], splitRows[1], 0);
        PlaceTermination(grid, x + 1, row - 1, FacingRight);
    }
    RiserEntryColumn[s][k] = x;
    RiserBreakCount[s][k] = 0;
}

void TCreaAuto::PlaceRadialEntries(int32_t s, int32_t firstColumn, int32_t rightStart, int32_t riserStart,
                                   int32_t highest) {
    TGridData* grid = StaircaseGrid[s].get();
    const TScala& sc = Settings->Building->Staircases[s];
    const int32_t F = std::clamp(sc.FloorCount, 0, DesignFloorsMax);
    int32_t right = firstColumn + RadialOutputs[s] - 1, left = firstColumn;
    // Every line of every apartment has its own cable from the head of the
    // staircase: the right apartments take the columns from the last one
    // leftwards, the left ones from the first rightwards, top floor first.
    for (int32_t f = F - 1; f >= 0; --f)
        for (int32_t a = 0; a < ApartmentsOfFloor(s, f); ++a) {
            const TAppartamento& apartment = sc.Floors[f].Apartments[a];
            const int32_t inputRow = ApartmentInputRow[s][f][a][1];
            if (inputRow < 0) continue;
            const int32_t lines = apartment.SatLayout < DesignLayoutMax ? 1 : apartment.SatOutlets;
            const bool even = a % 2 == 0;
            const int32_t target = even ? rightStart : riserStart - FloorCableColumns[s][f] - 1;
            const float length =
                FloorSpacing(s) * static_cast<float>(highest - f - 1) +
                static_cast<float>(sc.TopFloorDistance + sc.HeadEndDistance + apartment.ApartmentDistance);
            for (int32_t i = 0; i < lines; ++i) {
                const int32_t y = FloorRow[s][f] + ApartmentOffset[s][f][a] + inputRow + i;
                TCella* entry = grid->CellAt(target, y);
                if (!entry || entry->TypeCode != CodeEntryAnchor) continue;
                const int32_t column = even ? right-- : left++;
                SetCableTemplate(Cables[CableStaircaseSat].get(), length);
                PlaceNew(grid, std::make_unique<TAncoraI>(nullptr, FacingDown, 0, column, 0));
                for (int32_t r = 1; r < y; ++r) PlaceCableSegmentV(column, r);
                PlaceCableSegmentEx(column, y, even ? BendRightTop : BendLeftTop);
                for (int32_t x = std::min(column, target) + 1; x < std::max(column, target); ++x)
                    PlaceCableSegment(x, y);
                PlaceCableSegment(target, y);
            }
        }
}
