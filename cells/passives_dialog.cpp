// The in-line passives in the component-data form: the through attenuation
// on line 1 and, for a power supply with several outputs, the decoupling on
// line 3.
#include "cells/passives.h"
#include "dialogs/component_data.h"

bool TPassivo::OpenDataDialog() {
    TDatiComponenti* dialog = ComponentDataForm();
    dialog->LabelNome->Caption = GetTypeName() + GetShortCode();
    dialog->RowCaption[1]->Text = "Atten. di passaggio  [dB]";
    if (TypeCode == CodeAlimentatore) dialog->RowCaption[3]->Text = "Disaccoppiamento  [dB]";
    dialog->ResetSections();
    dialog->SetPortFlags(FormLines());
    dialog->ArrangeLayout();
    return EditData(dialog);
}
