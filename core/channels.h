#pragma once
// One television or radio channel on its way from a source (antenna,
// satellite source, modulator) through the installation: its identity and
// its running figures along the path. Every stage changes a channel only
// through Attenuate and Amplify; the channel lists build their stage passes
// from them.
#include <cstdint>

#include "core/levels.h"
#include "platform/classes.h"

class TCanalizzazione;

// Modulation class letters.
constexpr char ModulationAM = 'a';     // default of a new channel
constexpr char ModulationCOFDM = 'd';  // digital, below SatelliteIFStart
constexpr char ModulationFM = 'f';     // analog, SatelliteIFStart and above
constexpr char ModulationQPSK = 'k';   // digital, SatelliteIFStart and above
constexpr char ModulationQAM = 'm';
constexpr char ModulationFMAM = 't';  // analog, below SatelliteIFStart

constexpr char SignalAnalog = 'a';
constexpr char SignalDigital = 'd';
constexpr char PolarizationHorizontal = 'o';
constexpr char PolarizationVertical = 'v';

// Satellite intermediate frequencies start here (MHz); below lie the
// terrestrial bands.
constexpr float SatelliteIFStart = 950.0f;

// Field sizes of a channel, terminator included (at most size - 1 characters).
constexpr int ChannelNameSize = 20;
constexpr int ChannelLabelSize = 21;
constexpr int ChannelSourcesSize = 21;

class TCanale {
public:
    TCanale() = default;
    // A copy is a channel of no list: the list link is never copied.
    TCanale(const TCanale& source) { Assign(source); }
    TCanale& operator=(const TCanale& source) {
        if (this != &source) Assign(source);
        return *this;
    }

    // A new channel with the data of source; the caller owns it.
    static TCanale* Clone(const TCanale& source);
    // Name, label, sources, band, polarization, modulation, signal type,
    // plan and edges.
    void AssignIdentity(const TCanale& source);
    // The identity and every running figure; never the list link.
    void Assign(const TCanale& source);

    // The two primitives of every stage (dB). Levels never fall below 0 dBuV
    // through an attenuation; an amplification does not clamp.
    void Attenuate(float db);
    void Amplify(float gainDb, float noiseFigureDb);

    // source through an input attenuation, a gain with its noise figure and
    // an output attenuation, in this order.
    void AssignThroughStage(const TCanale& source, float attIn, float gain, float attOut, float noiseFigure);
    // source through a stage with automatic gain control that brings every
    // channel to outLevel before attOut.
    void AssignThroughCAG(const TCanale& source, float outLevel, float gain, float attOut, float noiseFigure);
    // Widens every window to hold other's too and merges its source list.
    void MergeRanges(const TCanale& other);

    // Order code of two channels, either may be absent: a positive result
    // means b sorts before a; -1, 0 and 1 mean the same frequency range.
    static int CompareRange(const TCanale* a, const TCanale* b);
    // A level for a frequency from a per-band vector of the current band
    // system, interpolating over LevelRepeat slots.
    static float LevelAtFrequency(const float* levels, float frequency);
    // The level a digital channel stands above or below an analog one in its
    // band ("DiffAnDig" of the options); 0 for an analog channel.
    float LevelFromTable() const;
    AnsiString ModulationName() const;
    static AnsiString ModulationName(char modulation);

    // Source list: items joined by ", ". AddSources appends every item of
    // items as prefix + "[" + item + "]"; MergeSources appends other's items.
    void AddSources(const AnsiString& items, const AnsiString& prefix);
    void MergeSources(const TCanale& other);

    // The record on file. Read raises EReadError when the stream ends inside
    // the record; a plan reference that names no known plan leaves no plan.
    void Read(TStream& s, int version);
    void Write(TStream& s, int version) const;

    double CentreFrequency() const { return (static_cast<double>(freqHigh) + freqLow) * 0.5; }

    AnsiString name;     // at most ChannelNameSize - 1 characters
    AnsiString label;    // programme or station, at most ChannelLabelSize - 1 characters
    AnsiString sources;  // where the channel came from, items joined by ", "
    int32_t band = -1;   // band slot in the current band system; -1 until placed
    char polarization = PolarizationHorizontal;
    char signalType = SignalAnalog;
    char modulation = ModulationAM;
    TCanalizzazione* plan = nullptr;               // not owned
    float levelMin = 0.0f, levelMax = 0.0f;        // dBuV
    float gainMin = 1.0f, gainMax = 1.0f;          // cumulative linear power gain
    float noiseMin = 0.0f, noiseMax = 0.0f;        // input-referred noise sum (Friis)
    float floorMin = 0.0f, floorMax = 0.0f;        // lowest level met on the path
    float sourceCNMin = 0.0f, sourceCNMax = 0.0f;  // carrier-to-noise ratio at the source, dB
    float freqLow = 0.0f, freqHigh = 0.0f;         // MHz
    TCanale* next = nullptr;                       // next channel of the owning list
};

// Conversions of channel records written by older versions of the program.
namespace channel_legacy {
// Before 50000 the sentinels were stored as -1 ... -8.
float OldSentinel(float value);
// The modulation class older files did not store.
char ModulationFor(float freqLow, char signalType);
}  // namespace channel_legacy
