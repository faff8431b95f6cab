// The OK of the component-data form: the edited clone reads the form and,
// on the network, checks its data before the form may close.
#include "cells/cell.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "cells/component_data.h"
#include "cells/cell_grid.h"
#include "cells/combo_string_grid.h"

void TDatiComponenti::OkClick(TObject*) {
    // A channel list still open gives its text first; a text refused there
    // keeps the form open on the row put back.
    if (!GridCanali5->CommitCombo() || !GridCanali8->CommitCombo()) return;
    if (!EditedCell) {
        StorePages();
        ModalResult = mrOk;
        return;
    }
    ReadFormInto(*EditedCell);
    // Report the first problem of this press in a message box.
    if (GestoreErrori) GestoreErrori->SetTarget(nullptr);
    const TCellGrid* grid = EditedCell->Owner;
    if (grid && grid->Kind != GridHeadEnd && !EditedCell->CheckData(DataCheckPrefix)) return;
    ModalResult = mrOk;
}
