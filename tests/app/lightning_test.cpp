// The lightning-risk model: defaults, lines, missing inputs and section 209.
#include "app/lightning.h"

#include <gtest/gtest.h>

#include "core/file.h"

namespace {

void ExpectNear(float actual, double expected, const char* name) {
    EXPECT_NEAR(actual, expected, std::abs(expected) * 1e-6) << name;
}

TEST(LightningTest, Defaults) {
    TFulmini f;
    EXPECT_EQ(f.Ad, 4128);
    EXPECT_EQ(f.Insufficient, 0);
    struct Case {
        const char* name;
        float value;
        double expected;
    };
    for (const Case& c :
         {Case{"Nd", f.Nd, 0.016512}, Case{"ra", f.ra, 0.001}, Case{"Lt", f.Lt, 0.0001}, Case{"rp", f.rp, 1},
          Case{"hz", f.hz, 1}, Case{"rf", f.rf, 0.001}, Case{"Lf", f.Lf, 0.1}, Case{"ru", f.ru, 0.01},
          Case{"Ra", f.Ra, 1.6512e-9}, Case{"Rb", f.Rb, 1.6512e-6}, Case{"Ru", f.Ru, 0}, Case{"Rv", f.Rv, 0},
          Case{"R1", f.R1, 1.6528512e-6}})
        ExpectNear(c.value, c.expected, c.name);
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
