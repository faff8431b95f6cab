// The inside of an apartment: from its entry anchor on the block's left edge,
// the cable from the staircase and the apartment's own distribution to its
// outlets (one outlet, a line of outlets, a splitter star, a two-level
// splitter tree or a trunk of taps), or the apartment's multiswitch with its
// outlets. Squares are relative to the entry (column x, row y): the lines
// leave upwards from the even outputs and downwards from the odd ones.
#include <algorithm>
#include <array>
#include <vector>

#include "autodesign/drawing_names.h"
#include "autodesign/engine.h"
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/splitters.h"
#include "cells/switches.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/reporter.h"
#include "document/copy_buffer.h"
#include "document/grid.h"

namespace {

constexpr int32_t StarSizeMax = 6;
constexpr int32_t TrunkTapsMax = 15;
constexpr int32_t TrunkTapOutputsMax = 10;

const char* const NoApartmentTap =
    "Non esistono derivatori selezionati che siano adeguati agli appartamenti.";
const char* const NoApartmentSwitch =
    "Non sono stati selezionati switch adeguati per gli appartamenti. Gli switch richiesti non devono "
    "alimentare "
    "o trasferire alimentazione ai montanti.";

bool Offers(std::span<const uint8_t> table, int32_t size) {
    return size >= 0 && static_cast<size_t>(size) < table.size() && table[static_cast<size_t>(size)] != 0;
}

bool AnyOffered(std::span<const uint8_t> table) {
    for (size_t s = 1; s < table.size(); ++s)
        if (table[s]) return true;
    return false;
}

}  // namespace

int32_t TCreaAuto::ApartmentLineCount(int32_t outlets, int32_t layout) {
    // Layouts 1-6 are line counts, never more lines than outlets; 0 and 7
    // give every outlet a line of its own.
    if (layout >= 1 && layout <= DesignLayoutMax - 1) return std::min(layout, outlets);
    return outlets;
}

int32_t TCreaAuto::OutletsOfLine(int32_t outlets, int32_t lines, int32_t line) {
    return lines > 0 ? (outlets + lines - line - 1) / lines : 0;
}

// ---------------------------------------------------------------- one apartment block

bool TCreaAuto::PlaceApartments(int32_t s, int32_t f, int32_t a) {
    const TScala& staircase = Settings->Building->Staircases[s];
    const TAppartamento& record = staircase.Floors[f].Apartments[a];
    auto& block = ApartmentBlock[s][f][a];
    ForgetBlockLinks(block.get());
    if (CopyEqualApartment(s, f, a)) return true;

    TGridData* ter = WorkGrids[0].get();
    TGridData* sat = WorkGrids[1].get();
    ter->Clear();
    sat->Clear();
    constexpr int32_t EntryRow = 25;
    if (!PlaceApartmentTaps(ter, 0, 0, EntryRow, record.TerrOutlets, record.TerrLayout, record.OutletSpacing,
                            record.ApartmentDistance) ||
        !PlaceApartmentTaps(sat, 1, 0, EntryRow, record.SatOutlets, record.SatLayout, record.OutletSpacing,
                            record.ApartmentDistance) ||
        !PlaceApartmentSwitch(sat, 0, EntryRow, record.SatOutlets, record.SatLayout, record.OutletSpacing,
                              record.ApartmentDistance))
        return false;

    // The two parts stacked, the terrestrial one on top.
    const TCellRect A = ter->GetUsedArea(), B = sat->GetUsedArea();
    const bool hasA = A.Right >= A.Left, hasB = B.Right >= B.Left;
    const int32_t widthA = hasA ? A.Right + 1 : 0, heightA = hasA ? A.Bottom - A.Top + 1 : 0;
    const int32_t widthB = hasB ? B.Right + 1 : 0, heightB = hasB ? B.Bottom - B.Top + 1 : 0;
    const int32_t gap = hasA && hasB ? Settings->APDistAptTs : 0;
    block = std::make_unique<TGridData>(nullptr, std::max({widthA, widthB, 1}),
                                        std::max(heightA + gap + heightB, 1), GridWork);
    int32_t* rows = ApartmentInputRow[s][f][a];
    rows[0] = rows[1] = -1;
    if (hasA) {
        TGridData::MoveBlock(ter, TCellRect{A.Top, 0, A.Bottom, A.Right}, block.get(), 0, 0, false);
        rows[0] = EntryRow - A.Top;
    }
    if (hasB) {
        TGridData::MoveBlock(sat, TCellRect{B.Top, 0, B.Bottom, B.Right}, block.get(), 0, heightA + gap,
                             false);
        rows[1] = heightA + gap + EntryRow - B.Top;
    }
    if (!block->Analyse(false)) {
        Report("Non riesco a posizionare i componenti. Appartamento " + IntToStr(s) + IntToStr(f) +
               IntToStr(a));
        return false;
    }
    return true;
}

bool TCreaAuto::CopyEqualApartment(int32_t s, int32_t f, int32_t a) {
    const TScala& staircase = Settings->Building->Staircases[s];
    const TAppartamento& record = staircase.Floors[f].Apartments[a];
    auto equal = [&record](const TAppartamento& other) {
        return other.TerrOutlets == record.TerrOutlets && other.SatOutlets == record.SatOutlets &&
               other.TerrLayout == record.TerrLayout && other.SatLayout == record.SatLayout &&
               other.OutletSpacing == record.OutletSpacing &&
               other.ApartmentDistance == record.ApartmentDistance;
    };
    // The earlier apartments of the staircase: the floors below, then this floor's.
    for (int32_t g = 0; g <= f; ++g) {
        const int32_t count =
            g < f ? std::clamp(staircase.Floors[g].ApartmentCount, 0, DesignApartmentsMax) : a;
        for (int32_t b = 0; b < count; ++b) {
            TGridData* match = ApartmentBlock[s][g][b].get();
            if (!match || !equal(staircase.Floors[g].Apartments[b])) continue;
            auto& buffer = ApartmentCopy[s][g][b];
            if (!buffer) buffer = std::make_unique<TBufferCopia>();
            if (buffer->Empty()) buffer->Copy(match, match->GetFullArea());
            auto& block = ApartmentBlock[s][f][a];
            block = std::make_unique<TGridData>(nullptr, match->Columns, match->Rows, GridWork);
            buffer->Paste(block.get(), 0, 0, false);
            ApartmentInputRow[s][f][a][0] = ApartmentInputRow[s][g][b][0];
            ApartmentInputRow[s][f][a][1] = ApartmentInputRow[s][g][b][1];
            block->Analyse(false);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- cells and templates

bool TCreaAuto::PlaceNew(TGridData* grid, std::unique_ptr<TCella> cell) {
    if (!cell) return false;
    return Place(grid, std::move(cell)) == nullptr;
}

bool TCreaAuto::PlaceClone(TGridData* grid, TCella* prototype, int32_t column, int32_t row,
                           int32_t orientation) {
    if (!prototype) return false;
    std::unique_ptr<TCella> cell(prototype->Clone());
    if (!cell) return false;
    cell->Column = column;
    cell->Row = row;
    cell->Orientation = orientation;
    return PlaceNew(grid, std::move(cell));
}

bool TCreaAuto::PlaceTermination(TGridData* grid, int32_t column, int32_t row, int32_t orientation) {
    return PlaceNew(grid, std::make_unique<TChiusura>(nullptr, orientation, 0, column, row, 1));
}

// ---------------------------------------------------------------- one line leaving an output

bool TCreaAuto::PlaceApartmentLine(TGridData* grid, int role, bool dc, int32_t column, int32_t y, bool above,
                                   int32_t outlets, int32_t& up, int32_t& down) {
    const int32_t step = above ? -1 : 1;
    const int32_t length = 3 * outlets;
    const bool straight = outlets < 3 || (above ? up - 2 <= y - length : length + y <= down + 2);
    if (straight) {
        // The line goes straight up or down from the output.
        PlaceCableSegmentV(column, y + step);
        if (above) {
            up = std::min(up, y - length - 1);
            return PlaceOutletColumnUp(column, y - 2, outlets, grid, role, dc);
        }
        down = std::max(down, length + y + 1);
        return PlaceOutletColumnDown(column, y + 2, outlets, grid, role, dc);
    }
    // A long line turns right beyond the lines drawn so far.
    int32_t& edge = above ? up : down;
    edge += 2 * step;
    for (int32_t r = y + step; r != edge; r += step) PlaceCableSegmentV(column, r);
    PlaceCableSegmentEx(column, edge, above ? BendRightBottom : BendRightTop);
    return PlaceOutletRowRight(column + 1, edge, outlets, grid, role, dc);
}

// ---------------------------------------------------------------- the distribution of one kind

bool TCreaAuto::PlaceApartmentTaps(TGridData* grid, int kind, int32_t x, int32_t y, int32_t outlets,
                                   int32_t layout, int32_t spacing, int32_t distance) {
    if (kind < 0 || kind >= SignalKinds || !TapNetwork[kind]) return true;
    const int32_t colour = kind == 1 && TapNetwork[0] ? NetworkColour[1] : NetworkColour[0];
    const bool otherTapKind = AnyOffered(TapSAvail[1]);
    return ChooseApartmentTaps(grid, kind, x, y, outlets, layout, spacing, distance, colour, otherTapKind,
                               SplitterAvail[1], TapAvail[1], false);
}

bool TCreaAuto::ChooseApartmentTaps(TGridData* grid, int kind, int32_t x, int32_t y, int32_t outlets,
                                    int32_t layout, int32_t spacing, int32_t distance, int32_t colour,
                                    bool otherTapKind, std::span<const uint8_t> splitters,
                                    std::span<const uint8_t> taps, bool dc) {
    // A part without outlets draws nothing: no anchor hangs on the riser for it.
    if (outlets <= 0 || !grid) return true;
    const int role = kind == 0 ? RoleTer : (dc ? RoleSatDc : RoleSat);
    TCella* direct = OutletChoice[OutletDirect][role];
    TCella* through = OutletChoice[OutletThrough][role];
    TCella* terminal = OutletChoice[OutletTerminal][role];
    TNCavo* staircaseCable = Cables[kind == 0 ? CableStaircaseTer : CableStaircaseSat].get();
    TNCavo* apartmentCable = Cables[kind == 0 ? CableApartmentTer : CableApartmentSat].get();

    const int32_t lines = ApartmentLineCount(outlets, layout);
    auto outletsOf = [&](int32_t line) { return OutletsOfLine(outlets, lines, line); };

    CableTemplate->Owner = grid;
    SetCableTemplateEx(staircaseCable, static_cast<float>(distance), colour);
    PlaceNew(grid, std::make_unique<TAncoraI>(nullptr, FacingRight, 0, x, y));
    PlaceCableSegment(x + 1, y);

    // One line: a direct outlet, or a line of outlets.
    if (lines == 1) {
        if (!otherTapKind && outletsOf(0) == 1 && direct)
            return PlaceClone(grid, direct, x + 2, y, FacingRight);
        SetCableTemplateEx(apartmentCable, static_cast<float>(spacing), colour);
        return PlaceOutletRowRight(x + 2, y, outletsOf(0), grid, role, dc);
    }

    const bool outletsForLines = through || (terminal && outletsOf(0) == 1);
    // A star of one splitter: its smallest size that takes every line.
    int32_t star = 0;
    if (lines < DesignLayoutMax && outletsForLines)
        for (int32_t k = lines; k <= StarSizeMax && !star; ++k)
            if (Offers(splitters, k)) star = k;
    if (star) {
        SetCableTemplateEx(apartmentCable, static_cast<float>(spacing), colour);
        const int32_t X = x + 2;
        PlaceNew(grid, std::make_unique<TDivisore>(nullptr, FacingRight, 0, X, y, 1, star));
        bool placed = true;
        int32_t up = y, down = y;
        for (int32_t o = 2 * (star / 2) - 1; o >= 0; --o) {
            const int32_t column = X + o / 2;
            const bool above = o % 2 == 0;
            if (o >= lines) {
                PlaceTermination(grid, column, above ? y - 1 : y + 1, above ? FromBelow : FacingDown);
                continue;
            }
            // After a failed line the others are still cabled, without outlets.
            if (placed) placed = PlaceApartmentLine(grid, role, dc, column, y, above, outletsOf(o), up, down);
        }
        if (star % 2 != 0) {
            // The last output of an odd star leaves to the right.
            const int32_t o = star - 1;
            const int32_t column = X + o / 2;
            if (o < lines) {
                PlaceCableSegment(column, y);
                if (placed) placed = PlaceOutletRowRight(column + 1, y, outletsOf(o), grid, role, dc);
            } else {
                PlaceTermination(grid, column, y, FacingRight);
            }
        }
        return placed;
    }

    // Four lines of a two-level tree of two-output splitters.
    if (lines == 4 && outletsForLines && Offers(splitters, 2)) {
        SetCableTemplateEx(staircaseCable, Settings->APLungCavoComp, colour);
        PlaceNew(grid, std::make_unique<TDivisore>(nullptr, FacingRight, 0, x + 2, y, 1, 2));
        PlaceCableSegmentV(x + 2, y - 1);
        PlaceCableSegmentEx(x + 2, y - 2, BendRightBottom);
        PlaceCableSegmentV(x + 2, y + 1);
        PlaceCableSegmentEx(x + 2, y + 2, BendRightTop);
        PlaceNew(grid, std::make_unique<TDivisore>(nullptr, FacingRight, 0, x + 3, y - 2, 1, 2));
        PlaceNew(grid, std::make_unique<TDivisore>(nullptr, FacingRight, 0, x + 3, y + 2, 1, 2));
        SetCableTemplateEx(apartmentCable, static_cast<float>(spacing), colour);
        const int32_t rows[4] = {y - 3, y - 1, y + 1, y + 3};
        bool placed = true;
        for (int32_t line = 0; line < 4; ++line) {
            PlaceCableSegmentEx(x + 3, rows[line], line % 2 == 0 ? BendRightBottom : BendRightTop);
            PlaceCableSegment(x + 4, rows[line]);
            if (placed) placed = PlaceOutletRowRight(x + 5, rows[line], outletsOf(line), grid, role, dc);
        }
        return placed;
    }

    // A trunk of taps.
    if (!AnyOffered(taps)) {
        Report(NoApartmentTap);
        return false;
    }
    std::array<int32_t, TrunkTapsMax> sizes{};
    SplitIntoAvailableSizes(lines, sizes, taps, TrunkTapsMax, TrunkTapOutputsMax);
    SetCableTemplateEx(staircaseCable, Settings->APLungCavoComp, colour);
    struct TTrunkTap {
        int32_t column, outputs, first;  // first: the number of its output 0 among all outputs
    };
    std::vector<TTrunkTap> trunk;
    int32_t X = x, numbered = 0;
    for (int32_t n : sizes) {
        if (n <= 0) break;
        if (!trunk.empty()) {
            PlaceCableSegment(X, y);
            PlaceCableSegment(X + 1, y);
        }
        PlaceNew(grid, std::make_unique<TDerivatore>(nullptr, FacingRight, 0, X + 2, y, 1, n));
        trunk.push_back({X + 2, n, numbered});
        numbered += n;
        X += (n + 1) / 2 + 2;
    }
    PlaceTermination(grid, X, y, FacingRight);
    SetCableTemplateEx(apartmentCable, static_cast<float>(spacing), colour);
    const bool singleOutlets = outletsOf(0) == 1 && direct;
    bool placed = true;
    int32_t up = y, down = y;
    for (auto tap = trunk.rbegin(); tap != trunk.rend(); ++tap)
        for (int32_t o = tap->outputs - 1; o >= 0; --o) {
            const int32_t line = tap->first + o;
            const int32_t column = tap->column + o / 2;
            const bool above = o % 2 == 0;
            const int32_t feed = above ? y - 1 : y + 1;
            if (line >= lines) {
                PlaceTermination(grid, column, feed, above ? FromBelow : FacingDown);
            } else if (singleOutlets) {
                PlaceCableSegmentV(column, feed);
                PlaceClone(grid, direct, column, above ? y - 2 : y + 2, above ? FromBelow : FacingDown);
            } else if (placed) {
                placed = PlaceApartmentLine(grid, role, dc, column, y, above, outletsOf(line), up, down);
            }
        }
    return placed;
}

// ---------------------------------------------------------------- the apartment's multiswitch

bool TCreaAuto::PlaceApartmentSwitch(TGridData* grid, int32_t x, int32_t y, int32_t outlets, int32_t layout,
                                     int32_t spacing, int32_t distance) {
    if (!MultiswitchSat || !grid) return true;
    TCella* direct = OutletChoice[OutletDirect][RoleSatDc];
    auto reportNoOutlet = [&] {
        Report(OutletNotFoundMessage(MessageDirect, OutletConnectorIndex(OutletShape[1], OutletShape[3]),
                                     true, TerOnMultiswitch != 0, true));
        return false;
    };
    TNCavo* staircaseCable = Cables[CableStaircaseSat].get();
    CableTemplate->Owner = grid;

    if (!MultiswitchStaircase && !MultiswitchRadial) {
        // The multiswitch stands in the apartment.
        if (!direct) return reportNoOutlet();
        const int32_t lines = LineCount[1];
        int32_t inputs = lines, code = 0, size = 0;
        auto find = [&](int32_t in) {
            for (auto [c, table] : {std::pair{CodeSwitchN, &RadialSwitchUnpoweredAvail},
                                    std::pair{CodeSwitch, &SwitchUnpoweredAvail}}) {
                if (in < 0 || in >= AvailInputs) return false;
                for (int32_t o = std::max(outlets, 1); o < AvailSwitchOutputs; ++o)
                    if ((*table)[in][o]) {
                        code = c;
                        size = o;
                        return true;
                    }
            }
            return false;
        };
        if (!find(inputs) && inputs % 2 == 0 && find(inputs + 1)) ++inputs;
        if (!code) {
            Report(NoApartmentSwitch);
            return false;
        }
        for (int32_t i = 0; i < lines; ++i) {
            const bool terrestrial = i < LineTableSize && LineIsTerrestrial[i];
            SetCableTemplateEx(Cables[terrestrial ? CableStaircaseTer : CableStaircaseSat].get(),
                               static_cast<float>(distance), i < LineTableSize ? LineColour[i] : 0);
            PlaceNew(grid, std::make_unique<TAncoraI>(nullptr, FacingRight, 0, x, y + i));
            PlaceCableSegment(x + 1, y + i);
        }
        const bool spare = inputs > lines;
        if (spare) PlaceTermination(grid, x + 1, y - 1, 1);
        SetCableTemplate(Cables[CableApartmentSat].get(), static_cast<float>(spacing));
        const int32_t column = x + 2;
        const int32_t row = y + inputs - 1 - (spare ? 1 : 0);
        std::unique_ptr<TCella> made;
        if (code == CodeSwitchN)
            made =
                std::make_unique<TSwitchN>(nullptr, FacingRight, 0, column, row, CodeSwitchN, inputs, size);
        else
            made = std::make_unique<TSwitch>(nullptr, FacingRight, 0, column, row, CodeSwitch, inputs, size);
        if (code == CodeSwitchN) made->Variant = 1;
        PlaceNew(grid, std::move(made));
        if (code == CodeSwitch)
            for (int32_t j = 0; j < inputs; ++j)
                PlaceTermination(grid, column + (size + 1) / 2, row - j, FacingRight);
        for (int32_t o = 0; o < size; ++o) {
            const bool above = o % 2 == 0;
            const int32_t c = column + o / 2;
            const int32_t r = above ? row - inputs : row + 1;
            if (o < outlets) {
                PlaceCableSegmentV(c, r);
                PlaceClone(grid, direct, c, above ? r - 1 : r + 1, above ? FromBelow : FacingDown);
            } else {
                PlaceTermination(grid, c, r, above ? FromBelow : FacingDown);
            }
        }
        return true;
    }

    if (MultiswitchStaircase || layout != DesignLayoutMax) {
        // The outlets of a multiswitch line pass the receivers' supply up to it.
        return ChooseApartmentTaps(grid, 1, x, y, outlets, layout, spacing, distance, 0, false,
                                   SplitterDcAvail[1], TapDcAvail[1], true);
    }

    // Radial with single outlets: every outlet has its own cable from the switch.
    if (!direct) return reportNoOutlet();
    SetCableTemplate(staircaseCable, static_cast<float>(distance));
    for (int32_t i = 0; i < outlets; ++i) {
        PlaceNew(grid, std::make_unique<TAncoraI>(nullptr, FacingRight, 0, x, y + i));
        PlaceCableSegment(x + 1, y + i);
        PlaceClone(grid, direct, x + 2, y + i, FacingRight);
    }
    return true;
}
