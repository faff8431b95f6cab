#include "core/ini.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>

#include "support/globals_fixture.h"

namespace {

// Every case writes through the program's store and reads back through a
// second store on the same settings file, so that what is checked is what
// stands on file.
class Settings : public GlobalsTest {
protected:
    TIni& ini = globals.Settings();
    AnsiString Stored(const AnsiString& name) { return TIni().String(name); }
    void Store(const AnsiString& name, const AnsiString& text) { ini.WriteString(name, text); }
};

TEST_F(Settings, FloatsRoundTripInTheirStoredForm) {
    const struct {
        float value;
        const char* stored;
        float readBack;
    } cases[] = {
        {0.0f, "0", 0.0f},  // the mask alone would store "" and lose it
        {0.5f, ",5", 0.5f},
        {-2.5f, "-2,5", -2.5f},
        {12.25f, "12,25", 12.25f},
        {1.23456789f, "1,234568", 1.234568f},
        {0.0000001f, "0", 0.0f},
        {-0.0000001f, "0", 0.0f},
        {123456.5f, "123456,5", 123456.5f},
        {-500001.0f, "-500001", -500001.0f},
    };
    for (const auto& c : cases) {
        ini.WriteFloat("Valore", c.value);
        EXPECT_EQ(Stored("Valore"), c.stored) << c.value;
        float v = 99.0f;
        TIni().ReadFloatDef("Valore", v, 77.0f);
        EXPECT_EQ(v, c.readBack) << c.value;
    }
}

TEST_F(Settings, IntegersBytesAndBooleansRoundTrip) {
    const int32_t integers[] = {0, 1, -1, 12345, -500001, INT_MAX, INT_MIN};
    for (int32_t n : integers) {
        ini.WriteInteger("Intero", n);
        EXPECT_EQ(Stored("Intero"), std::to_string(n));
        int32_t v = 5;
        TIni().ReadInteger("Intero", v);
        EXPECT_EQ(v, n);
    }
    for (int b = -128; b <= 127; ++b) {
        ini.WriteByte("Byte", static_cast<int8_t>(b));
        int8_t v = 5;
        TIni().ReadByte("Byte", v);
        ASSERT_EQ(v, b);
    }
    for (bool b : {true, false}) {
        ini.WriteBool("Flag", b);
        EXPECT_EQ(Stored("Flag"), b ? "1" : "0");
        bool v = !b;
        TIni().ReadBoolDef("Flag", v, !b);
        EXPECT_EQ(v, b);
    }
}

TEST_F(Settings, TextsRoundTripWithTheirSpecialCharacters) {
    const char* texts[] = {
        "",
        "Mario Rossi",
        "Via dell'Università, 3",
        "riga uno\nriga due\r\nriga tre",
        "C:\\Progetti\\Casa.ant",
        "a=b=c",
        "  spazi  ",
    };
    for (const char* text : texts) {
        ini.WriteString("Testo", text);
        AnsiString v = "prima";
        TIni().ReadString("Testo", v);
        EXPECT_EQ(v, text);
    }
    ini.WriteCString("Testo", "da un campo");
    EXPECT_EQ(Stored("Testo"), "da un campo");
    ini.WriteCString("Testo", nullptr);
    EXPECT_EQ(Stored("Testo"), "");
}

TEST_F(Settings, MissingOrEmptyValuesGiveTheDefault) {
    Store("Vuoto", "");
    for (const char* name : {"Mancante", "Vuoto"}) {
        AnsiString s = "x";
        float f = 3.0f;
        int8_t b = 3;
        int32_t i = 3;
        bool flag = true;
        ini.ReadString(name, s);
        ini.ReadFloat(name, f);
        ini.ReadByte(name, b);
        ini.ReadInteger(name, i);
        ini.ReadBool(name, flag);
        EXPECT_EQ(s, "") << name;
        EXPECT_EQ(f, -1.0f) << name;
        EXPECT_EQ(b, 0) << name;
        EXPECT_EQ(i, -1) << name;
        EXPECT_FALSE(flag) << name;

        ini.ReadFloatDef(name, f, 2.5f);
        ini.ReadByteDef(name, b, -4);
        ini.ReadIntegerDef(name, i, 42);
        ini.ReadBoolDef(name, flag, true);
        EXPECT_EQ(f, 2.5f) << name;
        EXPECT_EQ(b, -4) << name;
        EXPECT_EQ(i, 42) << name;
        EXPECT_TRUE(flag) << name;
    }
}

TEST_F(Settings, AValueThatIsNotANumberReadsAsTheDefault) {
    const char* texts[] = {"abc", "12.5", "1,2,3", "12 dB", "1e40", "-", ",", "$"};
    for (const char* text : texts) {
        Store("Valore", text);
        float f = 0.0f;
        int32_t i = 0;
        int8_t b = 0;
        EXPECT_NO_THROW(ini.ReadFloatDef("Valore", f, 7.5f)) << text;
        EXPECT_NO_THROW(ini.ReadIntegerDef("Valore", i, 7)) << text;
        EXPECT_NO_THROW(ini.ReadByteDef("Valore", b, 7)) << text;
        EXPECT_EQ(f, 7.5f) << text;
        EXPECT_EQ(i, 7) << text;
        EXPECT_EQ(b, 7) << text;
    }
    Store("Valore", "99999999999");  // a float, but beyond any integer
    int32_t i = 0;
    ini.ReadIntegerDef("Valore", i, 7);
    EXPECT_EQ(i, 7);
}

TEST_F(Settings, StoredTextsReadAsTheirKind) {
    const struct {
        const char* text;
        int8_t byte;
        bool flag;
    } cases[] = {
        {"1", 1, true},      {"0", 0, false},   {"yes", 7, false},
        {"true", 7, false},  {"2", 2, false},   {"300", 44, false},  // cut to its low byte
        {"200", -56, false}, {"-1", -1, false},
    };
    for (const auto& c : cases) {
        Store("Valore", c.text);
        int8_t b = 0;
        bool flag = true;
        ini.ReadByteDef("Valore", b, 7);
        ini.ReadBoolDef("Valore", flag, true);
        EXPECT_EQ(b, c.byte) << c.text;
        EXPECT_EQ(flag, c.flag) << c.text;
    }
    Store("Valore", "12,5");
    float f = 0.0f;
    ini.ReadFloat("Valore", f);
    EXPECT_EQ(f, 12.5f);
}

TEST_F(Settings, ADamagedFileGivesDefaults) {
    ini.WriteInteger("Intero", 5);
    {
        std::ofstream out(globals.SettingsPath(), std::ios::binary | std::ios::trunc);
        out << "\x01\xFF\xFE garbage without separator\n\\\\\\=\n=\nIntero\n";
    }
    int32_t i = 0;
    TIni().ReadIntegerDef("Intero", i, 9);
    EXPECT_EQ(i, 9);
    // The store still works after it.
    ini.WriteInteger("Intero", 6);
    TIni().ReadIntegerDef("Intero", i, 9);
    EXPECT_EQ(i, 6);
}

TEST_F(Settings, ValuesAreKeptInTheSettingsFile) {
    ini.WriteString("NomeDitta", "Impianti è Antenne");
    std::ifstream in(globals.SettingsPath(), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(content.find("NomeDitta=Impianti è Antenne"), std::string::npos) << content;
}

}  // namespace
