#pragma once
// Filter modules: the processing blocks of an integrated head-end and of the
// active channel components. A module is a channel filter, a filter with
// automatic gain control, a converter or transmodulator, or a modulator (or
// several of them at once); it holds up to three channel slots (slot 1 the
// range it takes in, slot 2 the channel it gives out), its per-band stage
// table and an optional input stage, and turns the channel list arriving at
// it into the list leaving it. TModuliFiltro is the ordered list of the
// modules of one component.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/info.h"
#include "core/levels.h"
#include "platform/classes.h"

class TCanalizzazione;
class TListaCanali;
class TSistemaBande;

// Bits of a module's flags.
enum : uint32_t {
    ModuleConversionMask = 0x7,       // conversion mode of a converter, 0 to 7
    ModuleInputStageOnly4 = 1u << 4,  // either of these two: only the input stage runs
    ModuleInputStageOnly6 = 1u << 6,
    ModuleDigital = 1u << 27,  // handles (or, as a modulator, makes) digital channels
    ModuleModulator = 1u << 28,
    ModuleConverter = 1u << 29,
    ModuleAutomaticGain = 1u << 30,
    ModuleChannelFilter = 1u << 31,
};

// Conversion modes of a converter.
enum : int32_t {
    ConvertChannelToChannel = 0,
    ConvertBlockShift = 1,
    ConvertQpskToQam = 2,
    ConvertQpskReceiver = 3,
    ConvertCofdmReceiver = 4,
    ConvertFmReceiver = 5,
    ConvertToCofdm = 6,
    ConvertToQam = 7,
};

constexpr int ModuleSlots = 3;
constexpr int ModuleInputSlot = 1;
constexpr int ModuleOutputSlot = 2;
constexpr int ModuleStageRows = 7;
// Characters a slot keeps of its channel name and its label, as files carry them.
constexpr int ModuleSlotNameChars = 20;
constexpr int ModuleSlotLabelChars = 21;

class TModuloFiltro {
public:
    TModuloFiltro();
    ~TModuloFiltro();
    TModuloFiltro(const TModuloFiltro&) = delete;
    TModuloFiltro& operator=(const TModuloFiltro&) = delete;

    // Every value unset, slots empty, the stage 7 x 15 of LevelNone, flags 0,
    // the current band system.
    void Reset();
    // The record on file. Read raises EReadError for a record cut short or a
    // stage table other than 7 x 15 (the stage passes read its rows).
    void Read(TStream& s, int version);
    void Write(TStream& s, int version) const;
    // Every field but next.
    void Assign(const TModuloFiltro& source);
    static std::unique_ptr<TModuloFiltro> Clone(const TModuloFiltro& source);

    // A block shift (IF/IF): the output block keeps the width of the input
    // block from its lower edge (no value when an edge is unknown or the
    // result negative), and names no channel of a plan.
    void FollowInputBlock();
    // The channels of input through the module into output; prefix starts
    // every message and an empty prefix silences them. The input stage, when
    // there is one, works on input in place.
    void Process(TListaCanali& output, TListaCanali& input, const AnsiString& prefix);

    std::array<float, ModuleSlots> settings{};
    int32_t settingIndex = static_cast<int32_t>(LevelNone);
    std::array<TCanalizzazione*, ModuleSlots> slotPlan{};
    std::array<AnsiString, ModuleSlots> slotName;
    std::array<float, ModuleSlots> slotLow{};
    std::array<float, ModuleSlots> slotHigh{};
    std::array<AnsiString, ModuleSlots> slotLabel;
    std::unique_ptr<TInfo> stage;       // 7 x 15; the passes read band slot 0 of rows 0 to 4
    std::unique_ptr<TInfo> inputStage;  // a 7 x 15 block when the module has an input stage
    uint32_t flags = 0;
    TSistemaBande* bandSystem = nullptr;
    TModuloFiltro* next = nullptr;  // the next module of its list (owned by the list)

private:
    void Filter(TListaCanali& output, const TListaCanali& input, const AnsiString& prefix) const;
    void AutomaticGain(TListaCanali& output, const TListaCanali& input, const AnsiString& prefix) const;
    void Convert(TListaCanali& output, const TListaCanali& input, const AnsiString& prefix) const;
    void Modulate(TListaCanali& output, const AnsiString& prefix) const;
};

class TModuliFiltro {
public:
    TModuliFiltro();
    ~TModuliFiltro();
    TModuliFiltro(const TModuliFiltro&) = delete;
    TModuliFiltro& operator=(const TModuliFiltro&) = delete;

    // Frees every module; kind 0.
    void Clear();
    // kind, the table, then a byte 1 before every module and a byte 0 at the end.
    void Read(TStream& s, int version);
    void Write(TStream& s, int version) const;
    // The destination becomes a copy of source.
    static void Assign(const TModuliFiltro& source, TModuliFiltro& destination);
    // Appends a module the list then owns.
    void Append(std::unique_ptr<TModuloFiltro> module);
    int Count() const;

    TModuloFiltro* head = nullptr;  // the first module; each one links the next
    std::unique_ptr<TInfo> stage;
    int32_t kind = 0;

private:
    std::vector<std::unique_ptr<TModuloFiltro>> modules_;  // in list order
};
