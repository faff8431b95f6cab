// A whole project file, read as the open command reads it into a project,
// with an empty settings file. A file that loads must save, load and save
// again to the same bytes, and must be whole: a file of version 20000 or
// later that loads holds, read again here section by section with the
// section and record readers alone, every section through its last byte,
// each grid closed by its end mark, and exactly the cells the loaded grids
// hold. A partial load is a finding.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unordered_set>
#include <memory>
#include <string>
#include <unistd.h>

#include "document/estimate.h"
#include "document/grid.h"
#include "document/lightning.h"
#include "document/mast.h"
#include "document/signs.h"
#include "document/design_settings.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/factory.h"
#include "cells/record.h"
#include "core/file.h"
#include "core/record_versions.h"
#include "core/globals.h"
#include "core/ini.h"
#include "document/project.h"
#include "document/project_files.h"
#include "fuzz_support.h"
#include "platform/classes.h"

namespace {

// The settings store of the run: a file of its own, empty at the start.
void EmptySettings() {
    static bool made = false;
    if (made) return;
    made = true;
    char path[] = "/tmp/ordivex-fuzz-settings-XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0) close(fd);
    setenv("ORDIVEX_VARNE_SETTINGS", path, 1);
    Ini = new TIni;
}

std::string Saved(const TProgetto& project) {
    TMemoryStream s;
    WriteProjectFile(s, project, ProjectVersionCurrent);
    return s.Bytes();
}

// What a file announces, read without the project loader.
struct TAnnounced {
    bool whole = false;  // every section read to the end of the file
    bool estimate = false, design = false;
    bool grid[2] = {false, false};
    int64_t cells[2] = {0, 0};  // cells other than the terminal
    bool anchor[2] = {false, false};
};

// Header texts, reserved texts and further texts of version 20000 on.
constexpr int HeaderStrings = 26 + 13 + 3;

void ReadGridSection(TStream& s, int32_t version, TAnnounced& a) {
    const int32_t kind = ReadI32(s);
    const int32_t columns = ReadI32(s);
    const int32_t rows = ReadI32(s);
    if ((kind != GridHeadEnd && kind != GridNetwork) || columns < 1 || rows < 1 || columns > 2000 || rows > 2000)
        throw EReadError("grid head");
    a.grid[kind] = true;
    TGridData scratch(nullptr, 1, 1, kind);
    if (!scratch.Signs->Load(s, version)) throw EReadError("signs");
    for (;;) {
        const int32_t code = ReadI32(s);
        if (code == 205) return;
        int32_t counts[3];
        for (int32_t& n : counts) n = ReadI32(s);
        if (version < V50000 && code == 47) {
            counts[2] = counts[1];
            counts[1] = 0;
        }
        std::unique_ptr<TCella> cell = NewCella(&scratch, code, 0, 0, counts[0], counts[1], counts[2]);
        if (!cell || ReadCellRecord(*cell, s, version) != TRecordResult::Ok) throw EReadError("record");
        if (auto* old = dynamic_cast<TCavo*>(cell.get())) {
            TCavo::TSegments pieces = old->ToNCavo();
            a.cells[kind] += (pieces.First ? 1 : 0) + (pieces.Second ? 1 : 0);
        } else if (code == CodeHeadEnd) {
            a.anchor[kind] = true;
        } else {
            ++a.cells[kind];
        }
    }
}

TAnnounced Announced(const std::string& bytes) {
    TAnnounced a;
    TMemoryStream s(bytes);
    try {
        char tag[ProjectTagBytes];
        s.ReadBuffer(tag, ProjectTagBytes);
        const int32_t version = ProjectFileVersion(tag);
        if (version < V20000) return a;
        SkipBytes(s, ProjectHeaderBytes - ProjectTagBytes);
        for (int i = 0; i < HeaderStrings; ++i) chunked::ReadAnsiString(s, -1);
        ReadU8(s);
        ReadU8(s);
        TProgetto scratch(nullptr);
        TOpzProgetto design;
        while (s.Position() < s.Size()) {
            switch (ReadI32(s)) {
            case 200:
                scratch.Estimate->Load(s, version);
                a.estimate = true;
                break;
            case 201: scratch.Estimate->LoadOldRows(s, 201, version); break;
            case 204: scratch.Estimate->LoadOldRows(s, 204, version); break;
            case 202: scratch.Estimate->LoadOldNotes(s, 121); break;
            case 203: break;
            case 205: ReadGridSection(s, version, a); break;
            case 207: scratch.Mast->Load(s, version); break;
            case 208:
                design.Load(s, version);
                a.design = true;
                break;
            case 209:
                scratch.Lightning->LoadFromStream(s);
                design.Load(s, version);
                a.design = true;
                break;
            default: return a;
            }
        }
        a.whole = true;
    } catch (const std::exception&) {
    }
    return a;
}

// The cells standing on a grid, each once, overlays included; the terminal apart.
int64_t CellsOn(const TGridData& grid, bool& anchor) {
    std::unordered_set<const TCella*> seen;
    for (int32_t c = 0; c < grid.Columns; ++c)
        for (int32_t r = 0; r < grid.Rows; ++r)
            if (const TCella* cell = grid.CellAt(c, r)) {
                seen.insert(cell);
                if (cell->Overlay) seen.insert(cell->Overlay);
            }
    anchor = grid.Anchor != nullptr;
    return static_cast<int64_t>(seen.size()) - (anchor && seen.count(grid.Anchor) ? 1 : 0);
}

// The project loaded from bytes holds all that the bytes announce.
void CheckWhole(const std::string& bytes, const TProgetto& project) {
    char tag[ProjectTagBytes];
    std::memcpy(tag, bytes.data(), ProjectTagBytes);
    const int32_t version = ProjectFileVersion(tag);
    if (version < V20000) return;
    const TAnnounced a = Announced(bytes);
    if (!a.whole || !a.estimate || !a.grid[0] || !a.grid[1] || (version >= V50000 && !a.design)) std::abort();
    const TGridData* grids[2] = {project.HeadEndGrid, project.NetworkGrid};
    for (int kind = 0; kind < 2; ++kind) {
        bool anchor = false;
        if (CellsOn(*grids[kind], anchor) != a.cells[kind]) std::abort();
        if (a.anchor[kind] && !anchor) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzGlobals();
    EmptySettings();
    TFileProgetto files(nullptr, nullptr);
    TProgetto project(nullptr);
    project.Reset(true);
    TMemoryStream s(std::string(reinterpret_cast<const char*>(data), size));
    const int loaded = files.LoadProjectFrom(s, "fuzz.ant", project);
    FuzzForgetMessages();
    if (loaded != 0) return 0;
    CheckWhole(std::string(reinterpret_cast<const char*>(data), size), project);

    const std::string once = Saved(project);
    TProgetto again(nullptr);
    TMemoryStream t(once);
    if (files.LoadProjectFrom(t, "fuzz.ant", again) != 0) std::abort();
    if (Saved(again) != once) std::abort();
    return 0;
}
