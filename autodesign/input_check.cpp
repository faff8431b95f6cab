// The input check of a design run: from the settings, the building and the
// chosen components it derives the variant flags and line tables every later
// stage branches on, files the components, chooses the outlets and the six
// cables, and works out the level figures; it stops the run at the first
// problem with one message, before the project is touched.
#include <algorithm>
#include <cmath>

#include "autodesign/engine.h"
#include "cells/cables.h"
#include "cells/outlets.h"
#include "core/libraries.h"
#include "core/reporter.h"

namespace {

// Connector choices of the settings: 0 "(Automatico)", 1-6 one or two
// connectors, 7 all three.
constexpr int32_t ConnectorsThree = 7;
constexpr int8_t ConnectorKindNone = -1;
// An outlet receiving power at its socket.
constexpr uint32_t SupplyAtSocket = PowerTaps;
// The satellite layout from which every outlet of an apartment has its own
// switch output ("Prese singole").
constexpr int32_t LayoutSingleOutlets = 7;

// One cable check: when it runs, which cable texts it takes, the cable object
// it loads and the bands the cable must carry, and its two messages.
struct TCableCheck {
    int Pair;   // the cable texts 2 * Pair (library) and 2 * Pair + 1 (code)
    int Cable;  // the engine's cable object
    uint32_t Mask;
    const char* NoneChosen;
    const char* NotAdequate;
};

// clang-format off
constexpr TCableCheck CableChecks[] = {
    {CableRiserSat, CableRiserTer, BandMaskJoint, "Non è stato selezionato alcun cavo montante.",
     "Non è stato selezionato un cavo adeguato per il montante. Il cavo deve gestire segnali terrestri e "
     "satellitari."},
    {CableRiserTer, CableRiserTer, BandMaskTer, "Non è stato selezionato alcun cavo montante terrestre.",
     "Non è stato selezionato un cavo adeguato per il montante terrestre. Il cavo deve gestire segnali terrestri."},
    {CableRiserSat, CableRiserSat, BandMaskSat, "Non è stato selezionato alcun cavo montante satellitare.",
     "Non è stato selezionato un cavo adeguato per il montante satellitare. Il cavo deve gestire segnali "
     "satellitari."},
    {CableStaircaseSat, CableStaircaseTer, BandMaskJoint,
     "Non è stato selezionato alcun cavo da scala ad appartamento.",
     "Non è stato selezionato un cavo adeguato per il cavo da scala ad appartamento. Il cavo deve gestire segnali "
     "terrestri e satellitari."},
    {CableStaircaseTer, CableStaircaseTer, BandMaskTer,
     "Non è stato selezionato alcun cavo terrestre da scala ad appartamento.",
     "Non è stato selezionato un cavo adeguato per il cavo terrestre da scala ad appartamento. Il cavo deve gestire "
     "segnali terrestri."},
    {CableStaircaseSat, CableStaircaseSat, BandMaskSat,
     "Non è stato selezionato alcun cavo satellitare da scala ad appartamento.",
     "Non è stato selezionato un cavo adeguato per il cavo satellitare da scala ad appartamento. Il cavo deve "
     "gestire segnali satellitari."},
    {CableApartmentSat, CableApartmentTer, BandMaskJoint,
     "Non è stato selezionato alcun cavo interno agli appartamenti.",
     "Non è stato selezionato un cavo adeguato per il cavo interno agli appartamenti. Il cavo deve gestire segnali "
     "terrestri e satellitari."},
    {CableApartmentTer, CableApartmentTer, BandMaskTer,
     "Non è stato selezionato alcun cavo terrestre interno agli appartamenti.",
     "Non è stato selezionato un cavo adeguato per il cavo terrestre interno agli appartamenti. Il cavo deve "
     "gestire segnali terrestri."},
    {CableApartmentSat, CableApartmentSat, BandMaskSat,
     "Non è stato selezionato alcun cavo satellitare interno agli appartamenti.",
     "Non è stato selezionato un cavo adeguato per il cavo satellitare interno agli appartamenti. Il cavo deve "
     "gestire segnali satellitari."},
};
// clang-format on
constexpr int CableCheckCount = static_cast<int>(std::size(CableChecks));

// The outlet shape of a connector choice: outputs and connector kind.
void ShapeOfChoice(int32_t choice, int8_t& outputs, int8_t& kind) {
    outputs = static_cast<int8_t>(std::clamp((choice - 1) / 3 + 1, 0, 127));
    kind = choice < ConnectorsThree ? static_cast<int8_t>((choice - 1) % 3) : ConnectorKindNone;
}

int OutletTypeOf(int32_t typeCode) {
    switch (typeCode) {
    case CodeEndOutlet: return OutletDirect;
    case CodePassThroughOutlet: return OutletThrough;
    case CodeTerminatedOutlet: return OutletTerminal;
    default: return -1;
    }
}

}  // namespace

float TCreaAuto::BackOff(int32_t n) {
    return n > 2 ? static_cast<float>(7.5 * std::log10(static_cast<double>(n) - 1.0)) : 0.0f;
}

void TCreaAuto::SetVariantFlags() {
    const TOpzProgetto& o = *Settings;
    const bool ter = o.Terrestrial, sat = o.Satellite, separate = o.SeparateDistributions;
    MultiswitchSat = sat && o.SatelliteCables != 1;
    MultiswitchRadial = MultiswitchSat && o.Radial;
    MultiswitchStaircase = MultiswitchSat && o.MultiswitchAlongStaircase;
    MultiswitchApartment = MultiswitchSat && !o.Radial && !o.MultiswitchAlongStaircase;
    TapNetwork[0] = ter && (separate || !MultiswitchSat);
    TapNetwork[1] = sat && !MultiswitchSat && (separate || !ter);
    CarriesTer[0] = TapNetwork[0];
    CarriesSat[0] = TapNetwork[0] && sat && !separate;
    CarriesTer[1] = 0;
    CarriesSat[1] = TapNetwork[1];
    TerOnMultiswitch = 0;
    LineCount[0] = TapNetwork[0] ? 1 : 0;
    LineCount[1] = TapNetwork[1] ? 1 : 0;
    std::fill(std::begin(RadialOutputs), std::end(RadialOutputs), 0);
    RadialOutputsTotal = LineAmpInputs = LineAmpRest = 0;
}

void TCreaAuto::SetLineTables() {
    const TOpzProgetto& o = *Settings;
    if (!MultiswitchSat) {
        if (CarriesTer[0]) LineColour[0] = LineColour[1];
        return;
    }
    TerOnMultiswitch = o.Terrestrial && !o.SeparateDistributions;
    CarriesTer[1] = TerOnMultiswitch;
    CarriesSat[1] = 1;
    LineCount[1] = TerOnMultiswitch + o.SatelliteCables;

    if (MultiswitchRadial) {
        const TPalazzo& b = *o.Building;
        for (int32_t s = 0; s < std::min(b.StaircaseCount, DesignStaircasesMax); ++s) {
            const TScala& sc = b.Staircases[s];
            for (int32_t f = 0; f < std::min(sc.FloorCount, DesignFloorsMax); ++f)
                for (int32_t a = 0; a < std::min(sc.Floors[f].ApartmentCount, DesignApartmentsMax); ++a) {
                    const TAppartamento& apt = sc.Floors[f].Apartments[a];
                    RadialOutputs[s] += apt.SatLayout < LayoutSingleOutlets ? 1 : apt.SatOutlets;
                }
            RadialOutputsTotal += RadialOutputs[s];
        }
    }

    if (!TerOnMultiswitch) {
        // The satellite lines take the colours from the first entry on.
        for (int i = 0; i + 1 < LineTableSize - 1; ++i) {
            LineColour[i] = LineColour[i + 1];
            LineIsTerrestrial[i] = LineIsTerrestrial[i + 1];
        }
    } else {
        const int32_t n = LineCount[1];
        // Switches of one more input take the riser when none has exactly n.
        if (n + 1 < AvailInputs && !SwitchAvail[n][0] && SwitchAvail[n + 1][0]) {
            LineCount[1] = n + 1;
            for (int i = LineTableSize - 1; i >= 1; --i) {
                LineColour[i] = LineColour[i - 1];
                LineIsTerrestrial[i] = LineIsTerrestrial[i - 1];
            }
        }
    }

    const int32_t n = LineCount[1];
    auto substation = [this](int32_t i) { return i >= 0 && i < AvailInputs && SubstationLevelSat[i] > 0.0f; };
    if (substation(n)) {
        LineAmpInputs = n;
    } else if (n % 2 == 1 && substation(n + 1)) {
        LineAmpInputs = n + 1;
    } else {
        LineAmpInputs = n;
        if (substation(4) && n >= 4) LineAmpInputs = 4;
        if (substation(8) && n >= 8) LineAmpInputs = 8;
    }
    LineAmpRest = LineAmpInputs > 0 ? n - (n / LineAmpInputs) * LineAmpInputs : n;
}

void TCreaAuto::SetOutletShapes() {
    const TOpzProgetto& o = *Settings;
    const int32_t terChoice = CarriesSat[0] ? o.SatConnector : o.TerrConnector;
    if (terChoice <= 0) {
        OutletShape[0] = CarriesSat[0] ? 2 : 1;
        OutletShape[2] = 0;
    } else {
        ShapeOfChoice(terChoice, OutletShape[0], OutletShape[2]);
    }
    if (o.SatConnector <= 0) {
        OutletShape[1] = TerOnMultiswitch ? 2 : 1;
        OutletShape[3] = TerOnMultiswitch ? 0 : 1;
    } else {
        ShapeOfChoice(o.SatConnector, OutletShape[1], OutletShape[3]);
    }
    // The satellite role passing DC is a satellite role.
    CarriesTer[RoleSatDc] = CarriesTer[RoleSat];
    CarriesSat[RoleSatDc] = CarriesSat[RoleSat];
}

void TCreaAuto::ChooseOutlets() {
    for (auto& type : OutletChoice) std::fill(std::begin(type), std::end(type), nullptr);
    for (TCella* cell = Components->head; cell; cell = cell->NextInList) {
        const int type = cell->Kind == KindOutlet ? OutletTypeOf(cell->TypeCode) : -1;
        if (type < 0) continue;
        const bool ter = cell->HasBands(BandMaskTer), sat = cell->HasBands(BandMaskSat);
        const bool powered = (cell->Power[PowerSupply][PowerFlags] & SupplyAtSocket) != 0;
        const auto kind = static_cast<int8_t>(cell->Choice3);
        // A later match replaces an earlier one.
        if (cell->TapOutputs == OutletShape[0] && kind == OutletShape[2] && ter &&
            (sat || (!CarriesSat[0] && !powered)))
            OutletChoice[type][RoleTer] = cell;
        if (cell->TapOutputs == OutletShape[1] && kind == OutletShape[3] && sat && (ter || !TerOnMultiswitch))
            OutletChoice[type][powered ? RoleSatDc : RoleSat] = cell;
    }
}

bool TCreaAuto::CableCheckRuns(int k) const {
    const bool ter = CarriesTer[0] || CarriesTer[1];
    const bool terToApartment = CarriesTer[0] || (CarriesTer[1] && MultiswitchApartment);
    const bool joint = CarriesSat[0];
    switch (k) {
    case 0: return ter && joint;
    case 1: return ter && !joint;
    case 2: return CarriesSat[0] || CarriesSat[1];
    case 3: return terToApartment && joint;
    case 4: return terToApartment && !joint;
    case 5: return CarriesSat[1];
    case 6: return CarriesTer[0] && joint;
    case 7: return CarriesTer[0] && !joint;
    case 8: return CarriesSat[1];
    default: return false;
    }
}

bool TCreaAuto::CheckCables() {
    for (int k = 0; k < CableCheckCount; ++k) {
        if (!CableCheckRuns(k)) continue;
        const TCableCheck& check = CableChecks[k];
        const AnsiString& library = Settings->CableTexts[2 * check.Pair];
        const AnsiString& code = Settings->CableTexts[2 * check.Pair + 1];
        if (library.empty() || code.empty()) {
            Report(check.NoneChosen);
            return false;
        }
        TNCavo& cable = *Cables[check.Cable];
        if (!LoadCableFromLibrary(library, code, &cable)) {
            Report("Non esiste un cavo con codice " + code + " nella libreria " + library +
                   ". Verificare i codici dei cavi selezionati.");
            return false;
        }
        cable.ComputeBandMask();
        if (!cable.HasBands(check.Mask)) {
            Report(check.NotAdequate);
            return false;
        }
    }
    return true;
}

void TCreaAuto::SetDefaultFigures() {
    const TOpzProgetto& o = *Settings;
    BackOffTer = BackOff(o.APNumCanaliTer);
    BackOffSat = BackOff(o.APNumCanaliSat);
    HeadEndLevelTer = LineLevelTer = static_cast<float>(double(o.APMaxSigTer) - BackOffTer);
    HeadEndLevelSat = LineLevelSat = static_cast<float>(double(o.APMaxSigSat) - BackOffSat);
    LnbLevelMax = LnbLevelMin = o.APMaxSigSwc;
    for (int i = 0; i < AvailInputs; ++i) {
        SubstationLevelTer[i] = static_cast<float>(double(SubstationLevelTer[i]) - BackOffTer);
        SubstationLevelSat[i] = static_cast<float>(double(SubstationLevelSat[i]) - BackOffSat);
    }
}

bool TCreaAuto::CheckInputs() {
    SetVariantFlags();
    ClassifyComponents();
    SetLineTables();
    SetOutletShapes();
    ChooseOutlets();
    if (!CheckCables()) return false;
    BackOffTerNF = BackOff(Settings->APNumCanaliTerNF);
    if (!Settings->DesignHeadEnd) {
        SetDefaultFigures();
        return true;
    }
    return CheckHeadEndFigures();
}
