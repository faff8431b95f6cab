#include "cells/prototypes.h"

#include <memory>
#include <utility>

#include "cells/cell.h"
#include "cells/class_table.h"
#include "core/globals.h"

namespace {

// The kinds of every class, from the class table's rows.
const TPrototypeFamily* FamilyOf(const TPrototypeKey& key) {
    for (const TCellClassRow& row : CellClassRows())
        for (const TPrototypeFamily& f : row.Prototypes)
            if (f.Code == key.Code && key.A >= f.AMin && key.A <= f.AMax && key.B >= f.BMin && key.B <= f.BMax &&
                key.Variant >= 0 && key.Variant < f.Variants)
                return &f;
    return nullptr;
}

}  // namespace

TUltimiComponenti* UltimiComponenti = nullptr;

TUltimiComponenti::TUltimiComponenti() = default;

TUltimiComponenti::~TUltimiComponenti() = default;

bool TUltimiComponenti::HasKind(const TPrototypeKey& key) { return FamilyOf(key) != nullptr; }

TCella* TUltimiComponenti::Get(const TPrototypeKey& key) {
    auto it = made_.find(key);
    if (it != made_.end()) return it->second.get();
    const TPrototypeFamily* family = FamilyOf(key);
    if (!family) return nullptr;
    std::unique_ptr<TCella> cell = family->Make(key);
    if (!cell) return nullptr;
    return made_.emplace(key, std::move(cell)).first->second.get();
}

TCella* FindPrototype(const TPrototypeKey& key) {
    return UltimiComponenti ? UltimiComponenti->Get(key) : nullptr;
}
