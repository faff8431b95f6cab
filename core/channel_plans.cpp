#include "core/channel_plans.h"

#include <algorithm>

#include "core/channels.h"
#include "core/file.h"
#include "core/globals.h"
#include "platform/codec.h"

TCanalizzazione::TCanalizzazione(const AnsiString& name, int32_t capacity)
    : rows(static_cast<size_t>(std::max(capacity, 0))),
      capacity(std::max(capacity, 0)),
      name(Utf8Left(name, PlanNameSize - 1)) {}

void TCanalizzazione::AddRow(const AnsiString& channelName, float lowEdge, float highEdge,
                             float visionCarrier, float soundCarrier, char signalType, char modulation,
                             char polarization, const AnsiString& satelliteName) {
    if (count >= capacity) return;
    TDatiCanalizzazione& row = rows[static_cast<size_t>(count)];
    row.channelName = channelName;
    row.lowEdge = lowEdge;
    row.highEdge = highEdge;
    row.visionCarrier = visionCarrier;
    row.soundCarrier = soundCarrier;
    row.signalType = signalType;
    row.modulation = modulation;
    row.polarization = polarization;
    row.satelliteName = satelliteName;
    ++count;
}

bool TCanalizzazione::SetChannel(TCanale& channel, int i) const {
    if (i < 0 || i >= count) return false;
    const TDatiCanalizzazione& row = rows[static_cast<size_t>(i)];
    channel.plan = const_cast<TCanalizzazione*>(this);
    channel.name = Utf8Left(row.channelName, ChannelNameSize - 1);
    channel.signalType = row.signalType;
    channel.polarization = row.polarization;
    channel.modulation = row.modulation;
    channel.freqLow = row.lowEdge;
    channel.freqHigh = row.highEdge;
    return true;
}

int TCanalizzazione::IndexOf(const AnsiString& text) const {
    for (int i = 0; i < count; ++i)
        if (rows[static_cast<size_t>(i)].channelName == text) return i;
    return -1;
}

int TCanalizzazione::IndexOfRange(float f1, float f2) const { return IndexOfRangeFrom(f1, f2, -1); }

int TCanalizzazione::IndexOfRangeFrom(float f1, float f2, int after) const {
    for (int i = std::max(after + 1, 0); i < count; ++i) {
        const TDatiCanalizzazione& row = rows[static_cast<size_t>(i)];
        if (row.lowEdge < f2 && row.highEdge > f1) return i;
    }
    return -1;
}

namespace {

// Terrestrial rows: analog, FM/AM, horizontal, carriers at the usual
// offsets from the lower edge unless given.
constexpr float VisionOffset = 1.25f;
constexpr float SoundOffset = 6.75f;

struct TerrestrialRow {
    const char* name;
    float low;
    float high;
    float vision = 0.0f;  // 0: low + VisionOffset
    float sound = 0.0f;   // 0: low + SoundOffset
    char modulation = ModulationFMAM;
};

void Add(TCanalizzazione& plan, const TerrestrialRow& r) {
    const float vision = r.vision != 0.0f ? r.vision : r.low + VisionOffset;
    const float sound = r.sound != 0.0f ? r.sound : r.low + SoundOffset;
    plan.AddRow(r.name, r.low, r.high, vision, sound, SignalAnalog, r.modulation, PolarizationHorizontal, "");
}

// A run of rows named prefix + first ... prefix + last, each width MHz wide,
// the first starting at low.
void AddRun(TCanalizzazione& plan, const char* prefix, int first, int last, float low, float width) {
    for (int n = first; n <= last; ++n, low += width) {
        const AnsiString name = AnsiString(prefix) + IntToStr(n);
        Add(plan, {name.c_str(), low, low + width});
    }
}

// The band III, hyperband and UHF rows shared by the European plans, from
// 237 MHz on (the row there has its sound carrier 10 MHz higher).
void AddUpperRows(TCanalizzazione& plan, const char* s12Name) {
    Add(plan, {s12Name, 237, 244, 0, 253.75f});
    AddRun(plan, "S", 13, 20, 244, 7);
    AddRun(plan, "S", 21, 41, 302, 8);
    AddRun(plan, "", 21, 69, 470, 8);
}

std::unique_ptr<TCanalizzazione> BuildItalia() {
    auto p = std::make_unique<TCanalizzazione>("Italia", 91);
    p->id = PlanIdItalia;
    p->terrestrial = 1;
    Add(*p, {"A", 52.5f, 59.5f});
    Add(*p, {"B", 61, 68});
    Add(*p, {"C", 81, 88});
    Add(*p, {"FM", 88, 108, 98, 98, ModulationFM});
    Add(*p, {"D", 174, 181});
    Add(*p, {"E", 182.5f, 189.5f});
    Add(*p, {"F", 191, 198});
    Add(*p, {"G", 200, 207});
    Add(*p, {"H", 209, 216});
    Add(*p, {"H1", 216, 223, 217.5f});
    Add(*p, {"H2", 223, 230});
    Add(*p, {"S11", 230, 237});
    AddUpperRows(*p, "S12");
    return p;
}

std::unique_ptr<TCanalizzazione> BuildEuropa() {
    auto p = std::make_unique<TCanalizzazione>("Europa", 100);
    p->id = PlanIdEuropa;
    p->terrestrial = 1;
    AddRun(*p, "", 2, 4, 47, 7);
    AddRun(*p, "S", 3, 10, 118, 7);
    Add(*p, {"FM", 88, 108, 98, 98});
    AddRun(*p, "", 5, 10, 174, 7);
    Add(*p, {"11", 216, 223, 217.5f});
    Add(*p, {"12", 223, 230});
    Add(*p, {"S11", 230, 237});
    AddUpperRows(*p, "S12");
    return p;
}

std::unique_ptr<TCanalizzazione> BuildAustralia() {
    auto p = std::make_unique<TCanalizzazione>("Australia", 109);
    p->id = PlanIdAustralia;
    p->terrestrial = 1;
    Add(*p, {"0", 45, 52});
    AddRun(*p, "", 1, 2, 56, 7);
    Add(*p, {"FM", 88, 108, 98, 98});
    AddRun(*p, "AS", 1, 8, 108, 7);
    AddRun(*p, "", 6, 9, 174, 7);
    AddRun(*p, "", 10, 11, 208, 7);
    Add(*p, {"12", 223, 230});
    Add(*p, {"AS13", 230, 237});
    Add(*p, {"AS14", 237, 244, 0, 253.75f});
    AddRun(*p, "AS", 15, 50, 244, 7);
    AddRun(*p, "", 24, 75, 498, 7);
    return p;
}

// The five satellite intermediate-frequency bands, each one wide channel.
std::unique_ptr<TCanalizzazione> BuildBandeSat() {
    auto p = std::make_unique<TCanalizzazione>("BandeSat", 5);
    p->id = PlanIdBandeSat;
    struct {
        const char* name;
        float low, high, carrier;
    } rows[] = {
        {"Sat1", 950, 1150, 950},   {"Sat2", 1150, 1550, 1350}, {"Sat3", 1550, 1950, 1750},
        {"Sat4", 1950, 2275, 2150}, {"Sat5", 2275, 2400, 2400},
    };
    for (const auto& r : rows)
        p->AddRow(r.name, r.low, r.high, r.carrier, r.carrier, SignalDigital, ModulationFM,
                  PolarizationVertical, "");
    return p;
}

// Transponders of the satellite position 13 degrees east.
std::unique_ptr<TCanalizzazione> BuildEutelsat13E() {
    auto p = std::make_unique<TCanalizzazione>("Eutelsat 13E", 11);
    p->id = PlanIdEutelsat13E;
    p->satellite = 1;
    struct {
        const char* name;
        float low, high, vision;
        char polarization;
        const char* satellite;
    } rows[] = {
        {"110", 10702, 10736, 10719.18f, PolarizationVertical, "Hot Bird 3"},
        {"111", 10703, 10751, 10727.13f, PolarizationHorizontal, "Hot Bird 4"},
        {"112", 10740, 10774, 10757.54f, PolarizationVertical, "Hot Bird 4"},
        {"113", 10757, 10793, 10775.08f, PolarizationHorizontal, "Hot Bird 4"},
        {"114", 10778, 10802, 10795.90f, PolarizationVertical, "Hot Bird 4"},
        {"115", 10797, 10833, 10815.08f, PolarizationHorizontal, "Hot Bird 4"},
        {"116", 10817, 10851, 10834.26f, PolarizationVertical, "Hot Bird 4"},
        {"117", 10835, 10871, 10853.44f, PolarizationHorizontal, "Hot Bird 4"},
        {"118", 10855, 10889, 10872.62f, PolarizationVertical, "Hot Bird 4"},
        {"119", 10873, 10909, 10891.80f, PolarizationHorizontal, "Hot Bird 4"},
        {"120", 10893, 10927, 10910.98f, PolarizationVertical, "Hot Bird 4"},
    };
    for (const auto& r : rows)
        p->AddRow(r.name, r.low, r.high, r.vision, 0.0f, SignalDigital, ModulationQPSK, r.polarization,
                  r.satellite);
    return p;
}

}  // namespace

TCanalizzazioni::TCanalizzazioni() {
    Append(BuildItalia());
    Append(BuildEuropa());
    Append(BuildAustralia());
    Append(BuildBandeSat());
    Append(BuildEutelsat13E());
}

TCanalizzazioni::~TCanalizzazioni() = default;

void TCanalizzazioni::Append(std::unique_ptr<TCanalizzazione> plan) {
    plan->next = nullptr;
    (plans_.empty() ? head : plans_.back()->next) = plan.get();
    plans_.push_back(std::move(plan));
}

TCanalizzazione* TCanalizzazioni::Find(const AnsiString& name) const {
    for (TCanalizzazione* p = head; p; p = p->next)
        if (p->name == name) return p;
    return nullptr;
}

TCanalizzazione* TCanalizzazioni::FindById(char id) const {
    for (TCanalizzazione* p = head; p; p = p->next)
        if (p->id == id) return p;
    return nullptr;
}

void WritePlanReference(TStream& s, const TCanalizzazione* plan) {
    if (!plan) {
        chunked::WriteString(s, "", PlanNameSize);
        return;
    }
    // An id below PlanIdFirst would read back as the length of a name: such a
    // plan is written by name.
    if (plan->id != 0 && static_cast<int8_t>(plan->id) >= PlanIdFirst) {
        WriteU8(s, static_cast<uint8_t>(plan->id));
        return;
    }
    chunked::WriteString(s, plan->name, PlanNameSize);
}

TCanalizzazione* ReadPlanReference(TStream& s) {
    const int8_t first = ReadI8(s);
    if (first >= PlanIdFirst)
        return Canalizzazioni ? Canalizzazioni->FindById(static_cast<char>(first)) : nullptr;
    s.Seek(-1, soFromCurrent);
    const AnsiString name = chunked::ReadString(s, PlanNameSize);
    if (name.empty() || !Canalizzazioni) return nullptr;
    return Canalizzazioni->Find(name);
}

void FillChannelPlanNames(TStringList& list, bool terrestrial, bool satellite) {
    list.Clear();
    if (!Canalizzazioni) return;
    for (const TCanalizzazione* p = Canalizzazioni->head; p; p = p->next)
        if ((terrestrial && p->terrestrial) || (satellite && p->satellite)) list.Add(p->name);
}
