#include "support/test_cells.h"

int TCellaProva::Alive = 0;

TCellaProva::TCellaProva(TCellGrid* owner, int32_t column, int32_t row, int32_t inputs, int32_t through,
                         int32_t taps, bool overlapping, int32_t orientation)
    : TCella(owner, orientation, 0, column, row, inputs, through, taps), overlaps(overlapping) {
    TypeCode = CodiceProva;
    Kind = 99;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    ++Alive;
}

TCellaProva::~TCellaProva() { --Alive; }

std::unique_ptr<TCella> TCellaProva::Clone() {
    std::unique_ptr<TCella> copy = TCella::Clone();
    if (auto* same = dynamic_cast<TCellaProva*>(copy.get())) {
        same->Inputs = Inputs;
        same->ThroughOutputs = ThroughOutputs;
        same->TapOutputs = TapOutputs;
        same->SetPortCounts();
        same->overlaps = overlaps;
        same->noDescription = noDescription;
    }
    return copy;
}

ScopedTestCellClass::ScopedTestCellClass() {
    const TCellType* type = FindCellType(TCellaProva::CodiceProva);
    before_ = SetCellClassMaker(type->ClassName, [](const TCellArgs& a) -> std::unique_ptr<TCella> {
        // Code 1 hands no counts; a test cell keeps the base's one input and output.
        return std::make_unique<TCellaProva>(a.Owner, a.Column, a.Row);
    });
}

ScopedTestCellClass::~ScopedTestCellClass() {
    SetCellClassMaker(FindCellType(TCellaProva::CodiceProva)->ClassName, before_);
}

std::unique_ptr<TSegnoGrafico> MakeSign(TGridData* grid, int32_t kind, int32_t x1, int32_t y1, int32_t x2,
                                        int32_t y2) {
    auto sign = std::make_unique<TSegnoGrafico>(grid);
    sign->Kind = kind;
    sign->X1 = x1;
    sign->Y1 = y1;
    sign->X2 = x2;
    sign->Y2 = y2;
    return sign;
}

std::set<Square> Occupied(const TGridData& grid) {
    std::set<Square> squares;
    for (int32_t c = 0; c < grid.Columns; ++c)
        for (int32_t r = 0; r < grid.Rows; ++r)
            if (TCella* cell = grid.CellAt(c, r); cell && cell->TypeCode != CodeHeadEnd)
                squares.insert({c, r});
    return squares;
}
