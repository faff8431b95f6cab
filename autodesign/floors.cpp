// The floors of a staircase: per floor and signal kind, the floor's piece of
// the riser (entry anchors on top, the taps or switches that feed the floor's
// apartments, and exit anchors that carry the riser on or the end of the
// chain), drawn in the first work grid with its first line at column 25 and
// cut out into a block of its own; then the layout of the floor's apartment
// blocks on both sides of the riser.
//
// Links to cells of other blocks are made only once a floor block stands in
// its own grid: a block move takes every cell out whole, links included.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "autodesign/drawing_names.h"
#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/switches.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/reporter.h"
#include "document/grid.h"

namespace {

constexpr int32_t FloorRiserStart = 25;  // the first riser line's column in the work grid

constexpr int32_t FloorTapsMax = 6;
constexpr int32_t FloorTapOutputsMax = 10;
constexpr int32_t FloorSwitchesMax = 30;
constexpr int32_t FloorSwitchOutputsMax = 40;
constexpr int32_t FloorSwitchApartmentsMax = 30;
// Length of the short pieces that only cross or carry on another cable.
constexpr float PassingLength = -500002.0f;
// The line amplifiers of an amplifier floor.
constexpr uint32_t FloorAmplifierFeatures = PositionLine | SecondPositionEitherAmplifier;

const char* const NoFloorTap = "Non esistono derivatori selezionati. Impossibile completare i piani.";
const char* const NoStaircaseSwitch = "Non sono stati selezionati switch adeguati per le scale.";
const char* const NoStaircaseLineSwitch =
    "Non sono stati selezionati switch adeguati per le scale. Gli switch devono essere switch di linea.";

bool AnyOffered(std::span<const uint8_t> table) {
    for (size_t s = 1; s < table.size(); ++s)
        if (table[s]) return true;
    return false;
}

bool Offers(std::span<const uint8_t> table, int32_t size) {
    return size >= 0 && static_cast<size_t>(size) < table.size() && table[static_cast<size_t>(size)] != 0;
}

int32_t Height(const TGridData* grid) { return grid ? grid->Rows : 0; }
int32_t Width(const TGridData* grid) { return grid ? grid->Columns : 0; }

// The first and last occupied rows of a block's column 0.
int32_t FirstRowInColumn0(const TGridData* grid) {
    if (!grid) return 0;
    for (int32_t r = 0; r < grid->Rows; ++r)
        if (grid->CellAt(0, r)) return r;
    return grid->Rows - 1;
}

int32_t LastRowInColumn0(const TGridData* grid) {
    if (!grid) return 0;
    for (int32_t r = grid->Rows - 1; r > 0; --r)
        if (grid->CellAt(0, r)) return r;
    return 0;
}

}  // namespace

void TCreaAuto::ResetStaircaseTables() {
    auto zero = [](auto& table) { std::memset(&table, 0, sizeof table); };
    std::fill(&ApartmentInputRow[0][0][0][0],
              &ApartmentInputRow[0][0][0][0] + sizeof ApartmentInputRow / sizeof(int32_t), -1);
    zero(RiserColumn);
    zero(ChainLength);
    zero(ChainEnd);
    zero(ApartmentOffset);
    zero(TapChainOffset);
    zero(FloorCableColumns);
    zero(FloorWidth);
    zero(FloorHeight);
    zero(FloorTail);
    zero(LineAmplifierFloor);
    zero(RiserBreakCount);
    zero(RiserBreakFloor);
    zero(PassiveSplit);
    zero(StaircaseRequiredLevel);
    zero(StaircaseMargin);
    zero(FloorRow);
    zero(RiserEntryColumn);
    zero(RiserSplitColumn);
    for (auto& grid : WorkGrids)
        if (grid) grid->RefusedInsertions = grid->DisplacedCells = 0;
    pendingLinks_.clear();
}

// ---------------------------------------------------------------- links

void TCreaAuto::LinkLater(int32_t column, int32_t row, TCella* partner) {
    if (partner) pendingLinks_.push_back({column, row, partner});
}

TCella* TCreaAuto::ApartmentEntry(int32_t staircase, int32_t floor, int32_t apartment, int kind,
                                  int32_t line) {
    if (apartment < 0 || apartment >= DesignApartmentsMax) return nullptr;
    TGridData* block = ApartmentBlock[staircase][floor][apartment].get();
    const int32_t row = ApartmentInputRow[staircase][floor][apartment][kind];
    if (!block || row < 0) return nullptr;
    TCella* entry = block->CellAt(0, row + line);
    return entry && entry->TypeCode == CodeEntryAnchor ? entry : nullptr;
}

TCella* TCreaAuto::FloorBelowEntry(int32_t staircase, int32_t floor, int kind, int32_t line) {
    if (floor < 1) return nullptr;
    TGridData* below = FloorGrid[staircase][floor - 1][kind].get();
    if (!below) return nullptr;
    TCella* entry = below->CellAt(RiserColumn[staircase][floor - 1][kind] + line, 0);
    return entry && entry->TypeCode == CodeEntryAnchor ? entry : nullptr;
}

bool TCreaAuto::IsTopFloor(int32_t staircase, int32_t floor) const {
    return floor >= Settings->Building->Staircases[staircase].FloorCount - 1;
}

void TCreaAuto::LinkFloorToAbove(int32_t staircase, int32_t floor, int kind) {
    if (IsTopFloor(staircase, floor)) return;
    TGridData* here = FloorGrid[staircase][floor][kind].get();
    TGridData* above = FloorGrid[staircase][floor + 1][kind].get();
    if (!here || !above) return;
    for (int32_t i = 0; i < LineCount[kind]; ++i) {
        auto* entry = dynamic_cast<TAncoraI*>(here->CellAt(RiserColumn[staircase][floor][kind] + i, 0));
        if (entry)
            entry->LinkAnchor(above->CellAt(RiserColumn[staircase][floor + 1][kind] + i, above->Rows - 1));
    }
}

void TCreaAuto::UnlinkFloorFromAbove(int32_t staircase, int32_t floor, int kind) {
    if (IsTopFloor(staircase, floor)) return;
    TGridData* here = FloorGrid[staircase][floor][kind].get();
    TGridData* above = FloorGrid[staircase][floor + 1][kind].get();
    if (!here || !above) return;
    for (int32_t i = 0; i < LineCount[kind]; ++i) {
        TCella* entry = here->CellAt(RiserColumn[staircase][floor][kind] + i, 0);
        TCella* exit = above->CellAt(RiserColumn[staircase][floor + 1][kind] + i, above->Rows - 1);
        if (!entry || !exit || exit->TypeCode != CodeExitAnchor || exit->OutputCell.empty()) continue;
        if (exit->OutputCell[0] == entry) {
            exit->OutputCell[0] = nullptr;
            exit->OutputPort[0] = -1;
            // The entry forgets the exit too: the block above may be replaced.
            if (!entry->InputCell.empty() && entry->InputCell[0] == exit) {
                entry->InputCell[0] = nullptr;
                entry->InputPort[0] = -1;
            }
        }
    }
}

void TCreaAuto::ForgetBlockLinks(TGridData* block) {
    // The anchors of other blocks linked to this one's are unlinked before it
    // goes, so that none keeps pointing at a freed cell.
    if (!block) return;
    for (int32_t r = 0; r < block->Rows; ++r)
        for (int32_t c = 0; c < block->Columns; ++c) {
            TCella* cell = block->CellAt(c, r);
            if (!cell || (cell->TypeCode != CodeEntryAnchor && cell->TypeCode != CodeExitAnchor)) continue;
            for (TCella* partner : cell->InputCell)
                if (partner && partner->Owner != block)
                    for (size_t o = 0; o < partner->OutputCell.size(); ++o)
                        if (partner->OutputCell[o] == cell) {
                            partner->OutputCell[o] = nullptr;
                            partner->OutputPort[o] = -1;
                        }
            for (TCella* partner : cell->OutputCell)
                if (partner && partner->Owner != block)
                    for (size_t i = 0; i < partner->InputCell.size(); ++i)
                        if (partner->InputCell[i] == cell) {
                            partner->InputCell[i] = nullptr;
                            partner->InputPort[i] = -1;
                        }
        }
}

// ---------------------------------------------------------------- one floor block

bool TCreaAuto::PlaceFloorBothKinds(int32_t staircase, int32_t floor) {
    return PlaceFloors(staircase, floor, 0) && PlaceFloors(staircase, floor, 1);
}

bool TCreaAuto::PlaceFloors(int32_t staircase, int32_t floor, int kind) {
    TGridData* work = WorkGrids[0].get();
    work->Clear();
    pendingLinks_.clear();
    bool drawn = PlaceFloorTapChain(work, kind, FloorRiserStart, 0, staircase, floor);
    if (drawn && kind == 1) drawn = PlaceFloorSwitchOutlets(work, FloorRiserStart, 0, staircase, floor);

    const TCellRect used = work->GetUsedArea();
    const int32_t width = used.Right - used.Left + 1;
    if (width <= 0) return drawn;
    auto& block = FloorGrid[staircase][floor][kind];
    ForgetBlockLinks(block.get());
    block.reset();
    // A drawing reaching the riser's own column keeps a free column on its left.
    const int32_t shift = used.Left == FloorRiserStart ? 1 : 0;
    block = std::make_unique<TGridData>(nullptr, width + shift, used.Bottom - used.Top + 1, GridWork);
    TGridData::MoveBlock(work, used, block.get(), shift, 0, false);
    RiserColumn[staircase][floor][kind] = FloorRiserStart + shift - used.Left;
    for (const TPendingLink& link : pendingLinks_) {
        auto* anchor =
            dynamic_cast<TAncora*>(block->CellAt(link.Column - used.Left + shift, link.Row - used.Top));
        if (anchor) anchor->LinkAnchor(link.Partner);
    }
    pendingLinks_.clear();

    if (!block->Analyse(false)) {
        Report("Non riesco a posizionare i componenti. Piano " + IntToStr(staircase) + IntToStr(floor) +
               IntToStr(kind));
        return false;
    }
    LinkFloorToAbove(staircase, floor, kind);
    return drawn;
}

bool TCreaAuto::ChainEndsHere(int32_t staircase, int32_t floor, int kind) const {
    if (floor == 0) return true;
    for (int32_t k = 0; k < std::min<int32_t>(RiserBreakCount[staircase][kind], 2); ++k)
        if (RiserBreakFloor[staircase][kind][k] == floor - 1) return true;
    return false;
}

int32_t TCreaAuto::ApartmentsOfFloor(int32_t staircase, int32_t floor) const {
    return std::clamp(Settings->Building->Staircases[staircase].Floors[floor].ApartmentCount, 0,
                      DesignApartmentsMax);
}

float TCreaAuto::FloorSpacing(int32_t staircase) const {
    return static_cast<float>(Settings->Building->Staircases[staircase].FloorSpacing);
}

// ---------------------------------------------------------------- the single-line tap chain

bool TCreaAuto::PlaceFloorTapChain(TGridData* grid, int kind, int32_t column, int32_t row, int32_t staircase,
                                   int32_t floor) {
    if (!TapNetwork[kind] || (kind == 1 && MultiswitchRadial)) return true;
    const bool tapsS = AnyOffered(TapSAvail[1]);
    if (!tapsS && !AnyOffered(TapAvail[1])) {
        Report(NoFloorTap);
        return false;
    }
    const bool endsHere = ChainEndsHere(staircase, floor, kind);
    const int32_t apartments = ApartmentsOfFloor(staircase, floor);
    std::array<int32_t, FloorTapsMax> parts{};
    SplitIntoAvailableSizes(apartments, parts, tapsS ? TapSAvail[1] : TapAvail[1], FloorTapsMax,
                            FloorTapOutputsMax);

    CableTemplate->Owner = grid;
    TNCavo* riser = Cables[kind == 0 ? CableRiserTer : CableRiserSat].get();
    const int32_t colour = kind == 1 && TapNetwork[0] ? NetworkColour[1] : NetworkColour[0];
    PlaceNew(grid, std::make_unique<TAncoraI>(nullptr, FacingDown, 0, column, row));
    int32_t y = row + 1;

    if (apartments == 0) {
        // The riser passes the floor, linked on like any other floor's, or
        // ends on it closed.
        ChainLength[staircase][floor][kind] = 0;
        ChainEnd[staircase][floor][kind] = endsHere ? 1 : 2;
        if (endsHere) return PlaceTermination(grid, column, y, FacingDown);
        SetCableTemplateEx(riser, FloorSpacing(staircase), colour);
        PlaceCableSegmentV(column, y);
        PlaceNew(grid, std::make_unique<TAncoraO>(nullptr, FacingDown, 0, column, y + 1));
        LinkLater(column, y + 1, FloorBelowEntry(staircase, floor, kind, 0));
        return true;
    }

    SetCableTemplateEx(riser, Settings->APLungCavoComp, colour);
    struct TPart {
        int32_t row, outputs, first;
    };
    std::vector<TPart> placed;
    bool closed = false;
    int32_t numbered = 0;
    const int32_t count =
        static_cast<int32_t>(std::count_if(parts.begin(), parts.end(), [](int32_t n) { return n > 0; }));
    for (int32_t p = 0; p < count; ++p) {
        const int32_t n = parts[static_cast<size_t>(p)];
        if (p > 0) PlaceCableSegmentV(column, y++);
        const bool last = p == count - 1;
        std::unique_ptr<TCella> tap;
        if (tapsS) {
            tap = std::make_unique<TDerivatoreS>(nullptr, FacingDown, 0, column, y, 1, n);
        } else if (last && endsHere && Offers(TapNAvail[1], n)) {
            tap = std::make_unique<TDerivatoreN>(nullptr, FacingDown, 0, column, y, 1, n);
            closed = true;
        } else {
            tap = std::make_unique<TDerivatore>(nullptr, FacingDown, 0, column, y, 1, n);
        }
        PlaceNew(grid, std::move(tap));
        placed.push_back({y, n, numbered});
        numbered += n;
        y += (n + 1) / 2;
    }
    ChainLength[staircase][floor][kind] = y - row - 1;
    if (!endsHere) {
        SetCableTemplateEx(riser, FloorSpacing(staircase), colour);
        PlaceCableSegmentV(column, y);
        PlaceNew(grid, std::make_unique<TAncoraO>(nullptr, FacingDown, 0, column, y + 1));
        LinkLater(column, y + 1, FloorBelowEntry(staircase, floor, kind, 0));
        ChainEnd[staircase][floor][kind] = 2;
    } else if (closed) {
        ChainEnd[staircase][floor][kind] = 0;
    } else {
        PlaceTermination(grid, column, y, FacingDown);
        ChainEnd[staircase][floor][kind] = 1;
    }

    for (auto part = placed.rbegin(); part != placed.rend(); ++part)
        for (int32_t o = part->outputs - 1; o >= 0; --o)
            FeedApartment(grid, column + (o % 2 == 0 ? 1 : -1), part->row + o / 2, o % 2 == 0, staircase,
                          floor, part->first + o, kind, 0);
    return true;
}

void TCreaAuto::FeedApartment(TGridData* grid, int32_t column, int32_t row, bool right, int32_t staircase,
                              int32_t floor, int32_t apartment, int kind, int32_t line) {
    const int32_t orientation = right ? FacingRight : FacingLeft;
    TCella* entry = apartment < ApartmentsOfFloor(staircase, floor)
                        ? ApartmentEntry(staircase, floor, apartment, kind, line)
                        : nullptr;
    if (!entry) {
        PlaceTermination(grid, column, row, orientation);
        return;
    }
    PlaceNew(grid, std::make_unique<TAncoraO>(nullptr, orientation, 0, column, row));
    LinkLater(column, row, entry);
}

// ---------------------------------------------------------------- the multi-line chain

bool TCreaAuto::PlaceFloorSwitchOutlets(TGridData* grid, int32_t column, int32_t row, int32_t staircase,
                                        int32_t floor) {
    if (!MultiswitchSat || MultiswitchRadial) return true;
    const int32_t L = std::clamp(LineCount[1], 0, LineTableSize);
    const bool endsHere = ChainEndsHere(staircase, floor, 1);
    const int32_t apartments = ApartmentsOfFloor(staircase, floor);
    CableTemplate->Owner = grid;
    for (int32_t b = 0; b < L; ++b)
        PlaceNew(grid, std::make_unique<TAncoraI>(nullptr, FacingDown, 0, column + b, row));
    return MultiswitchStaircase
               ? PlaceFloorSwitches(grid, column, row, staircase, floor, L, endsHere, apartments)
               : PlaceFloorLineTaps(grid, column, row + 1, staircase, floor, L, apartments);
}

bool TCreaAuto::PlaceFloorLineTaps(TGridData* grid, int32_t column, int32_t y, int32_t staircase,
                                   int32_t floor, int32_t L, int32_t apartments) {
    const bool tapsS = AnyOffered(TapSAvail[1]);
    if (!tapsS && !AnyOffered(TapAvail[1])) {
        Report(NoFloorTap);
        return false;
    }
    std::array<int32_t, FloorTapsMax> parts{};
    SplitIntoAvailableSizes(apartments, parts, tapsS ? TapSAvail[1] : TapAvail[1], FloorTapsMax,
                            FloorTapOutputsMax);
    int32_t count = 0, h = 0;
    for (int32_t n : parts)
        if (n > 0) {
            h += (n + 1) / 2;
            ++count;
        }
    h += std::max(count - 1, 0);
    ChainLength[staircase][floor][1] = h;
    const int32_t bottom = y + h * L;
    struct TOutput {
        int32_t line, row, output;
    };
    std::vector<TOutput> outputs;
    for (int32_t b = 0; b < L; ++b) {
        const int32_t x = column + b;
        SetLineTemplate(b, Settings->APLungCavoComp);
        int32_t cursor = y;
        for (; cursor < y + h * b; ++cursor) PlaceCableSegmentV(x, cursor);
        bool closed = false;
        int32_t numbered = 0;
        for (int32_t p = 0; p < count; ++p) {
            const int32_t n = parts[static_cast<size_t>(p)];
            if (p > 0) PlaceCableSegmentV(x, cursor++);
            std::unique_ptr<TCella> tap;
            if (tapsS) {
                tap = std::make_unique<TDerivatoreS>(nullptr, FacingDown, 0, x, cursor, 1, n);
            } else if (p == count - 1 && floor == 0 && Offers(TapNAvail[1], n)) {
                tap = std::make_unique<TDerivatoreN>(nullptr, FacingDown, 0, x, cursor, 1, n);
                closed = true;
            } else {
                tap = std::make_unique<TDerivatore>(nullptr, FacingDown, 0, x, cursor, 1, n);
            }
            PlaceNew(grid, std::move(tap));
            for (int32_t o = 0; o < n; ++o) outputs.push_back({b, cursor + o / 2, numbered + o});
            numbered += n;
            cursor += (n + 1) / 2;
        }
        if (closed) continue;
        // Every line leaves the floor on one row.
        const bool last = floor == 0;
        SetLineTemplate(b, last ? PassingLength : FloorSpacing(staircase));
        for (; cursor <= bottom; ++cursor) PlaceCableSegmentV(x, cursor);
        if (last) {
            PlaceTermination(grid, x, cursor, FacingDown);
        } else {
            PlaceNew(grid, std::make_unique<TAncoraO>(nullptr, FacingDown, 0, x, cursor));
            LinkLater(x, cursor, FloorBelowEntry(staircase, floor, 1, b));
        }
    }
    // The outputs cross the other lines to the sides of the bundle.
    for (auto out = outputs.rbegin(); out != outputs.rend(); ++out) {
        const bool right = out->output % 2 == 0;
        const int32_t b = out->line;
        SetCableTemplateEx(Cables[LineIsTerrestrial[b] ? CableStaircaseTer : CableStaircaseSat].get(),
                           PassingLength, LineColour[b]);
        if (right)
            for (int32_t k = b + 1; k < L; ++k) PlaceCableSegment(column + k, out->row);
        else
            for (int32_t k = 0; k < b; ++k) PlaceCableSegment(column + k, out->row);
        FeedApartment(grid, right ? column + L : column - 1, out->row, right, staircase, floor, out->output,
                      1, b);
    }
    return true;
}

bool TCreaAuto::PlaceFloorSwitches(TGridData* grid, int32_t column, int32_t row, int32_t staircase,
                                   int32_t floor, int32_t L, bool endsHere, int32_t apartments) {
    int32_t y = row + 1;
    if (apartments > FloorSwitchApartmentsMax) {
        Report("Non sono ammesse più di " + IntToStr(FloorSwitchApartmentsMax) +
               " prese da switch in un piano.");
        return false;
    }
    if (apartments == 0) {
        for (int32_t b = 0; b < L; ++b) {
            if (endsHere) {
                PlaceTermination(grid, column + b, y, FacingDown);
                continue;
            }
            SetLineTemplate(b, FloorSpacing(staircase));
            PlaceCableSegmentV(column + b, y);
            PlaceNew(grid, std::make_unique<TAncoraO>(nullptr, FacingDown, 0, column + b, y + 1));
            LinkLater(column + b, y + 1, FloorBelowEntry(staircase, floor, 1, b));
        }
        ChainLength[staircase][floor][1] = 0;
        ChainEnd[staircase][floor][1] = endsHere ? 1 : 2;
        return true;
    }

    const bool top = IsTopFloor(staircase, floor);
    const TAvailSwitchTable& first = top ? SwitchAvail : SwitchLineAvail;
    int32_t inputs = 0;
    for (int32_t in : {L, L + 1, L + 2}) {
        if (in == L + 2 && TerOnMultiswitch) break;
        if (in < AvailInputs && first[in][0]) {
            inputs = in;
            break;
        }
    }
    if (!inputs) {
        Report(top ? NoStaircaseSwitch : NoStaircaseLineSwitch);
        return false;
    }
    const int32_t c = column + L - inputs;
    const bool spare = inputs > L;

    if (LineAmplifierFloor[staircase][floor]) {
        const int32_t y0 = y;
        const int32_t e = FloorAmplifierGroup(L);
        int32_t covered = 0;
        if (e > 0) {
            int32_t leftmost = c + inputs;
            for (int32_t x = c + inputs - e; x >= c - 1; x -= e) {
                auto amplifier =
                    std::make_unique<TAmplificatore>(nullptr, FacingDown, 0, x, y0, CodeAmplificatore, e, e);
                amplifier->Positions[1] = FloorAmplifierFeatures;
                PlaceNew(grid, std::move(amplifier));
                leftmost = x;
                covered += e;
            }
            for (int32_t k = 0; k < covered - L; ++k) {
                PlaceTermination(grid, leftmost + k, y0 - 1, FromBelow);
                PlaceTermination(grid, leftmost + k, y0 + 2, FacingDown);
            }
        }
        y = y0 + 2;
        const int32_t firstCovered = std::max<int32_t>(0, L - covered);
        for (int32_t b = 0; b < L; ++b) {
            SetLineTemplate(b, Settings->APLungCavoComp);
            if (b < firstCovered) {
                PlaceCableSegmentV(column + b, y0);
                PlaceCableSegmentV(column + b, y0 + 1);
            }
            PlaceCableSegmentV(column + b, y);
            if (spare) PlaceCableSegmentV(column + b, y + 1);
        }
        y += spare ? 2 : 1;
    }

    std::array<int32_t, FloorSwitchesMax> parts{};
    std::array<uint8_t, AvailSwitchOutputs> closing{};
    for (int32_t o = 0; o < AvailSwitchOutputs; ++o) closing[o] = RadialSwitchLastAvail[inputs][o];
    SplitIntoAvailableSizesEx(apartments, parts, first[inputs], SwitchLineAvail[inputs], closing, endsHere,
                              FloorSwitchesMax, FloorSwitchOutputsMax);
    int32_t count = 0;
    while (count < FloorSwitchesMax && parts[static_cast<size_t>(count)] > 0) ++count;

    struct TPart {
        int32_t column, row, outputs, first;
        bool mirrored;
    };
    std::vector<TPart> placed;
    bool closed = false;
    int32_t numbered = 0, odd = 0;
    for (int32_t p = 0; p < count; ++p) {
        const int32_t n = parts[static_cast<size_t>(p)];
        if (p > 0) {
            for (int32_t b = 0; b < L; ++b) {
                SetLineTemplate(b, Settings->APLungCavoComp);
                PlaceCableSegmentV(column + b, y);
                if (spare) PlaceCableSegmentV(column + b, y + 1);
            }
            y += spare ? 2 : 1;
        }
        const bool last = p == count - 1;
        const bool closes = last && endsHere && RadialSwitchLastAvail[inputs][n];
        // Of the odd switches every second one turns its lone output the other way.
        const bool mirrored = n % 2 != 0 && odd++ % 2 == 1;
        const int32_t x = mirrored ? c + inputs - 1 : c;
        std::unique_ptr<TCella> made;
        if (closes) {
            made = std::make_unique<TSwitchN>(nullptr, FacingDown, mirrored ? 1 : 0, x, y, CodeSwitchN,
                                              inputs, n);
            made->Variant = 1;
            closed = true;
        } else {
            made =
                std::make_unique<TSwitch>(nullptr, FacingDown, mirrored ? 1 : 0, x, y, CodeSwitch, inputs, n);
        }
        PlaceNew(grid, std::move(made));
        for (int32_t k = 0; k < inputs - L; ++k) PlaceTermination(grid, c + k, y - 1, FromBelow);
        const int32_t rows = (n + 1) / 2;
        if (!closes)
            for (int32_t k = 0; k < inputs - L; ++k) PlaceTermination(grid, c + k, y + rows, FacingDown);
        placed.push_back({x, y, n, numbered, mirrored});
        numbered += n;
        y += rows;
    }
    ChainLength[staircase][floor][1] = y - row - 1;
    for (int32_t b = 0; b < L; ++b) {
        if (!endsHere) {
            SetLineTemplate(b, FloorSpacing(staircase));
            PlaceCableSegmentV(column + b, y);
            PlaceNew(grid, std::make_unique<TAncoraO>(nullptr, FacingDown, 0, column + b, y + 1));
            LinkLater(column + b, y + 1, FloorBelowEntry(staircase, floor, 1, b));
        } else if (!closed) {
            PlaceTermination(grid, column + b, y, FacingDown);
        }
    }
    ChainEnd[staircase][floor][1] = !endsHere ? 2 : closed ? 0 : 1;

    // The switch outputs, from the last, alternate sides.
    for (auto part = placed.rbegin(); part != placed.rend(); ++part)
        for (int32_t o = part->outputs - 1; o >= 0; --o) {
            const bool right = (o % 2 == 0) != part->mirrored;
            FeedApartment(grid, right ? column + L : c - 1, part->row + o / 2, right, staircase, floor,
                          part->first + o, 1, 0);
        }
    return true;
}

void TCreaAuto::SetLineTemplate(int32_t line, float length) {
    SetCableTemplateEx(Cables[LineIsTerrestrial[line] ? CableRiserTer : CableRiserSat].get(), length,
                       LineColour[line]);
}

int32_t TCreaAuto::FloorAmplifierGroup(int32_t lines) const {
    // The group sizes an amplifier floor may take for each line count, in
    // order of preference; other counts get no group.
    static const std::array<std::vector<int32_t>, LineTableSize + 1> sizes = [] {
        std::array<std::vector<int32_t>, LineTableSize + 1> t{};
        t[4] = {4, 5};
        t[5] = {5, 4};
        t[8] = {8, 4, 9, 10};
        t[9] = {9, 8, 4};
        t[10] = {10, 8, 4};
        return t;
    }();
    if (lines < 0 || lines > LineTableSize) return 0;
    for (int32_t e : sizes[static_cast<size_t>(lines)])
        if (e < AvailInputs && LineAmpAvail[e]) return e;
    return 0;
}

// ---------------------------------------------------------------- the floor's layout

bool TCreaAuto::LayoutFloorApartments(int32_t s, int32_t f) {
    const TOpzProgetto& o = *Settings;
    const int32_t n = ApartmentsOfFloor(s, f);
    int32_t* offset = ApartmentOffset[s][f];
    const TGridData* block0 = FloorGrid[s][f][0].get();
    const TGridData* block1 = FloorGrid[s][f][1].get();
    const int32_t W0 = Width(block0), H0 = Height(block0), W1 = Width(block1), H1 = Height(block1);
    const int32_t C0 = ChainLength[s][f][0], C1 = ChainLength[s][f][1];
    const int32_t k1 = MultiswitchStaircase ? 1 : LineCount[1];

    // The riser part: its chain height, its block height and its side width.
    int32_t H = 0, B = 0, S = 0, end = 0;
    if (H0 < 1 && H1 >= 1) {
        H = C1 * k1, B = H1, S = W1, end = ChainEnd[s][f][1];
    } else if (H0 >= 1 && H1 < 1) {
        H = C0, B = H0, S = W0, end = ChainEnd[s][f][0];
    } else if (H0 >= 1 && H1 >= 1) {
        B = H1 + C0 + o.APDistDerTS;
        H = C0 + C1 * k1 + o.APDistDerTS;
        S = W0 + W1;
        end = ChainEnd[s][f][1];
    }
    if (MultiswitchRadial) S += RadialOutputs[s];

    int32_t Wmax = 0, Hmax = 0;
    for (int32_t a = 0; a < n; ++a) {
        Wmax = std::max(Wmax, Width(ApartmentBlock[s][f][a].get()));
        Hmax = std::max(Hmax, Height(ApartmentBlock[s][f][a].get()));
    }
    int32_t Lr = (TapNetwork[0] ? 1 : 0) + (TapNetwork[1] || MultiswitchStaircase ? 1 : 0) +
                 (MultiswitchApartment ? LineCount[1] : 0);

    // Apartments in pairs, 2k right and 2k + 1 left of the riser. A floor
    // without apartments has no offsets: its height comes from the riser.
    for (int32_t a = 0; a < DesignApartmentsMax; ++a)
        offset[a] = a < n ? (Hmax + o.APDistAptPiano) * (a / 2) : 0;
    auto bottomOfApartments = [&] { return n > 0 ? offset[n - 1] + Hmax : 0; };
    int32_t T = (bottomOfApartments() - H) / 2;

    const bool kind1Network = TapNetwork[1] || MultiswitchSat;
    if (n < 3 || (!MultiswitchApartment && !(TapNetwork[0] && kind1Network))) {
        if (n == 1 || n == 2) {
            // The chain meets the first apartment's entry.
            const int kind = !TapNetwork[0] ? 1 : !MultiswitchApartment ? 0 : 1;
            int32_t row0 = ApartmentInputRow[s][f][0][kind];
            if (n == 2) {
                const int32_t row1 = ApartmentInputRow[s][f][1][kind];
                if (row0 < row1) {
                    offset[0] += row1 - row0;
                    row0 = row1;
                } else {
                    offset[1] += row0 - row1;
                }
            }
            T = offset[0] + row0;
            if (!TapNetwork[0]) {
                if (LineAmplifierFloor[s][f]) T -= 3;
                Lr = 0;
            } else if (!MultiswitchApartment) {
                Lr = kind1Network ? 1 : 0;
            } else {
                T -= 2;
                Lr = 1;
            }
        } else if (LineAmplifierFloor[s][f]) {
            T = (bottomOfApartments() - (H - 3)) / 2 - 3;
            if (LineCount[1] < Lr) --T;
        }
    } else {
        // A gap between two pairs of apartments takes the chain.
        const int32_t m = (n + 1) / 2;
        const bool evenCase = m % 2 == 0 || MultiswitchRadial;
        const int32_t u = m % 2 == 0 ? m : m + 1;
        const int32_t i = (n - 1) / 2;
        const int32_t aboveFirst = evenCase ? u - 2 : i - 2;
        const int32_t belowFirst = evenCase ? u : i + 2;
        auto block = [&](int32_t a) { return a >= 0 && a < n ? ApartmentBlock[s][f][a].get() : nullptr; };
        const int32_t last =
            std::max(LastRowInColumn0(block(aboveFirst)), LastRowInColumn0(block(aboveFirst + 1)));
        int32_t first = FirstRowInColumn0(block(belowFirst));
        if (block(belowFirst + 1)) first = std::min(first, FirstRowInColumn0(block(belowFirst + 1)));
        const int32_t top = offset[aboveFirst] + last + 1 - T;
        const int32_t bottom = belowFirst < n ? H + T - offset[belowFirst] - first : 0;
        const int32_t half = (top + bottom) / 2;
        if (evenCase && top + bottom >= 0) {
            T += top;
            for (int32_t a = u; a < n; ++a) offset[a] += top + bottom;
        } else if (!evenCase && half >= 0) {
            T += top;
            for (int32_t a = i; a < std::min(i + 2, n); ++a) offset[a] += half;
            for (int32_t a = i + 2; a < n; ++a) offset[a] += top + bottom;
        } else {
            if (top > 0) T += top;
            if (bottom > 0) T -= bottom;
        }
    }

    if (T >= 1) {
        for (int32_t a = 0; a < n; ++a) offset[a] += 1;
    } else {
        for (int32_t a = 0; a < n; ++a) offset[a] += 1 - T;
        T = 0;
    }
    TapChainOffset[s][f] = T;
    FloorCableColumns[s][f] = ((n + 3) / 4) * Lr;
    FloorWidth[s][f] = (FloorCableColumns[s][f] + Wmax) * 2 + S;
    FloorHeight[s][f] = std::max(T + B, bottomOfApartments());
    FloorTail[s][f] = std::min(end, std::max(0, T + B - bottomOfApartments()));
    return true;
}
