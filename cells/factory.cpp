#include "cells/factory.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

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
using TMade = std::unique_ptr<TCella>;

struct TCellCode {
    int32_t Code;
    TCountRule Rule;
    int32_t StoredCode;
};

struct TCellClass {
    const char* Name;
    std::vector<TCellCode> Codes;
    TCellMaker Make;
};

// Every class the program builds, one row each: its type codes (the code
// asked for, what the constructor receives of the asked counts, the code the
// class stores) and its constructor call with the arguments the rule hands
// over. A new class is one row here.
// clang-format off
const TCellClass classTable[] = {
    {"TFiltroS", {{1, R::None, 1}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TFiltroS>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TFiltroP", {{2, R::None, 2}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TFiltroP>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TDivisore", {{3, R::InputsLargerOutput, 3}, {4, R::InputsLargerOutput, 3}, {5, R::InputsLargerOutput, 3}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TDivisore>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TDerivatore", {{6, R::InputsTaps, 6}, {7, R::InputsTaps, 6}, {8, R::InputsTaps, 6}, {9, R::InputsTaps, 6}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TDerivatore>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TSwitch", {{10, R::CodeInputsTaps, 10}, {11, R::CodeInputsTaps, 10}, {12, R::CodeInputsTaps, 10}, {13, R::CodeInputsTaps, 10}, {56, R::CodeInputsTaps, 56}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TSwitch>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1], a.Arg[2]); }},
    {"TPresaD", {{14, R::CodeTaps, 14}, {15, R::CodeTaps, 15}, {41, R::CodeThreeTaps, 14}, {46, R::CodeThreeTaps, 15}, {54, R::CodeTaps, 54}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TPresaD>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TChiusura", {{16, R::Inputs, 16}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TChiusura>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TCavo", {{17, R::OldCableAcross, 17}, {18, R::OldCableAlong, 18}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TCavo>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Flag ? 1 : 0, 0); }},
    {"TSeparatoreCC", {{19, R::None, 19}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TSeparatoreCC>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TInduttanza", {{20, R::None, 20}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TInduttanza>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TAmplificatore", {{21, R::CodeInputsThrough, 21}, {22, R::CodeInputsThrough, 22}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TAmplificatore>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1], a.Arg[2]); }},
    {"TAmplificatoreA", {{23, R::InputsThrough, 23}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TAmplificatoreA>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TAlimentatore", {{24, R::Through, 24}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TAlimentatore>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TTerra", {{25, R::None, 25}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TTerra>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TAttenuatore", {{26, R::None, 26}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TAttenuatore>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TAttenuatoreR", {{27, R::None, 27}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TAttenuatoreR>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TEqualizzatore", {{28, R::None, 28}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TEqualizzatore>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TMiscelatore", {{29, R::Inputs, 29}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TMiscelatore>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TDemiscelatore", {{30, R::Through, 30}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TDemiscelatore>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TFiltroPB", {{31, R::None, 31}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TFiltroPB>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TFiltroPA", {{32, R::None, 32}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TFiltroPA>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TTesta", {{34, R::Through, 34}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TTesta>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TFiltroAT", {{35, R::InputsThrough, 35}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TFiltroAT>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TModulatore", {{36, R::Through, 36}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TModulatore>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TConvertitore", {{37, R::InputsThrough, 37}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TConvertitore>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TAntenna", {{38, R::None, 38}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TAntenna>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TSat", {{39, R::Through, 39}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TSat>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TTerrestre", {{40, R::InputsThrough, 40}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TTerrestre>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TFiltroCAG", {{42, R::InputsThrough, 42}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TFiltroCAG>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TAmplificatoreAt", {{43, R::InputsThrough, 43}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TAmplificatoreAt>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TAlimentatoreSF", {{44, R::None, 44}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TAlimentatoreSF>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TParabola", {{45, R::None, 45}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TParabola>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TSwitchN", {{47, R::CodeInputsTaps, 47}, {57, R::CodeInputsTaps, 57}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TSwitchN>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1], a.Arg[2]); }},
    {"TInseritore", {{48, R::None, 48}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TInseritore>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TDerivatoreN", {{49, R::InputsTaps, 49}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TDerivatoreN>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TDerivatoreS", {{50, R::InputsTaps, 50}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TDerivatoreS>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TRicevitoreSat", {{51, R::None, 51}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TRicevitoreSat>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TAncoraI", {{52, R::None, 52}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TAncoraI>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TAncoraO", {{53, R::None, 53}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TAncoraO>(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TCellaCustom", {{55, R::InputsTaps, 55}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TCellaCustom>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TCentraleIntegrata", {{58, R::InputsThrough, 58}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TCentraleIntegrata>(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TNCavo", {{80, R::Segment, 81}, {81, R::Segment, 81}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TNCavo>(a.Owner, a.Orientation, 0, a.Column, a.Row, 0, 0); }},
    {"TElementoListino", {{150, R::OwnerOnly, 150}},
     [](const TCellArgs& a) -> TMade { return std::make_unique<TElementoListino>(a.Owner); }},
};
// clang-format on

std::map<std::string, TCellMaker>& Makers() {
    static std::map<std::string, TCellMaker> makers = [] {
        std::map<std::string, TCellMaker> m;
        for (const TCellClass& c : classTable) m[c.Name] = c.Make;
        return m;
    }();
    return makers;
}

// The codes of every row, in code order.
const std::vector<TCellType>& TypeTable() {
    static const std::vector<TCellType> types = [] {
        std::vector<TCellType> t;
        for (const TCellClass& c : classTable)
            for (const TCellCode& code : c.Codes)
                t.push_back({code.Code, c.Name, code.Rule, code.StoredCode});
        std::sort(t.begin(), t.end(), [](const TCellType& a, const TCellType& b) { return a.Code < b.Code; });
        return t;
    }();
    return types;
}

}  // namespace

std::span<const TCellType> CellTypes() { return std::span<const TCellType>(TypeTable()); }

const TCellType* FindCellType(int32_t code) {
    if (static_cast<uint32_t>(code) > HighestCellCode) return nullptr;
    for (const TCellType& t : TypeTable())
        if (t.Code == code) return &t;
    return nullptr;
}

TCellArgs CellArgsFor(const TCellType& type, TGridData* owner, int32_t column, int32_t row, int32_t inputs,
                      int32_t throughOutputs, int32_t tapOutputs) {
    TCellArgs a;
    a.Owner = owner;
    a.Column = column;
    a.Row = row;
    auto give = [&a](std::initializer_list<int32_t> values) {
        for (int32_t v : values) a.Arg[a.Count++] = v;
    };
    switch (type.Rule) {
    case R::None: break;
    case R::InputsLargerOutput: give({inputs, std::max(throughOutputs, tapOutputs)}); break;
    case R::InputsTaps: give({inputs, tapOutputs}); break;
    case R::CodeInputsTaps: give({type.StoredCode, inputs, tapOutputs}); break;
    case R::CodeTaps: give({type.StoredCode, tapOutputs}); break;
    case R::CodeThreeTaps: give({type.StoredCode, 3}); break;
    case R::Inputs: give({inputs}); break;
    case R::Through: give({throughOutputs}); break;
    case R::InputsThrough: give({inputs, throughOutputs}); break;
    case R::CodeInputsThrough: give({type.StoredCode, inputs, throughOutputs}); break;
    case R::OldCableAcross: a.Orientation = 1; break;
    case R::OldCableAlong:
        a.Orientation = 0;
        a.Flag = true;
        break;
    case R::Segment: a.Orientation = 1; break;
    case R::OwnerOnly:
        a.Column = 0;
        a.Row = 0;
        break;
    }
    return a;
}

TCellMaker CellClassMaker(const char* className) {
    auto& makers = Makers();
    auto it = makers.find(className);
    return it == makers.end() ? nullptr : it->second;
}

TCellMaker SetCellClassMaker(const char* className, TCellMaker maker) {
    auto& makers = Makers();
    TCellMaker before = nullptr;
    auto it = makers.find(className);
    if (it != makers.end()) {
        before = it->second;
        if (maker)
            it->second = maker;
        else
            makers.erase(it);
    } else if (maker) {
        makers[className] = maker;
    }
    return before;
}

std::unique_ptr<TCella> NewCella(TGridData* owner, int32_t code, int32_t column, int32_t row, int32_t inputs,
                                 int32_t throughOutputs, int32_t tapOutputs) {
    const TCellType* type = FindCellType(code);
    if (!type) return nullptr;
    for (int32_t n : {inputs, throughOutputs, tapOutputs})
        if (n < 0 || n > MaxPortCount) return nullptr;
    TCellMaker make = CellClassMaker(type->ClassName);
    if (!make) return nullptr;
    const TCellArgs args = CellArgsFor(*type, owner, column, row, inputs, throughOutputs, tapOutputs);
    std::unique_ptr<TCella> cell;
    try {
        cell = make(args);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (cell && type->Rule == R::Segment && code == CodeBridge) cell->TypeCode = CodeBridge;
    return cell;
}
