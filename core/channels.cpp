#include "core/channels.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/record_versions.h"
#include "platform/codec.h"

namespace {

// A power ratio for a figure in dB; kept as a float like the figures it scales.
// The stages of a pass apply the same few figures to channel after channel:
// the last one's ratio is kept.
float PowerRatio(double db) {
    thread_local double lastDb = 0.0;
    thread_local float lastRatio = 1.0f;
    if (db != lastDb) {
        lastRatio = static_cast<float>(std::pow(10.0, 0.1 * db));
        lastDb = db;
    }
    return lastRatio;
}

// Items of a source list, appended to items up to the limit of a list.
constexpr size_t MaxSourceItems = 10;

void SplitSources(const AnsiString& text, std::vector<AnsiString>& items) {
    size_t pos = 0;
    while (pos < text.size() && items.size() < MaxSourceItems) {
        const size_t comma = text.find(',', pos);
        if (comma == AnsiString::npos) {
            items.push_back(text.substr(pos));
            break;
        }
        items.push_back(text.substr(pos, comma - pos));
        pos = comma + 2;  // items are joined by ", "
    }
}

// Drops every item that occurs again later (its last occurrence keeps its
// place), joins the rest with ", " and cuts to the size of the field.
AnsiString JoinSources(const std::vector<AnsiString>& items) {
    AnsiString joined;
    for (size_t i = 0; i < items.size(); ++i) {
        if (std::find(items.begin() + static_cast<long>(i) + 1, items.end(), items[i]) != items.end())
            continue;
        if (!joined.empty()) joined += ", ";
        joined += items[i];
    }
    return Utf8Left(joined, ChannelSourcesSize - 1);
}

}  // namespace

TCanale* TCanale::Clone(const TCanale& source) {
    auto* c = new TCanale;
    c->Assign(source);
    return c;
}

void TCanale::AssignIdentity(const TCanale& source) {
    name = source.name;
    label = source.label;
    sources = source.sources;
    band = source.band;
    polarization = source.polarization;
    modulation = source.modulation;
    signalType = source.signalType;
    plan = source.plan;
    freqLow = source.freqLow;
    freqHigh = source.freqHigh;
}

void TCanale::Assign(const TCanale& source) {
    AssignIdentity(source);
    levelMin = source.levelMin;
    levelMax = source.levelMax;
    gainMin = source.gainMin;
    gainMax = source.gainMax;
    noiseMin = source.noiseMin;
    noiseMax = source.noiseMax;
    floorMin = source.floorMin;
    floorMax = source.floorMax;
    sourceCNMin = source.sourceCNMin;
    sourceCNMax = source.sourceCNMax;
}

void TCanale::Attenuate(float db) {
    if (db == 0.0f) return;
    levelMin = static_cast<float>(std::max(static_cast<double>(levelMin) - db, 0.0));
    levelMax = static_cast<float>(std::max(static_cast<double>(levelMax) - db, 0.0));
    floorMin = std::min(floorMin, levelMin);
    floorMax = std::min(floorMax, levelMax);
    // A loss L adds (L - 1) / G of noise referred to the input, G the gain in
    // front of it; the smallest sum goes with the largest gain.
    const double loss = PowerRatio(db);
    const double gMin = gainMin;
    const double gMax = gainMax;
    noiseMin = static_cast<float>(noiseMin + (loss - 1.0) / gMax);
    noiseMax = static_cast<float>(noiseMax + (loss - 1.0) / gMin);
    gainMin = static_cast<float>(gMin / loss);
    gainMax = static_cast<float>(gMax / loss);
}

void TCanale::Amplify(float gainDb, float noiseFigureDb) {
    if (gainDb == 0.0f && noiseFigureDb == 0.0f) return;
    levelMin = static_cast<float>(static_cast<double>(levelMin) + gainDb);
    levelMax = static_cast<float>(static_cast<double>(levelMax) + gainDb);
    const double factor = PowerRatio(noiseFigureDb);
    const double gMin = gainMin;
    const double gMax = gainMax;
    noiseMin = static_cast<float>(noiseMin + (factor - 1.0) / gMax);
    noiseMax = static_cast<float>(noiseMax + (factor - 1.0) / gMin);
    const double g = PowerRatio(gainDb);
    gainMin = static_cast<float>(gMin * g);
    gainMax = static_cast<float>(gMax * g);
}

void TCanale::AssignThroughStage(const TCanale& source, float attIn, float gain, float attOut,
                                 float noiseFigure) {
    Assign(source);
    Attenuate(attIn);
    Amplify(gain, noiseFigure);
    Attenuate(attOut);
}

void TCanale::AssignThroughCAG(const TCanale& source, float outLevel, float gain, float attOut,
                               float noiseFigure) {
    // The regulator brings both bounds to the stage input level outLevel - gain:
    // the lower bounds follow the lower level, the upper bounds the upper level.
    const double stageInput = static_cast<double>(outLevel) - gain;
    const float toLower = static_cast<float>(source.levelMin - stageInput);
    const float toUpper = static_cast<float>(source.levelMax - stageInput);
    Assign(source);
    Attenuate(toLower);
    const float keptLevelMin = levelMin;
    const float keptNoiseMin = noiseMin;
    const float keptGainMax = gainMax;
    Assign(source);
    Attenuate(toUpper);
    levelMin = keptLevelMin;
    noiseMin = keptNoiseMin;
    gainMax = keptGainMax;
    Amplify(gain, noiseFigure);
    Attenuate(attOut);
}

void TCanale::MergeRanges(const TCanale& other) {
    MergeSources(other);
    levelMin = std::min(levelMin, other.levelMin);
    levelMax = std::max(levelMax, other.levelMax);
    floorMin = std::min(floorMin, other.floorMin);
    floorMax = std::max(floorMax, other.floorMax);
    sourceCNMin = std::min(sourceCNMin, other.sourceCNMin);
    sourceCNMax = std::max(sourceCNMax, other.sourceCNMax);
    noiseMin = std::min(noiseMin, other.noiseMin);
    noiseMax = std::max(noiseMax, other.noiseMax);
    gainMin = std::min(gainMin, other.gainMin);
    gainMax = std::max(gainMax, other.gainMax);
}

int TCanale::CompareRange(const TCanale* a, const TCanale* b) {
    if (!a && !b) return 0;
    if (!a) return 4;
    if (!b) return -4;
    const float aL = a->freqLow, aH = a->freqHigh, bL = b->freqLow, bH = b->freqHigh;
    if (aL < bL) {
        if (aH <= bL) return -4;
        if (bH > aH) return -3;
        return -2;
    }
    if (bL < aL) {
        if (bH < aL) return 3;
        if (aH > bH) return 3;
        return 2;
    }
    if (aH != bH) return bH >= aH ? 2 : -2;
    if (a->levelMin == b->levelMin) return 0;
    return b->levelMin > a->levelMin ? -1 : 1;
}

float TCanale::LevelAtFrequency(const float* levels, float frequency) {
    const TSistemaBande* system = SistemaBandeCorrente;
    if (!levels || !system || system->bandCount <= 0) return LevelNone;
    const int i = std::clamp(system->BandOf(frequency), 0, BandSlots - 1);
    int lo = i;
    while (lo >= 0 && levels[lo] == LevelRepeat) --lo;
    int hi = i;
    while (hi < BandSlots && levels[hi] == LevelRepeat) ++hi;
    if (lo < 0 || hi == BandSlots) return LevelNone;
    if (lo == hi) return levels[lo];
    if (levels[lo] <= LevelNone) return levels[lo];
    if (levels[hi] <= LevelNone) return levels[hi];
    // A slot past the bands of the system has no reference frequency to
    // interpolate towards: the value carries on from the left.
    if (hi >= system->bandCount) return levels[lo];
    const double rLo = system->bands[lo].reference;
    const double rHi = system->bands[hi].reference;
    return static_cast<float>(levels[lo] + (static_cast<double>(levels[hi]) - levels[lo]) / (rHi - rLo) *
                                               (frequency - rLo));
}

float TCanale::LevelFromTable() const {
    if (signalType != SignalDigital || band < 0 || band >= BandSlots || !Opzioni) return 0.0f;
    return Opzioni->limits[band][LimitDiffAnDig];
}

AnsiString TCanale::ModulationName() const { return ModulationName(modulation); }

AnsiString TCanale::ModulationName(char modulation) {
    switch (modulation) {
    case ModulationAM: return "AM";
    case ModulationCOFDM: return "COFDM";
    case ModulationFM: return "FM";
    case ModulationQPSK: return "QPSK";
    case ModulationQAM: return "QAM";
    case ModulationFMAM: return "FM/AM";
    default: return "";
    }
}

void TCanale::AddSources(const AnsiString& items, const AnsiString& prefix) {
    std::vector<AnsiString> all;
    SplitSources(sources, all);
    std::vector<AnsiString> added;
    SplitSources(items, added);
    for (const AnsiString& x : added) {
        if (all.size() >= MaxSourceItems) break;
        all.push_back(prefix + "[" + x + "]");
    }
    sources = JoinSources(all);
}

void TCanale::MergeSources(const TCanale& other) {
    std::vector<AnsiString> all;
    SplitSources(sources, all);
    SplitSources(other.sources, all);
    sources = JoinSources(all);
}

void TCanale::Write(TStream& s, int /*version*/) const {
    chunked::WriteString(s, name, ChannelNameSize);
    chunked::WriteString(s, label, ChannelLabelSize);
    WriteF32(s, levelMin);
    WriteU8(s, static_cast<uint8_t>(signalType));
    WriteU8(s, static_cast<uint8_t>(polarization));
    WriteU8(s, static_cast<uint8_t>(modulation));
    WriteF32(s, freqLow);
    WriteF32(s, freqHigh);
    WriteF32(s, floorMin);
    WritePlanReference(s, plan);
}

void TCanale::Read(TStream& s, int version) {
    name = chunked::ReadString(s, ChannelNameSize);
    label = chunked::ReadString(s, ChannelLabelSize);
    levelMin = ReadF32(s);
    signalType = static_cast<char>(ReadU8(s));
    polarization = static_cast<char>(ReadU8(s));
    modulation = static_cast<char>(ReadU8(s));
    freqLow = ReadF32(s);
    freqHigh = ReadF32(s);
    floorMin = ReadF32(s);
    plan = ReadPlanReference(s);

    if (version < V50000) {
        levelMin = channel_legacy::OldSentinel(levelMin);
        freqLow = channel_legacy::OldSentinel(freqLow);
        freqHigh = channel_legacy::OldSentinel(freqHigh);
        floorMin = channel_legacy::OldSentinel(floorMin);
    }
    if (version < V50100) signalType = SignalAnalog;
    if (version <= V50100) modulation = channel_legacy::ModulationFor(freqLow, signalType);
}

namespace channel_legacy {

float OldSentinel(float value) {
    if (value > -100.0f && value < 0.0f) return static_cast<float>(static_cast<double>(value) - 500000.0);
    return value;
}

char ModulationFor(float freqLow, char signalType) {
    const bool digital = signalType == SignalDigital;
    if (freqLow >= SatelliteIFStart) return digital ? ModulationQPSK : ModulationFM;
    return digital ? ModulationCOFDM : ModulationFMAM;
}

}  // namespace channel_legacy
