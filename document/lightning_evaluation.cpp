#include "document/lightning_evaluation.h"

#include <algorithm>
#include <cmath>

#include "document/lightning.h"

namespace {

constexpr int32_t None = static_cast<int32_t>(LevelNone);
constexpr double LargestSize = 100000.0;  // metres or square metres a page accepts
const char* const ClassTexts[BuildingClasses] = {"A: ", "B: ", "C: ", "D: "};

}  // namespace

void TTabelleFulmini811::Reset() {
    FlashDensities = {1.5f, 2.5f, 4.0f};
    EnvironmentFactors = {0.25f, 0.5f, 1.0f, 2.0f};
    TolerableFrequencies = {
        {{0.05f, 0.005f, 0.0005f}, {0.5f, 0.05f, 0.005f}, {1.0f, 0.1f, 0.01f}, {5.0f, 0.5f, 0.05f}}};
    StructureClasses = {1, 0, 2, 2, 1, 2, 0, 1, 2, 1, 3, 0, 3, 0, 0, 1, 2, 2};
    BuildingTypes = {
        "Albergo piccolo (<=100 posti letto)",
        "Albergo grande (>100 posti letto)",
        "Chiesa",
        "Edificio agricolo",
        "Edificio uso civile",
        "Immobile per piccole attività commerciali (<= 1500 mq)",
        "Immobile per grandi attività commerciali (>1500 mq)",
        "Immobile per piccole attività produttive (<=25 addetti)",
        "Immobile per grandi attività produttive (>25 addetti)",
        "Immobile uso ufficio",
        "Locale spettacoli pubblici piccolo (<= 250 posti)",
        "Locale spettacoli pubblici grande (>250 posti)",
        "Museo piccolo (<=1500 mq)",
        "Museo grande (>1500 mq)",
        "Ospedale",
        "Prigione",
        "Scuola",
        "Struttura metallica all'aperto",
    };
    Municipalities.clear();
}

TTabelleFulmini811& TabelleFulmini811() {
    static TTabelleFulmini811 tables = [] {
        TTabelleFulmini811 t;
        t.Reset();
        return t;
    }();
    return tables;
}

AnsiString StructureTypeCaption(int index) {
    const TTabelleFulmini811& t = TabelleFulmini811();
    if (index < 0 || index >= StructureTypes) return "";
    const int32_t c = t.StructureClasses[index];
    return AnsiString(c >= 0 && c < BuildingClasses ? ClassTexts[c] : "") + t.BuildingTypes[index];
}

int32_t LightningSizeOf(const AnsiString& text) {
    double value = 0.0;
    if (Trim(text).empty() || !TryStrToFloat(text, value) || !(std::fabs(value) <= LargestSize)) return None;
    return static_cast<int32_t>(std::trunc(value));
}

TEsitoFulmini811 EvaluateLightning811(const TPalo& mast) {
    const TTabelleFulmini811& t = TabelleFulmini811();
    TEsitoFulmini811 result;
    auto inTable = [](int32_t index, int size) { return index >= 0 && index < size; };
    if (!inTable(mast.FlashDensity, FlashDensityChoices) || !inTable(mast.FireRisk, FireRiskChoices) ||
        !inTable(mast.EnvironmentFactor, EnvironmentChoices) ||
        !inTable(mast.EnvironmentFactorWithAntennas, EnvironmentChoices))
        return result;

    // The strictest tolerable frequency of the kinds the structure houses.
    bool anyType = false;
    double tolerable = 0.0;
    for (int i = 0; i < StructureTypes; ++i) {
        if (!mast.StructureSelected[i]) continue;
        const int32_t c = t.StructureClasses[i];
        if (!inTable(c, BuildingClasses)) return result;
        const double f = t.TolerableFrequencies[c][mast.FireRisk];
        tolerable = anyType ? std::min(tolerable, f) : f;
        anyType = true;
    }
    if (!anyType) return result;

    if (mast.Parallelepiped) {
        result.AreaWithout = CollectionArea(mast.Length, mast.Width, mast.HeightWithout);
        result.AreaWith = CollectionArea(mast.Length, mast.Width, mast.HeightWith);
    } else {
        result.AreaWithout = mast.CollectionAreaWithout;
        result.AreaWith = mast.CollectionAreaWith;
    }
    // A missing or negative area (typed, or from negative sizes) leaves nothing to judge.
    if (result.AreaWithout == None || result.AreaWith == None || result.AreaWithout < 0 ||
        result.AreaWith < 0)
        return result;

    const double ng = t.FlashDensities[mast.FlashDensity];
    result.FrequencyWithout = ng * result.AreaWithout * t.EnvironmentFactors[mast.EnvironmentFactor] * 1e-6;
    result.FrequencyWith =
        ng * result.AreaWith * t.EnvironmentFactors[mast.EnvironmentFactorWithAntennas] * 1e-6;
    result.TolerableFrequency = tolerable;
    result.SelfProtectedWithout = result.FrequencyWithout <= tolerable;
    result.SelfProtectedWith = result.FrequencyWith <= tolerable;
    result.Insufficient = false;
    return result;
}
