// Whole staircases on the default library: every apartment, floor and riser
// of the wizard's installation kinds built, sized and assembled in the
// staircase's own grid, which must pass the connectivity analysis with every
// outlet in it and nothing refused or displaced on the way.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/grid.h"
#include "autodesign/engine.h"
#include "cells/cell.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "platform/application.h"
#include "support/default_library_folder.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

constexpr int32_t EntryAnchor = 52, ExitAnchor = 53;

// A wizard installation: which signals, satellite cables, and how they go.
struct Installation {
    bool ter, sat;
    int32_t cables;
    bool separate, alongStaircase, radial;
};

// Staircase 0: floors x apartments, each with these outlets and layouts.
struct Building {
    int32_t floors, apartments;
    int32_t terOutlets, satOutlets, terLayout, satLayout;
};

class StaircaseAssemblyTest : public GlobalsTest {
protected:
    StaircaseAssemblyTest() : engine(&globals.Reporter()) {
        RegisterDefaultLibrary(libraries.Get());
        for (std::unique_ptr<TCella>& cell : BuildDefaultArticles()) {
            cell->Described = 1;
            engine.Components->Insert(cell.release());
        }
        const std::vector<AnsiString> texts = DefaultSelectionTexts();
        for (int p = 0; p < CableTextCount; ++p) engine.Settings->CableTexts[p] = texts[static_cast<size_t>(p) + 1];
    }
    void Set(const Installation& v, const Building& b) {
        TOpzProgetto& o = *engine.Settings;
        o.Terrestrial = v.ter;
        o.Satellite = v.sat;
        o.SatelliteCables = v.cables;
        o.SeparateDistributions = v.separate;
        o.MultiswitchAlongStaircase = v.alongStaircase;
        o.Radial = v.radial;
        o.DesignNetwork = true;
        o.DesignHeadEnd = false;
        TPalazzo& building = *o.Building;
        building.StaircaseCount = 1;
        TScala& s = building.Staircases[0];
        s.FloorCount = b.floors;
        for (int32_t f = 0; f < b.floors; ++f) {
            s.Floors[f].ApartmentCount = b.apartments;
            for (int32_t a = 0; a < b.apartments; ++a) {
                TAppartamento& apt = s.Floors[f].Apartments[a];
                apt.TerrOutlets = b.terOutlets;
                apt.SatOutlets = b.satOutlets;
                apt.TerrLayout = b.terLayout;
                apt.SatLayout = b.satLayout;
            }
        }
    }
    // The stages up to the assembly; the message of the first that fails.
    AnsiString Design() {
        const AnsiString checked = RunInputCheck(engine, true);
        if (!checked.empty()) return "input check: " + checked;
        if (!engine.DesignStaircases()) return ShownMessage();
        for (int32_t s = 0; s < engine.Settings->Building->StaircaseCount; ++s)
            EXPECT_TRUE(engine.AssembleStaircase(s));
        return ShownMessage();
    }
    std::map<int32_t, int> Census(const TGridData& grid) {
        std::map<int32_t, int> count;
        for (int32_t r = 0; r < grid.Rows; ++r)
            for (int32_t c = 0; c < grid.Columns; ++c)
                if (TCella* cell = grid.CellAt(c, r); cell && cell->Column == c && cell->Row == r)
                    ++count[cell->TypeCode];
        return count;
    }
    // The outlets the signal reaches from the entries on row 0, through the
    // links the analysis made.
    int OutletsReached(const TGridData& grid) {
        std::vector<TCella*> todo;
        std::set<TCella*> seen;
        for (int32_t c = 0; c < grid.Columns; ++c)
            if (TCella* cell = grid.CellAt(c, 0); cell && cell->TypeCode == EntryAnchor) todo.push_back(cell);
        int outlets = 0;
        while (!todo.empty()) {
            TCella* cell = todo.back();
            todo.pop_back();
            if (!seen.insert(cell).second) continue;
            if (cell->TypeCode == 14 || cell->TypeCode == 15 || cell->TypeCode == 54) ++outlets;
            for (TCella* next : cell->OutputCell)
                if (next) todo.push_back(next);
        }
        return outlets;
    }
    int32_t EntriesOnRow0(const TGridData& grid) {
        int32_t n = 0;
        for (int32_t c = 0; c < grid.Columns; ++c)
            if (TCella* cell = grid.CellAt(c, 0); cell && cell->TypeCode == EntryAnchor) ++n;
        return n;
    }
    ScopedLibraries libraries;
    TCreaAuto engine;
};

TEST_F(StaircaseAssemblyTest, ReferenceStaircasesOfTheDefaultLibrary) {
    struct Case {
        const char* what;
        Installation installation;
        Building building;
        int32_t outletsPerApartment;
        int32_t entries;  // on row 0
    };
    const Case cases[] = {
        {"T only, 12 floors x 6 apartments, 2 outlets in 2 lines", {true, false, 1, false, false, false},
         {12, 6, 2, 0, 2, 0}, 2, 1},
        {"T+S single cable joined, 5 floors x 3", {true, true, 1, false, false, false}, {5, 3, 1, 1, 0, 0}, 1, 1},
        {"T+S single cables apart, 4 floors x 2", {true, true, 1, true, false, false}, {4, 2, 2, 1, 0, 0}, 3, 2},
        {"4 cables joined along the staircase, 6 floors x 4", {true, true, 4, false, true, false},
         {6, 4, 1, 1, 0, 0}, 1, 5},
        {"S only, 8 cables radial, 3 floors x 2", {false, true, 8, false, false, true}, {3, 2, 0, 2, 0, 0}, 2, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Set(c.installation, c.building);
        EXPECT_EQ(Design(), "");
        TGridData* grid = engine.StaircaseGrid[0].get();
        if (!grid) {
            ADD_FAILURE() << "no staircase grid";
            continue;
        }
        EXPECT_TRUE(grid->Analyse(false));
        EXPECT_EQ(engine.InsertionSlips(), 0);
        std::map<int32_t, int> census = Census(*grid);
        int outlets = census[14] + census[15] + census[54];
        EXPECT_EQ(outlets, c.building.floors * c.building.apartments * c.outletsPerApartment);
        EXPECT_EQ(OutletsReached(*grid), outlets);
        EXPECT_EQ(census[ExitAnchor], 0);
        EXPECT_EQ(EntriesOnRow0(*grid), c.entries);
        EXPECT_EQ(census[EntryAnchor], c.entries);
    }
}

}  // namespace
