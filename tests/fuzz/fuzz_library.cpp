// A library file: the header, every query, the iteration, reading cells by
// code, and deleting and writing entries, on a library held in memory.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "cells/cell.h"
#include "cells/class_table.h"
#include "cells/library_cells.h"
#include "core/libraries.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzGlobals();
    TLibreria library;
    library.fileName = "fuzz.alb";
    if (!library.OpenStream(
            std::make_unique<TMemoryStream>(std::string(reinterpret_cast<const char*>(data), size)))) {
        FuzzForgetMessages();
        return 0;
    }
    TStringList list;
    for (int kind = 0; kind <= 7; ++kind) {
        if (kind == lqTree) continue;
        library.Query(list, "Filtri", 1, 1, 1, 0, kind);
    }
    TNestedStringList tree;
    for (TEntryKindFilter admits : {TEntryKindFilter{}, &NotPriceItem, &OfferedOnPalettes}) library.ListTree(tree, admits);

    TStringList codes;
    library.Query(codes, "", 0, 0, 0, 0, lqAllCodes);
    int n = 0;
    for (std::unique_ptr<TCella> cell = FirstLibraryCell(library); cell && n < 64; cell = NextLibraryCell(library), ++n) {
    }
    for (int i = 0; i < codes.Count() && i < 8; ++i) {
        if (std::unique_ptr<TCella> made = ReadLibraryCell(library, codes[i])) {
            // The same kind again, into the cell just made.
            ReadLibraryCell(library, *made, codes[i]);
            FirstLibraryCell(library, *made);
        }
    }
    if (codes.Count() > 0) {
        // A write that answers true leaves a library of one entry more, or
        // of as many when the new entry took the place of one.
        if (std::unique_ptr<TCella> first = ReadLibraryCell(library, codes[0])) {
            TStringList held;
            library.Query(held, "", 0, 0, 0, 0, lqAllCodes);
            if (WriteLibraryCell(library, *first)) {
                library.Query(list, "", 0, 0, 0, 0, lqAllCodes);
                if (list.Count() != held.Count() && list.Count() != held.Count() + 1) std::abort();
            }
        }
        // A delete that answers true leaves one entry fewer.
        TStringList before;
        library.Query(before, "", 0, 0, 0, 0, lqAllCodes);
        const AnsiString gone = codes[codes.Count() - 1];
        if (library.DeleteEntry(gone)) {
            library.Query(list, "", 0, 0, 0, 0, lqAllCodes);
            if (list.Count() != before.Count() - 1) std::abort();
        }
    }
    FuzzForgetMessages();
    return 0;
}
