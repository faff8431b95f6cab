// The network line in the component-data form: which rows, captions and
// check boxes each class shows before the edit.
#include "app/grid.h"
#include "app/project.h"
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/outlets.h"
#include "cells/terminations.h"
#include "dialogs/component_data.h"

namespace {
const char* const SocketConnectors[2][3] = {
    {"IEC mas.", "F", "IEC fem."},
    {"IEC m + F", "IEC m + f", "IEC f + F"},
};
}  // namespace

// ---------------------------------------------------------------- outlets

std::optional<bool> TPresaD::FirstElectricBox() const {
    return (Power[PowerSupply][PowerFlags] & PowerTaps) != 0;
}

void TPresaD::SetFirstElectricBox(bool ticked) {
    uint32_t& flags = Power[PowerSupply][PowerFlags];
    flags = ticked ? (flags | PowerTaps) : (flags & ~PowerTaps);
    Power[PowerSupply][PowerTapMask] = ticked ? AllBits : 0;
}

bool TPresaD::OpenDataDialog() {
    TDatiComponenti* d = ComponentDataForm();
    d->LabelNome->Caption = "Presa " + GetShortCode();
    d->RowCaption[0]->Text = "Atten. di deriv.  [dB]";
    d->RowCaption[1]->Text = "Atten. di passaggio  [dB]";
    d->RowCaption[2]->Text = "Atten. inversa  [dB]";
    // The socket connectors of an outlet with one or two sockets.
    d->ComboConnOut->Items->Clear();
    if (TapOutputs == 1 || TapOutputs == 2)
        for (const char* item : SocketConnectors[TapOutputs - 1]) d->ComboConnOut->Items->Add(item);
    d->ResetSections();
    d->SetPortFlags(PassThrough ? 3 : 1);
    d->CheckChiusuraDC->Visible = true;
    d->CheckChiusuraDC->Caption = "Passaggio DC";
    d->ArrangeLayout();
    if (TapOutputs < 3) {
        // "Conn. out" takes the place of "Note est.", just left of "Connettore".
        d->CaptionConnOut->Visible = true;
        d->ComboConnOut->Visible = true;
        d->ComboConnOut->Left = d->CaptionConnettore->Left + 1 - d->ComboConnOut->Width;
        d->CaptionConnOut->Left = d->ComboConnOut->Left + 1 - d->CaptionConnOut->Width;
        d->CaptionNoteEst->Visible = false;
        d->EditNoteEst->Visible = false;
    }
    return EditData(d);
}

// ---------------------------------------------------------------- cables

// The form edits the run head: the loss per 100 m in every band, the length
// in the first band only. A cable that comes to count or stops counting
// renumbers the drawing.
bool TNCavo::OpenDataDialog() {
    TNCavo* head = GetRunHead();
    if (!head) return false;
    TDatiComponenti* d = ComponentDataForm();
    d->BandSystem = BandSystem;
    d->RowCaption[0]->Text = "Attenuazione  [dB/100m]";
    d->RowCaption[1]->Text = "Lunghezza  [m]";
    d->ResetSections();
    if (IsBridge()) {
        d->LabelNome->Caption = "Ponte " + GetShortCode();
        d->SetPortFlags(0);
        d->ShowSignals = 0;
        d->ShowBandRows = 0;
        d->ShowCommercial = 0;
    } else {
        d->LabelNome->Caption = "Cavo " + GetShortCode();
        d->SetPortFlags(2);
        d->ShowCommercial = 0;
        d->ShowAuxArticles = 0;
    }
    d->ArrangeLayout();
    if (!IsBridge())
        for (int c = 1; c <= 10 && c < DialogBandColumns; ++c) d->ValueEdit[1][c]->Visible = false;
    const bool counted = head->PassAttenuation() != CableLengthUncounted;
    const bool accepted = head->EditData(d);
    head->Invalidate();
    if (Owner && counted != (head->PassAttenuation() != CableLengthUncounted)) {
        if (Owner->Project) {
            Owner->Project->NumberCells();
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

// ---------------------------------------------------------------- terminations

std::optional<bool> TChiusura::FirstElectricBox() const {
    return (Power[PowerRefuses][PowerFlags] & PowerInputs) == 0;
}

void TChiusura::SetFirstElectricBox(bool ticked) {
    Power[PowerRefuses][PowerFlags] = ticked ? 0 : PowerInputs;
    Power[PowerRefuses][PowerInputMask] = ticked ? 0 : AllBits;
}

bool TChiusura::OpenDataDialog() {
    TDatiComponenti* d = ComponentDataForm();
    d->LabelNome->Caption = "Chiusura " + GetShortCode();
    d->ResetSections();
    d->SetPortFlags(0);
    d->ShowSignals = 0;
    d->ShowBandRows = 0;
    d->CheckChiusuraDC->Caption = "Chiusura isolata DC";
    d->CheckChiusuraDC->Visible = true;
    d->ArrangeLayout();
    return EditData(d);
}

// ---------------------------------------------------------------- anchors

bool TAncora::OpenDataDialog() {
    TDatiComponenti* d = ComponentDataForm();
    d->LabelNome->Caption = GetTypeName() + GetShortCode();
    d->ResetSections();
    d->SetPortFlags(0);
    d->ShowSignals = 0;
    d->ShowBandRows = 0;
    d->ArrangeLayout();
    return EditData(d);
}
