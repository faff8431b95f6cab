// Section 209 body, up to the designer data that follows it:
//   int32 L, W, H, structure kinds, floor kinds, fire provisions, Ad, spare,
//   fire risk, special hazard, surroundings, aerial lines A, B, buried lines
//   A, B, line soil kinds; byte flag, byte persons outside, byte
//   parallelepiped; chunked notes (500), chunked norm label (50).
// Ng is not stored.
#include "document/lightning.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/file.h"

namespace {

constexpr int32_t None = static_cast<int32_t>(LevelNone);
constexpr double CircleTerm = 28.2743352;  // 9 x pi, the area a flash reaches around the height
constexpr double AerialLineWidth = 6.0 * 6.0;
constexpr double Million = 1e-6;

// The factor of a floor or soil bit set: the lowest group present decides.
float FloorFactor(int32_t bits) {
    float f = 0.01f;
    if (bits & 0x380) f = 1e-5f;
    if (bits & 0x070) f = 1e-4f;
    if (bits & 0x00C) f = 0.001f;
    if (bits & 0x003) f = 0.01f;
    return f;
}

// The loss factor of the structure kinds: the highest group present decides.
float StructureLossFactor(int32_t bits) {
    float f = 0.01f;
    if (bits & 0x00E) f = 0.02f;
    if (bits & 0x070) f = 0.05f;
    if (bits & 0x380) f = 0.1f;
    return f;
}

}  // namespace

int32_t CollectionArea(int32_t length, int32_t width, int32_t height) {
    // A negative size is no size: the area it would give means nothing.
    if (length == None || width == None || height == None) return None;
    if (length < 0 || width < 0 || height < 0) return None;
    // In double: typed or stored sizes can be far beyond what the products
    // hold in 32 bits, and such an area is no value.
    const double l = length, w = width, h = height;
    const double area = std::trunc(l * w + 6.0 * h * (l + w) + CircleTerm * h * h + 0.99);
    const bool fits =
        area >= std::numeric_limits<int32_t>::min() && area <= std::numeric_limits<int32_t>::max();
    return fits ? static_cast<int32_t>(area) : None;
}

TFulmini::TFulmini() { SetDefaults(); }

void TFulmini::SetDefaults() {
    Insufficient = 0;
    PersonsOutside = 0;
    Parallelepiped = 1;
    L = W = H = 10;
    StructureKinds = 512;
    FloorKinds = 8;
    FireProvisions = 0;
    Spare = 0;
    Ng = 4.0f;
    FireRisk = 3;
    SpecialHazard = 0;
    Surroundings = 2;
    AerialLinesA = AerialLinesB = BuriedLinesA = BuriedLinesB = 0;
    LineSoilKinds = 1;
    Flag = 1;
    Norm = DefaultLightningNorm;
    Notes.clear();
    Compute();
}

void TFulmini::Compute() {
    Insufficient = 0;

    if (Parallelepiped) {
        Ad = CollectionArea(L, W, H);
    } else {
        L = W = H = None;
    }
    // A typed area below zero is as good as none: it would give a negative
    // number of flashes and a risk below any threshold.
    const bool areaKnown = Ad != None && Ad >= 0;
    if (!areaKnown) Insufficient = 1;

    switch (Surroundings) {
    case 0: Ca = 0.25f; break;
    case 1: Ca = 0.5f; break;
    case 2: Ca = 1.0f; break;
    case None: Insufficient = 1; break;
    default: Ca = 2.0f; break;
    }

    if (!areaKnown) {
        Nd = LevelNone;
        Insufficient = 1;
    } else {
        Nd = static_cast<float>(double(Ng) * Ca * Ad * Million);
    }

    ra = FloorFactor(FloorKinds);
    Lt = PersonsOutside ? 0.01f : 0.0001f;
    Ra = static_cast<float>(double(Nd) * ra * Lt);

    rp = FireProvisions != 0 ? 0.5f : 1.0f;
    if ((FireProvisions & 0xFF) > 63) rp = 0.2f;

    switch (SpecialHazard) {
    case 0: hz = 1; break;
    case 1: hz = 2; break;
    case 2:
    case 3: hz = 5; break;
    case 4: hz = 10; break;
    case 5: hz = 20; break;
    case 6: hz = 50; break;
    case None: Insufficient = 1; break;
    default: break;
    }

    switch (FireRisk) {
    case 1: rf = 0.1f; break;
    case 2: rf = 0.01f; break;
    case 3: rf = 0.001f; break;
    case 4: rf = 0.0f; break;
    default: rf = 1.0f; break;
    }

    Lf = StructureLossFactor(StructureKinds);
    const double damage = double(rp) * hz * rf * Lf;
    Rb = static_cast<float>(double(Nd) * damage);
    ru = FloorFactor(LineSoilKinds);
    CaLines = Ca;

    // The line's length within which a flash reaches it shrinks with the
    // structure's height; a structure 1000 m or more high leaves none, never
    // a negative one (which would take risk away). A negative height is no
    // height, like a missing one.
    const double height = H == None || H < 0 ? 0.0 : double(H);
    LineTerm = static_cast<float>(std::max(0.0, 1000.0 - height));
    AlAerial = static_cast<float>(double(LineTerm) * AerialLineWidth);
    AlBuried = static_cast<float>(std::sqrt(500.0) * LineTerm);
    NlAerial = static_cast<float>(double(Ng) * AlAerial * CaLines * Million);
    NlBuried = static_cast<float>(double(Ng) * AlBuried * CaLines * Million);
    RuAerial = static_cast<float>(double(NlAerial) * ru * Lt);
    RuBuried = static_cast<float>(double(NlBuried) * ru * Lt);
    RvAerial = static_cast<float>(double(NlAerial) * damage);
    RvBuried = static_cast<float>(double(NlBuried) * damage);
    const double aerial = double(AerialLinesA) + AerialLinesB;
    const double buried = double(BuriedLinesA) + BuriedLinesB;
    Ru = static_cast<float>(aerial * RuAerial + buried * RuBuried);
    Rv = static_cast<float>(aerial * RvAerial + buried * RvBuried);
    R1 = static_cast<float>(double(Ra) + Rb + Ru + Rv);
}

void TFulmini::Save(TStream& s) const {
    for (int32_t v : {L, W, H, StructureKinds, FloorKinds, FireProvisions, Ad, Spare, FireRisk, SpecialHazard,
                      Surroundings, AerialLinesA, AerialLinesB, BuriedLinesA, BuriedLinesB, LineSoilKinds})
        WriteI32(s, v);
    WriteU8(s, Flag);
    WriteU8(s, PersonsOutside);
    WriteU8(s, Parallelepiped);
    chunked::WriteAnsiString(s, Notes, LightningNotesMax);
    chunked::WriteAnsiString(s, Norm, LightningNormMax);
}

void TFulmini::LoadFromStream(TStream& s) {
    for (int32_t* v :
         {&L, &W, &H, &StructureKinds, &FloorKinds, &FireProvisions, &Ad, &Spare, &FireRisk, &SpecialHazard,
          &Surroundings, &AerialLinesA, &AerialLinesB, &BuriedLinesA, &BuriedLinesB, &LineSoilKinds})
        *v = ReadI32(s);
    Flag = ReadU8(s);
    PersonsOutside = ReadU8(s);
    Parallelepiped = ReadU8(s);
    Notes = chunked::ReadAnsiString(s, LightningNotesMax);
    Norm = chunked::ReadAnsiString(s, LightningNormMax);
    Compute();
}
