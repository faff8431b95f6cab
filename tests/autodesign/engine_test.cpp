// The design engine: its making and reset, and the order of the stages of a
// run as the main window sees it, with stand-in stages.
#include "autodesign/engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cells/cables.h"
#include "cells/terminations.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"

namespace {

using StandInWindow = DesignWindowStandIn;

using Stage = std::function<bool(TCreaAuto&)>;

// The engine with its stages replaced.
class StagedEngine : public TCreaAuto {
public:
    using TCreaAuto::TCreaAuto;
    Stage inputs, network, headEnd;

    bool CheckInputs() override { return inputs ? inputs(*this) : TCreaAuto::CheckInputs(); }
    bool BuildNetwork() override { return network ? network(*this) : TCreaAuto::BuildNetwork(); }
    bool BuildHeadEnd() override { return headEnd ? headEnd(*this) : TCreaAuto::BuildHeadEnd(); }
};

Stage Reports(const char* text, bool result) {
    return [text, result](TCreaAuto& e) {
        e.Reporter->Report(text);
        return result;
    };
}

Stage Passes() {
    return [](TCreaAuto&) { return true; };
}

class EngineTest : public GlobalsTest {
protected:
    EngineTest() : engine(&globals.Reporter(), &window) {
        engine.Settings->DesignHeadEnd = true;
        // The run's stages are what these tests look at, not the head end drawn.
        engine.headEnd = Passes();
        window.project.Name = "Impianto.ant";
        auto oldOwned = std::make_unique<TChiusura>(nullptr, 0, 0, 5, 5, 1);
        old = oldOwned.get();
        window.project.NetworkGrid->InsertCell(std::move(oldOwned), false, 0);
    }
    StandInWindow window;
    StagedEngine engine;
    TCella* old = nullptr;
};

TEST_F(EngineTest, MadeAndFreedWithCellsInEveryWorkGridAndAntennaSlot) {
    auto* e = new TCreaAuto(&globals.Reporter());
    DesignComponents(*e->Components).Splitter(1, 2, 3.5f, 4.0f);
    auto fill = [](std::unique_ptr<TGridData>& grid) {
        grid = std::make_unique<TGridData>(nullptr, 20, 20, GridWork);
        grid->InsertCell(std::make_unique<TChiusura>(nullptr, 0, 0, 3, 3, 1), false, 0);
    };
    for (auto& g : e->StaircaseGrid) fill(g);
    for (auto& s : e->FloorGrid)
        for (auto& f : s)
            for (auto& g : f) fill(g);
    for (auto& g : e->ApartmentGrid) fill(g);
    for (auto& g : e->WorkGrids) g->InsertCell(std::make_unique<TChiusura>(nullptr, 0, 0, 3, 3, 1), false, 0);
    for (auto& a : e->Antennas) a.Cell = std::make_unique<TChiusura>(nullptr, 0, 0, 0, 0, 1);
    e->CableTemplate->Owner = e->WorkGrids[0].get();

    e->Reset();
    for (auto& g : e->StaircaseGrid) EXPECT_FALSE(g);
    for (auto& s : e->FloorGrid)
        for (auto& f : s)
            for (auto& g : f) EXPECT_FALSE(g);
    for (auto& g : e->ApartmentGrid) EXPECT_FALSE(g);
    for (auto& a : e->Antennas) EXPECT_FALSE(a.Cell);
    EXPECT_EQ(e->EntryInputsTer, 0);
    EXPECT_EQ(e->EntryInputsSat, 0);
    EXPECT_EQ(e->FamilyCount[0] + e->FamilyCount[1], 0);
    // The kept state stays: work grids, cables, the component list.
    EXPECT_TRUE(e->WorkGrids[0]->HasComponents());
    EXPECT_NE(e->Components->head, nullptr);

    for (auto& a : e->Antennas) a.Cell = std::make_unique<TChiusura>(nullptr, 0, 0, 0, 0, 1);
    fill(e->FloorGrid[3][11][1]);
    delete e;  // the sanitizer build sees every cell freed once
}

TEST_F(EngineTest, ResetFillsTheColourTablesOnlyWithColouredCables) {
    for (bool coloured : {true, false}) {
        globals.Settings().WriteString("APCaviColorati", coloured ? "1" : "0");
        globals.Settings().WriteString("APColore1", "255");
        TCreaAuto e(&globals.Reporter());
        const int32_t one = coloured ? 255 : 0;
        for (const auto& table : e.ColourTable) EXPECT_EQ(table[1], one) << coloured;
        EXPECT_EQ(e.ColourTable[2][8], coloured ? 0x800000 : 0);
        EXPECT_EQ(e.LineColour[1], one);
        EXPECT_EQ(e.LineColour[9], e.ColourTable[0][8]);
        EXPECT_EQ(e.NetworkColour[1], one);
        EXPECT_EQ(e.LineIsTerrestrial[0], 1);
        for (int i = 1; i < LineTableSize; ++i) EXPECT_EQ(e.LineIsTerrestrial[i], 0);
    }
}

TEST_F(EngineTest, RunStagesAsSeenByTheMainWindow) {
    struct Case {
        const char* name;
        Stage inputs, network, headEnd;
        bool result;
        std::vector<std::string> calls;
        const char* message;  // the one message box, "" for none
    };
    // clang-format off
    const Case cases[] = {
        {"input check fails", Reports("Manca qualcosa.", false), Passes(), Passes(), false, {}, "Manca qualcosa."},
        {"network fails", Passes(), Reports("Rete impossibile.", false), Passes(), false, {"reset", "reset", "show"},
         "Rete impossibile."},
        {"head end fails", Passes(), Passes(), Reports("Testa impossibile.", false), false,
         {"reset", "reset", "show"}, "Testa impossibile."},
        {"two stages report", Passes(), Reports("Primo.", true), Reports("Secondo.", false), false,
         {"reset", "reset", "show"}, "Primo."},
        {"success", Passes(), Passes(), Passes(), true, {"reset", "show", "after-load"}, ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Application->Script().Reset();
        window.calls.clear();
        window.project.Reset(true);
        window.project.Name = "Impianto.ant";
        auto oldOwned = std::make_unique<TChiusura>(nullptr, 0, 0, 5, 5, 1);
        old = oldOwned.get();
        window.project.NetworkGrid->InsertCell(std::move(oldOwned), false, 0);
        window.project.DesignPending = true;
        engine.inputs = c.inputs;
        engine.network = c.network;
        engine.headEnd = c.headEnd;

        EXPECT_EQ(engine.Run(), c.result);
        EXPECT_EQ(window.calls, c.calls);
        EXPECT_FALSE(window.progressVisible);
        EXPECT_FALSE(globals.Reporter().enabled);
        EXPECT_EQ(window.messagesProcessed > 0, true);
        const auto& boxes = Application->Script().MessageBoxes;
        if (*c.message) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].Text, c.message);
            EXPECT_EQ(boxes[0].Caption, "Ordivex Varne");
        } else {
            EXPECT_TRUE(boxes.empty());
        }
        if (c.calls.empty()) {
            // The open project is untouched.
            EXPECT_EQ(window.project.Name, "Impianto.ant");
            EXPECT_EQ(window.project.NetworkGrid->CellAt(5, 5), old);
            EXPECT_TRUE(window.project.DesignPending);
        } else {
            EXPECT_EQ(window.shown, &window.project);
            EXPECT_EQ(window.project.Name, UntitledProjectName);
            EXPECT_FALSE(window.project.NetworkGrid->HasComponents());
            EXPECT_FALSE(window.project.DesignPending);
        }
    }
}

TEST_F(EngineTest, ProgressMaximumCountsStaircasesFloorsAndApartments) {
    struct Case {
        std::vector<std::vector<int32_t>> staircases;  // apartments of each floor
        bool network;
        int32_t expected;
    };
    // clang-format off
    const Case cases[] = {
        {{{3, 3}}, true, 9},
        {{{2, 2, 2}, {2}}, true, 14},
        {{{3, 3}}, false, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        TPalazzo& b = *engine.Settings->Building;
        b.StaircaseCount = static_cast<int32_t>(c.staircases.size());
        for (size_t s = 0; s < c.staircases.size(); ++s) {
            b.Staircases[s].FloorCount = static_cast<int32_t>(c.staircases[s].size());
            for (size_t f = 0; f < c.staircases[s].size(); ++f)
                b.Staircases[s].Floors[f].ApartmentCount = c.staircases[s][f];
        }
        engine.Settings->DesignNetwork = c.network;
        engine.inputs = Reports("stop", false);
        engine.Run();
        EXPECT_EQ(window.progressMaximum, c.expected);
    }
}

TEST_F(EngineTest, HeadEndAloneIsSizedForTheSettingsLevels) {
    for (bool stored : {false, true}) {
        // Written as the settings store writes a number.
        if (stored) globals.Settings().WriteFloat("APSigReqCtTer", 98.5f);
        StandInWindow w;
        StagedEngine e(&globals.Reporter(), &w);
        e.inputs = Passes();
        e.headEnd = Passes();
        e.Settings->DesignNetwork = false;
        e.Settings->DesignHeadEnd = true;
        ASSERT_TRUE(e.Run());
        EXPECT_FLOAT_EQ(e.RequiredLevelTer, stored ? 98.5f : 110.0f);
        EXPECT_FLOAT_EQ(e.RequiredLevelSat, 110.0f);
        EXPECT_EQ(w.progressMaximum, 0);
    }
}

TEST_F(EngineTest, BuildingOutsideTheDesignLimitsIsRefusedBeforeTheProjectIsTouched) {
    struct Case {
        const char* name;
        std::function<void(TPalazzo&)> change;
        bool passes;
    };
    auto apartment = [](TPalazzo& b) -> TAppartamento& { return b.Staircases[0].Floors[0].Apartments[0]; };
    // clang-format off
    const Case cases[] = {
        {"5 staircases", [](TPalazzo& b) { b.StaircaseCount = 5; }, false},
        {"0 staircases", [](TPalazzo& b) { b.StaircaseCount = 0; }, false},
        {"13 floors", [](TPalazzo& b) { b.Staircases[0].FloorCount = 13; }, false},
        {"7 apartments", [](TPalazzo& b) { b.Staircases[0].Floors[0].ApartmentCount = 7; }, false},
        {"16 terrestrial outlets", [&](TPalazzo& b) { apartment(b).TerrOutlets = 16; }, false},
        {"satellite layout -1", [&](TPalazzo& b) { apartment(b).SatLayout = -1; }, false},
        {"satellite layout 8", [&](TPalazzo& b) { apartment(b).SatLayout = 8; }, false},
        {"distance -1", [](TPalazzo& b) { b.Staircases[0].FloorSpacing = -1; }, false},
        {"largest building",
         [](TPalazzo& b) {
             b.StaircaseCount = 4;
             for (int s = 0; s < 4; ++s) {
                 b.Staircases[s].FloorCount = 12;
                 for (int f = 0; f < 12; ++f) {
                     b.Staircases[s].Floors[f].ApartmentCount = 6;
                     for (TAppartamento& a : b.Staircases[s].Floors[f].Apartments)
                         a = TAppartamento{15, 15, 7, 7, 5, 5};
                 }
             }
         },
         true},
        {"floor of 0 apartments", [](TPalazzo& b) { b.Staircases[0].Floors[0].ApartmentCount = 0; }, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Application->Script().Reset();
        window.calls.clear();
        engine.Settings->Building->Reset();
        c.change(*engine.Settings->Building);
        bool checked = false;
        engine.inputs = [&](TCreaAuto&) { return checked = true; };
        engine.network = Passes();
        EXPECT_EQ(engine.Run(), c.passes);
        EXPECT_EQ(checked, c.passes);
        if (!c.passes) {
            EXPECT_EQ(ShownMessage(), BuildingLimitsMessage);
            EXPECT_TRUE(window.calls.empty());
            EXPECT_EQ(window.project.NetworkGrid->CellAt(5, 5), old);
        }
    }
}

TEST_F(EngineTest, TheProgramSettingsAreTheEngines) {
    CreaAuto = &engine;
    EXPECT_EQ(&DesignSettings(), engine.Settings.get());
    auto loaded = std::make_unique<TOpzProgetto>();
    loaded->Building->StaircaseCount = 3;
    SwapDesignSettings(loaded);
    EXPECT_EQ(engine.Settings->Building->StaircaseCount, 3);
    EXPECT_EQ(loaded->Building->StaircaseCount, 1);
    CreaAuto = nullptr;
    EXPECT_NE(&DesignSettings(), engine.Settings.get());
}

}  // namespace
