#include "core/options.h"

#include <cfloat>
#include <cmath>

#include "core/band_systems.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/program_folder.h"
#include "core/project_folder.h"
#include "core/reporter.h"
#include "platform/application.h"
#include "platform/classes.h"

const char* const LimitKindNames[LimitKinds] = {
    "DiffMax",  "AttMin", "SigMin", "SigMax",    "CNMin",     "CNMinDig",
    "SigBanda", "SigAdj", "Sig60",  "SigMinDig", "SigMaxDig", "DiffAnDig",
};

AnsiString LimitKey(int kind, int band) { return AnsiString(LimitKindNames[kind]) + IntToStr(band); }

namespace {

const char* const CurrencyNames[CurrencyCount] = {
    "Lire",     "Euro",    "Marchi", "Dollari USA", "Franchi Sv.",
    "Sterline", "Pesetas", "Dracme", "Dollari AUS", "Kuna",
};

// Default limits of the band slots of the current band system, in the order
// of the limit kinds.
constexpr int DefaultBands = 11;
// clang-format off
constexpr float DefaultLimitTable[DefaultBands][LimitKinds] = {
    //  DiffMax AttMin SigMin SigMax CNMin CNMinDig SigBanda SigAdj Sig60 SigMinDig SigMaxDig DiffAnDig
    {1000, 0, 60, 60, 1000, 1000, 1000, 1000, 1000, 60, 60, 1000},  // C. Rit
    {20, 42, 60, 80, 44, 24, 12, 3, 6, 47, 67, 13},                  // b. I
    {17, 36, 50, 70, 44, 24, 12, 3, 6, 50, 70, 13},                  // FM
    {20, 42, 60, 80, 44, 24, 12, 3, 6, 47, 67, 13},                  // b. III
    {17, 36, 60, 80, 44, 24, 12, 3, 6, 47, 67, 13},                  // b. IV
    {17, 36, 60, 80, 44, 24, 12, 3, 6, 47, 67, 13},                  // b. V
    {25, 30, 47, 77, 15, 11, 15, 1000, 1000, 47, 77, 0},             // sat. 1
    {25, 30, 47, 77, 15, 11, 15, 1000, 1000, 47, 77, 0},             // sat. 2
    {25, 30, 47, 77, 15, 11, 15, 1000, 1000, 47, 77, 0},             // sat. 3
    {25, 30, 47, 77, 15, 11, 15, 1000, 1000, 47, 77, 0},             // sat. 4
    {25, 30, 47, 77, 15, 11, 15, 1000, 1000, 47, 77, 0},             // sat. 5
};
// clang-format on

// The order in which Save writes the limits of one band slot.
// clang-format off
constexpr int SaveOrder[LimitKinds] = {
    LimitDiffMax, LimitAttMin,   LimitSigMin, LimitSigMax,   LimitSigMinDig, LimitSigMaxDig,
    LimitDiffAnDig, LimitCNMin, LimitCNMinDig, LimitSigBanda, LimitSigAdj,   LimitSig60,
};
// clang-format on

AnsiString CurrencyKey(int from, int to) { return "Valute" + IntToStr(from) + "-" + IntToStr(to); }

// The factor a stored text stands for: none for an empty text or one that is
// not a number.
bool FactorOfText(const AnsiString& text, float& factor) {
    factor = LevelNone;
    if (text.empty()) return true;
    double value = 0.0;
    if (!TryStrToFloat(text, value) || !std::isfinite(value) || std::fabs(value) > FLT_MAX) return false;
    factor = static_cast<float>(value);
    return true;
}

// Reads through the store's own rules, which give the default for a value
// that is not a number; such values are remembered, so that the user hears of
// them.
class TReader {
public:
    explicit TReader(TIni& ini) : ini_(ini) {}

    float Float(const AnsiString& key, float def) {
        float value = def;
        ini_.ReadFloatDef(key, value, def);
        if (value == def && !ini_.String(key).empty()) {
            float other = def;
            ini_.ReadFloatDef(key, other, def == 0.0f ? 1.0f : 0.0f);
            if (other != value) Damaged(key);
        }
        return value;
    }
    int32_t Integer(const AnsiString& key, int32_t def) {
        int32_t value = def;
        ini_.ReadIntegerDef(key, value, def);
        if (value == def && !ini_.String(key).empty()) {
            int32_t other = def;
            ini_.ReadIntegerDef(key, other, def == 0 ? 1 : 0);
            if (other != value) Damaged(key);
        }
        return value;
    }
    int8_t Byte(const AnsiString& key, int8_t def) {
        int8_t value = def;
        ini_.ReadByteDef(key, value, def);
        if (value == def && !ini_.String(key).empty()) {
            int8_t other = def;
            ini_.ReadByteDef(key, other, def == 0 ? 1 : 0);
            if (other != value) Damaged(key);
        }
        return value;
    }
    bool Bool(const AnsiString& key, bool def) {
        bool value = def;
        ini_.ReadBoolDef(key, value, def);
        return value;
    }
    AnsiString String(const AnsiString& key) {
        AnsiString value;
        ini_.ReadString(key, value);
        return value;
    }
    void Damaged(const AnsiString& key) { damaged_.push_back(key); }
    const std::vector<AnsiString>& DamagedKeys() const { return damaged_; }

private:
    TIni& ini_;
    std::vector<AnsiString> damaged_;
};

}  // namespace

TOpzioni::TOpzioni(TIni* ini_, TLibrerie* libraries_) : libraries(libraries_), ini(ini_) {
    defaultBandSystem = SistemiBande ? SistemiBande->FindById(BandSystemCurrentId) : nullptr;
    for (int band = 0; band < BandSlots; ++band)
        for (int kind = 0; kind < LimitKinds; ++kind) {
            defaultLimits[band][kind] = band < DefaultBands ? DefaultLimitTable[band][kind] : LimitNoLimit;
            // The reset keeps "CNMinDig": it starts from its default.
            limits[band][kind] = defaultLimits[band][kind];
        }
    for (int i = 0; i < CurrencyCount; ++i)
        for (int j = 0; j < CurrencyCount; ++j)
            currencyFactors[i][j] = LevelNone;  // no factor, as a load of an empty text
    ResetToDefaults();
}

AnsiString TOpzioni::ProgramDirectory() {
    // No installer writes "ProgramDir": the program's files sit beside the
    // executable or in its installed data folder.
    return ::ProgramDirectory(ini);
}

void TOpzioni::Directories(AnsiString& projects, AnsiString& libraries, bool& projectsDefaulted,
                           bool& librariesDefaulted) {
    projectsDefaulted = librariesDefaulted = false;
    if (ini) {
        ini->ReadString("DirProgetti", projects);
        ini->ReadString("DirLibrerie", libraries);
    }
    // The user's work never goes into the program's own folder, even where
    // it can be written (an installation in the user's home, or by the
    // administrator): an empty folder, or that one, becomes the user's own.
    const AnsiString programDir = ProgramDirectory();
    if (projects.empty() || WithinProgramFolder(projects, programDir)) {
        projects = DocumentsFolder();
        projectsDefaulted = true;
    }
    if (libraries.empty() || WithinProgramFolder(libraries, programDir)) {
        libraries = UserLibrariesFolder();
        if (libraries.empty()) libraries = DocumentsFolder();
        librariesDefaulted = true;
    }
}

void TOpzioni::ComputeDefaultDirectories(AnsiString& projects, AnsiString& libraries) {
    bool projectsDefaulted = false, librariesDefaulted = false;
    Directories(projects, libraries, projectsDefaulted, librariesDefaulted);
}

void TOpzioni::DefaultDirectories() {
    bool projectsDefaulted = false, librariesDefaulted = false;
    Directories(projectsDir, librariesDir, projectsDefaulted, librariesDefaulted);
    if (!ini) return;
    if (projectsDefaulted) ini->WriteString("DirProgetti", projectsDir);
    if (librariesDefaulted) ini->WriteString("DirLibrerie", librariesDir);
}

void TOpzioni::ResetToDefaults() {
    limitsBandSystem = defaultBandSystem;
    for (int band = 0; band < BandSlots; ++band)
        for (int kind = 0; kind < LimitKinds; ++kind)
            if (kind != LimitCNMinDig) limits[band][kind] = defaultLimits[band][kind];
    for (int band = 3; band <= 5; ++band) limits[band][LimitSigMin] = 65;
    for (int band = 6; band <= 10; ++band) limits[band][LimitSigMin] = 50;
    for (int band = 2; band <= 10; ++band) limits[band][LimitSigMinDig] = 50;

    cableOverlap = true;
    activeFilterChannels = true;
    activeFilterCodes = true;
    drawReturnAmplifiers = true;
    maxCellWidth = 1.5f;
    cellBorder = 2;
    cellSwitch = true;
    doubleDataWithoutZoom = true;
    priceCurrency = CurrencyEuro;
    costM = 0.0f;

    // The factors between the currencies the euro replaced. The stored text is
    // what every later run reads, so the factor is taken from its text: a
    // price converts the same before and after the options are saved.
    const double lireEuro = 1936.27, euroMarchi = 1.95583, euroPesetas = 166.386;
    const double lireMarchi = euroMarchi / lireEuro, lirePesetas = euroPesetas / lireEuro;
    const double marchiPesetas = euroPesetas / euroMarchi;
    const struct {
        int from, to;
        double value;
        const char* mask;
    } factors[] = {
        {CurrencyEuro, CurrencyLire, lireEuro, "#.##"},
        {CurrencyLire, CurrencyEuro, 1 / lireEuro, "#0.#########"},
        {CurrencyEuro, CurrencyMarchi, euroMarchi, "#.######"},
        {CurrencyMarchi, CurrencyEuro, 1 / euroMarchi, "#0.######"},
        {CurrencyEuro, CurrencyPesetas, euroPesetas, "#.###"},
        {CurrencyPesetas, CurrencyEuro, 1 / euroPesetas, "#0.########"},
        {CurrencyLire, CurrencyMarchi, lireMarchi, "#0.########"},
        {CurrencyMarchi, CurrencyLire, 1 / lireMarchi, "#0.###"},
        {CurrencyLire, CurrencyPesetas, lirePesetas, "#0.########"},
        {CurrencyPesetas, CurrencyLire, 1 / lirePesetas, "#0.####"},
        {CurrencyMarchi, CurrencyPesetas, marchiPesetas, "#0.####"},
        {CurrencyPesetas, CurrencyMarchi, 1 / marchiPesetas, "#0.#######"},
    };
    for (const auto& f : factors) {
        AnsiString& text = currencyFactorTexts[f.from][f.to];
        text = FormatFloat(f.mask, f.value);
        FactorOfText(text, currencyFactors[f.from][f.to]);
    }

    DefaultDirectories();

    estimateFont = listFont = reportFont = declarationFont = coverFont = DefaultDocumentFont;
    resetMarker = 0;
}

void TOpzioni::Load() {
    if (!ini) return;
    TReader read(*ini);

    TSistemaBande* system = SistemiBande ? SistemiBande->Find(read.String("SistemaBandeLimiti")) : nullptr;
    limitsBandSystem = system ? system : defaultBandSystem;

    for (int band = 0; band < BandSlots; ++band)
        for (int kind = 0; kind < LimitKinds; ++kind)
            limits[band][kind] = read.Float(LimitKey(kind, band), defaultLimits[band][kind]);

    cableOverlap = read.Bool("AccavallamentoCavi", false);
    activeFilterChannels = read.Bool("CanaliFiltriAttivi", false);
    activeFilterCodes = read.Bool("CodiciFiltriAttivi", false);
    drawReturnAmplifiers = read.Bool("DisegnaAmpliRitorno", false);
    maxCellWidth = read.Float("MaxLarghezzaCella", -1.0f);
    cellBorder = read.Byte("BordoCelle", 0);
    printBackground = read.Bool("SottofondoStampe", false);
    obliqueText = read.String("StringaObliqua");
    obliqueFont = read.String("FontObliqua");
    if (obliqueFont.empty()) obliqueFont = DefaultDocumentFont;
    obliqueColour = read.Integer("ColoreObliqua", 0);
    if (obliqueColour == static_cast<int32_t>(LevelNone)) obliqueColour = 0;
    backgroundLevel = read.Integer("LivelloSottofondo", 2);
    if (backgroundLevel == static_cast<int32_t>(LevelNone)) backgroundLevel = 2;
    doubleDataWithoutZoom = read.Bool("DoppioDatoSenzaZoom", true);

    for (int i = 0; i < CurrencyCount; ++i)
        for (int j = 0; j < CurrencyCount; ++j) {
            const AnsiString key = CurrencyKey(i, j);
            AnsiString& text = currencyFactorTexts[i][j];
            text = read.String(key);
            // The text stays as stored, so that a save gives it back unchanged.
            if (!FactorOfText(text, currencyFactors[i][j])) read.Damaged(key);
        }

    priceCurrency = read.Byte("ValutaP", 0);
    if (priceCurrency < 0 || priceCurrency >= CurrencyCount) {
        read.Damaged("ValutaP");
        priceCurrency = 0;
    }
    costM = read.Float("CostoM", -1.0f);

    projectsDir.clear();
    librariesDir.clear();
    DefaultDirectories();

    AnsiString* fonts[] = {&estimateFont, &listFont, &reportFont, &declarationFont, &coverFont};
    const char* fontKeys[] = {"FontPreventivi", "FontLista", "FontRelazioni", "FontDichiarazioni",
                              "FontCopertine"};
    for (int i = 0; i < 5; ++i) {
        *fonts[i] = read.String(fontKeys[i]);
        if (fonts[i]->empty()) *fonts[i] = DefaultDocumentFont;
    }

    // The square size is one of the three zoom steps; any other value (a 0
    // would divide the pixel conversion, a larger one paints nothing) is 42.
    gridWidth = read.Integer("DGWidth", 42);
    if (gridWidth != 15 && gridWidth != 21) gridWidth = 42;
    for (const TDisplaySwitch& s : DisplaySwitches())
        if (s.Flag) this->*s.Flag = read.Bool(s.Key, s.Default);

    if (!read.DamagedKeys().empty()) {
        AnsiString names;
        for (const AnsiString& key : read.DamagedKeys()) names += (names.empty() ? "" : ", ") + key;
        Application->MessageBox(
            "Alcune impostazioni non sono valide e sono state sostituite dai valori predefiniti: " + names +
                ".",
            ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
    }
}

void TOpzioni::Save() {
    if (!ini) return;
    const TIniUpdate oneWrite(*ini);  // a few hundred values, one write of the file
    ini->WriteString("SistemaBandeLimiti", limitsBandSystem ? limitsBandSystem->name : AnsiString());
    for (int band = 0; band < BandSlots; ++band)
        for (int kind : SaveOrder) ini->WriteFloat(LimitKey(kind, band), limits[band][kind]);
    ini->WriteBool("AccavallamentoCavi", cableOverlap);
    ini->WriteBool("CanaliFiltriAttivi", activeFilterChannels);
    ini->WriteBool("CodiciFiltriAttivi", activeFilterCodes);
    ini->WriteBool("DisegnaAmpliRitorno", drawReturnAmplifiers);
    ini->WriteFloat("MaxLarghezzaCella", maxCellWidth);
    ini->WriteByte("BordoCelle", cellBorder);
    ini->WriteBool("SottofondoStampe", printBackground);
    ini->WriteString("StringaObliqua", obliqueText);
    ini->WriteString("FontObliqua", obliqueFont);
    ini->WriteInteger("ColoreObliqua", obliqueColour);
    ini->WriteInteger("LivelloSottofondo", backgroundLevel);
    ini->WriteBool("DoppioDatoSenzaZoom", doubleDataWithoutZoom);
    for (int i = 0; i < CurrencyCount; ++i)
        for (int j = 0; j < CurrencyCount; ++j)
            ini->WriteString(CurrencyKey(i, j), currencyFactorTexts[i][j]);
    ini->WriteByte("ValutaP", priceCurrency);
    ini->WriteFloat("CostoM", costM);
    ini->WriteString("DirProgetti", projectsDir);
    ini->WriteString("DirLibrerie", librariesDir);
    ini->WriteString("FontPreventivi", estimateFont);
    ini->WriteString("FontLista", listFont);
    ini->WriteString("FontRelazioni", reportFont);
    ini->WriteString("FontDichiarazioni", declarationFont);
    ini->WriteString("FontCopertine", coverFont);
}

AnsiString TOpzioni::GetCurrencyName(int index) {
    if (index < 0 || index >= CurrencyCount) return "";
    return CurrencyNames[index];
}

int TOpzioni::GetCurrencyIndex(const AnsiString& name) {
    for (int i = 0; i < CurrencyCount; ++i)
        if (name == CurrencyNames[i]) return i;
    return -1;
}

int TOpzioni::CurrencyDecimals(int index) { return index == CurrencyLire ? 0 : 2; }

AnsiString TOpzioni::GetCurrencyFormat(int index) {
    return CurrencyDecimals(index) == 0 ? "#,##0" : "#,##0.00";
}

float TOpzioni::ConvertPrice(float amount, int from, int to) const {
    if (from < 0 || from >= CurrencyCount || to < 0 || to >= CurrencyCount) return LevelNone;
    // "No price" and the other sentinels stay without value.
    if (!IsRealLevel(amount) || !std::isfinite(amount)) return LevelNone;
    const float factor = currencyFactors[from][to];
    if (!(factor >= 0.0f)) return LevelNone;
    const double converted = static_cast<double>(amount) * factor;
    // Rounded as amounts are shown: the decimal form, half away from zero.
    const AnsiString text = FormatFloat(CurrencyDecimals(to) == 0 ? "0" : "0.00", std::fabs(converted));
    double rounded = 0.0;
    if (!TryStrToFloat(text, rounded) || rounded > FLT_MAX) return LevelNone;
    return static_cast<float>(converted < 0 && rounded != 0.0 ? -rounded : rounded);
}

void TOpzioni::FillMainCurrencies(TStringList& list) {
    list.Clear();
    list.Add(GetCurrencyName(CurrencyLire));
    list.Add(GetCurrencyName(CurrencyEuro));
}

// In the order they are read.
// clang-format off
constexpr TDisplaySwitch DisplaySwitchTable[] = {
    // option,                            key,                     default, first run, cleared at start
    {&TOpzioni::showToolbar,             "BarraStrumenti",         true,  false, true},
    {&TOpzioni::showCodesPanel,          "PannelloCodici",         true,  true,  true},
    {nullptr,                            "BarraComponenti",        true,  true,  false},
    {&TOpzioni::showAttenuations,        "VisualizzaAttenuazioni", false, false, false},
    {&TOpzioni::hbInformation,           "HBInformazioni",         true,  true,  true},
    {&TOpzioni::hbAttenuations,          "HBAttenuazioni",         true,  true,  false},
    {&TOpzioni::hbSignalLimits,          "HBSegnaliLimite",        true,  true,  false},
    {&TOpzioni::hbGeneratedChannels,     "HBCanaliGenerati",       false, true,  false},
    {&TOpzioni::hbDistributedChannels,   "HBCanaliDistribuiti",    true,  true,  false},
    {&TOpzioni::cablesNotDescribed,      "CaviND",                 true,  false, true},
    {&TOpzioni::componentsCNotDescribed, "ComponentiCND",          true,  false, true},
    {&TOpzioni::componentsNotDescribed,  "ComponentiND",           true,  false, true},
};
// clang-format on

std::span<const TDisplaySwitch> DisplaySwitches() { return DisplaySwitchTable; }

const char* DisplaySwitchKey(bool TOpzioni::*flag) {
    for (const TDisplaySwitch& s : DisplaySwitchTable)
        if (s.Flag && s.Flag == flag) return s.Key;
    return nullptr;
}
