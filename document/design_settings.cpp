// Section 208 (and the designer part of section 209), little-endian:
//
//   int32 208 (section 208 only)
//   u8 terrestrial, satellite, design network, design head end, wideband,
//   separate distributions, multiswitch along the staircase; int32 satellite
//   cables; u8 radial; int32 distance antennas - head end, LNB - head end
//   the building block; ten antenna blocks
//   5 u8 packages; chunked selection text; 12 chunked cable texts
//   int32 terrestrial, satellite connector
//   the tuning block (files of version 50000 and later): 6 int32 spacings,
//   u8, f32, 3 f32, 4 int32, 2 u8, 8 f32, u8 AmpSwcCustom, u8 APCaviColorati,
//   9 int32 colours
#include "document/design_settings.h"

#include <algorithm>

#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/channels.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/record_versions.h"
#include "platform/grids.h"
#include "platform/utf8.h"

namespace {

constexpr int32_t DefaultColours[CableColourCount] = {0x000000, 0x0000FF, 0x008000, 0xFF0000, 0xFFFF00,
                                                      0x000080, 0xFF00FF, 0x808080, 0x800000};

int32_t ReadCount(TStream& s, int32_t most) {
    const int32_t n = ReadI32(s);
    if (n < 0 || n > most) throw EReadError("count beyond its limit");
    return n;
}

bool ReadBool(TStream& s) { return ReadU8(s) != 0; }

// Files below version 50000 wrote "no value" as small negative codes.
float OldSentinel(float v, int32_t version) {
    return version < V50000 && v < 0.0f && v > -100.0f ? v - 500000.0f : v;
}

// The program's settings are the engine's; before an engine is made (tests,
// tools that only read files) a settings object of their own stands in.
TDesignSettingsOwner EngineSettings = nullptr;

std::unique_ptr<TOpzProgetto>* EngineSlot() { return EngineSettings ? EngineSettings() : nullptr; }

std::unique_ptr<TOpzProgetto>& Slot() {
    static std::unique_ptr<TOpzProgetto> settings;
    std::unique_ptr<TOpzProgetto>* engine = EngineSlot();
    return engine ? *engine : settings;
}

}  // namespace

// ---------------------------------------------------------------- TPalazzo

void TPalazzo::Reset() {
    StaircaseCount = 1;
    TScala& s = Staircases[0];
    s.FloorCount = 1;
    s.HeadEndDistance = 0;
    s.TopFloorDistance = 3;
    s.FloorSpacing = 3;
    s.Floors[0].ApartmentCount = 1;
    s.Floors[0].Apartments[0] = TAppartamento{};
    AllSelected = true;
}

void TPalazzo::ComputeMaxima() {
    MostFloors = MostApartments = MostTerrOutlets = MostSatOutlets = LargestTerrLayout = LargestSatLayout = 0;
    const int32_t staircases = std::clamp(StaircaseCount, 0, MaxStaircases);
    for (int32_t i = 0; i < staircases; ++i) {
        TScala& s = Staircases[i];
        MostFloors = std::max(MostFloors, s.FloorCount);
        s.FirstColumn = i == 0 ? 0 : Staircases[i - 1].LastColumn + 1;
        s.MaxApartments = 0;
        for (int32_t f = 0; f < std::clamp(s.FloorCount, 0, MaxFloors); ++f) {
            const TPiano& floor = s.Floors[f];
            s.MaxApartments = std::max(s.MaxApartments, floor.ApartmentCount);
            for (int32_t a = 0; a < std::clamp(floor.ApartmentCount, 0, MaxApartments); ++a) {
                const TAppartamento& apt = floor.Apartments[a];
                MostTerrOutlets = std::max(MostTerrOutlets, apt.TerrOutlets);
                MostSatOutlets = std::max(MostSatOutlets, apt.SatOutlets);
                LargestTerrLayout = std::max(LargestTerrLayout, apt.TerrLayout);
                LargestSatLayout = std::max(LargestSatLayout, apt.SatLayout);
            }
        }
        s.LastColumn = s.FirstColumn + s.MaxApartments;
        MostApartments = std::max(MostApartments, s.MaxApartments);
    }
}

void TPalazzo::Save(TStream& s) const {
    const int32_t staircases = std::clamp(StaircaseCount, 0, MaxStaircases);
    WriteI32(s, staircases);
    for (int32_t i = 0; i < staircases; ++i) {
        const TScala& sc = Staircases[i];
        const int32_t floors = std::clamp(sc.FloorCount, 0, MaxFloors);
        for (int32_t v : {floors, sc.HeadEndDistance, sc.TopFloorDistance, sc.FloorSpacing}) WriteI32(s, v);
        for (int32_t f = 0; f < floors; ++f) {
            const TPiano& floor = sc.Floors[f];
            const int32_t apartments = std::clamp(floor.ApartmentCount, 0, MaxApartments);
            WriteI32(s, apartments);
            for (int32_t a = 0; a < apartments; ++a) {
                const TAppartamento& apt = floor.Apartments[a];
                for (int32_t v : {apt.TerrOutlets, apt.SatOutlets, apt.TerrLayout, apt.SatLayout,
                                  apt.OutletSpacing, apt.ApartmentDistance})
                    WriteI32(s, v);
            }
        }
    }
}

void TPalazzo::Load(TStream& s) {
    StaircaseCount = ReadCount(s, MaxStaircases);
    for (int32_t i = 0; i < StaircaseCount; ++i) {
        TScala& sc = Staircases[i];
        sc.FloorCount = ReadCount(s, MaxFloors);
        sc.HeadEndDistance = ReadI32(s);
        sc.TopFloorDistance = ReadI32(s);
        sc.FloorSpacing = ReadI32(s);
        for (int32_t f = 0; f < sc.FloorCount; ++f) {
            TPiano& floor = sc.Floors[f];
            floor.ApartmentCount = ReadCount(s, MaxApartments);
            for (int32_t a = 0; a < floor.ApartmentCount; ++a) {
                TAppartamento& apt = floor.Apartments[a];
                for (int32_t* v : {&apt.TerrOutlets, &apt.SatOutlets, &apt.TerrLayout, &apt.SatLayout,
                                   &apt.OutletSpacing, &apt.ApartmentDistance})
                    *v = ReadI32(s);
            }
        }
    }
}

void TPalazzo::CopyStaircase(TScala& dst, const TScala& src) {
    dst.FloorCount = src.FloorCount;
    dst.TopFloorDistance = src.TopFloorDistance;
    dst.FloorSpacing = src.FloorSpacing;
    for (int32_t f = 0; f < std::clamp(src.FloorCount, 0, MaxFloors); ++f)
        CopyFloor(dst.Floors[f], src.Floors[f]);
}

void TPalazzo::CopyFloor(TPiano& dst, const TPiano& src) {
    dst.ApartmentCount = src.ApartmentCount;
    for (int32_t a = 0; a < std::clamp(src.ApartmentCount, 0, MaxApartments); ++a)
        CopyApartment(dst.Apartments[a], src.Apartments[a]);
}

void TPalazzo::CopyApartment(TAppartamento& dst, const TAppartamento& src) { dst = src; }

bool TPalazzo::IsStaircaseSelected(int32_t s) const { return AllSelected || s == SelectedStaircase; }

bool TPalazzo::IsFloorSelected(int32_t s, int32_t f) const {
    if (AllSelected) return true;
    if (s != SelectedStaircase) return false;
    return (f == SelectedFloor && SelectedApartment == -1) || SelectedFloor == -2;
}

bool TPalazzo::IsApartmentSelected(int32_t s, int32_t f, int32_t a) const {
    if (AllSelected) return true;
    if (s != SelectedStaircase) return false;
    return (f == SelectedFloor && (SelectedApartment == -1 || a == SelectedApartment)) ||
           (SelectedFloor == -1 && a == SelectedApartment) || SelectedFloor == -2;
}

namespace {

// The common value of the values seen: -1 when they differ or none was seen.
class TCommonValue {
public:
    void See(int32_t v) {
        if (!seen_)
            value_ = v;
        else if (v != value_)
            value_ = -1;
        seen_ = true;
    }
    int32_t Value() const { return seen_ ? value_ : -1; }

private:
    bool seen_ = false;
    int32_t value_ = -1;
};

int32_t Used(int32_t count, int32_t room) { return std::clamp(count, 0, room); }

}  // namespace

int32_t TPalazzo::GetFloorCount() const {
    if (!AllSelected) {
        if (SelectedStaircase < 0 || SelectedStaircase >= MaxStaircases) return -1;
        return Staircases[SelectedStaircase].FloorCount;
    }
    TCommonValue common;
    for (int32_t s = 0; s < Used(StaircaseCount, MaxStaircases); ++s) common.See(Staircases[s].FloorCount);
    return common.Value();
}

void TPalazzo::SetFloorCount(int32_t n) {
    n = std::clamp(n, 0, MaxFloors);
    for (int32_t s = 0; s < Used(StaircaseCount, MaxStaircases); ++s) {
        if (!IsStaircaseSelected(s)) continue;
        TScala& sc = Staircases[s];
        const int32_t used = Used(sc.FloorCount, MaxFloors);
        if (used > 0)
            for (int32_t f = used; f < n; ++f) CopyFloor(sc.Floors[f], sc.Floors[used - 1]);
        sc.FloorCount = n;
    }
}

int32_t TPalazzo::GetApartmentCount() const {
    TCommonValue common;
    for (int32_t s = 0; s < Used(StaircaseCount, MaxStaircases); ++s)
        for (int32_t f = 0; f < Used(Staircases[s].FloorCount, MaxFloors); ++f)
            if (IsFloorSelected(s, f)) common.See(Staircases[s].Floors[f].ApartmentCount);
    return common.Value();
}

void TPalazzo::SetApartmentCount(int32_t n) {
    n = std::clamp(n, 0, MaxApartments);
    for (int32_t s = 0; s < Used(StaircaseCount, MaxStaircases); ++s)
        for (int32_t f = 0; f < Used(Staircases[s].FloorCount, MaxFloors); ++f) {
            if (!IsFloorSelected(s, f)) continue;
            TPiano& floor = Staircases[s].Floors[f];
            const int32_t used = Used(floor.ApartmentCount, MaxApartments);
            if (used > 0)
                for (int32_t a = used; a < n; ++a) floor.Apartments[a] = floor.Apartments[used - 1];
            floor.ApartmentCount = n;
        }
}

int32_t TPalazzo::GetApartmentField(int32_t TAppartamento::*field) const {
    TCommonValue common;
    for (int32_t s = 0; s < Used(StaircaseCount, MaxStaircases); ++s)
        for (int32_t f = 0; f < Used(Staircases[s].FloorCount, MaxFloors); ++f) {
            const TPiano& floor = Staircases[s].Floors[f];
            for (int32_t a = 0; a < Used(floor.ApartmentCount, MaxApartments); ++a)
                if (IsApartmentSelected(s, f, a)) common.See(floor.Apartments[a].*field);
        }
    return common.Value();
}

void TPalazzo::SetApartmentField(int32_t TAppartamento::*field, int32_t v) {
    for (int32_t s = 0; s < Used(StaircaseCount, MaxStaircases); ++s)
        for (int32_t f = 0; f < Used(Staircases[s].FloorCount, MaxFloors); ++f) {
            TPiano& floor = Staircases[s].Floors[f];
            for (int32_t a = 0; a < Used(floor.ApartmentCount, MaxApartments); ++a)
                if (IsApartmentSelected(s, f, a)) floor.Apartments[a].*field = v;
        }
}

int32_t TPalazzo::GetStaircaseField(int32_t TScala::*field) const {
    TCommonValue common;
    for (int32_t s = 0; s < Used(StaircaseCount, MaxStaircases); ++s)
        if (IsStaircaseSelected(s)) common.See(Staircases[s].*field);
    return common.Value();
}

void TPalazzo::SetStaircaseField(int32_t TScala::*field, int32_t v) {
    for (int32_t s = 0; s < Used(StaircaseCount, MaxStaircases); ++s)
        if (IsStaircaseSelected(s)) Staircases[s].*field = v;
}

// ---------------------------------------------------------------- TAntennaAutoProg

void TAntennaAutoProg::Reset() {
    FMin = FMax = LevelNone;
    Library.clear();
    Code.clear();
    Plan = CanalizzazioneEuropa;
    std::fill(std::begin(UnknownPlanBytes), std::end(UnknownPlanBytes), uint8_t{0});
    UnknownPlanName.clear();
    ClearChannels();
}

void TAntennaAutoProg::ClearChannels() {
    std::fill(std::begin(Received), std::end(Received), false);
    Channels.Clear();
    OtherChannels.clear();
}

void TAntennaAutoProg::Assign(TAntennaAutoProg& dst) const {
    if (&dst == this) return;
    dst.FMin = FMin;
    dst.FMax = FMax;
    dst.Library = Library;
    dst.Code = Code;
    dst.Plan = Plan;
    std::copy(std::begin(UnknownPlanBytes), std::end(UnknownPlanBytes), dst.UnknownPlanBytes);
    dst.UnknownPlanName = UnknownPlanName;
    TListaCanali::AddAll(Channels, dst.Channels);
    dst.OtherChannels = OtherChannels;
    std::copy(std::begin(Received), std::end(Received), dst.Received);
}

namespace {
enum : int { GridName = 0, GridKind = 1, GridLabel = 2, GridLevel = 3, GridColumns = 4 };
constexpr int TypedNameMatch = 7;
}  // namespace

void TAntennaAutoProg::FillChannelGrid(TStringGrid& grid) const {
    const int channels = Channels.Count();
    grid.RowCount = std::max(2, channels + 1);
    int row = 1;
    for (const TCanale* c = Channels.head; c; c = c->next, ++row) {
        grid.Cells[GridName][row] = c->name;
        grid.Cells[GridKind][row] = c->signalType == SignalAnalog ? "A" : "D";
        grid.Cells[GridLabel][row] = c->label;
        grid.Cells[GridLevel][row] = c->levelMin >= 0.0f ? FormatFloat("#0.#", c->levelMin) : AnsiString();
    }
    if (row < grid.RowCount)
        for (int col = 0; col < GridColumns; ++col) grid.Cells[col][row] = AnsiString();
}

void TAntennaAutoProg::ReadChannelGrid(const TStringGrid& grid) {
    for (int row = 1; row < grid.RowCount; ++row) {
        const AnsiString typed = utf8::Mid(grid.Cell(GridName, row), 0, TypedNameMatch);
        TCanale* channel = Channels.head;
        while (channel && channel->name != typed) channel = channel->next;
        if (!channel) continue;
        channel->label = utf8::Mid(grid.Cell(GridLabel, row), 0, AntennaChannelLabelMax);
        const AnsiString& level = grid.Cell(GridLevel, row);
        // A level that does not read as a number counts as no level.
        channel->levelMin = channel->levelMax = level.empty() ? LevelNone : TextToFloat(level, LevelNone);
        const AnsiString& kind = grid.Cell(GridKind, row);
        channel->signalType = kind == "d" || kind == "D" ? SignalDigital : SignalAnalog;
    }
}

void TAntennaAutoProg::Save(TStream& s) const {
    WriteF32(s, FMin);
    WriteF32(s, FMax);
    chunked::WriteAnsiString(s, Library, AntennaTextMax);
    chunked::WriteAnsiString(s, Code, AntennaTextMax);
    if (Plan) {
        for (uint8_t b : {static_cast<uint8_t>(Plan->id), Plan->terrestrial, Plan->satellite, uint8_t{0}})
            WriteU8(s, b);
        chunked::WriteAnsiString(s, Plan->name, AntennaChannelNameMax);
    } else {
        s.WriteBuffer(UnknownPlanBytes, 4);
        chunked::WriteAnsiString(s, UnknownPlanName, AntennaChannelNameMax);
    }
    WriteI32(s, Channels.Count() + static_cast<int32_t>(OtherChannels.size()));
    auto channel = [&s](const AnsiString& name, const AnsiString& label, float level, uint8_t kind) {
        chunked::WriteAnsiString(s, name, AntennaChannelNameMax);
        chunked::WriteAnsiString(s, label, AntennaChannelLabelMax);
        WriteF32(s, level);
        WriteU8(s, kind);
    };
    for (const TCanale* c = Channels.head; c; c = c->next)
        channel(c->name, c->label, c->levelMin, static_cast<uint8_t>(c->signalType));
    for (const TCanaleFuoriPiano& c : OtherChannels) channel(c.Name, c.Label, c.Level, c.Kind);
}

void TAntennaAutoProg::Load(TStream& s, int32_t version) {
    Reset();
    FMin = OldSentinel(ReadF32(s), version);
    FMax = OldSentinel(ReadF32(s), version);
    Library = chunked::ReadAnsiString(s, AntennaTextMax);
    Code = chunked::ReadAnsiString(s, AntennaTextMax);
    uint8_t planBytes[4];
    s.ReadBuffer(planBytes, 4);
    const AnsiString planName = chunked::ReadAnsiString(s, AntennaChannelNameMax);
    const int32_t planWord =
        static_cast<int32_t>(uint32_t(planBytes[0]) | uint32_t(planBytes[1]) << 8 |
                             uint32_t(planBytes[2]) << 16 | uint32_t(planBytes[3]) << 24);
    Plan = nullptr;
    if (Canalizzazioni)
        Plan = planWord >= 1 ? Canalizzazioni->FindById(static_cast<char>(planBytes[0]))
                             : Canalizzazioni->Find(planName);
    if (!Plan) {
        std::copy(std::begin(planBytes), std::end(planBytes), UnknownPlanBytes);
        UnknownPlanName = planName;
    }
    const int32_t n = ReadCount(s, MaxAntennaChannels);
    for (int32_t i = 0; i < n; ++i) {
        TCanaleFuoriPiano stored;
        stored.Name = chunked::ReadAnsiString(s, AntennaChannelNameMax);
        stored.Label = chunked::ReadAnsiString(s, AntennaChannelLabelMax);
        stored.Level = OldSentinel(ReadF32(s), version);
        if (version >= V50100) stored.Kind = ReadU8(s);
        const int row = Plan ? Plan->IndexOf(stored.Name) : -1;
        if (!AddPlanChannel(row, stored.Label, stored.Level, static_cast<char>(stored.Kind)))
            OtherChannels.push_back(stored);
    }
}

bool TAntennaAutoProg::AddPlanChannel(int row, const AnsiString& label, float level, char kind) {
    TCanale channel;
    if (!Plan || row < 0 || !Plan->SetChannel(channel, row)) return false;
    int32_t band = SistemaBandeCorrente ? SistemaBandeCorrente->BandOf(channel.CentreFrequency()) : 1;
    channel.band = band < 0 ? 1 : band;
    channel.label = label;
    channel.levelMin = channel.levelMax = level;
    if (kind) channel.signalType = kind;
    Channels.Insert(channel);
    SetReceived(row, true);
    return true;
}

void TAntennaAutoProg::SetReceived(int row, bool received) {
    if (row >= 0 && row < AntennaPlanRows) Received[row] = received;
}

// ---------------------------------------------------------------- TOpzProgetto

TOpzProgetto::TOpzProgetto() : Building(std::make_unique<TPalazzo>()) {
    std::copy(std::begin(DefaultColours), std::end(DefaultColours), APColore);
    SetDefaults();
}

void TOpzProgetto::SetDefaults() {
    Terrestrial = true;
    Satellite = false;
    DesignNetwork = true;
    DesignHeadEnd = false;
    Wideband = false;
    SatelliteCables = 1;
    SeparateDistributions = false;
    MultiswitchAlongStaircase = true;
    Radial = false;
    AntennaHeadEndDistance = 5;
    LnbHeadEndDistance = 5;
    Building->Reset();
    for (TAntennaAutoProg& a : Antennas) a.Reset();
    LoadDefaults();
    WizardSynced = false;
}

void TOpzProgetto::LoadDefaults() {
    // Without a settings store every tuning value takes its default.
    auto integer = [](const char* name, int32_t& v, int32_t def) {
        if (Ini)
            Ini->ReadIntegerDef(name, v, def);
        else
            v = def;
    };
    auto boolean = [](const char* name, bool& v, bool def) {
        if (Ini)
            Ini->ReadBoolDef(name, v, def);
        else
            v = def;
    };
    auto real = [](const char* name, float& v, float def) {
        if (Ini)
            Ini->ReadFloatDef(name, v, def);
        else
            v = def;
    };
    integer("APDistAptTs", APDistAptTs, 1);
    integer("APDistAptPiano", APDistAptPiano, 1);
    integer("APDistDerTS", APDistDerTS, 1);
    integer("APDistPiani", APDistPiani, 3);
    integer("APDistScale", APDistScale, 4);
    integer("APDistVScale", APDistVScale, 2);
    boolean("APPianiAllineatiTraScale", APPianiAllineatiTraScale, true);
    real("APLungCavoComp", APLungCavoComp, 0.5f);
    real("APMaxSigTer", APMaxSigTer, 113);
    real("APMaxSigSat", APMaxSigSat, 113);
    real("APMaxSigSwc", APMaxSigSwc, 65);
    integer("APNumCanaliTer", APNumCanaliTer, 30);
    integer("APNumCanaliSat", APNumCanaliSat, 30);
    integer("APNumCanaliTerNF", APNumCanaliTerNF, 30);
    integer("APNumCanaliSatNF", APNumCanaliSatNF, 30);
    boolean("APUsaCanAntLB", APUsaCanAntLB, false);
    boolean("APUsaCanAntMod", APUsaCanAntMod, true);
    real("APSigReqCtTer", APSigReqCtTer, 110);
    real("APSigReqCtSat", APSigReqCtSat, 110);
    real("APMaxSbilSwcTer", APMaxSbilSwcTer, 15);
    real("APMaxSbilSwcSat", APMaxSbilSwcSat, 20);
    real("APMinSigPreAmpli", APMinSigPreAmpli, 70);
    real("APMaxSigPreAmpli", APMaxSigPreAmpli, 95);
    real("APMaxLossCtScala", APMaxLossCtScala, 12);
    real("APDefaultSigCan", APDefaultSigCan, 70);
    boolean("AmpSwcCustom", AmpSwcCustom, true);
    boolean("APCaviColorati", APCaviColorati, true);
    for (int i = 0; i < CableColourCount; ++i)
        integer(("APColore" + IntToStr(i)).c_str(), APColore[i], DefaultColours[i]);
}

void TOpzProgetto::Save(TStream& s, int32_t /*version*/) const {
    WriteI32(s, TagDesignSettings);
    SaveBody(s);
}

void TOpzProgetto::SaveBody(TStream& s) const {
    for (bool b : {Terrestrial, Satellite, DesignNetwork, DesignHeadEnd, Wideband, SeparateDistributions,
                   MultiswitchAlongStaircase})
        WriteU8(s, b);
    WriteI32(s, SatelliteCables);
    WriteU8(s, Radial);
    WriteI32(s, AntennaHeadEndDistance);
    WriteI32(s, LnbHeadEndDistance);
    Building->Save(s);
    for (const TAntennaAutoProg& a : Antennas) a.Save(s);
    for (bool p : Packages) WriteU8(s, p);
    chunked::WriteAnsiString(s, SelectionText, -2);
    for (const AnsiString& t : CableTexts) chunked::WriteAnsiString(s, t, -2);
    WriteI32(s, TerrConnector);
    WriteI32(s, SatConnector);
    for (int32_t v : {APDistAptTs, APDistAptPiano, APDistDerTS, APDistPiani, APDistScale, APDistVScale})
        WriteI32(s, v);
    WriteU8(s, APPianiAllineatiTraScale);
    WriteF32(s, APLungCavoComp);
    for (float v : {APMaxSigTer, APMaxSigSat, APMaxSigSwc}) WriteF32(s, v);
    for (int32_t v : {APNumCanaliTer, APNumCanaliSat, APNumCanaliTerNF, APNumCanaliSatNF}) WriteI32(s, v);
    WriteU8(s, APUsaCanAntLB);
    WriteU8(s, APUsaCanAntMod);
    for (float v : {APSigReqCtTer, APSigReqCtSat, APMaxSbilSwcTer, APMaxSbilSwcSat, APMinSigPreAmpli,
                    APMaxSigPreAmpli, APMaxLossCtScala, APDefaultSigCan})
        WriteF32(s, v);
    WriteU8(s, AmpSwcCustom);
    WriteU8(s, APCaviColorati);
    for (int32_t c : APColore) WriteI32(s, c);
}

void TOpzProgetto::Load(TStream& s, int32_t version) {
    SetDefaults();
    for (bool* b : {&Terrestrial, &Satellite, &DesignNetwork, &DesignHeadEnd, &Wideband,
                    &SeparateDistributions, &MultiswitchAlongStaircase})
        *b = ReadBool(s);
    SatelliteCables = ReadI32(s);
    Radial = ReadBool(s);
    AntennaHeadEndDistance = ReadI32(s);
    LnbHeadEndDistance = ReadI32(s);
    Building->Load(s);
    for (TAntennaAutoProg& a : Antennas) a.Load(s, version);
    for (bool& p : Packages) p = ReadBool(s);
    SelectionText = chunked::ReadAnsiString(s, -1);
    for (AnsiString& t : CableTexts) t = chunked::ReadAnsiString(s, -1);
    TerrConnector = ReadI32(s);
    SatConnector = ReadI32(s);
    if (version >= V50000) {
        for (int32_t* v :
             {&APDistAptTs, &APDistAptPiano, &APDistDerTS, &APDistPiani, &APDistScale, &APDistVScale})
            *v = ReadI32(s);
        APPianiAllineatiTraScale = ReadBool(s);
        APLungCavoComp = ReadF32(s);
        for (float* v : {&APMaxSigTer, &APMaxSigSat, &APMaxSigSwc}) *v = ReadF32(s);
        for (int32_t* v : {&APNumCanaliTer, &APNumCanaliSat, &APNumCanaliTerNF, &APNumCanaliSatNF})
            *v = ReadI32(s);
        APUsaCanAntLB = ReadBool(s);
        APUsaCanAntMod = ReadBool(s);
        for (float* v : {&APSigReqCtTer, &APSigReqCtSat, &APMaxSbilSwcTer, &APMaxSbilSwcSat,
                         &APMinSigPreAmpli, &APMaxSigPreAmpli, &APMaxLossCtScala, &APDefaultSigCan})
            *v = ReadF32(s);
        AmpSwcCustom = ReadBool(s);
        APCaviColorati = ReadBool(s);
        for (int32_t& c : APColore) c = ReadI32(s);
    }
    WizardSynced = false;
}

void SetDesignSettingsOwner(TDesignSettingsOwner owner) { EngineSettings = owner; }

TOpzProgetto& DesignSettings() {
    auto& slot = Slot();
    if (!slot) slot = std::make_unique<TOpzProgetto>();
    return *slot;
}

void SwapDesignSettings(std::unique_ptr<TOpzProgetto>& other) {
    if (!other) return;
    DesignSettings();
    std::swap(Slot(), other);
}

void ResetDesignSettings() {
    // The engine is never left without settings.
    if (std::unique_ptr<TOpzProgetto>* engine = EngineSlot())
        *engine = std::make_unique<TOpzProgetto>();
    else
        Slot().reset();
}
