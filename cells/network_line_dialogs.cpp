// The network line in the component-data form: which rows, captions and
// check boxes each class shows before the edit.
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/outlets.h"
#include "cells/terminations.h"
#include "cells/component_data.h"
#include "cells/cell_grid.h"
#include "cells/cell_project.h"

// ---------------------------------------------------------------- outlets

std::optional<bool> TPresaD::FirstElectricBox() const {
    return (Power[PowerSupply][PowerFlags] & PowerTaps) != 0;
}

void TPresaD::SetFirstElectricBox(bool ticked) {
    uint32_t& flags = Power[PowerSupply][PowerFlags];
    flags = ticked ? (flags | PowerTaps) : (flags & ~PowerTaps);
    Power[PowerSupply][PowerTapMask] = ticked ? AllBits : 0;
}

void TPresaD::FinishDataForm(TDatiComponenti& form) {
    TDatiComponenti* d = &form;
    if (TapOutputs < 3) {
        // "Conn. out" takes the place of "Note est.", just left of "Connettore".
        d->CaptionConnOut->Visible = true;
        d->ComboConnOut->Visible = true;
        d->ComboConnOut->Left = d->CaptionConnettore->Left + 1 - d->ComboConnOut->Width;
        d->CaptionConnOut->Left = d->ComboConnOut->Left + 1 - d->CaptionConnOut->Width;
        d->CaptionNoteEst->Visible = false;
        d->EditNoteEst->Visible = false;
    }
}

// ---------------------------------------------------------------- cables

// The form edits the run head: the loss per 100 m in every band, the length
// in the first band only. A cable that comes to count or stops counting
// renumbers the drawing.
bool TNCavo::OpenDataDialog() {
    TNCavo* head = GetRunHead();
    if (!head) return false;
    TDatiComponenti* d = ComponentDataForm();
    if (!d) return false;
    d->BandSystem = BandSystem;
    // The form names the run it edits, whichever of its segments was clicked.
    head->PrepareDataForm(*d, head->Describe().Sheet);
    const bool counted = head->PassAttenuation() != CableLengthUncounted;
    const bool accepted = head->EditData(d);
    head->Invalidate();
    if (Owner && counted != (head->PassAttenuation() != CableLengthUncounted)) {
        if (TCellProject* project = Owner->CellProject()) {
            project->NumberCells();
        } else {
            TContatoriCategoria counters{};
            Owner->NumberCells(counters, true);
        }
        for (int32_t c = 0; c < Owner->Columns; ++c)
            for (int32_t r = 0; r < Owner->Rows; ++r)
                if (Owner->CellAt(c, r)) Owner->RepaintSquare(c, r);
    }
    return accepted;
}

void TNCavo::FinishDataForm(TDatiComponenti& d) {
    if (IsBridge()) return;
    for (int c = 1; c <= 10 && c < DialogBandColumns; ++c) d.ValueEdit[1][c]->Visible = false;
}

// ---------------------------------------------------------------- terminations

std::optional<bool> TChiusura::FirstElectricBox() const {
    return (Power[PowerRefuses][PowerFlags] & PowerInputs) == 0;
}

void TChiusura::SetFirstElectricBox(bool ticked) {
    Power[PowerRefuses][PowerFlags] = ticked ? 0 : PowerInputs;
    Power[PowerRefuses][PowerInputMask] = ticked ? 0 : AllBits;
}

TCellDescription TChiusura::Describe() const {
    TCellDescription d = NamedWithForm("Chiusura ", "X", TerminationCounter);
    d.Roles = RoleTermination;
    d.Sheet.PortRows = 0;
    d.Sheet.ShowSignals = false;
    d.Sheet.ShowBandRows = false;
    d.Sheet.FirstBoxCaption = "Chiusura isolata DC";
    return d;
}

// ---------------------------------------------------------------- anchors

TCellDescription TAncora::Describe() const {
    TCellDescription d;
    d.Roles = RoleGivesWay;
    d.Sheet.Use = TSheetUse::Form;
    d.Sheet.PortRows = 0;
    d.Sheet.ShowSignals = false;
    d.Sheet.ShowBandRows = false;
    return d;
}
