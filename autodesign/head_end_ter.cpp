// The terrestrial head end, drawn into its work grid: either one wideband
// amplifier that takes every antenna (with a mixer when two antennas share
// its first input and a supply when it has none of its own), or a modular
// head end of channel filters and final amplifiers of one family, in the
// jumper layout or in the automixing one. Each leaves its exit for the
// head-end builder.
#include <algorithm>
#include <array>
#include <memory>

#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/graphic_cells.h"
#include "cells/mixers.h"
#include "cells/passives.h"
#include "core/channel_list.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/grid.h"

namespace {

constexpr uint32_t SupplyBits = PowerInternal | PowerExternal;
constexpr float NoMargin = -500001.0f;
constexpr float MarginStart = 100000.0f;
constexpr float GoodMargin = 5.0f;  // dB: a margin up to this is the best kind
constexpr int32_t WidebandRow = 10;
constexpr int32_t WidebandExitRow = 13;
constexpr int32_t BandSlotVhf = 1;
constexpr int32_t BandSlotBandIII = 3;
constexpr uint32_t BandMaskVhf = 0x0a;
constexpr uint32_t BandMaskUhf = 0x30;
constexpr int32_t ModuleStep = 3;
constexpr int32_t ChannelColumnsExtra = 23;
constexpr float ScratchLow = 100.0f, ScratchHigh = 500.0f;
constexpr uint8_t FinalMixingVariant = 2;
constexpr const char* NoSupply = "Non sono stati selezionati alimentatori adeguati alla centrale IF.";

bool InGoodRange(float m) { return m >= 0.0f && m <= GoodMargin; }

float Draw(const TCella& cell) { return std::max(cell.Current1, 0.0f); }

// The first chosen jumper of a family.
TCella* FindJumper(TCella* list, const AnsiString& brand, const AnsiString& series) {
    for (TCella* c = list; c; c = c->NextInList)
        if (c->TypeCode == CodeBridge && c->Brand == brand && c->Series == series) return c;
    return nullptr;
}

}  // namespace

bool TCreaAuto::DesignTerrestrialHeadEnd(int32_t column, int32_t row, TGridData* grid) {
    const int32_t multiswitchInputs = LineCount[1];
    if (!TapNetwork[0] && multiswitchInputs < 10) {
        if (!MultiswitchSat) return true;
        // An even count carries no terrestrial line.
        if (multiswitchInputs % 2 == 0) return true;
    }
    if (!SelectWidebandAmplifier(column, row, grid)) return false;
    return DesignModularHeadEnd(column, row, grid);
}

// ---------------------------------------------------------------- wideband

bool TCreaAuto::SelectWidebandAmplifier(int32_t, int32_t, TGridData* grid) {
    if (!Settings->Wideband) return true;
    CableTemplate->Owner = grid;
    ExitColumn[0] = ExitRow[0] = 0;
    ExitKind[0] = 0;
    const float need = RequiredLevelTer;
    const int32_t n = std::clamp(AntennaCount, 0, AntennaSlots);

    TCella* best = nullptr;
    float bestMargin = NoMargin;
    bool bestShares = true;
    std::array<int32_t, AntennaSlots> bestOrder{}, bestInputs{};
    for (TCella* c = Components->head; c; c = c->NextInList) {
        if (c->TypeCode != CodeTerrestre || !(c->Positions[0] & (PositionHeadEnd | PositionMastLast)) ||
            c->ThroughOutputs != 1)
            continue;
        std::array<int32_t, AntennaSlots> order{}, inputs{};
        if (!FitAntennasToInputs(c, order, inputs)) continue;
        bool shares = false;
        for (int32_t p = 0; p < n; ++p)
            for (int32_t q = p + 1; q < n; ++q) shares = shares || inputs[p] == inputs[q];
        float top = 0.0f;
        for (int32_t i = 0; i < c->NumInputs; ++i)
            top = std::max(top, c->Attenuation->Get3(i, WideMaxOutput, BandSlotTer));
        double margin = MarginStart;
        for (int32_t p = 0; p < n; ++p) {
            float g = 0.0f;
            for (int32_t b = 0; b < BandSlots; ++b)
                g = std::max(g, c->Attenuation->Get3(inputs[p], WideGain, b));
            margin = std::min(margin, double(Antennas[order[p]].Lowest) + g - need);
        }
        const auto m = static_cast<float>(margin);
        if (double(need) > double(top) - BackOffTer) continue;
        const bool better =
            (!shares && bestShares && m >= 0.0f) ||
            (shares == bestShares &&
             ((bestMargin < 0.0f && m >= 0.0f) || (InGoodRange(m) && bestMargin > GoodMargin) ||
              (InGoodRange(m) && InGoodRange(bestMargin) && m >= bestMargin)));
        if (!better) continue;
        best = c;
        bestMargin = m;
        bestShares = shares;
        bestOrder = order;
        bestInputs = inputs;
    }
    if (!best) {
        Reporter->Report("Nessun amplificatore a larga banda selezionabile.");
        return false;
    }

    // A supply when the amplifier has none: the smallest that covers its draw.
    WidebandSupply = nullptr;
    WidebandSupplyNeeded = 0;
    if (!(best->Power[PowerSupply][PowerFlags] & SupplyBits)) {
        WidebandSupplyNeeded = 1;
        const float draw = Draw(*best);
        for (TCella* s = Components->head; s; s = s->NextInList)
            if (s->TypeCode == CodeAlimentatore && s->Current2 >= draw &&
                (!WidebandSupply || s->Current2 < WidebandSupply->Current2))
                WidebandSupply = s;
        if (!WidebandSupply) {
            WidebandSupplyNeeded = 0;
            Reporter->Report(NoSupply);
            return false;
        }
    }

    // The antennas take the order found for the amplifier.
    std::array<TAntennaEntry, AntennaSlots> reordered;
    for (int32_t p = 0; p < n; ++p) reordered[p] = std::move(Antennas[bestOrder[p]]);
    for (int32_t p = 0; p < n; ++p) Antennas[p] = std::move(reordered[p]);

    const bool mixed = n >= 2 && bestInputs[0] == 0 && bestInputs[1] == 0;
    const int32_t c0 = mixed ? 2 : 0;
    if (!PlaceClone(best, c0, WidebandRow, 0, grid)) return false;
    const int32_t f = best->NumInputs == 1 ? c0 + 1 : c0;
    for (int32_t i = 0; i < best->NumInputs; ++i)
        if (!PlaceTermination(f + i, WidebandRow - 1, 2, grid)) return false;

    const float antennaRun = static_cast<float>(Settings->AntennaHeadEndDistance);
    auto failDrawing = [this] {
        Reporter->Report("Errore di creazione disegno. Non riesco a progettare l'impianto.");
        return false;
    };
    int32_t first = 0;
    if (mixed) {
        SetCableTemplate(Cables[CableRiserTer].get(), Settings->APLungCavoComp);
        if (!PlaceHeadEndModule(f - 2, 7, 0, grid)) return failDrawing();
        PlaceCableSegmentEx(f - 2, 8, 2);
        if (!PlaceHeadEndModule(f, 7, 1, grid)) return failDrawing();
        PlaceCableSegmentEx(f, 8, 1);
        auto mixer = std::make_unique<TMiscelatore>(nullptr, 0, 0, f - 1, 8, 2);
        mixer->SelectFromLibrary(Components->head, Antennas[0].BandUse, Antennas[1].BandUse);
        if (!PlaceNew(std::move(mixer), grid)) return false;
        PlaceCableSegmentEx(f - 1, 9, 2);
        PlaceCableSegmentEx(f, 9, 0);
        first = 2;
    }
    SetCableTemplate(Cables[CableRiserTer].get(), antennaRun);
    for (int32_t p = first; p < n; ++p) {
        const int32_t column = bestInputs[p] + f, antennaRow = 8 - bestInputs[p];
        if (!PlaceHeadEndModule(column, antennaRow, p, grid)) return failDrawing();
        DrawCableRun(column, antennaRow + 1, column, WidebandRow - 1, -1, 0);
    }

    ExitColumn[0] = best->NumInputs < 4 ? c0 + 1 : c0 + best->NumInputs / 2;
    ExitRow[0] = WidebandExitRow;
    ExitKind[0] = 0;
    if (WidebandSupply) {
        if (!PlaceClone(WidebandSupply, ExitColumn[0], ExitRow[0] + 1, 0, grid)) return false;
        SetCableTemplate(Cables[CableRiserTer].get(), Settings->APLungCavoComp);
        PlaceCableSegmentV(ExitColumn[0], ExitRow[0]);
        ExitRow[0] += 2;
        WidebandSupply = nullptr;
        WidebandSupplyNeeded = 0;
    }
    return true;
}

// ---------------------------------------------------------------- modular

bool TCreaAuto::DesignModularHeadEnd(int32_t c, int32_t r, TGridData* grid) {
    if (Settings->Wideband) return true;
    const float need = EntryInputsTer < 2 ? RequiredLevelTer : 0.0f;
    int32_t vhfFilters = 0, uhfFilters = 0, amplifiers = 0;
    float consumption = 0.0f;
    CableTemplate->Owner = grid;
    ExitColumn[0] = ExitRow[0] = 0;
    ExitKind[0] = 0;
    if (ChosenFamily[0] < 0 || ChosenFamily[0] >= FamiliesMax) {
        Reporter->Report(
            "Problemi nella selezione della serie dei componenti della centrale di testa terrestre. La "
            "rete richiede un segnale troppo elevato.");
        return false;
    }
    const TFamiglia& family = FamilyTer[ChosenFamily[0]];
    auto C = [&family](int32_t i, int32_t o) { return family.H[i - 1][o - 1]; };
    TCella* jumperCell = FindJumper(Components->head, family.Brand, family.Series);
    if (!jumperCell && family.Variant == 0) {
        Reporter->Report("Non sono stati selezionati ponticelli adeguati alla centrale terrestre.");
        return false;
    }
    // The jumper serves as a plain cable piece, on a copy: the list keeps the
    // user's article as it is.
    std::unique_ptr<TCella> jumper(jumperCell ? jumperCell->Clone() : nullptr);
    if (jumper) jumper->TypeCode = CodeCable;
    auto useJumper = [&] {
        if (jumper) SetCableTemplate(jumper.get(), CableLengthUncounted);
    };
    const float antennaRun = static_cast<float>(Settings->AntennaHeadEndDistance);
    auto useAntennaCable = [&] { SetCableTemplate(Cables[CableRiserTer].get(), antennaRun); };

    const int32_t wanted = AntennaChannelCount * ModuleStep + ChannelColumnsExtra;
    if (grid->Columns < wanted) grid->Resize(wanted, grid->Rows);
    if (MixedAntenna && C(2, 1) > 0.0f) {
        Reporter->Report(
            "Vi sono antenne che ricevono sia canali vhf che canali uhf. Non è possibile costruire la "
            "centrale terrestre.");
        return false;
    }

    // A final amplifier of the family, turned or not, at (column, row).
    auto final = [&](int32_t column, int32_t row, int32_t orientation, int32_t inputs, int32_t outputs,
                     int32_t band, float level, uint32_t mask, uint32_t value) -> TCella* {
        auto amplifier =
            std::make_unique<TAmplificatoreAt>(nullptr, orientation, 0, column, row, inputs, outputs);
        amplifier->SelectFromLibrary(Components->head, band, level, family.Brand, family.Series, mask, value);
        TCella* placed = PlaceNew(std::move(amplifier), grid);
        if (placed) consumption += Draw(*placed);
        return placed;
    };
    // An antenna weaker than the window needs its preamplifier.
    auto placeAntenna = [&](int32_t column, int32_t row, int32_t position) {
        if (Antennas[position].NeedsPreamplifier && !Antennas[position].Preamplifier) {
            Reporter->Report(
                "Un'antenna riceve un canale con segnale troppo basso e non sono stati individuati "
                "preamplificatori di antenna adeguati.");
            return false;
        }
        if (PlaceHeadEndModule(column, row, position, grid)) return true;
        Reporter->Report("Errore di creazione disegno. Non riesco a progettare l'impianto.");
        return false;
    };
    auto finalExit = [this](int32_t column, int32_t row, uint8_t kind) {
        ExitColumn[0] = column;
        ExitRow[0] = row;
        ExitKind[0] = kind;
    };
    // Two turned finals side by side from column x0: the first one's output
    // is jumpered over the row above into the bypass of the second, whose
    // output is the exit. Turned, the second final has its bypass on the
    // right and its output on the left.
    auto bypassPair = [&](int32_t x0) {
        PlaceCableSegmentV(x0 + 1, r - 1);
        PlaceCableSegmentEx(x0 + 1, r - 2, 3);
        for (int32_t column = x0 + 2; column <= x0 + 4; ++column) PlaceCableSegment(column, r - 2);
        PlaceCableSegmentEx(x0 + 5, r - 2, 0);
        PlaceCableSegmentV(x0 + 5, r - 1);
        finalExit(x0 + 3, r - 1, 2);
    };

    if (family.Variant == 0) {
        int32_t x = c;
        if (TerrestrialFinals && family.Hmax > 0.0f && C(2, 1) < need) {
            if (C(1, 1) < need && C(3, 4) > 0.0f) {
                if (!final(c + 2, r + 4, 2, 1, 1, BandSlotVhf, need, BandMaskTer, BandMaskVhf)) return false;
                if (!final(c + 5, r + 4, 2, 3, 4, BandSlotTer, need + BackOffTer, BandMaskTer, BandMaskUhf))
                    return false;
                useJumper();
                bypassPair(c);
                x = c + 6;
                amplifiers += 2;
            } else if (C(1, 1) >= need) {
                if (!final(c + 2, r + 4, 2, 1, 1, BandSlotTer, need + BackOffTer, BandMaskTer, BandMaskTer))
                    return false;
                finalExit(c + 1, r - 1, 2);
                amplifiers += 1;
                x = c + 3;
            }
        }
        // An amplifier that mixes the UHF antennas in, before the first UHF filter.
        auto mixingAmplifier = [&](bool uhfAntenna, int32_t inputs) {
            if (!TerrestrialFinals || !uhfAntenna || uhfFilters != 0 || amplifiers != 0 ||
                !(C(inputs, 1) > 0.0f))
                return true;
            TCella* amplifier =
                final(x + 2, r + 4, 2, inputs, 1, BandSlotTer, need + BackOffTer, BandMaskTer, BandMaskTer);
            if (!amplifier) return false;
            if (amplifier->Attenuation->Get3(0, WideGain, BandSlotTer) < 0.0f)
                amplifier->SwapOutputColumns(0, 1);
            finalExit(x + 1, r - 1, 2);
            x += ModuleStep;
            ++amplifiers;
            return true;
        };
        for (int32_t a = 0; a < AntennaCount; ++a) {
            TAntennaEntry& antenna = Antennas[a];
            if (!mixingAmplifier(antenna.Uhf, 2) || !mixingAmplifier(antenna.Uhf, 3)) return false;
            const TListaCanali& channels = *antenna.Cell->SourceChannels;
            bool firstMulti = true;
            for (const TCanale* ch = channels.head; ch; ch = ch->next) {
                if (!SelectChannelFilterAnyInputs(x, r, grid, family.Brand, family.Series, *ch, consumption))
                    return false;
                ++(antenna.Vhf ? vhfFilters : uhfFilters);
                const TCella* placed = grid->CellAt(x, r);
                if (placed && placed->Inputs == AutoMixOneInput) {
                    if (channels.Count() != 1) {
                        Reporter->Report(
                            AnsiString(
                                "I filtri attivi selezionati non hanno ingressi automiscelati in banda ") +
                            (antenna.Vhf ? "VHF" : "UHF") +
                            ". Le corrispondenti antenne devono ricevere un solo canale.");
                        return false;
                    }
                } else if (firstMulti) {
                    if (!PlaceTermination(x, r - 1, 2, grid)) return false;
                    firstMulti = false;
                } else {
                    useJumper();
                    PlaceCableSegmentEx(x - 1, r - 1, 3);
                    PlaceCableSegmentEx(x, r - 1, 0);
                }
                x += ModuleStep;
            }
            useAntennaCable();
            const TCella* last = grid->CellAt(x - 1, r);
            const int32_t antennaColumn = last && last->Inputs == AutoMixOneInput ? x - 2 : x - 1;
            const int32_t antennaRow = r - 4;
            if (!placeAntenna(antennaColumn, antennaRow, a)) return false;
            DrawCableRun(antennaColumn, antennaRow + 1, antennaColumn, r - 1, -1, 0);
        }
        if (uhfFilters == 0 && amplifiers == 0)
            if (!mixingAmplifier(true, 2) || !mixingAmplifier(true, 3)) return false;

        bool closing = false;
        int32_t supplyColumn = x;
        if (TerrestrialFinals && amplifiers == 0 && C(1, 4) > 0.0f) {
            if (!final(x + 2, r + 4, 2, 3, 1, BandSlotBandIII, need, 0, 0)) return false;
            if (!final(x + 5, r + 4, 2, 1, 4, BandSlotTer, need + BackOffTer, 0, 0)) return false;
            bypassPair(x);
            closing = true;
            ++amplifiers;
            supplyColumn = x + 6;
        }

        // The output bus under the modules.
        const int32_t m = vhfFilters + uhfFilters + amplifiers;
        const int32_t bus = r + 5;
        useJumper();
        const TCella* start = grid->CellAt(c + 1, r + 1);
        if (start && start->Inputs == AutoMixOneInput && start->Orientation != 0) {
            PlaceCableSegmentEx(c + 1, bus, 2);
            PlaceCableSegmentEx(c + 3, bus, 1);
            PlaceCableSegment(c + 2, bus);
        } else {
            PlaceCableSegmentEx(c + 2, bus, 2);
            PlaceCableSegmentEx(c + 3, bus, 1);
            if (amplifiers == 0)
                finalExit(c, bus, 0);
            else if (!PlaceTermination(c, bus, 0, grid))
                return false;
        }
        for (int32_t k = 2; k < m; ++k) {
            PlaceCableSegmentEx(ModuleStep * k + c - 1, bus, 2);
            PlaceCableSegmentEx(ModuleStep * k + c, bus, 1);
        }
        if (!closing) {
            if (!PlaceTermination(ModuleStep * m + c - 1, bus, 0, grid)) return false;
        } else {
            PlaceCableSegmentEx(x + 2, bus, 2);
            PlaceCableSegmentEx(x + 4, bus, 1);
            PlaceCableSegment(x + 3, bus);
        }
        return SelectPowerSupplies(supplyColumn, r, grid, family.Brand, family.Series, 0, consumption);
    }

    // The automixing family: each antenna enters a filter of its own, the
    // channels are taken by three-input filters, one final mixes them all.
    int32_t v = 0;
    for (TCella* s = Components->head; s; s = s->NextInList)
        if (s->TypeCode == CodeAlimentatoreSF && s->Brand == family.Brand && s->Series == family.Series)
            v = std::max<int32_t>(v, s->Variant);
    int32_t x = c + ModuleStep * v + ModuleStep;
    TCanale scratch;
    scratch.freqLow = ScratchLow;
    scratch.freqHigh = ScratchHigh;
    for (int32_t a = 0; a < AntennaCount; ++a) {
        TAntennaEntry& antenna = Antennas[a];
        useAntennaCable();
        const int32_t antennaColumn = x + 1, antennaRow = r - 4;
        DrawCableRun(x + 1, r - 3, x + 1, r - 1, -1, 0);
        const TListaCanali& channels = *antenna.Cell->SourceChannels;
        bool alone = false;
        if (channels.Count() == 1) {
            // A quiet look first: a family without a one-input filter for the
            // channel goes on with the scratch filter.
            const bool was = Reporter->enabled;
            Reporter->enabled = false;
            alone =
                SelectChannelFilters(x, r, grid, family.Brand, family.Series, *channels.head, consumption, 1);
            Reporter->enabled = was;
        }
        if (alone) {
            x += ModuleStep;
        } else {
            if (!SelectChannelFilters(x, r, grid, family.Brand, family.Series, scratch, consumption, 1))
                return false;
            x += ModuleStep;
            for (const TCanale* ch = channels.head; ch; ch = ch->next) {
                if (!SelectChannelFilters(x, r, grid, family.Brand, family.Series, *ch, consumption, 3))
                    return false;
                x += ModuleStep;
            }
        }
        if (!placeAntenna(antennaColumn, antennaRow, a)) return false;
    }
    auto amplifier = std::make_unique<TAmplificatoreAt>(nullptr, 0, 0, x, r, 3, 1);
    amplifier->SelectFromLibrary(Components->head, BandSlotTer, need + BackOffTer, family.Brand,
                                 family.Series, BandMaskTer, BandMaskTer);
    amplifier->Variant = FinalMixingVariant;
    TCella* placed = PlaceNew(std::move(amplifier), grid);
    if (!placed) return false;
    consumption += Draw(*placed);
    finalExit(x + 1, r + 5, 0);
    return SelectPowerSupplies(c, r, grid, family.Brand, family.Series, 0, consumption);
}
