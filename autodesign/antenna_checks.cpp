// The terrestrial antennas of a design: their cells read from the libraries
// with the channels the user listed, the checks of those channels, the order
// the head end takes them in (VHF first), the preamplifier of a weak antenna,
// and the search for an order in which they fit the inputs of a wideband
// module.
#include <algorithm>

#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/cables.h"
#include "cells/library_cells.h"
#include "cells/sources.h"
#include "core/channel_list.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/grid.h"

namespace {

// Band slots below this carry VHF channels; the FM slot lets an antenna
// share an input beyond the second one.
constexpr int32_t FirstUhfSlot = 4;
constexpr int32_t FmSlot = 2;
constexpr float NoWeakChannel = 1000.0f;

// The design level of a channel: digital channels count with the options'
// analog-digital difference of their band.
double DesignLevel(const TCanale& c) { return double(c.levelMin) + c.LevelFromTable(); }

// Whether antenna entry j must come before entry i: VHF before UHF-only, and
// VHF-only before an antenna of both kinds.
bool GoesBefore(const TAntennaEntry& j, const TAntennaEntry& i) {
    return (j.Vhf && !i.Vhf) || (i.Vhf && i.Uhf && j.Vhf && !j.Uhf);
}

}  // namespace

bool TCreaAuto::CheckAntennaChannels() {
    for (auto& entry : Antennas) entry = TAntennaEntry{};
    AntennaCount = AntennaChannelCount = 0;
    coverageModule_ = nullptr;
    auto fail = [this](const AnsiString& message) {
        Report(message);
        return false;
    };

    for (int slot = 0; slot < AntennaSlots; ++slot) {
        TAntennaAutoProg& a = Settings->Antennas[slot];
        if (a.Channels.Count() == 0) continue;
        const AnsiString n = IntToStr(slot + 1);
        TAntennaEntry& entry = Antennas[AntennaCount];
        entry.Cell = std::make_unique<TAntenna>(nullptr, 0, 0, 0, 0);
        TCella* cell = entry.Cell.get();
        if (!Librerie || !ReadLibraryCell(*Librerie, a.Library, *cell, a.Code))
            return fail("L'antenna " + n + " non esiste.");
        a.FMin = cell->Attenuation->Get3(0, AntennaRangeColumn, AntennaLowestSlot);
        a.FMax = cell->Attenuation->Get3(0, AntennaRangeColumn, AntennaHighestSlot);
        if (!a.Plan) return fail("Manca la canalizzazione sull'antenna " + n + ".");

        TListaCanali& channels = *cell->SourceChannels;
        channels.Clear();
        for (const TCanale* c = a.Channels.head; c; c = c->next) {
            TCanale scratch(*c);
            // A channel whose level was emptied is designed at the default
            // channel level; the settings keep it empty.
            if (!IsRealLevel(scratch.levelMin))
                scratch.levelMin = scratch.levelMax = Settings->APDefaultSigCan;
            const float level = static_cast<float>(DesignLevel(scratch));
            entry.Lowest = std::min(entry.Lowest, level);
            entry.Highest = std::max(entry.Highest, level);
            if (scratch.freqLow < a.FMin || scratch.freqHigh > a.FMax)
                return fail("Canale " + scratch.name + " non gestito dall'antenna " + n + ".");
            channels.Insert(scratch);
            ++AntennaChannelCount;
        }
        ++AntennaCount;
    }
    if (AntennaChannelCount == 0) return fail("Non è stato selezionato alcun canale terrestre.");

    // Every channel of every antenna in one list, in frequency order.
    TListaCanali all;
    for (int32_t i = 0; i < AntennaCount; ++i) {
        TAntennaEntry& entry = Antennas[i];
        entry.Vhf = entry.Uhf = 0;
        std::fill(std::begin(entry.BandUse), std::end(entry.BandUse), uint8_t{0});
        for (const TCanale* c = entry.Cell->SourceChannels->head; c; c = c->next) {
            all.Insert(*c);
            if (c->band >= 0 && c->band < BandSlots) entry.BandUse[c->band] = 1;
            (c->band < FirstUhfSlot ? entry.Vhf : entry.Uhf) = 1;
        }
    }
    for (const TCanale* c = all.head; c && c->next; c = c->next)
        if (c->next->freqLow < c->freqHigh)
            return fail("Alcuni dei canali ricevuti dalle antenne terrestri sono sovrapposti.");

    // VHF antennas first: the last antenna after position i that must come
    // before it moves to i, the others shift up.
    for (int32_t i = 0; i + 1 < AntennaCount; ++i) {
        int32_t j = -1;
        for (int32_t k = i + 1; k < AntennaCount; ++k)
            if (GoesBefore(Antennas[k], Antennas[i])) j = k;
        if (j > i) std::rotate(Antennas.begin() + i, Antennas.begin() + j, Antennas.begin() + j + 1);
    }
    FirstUhfAntenna = AntennaCount;
    for (int32_t i = 0; i < AntennaCount; ++i)
        if (Antennas[i].Uhf) {
            FirstUhfAntenna = i;
            break;
        }
    MixedAntenna = FirstUhfAntenna < AntennaCount && Antennas[FirstUhfAntenna].Vhf;

    // Preamplifiers for antennas whose weakest channel is below the window.
    const double minimum = Settings->APMinSigPreAmpli, maximum = Settings->APMaxSigPreAmpli;
    for (int32_t i = 0; i < AntennaCount; ++i) {
        TAntennaEntry& entry = Antennas[i];
        const TListaCanali& channels = *entry.Cell->SourceChannels;
        double weakest = NoWeakChannel;
        for (const TCanale* c = channels.head; c; c = c->next) weakest = std::min(weakest, DesignLevel(*c));
        entry.Preamplifier = nullptr;
        entry.NeedsPreamplifier = weakest < minimum;
        if (!entry.NeedsPreamplifier) continue;
        double best = 0.0;
        for (TCella* candidate = Components->head; candidate; candidate = candidate->NextInList) {
            if (candidate->TypeCode != CodeAmplificatore || candidate->Inputs != 1 ||
                candidate->ThroughOutputs != 1 || !(candidate->Positions[0] & PositionMastFirst))
                continue;
            double worst = NoWeakChannel;
            for (const TCanale* c = channels.head; c && worst > 0.0; c = c->next) {
                const float gain = candidate->Attenuation->Get3(0, AmpGain, c->band);
                const double out = double(c->levelMin) + gain;
                const double most =
                    double(candidate->Attenuation->Get3(0, AmpMaxOutput, c->band)) - BackOffTerNF;
                if (!IsRealLevel(gain) || out < minimum || out > most || out > maximum)
                    worst = LevelNone;
                else
                    worst = std::min(worst, out);
            }
            if (worst > best) {
                best = worst;
                entry.Preamplifier = candidate;
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------- fitting

bool TCreaAuto::InputCoversBands(const uint8_t* bandUse, std::span<const float> values) {
    for (int32_t b = 0; b < BandSlots; ++b)
        if (bandUse[b] &&
            (static_cast<size_t>(b) >= values.size() || !(values[static_cast<size_t>(b)] >= 0.0f)))
            return false;
    return true;
}

void TCreaAuto::PrepareCoverage(TCella* module) {
    // Which input covers which antenna, read once through the module's own
    // rows (its gain at each band). A module with more inputs than rows in
    // its table (a damaged library entry) covers nothing.
    coverageModule_ = module;
    const int32_t rows = module->Attenuation->Rank() == 3 ? module->Attenuation->Size2() : 0;
    coverage_.assign(static_cast<size_t>(std::max(module->NumInputs, 0)), {});
    if (module->NumInputs > rows) return;
    for (int32_t input = 0; input < module->NumInputs; ++input) {
        std::array<float, BandSlots> values;
        for (int32_t b = 0; b < BandSlots; ++b) values[b] = module->Attenuation->Get3(input, WideGain, b);
        for (int32_t a = 0; a < AntennaCount; ++a)
            coverage_[input][a] = InputCoversBands(Antennas[a].BandUse, values);
    }
}

bool TCreaAuto::CanFitAntennas(TCella* module) {
    std::array<int32_t, AntennaSlots> order{}, inputs{};
    return FitAntennasToInputs(module, order, inputs);
}

bool TCreaAuto::FitAntennasToInputs(TCella* module, std::span<int32_t> order, std::span<int32_t> inputs) {
    const int32_t n =
        std::min<int32_t>(AntennaCount, static_cast<int32_t>(std::min(order.size(), inputs.size())));
    if (n <= 0 || !module || module->TypeCode != CodeTerrestre) return false;
    PrepareCoverage(module);
    for (int32_t i = 0; i < n; ++i) order[i] = i;
    return PermuteAntennas(module, order.first(n), inputs.first(n), n);
}

bool TCreaAuto::PermuteAntennas(TCella* module, std::span<int32_t> order, std::span<int32_t> inputs,
                                int32_t k) {
    if (k <= 0) return false;
    if (k == 1) return TryAntennaOrder(module, order, inputs);
    for (int32_t i = k - 1; i >= 0; --i) {
        std::swap(order[i], order[k - 1]);
        if (PermuteAntennas(module, order, inputs, k - 1)) return true;
        std::swap(order[i], order[k - 1]);
    }
    return false;
}

bool TCreaAuto::TryAntennaOrder(TCella* module, std::span<const int32_t> order, std::span<int32_t> inputs) {
    if (!module || module->TypeCode != CodeTerrestre) return false;
    if (module != coverageModule_) PrepareCoverage(module);
    const int32_t count = static_cast<int32_t>(coverage_.size());
    auto covers = [this, count](int32_t input, int32_t antenna) {
        return input >= 0 && input < count && antenna >= 0 && antenna < AntennaSlots &&
               coverage_[input][antenna];
    };
    std::fill(inputs.begin(), inputs.end(), -1);
    for (size_t p = 0; p < order.size(); ++p) {
        const int32_t a = order[p];
        int32_t input = p == 0 ? 0 : inputs[p - 1] + 1;
        while (input < count && !covers(input, a)) ++input;
        if (input < count) {
            inputs[p] = input;
            continue;
        }
        // Sharing the previous antenna's input; beyond the second antenna
        // only an antenna that uses the FM slot may.
        if (p == 0 || !covers(inputs[p - 1], a)) return false;
        if (p > 1 && !(a >= 0 && a < AntennaSlots && Antennas[a].BandUse[FmSlot])) return false;
        inputs[p] = inputs[p - 1];
    }
    return true;
}

// ---------------------------------------------------------------- placing

bool TCreaAuto::PlaceHeadEndModule(int32_t column, int32_t row, int32_t position, TGridData* grid) {
    if (position < 0 || position >= AntennaCount || !grid) return false;
    TAntennaEntry& entry = Antennas[position];
    if (!entry.Cell) return false;
    entry.Cell->Column = column;
    entry.Cell->Row = row;
    if (entry.Preamplifier) {
        entry.Cell->Row = row - 2;
        if (std::unique_ptr<TCella> preamplifier{entry.Preamplifier->Clone()}) {
            preamplifier->Column = column;
            preamplifier->Row = row;
            Place(grid, std::move(preamplifier));
        }
        CableTemplate->Owner = grid;
        if (PlaceCableSegmentV(column, row - 1))
            if (auto* segment = dynamic_cast<TNCavo*>(grid->CellAt(column, row - 1)))
                segment->SetLength(Settings->APLungCavoComp);
    }
    entry.Cell = Place(grid, std::move(entry.Cell));
    return entry.Cell == nullptr;
}
