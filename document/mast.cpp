// Section 207, as written at version 60000:
//
//   int32 environment, wind class, antenna system, section count; byte telescopic
//   6 sections: float d, s, l, insertion (insertion from version 20000)
//   int32 (ground + 10) x 65536 + foot position
//   items: byte 1 and an item, repeated; byte 0 ends the list
//     item: int32 kind, divergence, band, polarisation, spacing; float force,
//     area, diameter, wind of force (below 20000: float, float, byte area
//     valid); byte first child present, byte second child present, children
//   byte parallelepiped; 18 bytes structure types
//   int32 flash density, fire risk, environment factor, with antennas
//   int32 height without, height with, collection area without, with, length, width
//   18 int32 structure areas
//   chunked municipality (50), text 1 (500), text 2 (500), mast norm (50),
//   lightning norm (50); below 20000 six raw 257-byte records instead
#include "document/mast.h"

#include <algorithm>
#include <cmath>

#include "core/file.h"
#include "core/record_versions.h"

namespace {

constexpr int32_t PackedGroundOffset = 10;
constexpr int32_t PackedUnit = 65536;
constexpr int OldTextRecords = 6;
constexpr int OldTextWidth = 257;
constexpr int32_t DefaultFootPosition = 40;

// Fields with a closed set of values; anything else marks a damaged section.
struct TRange {
    int32_t Low;
    int32_t High;
};
constexpr TRange WindClassRange{0, 3};
constexpr TRange EnvironmentRange{0, 1};
constexpr TRange AntennaSystemRange{0, 1};
constexpr TRange SectionCountRange{1, MastSections};
constexpr TRange TelescopicRange{0, 1};
constexpr TRange KindRange{MastYagi, MastDoubleArm};
constexpr TRange DivergenceRange{-1, 2};
constexpr TRange BandRange{-1, 9};
constexpr TRange PolarisationRange{-1, 1};
constexpr TRange FlashDensityRange{-1, 2};
constexpr TRange FireRiskRange{0, 2};
constexpr TRange EnvironmentFactorRange{0, 3};

int32_t Checked(int32_t value, TRange range) {
    if (value < range.Low || value > range.High) throw EReadError("mast value out of range");
    return value;
}

int32_t ReadChecked(TStream& s, TRange range) { return Checked(ReadI32(s), range); }

// A measure of a section or an item. An infinite or nan float measures
// nothing, and as a number it would reach the evaluation, the page and the
// report: it reads as no value.
float ReadMeasure(TStream& s) {
    const float v = ReadF32(s);
    return std::isfinite(v) ? v : LevelNone;
}

void WriteItem(TStream& s, const TDatiAntenna& item) {
    WriteI32(s, item.Kind);
    WriteI32(s, item.Divergence);
    WriteI32(s, item.Band);
    WriteI32(s, item.Polarisation);
    WriteI32(s, item.Spacing);
    WriteF32(s, item.Force);
    WriteF32(s, item.Area);
    WriteF32(s, item.Diameter);
    WriteF32(s, item.WindOfForce);
    WriteU8(s, item.FirstChild ? 1 : 0);
    WriteU8(s, item.SecondChild ? 1 : 0);
    if (item.FirstChild) WriteItem(s, *item.FirstChild);
    if (item.SecondChild) WriteItem(s, *item.SecondChild);
}

// Items older than version 20000 state either an area or a force (a dish's
// first float is its diameter); a force was given at the wind of the mast's
// class.
void ConvertOldItem(TDatiAntenna& item, uint8_t areaValid, int32_t windClass) {
    if (areaValid)
        item.Force = LevelNone;
    else
        item.Area = LevelNone;
    item.WindOfForce = LevelNone;
    if (item.Kind == MastDish) {
        item.Diameter = item.Force;
        item.Force = LevelNone;
    } else {
        item.Diameter = LevelNone;
    }
    if (item.Force != LevelNone)
        item.WindOfForce = static_cast<float>(WindClassSpeeds[static_cast<size_t>(windClass)]);
}

// depth 0: an item of the mast; 1: an antenna on an arm, which holds nothing.
std::unique_ptr<TDatiAntenna> ReadItem(TStream& s, int32_t version, int32_t windClass, int depth) {
    auto item = std::make_unique<TDatiAntenna>();
    item->Kind = ReadChecked(s, KindRange);
    item->Divergence = ReadChecked(s, DivergenceRange);
    item->Band = ReadChecked(s, BandRange);
    item->Polarisation = ReadChecked(s, PolarisationRange);
    item->Spacing = ReadI32(s);
    item->Force = ReadMeasure(s);
    item->Area = ReadMeasure(s);
    if (version >= V20000) {
        item->Diameter = ReadMeasure(s);
        item->WindOfForce = ReadMeasure(s);
    } else {
        ConvertOldItem(*item, ReadU8(s), windClass);
    }
    const uint8_t first = ReadU8(s);
    const uint8_t second = ReadU8(s);
    if ((first || second) && (depth > 0 || !item->IsArm())) throw EReadError("mast item with children");
    if (first) item->FirstChild = ReadItem(s, version, windClass, depth + 1);
    if (second) item->SecondChild = ReadItem(s, version, windClass, depth + 1);
    return item;
}

// Old files keep each text in three records, joined with blanks.
AnsiString JoinOldRecords(const AnsiString* records) {
    AnsiString text = records[0];
    for (int i = 1; i < 3; ++i) {
        if (records[i].empty()) continue;
        if (!text.empty()) text += ' ';
        text += records[i];
    }
    return text;
}

}  // namespace

void TDatiAntenne::InsertAt(int position, std::unique_ptr<TDatiAntenna> item) {
    const size_t at = position <= 0 ? 0 : std::min(static_cast<size_t>(position), Items.size());
    Items.insert(Items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
}

TNumberRule MastSectionRule(int measure, int decimals) {
    switch (measure) {
    case MastMeasureDiameter: return TNumberRule::Decimal(25, 102, decimals, "mm");
    case MastMeasureThickness: return TNumberRule::Decimal(2, 6, decimals, "mm");
    default: return TNumberRule::Decimal(0.5, 6, decimals, "m");
    }
}

TPalo::TPalo() { SetDefaults(); }

namespace {

std::unique_ptr<TDatiAntenna> CopyItem(const TDatiAntenna& item) {
    auto copy = std::make_unique<TDatiAntenna>();
    copy->Kind = item.Kind;
    copy->Divergence = item.Divergence;
    copy->Band = item.Band;
    copy->Polarisation = item.Polarisation;
    copy->Spacing = item.Spacing;
    copy->Force = item.Force;
    copy->Area = item.Area;
    copy->Diameter = item.Diameter;
    copy->WindOfForce = item.WindOfForce;
    if (item.FirstChild) copy->FirstChild = CopyItem(*item.FirstChild);
    if (item.SecondChild) copy->SecondChild = CopyItem(*item.SecondChild);
    return copy;
}

}  // namespace

TDatiAntenne TDatiAntenne::Copy() const {
    TDatiAntenne copy;
    for (const auto& item : Items) copy.Items.push_back(CopyItem(*item));
    return copy;
}

TFormaPalo::TFormaPalo(const TPalo& palo)
    : sectionCount_(palo.SectionCount),
      telescopic_(palo.Telescopic),
      footPosition_(palo.FootPosition),
      ground_(palo.Ground),
      items_(palo.Antennas.Copy()) {
    std::copy(std::begin(palo.Sections), std::end(palo.Sections), sections_);
}

void TFormaPalo::PutBack(TPalo& palo) const {
    palo.SectionCount = sectionCount_;
    palo.Telescopic = telescopic_;
    std::copy(std::begin(sections_), std::end(sections_), palo.Sections);
    palo.FootPosition = footPosition_;
    palo.Ground = ground_;
    palo.SelectedItem = nullptr;
    palo.SelectedSection = -1;
    palo.Antennas = items_.Copy();
}

void TPalo::ClearMast() {
    SectionCount = 1;
    FootPosition = DefaultFootPosition;
    Ground = -1;
    Telescopic = 0;
    for (TTroncoPalo& section : Sections) section = TTroncoPalo{};
    SelectedItem = nullptr;
    Antennas.Clear();
}

void TPalo::SetDefaults() {
    ClearMast();
    WindClass = 0;
    Environment = 0;
    AntennaSystem = 0;
    SelectedSection = -1;
    Text1.clear();
    Text2.clear();
    MastNorm = DefaultMastNorm;
    LightningNorm = DefaultLightningNorm811;
    Parallelepiped = 1;
    std::fill(std::begin(StructureSelected), std::end(StructureSelected), uint8_t{0});
    FlashDensity = 2;
    FireRisk = 2;
    EnvironmentFactor = 0;
    EnvironmentFactorWithAntennas = 0;
    std::fill(std::begin(StructureArea), std::end(StructureArea), static_cast<int32_t>(LevelNone));
    HeightWithout = HeightWith = static_cast<int32_t>(LevelNone);
    CollectionAreaWithout = CollectionAreaWith = static_cast<int32_t>(LevelNone);
    Length = Width = static_cast<int32_t>(LevelNone);
    Municipality.clear();
}

void TPalo::Save(TStream& s, int32_t /*version*/) const {
    WriteI32(s, Environment);
    WriteI32(s, WindClass);
    WriteI32(s, AntennaSystem);
    WriteI32(s, SectionCount);
    WriteU8(s, Telescopic);
    for (const TTroncoPalo& t : Sections) {
        WriteF32(s, t.Diameter);
        WriteF32(s, t.Thickness);
        WriteF32(s, t.Length);
        WriteF32(s, t.Insertion);
    }
    WriteU32(s, static_cast<uint32_t>(Ground + PackedGroundOffset) * PackedUnit +
                    static_cast<uint32_t>(FootPosition));
    for (const auto& item : Antennas.Items) {
        WriteU8(s, 1);
        WriteItem(s, *item);
    }
    WriteU8(s, 0);
    WriteU8(s, Parallelepiped);
    s.WriteBuffer(StructureSelected, StructureTypes);
    for (int32_t v : {FlashDensity, FireRisk, EnvironmentFactor, EnvironmentFactorWithAntennas})
        WriteI32(s, v);
    for (int32_t v : {HeightWithout, HeightWith, CollectionAreaWithout, CollectionAreaWith, Length, Width})
        WriteI32(s, v);
    for (int32_t area : StructureArea) WriteI32(s, area);
    chunked::WriteAnsiString(s, Municipality, MastNormMax);
    chunked::WriteAnsiString(s, Text1, MastTextMax);
    chunked::WriteAnsiString(s, Text2, MastTextMax);
    chunked::WriteAnsiString(s, MastNorm, MastNormMax);
    chunked::WriteAnsiString(s, LightningNorm, MastNormMax);
}

void TPalo::Load(TStream& s, int32_t version) {
    Environment = ReadChecked(s, EnvironmentRange);
    WindClass = ReadChecked(s, WindClassRange);
    AntennaSystem = ReadChecked(s, AntennaSystemRange);
    SectionCount = ReadChecked(s, SectionCountRange);
    Telescopic = static_cast<uint8_t>(Checked(ReadU8(s), TelescopicRange));
    for (TTroncoPalo& t : Sections) {
        t.Diameter = ReadMeasure(s);
        t.Thickness = ReadMeasure(s);
        t.Length = ReadMeasure(s);
        if (version >= V20000) t.Insertion = ReadMeasure(s);
    }
    const int32_t packed = ReadI32(s);
    FootPosition = packed % PackedUnit;
    // A foot below the base line would not write back to the same word.
    if (FootPosition < 0) throw EReadError("mast foot below the base line");
    Ground = (packed >> 16) - PackedGroundOffset;
    if (Ground == -PackedGroundOffset) Ground = -1;

    Antennas.Clear();
    SelectedItem = nullptr;
    while (ReadU8(s)) {
        if (Antennas.Count() >= MastMaxItems) throw EReadError("too many mast items");
        Antennas.Items.push_back(ReadItem(s, version, WindClass, 0));
    }
    Parallelepiped = ReadU8(s);
    s.ReadBuffer(StructureSelected, StructureTypes);
    FlashDensity = ReadChecked(s, FlashDensityRange);
    FireRisk = ReadChecked(s, FireRiskRange);
    EnvironmentFactor = ReadChecked(s, EnvironmentFactorRange);
    EnvironmentFactorWithAntennas = ReadChecked(s, EnvironmentFactorRange);
    for (int32_t* v :
         {&HeightWithout, &HeightWith, &CollectionAreaWithout, &CollectionAreaWith, &Length, &Width})
        *v = ReadI32(s);
    for (int32_t& area : StructureArea) area = ReadI32(s);
    if (version < V20000) {
        AnsiString records[OldTextRecords];
        for (AnsiString& r : records) r = ReadRawText(s, OldTextWidth);
        Text1 = JoinOldRecords(records);
        Text2 = JoinOldRecords(records + 3);
    } else {
        Municipality = chunked::ReadAnsiString(s, MastNormMax);
        Text1 = chunked::ReadAnsiString(s, MastTextMax);
        Text2 = chunked::ReadAnsiString(s, MastTextMax);
        MastNorm = chunked::ReadAnsiString(s, MastNormMax);
        LightningNorm = chunked::ReadAnsiString(s, MastNormMax);
    }
}

const TDatiVentoPalo& MastWindData() {
    static const TDatiVentoPalo data{
        {800, 1100, 1250, 1900},
        1.2f,
        {{{65,  65,  100, 100, 100, 65,  80,  100, 100, 100, 100, 100, 100, 100, 180,
           100, 100, 100, 140, 180, 100, 100, 180, 180, 320, 0,   0,   0,   0,   0},
          {50, 50, 75, 75,  75,  50, 60, 75,  75,  75,  75, 75, 75, 75, 130,
           75, 75, 75, 100, 130, 75, 75, 130, 180, 230, 0,  0,  0,  0,  0},
          {35, 35, 55, 55, 55,  35, 45, 55,  55,  55,  55, 55, 55, 55, 100,
           55, 55, 55, 80, 100, 55, 55, 100, 100, 185, 0,  0,  0,  0,  0}}},
    };
    return data;
}

const char* MastItemKindText(int32_t kind) {
    switch (kind) {
    case MastYagi: return "Antenna Yagi";
    case MastGrid: return "Grata";
    case MastDihedral: return "Antenna con riflettore a diedro";
    case MastCurtain: return "Antenna con riflettore a cortina";
    case MastLogPeriodic: return "Antenna logaritmica";
    case MastDish: return "Parabola";
    case MastSingleArm: return "Braccio singolo";
    case MastDoubleArm: return "Braccio doppio";
    default: return "";
    }
}
