#pragma once
// The evaluations of the lightning risk that the pages show and the reports
// print: the tables and the evaluation of direct flashes of "Fulmini 81.1",
// the reading of its size edits, and the tolerable risk of "Fulmini 81.10-2".
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "document/mast.h"
#include "platform/sysutils.h"

// ---- The evaluation of "Fulmini 81.1" ----
//
// The method: the collection area Ae of the structure is that of a
// parallelepiped widened by three times its height all round (or the area
// the user entered for a complex structure); the yearly number of direct
// flashes is Nd = Ng · Ae · C · 1e-6, with Ng the flash density of the place
// and C the factor of the surroundings. The structure protects itself when Nd
// does not exceed the tolerable frequency of its kind of building, which
// depends on the building's class (A to D) and on its fire risk; for several
// kinds the strictest one holds.

constexpr int FlashDensityChoices = 3;
constexpr int EnvironmentChoices = 4;
constexpr int BuildingClasses = 4;  // A, B, C, D
constexpr int FireRiskChoices = 3;  // "Ridotto", "Ordinario", "Elevato"

// The figures the evaluation reads; program start resets them.
struct TTabelleFulmini811 {
    std::array<float, FlashDensityChoices> FlashDensities{};  // flashes per km² and year
    std::array<float, EnvironmentChoices> EnvironmentFactors{};
    // Tolerable flashes per year, by building class and fire risk.
    std::array<std::array<float, FireRiskChoices>, BuildingClasses> TolerableFrequencies{};
    std::array<int32_t, StructureTypes> StructureClasses{};  // 0 A ... 3 D
    std::array<AnsiString, StructureTypes> BuildingTypes;
    // Municipalities with their flash-density text ("1,5", "2,5", "4"); no
    // checked table is supplied, so it stays empty.
    std::vector<std::pair<AnsiString, AnsiString>> Municipalities;

    void Reset();
};
TTabelleFulmini811& TabelleFulmini811();

// The list text of a structure type: its class ("B: ") and its name.
AnsiString StructureTypeCaption(int index);

struct TEsitoFulmini811 {
    bool Insufficient = true;               // a type, the density, a size or an area is missing
    int32_t AreaWithout = 0, AreaWith = 0;  // Ae [mq]
    double FrequencyWithout = 0, FrequencyWith = 0, TolerableFrequency = 0;
    bool SelfProtectedWithout = false, SelfProtectedWith = false;
};
TEsitoFulmini811 EvaluateLightning811(const TPalo& mast);

// The number of a lightning size or area edit: its integer part, towards
// zero; -500001 for an empty text, a text that is not a number and a number
// outside -100000..100000.
int32_t LightningSizeOf(const AnsiString& text);

// The tolerable risk of loss of human life.
constexpr double TolerableRiskR1 = 1e-5;
