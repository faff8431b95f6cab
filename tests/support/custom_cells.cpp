#include "support/custom_cells.h"

#include "cells/anchors.h"
#include "cells/factory.h"
#include "cells/splitters.h"

namespace {
std::unique_ptr<TCella> Numbered(std::unique_ptr<TCella> anchor, const char* number) {
    anchor->Code = number;
    return anchor;
}
}  // namespace

std::unique_ptr<TCella> EntryAnchor(const char* number, int32_t orientation) {
    return Numbered(std::make_unique<TAncoraI>(nullptr, orientation, 0, 0, 0), number);
}

std::unique_ptr<TCella> ExitAnchor(const char* number, int32_t orientation) {
    return Numbered(std::make_unique<TAncoraO>(nullptr, orientation, 0, 0, 0), number);
}

std::unique_ptr<TCellaCustom> MakeCustomCell(TCellGrid* owner, int32_t column, int32_t row, int32_t inputs,
                                             int32_t outputs, std::vector<TPezzoStruttura> parts,
                                             const TFormaCustom& shape) {
    std::unique_ptr<TCellaCustom> cell =
        CellAs<TCellaCustom>(NewCella(owner, CodeCustom, column, row, inputs, 0, outputs));
    if (!cell) return nullptr;
    for (TPezzoStruttura& part : parts) {
        part.Cell->Owner = cell->Structure.get();
        part.Cell->Column = part.Column;
        part.Cell->Row = part.Row;
        GridOf(cell->Structure).InsertCell(std::move(part.Cell), false, 0);
    }
    if (shape.Columns > 0 && shape.Rows > 0) cell->SetFootprint(shape.Columns, shape.Rows);
    if (!shape.Inputs.empty()) cell->InputPoints = shape.Inputs;
    if (!shape.Outputs.empty()) cell->OutputPoints = shape.Outputs;
    cell->MapAnchors();
    return cell;
}

std::unique_ptr<TCellaCustom> MakeCustomSplitter(TCellGrid* owner, int32_t column, int32_t row,
                                                 int32_t orientation) {
    // Entry anchor above the splitter; its two outputs leave right and left
    // into exit anchors turned to face it.
    auto splitter = std::make_unique<TDivisore>(nullptr, 0, 0, 0, 0, 1, 2);
    for (int32_t b = 0; b < BandSlots; ++b) {
        splitter->Attenuation->Set3(0, TapLossColumn, b, 4.0f);
        splitter->Attenuation->Set3(0, TapDecouplingColumn, b, 22.0f);
    }
    splitter->Described = 1;
    auto cell = MakeCustomCell(owner, column, row, 1, 2,
                               Structure({{EntryAnchor("1"), 1, 0},
                                          {std::move(splitter), 1, 1},
                                          {ExitAnchor("1", 3), 2, 1},
                                          {ExitAnchor("2", 1), 0, 1}}));
    if (cell) cell->Orientation = orientation;
    return cell;
}
