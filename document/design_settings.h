#pragma once
// What the automatic designer is asked to do for one project: TOpzProgetto
// (installation kind, choices, cables, tuning values), the building
// TPalazzo and the receiving antennas TAntennaAutoProg. The project file
// carries them in section 208, or after the lightning data of section 209.
#include <array>
#include <cstdint>
#include <memory>

#include "core/channel_list.h"
#include "core/levels.h"
#include "platform/classes.h"

class TCanalizzazione;
class TStringGrid;

// Room of the building's arrays; a file with larger counts is refused.
constexpr int32_t MaxStaircases = 10;
constexpr int32_t MaxFloors = 30;
constexpr int32_t MaxApartments = 10;

struct TAppartamento {
    int32_t TerrOutlets = 1;  // "Prese terrestri per appartamento"
    int32_t SatOutlets = 1;   // "Prese Sat per appartamento"
    int32_t TerrLayout = 0;   // 0 star, n lines in cascade
    int32_t SatLayout = 0;
    int32_t OutletSpacing = 5;      // m, "Distanza tra prese (m.)"
    int32_t ApartmentDistance = 5;  // m, "Distanza scala - appartamenti (m.)"
};

struct TPiano {
    TAppartamento Apartments[MaxApartments];
    int32_t ApartmentCount = 1;
};

struct TScala {
    TPiano Floors[MaxFloors];
    int32_t FloorCount = 1;
    int32_t HeadEndDistance = 0;   // m, head end to the staircase head
    int32_t TopFloorDistance = 3;  // m, staircase head to the top floor
    int32_t FloorSpacing = 3;      // m, between floors
    // Derived by ComputeMaxima: the staircase's sketch columns and its widest floor.
    int32_t FirstColumn = 0;
    int32_t LastColumn = 0;
    int32_t MaxApartments = 0;
};

class TPalazzo {
public:
    TPalazzo() { Reset(); }

    // One staircase of one floor of one apartment with the default figures;
    // entries beyond the counts stay as they are.
    void Reset();
    // The derived fields of the staircases and of the building.
    void ComputeMaxima();

    // The building block: counts, distances and apartments in use. Load
    // raises EReadError for a count beyond the arrays or a stream that ends.
    void Save(TStream& s) const;
    void Load(TStream& s);

    // Copies of one record onto another: a staircase keeps its distance
    // head end - staircase head; used floors and apartments are copied.
    static void CopyStaircase(TScala& dst, const TScala& src);
    static void CopyFloor(TPiano& dst, const TPiano& src);
    static void CopyApartment(TAppartamento& dst, const TAppartamento& src);

    // The selection of the wizard's building page: everything, or one
    // staircase, one floor (-2 the whole staircase) and one apartment (-1
    // every apartment of the floor; floor -1 that apartment on every floor).
    bool IsStaircaseSelected(int32_t s) const;
    bool IsFloorSelected(int32_t s, int32_t f) const;
    bool IsApartmentSelected(int32_t s, int32_t f, int32_t a) const;

    // Counts over the selection; a getter gives -1 when the selected records
    // differ (or none is selected). Growing a count copies the last record
    // in use into each new one; counts are kept within the arrays' room.
    int32_t GetStaircaseCount() const { return StaircaseCount; }
    int32_t GetFloorCount() const;
    void SetFloorCount(int32_t n);
    int32_t GetApartmentCount() const;
    void SetApartmentCount(int32_t n);

    // The apartment fields over the selected apartments, and the staircase
    // distances over the selected staircases.
    int32_t GetTerrOutlets() const { return GetApartmentField(&TAppartamento::TerrOutlets); }
    void SetTerrOutlets(int32_t v) { SetApartmentField(&TAppartamento::TerrOutlets, v); }
    int32_t GetSatOutlets() const { return GetApartmentField(&TAppartamento::SatOutlets); }
    void SetSatOutlets(int32_t v) { SetApartmentField(&TAppartamento::SatOutlets, v); }
    int32_t GetTerrLayout() const { return GetApartmentField(&TAppartamento::TerrLayout); }
    void SetTerrLayout(int32_t v) { SetApartmentField(&TAppartamento::TerrLayout, v); }
    int32_t GetSatLayout() const { return GetApartmentField(&TAppartamento::SatLayout); }
    void SetSatLayout(int32_t v) { SetApartmentField(&TAppartamento::SatLayout, v); }
    int32_t GetOutletSpacing() const { return GetApartmentField(&TAppartamento::OutletSpacing); }
    void SetOutletSpacing(int32_t v) { SetApartmentField(&TAppartamento::OutletSpacing, v); }
    int32_t GetApartmentDistance() const { return GetApartmentField(&TAppartamento::ApartmentDistance); }
    void SetApartmentDistance(int32_t v) { SetApartmentField(&TAppartamento::ApartmentDistance, v); }
    int32_t GetHeadEndDistance() const { return GetStaircaseField(&TScala::HeadEndDistance); }
    void SetHeadEndDistance(int32_t v) { SetStaircaseField(&TScala::HeadEndDistance, v); }
    int32_t GetTopFloorDistance() const { return GetStaircaseField(&TScala::TopFloorDistance); }
    void SetTopFloorDistance(int32_t v) { SetStaircaseField(&TScala::TopFloorDistance, v); }
    int32_t GetFloorSpacing() const { return GetStaircaseField(&TScala::FloorSpacing); }
    void SetFloorSpacing(int32_t v) { SetStaircaseField(&TScala::FloorSpacing, v); }

    TScala Staircases[MaxStaircases];
    int32_t StaircaseCount = 1;
    // Building maxima (derived).
    int32_t MostFloors = 0;
    int32_t MostApartments = 0;
    int32_t MostTerrOutlets = 0;
    int32_t MostSatOutlets = 0;
    int32_t LargestTerrLayout = 0;
    int32_t LargestSatLayout = 0;
    // Selection of the wizard's building page (not stored).
    bool AllSelected = true;
    int32_t SelectedStaircase = 0;
    int32_t SelectedFloor = 0;      // -1 every floor at the apartment, -2 the whole staircase
    int32_t SelectedApartment = 0;  // -1 every apartment of the floor

private:
    int32_t GetApartmentField(int32_t TAppartamento::*field) const;
    void SetApartmentField(int32_t TAppartamento::*field, int32_t v);
    int32_t GetStaircaseField(int32_t TScala::*field) const;
    void SetStaircaseField(int32_t TScala::*field, int32_t v);
};

// Rows of a plan an antenna can mark as received.
constexpr int AntennaPlanRows = 100;
// Most channels one antenna brings; a file with more is refused.
constexpr int32_t MaxAntennaChannels = 100;
constexpr int AntennaTextMax = 50;
constexpr int AntennaChannelNameMax = 49;
constexpr int AntennaChannelLabelMax = 20;

// A stored channel whose name is in no row of the antenna's plan (or whose
// plan is unknown): kept as read, written back as read.
struct TCanaleFuoriPiano {
    AnsiString Name;  // up to 49 characters
    AnsiString Label;
    float Level = LevelNone;
    uint8_t Kind = 'a';
};

class TAntennaAutoProg {
public:
    TAntennaAutoProg() = default;
    TAntennaAutoProg(const TAntennaAutoProg&) = delete;
    TAntennaAutoProg& operator=(const TAntennaAutoProg&) = delete;

    // No range, texts or channels; the program's second plan.
    void Reset();
    // No received rows, no channels.
    void ClearChannels();
    // Makes dst a copy of this antenna: range, texts, plan, received rows
    // and copies of the channels.
    void Assign(TAntennaAutoProg& dst) const;
    // The channels in a four-column grid (name, "A"/"D", label, level), one
    // a row from row 1; at least two rows.
    void FillChannelGrid(TStringGrid& grid) const;
    // Takes back label, level and kind of each row whose first 7 characters
    // name a channel of the list exactly; other rows are skipped.
    void ReadChannelGrid(const TStringGrid& grid);
    // Adds the channel of the plan's row (edges, name, kind of the row; the
    // band of its centre in the calculation band system) with this label,
    // level and kind (0 keeps the row's), and marks the row received when the grid has it.
    // False, and nothing added, for a row the plan does not have.
    bool AddPlanChannel(int row, const AnsiString& label, float level, char kind);
    // Marks the plan row received, or not; rows beyond the grid's 100 (or
    // none, -1) have no mark.
    void SetReceived(int row, bool received);

    // The antenna block. Load raises EReadError for more than 100 channels
    // or a stream that ends inside the block.
    void Save(TStream& s) const;
    void Load(TStream& s, int32_t version);

    float FMin = LevelNone;  // MHz
    float FMax = LevelNone;
    AnsiString Library;               // at most 50
    AnsiString Code;                  // at most 50
    TCanalizzazione* Plan = nullptr;  // not owned
    bool Received[AntennaPlanRows] = {};
    TListaCanali Channels;
    std::vector<TCanaleFuoriPiano> OtherChannels;
    // The plan reference of a file whose plan this program does not know.
    uint8_t UnknownPlanBytes[4] = {0, 0, 0, 0};
    AnsiString UnknownPlanName;
};

constexpr int AntennaSlots = 10;
constexpr int PackageCount = 5;
constexpr int CableTextCount = 12;
constexpr int CableColourCount = 9;

class TOpzProgetto {
public:
    TOpzProgetto();
    TOpzProgetto(const TOpzProgetto&) = delete;
    TOpzProgetto& operator=(const TOpzProgetto&) = delete;

    // The default choices, building and antennas, then the tuning values of
    // the settings store. Packages, cable texts and connectors stay.
    void SetDefaults();
    // The 36 tuning values of the settings store, each with its default.
    void LoadDefaults();

    // Section 208, its tag included.
    void Save(TStream& s, int32_t version) const;
    // The same without the tag (it follows the lightning data in section 209).
    void SaveBody(TStream& s) const;
    // A section body read over the defaults. Raises EReadError for a count
    // beyond its limit or a stream that ends inside the body.
    void Load(TStream& s, int32_t version);

    bool WizardSynced = false;
    bool Terrestrial = true;
    bool Satellite = false;
    bool DesignNetwork = true;
    bool DesignHeadEnd = false;
    bool Wideband = false;
    int32_t SatelliteCables = 1;  // 1 single cable, 2, 4, 8 multiswitch cables
    bool SeparateDistributions = false;
    bool MultiswitchAlongStaircase = true;
    bool Radial = false;
    bool Packages[PackageCount] = {};       // "CDp", "CStream", "CRai", "CMediaset", "CNetSystem"
    AnsiString CableTexts[CableTextCount];  // (library, code) of riser, staircase-apartment, apartment;
                                            // terrestrial then satellite
    int32_t TerrConnector = 0;
    int32_t SatConnector = 0;
    std::unique_ptr<TPalazzo> Building;
    int32_t AntennaHeadEndDistance = 5;  // m
    int32_t LnbHeadEndDistance = 5;      // m
    std::array<TAntennaAutoProg, AntennaSlots> Antennas;
    // The ticked paths of the wizard's selection tree, lines ended by CR LF,
    // kept as read until the wizard takes them.
    AnsiString SelectionText;
    // Tuning values.
    float APLungCavoComp = 0.5f;
    int32_t APDistAptTs = 1, APDistAptPiano = 1, APDistDerTS = 1, APDistPiani = 3, APDistScale = 4,
            APDistVScale = 2;
    bool APPianiAllineatiTraScale = true;
    float APMaxSigTer = 113, APMaxSigSat = 113, APMaxSigSwc = 65;
    int32_t APNumCanaliTer = 30, APNumCanaliSat = 30, APNumCanaliTerNF = 30, APNumCanaliSatNF = 30;
    bool APUsaCanAntLB = false, APUsaCanAntMod = true;
    float APSigReqCtTer = 110, APSigReqCtSat = 110;
    float APMaxSbilSwcTer = 15, APMaxSbilSwcSat = 20;
    float APMinSigPreAmpli = 70, APMaxSigPreAmpli = 95;
    float APMaxLossCtScala = 12;
    float APDefaultSigCan = 70;
    bool APCaviColorati = true;
    int32_t APColore[CableColourCount];
    bool AmpSwcCustom = true;
    bool DesignRequested = false;
};

constexpr int32_t TagDesignSettings = 208;

// The designer's settings of the program: those of the design engine
// CreaAuto (a stand-in of their own while no engine is made).
TOpzProgetto& DesignSettings();
// Where the design engine keeps the program's settings: none while there is
// no engine. The engine names it when it is made; the project file, which
// writes and reads the settings, stays below the designer.
using TDesignSettingsOwner = std::unique_ptr<TOpzProgetto>* (*)();
void SetDesignSettingsOwner(TDesignSettingsOwner owner);
// Puts other in place of the program's settings; other receives the old ones.
void SwapDesignSettings(std::unique_ptr<TOpzProgetto>& other);
// Drops the program's settings; the next DesignSettings() makes them anew
// (over the channel plans of that time).
void ResetDesignSettings();
