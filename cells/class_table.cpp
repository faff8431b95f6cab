#include "cells/class_table.h"

#include <algorithm>
#include <memory>

#include "cells/active_filters.h"
#include "cells/amplifiers.h"
#include "cells/anchors.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/custom_cell.h"
#include "cells/filters.h"
#include "cells/graphic_cells.h"
#include "cells/head_end.h"
#include "cells/integrated_head_end.h"
#include "cells/mixers.h"
#include "cells/outlets.h"
#include "cells/passives.h"
#include "cells/sources.h"
#include "cells/splitters.h"
#include "cells/switches.h"
#include "cells/taps.h"
#include "cells/terminations.h"

namespace {

using R = TCountRule;
using L = TVariantList;
using F = TListFamily;
using TMade = std::unique_ptr<TCella>;
using TState = TToolState;

// ---- the constructor calls most classes share

// The factory's call with the counts the rule hands over (none to three).
template <class T>
TMade Make0(const TCellArgs& a) {
    return std::make_unique<T>(a.Owner, a.Orientation, 0, a.Column, a.Row);
}
template <class T>
TMade Make1(const TCellArgs& a) {
    return std::make_unique<T>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]);
}
template <class T>
TMade Make2(const TCellArgs& a) {
    return std::make_unique<T>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]);
}
template <class T>
TMade Make3(const TCellArgs& a) {
    return std::make_unique<T>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1], a.Arg[2]);
}

// A prototype: no owner, at (0, 0), with the key's counts.
template <class T>
TMade Proto0(const TPrototypeKey&) {
    return std::make_unique<T>(nullptr, 0, 0, 0, 0);
}
template <class T>
TMade ProtoA(const TPrototypeKey& k) {
    return std::make_unique<T>(nullptr, 0, 0, 0, 0, k.A);
}
template <class T>
TMade ProtoAB(const TPrototypeKey& k) {
    return std::make_unique<T>(nullptr, 0, 0, 0, 0, k.A, k.B);
}
template <class T>
TMade ProtoCodeA(const TPrototypeKey& k) {
    return std::make_unique<T>(nullptr, 0, 0, 0, 0, k.Code, k.A);
}
template <class T>
TMade ProtoCodeAB(const TPrototypeKey& k) {
    return std::make_unique<T>(nullptr, 0, 0, 0, 0, k.Code, k.A, k.B);
}
// The one prototype of a class without counts.
template <class T>
std::vector<TPrototypeFamily> OnlyPrototype(int32_t code) {
    return {{code, 0, 0, 0, 0, 1, Proto0<T>}};
}

// A tool of a class without counts.
template <class T>
TMade Tool0(int32_t, const TState& s) {
    return std::make_unique<T>(s.Owner, s.R, s.M, s.X, s.Y);
}
// A tool whose cell has the first and second lists' counts, from one.
template <class T>
TMade ToolFirstSecond(int32_t, const TState& s) {
    return std::make_unique<T>(s.Owner, s.R, s.M, s.X, s.Y, s.I1 + 1, s.I2 + 1);
}

// The layout byte set on a new cell.
TMade WithLayout(TMade cell, int32_t layout) {
    if (cell) cell->Variant = static_cast<uint8_t>(layout);
    return cell;
}

// Switch layouts: item 0 gives 0, items 1 to 4 give 2 to 5, item k from 5 on
// (n out dx., n = k - 4) gives k + 6.
int32_t SwitchLayoutCode(int32_t item) { return item <= 0 ? 0 : item <= 4 ? item + 1 : item + 6; }
// Terminal switch layouts: items 0 to 5 give 0 to 5, item k from 6 on gives k + 5.
int32_t TerminalLayoutCode(int32_t item) { return item <= 0 ? 0 : item <= 5 ? item : item + 5; }
// The layouts that make a switch a matrix.
bool MatrixLayout(int32_t layout) { return layout == 4 || layout == 5; }
// Automix mixing: "mix alto" 0, "mix lati" 2.
int32_t MixLayoutCode(int32_t item) { return item == 1 ? AutoMixFramedVariant : 0; }
// The automix lists: the first item one port, the second the automix line.
int32_t AutomixPorts(int32_t item) { return item == 0 ? 1 : 3; }

// The switch layout a layout byte came from; -2 for a layout no item makes.
int32_t SwitchLayoutItem(int32_t layout) {
    // Layouts 1 and 6 to 10 are made by no item.
    return layout == 0 ? 0 : (layout >= 2 && layout <= 5) ? layout - 1 : layout >= 11 ? layout - 6 : -2;
}
int32_t TerminalLayoutItem(int32_t layout) { return layout <= 5 ? layout : layout >= 11 ? layout - 5 : -2; }

// An amplifier's lists: n lines through n ways, or one line to n outputs.
TListChoice AmplifierChoice(const char* button, const TCella& c) {
    if (c.Inputs == c.ThroughOutputs) return {button, {c.Inputs - 1, 0, -1}};
    return {button, {c.ThroughOutputs - 1, 1, -1}};
}

// ---- the rows

// Every class the program builds, one row each: its type codes (the code
// asked for, what the constructor receives of the asked counts, the code the
// class stores) and the factory's constructor call; the prototype kinds kept;
// the tools that make it and what a tool builds from the palette's lists; its
// tool buttons (Slot is the place on the bar, in order of placement); the
// button and list items a cell of the class selects back; its family in the
// printed material list, and the codes whose library entries the palettes
// and the designer's component tree offer (every row says both).
// A row names only what differs from the defaults of its fields.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
// clang-format off
const std::vector<TCellClassRow>& Rows() {
    static const std::vector<TCellClassRow> rows = {
    {.Name = "TFiltroS", .Codes = {{CodeFiltroS, R::None, CodeFiltroS}}, .Make = Make0<TFiltroS>,
     .Prototypes = OnlyPrototype<TFiltroS>(CodeFiltroS),
     .Tools = {CodeFiltroS}, .Tool = Tool0<TFiltroS>,
     .Buttons = {{.Slot = 36, .Name = "BFiltroS", .Hint = "Filtro soppressore di banda", .Tool = CodeFiltroS, .Rotate = true, .HeadEnd = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BFiltroS"}; },
     .Listed = F::Filters, .Offered = NotOffered()},

    {.Name = "TFiltroP", .Codes = {{CodeFiltroP, R::None, CodeFiltroP}}, .Make = Make0<TFiltroP>,
     .Prototypes = OnlyPrototype<TFiltroP>(CodeFiltroP),
     .Tools = {CodeFiltroP}, .Tool = Tool0<TFiltroP>,
     .Buttons = {{.Slot = 35, .Name = "BFiltroP", .Hint = "Filtro passa banda", .Tool = CodeFiltroP, .Rotate = true, .HeadEnd = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BFiltroP"}; },
     .Listed = F::Filters, .Offered = NotOffered()},

    {.Name = "TDivisore",
     .Codes = {{CodeDivisore, R::InputsLargerOutput, CodeDivisore}, {CodeDivisoreVariabile, R::InputsLargerOutput, CodeDivisore}, {CodeDivisore4, R::InputsLargerOutput, CodeDivisore}},
     .Make = Make2<TDivisore>,
     .Prototypes = {{CodeDivisore, 0, 16, 1, 10, 1, ProtoAB<TDivisore>}},
     .Tools = {CodeDivisore, CodeDivisoreVariabile, CodeDivisore4},
     .Tool = [](int32_t tool, const TState& s) -> TMade {
         if (tool == CodeDivisoreVariabile) return std::make_unique<TDivisore>(s.Owner, s.R, s.M, s.X, s.Y, s.I1 + 1, s.I2 + 2);
         return std::make_unique<TDivisore>(s.Owner, s.R, s.M, s.X, s.Y, 1, tool == CodeDivisore4 ? 4 : 2);
     },
     .Buttons = {{.Slot = 11, .Name = "BDivisore3", .Hint = "Divisori", .Tool = CodeDivisoreVariabile, .Lists = {L::Lines9, L::DividerOutputs, L::None}, .Rotate = true}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BDivisore3", {c.Inputs - 1, c.TapOutputs - 2, -1}}; },
     .Listed = F::Splitters, .Offered = Offers({CodeDivisore})},

    {.Name = "TDerivatore",
     .Codes = {{CodeDerivatore, R::InputsTaps, CodeDerivatore}, {CodeDerivatore2, R::InputsTaps, CodeDerivatore}, {CodeDerivatoreVariabile, R::InputsTaps, CodeDerivatore}, {CodeDerivatore4, R::InputsTaps, CodeDerivatore}},
     .Make = Make2<TDerivatore>,
     .Prototypes = {{CodeDerivatore, 0, 16, 1, 10, 1, ProtoAB<TDerivatore>}},
     .Tools = {CodeDerivatore, CodeDerivatore2, CodeDerivatoreVariabile, CodeDerivatore4},
     .Tool = [](int32_t tool, const TState& s) -> TMade {
         if (tool == CodeDerivatoreVariabile) return std::make_unique<TDerivatore>(s.Owner, s.R, s.M, s.X, s.Y, s.I1 + 1, s.I2 + 1);
         const int32_t taps = tool == CodeDerivatore4 ? 4 : tool == CodeDerivatore2 ? 2 : 1;
         return std::make_unique<TDerivatore>(s.Owner, s.R, s.M, s.X, s.Y, 1, taps);
     },
     .Buttons = {{.Slot = 13, .Name = "BDerivatore3", .Hint = "Derivatori", .Tool = CodeDerivatoreVariabile, .Lists = {L::Lines9, L::Taps10, L::None}, .Rotate = true, .Mirror = true}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BDerivatore3", {c.Inputs - 1, c.TapOutputs - 1, -1}}; },
     .Listed = F::Taps, .Offered = Offers({CodeDerivatore})},

    {.Name = "TSwitch",
     .Codes = {{CodeSwitch, R::CodeInputsTaps, CodeSwitch}, {CodeSwitch2, R::CodeInputsTaps, CodeSwitch}, {CodeSwitch3, R::CodeInputsTaps, CodeSwitch}, {CodeSwitchVariabile, R::CodeInputsTaps, CodeSwitch}, {CodeSwitchMatrix, R::CodeInputsTaps, CodeSwitchMatrix}},
     .Make = Make3<TSwitch>,
     .Prototypes = {{CodeSwitch, 1, SwitchPrototypeInputs, 1, SwitchPrototypeOutputs, 1, ProtoCodeAB<TSwitch>},
                    {CodeSwitchMatrix, 1, SwitchPrototypeInputs, 1, SwitchPrototypeOutputs, 1, ProtoCodeAB<TSwitch>}},
     .Tools = {CodeSwitch, CodeSwitch2, CodeSwitch3, CodeSwitchVariabile, CodeSwitchMatrix},
     .Tool = [](int32_t tool, const TState& s) -> TMade {
         if (tool != CodeSwitchVariabile && tool != CodeSwitchMatrix)
             return std::make_unique<TSwitch>(s.Owner, s.R, s.M, s.X, s.Y, CodeSwitch, s.I1 + 2, tool - CodeSwitch + 1);
         const int32_t layout = SwitchLayoutCode(s.I3);
         // Only a switch with two outputs a side keeps the tool's mirror.
         const int32_t mirror = s.I2 % 2 == 1 ? s.M : 0;
         return WithLayout(std::make_unique<TSwitch>(s.Owner, s.R, mirror, s.X, s.Y, MatrixLayout(layout) ? CodeSwitchMatrix : CodeSwitch, s.I1 + 1, s.I2 + 1), layout);
     },
     .Buttons = {{.Slot = 17, .Name = "BSwitch4", .Hint = "Switch", .Tool = CodeSwitchVariabile, .Lists = {L::Through17, L::Outputs40, L::SwitchLayout}, .Rotate = true}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BSwitch4", {c.Inputs - 1, c.TapOutputs - 1, SwitchLayoutItem(c.Variant)}}; },
     .Listed = F::Switches, .Offered = Offers({CodeSwitch})},

    {.Name = "TPresaD",
     .Codes = {{CodeEndOutlet, R::CodeTaps, CodeEndOutlet}, {CodePassThroughOutlet, R::CodeTaps, CodePassThroughOutlet}, {CodeEndOutlet3, R::CodeThreeTaps, CodeEndOutlet}, {CodePassThroughOutlet3, R::CodeThreeTaps, CodePassThroughOutlet}, {CodeTerminatedOutlet, R::CodeTaps, CodeTerminatedOutlet}},
     .Make = Make2<TPresaD>,
     .Prototypes = {{CodeEndOutlet, 1, 3, 0, 0, 1, ProtoCodeA<TPresaD>},
                    {CodeTerminatedOutlet, 1, 3, 0, 0, 1, ProtoCodeA<TPresaD>},
                    {CodePassThroughOutlet, 1, 3, 0, 0, 1, ProtoCodeA<TPresaD>}},
     .Tools = {CodeEndOutlet, CodePassThroughOutlet, CodeTerminatedOutlet},
     .Tool = [](int32_t tool, const TState& s) -> TMade {
         if (s.I2 < 0) return nullptr;  // no outlet kind chosen
         return std::make_unique<TPresaD>(s.Owner, s.R, s.M, s.X, s.Y, tool, s.I2 + 1);
     },
     .Buttons = {{.Slot = 19, .Name = "BPresaT", .Hint = "Presa terminale", .Tool = CodeTerminatedOutlet, .Lists = {L::None, L::OutletKind, L::None}, .Rotate = true, .NeedsSecondItem = true},
                 {.Slot = 21, .Name = "BPresaD", .Hint = "Presa diretta", .Tool = CodeEndOutlet, .Lists = {L::None, L::OutletKind, L::None}, .Rotate = true, .NeedsSecondItem = true},
                 {.Slot = 22, .Name = "BPresaP", .Hint = "Presa passante", .Tool = CodePassThroughOutlet, .Lists = {L::None, L::OutletKind, L::None}, .Rotate = true, .NeedsSecondItem = true}},
     .Choice = [](const TCella& c) -> TListChoice {
         const char* button = c.TypeCode == CodeEndOutlet ? "BPresaD" : c.TypeCode == CodePassThroughOutlet ? "BPresaP"
                              : c.TypeCode == CodeTerminatedOutlet ? "BPresaT" : nullptr;
         if (!button) return {};
         return {button, {-1, c.TapOutputs - 1, -1}};
     },
     .Listed = F::Outlets, .Offered = Offers({CodeEndOutlet, CodePassThroughOutlet, CodeEndOutlet3, CodePassThroughOutlet3, CodeTerminatedOutlet})},

    {.Name = "TChiusura", .Codes = {{CodeTermination, R::Inputs, CodeTermination}}, .Make = Make1<TChiusura>,
     .Prototypes = {{CodeTermination, 1, 17, 0, 0, 1, ProtoA<TChiusura>}},
     .Tools = {CodeTermination},
     .Tool = [](int32_t, const TState& s) -> TMade { return std::make_unique<TChiusura>(s.Owner, s.R, s.M, s.X, s.Y, s.I1 + 1); },
     .Buttons = {{.Slot = 29, .Name = "BChiusura", .Hint = "Resistenza di chiusura", .Tool = CodeTermination, .Lists = {L::Inputs17, L::None, L::None}, .Rotate = true}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BChiusura", {c.Inputs - 1, -1, -1}}; },
     .Listed = F::Terminations, .Offered = Offers({CodeTermination})},

    // The cables of files before segments: read, never drawn anew.
    {.Name = "TCavo", .Codes = {{CodeOldCableStraight, R::OldCableAcross, CodeOldCableStraight}, {CodeOldCableBend, R::OldCableAlong, CodeOldCableBend}},
     .Make = [](const TCellArgs& a) -> TMade { return std::make_unique<TCavo>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Flag ? 1 : 0, 0); },
     .Choice = [](const TCella&) -> TListChoice { return {"BLinea"}; },
     .Listed = F::NotListed, .Offered = NotOffered()},

    {.Name = "TSeparatoreCC", .Codes = {{CodeSeparatoreCC, R::None, CodeSeparatoreCC}}, .Make = Make0<TSeparatoreCC>,
     .Prototypes = OnlyPrototype<TSeparatoreCC>(CodeSeparatoreCC),
     .Tools = {CodeSeparatoreCC}, .Tool = Tool0<TSeparatoreCC>,
     .Buttons = {{.Slot = 5, .Name = "BSeparatoreCC", .Hint = "Separatore per CC", .Tool = CodeSeparatoreCC, .Rotate = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BSeparatoreCC"}; },
     .Listed = F::DcSeparators, .Offered = NotOffered()},

    {.Name = "TInduttanza", .Codes = {{CodeInduttanza, R::None, CodeInduttanza}}, .Make = Make0<TInduttanza>,
     .Tools = {CodeInduttanza}, .Tool = Tool0<TInduttanza>,
     .Listed = F::Inductances, .Offered = NotOffered()},

    {.Name = "TAmplificatore",
     .Codes = {{CodeAmplificatore, R::CodeInputsThrough, CodeAmplificatore}, {CodeAmplificatoreRegolato, R::CodeInputsThrough, CodeAmplificatoreRegolato}},
     .Make = Make3<TAmplificatore>,
     // n lines through n ways (variant 0), one line to n outputs (variant 1).
     .Prototypes = {{CodeAmplificatore, 1, AmplifierPrototypeWays, 0, 0, 2, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TAmplificatore>(nullptr, 0, 0, 0, 0, k.Code, k.Variant ? 1 : k.A, k.A); }},
                    {CodeAmplificatoreRegolato, 1, AmplifierPrototypeWays, 0, 0, 2, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TAmplificatore>(nullptr, 0, 0, 0, 0, k.Code, k.Variant ? 1 : k.A, k.A); }}},
     .Tools = {CodeAmplificatore, CodeAmplificatoreRegolato},
     .Tool = [](int32_t tool, const TState& s) -> TMade { return std::make_unique<TAmplificatore>(s.Owner, s.R, s.M, s.X, s.Y, tool, s.I2 == 0 ? s.I1 + 1 : 1, s.I1 + 1); },
     .Buttons = {{.Slot = 28, .Name = "BAmplificatore", .Hint = "Amplificatore", .Tool = CodeAmplificatore, .Lists = {L::Ways17, L::AmplifierInput, L::None}, .Rotate = true},
                 {.Slot = 30, .Name = "BAmplificatoreGR", .Hint = "Amplificatore con guadagno regolabile", .Tool = CodeAmplificatoreRegolato, .Lists = {L::Ways17, L::AmplifierInput, L::None}, .Rotate = true}},
     .Choice = [](const TCella& c) -> TListChoice { return AmplifierChoice(c.TypeCode == CodeAmplificatore ? "BAmplificatore" : "BAmplificatoreGR", c); },
     .Listed = F::Amplifiers, .Offered = Offers({CodeAmplificatore, CodeAmplificatoreRegolato})},

    {.Name = "TAmplificatoreA", .Codes = {{CodeAmplificatoreA, R::InputsThrough, CodeAmplificatoreA}}, .Make = Make2<TAmplificatoreA>,
     .Prototypes = {{CodeAmplificatoreA, 1, AmplifierPrototypeWays, 0, 0, 2, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TAmplificatoreA>(nullptr, 0, 0, 0, 0, k.Variant ? 1 : k.A, k.A); }}},
     .Tools = {CodeAmplificatoreA},
     .Tool = [](int32_t, const TState& s) -> TMade { return std::make_unique<TAmplificatoreA>(s.Owner, s.R, s.M, s.X, s.Y, s.I2 == 0 ? s.I1 + 1 : 1, s.I1 + 1); },
     .Buttons = {{.Slot = 32, .Name = "BAmplificatoreA", .Hint = "Amplificatore con controllo automatico di guadagno", .Tool = CodeAmplificatoreA, .Lists = {L::Ways9, L::AmplifierInput, L::None}, .Rotate = true, .HeadEnd = true}},
     .Choice = [](const TCella& c) -> TListChoice { return AmplifierChoice("BAmplificatoreA", c); },
     .Listed = F::Amplifiers, .Offered = NotOffered()},

    {.Name = "TAlimentatore", .Codes = {{CodeAlimentatore, R::Through, CodeAlimentatore}}, .Make = Make1<TAlimentatore>,
     .Prototypes = {{CodeAlimentatore, 1, PowerSupplyPrototypeOutputs, 0, 0, 1, ProtoA<TAlimentatore>}},
     .Tools = {CodeAlimentatore},
     .Tool = [](int32_t, const TState& s) -> TMade { return std::make_unique<TAlimentatore>(s.Owner, s.R, s.M, s.X, s.Y, s.I2 + 1); },
     .Buttons = {{.Slot = 8, .Name = "BAlimentatore", .Hint = "Alimentatore con passaggio RF", .Tool = CodeAlimentatore, .Lists = {L::None, L::Outputs4, L::None}, .Rotate = true}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BAlimentatore", {-1, c.ThroughOutputs - 1, -1}}; },
     .Listed = F::PowerSupplies, .Offered = Offers({CodeAlimentatore})},

    // The earth is chosen by hand only.
    {.Name = "TTerra", .Codes = {{CodeEarth, R::None, CodeEarth}}, .Make = Make0<TTerra>,
     .Tools = {CodeEarth}, .Tool = Tool0<TTerra>,
     .Buttons = {{.Slot = 6, .Name = "BTerra", .Hint = "Connessione di terra", .Tool = CodeEarth}},
     .Listed = F::NotListed, .Offered = NotOffered()},

    {.Name = "TAttenuatore", .Codes = {{CodeAttenuatore, R::None, CodeAttenuatore}}, .Make = Make0<TAttenuatore>,
     .Prototypes = OnlyPrototype<TAttenuatore>(CodeAttenuatore),
     .Tools = {CodeAttenuatore}, .Tool = Tool0<TAttenuatore>,
     .Buttons = {{.Slot = 9, .Name = "BAttenuatore", .Hint = "Attenuatore fisso", .Tool = CodeAttenuatore, .Rotate = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BAttenuatore"}; },
     .Listed = F::Attenuators, .Offered = NotOffered()},

    {.Name = "TAttenuatoreR", .Codes = {{CodeAttenuatoreR, R::None, CodeAttenuatoreR}}, .Make = Make0<TAttenuatoreR>,
     .Prototypes = OnlyPrototype<TAttenuatoreR>(CodeAttenuatoreR),
     .Tools = {CodeAttenuatoreR}, .Tool = Tool0<TAttenuatoreR>,
     .Buttons = {{.Slot = 10, .Name = "BAttenuatoreR", .Hint = "Attenuatore regolabile", .Tool = CodeAttenuatoreR, .Rotate = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BAttenuatoreR"}; },
     .Listed = F::AdjustableAttenuators, .Offered = NotOffered()},

    {.Name = "TEqualizzatore", .Codes = {{CodeEqualizzatore, R::None, CodeEqualizzatore}}, .Make = Make0<TEqualizzatore>,
     .Prototypes = OnlyPrototype<TEqualizzatore>(CodeEqualizzatore),
     .Tools = {CodeEqualizzatore}, .Tool = Tool0<TEqualizzatore>,
     .Buttons = {{.Slot = 12, .Name = "BEqualizzatore", .Hint = "Equalizzatore", .Tool = CodeEqualizzatore, .Rotate = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BEqualizzatore"}; },
     .Listed = F::Equalisers, .Offered = NotOffered()},

    {.Name = "TMiscelatore", .Codes = {{CodeMiscelatore, R::Inputs, CodeMiscelatore}}, .Make = Make1<TMiscelatore>,
     .Prototypes = {{CodeMiscelatore, 2, MixerBranchesMax, 0, 0, 1, ProtoA<TMiscelatore>}},
     .Tools = {CodeMiscelatore},
     .Tool = [](int32_t, const TState& s) -> TMade { return std::make_unique<TMiscelatore>(s.Owner, s.R, s.M, s.X, s.Y, s.I1 + 2); },
     .Buttons = {{.Slot = 23, .Name = "BMiscelatore", .Hint = "Miscelatori", .Tool = CodeMiscelatore, .Lists = {L::MixerInputs, L::None, L::None}, .Rotate = true}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BMiscelatore", {c.Inputs - 2, -1, -1}}; },
     .Listed = F::Mixers, .Offered = Offers({CodeMiscelatore})},

    {.Name = "TDemiscelatore", .Codes = {{CodeDemiscelatore, R::Through, CodeDemiscelatore}}, .Make = Make1<TDemiscelatore>,
     .Prototypes = {{CodeDemiscelatore, 2, MixerBranchesMax, 0, 0, 1, ProtoA<TDemiscelatore>}},
     .Tools = {CodeDemiscelatore},
     .Tool = [](int32_t, const TState& s) -> TMade { return std::make_unique<TDemiscelatore>(s.Owner, s.R, s.M, s.X, s.Y, s.I2 + 2); },
     .Buttons = {{.Slot = 24, .Name = "BDemiscelatore", .Hint = "Demiscelatori", .Tool = CodeDemiscelatore, .Lists = {L::None, L::DemixerOutputs, L::None}, .Rotate = true}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BDemiscelatore", {-1, c.ThroughOutputs - 2, -1}}; },
     .Listed = F::Demixers, .Offered = NotOffered()},

    {.Name = "TFiltroPB", .Codes = {{CodeFiltroPB, R::None, CodeFiltroPB}}, .Make = Make0<TFiltroPB>,
     .Prototypes = OnlyPrototype<TFiltroPB>(CodeFiltroPB),
     .Tools = {CodeFiltroPB}, .Tool = Tool0<TFiltroPB>,
     .Buttons = {{.Slot = 34, .Name = "BFiltroPB", .Hint = "Filtro passa-basso", .Tool = CodeFiltroPB, .Rotate = true, .HeadEnd = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BFiltroPB"}; },
     .Listed = F::Filters, .Offered = NotOffered()},

    {.Name = "TFiltroPA", .Codes = {{CodeFiltroPA, R::None, CodeFiltroPA}}, .Make = Make0<TFiltroPA>,
     .Prototypes = OnlyPrototype<TFiltroPA>(CodeFiltroPA),
     .Tools = {CodeFiltroPA}, .Tool = Tool0<TFiltroPA>,
     .Buttons = {{.Slot = 33, .Name = "BFiltroPA", .Hint = "Filtro passa-alto", .Tool = CodeFiltroPA, .Rotate = true, .HeadEnd = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BFiltroPA"}; },
     .Listed = F::Filters, .Offered = NotOffered()},

    // The head-end terminal: one per head-end grid, never chosen on the bar.
    {.Name = "TTesta", .Codes = {{CodeHeadEnd, R::Through, CodeHeadEnd}}, .Make = Make1<TTesta>,
     .Tools = {CodeHeadEnd},
     .Tool = [](int32_t, const TState& s) -> TMade { return std::make_unique<TTesta>(s.Owner, 0, 0, s.X, s.Y, 1); },
     .Listed = F::NotListed, .Offered = NotOffered()},

    {.Name = "TFiltroAT", .Codes = {{CodeFiltroAT, R::InputsThrough, CodeFiltroAT}}, .Make = Make2<TFiltroAT>,
     .Prototypes = {{CodeFiltroAT, AutoMixOneInput, AutoMixCommonLine, 0, AutoMixOutputOuter, 1, ProtoAB<TFiltroAT>}},
     .Tools = {CodeFiltroAT},
     .Tool = [](int32_t, const TState& s) -> TMade { return WithLayout(std::make_unique<TFiltroAT>(s.Owner, s.R, s.M, s.X, s.Y, AutomixPorts(s.I1), AutomixPorts(s.I2)), MixLayoutCode(s.I3)); },
     .Buttons = {{.Slot = 37, .Name = "BFiltroAT", .Hint = "Filtro attivo", .Tool = CodeFiltroAT, .Lists = {L::AutomixInput, L::AutomixOutput, L::Mix}, .HeadEnd = true, .StartItems = {1, 1, 0}, .Sides = {1, 1, 1}}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BFiltroAT", {c.Inputs != 1, c.ThroughOutputs != 1, c.Variant != 0}}; },
     .Listed = F::ActiveFilters, .Offered = Offers({CodeFiltroAT})},

    {.Name = "TModulatore", .Codes = {{CodeModulatore, R::Through, CodeModulatore}}, .Make = Make1<TModulatore>,
     .Prototypes = {{CodeModulatore, 0, AutoMixOutputOuter, 0, 0, 1, ProtoA<TModulatore>}},
     .Tools = {CodeModulatore},
     .Tool = [](int32_t, const TState& s) -> TMade { return WithLayout(std::make_unique<TModulatore>(s.Owner, s.R, s.M, s.X, s.Y, AutomixPorts(s.I2)), MixLayoutCode(s.I3)); },
     .Buttons = {{.Slot = 41, .Name = "BModulatore", .Hint = "Modulatore", .Tool = CodeModulatore, .Lists = {L::None, L::AutomixOutput, L::Mix}, .HeadEnd = true, .StartItems = {0, 1, 0}, .Sides = {1, 1, 1}}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BModulatore", {-1, c.ThroughOutputs != 1, c.Variant != 0}}; },
     .Listed = F::Modulators, .Offered = NotOffered()},

    {.Name = "TConvertitore", .Codes = {{CodeConvertitore, R::InputsThrough, CodeConvertitore}}, .Make = Make2<TConvertitore>,
     .Prototypes = {{CodeConvertitore, AutoMixOneInput, AutoMixCommonLine, 0, AutoMixOutputOuter, 1, ProtoAB<TConvertitore>}},
     .Tools = {CodeConvertitore},
     .Tool = [](int32_t, const TState& s) -> TMade {
         // "da palo": one input, one output whatever the lists say.
         if (s.I3 == 1) return WithLayout(std::make_unique<TConvertitore>(s.Owner, s.R, s.M, s.X, s.Y, 1, 1), s.I3);
         return WithLayout(std::make_unique<TConvertitore>(s.Owner, s.R, s.M, s.X, s.Y, AutomixPorts(s.I1), AutomixPorts(s.I2)), s.I3);
     },
     .Buttons = {{.Slot = 42, .Name = "BConvertitore", .Hint = "Convertitore universale", .Tool = CodeConvertitore, .Lists = {L::AutomixInput, L::AutomixOutput, L::ConverterMounting}, .HeadEnd = true, .StartItems = {1, 1, 0}, .Sides = {2, 1, 1}}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BConvertitore", {c.Inputs != 1, c.ThroughOutputs != 1, c.Variant}}; },
     .Listed = F::Converters, .Offered = Offers({CodeConvertitore})},

    {.Name = "TAntenna", .Codes = {{CodeAntenna, R::None, CodeAntenna}}, .Make = Make0<TAntenna>,
     .Prototypes = OnlyPrototype<TAntenna>(CodeAntenna),
     .Tools = {CodeAntenna}, .Tool = Tool0<TAntenna>,
     .Buttons = {{.Slot = 45, .Name = "BAntenna", .Hint = "Antenna", .Tool = CodeAntenna, .HeadEnd = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BAntenna"}; },
     .Listed = F::Antennas, .Offered = NotOffered()},

    {.Name = "TSat", .Codes = {{CodeSat, R::Through, CodeSat}}, .Make = Make1<TSat>,
     .Prototypes = {{CodeSat, 0, SatPrototypeOutputs, 0, 0, 1, ProtoA<TSat>}},
     .Tools = {CodeSat},
     .Tool = [](int32_t, const TState& s) -> TMade { return std::make_unique<TSat>(s.Owner, s.R, s.M, s.X, s.Y, s.I2 + 1); },
     .Buttons = {{.Slot = 40, .Name = "BSat", .Hint = "Convertitore LNB", .Tool = CodeSat, .Lists = {L::None, L::Outputs8, L::None}, .HeadEnd = true}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BSat", {-1, c.ThroughOutputs - 1, -1}}; },
     .Listed = F::SatSources, .Offered = Offers({CodeSat})},

    {.Name = "TTerrestre", .Codes = {{CodeTerrestre, R::InputsThrough, CodeTerrestre}}, .Make = Make2<TTerrestre>,
     .Prototypes = {{CodeTerrestre, 0, WideBandPrototypeInputs, 0, WideBandPrototypeOutputs, 1, ProtoAB<TTerrestre>}},
     .Tools = {CodeTerrestre}, .Tool = ToolFirstSecond<TTerrestre>,
     .Buttons = {{.Slot = 39, .Name = "BTerrestre", .Hint = "Amplificatore a larga banda", .Tool = CodeTerrestre, .Lists = {L::Inputs9, L::Outputs10, L::None}, .HeadEnd = true}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BTerrestre", {c.Inputs - 1, c.ThroughOutputs - 1, -1}}; },
     .Listed = F::WideBandAmplifiers, .Offered = Offers({CodeTerrestre})},

    {.Name = "TFiltroCAG", .Codes = {{CodeFiltroCAG, R::InputsThrough, CodeFiltroCAG}}, .Make = Make2<TFiltroCAG>,
     .Prototypes = {{CodeFiltroCAG, AutoMixOneInput, AutoMixCommonLine, 0, AutoMixOutputOuter, 1, ProtoAB<TFiltroCAG>}},
     .Tools = {CodeFiltroCAG},
     .Tool = [](int32_t, const TState& s) -> TMade { return WithLayout(std::make_unique<TFiltroCAG>(s.Owner, s.R, s.M, s.X, s.Y, AutomixPorts(s.I1), AutomixPorts(s.I2)), MixLayoutCode(s.I3)); },
     .Buttons = {{.Slot = 38, .Name = "BFiltroCAG", .Hint = "Filtro attivo CAG", .Tool = CodeFiltroCAG, .Lists = {L::AutomixInput, L::AutomixOutput, L::Mix}, .HeadEnd = true, .StartItems = {1, 1, 0}, .Sides = {1, 1, 1}}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BFiltroCAG", {c.Inputs != 1, c.ThroughOutputs != 1, c.Variant != 0}}; },
     .Listed = F::ActiveFilters, .Offered = Offers({CodeFiltroCAG})},

    {.Name = "TAmplificatoreAt", .Codes = {{CodeAmplificatoreAt, R::InputsThrough, CodeAmplificatoreAt}}, .Make = Make2<TAmplificatoreAt>,
     .Prototypes = {{CodeAmplificatoreAt, AutoMixOneInput, AutoMixCommonLine, AutoMixOutputCentre, AutoMixOutputBypass, 1, ProtoAB<TAmplificatoreAt>}},
     .Tools = {CodeAmplificatoreAt},
     .Tool = [](int32_t, const TState& s) -> TMade {
         const int32_t out = s.I2 == 0 ? 1 : s.I2 + 2;
         // Upside down the box stands two squares right and four down.
         if (s.R % 2 == 1) return WithLayout(std::make_unique<TAmplificatoreAt>(s.Owner, 2, s.M, s.X + 2, s.Y + 4, s.I1 + 1, out), MixLayoutCode(s.I3));
         return WithLayout(std::make_unique<TAmplificatoreAt>(s.Owner, 0, s.M, s.X, s.Y, s.I1 + 1, out), MixLayoutCode(s.I3));
     },
     .Buttons = {{.Slot = 31, .Name = "BAmplificatoreAt", .Hint = "Amplificatore finale di potenza", .Tool = CodeAmplificatoreAt, .Lists = {L::AutomixInputs, L::AutomixOutputsA, L::Mix}, .Rotate = true, .HeadEnd = true, .StartItems = {1, 0, 0}, .HalfTurns = true, .Sides = {1, 0, 2}}},
     .Choice = [](const TCella& c) -> TListChoice {
         const int32_t out = c.ThroughOutputs == 1 ? 0 : c.ThroughOutputs == 4 ? 2 : 1;
         return {"BAmplificatoreAt", {c.Inputs - 1, out, c.Variant != 0}};
     },
     .Listed = F::FinalAmplifiers, .Offered = Offers({CodeAmplificatoreAt})},

    {.Name = "TAlimentatoreSF", .Codes = {{CodeAlimentatoreSF, R::None, CodeAlimentatoreSF}}, .Make = Make0<TAlimentatoreSF>,
     .Prototypes = OnlyPrototype<TAlimentatoreSF>(CodeAlimentatoreSF),
     .Tools = {CodeAlimentatoreSF},
     .Tool = [](int32_t, const TState& s) -> TMade { return WithLayout(std::make_unique<TAlimentatoreSF>(s.Owner, s.R, s.M, s.X, s.Y), s.I3); },
     .Buttons = {{.Slot = 7, .Name = "BAlimentatoreSF", .Hint = "Alimentatore", .Tool = CodeAlimentatoreSF, .Lists = {L::None, L::None, L::Modules}}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BAlimentatoreSF", {-1, -1, c.Variant}}; },
     .Listed = F::PowerSupplies, .Offered = Offers({CodeAlimentatoreSF})},

    {.Name = "TParabola", .Codes = {{CodeParabola, R::None, CodeParabola}}, .Make = Make0<TParabola>,
     .Prototypes = OnlyPrototype<TParabola>(CodeParabola),
     .Tools = {CodeParabola}, .Tool = Tool0<TParabola>,
     .Buttons = {{.Slot = 46, .Name = "BParabola", .Hint = "Antenna parabolica", .Tool = CodeParabola, .Mirror = true, .HeadEnd = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BParabola"}; },
     .Listed = F::Dishes, .Offered = Offers({CodeParabola})},

    {.Name = "TSwitchN",
     .Codes = {{CodeSwitchN, R::CodeInputsTaps, CodeSwitchN}, {CodeSwitchNMatrix, R::CodeInputsTaps, CodeSwitchNMatrix}},
     .Make = Make3<TSwitchN>,
     .Prototypes = {{CodeSwitchN, 1, SwitchPrototypeInputs, 1, SwitchPrototypeOutputs, 1, ProtoCodeAB<TSwitchN>},
                    {CodeSwitchNMatrix, 1, SwitchPrototypeInputs, 1, SwitchPrototypeOutputs, 1, ProtoCodeAB<TSwitchN>}},
     .Tools = {CodeSwitchN, CodeSwitchNMatrix},
     .Tool = [](int32_t, const TState& s) -> TMade {
         const int32_t layout = TerminalLayoutCode(s.I3);
         return WithLayout(std::make_unique<TSwitchN>(s.Owner, s.R, s.M, s.X, s.Y, MatrixLayout(layout) ? CodeSwitchNMatrix : CodeSwitchN, s.I1 + 1, s.I2 + 1), layout);
     },
     .Buttons = {{.Slot = 18, .Name = "BSwitchN", .Hint = "Switch terminali", .Tool = CodeSwitchN, .Lists = {L::Inputs17, L::Outputs40, L::TerminalLayout}, .Rotate = true, .StartItems = {0, 0, 1}}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BSwitchN", {c.Inputs - 1, c.TapOutputs - 1, TerminalLayoutItem(c.Variant)}}; },
     .Listed = F::Switches, .Offered = Offers({CodeSwitchN})},

    {.Name = "TInseritore", .Codes = {{CodeInseritore, R::None, CodeInseritore}}, .Make = Make0<TInseritore>,
     .Prototypes = OnlyPrototype<TInseritore>(CodeInseritore),
     .Tools = {CodeInseritore}, .Tool = Tool0<TInseritore>,
     .Buttons = {{.Slot = 26, .Name = "BInseritore", .Hint = "Inseritore DC", .Tool = CodeInseritore, .Rotate = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BInseritore"}; },
     .Listed = F::Inserters, .Offered = NotOffered()},

    {.Name = "TDerivatoreN", .Codes = {{CodeDerivatoreN, R::InputsTaps, CodeDerivatoreN}}, .Make = Make2<TDerivatoreN>,
     .Prototypes = {{CodeDerivatoreN, 0, 16, 1, 10, 1, ProtoAB<TDerivatoreN>}},
     .Tools = {CodeDerivatoreN}, .Tool = ToolFirstSecond<TDerivatoreN>,
     .Buttons = {{.Slot = 14, .Name = "BDerivatoreN", .Hint = "Derivatori terminali", .Tool = CodeDerivatoreN, .Lists = {L::Lines9, L::Taps10, L::None}, .Rotate = true, .Mirror = true}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BDerivatoreN", {c.Inputs - 1, c.TapOutputs - 1, -1}}; },
     .Listed = F::Taps, .Offered = Offers({CodeDerivatoreN})},

    {.Name = "TDerivatoreS", .Codes = {{CodeDerivatoreS, R::InputsTaps, CodeDerivatoreS}}, .Make = Make2<TDerivatoreS>,
     .Prototypes = {{CodeDerivatoreS, 0, 16, 1, 10, 1, ProtoAB<TDerivatoreS>}},
     .Tools = {CodeDerivatoreS},
     .Tool = [](int32_t, const TState& s) -> TMade { return std::make_unique<TDerivatoreS>(s.Owner, s.R, s.M, s.X, s.Y, s.I1 + 1, 2 * s.I2 + 2); },
     .Buttons = {{.Slot = 15, .Name = "BDerivatoreS", .Hint = "Derivatori con uscite a partitore", .Tool = CodeDerivatoreS, .Lists = {L::Lines9, L::TapsEven, L::None}, .Rotate = true, .Mirror = true}},
     .Choice = [](const TCella& c) -> TListChoice {
         const int32_t taps = c.TapOutputs;
         return {"BDerivatoreS", {c.Inputs - 1, taps % 2 == 0 ? taps / 2 - 1 : -2, -1}};
     },
     .Listed = F::Taps, .Offered = Offers({CodeDerivatoreS})},

    {.Name = "TRicevitoreSat", .Codes = {{CodeRicevitoreSat, R::None, CodeRicevitoreSat}}, .Make = Make0<TRicevitoreSat>,
     .Prototypes = OnlyPrototype<TRicevitoreSat>(CodeRicevitoreSat),
     .Tools = {CodeRicevitoreSat}, .Tool = Tool0<TRicevitoreSat>,
     .Buttons = {{.Slot = 43, .Name = "BRicevitoreSat", .Hint = "Ricevitore sat", .Tool = CodeRicevitoreSat, .HeadEnd = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BRicevitoreSat"}; },
     .Listed = F::SatReceivers, .Offered = NotOffered()},

    // The sub-network anchors: their buttons serve the custom-component editor.
    {.Name = "TAncoraI", .Codes = {{CodeEntryAnchor, R::None, CodeEntryAnchor}}, .Make = Make0<TAncoraI>,
     .Tools = {CodeEntryAnchor}, .Tool = Tool0<TAncoraI>,
     .Buttons = {{.Slot = 48, .Name = "BAncoraI", .Hint = "", .Tool = CodeEntryAnchor, .Rotate = true, .Placed = false}},
     .Listed = F::NotListed, .Offered = NotOffered()},

    {.Name = "TAncoraO", .Codes = {{CodeExitAnchor, R::None, CodeExitAnchor}}, .Make = Make0<TAncoraO>,
     .Tools = {CodeExitAnchor}, .Tool = Tool0<TAncoraO>,
     .Buttons = {{.Slot = 49, .Name = "BAncoraO", .Hint = "", .Tool = CodeExitAnchor, .Rotate = true, .Placed = false}},
     .Listed = F::NotListed, .Offered = NotOffered()},

    {.Name = "TCellaCustom", .Codes = {{CodeCustom, R::InputsTaps, CodeCustom}}, .Make = Make2<TCellaCustom>,
     .Prototypes = {{CodeCustom, 1, CustomMaxPorts, 1, CustomMaxPorts, 1, ProtoAB<TCellaCustom>}},
     .Tools = {CodeCustom}, .Tool = ToolFirstSecond<TCellaCustom>,
     .Buttons = {{.Slot = 47, .Name = "BCustom", .Hint = "", .Tool = CodeCustom, .Lists = {L::Inputs20, L::Outputs20, L::None}, .Placed = false}},
     .Choice = [](const TCella& c) -> TListChoice { return {"BCustom", {c.Inputs - 1, c.TapOutputs - 1, -1}}; },
     .Listed = F::Custom, .Offered = Offers({CodeCustom})},

    // The integrated head-end is chosen by hand only.
    {.Name = "TCentraleIntegrata", .Codes = {{CodeCentraleIntegrata, R::InputsThrough, CodeCentraleIntegrata}}, .Make = Make2<TCentraleIntegrata>,
     .Prototypes = {{CodeCentraleIntegrata, 1, IntegratedMaxInputs, 1, IntegratedMaxOutputs, 1, ProtoAB<TCentraleIntegrata>}},
     .Tools = {CodeCentraleIntegrata}, .Tool = ToolFirstSecond<TCentraleIntegrata>,
     .Buttons = {{.Slot = 44, .Name = "BCentraleIntegrata", .Hint = "Centrale integrata", .Tool = CodeCentraleIntegrata, .Lists = {L::Inputs10, L::Outputs5, L::None}, .HeadEnd = true}},
     .Listed = F::IntegratedHeadEnds, .Offered = NotOffered()},

    // Cables and jumpers; the tools draw new cables also for the old codes'
    // buttons (straight and bent).
    {.Name = "TNCavo", .Codes = {{CodeBridge, R::Segment, CodeCable}, {CodeCable, R::Segment, CodeCable}},
     .Make = [](const TCellArgs& a) -> TMade { return std::make_unique<TNCavo>(a.Owner, a.Orientation, 0, a.Column, a.Row, 0, 0); },
     .Prototypes = {{CodeCable, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TNCavo>(nullptr, 1, 0, 0, 0, 0, 0); }},
                    {CodeBridge, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { auto c = std::make_unique<TNCavo>(nullptr, 1, 0, 0, 0, 0, 0); c->TypeCode = CodeBridge; return c; }}},
     .Tools = {CodeOldCableStraight, CodeOldCableBend, CodeBridge},
     .Tool = [](int32_t tool, const TState& s) -> TMade {
         if (tool == CodeOldCableBend) return std::make_unique<TNCavo>(s.Owner, s.R, s.M, s.X, s.Y, 1, s.Cable);
         auto cable = std::make_unique<TNCavo>(s.Owner, s.R % 2, s.M, s.X, s.Y, 0, s.Cable);
         if (tool == CodeBridge) cable->TypeCode = CodeBridge;
         return cable;
     },
     .Buttons = {{.Slot = 25, .Name = "BLinea", .Hint = "Cavo lineare", .Tool = CodeOldCableStraight, .Rotate = true, .CableColour = true},
                 {.Slot = 27, .Name = "BAngolo", .Hint = "Cavo ad angolo", .Tool = CodeOldCableBend, .Rotate = true, .CableColour = true}},
     .Choice = [](const TCella&) -> TListChoice { return {"BLinea"}; },
     .Listed = F::Cables, .Offered = Offers({CodeBridge})},

    {.Name = "TElementoListino", .Codes = {{CodeElementoListino, R::OwnerOnly, CodeElementoListino}},
     .Make = [](const TCellArgs& a) -> TMade { return std::make_unique<TElementoListino>(a.Owner); },
     .Tools = {CodeElementoListino},
     .Tool = [](int32_t, const TState& s) -> TMade { return std::make_unique<TElementoListino>(s.Owner); },
     .Listed = F::NotListed, .Offered = NotOffered()},
    };
    return rows;
}
// clang-format on
#pragma GCC diagnostic pop

}  // namespace

std::span<const TCellClassRow> CellClassRows() { return std::span<const TCellClassRow>(Rows()); }

const TCellClassRow* ClassRowOfCode(int32_t code) {
    for (const TCellClassRow& row : Rows())
        for (const TCellCode& c : row.Codes)
            if (c.Code == code) return &row;
    return nullptr;
}

const TCellClassRow* ClassRowOfTool(int32_t tool) {
    for (const TCellClassRow& row : Rows())
        if (std::find(row.Tools.begin(), row.Tools.end(), tool) != row.Tools.end()) return &row;
    return nullptr;
}

TListFamily ListFamilyOfCode(int32_t code) {
    const TCellClassRow* row = ClassRowOfCode(code);
    return row ? row->Listed : TListFamily::NotListed;
}

bool OfferedOnPalettes(int32_t typeCode) {
    for (const TCellClassRow& row : Rows())
        if (std::find(row.Offered.Codes.begin(), row.Offered.Codes.end(), typeCode) != row.Offered.Codes.end())
            return true;
    return false;
}
