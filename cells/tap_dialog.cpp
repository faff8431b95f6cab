// Taps and splitters in the component-data form: one page per line, the
// losses of a line as its value rows, and the electrical data of their ports.
#include "cells/taps.h"
#include "dialogs/component_data.h"

namespace {
// "Dati elettrici" with every port group, and without the through outputs.
constexpr int32_t ElectricalWithThrough = ElectricAll;
constexpr int32_t ElectricalWithoutThrough = ElectricAll & ~ElectricThrough;
// Amplification stages a line may have: at its input, on its through
// output, on its user outputs.
constexpr int32_t StagesWithThrough = 7;
constexpr int32_t StagesWithoutThrough = 5;
}  // namespace

void TDerivatore::NameLossRows(TDatiComponenti* dialog) {
    dialog->LabelNome->Caption = GetTypeName() + GetShortCode();
    dialog->RowCaption[TapLossColumn]->Text = "Atten. di deriv.  [dB]";
    dialog->RowCaption[TapThroughColumn]->Text = "Atten. di passaggio  [dB]";
    dialog->RowCaption[TapReverseColumn]->Text = "Atten. inversa  [dB]";
    dialog->RowCaption[TapDecouplingColumn]->Text = "Disaccoppiamento  [dB]";
}

bool TDerivatore::OpenDataDialog() {
    TDatiComponenti* dialog = ComponentDataForm();
    NameLossRows(dialog);
    dialog->ResetSections();
    const int32_t t = OutputsPerLine();
    if (NumThroughOutputs > 0) {
        // Without a second user output there is no loss between two of them.
        dialog->SetPortFlags(t > 1 ? 4 : 3);
        dialog->ElectricalWord = ElectricalWithThrough;
        if (NumInputs > 1) dialog->MainFunction = StagesWithThrough;
    } else {
        dialog->RowCaption[TapLossColumn]->Text = "Atten. ingresso - uscita  [dB]";
        dialog->RowCaption[TapDecouplingColumn]->Text = "Atten. fra due uscite  [dB]";
        dialog->SetPortFlags(t > 1 ? PortFlagsMask | (1 << TapLossColumn) | (1 << TapDecouplingColumn) : 1);
        dialog->ElectricalWord = ElectricalWithoutThrough;
        if (NumInputs > 1) dialog->MainFunction = StagesWithoutThrough;
    }
    // A page per line, and the user outputs of a line when they differ.
    dialog->ModuleCount = NumInputs;
    dialog->OutputCount = t;
    // Distinct outputs each keep their own tap loss.
    dialog->DistinctRow[0] = TapLossColumn;
    dialog->CaptionModulo->Text = "Montante selezionato";
    dialog->CaptionUscita->Text = "Uscita selezionata";
    dialog->ArrangeLayout();
    return EditData(dialog);
}
