// The mast: defaults, clearing, the item list and section 207 of every version.
#include "document/mast.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/file.h"
#include "support/record_bytes.h"

namespace {

// The head of a section 207 body up to the packed foot and ground.
RecordBytes MastHead(int32_t version, int32_t windClass, uint32_t packed) {
    RecordBytes b;
    b.I32(0).I32(windClass).I32(0).I32(1).U8(0);
    for (int i = 0; i < MastSections; ++i) {
        b.F32(LevelNone).F32(LevelNone).F32(LevelNone);
        if (version >= 20000) b.F32(LevelNone);
    }
    b.U32(packed);
    return b;
}

// The tail after the item list, with the texts of the version.
void MastTail(RecordBytes& b, int32_t version) {
    b.U8(1).Zeros(StructureTypes);
    b.I32(2).I32(2).I32(0).I32(0);
    for (int i = 0; i < 6 + StructureTypes; ++i) b.I32(static_cast<int32_t>(LevelNone));
    if (version < 20000) {
        for (const char* t : {"Primo", "", "terzo", "", "", "sesto"}) b.Fixed(t, 257);
    } else {
        for (int i = 0; i < 5; ++i) b.Text("", 2);
    }
}

TEST(MastTest, PackedFootAndGround) {
    struct Case {
        uint32_t packed;
        int32_t foot, ground;
    };
    for (Case c : {Case{40, 40, -1}, Case{8 * 65536 + 40, 40, -2}, Case{9 * 65536 + 40, 40, -1},
                   Case{25 * 65536 + 100, 100, 15}}) {
        RecordBytes b = MastHead(60000, 0, c.packed);
        b.U8(0);
        MastTail(b, 60000);
        TPalo mast;
        TMemoryStream in(b.Bytes());
        mast.Load(in, 60000);
        EXPECT_EQ(mast.FootPosition, c.foot) << c.packed;
        EXPECT_EQ(mast.Ground, c.ground) << c.packed;
    }
}

TEST(MastTest, OldItemsAndTexts) {
    RecordBytes b = MastHead(10002, 2, 40);
    // A dish whose first float is its diameter, then a Yagi with a force.
    b.U8(1).I32(MastDish).I32(0).I32(0).I32(-1).I32(10).F32(80.0f).F32(0.0f).U8(0).U8(0).U8(0);
    b.U8(1).I32(MastYagi).I32(0).I32(4).I32(0).I32(20).F32(55.0f).F32(0.0f).U8(0).U8(0).U8(0);
    b.U8(0);
    MastTail(b, 10002);
    TPalo mast;
    TMemoryStream in(b.Bytes());
    mast.Load(in, 10002);
    ASSERT_EQ(mast.Antennas.Count(), 2);
    const TDatiAntenna& dish = *mast.Antennas.Items[0];
    EXPECT_EQ(dish.Diameter, 80.0f);
    EXPECT_EQ(dish.Force, LevelNone);
    EXPECT_EQ(dish.Area, LevelNone);
    const TDatiAntenna& yagi = *mast.Antennas.Items[1];
    EXPECT_EQ(yagi.Force, 55.0f);
    EXPECT_EQ(yagi.Area, LevelNone);
    EXPECT_EQ(yagi.WindOfForce, 160.0f);  // the mast's wind class 2
    EXPECT_EQ(yagi.Diameter, LevelNone);
    EXPECT_EQ(mast.Text1, "Primo terzo");
    EXPECT_EQ(mast.Text2, "sesto");
    EXPECT_EQ(mast.Sections[0].Insertion, LevelNone);
    EXPECT_EQ(mast.MastNorm, DefaultMastNorm);
}

// A damaged file with infinite and nan measures: they read as no value, so
// no figure of the page or the report turns into inf or nan.
TEST(MastTest, NonFiniteMeasuresReadAsNoValue) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    RecordBytes b;
    b.I32(0).I32(0).I32(0).I32(1).U8(0);
    b.F32(inf).F32(nan).F32(3).F32(-inf);
    for (int i = 1; i < MastSections; ++i) b.F32(LevelNone).F32(LevelNone).F32(LevelNone).F32(LevelNone);
    b.U32(40);
    b.U8(1).I32(MastYagi).I32(0).I32(0).I32(0).I32(100).F32(nan).F32(inf).F32(-inf).F32(inf).U8(0).U8(0);
    b.U8(0);
    MastTail(b, 60000);
    TPalo mast;
    TMemoryStream in(b.Bytes());
    mast.Load(in, 60000);
    const TTroncoPalo& t = mast.Sections[0];
    EXPECT_EQ(t.Diameter, LevelNone);
    EXPECT_EQ(t.Thickness, LevelNone);
    EXPECT_EQ(t.Length, 3.0f);
    EXPECT_EQ(t.Insertion, LevelNone);
    ASSERT_EQ(mast.Antennas.Count(), 1);
    const TDatiAntenna& yagi = *mast.Antennas.Items[0];
    for (float v : {yagi.Force, yagi.Area, yagi.Diameter, yagi.WindOfForce}) EXPECT_EQ(v, LevelNone);
}

// A mast with two sections, a plain antenna and a double arm holding an
// antenna and a dish, texts and lightning inputs.
void FillMastWithArms(TPalo& mast) {
    mast.Environment = 1;
    mast.WindClass = 3;
    mast.SectionCount = 2;
    mast.Telescopic = 1;
    mast.Sections[0] = {60, 3, 2, 15};
    mast.Sections[1] = {48, 2, 1.5f, 10};
    mast.FootPosition = 120;
    mast.Ground = 60;
    auto arm = std::make_unique<TDatiAntenna>();
    arm->Kind = MastDoubleArm;
    arm->Spacing = 30;
    arm->FirstChild = std::make_unique<TDatiAntenna>();
    arm->FirstChild->Area = 0.2f;
    arm->SecondChild = std::make_unique<TDatiAntenna>();
    arm->SecondChild->Kind = MastDish;
    arm->SecondChild->Diameter = 85.0f;
    arm->SecondChild->Polarisation = -1;
    mast.Antennas.InsertAt(0, std::move(arm));
    auto low = std::make_unique<TDatiAntenna>();
    low->Divergence = -1;
    mast.Antennas.InsertAt(0, std::move(low));
    mast.Text1 = "Sostegno sul tetto";
    mast.Municipality = "Città";
    mast.StructureSelected[4] = 1;
    mast.StructureArea[4] = 350;
}

TEST(MastTest, AMastWithArmsWritesAndReadsTheSameBytes) {
    TPalo mast;
    FillMastWithArms(mast);
    TMemoryStream out;
    mast.Save(out, 60000);
    TPalo back;
    TMemoryStream in(out.Bytes());
    back.Load(in, 60000);
    ASSERT_EQ(back.Antennas.Count(), 2);
    EXPECT_EQ(back.Antennas.Items[1]->SecondChild->Diameter, 85.0f);
    EXPECT_EQ(back.Ground, 60);
    EXPECT_EQ(back.Municipality, "Città");
    TMemoryStream again;
    back.Save(again, 60000);
    EXPECT_EQ(again.Bytes(), out.Bytes());

    back.ClearMast();
    EXPECT_EQ(back.Antennas.Count(), 0);
    EXPECT_EQ(back.SectionCount, 1);
    EXPECT_EQ(back.FootPosition, 40);
    EXPECT_EQ(back.Ground, -1);
    EXPECT_EQ(back.Sections[0].Diameter, LevelNone);
    EXPECT_EQ(back.Environment, 1);
    EXPECT_EQ(back.Text1, "Sostegno sul tetto");
}

// The shape kept before a sizing puts back exactly the mast it was taken
// from (the same bytes on file), however the mast was changed meanwhile,
// and owns copies: the items put back are not the ones it was taken from.
TEST(MastTest, AShapeKeptAsidePutsTheMastBackAsItWas) {
    TPalo mast;
    FillMastWithArms(mast);
    mast.Sections[3] = {35, 2, 2, LevelNone};  // kept above the count
    TMemoryStream before;
    mast.Save(before, 60000);
    const TFormaPalo shape(mast);
    const TDatiAntenna* firstItem = mast.Antennas.Items[0].get();

    mast.ClearMast();
    mast.Telescopic = 0;
    mast.Antennas.InsertAt(0, std::make_unique<TDatiAntenna>());
    mast.Antennas.Items[0]->Area = 3.0f;
    mast.SelectedItem = mast.Antennas.Items[0].get();
    mast.SelectedSection = 1;
    shape.PutBack(mast);

    TMemoryStream after;
    mast.Save(after, 60000);
    EXPECT_EQ(after.Bytes(), before.Bytes());
    EXPECT_EQ(mast.Sections[3].Diameter, 35.0f);
    EXPECT_EQ(mast.SelectedItem, nullptr);
    EXPECT_EQ(mast.SelectedSection, -1);
    ASSERT_EQ(mast.Antennas.Count(), 2);
    EXPECT_NE(mast.Antennas.Items[0].get(), firstItem);
    // Put back twice, from the same shape: it kept its own copies.
    mast.Antennas.Items[1]->SecondChild->Diameter = 10.0f;
    shape.PutBack(mast);
    EXPECT_EQ(mast.Antennas.Items[1]->SecondChild->Diameter, 85.0f);
}

TEST(MastTest, InsertAtPlacesAfterThePosition) {
    TDatiAntenne list;
    for (int kind : {1, 2, 3}) {
        auto item = std::make_unique<TDatiAntenna>();
        item->Kind = kind;
        list.InsertAt(9, std::move(item));  // beyond the end: last
    }
    auto item = std::make_unique<TDatiAntenna>();
    item->Kind = 5;
    list.InsertAt(1, std::move(item));
    std::vector<int> kinds;
    for (const auto& i : list.Items) kinds.push_back(i->Kind);
    EXPECT_EQ(kinds, (std::vector<int>{1, 5, 2, 3}));
}

TEST(MastTest, RefusedSections) {
    auto item = [](RecordBytes& b, int32_t kind, uint8_t first, uint8_t second) {
        b.U8(1).I32(kind).I32(0).I32(0).I32(0).I32(0).F32(0).F32(0).F32(0).F32(0).U8(first).U8(second);
    };
    std::vector<std::pair<const char*, RecordBytes>> cases;
    {
        RecordBytes b = MastHead(60000, 9, 40);  // wind class 9
        b.U8(0);
        MastTail(b, 60000);
        cases.emplace_back("wind class", b);
    }
    {
        RecordBytes b = MastHead(60000, 0, 40);
        for (int i = 0; i < 20; ++i) item(b, MastYagi, 0, 0);
        b.U8(0);
        MastTail(b, 60000);
        cases.emplace_back("twenty items", b);
    }
    {
        RecordBytes b = MastHead(60000, 0, 40);
        item(b, MastYagi, 1, 0);  // an antenna with a child
        b.I32(MastYagi).I32(0).I32(0).I32(0).I32(0).F32(0).F32(0).F32(0).F32(0).U8(0).U8(0);
        b.U8(0);
        MastTail(b, 60000);
        cases.emplace_back("child of an antenna", b);
    }
    {
        RecordBytes b = MastHead(60000, 0, 40);
        item(b, MastSingleArm, 1, 0);
        b.I32(MastSingleArm).I32(0).I32(0).I32(0).I32(0).F32(0).F32(0).F32(0).F32(0).U8(1).U8(0);
        cases.emplace_back("child with children", b);
    }
    {
        RecordBytes b = MastHead(60000, 0, 40);
        item(b, 9, 0, 0);
        cases.emplace_back("kind 9", b);
    }
    {
        RecordBytes b = MastHead(60000, 0, 40);
        b.U8(0);
        MastTail(b, 60000);
        cases.emplace_back("truncated", RecordBytes().Raw(b.Bytes().substr(0, b.Size() - 1)));
    }
    for (auto& [name, bytes] : cases) {
        TPalo mast;
        TMemoryStream in(bytes.Bytes());
        EXPECT_THROW(mast.Load(in, 60000), EReadError) << name;
    }
}

}  // namespace
