// The tool factory: the palette's tool and the state of its lists turned into
// a new cell. The tool number is the type code of the cell made; the lists
// give the port counts and the layout byte, the tool's memories its turn and
// mirror, and a picked article its data.
#include <memory>
#include <new>

#include "cells/active_filters.h"
#include "cells/amplifiers.h"
#include "cells/anchors.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/custom_cell.h"
#include "cells/factory.h"
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
#include "dialogs/component_palette.h"

namespace {

// What one build reads of the palette.
struct TToolState {
    TGridData* Owner;
    int32_t R, M;  // the tool's rotation and mirror
    int32_t X, Y;
    int32_t I1, I2, I3;  // the item indexes of the three lists
    TColor Cable;
};

// Switch layouts: item 0 gives 0, items 1 to 4 give 2 to 5, item k from 5 on
// (n out dx., n = k - 4) gives k + 6.
int32_t SwitchLayoutCode(int32_t item) { return item <= 0 ? 0 : item <= 4 ? item + 1 : item + 6; }
// Terminal switch layouts: items 0 to 5 give 0 to 5, item k from 6 on gives k + 5.
int32_t TerminalLayoutCode(int32_t item) { return item <= 0 ? 0 : item <= 5 ? item : item + 5; }
// Automix mixing: "mix alto" 0, "mix lati" 2.
int32_t MixLayoutCode(int32_t item) { return item == 1 ? AutoMixFramedVariant : 0; }

// The class of a tool, or none. hasLayout says whether the layout byte is
// written afterwards with layout.
std::unique_ptr<TCella> Build(int32_t tool, const TToolState& s, bool& hasLayout, int32_t& layout) {
    TGridData* o = s.Owner;
    const int32_t R = s.R, M = s.M, x = s.X, y = s.Y, i1 = s.I1, i2 = s.I2, i3 = s.I3;
    hasLayout = false;
    switch (tool) {
    case 1: return std::make_unique<TFiltroS>(o, R, M, x, y);
    case 2: return std::make_unique<TFiltroP>(o, R, M, x, y);
    case 3: return std::make_unique<TDivisore>(o, R, M, x, y, 1, 2);
    case 4: return std::make_unique<TDivisore>(o, R, M, x, y, i1 + 1, i2 + 2);
    case 5: return std::make_unique<TDivisore>(o, R, M, x, y, 1, 4);
    case 6: return std::make_unique<TDerivatore>(o, R, M, x, y, 1, 1);
    case 7: return std::make_unique<TDerivatore>(o, R, M, x, y, 1, 2);
    case 8: return std::make_unique<TDerivatore>(o, R, M, x, y, i1 + 1, i2 + 1);
    case 9: return std::make_unique<TDerivatore>(o, R, M, x, y, 1, 4);
    case 10:
    case 11:
    case 12: return std::make_unique<TSwitch>(o, R, M, x, y, 10, i1 + 2, tool - 9);
    case 13:
    case 56: {
        hasLayout = true;
        layout = SwitchLayoutCode(i3);
        // Only a switch with two outputs a side keeps the tool's mirror.
        const int32_t mirror = i2 % 2 == 1 ? M : 0;
        return std::make_unique<TSwitch>(o, R, mirror, x, y, layout == 4 || layout == 5 ? 56 : 10, i1 + 1,
                                         i2 + 1);
    }
    case 14:
    case 15:
    case 54:
        if (i2 < 0) return nullptr;  // no outlet kind chosen
        return std::make_unique<TPresaD>(o, R, M, x, y, tool, i2 + 1);
    case 16: return std::make_unique<TChiusura>(o, R, M, x, y, i1 + 1);
    case 17:
    case 80: {
        auto cable = std::make_unique<TNCavo>(o, R % 2, M, x, y, 0, s.Cable);
        if (tool == CodeBridge) cable->TypeCode = CodeBridge;
        return cable;
    }
    case 18: return std::make_unique<TNCavo>(o, R, M, x, y, 1, s.Cable);
    case 19: return std::make_unique<TSeparatoreCC>(o, R, M, x, y);
    case 20: return std::make_unique<TInduttanza>(o, R, M, x, y);
    case 21:
    case 22: return std::make_unique<TAmplificatore>(o, R, M, x, y, tool, i2 == 0 ? i1 + 1 : 1, i1 + 1);
    case 23: return std::make_unique<TAmplificatoreA>(o, R, M, x, y, i2 == 0 ? i1 + 1 : 1, i1 + 1);
    case 24: return std::make_unique<TAlimentatore>(o, R, M, x, y, i2 + 1);
    case 25: return std::make_unique<TTerra>(o, R, M, x, y);
    case 26: return std::make_unique<TAttenuatore>(o, R, M, x, y);
    case 27: return std::make_unique<TAttenuatoreR>(o, R, M, x, y);
    case 28: return std::make_unique<TEqualizzatore>(o, R, M, x, y);
    case 29: return std::make_unique<TMiscelatore>(o, R, M, x, y, i1 + 2);
    case 30: return std::make_unique<TDemiscelatore>(o, R, M, x, y, i2 + 2);
    case 31: return std::make_unique<TFiltroPB>(o, R, M, x, y);
    case 32: return std::make_unique<TFiltroPA>(o, R, M, x, y);
    case 34: return std::make_unique<TTesta>(o, 0, 0, x, y, 1);
    case 35:
    case 42: {
        hasLayout = true;
        layout = MixLayoutCode(i3);
        const int32_t in = i1 == 0 ? 1 : 3, out = i2 == 0 ? 1 : 3;
        if (tool == 35) return std::make_unique<TFiltroAT>(o, R, M, x, y, in, out);
        return std::make_unique<TFiltroCAG>(o, R, M, x, y, in, out);
    }
    case 36:
        hasLayout = true;
        layout = MixLayoutCode(i3);
        return std::make_unique<TModulatore>(o, R, M, x, y, i2 == 0 ? 1 : 3);
    case 37:
        hasLayout = true;
        layout = i3;
        if (i3 == 1) return std::make_unique<TConvertitore>(o, R, M, x, y, 1, 1);
        return std::make_unique<TConvertitore>(o, R, M, x, y, i1 == 0 ? 1 : 3, i2 == 0 ? 1 : 3);
    case 38: return std::make_unique<TAntenna>(o, R, M, x, y);
    case 39: return std::make_unique<TSat>(o, R, M, x, y, i2 + 1);
    case 40: return std::make_unique<TTerrestre>(o, R, M, x, y, i1 + 1, i2 + 1);
    case 43: {
        hasLayout = true;
        layout = MixLayoutCode(i3);
        const int32_t out = i2 == 0 ? 1 : i2 + 2;
        // Upside down the box stands two squares right and four down.
        if (R % 2 == 1) return std::make_unique<TAmplificatoreAt>(o, 2, M, x + 2, y + 4, i1 + 1, out);
        return std::make_unique<TAmplificatoreAt>(o, 0, M, x, y, i1 + 1, out);
    }
    case 44:
        hasLayout = true;
        layout = i3;
        return std::make_unique<TAlimentatoreSF>(o, R, M, x, y);
    case 45: return std::make_unique<TParabola>(o, R, M, x, y);
    case 47:
    case 57: {
        hasLayout = true;
        layout = TerminalLayoutCode(i3);
        return std::make_unique<TSwitchN>(o, R, M, x, y, layout == 4 || layout == 5 ? 57 : 47, i1 + 1,
                                          i2 + 1);
    }
    case 48: return std::make_unique<TInseritore>(o, R, M, x, y);
    case 49: return std::make_unique<TDerivatoreN>(o, R, M, x, y, i1 + 1, i2 + 1);
    case 50: return std::make_unique<TDerivatoreS>(o, R, M, x, y, i1 + 1, 2 * i2 + 2);
    case 51: return std::make_unique<TRicevitoreSat>(o, R, M, x, y);
    case 52: return std::make_unique<TAncoraI>(o, R, M, x, y);
    case 53: return std::make_unique<TAncoraO>(o, R, M, x, y);
    case 55: return std::make_unique<TCellaCustom>(o, R, M, x, y, i1 + 1, i2 + 1);
    case 58: return std::make_unique<TCentraleIntegrata>(o, R, M, x, y, i1 + 1, i2 + 1);
    case 150: return std::make_unique<TElementoListino>(o);
    default: return nullptr;
    }
}

}  // namespace

const char* ToolClassName(int32_t tool) {
    switch (tool) {
    case 1: return "TFiltroS";
    case 2: return "TFiltroP";
    case 3:
    case 4:
    case 5: return "TDivisore";
    case 6:
    case 7:
    case 8:
    case 9: return "TDerivatore";
    case 10:
    case 11:
    case 12:
    case 13:
    case 56: return "TSwitch";
    case 14:
    case 15:
    case 54: return "TPresaD";
    case 16: return "TChiusura";
    case 17:
    case 18:
    case 80: return "TNCavo";
    case 19: return "TSeparatoreCC";
    case 20: return "TInduttanza";
    case 21:
    case 22: return "TAmplificatore";
    case 23: return "TAmplificatoreA";
    case 24: return "TAlimentatore";
    case 25: return "TTerra";
    case 26: return "TAttenuatore";
    case 27: return "TAttenuatoreR";
    case 28: return "TEqualizzatore";
    case 29: return "TMiscelatore";
    case 30: return "TDemiscelatore";
    case 31: return "TFiltroPB";
    case 32: return "TFiltroPA";
    case 34: return "TTesta";
    case 35: return "TFiltroAT";
    case 36: return "TModulatore";
    case 37: return "TConvertitore";
    case 38: return "TAntenna";
    case 39: return "TSat";
    case 40: return "TTerrestre";
    case 42: return "TFiltroCAG";
    case 43: return "TAmplificatoreAt";
    case 44: return "TAlimentatoreSF";
    case 45: return "TParabola";
    case 47:
    case 57: return "TSwitchN";
    case 48: return "TInseritore";
    case 49: return "TDerivatoreN";
    case 50: return "TDerivatoreS";
    case 51: return "TRicevitoreSat";
    case 52: return "TAncoraI";
    case 53: return "TAncoraO";
    case 55: return "TCellaCustom";
    case 58: return "TCentraleIntegrata";
    case 150: return "TElementoListino";
    default: return nullptr;
    }
}

std::unique_ptr<TCella> TPannelloComponenti::CreateToolCell(TGridData* grid, int32_t tool, int32_t x,
                                                            int32_t y) {
    const char* className = ToolClassName(tool);
    if (!className || !CellClassMaker(className)) return nullptr;

    TToolState s{grid, 0, 0, x, y, 0, 0, 0, CableColour()};
    const bool remembered = tool >= 0 && tool < ToolMemories;
    if (remembered) {
        s.R = RotationOf[static_cast<size_t>(tool)];
        s.M = MirrorOf[static_cast<size_t>(tool)];
    }
    if (tool == currentTool_) {
        // Mixing at the sides needs the automix line: the list moves to it.
        const bool sides = (tool == 35 || tool == 36 || tool == 42 || tool == 43) ? ThirdList->ItemIndex == 1
                           : tool == 37                                           ? ThirdList->ItemIndex == 2
                                                                                  : false;
        if (sides) {
            if (tool == 43)
                FirstList->ItemIndex = 2;
            else
                SecondList->ItemIndex = 1;
        }
        s.I1 = FirstList->ItemIndex;
        s.I2 = SecondList->ItemIndex;
        s.I3 = ThirdList->ItemIndex;
    } else if (remembered) {
        s.I1 = FirstOf[static_cast<size_t>(tool)];
        s.I2 = SecondOf[static_cast<size_t>(tool)];
        s.I3 = ThirdOf[static_cast<size_t>(tool)];
    }
    // A list without a choice counts as its first item, but an outlet needs its kind.
    const bool outlet = tool == 14 || tool == 15 || tool == 54;
    if (s.I1 < 0) s.I1 = 0;
    if (s.I2 < 0 && !outlet) s.I2 = 0;
    if (s.I3 < 0) s.I3 = 0;

    bool hasLayout = false;
    int32_t layout = 0;
    std::unique_ptr<TCella> cell;
    try {
        cell = Build(tool, s, hasLayout, layout);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!cell) return nullptr;
    if (hasLayout) cell->Variant = static_cast<uint8_t>(layout);
    if (TakeArticle)
        if (TCella* prototype = cell->GetPrototype()) prototype->Assign(cell.get());
    return cell;
}

std::unique_ptr<TCella> TPannelloComponenti::CreateCurrentToolCell(TGridData* grid, int32_t x, int32_t y) {
    return CreateToolCell(grid, currentTool_, x, y);
}
