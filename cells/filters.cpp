#include "cells/filters.h"

#include "cells/prototypes.h"
#include "core/globals.h"
#include "core/info.h"

namespace {
// Value row j of the form shows Attenuation column FilterPageOrder[j].
constexpr int32_t FilterPageOrder[10] = {1, 0, 2, 3, 4, 5, 6, 7, 8, 9};
}  // namespace

TFiltro::TFiltro(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                 int32_t typeCode)
    : TCella(owner, orientation, mirrored, column, row, 1, 1, 0) {
    TypeCode = typeCode;
    Kind = KindBandFilter;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Category = "Filtri";
}

TFiltro::~TFiltro() = default;

void TFiltro::FillDataDialogDefault(TDatiComponenti* dialog) { FillDataDialog(dialog, FilterPageOrder); }

void TFiltro::ReadDataDialogDefault(TDatiComponenti* dialog) { ReadDataDialog(dialog, FilterPageOrder); }

TFiltroS::TFiltroS(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row)
    : TFiltro(owner, orientation, mirrored, column, row, CodeFiltroS) {}
TFiltroS::~TFiltroS() = default;
TCella* TFiltroS::GetPrototype() const { return FindPrototype({CodeFiltroS}); }

TFiltroP::TFiltroP(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row)
    : TFiltro(owner, orientation, mirrored, column, row, CodeFiltroP) {}
TFiltroP::~TFiltroP() = default;
TCella* TFiltroP::GetPrototype() const { return FindPrototype({CodeFiltroP}); }

TFiltroPA::TFiltroPA(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row)
    : TFiltro(owner, orientation, mirrored, column, row, CodeFiltroPA) {}
TFiltroPA::~TFiltroPA() = default;
TCella* TFiltroPA::GetPrototype() const { return FindPrototype({CodeFiltroPA}); }

TFiltroPB::TFiltroPB(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row)
    : TFiltro(owner, orientation, mirrored, column, row, CodeFiltroPB) {}
TFiltroPB::~TFiltroPB() = default;
TCella* TFiltroPB::GetPrototype() const { return FindPrototype({CodeFiltroPB}); }
