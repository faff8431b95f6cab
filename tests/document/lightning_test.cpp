// The lightning-risk model: defaults, lines, missing inputs and section 209.
#include "document/lightning.h"

#include <gtest/gtest.h>

#include "core/file.h"

namespace {

void ExpectNear(float actual, double expected, const char* name) {
    EXPECT_NEAR(actual, expected, std::abs(expected) * 1e-6) << name;
}

// A computed figure with the value worked out by hand.
struct Figure {
    const char* name;
    float value;
    double expected;
};
void ExpectFigures(std::initializer_list<Figure> figures) {
    for (const Figure& f : figures) ExpectNear(f.value, f.expected, f.name);
}

TEST(LightningTest, Defaults) {
    TFulmini f;
    EXPECT_EQ(f.Ad, 4128);
    EXPECT_EQ(f.Insufficient, 0);
    ExpectFigures({Figure{"Nd", f.Nd, 0.016512}, Figure{"ra", f.ra, 0.001}, Figure{"Lt", f.Lt, 0.0001},
                   Figure{"rp", f.rp, 1}, Figure{"hz", f.hz, 1}, Figure{"rf", f.rf, 0.001},
                   Figure{"Lf", f.Lf, 0.1}, Figure{"ru", f.ru, 0.01}, Figure{"Ra", f.Ra, 1.6512e-9},
                   Figure{"Rb", f.Rb, 1.6512e-6}, Figure{"Ru", f.Ru, 0}, Figure{"Rv", f.Rv, 0},
                   Figure{"R1", f.R1, 1.6528512e-6}});
    EXPECT_EQ(f.Norm, "CEI 81.10-2 (EN 62305-2)");
}

TEST(LightningTest, OneAerialDataLine) {
    TFulmini f;
    f.AerialLinesA = 1;
    f.Compute();
    ExpectNear(f.AlAerial, 35640, "Al");
    ExpectNear(f.NlAerial, 0.14256, "Nl");
    ExpectNear(f.Ru, 1.4256e-7, "Ru");
    ExpectNear(f.Rv, 1.4256e-5, "Rv");
    ExpectNear(f.R1, 1.60514112e-5, "R1");
}

// A complex structure of 2500 mq among taller buildings (Ca 0.25), people
// outside, several factors from mixed groups, one aerial data line and two
// buried energy lines. Worked by hand from the formulas:
//   Nd = 4 · 0.25 · 2500 · 1e-6 = 0.0025
//   Ra = Nd · 1e-4 · 0.01; Rb = Nd · 0.2 · 50 · 0.1 · 0.05 = 1.25e-4
//   Nl aerial = 4 · 36000 · 0.25e-6 = 0.036, Nl buried = 4 · √500·1000 · 0.25e-6
//   Ru = (Nl aerial + 2 · Nl buried) · 1e-4 · 0.01, Rv = (Nl aerial + 2 · Nl buried) · 0.05
TEST(LightningTest, ComplexStructureWithBuriedLinesWorkedByHand) {
    TFulmini f;
    f.Parallelepiped = 0;
    f.Ad = 2500;
    f.Surroundings = 0;
    f.PersonsOutside = 1;
    f.FloorKinds = (1 << 4) | (1 << 7);      // gravel and asphalt: the lower group, 1e-4
    f.StructureKinds = (1 << 1) | (1 << 6);  // entertainment and school: the higher, 0.05
    f.FireProvisions = (1 << 0) | (1 << 7);  // automatic alarm with extinguishers: 0.2
    f.SpecialHazard = 6;
    f.FireRisk = 1;
    f.LineSoilKinds = 1 << 4;
    f.AerialLinesA = 1;
    f.BuriedLinesB = 2;
    f.Compute();
    EXPECT_EQ(f.Insufficient, 0);
    ExpectFigures({Figure{"Ca", f.Ca, 0.25}, Figure{"Lt", f.Lt, 0.01}, Figure{"ra", f.ra, 1e-4},
                   Figure{"Lf", f.Lf, 0.05}, Figure{"rp", f.rp, 0.2}, Figure{"hz", f.hz, 50},
                   Figure{"rf", f.rf, 0.1}, Figure{"ru", f.ru, 1e-4}, Figure{"Nd", f.Nd, 0.0025},
                   Figure{"Ra", f.Ra, 2.5e-9}, Figure{"Rb", f.Rb, 1.25e-4},
                   Figure{"Nl aerial", f.NlAerial, 0.036}, Figure{"Nl buried", f.NlBuried, 0.0223606798},
                   Figure{"Ru", f.Ru, 8.072136e-8}, Figure{"Rv", f.Rv, 4.036068e-3},
                   Figure{"R1", f.R1, 4.1611512e-3}});
}

// Sizes no building has: nothing is judged from them, and no figure turns
// negative (a negative risk would read as "no protection needed").
TEST(LightningTest, NegativeSizesAndVeryTallStructures) {
    struct Case {
        const char* what;
        int32_t l, w, h;
    };
    for (const Case& c : {Case{"negative length", -10, 10, 10}, Case{"negative width", 10, -30, 10},
                          Case{"negative height", 10, 10, -3}}) {
        TFulmini f;
        f.L = c.l;
        f.W = c.w;
        f.H = c.h;
        f.Compute();
        EXPECT_EQ(f.Ad, -500001) << c.what;
        EXPECT_EQ(f.Insufficient, 1) << c.what;
        EXPECT_LE(f.LineTerm, 1000.0f) << c.what;  // the lines still shown keep a real length
    }

    TFulmini typed;
    typed.Parallelepiped = 0;
    typed.Ad = -2500;
    typed.Compute();
    EXPECT_EQ(typed.Insufficient, 1);
    EXPECT_EQ(typed.Nd, LevelNone);

    // 1200 m high: the lines have no stretch left that a flash could reach.
    TFulmini tall;
    tall.L = tall.W = 10;
    tall.H = 1200;
    tall.AerialLinesA = tall.BuriedLinesB = 1;
    tall.Compute();
    EXPECT_EQ(tall.Insufficient, 0);
    EXPECT_EQ(tall.LineTerm, 0.0f);
    EXPECT_EQ(tall.Ru, 0.0f);
    EXPECT_EQ(tall.Rv, 0.0f);
    EXPECT_GT(tall.R1, 0.0f);
}

TEST(LightningTest, FactorsOfTheBitSets) {
    TFulmini f;
    f.FireProvisions = 1 << 6;
    f.Compute();
    EXPECT_FLOAT_EQ(f.rp, 0.2f);
    f.FireProvisions = 1;
    f.Compute();
    EXPECT_FLOAT_EQ(f.rp, 0.5f);
    f.SpecialHazard = 4;
    f.Compute();
    EXPECT_EQ(f.hz, 10.0f);
    f.SpecialHazard = 7;  // no such choice: hz stays
    f.Compute();
    EXPECT_EQ(f.hz, 10.0f);
}

TEST(LightningTest, MissingAndOversizedDimensions) {
    TFulmini f;
    f.Parallelepiped = 0;
    f.Ad = 5000;
    f.Compute();
    EXPECT_EQ(f.L, -500001);
    EXPECT_EQ(f.H, -500001);
    EXPECT_EQ(f.LineTerm, 1000.0f);
    EXPECT_EQ(f.Ad, 5000);
    EXPECT_EQ(f.Insufficient, 0);

    // An area beyond what the field holds is no value.
    TFulmini big;
    big.L = big.W = big.H = 100000;
    big.Compute();
    EXPECT_EQ(big.Ad, -500001);
    EXPECT_EQ(big.Insufficient, 1);
    EXPECT_EQ(big.Nd, LevelNone);
}

TEST(LightningTest, SectionReadsBackAndKeepsTheSpareFields) {
    TFulmini f;
    f.L = 20;
    f.StructureKinds = 2;
    f.Spare = 77;
    f.Flag = 0;
    f.PersonsOutside = 1;
    f.BuriedLinesB = 2;
    f.Notes = "Note sul rischio";
    f.Compute();
    TMemoryStream out;
    f.Save(out);
    EXPECT_EQ(out.Bytes().size(), 16u * 4 + 3 + 1 + 16 + 1 + 24);

    TFulmini back;
    back.Ng = 2.5f;  // not stored: stays
    TMemoryStream in(out.Bytes());
    back.LoadFromStream(in);
    EXPECT_EQ(back.Spare, 77);
    EXPECT_EQ(back.Flag, 0);
    EXPECT_EQ(back.Ng, 2.5f);
    EXPECT_EQ(back.Notes, "Note sul rischio");
    EXPECT_EQ(back.Ad, f.Ad);
    TMemoryStream again;
    back.Save(again);
    EXPECT_EQ(again.Bytes(), out.Bytes());

    TMemoryStream cut(out.Bytes().substr(0, 40));
    EXPECT_THROW(back.LoadFromStream(cut), EReadError);
}

}  // namespace
