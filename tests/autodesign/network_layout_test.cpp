// The staircases under the network's terminal: hand-made staircase grids
// (entry anchors in row 0, each a riser cable down to a termination) placed
// by the network builder, whose runs, splitters, radial switch and amplifier
// banks must give a network the analysis accepts, each terminal output
// reaching the riser meant for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "autodesign/engine.h"
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/head_end.h"
#include "cells/switches.h"
#include "cells/terminations.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"

namespace {

// Bits of a switch's second positions word the layout leaves as they are.
constexpr uint32_t KeptBits = 0x7;

struct TCellCount {
    int32_t Code;
    int32_t Column, Row;
    bool operator<(const TCellCount& o) const {
        return std::tie(Code, Column, Row) < std::tie(o.Code, o.Column, o.Row);
    }
};

class NetworkLayoutTest : public GlobalsTest {
protected:
    NetworkLayoutTest() : engine(&globals.Reporter(), &window) {
        engine.Reset();
        engine.Project = &window.project;
        for (auto& c : engine.Cables) c->SetLength(1.0f);
    }

    // Staircase s: a grid of width x height whose entry anchors stand at the
    // columns given, each fed down a riser cable to a termination.
    // A riser switch (type 10, its second positions word SecondPositionRescore
    // and bits the layout leaves alone) stands above the termination of the
    // entry at switchAt.
    void Staircase(int32_t s, int32_t width, int32_t height, const std::vector<int32_t>& entries,
                   int32_t switchAt = -1) {
        auto grid = std::make_unique<TGridData>(nullptr, width, height, GridWork);
        for (int32_t c : entries) {
            ASSERT_TRUE(grid->InsertCell(std::make_unique<TAncoraI>(nullptr, 0, 0, c, 0), false, 0));
            const int32_t end = c == switchAt ? height - 2 : height - 1;
            for (int32_t r = 1; r < end; ++r) {
                auto cableOwned = std::make_unique<TNCavo>(nullptr, 0, 0, c, r, 0, 0);
                auto* cable = cableOwned.get();
                cable->Described = 1;
                ASSERT_TRUE(grid->InsertCell(std::move(cableOwned), false, 0));
            }
            if (c == switchAt) {
                auto riserSwitchOwned = std::make_unique<TSwitch>(nullptr, 0, 0, c, end, CodeSwitch, 1, 0);
                auto* riserSwitch = riserSwitchOwned.get();
                riserSwitch->Positions[1] = SecondPositionRescore | KeptBits;
                ASSERT_TRUE(grid->InsertCell(std::move(riserSwitchOwned), false, 0));
            }
            ASSERT_TRUE(
                grid->InsertCell(std::make_unique<TChiusura>(nullptr, 0, 0, c, height - 1, 1), false, 0));
        }
        engine.StaircaseGrid[s] = std::move(grid);
    }
    void Building(int32_t staircases) {
        engine.Settings->Building->StaircaseCount = staircases;
        for (int32_t s = 0; s < staircases; ++s) {
            engine.Settings->Building->Staircases[s].HeadEndDistance = 10 + s;
            engine.Settings->Building->Staircases[s].TopFloorDistance = 3;
        }
    }
    TGridData& Net() { return *window.project.NetworkGrid; }
    TTesta& Terminal() { return static_cast<TTesta&>(*Net().Anchor); }

    // The termination each terminal output reaches through its run (its
    // column in the network grid), after the analysis; -1 when it reaches
    // another cell first.
    std::vector<int32_t> Reached() {
        std::vector<int32_t> columns;
        for (int32_t i = 0; i < Terminal().Lines(); ++i) {
            TCella* cell =
                Terminal().OutputCell.size() > size_t(i) ? Terminal().OutputCell[size_t(i)] : nullptr;
            while (cell && cell->TypeCode == CodeCable)
                cell = cell->OutputCell.empty() ? nullptr : cell->OutputCell[0];
            columns.push_back(cell && cell->TypeCode == CodeTermination ? cell->Column : -1);
        }
        return columns;
    }
    // The cells of a type code on the network grid, by their first square.
    std::vector<std::pair<int32_t, int32_t>> CellsOf(int32_t code) {
        std::vector<std::pair<int32_t, int32_t>> found;
        for (int32_t c = 0; c < Net().Columns; ++c)
            for (int32_t r = 0; r < Net().Rows; ++r)
                for (TCella* cell = Net().CellAt(c, r); cell; cell = cell->Overlay)
                    if (cell->TypeCode == code && cell->Column == c && cell->Row == r)
                        found.push_back({c, r});
        return found;
    }
    // No square holds two cells of the same orientation; nothing was lost.
    void ExpectCleanGrid() {
        for (int32_t c = 0; c < Net().Columns; ++c)
            for (int32_t r = 0; r < Net().Rows; ++r) {
                TCella* cell = Net().CellAt(c, r);
                if (cell && cell->Overlay) {
                    EXPECT_NE(cell->Orientation, cell->Overlay->Orientation) << c << "," << r;
                }
            }
        EXPECT_EQ(Net().RefusedInsertions, 0);
        EXPECT_EQ(Net().DisplacedCells, 0);
        EXPECT_TRUE(engine.Slips.empty());
    }
    // The entry column of staircase s, entry j, in the network grid.
    int32_t At(int32_t s, int32_t column) { return engine.StaircaseColumn[s] + column; }

    DesignWindowStandIn window;
    TCreaAuto engine;
};

TEST_F(NetworkLayoutTest, OneStaircaseFedStraightOrAroundItsSplits) {
    struct Case {
        const char* name;
        int32_t terLines, satLines;
        bool multiswitch;
        int32_t terSplits;
        std::vector<int32_t> entries;
        int32_t lines;
    };
    // clang-format off
    const Case cases[] = {
        {"one line, the terminal keeps its line", 1, 0, false, 0, {3}, 1},
        {"two splits: three risers around the entry", 1, 0, false, 2, {1, 3, 5}, 3},
        {"terrestrial line and four multiswitch lines", 1, 4, true, 0, {1, 6, 7, 8, 9}, 5},
        {"single satellite cable beside", 1, 1, false, 0, {2, 6}, 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.project.Reset(true);
        engine.Slips.clear();
        Building(1);
        engine.LineCount[0] = c.terLines;
        engine.LineCount[1] = c.satLines;
        engine.TapNetwork[0] = c.terLines > 0;
        engine.MultiswitchSat = c.multiswitch;
        engine.RiserBreakCount[0][0] = c.terSplits;
        engine.RiserBreakCount[0][1] = 0;
        Staircase(0, 11, 8, c.entries);
        engine.DecideSharedRisers();
        engine.CountTerminalLines();
        const int32_t columnBefore = Terminal().Column;
        ASSERT_TRUE(engine.DrawDistribution());
        EXPECT_EQ(Terminal().Lines(), c.lines);
        EXPECT_EQ(Terminal().Column, columnBefore);
        ASSERT_TRUE(Net().Analyse(false));
        std::vector<int32_t> expected;
        for (int32_t e : c.entries) expected.push_back(At(0, e));
        EXPECT_EQ(Reached(), expected);
        ExpectCleanGrid();
        // A multiswitch's lines come straight down from their outputs.
        if (c.multiswitch) {
            for (int32_t i = 1; i < c.lines; ++i)
                EXPECT_EQ(At(0, c.entries[size_t(i)]), Terminal().Column + i + 1);
        }
    }
}

TEST_F(NetworkLayoutTest, AGeometrySlipIsCaught) {
    struct Case {
        const char* name;
        int32_t column, row;  // of a component already on "Rete", from the terminal
    };
    // On the run below the terminal's output, and where the staircase lands.
    for (const Case c : {Case{"a run over a component", 1, 1}, Case{"a staircase over a component", 1, 7}}) {
        SCOPED_TRACE(c.name);
        window.project.Reset(true);
        engine.Slips.clear();
        Building(1);
        engine.LineCount[0] = 1;
        engine.TapNetwork[0] = 1;
        Staircase(0, 5, 6, {2});
        engine.CountTerminalLines();
        const int32_t before = engine.InsertionLosses();
        ASSERT_TRUE(Net().InsertCell(
            std::make_unique<TChiusura>(nullptr, 0, 0, Terminal().Column + c.column, c.row, 1), false, 0));
        engine.DrawDistribution();
        bool held = true;
        EXPECT_DEBUG_DEATH(held = engine.GeometryHeld(before), "refused or displaced|would land");
#ifdef NDEBUG
        EXPECT_FALSE(held);
#endif
    }
    // A sound drawing holds.
    window.project.Reset(true);
    engine.Slips.clear();
    Staircase(0, 5, 6, {2});
    const int32_t before = engine.InsertionLosses();
    ASSERT_TRUE(engine.DrawDistribution());
    EXPECT_TRUE(engine.GeometryHeld(before));
}

// The run from the terminal to a staircase continues the riser's own cable,
// lengthened by the distance to the head end, also where an apartment's feed
// crosses the riser just under the entry (whichever of the two cables the
// square holds first): that feed's cable and length are not the riser's.
TEST_F(NetworkLayoutTest, TheRunToAStaircaseTakesTheRisersCableUnderACrossing) {
    for (bool crossingFirst : {true, false}) {
        SCOPED_TRACE(crossingFirst);
        window.project.Reset(true);
        Building(1);
        engine.LineCount[0] = 1;
        engine.TapNetwork[0] = 1;
        Staircase(0, 5, 6, {2});
        TGridData& staircase = *engine.StaircaseGrid[0];
        std::unique_ptr<TCella> riser = staircase.TakeOutCell(staircase.CellAt(2, 1));
        ASSERT_NE(riser, nullptr);
        riser->Code = "RISER";
        static_cast<TNCavo&>(*riser).SetLength(3.0f);
        auto feed = std::make_unique<TNCavo>(nullptr, 1, 0, 2, 1, 0, 0);
        feed->Described = 1;
        feed->Code = "FEED";
        feed->SetLength(5.0f);
        if (!crossingFirst) ASSERT_TRUE(staircase.InsertCell(std::move(riser), false, 0));
        ASSERT_TRUE(staircase.InsertCell(std::move(feed), false, 0));
        if (crossingFirst) ASSERT_TRUE(staircase.InsertCell(std::move(riser), false, 0));
        ASSERT_NE(staircase.CellAt(2, 1)->Overlay, nullptr);
        engine.CountTerminalLines();
        ASSERT_TRUE(engine.DrawDistribution());
        // Every segment of the run between the terminal and the entry.
        int32_t segments = 0;
        for (int32_t r = 1; r < engine.EntryRow; ++r)
            for (int32_t c = 0; c < Net().Columns; ++c)
                for (TCella* cell = Net().CellAt(c, r); cell; cell = cell->Overlay)
                    if (auto* cable = dynamic_cast<TNCavo*>(cell)) {
                        ++segments;
                        EXPECT_EQ(cable->Code, "RISER") << c << "," << r;
                        EXPECT_FLOAT_EQ(cable->PassAttenuation(), 13.0f) << c << "," << r;
                    }
        EXPECT_GE(segments, engine.EntryRow - 1);
    }
}

TEST_F(NetworkLayoutTest, AWideStaircaseGrowsTheGridAroundTheTerminal) {
    Building(1);
    engine.LineCount[0] = 1;
    engine.TapNetwork[0] = 1;
    Staircase(0, 120, 6, {100});
    engine.CountTerminalLines();
    ASSERT_TRUE(engine.DrawDistribution());
    EXPECT_GT(Net().Columns, 75);
    EXPECT_EQ(Terminal().Column, Net().Columns / 2 - 1);
    ASSERT_TRUE(Net().Analyse(false));
    EXPECT_EQ(Reached(), std::vector<int32_t>{At(0, 100)});
    ExpectCleanGrid();
}

TEST_F(NetworkLayoutTest, SeveralStaircasesKeepClearOfTheOutputsAndTheirRunsApart) {
    struct Case {
        const char* name;
        int32_t staircases;
        int32_t terLines, satLines;
        bool multiswitch;
        int32_t splitter1x3;
        float margin;
        std::vector<int32_t> entries;  // of every staircase
        int32_t lines;
        int32_t splitters;  // placed on the network grid
        int32_t spareEnds;  // terminations of the splitters' spare outputs
    };
    // clang-format off
    const Case cases[] = {
        {"two staircases, risers apart", 2, 1, 0, false, 1, 0.0f, {4}, 2, 0, 0},
        {"four staircases with splits of their own", 4, 1, 0, false, 1, 0.0f, {2, 4, 6}, 12, 0, 0},
        {"two staircases share a terrestrial riser", 2, 1, 0, false, 1, 30.0f, {4}, 1, 1, 0},
        {"three share through a 1x3", 3, 1, 0, false, 1, 30.0f, {4}, 1, 1, 0},
        {"three share through a 1x4, its spare side closed", 3, 1, 0, false, 0, 30.0f, {4}, 1, 1, 1},
        {"four share through a 1x4", 4, 1, 0, false, 1, 30.0f, {4}, 1, 1, 0},
        {"two multiswitch staircases, a 1x2 per line", 2, 0, 4, true, 1, 30.0f, {3, 4, 5, 6}, 4, 4, 0},
        {"terrestrial riser of its own beside the multiswitch", 2, 1, 4, true, 1, 0.0f, {1, 5, 6, 7, 8}, 6, 4, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.project.Reset(true);
        engine.Reset();
        engine.Project = &window.project;
        Building(c.staircases);
        engine.LineCount[0] = c.terLines;
        engine.LineCount[1] = c.satLines;
        engine.TapNetwork[0] = c.terLines > 0;
        engine.MultiswitchSat = c.multiswitch;
        engine.SplitterAvail = {};
        engine.SplitterAvail[1][2] = engine.SplitterAvail[1][4] = 1;
        engine.SplitterAvail[1][3] = uint8_t(c.splitter1x3);
        for (auto& row : engine.SplitterLossTer) row.fill(LossUnavailable);
        for (auto& row : engine.SplitterLossSat) row.fill(LossUnavailable);
        for (int32_t w : {2, 3, 4}) engine.SplitterLossTer[1][w] = engine.SplitterLossSat[1][w] = 4.0f + w;
        const int32_t splits = c.entries.size() == 3 && !c.multiswitch ? 2 : 0;
        for (int32_t s = 0; s < c.staircases; ++s) {
            engine.StaircaseMargin[s][0] = engine.StaircaseMargin[s][1] = c.margin;
            engine.RiserBreakCount[s][0] = splits;
            Staircase(s, 10, 6 + s, c.entries);
        }
        engine.DecideSharedRisers();
        engine.CountTerminalLines();
        ASSERT_TRUE(engine.DrawDistribution());
        EXPECT_EQ(Terminal().Lines(), c.lines);
        ASSERT_TRUE(Net().Analyse(false));
        ExpectCleanGrid();
        EXPECT_EQ(int32_t(CellsOf(3).size()), c.splitters);
        // No entry lies under a terminal output, unless its own riser runs straight down.
        const int32_t cT = Terminal().Column;
        std::set<int32_t> entryColumns;
        for (int32_t s = 0; s < c.staircases; ++s)
            for (int32_t e : c.entries) entryColumns.insert(At(s, e));
        // Every riser's termination is reached: through the splitters' runs
        // or straight from an output of its own.
        const std::vector<std::pair<int32_t, int32_t>> ends = CellsOf(CodeTermination);
        EXPECT_EQ(int32_t(ends.size()), c.staircases * int32_t(c.entries.size()) + c.spareEnds);
        if (c.splitters == 0) {
            std::vector<int32_t> reached = Reached(), expected;
            for (int32_t s = 0; s < c.staircases; ++s)
                for (int32_t e : c.entries) expected.push_back(At(s, e));
            EXPECT_EQ(reached, expected);
            for (int32_t column : entryColumns) EXPECT_TRUE(column <= cT || column > cT + c.lines) << column;
        }
        // The staircases stand apart, left to right.
        for (int32_t s = 1; s < c.staircases; ++s)
            EXPECT_GE(engine.StaircaseColumn[s], engine.StaircaseColumn[s - 1] + 10);
    }
}

TEST_F(NetworkLayoutTest, TheRadialSwitchTakesTheLinesFromTheRight) {
    Building(1);
    engine.MultiswitchSat = engine.MultiswitchRadial = 1;
    engine.LineCount[1] = 8;
    engine.RadialOutputs[0] = engine.RadialOutputsTotal = 6;
    engine.RadialSwitchAvail = {};
    engine.RadialSwitchAvail[9][12] = 1;  // only 9 inputs: the first stays free
    Staircase(0, 12, 6, {3, 4, 5, 6, 7, 8});
    engine.CountTerminalLines();
    ASSERT_TRUE(engine.ChooseRadialSwitch());
    ASSERT_TRUE(engine.DrawDistribution());
    ASSERT_TRUE(Net().Analyse(false));
    ExpectCleanGrid();
    const auto switches = CellsOf(CodeSwitchN);
    ASSERT_EQ(switches.size(), 1u);
    TCella& radial = *Net().CellAt(switches[0].first, switches[0].second);
    EXPECT_EQ(radial.Inputs, 9);
    EXPECT_EQ(radial.NumTapOutputs, 12);
    EXPECT_EQ(switches[0].second, engine.EntryRow - 1);
    const int32_t cT = Terminal().Column;
    // 12 outputs over 9 inputs: the inputs start 2 columns in; the last
    // terminal output feeds the last input, the free first one is closed.
    EXPECT_EQ(switches[0].first + 2 + 8, cT + 8);
    for (int32_t i = 0; i < 8; ++i) EXPECT_EQ(Terminal().OutputCell[size_t(i)]->OutputCell[0], &radial) << i;
    const auto ends = CellsOf(CodeTermination);
    // The six radial lines, the free input, and 6 of the 12 outputs closed.
    EXPECT_EQ(ends.size(), 6u + 1u + 6u);
    EXPECT_NE(std::find(ends.begin(), ends.end(), std::make_pair(cT, engine.EntryRow - 2)), ends.end());
}

TEST_F(NetworkLayoutTest, TheRadialSwitchFeedsTheEntriesOfSeveralStaircases) {
    Building(2);
    engine.MultiswitchSat = engine.MultiswitchRadial = 1;
    engine.LineCount[1] = 8;
    engine.RadialOutputs[0] = engine.RadialOutputs[1] = 3;
    engine.RadialOutputsTotal = 6;
    engine.RadialSwitchAvail = {};
    engine.RadialSwitchAvail[9][8] = 1;
    engine.SplitterAvail = {};
    engine.SplitterAvail[1][2] = 1;
    for (int32_t s = 0; s < 2; ++s) Staircase(s, 8, 6, {2, 3, 4});
    engine.DecideSharedRisers();
    engine.CountTerminalLines();
    ASSERT_TRUE(engine.ChooseRadialSwitch());
    ASSERT_EQ(engine.TerminalLines, 8);
    ASSERT_TRUE(engine.DrawDistribution());
    ASSERT_TRUE(Net().Analyse(false));
    ExpectCleanGrid();
    const auto switches = CellsOf(CodeSwitchN);
    ASSERT_EQ(switches.size(), 1u);
    TCella* radial = Net().CellAt(switches[0].first, switches[0].second);
    for (int32_t i = 0; i < 8; ++i) EXPECT_EQ(Terminal().OutputCell[size_t(i)]->OutputCell[0], radial) << i;
    // Outputs 1 to 6 feed the staircases in order; 0 and 7 are closed, and
    // so is the spare first input.
    for (int32_t s = 0, q = 1; s < 2; ++s)
        for (int32_t e : {2, 3, 4}) {
            TCella* cell = radial->OutputCell[size_t(q++)];
            while (cell && cell->TypeCode == CodeCable) cell = cell->OutputCell[0];
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->TypeCode, CodeTermination);
            EXPECT_EQ(cell->Column, At(s, e));
        }
    EXPECT_EQ(CellsOf(CodeTermination).size(), 6u + 2u + 1u);
}

TEST_F(NetworkLayoutTest, LineAmplifierBanks) {
    struct Case {
        const char* name;
        int32_t staircases;
        int32_t lines, inputs;
        std::vector<int32_t> bankLines;  // the first line of each amplifier (-1: one left of line 0)
        bool spareEnds;
        bool ofTheStaircase = false;  // planned for the staircase, not at the top
    };
    // clang-format off
    const Case cases[] = {
        {"5 lines, 6-input amplifiers: one over lines 0-4, one column left", 1, 5, 6, {-1}, true},
        {"8 lines, 4-input amplifiers: two from line 0", 1, 8, 4, {0, 4}, false},
        {"9 lines, 4-input amplifiers: line 0 without", 1, 9, 4, {1, 5}, false},
        {"two staircases: the bank below the lanes", 2, 8, 4, {0, 4}, false},
        {"one staircase's own bank goes to the top", 1, 8, 4, {0, 4}, false, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.project.Reset(true);
        engine.Reset();
        engine.Project = &window.project;
        Building(c.staircases);
        engine.MultiswitchSat = 1;
        engine.LineCount[1] = c.lines;
        engine.LineAmpInputs = c.inputs;
        engine.LineAmpRest = c.lines % c.inputs;
        engine.SubstationLevelSat[c.inputs] = 110.0f;
        engine.StaircaseRequiredLevel[0][1] = 90.0f;
        engine.LineAmpTop = !c.ofTheStaircase;
        engine.LineAmpStaircase[0] = c.ofTheStaircase;
        engine.SplitterAvail = {};
        engine.SplitterAvail[1][2] = 1;
        std::vector<int32_t> entries;
        for (int32_t i = 0; i < c.lines; ++i) entries.push_back(2 + i);
        const int32_t firstLine = std::max(c.bankLines.front(), 0);
        for (int32_t s = 0; s < c.staircases; ++s) Staircase(s, 14, 7, entries, 2 + firstLine);
        engine.DecideSharedRisers();
        engine.CountTerminalLines();
        ASSERT_TRUE(engine.DrawDistribution());
        ASSERT_TRUE(Net().Analyse(false));
        ExpectCleanGrid();
        const int32_t lineColumn = Terminal().Column + 1;  // line 0's output
        std::vector<int32_t> amplified;
        int32_t row = -1;
        for (auto [column, r] : CellsOf(22)) {
            amplified.push_back(column - lineColumn);
            row = r;
        }
        EXPECT_EQ(amplified, c.bankLines);
        if (c.staircases == 1) {
            EXPECT_EQ(row, engine.EntryRow - 4);
        }
        EXPECT_EQ(CellsOf(CodeTermination).size(), size_t(c.staircases * c.lines + (c.spareEnds ? 2 : 0)));
        // The run from the terminal to a single staircase's bank is a short one.
        if (c.staircases == 1) {
            auto* above = dynamic_cast<TNCavo*>(Net().CellAt(lineColumn + firstLine, 1));
            ASSERT_NE(above, nullptr);
            EXPECT_FLOAT_EQ(above->PassAttenuation(), engine.Settings->APLungCavoComp);
        }
        // The first riser switch below the bank no longer has bit 3; below a
        // bank across the terminal's lines there is none.
        for (auto [column, r] : CellsOf(CodeSwitch))
            EXPECT_EQ(Net().CellAt(column, r)->Positions[1], c.staircases == 1 ? KeptBits : KeptBits | SecondPositionRescore) << column;
        EXPECT_EQ(CellsOf(CodeSwitch).size(), size_t(c.staircases));
    }
}

TEST_F(NetworkLayoutTest, AStaircaseFarFromTheHeadEndGetsItsOwnBank) {
    Building(2);
    engine.Settings->Building->Staircases[1].HeadEndDistance = 80;
    engine.MultiswitchSat = 1;
    engine.LineCount[1] = 4;
    engine.LineAmpInputs = 4;
    engine.SubstationLevelSat[4] = engine.SubstationLevelSat[5] = 110.0f;
    engine.LnbLevelMax = 80.0f;
    engine.Settings->APMaxLossCtScala = 12.0f;
    engine.Cables[CableRiserSat]->Attenuation->Set3(0, 0, BandSlotSat, 20.0f);  // 16 dB over 80 m
    engine.StaircaseRequiredLevel[0][1] = engine.StaircaseRequiredLevel[1][1] = 85.0f;
    engine.SplitterAvail = {};
    engine.SplitterAvail[1][2] = 1;
    engine.SplitterLossSat[1][2] = 4.0f;
    for (int32_t s = 0; s < 2; ++s) Staircase(s, 10, 7, {2, 3, 4, 5}, 2);
    engine.DecideSharedRisers();
    engine.CountTerminalLines();
    engine.PlanLineAmplifiers();
    ASSERT_EQ(engine.LineAmpTop, 0);
    ASSERT_EQ(engine.LineAmpStaircase[1], 1);
    ASSERT_EQ(engine.LineAmpStaircase[0], 0);
    ASSERT_TRUE(engine.DrawDistribution());
    // The run above the bank is the head-end distance, the one below it the
    // staircase head's (the analysis then hands each run's length to its head).
    auto length = [&](int32_t column, int32_t row) {
        auto* cable = dynamic_cast<TNCavo*>(Net().CellAt(column, row));
        return cable ? cable->PassAttenuation() : -1.0f;
    };
    for (int32_t line = 0; line < 4; ++line) {
        EXPECT_FLOAT_EQ(length(At(1, 2 + line), engine.EntryRow - 3), 80.0f) << line;
        EXPECT_FLOAT_EQ(length(At(1, 2 + line), engine.EntryRow + 1), 3.0f) << line;
    }
    ASSERT_TRUE(Net().Analyse(false));
    ExpectCleanGrid();
    const auto banks = CellsOf(22);
    ASSERT_EQ(banks.size(), 1u);
    EXPECT_EQ(banks[0], std::make_pair(At(1, 2), engine.EntryRow - 2));
    EXPECT_EQ(Net().CellAt(At(1, 2), 7 - 2 + engine.EntryRow)->Positions[1], KeptBits);
    EXPECT_EQ(Net().CellAt(At(0, 2), 7 - 2 + engine.EntryRow)->Positions[1], KeptBits | SecondPositionRescore);
}

// A line end that asks given levels of its input and records the surplus
// handed to it.
class LevelSpy : public TChiusura {
public:
    LevelSpy(TGridData* grid, int32_t column, float ter, float sat)
        : TChiusura(grid, 0, 0, column, 1, 1), ter_(ter), sat_(sat) {}
    void ComputeRequiredLevels(TBandLimits, TBandLimits, uint32_t) override {
        ResetInputLevels();
        InputLevels[0][size_t(BandSlotTer)] = TFinestra{ter_, LevelReqUnlimited};
        InputLevels[0][size_t(BandSlotSat)] = TFinestra{sat_, LevelReqUnlimited};
    }
    float MinDownstreamValue(float value, int32_t band, bool apply, TCella*, uint8_t needsBand5,
                             uint8_t needsBand9) override {
        handed.push_back({value, float(band), float(apply), float(needsBand5), float(needsBand9)});
        return 0.0f;
    }
    std::vector<std::vector<float>> handed;

private:
    float ter_, sat_;
};

class TerminalLevelsTest : public NetworkLayoutTest {
protected:
    // The terminal's lines each end at a spy asking (ter, sat).
    std::vector<LevelSpy*> Lines(const std::vector<std::pair<float, float>>& asked) {
        Terminal().SetLineCount(int32_t(asked.size()));
        std::vector<LevelSpy*> spies;
        for (size_t i = 0; i < asked.size(); ++i) {
            auto spyOwned = std::make_unique<LevelSpy>(nullptr, Terminal().Column + 1 + int32_t(i),
                                                       asked[i].first, asked[i].second);
            auto* spy = spyOwned.get();
            EXPECT_TRUE(Net().InsertCell(std::move(spyOwned), false, 0));
            spies.push_back(spy);
        }
        EXPECT_TRUE(Net().Analyse(false));
        return spies;
    }
};

TEST_F(TerminalLevelsTest, TheLnbSurplusGoesDownTheLastLine) {
    struct Case {
        float lnbMin;
        bool handed;
    };
    // The last line asks 70 dB: 5 dB or more above it is handed on, less 5.
    for (const Case c : {Case{78.0f, true}, Case{75.0f, true}, Case{74.9f, false}}) {
        SCOPED_TRACE(c.lnbMin);
        window.project.Reset(true);
        std::vector<LevelSpy*> spies = Lines({{60.0f, 65.0f}, {60.0f, 70.0f}});
        engine.MultiswitchSat = 1;
        engine.LnbLevelMin = c.lnbMin;
        engine.HandLevelMargin();
        EXPECT_TRUE(spies[0]->handed.empty());
        if (c.handed) {
            ASSERT_EQ(spies[1]->handed.size(), 1u);
            EXPECT_NEAR(spies[1]->handed[0][0], c.lnbMin - 75.0f, 1e-4);
            EXPECT_EQ(spies[1]->handed[0],
                      (std::vector<float>{spies[1]->handed[0][0], float(BandSlotSat), 1, 0, 1}));
        } else {
            EXPECT_TRUE(spies[1]->handed.empty());
        }
    }
    // Without a multiswitch nothing is handed.
    window.project.Reset(true);
    std::vector<LevelSpy*> spies = Lines({{60.0f, 65.0f}});
    engine.MultiswitchSat = 0;
    engine.LnbLevelMin = 100.0f;
    engine.HandLevelMargin();
    EXPECT_TRUE(spies[0]->handed.empty());
}

TEST_F(TerminalLevelsTest, TheHeadEndIsAskedTheHighestNeedOfEachKind) {
    struct Case {
        const char* name;
        int32_t terRisers, satRisers;
        std::vector<std::pair<float, float>> asked;
        float ter, sat;
    };
    // clang-format off
    const Case cases[] = {
        {"two terrestrial risers, then the satellite ones", 2, 2, {{70, 1}, {72, 2}, {90, 80}, {91, 85}}, 72, 85},
        {"no satellite riser: over the terrestrial ones", 2, 0, {{70, 81}, {72, 83}}, 72, 83},
        {"every satellite need negative: 0", 1, 1, {{70, -3}, {50, -2}}, 70, 0},
        {"satellite risers only: input 0 still counts for terrestrial", 0, 2, {{66, 80}, {99, 82}}, 66, 82},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.project.Reset(true);
        Lines(c.asked);
        Net().RunRequiredLevelPass();
        engine.EntryInputsTer = c.terRisers;
        engine.EntryInputsSat = c.satRisers;
        engine.TakeRequiredLevels();
        EXPECT_FLOAT_EQ(engine.RequiredLevelTer, c.ter);
        EXPECT_FLOAT_EQ(engine.RequiredLevelSat, c.sat);
    }
}

}  // namespace
