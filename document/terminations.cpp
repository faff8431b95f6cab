// The designer's choice of the terminations of a grid: each termination takes
// a library model whose connector fits the component it faces.
#include "cells/cell.h"
#include "cells/pass_flags.h"
#include "cells/terminations.h"
#include "core/levels.h"
#include "document/grid.h"

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
            // The terminations' pass with the connector wanted (any when
            // nothing is faced).
            const int32_t mode =
                ModeNoChoice | (faced ? faced->Choice1 & ModeConnectorBits : TerminationAnyConnector);
            termination->ChooseModel(candidates, mode, NextPassNumber(), nullptr, 0, 0);
        }
}
