#pragma once
// The program options: the level limits per band against which calculations
// and tables judge signals, drawing and printing settings, work directories,
// document fonts, display switches of the main window, and the currencies with
// their conversion factors. All of it lives in the settings store.
#include <cstdint>
#include <span>

#include "core/levels.h"

class TIni;
class TLibrerie;
class TSistemaBande;
class TStringList;

// Limit kinds: the second index of TOpzioni::limits.
enum : int {
    LimitDiffMax = 0,  // largest level difference between outlets
    LimitAttMin = 1,   // least separation between outlets
    LimitSigMin = 2,   // least signal
    LimitSigMax = 3,   // greatest signal
    LimitCNMin = 4,
    LimitCNMinDig = 5,
    LimitSigBanda = 6,
    LimitSigAdj = 7,
    LimitSig60 = 8,
    LimitSigMinDig = 9,
    LimitSigMaxDig = 10,
    LimitDiffAnDig = 11,  // level of a digital channel relative to an analog one
    LimitKinds = 12,
};
// The name of each kind; a limit's settings key is the name followed by the
// band slot in decimal ("SigMin3").
extern const char* const LimitKindNames[LimitKinds];
AnsiString LimitKey(int kind, int band);

constexpr float LimitNoLimit = 1000.0f;  // a limit that never bites
constexpr int CurrencyCount = 10;
constexpr int CurrencyLire = 0;
constexpr int CurrencyEuro = 1;
constexpr int CurrencyMarchi = 2;
constexpr int CurrencyPesetas = 6;
constexpr const char* DefaultDocumentFont = "Times New Roman";

class TOpzioni {
public:
    // Sets every field to a defined value, then ResetToDefaults. ini and
    // libraries are not owned; without a store the directories are not read.
    TOpzioni(TIni* ini, TLibrerie* libraries);

    // The state of a first run. Reads and may write back the directories.
    void ResetToDefaults();
    // Reads every stored field; a missing or empty value gives its default. A
    // value that is not a number also gives its default, and the names of such
    // values are told the user once.
    void Load();
    // Writes the stored fields (not the display switches nor "DGWidth").
    void Save();

    // The directories the settings name (without a store, the given texts),
    // an empty one or one within the program folder replaced by its default:
    // the user's documents folder for projects, the user's libraries folder
    // ($XDG_DATA_HOME/OrdivexVarne/Librerie/) for libraries, made when
    // missing. Nothing is written to the settings.
    void ComputeDefaultDirectories(AnsiString& projects, AnsiString& libraries);

    static AnsiString GetCurrencyName(int index);         // "" outside 0-9
    static int GetCurrencyIndex(const AnsiString& name);  // -1 for none of the ten
    static AnsiString GetCurrencyFormat(int index);       // the amount mask
    static int CurrencyDecimals(int index);               // 0 for Lire, 2 otherwise
    // The amount in currency `to`, rounded half away from zero to that
    // currency's decimals; LevelNone for an amount without value, for a missing
    // or negative factor, or for an index outside the table.
    float ConvertPrice(float amount, int from, int to) const;
    static void FillMainCurrencies(TStringList& list);  // "Lire", "Euro"

    // Equal when every field is, the store and the library list included.
    bool operator==(const TOpzioni& other) const = default;

    float limits[BandSlots][LimitKinds];
    float defaultLimits[BandSlots][LimitKinds];
    TSistemaBande* limitsBandSystem = nullptr;     // "SistemaBandeLimiti" (its name)
    TSistemaBande* defaultBandSystem = nullptr;    // the built-in system '3'
    bool cableOverlap = true;                      // "AccavallamentoCavi"
    bool activeFilterChannels = true;              // "CanaliFiltriAttivi"
    bool activeFilterCodes = true;                 // "CodiciFiltriAttivi"
    bool drawReturnAmplifiers = true;              // "DisegnaAmpliRitorno"
    float maxCellWidth = 1.5f;                     // "MaxLarghezzaCella"
    int8_t cellBorder = 2;                         // "BordoCelle"
    bool printBackground = false;                  // "SottofondoStampe"
    AnsiString obliqueText;                        // "StringaObliqua": text printed across pages
    int32_t obliqueColour = 0;                     // "ColoreObliqua"
    AnsiString obliqueFont = DefaultDocumentFont;  // "FontObliqua"
    int32_t backgroundLevel = 2;                   // "LivelloSottofondo"
    bool cellSwitch = true;                        // not stored
    bool doubleDataWithoutZoom = true;             // "DoppioDatoSenzaZoom"
    // factor[from][to]: an amount in `from` times the factor is the amount in
    // `to`; a negative factor means none (LevelNone, also on the diagonal).
    float currencyFactors[CurrencyCount][CurrencyCount];
    AnsiString currencyFactorTexts[CurrencyCount][CurrencyCount];  // "Valute<i>-<j>"
    int8_t priceCurrency = CurrencyEuro;                           // "ValutaP"
    float costM = 0.0f;                                            // "CostoM"
    TLibrerie* libraries = nullptr;
    TIni* ini = nullptr;
    AnsiString projectsDir;                            // "DirProgetti", ends with "/"
    AnsiString librariesDir;                           // "DirLibrerie", ends with "/"
    AnsiString estimateFont = DefaultDocumentFont;     // "FontPreventivi"
    AnsiString listFont = DefaultDocumentFont;         // "FontLista"
    AnsiString reportFont = DefaultDocumentFont;       // "FontRelazioni"
    AnsiString declarationFont = DefaultDocumentFont;  // "FontDichiarazioni"
    AnsiString coverFont = DefaultDocumentFont;        // "FontCopertine"
    int32_t resetMarker = 0;
    // Read here, written by the main window.
    int32_t gridWidth = 42;               // "DGWidth"
    bool showToolbar = true;              // "BarraStrumenti"
    bool showCodesPanel = true;           // "PannelloCodici"
    bool showAttenuations = false;        // "VisualizzaAttenuazioni"
    bool hbInformation = true;            // "HBInformazioni"
    bool hbAttenuations = true;           // "HBAttenuazioni"
    bool hbSignalLimits = true;           // "HBSegnaliLimite"
    bool hbGeneratedChannels = false;     // "HBCanaliGenerati"
    bool hbDistributedChannels = true;    // "HBCanaliDistribuiti"
    bool cablesNotDescribed = true;       // "CaviND"
    bool componentsCNotDescribed = true;  // "ComponentiCND"
    bool componentsNotDescribed = true;   // "ComponentiND"

private:
    AnsiString ProgramDirectory();
    void DefaultDirectories();
    void Directories(AnsiString& projects, AnsiString& libraries, bool& projectsDefaulted,
                     bool& librariesDefaulted);
};

// The display switches of the settings, in one table: each a bool option
// under its own key, read at start (Default when the key is missing) and
// written by the main window's menus as it changes.
struct TDisplaySwitch {
    bool TOpzioni::*Flag;  // none: a key written at a first run and read nowhere
    const char* Key;
    bool Default;         // the value of a missing key
    bool FirstRun;        // written true at the program's first run
    bool ClearedAtStart;  // cleared (and written) as the main window starts
};
std::span<const TDisplaySwitch> DisplaySwitches();
// The key of a switch's option.
const char* DisplaySwitchKey(bool TOpzioni::*flag);

