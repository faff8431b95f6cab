// The wizard-facing operations of the building and of an antenna: copies,
// the selection and the values over it, and the channel grid of an antenna.
#include <gtest/gtest.h>

#include <functional>

#include "core/channel_plans.h"
#include "core/channels.h"
#include "document/design_settings.h"
#include "platform/grids.h"
#include "support/globals_fixture.h"

namespace {

// A building of staircases of the given floor counts, each floor with one
// apartment whose terrestrial outlet count is staircase * 100 + floor.
TPalazzo Building(std::initializer_list<int32_t> floors) {
    TPalazzo b;
    b.StaircaseCount = static_cast<int32_t>(floors.size());
    int32_t s = 0;
    for (int32_t n : floors) {
        TScala& sc = b.Staircases[s];
        sc.FloorCount = n;
        for (int32_t f = 0; f < n; ++f) {
            sc.Floors[f].ApartmentCount = 1;
            sc.Floors[f].Apartments[0] = TAppartamento{};
            sc.Floors[f].Apartments[0].TerrOutlets = s * 100 + f;
        }
        ++s;
    }
    return b;
}

TEST(Building, GrowingAFloorCountCopiesTheLastFloorInUse) {
    TPalazzo b = Building({2});
    b.Staircases[0].Floors[1].ApartmentCount = 3;
    b.SetFloorCount(4);
    for (int f : {2, 3}) {
        EXPECT_EQ(b.Staircases[0].Floors[f].ApartmentCount, 3);
        EXPECT_EQ(b.Staircases[0].Floors[f].Apartments[0].TerrOutlets, 1) << f;
    }
    b.Staircases[0].Floors[2].Apartments[0].TerrOutlets = 77;
    b.SetFloorCount(2);
    b.SetFloorCount(3);
    EXPECT_EQ(b.Staircases[0].Floors[2].Apartments[0].TerrOutlets, 1);  // floor 2 again, not the old floor 3
    EXPECT_EQ(b.GetFloorCount(), 3);
}

TEST(Building, CountsOverTheSelection) {
    TPalazzo b = Building({3, 5});
    EXPECT_EQ(b.GetStaircaseCount(), 2);
    EXPECT_EQ(b.GetFloorCount(), -1);  // all selected, the staircases differ
    b.AllSelected = false;
    b.SelectedStaircase = 1;
    EXPECT_EQ(b.GetFloorCount(), 5);
    b.SetFloorCount(6);
    EXPECT_EQ(b.Staircases[0].FloorCount, 3);
    EXPECT_EQ(b.Staircases[1].FloorCount, 6);
    EXPECT_EQ(b.Staircases[1].Floors[5].Apartments[0].TerrOutlets, 104);

    b.SelectedFloor = 2;
    b.SelectedApartment = -1;
    EXPECT_EQ(b.GetApartmentCount(), 1);
    b.Staircases[1].Floors[2].Apartments[0].SatOutlets = 4;
    b.SetApartmentCount(3);
    EXPECT_EQ(b.Staircases[1].Floors[2].ApartmentCount, 3);
    EXPECT_EQ(b.Staircases[1].Floors[2].Apartments[2].SatOutlets, 4);
    EXPECT_EQ(b.Staircases[1].Floors[1].ApartmentCount, 1);
    b.SelectedFloor = -1;  // an apartment position selects no whole floor
    EXPECT_EQ(b.GetApartmentCount(), -1);
    b.AllSelected = true;
    EXPECT_EQ(b.GetApartmentCount(), -1);  // floors of 1 and 3 apartments
}

TEST(Building, SelectionPredicates) {
    struct Case {
        const char* name;
        bool all;
        int32_t staircase, floor, apartment;
        // Expected for staircase 1 (floor 2 apartment 0, floor 2 apartment 1,
        // floor 3 apartment 0) and for staircase 0 floor 2 apartment 0.
        bool staircase1, floor2, floor3, apt20, apt21, apt30, otherStaircase;
    };
    // clang-format off
    const Case cases[] = {
        {"all", true, 0, 0, 0, true, true, true, true, true, true, true},
        {"one apartment", false, 1, 2, 0, true, false, false, true, false, false, false},
        {"a floor", false, 1, 2, -1, true, true, false, true, true, false, false},
        {"an apartment on every floor", false, 1, -1, 0, true, false, false, true, false, true, false},
        {"the whole staircase", false, 1, -2, 0, true, true, true, true, true, true, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPalazzo b;
        b.AllSelected = c.all;
        b.SelectedStaircase = c.staircase;
        b.SelectedFloor = c.floor;
        b.SelectedApartment = c.apartment;
        EXPECT_EQ(b.IsStaircaseSelected(1), c.staircase1);
        EXPECT_EQ(b.IsFloorSelected(1, 2), c.floor2);
        EXPECT_EQ(b.IsFloorSelected(1, 3), c.floor3);
        EXPECT_EQ(b.IsApartmentSelected(1, 2, 0), c.apt20);
        EXPECT_EQ(b.IsApartmentSelected(1, 2, 1), c.apt21);
        EXPECT_EQ(b.IsApartmentSelected(1, 3, 0), c.apt30);
        EXPECT_EQ(b.IsApartmentSelected(0, 2, 0), c.otherStaircase);
    }
}

TEST(Building, FieldsOverTheSelectedApartmentsAndStaircases) {
    using Getter = std::function<int32_t(const TPalazzo&)>;
    using Setter = std::function<void(TPalazzo&, int32_t)>;
    struct Field {
        const char* name;
        Getter get;
        Setter set;
        std::function<int32_t&(TPalazzo&, int32_t, int32_t)> at;  // the value of staircase s floor f
    };
    auto apt = [](int32_t TAppartamento::*m) {
        return [m](TPalazzo& b, int32_t s, int32_t f) -> int32_t& {
            return b.Staircases[s].Floors[f].Apartments[0].*m;
        };
    };
    auto stair = [](int32_t TScala::*m) {
        return [m](TPalazzo& b, int32_t s, int32_t) -> int32_t& { return b.Staircases[s].*m; };
    };
    // clang-format off
    const Field fields[] = {
        {"terrestrial outlets", &TPalazzo::GetTerrOutlets, &TPalazzo::SetTerrOutlets, apt(&TAppartamento::TerrOutlets)},
        {"satellite outlets", &TPalazzo::GetSatOutlets, &TPalazzo::SetSatOutlets, apt(&TAppartamento::SatOutlets)},
        {"terrestrial layout", &TPalazzo::GetTerrLayout, &TPalazzo::SetTerrLayout, apt(&TAppartamento::TerrLayout)},
        {"satellite layout", &TPalazzo::GetSatLayout, &TPalazzo::SetSatLayout, apt(&TAppartamento::SatLayout)},
        {"outlet spacing", &TPalazzo::GetOutletSpacing, &TPalazzo::SetOutletSpacing,
         apt(&TAppartamento::OutletSpacing)},
        {"apartment distance", &TPalazzo::GetApartmentDistance, &TPalazzo::SetApartmentDistance,
         apt(&TAppartamento::ApartmentDistance)},
        {"head end distance", &TPalazzo::GetHeadEndDistance, &TPalazzo::SetHeadEndDistance,
         stair(&TScala::HeadEndDistance)},
        {"top floor distance", &TPalazzo::GetTopFloorDistance, &TPalazzo::SetTopFloorDistance,
         stair(&TScala::TopFloorDistance)},
        {"floor spacing", &TPalazzo::GetFloorSpacing, &TPalazzo::SetFloorSpacing, stair(&TScala::FloorSpacing)},
    };
    // clang-format on
    for (const Field& field : fields) {
        SCOPED_TRACE(field.name);
        TPalazzo b = Building({2, 2});
        for (int32_t s = 0; s < 2; ++s)
            for (int32_t f = 0; f < 2; ++f) field.at(b, s, f) = 4;
        EXPECT_EQ(field.get(b), 4);
        field.at(b, 1, 1) = 9;
        EXPECT_EQ(field.get(b), -1);  // values differ
        b.AllSelected = false;
        b.SelectedStaircase = 0;
        b.SelectedFloor = -2;
        EXPECT_EQ(field.get(b), 4);
        field.set(b, 6);
        EXPECT_EQ(field.at(b, 0, 0), 6);
        EXPECT_EQ(field.at(b, 0, 1), 6);
        EXPECT_EQ(field.at(b, 1, 1), 9);  // not selected: untouched
        b.SelectedStaircase = 7;          // nothing selected
        EXPECT_EQ(field.get(b), -1);
    }
}

TEST(Building, CopiesKeepTheDestinationsHeadEndDistance) {
    TPalazzo b = Building({3, 1});
    TScala& src = b.Staircases[0];
    src.HeadEndDistance = 40;
    src.TopFloorDistance = 7;
    src.FloorSpacing = 4;
    src.Floors[2].ApartmentCount = 2;
    src.Floors[2].Apartments[1].SatLayout = 3;
    TScala& dst = b.Staircases[1];
    dst.HeadEndDistance = 12;
    TPalazzo::CopyStaircase(dst, src);
    EXPECT_EQ(dst.HeadEndDistance, 12);
    EXPECT_EQ(dst.TopFloorDistance, 7);
    EXPECT_EQ(dst.FloorSpacing, 4);
    EXPECT_EQ(dst.FloorCount, 3);
    EXPECT_EQ(dst.Floors[2].ApartmentCount, 2);
    EXPECT_EQ(dst.Floors[2].Apartments[1].SatLayout, 3);
}

TEST(Building, MaximaGiveEachStaircaseItsColumns) {
    TPalazzo b = Building({1, 1, 1});
    const int32_t widths[] = {2, 3, 1};
    for (int32_t s = 0; s < 3; ++s) b.Staircases[s].Floors[0].ApartmentCount = widths[s];
    b.ComputeMaxima();
    const int32_t columns[][2] = {{0, 2}, {3, 6}, {7, 8}};
    for (int32_t s = 0; s < 3; ++s) {
        EXPECT_EQ(b.Staircases[s].FirstColumn, columns[s][0]) << s;
        EXPECT_EQ(b.Staircases[s].LastColumn, columns[s][1]) << s;
    }
    EXPECT_EQ(b.MostApartments, 3);
}

class AntennaTest : public GlobalsTest {
protected:
    // Adds the plan's channel of that name with a label, level and kind.
    static TCanale* Add(TAntennaAutoProg& a, const char* name, float level, char kind = SignalAnalog) {
        TCanale c;
        const int row = a.Plan->IndexOf(name);
        EXPECT_GE(row, 0) << name;
        a.Plan->SetChannel(c, row);
        c.label = AnsiString("Rete ") + name;
        c.levelMin = c.levelMax = level;
        c.signalType = kind;
        a.Received[row] = true;
        return a.Channels.Insert(c);
    }
};

TEST_F(AntennaTest, AssignMakesCopies) {
    TAntennaAutoProg src, dst;
    src.Reset();
    dst.Reset();
    src.FMin = 470;
    src.FMax = 862;
    src.Library = "Varne";
    src.Code = "UHF-1";
    src.Plan = CanalizzazioneItalia;
    TCanale* first = Add(src, "21", 70.0f);
    Add(src, "40", 65.0f, SignalDigital);
    Add(dst, "FM", 50.0f);  // a channel of its own, replaced
    src.Assign(dst);
    EXPECT_EQ(dst.FMin, 470.0f);
    EXPECT_EQ(dst.FMax, 862.0f);
    EXPECT_EQ(dst.Library, "Varne");
    EXPECT_EQ(dst.Code, "UHF-1");
    EXPECT_EQ(dst.Plan, CanalizzazioneItalia);
    EXPECT_EQ(dst.Channels.Count(), 2);
    EXPECT_TRUE(std::equal(std::begin(src.Received), std::end(src.Received), std::begin(dst.Received)));
    first->levelMin = 10.0f;
    first->label = "Altro";
    EXPECT_EQ(dst.Channels.head->levelMin, 70.0f);
    EXPECT_EQ(dst.Channels.head->label, "Rete 21");
}

TEST_F(AntennaTest, ClearChannelsKeepsRangeTextsAndPlan) {
    TAntennaAutoProg a;
    a.Reset();
    a.FMin = 174;
    a.Code = "VHF";
    a.Plan = CanalizzazioneItalia;
    Add(a, "F", 70.0f);
    a.ClearChannels();
    EXPECT_EQ(a.Channels.Count(), 0);
    EXPECT_TRUE(std::none_of(std::begin(a.Received), std::end(a.Received), [](bool r) { return r; }));
    EXPECT_EQ(a.FMin, 174.0f);
    EXPECT_EQ(a.Code, "VHF");
    EXPECT_EQ(a.Plan, CanalizzazioneItalia);
}

TEST_F(AntennaTest, ChannelGridShowsAndReadsBack) {
    TAntennaAutoProg a;
    a.Reset();
    TStringGrid grid;
    grid.ColCount = 4;
    grid.RowCount = 6;
    grid.Cells[0][1] = "vecchio";
    a.FillChannelGrid(grid);
    EXPECT_EQ(grid.RowCount, 2);
    EXPECT_EQ(grid.Cells[0][1], "");  // the row below the channels is emptied

    Add(a, "21", 70.0f);
    Add(a, "22", 0.0f, SignalDigital);
    Add(a, "23", LevelNone);
    a.FillChannelGrid(grid);
    ASSERT_EQ(grid.RowCount, 4);
    const char* expected[3][4] = {
        {"21", "A", "Rete 21", "70"}, {"22", "D", "Rete 22", "0"}, {"23", "A", "Rete 23", ""}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(grid.Cells[c][r + 1], expected[r][c]) << r << "," << c;
    grid.Cells[3][1] = "";
    grid.Cells[1][1] = "d";
    grid.Cells[1][2] = "x";
    grid.Cells[2][3] = "Un'etichetta molto più lunga di venti";
    grid.Cells[3][3] = FormatFloat("0.0", 66.5);
    a.ReadChannelGrid(grid);
    const TCanale* c = a.Channels.head;
    EXPECT_EQ(c->levelMin, LevelNone);
    EXPECT_EQ(c->signalType, SignalDigital);
    c = c->next;
    EXPECT_EQ(c->signalType, SignalAnalog);
    c = c->next;
    EXPECT_EQ(c->label, "Un'etichetta molto p");
    EXPECT_FLOAT_EQ(c->levelMin, 66.5f);
    EXPECT_FLOAT_EQ(c->levelMax, 66.5f);
}

TEST_F(AntennaTest, TypedNamesMatchOnTheirFirstSevenCharacters) {
    TAntennaAutoProg a;
    a.Reset();
    TCanale* s41 = Add(a, "21", 70.0f);
    s41->name = "S41";
    TCanale* longName = Add(a, "22", 70.0f);
    longName->name = "S41abcde";  // 8 characters: never matched
    struct Case {
        const char* typed;
        const TCanale* matched;
    };
    const Case cases[] = {{"S41", s41}, {"S41xxxx", nullptr}, {"S41abcde", nullptr}, {"S41abcd", nullptr}};
    for (const Case& c : cases) {
        s41->label = longName->label = "prima";
        TStringGrid grid;
        grid.ColCount = 4;
        grid.RowCount = 2;
        grid.Cells[0][1] = c.typed;
        grid.Cells[2][1] = "dopo";
        a.ReadChannelGrid(grid);
        EXPECT_EQ(s41->label, c.matched == s41 ? "dopo" : "prima") << c.typed;
        EXPECT_EQ(longName->label, "prima") << c.typed;
    }
}

}  // namespace
