// A grid section as the project loader hands it over (after tag, kind,
// columns and rows): the sign block and the cell records. A section that
// loads must save, load and save again to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/file.h"
#include "document/grid.h"
#include "fuzz_support.h"

namespace {

constexpr int32_t Size = 24;

std::string Saved(TGridData& grid) {
    TMemoryStream s;
    grid.Save(s, 60000);
    return s.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzGlobals();
    if (size < 2) return 0;
    const int32_t version = FuzzVersion(data[0]);
    const int32_t kind = data[1] % 3;  // head end, network, or a grid of no project
    TGridData grid(nullptr, Size, Size, kind == 2 ? GridCustom : kind);
    TMemoryStream s(std::string(reinterpret_cast<const char*>(data) + 2, size - 2));
    const bool loaded = grid.Load(s, version);
    FuzzForgetMessages();
    if (!loaded) return 0;

    const std::string once = Saved(grid);
    TGridData again(nullptr, Size, Size, grid.Kind);
    TMemoryStream t(once);
    t.SetPosition(16);  // tag, kind, columns, rows
    if (!again.Load(t, 60000)) std::abort();
    if (Saved(again) != once) std::abort();
    return 0;
}
