#include "core/levels.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint32_t Bits(float v) {
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

TEST(Levels, SentinelsAreTheExactFloatsStoredOnFile) {
    const struct {
        float value;
        uint32_t bits;
    } cases[] = {
        {LevelNone, 0xC8F42420},         {LevelBlocked, 0xC8F42440},  {LevelReqUndefined, 0xC8F42460},
        {LevelReqUnlimited, 0xC8F42480}, {LevelReqEmpty, 0xC8F424A0}, {LevelOff, 0xC8F424C0},
        {LevelError, 0xC8F424E0},        {LevelRepeat, 0xC8F42500},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Bits(c.value), c.bits) << c.value;
        EXPECT_FALSE(IsRealLevel(c.value)) << c.value;
    }
    EXPECT_TRUE(IsRealLevel(-500000.0f));
    EXPECT_TRUE(IsRealLevel(0.0f));
}

TEST(Levels, IntToText) {
    const struct {
        int n;
        const char* text;
    } cases[] = {{0, "0"}, {7, "7"}, {123456, "123456"}, {-1, ""}, {-500001, ""}};
    for (const auto& c : cases) EXPECT_EQ(IntToText(c.n), c.text) << c.n;
}

TEST(Levels, TextToIntGivesTheDefaultForAnythingButAnInteger) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"42", 42},  {"-3", -3},  {" 15 ", 15}, {"", 99},
        {"abc", 99}, {"4,5", 99}, {"12x", 99},  {"99999999999", 99},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToInt(c.text, 99), c.expected) << '"' << c.text << '"';
}

TEST(Levels, FormatNumberLeavesNegativeValuesEmpty) {
    const struct {
        const char* mask;
        double value;
        const char* expected;
    } cases[] = {
        {"0.##", 2.675, "2,68"},           {"##0.##", 12.5, "12,5"}, {"#0.00", 0.0, "0,00"},
        {"#,##0", 1234567.0, "1.234.567"}, {"0.##", -1.0, ""},       {"0.##", -0.0001, ""},
        {"#0.00", -500001.0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumber(c.mask, c.value), c.expected) << c.mask << ' ' << c.value;
}

TEST(Levels, TextToFloatGivesTheDefaultForAnythingButANumber) {
    const struct {
        const char* text;
        float expected;
    } cases[] = {
        {"12,5", 12.5f},      {"-3", -3.0f},      {"0", 0.0f},          {"", LevelNone},
        {"12.5", LevelNone},  {"abc", LevelNone}, {"1,2,3", LevelNone}, {"1e39", LevelNone},
        {"-1e39", LevelNone}, {"*", LevelNone},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToFloat(c.text, LevelNone), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(TextToFloat("", 7.0f), 7.0f);
}

TEST(Levels, TextToFloatLenientKeepsDigitsAndTheSeparator) {
    const struct {
        const char* text;
        float expected;
    } cases[] = {
        {"95,5 dBuV", 95.5f}, {"12 dB", 12.0f}, {"dB", 0.0f},
        {"", 0.0f},           {"-3", 3.0f},  // the minus sign is not kept
        {"1.234,5", 1234.5f},                // the thousands dot goes
        {"a1b2c3", 123.0f},                  // runs of removed characters
        {"€ 7,25", 7.25f},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToFloatLenient(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Levels, TextToFloatLenientFollowsTheProgramsSeparator) {
    TFormatSettings& fs = FormatSettings();
    const TFormatSettings saved = fs;
    fs.DecimalSeparator = '.';
    fs.ThousandSeparator = ',';
    const float dot = TextToFloatLenient("1,234.5 MHz");
    const float comma = TextToFloatLenient("12,5");
    fs = saved;
    EXPECT_EQ(dot, 1234.5f);
    EXPECT_EQ(comma, 125.0f);
}

TEST(Levels, TextToFloatLenientPassesOnATextWithTwoSeparators) {
    EXPECT_THROW(TextToFloatLenient("1,2,3"), EConvertError);
    EXPECT_THROW(TextToFloatLenient("versione 1,2 e 3,4"), EConvertError);
}

TEST(Levels, ParseLevelTakesTheTypedSentinels) {
    const struct {
        const char* text;
        float expected;
    } cases[] = {
        {"", LevelNone}, {"*", LevelBlocked}, {"<", LevelRepeat}, {"12,5", 12.5f},
        {"-4", -4.0f},   {"x", LevelNone},    {"**", LevelNone},  {"12 dB", LevelNone},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseLevel(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Levels, FormatLevelShowsTheTypedSentinelsWhateverTheMask) {
    const struct {
        float value;
        const char* mask;
        const char* expected;
    } cases[] = {
        {LevelNone, "#0.00", ""},    {LevelBlocked, "#0.00", "*"},    {LevelRepeat, "#0.00", "<"},
        {LevelRepeat, "0", "<"},     {LevelReqEmpty, "0", "-500005"},  // other sentinels are plain numbers
                                                                       // here
        {12.345f, "#0.00", "12,35"}, {-3.0f, "#0.#", "-3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatLevel(c.value, c.mask), c.expected) << c.value << ' ' << c.mask;
}

TEST(Levels, ParseAndFormatLevelAreInverseOnTheTypedSentinels) {
    for (const char* text : {"", "*", "<"}) EXPECT_EQ(FormatLevel(ParseLevel(text), "0.##"), text);
}

TEST(Levels, FileNamesWithEitherSeparator) {
    const struct {
        const char* path;
        const char* base;
        const char* directory;
    } cases[] = {
        {"C:\\Librerie\\Varne.alb", "Varne", "C:\\Librerie\\"},
        {"/home/utente/librerie/Varne.alb", "Varne", "/home/utente/librerie/"},
        {"C:\\dati/misto\\Casa.ant", "Casa", "C:\\dati/misto\\"},
        {"Varne.alb", "Varne", "Varne.alb"},
        {"Varne", "Varne", "Varne"},
        {"archivio.tar.gz", "archivio.tar", "archivio.tar.gz"},
        {"/dati/vecchi.progetti/Casa", "Casa", "/dati/vecchi.progetti/"},
        {"C:\\v1.2\\Lib", "Lib", "C:\\v1.2\\"},
        {"/dati/", "", "/dati/"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileBaseName(c.path), c.base) << c.path;
        EXPECT_EQ(FileDirectory(c.path), c.directory) << c.path;
    }
}

TEST(Levels, TextBeforeCaret) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {{"ABC123^2", "ABC123"}, {"ABC123", "ABC123"}, {"^x", ""}, {"a^b^c", "a"}, {"", ""}};
    for (const auto& c : cases) EXPECT_EQ(TextBeforeCaret(c.text), c.expected) << c.text;
}

TEST(Levels, PassNumbersOnlyGrow) {
    const uint32_t first = NextPassNumber();
    EXPECT_GE(first, 1u);
    uint32_t last = first;
    for (int i = 0; i < 1000; ++i) {
        const uint32_t next = NextPassNumber();
        ASSERT_EQ(next, last + 1);
        last = next;
    }
}

}  // namespace
