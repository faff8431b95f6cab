// A library file: the header, every query, the iteration, reading cells by
// code, and deleting and writing entries, on a library held in memory.
#include <cstdint>
#include <memory>
#include <string>

#include "cells/cell.h"
#include "core/libraries.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzGlobals();
    TLibreria library;
    library.fileName = "fuzz.alb";
    if (!library.OpenStream(std::make_unique<TMemoryStream>(std::string(reinterpret_cast<const char*>(data), size)))) {
        FuzzForgetMessages();
        return 0;
    }
    TStringList list;
    for (int kind = 0; kind <= 7; ++kind) {
        if (kind == lqTree) continue;
        library.Query(list, "Filtri", 1, 1, 1, 0, kind);
    }
    TNestedStringList tree;
    for (int mode = 0; mode <= 2; ++mode) library.ListTree(tree, mode);

    TStringList codes;
    library.Query(codes, "", 0, 0, 0, 0, lqAllCodes);
    int n = 0;
    TCella* cell = nullptr;
    for (bool more = library.FirstCell(cell); more && n < 64; more = library.NextCell(cell), ++n) {
        delete cell;
        cell = nullptr;
    }
    for (int i = 0; i < codes.Count() && i < 8; ++i) {
        TCella* made = nullptr;
        if (library.ReadCell(made, codes[i])) {
            // The same kind again, into the cell just made.
            library.ReadCell(made, codes[i]);
            library.FirstCell(made);
            delete made;
        }
    }
    if (codes.Count() > 0) {
        TCella* first = nullptr;
        if (library.ReadCell(first, codes[0])) {
            library.WriteCell(*first);
            delete first;
        }
        library.DeleteEntry(codes[codes.Count() - 1]);
        library.Query(list, "", 0, 0, 0, 0, lqAllCodes);
    }
    FuzzForgetMessages();
    return 0;
}
