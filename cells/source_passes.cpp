// The channel pass at the signal sources: the antenna gives the channels
// listed for it, the converter on each output either the five satellite
// bands or the channels entered for that output. Bit 0x200 of the flag word
// silences their messages.
#include <cmath>
#include <vector>

#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "cells/sources.h"
#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/reporter.h"

namespace {

// A received channel stands this far above its noise floor.
constexpr double AntennaFloorMargin = 2.5;
// Satellite intermediate frequencies end here (MHz).
constexpr float SatelliteIFEnd = 2400.0f;
constexpr const char* SatBandsPlan = "BandeSat";
constexpr const char* SatBandLabel = "Banda satellitare";

void Tell(bool speak, const AnsiString& text) {
    if (speak && GestoreErrori) GestoreErrori->Report(text);
}

float LinearGain(float db) { return static_cast<float>(std::pow(10.0, 0.1 * db)); }

int32_t BandOfChannel(const TCanale& c) {
    return SistemaBandeCorrente ? SistemaBandeCorrente->BandOf(c.CentreFrequency()) : -1;
}

}  // namespace

void TAntenna::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    TListaCanali* out = OutputList(*this, 0);
    if (!out) return;
    TListaCanali::AddAll(*SourceChannels, *out);
    const bool speak = (flags & ChannelFlagQuiet) == 0;
    const AnsiString code = GetShortCode();
    const float lowest = Attenuation->Get3(0, AntennaRangeColumn, AntennaLowestSlot);
    const float highest = Attenuation->Get3(0, AntennaRangeColumn, AntennaHighestSlot);
    std::vector<TCanale*> dropped;
    for (TCanale* c = out->head; c; c = c->next) {
        if (c->levelMin < 0.0f) {
            Tell(speak, code + ": Il canale " + c->name + " non è specificato completamente.");
            dropped.push_back(c);
            continue;
        }
        c->levelMax = c->levelMin;
        c->gainMin = c->gainMax = 1.0f;
        c->noiseMin = c->noiseMax = 0.0f;
        const auto floor = static_cast<float>(static_cast<double>(c->levelMin) - AntennaFloorMargin);
        c->floorMin = c->floorMax = c->sourceCNMin = c->sourceCNMax = floor;
        c->sources = code;
        if (c->freqLow < lowest || c->freqHigh > highest)
            Tell(speak, code + ": Il canale " + c->name + " non è gestito dall'antenna.");
    }
    for (TCanale* c : dropped) out->Remove(c);
}

void TSat::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    const bool speak = (flags & ChannelFlagQuiet) == 0;
    const AnsiString code = GetShortCode();
    for (int32_t o = 0; o < NumThroughOutputs; ++o) {
        if (UseSatBands[o])
            BandChannels(o, speak, code);
        else
            OwnChannels(o, speak, code);
    }
}

// A missing converter gain leaves this output without channels; the other
// outputs keep theirs.
void TSat::OwnChannels(int32_t o, bool speak, const AnsiString& code) {
    TListaCanali* out = OutputList(*this, o);
    if (!out) return;
    TListaCanali::AddAll(*OutputChannels[o], *out);
    const float gain = Attenuation->Get3(o, SatGainColumn, SatGainSlot);
    std::vector<TCanale*> dropped;
    for (TCanale* c = out->head; c; c = c->next) {
        if (c->freqLow < 0.0f || c->freqHigh < 0.0f || c->levelMin < 0.0f || c->floorMin < 0.0f) {
            Tell(speak, code + ": Il canale " + c->name + " non è specificato completamente.");
            dropped.push_back(c);
            continue;
        }
        c->levelMax = c->levelMin;
        if (gain < 0.0f) {
            Tell(speak, code + ": Il guadagno non è stato specificato.");
            out->Clear();
            return;
        }
        c->gainMin = c->gainMax = LinearGain(gain);
        c->noiseMin = c->noiseMax = 0.0f;
        c->floorMax = c->sourceCNMin = c->sourceCNMax = c->floorMin;
        c->sources = code;
        c->band = BandOfChannel(*c);
        if (c->freqLow < SatelliteIFStart || c->freqHigh > SatelliteIFEnd)
            Tell(speak, code + ": Il canale " + c->name + " non è su frequenze satellitari.");
    }
    for (TCanale* c : dropped) out->Remove(c);
}

void TSat::BandChannels(int32_t o, bool speak, const AnsiString& code) {
    TListaCanali* out = OutputList(*this, o);
    const TCanalizzazione* plan = Canalizzazioni ? Canalizzazioni->Find(SatBandsPlan) : nullptr;
    if (!out || !plan) return;
    const float gain = Attenuation->Get3(o, SatGainColumn, SatGainSlot);
    for (int32_t k = 1; k <= SatBands; ++k) {
        const int32_t slot = SatGainSlot + k;
        const int row = plan->IndexOf("Sat" + IntToStr(k));
        if (row < 0) continue;
        TCanale c;
        plan->SetChannel(c, row);
        c.band = BandOfChannel(c);
        c.label = SatBandLabel;
        const float level = Attenuation->Get3(o, SatLevelColumn, slot);
        float cn = Attenuation->Get3(o, SatCarrierNoiseColumn, slot);
        if (cn == LevelBlocked) cn = 0.0f;
        c.floorMin = c.floorMax = c.sourceCNMin = c.sourceCNMax = cn;
        if (gain < 0.0f) {
            Tell(speak, code + ": Il guadagno non è stato specificato.");
            return;
        }
        c.gainMin = c.gainMax = LinearGain(gain);
        c.noiseMin = c.noiseMax = 0.0f;
        c.sources = code;
        if (level < 0.0f && level != LevelBlocked) {
            const TSistemaBande* system = SistemaBandeCorrente;
            const AnsiString band = system && slot < static_cast<int32_t>(system->bands.size())
                                        ? system->bands[static_cast<size_t>(slot)].bandName
                                        : AnsiString();
            Tell(speak, code + ": Errore sui dati in banda " + band + " all'uscita " + IntToStr(o + 1) + ".");
        }
        if (IsRealLevel(level) && IsRealLevel(gain)) {
            c.levelMin = c.levelMax = level;
            out->Insert(c);
        }
    }
}
