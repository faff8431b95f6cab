#include "cells/factory.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <string>

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
#include "cells/passives.h"
#include "cells/sources.h"
#include "cells/splitters.h"
#include "cells/switches.h"
#include "cells/taps.h"
#include "cells/outlets.h"
#include "cells/terminations.h"

namespace {

using R = TCountRule;

// Every type code, its class, what the constructor receives and the code the
// class stores.
constexpr TCellType typeTable[] = {
    {1, "TFiltroS", R::None, 1},
    {2, "TFiltroP", R::None, 2},
    {3, "TDivisore", R::InputsLargerOutput, 3},
    {4, "TDivisore", R::InputsLargerOutput, 3},
    {5, "TDivisore", R::InputsLargerOutput, 3},
    {6, "TDerivatore", R::InputsTaps, 6},
    {7, "TDerivatore", R::InputsTaps, 6},
    {8, "TDerivatore", R::InputsTaps, 6},
    {9, "TDerivatore", R::InputsTaps, 6},
    {10, "TSwitch", R::CodeInputsTaps, 10},
    {11, "TSwitch", R::CodeInputsTaps, 10},
    {12, "TSwitch", R::CodeInputsTaps, 10},
    {13, "TSwitch", R::CodeInputsTaps, 10},
    {14, "TPresaD", R::CodeTaps, 14},
    {15, "TPresaD", R::CodeTaps, 15},
    {16, "TChiusura", R::Inputs, 16},
    {17, "TCavo", R::OldCableAcross, 17},
    {18, "TCavo", R::OldCableAlong, 18},
    {19, "TSeparatoreCC", R::None, 19},
    {20, "TInduttanza", R::None, 20},
    {21, "TAmplificatore", R::CodeInputsThrough, 21},
    {22, "TAmplificatore", R::CodeInputsThrough, 22},
    {23, "TAmplificatoreA", R::InputsThrough, 23},
    {24, "TAlimentatore", R::Through, 24},
    {25, "TTerra", R::None, 25},
    {26, "TAttenuatore", R::None, 26},
    {27, "TAttenuatoreR", R::None, 27},
    {28, "TEqualizzatore", R::None, 28},
    {29, "TMiscelatore", R::Inputs, 29},
    {30, "TDemiscelatore", R::Through, 30},
    {31, "TFiltroPB", R::None, 31},
    {32, "TFiltroPA", R::None, 32},
    {34, "TTesta", R::Through, 34},
    {35, "TFiltroAT", R::InputsThrough, 35},
    {36, "TModulatore", R::Through, 36},
    {37, "TConvertitore", R::InputsThrough, 37},
    {38, "TAntenna", R::None, 38},
    {39, "TSat", R::Through, 39},
    {40, "TTerrestre", R::InputsThrough, 40},
    {41, "TPresaD", R::CodeThreeTaps, 14},
    {42, "TFiltroCAG", R::InputsThrough, 42},
    {43, "TAmplificatoreAt", R::InputsThrough, 43},
    {44, "TAlimentatoreSF", R::None, 44},
    {45, "TParabola", R::None, 45},
    {46, "TPresaD", R::CodeThreeTaps, 15},
    {47, "TSwitchN", R::CodeInputsTaps, 47},
    {48, "TInseritore", R::None, 48},
    {49, "TDerivatoreN", R::InputsTaps, 49},
    {50, "TDerivatoreS", R::InputsTaps, 50},
    {51, "TRicevitoreSat", R::None, 51},
    {52, "TAncoraI", R::None, 52},
    {53, "TAncoraO", R::None, 53},
    {54, "TPresaD", R::CodeTaps, 54},
    {55, "TCellaCustom", R::InputsTaps, 55},
    {56, "TSwitch", R::CodeInputsTaps, 56},
    {57, "TSwitchN", R::CodeInputsTaps, 57},
    {58, "TCentraleIntegrata", R::InputsThrough, 58},
    {80, "TNCavo", R::Segment, 81},
    {81, "TNCavo", R::Segment, 81},
    {150, "TElementoListino", R::OwnerOnly, 150},
};

// The classes built into the program, one line each: the constructor call
// with the arguments the table hands over.
struct TClassEntry {
    const char* Name;
    TCellMaker Make;
};

const TClassEntry classTable[] = {
    {"TTesta", [](const TCellArgs& a) -> TCella* { return new TTesta(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TFiltroS", [](const TCellArgs& a) -> TCella* { return new TFiltroS(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TFiltroP", [](const TCellArgs& a) -> TCella* { return new TFiltroP(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TFiltroPA", [](const TCellArgs& a) -> TCella* { return new TFiltroPA(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TFiltroPB", [](const TCellArgs& a) -> TCella* { return new TFiltroPB(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TDivisore", [](const TCellArgs& a) -> TCella* { return new TDivisore(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TDerivatore", [](const TCellArgs& a) -> TCella* { return new TDerivatore(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TDerivatoreN", [](const TCellArgs& a) -> TCella* { return new TDerivatoreN(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TDerivatoreS", [](const TCellArgs& a) -> TCella* { return new TDerivatoreS(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TSwitch", [](const TCellArgs& a) -> TCella* { return new TSwitch(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1], a.Arg[2]); }},
    {"TSwitchN", [](const TCellArgs& a) -> TCella* { return new TSwitchN(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1], a.Arg[2]); }},
    {"TPresaD", [](const TCellArgs& a) -> TCella* { return new TPresaD(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TChiusura", [](const TCellArgs& a) -> TCella* { return new TChiusura(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TCavo", [](const TCellArgs& a) -> TCella* { return new TCavo(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Flag ? 1 : 0, 0); }},
    {"TNCavo", [](const TCellArgs& a) -> TCella* { return new TNCavo(a.Owner, a.Orientation, 0, a.Column, a.Row, 0, 0); }},
    {"TAncoraI", [](const TCellArgs& a) -> TCella* { return new TAncoraI(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TAncoraO", [](const TCellArgs& a) -> TCella* { return new TAncoraO(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TSeparatoreCC", [](const TCellArgs& a) -> TCella* { return new TSeparatoreCC(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TInduttanza", [](const TCellArgs& a) -> TCella* { return new TInduttanza(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TInseritore", [](const TCellArgs& a) -> TCella* { return new TInseritore(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TAlimentatore", [](const TCellArgs& a) -> TCella* { return new TAlimentatore(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TAttenuatore", [](const TCellArgs& a) -> TCella* { return new TAttenuatore(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TAttenuatoreR", [](const TCellArgs& a) -> TCella* { return new TAttenuatoreR(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TEqualizzatore", [](const TCellArgs& a) -> TCella* { return new TEqualizzatore(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TMiscelatore", [](const TCellArgs& a) -> TCella* { return new TMiscelatore(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TDemiscelatore", [](const TCellArgs& a) -> TCella* { return new TDemiscelatore(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TTerra", [](const TCellArgs& a) -> TCella* { return new TTerra(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TAlimentatoreSF", [](const TCellArgs& a) -> TCella* { return new TAlimentatoreSF(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TParabola", [](const TCellArgs& a) -> TCella* { return new TParabola(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TRicevitoreSat", [](const TCellArgs& a) -> TCella* { return new TRicevitoreSat(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TElementoListino", [](const TCellArgs& a) -> TCella* { return new TElementoListino(a.Owner); }},
    {"TCellaCustom", [](const TCellArgs& a) -> TCella* { return new TCellaCustom(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TAmplificatore", [](const TCellArgs& a) -> TCella* { return new TAmplificatore(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1], a.Arg[2]); }},
    {"TAmplificatoreA", [](const TCellArgs& a) -> TCella* { return new TAmplificatoreA(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TAntenna", [](const TCellArgs& a) -> TCella* { return new TAntenna(a.Owner, a.Orientation, 0, a.Column, a.Row); }},
    {"TSat", [](const TCellArgs& a) -> TCella* { return new TSat(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TCentraleIntegrata", [](const TCellArgs& a) -> TCella* { return new TCentraleIntegrata(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TAmplificatoreAt", [](const TCellArgs& a) -> TCella* { return new TAmplificatoreAt(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TFiltroAT", [](const TCellArgs& a) -> TCella* { return new TFiltroAT(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TFiltroCAG", [](const TCellArgs& a) -> TCella* { return new TFiltroCAG(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TModulatore", [](const TCellArgs& a) -> TCella* { return new TModulatore(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0]); }},
    {"TConvertitore", [](const TCellArgs& a) -> TCella* { return new TConvertitore(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
    {"TTerrestre", [](const TCellArgs& a) -> TCella* { return new TTerrestre(a.Owner, a.Orientation, 0, a.Column, a.Row, a.Arg[0], a.Arg[1]); }},
};

std::map<std::string, TCellMaker>& Makers() {
    static std::map<std::string, TCellMaker> makers = [] {
        std::map<std::string, TCellMaker> m;
        for (const TClassEntry& e : classTable) m[e.Name] = e.Make;
        return m;
    }();
    return makers;
}

}  // namespace

std::span<const TCellType> CellTypes() { return std::span<const TCellType>(typeTable); }

const TCellType* FindCellType(int32_t code) {
    if (static_cast<uint32_t>(code) > HighestCellCode) return nullptr;
    for (const TCellType& t : typeTable)
        if (t.Code == code) return &t;
    return nullptr;
}

TCellArgs CellArgsFor(const TCellType& type, TGridData* owner, int32_t column, int32_t row,
                      int32_t inputs, int32_t throughOutputs, int32_t tapOutputs) {
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
    case R::OldCableAlong: a.Orientation = 0; a.Flag = true; break;
    case R::Segment: a.Orientation = 1; break;
    case R::OwnerOnly: a.Column = 0; a.Row = 0; break;
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

TCella* NewCella(TGridData* owner, int32_t code, int32_t column, int32_t row, int32_t inputs,
                 int32_t throughOutputs, int32_t tapOutputs) {
    const TCellType* type = FindCellType(code);
    if (!type) return nullptr;
    for (int32_t n : {inputs, throughOutputs, tapOutputs})
        if (n < 0 || n > MaxPortCount) return nullptr;
    TCellMaker make = CellClassMaker(type->ClassName);
    if (!make) return nullptr;
    const TCellArgs args =
        CellArgsFor(*type, owner, column, row, inputs, throughOutputs, tapOutputs);
    TCella* cell = nullptr;
    try {
        cell = make(args);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (cell && type->Rule == R::Segment && code == CodeBridge) cell->TypeCode = CodeBridge;
    return cell;
}
