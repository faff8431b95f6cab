#pragma once
// TFulmini: the risk of loss of human life (R1) from lightning for the
// structure that carries the antennas: collection area, dangerous events per
// year, the components Ra, Rb (flashes to the structure) and Ru, Rv (flashes
// to the incoming lines), with the factors of the norm's tables. Inputs and
// results of the page "Fulmini 81.10-2"; section 209 of the project file.
#include <cstdint>

#include "core/levels.h"
#include "platform/classes.h"

constexpr const char* DefaultLightningNorm = "CEI 81.10-2 (EN 62305-2)";
constexpr int LightningNormMax = 50;
constexpr int LightningNotesMax = 500;

// The collection area [mq] of a parallelepiped of length, width and height
// [m]: its ground plan widened by three times its height all round (the
// integer part of L·W + 6·H·(L+W) + 9·pi·H² + 0.99); -500001 when a size is
// missing or negative, or the area does not fit an int32.
int32_t CollectionArea(int32_t length, int32_t width, int32_t height);

class TFulmini {
public:
    TFulmini();

    // The default inputs and texts, then Compute.
    void SetDefaults();
    // Every result from the inputs; a missing input sets Insufficient.
    void Compute();

    // Section 209 body up to the designer data that follows it. Load raises
    // EReadError when the stream ends inside it, then computes.
    void Save(TStream& s) const;
    void LoadFromStream(TStream& s);

    // ---- Inputs (-500001: no value) ----
    int32_t Insufficient = 0;
    uint8_t PersonsOutside = 0;
    uint8_t Parallelepiped = 1;
    int32_t L = 10, W = 10, H = 10;  // m
    int32_t StructureKinds = 512;    // bit set, selects Lf
    int32_t FloorKinds = 8;          // bit set, selects ra
    int32_t FireProvisions = 0;      // bit set, selects rp
    int32_t Ad = 0;                  // collection area, mq
    int32_t Spare = 0;               // kept as read
    float Ng = 4.0f;                 // flashes per km² and year
    int32_t FireRisk = 3;
    int32_t SpecialHazard = 0;
    int32_t Surroundings = 2;
    int32_t AerialLinesA = 0, AerialLinesB = 0;
    int32_t BuriedLinesA = 0, BuriedLinesB = 0;
    int32_t LineSoilKinds = 1;  // bit set, selects ru
    // ---- Results ----
    float Nd = 0, ra = 0, Lt = 0, Ra = 0, rp = 0, hz = 1, ru = 0, rf = 0, Lf = 0, Rb = 0;
    float CaLines = 0, Ca = 1;
    float LineTerm = 0, AlAerial = 0, AlBuried = 0, NlAerial = 0, NlBuried = 0;
    float RuAerial = 0, RuBuried = 0, RvAerial = 0, RvBuried = 0, Ru = 0, Rv = 0, R1 = 0;
    uint8_t Flag = 1;  // kept as read
    AnsiString Norm;   // at most 50
    AnsiString Notes;  // at most 500
};

constexpr int32_t TagLightning = 209;
