#pragma once
// Passive filters: two-port components (one input, one through output) that
// pass some bands and block or attenuate others. Their whole calculation is
// the base cell's over their attenuation table, whose column 1 is the through
// attenuation per band; a band a filter does not pass holds LevelBlocked.
#include "cells/cell.h"

// Category counter of the filters (short code "F").
constexpr int FilterCounter = 8;

class TFiltro : public TCella {
public:
    ~TFiltro() override;
    // The common frame: box, stubs and the mark on the input stub (symbols
    // in cells/filters_symbol.cpp).
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // "Filtro ", "F"; the form's one value row is the through attenuation.
    TCellDescription Describe() const override;
    // The form's first value row is the through attenuation (column 1), its
    // second row column 0.
    void FillDataDialogDefault(TDatiComponenti* dialog) override;
    void ReadDataDialogDefault(TDatiComponenti* dialog) override;

protected:
    TFiltro(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
            int32_t typeCode);
};

class TFiltroS : public TFiltro {
public:
    TFiltroS(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TFiltroS() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    TCella* GetPrototype() const override;
};

class TFiltroP : public TFiltro {
public:
    TFiltroP(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TFiltroP() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    TCella* GetPrototype() const override;
};

class TFiltroPA : public TFiltro {
public:
    TFiltroPA(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TFiltroPA() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    TCella* GetPrototype() const override;
};

class TFiltroPB : public TFiltro {
public:
    TFiltroPB(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TFiltroPB() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    TCella* GetPrototype() const override;
};
