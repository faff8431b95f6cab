#include "platform/sysutils.h"

#include <gtest/gtest.h>

namespace {

struct FormatCase {
    const char* mask;
    double value;
    const char* expected;
};

TEST(FormatFloat, MasksOfTheProgram) {
    // clang-format off
    const FormatCase cases[] = {
        {"#.######", 0.0, ""},
        {"#.######", 0.5, ",5"},
        {"#.######", 12.25, "12,25"},
        {"#.######", 1.0 / 3.0, ",333333"},
        {"#.######", 0.0000004, ""},
        {"#.######", 0.0000005, ",000001"},
        {"#.######", -2.5, "-2,5"},
        {"#0.00", 0.0, "0,00"},
        {"#0.00", 3.0, "3,00"},
        {"#0.00", -3.456, "-3,46"},
        {"#0.00", 1234.5, "1234,50"},
        {"#,##0", 1234567.0, "1.234.567"},
        {"#,##0", 999.0, "999"},
        {"#,##0", 0.4, "0"},
        {"#,##0.00", 1234.5, "1.234,50"},
        {"#,##0.00", -1234567.891, "-1.234.567,89"},
        {"##0.##", 5.0, "5"},
        {"##0.##", 5.125, "5,13"},
        {"###0.#", 12.34, "12,3"},
        {"0.##", 2.675, "2,68"},   // the decimal form, not the binary one
        {"0.##", 1.005, "1,01"},
        {"0.##", -0.001, "0"},     // no minus sign on a value that rounds to zero
        {"#0", 2.5, "3"},
        {"#0", -2.5, "-3"},
        {"#0", 0.0, "0"},
        {"#0.#########", 0.1, "0,1"},
        {"#0.#########", 1e-9, "0,000000001"},
        {"0.0 dB", 3.0, "3,0 dB"},
        {"\"L=\"0.0", 3.25, "L=3,3"},
        {"0.00;(0.00)", -1.5, "(1,50)"},
        {"0.00;-0.00;\"zero\"", 0.0, "zero"},
        {"#0.00", 50000.0, "50000,00"},
        {"#0.00", -500001.0, "-500001,00"},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.mask, c.value), c.expected) << c.mask << " " << c.value;
}

TEST(FormatFloat, ScientificMasks) {
    // clang-format off
    const FormatCase cases[] = {
        {"0.00E+00", 1.6528e-6, "1,65E-06"},
        {"0.00E+00", 1.60514112e-5, "1,61E-05"},
        {"0.00E+00", 1e-5, "1,00E-05"},
        {"0.00E+00", 9.996e-3, "1,00E-02"},   // rounding carries into the exponent
        {"0.00E+00", 0.0, "0,00E+00"},
        {"0.00E+00", 123456.0, "1,23E+05"},
        {"0.00E-00", 123456.0, "1,23E05"},    // "E-" shows only a negative sign
        {"0.00E+00", -2.5e-7, "-2,50E-07"},
        {"0.##E+0", 1.5e-12, "1,5E-12"},
        {"00.0E+000", 12345.0, "12,3E+003"},
        {"0.0E+00 \"m\"", 0.25, "2,5E-01 m"},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.mask, c.value), c.expected) << c.mask << " " << c.value;
}

TEST(FormatFloat, SeparatorsAreProgramSettings) {
    TFormatSettings saved = FormatSettings();
    FormatSettings().DecimalSeparator = '.';
    FormatSettings().ThousandSeparator = ',';
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1,234.50");
    EXPECT_EQ(FloatToStr(0.25), "0.25");
    double v = 0;
    EXPECT_TRUE(TryStrToFloat("1.5", v));
    EXPECT_DOUBLE_EQ(v, 1.5);
    EXPECT_FALSE(TryStrToFloat("1,5", v));
    FormatSettings() = saved;
}

TEST(Conversions, StrictFormsRaise) {
    EXPECT_EQ(StrToInt(" 42 "), 42);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_THROW(StrToInt("4x"), EConvertError);
    EXPECT_THROW(StrToInt(""), EConvertError);
    EXPECT_THROW(StrToInt("99999999999"), EConvertError);
    EXPECT_DOUBLE_EQ(StrToFloat("2,5"), 2.5);
    EXPECT_DOUBLE_EQ(StrToFloat("-1,5E2"), -150.0);
    EXPECT_THROW(StrToFloat("2.5"), EConvertError);  // '.' is not the separator here
    EXPECT_THROW(StrToFloat("1,2,3"), EConvertError);
    EXPECT_THROW(StrToFloat("-"), EConvertError);
    EXPECT_THROW(StrToFloat("abc"), EConvertError);
    EXPECT_EQ(FloatToStr(1.5), "1,5");
    EXPECT_EQ(FloatToStr(-500001.0), "-500001");
    EXPECT_EQ(FloatToStr(static_cast<float>(0.1)), "0,100000001490116");
}

TEST(Texts, CaseAndPaths) {
    EXPECT_EQ(CompareText("varne.ALB", "VARNE.alb"), 0);
    EXPECT_LT(CompareText("a", "b"), 0);
    EXPECT_EQ(AnsiUpperCase("perché"), "PERCHÉ");
    EXPECT_EQ(Trim("  x y \t"), "x y");
    EXPECT_EQ(ExtractFilePath("/a/b/c.ant"), "/a/b/");
    EXPECT_EQ(ExtractFilePath("C:\\dir\\c.ant"), "C:\\dir\\");
    EXPECT_EQ(ExtractFileName("/a/b/c.ant"), "c.ant");
    EXPECT_EQ(ExtractFileExt("/a.b/c"), "");
    EXPECT_EQ(ExtractFileExt("/a/c.ant"), ".ant");
    EXPECT_EQ(ChangeFileExt("/a/c.ant", ".bak"), "/a/c.bak");
    EXPECT_EQ(ChangeFileExt("/a.d/c", ".bak"), "/a.d/c.bak");
}

}  // namespace
