// The head-end builder: the terrestrial and the satellite head ends and the
// split blocks of both kinds are drawn in work grids, stacked above the
// terminal of the project's head-end grid, and every exit is joined by cable
// runs (through LNBs for multiswitch lines) to the terminal's lines.
#include "cells/head_end.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "autodesign/engine.h"
#include "cells/cables.h"
#include "cells/splitters.h"
#include "core/cell_codes.h"
#include "core/info.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"

namespace {

constexpr int32_t SplitGridColumns = 200;
constexpr int32_t SplitGridRows = 50;
constexpr int32_t TerColumn = 3, TerRow = 64;
constexpr int32_t SatColumn = 14, SatRow = 47;
constexpr int32_t ExitFromSide = 2;
constexpr int32_t SplitOfTen = 10;        // ten multiswitch lines: the terrestrial line feeds two outputs
constexpr double LevelTolerance = 0.001;  // dB

// A block of a work grid: its used rectangle and where it went on the head-end grid.
struct TBlock {
    TCellRect used{};
    int32_t w = 0, h = 0;
    int32_t left = 0, top = 0;  // on the head-end grid
    void Measure(const TGridData& grid) {
        used = grid.GetUsedArea();
        w = std::max(0, used.Right - used.Left + 1);
        h = std::max(0, used.Bottom - used.Top + 1);
    }
    int32_t dx() const { return left - used.Left; }
    int32_t dy() const { return top - used.Top; }
};

bool IsAmplifier(const TCella& cell) {
    switch (cell.TypeCode) {
    case CodeAmplificatore:
    case CodeAmplificatoreRegolato:
    case CodeAmplificatoreA:
    case CodeTerrestre:
    case CodeAmplificatoreAt: return cell.Attenuation != nullptr;
    default: return false;
    }
}

}  // namespace

bool TCreaAuto::BuildHeadEnd() {
    TerrestrialFinals = true;
    // What a design uses up or moves, for a second one to start from the
    // same place: the antennas go onto the head end as they are placed, the
    // required levels follow the multiswitch lines' full length, and the
    // network's amplifiers regulate to the head end's levels.
    const int32_t antennas = std::clamp(AntennaCount, 0, static_cast<int32_t>(std::size(Antennas)));
    std::vector<std::unique_ptr<TCella>> kept(static_cast<size_t>(antennas));
    for (int32_t a = 0; a < antennas; ++a)
        if (Antennas[a].Cell) kept[a] = std::unique_ptr<TCella>{Antennas[a].Cell->Clone()};
    const float requiredTer = RequiredLevelTer, requiredSat = RequiredLevelSat;
    std::vector<std::pair<TCella*, std::unique_ptr<TInfo>>> regulated;
    for (TCella* cell = Project && Project->NetworkGrid ? Project->NetworkGrid->Anchor : nullptr; cell;
         cell = cell->NextCell)
        if (IsAmplifier(*cell)) {
            auto table = std::make_unique<TInfo>(cell->Attenuation->Rank());
            table->Assign(*cell->Attenuation);
            regulated.emplace_back(cell, std::move(table));
        }
    if (!DesignHeadEnd()) return false;
    // The wideband amplifier regulates itself down to the outlets' maximum
    // as far as its regulation goes: a network that takes less still would
    // be overdriven, and none of the chosen amplifiers serves it.
    if (Settings->Wideband && Settings->Terrestrial && TerrestrialMisfit().over > LevelTolerance) {
        Report("Nessun amplificatore a larga banda selezionabile.");
        return false;
    }
    // A final amplifier has a gain it cannot regulate away: on a network that
    // takes less than the filters at their lowest setting and the final at
    // its full regulation give, the outlets of the design would be
    // overdriven. When the family's filters reach the need on their own, such
    // a head end is built again from the filters alone, which come down
    // further; if that cannot be built, or leaves an outlet short, the first
    // one stands.
    const TFamiglia* family =
        ChosenFamily[0] >= 0 && ChosenFamily[0] < FamiliesMax ? &FamilyTer[ChosenFamily[0]] : nullptr;
    if (Settings->Wideband || !family || family->Variant != 0 || family->ModuleLevel < RequiredLevelTer)
        return true;
    const TLevelMisfit withFinals = TerrestrialMisfit();
    if (!(withFinals.over > LevelTolerance)) return true;
    auto again = [&] {
        TGridData& H = *Project->HeadEndGrid;
        H.RemoveCellsIn(TCellRect{0, 0, H.Rows - 1, H.Columns - 1}, false, 0);
        for (int32_t a = 0; a < antennas; ++a)
            Antennas[a].Cell =
                kept[a] ? std::unique_ptr<TCella>{kept[a]->Clone()} : std::unique_ptr<TCella>{};
        RequiredLevelTer = requiredTer;
        RequiredLevelSat = requiredSat;
        for (const auto& [cell, table] : regulated) cell->Attenuation->Assign(*table);
        return DesignHeadEnd();
    };
    // The message of a design given up is not the run's.
    TerrestrialFinals = false;
    const bool reporting = Reporter && Reporter->enabled;
    if (Reporter) Reporter->enabled = false;
    const bool rebuilt = again();
    if (Reporter) Reporter->enabled = reporting;
    TerrestrialFinals = true;
    if (rebuilt) {
        const TLevelMisfit alone = TerrestrialMisfit();
        if (!(alone.under > std::max(withFinals.under, LevelTolerance))) return true;
    }
    return again();
}

bool TCreaAuto::DesignHeadEnd() {
    TGridData* H = Project ? Project->HeadEndGrid : nullptr;
    auto* terminal = H ? dynamic_cast<TTesta*>(H->Anchor) : nullptr;
    if (!terminal) {
        Report("Errore di creazione disegno. Non riesco a progettare l'impianto.");
        return false;
    }
    if (!Settings->Wideband) {
        WidebandSupply = nullptr;
        WidebandSupplyNeeded = 0;
    }
    // 1-3: the families and the two head ends.
    ChooseHeadEndFamilies();
    TGridData* T = WorkGrids[0].get();
    TGridData* S = WorkGrids[1].get();
    T->Clear();
    S->Clear();
    if (!DesignTerrestrialHeadEnd(TerColumn, TerRow, T) || !DesignSatIfHeadEnd(SatColumn, SatRow, S))
        return false;
    TBlock t, s, a, b;
    t.Measure(*T);
    s.Measure(*S);

    // 5: the split blocks in two grids of their own.
    SplitLines = 1;
    for (int k = 0; k < SignalKinds; ++k) {
        SplitEntryColumn[k] = SplitSpacing[k] = 0;
        SplitOutputColumn[k].clear();
    }
    auto A = std::make_unique<TGridData>(nullptr, SplitGridColumns, SplitGridRows, GridWork);
    auto B = std::make_unique<TGridData>(nullptr, SplitGridColumns, SplitGridRows, GridWork);
    if (!SelectSplitAmplifiers(A.get(), 0) || !SelectSplitAmplifiers(B.get(), 1)) return false;
    a.Measure(*A);
    b.Measure(*B);

    // The lines the joining uses; a head end designed without its network
    // gives the terminal that many lines (the network builder sets them otherwise).
    const int32_t P = std::clamp(Settings->Building->StaircaseCount, 1, DesignStaircasesMax);
    auto fanOutCount = [&](int kind) {
        int32_t count = 0;
        for (int32_t g = 0; g < P; ++g) count += RiserBreakCount[g][kind] + 1;
        return count;
    };
    const int32_t M = LineCount[1];
    const bool ter = TapNetwork[0] != 0, sat = TapNetwork[1] != 0;
    const int32_t tLines = a.w > 0 ? fanOutCount(0) : 1;
    const int32_t sLines = b.w > 0 ? fanOutCount(1) : 1;
    int32_t needed = 1;
    if (ter && !sat && !CarriesSat[0])
        needed = tLines + (MultiswitchSat ? M : 0);
    else if (ter && Settings->SeparateDistributions)
        needed = tLines + sLines;
    else if (ter)
        needed = a.w > 0 ? tLines : 1;
    else if (sat)
        needed = sLines;
    else
        needed = M;
    if (!Settings->DesignNetwork && terminal->Lines() < needed) terminal->SetLineCount(needed);
    const int32_t O = terminal->Lines();

    // 6: the grid's size.
    const int32_t needW = std::max(a.w + b.w + 40, t.w + 32);
    int32_t needH = O + std::max(a.h, b.h) + 5;
    if (s.h > 0) needH += s.h + 5;
    if (t.h > 0) needH += t.h + 5;
    if (H->Columns < needW || H->Rows < needH)
        H->Resize(std::max(needW, H->Columns), std::max(needH, H->Rows));
    const int32_t ax0 = terminal->Column, ay0 = terminal->Row;

    // 7-10: the blocks stacked upwards from the terminal.
    int32_t y = MultiswitchSat ? ay0 - 2 * (M / 2) - (2 * (O - M)) / 3 : ay0 - (2 * O) / 3 - 1;
    int32_t splitTop = y;
    if (a.h > 0 || b.h > 0) {
        y -= std::max(a.h, b.h);
        splitTop = y;
    }
    int32_t R = ax0;
    auto move = [&](TGridData* grid, TBlock& block, int32_t left, int32_t top) {
        block.left = left;
        block.top = top;
        TGridData::MoveBlock(grid, block.used, H, left, top, false);
    };
    if (s.w > 0) {
        y -= s.h + 5;
        move(S, s, (H->Columns - s.w) / 2, y);
        ExitColumn[1] += s.dx();
        ExitRow[1] += s.dy();
        R = std::max(R, s.left + s.w + 5);
    }
    if (t.w > 0) {
        y -= t.h + 5;
        move(T, t, (H->Columns - t.w) / 2, y);
        ExitColumn[0] += t.dx();
        ExitRow[0] += t.dy();
        R = std::max(R, t.left + t.w + 5);
    }
    int32_t al, bl, at = splitTop, bt = splitTop;
    if (a.w == 0 || b.w == 0) {
        al = (H->Columns - a.w) / 2;
        bl = (H->Columns - b.w) / 2;
    } else {
        al = (H->Columns - a.w - b.w - 4) / 2;
        bl = al + a.w + 4;
        // The bottoms align: the lower block starts at splitTop.
        at = splitTop + std::max(a.h, b.h) - a.h;
        bt = splitTop + std::max(a.h, b.h) - b.h;
    }
    int32_t eA = 0, eB = 0;
    if (a.w > 0) {
        move(A.get(), a, al, at);
        eA = SplitEntryColumn[0] + a.dx();
        if (b.w == 0) eB = SplitEntryColumn[1] + a.dx();
        R = std::max(R, al + a.w + 4);
    }
    if (b.w > 0) {
        move(B.get(), b, bl, bt);
        eB = SplitEntryColumn[1] + b.dx();
        R = std::max(R, bl + b.w + 4);
    }
    A.reset();
    B.reset();

    // 11-12: the joins, on the head-end grid.
    CableTemplate->Owner = H;
    int32_t o = ax0 + 1;
    const int32_t outRow = ay0 - 1;
    int32_t u = 0, v = 1;
    TNCavo* terCable = Cables[CableRiserTer].get();
    TNCavo* satCable = Cables[CableRiserSat].get();
    const float joint = Settings->APLungCavoComp;

    // A cable turned towards column c on a row next to an exit at column ex:
    // the row above a cable leaving upwards, the row below one leaving down.
    auto turn = [&](int32_t ex, int32_t row, int32_t c, bool below) {
        if (c == ex) {
            PlaceCableSegmentV(ex, row);
            return;
        }
        const bool right = c > ex;
        PlaceCableSegmentEx(ex, row, right ? (below ? 2 : 3) : (below ? 1 : 0));
        DrawCableRun(right ? ex + 1 : c + 1, row, right ? c - 1 : ex - 1, row, -1, 1);
        PlaceCableSegmentEx(c, row, right ? 0 : 3);
    };
    auto turnOnRow = [&](int32_t ex, int32_t row, int32_t c) { turn(ex, row, c, false); };
    auto turnBelow = [&](int32_t ex, int32_t row, int32_t c) { turn(ex, row, c, true); };
    // The exit of a block: a segment on the exit; an exit reached from the
    // side leaves on the row above it towards the nearer edge of the block
    // (the left one when leftOnly). Gives the column and row the cable goes
    // on from.
    struct TTurn {
        int32_t column, row;
    };
    auto exitTurn = [&](int kind, const TBlock& block, bool leftOnly) -> TTurn {
        const int32_t ex = ExitColumn[kind], ey = ExitRow[kind];
        PlaceCableSegmentV(ex, ey);
        if (ExitKind[kind] != ExitFromSide) return {ex, ey + 1};
        const bool right = !leftOnly && (block.left + block.w) - ex < ex - block.left;
        const int32_t c = right ? block.left + block.w + 1 : block.left - 1;
        turnOnRow(ex, ey - 1, c);
        return {c, ey};
    };
    // The split blocks' outputs fanned out to the next terminal lines.
    auto fanOut = [&](int kind, const TBlock& block) {
        const std::vector<int32_t>& columns = SplitOutputColumn[kind];
        SetCableTemplate(kind == 0 ? terCable : satCable, CableLengthUncounted);
        size_t i = 0;
        for (int32_t g = 0; g < P; ++g)
            for (int32_t j = 0; j <= RiserBreakCount[g][kind] && i < columns.size(); ++j, ++i, ++o) {
                const int32_t x = columns[i] + block.dx(), yb = block.top + block.h;
                if (x > o) {
                    DrawCableRun(x, yb, o, outRow, outRow - O + u + v, 0);
                    ++v;
                } else {
                    DrawCableRun(x, yb, o, outRow, outRow - u, 0);
                    ++u;
                }
            }
    };
    // Lengths of the multiswitch lines on the network grid, under the terminal.
    TGridData* N = Project->NetworkGrid;
    const int32_t n0 = (N && N->Anchor ? N->Anchor->Column : ax0) + o - ax0;
    auto networkCable = [&](int32_t column) -> TNCavo* {
        TCella* cell = N && N->Inside(column, 1) ? N->CellAt(column, 1) : nullptr;
        return cell && cell->TypeCode == CodeCable ? dynamic_cast<TNCavo*>(cell) : nullptr;
    };
    // The length from the LNB to the top floor, or to the head end alone when
    // the network starts with a short joint beside the first line; taken once
    // for all the lines, before any of them is set.
    auto lineLength = [&](int32_t firstColumn) {
        const TScala& first = Settings->Building->Staircases[0];
        if (TNCavo* next = networkCable(firstColumn + 1); next && next->PassAttenuation() == joint)
            return static_cast<float>(Settings->LnbHeadEndDistance);
        return static_cast<float>(Settings->LnbHeadEndDistance + first.HeadEndDistance +
                                  first.TopFloorDistance);
    };
    // The lines take their whole length, from the LNB on, before the LNB is
    // chosen: it must deliver what these lines need at the terminal over
    // that length, not what the network needed from the head end on.
    auto lengthenLines = [&](int32_t firstColumn, int32_t from, float length) {
        for (int32_t k = from; k < M; ++k)
            if (TNCavo* cable = networkCable(firstColumn + k)) cable->Notify(length, 0);
        TCella* entry = N ? N->Anchor : nullptr;
        if (!Settings->DesignNetwork || !entry) return;
        N->RunRequiredLevelPass();
        if (!entry->InputLevels.Allocated()) return;
        float need = LevelNone;
        for (int32_t k = from; k < M; ++k)
            if (const int32_t i = firstColumn + k - entry->Column - 1;
                i >= 0 && i < entry->InputLevels.Ports())
                need = std::max(need, entry->InputLevels[i][BandSlotSat].Min);
        if (IsRealLevel(need)) RequiredLevelSat = need;
    };
    auto multiswitchLine = [&](int32_t k, int32_t c1, int32_t r1, int32_t c2, int32_t bend) {
        SetCableTemplateEx(satCable, CableLengthUncounted, k < LineTableSize ? LineColour[k] : 0);
        DrawCableRun(c1, r1, c2, outRow, bend, 0);
    };

    const int32_t ex = ExitColumn[0], ey = ExitRow[0];
    const int32_t sx = ExitColumn[1], sy = ExitRow[1];
    const bool twoLines = SplitLines == 2;
    if (ter && !sat && !CarriesSat[0]) {
        // Case 1: the terrestrial network, the satellite on multiswitch lines or none.
        SetCableTemplate(terCable, a.w > 0 ? joint : CableLengthUncounted);
        const TTurn turn = exitTurn(0, t, false);
        if (a.w == 0) {
            DrawCableRun(turn.column, turn.row, o, outRow, MultiswitchSat ? outRow - M - 2 : outRow - 3, 0);
            ++o;
        } else {
            DrawCableRun(turn.column, turn.row, eA, at - 1, splitTop - 2, 0);
            fanOut(0, a);
        }
        if (MultiswitchSat) {
            const int32_t x = std::max(R, o);
            const int32_t first = n0 + o - (ax0 + 1);
            lengthenLines(first, 0, lineLength(first));
            if (!SelectLnb(x, ay0 - 4 - M, H, M)) return false;
            for (int32_t k = 0; k < M; ++k) multiswitchLine(k, x + k, ay0 - 3 - M, o + k, ay0 - M + k);
            o += M;
        }
    } else if (ter && Settings->SeparateDistributions) {
        // Case 2: terrestrial and satellite on runs of their own.
        int32_t c0 = std::min(t.left - 1, s.left - 2);
        if (a.w == 0 && b.w > 0) c0 = std::min(c0, bl - 1);
        SetCableTemplate(terCable, a.w > 0 ? joint : CableLengthUncounted);
        PlaceCableSegmentV(ex, ey);
        int32_t row;
        if (ExitKind[0] == ExitFromSide) {
            turnOnRow(ex, ey - 1, c0);
            row = ey;
        } else {
            turnBelow(ex, ey + 1, c0);
            row = ey + 2;
        }
        if (a.w == 0) {
            if (b.w == 0) u = 2;
            DrawCableRun(c0, row, o, outRow, outRow, 0);
            ++o;
        } else {
            DrawCableRun(c0, row, eA, at - 1, splitTop - 2, 0);
            fanOut(0, a);
        }
        int32_t c1 = s.left - 1;
        if (a.w > 0 && b.w == 0) c1 = std::min(c1, al - 1);
        SetCableTemplate(satCable, b.w > 0 ? joint : CableLengthUncounted);
        PlaceCableSegmentV(sx, sy);
        if (ExitKind[1] == ExitFromSide) {
            turnOnRow(sx, sy - 1, c1);
            row = sy;
        } else if (a.w > 0 || b.w > 0) {
            turnBelow(sx, sy + 1, c1);
            row = sy + 2;
        } else {
            c1 = sx;
            row = sy + 1;
        }
        if (b.w == 0) {
            DrawCableRun(c1, row, o, outRow, outRow - u, 0);
            ++o;
        } else {
            DrawCableRun(c1, row, eB, bt - 1, splitTop - 3, 0);
            fanOut(1, b);
        }
    } else if (ter) {
        // Case 3: one cable for both. Split blocks with a line of each kind
        // take the two signals apart, so they are not mixed first.
        TCella* mixer = a.w > 0 && twoLines ? nullptr : MixerCell;
        int32_t c0 = std::min({t.left - 1, s.left - 2, sx - 2});
        if (mixer) c0 = std::min(c0, s.left - 3);
        SetCableTemplate(terCable, joint);
        PlaceCableSegmentV(ex, ey);
        int32_t yT;
        if (ExitKind[0] != ExitFromSide) {
            if ((a.w == 0 || !twoLines) && !mixer) {
                c0 = ex;
                yT = ey + 1;
            } else {
                turnBelow(ex, ey + 1, c0);
                yT = ey + 2;
            }
        } else {
            if (!(ExitKind[1] == ExitFromSide || (a.w > 0 && twoLines) || mixer))
                c0 = std::max(t.left + t.w, s.left + s.w) + 1;
            turnOnRow(ex, ey - 1, c0);
            yT = ey;
        }
        int32_t c1 = s.left - 1, ySat;
        SetCableTemplate(terCable, a.w > 0 || mixer ? joint : CableLengthUncounted);
        PlaceCableSegmentV(sx, sy);
        if (mixer) {
            // The satellite reaches the mixer's right side on the row above its exit.
            c1 = c0 + 1;
            if (ExitKind[1] == ExitFromSide) {
                PlaceCableSegmentEx(sx, sy - 1, 0);
                DrawCableRun(c0 + 2, sy - 1, sx - 1, sy - 1, -1, 1);
            } else {
                const int32_t up = s.left - 1;
                PlaceCableSegmentEx(sx, sy + 1, 1);
                DrawCableRun(up + 1, sy + 1, sx - 1, sy + 1, -1, 1);
                PlaceCableSegmentEx(up, sy + 1, 2);
                PlaceCableSegmentV(up, sy);
                PlaceCableSegmentEx(up, sy - 1, 0);
                DrawCableRun(c0 + 2, sy - 1, up - 1, sy - 1, -1, 1);
            }
            SetCableTemplate(terCable, joint);
            if (!PlaceClone(MixerCell, c0 + 1, sy - 1, 0, H)) return false;
            DrawCableRun(c0, yT, c0, sy - 2, -1, 0);
            PlaceCableSegmentEx(c0, sy - 1, 2);
            ySat = sy;
        } else {
            if (ExitKind[1] == ExitFromSide) {
                turnOnRow(sx, sy - 1, c1);
                ySat = sy;
            } else {
                c1 = sx;
                ySat = sy + 1;
            }
            SetCableTemplate(terCable, joint);
            if (a.w > 0 && twoLines) {
                DrawCableRun(c0, yT, eA, at - 1, splitTop - 2, 0);
            } else if (ExitKind[1] != ExitFromSide) {
                // Into the satellite final's terrestrial input, from below.
                DrawCableRun(c0, yT, sx + 4, sy, yT, 0);
                PlaceCableSegmentEx(sx + 4, sy + 1, 1);
                DrawCableRun(sx + 3, sy + 1, sx + 3, sy + 1, -1, 1);
                PlaceCableSegmentEx(sx + 2, sy + 1, 2);
                PlaceCableSegmentV(sx + 2, sy);
            } else {
                DrawCableRun(c0, yT, sx - 2, sy, Settings->Wideband ? yT : sy - 2, 0);
            }
        }
        if (a.w == 0) {
            SetCableTemplate(terCable, CableLengthUncounted);
            DrawCableRun(c1, ySat, o, outRow, outRow - 2, 0);
            ++o;
        } else {
            DrawCableRun(c1, ySat, twoLines ? eB : eA, at - 1, splitTop - 3, 0);
            fanOut(0, a);
        }
    } else if (sat) {
        // Case 4: the satellite network alone.
        SetCableTemplate(satCable, b.w > 0 ? joint : CableLengthUncounted);
        const TTurn turn = exitTurn(1, s, true);
        if (b.w == 0) {
            DrawCableRun(turn.column, turn.row, o, outRow, outRow - 2, 0);
            ++o;
        } else {
            DrawCableRun(turn.column, turn.row, eB, bt - 1, splitTop - 2, 0);
            fanOut(1, b);
        }
    } else if (M % 2 == 0 && M != SplitOfTen) {
        // Case 5: multiswitch lines only, each from an LNB output.
        lengthenLines(n0, 0, lineLength(n0));
        if (!SelectLnb(o, ay0 - 4, H, M)) return false;
        for (int32_t k = 0; k < M; ++k) multiswitchLine(k, o + k, ay0 - 3, o + k, -1);
        o += M;
    } else {
        // The terrestrial line first (two of them with ten lines), then the LNB's.
        SetCableTemplate(terCable, CableLengthUncounted);
        const TTurn turn = exitTurn(0, t, false);
        const int32_t s1 = M == SplitOfTen ? 1 : 0;
        if (M == SplitOfTen) {
            DrawCableRun(turn.column, turn.row, o, outRow - 3, outRow - M - 2, 0);
            if (auto* cable = dynamic_cast<TNCavo*>(H->CellAt(o, outRow - 3))) cable->Notify(joint, 2);
            auto splitter = std::make_unique<TDivisore>(nullptr, 0, 0, o, outRow - 2, 1, 2);
            splitter->FindModelForAttenuation(Components->head, BandSlotTer, true, false);
            if (!PlaceNew(std::move(splitter), H)) return false;
            PlaceCableSegmentEx(o + 1, outRow - 2, 0);
            PlaceCableSegmentV(o + 1, outRow - 1);
            PlaceCableSegmentV(o + 1, outRow);
            PlaceCableSegmentEx(o - 1, outRow - 2, 3);
            PlaceCableSegmentEx(o - 1, outRow - 1, 2);
            PlaceCableSegmentEx(o, outRow - 1, 0);
            PlaceCableSegmentV(o, outRow);
        } else {
            DrawCableRun(turn.column, turn.row, o, outRow, outRow - M - 2, 0);
        }
        const int32_t x = std::max(R, o + s1 + 1);
        lengthenLines(n0, s1 + 1, lineLength(n0));
        if (!SelectLnb(x, ay0 - 4 - M, H, 2 * ((M - 1) / 2))) return false;
        for (int32_t k = s1 + 1; k < M; ++k)
            multiswitchLine(k, x + k - 1 - s1, ay0 - 3 - M, o + k, ay0 - M + k);
        o += M;
    }

    // 13: terminations, analysis and the filters' levels.
    H->ChooseTerminations(Components->head);
    // A drawing that does not analyse is no design: say so, as the network does.
    if (!H->Analyse(true)) {
        Report("Errore di creazione disegno. Non riesco a progettare l'impianto.");
        return false;
    }
    AdjustHeadEndLevels();
    return true;
}
