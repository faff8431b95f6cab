// The placement tools of the design stages: size splitting, cable runs cloned
// from the template, outlet lines, the missing-outlet message and the loading
// of a chosen cable.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "autodesign/engine.h"
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/factory.h"
#include "cells/outlets.h"
#include "cells/terminations.h"
#include "core/file.h"
#include "core/libraries.h"
#include "document/grid.h"
#include "platform/application.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

struct Piece {
    int32_t Column, Row, Orientation, Bend;
    auto operator<=>(const Piece&) const = default;
};

class CableToolsTest : public GlobalsTest {
protected:
    CableToolsTest() : engine(&globals.Reporter()), grid(nullptr, 30, 30, GridWork) {
        globals.Reporter().SetTarget(nullptr);
        engine.CableTemplate->Owner = &grid;
    }
    // Every cable segment on the grid, sorted.
    std::vector<Piece> Segments() {
        std::vector<Piece> found;
        for (int32_t c = 0; c < grid.Columns; ++c)
            for (int32_t r = 0; r < grid.Rows; ++r)
                for (TCella* x = grid.CellAt(c, r); x; x = x->Overlay)
                    if (auto* s = dynamic_cast<TNCavo*>(x))
                        found.push_back({s->Column, s->Row, s->Orientation, s->Bend});
        std::sort(found.begin(), found.end());
        return found;
    }
    static std::vector<Piece> Sorted(std::vector<Piece> v) {
        std::sort(v.begin(), v.end());
        return v;
    }
    TCella* Outlet(int32_t code) {
        owned.emplace_back(NewCella(nullptr, code, 0, 0, 1, 1, 1));
        return owned.back().get();
    }
    TCreaAuto engine;
    TGridData grid;
    std::vector<std::unique_ptr<TCella>> owned;
};

TEST(SplitIntoAvailableSizes, TakesTheSizesTheComponentsOffer) {
    struct Case {
        int32_t count;
        std::vector<int32_t> offered;
        std::vector<int32_t> expected;
    };
    // clang-format off
    const Case cases[] = {
        {7, {2, 4, 8}, {8, 0, 0}},   // one above the count is accepted
        {10, {2, 4}, {4, 4, 2}},     // nothing upwards: the largest below
        {1, {3}, {3, 0, 0}},         // nothing below 1: 3 stands
        {5, {4}, {4, 4, 0}},         // nothing fits the remainder 1: the first choice stands
        {6, {2, 4, 8}, {4, 2, 0}},   // 8 exceeds 6 by two: the largest size below 6
        {0, {2}, {0, 0, 0}},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::array<uint8_t, 11> table{};
        for (int32_t s : c.offered) table[s] = 1;
        std::vector<int32_t> sizes(3, -1);
        TCreaAuto::SplitIntoAvailableSizes(c.count, sizes, table, 3, 8);
        EXPECT_EQ(sizes, c.expected) << "count " << c.count;
    }
}

TEST(SplitIntoAvailableSizes, NeverLooksPastTheTableWhateverTheLargestSize) {
    std::array<uint8_t, 5> table{};
    table[4] = 1;
    std::vector<int32_t> sizes(2, -1);
    TCreaAuto::SplitIntoAvailableSizes(30, sizes, table, 2, 40);
    EXPECT_EQ(sizes, (std::vector<int32_t>{4, 4}));
}

TEST(SplitIntoAvailableSizes, TheClosingTableCompetesOnlyWhenAsked) {
    std::array<uint8_t, 11> four{}, two{};
    four[4] = 1;
    two[2] = 1;
    for (bool alternative : {true, false}) {
        std::vector<int32_t> sizes(3, -1);
        TCreaAuto::SplitIntoAvailableSizesEx(6, sizes, four, four, two, alternative, 3, 8);
        EXPECT_EQ(sizes, alternative ? (std::vector<int32_t>{4, 2, 0}) : (std::vector<int32_t>{4, 4, 0}));
    }
}

TEST_F(CableToolsTest, CableRunsAsTables) {
    struct Case {
        const char* name;
        int32_t c1, r1, c2, r2, bend, direction;
        std::vector<Piece> expected;
    };
    // clang-format off
    const Case cases[] = {
        {"up, corner at the bend", 2, 5, 6, 1, 4, 1,
         {{2, 5, 1, 0}, {3, 5, 1, 0}, {4, 5, 1, 1}, {4, 1, 3, 1}, {4, 2, 0, 0}, {4, 3, 0, 0}, {4, 4, 0, 0},
          {5, 1, 1, 0}, {6, 1, 1, 0}}},
        {"bend outside the ends", 2, 5, 6, 1, 9, 1,
         {{2, 5, 1, 1}, {2, 1, 3, 1}, {2, 2, 0, 0}, {2, 3, 0, 0}, {2, 4, 0, 0}, {3, 1, 1, 0}, {4, 1, 1, 0},
          {5, 1, 1, 0}, {6, 1, 1, 0}}},
        {"horizontal first going down", 2, 1, 6, 5, 4, 3,
         {{2, 1, 1, 0}, {3, 1, 1, 0}, {4, 1, 0, 1}, {4, 5, 2, 1}, {4, 2, 0, 0}, {4, 3, 0, 0}, {4, 4, 0, 0},
          {5, 5, 1, 0}, {6, 5, 1, 0}}},
        {"vertical first to the left", 6, 1, 2, 5, 3, 0,
         {{6, 1, 0, 0}, {6, 2, 0, 0}, {6, 3, 1, 1}, {2, 3, 3, 1}, {3, 3, 1, 0}, {4, 3, 1, 0}, {5, 3, 1, 0},
          {2, 4, 0, 0}, {2, 5, 0, 0}}},
        {"vertical first to the right", 2, 1, 6, 5, 3, 2,
         {{2, 1, 0, 0}, {2, 2, 0, 0}, {2, 3, 2, 1}, {6, 3, 0, 1}, {3, 3, 1, 0}, {4, 3, 1, 0}, {5, 3, 1, 0},
          {6, 4, 0, 0}, {6, 5, 0, 0}}},
        {"straight row", 2, 4, 5, 4, 0, 1, {{2, 4, 1, 0}, {3, 4, 1, 0}, {4, 4, 1, 0}, {5, 4, 1, 0}}},
        {"straight column", 3, 2, 3, 5, 0, 0, {{3, 2, 0, 0}, {3, 3, 0, 0}, {3, 4, 0, 0}, {3, 5, 0, 0}}},
        {"right to left horizontally first", 6, 1, 2, 5, 4, 1, {}},
        {"upwards vertically first", 2, 5, 6, 1, 3, 0, {}},
    };
    // clang-format on
    TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
    cable.Attenuation->Set3(0, 0, 5, 18.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid.Clear();
        engine.SetCableTemplateEx(&cable, 7.5f, 0x00FF00);
        engine.DrawCableRun(c.c1, c.r1, c.c2, c.r2, c.bend, c.direction);
        EXPECT_EQ(Segments(), Sorted(c.expected));
        for (int32_t col = 0; col < grid.Columns; ++col)
            for (int32_t row = 0; row < grid.Rows; ++row)
                for (TCella* x = grid.CellAt(col, row); x; x = x->Overlay) {
                    auto* s = static_cast<TNCavo*>(x);
                    EXPECT_EQ(s->Colour, 0x00FF00);
                    EXPECT_FLOAT_EQ(s->PassAttenuation(), 7.5f);
                    EXPECT_FLOAT_EQ(s->LossPer100(5), 18.0f);
                    EXPECT_NE(s, engine.CableTemplate.get());
                }
    }
}

TEST_F(CableToolsTest, TakeCableTemplateTakesOnlyCables) {
    TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0x123456);
    cable.Attenuation->Set3(0, 0, 9, 31.0f);
    TChiusura other(nullptr, 0, 0, 0, 0, 1);
    engine.TakeCableTemplate(&other);
    engine.TakeCableTemplate(nullptr);
    EXPECT_EQ(engine.CableTemplate->Colour, 0);
    engine.TakeCableTemplate(&cable);
    EXPECT_EQ(engine.CableTemplate->Colour, 0x123456);
    EXPECT_FLOAT_EQ(engine.CableTemplate->LossPer100(9), 31.0f);
}

TEST_F(CableToolsTest, AnExitAnchorIsJoinedToItsPartnerByARun) {
    auto exitOwned = std::make_unique<TAncoraO>(nullptr, 0, 0, 2, 2);
    auto* exit = exitOwned.get();
    auto entryOwned = std::make_unique<TAncoraI>(nullptr, 0, 0, 6, 8);
    auto* entry = entryOwned.get();
    grid.InsertCell(std::move(exitOwned), false, 0);
    grid.InsertCell(std::move(entryOwned), false, 0);
    exit->AllocLinks();
    entry->AllocLinks();
    exit->LinkAnchor(entry);
    TNCavo cable(nullptr, 1, 0, 0, 0, 0, 7);
    engine.ConnectAnchorToPartner(exit, &cable, 5);
    // Orientation 0: from the anchor, vertically first, turning on row 5;
    // the run takes the squares of both anchors.
    EXPECT_EQ(Segments(), Sorted({{2, 2, 0, 0},
                                  {2, 3, 0, 0},
                                  {2, 4, 0, 0},
                                  {2, 5, 2, 1},
                                  {3, 5, 1, 0},
                                  {4, 5, 1, 0},
                                  {5, 5, 1, 0},
                                  {6, 5, 0, 1},
                                  {6, 6, 0, 0},
                                  {6, 7, 0, 0},
                                  {6, 8, 0, 0}}));
    EXPECT_EQ(engine.CableTemplate->Colour, 7);
}

TEST_F(CableToolsTest, OutletLinesInTheThreeDirections) {
    TCella* through = Outlet(CodePassThroughOutlet);
    TCella* terminal = Outlet(CodeTerminatedOutlet);
    struct Case {
        const char* name;
        bool (TCreaAuto::*place)(int32_t, int32_t, int32_t, TGridData*, int, bool);
        int32_t column, row;
        bool withTerminal;
        std::vector<std::pair<int32_t, int32_t>> outlets;
        int32_t orientation;
        std::vector<Piece> segments;
        std::pair<int32_t, int32_t> termination;  // (-1, -1) none
    };
    // clang-format off
    const Case cases[] = {
        {"right", &TCreaAuto::PlaceOutletRowRight, 2, 5, false, {{2, 5}, {5, 5}, {8, 5}}, 3,
         {{3, 5, 1, 0}, {4, 5, 1, 0}, {6, 5, 1, 0}, {7, 5, 1, 0}}, {9, 5}},
        {"right ending in a terminal outlet", &TCreaAuto::PlaceOutletRowRight, 2, 5, true, {{2, 5}, {5, 5}, {8, 5}},
         3, {{3, 5, 1, 0}, {4, 5, 1, 0}, {6, 5, 1, 0}, {7, 5, 1, 0}}, {-1, -1}},
        {"up", &TCreaAuto::PlaceOutletColumnUp, 4, 10, false, {{4, 10}, {4, 7}}, 2, {{4, 9, 0, 0}, {4, 8, 0, 0}},
         {4, 6}},
        {"down", &TCreaAuto::PlaceOutletColumnDown, 4, 2, false, {{4, 2}, {4, 5}}, 0, {{4, 3, 0, 0}, {4, 4, 0, 0}},
         {4, 6}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid.Clear();
        engine.OutletChoice[OutletThrough][RoleTer] = through;
        engine.OutletChoice[OutletTerminal][RoleTer] = c.withTerminal ? terminal : nullptr;
        ASSERT_TRUE((engine.*c.place)(c.column, c.row, static_cast<int32_t>(c.outlets.size()), &grid, RoleTer,
                                      false));
        for (size_t i = 0; i < c.outlets.size(); ++i) {
            TCella* o = grid.CellAt(c.outlets[i].first, c.outlets[i].second);
            ASSERT_NE(o, nullptr);
            const bool last = i + 1 == c.outlets.size();
            EXPECT_EQ(o->TypeCode, last && c.withTerminal ? CodeTerminatedOutlet : CodePassThroughOutlet);
            EXPECT_EQ(o->Orientation, c.orientation);
            EXPECT_NE(o, through);
        }
        EXPECT_EQ(Segments(), Sorted(c.segments));
        int terminations = 0;
        for (int32_t col = 0; col < grid.Columns; ++col)
            for (int32_t row = 0; row < grid.Rows; ++row)
                if (TCella* x = grid.CellAt(col, row); x && x->TypeCode == CodeTermination) {
                    ++terminations;
                    EXPECT_EQ(std::make_pair(col, row), c.termination);
                    EXPECT_EQ(x->Orientation, c.orientation);
                }
        EXPECT_EQ(terminations, c.termination.first < 0 ? 0 : 1);
    }
}

TEST_F(CableToolsTest, AnOutletLineWithoutItsOutletsGivesTheMessage) {
    TCella* terminal = Outlet(CodeTerminatedOutlet);
    engine.CarriesTer[RoleTer] = 1;
    struct Case {
        int32_t count;
        bool withTerminal;
        const char* type;  // nullptr: the line is placed
    };
    const Case cases[] = {{2, true, "passante "}, {1, false, "passante o terminale "}, {1, true, nullptr}};
    for (const Case& c : cases) {
        Application->Script().Reset();
        globals.Reporter().SetTarget(nullptr);
        grid.Clear();
        engine.OutletChoice[OutletTerminal][RoleTer] = c.withTerminal ? terminal : nullptr;
        EXPECT_EQ(engine.PlaceOutletRowRight(2, 5, c.count, &grid, RoleTer, false), c.type == nullptr);
        if (c.type) {
            EXPECT_EQ(ShownMessage(),
                      AnsiString("Non sono state trovate in libreria prese adeguate all'impianto. "
                                 "Serve almeno una presa ") +
                          c.type +
                          "con isolamento di corrente continua con connettore IEC maschio che "
                          "gestisca la banda terrestre.");
            EXPECT_FALSE(grid.HasComponents());
        } else {
            EXPECT_EQ(grid.CellAt(2, 5)->TypeCode, CodeTerminatedOutlet);
            EXPECT_EQ(grid.CellAt(3, 5), nullptr);
        }
    }
}

TEST(OutletNotFoundMessage, WordForWord) {
    const AnsiString head =
        "Non sono state trovate in libreria prese adeguate all'impianto. Serve almeno una presa ";
    struct Case {
        int type, connector;
        bool dc, ter, sat;
        const char* tail;
    };
    // clang-format off
    const Case cases[] = {
        {1, 0, false, true, false,
         "passante con isolamento di corrente continua con connettore IEC maschio che gestisca la banda terrestre."},
        {0, 1, true, false, true,
         "diretta con passaggio di corrente continua con connettore F che gestisca la banda satellitare."},
        {2, 2, false, true, true,
         "terminale con isolamento di corrente continua con connettore IEC femmina che gestisca la banda terrestre "
         "e satellitare."},
        {3, 3, false, true, false,
         "passante o terminale con isolamento di corrente continua con connettore IEC maschio + F che gestisca la "
         "banda terrestre."},
        {1, 4, false, true, false,
         "passante con isolamento di corrente continua con connettore IEC maschio + IEC femmina che gestisca la "
         "banda terrestre."},
        {1, 5, false, true, false,
         "passante con isolamento di corrente continua con connettore IEC femmina + F che gestisca la banda "
         "terrestre."},
        {1, 6, false, true, false,
         "passante con isolamento di corrente continua con connettore IEC maschio + IEC femmina + F che gestisca "
         "la banda terrestre."},
        {1, 7, false, true, false,
         "passante con isolamento di corrente continua con connettore che gestisca la banda terrestre."},
        {1, -1, false, false, false,
         "passante con isolamento di corrente continua con connettore che gestisca la banda satellitare."},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(TCreaAuto::OutletNotFoundMessage(c.type, c.connector, c.dc, c.ter, c.sat), head + c.tail);
}

TEST(OutletNotFoundMessage, ConnectorIndexOfEachConnectorChoice) {
    // Shape (outputs, connector kind) of connector choices 1-7 and the
    // message's index; choice 7 names the three-connector outlet.
    struct Case {
        int outputs, kind, index;
    };
    const Case cases[] = {{1, 0, 0},
                          {1, 1, 1},
                          {1, 2, 2},
                          {2, 0, 3},
                          {2, 1, 4},
                          {2, 2, 5},
                          {3, -1, 6},
                          // "(Automatico)": terrestrial alone or mixed, satellite alone or with terrestrial.
                          {2, 0, 3},
                          {1, 1, 1},
                          // Shapes no choice gives (a damaged choice): no connector text.
                          {2, -1, -1},
                          {1, 5, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(TCreaAuto::OutletConnectorIndex(c.outputs, c.kind), c.index) << c.outputs << "," << c.kind;
}

class LoadCableTest : public GlobalsTest {
protected:
    LoadCableTest() : engine(&globals.Reporter()) {
        const std::string path = globals.Dir().File("Cavi.alb");
        EXPECT_TRUE(TLibreria::CreateFile(path));
        library = new TLibreria;
        library->fileName = path;
        libraries.Get().Append(std::unique_ptr<TLibreria>(library));
        EXPECT_TRUE(library->Open(true));
        TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
        cable.Code = "CX100";
        cable.Category = "Cavi";
        cable.Attenuation->Set3(0, 0, 5, 21.5f);
        TMemoryStream record;
        cable.Save(record, LibraryVersion);
        EXPECT_TRUE(library->AppendEntry(record.Bytes()));
        library->Close();
    }
    ScopedLibraries libraries;
    TCreaAuto engine;
    TLibreria* library = nullptr;
};

TEST_F(LoadCableTest, FoundUnknownCodeAndUnknownLibrary) {
    struct Case {
        const char* library;
        const char* code;
        bool found;
    };
    const Case cases[] = {
        {"Cavi", "CX100", true}, {"cavi", "CX100", true}, {"Cavi", "X9", false}, {"Altri", "CX100", false}};
    for (const Case& c : cases) {
        TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
        EXPECT_EQ(engine.LoadCableFromLibrary(c.library, c.code, &cable), c.found)
            << c.library << " " << c.code;
        EXPECT_EQ(cable.Described, c.found ? 1 : 0);
        if (c.found) {
            EXPECT_FLOAT_EQ(cable.LossPer100(5), 21.5f);
        }
        EXPECT_FALSE(library->IsOpen());
    }
}

}  // namespace
