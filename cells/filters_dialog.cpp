// The filters in the component-data form: one value row, the through
// attenuation per band.
#include "cells/filters.h"
#include "dialogs/component_data.h"

bool TFiltro::OpenDataDialog() {
    TDatiComponenti* dialog = ComponentDataForm();
    dialog->LabelNome->Caption = GetTypeName() + GetShortCode();
    dialog->RowCaption[0]->Text = "Atten. di passaggio  [dB]";
    dialog->ResetSections();
    dialog->SetPortFlags(1);
    dialog->ArrangeLayout();
    return EditData(dialog);
}
