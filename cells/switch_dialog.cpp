// Switches in the component-data form: a page per line with its five losses
// as value rows, the user outputs selectable where they differ.
#include "cells/switches.h"
#include "cells/component_data.h"

namespace {
// "Dati elettrici": every section but the through outputs, which a switch
// with through outputs adds.
constexpr int32_t ElectricalSwitch = ElectricAll & ~(ElectricThrough | ElectricRefuses);
constexpr int32_t ElectricalThroughBit = ElectricThrough;
// "Dati posizioni possibili": the positions along a line.
constexpr int32_t PositionsSwitch = PositionLine | PositionFirstOfLine | PositionLastOfLine;
// Amplification stages: at the inputs and the outputs, and on the through outputs.
constexpr int32_t StagesSwitch = 5;
constexpr int32_t StagesThroughBit = 2;
}  // namespace

TCellDescription TSwitch::Describe() const {
    TCellDescription d = LossRowsDescription("Switch ", "S", SwitchCounter);
    TDataSheet& sheet = d.Sheet;
    sheet.RowCaptions[SwitchHorizontalColumn] = "Atten. passaggio orizz. [dB]";
    const bool through = NumThroughOutputs > 0;
    int32_t rows = 1 << TapLossColumn;
    if (through) rows |= (1 << TapThroughColumn) | (1 << TapReverseColumn);
    if (NumTapOutputs > 1) rows |= 1 << TapDecouplingColumn;
    if (HasMatrixInputs()) rows |= 1 << SwitchHorizontalColumn;
    sheet.PortRows = PortFlagsMask | rows;
    sheet.ElectricalWord = ElectricalSwitch | (through ? ElectricalThroughBit : 0);
    sheet.PositionsWord = PositionsSwitch;
    sheet.Stages = StagesSwitch | (through ? StagesThroughBit : 0);
    sheet.ModuleCount = Lines();
    sheet.OutputCount = NumTapOutputs;
    return d;
}
