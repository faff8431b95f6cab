// The tool factory: the palette's tool and the state of its lists turned into
// a new cell. The tool number is the type code of the cell made; the lists
// give the port counts and the layout byte, the tool's memories its turn and
// mirror, and a picked article its data.
#include <memory>
#include <new>

#include "cells/cell.h"
#include "cells/class_table.h"
#include "cells/factory.h"
#include "dialogs/component_palette.h"

const char* ToolClassName(int32_t tool) {
    const TCellClassRow* row = ClassRowOfTool(tool);
    return row ? row->Name : nullptr;
}

std::unique_ptr<TCella> TPannelloComponenti::CreateToolCell(TGridData* grid, int32_t tool, int32_t x,
                                                            int32_t y) {
    const TCellClassRow* row = ClassRowOfTool(tool);
    if (!row || !row->Tool || !CellClassMaker(row->Name)) return nullptr;
    const int button = ToolButtonFor(tool);
    const TToolButtonInfo* info = button >= 0 ? &ToolButtons()[static_cast<size_t>(button)] : nullptr;

    TToolState s{grid, 0, 0, x, y, 0, 0, 0, CableColour()};
    const bool remembered = tool >= 0 && tool < ToolMemories;
    if (remembered) {
        s.R = RotationOf[static_cast<size_t>(tool)];
        s.M = MirrorOf[static_cast<size_t>(tool)];
    }
    if (tool == currentTool_) {
        // Mixing at the sides needs the automix line: the list moves to it.
        const TSidesRule sides = info ? info->Sides : TSidesRule{};
        if (sides.ThirdItem >= 0 && ThirdList->ItemIndex == sides.ThirdItem)
            (sides.List == 0 ? FirstList : SecondList)->ItemIndex = sides.Item;
        s.I1 = FirstList->ItemIndex;
        s.I2 = SecondList->ItemIndex;
        s.I3 = ThirdList->ItemIndex;
    } else if (remembered) {
        s.I1 = FirstOf[static_cast<size_t>(tool)];
        s.I2 = SecondOf[static_cast<size_t>(tool)];
        s.I3 = ThirdOf[static_cast<size_t>(tool)];
    }
    // A list without a choice counts as its first item, but an outlet needs its kind.
    if (s.I1 < 0) s.I1 = 0;
    if (s.I2 < 0 && !(info && info->NeedsSecondItem)) s.I2 = 0;
    if (s.I3 < 0) s.I3 = 0;

    std::unique_ptr<TCella> cell;
    try {
        cell = row->Tool(tool, s);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!cell) return nullptr;
    if (TakeArticle)
        if (TCella* prototype = cell->GetPrototype()) prototype->Assign(cell.get());
    return cell;
}

std::unique_ptr<TCella> TPannelloComponenti::CreateCurrentToolCell(TGridData* grid, int32_t x, int32_t y) {
    return CreateToolCell(grid, currentTool_, x, y);
}
