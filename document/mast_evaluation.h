#pragma once
// The wind-load evaluation of the antenna mast and the automatic choice of its
// sections.
//
// The evaluation treats the mast as a cantilever fixed at its foot (beam
// theory): every item and every exposed stretch of tube takes the wind
// pressure of the mast's wind class, and each section is checked at its
// lowest exposed point, where the bending moment of everything above it is
// largest, against the elastic moment of its tube in structural steel S235.
// The wind pressure of each class is q = ½·ρ·v² for 130, 150, 160 and
// 200 km/h with ρ ≈ 1.225 kg/m³, rounded (textbook fluid mechanics); the drag
// coefficient of a round tube, and of a dish given by its diameter, is 1.2.
//
// Lengths are in drawing units, one unit being one centimetre of mast. The
// mast drawing is 1900 units high with its base line at y = 1890; heights are
// measured upwards from it, image y = 1890 - height.
//
// The layout it fills is what the mast page's handlers read (records of the
// items, the foot handle, the section rectangles) and what the sizing needs
// (tops, insertion offsets, resistances, loads, required height, minimum foot
// position): it is computed from the data alone, so nothing depends on
// painting.
#include <array>
#include <vector>

#include "document/mast.h"
#include "platform/sysutils.h"

// The mast drawing.
constexpr int MastImageHeight = 1900;
constexpr int MastBaseLineY = 1890;
constexpr int MastAxisLeft = 91;  // the widest tube fills x 91..129
constexpr int MastAxisRight = 129;
constexpr int MastArmFirstLeft = 71;  // the first place of an arm
constexpr int MastArmFirstRight = 99;
constexpr int MastArmSecondLeft = 121;  // the second place of a double arm
constexpr int MastArmSecondRight = 149;

// Drag coefficient of a round tube and of a dish given by its diameter.
constexpr double MastDragCoefficient = 1.2;
// Allowed bending stress [N/mm²]: yield of steel S235 over a partial factor of 1.5.
constexpr double MastSteelYield = 235.0;
constexpr double MastSteelFactor = 1.5;
// Shortest overlap of a telescopic joint [cm]: less would not hold the tube upright.
constexpr int MastMinInsertionTelescopic = 20;
// Clearance above the highest item [cm], room for its clamp.
constexpr int MastHeightMargin = 10;
// Lowest foot position [cm]: the foot handle must stay clear of the base line.
constexpr int MastMinFoot = 40;
// Spacing of the lowest item from the foot [cm]: room for the clamp and a hand.
constexpr int MastFirstItemSpacing = 30;
// A dish needs half its diameter plus this much [cm] from its neighbours.
constexpr int MastDishSpacingMargin = 10;
// Room of a dish whose diameter is unknown [cm].
constexpr int MastDishSpacingUnknown = 50;
// Room of an arm with no antenna on it [cm].
constexpr int MastEmptyArmSpacing = 30;

// The wind pressure [N/m²] and speed [km/h] of a wind class (an out-of-range
// class counts as the first).
// A measure the evaluation and the report can use: present, above zero and
// finite (a float held in memory can be infinite).
bool MastValueGiven(float v);
double MastWindPressure(int32_t windClass);
double MastWindSpeed(int32_t windClass);

// Half a wavelength [cm] at the lowest frequency of a band choice: antennas
// closer than this disturb each other.
int BandHalfWavelength(int32_t band);

// The room [cm] an item needs from its neighbours on the mast.
int ItemSpacingNeed(const TDatiAntenna& item);

// The wind force [N] of an item at the given wind pressure and speed: its
// area, its force scaled to the wind, a dish by its diameter, an arm the sum
// of its antennas. `known` is cleared when an antenna has none of these.
double ItemWindForce(const TDatiAntenna& item, double pressure, double speed, bool& known);

// One record of the layout: record 0 is the mast foot (no item), records
// 1..n the items of the mast in list order.
struct TRecordPalo {
    int Y = 0;           // image y
    int MinSpacing = 0;  // the item's minimum spacing; the minimum foot position for record 0
    TDatiAntenna* Item = nullptr;
};

struct TTroncoLayout {
    bool Drawn = false;       // the section has its three measures and stands on a drawn one
    double Top = 0;           // image y of its top
    double Bottom = 0;        // image y of its lower end
    int Left = 0, Right = 0;  // image x of its rectangle
    int MinInsertion = 0;     // shortest overlap with the section below [cm]
    double Resistance = 0;    // elastic moment of the tube [N·m]
    double Load = 0;          // bending moment at its lowest exposed point [N·m]

    bool Fails() const { return Drawn && !(Resistance > Load); }
};

struct TValutazionePalo {
    std::vector<TRecordPalo> Records;
    int FootY = 0;  // image y of the foot handle
    std::array<TTroncoLayout, MastSections> Sections;
    int MinFootPosition = MastMinFoot;
    double RequiredHeight = 0;         // above the foot
    std::vector<AnsiString> Warnings;  // the lines of the warning memo

    // Foot y - top y of section n (1-based) + 1.
    double AvailableHeight(int n) const;
};

// Evaluates the mast as it stands.
TValutazionePalo EvaluateMast(const TPalo& palo);

// The automatic sizing: searches, among stacks of 1 to 6 of the candidate
// sections (foot first; a candidate may be used on several levels), the one
// with the fewest sections whose every section withstands the wind and that
// reaches the height the items need; among stacks of equal size the first in
// candidate order wins. On success the stack becomes the mast's sections
// (the foot raised to its minimum when needed) and the result is true; on
// failure the mast keeps one empty section. The telescopic flag is stored
// into the mast.
bool SizeMastSections(TPalo& palo, const std::vector<TTroncoPalo>& candidates, bool telescopic);
