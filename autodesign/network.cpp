// The network builder: its decisions between the staircases and the head-end
// terminal (the riser lines shared through splitters, the terminal's line
// count, the radial switch, the line amplifiers), the order of its stages,
// the model choice of the drawn network and the LNB's surplus handed down.
#include <algorithm>
#include <cassert>
#include <cstdio>

#include "autodesign/engine.h"
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/head_end.h"
#include "cells/pass_flags.h"
#include "cells/sources.h"
#include "core/channel_list.h"
#include "core/levels.h"
#include "core/libraries.h"
#include "document/design_settings.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/comctrls.h"

namespace {

// A splitter of `inputs` inputs and w outputs is among the chosen ones.
bool Available(const TAvailTable& avail, int32_t inputs, int32_t w) {
    return inputs >= 0 && inputs < AvailInputs && w >= 0 && w < AvailTapOutputs && avail[inputs][w] != 0;
}

}  // namespace

bool TCreaAuto::SplitOutputs(const TAvailTable& avail, int32_t n, int32_t w,
                             std::span<int32_t, SplitGroupsMax> groups) {
    auto a = [&](int32_t inputs) { return Available(avail, inputs, w); };
    auto ones = [&](int32_t from) {
        for (int32_t i = from; i < SplitGroupsMax; ++i) groups[i] = 1;
    };
    if (n == 10) {
        if (a(10)) {
            groups[0] = 10;
            return true;
        }
        if (a(5)) {
            groups[0] = groups[1] = 5;
            return true;
        }
        groups[0] = groups[1] = 1;
        if (a(8)) {
            groups[2] = 8;
        } else if (a(4)) {
            groups[2] = groups[3] = 4;
        } else {
            ones(2);
        }
        return a(1);
    }
    if (a(n)) {
        groups[0] = n;
        return true;
    }
    if (n % 2 != 0) {
        if (a(n - 1)) {
            groups[0] = 1;
            groups[1] = n - 1;
            return a(1);
        }
        if (a(n / 2)) {
            groups[0] = 1;
            groups[1] = groups[2] = n / 2;
            return a(1);
        }
    } else if (a(n / 2)) {
        groups[0] = groups[1] = n / 2;
        return true;
    }
    ones(0);
    return a(1);
}

void TCreaAuto::DecideSharedRisers() {
    const TPalazzo& building = *Settings->Building;
    const int32_t n = std::clamp(building.StaircaseCount, 0, DesignStaircasesMax);
    SharedTer = SharedSat = 0;
    SplitWays = n;
    SplitGroups.fill(0);
    if (n < 2) return;
    if (n == 3 && !Available(SplitterAvail, 1, 3)) SplitWays = 4;
    float marginTer = 1000.0f, marginSat = 1000.0f;
    bool splitTer = false, splitSat = false;
    for (int32_t s = 0; s < n; ++s) {
        marginTer = std::min(marginTer, StaircaseMargin[s][0]);
        marginSat = std::min(marginSat, StaircaseMargin[s][1]);
        splitTer = splitTer || RiserBreakCount[s][0] != 0;
        splitSat = splitSat || RiserBreakCount[s][1] != 0;
    }
    const int32_t w = SplitWays;
    // A kind without riser lines has nothing to share.
    SharedTer = LineCount[0] > 0 && !splitTer && marginTer > SplitterLossTer[1][w] &&
                (!CarriesSat[RoleTer] || marginSat > SplitterLossSat[1][w]);
    if (splitSat || LineCount[1] <= 0) return;
    if (!MultiswitchSat) {
        SharedSat = SplitterLossSat[1][w] < marginSat;
        if (SharedSat) SplitGroups.fill(1);
        return;
    }
    // A multiswitch's satellite lines are always shared; three staircases
    // take a three-way splitter when the lines can be grouped for one.
    SharedSat = 1;
    if (n == 3) {
        std::array<int32_t, SplitGroupsMax> three{};
        if (SplitOutputs(SplitterAvail, LineCount[1], 3, three)) {
            SplitWays = 3;
            SplitGroups = three;
            return;
        }
    }
    SplitOutputs(SplitterAvail, LineCount[1], SplitWays, SplitGroups);
}

void TCreaAuto::CountTerminalLines() {
    const int32_t n = std::clamp(Settings->Building->StaircaseCount, 0, DesignStaircasesMax);
    TerminalLines = TerminalLinesTer = 0;
    RiserCountTer = RiserCountSat = 0;
    for (int32_t s = 0; s < n; ++s) {
        if (s == 0 || !SharedTer) {
            TerminalLinesTer += (RiserBreakCount[s][0] + 1) * LineCount[0];
            TerminalLines += (RiserBreakCount[s][0] + 1) * LineCount[0];
            if (LineCount[0] > 0) RiserCountTer += RiserBreakCount[s][0] + 1;
        }
        if (s == 0 || !SharedSat) {
            TerminalLines += (RiserBreakCount[s][1] + 1) * LineCount[1];
            if (LineCount[1] > 0) RiserCountSat += RiserBreakCount[s][1] + 1;
        }
    }
    EntryInputsTer = RiserCountTer;
    EntryInputsSat = RiserCountSat;
}

bool TCreaAuto::ChooseRadialSwitch() {
    RadialInputs = RadialSwitchOutputs = 0;
    if (!MultiswitchRadial) return true;
    auto smallest = [this](int32_t inputs) {
        if (inputs < 0 || inputs >= AvailInputs) return 0;
        for (int32_t o = std::max(RadialOutputsTotal, 0); o < AvailSwitchOutputs; ++o)
            if (RadialSwitchAvail[inputs][o]) return o;
        return 0;
    };
    int32_t inputs = LineCount[1];
    int32_t outputs = smallest(inputs);
    if (outputs == 0 && !TerOnMultiswitch) {
        outputs = smallest(++inputs);
        if (outputs == 0 && inputs == 9) outputs = smallest(++inputs);
    }
    if (outputs == 0) {
        // The person can act on the outputs asked for (one per apartment
        // line), so the refusal names them beside the largest switch there is.
        int32_t largest = 0;
        for (int32_t i = LineCount[1]; i <= inputs && i >= 0 && i < AvailInputs; ++i)
            for (int32_t o = 0; o < AvailSwitchOutputs; ++o)
                if (RadialSwitchAvail[i][o]) largest = std::max(largest, o);
        AnsiString text = "Non vi sono switch radiali con un numero sufficiente di uscite. L'impianto ne richiede " +
                          IntToStr(RadialOutputsTotal);
        text += largest > 0 ? ", il più grande disponibile ne ha " + IntToStr(largest) + "."
                            : ", nessuno switch radiale disponibile ha " + IntToStr(LineCount[1]) + " ingressi.";
        // The switches along the staircase take any count of apartments.
        text += " Scegliere \"Multiswitch lungo scala\".";
        Report(text);
        return false;
    }
    RadialInputs = inputs;
    RadialSwitchOutputs = outputs;
    return true;
}

float TCreaAuto::LineAmplifierNeed() const {
    const TPalazzo& building = *Settings->Building;
    const int32_t n = std::clamp(building.StaircaseCount, 0, DesignStaircasesMax);
    const double perMetre = 0.01 * Cables[CableRiserSat]->LossPer100(BandSlotSat);
    double need = LevelNone;
    for (int32_t s = 0; s < n; ++s) {
        const TScala& st = building.Staircases[s];
        need = std::max(need, double(StaircaseRequiredLevel[s][1]) +
                                  perMetre * (st.HeadEndDistance + st.TopFloorDistance));
    }
    if (n > 1) need += SplitterLossSat[1][2 * ((n + 1) / 2)];
    return float(need);
}

void TCreaAuto::PlanLineAmplifiers() {
    LineAmpTop = 0;
    std::fill(std::begin(LineAmpStaircase), std::end(LineAmpStaircase), uint8_t(0));
    if (!MultiswitchSat || MultiswitchRadial) return;
    const float need = LineAmplifierNeed();
    // The LNB drives its lines over the run from the dish to the head end
    // too: the head end lengthens every line by it.
    const float lnbRun =
        0.01f * Cables[CableRiserSat]->LossPer100(BandSlotSat) * float(Settings->LnbHeadEndDistance);
    if (need + lnbRun <= LnbLevelMax) return;
    const int32_t lines = LineCount[1];
    const int32_t odd = (lines / 2) * 2 + 1;
    bool byStaircase = LineAmpInputs >= 0 && LineAmpInputs < AvailInputs && odd < AvailInputs &&
                       need < SubstationLevelSat[LineAmpInputs] && need < SubstationLevelSat[odd];
    const TPalazzo& building = *Settings->Building;
    const int32_t n = std::clamp(building.StaircaseCount, 0, DesignStaircasesMax);
    // A bank at the top drives the staircases' splitter and the runs to them
    // too. Each of its lines carries the five satellite bands, which take
    // their derating off its rating: where that leaves less than the need,
    // the bank would be driven over its rating, so each staircase takes its
    // own bank (of the inputs the bank will be drawn with), fed without the
    // splitter and the run.
    if (!byStaircase && n > 1) {
        const int32_t bank = BankAmplifierInputs(LineAmpInputs);
        byStaircase = bank >= 0 && bank < AvailInputs &&
                      need > SubstationLevelSat[bank] - TListaCanali::OverloadDerating(SatBands);
    }
    if (!byStaircase) {
        LineAmpTop = 1;
        return;
    }
    const double perMetre = 0.01 * Cables[CableRiserSat]->LossPer100(BandSlotSat);
    bool any = false;
    for (int32_t s = 0; s < n; ++s) {
        LineAmpStaircase[s] = perMetre * building.Staircases[s].HeadEndDistance > Settings->APMaxLossCtScala;
        any = any || LineAmpStaircase[s];
    }
    if (!any)
        for (int32_t s = 0; s < n; ++s) LineAmpStaircase[s] = 1;
}

void TCreaAuto::StepProgress() {
    TProgressBar* bar = Window ? Window->ProgressBar() : nullptr;
    if (bar) bar->Position = bar->Position + 1;
}

bool TCreaAuto::DesignStaircases() {
    const TPalazzo& building = *Settings->Building;
    const int32_t n = std::clamp(building.StaircaseCount, 0, DesignStaircasesMax);
    auto floorsOf = [&](int32_t s) {
        return std::clamp(building.Staircases[s].FloorCount, 0, DesignFloorsMax);
    };
    HighestFloorCount = 0;
    for (int32_t s = 0; s < n; ++s) {
        HighestFloorCount = std::max(HighestFloorCount, floorsOf(s));
        for (int32_t f = 0; f < floorsOf(s); ++f) {
            const int32_t apartments =
                std::clamp(building.Staircases[s].Floors[f].ApartmentCount, 0, DesignApartmentsMax);
            for (int32_t a = 0; a < apartments; ++a) {
                if (!PlaceApartments(s, f, a)) return false;
                StepProgress();
            }
            if (!PlaceFloorBothKinds(s, f)) return false;
            StepProgress();
        }
        if (!SizeRisersBothKinds(s)) return false;
        StepProgress();
    }
    TallestFloorHeight = 0;
    for (int32_t s = 0; s < n; ++s) {
        LargestFloorWidth[s] = LargestFloorHeight[s] = LargestFloorCableColumns[s] = 0;
        for (int32_t f = 0; f < floorsOf(s); ++f) {
            if (!LayoutFloorApartments(s, f)) return false;
            LargestFloorWidth[s] = std::max(LargestFloorWidth[s], FloorWidth[s][f]);
            LargestFloorHeight[s] = std::max(LargestFloorHeight[s], FloorHeight[s][f]);
            LargestFloorCableColumns[s] = std::max(LargestFloorCableColumns[s], FloorCableColumns[s][f]);
        }
        TallestFloorHeight = std::max(TallestFloorHeight, LargestFloorHeight[s]);
    }
    for (int32_t s = 0; s < n; ++s)
        if (!ComputeFloorRows(s)) return false;
    if (Settings->APPianiAllineatiTraScale) AlignFloorRows();
    return true;
}

void TCreaAuto::AlignFloorRows() {
    const TPalazzo& building = *Settings->Building;
    const int32_t n = std::clamp(building.StaircaseCount, 0, DesignStaircasesMax);
    auto floorsOf = [&](int32_t s) {
        return std::clamp(building.Staircases[s].FloorCount, 0, DesignFloorsMax);
    };
    // From the top down, so that a floor moved down takes the floors below it along.
    for (int32_t f = std::min(HighestFloorCount, DesignFloorsMax) - 1; f >= 0; --f) {
        int32_t lowest = 0;
        for (int32_t s = 0; s < n; ++s)
            if (f < floorsOf(s)) lowest = std::max(lowest, FloorRow[s][f]);
        for (int32_t s = 0; s < n; ++s) {
            if (f >= floorsOf(s) || FloorRow[s][f] >= lowest) continue;
            const int32_t shift = lowest - FloorRow[s][f];
            for (int32_t g = f; g >= 0; --g) FloorRow[s][g] += shift;
        }
    }
}

uint32_t TCreaAuto::TerminalOutputMask(int32_t output) const {
    // A mixed single cable carries both kinds on every line.
    if (CarriesSat[RoleTer]) return ModeNeedsBand5 | ModeNeedsBand9;
    return output < TerminalLinesTer ? ModeNeedsBand5 : ModeNeedsBand9;
}

// ---------------------------------------------------------------- the whole build

namespace {


}  // namespace

int32_t TCreaAuto::InsertionLosses() const {
    const TGridData* net = Project ? Project->NetworkGrid : nullptr;
    return InsertionSlips() + (net ? net->RefusedInsertions + net->DisplacedCells : 0);
}

bool TCreaAuto::GeometryHeld(int32_t lossesBefore) const {
    const int32_t lost = InsertionLosses() - lossesBefore;
#ifndef NDEBUG
    // A debug build stops at the slip, naming it.
    for (const TInsertionSlip& slip : Slips)
        std::fprintf(stderr, "design slip at (%d, %d): cell %d would land on cell %d\n", int(slip.Column),
                     int(slip.Row), int(slip.NewCode), int(slip.OldCode));
    if (lost > 0) std::fprintf(stderr, "design slip: %d cells refused or displaced\n", int(lost));
    assert(Slips.empty() && lost <= 0 &&
           "a cell of the design was refused or displaced, or would land on another");
#endif
    return Slips.empty() && lost <= 0;
}

bool TCreaAuto::DesignNetwork() {
    TGridData* net = Project ? Project->NetworkGrid : nullptr;
    if (!net || !net->Anchor) {
        Report(DrawingFailedMessage("la griglia \"Rete\" non ha il terminale di testa"));
        return false;
    }
    Slips.clear();
    const int32_t lossesBefore = InsertionLosses();
    // The radial switch depends on the building alone; the staircases leave
    // room for it beside a terrestrial riser.
    if (!ChooseRadialSwitch()) return false;
    if (!DesignStaircases()) return false;
    const int32_t n = std::clamp(Settings->Building->StaircaseCount, 0, DesignStaircasesMax);
    for (int32_t s = 0; s < n; ++s)
        if (!AssembleStaircase(s)) return false;
    DecideSharedRisers();
    CountTerminalLines();
    PlanLineAmplifiers();
    if (!DrawDistribution() || !GeometryHeld(lossesBefore)) {
        Report(DrawingFailedMessage("le scale e le linee dal terminale di testa non trovano posto sulla griglia "
                                    "\"Rete\" senza sovrapporsi"));
        return false;
    }
    if (!ChooseNetworkModels()) return false;
    HandLevelMargin();
    return true;
}

bool TCreaAuto::ChooseNetworkModels() {
    TGridData* net = Project->NetworkGrid;
    auto* terminal = dynamic_cast<TTesta*>(net->Anchor);
    if (!terminal || !net->Analyse(false)) {
        Report(DrawingFailedMessage("la rete disegnata non supera il controllo dei collegamenti"));
        return false;
    }
    for (int32_t i = 0; i < terminal->Lines(); ++i) {
        TCella* cell = size_t(i) < terminal->OutputCell.size() ? terminal->OutputCell[size_t(i)] : nullptr;
        const uint32_t mask = TerminalOutputMask(i);
        const int32_t band = (mask & ModeNeedsBand5) ? BandSlotTer : BandSlotSat;
        if (!cell || !cell->ChooseModel(Components->head, int32_t(mask), NextPassNumber(), nullptr, band, 0)) {
            Report(DrawingFailedMessage("tra i componenti scelti manca un articolo adatto alla linea " +
                                        IntToStr(i + 1) + " del terminale di testa"));
            return false;
        }
    }
    // The terminations choose last, by the components they close.
    if (!terminal->ChooseModel(Components->head, ModeNoChoice, NextPassNumber(), nullptr, BandSlotTer, 0)) {
        Report(DrawingFailedMessage("tra i componenti scelti manca una resistenza di chiusura adatta"));
        return false;
    }
    return true;
}

void TCreaAuto::HandLevelMargin() {
    if (!MultiswitchSat) return;
    TGridData* net = Project->NetworkGrid;
    auto* terminal = dynamic_cast<TTesta*>(net->Anchor);
    if (!terminal) return;
    net->RunRequiredLevelPass();
    const int32_t last = terminal->Lines() - 1;
    if (last < 0 || !terminal->InputLevels.Allocated() || last >= terminal->InputLevels.Ports()) return;
    const float need = terminal->InputLevels[last][BandSlotSat].Min;
    if (!IsRealLevel(need)) return;
    const float margin = LnbLevelMin - need - 5.0f;
    TCella* cell = size_t(last) < terminal->OutputCell.size() ? terminal->OutputCell[size_t(last)] : nullptr;
    if (margin >= 0.0f && cell) cell->MinDownstreamValue(margin, BandSlotSat, true, Components->head, 0, 1);
}
