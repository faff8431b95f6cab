#include "tools/default_library/default_library.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "cells/active_filters.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/factory.h"
#include "cells/graphic_cells.h"
#include "cells/library_cells.h"
#include "cells/mixers.h"
#include "cells/outlets.h"
#include "cells/passives.h"
#include "cells/sources.h"
#include "cells/splitters.h"
#include "cells/switches.h"
#include "cells/taps.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/file.h"
#include "core/filter_modules.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "cells/component_data.h"
#include "platform/application.h"

const char* const DefaultLibraryFile = "Varne.alb";
const char* const DefaultSelectionFile = "Default.sel";
const char* const DefaultLibraryName = "Varne";

namespace {

// ---- Domain constants the articles are described with ----

// Band slots of the current band system that carry values: 0-5 terrestrial
// ("C. Rit" to "b. V"), 6-10 satellite ("sat. 1" to "sat. 5").
constexpr int UsedSlots = 11;
constexpr int FirstSatSlot = 6;
constexpr int SlotBandV = 5;

// Connector kinds ("Connettore" of the input, "Conn. out" of a socket).
enum : uint8_t { ConnScrew = 0, ConnF = 1 };

constexpr uint8_t AntennaShapeYagi = 1;
constexpr uint8_t CurrencyEuro = 1;

const char* const Brand = "Generico";
const char* const CableCategory = "Cavi";  // cables and jumpers: their class names none

// ---- Values per band slot ----

using TBandValues = std::array<float, UsedSlots>;

TBandValues NoValues() {
    TBandValues v;
    v.fill(LevelNone);
    return v;
}

// ter at the terrestrial slots, sat at the satellite slots (LevelNone: none).
TBandValues TerSat(double ter, double sat) {
    TBandValues v;
    for (int b = 0; b < UsedSlots; ++b) v[b] = static_cast<float>(b < FirstSatSlot ? ter : sat);
    return v;
}

// value at the listed slots only.
TBandValues AtSlots(double value, const std::vector<int>& slots) {
    TBandValues v = NoValues();
    for (int b : slots) v[b] = static_cast<float>(value);
    return v;
}

TBandValues SlotRange(double value, int first, int last) {
    TBandValues v = NoValues();
    for (int b = first; b <= last; ++b) v[b] = static_cast<float>(value);
    return v;
}

// Isolation of a passive part, falling with frequency: value at VHF
// (slots 0-3), at UHF (4-5) and at the satellite slots.
TBandValues Isolation(double vhf, double uhf, double sat) {
    TBandValues v;
    for (int b = 0; b < UsedSlots; ++b) v[b] = static_cast<float>(b < 4 ? vhf : b < FirstSatSlot ? uhf : sat);
    return v;
}

double Round1(double x) { return std::round(x * 10.0) / 10.0; }
double Round2(double x) { return std::round(x * 100.0) / 100.0; }
double Db(double ratio) { return 10.0 * std::log10(ratio); }

// The reference frequency of a band slot, MHz.
double ReferenceFrequency(int slot) {
    if (!SistemaBande3 || slot >= static_cast<int>(SistemaBande3->bands.size()))
        throw Exception("sistema di bande corrente mancante");
    return SistemaBande3->bands[static_cast<size_t>(slot)].reference;
}

// Sets column of table row row at every slot that holds a value.
void SetRow(TCella& c, int32_t row, int32_t column, const TBandValues& v) {
    for (int b = 0; b < UsedSlots; ++b)
        if (v[b] != LevelNone) c.Attenuation->Set3(row, column, b, v[b]);
}

void SetEveryRow(TCella& c, int32_t column, const TBandValues& v) {
    for (int32_t r = 0; r < c.TableRows; ++r) SetRow(c, r, column, v);
}

// ---- The articles ----

// The article: the kind of part in a word or two, short enough for the
// "Articolo" column of the printed lists and estimate; the description
// says which one.
const char* ArticleName(int32_t typeCode) {
    switch (typeCode) {
    case CodeCable: return "Cavo coax";
    case CodeBridge: return "Ponticello";
    case CodeEndOutlet:
    case CodePassThroughOutlet:
    case CodeTerminatedOutlet: return "Presa";
    case CodeDivisore: return "Divisore";
    case CodeDerivatore:
    case CodeDerivatoreN: return "Derivatore";
    case CodeTermination: return "Chiusura";
    case CodeSwitch:
    case CodeSwitchN: return "Multiswitch";
    case CodeAmplificatore:
    case CodeAmplificatoreRegolato: return "Amplificatore";
    case CodeTerrestre: return "Centralino";
    case CodeAlimentatore:
    case CodeAlimentatoreSF: return "Alimentatore";
    case CodeAmplificatoreAt: return "Amplif. finale";
    case CodeFiltroAT: return "Filtro attivo";
    case CodeConvertitore: return "Convertitore";
    case CodeSat: return "LNB";
    case CodeParabola: return "Parabola";
    case CodeMiscelatore: return "Miscelatore";
    case CodeAntenna: return "Antenna";
    default: return nullptr;
    }
}

class TArticles {
public:
    // A new cell of the factory, with its commercial texts.
    TCella& Add(int32_t typeCode, int32_t inputs, int32_t through, int32_t taps, const char* code,
                const AnsiString& description, const char* series, double price, int32_t minutes) {
        std::unique_ptr<TCella> made = NewCella(nullptr, typeCode, 0, 0, inputs, through, taps);
        if (!made) throw Exception("nessuna classe per il tipo " + std::to_string(typeCode));
        TCella& c = *made;
        list.push_back(std::move(made));
        c.Brand = Brand;
        c.Code = code;
        c.Description = description;
        const char* article = ArticleName(typeCode);
        c.Article = article ? AnsiString(article) : description;
        c.Series = series;
        c.Currency = CurrencyEuro;
        c.Price = static_cast<float>(Round2(price));
        c.InstallMinutes = minutes;
        // What the component-data form leaves in the choices it writes.
        c.Choice1 = ConnF;
        c.Choice2 = 0;
        return c;
    }

    std::vector<std::unique_ptr<TCella>> list;
};

// ---- Passive parts: values at every slot 0-10 ----

// Cable loss in dB/100 m at a slot's reference frequency f: k1 sqrt(f) + k2 f.
TBandValues CableLoss(double k1, double k2) {
    TBandValues v;
    for (int b = 0; b < UsedSlots; ++b) {
        const double f = ReferenceFrequency(b);
        v[b] = static_cast<float>(Round1(k1 * std::sqrt(f) + k2 * f));
    }
    return v;
}

struct TCableKind {
    const char* code;
    const char* description;
    double k1, k2, pricePerMetre;
};
// clang-format off
constexpr TCableKind Cables[] = {
    {"GCX-05", "Cavo coassiale sottile 5 mm", 0.74, 0.002, 0.40},
    {"GCX-07", "Cavo coassiale 7 mm", 0.55, 0.0015, 0.60},
    {"GCX-10", "Cavo coassiale basse perdite", 0.36, 0.001, 1.20},
};
// clang-format on
constexpr int32_t CableMinutesPerMetre = 2;

void AddCables(TArticles& a) {
    for (const TCableKind& k : Cables) {
        TCella& c =
            a.Add(CodeCable, 1, 1, 0, k.code, k.description, "GCX", k.pricePerMetre, CableMinutesPerMetre);
        c.Category = CableCategory;
        c.Positions[0] =
            PositionSubstation | PositionLine | PositionFirstOfLine | PositionLastOfLine | PositionOutlet;
        // The loss per 100 m; the length stays unset for the designer to give.
        SetRow(c, 0, 0, CableLoss(k.k1, k.k2));
    }
    // Jumpers of the two module families: the designer turns them into a
    // cable template, so they carry the thin cable's loss.
    const TCableKind& thin = Cables[0];
    for (auto [code, series, description] :
         {std::array<const char*, 3>{"GPT-TM", "GTM", "Ponticello moduli GTM"},
          std::array<const char*, 3>{"GPT-SI", "GSI", "Ponticello moduli GSI"}}) {
        TCella& c =
            a.Add(CodeBridge, 1, 1, 0, code, description, series, thin.pricePerMetre, CableMinutesPerMetre);
        c.Category = CableCategory;
        c.Positions[0] = PositionHeadEnd | PositionSubstation;
        SetRow(c, 0, 0, CableLoss(thin.k1, thin.k2));
    }
}

// Outlet shapes: sockets, socket connector, and whether DC passes from the
// sockets up the line. The DC-passing shapes begin with "C" so that their
// codes sort before the blocking ones of the same sockets.
struct TOutletShape {
    const char* name;
    int32_t sockets;
    uint8_t connector;
    bool passesDc;
    const char* signals;
};
// clang-format off
constexpr TOutletShape OutletShapes[] = {
    {"CS1", 1, 1, true, "SAT"}, {"CTS2", 2, 0, true, "TV-SAT"}, {"S1", 1, 1, false, "SAT"},
    {"T1", 1, 0, false, "TV"},  {"TS2", 2, 0, false, "TV-SAT"},
};
// clang-format on
constexpr int32_t OutletTapLosses[3] = {10, 14, 18};
constexpr double OutletThroughTer[3] = {1.5, 1.0, 0.8};
constexpr double OutletThroughSat[3] = {2.5, 1.8, 1.5};
// Socket loss of the direct and terminal outlets: their isolating network
// costs a little level and adds to the separation between two outlets of
// one splitter.
constexpr double EndOutletLossTer = 1.5, EndOutletLossSat = 2.0;

TCella& AddOutlet(TArticles& a, const TOutletShape& s, int32_t type, const AnsiString& suffix,
                  const AnsiString& description, double price) {
    const AnsiString code = AnsiString("GP-") + s.name + "-" + suffix;
    const int32_t minutes = 10 + 5 * (s.sockets - 1);
    TCella& c = a.Add(type, 1, 1, s.sockets, code.c_str(), description + (s.passesDc ? " DC" : ""), "GPR",
                      price + (s.passesDc ? 1.0 : 0.0), minutes);
    c.Choice1 = ConnScrew;
    c.Choice3 = s.connector;
    c.Positions[0] = PositionOutlet;
    if (s.passesDc) {
        // "Passaggio DC": the receivers' supply comes in at the sockets and goes up the line.
        c.Power[PowerSupply][PowerFlags] |= PowerTaps;
        c.Power[PowerSupply][PowerTapMask] = AllBits;
    }
    return c;
}

void AddOutlets(TArticles& a) {
    for (const TOutletShape& s : OutletShapes) {
        const double base = s.sockets == 1 ? 4.50 : 6.90;
        const AnsiString signals = s.signals;
        TCella& direct = AddOutlet(a, s, CodeEndOutlet, "D", "Presa diretta " + signals, base);
        SetRow(direct, 0, OutletSocketLoss, TerSat(EndOutletLossTer, EndOutletLossSat));
        for (int g = 0; g < 3; ++g) {
            const int32_t t = OutletTapLosses[g];
            TCella& c = AddOutlet(a, s, CodePassThroughOutlet, "P" + std::to_string(t),
                                  "Presa pass. " + signals + " " + std::to_string(t) + " dB", base + 2.40);
            SetRow(c, 0, OutletSocketLoss, TerSat(t, t + 2));
            SetRow(c, 0, OutletThroughLoss, TerSat(OutletThroughTer[g], OutletThroughSat[g]));
            // Socket to through output: the tap loss plus the coupler's directivity.
            SetRow(c, 0, OutletReverseLoss, TerSat(t + 32.0, t + 2 + 20.0));
        }
        TCella& end = AddOutlet(a, s, CodeTerminatedOutlet, "T", "Presa terminale " + signals, base + 0.80);
        SetRow(end, 0, OutletSocketLoss, TerSat(EndOutletLossTer, EndOutletLossSat));
    }
}

// Loss of an even power split over n outputs: 10 log10(n) plus a loss per
// stage of two-way division, ceil(log2 n) stages, rising with frequency.
constexpr double SplitExcess[UsedSlots] = {0.5, 0.5, 0.5, 0.5, 0.8, 0.8, 1.0, 1.2, 1.4, 1.6, 1.8};

TBandValues SplitLoss(int32_t n, double extra) {
    const double stages = std::ceil(std::log2(static_cast<double>(n)));
    TBandValues v;
    for (int b = 0; b < UsedSlots; ++b)
        v[b] = static_cast<float>(Round1(Db(n) + stages * SplitExcess[b] + extra));
    return v;
}

constexpr int32_t SplitterOutputs[] = {2, 3, 4, 6};

// Output to output isolation of the splitters and closing taps: with two
// terminal outlets of a star it keeps the outlets apart by the minimum
// separation of every band.
TBandValues SplitterIsolation() { return Isolation(39.0, 34.0, 28.0); }

void AddSplitters(TArticles& a) {
    for (bool passesDc : {false, true})
        for (int32_t n : SplitterOutputs) {
            const AnsiString code = AnsiString(passesDc ? "GSP-" : "GS-") + std::to_string(n);
            const AnsiString description =
                "Divisore " + std::to_string(n) + " uscite" + (passesDc ? " DC" : "");
            TCella& c = a.Add(CodeDivisore, 1, 0, n, code.c_str(), description, "GS",
                              2.50 + 1.10 * n + (passesDc ? 1.50 : 0.0), 8 + 2 * n);
            c.Positions[0] =
                PositionSubstation | PositionLine | PositionFirstOfLine | PositionLastOfLine | PositionOutlet;
            SetRow(c, 0, TapLossColumn, SplitLoss(n, 0.0));
            SetRow(c, 0, TapDecouplingColumn, SplitterIsolation());
            if (!passesDc) {
                // The line's supply reaches the outputs; nothing goes back up.
                c.Power[PowerSupply][PowerFlags] = PowerInputs;
                c.Power[PowerSupply][PowerInputMask] = AllBits;
                c.Power[PowerSupply][PowerThroughMask] = 0;
                c.Power[PowerSupply][PowerTapMask] = 0;
                c.Power[PowerFeeds][PowerFlags] = PowerTaps;
                c.Power[PowerFeeds][PowerInputMask] = 0;
                c.Power[PowerFeeds][PowerThroughMask] = 0;
                c.Power[PowerFeeds][PowerTapMask] = AllBits;
            }
        }
}

constexpr int32_t TapOutputs[] = {1, 2, 4, 6, 8};
constexpr int32_t TapLosses[] = {10, 14, 18, 22, 26};

// The share of the line's power the user outputs take.
double TapShare(int32_t n, int32_t t) { return n * std::pow(10.0, -t / 10.0); }

// The through loss: the power balance of what the outputs take plus 0.6 dB
// terrestrial, 1.5 times that plus 0.5 dB satellite.
TBandValues TapThroughLoss(int32_t n, int32_t t) {
    const double th = -Db(1.0 - TapShare(n, t)) + 0.6;
    return TerSat(Round2(th), Round2(1.5 * th + 0.5));
}

AnsiString TapDescription(const char* kind, int32_t n, int32_t t, bool passesDc) {
    return AnsiString(kind) + " " + std::to_string(n) + (n == 1 ? " uscita " : " uscite ") +
           std::to_string(t) + " dB" + (passesDc ? " DC" : "");
}

AnsiString TwoDigits(int32_t n) { return (n < 10 ? "0" : "") + std::to_string(n); }

void AddTap(TArticles& a, int32_t n, int32_t t, bool passesDc) {
    const AnsiString code = AnsiString(passesDc ? "GDP-" : "GD-") + TwoDigits(n) + "-" + std::to_string(t);
    TCella& c = a.Add(CodeDerivatore, 1, 1, n, code.c_str(), TapDescription("Derivatore", n, t, passesDc),
                      "GD", 5.00 + 1.40 * n + (passesDc ? 2.00 : 0.0), 10 + 2 * n);
    c.Positions[0] = PositionLine | PositionFirstOfLine | PositionLastOfLine;
    SetRow(c, 0, TapLossColumn, TerSat(t, t + 2));
    SetRow(c, 0, TapThroughColumn, TapThroughLoss(n, t));
    // Output to through output: the tap loss plus the coupler's directivity.
    SetRow(c, 0, TapReverseColumn, TerSat(t + 30.0, t + 2 + 20.0));
    if (n > 1) SetRow(c, 0, TapDecouplingColumn, Isolation(39.0, 34.0, 28.0));
    if (passesDc) {
        c.Power[PowerSupply][PowerFlags] |= PowerTaps;
        c.Power[PowerSupply][PowerTapMask] = AllBits;
    }
}

void AddTaps(TArticles& a) {
    for (int32_t n : TapOutputs)
        for (int32_t t : TapLosses)
            // A tap whose outputs would take more than half the line is no tap.
            if (TapShare(n, t) <= 0.5) AddTap(a, n, t, false);
    for (int32_t n : {2, 4})
        for (int32_t t : {10, 18}) AddTap(a, n, t, true);
    for (int32_t n : {2, 4, 6}) {
        const AnsiString code = "GDN-" + std::to_string(n);
        TCella& c =
            a.Add(CodeDerivatoreN, 1, 0, n, code.c_str(),
                  "Derivatore terminale " + std::to_string(n) + " uscite", "GD", 5.00 + 1.40 * n, 10 + 2 * n);
        c.Positions[0] = PositionLine | PositionLastOfLine;
        SetRow(c, 0, TapLossColumn, SplitLoss(n, 0.5));
        SetRow(c, 0, TapDecouplingColumn, SplitterIsolation());
    }
    for (int32_t t : {10, 14}) {
        const AnsiString code = "GDN-2-" + std::to_string(t);
        TCella& c = a.Add(CodeDerivatoreN, 1, 0, 2, code.c_str(),
                          "Derivatore terminale 2 uscite " + std::to_string(t) + " dB", "GD", 5.00 + 1.40 * 2,
                          10 + 2 * 2);
        c.Positions[0] = PositionLine | PositionLastOfLine;
        SetRow(c, 0, TapLossColumn, TerSat(t, t + 2));
        SetRow(c, 0, TapDecouplingColumn, SplitterIsolation());
    }
}

void AddTerminations(TArticles& a) {
    const char* const names[4] = {"Chiusura 75 ohm morsetto", "Chiusura 75 ohm connettore F",
                                  "Chiusura 75 ohm IEC", "Chiusura 75 ohm universale"};
    for (uint8_t k = 0; k < 4; ++k) {
        const AnsiString code = "GTR-" + std::to_string(k);
        TCella& c = a.Add(CodeTermination, 1, 1, 0, code.c_str(), names[k], "GTR", 0.60, 2);
        c.Choice1 = k;
        c.Positions[0] =
            PositionHeadEnd | PositionSubstation | PositionLine | PositionLastOfLine | PositionOutlet;
    }
    // DC-isolated ones (a refusing word of 0): what a switch's spare input is closed with.
    for (uint8_t k = 0; k < 4; ++k) {
        const AnsiString code = "GTR-I" + std::to_string(k);
        TCella& c = a.Add(CodeTermination, 1, 1, 0, code.c_str(), AnsiString(names[k]) + " isolata DC", "GTR",
                          0.90, 2);
        c.Choice1 = k;
        c.Power[PowerRefuses][PowerFlags] = 0;
        c.Positions[0] =
            PositionHeadEnd | PositionSubstation | PositionLine | PositionLastOfLine | PositionOutlet;
    }
}

// ---- Switches ----

constexpr int32_t SwitchInputs[] = {3, 5, 9};

// Output to output isolation of every multiswitch.
TBandValues SwitchIsolation() { return Isolation(40.0, 35.0, 30.0); }

AnsiString SwitchCode(const char* prefix, int32_t inputs, int32_t outputs) {
    return AnsiString(prefix) + std::to_string(inputs) + "-" + std::to_string(outputs);
}

AnsiString SwitchDescription(const char* kind, int32_t inputs, int32_t outputs) {
    return AnsiString("Multiswitch ") + kind + " " + std::to_string(inputs) + "x" + std::to_string(outputs);
}

void AddSwitches(TArticles& a) {
    // Cascade multiswitches along the riser: every line passes on.
    for (int32_t i : SwitchInputs)
        for (int32_t o : {2, 4, 6, 8, 16}) {
            TCella& c =
                a.Add(CodeSwitch, i, i, o, SwitchCode("GW-", i, o).c_str(),
                      SwitchDescription("passante", i, o), "GW", 30.0 + 3.5 * o + 4.0 * i, 20 + 2 * o);
            c.Positions[0] = PositionLine;
            const double tap = Db(o) + 8.0;
            SetEveryRow(c, TapLossColumn, TerSat(Round1(tap - 2.0), Round1(tap)));
            SetEveryRow(c, TapThroughColumn, TerSat(1.5, 2.0));
            SetEveryRow(c, TapReverseColumn, Isolation(40.0, 36.0, 32.0));
            SetEveryRow(c, TapDecouplingColumn, SwitchIsolation());
        }
    // Radial multiswitches: active, with their own supply that powers the LNB.
    for (int32_t i : SwitchInputs)
        for (int32_t o : {8, 16, 32}) {
            TCella& c = a.Add(CodeSwitchN, i, 0, o, SwitchCode("GWR-", i, o).c_str(),
                              SwitchDescription("radiale", i, o), "GW", 60.0 + 4.0 * o + 6.0 * i, 30 + 2 * o);
            // The switch a radial network starts with.
            c.Positions[0] = PositionSubstation | PositionFirstOfLine;
            c.Power[PowerSupply][PowerFlags] |= PowerInternal;
            c.Current2 = 500.0f;
            SetEveryRow(c, TapLossColumn, TerSat(0.0, 0.0));
            SetEveryRow(c, TapDecouplingColumn, SwitchIsolation());
        }
    // Closing multiswitches at the end of a line, and the apartment's own
    // multiswitch, first and last of its line.
    for (int32_t i : SwitchInputs)
        for (int32_t o : {4, 8}) {
            TCella& c =
                a.Add(CodeSwitchN, i, 0, o, SwitchCode("GWC-", i, o).c_str(),
                      SwitchDescription("terminale", i, o), "GW", 25.0 + 3.0 * o + 3.0 * i, 20 + 2 * o);
            c.Positions[0] = PositionFirstOfLine | PositionLastOfLine;
            const double tap = Db(o) + 6.0;
            SetEveryRow(c, TapLossColumn, TerSat(Round1(tap - 2.0), Round1(tap)));
            SetEveryRow(c, TapDecouplingColumn, SwitchIsolation());
        }
}

// ---- Amplifiers ----

// One amplifier stage on a row: gain, noise figure and maximum output level.
void SetStage(TCella& c, int32_t row, const TBandValues& gain, const TBandValues& noise,
              const TBandValues& maxOut) {
    SetRow(c, row, AmpGain, gain);
    SetRow(c, row, AmpNoiseFigure, noise);
    SetRow(c, row, AmpMaxOutput, maxOut);
}

TBandValues Masked(const TBandValues& v, int first, int last) {
    TBandValues m = NoValues();
    for (int b = first; b <= last; ++b) m[b] = v[b];
    return m;
}

void AddLineAmplifiers(TArticles& a) {
    // Mast preamplifiers, fed from the cable.
    for (int32_t gain : {12, 20}) {
        const AnsiString code = "GAP-" + std::to_string(gain);
        TCella& c = a.Add(CodeAmplificatore, 1, 1, 0, code.c_str(),
                          "Preamplificatore " + std::to_string(gain) + " dB", "GAP", 25.0 + 0.5 * gain, 20);
        c.Positions[0] = PositionMastFirst;
        c.Current1 = 30.0f;
        SetStage(c, 0, SlotRange(gain, 1, 5), SlotRange(3.0, 1, 5), SlotRange(105.0, 1, 5));
    }
    // Substation amplifiers: terrestrial, satellite or both.
    struct TSpan {
        const char* name;
        const char* text;
        int first, last;
        double extraPrice;
    };
    // clang-format off
    constexpr TSpan spans[] = {
        {"T", "TV", 1, 5, 0.0}, {"S", "SAT", 6, 10, 10.0}, {"TS", "TV-SAT", 1, 10, 20.0}};
    for (const TSpan& s : spans)
        for (int32_t level : {112, 120}) {
            const int32_t gain = level == 112 ? 30 : 40;
            const AnsiString code = AnsiString("GAL-") + s.name + "-" + std::to_string(level);
            const AnsiString description =
                AnsiString("Amplif. ") + s.text + " " + std::to_string(gain) + " dB";
            TCella& c = a.Add(CodeAmplificatore, 1, 1, 0, code.c_str(), description, "GAL",
                              40.0 + 1.5 * gain + s.extraPrice, 30);
            c.Positions[0] = PositionSubstation;
            c.Power[PowerSupply][PowerFlags] |= PowerInternal;
            SetStage(c, 0, SlotRange(gain, s.first, s.last), SlotRange(6.0, s.first, s.last),
                     SlotRange(level, s.first, s.last));
        }
    // Line amplifiers of several lines, the terrestrial line of a
    // multiswitch riser among them, which they gain 12 dB on: a group along
    // a staircase of switches must not lift the floors below it past the
    // floors just above it by more than one outlet window (with 20 dB no
    // level at the head of twelve floors served both). GAM and GAB serve
    // risers (GAB, regulated, is the group the designer takes, first of
    // the two), GAM substations too. GAH is the bank of a multiswitch
    // network's substation only: 30 dB on the satellite lines and rated
    // 118 dBuV, so that twelve floors of six flats on the apartments'
    // multiswitches take their 110 dBuV from an LNB of 80; 20 dB of
    // regulation take back what that gives a short staircase too much.
    struct TLineAmplifier {
        const char* series;
        int32_t code;
        uint32_t positions;
        double satGain, maxOut, maxRegulation, price, pricePerLine;
        const char* text;
    };
    // clang-format off
    constexpr TLineAmplifier lineAmplifiers[] = {
        {"GAM", CodeAmplificatore, PositionSubstation | PositionLine, 25.0, 112.0, 0.0, 30.0, 12.0,
         "Amplificatore di linea "},
        {"GAB", CodeAmplificatoreRegolato, PositionLine, 25.0, 112.0, 15.0, 40.0, 15.0, "Amplif. linea regolab. "},
        {"GAH", CodeAmplificatoreRegolato, PositionSubstation, 30.0, 118.0, 20.0, 60.0, 18.0,
         "Amplif. sottostazione regolab. "}};
    // clang-format on
    for (const TLineAmplifier& family : lineAmplifiers)
        for (int32_t n : {3, 4, 5, 8, 9}) {
            const bool regulated = family.code == CodeAmplificatoreRegolato;
            const AnsiString code = AnsiString(family.series) + "-" + std::to_string(n);
            TCella& c = a.Add(family.code, n, n, 0, code.c_str(), family.text + std::to_string(n) + " vie",
                              family.series, family.price + family.pricePerLine * n, 20 + 5 * n);
            c.Positions[0] = family.positions;
            c.Power[PowerSupply][PowerFlags] |= PowerInternal;
            const TBandValues gain = Masked(TerSat(12.0, family.satGain), 1, 10);
            const TBandValues noise = SlotRange(7.0, 1, 10);
            const TBandValues maxOut = Masked(TerSat(family.maxOut, family.maxOut), 1, 10);
            for (int32_t r = 0; r < c.TableRows; ++r) {
                SetStage(c, r, gain, noise, maxOut);
                if (regulated) {
                    SetRow(c, r, AmpRegulation, SlotRange(0.0, 1, 10));
                    SetRow(c, r, AmpMaxRegulation, SlotRange(family.maxRegulation, 1, 10));
                    SetRow(c, r, AmpTilt, SlotRange(0.0, 1, 10));
                    SetRow(c, r, AmpMaxTilt, SlotRange(6.0, 1, 10));
                }
            }
        }
}

// A head-end amplifier row: regulation at 0 of a range, gain, noise figure
// and maximum output at the given slots.
void SetHeadEndRow(TCella& c, int32_t row, const std::vector<int>& slots, double gain, double noise,
                   double maxOut, double maxRegulation) {
    SetRow(c, row, WideRegulation, AtSlots(0.0, slots));
    SetRow(c, row, WideMaxRegulation, AtSlots(maxRegulation, slots));
    SetRow(c, row, WideGain, AtSlots(gain, slots));
    SetRow(c, row, WideNoiseFigure, AtSlots(noise, slots));
    SetRow(c, row, WideMaxOutput, AtSlots(maxOut, slots));
}

void AddWideBand(TArticles& a) {
    const std::vector<int> vhf = {1, 2, 3}, bandIII = {3}, uhf = {4, 5};
    {
        TCella& c = a.Add(CodeTerrestre, 3, 1, 0, "GLB-3", "Centralino LB 3 ingressi", "GLB", 125.0, 45);
        c.Positions[0] = PositionHeadEnd;
        c.Power[PowerSupply][PowerFlags] |= PowerInternal;
        int32_t row = 0;
        for (const auto& slots : {vhf, uhf, uhf}) SetHeadEndRow(c, row++, slots, 35.0, 7.0, 118.0, 40.0);
    }
    {
        // No supply of its own: it draws from a power supply.
        TCella& c = a.Add(CodeTerrestre, 4, 1, 0, "GLB-4", "Centralino LB 4 ingressi", "GLB", 150.0, 45);
        c.Positions[0] = PositionHeadEnd;
        c.Current1 = 250.0f;
        int32_t row = 0;
        for (const auto& slots : {vhf, bandIII, uhf, uhf})
            SetHeadEndRow(c, row++, slots, 35.0, 7.0, 122.0, 40.0);
    }
    for (int32_t capacity : {300, 600}) {
        const AnsiString code = "GAA-" + std::to_string(capacity);
        TCella& c =
            a.Add(CodeAlimentatore, 1, 1, 0, code.c_str(),
                  "Alimentatore 12 V " + std::to_string(capacity) + " mA", "GAA", 15.0 + 0.02 * capacity, 10);
        c.Positions[0] = PositionHeadEnd | PositionSubstation;
        c.Current2 = static_cast<float>(capacity);
        SetRow(c, 0, 1, TerSat(0.5, 1.0));
    }
}

// ---- Modular head ends ----

// The filter module of an active module: passband, stage figures at the
// first slot (setting, gain, noise figure, output level, setting range).
void SetModule(TCella& cell, float low, float high, float outputLevel, float gain, float noise,
               const TCanalizzazione* plan, const AnsiString& channel) {
    TModuloFiltro& m = *static_cast<TCellaAutoMix&>(cell).Modules->head;
    for (int slot : {ModuleInputSlot, ModuleOutputSlot}) {
        m.slotLow[slot] = low;
        m.slotHigh[slot] = high;
        m.slotPlan[slot] = const_cast<TCanalizzazione*>(plan);
        m.slotName[slot] = channel;
    }
    m.stage->Set2(0, 0, 10.0f);
    m.stage->Set2(1, 0, gain);
    m.stage->Set2(2, 0, noise);
    m.stage->Set2(3, 0, outputLevel);
    m.stage->Set2(4, 0, 30.0f);
}

struct TFinal {
    int32_t inputs, outputs, level;
    const char* tag;    // a letter for a final of part of the bands
    const char* bands;  // in the description
    std::vector<int> slots;
};

void AddFinals(TArticles& a, const char* family, const char* series, std::initializer_list<TFinal> finals,
               double extraPrice, float draw, double gain, double maxRegulation) {
    for (const TFinal& f : finals) {
        const AnsiString code = AnsiString("GFA-") + family + "-" + std::to_string(f.inputs) +
                                std::to_string(f.outputs) + f.tag + "-" + std::to_string(f.level);
        const AnsiString description = "Amplif. finale " + std::to_string(f.inputs) + "x" +
                                       std::to_string(f.outputs) + f.bands + " " + std::to_string(f.level) +
                                       " dB";
        const double arrangement = (f.inputs > 1 ? 15.0 : 0.0) + (f.outputs > 1 ? 15.0 : 0.0);
        TCella& c = a.Add(CodeAmplificatoreAt, f.inputs, f.outputs, 0, code.c_str(), description, series,
                          80.0 + arrangement + 2.0 * (f.level - 114) + extraPrice, 15);
        c.Positions[0] = PositionHeadEnd | PositionSubstation;
        c.Current1 = draw;
        for (int32_t r = 0; r < static_cast<TAmplificatoreAt&>(c).UsedRows(); ++r)
            SetHeadEndRow(c, r, f.slots, gain, 8.0, f.level, maxRegulation);
    }
}

void AddSupplies(TArticles& a, const char* family, const char* series,
                 std::initializer_list<int32_t> capacities) {
    for (int32_t capacity : capacities) {
        const AnsiString code = AnsiString("GAL-") + family + "-" + std::to_string(capacity);
        TCella& c = a.Add(CodeAlimentatoreSF, 0, 0, 0, code.c_str(),
                          "Alimentatore centrale " + std::to_string(capacity) + " mA", series,
                          40.0 + 0.02 * capacity, 15);
        c.Positions[0] = PositionHeadEnd | PositionSubstation;
        c.Current2 = static_cast<float>(capacity);
    }
}

void AddTerrestrialModules(TArticles& a) {
    const TCanalizzazione* plan = CanalizzazioneEuropa;
    if (!plan) throw Exception("canalizzazione \"Europa\" mancante");
    auto filter = [&](const AnsiString& channel) {
        const int i = plan->IndexOf(channel);
        if (i < 0) throw Exception("canale " + channel + " mancante in \"Europa\"");
        const TDatiCanalizzazione& row = plan->Row(i);
        const AnsiString code = "GFC-" + channel;
        TCella& c = a.Add(CodeFiltroAT, AutoMixCommonLine, AutoMixOutputOuter, 0, code.c_str(),
                          "Filtro attivo canale " + channel, "GTM", 48.0, 15);
        c.Positions[0] = PositionHeadEnd;
        c.Current1 = 35.0f;
        // 35 dB: with the finals' 30 dB less their 20 dB of regulation, 75 dBuV
        // antennas can leave the head end as low as 90 dBuV.
        SetModule(c, row.lowEdge, row.highEdge, 112.0f, 35.0f, 8.0f, plan, channel);
    };
    // clang-format on
    for (int ch = 2; ch <= 12; ++ch) filter(std::to_string(ch));
    for (int ch = 21; ch <= 69; ++ch) filter(std::to_string(ch));
    const std::vector<int> ter = {1, 3, 4, 5};
    // No final of two inputs: antennas with VHF and UHF channels stay possible.
    AddFinals(a, "TM", "GTM",
              {{1, 1, 114, "", "", ter},
               {1, 1, 118, "", "", ter},
               {1, 1, 122, "", "", ter},
               {1, 1, 114, "V", " VHF", {1, 3}},
               {3, 4, 118, "U", " UHF", {4, 5}},
               {3, 1, 118, "", "", ter},
               {1, 4, 118, "", "", ter}},
              0.0, 150.0f, 30.0, 20.0);
    AddSupplies(a, "TM", "GTM", {1000, 2000, 4000});
}

// The IF chain the designer draws (LNB, IF filter or converters, final) is
// not regulated by the level adjustment: its figures and the final's own
// regulation give the level it delivers. An LNB's 80 dBuV through
// unity-gain filters and converters and a 30 dB final give the head end up
// to 109 dBuV, what a single-cable network of twelve floors of two flats of
// four outlets asks (104 dBuV in the last satellite band, 25 dB final
// left its farthest outlets below 50 dBuV), and its 25 dB of regulation
// bring two floors of two flats down within 77 dBuV.
constexpr float IfModuleGain = 0.0f;
constexpr double IfFinalGain = 30.0;

void AddSatelliteModules(TArticles& a) {
    constexpr float IfLow = 950.0f, IfHigh = 2150.0f;
    {
        TCella& c = a.Add(CodeConvertitore, AutoMixCommonLine, AutoMixOutputOuter, 0, "GCV-SI",
                          "Convertitore IF/IF", "GSI", 160.0, 30);
        c.Positions[0] = PositionHeadEnd;
        c.Current1 = 250.0f;
        TModuloFiltro& m = *static_cast<TCellaAutoMix&>(c).Modules->head;
        // Satellite transponders are digital: the converter says it takes them.
        c.Characteristics[0] |= FeatureDigital;
        m.flags = (m.flags & ~ModuleConversionMask) | ConvertBlockShift | ModuleDigital;
        SetModule(c, IfLow, IfHigh, 112.0f, IfModuleGain, 9.0f, nullptr, AnsiString());
    }
    {
        TCella& c = a.Add(CodeFiltroAT, AutoMixOneInput, AutoMixOutputOuter, 0, "GFI-SI",
                          "Filtro attivo IF sat", "GSI", 70.0, 15);
        c.Positions[0] = PositionHeadEnd;
        c.Current1 = 200.0f;
        SetModule(c, IfLow, IfHigh, 112.0f, IfModuleGain, 9.0f, nullptr, AnsiString());
    }
    const std::vector<int> sat = {6, 7, 8, 9};
    AddFinals(a, "SI", "GSI",
              {{1, 1, 110, "", "", sat},
               {1, 1, 118, "", "", sat},
               {1, 4, 115, "", "", sat},
               {3, 1, 115, "", "", sat},
               {3, 4, 115, "", "", sat}},
              20.0, 180.0f, IfFinalGain, 25.0);
    // 4000 mA: the jumper layout with the package converters draws 2380.
    AddSupplies(a, "SI", "GSI", {1000, 2000, 4000});
}

// ---- Sources, dish and mixers ----

void AddSatelliteSources(TArticles& a) {
    struct TLnb {
        int32_t outputs, level, gain, price;
        const char* suffix;
        const char* text;
    };
    // clang-format off
    constexpr TLnb lnbs[] = {
        {4, 80, 55, 45, "", ""}, {4, 85, 60, 65, "H", " alto guadagno"},
        {8, 78, 55, 95, "", ""}, {8, 83, 60, 125, "H", " alto guadagno"}};
    // clang-format on
    for (const TLnb& lnb : lnbs) {
        const int32_t outputs = lnb.outputs, level = lnb.level;
        const AnsiString code = "GLNB-" + std::to_string(outputs) + lnb.suffix;
        TCella& c =
            a.Add(CodeSat, 0, outputs, 0, code.c_str(),
                  "LNB " + std::to_string(outputs) + " uscite" + lnb.text, "GPA", lnb.price, 15 + outputs);
        c.Positions[0] = PositionMastFirst;
        c.Current1 = outputs == 4 ? 250.0f : 350.0f;
        // Its outputs take any band of any polarisation: no "LNB Quad".
        c.Characteristics[0] &= ~static_cast<uint32_t>(FeatureQuadLnb);
        for (int32_t o = 0; o < c.TableRows; ++o) {
            SetRow(c, o, SatLevelColumn, SlotRange(level, FirstSatSlot, UsedSlots - 1));
            SetRow(c, o, SatCarrierNoiseColumn, SlotRange(16.0, FirstSatSlot, UsedSlots - 1));
            SetRow(c, o, SatGainColumn, AtSlots(lnb.gain, {SatGainSlot}));
        }
    }
    TCella& c = a.Add(CodeParabola, 0, 0, 0, "GPB-80", "Parabola 80 cm", "GPA", 65.0, 60);
    c.Positions[0] = PositionMastFirst;
    TParabola& dish = static_cast<TParabola&>(c);
    dish.Diameter = 80.0f;
    dish.WindArea = 0.5f;
    dish.WindThrust = 480.0f;
    dish.WindSpeed = 130.0f;
}

void AddMixers(TArticles& a) {
    struct TMixer {
        const char* code;
        const char* description;
        double loss, price;
        int first0, last0, first1, last1;
    };
    // The two-input VHF combiner sorts last: the designer keeps the last
    // mixer that fits two VHF antennas.
    // clang-format off
    const TMixer mixers[] = {
        {"GMX-TS", "Miscelatore TV-SAT", 1.5, 6.50, 6, 10, 0, 5},
        {"GMX-VU", "Miscelatore VHF-UHF", 1.0, 8.50, 0, 3, 4, 5},
        {"GMX-VV", "Miscelatore VHF-VHF", Round1(Db(2) + 0.8), 9.50, 1, 3, 1, 3},
    };
    // clang-format on
    for (const TMixer& m : mixers) {
        TCella& c = a.Add(CodeMiscelatore, 2, 1, 0, m.code, m.description, "GMX", m.price, 10);
        c.Positions[0] = PositionHeadEnd | PositionMastFirst;
        SetRow(c, 0, 0, SlotRange(m.loss, m.first0, m.last0));
        SetRow(c, 0, 1, SlotRange(m.loss, m.first1, m.last1));
    }
}

void AddAntennas(TArticles& a) {
    struct TAntennaKind {
        const char* code;
        const char* description;
        float low, high, area, thrust;
        double price;
    };
    // clang-format off
    constexpr TAntennaKind antennas[] = {
        {"GAN-B1", "Antenna Yagi banda I", 47.0f, 68.0f, 0.40f, 320.0f, 55.0},
        {"GAN-FM", "Antenna Yagi FM", 87.5f, 108.0f, 0.15f, 120.0f, 25.0},
        {"GAN-B3", "Antenna Yagi banda III", 174.0f, 230.0f, 0.12f, 95.0f, 35.0},
        {"GAN-UHF", "Antenna Yagi UHF", 470.0f, 862.0f, 0.10f, 80.0f, 30.0},
    };
    // clang-format on
    for (const TAntennaKind& k : antennas) {
        TCella& c = a.Add(CodeAntenna, 0, 1, 0, k.code, k.description, "GAN", k.price, 40);
        c.Choice1 = ConnScrew;
        c.Positions[0] = PositionMastFirst;
        SetRow(c, 0, AntennaRangeColumn, NoValues());
        c.Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, k.low);
        c.Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, k.high);
        TAntenna& antenna = static_cast<TAntenna&>(c);
        antenna.Shape = AntennaShapeYagi;
        antenna.WindArea = k.area;
        antenna.WindThrust = k.thrust;
        antenna.WindSpeed = 130.0f;
    }
}

// ---- Writing ----

// The message boxes the writers showed since mark, joined.
AnsiString MessagesSince(size_t mark) {
    AnsiString text;
    const auto& boxes = Application->Script().MessageBoxes;
    for (size_t i = mark; i < boxes.size(); ++i) text += (text.empty() ? "" : " ") + boxes[i].Text;
    return text;
}

bool WriteSelection(const AnsiString& path, AnsiString& failure) {
    try {
        TFile file(path, ModeCreate);
        for (const AnsiString& text : DefaultSelectionTexts()) file.WriteChunkedString(text, -1);
        if (!file.FlushToDisk()) {
            failure = "impossibile scrivere " + path;
            return false;
        }
    } catch (const Exception& e) {
        failure = "impossibile scrivere " + path + ": " + e.what();
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::unique_ptr<TCella>> BuildDefaultArticles() {
    TArticles a;
    AddCables(a);
    AddOutlets(a);
    AddSplitters(a);
    AddTaps(a);
    AddTerminations(a);
    AddSwitches(a);
    AddLineAmplifiers(a);
    AddWideBand(a);
    AddTerrestrialModules(a);
    AddSatelliteModules(a);
    AddSatelliteSources(a);
    AddMixers(a);
    AddAntennas(a);
    for (auto& c : a.list) c->RegisterInLibrary(nullptr);
    return std::move(a.list);
}

std::vector<AnsiString> DefaultSelectionTexts() {
    std::vector<AnsiString> texts = {DefaultLibraryName};
    // Riser, staircase to apartment, apartment: terrestrial then satellite.
    for (const char* code : {"GCX-10", "GCX-07", "GCX-05"})
        for (int kind = 0; kind < 2; ++kind) {
            texts.push_back(DefaultLibraryName);
            texts.push_back(code);
        }
    return texts;
}

bool WriteDefaultLibrary(const AnsiString& folder, AnsiString& failure) {
    const AnsiString base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    const AnsiString library = base + DefaultLibraryFile, selection = base + DefaultSelectionFile;
    const AnsiString tempLibrary = base + ".new." + DefaultLibraryFile;
    const AnsiString tempSelection = base + ".new." + DefaultSelectionFile;
    const size_t mark = Application->Script().MessageBoxes.size();
    auto fail = [&](const AnsiString& what) {
        DeleteFile(tempLibrary);
        DeleteFile(tempSelection);
        failure = what;
        const AnsiString shown = MessagesSince(mark);
        if (!shown.empty()) failure += " (" + shown + ")";
        return false;
    };

    std::vector<std::unique_ptr<TCella>> articles;
    try {
        articles = BuildDefaultArticles();
    } catch (const Exception& e) {
        return fail(AnsiString("articolo non costruito: ") + e.what());
    }
    DeleteFile(tempLibrary);
    if (!TLibreria::CreateFile(tempLibrary, true)) return fail("impossibile creare " + tempLibrary);
    {
        TLibreria writer;
        writer.fileName = tempLibrary;
        if (!writer.Open(true)) return fail("impossibile aprire " + tempLibrary);
        for (const auto& cell : articles)
            if (!WriteLibraryCell(writer, *cell)) {
                writer.Close();
                return fail("impossibile scrivere l'articolo " + cell->Code);
            }
        writer.Close();
    }
    if (!WriteSelection(tempSelection, failure)) return fail(failure);
    // Each rename replaces the file of an earlier build at once.
    if (std::rename(tempLibrary.c_str(), library.c_str()) != 0)
        return fail("impossibile mettere al suo posto " + library);
    if (std::rename(tempSelection.c_str(), selection.c_str()) != 0) {
        DeleteFile(library);
        return fail("impossibile mettere al suo posto " + selection);
    }
    return true;
}
