// The designer's choice of the terminations of a grid: each termination takes
// a library model whose connector fits the component it faces.
#include "cells/cell.h"
#include "core/levels.h"
#include "document/grid.h"

namespace {
// A termination-choosing pass: the letter '@' + the connector wanted, 'C'
// (any connector) when nothing is faced.
constexpr int32_t LetterBase = 0x40;
constexpr int32_t LetterAnyConnector = LetterBase + 3;
constexpr int32_t ConnectorBits = 3;
}  // namespace

void TGridData::ChooseTerminations(TCella* candidates) {
    for (int32_t c = 0; c < Columns; ++c)
        for (int32_t r = 0; r < Rows; ++r) {
            TCella* termination = CellAt(c, r);
            if (!termination || termination->TypeCode != CodeTermination) continue;
            // The square the termination faces: orientation 0 above, 1 to
            // the right, 2 below, 3 to the left.
            int32_t fc = c, fr = r;
            switch (((termination->Orientation % 4) + 4) % 4) {
            case 0: --fr; break;
            case 1: ++fc; break;
            case 2: ++fr; break;
            default: --fc; break;
            }
            const TCella* faced = CellAt(fc, fr);
            const int32_t letter = faced ? LetterBase + (faced->Choice1 & ConnectorBits) : LetterAnyConnector;
            termination->ChooseModel(candidates, letter, NextPassNumber(), nullptr, 0, 0);
        }
}
