// The design settings record: defaults from the settings store, the building
// and antenna blocks, and section 208 of every version.
#include "document/design_settings.h"

#include <gtest/gtest.h>

#include "core/channel_plans.h"
#include "core/channels.h"
#include "core/file.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

class DesignSettingsTest : public GlobalsTest {
protected:
    // Changed settings: two staircases and an antenna with three channels.
    static void Fill(TOpzProgetto& o) {
        o.Satellite = true;
        o.SatelliteCables = 4;
        o.Radial = true;
        o.Packages[2] = true;
        o.CableTexts[0] = "Varne";
        o.CableTexts[1] = "CX100";
        o.TerrConnector = 2;
        o.SelectionText = "Cavi?|?Coassiali\r\nPrese\r\n";
        TPalazzo& b = *o.Building;
        b.StaircaseCount = 2;
        b.Staircases[1].FloorCount = 3;
        b.Staircases[1].HeadEndDistance = 12;
        for (int f = 0; f < 3; ++f) {
            b.Staircases[1].Floors[f].ApartmentCount = 2;
            b.Staircases[1].Floors[f].Apartments[1].SatOutlets = 3;
        }
        TAntennaAutoProg& a = o.Antennas[0];
        a.FMin = 470;
        a.FMax = 862;
        a.Library = "Varne";
        a.Code = "ANT-UHF";
        for (const char* name : {"FM", "21", "69"}) {
            TCanale c;
            const int row = a.Plan->IndexOf(name);
            ASSERT_GE(row, 0) << name;
            a.Plan->SetChannel(c, row);
            c.label = "Rai";
            c.levelMin = c.levelMax = 72.5f;
            a.Channels.Insert(c);
            a.Received[row] = true;
        }
        o.APMaxLossCtScala = 9.5f;
    }
    static std::string Saved(const TOpzProgetto& o) {
        TMemoryStream s;
        o.Save(s, 60000);
        return s.Bytes();
    }
};

TEST_F(DesignSettingsTest, SectionReadsBackToTheSameBytes) {
    TOpzProgetto o;
    Fill(o);
    const std::string bytes = Saved(o);
    TOpzProgetto back;
    TMemoryStream in(bytes);
    EXPECT_EQ(ReadI32(in), TagDesignSettings);
    back.Load(in, 60000);
    EXPECT_EQ(in.Position(), in.Size());
    EXPECT_EQ(back.Building->Staircases[1].Floors[2].Apartments[1].SatOutlets, 3);
    EXPECT_EQ(back.Antennas[0].Channels.Count(), 3);
    EXPECT_EQ(back.Antennas[0].Plan, CanalizzazioneEuropa);
    EXPECT_TRUE(back.Antennas[0].Received[back.Antennas[0].Plan->IndexOf("FM")]);
    EXPECT_EQ(back.SelectionText, o.SelectionText);
    EXPECT_EQ(back.APMaxLossCtScala, 9.5f);
    EXPECT_FALSE(back.WizardSynced);
    EXPECT_EQ(Saved(back), bytes);
}

TEST_F(DesignSettingsTest, TuningValuesComeFromTheSettingsBeforeVersion50000) {
    // Without channels the section differs between versions only by its tuning block.
    TOpzProgetto o;
    o.APMaxLossCtScala = 9.5f;
    const std::string bytes = Saved(o);
    for (auto [stored, expected] : {std::pair<const char*, float>{"", 12.0f}, {"0", 0.0f}}) {
        globals.Settings().WriteString("APMaxLossCtScala", stored);
        for (auto [version, value] : {std::pair<int32_t, float>{40000, expected}, {60000, 9.5f}}) {
            TOpzProgetto back;
            TMemoryStream in(bytes);
            in.SetPosition(4);
            back.Load(in, version);
            EXPECT_EQ(back.APMaxLossCtScala, value) << stored << " " << version;
        }
    }
}

TEST_F(DesignSettingsTest, CountsBeyondTheBuildingAreRefused) {
    TOpzProgetto o;
    Fill(o);
    struct Case {
        const char* name;
        size_t offset;  // of the count in the section
        int32_t value;
    };
    // Tag, seven flags, satellite cables, radial, two distances: the building at 24.
    const size_t building = 24;
    const size_t firstFloors = building + 4;
    const size_t firstApartments = firstFloors + 16;
    for (const Case& c : {Case{"11 staircases", building, 11}, Case{"negative", building, -1},
                          Case{"31 floors", firstFloors, 31}, Case{"11 apartments", firstApartments, 11}}) {
        std::string bytes = Saved(o);
        for (int i = 0; i < 4; ++i)
            bytes[c.offset + i] = static_cast<char>((uint32_t(c.value) >> (8 * i)) & 0xFF);
        TOpzProgetto back;
        TMemoryStream in(bytes);
        in.SetPosition(4);
        EXPECT_THROW(back.Load(in, 60000), EReadError) << c.name;
    }
}

TEST_F(DesignSettingsTest, AntennaChannelsOutsideThePlanAndUnknownPlansStayAsRead) {
    const std::string longName = "Un nome di canale assai più lungo di diciannove";  // 47 characters
    RecordBytes block;
    block.F32(-1.0f).F32(200.0f).Text("Lib", 51).Text("A1", 51);
    block.U8(PlanIdEuropa).U8(1).U8(0).U8(0).Text("Europa", 50);
    block.I32(2);
    block.Text(longName, 50).Text("Locale", 21).F32(-2.0f).U8('d');
    block.Text("21", 50).Text("Rai 1", 21).F32(70.0f).U8('a');
    TAntennaAutoProg a;
    TMemoryStream in(block.Bytes());
    a.Load(in, 50100);  // with kinds; sentinels are no longer converted
    ASSERT_EQ(a.OtherChannels.size(), 1u);
    EXPECT_EQ(a.OtherChannels[0].Name, longName);
    EXPECT_EQ(a.OtherChannels[0].Level, -2.0f);
    EXPECT_EQ(a.OtherChannels[0].Kind, 'd');
    ASSERT_EQ(a.Channels.Count(), 1);
    EXPECT_EQ(a.Channels.head->label, "Rai 1");
    EXPECT_GE(a.Channels.head->band, 0);
    EXPECT_EQ(a.FMin, -1.0f);

    // Below version 50000 small negative codes are the "no value" sentinel.
    TAntennaAutoProg b;
    RecordBytes oldBlock;
    oldBlock.F32(-1.0f)
        .F32(200.0f)
        .Text("", 51)
        .Text("", 51)
        .U8(0)
        .U8(0)
        .U8(0)
        .U8(0)
        .Text("Nessuno", 50)
        .I32(1);
    oldBlock.Text("X", 50).Text("", 21).F32(-1.0f);
    TMemoryStream o2(oldBlock.Bytes());
    b.Load(o2, 40000);
    EXPECT_EQ(b.FMin, LevelNone);
    EXPECT_EQ(b.Plan, nullptr);
    ASSERT_EQ(b.OtherChannels.size(), 1u);
    EXPECT_EQ(b.OtherChannels[0].Level, LevelNone);
    TMemoryStream out;
    b.Save(out);
    TAntennaAutoProg c;
    TMemoryStream back(out.Bytes());
    c.Load(back, 60000);
    EXPECT_EQ(c.UnknownPlanName, "Nessuno");
    TMemoryStream out2;
    c.Save(out2);
    EXPECT_EQ(out2.Bytes(), out.Bytes());

    RecordBytes many;
    many.F32(0).F32(0).Text("", 51).Text("", 51).U8(0).U8(0).U8(0).U8(0).Text("", 50).I32(101);
    TMemoryStream m(many.Bytes());
    EXPECT_THROW(c.Load(m, 60000), EReadError);
}

TEST_F(DesignSettingsTest, BuildingResetAndMaxima) {
    TPalazzo b;
    b.StaircaseCount = 2;
    b.Staircases[0].FloorCount = 2;
    b.Staircases[0].Floors[1].ApartmentCount = 3;
    b.Staircases[0].Floors[1].Apartments[2].TerrOutlets = 4;
    b.Staircases[1].FloorCount = 5;
    b.Staircases[1].Floors[0].ApartmentCount = 2;
    b.Staircases[1].Floors[0].Apartments[0].SatLayout = 2;
    b.ComputeMaxima();
    EXPECT_EQ(b.MostFloors, 5);
    EXPECT_EQ(b.MostApartments, 3);
    EXPECT_EQ(b.MostTerrOutlets, 4);
    EXPECT_EQ(b.LargestSatLayout, 2);
    EXPECT_EQ(b.Staircases[0].LastColumn, 3);
    EXPECT_EQ(b.Staircases[1].FirstColumn, 4);
    EXPECT_EQ(b.Staircases[1].LastColumn, 6);

    b.Reset();
    EXPECT_EQ(b.StaircaseCount, 1);
    EXPECT_EQ(b.Staircases[0].FloorCount, 1);
    EXPECT_EQ(b.Staircases[0].Floors[0].ApartmentCount, 1);
    EXPECT_EQ(b.Staircases[0].Floors[0].Apartments[0].OutletSpacing, 5);
    EXPECT_EQ(b.Staircases[1].FloorCount, 5);  // hidden by the count, kept
}

}  // namespace
