// The head-end part of the input check: before anything is drawn it decides
// which output levels the head end and the substation amplifiers can deliver,
// which families of head-end modules may be used, and which LNB group feeds a
// multiswitch.
#include <algorithm>

#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/graphic_cells.h"
#include "cells/sources.h"
#include "core/channel_plans.h"
#include "core/channels.h"
#include "core/filter_modules.h"
#include "core/libraries.h"
#include "core/reporter.h"

namespace {

constexpr int32_t FinalLevelRow = 3;  // the deliverable output level of modules and finals
constexpr float LnbNoLow = 1000.0f;
// The level a custom head-end model delivers before the back-off.
constexpr float CustomModelLevel = 112.0f;

float Less(float level, float backOff) { return static_cast<float>(double(level) - backOff); }

// The first filter module of an active cell, none without modules.
const TModuloFiltro* FirstModule(const TCella& cell) {
    const auto* mix = dynamic_cast<const TCellaAutoMix*>(&cell);
    return mix && mix->Modules ? mix->Modules->head : nullptr;
}

// The families of one kind: active filters (terrestrial) or IF converters
// (satellite), one per brand and series, with their finals' levels.
struct TFamilyRules {
    int32_t Slot;  // band slot of the levels
    float BackOff;
    bool Satellite;  // the converter rules: one-output entries and kept only with a head-end level
    const char* NoNames;
};

bool IsFamilyCell(const TCella& cell, bool satellite) {
    const TModuloFiltro* module = FirstModule(cell);
    if (satellite)
        return cell.TypeCode == CodeConvertitore && module &&
               (module->flags & ModuleConversionMask) == ConvertBlockShift;
    // An active filter of the IF band (type 35 too, for the jumper layout of
    // the IF head end) forms no terrestrial family.
    if (cell.TypeCode == CodeFiltroAT) return module && module->slotHigh[ModuleInputSlot] < SatelliteIFStart;
    const TCanalizzazione* plan = module ? module->slotPlan[ModuleInputSlot] : nullptr;
    return cell.TypeCode == CodeFiltroCAG && plan && plan->terrestrial;
}

}  // namespace

bool TCreaAuto::CheckHeadEndFigures() {
    // Figures of the paths not taken stay without value, so that the line
    // amplifiers fold in only real levels.
    BackOffTer = BackOffSat = 0.0f;
    HeadEndLevelTer = HeadEndLevelSat = LineLevelTer = LineLevelSat = LevelNone;
    FamilyCount[0] = FamilyCount[1] = 0;
    if (Settings->Terrestrial && !CheckTerrestrialFigures()) return false;
    if (Settings->Satellite && !MultiswitchSat && !CheckSatelliteFigures()) return false;
    FoldLineAmplifiers();
    return ChooseLnbGroup();
}

namespace {

// Fills the families of one kind from the chosen components; false for a
// component without brand or series.
bool FillFamilies(TCella* components, const TFamilyRules& rules, bool mixedWithoutMixer,
                  std::array<TFamiglia, FamiliesMax>& families, int32_t& count) {
    count = 0;
    for (TCella* cell = components; cell && count < FamiliesMax; cell = cell->NextInList) {
        if (!IsFamilyCell(*cell, rules.Satellite)) continue;
        if (cell->Brand.empty() || cell->Series.empty()) return false;
        const bool known = std::any_of(
            families.begin(), families.begin() + count,
            [cell](const TFamiglia& f) { return f.Brand == cell->Brand && f.Series == cell->Series; });
        if (known) continue;
        TFamiglia& f = families[count];
        f = TFamiglia{};
        f.Brand = cell->Brand;
        f.Series = cell->Series;
        f.Variant = static_cast<int8_t>(cell->Variant);
        const TModuloFiltro* module = FirstModule(*cell);
        f.ModuleLevel = module && module->stage ? module->stage->Get2(FinalLevelRow, 0) : LevelNone;
        for (auto& row : f.H) std::fill(std::begin(row), std::end(row), LevelNone);
        for (auto& row : f.S) std::fill(std::begin(row), std::end(row), LevelNone);
        for (TCella* final = components; final; final = final->NextInList) {
            if (final->TypeCode != CodeAmplificatoreAt || final->Brand != f.Brand ||
                final->Series != f.Series)
                continue;
            const int32_t b = final->Inputs - 1, a = final->ThroughOutputs - 1;
            if (b < 0 || b >= FamilyShapes || a < 0 || a >= FamilyShapes) continue;
            const float v = final->Attenuation->Get3(0, FinalLevelRow, rules.Slot);
            if (final->Positions[0] & PositionHeadEnd) f.H[b][a] = std::max(f.H[b][a], v);
            if (final->Positions[0] & PositionSubstation) f.S[b][a] = std::max(f.S[b][a], v);
        }
        // The back-off lowers real levels only: a shape without a final stays without value.
        for (auto* table : {&f.H, &f.S})
            for (auto& row : *table)
                for (float& v : row)
                    if (IsRealLevel(v)) v = Less(v, rules.BackOff);
        if (rules.Satellite) {
            if (mixedWithoutMixer)
                for (int b = 0; b < FamilyShapes; ++b) f.H[b][0] = f.S[b][0] = LevelNone;
            for (int a = 0; a < FamilyShapes; ++a) f.H[1][a] = f.S[1][a] = 0.0f;
        }
        f.Hmax = f.Smax = 0.0f;
        for (const auto& row : f.H)
            for (float v : row) f.Hmax = std::max(f.Hmax, v);
        for (int b = 0; b < FamilyShapes; ++b) {
            // Terrestrial substations are fed by finals of 1 or 3 inputs only.
            if (!rules.Satellite && b != 0 && b != 2) continue;
            for (float v : f.S[b]) f.Smax = std::max(f.Smax, v);
        }
        if (!rules.Satellite || f.Hmax > 0.0f) ++count;
    }
    return true;
}

}  // namespace

bool TCreaAuto::CheckTerrestrialFigures() {
    const TOpzProgetto& o = *Settings;
    if (!CheckAntennaChannels()) return false;
    const bool antennaChannels = o.Wideband ? o.APUsaCanAntLB : o.APUsaCanAntMod;
    BackOffTer = BackOff(antennaChannels ? AntennaChannelCount : o.APNumCanaliTer);
    for (float& level : SubstationLevelTer) level = Less(level, BackOffTer);

    if (o.Wideband) {
        HeadEndLevelTer = LineLevelTer = 0.0f;
        int32_t offered = 0;
        for (TCella* cell = Components->head; cell; cell = cell->NextInList) {
            if (cell->TypeCode != CodeTerrestre ||
                !(cell->Positions[0] & (PositionHeadEnd | PositionMastLast)))
                continue;
            ++offered;
            if (!CanFitAntennas(cell)) continue;
            for (int32_t i = 0; i < cell->NumInputs; ++i)
                HeadEndLevelTer =
                    std::max(HeadEndLevelTer, cell->Attenuation->Get3(i, WideMaxOutput, BandSlotTer));
        }
        if (!(HeadEndLevelTer > 0.0f)) {
            Report(offered == 0 ? AnsiString("Nessun amplificatore a larga banda selezionabile.")
                                : AnsiString("Nessun amplificatore a larga banda selezionabile. Nessuno dei "
                                             "selezionati ha ingressi per le bande ricevute dalle antenne."));
            return false;
        }
        HeadEndLevelTer = Less(HeadEndLevelTer, BackOffTer);
        return true;
    }

    const TFamilyRules rules{
        BandSlotTer, BackOffTer, false,
        "Alcuni dei filtri attivi selezionati non hanno una serie o marca definita. Servono "
        "sia la marca che la serie per l'autoprogetto."};
    if (!FillFamilies(Components->head, rules, false, FamilyTer, FamilyCount[0])) {
        Report(rules.NoNames);
        return false;
    }
    if (FamilyCount[0] == 0) {
        Report("Non sono stati selezionati componenti attivi per la centrale terrestre.");
        return false;
    }
    HeadEndLevelTer = LineLevelTer = LevelNone;
    for (int32_t k = 0; k < FamilyCount[0]; ++k) {
        HeadEndLevelTer = std::max({HeadEndLevelTer, FamilyTer[k].Hmax, FamilyTer[k].ModuleLevel});
        LineLevelTer = std::max(LineLevelTer, FamilyTer[k].Smax);
    }
    return true;
}

bool TCreaAuto::CheckSatelliteFigures() {
    const TOpzProgetto& o = *Settings;
    BackOffSat = o.APNumCanaliSat < 0 ? 0.0f : BackOff(o.APNumCanaliSat);
    for (float& level : SubstationLevelSat) level = Less(level, BackOffSat);

    const TFamilyRules rules{
        BandSlotSat, BackOffSat, true,
        "Alcuni dei convertitori sat selezionati non hanno una serie o marca definita. Servono "
        "sia la marca che la serie per l'autoprogetto."};
    const bool mixedWithoutMixer = CarriesSat[0] && !MixerCell;
    if (!FillFamilies(Components->head, rules, mixedWithoutMixer, FamilySat, FamilyCount[1])) {
        Report(rules.NoNames);
        return false;
    }
    if (FamilyCount[1] == 0 && !CustomModelCell) {
        Report("Non sono stati selezionati componenti attivi per la centrale satellitare.");
        return false;
    }
    // Every satellite IF head end ends in a final amplifier of its family
    // (the converters and filters only feed it), so the finals' level is
    // what it gives: a converter's own output level would promise the risers
    // a head end the choice of the series then refuses.
    HeadEndLevelSat = LineLevelSat = LevelNone;
    for (int32_t k = 0; k < FamilyCount[1]; ++k) {
        HeadEndLevelSat = std::max(HeadEndLevelSat, FamilySat[k].Hmax);
        LineLevelSat = std::max(LineLevelSat, FamilySat[k].Smax);
    }
    if (CustomModelCell) HeadEndLevelSat = std::max(HeadEndLevelSat, Less(CustomModelLevel, BackOffSat));
    return true;
}

void TCreaAuto::FoldLineAmplifiers() {
    for (TCella* cell = Components->head; cell; cell = cell->NextInList) {
        if ((cell->TypeCode != CodeAmplificatore && cell->TypeCode != CodeAmplificatoreRegolato) ||
            cell->Inputs != 1 || !(cell->Positions[0] & PositionSubstation))
            continue;
        const uint32_t bands = cell->BandMask & BandMaskJoint;
        if (bands == BandMaskTer || bands == BandMaskJoint)
            LineLevelTer = std::max(LineLevelTer,
                                    Less(cell->Attenuation->Get3(0, AmpMaxOutput, BandSlotTer), BackOffTer));
        if (bands == BandMaskSat || bands == BandMaskJoint)
            LineLevelSat = std::max(LineLevelSat,
                                    Less(cell->Attenuation->Get3(0, AmpMaxOutput, BandSlotSat), BackOffSat));
    }
}

bool TCreaAuto::ChooseLnbGroup() {
    LnbLevelMax = 0.0f;
    LnbLevelMin = LnbNoLow;
    if (!MultiswitchSat) return true;
    const char* const noLnb = "Non sono stati selezionati LNB adeguati alla centrale satellitare.";
    const int32_t n = TerOnMultiswitch ? 2 * ((LineCount[1] - 1) / 2) : LineCount[1];
    TCella* taken = nullptr;
    for (TCella* cell = Components->head; cell; cell = cell->NextInList) {
        if (cell->TypeCode != CodeSat) continue;
        const int32_t outputs = cell->ThroughOutputs;
        if (!taken || (outputs <= n && outputs > taken->ThroughOutputs) ||
            (outputs >= n && outputs < taken->ThroughOutputs))
            taken = cell;
    }
    if (!taken) {
        Report(noLnb);
        return false;
    }
    const int32_t m = taken->ThroughOutputs;
    auto hasDish = [this](const TCella& lnb) {
        for (TCella* c = Components->head; c; c = c->NextInList)
            if (c->TypeCode == CodeParabola && c->Series == lnb.Series) return true;
        return false;
    };
    // When some LNB of the group has its dish among the chosen components,
    // the figures come from those LNBs only.
    bool dishMet = false;
    for (TCella* cell = Components->head; cell; cell = cell->NextInList) {
        if (cell->TypeCode != CodeSat || cell->ThroughOutputs != m) continue;
        const float v = cell->Attenuation->Get3(0, SatLevelColumn, BandSlotSat);
        if (hasDish(*cell)) {
            if (!dishMet) {
                dishMet = true;
                LnbLevelMax = LevelNone;
                LnbLevelMin = LnbNoLow;
            }
        } else if (dishMet) {
            continue;
        }
        LnbLevelMax = std::max(LnbLevelMax, v);
        LnbLevelMin = std::min(LnbLevelMin, v);
    }
    if (!(LnbLevelMax > 0.0f)) {
        Report(noLnb);
        return false;
    }
    return true;
}
