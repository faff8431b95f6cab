// The satellite IF head end of a single-cable satellite network: the LNB with
// its dish and the transponders each of its outputs delivers (a fixed table),
// and the head end itself in one of three layouts: a compact unit, a jumper
// layout of amplifier, IF filter, converters and supply, or a modular chain
// of band filters, converters and a final amplifier.
#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "autodesign/drawing_names.h"
#include "autodesign/engine.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/graphic_cells.h"
#include "cells/sources.h"
#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/grid.h"

namespace {

// One transponder of the table: the LNB output kind that carries it (4: the
// second LNB's output 1), its number, its description (the channel's label),
// its polarisation letter and IF edges.
struct TTransponder {
    int32_t Kind;
    int32_t Number;
    const char* Description;
    char Letter;
    float Low, High;
};

constexpr int32_t SecondLnbKind = 4;
// clang-format off
constexpr TTransponder Transponders[] = {
    {0, 52, "Tr 52 Rai", 'v', 1148, 1184},
    {0, 54, "Tr 54 Rai", 'v', 1186, 1222},
    {0, 56, "Tr 56 Sky", 'v', 1225, 1261},
    {0, 58, "Tr 58 Sky", 'v', 1263, 1299},
    {0, 60, "Tr 60 Mediaset", 'v', 1301, 1337},
    {0, 62, "Tr 62 Sky", 'v', 1340, 1376},
    {0, 64, "Tr 64 Sky", 'v', 1378, 1414},
    {0, 66, "Tr 66 Sky", 'v', 1416, 1452},
    {0, 68, "Tr 68 Sky", 'v', 1455, 1491},
    {0, 70, "Tr 70 Telespazio", 'v', 1493, 1511},
    {0, 82, "Tr 82 Sky", 'v', 1723, 1759},
    {0, 84, "Tr 84 Globecast", 'v', 1762, 1798},
    {0, 86, "Tr 86 Sky", 'v', 1800, 1836},
    {0, 90, "Tr 90 OiV", 'v', 1902, 1938},
    {0, 92, "Tr 92 Skygate", 'v', 1940, 1976},
    {0, 94, "Tr 94 Globecast", 'v', 1979, 2015},
    {0, 96, "Tr 96 Sky", 'v', 2017, 2053},
    {0, 98, "Tr 98 SNRT", 'v', 2055, 2091},
    {0, 100, "Tr 100 Sky", 'v', 2095, 2131},
    {1, 57, "Tr 57 Sky", 'o', 1244, 1280},
    {1, 59, "Tr 59 Sky", 'o', 1282, 1318},
    {1, 63, "Tr 63 Sky", 'o', 1359, 1395},
    {1, 67, "Tr 67 Sky", 'o', 1436, 1472},
    {1, 95, "Tr 95 Sky", 'o', 1997, 2033},
    {1, 101, "Tr 101 Sky", 'o', 2113, 2149},
    {2, 8, "Tr 8 Sky", 'v', 1587, 1623},
    {3, 1, "Tr 1 Sky", 'o', 1451, 1487},
    {SecondLnbKind, 0, "Net System", 'v', 2106, 2136},
};
// clang-format on

// The converters of the jumper layout, in their column order, and of the
// modular chain.
constexpr int32_t PackageConverters[] = {57, 59, 63, 67, 95, 101, 8, 1};
constexpr int32_t NetSystemTransponder = 0;

// The package converters of the jumper layout: all of them with the package, else none.
int32_t PackageConverterCount(bool package) {
    return package ? static_cast<int32_t>(std::size(PackageConverters)) : 0;
}

const TTransponder* Transponder(int32_t number) {
    for (const TTransponder& t : Transponders)
        if (t.Number == number) return &t;
    return nullptr;
}

constexpr int32_t PackageDp = 0;         // "CDp"
constexpr int32_t PackageNetSystem = 4;  // "CNetSystem"
constexpr int32_t LnbOutputs = 4;
constexpr float NoLnbLevel = 77.0f, NoLnbCarrierNoise = 16.0f;
constexpr float CompactUnitLevel = 112.0f;
constexpr float IfLow = 950.0f, IfHigh = 2150.0f;
constexpr float IfFilterLow = 1148.0f, IfFilterHigh = 2131.0f;
constexpr double IfGuard = 2.0;  // MHz kept free between a converter's output and its IF neighbours
constexpr int32_t ModuleStep = 3;
constexpr int32_t ChainModules = 17;
// The jumper layout's first converter stands this many columns right of the head end's column.
constexpr int32_t JumperConvertersColumn = 6;
constexpr const char* NoAmplifier = "Non sono stati selezionati amplificatori adeguati alla centrale IF.";

float Draw(const TCella& cell) { return std::max(cell.Current1, 0.0f); }

const TModuloFiltro* FirstModule(const TCella& cell) {
    const auto* mix = dynamic_cast<const TCellaAutoMix*>(&cell);
    return mix && mix->Modules ? mix->Modules->head : nullptr;
}

// Fills output o of an LNB with the transponders of a kind; the output then
// carries its own list instead of the whole band.
void FillOutput(TSat& lnb, int32_t o, int32_t kind, float level, float carrierNoise) {
    lnb.UseSatBands[o] = 0;
    for (const TTransponder& t : Transponders)
        if (t.Kind == kind)
            TCreaAuto::AddTransponderChannel(*lnb.OutputChannels[o], t.Low, t.High, t.Description, t.Letter,
                                             level, carrierNoise);
}

void EmptyOutputs(TSat& lnb) {
    for (int32_t o = 0; o < std::min(lnb.NumThroughOutputs, SatMaxOutputs); ++o) {
        if (!lnb.OutputChannels[o]) lnb.OutputChannels[o] = std::make_unique<TListaCanali>();
        lnb.OutputChannels[o]->Clear();
        lnb.UseSatBands[o] = 1;
    }
}

}  // namespace

void TCreaAuto::AddTransponderChannel(TListaCanali& list, float low, float high, const AnsiString& label,
                                      char letter, float level, float carrierNoise) {
    TCanale c;
    c.name = FormatFloat("#0.##", low) + "-" + FormatFloat("#0.##", high);
    c.label = label;
    c.polarization = letter;
    c.signalType = SignalDigital;
    c.modulation = ModulationQPSK;
    c.freqLow = low;
    c.freqHigh = high;
    c.band = SistemaBandeCorrente ? SistemaBandeCorrente->BandOf(c.CentreFrequency()) : -1;
    c.levelMin = c.levelMax = level;
    c.floorMin = c.floorMax = c.sourceCNMin = c.sourceCNMax = carrierNoise;
    list.Insert(c);
}

bool TCreaAuto::TuneConverter(TCella& converter, const TGridData& grid, float low, float high) {
    auto* mix = dynamic_cast<TCellaAutoMix*>(&converter);
    TModuloFiltro* m = mix && mix->Modules ? mix->Modules->head : nullptr;
    if (!m) return false;
    const int32_t mode = static_cast<int32_t>(m->flags & ModuleConversionMask);
    if (mode != ConvertChannelToChannel && mode != ConvertBlockShift) return true;

    // What the IF line already carries: the transponders an LNB may deliver
    // and the outputs of the converters drawn so far.
    std::vector<std::pair<double, double>> taken;
    for (const TTransponder& t : Transponders) taken.emplace_back(t.Low, t.High);
    std::vector<const TCella*> seen;
    const TCellRect used = grid.GetUsedArea();
    for (int32_t col = std::max(used.Left, 0); col <= used.Right; ++col)
        for (int32_t row = std::max(used.Top, 0); row <= used.Bottom; ++row) {
            const TCella* c = grid.CellAt(col, row);
            if (!c || c->TypeCode != CodeConvertitore || std::find(seen.begin(), seen.end(), c) != seen.end())
                continue;
            seen.push_back(c);
            if (const TModuloFiltro* o = FirstModule(*c))
                taken.emplace_back(o->slotLow[ModuleOutputSlot], o->slotHigh[ModuleOutputSlot]);
        }
    std::sort(taken.begin(), taken.end());

    // An output range without edges is taken as wide as the input's; the
    // output starts as low as the guard from everything taken allows.
    double from = m->slotLow[ModuleOutputSlot], to = m->slotHigh[ModuleOutputSlot];
    if (from < 0.0 || to < from) from = m->slotLow[ModuleInputSlot], to = m->slotHigh[ModuleInputSlot];
    const double width = double(high) - low;
    double start = from;
    for (bool moved = true; moved;) {
        moved = false;
        for (const auto& [takenLow, takenHigh] : taken)
            if (start < takenHigh + IfGuard && start + width > takenLow - IfGuard) {
                start = takenHigh + IfGuard;
                moved = true;
            }
    }
    if (start + width > to) return false;
    m->slotLow[ModuleInputSlot] = low;
    m->slotHigh[ModuleInputSlot] = high;
    m->slotLow[ModuleOutputSlot] = static_cast<float>(start);
    m->slotHigh[ModuleOutputSlot] = static_cast<float>(start + width);
    // A tuned slot is no channel of a plan: the output is named by its edges.
    m->slotPlan[ModuleOutputSlot] = nullptr;
    m->slotName[ModuleOutputSlot] = AnsiString();
    return true;
}

bool TCreaAuto::PlaceIfChannelsInOrder(int32_t column, int32_t row, TGridData* grid) {
    return PlaceIfChannels(column, row, grid, 0, 1, 2, 3);
}

bool TCreaAuto::PlaceIfChannels(int32_t column, int32_t row, TGridData* grid, int32_t kind0, int32_t kind1,
                                int32_t kind2, int32_t kind3) {
    TCella* lnb = nullptr;
    TCella* dish = nullptr;
    for (TCella* c = Components->head; c && !dish; c = c->NextInList) {
        if (c->TypeCode != CodeSat || c->ThroughOutputs != LnbOutputs) continue;
        lnb = c;
        for (TCella* d = Components->head; d && !dish; d = d->NextInList)
            if (d->TypeCode == CodeParabola && d->Series == c->Series) dish = d;
    }
    if (!lnb) {
        Reporter->Report("Non sono stati selezionati LNB adeguati alla centrale IF.");
        return false;
    }
    for (TCella* d = Components->head; d && !dish; d = d->NextInList)
        if (d->TypeCode == CodeParabola) dish = d;

    auto placeLnb = [&](int32_t x) -> TSat* {
        auto* placed = dynamic_cast<TSat*>(PlaceClone(lnb, x, row, 0, grid));
        if (!placed) return nullptr;
        for (int32_t i = 0; i < placed->NumThroughOutputs; ++i)
            if (!PlaceTermination(x + i, row + 1, 0, grid)) return nullptr;
        EmptyOutputs(*placed);
        return placed;
    };
    TSat* first = placeLnb(column);
    if (!first) return false;
    float level = first->Attenuation->Get3(0, SatLevelColumn, BandSlotSat);
    float carrierNoise = first->Attenuation->Get3(0, SatCarrierNoiseColumn, BandSlotSat);
    if (level < 0.0f) level = NoLnbLevel;
    if (carrierNoise < 0.0f) carrierNoise = NoLnbCarrierNoise;
    const int32_t kinds[LnbOutputs] = {kind0, kind1, kind2, kind3};
    for (int32_t o = 0; o < std::min(first->NumThroughOutputs, LnbOutputs); ++o) {
        const int32_t kind = kinds[o];
        if (kind == 0 || (kind >= 1 && kind <= 3 && Settings->Packages[PackageDp]))
            FillOutput(*first, o, kind, level, carrierNoise);
    }
    int32_t x = column + first->NumThroughOutputs;
    if (Settings->Packages[PackageNetSystem]) {
        TSat* second = placeLnb(x);
        if (!second) return false;
        FillOutput(*second, 1, SecondLnbKind, level, carrierNoise);
        x += second->NumThroughOutputs;
    }
    TCella* placedDish = dish ? PlaceClone(dish, x + 1, row - 1, 0, grid)
                              : PlaceNew(std::make_unique<TParabola>(nullptr, 0, 0, x + 1, row - 1), grid);
    return placedDish != nullptr;
}

// ---------------------------------------------------------------- the head end

bool TCreaAuto::DesignSatIfHeadEnd(int32_t c, int32_t r, TGridData* grid) {
    if (!TapNetwork[1] && !CarriesSat[0]) return true;
    CableTemplate->Owner = grid;
    ExitColumn[1] = ExitRow[1] = 0;
    ExitKind[1] = 0;

    // The compact unit: one custom cell fed by two LNB outputs.
    const bool compactAllowed = !(CarriesSat[0] && !MixerCell);
    if (compactAllowed && CustomModelCell &&
        (double(CompactUnitLevel) - BackOffSat >= RequiredLevelSat || EntryInputsSat >= 2))
        return PlaceCompactIfUnit(c, r, grid);
    if (ChosenFamily[1] < 0 || ChosenFamily[1] >= FamiliesMax) {
        Reporter->Report(SatSeriesRefusal());
        return false;
    }
    const TFamiglia& family = FamilySat[ChosenFamily[1]];
    int32_t inputs = 0, outputs = 0;
    TCella* amplifier = ChooseIfAmplifier(family, inputs, outputs);
    if (family.Variant != 0) return PlaceModularIfChain(c, r, grid, family, amplifier, outputs);
    if (!amplifier) {
        Reporter->Report(NoAmplifier);
        return false;
    }
    return PlaceJumperIfModules(c, r, grid, family, amplifier, outputs) &&
           JoinJumperIfModules(c, r, grid, family, inputs, outputs);
}

AnsiString TCreaAuto::SatSeriesRefusal() const {
    AnsiString text =
        "Problemi nella selezione della serie dei componenti della centrale di testa satellitare. "
        "La rete richiede un segnale troppo elevato.";
    // The rule the choice took: one line leaving the head end asks the
    // finals of the head end; several lines ask the amplifiers of their
    // splits (the families' substation finals or a line amplifier).
    const bool splits = EntryInputsSat != 1 && (EntryInputsTer != 1 || EntryInputsSat > 0);
    float most = LevelNone;
    for (int32_t k = 0; k < std::clamp(FamilyCount[1], 0, FamiliesMax); ++k)
        most = std::max(most, splits ? FamilySat[k].Smax : FamilySat[k].Hmax);
    if (splits) most = std::max(most, SubstationLevelSat[1]);
    const int32_t lines = splits ? std::max(EntryInputsSat, EntryInputsTer) : 1;
    const AnsiString need = FormatFloat("0.0", RequiredLevelSat) + " dBµV";
    if (!IsRealLevel(most) || most <= 0.0f)
        text += " La rete richiede in testa " + need + " e nessun amplificatore scelto lo dà.";
    else if (splits)
        text += " Le " + IntToStr(lines) + " linee che partono dalla testa richiedono " + need +
                ", gli amplificatori scelti per le spezzature ne danno al più " + FormatFloat("0.0", most) + ".";
    else
        text += " La rete richiede in testa " + need + ", gli amplificatori finali delle serie scelte ne danno al più " +
                FormatFloat("0.0", most) + ".";
    // A multiswitch distribution along the staircase amplifies on the
    // staircases and asks the head end only what an LNB gives.
    text += " Scegliere \"Multiswitch 4 cavi\" e \"Multiswitch lungo scala\".";
    return text;
}

bool TCreaAuto::PlaceCompactIfUnit(int32_t c, int32_t r, TGridData* grid) {
    if (!PlaceClone(CustomModelCell, c, r, 0, grid)) return false;
    ExitColumn[1] = c + 5;
    ExitRow[1] = r + 5;
    ExitKind[1] = 0;
    if (!PlaceIfChannelsInOrder(c + 1, r - 5, grid)) return false;
    SetCableTemplate(Cables[CableRiserSat].get(), static_cast<float>(Settings->LnbHeadEndDistance));
    DrawCableRun(c + 1, r - 4, c + 1, r - 1, r - 1, RunVerticalFirst);
    DrawCableRun(c + 2, r - 4, c + 2, r - 1, r - 2, RunVerticalFirst);
    ChosenFamily[1] = 0;
    return true;
}

TCella* TCreaAuto::ChooseIfAmplifier(const TFamiglia& family, int32_t& inputs, int32_t& outputs) {
    // The amplifier's shape: a later shape that reaches the level wins.
    const float n0 = RequiredLevelSat;
    const bool alone = (EntryInputsTer < 2 || Settings->SeparateDistributions) && EntryInputsSat < 2;
    const float need = alone ? n0 : 0.0f;
    inputs = outputs = 0;
    auto shape = [&](int32_t i, int32_t o) {
        if (family.H[i - 1][o - 1] >= need) inputs = i, outputs = o;
    };
    shape(3, 4);
    shape(1, 4);
    if (!CarriesSat[0] || MixerCell) {
        shape(3, 1);
        shape(1, 1);
    }
    if (outputs == 4) MixerCell = nullptr;
    if (!inputs) return nullptr;
    TAmplificatoreAt kind(nullptr, 0, 0, 0, 0, inputs, outputs);
    const float level = alone ? static_cast<float>(static_cast<int32_t>(double(n0) + BackOffSat)) : 0.0f;
    return kind.FindByOutputLevel(Components->head, BandSlotSat, level, family.Brand, family.Series);
}

bool TCreaAuto::PlaceJumperIfModules(int32_t c, int32_t r, TGridData* grid, const TFamiglia& family,
                                     TCella* amplifier, int32_t outputs) {
    float consumption = 0.0f;
    if (!PlaceClone(amplifier, c + 2, r + 4, FromBelow, grid)) return false;
    consumption += Draw(*amplifier);
    ExitColumn[1] = outputs == 4 ? c + 2 : c + 1;
    ExitRow[1] = r - 1;
    ExitKind[1] = 2;

    TCella* filter = nullptr;
    for (TCella* f = Components->head; f && !filter; f = f->NextInList) {
        const TModuloFiltro* m = f->TypeCode == CodeFiltroAT ? FirstModule(*f) : nullptr;
        if (m && f->Inputs == AutoMixOneInput && f->ThroughOutputs == AutoMixOutputOuter &&
            f->Brand == family.Brand && f->Series == family.Series &&
            m->slotLow[ModuleInputSlot] <= IfFilterLow && m->slotHigh[ModuleInputSlot] >= IfFilterHigh)
            filter = f;
    }
    if (!filter) {
        Reporter->Report("Non sono stati selezionati filtri adeguati alla centrale IF.");
        return false;
    }
    if (!PlaceClone(filter, c + 3, r, 0, grid)) return false;
    consumption += Draw(*filter);

    const int32_t n = PackageConverterCount(Settings->Packages[PackageDp]);
    int32_t x = c + JumperConvertersColumn;
    for (int32_t k = 0; k < n; ++k, x += ModuleStep) {
        const TTransponder* t = Transponder(PackageConverters[k]);
        if (!SelectConverters(x, r, grid, family.Brand, family.Series, t->Number, t->Low, t->High,
                              consumption))
            return false;
    }
    if (Settings->Packages[PackageNetSystem]) {
        const TTransponder* t = Transponder(NetSystemTransponder);
        if (!SelectConverters(x, r, grid, family.Brand, family.Series, t->Number, t->Low, t->High,
                              consumption))
            return false;
        x += ModuleStep;
    }
    return SelectPowerSupplies(x, r, grid, family.Brand, family.Series, 0, consumption);
}

bool TCreaAuto::JoinJumperIfModules(int32_t c, int32_t r, TGridData* grid, const TFamiglia& family,
                                    int32_t inputs, int32_t outputs) {
    const bool dp = Settings->Packages[PackageDp], netSystem = Settings->Packages[PackageNetSystem];
    const int32_t n = PackageConverterCount(dp);
    const int32_t netColumn = c + JumperConvertersColumn + ModuleStep * n;
    TCella* jumperCell = nullptr;
    for (TCella* j = Components->head; j && !jumperCell; j = j->NextInList)
        if (j->TypeCode == CodeBridge && j->Brand == family.Brand && j->Series == family.Series)
            jumperCell = j;
    std::unique_ptr<TCella> jumper(jumperCell ? jumperCell->Clone() : nullptr);
    if (!jumper) {
        Reporter->Report("Non sono stati selezionati ponticelli adeguati alla centrale IF.");
        return false;
    }
    // A copy serves as the plain cable piece: the list keeps the article.
    jumper->TypeCode = CodeCable;
    SetCableTemplate(jumper.get(), CableLengthUncounted);

    // The bus under the modules: each module's output feeds the one to its left.
    const int32_t bus = r + 5, top = r - 1;
    if (inputs == 1) {
        PlaceCableSegmentEx(c + 1, bus, BendRightTop);
        PlaceCableSegment(c + 2, bus);
    } else {
        PlaceCableSegmentEx(c + 2, bus, BendRightTop);
        if (!PlaceTermination(c, bus, FacingDown, grid)) return false;
    }
    PlaceCableSegmentEx(c + 3, bus, BendLeftTop);
    const int32_t converters = n + (netSystem ? 1 : 0);
    for (int32_t k = 0; k < converters; ++k) {
        PlaceCableSegmentEx(c + 5 + ModuleStep * k, bus, BendRightTop);
        PlaceCableSegmentEx(c + 6 + ModuleStep * k, bus, BendLeftTop);
    }
    if (!PlaceTermination(c + 5 + ModuleStep * converters, bus, FacingDown, grid)) return false;
    // Above: the converters of one LNB output share its line.
    for (int32_t k = 0; k + 3 < n; ++k) {
        PlaceCableSegmentEx(c + 8 + ModuleStep * k, top, BendRightBottom);
        PlaceCableSegmentEx(c + 9 + ModuleStep * k, top, BendLeftBottom);
    }
    if (outputs == 4 && !PlaceTermination(c, top, FromBelow, grid)) return false;
    if (n > 0) {
        if (!PlaceTermination(c + 6, top, FromBelow, grid) ||
            !PlaceTermination(c + 3 * n, top, FromBelow, grid) ||
            !PlaceTermination(c + 3 * n + 3, top, FromBelow, grid))
            return false;
    }
    if (netSystem && !PlaceTermination(netColumn, top, FromBelow, grid)) return false;

    if (!PlaceIfChannelsInOrder(c + 10, r - 8, grid)) return false;
    SetCableTemplate(Cables[CableRiserSat].get(), static_cast<float>(Settings->LnbHeadEndDistance));
    const int32_t lnbRow = r - 7;
    DrawCableRun(c + 10, lnbRow, c + 4, top, r - 4, RunVerticalFirst);
    if (dp) {
        DrawCableRun(c + 11, lnbRow, c + 3 * n - 1, top, r - 4, RunVerticalFirst);
        DrawCableRun(c + 12, lnbRow, c + 3 * n + 2, top, r - 5, RunVerticalFirst);
        DrawCableRun(c + 13, lnbRow, c + 3 * n + 5, top, r - 6, RunVerticalFirst);
    }
    // With the package converters the rows above are taken: the Net
    // System line turns below them.
    if (netSystem) DrawCableRun(c + 15, lnbRow, netColumn + 2, top, dp ? r - 3 : r - 6, RunVerticalFirst);
    return true;
}

bool TCreaAuto::PlaceModularIfChain(int32_t c, int32_t r, TGridData* grid, const TFamiglia& family,
                                    TCella* amplifier, int32_t outputs) {
    float consumption = 0.0f;
    int32_t v = 0;
    for (TCella* s = Components->head; s; s = s->NextInList)
        if (s->TypeCode == CodeAlimentatoreSF && s->Brand == family.Brand && s->Series == family.Series)
            v = std::max<int32_t>(v, s->Variant);
    const int32_t X = c + ModuleStep * (v + 1);
    TCanale scratch;
    scratch.freqLow = IfLow;
    scratch.freqHigh = IfHigh;
    auto ifFilter = [&](int32_t x, const AnsiString* code) {
        if (code) {
            // A quiet look for the fixed article: the fallback speaks for both.
            bool found = false;
            {
                const TReporterOff quiet(Reporter);
                found = SelectChannelFiltersByCode(x, r, grid, family.Brand, family.Series, scratch,
                                                   consumption, 1, *code);
            }
            if (found) return true;
        }
        TCanale named(scratch);
        named.name = FormatFloat("#0.##", IfLow) + "-" + FormatFloat("#0.##", IfHigh);
        return SelectChannelFilters(x, r, grid, family.Brand, family.Series, named, consumption, 1);
    };
    auto bandFilter = [&](int32_t x, float low, float high) {
        TCanale band;
        band.freqLow = low;
        band.freqHigh = high;
        band.name = FormatFloat("#0.##", low) + "-" + FormatFloat("#0.##", high);
        return SelectChannelFilters(x, r, grid, family.Brand, family.Series, band, consumption, 3);
    };
    auto converter = [&](int32_t x, int32_t number) {
        const TTransponder* t = Transponder(number);
        return SelectConverters(x, r, grid, family.Brand, family.Series, number, t->Low, t->High,
                                consumption);
    };
    bool modules = ifFilter(X, &IfFilterCodes[0]);
    int32_t k = 1;
    for (const auto& [low, high] :
         {std::pair{1975.0f, 2150.0f}, std::pair{1146.0f, 1569.0f}, std::pair{1800.0f, 1836.0f},
          std::pair{1723.0f, 1759.0f}, std::pair{1848.0f, 1884.0f}})
        modules = modules && bandFilter(X + ModuleStep * k++, low, high);
    modules = modules && ifFilter(X + ModuleStep * k++, &IfFilterCodes[1]);
    for (int32_t number : {57, 95, 101, 59, 67, 63})
        modules = modules && converter(X + ModuleStep * k++, number);
    modules = modules && ifFilter(X + ModuleStep * k++, nullptr);
    modules = modules && converter(X + ModuleStep * k++, 1);
    modules = modules && ifFilter(X + ModuleStep * k++, nullptr);
    modules = modules && converter(X + ModuleStep * k++, 8);

    const int32_t finalColumn = X + ModuleStep * ChainModules;
    if (!amplifier) {
        Reporter->Report(NoAmplifier);
        return false;
    }
    if (!PlaceClone(amplifier, finalColumn, r, 0, grid)) return false;
    if (!modules) return false;
    consumption += Draw(*amplifier);
    ExitColumn[1] = outputs == 4 ? finalColumn : finalColumn + 1;
    ExitRow[1] = r + 5;
    ExitKind[1] = 0;
    if (!SelectPowerSupplies(c, r, grid, family.Brand, family.Series, 0, consumption)) return false;
    if (!PlaceIfChannels(X + 22, r - 8, grid, 0, 1, 3, 2)) return false;
    SetCableTemplate(Cables[CableRiserSat].get(), static_cast<float>(Settings->LnbHeadEndDistance));
    const int32_t lnbRow = r - 7, top = r - 1;
    DrawCableRun(X + 23, lnbRow, X + 19, top, r - 5, RunVerticalFirst);
    DrawCableRun(X + 24, lnbRow, X + 40, top, r - 5, RunVerticalFirst);
    DrawCableRun(X + 25, lnbRow, X + 46, top, r - 6, RunVerticalFirst);
    DrawCableRun(X + 22, lnbRow, X + 1, top, r - 6, RunVerticalFirst);
    return true;
}
