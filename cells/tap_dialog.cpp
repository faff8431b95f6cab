// Taps, splitters and switches in the component-data form: one page per
// line, the losses of a line as its value rows, and the electrical data of
// their ports.
#include "cells/taps.h"
#include "cells/component_data.h"

namespace {
// "Dati elettrici" with every port group, and without the through outputs.
constexpr int32_t ElectricalWithThrough = ElectricAll;
constexpr int32_t ElectricalWithoutThrough = ElectricAll & ~ElectricThrough;
// Amplification stages a line may have: at its input, on its through
// output, on its user outputs.
constexpr int32_t StagesWithThrough = 7;
constexpr int32_t StagesWithoutThrough = 5;
}  // namespace

TCellDescription TDerivatore::LossRowsDescription(const char* typeName, const char* letters, int counter) {
    TCellDescription d = NamedWithForm(typeName, letters, counter);
    d.Roles = RoleLabelsLoss;
    TDataSheet& sheet = d.Sheet;
    sheet.RowCaptions[TapLossColumn] = "Atten. di deriv.  [dB]";
    sheet.RowCaptions[TapThroughColumn] = "Atten. di passaggio  [dB]";
    sheet.RowCaptions[TapReverseColumn] = "Atten. inversa  [dB]";
    sheet.RowCaptions[TapDecouplingColumn] = "Disaccoppiamento  [dB]";
    // A page per line, and the user outputs of a line when they differ;
    // distinct outputs each keep their own tap loss.
    sheet.DistinctRow = TapLossColumn;
    sheet.ModuleCaption = "Montante selezionato";
    sheet.OutputCaption = "Uscita selezionata";
    return d;
}

TCellDescription TDerivatore::DescribeLines(const char* typeName, const char* letters, int counter) const {
    TCellDescription d = LossRowsDescription(typeName, letters, counter);
    TDataSheet& sheet = d.Sheet;
    const int32_t t = OutputsPerLine();
    if (NumThroughOutputs > 0) {
        // Without a second user output there is no loss between two of them.
        sheet.PortRows = t > 1 ? 4 : 3;
        sheet.ElectricalWord = ElectricalWithThrough;
        if (NumInputs > 1) sheet.Stages = StagesWithThrough;
    } else {
        sheet.RowCaptions[TapLossColumn] = "Atten. ingresso - uscita  [dB]";
        sheet.RowCaptions[TapDecouplingColumn] = "Atten. fra due uscite  [dB]";
        sheet.PortRows = t > 1 ? PortFlagsMask | (1 << TapLossColumn) | (1 << TapDecouplingColumn) : 1;
        sheet.ElectricalWord = ElectricalWithoutThrough;
        if (NumInputs > 1) sheet.Stages = StagesWithoutThrough;
    }
    sheet.ModuleCount = NumInputs;
    sheet.OutputCount = t;
    return d;
}
