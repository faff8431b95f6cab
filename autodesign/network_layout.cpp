// The staircases under the network's head-end terminal: each staircase grid
// moved below the terminal, the riser runs from the terminal's outputs to the
// staircases' entries (straight, or turning on lanes that keep the runs
// apart), the splitters that share risers between staircases, the radial
// switch and the banks of line amplifiers across the satellite lines.
#include <algorithm>
#include <memory>

#include "autodesign/engine.h"
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/head_end.h"
#include "cells/splitters.h"
#include "cells/switches.h"
#include "document/design_settings.h"
#include "document/grid.h"
#include "document/project.h"

// ---------------------------------------------------------------- staircase entries

std::vector<int32_t> TCreaAuto::StaircaseEntries(int32_t s) const {
    std::vector<int32_t> columns;
    const TGridData* grid = StaircaseGrid[s].get();
    if (!grid) return columns;
    for (int32_t c = 0; c < grid->Columns; ++c)
        if (const TCella* cell = grid->CellAt(c, 0);
            cell && cell->TypeCode == CodeEntryAnchor && cell->Column == c)
            columns.push_back(c);
    return columns;
}

int32_t TCreaAuto::EntryCountOfKind(int32_t s, int kind) const {
    if (kind == 1 && MultiswitchRadial) return std::max(RadialOutputs[s], 0);
    return std::max(LineCount[kind], 0) * (RiserBreakCount[s][kind] + 1);
}

int TCreaAuto::LineKind(int32_t line) const {
    return line >= 0 && line < LineTableSize && LineIsTerrestrial[line] ? 0 : 1;
}

int32_t TCreaAuto::RunColour(int kind, int32_t line) const {
    if (kind == 0) return NetworkColour[0];
    if (MultiswitchSat) return LineColour[std::clamp(line, 0, LineTableSize - 1)];
    return NetworkColour[TapNetwork[0] ? 1 : 0];
}

void TCreaAuto::TakeEntryTemplate(int32_t column, int32_t staircase, int kind, int32_t line,
                                  bool firstRiser) {
    const TScala& st = Settings->Building->Staircases[staircase];
    TGridData* net = Project->NetworkGrid;
    TCella* below = net->CellAt(column, EntryRow + 1);
    // The riser's own segment: where an apartment's feed crosses the line
    // just under the entry, the crossing cable is the other cell of the
    // square, and the run to the head end must not take its cable.
    auto riser = [](const TCella* c) {
        const auto* cable = c && c->TypeCode == CodeCable ? dynamic_cast<const TNCavo*>(c) : nullptr;
        return cable && !cable->Bend && cable->Orientation % 2 == 0;
    };
    if (below && below->Overlay && below->Overlay->TypeCode == CodeCable &&
        (below->TypeCode != CodeCable || (!riser(below) && riser(below->Overlay))))
        below = below->Overlay;
    if (below && below->TypeCode == CodeCable) {
        TakeCableTemplate(below);
        const float length = CableTemplate->PassAttenuation();
        if (firstRiser && length >= 0.0f) CableTemplate->SetLength(length + float(st.HeadEndDistance));
        return;
    }
    // The terrestrial line of a joint multiswitch rides a terrestrial cable.
    const int cable = kind == 0 || (MultiswitchSat && LineKind(line) == 0) ? CableRiserTer : CableRiserSat;
    SetCableTemplateEx(Cables[cable].get(),
                       float(st.TopFloorDistance + (firstRiser ? st.HeadEndDistance : 0)),
                       RunColour(kind, line));
}

// ---------------------------------------------------------------- the whole distribution

bool TCreaAuto::DrawDistribution() {
    TGridData* net = Project ? Project->NetworkGrid : nullptr;
    auto* terminal = net ? dynamic_cast<TTesta*>(net->Anchor) : nullptr;
    if (!terminal) return false;
    const int32_t n = std::clamp(Settings->Building->StaircaseCount, 0, DesignStaircasesMax);
    if (n < 1) return false;
    // Each staircase's entries must be those the builder expects of it, and
    // a staircase without any has nothing to be fed by.
    for (int32_t s = 0; s < n; ++s) {
        const size_t entries = StaircaseEntries(s).size();
        if (entries == 0 || int32_t(entries) != EntryCountOfKind(s, 0) + EntryCountOfKind(s, 1)) return false;
    }
    CableTemplate->Owner = net;
    if (TerminalLines > 1) terminal->SetLineCount(TerminalLines);
    if (terminal->Lines() != std::max(TerminalLines, 1)) return false;
    return n == 1 ? PlaceOneStaircase() : PlaceSeveralStaircases();
}

// The grid grows (never shrinks) to hold columns and rows; the terminal keeps
// its row, and every cell moves with it.
bool TCreaAuto::GrowNetworkGrid(int32_t columns, int32_t rows) {
    TGridData* net = Project->NetworkGrid;
    const int32_t c = std::max(net->Columns, columns), r = std::max(net->Rows, rows);
    if (c == net->Columns && r == net->Rows) return true;
    return net->Resize(c, r);
}

bool TCreaAuto::MoveStaircase(int32_t s, int32_t column) {
    TGridData* net = Project->NetworkGrid;
    TGridData* grid = StaircaseGrid[s].get();
    const TCellRect area = grid->GetFullArea();
    // The squares a staircase lands on are free: a cell there would be wiped
    // out silently by the move.
    for (int32_t c = std::max(column, 0); c < std::min(column + grid->Columns, net->Columns); ++c)
        for (int32_t r = std::max(EntryRow, 0); r < std::min(EntryRow + grid->Rows, net->Rows); ++r)
            if (TCella* there = net->CellAt(c, r)) Slips.push_back({c, r, CodeEntryAnchor, there->TypeCode});
    if (column < 0 || column + grid->Columns > net->Columns || EntryRow + grid->Rows > net->Rows) {
        Slips.push_back({column, EntryRow, CodeEntryAnchor, -1});
        return false;
    }
    TGridData::MoveBlock(grid, area, net, column, EntryRow, false);
    StaircaseColumn[s] = column;
    return true;
}

// ---------------------------------------------------------------- one staircase

bool TCreaAuto::PlaceOneStaircase() {
    TGridData* net = Project->NetworkGrid;
    const TGridData* grid = StaircaseGrid[0].get();
    const std::vector<int32_t> entries = StaircaseEntries(0);
    const int32_t L = TerminalLines;
    const int32_t nTer = EntryCountOfKind(0, 0);
    const bool radial = MultiswitchRadial != 0;
    const int32_t I = RadialInputs, O = RadialSwitchOutputs, RO = RadialOutputs[0];
    const int32_t S = LineCount[1];

    int32_t e0 = entries.front(), e1 = entries.back();
    // The radial switch takes the place of the satellite entries; its inputs
    // lie under the satellite outputs. Alone under the terminal it is centred
    // over the radial lines; beside a terrestrial riser of its own it starts
    // at the first radial line, so that it never stands over the terrestrial
    // entries, which lie left of the radial lines and are fed from above.
    int32_t switchColumn = 0, inputsFrom = 0;
    if (radial) {
        const int32_t r0 = entries[nTer];
        switchColumn = r0 - (TapNetwork[0] ? 0 : (O - RO) / 2) - RadialSwitchOverhang();
        inputsFrom = switchColumn + (I < O ? (O - I + 1) / 2 : 0);
        e1 = inputsFrom + I - 1;
        if (!TapNetwork[0]) e0 = inputsFrom;
    }
    int32_t b = MultiswitchSat && RiserBreakCount[0][0] == 0 ? e1 - e0 - L + 1 : (e1 - e0 - L + 1) / 2;
    if (radial && !TapNetwork[0]) b = I - L;
    auto columnOf = [&] { return net->Anchor->Column + 1 - b - e0; };
    int32_t x = columnOf();
    const int32_t left = std::min(x, radial ? x + switchColumn : x);
    const int32_t right = std::max(x + grid->Columns, radial ? x + switchColumn + std::max(I, O) : 0);
    const int32_t k = std::max({0, -left, right - net->Columns});
    if (k > 0) {
        if (!GrowNetworkGrid(net->Columns + 2 * k, net->Rows)) return false;
        x = columnOf();
    }
    const int32_t cT = net->Anchor->Column;

    // Runs to entries left of their output turn on lanes counted up, those to
    // entries right of it on lanes counted down: no two of them cross.
    int32_t lefts = 0, rights = 0;
    if (radial) {
        rights = 1;
        lefts = TapNetwork[0] ? 1 : 0;
    } else {
        for (int32_t i = 0; i < int32_t(entries.size()) && i < L; ++i) {
            const int32_t column = x + entries[i];
            lefts += column < cT + i + 1;
            rights += column > cT + i + 1;
        }
    }
    EntryRow = Settings->APDistVScale + 1 + std::max(lefts, rights);
    if (LineAmpTop ||
        std::any_of(std::begin(LineAmpStaircase), std::end(LineAmpStaircase), [](uint8_t a) { return a; })) {
        EntryRow += 4;
        LineAmpTop = 1;
        std::fill(std::begin(LineAmpStaircase), std::end(LineAmpStaircase), uint8_t(0));
    }
    if (!GrowNetworkGrid(net->Columns, grid->Rows + EntryRow)) return false;
    if (!MoveStaircase(0, x)) return false;

    const int32_t terOutputs = radial ? L - S : L;
    int32_t leftLane = 1, rightLane = rights;
    for (int32_t i = 0; i < terOutputs && i < int32_t(entries.size()); ++i) {
        const int32_t column = x + entries[i];
        const int kind = i < nTer ? 0 : 1;
        const int32_t line = kind == 0 ? i : (i - nTer) % std::max(LineCount[1], 1);
        TakeEntryTemplate(column, 0, kind, line, RiserBreakCount[0][kind] == 0);
        const int32_t output = cT + i + 1;
        const int32_t lane = column < output ? leftLane++ : column > output ? rightLane-- : 1;
        DrawCableRun(output, 1, column, EntryRow, lane, 0);
    }
    if (radial) PlaceRadialSwitchOver(x, entries, switchColumn + x, inputsFrom + x);
    if (LineAmpTop && MultiswitchSat && !radial) {
        // The bank stands across the satellite lines, which run straight
        // down from their outputs to the entries.
        const int32_t first = nTer + FirstBankLine();
        if (first < int32_t(entries.size()))
            PlaceBank(x + entries[first], EntryRow - 4, Settings->APLungCavoComp, TDirection::Up, LevelNone);
    }
    return true;
}

void TCreaAuto::PlaceRadialSwitchOver(int32_t x, const std::vector<int32_t>& entries, int32_t switchColumn,
                                      int32_t inputsFrom) {
    TGridData* net = Project->NetworkGrid;
    const int32_t R = EntryRow, I = RadialInputs, O = RadialSwitchOutputs, S = LineCount[1];
    const int32_t nTer = EntryCountOfKind(0, 0), L = TerminalLines, cT = net->Anchor->Column;
    // Each radial line goes on one square up to the switch output above it.
    for (size_t j = nTer; j < entries.size(); ++j) {
        const int32_t column = x + entries[j];
        TakeCableTemplate(net->CellAt(column, R + 1));
        PlaceCableSegmentV(column, R);
    }
    PlaceNew(net, std::make_unique<TSwitchN>(nullptr, 0, 0, switchColumn, R - 1, CodeSwitchN, I, O));
    // The lines take the last inputs, the last output the last input; a
    // spare first input is closed.
    for (int32_t input = 0; input < I; ++input) {
        const int32_t column = inputsFrom + input;
        const int32_t line = input - (I - S);
        if (line < 0) {
            PlaceTermination(net, column, R - 2, 2);
            continue;
        }
        const int32_t output = L - S + line;
        const int kind = LineKind(line);
        SetCableTemplateEx(Cables[kind == 0 ? CableRiserTer : CableRiserSat].get(), Settings->APLungCavoComp,
                           RunColour(1, line));
        DrawCableRun(cT + output + 1, 1, column, R - 2, output + 1, 0);
    }
    const int32_t outputsFrom = switchColumn + (O < I ? (I - O + 1) / 2 : 0);
    for (int32_t o = 0; o < O; ++o)
        if (!net->CellAt(outputsFrom + o, R)) PlaceTermination(net, outputsFrom + o, R, 0);
}

// ---------------------------------------------------------------- line amplifier banks

void TCreaAuto::PlaceBank(int32_t column, int32_t row, float aboveLength, TDirection aboveDirection,
                          float belowLength) {
    TGridData* net = Project->NetworkGrid;
    const int32_t S = LineCount[1];
    const int32_t n = std::max(LineAmpInputs, 1);
    PlaceLineAmplifiers(column, row, LineAmpInputs, net);
    // The lines the bank stands on, from its first column.
    const int32_t lines = S < n ? S : S - S % n;
    for (int32_t i = 0; i < lines; ++i) {
        auto* above = dynamic_cast<TNCavo*>(net->CellAt(column + i, row - 1));
        auto* below = dynamic_cast<TNCavo*>(net->CellAt(column + i, row + 2));
        if (above && aboveLength > LevelNone) above->Notify(aboveLength, aboveDirection);
        if (below && belowLength > LevelNone) below->Notify(belowLength, TDirection::Down);
    }
    // The first riser switch below the bank no longer feeds amplifiers.
    for (int32_t r = row + 2; r < net->Rows; ++r)
        if (TCella* cell = net->CellAt(column, r); cell && cell->TypeCode == CodeSwitch) {
            cell->Positions[1] &= ~SecondPositionRescore;  // the first switch below a bank
            break;
        }
}

int32_t TCreaAuto::FirstBankLine() const {
    const int32_t S = LineCount[1], n = std::max(LineAmpInputs, 1);
    return S < n ? 0 : S % n;
}
