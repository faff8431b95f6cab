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
constexpr int32_t BandSlotBandIII = 3;
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
    // What the amplifiers that take the antennas give at most, for the
    // message when none serves: the output less the back-off of the
    // channels, and the weakest antenna's level raised by the gain.
    double mostOutput = NoMargin, mostReach = NoMargin;
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
        mostOutput = std::max(mostOutput, double(top) - BackOffTer);
        if (double(need) > double(top) - BackOffTer) continue;
        mostReach = std::max(mostReach, margin + need);
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
        AnsiString reason;
        if (mostOutput > NoMargin && double(need) > mostOutput)
            reason = " La rete richiede in testa " + FormatFloat("0.0", need) +
                     " dBµV, più di quanto danno gli amplificatori con i loro canali (" +
                     FormatFloat("0.0", mostOutput) + " dBµV).";
        else if (mostReach > NoMargin)
            reason = " La rete richiede in testa " + FormatFloat("0.0", need) +
                     " dBµV, le antenne con il guadagno degli amplificatori ne danno al più " +
                     FormatFloat("0.0", mostReach) + ".";
        // The modular head end sets each channel on its own from its filters.
        if (!reason.empty()) reason += " Scegliere \"Modulare\".";
        Reporter->Report("Nessun amplificatore a larga banda selezionabile." + reason);
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
    auto failDrawing = [this](int32_t position) {
        Reporter->Report(DrawingFailedMessage("l'antenna " + IntToStr(position + 1) +
                                              " non può essere posta sopra l'amplificatore a larga banda"));
        return false;
    };
    int32_t first = 0;
    if (mixed) {
        SetCableTemplate(Cables[CableRiserTer].get(), Settings->APLungCavoComp);
        if (!PlaceHeadEndModule(f - 2, 7, 0, grid)) return failDrawing(0);
        PlaceCableSegmentEx(f - 2, 8, 2);
        if (!PlaceHeadEndModule(f, 7, 1, grid)) return failDrawing(1);
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
        if (!PlaceHeadEndModule(column, antennaRow, p, grid)) return failDrawing(p);
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

namespace {

// The rows of a modular head end around the row of its modules: the antennas
// stand above it (their jumpers and runs come down to the row just above),
// the finals and the output bus below it.
constexpr int32_t AntennaRise = 4;
constexpr int32_t FinalDrop = 4;
constexpr int32_t BusDrop = 5;

// A modular terrestrial head end of one family, drawn on a work grid from
// column left with its modules on row: the modules go left to right from
// column x, each placed one's draw is added up for the supplies, and the
// exit is left for the head-end builder.
class TModularHeadEnd {
public:
    TModularHeadEnd(TCreaAuto& engine, TGridData* grid, const TFamiglia& family, int32_t left, int32_t row,
                    float need, std::unique_ptr<TCella> jumper)
        : engine(engine),
          grid(grid),
          family(family),
          left(left),
          row(row),
          need(need),
          jumper(std::move(jumper)) {}
    // The jumper layout: the finals ahead of the filters, each antenna's
    // channel filters jumpered together, the closing finals, the output bus
    // under the modules and the supplies.
    bool DrawJumperLayout();
    // The automixing layout: each antenna enters a filter of its own, the
    // channels are taken by three-input filters, one final mixes them all.
    bool DrawAutomixing();

private:
    // The level the family's final of inputs and outputs delivers (0: none).
    float Level(int32_t inputs, int32_t outputs) const { return family.H[inputs - 1][outputs - 1]; }
    // The finals ahead of the filters: a VHF and a UHF final joined by their
    // bypass, or one final for the whole band.
    bool PlaceLeadingFinals();
    // An amplifier that mixes the UHF antennas in, before the first UHF filter.
    bool PlaceMixingAmplifier(bool uhfAntenna, int32_t inputs);
    // An antenna's channel filters, jumpered together, and the antenna above them.
    bool PlaceAntennaFilters(int32_t position);
    // The closing pair of finals after the filters, when no final stands yet.
    bool PlaceClosingFinals();
    // The output bus under the modules, closed at both ends or leaving at the exit.
    bool DrawOutputBus();
    // The automixing layout's filters of one antenna and the antenna above them.
    bool PlaceAutomixingFilters(int32_t position, const TCanale& scratch);
    // The automixing layout's final, which mixes every filter's output.
    bool PlaceMixingFinal();

    // A final amplifier of the family, turned or not, at (column, row).
    TCella* PlaceFinal(int32_t column, int32_t finalRow, int32_t orientation, int32_t inputs, int32_t outputs,
                       int32_t band, float level, uint32_t mask, uint32_t value);
    // An antenna weaker than the window needs its preamplifier.
    bool PlaceAntenna(int32_t column, int32_t antennaRow, int32_t position);
    void LeaveAt(int32_t column, int32_t exitRow, uint8_t kind);
    // Two turned finals side by side from column x0: the first one's output
    // is jumpered over the row above into the bypass of the second, whose
    // output is the exit. Turned, the second final has its bypass on the
    // right and its output on the left.
    void JoinBypassPair(int32_t x0);
    // The jumper serves as a plain cable piece, on a copy: the list keeps the
    // user's article as it is.
    void UseJumper() {
        if (jumper) engine.SetCableTemplate(jumper.get(), CableLengthUncounted);
    }
    void UseAntennaCable() {
        engine.SetCableTemplate(engine.Cables[CableRiserTer].get(),
                                static_cast<float>(engine.Settings->AntennaHeadEndDistance));
    }

    TCreaAuto& engine;
    TGridData* grid;
    const TFamiglia& family;
    const int32_t left, row;
    const float need;
    std::unique_ptr<TCella> jumper;
    int32_t x = 0;  // the column of the next module
    int32_t vhfFilters = 0, uhfFilters = 0, amplifiers = 0;
    float consumption = 0.0f;
    bool closing = false;      // the closing pair of finals stands
    int32_t supplyColumn = 0;  // where the supplies go
};

TCella* TModularHeadEnd::PlaceFinal(int32_t column, int32_t finalRow, int32_t orientation, int32_t inputs,
                                    int32_t outputs, int32_t band, float level, uint32_t mask,
                                    uint32_t value) {
    auto amplifier =
        std::make_unique<TAmplificatoreAt>(nullptr, orientation, 0, column, finalRow, inputs, outputs);
    amplifier->SelectFromLibrary(engine.Components->head, band, level, family.Brand, family.Series, mask,
                                 value);
    TCella* placed = engine.PlaceNew(std::move(amplifier), grid);
    if (placed) consumption += Draw(*placed);
    return placed;
}

bool TModularHeadEnd::PlaceAntenna(int32_t column, int32_t antennaRow, int32_t position) {
    const TAntennaEntry& antenna = engine.Antennas[position];
    if (antenna.NeedsPreamplifier && !antenna.Preamplifier) {
        engine.Reporter->Report(
            "Un'antenna riceve un canale con segnale troppo basso e non sono stati individuati "
            "preamplificatori di antenna adeguati.");
        return false;
    }
    if (engine.PlaceHeadEndModule(column, antennaRow, position, grid)) return true;
    engine.Reporter->Report(DrawingFailedMessage("l'antenna " + IntToStr(position + 1) +
                                                 " non può essere posta nella centrale di testa"));
    return false;
}

void TModularHeadEnd::LeaveAt(int32_t column, int32_t exitRow, uint8_t kind) {
    engine.ExitColumn[0] = column;
    engine.ExitRow[0] = exitRow;
    engine.ExitKind[0] = kind;
}

void TModularHeadEnd::JoinBypassPair(int32_t x0) {
    engine.PlaceCableSegmentV(x0 + 1, row - 1);
    engine.PlaceCableSegmentEx(x0 + 1, row - 2, 3);
    for (int32_t column = x0 + 2; column <= x0 + 4; ++column) engine.PlaceCableSegment(column, row - 2);
    engine.PlaceCableSegmentEx(x0 + 5, row - 2, 0);
    engine.PlaceCableSegmentV(x0 + 5, row - 1);
    LeaveAt(x0 + 3, row - 1, 2);
}

bool TModularHeadEnd::DrawJumperLayout() {
    x = left;
    if (!PlaceLeadingFinals()) return false;
    for (int32_t a = 0; a < engine.AntennaCount; ++a)
        if (!PlaceAntennaFilters(a)) return false;
    if (uhfFilters == 0 && amplifiers == 0)
        if (!PlaceMixingAmplifier(true, 2) || !PlaceMixingAmplifier(true, 3)) return false;
    supplyColumn = x;
    if (!PlaceClosingFinals()) return false;
    if (!DrawOutputBus()) return false;
    return engine.SelectPowerSupplies(supplyColumn, row, grid, family.Brand, family.Series, 0, consumption);
}

bool TModularHeadEnd::PlaceLeadingFinals() {
    if (!engine.TerrestrialFinals || !(family.Hmax > 0.0f) || !(Level(2, 1) < need)) return true;
    const float full = need + engine.BackOffTer;
    if (Level(1, 1) < need && Level(3, 4) > 0.0f) {
        if (!PlaceFinal(left + 2, row + FinalDrop, 2, 1, 1, BandSlotVhf, need, BandMaskTer, BandMaskVhf))
            return false;
        if (!PlaceFinal(left + 5, row + FinalDrop, 2, 3, 4, BandSlotTer, full, BandMaskTer, BandMaskUhf))
            return false;
        UseJumper();
        JoinBypassPair(left);
        x = left + 6;
        amplifiers += 2;
    } else if (Level(1, 1) >= need) {
        if (!PlaceFinal(left + 2, row + FinalDrop, 2, 1, 1, BandSlotTer, full, BandMaskTer, BandMaskTer))
            return false;
        LeaveAt(left + 1, row - 1, 2);
        amplifiers += 1;
        x = left + 3;
    }
    return true;
}

bool TModularHeadEnd::PlaceMixingAmplifier(bool uhfAntenna, int32_t inputs) {
    if (!engine.TerrestrialFinals || !uhfAntenna || uhfFilters != 0 || amplifiers != 0 ||
        !(Level(inputs, 1) > 0.0f))
        return true;
    TCella* amplifier = PlaceFinal(x + 2, row + FinalDrop, 2, inputs, 1, BandSlotTer,
                                   need + engine.BackOffTer, BandMaskTer, BandMaskTer);
    if (!amplifier) return false;
    if (amplifier->Attenuation->Get3(0, WideGain, BandSlotTer) < 0.0f) amplifier->SwapOutputColumns(0, 1);
    LeaveAt(x + 1, row - 1, 2);
    x += ModuleStep;
    ++amplifiers;
    return true;
}

bool TModularHeadEnd::PlaceAntennaFilters(int32_t position) {
    TAntennaEntry& antenna = engine.Antennas[position];
    if (!PlaceMixingAmplifier(antenna.Uhf, 2) || !PlaceMixingAmplifier(antenna.Uhf, 3)) return false;
    const TListaCanali& channels = *antenna.Cell->SourceChannels;
    bool firstMulti = true;
    for (const TCanale* ch = channels.head; ch; ch = ch->next) {
        if (!engine.SelectChannelFilterAnyInputs(x, row, grid, family.Brand, family.Series, *ch, consumption))
            return false;
        ++(antenna.Vhf ? vhfFilters : uhfFilters);
        const TCella* placed = grid->CellAt(x, row);
        if (placed && placed->Inputs == AutoMixOneInput) {
            if (channels.Count() != 1) {
                engine.Reporter->Report(
                    AnsiString("I filtri attivi selezionati non hanno ingressi automiscelati in banda ") +
                    (antenna.Vhf ? "VHF" : "UHF") +
                    ". Le corrispondenti antenne devono ricevere un solo canale.");
                return false;
            }
        } else if (firstMulti) {
            if (!engine.PlaceTermination(x, row - 1, 2, grid)) return false;
            firstMulti = false;
        } else {
            UseJumper();
            engine.PlaceCableSegmentEx(x - 1, row - 1, 3);
            engine.PlaceCableSegmentEx(x, row - 1, 0);
        }
        x += ModuleStep;
    }
    UseAntennaCable();
    const TCella* last = grid->CellAt(x - 1, row);
    const int32_t antennaColumn = last && last->Inputs == AutoMixOneInput ? x - 2 : x - 1;
    const int32_t antennaRow = row - AntennaRise;
    if (!PlaceAntenna(antennaColumn, antennaRow, position)) return false;
    engine.DrawCableRun(antennaColumn, antennaRow + 1, antennaColumn, row - 1, -1, 0);
    return true;
}

bool TModularHeadEnd::PlaceClosingFinals() {
    if (!engine.TerrestrialFinals || amplifiers != 0 || !(Level(1, 4) > 0.0f)) return true;
    if (!PlaceFinal(x + 2, row + FinalDrop, 2, 3, 1, BandSlotBandIII, need, 0, 0)) return false;
    if (!PlaceFinal(x + 5, row + FinalDrop, 2, 1, 4, BandSlotTer, need + engine.BackOffTer, 0, 0))
        return false;
    JoinBypassPair(x);
    closing = true;
    ++amplifiers;
    supplyColumn = x + 6;
    return true;
}

bool TModularHeadEnd::DrawOutputBus() {
    const int32_t modules = vhfFilters + uhfFilters + amplifiers;
    const int32_t bus = row + BusDrop;
    UseJumper();
    const TCella* start = grid->CellAt(left + 1, row + 1);
    if (start && start->Inputs == AutoMixOneInput && start->Orientation != 0) {
        engine.PlaceCableSegmentEx(left + 1, bus, 2);
        engine.PlaceCableSegmentEx(left + 3, bus, 1);
        engine.PlaceCableSegment(left + 2, bus);
    } else {
        engine.PlaceCableSegmentEx(left + 2, bus, 2);
        engine.PlaceCableSegmentEx(left + 3, bus, 1);
        if (amplifiers == 0)
            LeaveAt(left, bus, 0);
        else if (!engine.PlaceTermination(left, bus, 0, grid))
            return false;
    }
    for (int32_t k = 2; k < modules; ++k) {
        engine.PlaceCableSegmentEx(ModuleStep * k + left - 1, bus, 2);
        engine.PlaceCableSegmentEx(ModuleStep * k + left, bus, 1);
    }
    if (!closing) return engine.PlaceTermination(ModuleStep * modules + left - 1, bus, 0, grid);
    engine.PlaceCableSegmentEx(x + 2, bus, 2);
    engine.PlaceCableSegmentEx(x + 4, bus, 1);
    engine.PlaceCableSegment(x + 3, bus);
    return true;
}

bool TModularHeadEnd::DrawAutomixing() {
    // The filters start right of the family's supplies.
    int32_t supplies = 0;
    for (TCella* s = engine.Components->head; s; s = s->NextInList)
        if (s->TypeCode == CodeAlimentatoreSF && s->Brand == family.Brand && s->Series == family.Series)
            supplies = std::max<int32_t>(supplies, s->Variant);
    x = left + ModuleStep * supplies + ModuleStep;
    TCanale scratch;
    scratch.freqLow = ScratchLow;
    scratch.freqHigh = ScratchHigh;
    for (int32_t a = 0; a < engine.AntennaCount; ++a)
        if (!PlaceAutomixingFilters(a, scratch)) return false;
    if (!PlaceMixingFinal()) return false;
    return engine.SelectPowerSupplies(left, row, grid, family.Brand, family.Series, 0, consumption);
}

bool TModularHeadEnd::PlaceAutomixingFilters(int32_t position, const TCanale& scratch) {
    const TAntennaEntry& antenna = engine.Antennas[position];
    UseAntennaCable();
    const int32_t antennaColumn = x + 1, antennaRow = row - AntennaRise;
    engine.DrawCableRun(x + 1, antennaRow + 1, x + 1, row - 1, -1, 0);
    const TListaCanali& channels = *antenna.Cell->SourceChannels;
    bool alone = false;
    if (channels.Count() == 1) {
        // A quiet look first: a family without a one-input filter for the
        // channel goes on with the scratch filter.
        const TReporterOff quiet(engine.Reporter);
        alone = engine.SelectChannelFilters(x, row, grid, family.Brand, family.Series, *channels.head,
                                            consumption, 1);
    }
    if (alone) {
        x += ModuleStep;
    } else {
        if (!engine.SelectChannelFilters(x, row, grid, family.Brand, family.Series, scratch, consumption, 1))
            return false;
        x += ModuleStep;
        for (const TCanale* ch = channels.head; ch; ch = ch->next) {
            if (!engine.SelectChannelFilters(x, row, grid, family.Brand, family.Series, *ch, consumption, 3))
                return false;
            x += ModuleStep;
        }
    }
    return PlaceAntenna(antennaColumn, antennaRow, position);
}

bool TModularHeadEnd::PlaceMixingFinal() {
    auto amplifier = std::make_unique<TAmplificatoreAt>(nullptr, 0, 0, x, row, 3, 1);
    amplifier->SelectFromLibrary(engine.Components->head, BandSlotTer, need + engine.BackOffTer, family.Brand,
                                 family.Series, BandMaskTer, BandMaskTer);
    amplifier->Variant = FinalMixingVariant;
    TCella* placed = engine.PlaceNew(std::move(amplifier), grid);
    if (!placed) return false;
    consumption += Draw(*placed);
    LeaveAt(x + 1, row + BusDrop, 0);
    return true;
}

}  // namespace

bool TCreaAuto::DesignModularHeadEnd(int32_t column, int32_t row, TGridData* grid) {
    if (Settings->Wideband) return true;
    const float need = EntryInputsTer < 2 ? RequiredLevelTer : 0.0f;
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
    TCella* jumperCell = FindJumper(Components->head, family.Brand, family.Series);
    if (!jumperCell && family.Variant == 0) {
        Reporter->Report("Non sono stati selezionati ponticelli adeguati alla centrale terrestre.");
        return false;
    }
    std::unique_ptr<TCella> jumper(jumperCell ? jumperCell->Clone() : nullptr);
    if (jumper) jumper->TypeCode = CodeCable;

    const int32_t wanted = AntennaChannelCount * ModuleStep + ChannelColumnsExtra;
    if (grid->Columns < wanted) grid->Resize(wanted, grid->Rows);
    if (MixedAntenna && family.H[1][0] > 0.0f) {
        Reporter->Report(
            "Vi sono antenne che ricevono sia canali vhf che canali uhf. Non è possibile costruire la "
            "centrale terrestre.");
        return false;
    }
    TModularHeadEnd headEnd(*this, grid, family, column, row, need, std::move(jumper));
    return family.Variant == 0 ? headEnd.DrawJumperLayout() : headEnd.DrawAutomixing();
}
