// The classification pass: every chosen component is filed once, by type code
// and port counts, into the availability, loss and amplifier tables the later
// stages ask instead of searching the list again.
#include <algorithm>

#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/cell.h"
#include "cells/custom_cell.h"
#include "cells/mixers.h"
#include "cells/splitters.h"
#include "cells/switches.h"
#include "cells/taps.h"
#include "core/libraries.h"

namespace {

// Flag bits of a supply group that bring power in.
constexpr uint32_t PowerFromOutputsOrSupply = PowerTaps | PowerInternal | PowerExternal;

// The brand of the program's maker, whose switches follow brand rules.
constexpr const char* OwnBrand = "Varne";

// Band slots an input of a mixer must pass for each kind of signal.
constexpr int32_t TerFirstSlot = 1, TerLastSlot = 5;
constexpr int32_t SatFirstSlot = 6, SatLastSlot = 9;

bool PoweredAndFeeding(const TCella& c) {
    return (c.Power[PowerSupply][PowerFlags] & PowerFromOutputsOrSupply) != 0 &&
           (c.Power[PowerFeeds][PowerFlags] & PowerInputs) != 0;
}

// Some output receives power and some input is fed: power passes through.
bool PassesDc(const TCella& c) {
    const uint32_t supply = c.Power[PowerSupply][PowerFlags];
    const bool outputsReceive = ((supply & PowerThrough) && c.Power[PowerSupply][PowerThroughMask] != 0) ||
                                ((supply & PowerTaps) && c.Power[PowerSupply][PowerTapMask] != 0);
    const bool inputsFed =
        (c.Power[PowerFeeds][PowerFlags] & PowerInputs) && c.Power[PowerFeeds][PowerInputMask] != 0;
    return outputsReceive && inputsFed;
}

template <class Table>
bool Fits(const Table& table, int32_t inputs, int32_t outputs) {
    return inputs >= 0 && outputs >= 0 && static_cast<size_t>(inputs) < table.size() &&
           static_cast<size_t>(outputs) < table[0].size();
}

// A splitter or tap of this shape: [I][O] and [I][0].
template <class Table>
void MarkTap(Table& table, int32_t inputs, int32_t outputs) {
    table[inputs][outputs] = 1;
    table[inputs][0] = 1;
}

// A switch of this shape: [I][O], [0][O] and [I][0].
void MarkSwitch(TAvailSwitchTable& table, int32_t inputs, int32_t outputs) {
    table[inputs][outputs] = 1;
    table[0][outputs] = 1;
    table[inputs][0] = 1;
}

void KeepLeast(float& kept, float value) { kept = std::min(kept, value); }

// Every terrestrial (or satellite) slot of a mixer input has a pass value.
bool InputPasses(const TCella& mixer, int32_t input, int32_t firstSlot, int32_t lastSlot) {
    for (int32_t b = firstSlot; b <= lastSlot; ++b)
        if (!(mixer.Attenuation->Get3(0, input, b) >= 0.0f)) return false;
    return true;
}

}  // namespace

void TCreaAuto::ClearAvailability() {
    for (TAvailTable* t : {&SplitterAvail, &TapAvail, &SplitterDcAvail, &TapDcAvail, &TapNAvail, &TapSAvail})
        for (auto& row : *t) row.fill(0);
    for (TAvailSwitchTable* t :
         {&SwitchAvail, &RadialSwitchAvail, &SwitchPoweredAvail, &RadialSwitchPoweredAvail,
          &SwitchUnpoweredAvail, &RadialSwitchUnpoweredAvail, &SwitchLineAvail, &RadialSwitchLineAvail,
          &RadialSwitchLastAvail})
        for (auto& row : *t) row.fill(0);
    for (TLossTable* t : {&SplitterLossTer, &SplitterLossSat})
        for (auto& row : *t) row.fill(LossUnavailable);
    for (auto& row : RadialSwitchLossSat) row.fill(LossUnavailable);
    std::fill(std::begin(AmpAvail21), std::end(AmpAvail21), uint8_t{0});
    std::fill(std::begin(AmpAvail22), std::end(AmpAvail22), uint8_t{0});
    std::fill(std::begin(LineAmpAvail), std::end(LineAmpAvail), uint8_t{0});
    std::fill(std::begin(SubstationLevelTer), std::end(SubstationLevelTer), 0.0f);
    std::fill(std::begin(SubstationLevelSat), std::end(SubstationLevelSat), 0.0f);
    OwnBrandSwitch = 0;
    CustomModelCell = MixerCell = MixerSwapped = nullptr;
}

void TCreaAuto::ClassifyComponents() {
    ClearAvailability();
    for (TCella* cell = Components->head; cell; cell = cell->NextInList) {
        cell->ComputeBandMask();
        cell->AdjustLossTables();
        cell->Described = 1;
        // The shape a component is known by: its constructor counts (a tap
        // of several inputs has that many outputs per input).
        const int32_t in = cell->Inputs;
        const int32_t out = cell->TapOutputs;
        const uint32_t positions = cell->Positions[0];
        switch (cell->TypeCode) {
        case CodeDivisore: {
            if (!Fits(SplitterAvail, in, out)) break;
            MarkTap(SplitterAvail, in, out);
            if (const float v = cell->TapLoss(0, 0, BandSlotTer); v > LevelNone)
                KeepLeast(SplitterLossTer[in][out], v);
            if (const float v = cell->TapLoss(0, 0, BandSlotSat); v > LevelNone)
                KeepLeast(SplitterLossSat[in][out], v);
            if (PassesDc(*cell)) MarkTap(SplitterDcAvail, in, out);
            break;
        }
        case CodeDerivatore:
            if (!Fits(TapAvail, in, out)) break;
            MarkTap(TapAvail, in, out);
            if (PassesDc(*cell)) MarkTap(TapDcAvail, in, out);
            break;
        case CodeDerivatoreN:
            if (Fits(TapNAvail, in, out)) MarkTap(TapNAvail, in, out);
            break;
        case CodeDerivatoreS:
            if (Fits(TapSAvail, in, out)) MarkTap(TapSAvail, in, out);
            break;
        case CodeSwitch:
            if (!Fits(SwitchAvail, in, out)) break;
            if (cell->Brand == OwnBrand) OwnBrandSwitch = 1;
            MarkSwitch(SwitchAvail, in, out);
            MarkSwitch(PoweredAndFeeding(*cell) ? SwitchPoweredAvail : SwitchUnpoweredAvail, in, out);
            if (positions & PositionLine) MarkSwitch(SwitchLineAvail, in, out);
            break;
        case CodeSwitchN: {
            if (!Fits(RadialSwitchAvail, in, out)) break;
            MarkSwitch(RadialSwitchAvail, in, out);
            MarkSwitch(PoweredAndFeeding(*cell) ? RadialSwitchPoweredAvail : RadialSwitchUnpoweredAvail, in,
                       out);
            if (positions & PositionLine) MarkSwitch(RadialSwitchLineAvail, in, out);
            if (positions & PositionLastOfLine) MarkSwitch(RadialSwitchLastAvail, in, out);
            if (const float v = cell->TapLoss(0, 0, BandSlotSat); v >= 0.0f)
                KeepLeast(RadialSwitchLossSat[in][out], v);
            break;
        }
        case CodeAmplificatore:
        case CodeAmplificatoreRegolato: {
            if (in < 0 || in >= AvailInputs) break;
            (cell->TypeCode == CodeAmplificatore ? AmpAvail21 : AmpAvail22)[in] = 1;
            if (positions & PositionLine) LineAmpAvail[in] = 1;
            // An amplifier without inputs has no row to read a level from.
            if ((positions & PositionSubstation) && in > 0) {
                SubstationLevelTer[in] =
                    std::max(SubstationLevelTer[in], cell->Attenuation->Get3(0, AmpMaxOutput, BandSlotTer));
                SubstationLevelSat[in] = std::max(SubstationLevelSat[in],
                                                  cell->Attenuation->Get3(in - 1, AmpMaxOutput, BandSlotSat));
            }
            break;
        }
        case CodeMiscelatore: {
            if (MixerCell || in != 2) break;
            // A mixer keeps each input's pass values in the column of its branch.
            if (InputPasses(*cell, 0, TerFirstSlot, TerLastSlot) &&
                InputPasses(*cell, 1, SatFirstSlot, SatLastSlot)) {
                MixerCell = cell;
            } else if (InputPasses(*cell, 1, TerFirstSlot, TerLastSlot) &&
                       InputPasses(*cell, 0, SatFirstSlot, SatLastSlot)) {
                cell->SwapOutputColumns(0, 1);
                MixerCell = MixerSwapped = cell;
            }
            break;
        }
        case CodeCustom:
            if (!CustomModelCode.empty() && cell->Code == CustomModelCode) CustomModelCell = cell;
            break;
        default: break;
        }
    }
}
