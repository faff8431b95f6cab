// Writes the seed corpus of the fuzz targets from records the program makes
// itself: make_seeds <folder>, which receives one folder per target.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cells/anchors.h"
#include "cells/custom_cell.h"
#include "cells/factory.h"
#include "cells/filters.h"
#include "cells/head_end.h"
#include "cells/record.h"
#include "cells/splitters.h"
#include "core/channel_list.h"
#include "core/channel_plans.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/info.h"
#include "core/libraries.h"
#include "document/design_settings.h"
#include "document/estimate.h"
#include "document/grid.h"
#include "document/mast.h"
#include "document/project.h"
#include "document/project_files.h"
#include "document/signs.h"
#include "fuzz_support.h"
#include "platform/graphics.h"

namespace {

namespace fs = std::filesystem;

std::string Record(TCella& cell, int32_t version = RecordVersion) {
    TMemoryStream s;
    cell.Save(s, version);
    return s.Bytes();
}

std::unique_ptr<TCella> Described(std::unique_ptr<TCella> cell, const std::string& code, float through) {
    cell->Code = code;
    cell->Article = "Articolo " + code;
    cell->Series = "Serie";
    cell->Brand = "Varne";
    cell->Price = 10.5f;
    cell->Described = 1;
    cell->AuxLibrary[0] = "Varne";
    cell->AuxCode[0] = "AUX";
    cell->AuxQuantity[0] = 2.0f;
    for (int b = 0; b < 11; ++b) cell->Attenuation->Set3(0, 1, b, b < 6 ? through : LevelBlocked);
    return cell;
}

std::vector<std::unique_ptr<TCella>> SampleCells() {
    std::vector<std::unique_ptr<TCella>> cells;
    cells.push_back(std::make_unique<TFiltroS>(nullptr, 0, 0, 0, 0));
    cells.push_back(Described(std::make_unique<TFiltroP>(nullptr, 1, 0, 3, 4), "FP1", 1.5f));
    cells.push_back(Described(std::make_unique<TFiltroPA>(nullptr, 2, 1, 5, 6), "FPA", 0.5f));
    cells.push_back(Described(std::make_unique<TFiltroPB>(nullptr, 3, 0, 7, 8), "FPB", 2.0f));
    return cells;
}

// A grid section without its tag, kind, columns and rows.
std::string Section(TGridData& grid, int32_t version) {
    TMemoryStream s;
    grid.Save(s, version);
    return s.Bytes().substr(16);
}

void Put(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

std::string LibraryOf(const std::vector<std::string>& records) {
    TMemoryStream s;
    s.WriteBuffer(LibraryTag, 12);
    WriteU8(s, 9);
    WriteI32(s, static_cast<int32_t>(records.size()));
    int32_t end = LibraryHeaderSize;
    for (const std::string& r : records) end += 4 + static_cast<int32_t>(r.size());
    WriteI32(s, end);
    for (const std::string& r : records) {
        WriteI32(s, static_cast<int32_t>(r.size()));
        s.WriteBuffer(r.data(), static_cast<int>(r.size()));
    }
    return s.Bytes();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <folder>\n");
        return 2;
    }
    FuzzGlobals();
    const fs::path root = argv[1];
    auto cells = SampleCells();

    const fs::path records = root / "fuzz_cell_record";
    fs::create_directories(records);
    for (size_t i = 0; i < cells.size(); ++i) {
        Put(records / ("record60000_" + std::to_string(i)), std::string(1, '\0') + Record(*cells[i]));
        Put(records / ("record50100_" + std::to_string(i)), std::string(1, '\1') + Record(*cells[i], 50100));
    }

    // One record of every class the factory builds, in its class defaults.
    std::vector<std::string> everyClass;
    for (const TCellType& type : CellTypes()) {
        std::unique_ptr<TCella> cell(NewCella(nullptr, type.Code, 0, 0, 2, 2, 3));
        if (!cell || type.Code != type.StoredCode) continue;
        const std::string record = Record(*cell);
        if (record.size() < static_cast<size_t>(RecordHeadBytes)) continue;  // never written
        everyClass.push_back(record);
        Put(records / ("class" + std::to_string(type.Code)), std::string(1, '\0') + record);
    }

    const fs::path libraries = root / "fuzz_library";
    fs::create_directories(libraries);
    std::vector<std::string> entries;
    for (auto& c : cells) entries.push_back(Record(*c));
    Put(libraries / "empty", LibraryOf({}));
    Put(libraries / "four", LibraryOf(entries));
    Put(libraries / "one", LibraryOf({entries[1]}));
    Put(libraries / "every_class", LibraryOf(everyClass));

    // Grid sections as the loader hands them over: a version selector, a
    // kind, then what follows tag, kind, columns and rows.
    const fs::path grids = root / "fuzz_grid_section";
    fs::create_directories(grids);
    TGridData grid(nullptr, 24, 24, 1);
    Put(grids / "empty", std::string("\0\1", 2) + Section(grid, RecordVersion));
    auto anchorOwned = std::make_unique<TTesta>(&grid, 0, 0, 11, 0, 2);
    auto* anchor = anchorOwned.get();
    if (grid.InsertCell(std::move(anchorOwned), false, 0)) grid.Anchor = anchor;
    int32_t column = 2;
    for (auto& c : SampleCells()) {
        TCella* cell = c.get();
        cell->Column = column;
        cell->Row = 3 + column % 5;
        column += 3;
        grid.InsertCell(std::move(c), false, 0);
    }
    for (int32_t kind = 0; kind < 3; ++kind) {
        auto signOwned = std::make_unique<TSegnoGrafico>(&grid);
        TSegnoGrafico* sign = signOwned.get();
        sign->Kind = kind;
        sign->X1 = 10 * kind;
        sign->Y1 = 20;
        sign->X2 = 200;
        sign->Y2 = 90 + kind;
        sign->Text = kind == 2 ? "Scala A" : "";
        grid.Signs->Add(std::move(signOwned), false);
    }
    Put(grids / "drawn60000", std::string("\0\1", 2) + Section(grid, RecordVersion));
    Put(grids / "drawn50100", std::string("\1\1", 2) + Section(grid, 50100));

    // A custom component holding a splitter between its anchors, with a sign
    // in its symbol.
    TGridData custom(nullptr, 24, 24, 1);
    auto cellOwned = std::make_unique<TCellaCustom>(&custom, 1, 0, 6, 6, 1, 2);
    auto* cell = cellOwned.get();
    auto entry = std::make_unique<TAncoraI>(cell->Structure.get(), 0, 0, 1, 0);
    entry->Code = "1";
    auto splitter = std::make_unique<TDivisore>(cell->Structure.get(), 0, 0, 1, 1, 1, 2);
    splitter->Described = 1;
    auto right = std::make_unique<TAncoraO>(cell->Structure.get(), 3, 0, 2, 1);
    right->Code = "1";
    auto left = std::make_unique<TAncoraO>(cell->Structure.get(), 1, 0, 0, 1);
    left->Code = "2";
    std::unique_ptr<TCella> inner[] = {std::move(entry), std::move(splitter), std::move(right),
                                       std::move(left)};
    for (std::unique_ptr<TCella>& part : inner) GridOf(cell->Structure).InsertCell(std::move(part), false, 0);
    GridOf(cell->Drawing).InsertCell(std::make_unique<TAncoraI>(cell->Drawing.get(), 0, 0, 1, 0), false, 0);
    cell->OutputPoints[1] = {1, 1, 3};
    cell->MapAnchors();
    cell->Described = 1;
    custom.InsertCell(std::move(cellOwned), false, 0);
    Put(grids / "custom60000", std::string("\0\1", 2) + Section(custom, RecordVersion));

    // The small readers: a reader selector, a version selector, then the
    // reader's own input (see fuzz_values.cpp).
    const fs::path values = root / "fuzz_values";
    fs::create_directories(values);
    for (int rank = 2; rank <= 4; ++rank) {
        TInfo info(rank);
        info.SetSizes(rank == 4 ? 2 : 0, rank >= 3 ? 3 : 0, 4, BandSlots);
        info.Allocate();
        for (int b = 0; b < 11; b += 2) {
            if (rank == 2) info.Set2(1, b, 0.5f * b);
            if (rank == 3) info.Set3(2, 3, b, -1.5f * b);
            if (rank == 4) info.Set4(1, 2, 0, b, 2.0f + b);
        }
        TMemoryStream current, older;
        info.Write(current, RecordVersion);
        info.Write(older, 50100);
        const char rankSelector = static_cast<char>(rank - 2);
        Put(values / ("values_rank" + std::to_string(rank)),
            std::string{'\0', '\0', rankSelector, 0, 0, 0} + current.Bytes());
        // Before version 60000 the caller's sizes: 2 x 3 x 4 rows.
        Put(values / ("values_rank" + std::to_string(rank) + "_50100"),
            std::string{'\0', '\1', rankSelector, 1, 2, 3} + older.Bytes());
    }
    TListaCanali channels;
    for (int i = 0; i < 3; ++i) {
        TCanale c;
        c.name = i == 0 ? "21" : i == 1 ? "S12" : "libero";
        c.plan = i == 0 ? Canalizzazioni->Find("Italia") : i == 1 ? Canalizzazioni->Find("Europa") : nullptr;
        c.freqLow = 470.0f + 100.0f * i;
        c.freqHigh = c.freqLow + 8.0f;
        c.levelMin = 70.0f + i;
        channels.Insert(c);
    }
    TMemoryStream list;
    channels.Write(list, RecordVersion);
    Put(values / "channels", std::string{'\1', '\0'} + list.Bytes());
    TMemoryStream texts;
    chunked::WriteString(texts, "Derivatore", 21);
    chunked::WriteAnsiString(texts, std::string(300, 'x'), -2);
    chunked::WriteAnsiString(texts, "Città", 30);
    Put(values / "texts", std::string{'\2', '\0', 3, 13, 9, '\xFF'} + texts.Bytes());
    TBitmap bitmap(5, 3);
    bitmap.SetPixel(1, 1, static_cast<TColor>(0x0000FF));
    bitmap.SetPixel(4, 2, static_cast<TColor>(0x00FF00));
    TMemoryStream picture;
    bitmap.SaveToStream(picture);
    Put(values / "bitmap", std::string{'\3', '\0'} + picture.Bytes());

    // Project files: a new project, and one with cells, a sign, estimate
    // rows, a mast with an arm and the settings of two staircases. (The
    // tests of project files add seeds of the older versions.)
    const fs::path projects = root / "fuzz_project_file";
    fs::create_directories(projects);
    TProgetto project(nullptr);
    project.Reset(true);
    auto file = [&project] {
        TMemoryStream s;
        WriteProjectFile(s, project, ProjectVersionCurrent);
        return s.Bytes();
    };
    Put(projects / "new60000", file());
    TGridData& net = *project.NetworkGrid;
    net.InsertCell(std::make_unique<TDivisore>(&net, 0, 0, 10, 5, 1, 2), false, 0);
    auto projectSignOwned = std::make_unique<TSegnoGrafico>(&net);
    TSegnoGrafico* projectSign = projectSignOwned.get();
    projectSign->Kind = SignText;
    projectSign->Text = "Scala B";
    net.Signs->Add(std::move(projectSignOwned), false);
    project.HeadEndGrid->InsertCell(std::make_unique<TFiltroP>(project.HeadEndGrid, 0, 0, 8, 8), false, 0);
    TRigaPreventivo row;
    row.Code = "EXTRA";
    row.Quantity = 2;
    project.Estimate->AddQuantity(row);
    auto arm = std::make_unique<TDatiAntenna>();
    arm->Kind = MastSingleArm;
    arm->FirstChild = std::make_unique<TDatiAntenna>();
    project.Mast->Antennas.InsertAt(0, std::move(arm));
    DesignSettings().Building->StaircaseCount = 2;
    Put(projects / "full60000", file());
    return 0;
}
