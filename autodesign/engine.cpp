// The design engine: its making, its reset between runs and the order of the
// stages of a run.
#include "autodesign/engine.h"

#include <algorithm>

#include "cells/cables.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/copy_buffer.h"
#include "document/grid.h"
#include "document/project.h"

TCreaAuto* CreaAuto = nullptr;

const char* const BuildingLimitsMessage =
    "L'edificio non rientra nei limiti dell'autoprogetto: da 1 a 4 scale, da 1 a 12 piani per scala, fino a "
    "6 "
    "appartamenti per piano, fino a 15 prese per tipo, disposizioni da 0 a 7 e distanze non negative.";

AnsiString DrawingFailedMessage(const AnsiString& step) {
    return "Errore di creazione disegno. Non riesco a progettare l'impianto: " + step + ".";
}

namespace {

std::unique_ptr<TNCavo> NewCable() { return std::make_unique<TNCavo>(nullptr, 1, 0, 0, 0, 0, 0); }

// The program's design settings are those of the engine CreaAuto while it is there.
std::unique_ptr<TOpzProgetto>* EngineSettings() { return CreaAuto ? &CreaAuto->Settings : nullptr; }

}  // namespace

TCreaAuto::TCreaAuto(TGestoreErrori* reporter, TDesignWindow* window)
    : Settings(std::make_unique<TOpzProgetto>()),
      Components(std::make_unique<TMemLib>()),
      Reporter(reporter),
      Window(window) {
    SetDesignSettingsOwner(&EngineSettings);
    for (auto& grid : WorkGrids)
        grid = std::make_unique<TGridData>(nullptr, WorkGridSize, WorkGridSize, GridWork);
    for (auto& cable : Cables) cable = NewCable();
    CableTemplate = NewCable();
    Reset();
}

TCreaAuto::~TCreaAuto() {
    Reset();
    if (CreaAuto == this) CreaAuto = nullptr;
}

void TCreaAuto::Reset() {
    for (auto& grid : StaircaseGrid) grid.reset();
    for (auto& staircase : FloorGrid)
        for (auto& floor : staircase)
            for (auto& grid : floor) grid.reset();
    for (auto& grid : ApartmentGrid) grid.reset();
    for (auto& staircase : ApartmentBlock)
        for (auto& floor : staircase)
            for (auto& grid : floor) grid.reset();
    for (auto& staircase : ApartmentCopy)
        for (auto& floor : staircase)
            for (auto& buffer : floor) buffer.reset();
    ResetStaircaseTables();
    for (auto& entry : Antennas) entry = TAntennaEntry{};
    AntennaCount = AntennaChannelCount = FirstUhfAntenna = 0;
    coverageModule_ = nullptr;
    MixedAntenna = 0;
    // Segments are never left pointing at a grid that went.
    CableTemplate->Owner = nullptr;

    EntryInputsTer = EntryInputsSat = 0;
    HighestFloorCount = TerminalLines = TerminalLinesTer = RiserCountTer = RiserCountSat =
        TallestFloorHeight = 0;
    SharedTer = SharedSat = LineAmpTop = 0;
    SplitWays = RadialInputs = RadialSwitchOutputs = 0;
    SplitGroups.fill(0);
    std::fill(std::begin(LineAmpStaircase), std::end(LineAmpStaircase), uint8_t(0));
    std::fill(std::begin(FamilyCount), std::end(FamilyCount), 0);
    std::fill(std::begin(ChosenFamily), std::end(ChosenFamily), -1);
    RequiredLevelTer = RequiredLevelSat = 0.0f;

    const bool coloured = Settings->APCaviColorati;
    for (auto& table : ColourTable)
        for (int i = 0; i < CableColourCount; ++i) table[i] = coloured ? Settings->APColore[i] : 0;
    // The terrestrial line first: the moves of the input check then give the
    // satellite lines their own colours whether or not terrestrial rides along.
    for (int i = 0; i < LineTableSize; ++i) {
        LineIsTerrestrial[i] = i == 0 ? 1 : 0;
        LineColour[i] = ColourTable[0][std::min(i, CableColourCount - 1)];
    }
    NetworkColour[0] = ColourTable[0][0];
    NetworkColour[1] = ColourTable[0][1];

    std::fill(std::begin(CarriesTer), std::end(CarriesTer), uint8_t{0});
    std::fill(std::begin(CarriesSat), std::end(CarriesSat), uint8_t{0});
    for (auto& type : OutletChoice) std::fill(std::begin(type), std::end(type), nullptr);
    ClearAvailability();
}

int32_t TCreaAuto::ProgressMaximum() const {
    if (!Settings->DesignNetwork) return 0;
    const TPalazzo& b = *Settings->Building;
    int32_t total = 0;
    const int32_t staircases = std::clamp(b.StaircaseCount, 0, MaxStaircases);
    total += staircases;
    for (int32_t s = 0; s < staircases; ++s) {
        const TScala& sc = b.Staircases[s];
        const int32_t floors = std::clamp(sc.FloorCount, 0, MaxFloors);
        total += floors;
        for (int32_t f = 0; f < floors; ++f)
            total += std::clamp(sc.Floors[f].ApartmentCount, 0, MaxApartments);
    }
    return total;
}

bool TCreaAuto::CheckBuildingLimits() {
    const TPalazzo& b = *Settings->Building;
    auto within = [](int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; };
    bool ok = within(b.StaircaseCount, 1, DesignStaircasesMax);
    for (int32_t s = 0; ok && s < b.StaircaseCount; ++s) {
        const TScala& sc = b.Staircases[s];
        ok = within(sc.FloorCount, 1, DesignFloorsMax) && sc.HeadEndDistance >= 0 &&
             sc.TopFloorDistance >= 0 && sc.FloorSpacing >= 0;
        for (int32_t f = 0; ok && f < sc.FloorCount; ++f) {
            const TPiano& floor = sc.Floors[f];
            ok = within(floor.ApartmentCount, 0, DesignApartmentsMax);
            for (int32_t a = 0; ok && a < floor.ApartmentCount; ++a) {
                const TAppartamento& apt = floor.Apartments[a];
                ok = within(apt.TerrOutlets, 0, DesignOutletsMax) &&
                     within(apt.SatOutlets, 0, DesignOutletsMax) &&
                     within(apt.TerrLayout, 0, DesignLayoutMax) &&
                     within(apt.SatLayout, 0, DesignLayoutMax) && apt.OutletSpacing >= 0 &&
                     apt.ApartmentDistance >= 0;
            }
        }
    }
    ok = ok && Settings->AntennaHeadEndDistance >= 0 && Settings->LnbHeadEndDistance >= 0;
    if (!ok) Report(BuildingLimitsMessage);
    return ok;
}

void TCreaAuto::Report(const AnsiString& text) {
    if (Reporter) Reporter->Report(text);
}

bool TCreaAuto::BuildNetwork() { return DesignNetwork(); }

void TCreaAuto::TakeRequiredLevels() {
    RequiredLevelTer = LevelNone;
    RequiredLevelSat = 0.0f;
    TCella* entry = Project && Project->NetworkGrid ? Project->NetworkGrid->Anchor : nullptr;
    if (!entry || !entry->InputLevels.Allocated()) return;
    const int32_t inputs = entry->InputLevels.Ports();
    const int32_t ter = std::clamp(EntryInputsTer, 0, inputs);
    // The first input always counts: a network of satellite risers only still
    // hands the head end its terrestrial need there.
    const int32_t terScanned = std::min(std::max(ter, 1), inputs);
    for (int32_t i = 0; i < terScanned; ++i)
        RequiredLevelTer = std::max(RequiredLevelTer, entry->InputLevels[i][BandSlotTer].Min);
    // Without separate satellite inputs the satellite signals share the terrestrial ones.
    const int32_t first = EntryInputsSat > 0 ? ter : 0;
    const int32_t last = EntryInputsSat > 0 ? std::min(inputs, ter + EntryInputsSat) : terScanned;
    for (int32_t i = first; i < last; ++i)
        RequiredLevelSat = std::max(RequiredLevelSat, entry->InputLevels[i][BandSlotSat].Min);
}

bool TCreaAuto::Run() {
    Reset();
    if (Reporter) Reporter->SetTarget(nullptr);
    auto reporterOff = [this] {
        if (Reporter) Reporter->enabled = false;
    };
    if (!Window) {
        reporterOff();
        return false;
    }

    Window->ShowProgress(ProgressMaximum());
    Window->ProcessMessages();

    if (!CheckBuildingLimits() || !CheckInputs()) {
        Window->HideProgress();
        reporterOff();
        return false;
    }

    Window->ResetProject(true);
    Project = Window->CurrentProject();
    bool ok = Project != nullptr;
    if (ok && Settings->DesignNetwork) {
        ok = BuildNetwork();
        if (ok && Project->NetworkGrid) {
            Project->NetworkGrid->RunRequiredLevelPass();
            TakeRequiredLevels();
        }
    } else {
        RequiredLevelTer = Settings->APSigReqCtTer;
        RequiredLevelSat = Settings->APSigReqCtSat;
    }
    if (ok && Settings->DesignHeadEnd) ok = BuildHeadEnd();
    if (ok) ok = NetworkActivesWithinRating();
    if (ok) ok = OutletSpreadWithinLimit();
    if (ok) ok = CheckDesign();

    if (!ok) {
        // The half-built design is thrown away.
        Window->ResetProject(true);
        Project = Window->CurrentProject();
        Window->ShowProject(Project);
    } else {
        Window->ShowProject(Project);
        Window->AfterLoad();
    }
    Window->HideProgress();
    if (Project) Project->DesignPending = false;
    reporterOff();
    return ok;
}
