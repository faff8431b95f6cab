#include "cells/factory.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "cells/cell.h"
#include "cells/class_table.h"

namespace {

using R = TCountRule;

// The makers and the codes come from the class table's rows.
std::map<std::string, TCellMaker>& Makers() {
    static std::map<std::string, TCellMaker> makers = [] {
        std::map<std::string, TCellMaker> m;
        for (const TCellClassRow& c : CellClassRows()) m[c.Name] = c.Make;
        return m;
    }();
    return makers;
}

// The codes of every row, in code order.
const std::vector<TCellType>& TypeTable() {
    static const std::vector<TCellType> types = [] {
        std::vector<TCellType> t;
        for (const TCellClassRow& c : CellClassRows())
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

TCellArgs CellArgsFor(const TCellType& type, TCellGrid* owner, int32_t column, int32_t row, int32_t inputs,
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

std::unique_ptr<TCella> NewCella(TCellGrid* owner, int32_t code, int32_t column, int32_t row, int32_t inputs,
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
