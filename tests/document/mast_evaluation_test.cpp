// The mast's wind-load evaluation, worked by hand, and the automatic sizing.
#include "document/mast_evaluation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

std::unique_ptr<TDatiAntenna> Item(int32_t kind, int32_t spacing) {
    auto a = std::make_unique<TDatiAntenna>();
    a->Kind = kind;
    a->Spacing = spacing;
    return a;
}

TTroncoPalo Tube(float d, float s, float l) { return TTroncoPalo{d, s, l, LevelNone}; }

// Wind 130 km/h (q = 800), one Yagi of 0.1 mq at 250 cm above the foot.
struct MastEvaluationTest : ::testing::Test {
    TPalo palo;
    void SetUp() override {
        auto yagi = Item(MastYagi, 250);
        yagi->Area = 0.1f;
        palo.Antennas.Items.push_back(std::move(yagi));
    }
};

TEST_F(MastEvaluationTest, OneSectionLoadAndResistanceWorkedByHand) {
    struct Case {
        float d;
        double load, resistance;
        bool fails;
    };
    // Item 80 N x 2.5 m = 200 N·m; tube q·1.2·d·3 m at 1.5 m; W = π(d⁴ - (d-4)⁴)/(32d), σ = 235/1.5.
    for (Case c : {Case{42, 381.44, 375.93, true}, Case{50, 416.0, 545.26, false}}) {
        SCOPED_TRACE(c.d);
        palo.Sections[0] = Tube(c.d, 2, 3);
        const TValutazionePalo v = EvaluateMast(palo);
        EXPECT_TRUE(v.Sections[0].Drawn);
        EXPECT_FALSE(v.Sections[1].Drawn);
        EXPECT_NEAR(v.Sections[0].Load, c.load, 0.01);
        EXPECT_NEAR(v.Sections[0].Resistance, c.resistance, 0.01);
        EXPECT_EQ(v.Sections[0].Fails(), c.fails);
        if (c.fails) {
            EXPECT_EQ(v.Warnings, std::vector<AnsiString>{"Il tronco 1 non resiste al vento."});
        } else {
            EXPECT_TRUE(v.Warnings.empty());
        }
    }
}

TEST_F(MastEvaluationTest, HeightsAndPositionsAsImageY) {
    palo.Sections[0] = Tube(50, 2, 3);
    const TValutazionePalo v = EvaluateMast(palo);
    EXPECT_EQ(v.FootY, 1850);
    EXPECT_DOUBLE_EQ(v.Sections[0].Top, 1550);
    EXPECT_DOUBLE_EQ(v.Sections[0].Bottom, 1850);
    EXPECT_DOUBLE_EQ(v.RequiredHeight, 260);
    EXPECT_DOUBLE_EQ(v.AvailableHeight(1), 301);
    ASSERT_EQ(v.Records.size(), 2u);
    EXPECT_EQ(v.Records[0].Item, nullptr);
    EXPECT_EQ(v.Records[0].Y, 1850);
    EXPECT_EQ(v.Records[1].Item, palo.Antennas.Items[0].get());
    EXPECT_EQ(v.Records[1].Y, 1600);
    EXPECT_EQ(v.Records[1].MinSpacing, MastFirstItemSpacing);
    EXPECT_EQ(v.MinFootPosition, 40);
    // 50 mm is drawn narrower than the widest tube (x 91..129).
    EXPECT_EQ(v.Sections[0].Left, 101);
    EXPECT_EQ(v.Sections[0].Right, 119);

    palo.Ground = 120;  // free ground above the least foot
    EXPECT_EQ(EvaluateMast(palo).MinFootPosition, 120);
}

// Two sections, not telescopic, at 200 km/h (q = 1900): a 60 cm dish at
// 1.5 m and a Yagi of 100 N stated at 120 km/h at 3.7 m. Worked by hand:
//   dish 1900·1.2·π·0.6²/4 = 644.65 N, Yagi 100·(200/120)² = 277.78 N
//   tubes 1900·1.2·0.102·2 = 465.12 N (0..2 m), 1900·1.2·0.060·2 = 273.6 N (2..4 m)
//   section 2 at 2 m: 277.78·1.7 + 273.6·1.0 = 745.82 N·m
//   section 1 at the foot: 644.65·1.5 + 277.78·3.7 + 465.12·1.0 + 273.6·3.0 = 3280.68 N·m
//   W = π(d⁴ - (d-2s)⁴)/(32d) at 235/1.5 N/mm²: 102 x 4 holds 4549.12, 60 x 3 holds 1142.52
TEST(MastEvaluation, TwoSectionsAtTheStrongestWindWorkedByHand) {
    TPalo palo;
    palo.WindClass = 3;
    palo.SectionCount = 2;
    palo.Sections[0] = Tube(102, 4, 2);
    palo.Sections[1] = Tube(60, 3, 2);
    auto dish = Item(MastDish, 150);
    dish->Diameter = 60;
    palo.Antennas.Items.push_back(std::move(dish));
    auto yagi = Item(MastYagi, 220);
    yagi->Force = 100;
    yagi->WindOfForce = 120;
    palo.Antennas.Items.push_back(std::move(yagi));

    const TValutazionePalo v = EvaluateMast(palo);
    EXPECT_NEAR(v.Sections[1].Load, 745.82, 0.01);
    EXPECT_NEAR(v.Sections[1].Resistance, 1142.52, 0.01);
    EXPECT_NEAR(v.Sections[0].Load, 3280.68, 0.01);
    EXPECT_NEAR(v.Sections[0].Resistance, 4549.12, 0.01);
    EXPECT_DOUBLE_EQ(v.Sections[1].Bottom, v.Sections[0].Top);  // standing on it, no overlap
    EXPECT_DOUBLE_EQ(v.RequiredHeight, 380);
    EXPECT_TRUE(v.Warnings.empty());
}

// A measure a file can hold but no tube has: an infinite diameter or area
// must not turn the figures of the page and the report into nan or inf.
TEST(MastEvaluation, InfiniteMeasuresAreNoMeasures) {
    TPalo palo;
    palo.Sections[0] = Tube(std::numeric_limits<float>::infinity(), 2, 3);
    auto yagi = Item(MastYagi, 100);
    yagi->Area = std::numeric_limits<float>::infinity();
    palo.Antennas.Items.push_back(std::move(yagi));
    TValutazionePalo v = EvaluateMast(palo);
    EXPECT_FALSE(v.Sections[0].Drawn);
    EXPECT_EQ(v.Warnings, (std::vector<AnsiString>{"Il sostegno è più basso delle antenne.",
                                                   "Spinta del vento non indicata per l'elemento 1."}));

    palo.Sections[0] = Tube(50, 2, 3);
    v = EvaluateMast(palo);
    EXPECT_TRUE(std::isfinite(v.Sections[0].Load));
    EXPECT_TRUE(std::isfinite(v.Sections[0].Resistance));
}

TEST(MastEvaluation, ItemForces) {
    struct Case {
        const char* what;
        int32_t kind;
        float force, area, diameter, wind;
        double expected;
        bool known;
    };
    for (Case c : {
             Case{"area", MastYagi, LevelNone, 0.1f, LevelNone, LevelNone, 80.0, true},
             Case{"force at 100 km/h", MastYagi, 100, LevelNone, LevelNone, 100, 169.0, true},
             Case{"force without its wind", MastGrid, 100, LevelNone, LevelNone, LevelNone, 100.0, true},
             Case{"dish by diameter", MastDish, LevelNone, LevelNone, 80, LevelNone, 482.55, true},
             Case{"dish with a force", MastDish, 50, LevelNone, 80, 130, 50.0, true},
             Case{"nothing", MastYagi, LevelNone, LevelNone, LevelNone, LevelNone, 0.0, false},
             Case{"dish with nothing", MastDish, LevelNone, LevelNone, LevelNone, LevelNone, 0.0, false},
         }) {
        SCOPED_TRACE(c.what);
        TDatiAntenna a;
        a.Kind = c.kind;
        a.Force = c.force;
        a.Area = c.area;
        a.Diameter = c.diameter;
        a.WindOfForce = c.wind;
        bool known = true;
        EXPECT_NEAR(ItemWindForce(a, 800, 130, known), c.expected, 0.01);
        EXPECT_EQ(known, c.known);
    }

    TDatiAntenna arm;
    arm.Kind = MastDoubleArm;
    arm.FirstChild = Item(MastYagi, 0);
    arm.FirstChild->Area = 0.1f;
    arm.SecondChild = Item(MastYagi, 0);
    arm.SecondChild->Area = 0.2f;
    bool known = true;
    EXPECT_NEAR(ItemWindForce(arm, 800, 130, known), 240.0, 1e-4);
    EXPECT_TRUE(known);
}

TEST(MastEvaluation, MinimumSpacings) {
    TPalo palo;
    auto add = [&](std::unique_ptr<TDatiAntenna> a) { palo.Antennas.Items.push_back(std::move(a)); };
    auto band = [](int32_t b) {
        auto a = Item(MastYagi, 100);
        a->Band = b;
        return a;
    };
    auto dish = [](float d) {
        auto a = Item(MastDish, 100);
        a->Diameter = d;
        return a;
    };
    add(band(0));          // "V°"
    add(band(2));          // "III°": 87
    add(band(9));          // "IV°+V°": 32
    add(dish(80));         // 50
    add(dish(LevelNone));  // 50 unknown
    auto arm = Item(MastDoubleArm, 100);
    arm->FirstChild = band(1);   // 32
    arm->SecondChild = band(6);  // "I°+III°+IV°+V°": 320
    add(std::move(arm));
    add(Item(MastSingleArm, 100));  // empty: 30
    add(band(0));                   // 25

    const TValutazionePalo v = EvaluateMast(palo);
    std::vector<int> mins;
    for (size_t i = 1; i < v.Records.size(); ++i) mins.push_back(v.Records[i].MinSpacing);
    EXPECT_EQ(mins, (std::vector<int>{30, 87, 87, 50, 50, 320, 320, 30}));
}

TEST(MastEvaluation, TelescopicSectionsAndMissingData) {
    TPalo palo;
    palo.SectionCount = 3;
    palo.Telescopic = 1;
    palo.Sections[0] = Tube(60, 3, 2);
    palo.Sections[1] = Tube(50, 2, 2);
    palo.Sections[1].Insertion = 50;
    palo.Sections[2] = Tube(42, 2, 2);  // no insertion: the least one
    auto item = Item(MastYagi, 500);
    palo.Antennas.Items.push_back(std::move(item));

    TValutazionePalo v = EvaluateMast(palo);
    EXPECT_DOUBLE_EQ(v.Sections[0].Top, 1850 - 200);
    EXPECT_DOUBLE_EQ(v.Sections[1].Bottom, 1850 - 150);
    EXPECT_DOUBLE_EQ(v.Sections[1].Top, 1850 - 350);
    EXPECT_DOUBLE_EQ(v.Sections[2].Bottom, 1850 - 330);
    EXPECT_DOUBLE_EQ(v.Sections[2].Top, 1850 - 530);
    EXPECT_EQ(v.Sections[2].MinInsertion, MastMinInsertionTelescopic);
    // Section 3 carries only its exposed tube above the top of section 2:
    // 800 x 1.2 x 0.042 x 1.8 m at 0.9 m.
    EXPECT_NEAR(v.Sections[2].Load, 800 * 1.2 * 0.042 * 1.8 * 0.9, 1e-6);
    EXPECT_EQ(v.Warnings, std::vector<AnsiString>{"Spinta del vento non indicata per l'elemento 1."});

    // An incomplete section ends the drawn stack; the mast is then too short.
    palo.Sections[1].Thickness = LevelNone;
    v = EvaluateMast(palo);
    EXPECT_TRUE(v.Sections[0].Drawn);
    EXPECT_FALSE(v.Sections[1].Drawn);
    EXPECT_FALSE(v.Sections[2].Drawn);
    EXPECT_EQ(v.Warnings, (std::vector<AnsiString>{"Il sostegno è più basso delle antenne.",
                                                   "Spinta del vento non indicata per l'elemento 1."}));
}

TEST_F(MastEvaluationTest, SizingPicksTheFirstPassingStack) {
    ASSERT_TRUE(SizeMastSections(palo, {Tube(42, 2, 3), Tube(50, 2, 3)}, false));
    EXPECT_EQ(palo.SectionCount, 1);
    EXPECT_FLOAT_EQ(palo.Sections[0].Diameter, 50);
    EXPECT_FLOAT_EQ(palo.Sections[0].Thickness, 2);
    EXPECT_FLOAT_EQ(palo.Sections[0].Length, 3);
    EXPECT_EQ(palo.Sections[1].Diameter, LevelNone);

    // Equal sizes: the first in list order wins.
    ASSERT_TRUE(SizeMastSections(palo, {Tube(60, 2, 3), Tube(50, 2, 3)}, false));
    EXPECT_FLOAT_EQ(palo.Sections[0].Diameter, 60);
}

TEST_F(MastEvaluationTest, SizingWithoutCandidatesOrWithNoneStrongEnough) {
    palo.SectionCount = 2;
    palo.Sections[0] = Tube(50, 2, 3);
    for (const std::vector<TTroncoPalo>& candidates :
         {std::vector<TTroncoPalo>{}, std::vector<TTroncoPalo>{Tube(28, 2, 3), Tube(35, 2, 3)}}) {
        EXPECT_FALSE(SizeMastSections(palo, candidates, false));
        EXPECT_EQ(palo.SectionCount, 1);
        for (const TTroncoPalo& t : palo.Sections) EXPECT_EQ(t.Diameter, LevelNone);
    }
}

TEST_F(MastEvaluationTest, SizingStacksTubesThatFitInside) {
    // The Yagi (0.2 mq) stands at 5 m: one 3 m tube is too short and 60 x 3
    // is too weak at the foot of two. 70 x 4 below leaves 70 - 8 - 3 = 59 mm
    // inside, so a 60 mm tube only stands on it without telescopic joints.
    palo.Antennas.Items[0]->Spacing = 500;
    palo.Antennas.Items[0]->Area = 0.2f;
    const std::vector<TTroncoPalo> candidates = {Tube(60, 3, 3), Tube(70, 4, 3)};
    ASSERT_TRUE(SizeMastSections(palo, candidates, false));
    EXPECT_EQ(palo.SectionCount, 2);
    EXPECT_FLOAT_EQ(palo.Sections[0].Diameter, 70);
    EXPECT_FLOAT_EQ(palo.Sections[1].Diameter, 60);
    EXPECT_EQ(palo.Telescopic, 0);

    EXPECT_FALSE(SizeMastSections(palo, candidates, true));
    EXPECT_EQ(palo.Telescopic, 1);

    // Telescopic, with a tube that slides in: the top section goes down by
    // the excess height (581 - 510) plus the least overlap.
    ASSERT_TRUE(SizeMastSections(palo, {Tube(70, 4, 3), Tube(50, 3, 3)}, true));
    EXPECT_EQ(palo.SectionCount, 2);
    EXPECT_FLOAT_EQ(palo.Sections[1].Diameter, 50);
    EXPECT_FLOAT_EQ(palo.Sections[1].Insertion, 71 + MastMinInsertionTelescopic);
    const TValutazionePalo v = EvaluateMast(palo);
    EXPECT_DOUBLE_EQ(v.AvailableHeight(2), 510);
}

// A long tube over a short one: sliding it down by the whole excess would put
// its lower end 91 cm below the mast foot. It goes down only until its lower
// end is just above the foot (1 m - 1 cm of overlap), and the mast stays
// taller than needed.
TEST_F(MastEvaluationTest, SizingNeverSlidesATubeThroughTheFoot) {
    // 0.05 mq at 3 m: 40 x 2 alone fails at the foot (427 N·m against 338.5);
    // standing on the 1 m tube it carries 254 N·m.
    palo.Antennas.Items[0]->Spacing = 300;
    palo.Antennas.Items[0]->Area = 0.05f;
    ASSERT_TRUE(SizeMastSections(palo, {Tube(70, 4, 1), Tube(40, 2, 4)}, true));
    ASSERT_EQ(palo.SectionCount, 2);
    EXPECT_FLOAT_EQ(palo.Sections[1].Diameter, 40);
    EXPECT_FLOAT_EQ(palo.Sections[1].Insertion, 99);
    const TValutazionePalo v = EvaluateMast(palo);
    EXPECT_LT(v.Sections[1].Bottom, v.FootY);
    EXPECT_GE(v.AvailableHeight(2), v.RequiredHeight);
    EXPECT_FALSE(v.Sections[0].Fails());
    EXPECT_FALSE(v.Sections[1].Fails());
}

TEST_F(MastEvaluationTest, SizingRaisesTheFootToTheFreeGround) {
    palo.Ground = 100;
    ASSERT_TRUE(SizeMastSections(palo, {Tube(50, 2, 3)}, false));
    EXPECT_EQ(palo.FootPosition, 100);
    EXPECT_EQ(palo.SectionCount, 1);
}

}  // namespace
