#pragma once
// Splitters ("divisori"): a splitter divides each input line into several
// equal outputs ("uscite") and has no through output. It is a tap without
// through outputs: the passes, the separation search, the model choice, the
// data check, the dialog and the record are the tap's. It differs in type
// code, power groups, layout, names, symbol and prototypes, and every line
// leaving it needs a termination.
#include "cells/taps.h"

// Category counter of the short code "D".
constexpr int SplitterCounter = 5;

class TDivisore : public TDerivatore {
public:
    // inputs lines with outputs outputs each.
    TDivisore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
              int32_t inputs, int32_t outputs);
    ~TDivisore() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // A tap's description as "Divisore ", "D".
    TCellDescription Describe() const override;

    TCellLayout Layout() const override;
    TTapPortName NamePort(const TCellPort& port) const override;

protected:
    uint8_t TapLinesNeedTermination() const override;
};
