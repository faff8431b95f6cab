#include "core/filter_modules.h"

#include <algorithm>

#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/channel_plans.h"
#include "core/channels.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/record_refs.h"
#include "core/record_versions.h"
#include "core/reporter.h"

namespace {

constexpr int32_t VersionWithTableHeaders = V60000;
constexpr uint8_t WrittenSlotCount = 3;
// Chunked-string field sizes (characters kept + 1).
constexpr int SlotNameField = ModuleSlotNameChars + 1;
constexpr int SlotLabelField = ModuleSlotLabelChars + 1;
constexpr int ModuleSourcesChars = 20;
// A noise figure the converter and the modulator take when none is given.
constexpr float DefaultNoiseFigure = 2.5f;
// An AGC filter without an upper input limit takes every level below this.
constexpr float NoUpperInputLimit = 10000.0f;
constexpr const char* ModulatedLabel = "Segnale modulato";
constexpr const char* EdgesFormat = "#0.##";

void Tell(const AnsiString& prefix, const AnsiString& text) {
    if (!prefix.empty() && GestoreErrori) GestoreErrori->Report(prefix + ": " + text);
}

// Places a copy of channel into output, telling a conflict with the message.
void PlaceTelling(TListaCanali& output, const TCanale& channel, const AnsiString& prefix,
                  const AnsiString& conflict) {
    bool clash = false;
    TListaCanali::Place(output, channel, clash);
    if (clash) Tell(prefix, conflict);
}

bool IsStageShape(const TInfo& t) {
    return t.Rank() == 2 && t.Size3() == ModuleStageRows && t.Size4() == BandSlots;
}

float NotNegative(float v) { return v < 0.0f ? 0.0f : v; }

// The noise figure of the converter and the modulator: "*" is 0, no value 2.5.
float NoiseFigure(float v) {
    if (v == LevelBlocked) return 0.0f;
    return v < 0.0f ? DefaultNoiseFigure : v;
}

}  // namespace

// ---- The module ----

TModuloFiltro::TModuloFiltro() : stage(std::make_unique<TInfo>(2)), inputStage(std::make_unique<TInfo>(2)) {
    Reset();
}

TModuloFiltro::~TModuloFiltro() = default;

void TModuloFiltro::Reset() {
    settings.fill(LevelNone);
    settingIndex = static_cast<int32_t>(LevelNone);
    slotPlan.fill(nullptr);
    for (AnsiString& s : slotName) s.clear();
    for (AnsiString& s : slotLabel) s.clear();
    slotLow.fill(LevelNone);
    slotHigh.fill(LevelNone);
    stage->Init(0, 0, ModuleStageRows, BandSlots);
    stage->Allocate();
    flags = 0;
    bandSystem = SistemaBandeCorrente;
}

void TModuloFiltro::Assign(const TModuloFiltro& source) {
    if (&source == this) return;
    settings = source.settings;
    settingIndex = source.settingIndex;
    slotPlan = source.slotPlan;
    slotName = source.slotName;
    slotLow = source.slotLow;
    slotHigh = source.slotHigh;
    slotLabel = source.slotLabel;
    stage->Assign(*source.stage);
    inputStage->Assign(*source.inputStage);
    flags = source.flags;
    bandSystem = source.bandSystem;
}

std::unique_ptr<TModuloFiltro> TModuloFiltro::Clone(const TModuloFiltro& source) {
    auto module = std::make_unique<TModuloFiltro>();
    module->Assign(source);
    return module;
}

void TModuloFiltro::Write(TStream& s, int version) const {
    WriteU32(s, flags);
    for (float v : settings) WriteF32(s, v);
    WriteI32(s, settingIndex);
    WriteU8(s, WrittenSlotCount);
    for (int k = 0; k < ModuleSlots; ++k) {
        chunked::WriteString(s, slotName[k], SlotNameField);
        WritePlanReference(s, slotPlan[k]);
        WriteF32(s, slotLow[k]);
        WriteF32(s, slotHigh[k]);
        chunked::WriteString(s, slotLabel[k], SlotLabelField);
    }
    stage->Write(s, version);
    inputStage->Write(s, version);
    WriteBandSystemRef(bandSystem, s, version);
}

void TModuloFiltro::Read(TStream& s, int version) {
    flags = ReadU32(s);
    for (float& v : settings) v = ReadF32(s);
    settingIndex = ReadI32(s);
    ReadU8(s);  // the slot count: always three slots follow
    for (int k = 0; k < ModuleSlots; ++k) {
        slotName[k] = chunked::ReadString(s, SlotNameField);
        slotPlan[k] = ReadPlanReference(s);
        slotLow[k] = ReadF32(s);
        slotHigh[k] = ReadF32(s);
        slotLabel[k] = chunked::ReadString(s, SlotLabelField);
    }
    if (version < VersionWithTableHeaders) {
        // Older tables carry no sizes: both are stages.
        stage->Init(0, 0, ModuleStageRows, BandSlots);
        inputStage->Init(0, 0, ModuleStageRows, BandSlots);
    }
    stage->Read(s, version);
    inputStage->Read(s, version);
    // The passes read rows of both stages: another shape is damage.
    if (!IsStageShape(*stage) || (inputStage->Block2() && !IsStageShape(*inputStage)))
        throw EReadError("Modulo con una tabella danneggiata");
    if (!stage->Block2()) stage->Allocate();
    bandSystem = ReadBandSystemRef(s, version);
}

// ---- Processing ----

void TModuloFiltro::Process(TListaCanali& output, TListaCanali& input, const AnsiString& prefix) {
    if (inputStage->Block2()) TListaCanali::CheckHandled(input, *inputStage, prefix, 0, 0);
    if (flags & (ModuleInputStageOnly4 | ModuleInputStageOnly6)) return;
    if (flags & ModuleChannelFilter) Filter(output, input, prefix);
    if (flags & ModuleAutomaticGain) AutomaticGain(output, input, prefix);
    if (flags & ModuleConverter) Convert(output, input, prefix);
    if (flags & ModuleModulator) Modulate(output, prefix);
}

namespace {

// Where a channel stands against the input slot: wholly inside, across an
// edge (told and not passed), or outside (ignored).
enum class TRange { Inside, Partly, Outside };

TRange RangeOf(const TCanale& c, float low, float high) {
    if (c.freqLow >= low && c.freqHigh <= high) return TRange::Inside;
    if (low < c.freqHigh && c.freqLow < high) return TRange::Partly;
    return TRange::Outside;
}

// The channels of input inside the slot, the partly inside ones told.
template <class Visit>
void ForEachInside(const TListaCanali& input, float low, float high, const AnsiString& prefix, Visit visit) {
    for (const TCanale* c = input.head; c; c = c->next) {
        switch (RangeOf(*c, low, high)) {
        case TRange::Partly: Tell(prefix, "il canale " + c->name + " è gestito parzialmente."); break;
        case TRange::Inside: visit(*c); break;
        case TRange::Outside: break;
        }
    }
}

}  // namespace

void TModuloFiltro::Filter(TListaCanali& output, const TListaCanali& input, const AnsiString& prefix) const {
    const float r0 = stage->Get2(0, 0), r1 = stage->Get2(1, 0), r2 = stage->Get2(2, 0),
                r3 = stage->Get2(3, 0);
    bool received = false;
    TCanale passed;
    ForEachInside(input, slotLow[ModuleInputSlot], slotHigh[ModuleInputSlot], prefix, [&](const TCanale& c) {
        if (r0 < 0.0f || r1 < 0.0f) {
            // A band the filter blocks on purpose still counts as received.
            if (r0 == LevelBlocked) received = true;
            return;
        }
        received = true;
        passed.AssignThroughStage(c, r0, r1, 0.0f, r2 == LevelBlocked ? 0.0f : r2);
        PlaceTelling(output, passed, prefix, "canale " + c.name + " in conflitto sull'uscita.");
        if (r3 >= 0.0f && r3 < passed.levelMax)
            Tell(prefix, "il livello del canale " + c.name + " è troppo alto.");
    });
    if (!received) Tell(prefix, "ATTENZIONE: il filtro non riceve alcun segnale gestibile.");
}

void TModuloFiltro::AutomaticGain(TListaCanali& output, const TListaCanali& input,
                                  const AnsiString& prefix) const {
    const float r0 = stage->Get2(0, 0), r1 = stage->Get2(1, 0), r2 = stage->Get2(2, 0),
                r3 = stage->Get2(3, 0), r4 = stage->Get2(4, 0);
    const float lowest = NotNegative(r0);
    const float highest = r1 < 0.0f ? NoUpperInputLimit : r1;
    const float noise = r4 == LevelBlocked ? 0.0f : r4;
    bool received = false;
    TCanale passed;
    ForEachInside(input, slotLow[ModuleInputSlot], slotHigh[ModuleInputSlot], prefix, [&](const TCanale& c) {
        if (!(r3 >= 0.0f && r2 >= 0.0f)) return;
        received = true;
        if (c.levelMin < lowest || c.levelMax > highest) {
            Tell(prefix, "il livello del canale " + c.name + " è al di fuori dei limiti consentiti.");
            return;
        }
        passed.AssignThroughCAG(c, r3, static_cast<float>(static_cast<double>(r3) - lowest), r2, noise);
        PlaceTelling(output, passed, prefix, "canale " + c.name + " in conflitto.");
    });
    if (!received) Tell(prefix, "ATTENZIONE: il filtro non riceve alcun segnale gestibile.");
}

namespace {

// A channel at the edges low-high, named by plan and name or by its edges.
void SetOutputEdges(TCanale& c, float low, float high, TCanalizzazione* plan, const AnsiString& name) {
    c.freqLow = low;
    c.freqHigh = high;
    c.band = SistemaBandeCorrente ? SistemaBandeCorrente->BandOf(c.CentreFrequency()) : -1;
    c.plan = plan;
    c.name = plan ? name : FormatFloat(EdgesFormat, low) + "/" + FormatFloat(EdgesFormat, high);
}

// A frequency moved by the distance from one slot's lower edge to another's.
float Shifted(float f, float to, float from) {
    return static_cast<float>(static_cast<double>(f) + (static_cast<double>(to) - from));
}

AnsiString ExpectedModulation(const AnsiString& expected, const TCanale& c) {
    return "Il componente si attende in ingresso un segnale con modulazione " + expected +
           ", mentre il canale " + c.name + " è in modulazione " + c.ModulationName() + ".";
}

}  // namespace

void TModuloFiltro::Convert(TListaCanali& output, const TListaCanali& input, const AnsiString& prefix) const {
    const float attIn = NotNegative(stage->Get2(0, 0)), gain = NotNegative(stage->Get2(1, 0));
    const float noise = NoiseFigure(stage->Get2(2, 0)), maximum = NotNegative(stage->Get2(3, 0));
    const int32_t mode = static_cast<int32_t>(flags & ModuleConversionMask);
    const bool digitalOk = (flags & ModuleDigital) != 0;
    const float inLow = slotLow[ModuleInputSlot], inHigh = slotHigh[ModuleInputSlot];
    const float outLow = slotLow[ModuleOutputSlot], outHigh = slotHigh[ModuleOutputSlot];
    TCanale working;
    TCanale passed;
    bool received = false;
    const AnsiString channelToChannel =
        "non coincidono con le frequenze di ingresso del filtro canale/canale.";
    const AnsiString qpskToQam = "non coincidono con le frequenze di ingresso del filtro 4QPSK/64QAM.";
    ForEachInside(input, inLow, inHigh, prefix, [&](const TCanale& c) {
        received = true;
        working.AddSources(c.sources, c.name);
        passed.AssignThroughStage(c, attIn, gain, 0.0f, noise);
        passed.sources = working.sources;
        passed.label = slotLabel[ModuleOutputSlot].empty() ? c.label : slotLabel[ModuleOutputSlot];
        working.label = passed.label;
        if (maximum > 0.0f && maximum < passed.levelMax)
            Tell(prefix, "il livello del canale " + c.name + " è troppo alto.");
        const bool edge = c.freqLow == inLow || c.freqHigh == inHigh;
        const bool digital = c.signalType == SignalDigital;
        auto refuseDigital = [&] {
            Tell(prefix,
                 "Il componente è analogico e non è in grado di gestire il canale digitale " + c.name + ".");
        };
        auto refuseEdges = [&](const AnsiString& which) {
            Tell(prefix, "Le frequenze del canale " + c.name + " " + which);
        };
        auto receiver = [&](bool wantsDigital, char modulation, const char* name) {
            if (digital != wantsDigital)
                Tell(prefix,
                     wantsDigital
                         ? "Il componente si attende in ingresso un segnale digitale, mentre il canale " +
                               c.name + " è analogico."
                         : "Il componente si attende in ingresso un segnale analogico, mentre il canale " +
                               c.name + " è digitale.");
            else if (c.modulation != modulation)
                Tell(prefix, ExpectedModulation(name, c));
        };
        bool leaves = false;
        switch (mode) {
        case ConvertChannelToChannel:
            if (!edge)
                refuseEdges(channelToChannel);
            else if (digital && !digitalOk)
                refuseDigital();
            else
                leaves = true;
            if (leaves)
                SetOutputEdges(passed, outLow, outHigh, slotPlan[ModuleOutputSlot],
                               slotName[ModuleOutputSlot]);
            break;
        case ConvertBlockShift:
            if (digital && !digitalOk) {
                refuseDigital();
                break;
            }
            leaves = true;
            SetOutputEdges(passed, Shifted(c.freqLow, outLow, inLow), Shifted(c.freqHigh, outLow, inLow),
                           slotPlan[ModuleOutputSlot], slotName[ModuleOutputSlot]);
            break;
        case ConvertQpskToQam:
            if (!edge)
                refuseEdges(qpskToQam);
            else if (c.modulation != ModulationQPSK)
                Tell(prefix, ExpectedModulation("QPSK", c));
            else
                leaves = true;
            if (leaves) {
                SetOutputEdges(passed, outLow, outHigh, slotPlan[ModuleOutputSlot],
                               slotName[ModuleOutputSlot]);
                passed.modulation = ModulationQAM;
            }
            break;
        case ConvertQpskReceiver: receiver(true, ModulationQPSK, "QPSK"); break;
        case ConvertCofdmReceiver: receiver(true, ModulationCOFDM, "COFDM"); break;
        case ConvertFmReceiver: receiver(false, ModulationFM, "FM"); break;
        case ConvertToCofdm:
        case ConvertToQam:
            if (!edge) {
                refuseEdges(qpskToQam);
                break;
            }
            leaves = true;
            SetOutputEdges(passed, outLow, outHigh, slotPlan[ModuleOutputSlot], slotName[ModuleOutputSlot]);
            passed.modulation = mode == ConvertToCofdm ? ModulationCOFDM : ModulationQAM;
            break;
        }
        if (leaves) PlaceTelling(output, passed, prefix, "canale " + passed.name + " in conflitto.");
    });
    if (mode == ConvertQpskReceiver || mode == ConvertCofdmReceiver || mode == ConvertFmReceiver) {
        // A receiver gives one analog channel of its own whatever arrived.
        TCanale made;
        SetOutputEdges(made, outLow, outHigh, slotPlan[ModuleOutputSlot], slotName[ModuleOutputSlot]);
        made.signalType = SignalAnalog;
        made.modulation = ModulationFMAM;
        made.polarization = 0;
        made.levelMin = made.levelMax = static_cast<float>(static_cast<double>(maximum) - attIn);
        made.gainMin = made.gainMax = 1.0f;
        made.noiseMin = made.noiseMax = 0.0f;
        made.floorMin = made.floorMax = made.sourceCNMin = made.sourceCNMax =
            static_cast<float>(static_cast<double>(made.levelMin) - noise);
        made.label = working.label;
        made.sources = working.sources;
        PlaceTelling(output, made, prefix, "canale " + made.name + " in conflitto.");
    } else if (!received) {
        Tell(prefix, "ATTENZIONE: il convertitore non riceve alcun segnale gestibile.");
    }
}

void TModuloFiltro::Modulate(TListaCanali& output, const AnsiString& prefix) const {
    const float low = NotNegative(slotLow[ModuleOutputSlot]), high = NotNegative(slotHigh[ModuleOutputSlot]);
    const double level = static_cast<double>(NotNegative(stage->Get2(3, 0))) - NotNegative(stage->Get2(0, 0));
    const double floor = std::max(0.0, level - NoiseFigure(stage->Get2(2, 0)));
    TCanale made;
    SetOutputEdges(made, low, high, slotPlan[ModuleOutputSlot], slotName[ModuleOutputSlot]);
    made.levelMin = made.levelMax = static_cast<float>(level);
    made.gainMin = made.gainMax = 1.0f;
    made.noiseMin = made.noiseMax = 0.0f;
    made.floorMin = made.floorMax = made.sourceCNMin = made.sourceCNMax = static_cast<float>(floor);
    const bool digital = (flags & ModuleDigital) != 0;
    const bool satellite = low >= SatelliteIFStart;
    made.signalType = digital ? SignalDigital : SignalAnalog;
    made.modulation = digital ? (satellite ? ModulationQPSK : ModulationCOFDM)
                              : (satellite ? ModulationFM : ModulationFMAM);
    made.polarization = 0;
    made.label =
        slotLabel[ModuleOutputSlot].empty() ? AnsiString(ModulatedLabel) : slotLabel[ModuleOutputSlot];
    made.sources = prefix.substr(0, ModuleSourcesChars);
    PlaceTelling(output, made, prefix, "canale " + made.name + " in conflitto.");
}

void TModuloFiltro::FollowInputBlock() {
    const float inLow = slotLow[ModuleInputSlot], inHigh = slotHigh[ModuleInputSlot];
    const float outLow = slotLow[ModuleOutputSlot];
    float outHigh = LevelNone;
    if (inLow >= 0.0f && inHigh >= 0.0f && outLow >= 0.0f) {
        const double high = static_cast<double>(outLow) + (static_cast<double>(inHigh) - inLow);
        outHigh = high < 0.0 ? LevelNone : static_cast<float>(high);
    }
    slotHigh[ModuleOutputSlot] = outHigh;
    slotPlan[ModuleOutputSlot] = nullptr;
    slotName[ModuleOutputSlot].clear();
}

// ---- The list ----

TModuliFiltro::TModuliFiltro() : stage(std::make_unique<TInfo>(2)) {}

TModuliFiltro::~TModuliFiltro() { Clear(); }

void TModuliFiltro::Clear() {
    head = nullptr;
    modules_.clear();
    kind = 0;
}

void TModuliFiltro::Append(std::unique_ptr<TModuloFiltro> module) {
    module->next = nullptr;
    (modules_.empty() ? head : modules_.back()->next) = module.get();
    modules_.push_back(std::move(module));
}

int TModuliFiltro::Count() const {
    int n = 0;
    for (const TModuloFiltro* m = head; m; m = m->next) ++n;
    return n;
}

void TModuliFiltro::Write(TStream& s, int version) const {
    WriteI32(s, kind);
    stage->Write(s, version);
    for (const TModuloFiltro* m = head; m; m = m->next) {
        WriteU8(s, 1);
        m->Write(s, version);
    }
    WriteU8(s, 0);
}

void TModuliFiltro::Read(TStream& s, int version) {
    Clear();
    kind = ReadI32(s);
    if (version < VersionWithTableHeaders) stage->Init(0, 0, ModuleStageRows, BandSlots);
    stage->Read(s, version);
    // Modules are appended at the list's own tail: a long list reads in linear time.
    while (ReadU8(s) != 0) {
        auto module = std::make_unique<TModuloFiltro>();
        module->Read(s, version);
        Append(std::move(module));
    }
}

void TModuliFiltro::Assign(const TModuliFiltro& source, TModuliFiltro& destination) {
    if (&source == &destination) return;
    destination.Clear();
    destination.kind = source.kind;
    destination.stage->Assign(*source.stage);
    for (const TModuloFiltro* m = source.head; m; m = m->next) destination.Append(TModuloFiltro::Clone(*m));
}
