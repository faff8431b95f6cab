#include "core/options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "core/band_systems.h"
#include "core/globals.h"
#include "core/ini.h"
#include "platform/application.h"
#include "platform/classes.h"
#include "support/globals_fixture.h"

namespace {

// Options over the test's own settings file, with the program's band systems;
// the program directory is the test's folder.
class OptionsTest : public GlobalsTest {
protected:
    // The stored text of a value, read through a store of its own so that it
    // comes from the file.
    AnsiString Stored(const AnsiString& name) { return TIni().String(name); }

    TSistemiBande& systems = globals.BandSystems();
    TIni* ini = &globals.Settings();
    const AnsiString dir = globals.Dir().Path() + "/";
};

// The limits a first run has: the default table with the reset's changes.
// Rows are band slots, columns the limit kinds in their order.
// clang-format off
const float ResetLimits[BandSlots][LimitKinds] = {
    // DiffMax AttMin SigMin SigMax CNMin CNMinDig SigBanda SigAdj Sig60 SigMinDig SigMaxDig DiffAnDig
    {1000, 0, 60, 60, 1000, 1000, 1000, 1000, 1000, 60, 60, 1000},
    {20, 42, 60, 80, 44, 24, 12, 3, 6, 47, 67, 13},
    {17, 36, 50, 70, 44, 24, 12, 3, 6, 50, 70, 13},
    {20, 42, 65, 80, 44, 24, 12, 3, 6, 50, 67, 13},
    {17, 36, 65, 80, 44, 24, 12, 3, 6, 50, 67, 13},
    {17, 36, 65, 80, 44, 24, 12, 3, 6, 50, 67, 13},
    {25, 30, 50, 77, 15, 11, 15, 1000, 1000, 50, 77, 0},
    {25, 30, 50, 77, 15, 11, 15, 1000, 1000, 50, 77, 0},
    {25, 30, 50, 77, 15, 11, 15, 1000, 1000, 50, 77, 0},
    {25, 30, 50, 77, 15, 11, 15, 1000, 1000, 50, 77, 0},
    {25, 30, 50, 77, 15, 11, 15, 1000, 1000, 50, 77, 0},
    {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000},
    {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000},
    {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000},
    {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000},
};
// clang-format on

// The default limits, which a load without stored limits gives.
// clang-format off
const float DefaultLimits[BandSlots][LimitKinds] = {
    {1000, 0, 60, 60, 1000, 1000, 1000, 1000, 1000, 60, 60, 1000},
    {20, 42, 60, 80, 44, 24, 12, 3, 6, 47, 67, 13},
    {17, 36, 50, 70, 44, 24, 12, 3, 6, 50, 70, 13},
    {20, 42, 60, 80, 44, 24, 12, 3, 6, 47, 67, 13},
    {17, 36, 60, 80, 44, 24, 12, 3, 6, 47, 67, 13},
    {17, 36, 60, 80, 44, 24, 12, 3, 6, 47, 67, 13},
    {25, 30, 47, 77, 15, 11, 15, 1000, 1000, 47, 77, 0},
    {25, 30, 47, 77, 15, 11, 15, 1000, 1000, 47, 77, 0},
    {25, 30, 47, 77, 15, 11, 15, 1000, 1000, 47, 77, 0},
    {25, 30, 47, 77, 15, 11, 15, 1000, 1000, 47, 77, 0},
    {25, 30, 47, 77, 15, 11, 15, 1000, 1000, 47, 77, 0},
    {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000},
    {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000},
    {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000},
    {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000},
};
// clang-format on

void ExpectLimits(const TOpzioni& o, const float (&expected)[BandSlots][LimitKinds]) {
    for (int band = 0; band < BandSlots; ++band)
        for (int kind = 0; kind < LimitKinds; ++kind)
            EXPECT_EQ(o.limits[band][kind], expected[band][kind]) << LimitKey(kind, band);
}

// Field by field, so that a difference names its field; then the whole.
void ExpectSameOptions(const TOpzioni& a, const TOpzioni& b) {
    ExpectLimits(a, b.limits);
    for (int i = 0; i < CurrencyCount; ++i)
        for (int j = 0; j < CurrencyCount; ++j) {
            EXPECT_EQ(a.currencyFactors[i][j], b.currencyFactors[i][j]) << i << "-" << j;
            EXPECT_EQ(a.currencyFactorTexts[i][j], b.currencyFactorTexts[i][j]) << i << "-" << j;
        }
    EXPECT_EQ(a.limitsBandSystem, b.limitsBandSystem);
    EXPECT_EQ(a.cableOverlap, b.cableOverlap);
    EXPECT_EQ(a.activeFilterChannels, b.activeFilterChannels);
    EXPECT_EQ(a.activeFilterCodes, b.activeFilterCodes);
    EXPECT_EQ(a.drawReturnAmplifiers, b.drawReturnAmplifiers);
    EXPECT_EQ(a.maxCellWidth, b.maxCellWidth);
    EXPECT_EQ(a.cellBorder, b.cellBorder);
    EXPECT_EQ(a.printBackground, b.printBackground);
    EXPECT_EQ(a.obliqueText, b.obliqueText);
    EXPECT_EQ(a.obliqueColour, b.obliqueColour);
    EXPECT_EQ(a.obliqueFont, b.obliqueFont);
    EXPECT_EQ(a.backgroundLevel, b.backgroundLevel);
    EXPECT_EQ(a.doubleDataWithoutZoom, b.doubleDataWithoutZoom);
    EXPECT_EQ(a.priceCurrency, b.priceCurrency);
    EXPECT_EQ(a.costM, b.costM);
    EXPECT_EQ(a.projectsDir, b.projectsDir);
    EXPECT_EQ(a.librariesDir, b.librariesDir);
    EXPECT_EQ(a.estimateFont, b.estimateFont);
    EXPECT_EQ(a.listFont, b.listFont);
    EXPECT_EQ(a.reportFont, b.reportFont);
    EXPECT_EQ(a.declarationFont, b.declarationFont);
    EXPECT_EQ(a.coverFont, b.coverFont);
    EXPECT_TRUE(a == b);
}

// The factors of a first run, as stored (decimal comma).
struct FactorCase {
    int from, to;
    const char* text;
};
// clang-format off
const FactorCase ResetFactors[] = {
    {1, 0, "1936,27"},    {0, 1, "0,000516457"}, {1, 2, "1,95583"},   {2, 1, "0,511292"},
    {1, 6, "166,386"},    {6, 1, "0,00601012"},  {0, 2, "0,0010101"}, {2, 0, "989,999"},
    {0, 6, "0,0859312"},  {6, 0, "11,6372"},     {2, 6, "85,0718"},   {6, 2, "0,0117548"},
};
// clang-format on

TEST_F(OptionsTest, FreshOptionsHoldTheFirstRunState) {
    TOpzioni o(ini, nullptr);
    ExpectLimits(o, ResetLimits);
    for (int band = 0; band < BandSlots; ++band)
        for (int kind = 0; kind < LimitKinds; ++kind)
            EXPECT_EQ(o.defaultLimits[band][kind], DefaultLimits[band][kind]) << LimitKey(kind, band);
    EXPECT_EQ(o.defaultBandSystem, systems.FindById('3'));
    EXPECT_EQ(o.limitsBandSystem, systems.FindById('3'));

    EXPECT_TRUE(o.cableOverlap);
    EXPECT_TRUE(o.activeFilterChannels);
    EXPECT_TRUE(o.activeFilterCodes);
    EXPECT_TRUE(o.drawReturnAmplifiers);
    EXPECT_EQ(o.maxCellWidth, 1.5f);
    EXPECT_EQ(o.cellBorder, 2);
    EXPECT_FALSE(o.printBackground);
    EXPECT_EQ(o.obliqueText, "");
    EXPECT_EQ(o.obliqueColour, 0);
    EXPECT_EQ(o.obliqueFont, "Times New Roman");
    EXPECT_EQ(o.backgroundLevel, 2);
    EXPECT_TRUE(o.cellSwitch);
    EXPECT_TRUE(o.doubleDataWithoutZoom);
    EXPECT_EQ(o.priceCurrency, 1);
    EXPECT_EQ(o.costM, 0.0f);
    EXPECT_EQ(o.resetMarker, 0);
    for (const AnsiString* font :
         {&o.estimateFont, &o.listFont, &o.reportFont, &o.declarationFont, &o.coverFont})
        EXPECT_EQ(*font, "Times New Roman");
    // Fields only a load sets hold the load's defaults.
    EXPECT_EQ(o.gridWidth, 42);
    const bool switches[] = {
        o.showToolbar,        o.showCodesPanel,          o.showAttenuations,      o.hbInformation,
        o.hbAttenuations,     o.hbSignalLimits,          o.hbGeneratedChannels,   o.hbDistributedChannels,
        o.cablesNotDescribed, o.componentsCNotDescribed, o.componentsNotDescribed};
    const bool expectedSwitches[] = {true, true, false, true, true, true, false, true, true, true, true};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(switches[i], expectedSwitches[i]) << "switch " << i;
}

TEST_F(OptionsTest, FreshOptionsHoldTheEuroFactorsAndNoOthers) {
    TOpzioni o(ini, nullptr);
    bool set[CurrencyCount][CurrencyCount] = {};
    for (const FactorCase& c : ResetFactors) {
        set[c.from][c.to] = true;
        EXPECT_EQ(o.currencyFactorTexts[c.from][c.to], c.text) << c.from << "-" << c.to;
        // The factor is the value of its text, as every later run reads it.
        EXPECT_EQ(o.currencyFactors[c.from][c.to], static_cast<float>(StrToFloat(c.text)))
            << c.from << "-" << c.to;
    }
    for (int i = 0; i < CurrencyCount; ++i)
        for (int j = 0; j < CurrencyCount; ++j)
            if (!set[i][j]) {
                EXPECT_EQ(o.currencyFactors[i][j], LevelNone) << i << "-" << j;
                EXPECT_EQ(o.currencyFactorTexts[i][j], "") << i << "-" << j;
            }
}

TEST_F(OptionsTest, ResetKeepsTheDigitalCarrierToNoiseLimits) {
    TOpzioni o(ini, nullptr);
    o.limits[1][LimitCNMinDig] = 30;
    o.limits[1][LimitCNMin] = 30;
    o.limits[4][LimitSigMin] = 1;
    o.ResetToDefaults();
    EXPECT_EQ(o.limits[1][LimitCNMinDig], 30);
    EXPECT_EQ(o.limits[1][LimitCNMin], 44);
    EXPECT_EQ(o.limits[4][LimitSigMin], 65);
}

TEST_F(OptionsTest, SaveThenLoadGivesEqualOptions) {
    TOpzioni o(ini, nullptr);
    // Move every stored field away from its default.
    o.limitsBandSystem = systems.FindById('2');
    for (int band = 0; band < BandSlots; ++band)
        for (int kind = 0; kind < LimitKinds; ++kind)
            o.limits[band][kind] = band * 1.25f + kind * 0.5f - 3.0f;
    o.limits[0][LimitDiffMax] = 0;
    o.cableOverlap = o.activeFilterChannels = o.activeFilterCodes = o.drawReturnAmplifiers = false;
    o.maxCellWidth = 2.75f;
    o.cellBorder = -3;
    o.printBackground = true;
    o.obliqueText = "Bozza = prova\nriga due";
    o.obliqueColour = 0x00FF8040;
    o.obliqueFont = "Arial";
    o.backgroundLevel = 7;
    o.doubleDataWithoutZoom = false;
    o.currencyFactorTexts[3][4] = "0,9";
    o.currencyFactors[3][4] = 0.9f;
    o.currencyFactorTexts[1][0] = "";
    o.currencyFactors[1][0] = LevelNone;
    o.priceCurrency = 5;
    o.costM = 12.5f;
    o.projectsDir = "/srv/progetti/Lavori/";  // beside the program folder, not in it
    o.librariesDir = "/opt/varne/librerie àè/";
    o.estimateFont = "A";
    o.listFont = "B";
    o.reportFont = "C";
    o.declarationFont = "D";
    o.coverFont = "E";
    o.Save();

    // Every read of the store reads its file.
    TOpzioni loaded(ini, nullptr);
    loaded.Load();
    ExpectSameOptions(loaded, o);
    EXPECT_EQ(loaded.limitsBandSystem, systems.FindById('2'));
    EXPECT_EQ(loaded.obliqueText, o.obliqueText);
    EXPECT_EQ(loaded.cellBorder, -3);
    EXPECT_EQ(loaded.currencyFactors[3][4], 0.9f);
    EXPECT_EQ(loaded.currencyFactors[1][0], LevelNone);
    EXPECT_EQ(loaded.librariesDir, "/opt/varne/librerie àè/");
    EXPECT_TRUE(Application->Script().MessageBoxes.empty());
}

TEST_F(OptionsTest, FirstRunStateSurvivesSaveAndLoad) {
    TOpzioni o(ini, nullptr);
    o.Save();
    TOpzioni loaded(ini, nullptr);
    loaded.Load();
    ExpectSameOptions(loaded, o);
    EXPECT_EQ(Stored("SigMin3"), "65");
    EXPECT_EQ(Stored("Valute1-0"), "1936,27");
    EXPECT_EQ(Stored("MaxLarghezzaCella"), "1,5");
    EXPECT_EQ(Stored("SistemaBandeLimiti"), "CR-FM-I/V-5");
    // A key removed later reads its default, not the reset value.
    ini->Store().DeleteKey("", "SigMin3");
    loaded.Load();
    EXPECT_EQ(loaded.limits[3][LimitSigMin], 60);
}

TEST_F(OptionsTest, ZeroValuesStayZero) {
    TOpzioni o(ini, nullptr);
    o.limits[2][LimitSigMin] = 0;
    o.limits[14][LimitSig60] = 0;
    o.maxCellWidth = 0;
    o.costM = 0;
    o.Save();
    TOpzioni loaded(ini, nullptr);
    loaded.Load();
    EXPECT_EQ(loaded.limits[2][LimitSigMin], 0);
    EXPECT_EQ(loaded.limits[14][LimitSig60], 0);
    EXPECT_EQ(loaded.maxCellWidth, 0);
    EXPECT_EQ(loaded.costM, 0);
}

TEST_F(OptionsTest, LoadWithNothingStoredGivesTheLoadDefaults) {
    TOpzioni o(ini, nullptr);
    // Disturb what the load must set.
    o.cableOverlap = true;
    o.gridWidth = 1;
    o.showAttenuations = true;
    o.obliqueColour = 5;
    o.backgroundLevel = 9;
    o.obliqueText = "x";
    o.Load();
    ExpectLimits(o, DefaultLimits);
    EXPECT_EQ(o.limitsBandSystem, systems.FindById('3'));
    EXPECT_FALSE(o.cableOverlap);
    EXPECT_FALSE(o.activeFilterChannels);
    EXPECT_FALSE(o.activeFilterCodes);
    EXPECT_FALSE(o.drawReturnAmplifiers);
    EXPECT_EQ(o.maxCellWidth, -1.0f);
    EXPECT_EQ(o.cellBorder, 0);
    EXPECT_FALSE(o.printBackground);
    EXPECT_EQ(o.obliqueText, "");
    EXPECT_EQ(o.obliqueColour, 0);
    EXPECT_EQ(o.backgroundLevel, 2);
    EXPECT_TRUE(o.doubleDataWithoutZoom);
    for (int i = 0; i < CurrencyCount; ++i)
        for (int j = 0; j < CurrencyCount; ++j) {
            EXPECT_EQ(o.currencyFactors[i][j], LevelNone) << i << "-" << j;
            EXPECT_EQ(o.currencyFactorTexts[i][j], "") << i << "-" << j;
        }
    EXPECT_EQ(o.priceCurrency, 0);
    EXPECT_EQ(o.costM, -1.0f);
    for (const AnsiString* font :
         {&o.obliqueFont, &o.estimateFont, &o.listFont, &o.reportFont, &o.declarationFont, &o.coverFont})
        EXPECT_EQ(*font, "Times New Roman");
    EXPECT_EQ(o.gridWidth, 42);
    EXPECT_FALSE(o.showAttenuations);
    EXPECT_TRUE(o.showToolbar);
    EXPECT_TRUE(Application->Script().MessageBoxes.empty());
}

TEST_F(OptionsTest, LoadReadsTheStoredValues) {
    const struct {
        const char* name;
        const char* text;
    } stored[] = {
        {"SistemaBandeLimiti", "FM-I/V-5"},
        {"AttMin7", "33,5"},
        {"AccavallamentoCavi", "1"},
        {"DoppioDatoSenzaZoom", "0"},
        {"ColoreObliqua", "255"},
        {"LivelloSottofondo", "4"},
        {"DGWidth", "60"},
        {"VisualizzaAttenuazioni", "1"},
        {"HBInformazioni", "0"},
        {"ComponentiND", "0"},
        {"ValutaP", "9"},
        {"FontLista", "Arial"},
    };
    for (const auto& s : stored) ini->WriteString(s.name, s.text);
    TOpzioni o(ini, nullptr);
    o.Load();
    EXPECT_EQ(o.limitsBandSystem, systems.FindById('2'));
    EXPECT_EQ(o.limits[7][LimitAttMin], 33.5f);
    EXPECT_TRUE(o.cableOverlap);
    EXPECT_FALSE(o.doubleDataWithoutZoom);
    EXPECT_EQ(o.obliqueColour, 255);
    EXPECT_EQ(o.backgroundLevel, 4);
    EXPECT_EQ(o.gridWidth, 42);  // not a zoom step
    EXPECT_TRUE(o.showAttenuations);
    EXPECT_FALSE(o.hbInformation);
    EXPECT_FALSE(o.componentsNotDescribed);
    EXPECT_EQ(o.priceCurrency, 9);
    EXPECT_EQ(o.listFont, "Arial");
}

TEST_F(OptionsTest, TheSquareSizeIsOneOfTheThreeZoomSteps) {
    const struct {
        const char* stored;
        int32_t size;
    } cases[] = {{"15", 15}, {"21", 21},  {"42", 42},  {"0", 42},
                 {"7", 42},  {"100", 42}, {"-21", 42}, {"", 42}};
    for (const auto& c : cases) {
        ini->WriteString("DGWidth", c.stored);
        TOpzioni o(ini, nullptr);
        o.Load();
        EXPECT_EQ(o.gridWidth, c.size) << c.stored;
    }
}

TEST_F(OptionsTest, SpecialStoredValuesGiveTheirDefaults) {
    const struct {
        const char* system;      // "SistemaBandeLimiti"
        const char* colour;      // "ColoreObliqua"
        const char* background;  // "LivelloSottofondo"
        char expectedSystem;
        int32_t expectedColour;
        int32_t expectedBackground;
    } cases[] = {
        {"", "", "", '3', 0, 2},
        {"Nessuno", "-500001", "-500001", '3', 0, 2},
        {"cr-fm-i/v-5", "-1", "0", '3', -1, 0},
        {"CR-FM-I/V-5", "16711680", "3", '3', 16711680, 3},
        {"FM-I/V-5", "7", "-2", '2', 7, -2},
    };
    for (const auto& c : cases) {
        ini->WriteString("SistemaBandeLimiti", c.system);
        ini->WriteString("ColoreObliqua", c.colour);
        ini->WriteString("LivelloSottofondo", c.background);
        TOpzioni o(ini, nullptr);
        o.Load();
        EXPECT_EQ(o.limitsBandSystem, systems.FindById(c.expectedSystem)) << c.system;
        EXPECT_EQ(o.obliqueColour, c.expectedColour) << c.colour;
        EXPECT_EQ(o.backgroundLevel, c.expectedBackground) << c.background;
    }
}

TEST_F(OptionsTest, DamagedValuesGiveDefaultsAndOneMessage) {
    ini->WriteString("SigMin3", "alto");
    ini->WriteString("CostoM", "1,2,3");
    ini->WriteString("Valute3-4", "dieci");
    ini->WriteString("Valute1-0", "1936,27");
    ini->WriteString("ValutaP", "12");
    ini->WriteString("DGWidth", "larga");
    TOpzioni o(ini, nullptr);
    o.Load();
    EXPECT_EQ(o.limits[3][LimitSigMin], 60);
    EXPECT_EQ(o.costM, -1.0f);
    EXPECT_EQ(o.currencyFactors[3][4], LevelNone);
    EXPECT_EQ(o.ConvertPrice(100, 3, 4), LevelNone);
    EXPECT_EQ(o.priceCurrency, 0);
    EXPECT_EQ(o.gridWidth, 42);
    EXPECT_EQ(o.ConvertPrice(1, 1, 0), 1936.0f);
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
    const TMessageBoxCall& box = Application->Script().MessageBoxes[0];
    EXPECT_EQ(box.Text,
              "Alcune impostazioni non sono valide e sono state sostituite dai valori predefiniti: "
              "SigMin3, Valute3-4, ValutaP, CostoM, DGWidth.");
    EXPECT_EQ(box.Caption, "Ordivex Varne");
    EXPECT_EQ(box.Flags, MB_OK | MB_ICONEXCLAMATION);
    // Nothing is lost: the damaged factor text is written back as it was.
    EXPECT_EQ(o.currencyFactorTexts[3][4], "dieci");
    o.Save();
    EXPECT_EQ(Stored("Valute3-4"), "dieci");
}

TEST_F(OptionsTest, EmptyFactorMeansNoFactor) {
    TOpzioni o(ini, nullptr);
    o.Save();
    ini->WriteString("Valute1-0", "");
    o.Load();
    EXPECT_EQ(o.currencyFactors[1][0], LevelNone);
    EXPECT_EQ(o.ConvertPrice(1, 1, 0), LevelNone);
    EXPECT_EQ(o.ConvertPrice(1000, 0, 1), 0.52f);
}

// The user's own folders, which the test entry points at folders of its own.
AnsiString UsersDocuments() { return AnsiString(std::getenv("XDG_DOCUMENTS_DIR")) + "/"; }
AnsiString UsersLibraries() { return AnsiString(std::getenv("XDG_DATA_HOME")) + "/OrdivexVarne/Librerie/"; }

// Projects and libraries never go into the program's folder, whatever
// folders it holds and whether or not it can be written: unset (or set to
// that folder) they are the user's documents and data folders, made and kept.
TEST_F(OptionsTest, DirectoriesNeverDefaultToTheProgramFolder) {
    const struct {
        std::vector<const char*> folders;  // made in the program directory
        const char* projects;              // stored, after the program directory ("-": none)
        const char* libraries;
    } cases[] = {
        {{}, "-", "-"},
        {{"Progetti", "Librerie"}, "-", "-"},
        {{"Projects", "Libraries"}, "-", "-"},
        {{"Progetti", "Projects", "Librerie", "Libraries"}, "-", "-"},
        // What earlier runs stored: the program's folder and its subfolders.
        {{}, "", ""},
        {{"Progetti", "Librerie"}, "Progetti/", "Librerie/"},
        {{"Projects", "Libraries"}, "Projects/", "Libraries/"},
        {{"Progetti", "Librerie"}, "Progetti/../Progetti", "./Librerie"},
    };
    std::filesystem::remove_all(UsersDocuments());
    std::filesystem::remove_all(UsersLibraries());
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(n);
        const AnsiString programDir = dir + "programma" + IntToStr(n++) + "/";
        ForceDirectories(programDir);
        for (const char* f : c.folders) ForceDirectories(programDir + f);
        ini->WriteString("ProgramDir", programDir);
        auto stored = [&](const char* folder) {
            return std::string(folder) == "-" ? AnsiString() : programDir + folder;
        };
        ini->WriteString("DirProgetti", stored(c.projects));
        ini->WriteString("DirLibrerie", stored(c.libraries));
        TOpzioni o(ini, nullptr);
        EXPECT_EQ(o.projectsDir, UsersDocuments());
        EXPECT_EQ(o.librariesDir, UsersLibraries());
        EXPECT_TRUE(DirectoryExists(UsersDocuments()));
        EXPECT_TRUE(DirectoryExists(UsersLibraries()));
        // Written back, so that later runs keep them.
        EXPECT_EQ(Stored("DirProgetti"), UsersDocuments());
        EXPECT_EQ(Stored("DirLibrerie"), UsersLibraries());
    }
}

TEST_F(OptionsTest, DirectoriesKeepStoredValuesAndDefaultWithoutProgramDir) {
    ini->WriteString("DirProgetti", "/srv/progetti/");
    ini->WriteString("DirLibrerie", "");
    ini->Store().DeleteKey("", "ProgramDir");
    TOpzioni o(ini, nullptr);
    EXPECT_EQ(o.projectsDir, "/srv/progetti/");
    EXPECT_EQ(o.librariesDir, UsersLibraries());
    // A folder beside the program's, or one only named like it, is the user's choice.
    const AnsiString beside = dir.substr(0, dir.size() - 1) + "-progetti/";
    ini->WriteString("DirProgetti", beside);
    ini->WriteString("DirLibrerie", dir + "Librerie2/");
    ini->WriteString("ProgramDir", dir + "Librerie");  // without the final "/"
    o.Load();
    EXPECT_EQ(o.projectsDir, beside);
    EXPECT_EQ(o.librariesDir, dir + "Librerie2/");
}

TEST_F(OptionsTest, DefaultDirectoriesAreComputedWithoutWriting) {
    const AnsiString programDir = dir + "calcolo/";
    ForceDirectories(programDir + "Librerie");
    ini->WriteString("ProgramDir", programDir);
    ini->WriteString("DirProgetti", "/srv/progetti/");
    TOpzioni o(ini, nullptr);
    ini->WriteString("DirLibrerie", "");
    const AnsiString before = o.librariesDir;
    AnsiString projects = "altro", libraries = "altro";
    o.ComputeDefaultDirectories(projects, libraries);
    EXPECT_EQ(projects, "/srv/progetti/");
    EXPECT_EQ(libraries, UsersLibraries());
    EXPECT_EQ(Stored("DirLibrerie"), "");
    EXPECT_EQ(o.librariesDir, before);
}

TEST_F(OptionsTest, CurrencyNamesIndexesAndFormats) {
    const char* names[] = {"Lire",     "Euro",    "Marchi", "Dollari USA", "Franchi Sv.",
                           "Sterline", "Pesetas", "Dracme", "Dollari AUS", "Kuna"};
    for (int i = 0; i < CurrencyCount; ++i) {
        EXPECT_EQ(TOpzioni::GetCurrencyName(i), names[i]);
        EXPECT_EQ(TOpzioni::GetCurrencyIndex(names[i]), i);
        EXPECT_EQ(TOpzioni::GetCurrencyFormat(i), i == 0 ? "#,##0" : "#,##0.00") << i;
    }
    for (int i : {-1, 10, 255}) {
        EXPECT_EQ(TOpzioni::GetCurrencyName(i), "") << i;
        EXPECT_EQ(TOpzioni::GetCurrencyFormat(i), "#,##0.00") << i;
    }
    for (const char* name : {"", "euro", "Euro ", "Dollari", "Lira"})
        EXPECT_EQ(TOpzioni::GetCurrencyIndex(name), -1) << name;

    TStringList list;
    list.Add("Sterline");
    TOpzioni::FillMainCurrencies(list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], "Lire");
    EXPECT_EQ(list[1], "Euro");
}

TEST_F(OptionsTest, ConvertPrice) {
    TOpzioni o(ini, nullptr);
    o.currencyFactors[1][2] = 1.0f;  // for exact halves
    o.currencyFactors[3][0] = 2.5f;
    o.currencyFactors[4][5] = 0.0f;
    o.currencyFactors[5][4] = -2.0f;
    const struct {
        float amount;
        int from, to;
        float expected;
    } cases[] = {
        {1000, 0, 1, 0.52f},    // 1000 / 1936,27 to the cent
        {1, 1, 0, 1936},        // to whole lire
        {-1000, 0, 1, -0.52f},  // a negative amount keeps its sign
        {-1, 1, 0, -1936},
        {1000, 0, 0, LevelNone},  // no factor on the diagonal
        {1000, 3, 4, LevelNone},  // no factor between them
        {1000, 5, 4, LevelNone},  // a negative factor is none
        {1000, 4, 5, 0},
        {LevelNone, 1, 0, LevelNone},  // no price stays no price
        {LevelBlocked, 1, 0, LevelNone},
        {LevelRepeat, 0, 1, LevelNone},
        {0, 1, 0, 0},
        {0.125f, 1, 2, 0.13f},  // halves go away from zero
        {-0.125f, 1, 2, -0.13f},
        {0.375f, 1, 2, 0.38f},
        {1, 3, 0, 3},
        {-1, 3, 0, -3},
        {3, 3, 0, 8},  // 7.5
        {-0.001f, 1, 2, 0},
        {100, -1, 0, LevelNone},  // indexes outside the table
        {100, 0, 10, LevelNone},
        {10000, 6, 0, 116372},  // 10000 x 11,6372
    };
    for (const auto& c : cases) {
        const float got = o.ConvertPrice(c.amount, c.from, c.to);
        EXPECT_EQ(got, c.expected) << c.amount << " from " << c.from << " to " << c.to;
        EXPECT_FALSE(std::signbit(got) && got == 0) << "negative zero for " << c.amount;
    }
}

}  // namespace
