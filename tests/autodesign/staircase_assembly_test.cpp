// Whole staircases on the default library: every apartment, floor and riser
// of the wizard's installation kinds built, sized and assembled in the
// staircase's own grid, which must pass the connectivity analysis with every
// outlet in it and nothing refused or displaced on the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/cell.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "platform/application.h"
#include "support/default_library_folder.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

constexpr int32_t EntryAnchor = 52, ExitAnchor = 53;
const char* const TooHigh =
    "Non è possibile dimensionare le scale in quanto è richiesto un segnale troppo elevato dalla centrale di "
    "testa.";
const char* const LevelsTooFarApart =
    "Non è possibile dimensionare le scale in quanto le prese richiedono livelli troppo diversi tra loro: "
    "nessun "
    "segnale in testa alla scala le porta tutte entro i livelli ammessi.";

// A refusal's first sentence, checked to be followed by the figures that
// say where and by how much (a level in dBµV).
const char* const NeedsSplits =
    "L'impianto multiswitch richiesto non può essere realizzato senza spezzature.";
AnsiString Lead(const AnsiString& message) {
    for (const char* lead : {TooHigh, LevelsTooFarApart, NeedsSplits})
        if (message.starts_with(lead)) {
            const AnsiString rest = message.substr(strlen(lead));
            EXPECT_NE(rest.find(" dBµV"), AnsiString::npos) << message;
            EXPECT_NE(rest.find("scala "), AnsiString::npos) << message;
            return lead;
        }
    return message;
}

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
            engine.Components->Insert(std::move(cell));
        }
        const std::vector<AnsiString> texts = DefaultSelectionTexts();
        for (int p = 0; p < CableTextCount; ++p)
            engine.Settings->CableTexts[p] = texts[static_cast<size_t>(p) + 1];
    }
    // Staircase 1, when secondFloors is above 0, is staircase 0 with that many floors.
    void Set(const Installation& v, const Building& b, int32_t secondFloors = 0) {
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
        building.StaircaseCount = secondFloors > 0 ? 2 : 1;
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
        if (secondFloors > 0) {
            building.Staircases[1] = s;
            building.Staircases[1].FloorCount = secondFloors;
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
    // The staircase grid passes the analysis, every outlet of the building
    // is in it and reached from the entries on row 0, no exit anchor is left
    // unjoined, and nothing was refused or displaced.
    // Odd apartments stand mirrored left of the riser: their outlets there.
    void ExpectSound(int32_t outlets, int32_t entries, int32_t leftOutlets = -1, int32_t s = 0) {
        SCOPED_TRACE("staircase " + std::to_string(s));
        TGridData* grid = engine.StaircaseGrid[s].get();
        if (!grid) {
            ADD_FAILURE() << "no staircase grid";
            return;
        }
        EXPECT_TRUE(grid->Analyse(false));
        EXPECT_EQ(engine.InsertionSlips(), 0);
        std::map<int32_t, int> census = Census(*grid);
        EXPECT_EQ(census[14] + census[15] + census[54], outlets);
        EXPECT_EQ(OutletsReached(*grid), outlets);
        EXPECT_EQ(census[ExitAnchor], 0);
        EXPECT_EQ(EntriesOnRow0(*grid), entries);
        EXPECT_EQ(census[EntryAnchor], entries);
        if (leftOutlets < 0) return;
        const int32_t riser =
            std::min(engine.LineCount[0] > 0 ? engine.RiserEntryColumn[s][0] : grid->Columns,
                     engine.LineCount[1] > 0 ? engine.RiserEntryColumn[s][1] : grid->Columns);
        int32_t left = 0;
        for (int32_t r = 0; r < grid->Rows; ++r)
            for (int32_t c = 0; c < riser; ++c)
                if (TCella* cell = grid->CellAt(c, r);
                    cell && cell->Column == c && cell->Row == r &&
                    (cell->TypeCode == 14 || cell->TypeCode == 15 || cell->TypeCode == 54))
                    ++left;
        EXPECT_EQ(left, leftOutlets);
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
    // clang-format off
    const Case cases[] = {
        {"T only, 12 floors x 6 apartments, 2 outlets in 2 lines", {true, false, 1, false, false, false},
         {12, 6, 2, 0, 2, 0}, 2, 1},
        {"T+S single cable joined, 5 floors x 3", {true, true, 1, false, false, false}, {5, 3, 1, 1, 0, 0}, 1, 1},
        {"T+S single cables apart, 4 floors x 2", {true, true, 1, true, false, false}, {4, 2, 2, 1, 0, 0}, 3, 2},
        {"4 cables joined along the staircase, 6 floors x 4", {true, true, 4, false, true, false},
         {6, 4, 1, 1, 0, 0}, 1, 5},
        {"4 cables in the apartment, 4 floors x 2", {true, true, 4, true, false, false}, {4, 2, 1, 2, 0, 0}, 3, 5},
        {"S only, 8 cables radial, 3 floors x 2", {false, true, 8, false, false, true}, {3, 2, 0, 2, 0, 0}, 2, 6},
        {"S only single cable, 3 floors x 5", {false, true, 1, false, false, false}, {3, 5, 0, 2, 0, 2}, 2, 1},
        {"S only, 2 cables along the staircase, 5 floors x 6", {false, true, 2, false, true, false},
         {5, 6, 0, 1, 0, 0}, 1, 2},
        {"8 cables joined along the staircase, 4 floors x 3", {true, true, 8, false, true, false},
         {4, 3, 1, 2, 0, 0}, 2, 9},
        {"T apart, 2 cables along the staircase, 3 floors x 4", {true, true, 2, true, true, false},
         {3, 4, 2, 1, 2, 0}, 3, 3},
        {"2 cables joined in the apartment, 3 floors x 3", {true, true, 2, false, false, false},
         {3, 3, 1, 3, 0, 0}, 3, 3},
        {"T apart, 4 cables radial, 3 floors x 2", {true, true, 4, true, false, true}, {3, 2, 1, 1, 0, 0}, 2, 7},
        {"4 cables joined radial, 2 floors x 3", {true, true, 4, false, false, true}, {2, 3, 1, 1, 0, 0}, 1, 6},
        {"S only, 4 cables radial to single outlets: an entry for each", {false, true, 4, false, false, true},
         {1, 1, 0, 3, 0, 7}, 3, 3},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Set(c.installation, c.building);
        EXPECT_EQ(Design(), "");
        ExpectSound(c.building.floors * c.building.apartments * c.outletsPerApartment, c.entries,
                    c.building.floors * (c.building.apartments / 2) * c.outletsPerApartment);
    }
}

// From a head end that feeds the whole riser down to one that feeds nothing,
// 2 dB at a time: every level gives a sound staircase (whole, split once at
// (F - 1) / 2 or twice at (F - 3) / 3 and (F - 2) / 3 + that + 1, each split
// passive or with a riser of its own) or the message that the head end
// cannot feed it; each of those outcomes occurs.
TEST_F(StaircaseAssemblyTest, RiserSplitsFromAStrongHeadEndToAWeakOne) {
    struct Case {
        const char* what;
        Installation installation;
        Building building;
        int kind;
        int32_t outletsPerApartment;
        bool cheapSplitterOf4;  // a lossless splitter of 4 outputs makes two splits passive
        int32_t secondFloors;   // a second, shorter staircase
        bool aligned;           // floors aligned between the staircases
    };
    // clang-format off
    const Case cases[] = {
        {"T only, 12 floors x 6", {true, false, 1, false, false, false}, {12, 6, 2, 0, 2, 0}, 0, 2, false, 0, false},
        {"S only single cable, 9 floors x 4", {false, true, 1, false, false, false}, {9, 4, 0, 3, 0, 0}, 1, 3, false,
         0, false},
        {"T+S apart, 10 and 7 floors x 3, aligned", {true, true, 1, true, false, false}, {10, 3, 1, 1, 0, 0}, 0, 2,
         false, 7, true},
        {"T only with a lossless splitter of 4, 12 and 8 floors", {true, false, 1, false, false, false},
         {12, 6, 2, 0, 2, 0}, 0, 2, true, 8, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.cheapSplitterOf4) DesignComponents(*engine.Components).Splitter(1, 4, 0.0f, 0.0f);
        std::map<std::string, int> seen;
        for (float level = 140.0f; level > 40.0f; level -= 2.0f) {
            SCOPED_TRACE(level);
            Set(c.installation, c.building, c.secondFloors);
            engine.Settings->APPianiAllineatiTraScale = c.aligned;
            engine.Settings->APMaxSigTer = engine.Settings->APMaxSigSat = level;
            const AnsiString message = Design();
            if (!message.empty()) {
                EXPECT_EQ(Lead(message), TooHigh);
                ++seen["too high"];
                continue;
            }
            for (int32_t st = 0; st < (c.secondFloors > 0 ? 2 : 1); ++st) {
                SCOPED_TRACE("staircase " + std::to_string(st));
                const int32_t F = st == 0 ? c.building.floors : c.secondFloors;
                // The sizing as the assembly found it: a passive split is
                // drawn with one entry and reported as no split.
                const bool passive = engine.PassiveSplit[st][c.kind] != 0;
                int32_t splits = engine.RiserBreakCount[st][c.kind];
                if (passive) {
                    EXPECT_EQ(splits, 0);
                    splits = engine.RiserBreakFloor[st][c.kind][1] != 0 ? 2 : 1;
                }
                std::vector<int32_t> floors(engine.RiserBreakFloor[st][c.kind],
                                            engine.RiserBreakFloor[st][c.kind] + splits);
                if (splits == 1) EXPECT_EQ(floors, (std::vector<int32_t>{(F - 1) / 2}));
                if (splits == 2)
                    EXPECT_EQ(floors, (std::vector<int32_t>{(F - 3) / 3, (F - 2) / 3 + (F - 3) / 3 + 1}));
                ++seen[std::to_string(splits) + (passive ? " passive" : "")];
                if (passive) {
                    // The entry moved one right onto the splitter's column.
                    const TGridData& grid = *engine.StaircaseGrid[st];
                    const int32_t entry = engine.RiserEntryColumn[st][c.kind];
                    TCella* splitter = grid.CellAt(entry, 1);
                    for (int32_t r = 2; splitter && splitter->TypeCode == 81 && r < grid.Rows; ++r)
                        splitter = grid.CellAt(entry, r);
                    ASSERT_NE(splitter, nullptr);
                    EXPECT_EQ(splitter->TypeCode, 3);
                    EXPECT_EQ(splitter->TapOutputs, 2 * splits);
                    EXPECT_EQ(grid.CellAt(entry, 0)->TypeCode, EntryAnchor);
                }
                // Each line of each kind enters once, and once more for each split not passive.
                int32_t entries = 0;
                for (int k = 0; k < SignalKinds; ++k)
                    entries += engine.LineCount[k] * (engine.RiserBreakCount[st][k] + 1);
                ExpectSound(F * c.building.apartments * c.outletsPerApartment, entries,
                            F * (c.building.apartments / 2) * c.outletsPerApartment, st);
            }
        }
        std::string outcomes;
        for (const auto& [outcome, count] : seen) outcomes += outcome + "; ";
        EXPECT_TRUE(seen.count("0") && seen.count("too high")) << outcomes;
        EXPECT_TRUE(seen.count("1") || seen.count("1 passive")) << outcomes;
        EXPECT_TRUE(seen.count("2") || seen.count("2 passive")) << outcomes;
        if (c.cheapSplitterOf4) EXPECT_TRUE(seen.count("2 passive")) << outcomes;
    }
}

// A riser of several multiswitch lines to the apartments' own multiswitches
// cannot be split: a staircase head too far from the head end gets the
// message, a nearer one a sound staircase.
TEST_F(StaircaseAssemblyTest, AMultiswitchRiserIsNeverSplit) {
    std::map<std::string, int> seen;
    for (int32_t distance : {0, 100, 200, 400, 800}) {
        SCOPED_TRACE(distance);
        Set({true, true, 4, true, false, false}, {8, 4, 1, 2, 0, 0});
        engine.Settings->Building->Staircases[0].HeadEndDistance = distance;
        const AnsiString message = Design();
        ++seen[Lead(message)];
        if (!message.empty()) continue;
        EXPECT_EQ(engine.RiserBreakCount[0][1], 0);
        ExpectSound(8 * 4 * 3, 5 + engine.RiserBreakCount[0][0], 8 * 2 * 3);
    }
    std::string outcomes;
    for (const auto& [outcome, count] : seen) outcomes += outcome + " x" + std::to_string(count) + "; ";
    EXPECT_EQ(seen.size(), 2u) << outcomes;
    EXPECT_TRUE(seen.count("")) << outcomes;
    EXPECT_TRUE(seen.count(NeedsSplits)) << outcomes;
}

// Floors of different apartment counts, empty ones among them, and of
// different outlets and layouts on one staircase, for every kind of
// installation: each staircase is sound.
TEST_F(StaircaseAssemblyTest, MixedFloorsOfEveryInstallation) {
    // clang-format off
    const Installation installations[] = {
        {true, false, 1, false, false, false}, {false, true, 1, false, false, false},
        {true, true, 1, false, false, false},  {true, true, 1, true, false, false},
        {true, true, 4, false, true, false},   {false, true, 2, false, true, false},
        {true, true, 4, true, false, false},   {true, true, 2, false, false, false},
        {true, true, 4, true, false, true},    {false, true, 8, false, false, true},
    };
    // clang-format on
    // Apartments of each floor from floor 0 up.
    const std::vector<std::vector<int32_t>> shapes = {
        {0, 3, 1, 6, 2}, {5, 0, 0, 4}, {1}, {2, 6, 3, 5, 1, 0, 4}, {6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 6},
        {0, 6}};
    for (const Installation& v : installations)
        for (const std::vector<int32_t>& shape : shapes) {
            SCOPED_TRACE(::testing::Message()
                         << "ter " << v.ter << " sat " << v.sat << " cables " << v.cables << " separate "
                         << v.separate << " staircase " << v.alongStaircase << " radial " << v.radial
                         << " floors " << shape.size());
            Set(v, {static_cast<int32_t>(shape.size()), 1, 1, 1, 0, 0});
            engine.Settings->APMaxSigTer = engine.Settings->APMaxSigSat = 160.0f;
            TScala& s = engine.Settings->Building->Staircases[0];
            int32_t outlets = 0, left = 0;
            for (size_t f = 0; f < shape.size(); ++f) {
                s.Floors[f].ApartmentCount = shape[f];
                for (int32_t a = 0; a < shape[f]; ++a) {
                    TAppartamento& apt = s.Floors[f].Apartments[a];
                    apt.TerrOutlets = v.ter ? 1 + static_cast<int32_t>(f) % 3 : 0;
                    apt.SatOutlets = v.sat ? 1 + static_cast<int32_t>(f) % 2 : 0;
                    apt.TerrLayout = f % 3 == 2 ? 2 : 0;
                    apt.SatLayout = v.radial && f % 2 == 1 ? DesignLayoutMax : 0;
                    // Joined on one cable, the outlets of the terrestrial part serve both.
                    const bool joined = v.ter && v.sat && !v.separate;
                    const int32_t n = (joined && v.cables == 1) ? apt.TerrOutlets
                                      : joined                  ? apt.SatOutlets
                                                                : apt.TerrOutlets + apt.SatOutlets;
                    outlets += n;
                    if (a % 2 == 1) left += n;
                }
            }
            const AnsiString message = Design();
            // A multiswitch riser to the apartments is never split: a tall one
            // may ask for more than the line amplifiers give.
            const bool apartmentSwitches = v.cables > 1 && !v.alongStaircase && !v.radial;
            if (apartmentSwitches && shape.size() == 12) {
                EXPECT_EQ(Lead(message), NeedsSplits);
                continue;
            }
            // Along the staircase twelve floors need an amplifier group, and
            // two lines have none (see below).
            if (v.alongStaircase && v.cables == 2 && shape.size() == 12) {
                EXPECT_EQ(Lead(message), LevelsTooFarApart);
                continue;
            }
            EXPECT_EQ(message, "");
            if (!message.empty()) continue;
            int32_t entries = 0;
            for (int k = 0; k < SignalKinds; ++k)
                entries += engine.LineCount[k] * (engine.RiserBreakCount[0][k] + 1);
            if (v.radial) entries += engine.RadialOutputs[0] - engine.LineCount[1];
            ExpectSound(outlets, entries, left);
        }
}

}  // namespace

namespace {

// A staircase is designed only with a level its head can be fed at: a riser
// fed whole records a real required level for every kind it carries; where
// no level at the head serves every outlet below (an empty required window)
// the riser is split, and what still cannot be fed ends with the message of
// its cause: outlets asking for levels too far apart, or a head end too weak.
TEST_F(StaircaseAssemblyTest, AStaircaseWithoutARequiredLevelIsNeverDesigned) {
    struct Case {
        const char* what;
        Installation installation;
        Building building;
        std::vector<std::vector<int32_t>>
            terOutlets;  // per floor from 0 up, per apartment; empty: as building
        int32_t headEndDistance;
        float maxSignal;  // the head end's best level; 0: the settings'
        const char* message;
        bool oneEndTapOfTwo = false;  // the library without its end taps of 10 and 14 dB
    };
    const std::vector<int32_t> five = {2, 3, 1, 2, 3};
    const Installation terOnly = {true, false, 1, false, false, false};
    const Installation alongStaircase = {true, true, 4, false, true, false};
    // Floor 0's end tap under floor 1's five apartments: with the library's
    // end tap of two outputs of 4.3 dB the two floors' windows miss each
    // other by a fraction of a dB. Two to five floors are split between
    // them; six and seven split at floors 1 and 3 (and 1 and 4), which keeps
    // them in one piece: they take an end tap of more loss, which lifts
    // floor 0's window to floor 1's. The rows without those end taps go
    // last: they leave the component list without them.
    // clang-format off
    const Case cases[] = {
        {"T only, 2 floors, an end tap under five apartments", terOnly, {2, 1, 1, 0, 0, 0}, {{1, 2}, five}, 0, 0, ""},
        {"T only, 6 floors of it", terOnly, {6, 1, 1, 0, 0, 0}, {{1, 2}, five, five, five, five, five}, 0, 0, ""},
        {"T only, 7 floors of it", terOnly, {7, 1, 1, 0, 0, 0}, {{1, 2}, five, five, five, five, five, five}, 0, 0,
         ""},
        {"T only, 2 floors of it, a weak head end", terOnly, {2, 1, 1, 0, 0, 0}, {{1, 2}, five}, 0, 60, TooHigh},
        {"4 cables along the staircase, 12 x 6, head end beside it", alongStaircase, {12, 6, 1, 1, 0, 0}, {}, 0, 0, ""},
        {"4 cables along the staircase, 12 x 6, head end at 800 m", alongStaircase, {12, 6, 2, 2, 0, 0}, {}, 800, 0,
         ""},
        {"4 cables along the staircase, 3 x 2", alongStaircase, {3, 2, 1, 1, 0, 0}, {}, 0, 0, ""},
        {"T only, 6 floors of it, one end tap of two outputs", terOnly, {6, 1, 1, 0, 0, 0},
         {{1, 2}, five, five, five, five, five}, 0, 0, LevelsTooFarApart, true},
        {"T only, 7 floors of it, one end tap of two outputs", terOnly, {7, 1, 1, 0, 0, 0},
         {{1, 2}, five, five, five, five, five, five}, 0, 0, LevelsTooFarApart, true},
    };
    // clang-format on
    const float maxTer = engine.Settings->APMaxSigTer, maxSat = engine.Settings->APMaxSigSat;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.oneEndTapOfTwo)
            engine.Components->RemoveIf([](const TCella& cell) {
                return cell.TypeCode == CodeDerivatoreN && cell.TapOutputs == 2 && cell.Code != "GDN-2";
            });
        Set(c.installation, c.building);
        TScala& st = engine.Settings->Building->Staircases[0];
        st.HeadEndDistance = c.headEndDistance;
        engine.Settings->APMaxSigTer = c.maxSignal > 0 ? c.maxSignal : maxTer;
        engine.Settings->APMaxSigSat = c.maxSignal > 0 ? c.maxSignal : maxSat;
        for (size_t f = 0; f < c.terOutlets.size(); ++f) {
            st.Floors[f].ApartmentCount = static_cast<int32_t>(c.terOutlets[f].size());
            for (size_t a = 0; a < c.terOutlets[f].size(); ++a)
                st.Floors[f].Apartments[a].TerrOutlets = c.terOutlets[f][a];
        }
        const AnsiString message = Design();
        EXPECT_EQ(Lead(message), c.message);
        if (!message.empty()) continue;
        if (c.installation.alongStaircase) {
            EXPECT_TRUE(IsRealLevel(engine.StaircaseRequiredLevel[0][1]))
                << engine.StaircaseRequiredLevel[0][1];
            EXPECT_TRUE(IsRealLevel(engine.StaircaseRequiredLevel[0][0]))
                << engine.StaircaseRequiredLevel[0][0];
        } else if (engine.RiserBreakCount[0][0] == 0 && !engine.PassiveSplit[0][0]) {
            EXPECT_TRUE(IsRealLevel(engine.StaircaseRequiredLevel[0][0]))
                << engine.StaircaseRequiredLevel[0][0];
        }
    }
}

}  // namespace
namespace {

// Along the staircase an amplifier group regenerates the level for the floors
// below it: the floors above are in trouble only for what lies between them
// and the group. Each group once took the group's own gain for an imbalance
// of every floor above it, so that every floor from the first group up took
// one, and the chain of groups left the top floor no level at all.
TEST_F(StaircaseAssemblyTest, AmplifierGroupsDoNotFollowOneAnother) {
    for (int32_t outlets : {1, 3}) {
        SCOPED_TRACE(outlets);
        Set({true, true, 4, true, true, false}, {12, 6, outlets, outlets, 0, 0});
        EXPECT_EQ(Design(), "");
        EXPECT_TRUE(IsRealLevel(engine.StaircaseRequiredLevel[0][1])) << engine.StaircaseRequiredLevel[0][1];
        int32_t groups = 0;
        for (int32_t f = 0; f < 12; ++f) {
            groups += engine.LineAmplifierFloor[0][f];
            if (f > 0)
                EXPECT_FALSE(engine.LineAmplifierFloor[0][f] && engine.LineAmplifierFloor[0][f - 1]) << f;
        }
        EXPECT_GE(groups, 1);
        int32_t entries = 0;
        for (int k = 0; k < SignalKinds; ++k)
            entries += engine.LineCount[k] * (engine.RiserBreakCount[0][k] + 1);
        ExpectSound(12 * 6 * 2 * outlets, entries, 12 * 3 * 2 * outlets);
    }
}

}  // namespace

namespace {

// Twelve floors of switches along the staircase take an amplifier group
// about two thirds down (the satellite lines' imbalance asks for it). With
// the terrestrial signal in the multiswitch the group amplifies it too. The
// floor above the group needs at least the terrestrial minimum at its
// outlets while the group's input, one floor's loss below, may take at most
// the maximum less the group's gain: a gain above the 15 dB between the two
// limits and one floor's riser loss leaves the riser's terrestrial window at
// the top empty wherever the group stands, and 5 dB makes up too little of
// the twelve floors' riser loss. The library's groups gain 12 dB on it.
TEST_F(StaircaseAssemblyTest, AJointTerrestrialLineLimitsTheAmplifierGroupsGain) {
    struct Case {
        float terGain;  // of every line amplifier of several lines; 0: the library's
        const char* message;
    };
    const Case cases[] = {{0, ""}, {20, LevelsTooFarApart}, {15, ""}, {10, ""}, {5, LevelsTooFarApart}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.terGain);
        for (TCella* cell = engine.Components->head; cell; cell = cell->NextInList)
            if ((cell->TypeCode == 21 || cell->TypeCode == 22) && cell->Inputs > 1)
                for (int32_t r = 0; r < cell->Inputs; ++r)
                    for (int32_t b = 1; b < 6; ++b) {
                        if (c.terGain > 0)
                            cell->Attenuation->Set3(r, AmpGain, b, c.terGain);
                        else
                            EXPECT_EQ(cell->Attenuation->Get3(r, AmpGain, b), 12.0f) << cell->Code;
                    }
        Set({true, true, 4, false, true, false}, {12, 6, 1, 1, 0, 0});
        EXPECT_EQ(Lead(Design()), c.message);
        int32_t groups = 0;
        for (int32_t f = 0; f < 12; ++f) groups += engine.LineAmplifierFloor[0][f];
        EXPECT_EQ(groups, 1);
        EXPECT_TRUE(IsRealLevel(engine.StaircaseRequiredLevel[0][1])) << engine.StaircaseRequiredLevel[0][1];
        if (*c.message) {
            EXPECT_EQ(engine.StaircaseRequiredLevel[0][0], LevelReqEmpty);
            continue;
        }
        EXPECT_TRUE(IsRealLevel(engine.StaircaseRequiredLevel[0][0])) << engine.StaircaseRequiredLevel[0][0];
        ExpectSound(12 * 6, 5, 12 * 3);
    }
}

// Satellite lines only: twelve floors of two lines ask for a group as four
// lines do, but the groups come in sizes for 4, 5, 8, 9 and 10 lines only,
// so the amplifier floor of two lines draws none and the riser's window at
// the top stays empty; four lines take theirs and are designed.
TEST_F(StaircaseAssemblyTest, TwoSatelliteLinesHaveNoAmplifierGroup) {
    for (int32_t cables : {2, 4}) {
        SCOPED_TRACE(cables);
        Set({false, true, cables, false, true, false}, {12, 6, 0, 1, 0, 0});
        const AnsiString message = Design();
        int32_t groups = 0;
        for (int32_t f = 0; f < 12; ++f) groups += engine.LineAmplifierFloor[0][f];
        EXPECT_EQ(groups, 1);
        if (cables == 2) {
            EXPECT_EQ(Lead(message), LevelsTooFarApart);
            // The floor blocks, never assembled, hold no amplifier.
            for (int32_t f = 0; f < 12; ++f) EXPECT_EQ(Census(*engine.FloorGrid[0][f][1])[21], 0) << f;
            EXPECT_EQ(engine.StaircaseRequiredLevel[0][1], LevelReqEmpty);
            continue;
        }
        EXPECT_EQ(message, "");
        std::map<int32_t, int> census = Census(*engine.StaircaseGrid[0]);
        EXPECT_EQ(census[21] + census[22], 1);
        ExpectSound(12 * 6, cables, 12 * 3);
    }
}

}  // namespace
