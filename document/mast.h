#pragma once
// TPalo: the antenna mast of a project (environment, wind class, sections,
// the antennas and arms fixed to it, foot and ground positions, texts) and
// the inputs of the simplified lightning evaluation; section 207 of the
// project file. TDatiAntenne: the items on the mast, from the foot upwards;
// an arm holds one (single arm) or two (double arm) antennas.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/levels.h"
#include "platform/classes.h"
#include "platform/numeric_places.h"

// Item kinds.
enum : int32_t {
    MastYagi = 1,
    MastGrid = 2,  // "Grata"
    MastDihedral = 3,
    MastCurtain = 4,
    MastLogPeriodic = 5,
    MastDish = 6,
    MastSingleArm = 7,
    MastDoubleArm = 8,
};

// Fewer items than this stand on a mast (the editor refuses the twentieth).
constexpr int MastMaxItems = 19;
constexpr int MastSections = 6;
constexpr int StructureTypes = 18;  // structure types of the simplified lightning evaluation

// Wind speeds (Km/h) of the four wind classes.
constexpr std::array<int32_t, 4> WindClassSpeeds = {130, 150, 160, 200};

struct TDatiAntenna {
    int32_t Kind = MastYagi;
    int32_t Divergence = 0;                     // 0 within 20°, 1 20°-70°, 2 70°-90°; -1 none
    int32_t Band = 0;                           // 0 "V°" ... 9 "IV°+V°"; -1 none
    int32_t Polarisation = 0;                   // 0 horizontal, 1 vertical, -1 none
    int32_t Spacing = 0;                        // from the item below (or the foot); 0 on an arm
    float Force = LevelNone;                    // N
    float Area = LevelNone;                     // mq
    float Diameter = LevelNone;                 // cm, dishes only
    float WindOfForce = LevelNone;              // Km/h at which the force was given
    std::unique_ptr<TDatiAntenna> FirstChild;   // arms only
    std::unique_ptr<TDatiAntenna> SecondChild;  // double arms only

    bool IsArm() const { return Kind == MastSingleArm || Kind == MastDoubleArm; }
};

class TDatiAntenne {
public:
    // Frees every item with its children.
    void Clear() { Items.clear(); }
    // Position 0 puts the item first; n puts it after the n-th item (last
    // when the list is shorter).
    void InsertAt(int position, std::unique_ptr<TDatiAntenna> item);
    int Count() const { return static_cast<int>(Items.size()); }
    // A list of copies of these items, arms with their antennas.
    TDatiAntenne Copy() const;

    std::vector<std::unique_ptr<TDatiAntenna>> Items;  // Items[0] is the lowest
};

// What a section's measures may be where a person types them: the ranges
// the mast page's hint line names ("Diametro tra 25 e 102 mm", "Sezione tra
// 2 e 6 mm", "Lunghezza tra .5 e 6 m"), to the decimals the place shows.
enum : int { MastMeasureDiameter, MastMeasureThickness, MastMeasureLength };
TNumberRule MastSectionRule(int measure, int decimals);

struct TTroncoPalo {
    float Diameter = LevelNone;   // d, mm
    float Thickness = LevelNone;  // s, mm
    float Length = LevelNone;     // l, m
    float Insertion = LevelNone;  // cm, telescopic joints
};

class TPalo {
public:
    TPalo();

    // Every field to its default, texts included; no items.
    void SetDefaults();
    // One empty section, foot 40, ground -1, not telescopic, no items;
    // environment, wind, lightning inputs and texts stay.
    void ClearMast();

    // Section 207 body. Load raises EReadError when the stream ends inside it
    // or a value lies outside its range; the mast is then in an unspecified
    // state (callers read into a scratch project).
    void Save(TStream& s, int32_t version) const;
    void Load(TStream& s, int32_t version);

    int32_t WindClass = 0;      // index into WindClassSpeeds
    int32_t Environment = 0;    // 0 "normale", 1 "avverso"
    int32_t AntennaSystem = 0;  // 0 within 20 m of the ground, 1 above
    int32_t SectionCount = 1;
    uint8_t Telescopic = 0;
    TTroncoPalo Sections[MastSections];
    TDatiAntenne Antennas;
    int32_t FootPosition = 40;             // drawing units above the base line
    int32_t Ground = -1;                   // -2 low anchoring, -1 high anchoring, >= 0 free ground height
    TDatiAntenna* SelectedItem = nullptr;  // the editor's, not stored
    int32_t SelectedSection = -1;          // the editor's, not stored
    AnsiString Text1;                      // at most 500 characters
    AnsiString Text2;                      // at most 500 characters
    AnsiString MastNorm;                   // at most 50
    AnsiString LightningNorm;              // at most 50
    // The simplified lightning evaluation.
    uint8_t Parallelepiped = 1;
    uint8_t StructureSelected[StructureTypes] = {};
    int32_t FlashDensity = 2;  // 0 1.5, 1 2.5, 2 4 flashes per year and km²; -1 none
    int32_t FireRisk = 2;      // 0 reduced, 1 ordinary, 2 high
    int32_t EnvironmentFactor = 0;
    int32_t EnvironmentFactorWithAntennas = 0;
    int32_t StructureArea[StructureTypes];
    int32_t HeightWithout = static_cast<int32_t>(LevelNone);
    int32_t HeightWith = static_cast<int32_t>(LevelNone);
    int32_t CollectionAreaWithout = static_cast<int32_t>(LevelNone);
    int32_t CollectionAreaWith = static_cast<int32_t>(LevelNone);
    int32_t Length = static_cast<int32_t>(LevelNone);
    int32_t Width = static_cast<int32_t>(LevelNone);
    AnsiString Municipality;  // at most 50
};

// What the automatic sizing may change of a mast, kept aside before it runs:
// the sections and their joints, the foot, the ground and the items (copied
// whole, arms with their antennas). A sizing that finds no mast puts it back,
// so that nothing typed or sized before is lost.
class TFormaPalo {
public:
    explicit TFormaPalo(const TPalo& palo);
    // The kept shape into the mast; nothing selected on it.
    void PutBack(TPalo& palo) const;

private:
    int32_t sectionCount_;
    uint8_t telescopic_;
    TTroncoPalo sections_[MastSections];
    int32_t footPosition_;
    int32_t ground_;
    TDatiAntenne items_;
};

// The texts of the mast's choices as the mast page offers them, by value.
inline constexpr const char* MastEnvironmentTexts[] = {"normale", "avverso"};
inline constexpr const char* MastWindTexts[] = {"130 Km/h", "150 Km/h", "160 Km/h", "200 Km/h"};
inline constexpr const char* MastSystemTexts[] = {"entro 20 metri dal suolo", "oltre 20 metri dal suolo"};
inline constexpr const char* MastBandTexts[] = {
    "V°", "IV°", "III°", "II°", "I°", "I°+III°", "I°+III°+IV°+V°", "III°+IV°", "III°+IV°+V°", "IV°+V°"};
inline constexpr const char* MastDivergenceTexts[] = {"entro 20°", "fra 20° e 70°", "fra 70° e 90°"};
inline constexpr const char* MastPolarisationTexts[] = {"orizzontale", "verticale"};
// The name of an item kind: an antenna as its button on the mast page calls
// it, an arm by its kind; "" for a kind out of range.
const char* MastItemKindText(int32_t kind);

// Text limits of the mast on file.
constexpr int MastTextMax = 500;
constexpr int MastNormMax = 50;
constexpr const char* DefaultMastNorm = "CEI 12-43 (EN 50083-1)";
constexpr const char* DefaultLightningNorm811 = "CEI 81-1 (Novembre 1995)";

// The start-up data of the mast evaluation: a figure per wind class, a
// factor and three tables of 25 figures followed by five zeros.
struct TDatiVentoPalo {
    std::array<int32_t, 4> ClassFigure;
    float Factor;
    std::array<std::array<int32_t, 30>, 3> Tables;
};
const TDatiVentoPalo& MastWindData();
