#pragma once
// The class table: one registration row per component class, in
// class_table.cpp. Everything that turns a type code or a palette tool into a
// class reads it: the cell factory (the codes and the constructor call), the
// last-used prototypes (the kinds kept and how to make one), the palette (the
// class's tool buttons, their lists and the tool a cell selects back) and the
// palette's tool factory (what a tool and its lists build). A new class is its
// own files and one row here, plus its glyph and default-library articles
// where it has them. The row also says where the printed material list puts
// the class and which of its codes the palettes and the designer's component
// tree offer from the libraries.
//
// The palette's part of a row is plain data and plain functions: the cells
// do not know the palette, the palette reads the rows.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "cells/factory.h"
#include "cells/prototypes.h"
#include "platform/graphics.h"

class TCella;
class TCellGrid;

// ---- the factory's part

// A type code of a class: the code asked for, what the constructor receives
// of the asked counts, the code the class stores.
struct TCellCode {
    int32_t Code;
    TCountRule Rule;
    int32_t StoredCode;
};

// ---- the palette's part

// The variant lists a tool may show, by their items (the texts are the
// palette's: VariantItems).
enum class TVariantList : uint8_t {
    None,
    Lines9,          // 1 linea .. 9 linee
    DividerOutputs,  // 2 .. 10 uscite
    Outputs4,        // 1 uscita .. 4 uscite
    Outputs5,
    Outputs8,
    Outputs10,
    Outputs20,
    Outputs40,
    DemixerOutputs,  // 2 .. 10 uscite
    Taps10,          // 1 derivata .. 10 derivate
    TapsEven,        // 2, 4, .. 10 derivate
    Through17,       // 1 passante .. 17 passanti
    Inputs9,         // 1 ingresso .. 9 ingressi
    Inputs10,
    Inputs17,
    Inputs20,
    MixerInputs,  // 2 .. 10 ingressi
    Ways9,        // 1 via .. 9 vie
    Ways17,
    Modules,  // 1 modulo .. 4 moduli
    SwitchLayout,
    TerminalLayout,
    OutletKind,
    AmplifierInput,
    AutomixInputs,    // the final amplifier's inputs
    AutomixOutputsA,  // the final amplifier's outputs
    AutomixInput,
    AutomixOutput,
    Mix,
    ConverterMounting,
};

// When the third list shows this item (mixing at the sides), the tool needs
// the automix line: list List (0 the first, 1 the second) moves to Item.
struct TSidesRule {
    int32_t ThirdItem = -1;  // none: the tool has no such rule
    int32_t List = 0;
    int32_t Item = 0;
};

// One tool button of the palette: its place on the bar, its name, hint and
// tool, its lists and which of "Ruota", "Rifletti" and the cable colours it
// shows. A component tool's button is usable while the cell factory builds
// the tool's class.
struct TToolButtonInfo {
    int Slot;  // the button's index on the bar, in order of placement
    const char* Name;
    const char* Hint;
    int32_t Tool;  // -1 for none
    TVariantList Lists[3] = {TVariantList::None, TVariantList::None, TVariantList::None};
    bool Rotate = false;
    bool Mirror = false;
    bool CableColour = false;
    bool HeadEnd = false;  // disabled on the network page
    bool Placed = true;    // placed by ArrangeToolButtons
    // The items the tool's lists remember before the first choice.
    int32_t StartItems[3] = {0, 0, 0};
    // The tool's "Ruota" turns it half a turn (it stands only upright or
    // upside down).
    bool HalfTurns = false;
    // A second list without a choice makes nothing (it has no first item to
    // fall back on).
    bool NeedsSecondItem = false;
    TSidesRule Sides;
};

// What a build of a tool reads of the palette.
struct TToolState {
    TCellGrid* Owner = nullptr;
    int32_t R = 0, M = 0;  // the tool's rotation and mirror
    int32_t X = 0, Y = 0;
    int32_t I1 = 0, I2 = 0, I3 = 0;  // the item indexes of the three lists
    TColor Cable = clBlack;
};

// A new cell of a tool of the class, with its layout byte (Variant) set; none
// when the lists give nothing to build.
using TToolMaker = std::unique_ptr<TCella> (*)(int32_t tool, const TToolState& state);

// Which button a cell of the class selects and how its lists follow the
// cell's counts; a list index of -1 leaves that list as the tool's click set
// it, any other index outside the list means no tool makes the cell.
struct TListChoice {
    const char* Button = nullptr;
    int32_t Index[3] = {-1, -1, -1};
};
using TListChooser = TListChoice (*)(const TCella& cell);

// ---- the printed material list's part

// The families of the printed material list, in the order the list gives
// them; several classes may share one. Cables lists the counted cables, then
// the bridges.
enum class TListFamily : uint8_t {
    Unset,      // no row leaves it so (the table's test fails)
    NotListed,  // not a material: anchors, the terminal, signs, price items
    Outlets,
    Splitters,
    Taps,
    Switches,
    Filters,
    Amplifiers,
    Attenuators,
    AdjustableAttenuators,
    Equalisers,
    DcSeparators,
    Inserters,
    Inductances,
    PowerSupplies,
    Mixers,
    Demixers,
    Cables,
    Terminations,
    ActiveFilters,
    Modulators,
    Converters,
    FinalAmplifiers,
    WideBandAmplifiers,
    SatSources,
    Dishes,
    Antennas,
    SatReceivers,
    IntegratedHeadEnds,
    Custom,
};

// ---- the library tree's part

// The type codes whose library entries the palettes and the designer's
// component tree offer; Stated false: the row has not said (the table's
// test fails).
struct TPaletteOffer {
    bool Stated = false;
    std::vector<int32_t> Codes;
};
inline TPaletteOffer Offers(std::initializer_list<int32_t> codes) { return {true, codes}; }
inline TPaletteOffer NotOffered() { return {true, {}}; }

// ---- the row

struct TCellClassRow {
    const char* Name;
    std::vector<TCellCode> Codes;
    TCellMaker Make;
    // The prototype kinds the program keeps of the class.
    std::vector<TPrototypeFamily> Prototypes;
    // The tools that make the class, and how.
    std::vector<int32_t> Tools;
    TToolMaker Tool = nullptr;
    std::vector<TToolButtonInfo> Buttons;
    // The button a cell of the class selects; none: no tool is chosen for it.
    TListChooser Choice = nullptr;
    // Its family in the printed material list.
    TListFamily Listed = TListFamily::Unset;
    // What the palettes and the designer's component tree offer of it.
    TPaletteOffer Offered;
};

// Every row, one per class.
std::span<const TCellClassRow> CellClassRows();
// The row of the class a type code builds, or none.
const TCellClassRow* ClassRowOfCode(int32_t code);
// The row of the class a tool makes, or none.
const TCellClassRow* ClassRowOfTool(int32_t tool);
// The material list's family of the class a type code builds (NotListed for
// a code no class builds).
TListFamily ListFamilyOfCode(int32_t code);
// Whether the palettes and the designer's component tree offer library
// entries of this type code (the library tree's filter).
bool OfferedOnPalettes(int32_t typeCode);
