// The small tools every design stage places cells with: splitting a count
// into the sizes the chosen components offer, cable runs made of single
// segments cloned from the template, lines of outlets joined by cable, and
// the loading of a chosen cable from its library.
#include <algorithm>

#include "autodesign/engine.h"
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/library_cells.h"
#include "cells/terminations.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/grid.h"

namespace {

bool Offers(std::span<const uint8_t> table, int32_t size) {
    return size >= 0 && static_cast<size_t>(size) < table.size() && table[static_cast<size_t>(size)] != 0;
}

// The smallest size from `from` upwards the table offers, searching up to m;
// m + 1 when none.
int32_t SmallestFrom(std::span<const uint8_t> table, int32_t from, int32_t m) {
    int32_t s = std::max(from, 0);
    while (s <= m && !Offers(table, s)) ++s;
    return std::min(s, m + 1);
}

// The largest size below remaining (from min(remaining - 1, m) down, above
// 0) the table offers; 0 when none.
int32_t LargestBelow(std::span<const uint8_t> table, int32_t remaining, int32_t m) {
    for (int32_t t = std::min(remaining - 1, m); t > 0; --t)
        if (Offers(table, t)) return t;
    return 0;
}

// One part: the upward choice (a size one above the remainder is accepted),
// else the largest size below the remainder when there is one.
int32_t ChoosePart(int32_t remaining, int32_t upward, std::span<const uint8_t> table, int32_t m) {
    int32_t size = upward <= m ? upward : 0;
    if (upward > m || upward > remaining + 1)
        if (const int32_t below = LargestBelow(table, remaining, m); below > 0) size = below;
    return size;
}

}  // namespace

// ---------------------------------------------------------------- size splitting

void TCreaAuto::SplitIntoAvailableSizes(int32_t count, std::span<int32_t> sizes,
                                        std::span<const uint8_t> table, int32_t n, int32_t m) {
    SplitIntoAvailableSizesEx(count, sizes, table, table, {}, false, n, m);
}

void TCreaAuto::SplitIntoAvailableSizesEx(int32_t count, std::span<int32_t> sizes,
                                          std::span<const uint8_t> first, std::span<const uint8_t> other,
                                          std::span<const uint8_t> alternative, bool useAlternative,
                                          int32_t n, int32_t m) {
    const int32_t parts = std::clamp<int32_t>(n, 0, static_cast<int32_t>(sizes.size()));
    std::fill(sizes.begin(), sizes.begin() + parts, 0);
    int32_t remaining = count;
    for (int32_t k = 0; remaining >= 1 && k < parts; ++k) {
        const std::span<const uint8_t> table = k == 0 ? first : other;
        int32_t upward = SmallestFrom(table, remaining, m);
        if (useAlternative) upward = std::min(upward, SmallestFrom(alternative, remaining, m));
        sizes[static_cast<size_t>(k)] = ChoosePart(remaining, upward, table, m);
        remaining -= sizes[static_cast<size_t>(k)];
    }
}

// ---------------------------------------------------------------- cable template and segments

std::unique_ptr<TCella> TCreaAuto::Place(TGridData* grid, std::unique_ptr<TCella> cell) {
    if (!grid || !cell) return cell;
    // The grid frees a cell it cannot hold; the caller keeps it instead.
    if (cell->TypeCode != CodeHeadEnd && !grid->InsideUsableArea(cell->GetGridRect())) {
        ++grid->RefusedInsertions;
        return cell;
    }
    grid->InsertCell(std::move(cell), false, 0);
    return nullptr;
}

bool TCreaAuto::PlaceSegment(int32_t column, int32_t row, int32_t orientation, uint8_t bend) {
    TGridData* grid = GridOf(CableTemplate->Owner);
    if (!grid) return false;
    std::unique_ptr<TCella> segment(CableTemplate->Clone());
    if (!segment) return false;
    segment->Column = column;
    segment->Row = row;
    segment->Orientation = orientation;
    static_cast<TNCavo&>(*segment).Bend = bend;
    return Place(grid, std::move(segment)) == nullptr;
}

bool TCreaAuto::PlaceCableSegment(int32_t column, int32_t row) {
    return PlaceSegment(column, row, StraightHorizontal, 0);
}

bool TCreaAuto::PlaceCableSegmentV(int32_t column, int32_t row) {
    return PlaceSegment(column, row, StraightVertical, 0);
}

bool TCreaAuto::PlaceCableSegmentEx(int32_t column, int32_t row, int32_t orientation) {
    return PlaceSegment(column, row, orientation, 1);
}

float TCreaAuto::SetCableTemplate(TCella* cable, float length) {
    return SetCableTemplateEx(cable, length, 0);
}

float TCreaAuto::SetCableTemplateEx(TCella* cable, float length, int32_t flags) {
    if (cable) cable->Assign(CableTemplate.get());
    CableTemplate->Colour = flags;
    CableTemplate->SetLength(length);
    return length;
}

void TCreaAuto::TakeCableTemplate(TCella* cell) {
    auto* cable = cell && cell->TypeCode == CodeCable ? dynamic_cast<TNCavo*>(cell) : nullptr;
    if (!cable) return;
    cable->Assign(CableTemplate.get());
    CableTemplate->Colour = cable->Colour;
}

bool TCreaAuto::LoadCableFromLibrary(const AnsiString& library, const AnsiString& code, TCella* cable) {
    TLibreria* lib = Librerie && cable ? Librerie->Find(library) : nullptr;
    if (!lib) return false;
    if (!lib->Open(false)) {
        lib->Close();
        return false;
    }
    const bool found = ReadLibraryCell(*lib, *cable, code);
    if (found) cable->Described = 1;
    lib->Close();
    return found;
}

// ---------------------------------------------------------------- cable runs

void TCreaAuto::DrawCableRun(int32_t c1, int32_t r1, int32_t c2, int32_t r2, int32_t bend,
                             int32_t direction) {
    if (direction == 0 || direction == 2) {
        // Vertically first.
        if (r1 > r2) return;
        if (c1 == c2) {
            for (int32_t r = r1; r <= r2; ++r) PlaceCableSegmentV(c1, r);
            return;
        }
        const int32_t corner = r1 <= bend && bend <= r2 ? bend : r1;
        for (int32_t r = r1; r < corner; ++r) PlaceCableSegmentV(c1, r);
        if (c2 < c1) {
            PlaceCableSegmentEx(c1, corner, BendLeftTop);
            PlaceCableSegmentEx(c2, corner, BendRightBottom);
            for (int32_t c = c2 + 1; c <= c1 - 1; ++c) PlaceCableSegment(c, corner);
        } else {
            PlaceCableSegmentEx(c1, corner, BendRightTop);
            PlaceCableSegmentEx(c2, corner, BendLeftBottom);
            for (int32_t c = c1 + 1; c <= c2 - 1; ++c) PlaceCableSegment(c, corner);
        }
        for (int32_t r = corner + 1; r <= r2; ++r) PlaceCableSegmentV(c2, r);
        return;
    }
    // Horizontally first.
    if (c1 > c2) return;
    if (r1 == r2) {
        for (int32_t c = c1; c <= c2; ++c) PlaceCableSegment(c, r1);
        return;
    }
    const int32_t corner = c1 <= bend && bend <= c2 ? bend : c1;
    for (int32_t c = c1; c < corner; ++c) PlaceCableSegment(c, r1);
    if (r2 < r1) {
        PlaceCableSegmentEx(corner, r1, BendLeftTop);
        PlaceCableSegmentEx(corner, r2, BendRightBottom);
        for (int32_t r = r2 + 1; r <= r1 - 1; ++r) PlaceCableSegmentV(corner, r);
    } else {
        PlaceCableSegmentEx(corner, r1, BendLeftBottom);
        PlaceCableSegmentEx(corner, r2, BendRightTop);
        for (int32_t r = r1 + 1; r <= r2 - 1; ++r) PlaceCableSegmentV(corner, r);
    }
    for (int32_t c = corner + 1; c <= c2; ++c) PlaceCableSegment(c, r2);
}

void TCreaAuto::ConnectAnchorToPartner(TCella* anchor, TCella* cable, int32_t bend) {
    if (!anchor || anchor->TypeCode != CodeExitAnchor || !cable || cable->TypeCode != CodeCable) return;
    TCella* partner = anchor->OutputCell.empty() ? nullptr : anchor->OutputCell[0];
    if (!partner) return;
    TakeCableTemplate(cable);
    const bool fromPartner = anchor->Orientation == 1 || anchor->Orientation == 2;
    TCella* start = fromPartner ? partner : anchor;
    TCella* end = fromPartner ? anchor : partner;
    DrawCableRun(start->Column, start->Row, end->Column, end->Row, bend, start->Orientation);
}

// ---------------------------------------------------------------- outlet lines

int TCreaAuto::OutletConnectorIndex(int outputs, int kind) {
    if (kind >= 0 && kind <= 2) return 3 * outputs + kind - 3;
    // Three connectors on one outlet: the last entry of the list.
    if (outputs == 3 && kind == -1) return 6;
    return -1;
}

AnsiString TCreaAuto::OutletNotFoundMessage(int type, int connector, bool dc, bool terrestrial,
                                            bool satellite) {
    static const char* const Types[] = {"diretta ", "passante ", "terminale ", "passante o terminale "};
    static const char* const Connectors[] = {"IEC maschio ",
                                             "F ",
                                             "IEC femmina ",
                                             "IEC maschio + F ",
                                             "IEC maschio + IEC femmina ",
                                             "IEC femmina + F ",
                                             "IEC maschio + IEC femmina + F "};
    AnsiString text =
        "Non sono state trovate in libreria prese adeguate all'impianto. Serve almeno una presa ";
    if (type >= 0 && type < 4) text += Types[type];
    text += dc ? "con passaggio di corrente continua " : "con isolamento di corrente continua ";
    text += "con connettore ";
    if (connector >= 0 && connector < 7) text += Connectors[connector];
    if (!terrestrial)
        text += "che gestisca la banda satellitare.";
    else if (satellite)
        text += "che gestisca la banda terrestre e satellitare.";
    else
        text += "che gestisca la banda terrestre.";
    return text;
}

bool TCreaAuto::PlaceOutletLine(int32_t column, int32_t row, int32_t count, TGridData* grid, int role,
                                bool dc, int32_t stepColumn, int32_t stepRow, int32_t orientation) {
    if (role < 0 || role >= OutletRoles) return false;
    TCella* through = OutletChoice[OutletThrough][role];
    TCella* terminal = OutletChoice[OutletTerminal][role];
    if (!through && (count > 1 || !terminal)) {
        const int shape = role == RoleTer ? 0 : 1;
        Report(OutletNotFoundMessage(count < 2 ? MessageThroughOrTerminal : MessageThrough,
                                     OutletConnectorIndex(OutletShape[shape], OutletShape[shape + 2]), dc,
                                     CarriesTer[role] != 0, CarriesSat[role] != 0));
        return false;
    }
    CableTemplate->Owner = grid;
    int32_t c = column, r = row;
    for (int32_t i = 0; i < count; ++i) {
        const bool last = i == count - 1;
        TCella* prototype = last && terminal ? terminal : through;
        if (std::unique_ptr<TCella> outlet{prototype->Clone()}) {
            outlet->Column = c;
            outlet->Row = r;
            outlet->Orientation = orientation;
            Place(grid, std::move(outlet));
        }
        if (!last) {
            for (int step = 1; step <= 2; ++step) {
                if (stepRow == 0)
                    PlaceCableSegment(c + step * stepColumn, r);
                else
                    PlaceCableSegmentV(c, r + step * stepRow);
            }
            c += 3 * stepColumn;
            r += 3 * stepRow;
        } else if (!terminal) {
            Place(grid, std::make_unique<TChiusura>(nullptr, orientation, 0, c + stepColumn, r + stepRow, 1));
        }
    }
    return true;
}

bool TCreaAuto::PlaceOutletRowRight(int32_t column, int32_t row, int32_t count, TGridData* grid, int role,
                                    bool dc) {
    return PlaceOutletLine(column, row, count, grid, role, dc, 1, 0, 3);
}

bool TCreaAuto::PlaceOutletColumnUp(int32_t column, int32_t row, int32_t count, TGridData* grid, int role,
                                    bool dc) {
    return PlaceOutletLine(column, row, count, grid, role, dc, 0, -1, 2);
}

bool TCreaAuto::PlaceOutletColumnDown(int32_t column, int32_t row, int32_t count, TGridData* grid, int role,
                                      bool dc) {
    return PlaceOutletLine(column, row, count, grid, role, dc, 0, 1, 0);
}
