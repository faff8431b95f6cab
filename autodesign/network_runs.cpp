// Several staircases under the terminal: side by side, kept clear of the
// terminal's output columns, and fed kind by kind (terrestrial first) by runs
// of their own, or through the splitters of shared risers. Each run turns on
// a lane (a row below the terminal): runs to the left on lanes counted up,
// runs to the right on lanes counted down, so that no two runs share a lane
// segment.
#include <algorithm>
#include <memory>

#include "autodesign/engine.h"
#include "cells/cables.h"
#include "cells/splitters.h"
#include "cells/switches.h"
#include "document/design_settings.h"
#include "document/grid.h"
#include "document/project.h"

namespace {

constexpr float FillerLength = -500002.0f;  // a cable that stands for no length

// Rows below a splitter's first row at which the outputs of its line i leave,
// pair by pair (p), on both sides; the row its odd last output leaves below.
int32_t SplitterPairRow(int32_t inputs, int32_t line, int32_t pair) {
    return inputs == 1 ? pair : pair * (inputs + 1) + line;
}
int32_t SplitterHeight(int32_t inputs, int32_t outputs) {
    const int32_t pairs = outputs / 2;
    return std::max<int32_t>(1, inputs == 1 ? pairs : (inputs + 1) * pairs - 1);
}

}  // namespace

int32_t TCreaAuto::EntryOf(int32_t s, int kind, int32_t index) const {
    const std::vector<int32_t>& e = entryColumns_[s];
    const int32_t at = (kind == 0 ? 0 : EntryCountOfKind(s, 0)) + index;
    return at >= 0 && at < int32_t(e.size()) ? StaircaseColumn[s] + e[at] : -1;
}

bool TCreaAuto::PlaceSeveralStaircases() {
    TGridData* net = Project->NetworkGrid;
    const int32_t n = std::clamp(Settings->Building->StaircaseCount, 0, DesignStaircasesMax);
    const int32_t L = TerminalLines, D = Settings->APDistScale;
    const int32_t half = (n + 1) / 2;
    int32_t W = 0, H = 0;
    for (int32_t s = 0; s < n; ++s) {
        W = std::max(W, StaircaseGrid[s]->Columns);
        H = std::max(H, StaircaseGrid[s]->Rows);
        entryColumns_[s] = StaircaseEntries(s);
    }
    // Columns relative to the terminal's until the grid has its final width.
    int32_t x[DesignStaircasesMax] = {};
    x[0] = -(((D + W) * n - D - L) / 2);
    for (int32_t s = 1; s < n; ++s) x[s] = x[s - 1] + W + D;
    auto first = [&](int32_t s) { return x[s] + entryColumns_[s].front(); };
    auto last = [&](int32_t s) { return x[s] + entryColumns_[s].back(); };
    // The columns no entry takes: the terminal's outputs, whose runs come
    // down there, and beside a terrestrial line of its own the radial
    // switch, which the terrestrial runs down to their entries cannot cross.
    int32_t clearFrom = 1, clearTo = L;
    if (MultiswitchRadial && TapNetwork[0]) {
        const int32_t I = RadialInputs, width = std::max(I, RadialSwitchOutputs);
        const int32_t from = TerminalLinesTer + 1 - (I - LineCount[1]) - (width - I + 1) / 2;
        clearFrom = std::min(clearFrom, from);
        clearTo = std::max(clearTo, from + width - 1);
    }
    const bool widened = clearFrom != 1 || clearTo != L;
    // Beside the radial switch the middle staircase of three keeps to the
    // left half like the others: the switch stands under the satellite
    // outputs, where its entries would otherwise come.
    const bool threeWays = SplitWays == 3 && (SharedTer || SharedSat) && !widened;
    for (int32_t s = 0; s < n; ++s) {
        if (threeWays && s == 1) {
            const int32_t d = L - last(1);
            x[0] += d;
            x[1] += d;
        } else if (widened && s < half && last(s) >= clearFrom) {
            // The left half stays left of the switch, so that a shared
            // riser's splitter feeds as many staircases on each side.
            const int32_t d = last(s) - clearFrom + 1;
            for (int32_t t = 0; t <= s; ++t) x[t] -= d;
        } else if ((first(s) >= clearFrom && first(s) <= clearTo) || (s >= half && first(s) <= clearTo)) {
            const int32_t d = clearTo + 1 - first(s);
            // The staircases after it keep their distance.
            for (int32_t t = s; t < n; ++t) x[t] += d;
            if (s > 0) {
                const int32_t m = std::min(d, clearFrom - 1 - last(s - 1));
                if (m > 0)
                    for (int32_t t = 0; t < s; ++t) x[t] += m;
            }
        } else if (last(s) >= clearFrom && last(s) <= clearTo) {
            const int32_t d = last(s) - clearFrom + 1;
            for (int32_t t = 0; t <= s; ++t) x[t] -= d;
        }
    }
    for (int32_t s = 1; s < n; ++s)
        if (x[s] < x[s - 1] + StaircaseGrid[s - 1]->Columns) return false;

    // Lanes start at row 2; the entry row lies below every lane.
    int32_t lanes = 0;
    for (int k = 0; k < SignalKinds; ++k) lanes += LanesOfKind(k, x);
    int32_t halfLines[2] = {0, 0};
    for (int32_t s = 0; s < n; ++s)
        halfLines[s < half ? 0 : 1] += EntryCountOfKind(s, 0) + EntryCountOfKind(s, 1);
    const bool staircaseBanks = std::any_of(std::begin(LineAmpStaircase), std::end(LineAmpStaircase),
                                            [](uint8_t a) { return a != 0; });
    int32_t R = Settings->APDistVScale + 1 + std::max(halfLines[0], halfLines[1]);
    if (MultiswitchRadial) R += 14 + std::min(2 * RadialOutputsTotal / 3, 3);
    if (LineAmpTop) R += 4;
    if (staircaseBanks) R += 4;
    EntryRow = std::max(R, 2 + lanes + 1 + (staircaseBanks ? 4 : 0));

    // The grid grows until every staircase fits around the terminal.
    int32_t columns = std::max(net->Columns, 2 * half * (D + W) - D + 2 * L + 4 +
                                                 (MultiswitchRadial ? 2 * RadialOutputsTotal / 3 : 0));
    auto fits = [&](int32_t c) {
        const int32_t cT = c / 2 - 1;
        return cT + x[0] >= 0 && cT + x[n - 1] + StaircaseGrid[n - 1]->Columns <= c;
    };
    while (!fits(columns)) columns += 2;
    if (!GrowNetworkGrid(columns, H + EntryRow + 1)) return false;
    const int32_t cT = net->Anchor->Column;
    for (int32_t s = 0; s < n; ++s)
        if (!MoveStaircase(s, cT + x[s])) return false;

    int32_t leftLane = 2, rightLane = 2, output = 0;
    for (int k = 0; k < SignalKinds; ++k) {
        if (LineCount[k] <= 0) continue;
        if (k == 1 && LineAmpTop && MultiswitchSat) {
            // Four rows for the bank across the satellite lines' runs.
            const int32_t row = std::max(leftLane, rightLane) + 1;
            leftLane = rightLane = row + 3;
            topBankRow_ = row;
        }
        if (k == 1 && MultiswitchRadial) {
            if (!FeedRadialStaircases(leftLane, rightLane, output)) return false;
        } else if (k == 0 ? SharedTer : SharedSat) {
            FeedSharedKind(k, leftLane, rightLane, output);
        } else {
            FeedSeparateKind(k, leftLane, rightLane, output);
        }
        leftLane = rightLane = std::max(leftLane, rightLane);
    }
    PlaceBanksOfSeveral();
    return true;
}

// Lanes a kind's runs take: each run its own on its side; a shared kind the
// rows of its splitters.
int32_t TCreaAuto::LanesOfKind(int k, const int32_t* x) const {
    if (LineCount[k] <= 0) return 0;
    const int32_t n = std::clamp(Settings->Building->StaircaseCount, 0, DesignStaircasesMax);
    const int32_t w = SplitWays;
    if (k == 1 && MultiswitchRadial) return 3 + (LineAmpTop ? 4 : 0) + RadialOutputsTotal;
    if (k == 0 ? SharedTer : SharedSat) {
        if (k == 0) return SplitterHeight(1, w) + w % 2;
        int32_t lanes = LineAmpTop && MultiswitchSat ? 4 : 0;
        for (int32_t i = 0, line = 0; line < LineCount[1]; ++i) {
            const int32_t g = std::clamp(i < SplitGroupsMax ? SplitGroups[i] : 1, 1, LineCount[1] - line);
            lanes += g + (g * w) / 2 + (g > 1 && w > 2 ? 1 : 0);
            line += g;
        }
        return lanes;
    }
    int32_t lefts = 0, rights = 0, output = k == 0 ? 0 : TerminalLinesTer;
    for (int32_t s = 0; s < n; ++s) {
        if (s > 0 && k == 1 && SharedSat) break;
        for (int32_t j = 0; j < EntryCountOfKind(s, k); ++j, ++output) {
            const int32_t at = (k == 0 ? 0 : EntryCountOfKind(s, 0)) + j;
            const int32_t column = x[s] + entryColumns_[s][at];
            (column <= output + 1 ? lefts : rights) += 1;
        }
    }
    return std::max(lefts, rights) + (k == 1 && LineAmpTop ? 4 : 0);
}

void TCreaAuto::FeedSeparateKind(int k, int32_t& leftLane, int32_t& rightLane, int32_t& output) {
    const int32_t n = std::clamp(Settings->Building->StaircaseCount, 0, DesignStaircasesMax);
    const int32_t cT = Project->NetworkGrid->Anchor->Column;
    struct TRun {
        int32_t Staircase, Index, Output, Entry;
    };
    std::vector<TRun> runs;
    int32_t rights = 0;
    for (int32_t s = 0; s < n; ++s)
        for (int32_t j = 0; j < EntryCountOfKind(s, k); ++j) {
            const TRun run{s, j, cT + 1 + output++, EntryOf(s, k, j)};
            rights += run.Entry > run.Output;
            runs.push_back(run);
        }
    int32_t right = rightLane + rights - 1;
    for (const TRun& run : runs) {
        const int32_t line = run.Index % std::max(LineCount[k], 1);
        TakeEntryTemplate(run.Entry, run.Staircase, k, line, RiserBreakCount[run.Staircase][k] == 0);
        const int32_t lane = run.Entry <= run.Output ? leftLane++ : right--;
        DrawCableRun(run.Output, 1, run.Entry, EntryRow, lane, 0);
    }
    rightLane += rights;
}

// One splitter of a group of lines below their terminal outputs, each line's
// outputs feeding the same line of every staircase: the middle staircase of
// three straight down, the others along the splitter's rows to their side.
void TCreaAuto::FeedSharedKind(int k, int32_t& leftLane, int32_t& rightLane, int32_t& output) {
    TGridData* net = Project->NetworkGrid;
    const int32_t n = std::clamp(Settings->Building->StaircaseCount, 0, DesignStaircasesMax);
    const int32_t cT = net->Anchor->Column, L = TerminalLines, w = SplitWays, R = EntryRow;
    const int32_t lines = k == 0 ? 1 : LineCount[1];
    int32_t lane = std::max(leftLane, rightLane);
    // The middle staircase's bank, at the top or at its head, stands one
    // column left of the satellite lines when it has a spare input.
    const bool bankShifted = (LineAmpTop || LineAmpStaircase[1]) && MultiswitchSat && !MultiswitchRadial &&
                             LineCount[1] < BankAmplifierInputs(LineAmpInputs);
    for (int32_t i = 0, line = 0; line < lines; ++i) {
        const int32_t g = k == 0 ? 1 : std::clamp(i < SplitGroupsMax ? SplitGroups[i] : 1, 1, lines - line);
        const int32_t oc = cT + 1 + output;
        const int32_t height = SplitterHeight(g, w);
        for (int32_t j = 0; j < g; ++j) {
            const int32_t l = line + j;
            // Only a multiswitch line may be the terrestrial one: the line of a
            // single satellite cable rides the satellite riser cable.
            const int cable =
                k == 0 || (MultiswitchSat && LineKind(l) == 0) ? CableRiserTer : CableRiserSat;
            SetCableTemplateEx(Cables[cable].get(), Settings->APLungCavoComp, RunColour(k, l));
            DrawCableRun(oc + j, 1, oc + j, lane - 1, 0, 0);
        }
        PlaceNew(net, std::make_unique<TDivisore>(nullptr, 0, 0, oc, lane, g, w));
        for (int32_t j = 0; j < g; ++j) {
            const int32_t l = line + j;
            int32_t lefts = 0, rights = 0;
            for (int32_t s = 0; s < n; ++s) {
                const int32_t entry = EntryOf(s, k, l);
                TakeEntryTemplate(entry, s, k, l, true);
                if (w == 3 && s == 1) {
                    // The straight run turns right below the splitter towards
                    // an entry on its left when the column below is taken:
                    // by the radial switch, or by the spare input of a bank
                    // one column left of the satellite lines.
                    const bool taken = (MultiswitchRadial && TapNetwork[0]) || (k == 0 && bankShifted);
                    const bool early = taken && g == 1 && entry < oc + j;
                    DrawCableRun(oc + j, lane + height, entry, R, early ? lane + height : R - 1, 0);
                } else if (entry < oc + j || (entry == oc + j && s < (n + 1) / 2)) {
                    const int32_t row = lane + SplitterPairRow(g, j, lefts++);
                    DrawCableRun(entry + 1, row, oc - 1, row, 0, 1);
                    PlaceCableSegmentEx(entry, row, BendRightBottom);
                    DrawCableRun(entry, row + 1, entry, R, 0, 0);
                } else {
                    const int32_t row = lane + SplitterPairRow(g, j, rights++);
                    DrawCableRun(oc + g, row, entry - 1, row, 0, 1);
                    PlaceCableSegmentEx(entry, row, BendLeftBottom);
                    DrawCableRun(entry, row + 1, entry, R, 0, 0);
                }
            }
            // The outputs nothing takes are closed: on the left beside the
            // splitter, on the right past the terminal's last output, the
            // runs below the other outputs crossing the filler.
            const int32_t pairs = w / 2;
            for (int32_t p = lefts; p < pairs; ++p)
                PlaceTermination(net, oc - 1, lane + SplitterPairRow(g, j, p), 1);
            for (int32_t p = rights; p < pairs; ++p) {
                const int32_t row = lane + SplitterPairRow(g, j, p);
                SetCableTemplateEx(Cables[k == 0 ? CableRiserTer : CableRiserSat].get(), FillerLength,
                                   RunColour(k, l));
                DrawCableRun(oc + g, row, cT + L, row, 0, 1);
                PlaceTermination(net, cT + L + 1, row, 3);
            }
        }
        output += g;
        line += g;
        lane += k == 0 ? height + w % 2 : g + (g * w) / 2 + (g > 1 && w > 2 ? 1 : 0);
    }
    leftLane = rightLane = lane;
}

// The radial switch below the satellite outputs, each line straight down to
// its input (a spare first input closed), and the staircases' radial entries
// fed from the outputs in order, the surplus outputs closed on both sides.
bool TCreaAuto::FeedRadialStaircases(int32_t& leftLane, int32_t& rightLane, int32_t& output) {
    TGridData* net = Project->NetworkGrid;
    const int32_t n = std::clamp(Settings->Building->StaircaseCount, 0, DesignStaircasesMax);
    const int32_t cT = net->Anchor->Column, R = EntryRow;
    const int32_t I = RadialInputs, O = RadialSwitchOutputs, S = LineCount[1], RO = RadialOutputsTotal;
    if (I < S || O < RO) return false;
    const int32_t row = std::max(leftLane, rightLane) + 1;
    const int32_t width = std::max(I, O);
    const int32_t firstOutput = cT + 1 + output;
    const int32_t inputsFrom = firstOutput - (I - S);
    const int32_t switchColumn = inputsFrom - (width - I + 1) / 2;
    const int32_t outputsFrom = switchColumn + (width - O + 1) / 2;
    PlaceNew(net, std::make_unique<TSwitchN>(nullptr, 0, 0, switchColumn, row, CodeSwitchN, I, O));
    for (int32_t input = 0; input < I - S; ++input) PlaceTermination(net, inputsFrom + input, row - 1, 2);
    for (int32_t line = 0; line < S; ++line) {
        const int cable = LineKind(line) == 0 ? CableRiserTer : CableRiserSat;
        SetCableTemplateEx(Cables[cable].get(), Settings->APLungCavoComp, RunColour(1, line));
        DrawCableRun(firstOutput + line, 1, firstOutput + line, row - 1, 0, 0);
    }
    const int32_t left = (O - RO) / 2;
    for (int32_t o = 0; o < O; ++o)
        if (o < left || o >= left + RO) PlaceTermination(net, outputsFrom + o, row + 1, 0);

    struct TRun {
        int32_t From, Entry;
    };
    std::vector<TRun> runs;
    int32_t rights = 0;
    for (int32_t s = 0, q = left; s < n; ++s)
        for (int32_t j = 0; j < EntryCountOfKind(s, 1); ++j, ++q) {
            const TRun run{outputsFrom + q, EntryOf(s, 1, j)};
            rights += run.Entry > run.From;
            runs.push_back(run);
        }
    int32_t leftRow = row + 2, rightRow = row + 1 + rights;
    for (const TRun& run : runs) {
        TakeCableTemplate(net->CellAt(run.Entry, R + 1));
        const int32_t lane = run.Entry > run.From ? rightRow-- : leftRow++;
        DrawCableRun(run.From, row + 1, run.Entry, R, lane, 0);
    }
    leftLane = rightLane = std::max(leftRow, row + 2 + rights);
    output += S;
    return true;
}

void TCreaAuto::PlaceBanksOfSeveral() {
    if (!MultiswitchSat || MultiswitchRadial) return;
    const int32_t n = std::clamp(Settings->Building->StaircaseCount, 0, DesignStaircasesMax);
    const int32_t cT = Project->NetworkGrid->Anchor->Column;
    const int32_t firstLine = FirstBankLine();
    if (LineAmpTop)
        PlaceBank(cT + 1 + TerminalLinesTer + firstLine, topBankRow_, LevelNone, TDirection::Up, LevelNone);
    for (int32_t s = 0; s < n; ++s) {
        if (!LineAmpStaircase[s]) continue;
        const TScala& st = Settings->Building->Staircases[s];
        PlaceBank(EntryOf(s, 1, firstLine), EntryRow - 2, float(st.HeadEndDistance), TDirection::Up,
                  float(st.TopFloorDistance));
    }
}
