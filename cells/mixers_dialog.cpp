// Mixers and demixers in the component-data form: one line per branch, its
// pass attenuation.
#include "cells/mixers.h"
#include "dialogs/component_data.h"

bool TCellaRami::OpenDataDialog() {
    TDatiComponenti* dialog = ComponentDataForm();
    dialog->LabelNome->Caption = GetTypeName() + GetShortCode();
    for (int32_t k = 0; k < MixerBranchesMax && k < DialogRows; ++k)
        dialog->RowCaption[k]->Text = "Atten. passaggio " + IntToStr(k + 1) + " [dB]";
    dialog->ResetSections();
    dialog->SetPortFlags(Branches());
    dialog->ArrangeLayout();
    return EditData(dialog);
}
