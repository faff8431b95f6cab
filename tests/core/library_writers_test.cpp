// The library writers never lose an entry: registering, replacing and deleting
// an entry, stopped at any point by an error or a crash, leave the library
// exactly as it was or exactly as intended; failures say what failed.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <sys/stat.h>

#include "cells/cell.h"
#include "cells/filters.h"
#include "cells/library_cells.h"
#include "core/file.h"
#include "core/info.h"
#include "core/libraries.h"
#include "platform/application.h"
#include "platform/safe_files.h"
#include "support/as_user.h"
#include "support/file_bytes.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

namespace fs = std::filesystem;

// A filter entry: its code, price and one attenuation tell it apart.
std::unique_ptr<TCella> Filter(const std::string& code, float price) {
    auto cell = std::make_unique<TFiltroS>(nullptr, 0, 0, 0, 0);
    cell->Code = code;
    cell->Article = "Filtro " + code;
    cell->Category = "Filtri";
    cell->Price = price;
    cell->Attenuation->Set3(0, 1, 0, price / 10.0f);
    return cell;
}

using Strings = std::vector<std::string>;

class LibraryWriters : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    const TempDir dir{TempDir::InMemory{}};
    const std::string path = dir.File("quattro.alb");

    LibraryWriters() {
        EXPECT_TRUE(TLibreria::CreateFile(path));
        TLibreria l;
        l.fileName = path;
        EXPECT_TRUE(l.Open(true));
        for (const char* code : {"A", "B", "C", "D"})
            EXPECT_TRUE(WriteLibraryCell(l, *Filter(code, code[0] - 'A' + 1.0f)));
    }
    ~LibraryWriters() override { file_faults::Reset(); }

    const std::vector<TMessageBoxCall>& Boxes() { return Application->Script().MessageBoxes; }

    // The codes of the library on file and the price of each entry as read.
    std::string Contents() {
        TLibreria l;
        l.fileName = path;
        TStringList codes;
        l.ListCodesOfCategory(codes, "");
        std::ostringstream out;
        l.Open(false);
        for (int i = 0; i < codes.Count(); ++i) {
            std::unique_ptr<TCella> cell = ReadLibraryCell(l, codes[i]);
            out << codes[i] << "=" << (cell ? cell->Price : -1.0f) << " ";
        }
        return out.str();
    }
};

struct Write {
    const char* what;
    std::function<bool(TLibreria&)> run;
    const char* intended;  // the library's contents after it
};

TEST_F(LibraryWriters, AWriteStoppedAtAnyPointLeavesTheLibraryAsBeforeOrAsIntended) {
    const std::string before = ReadFileBytes(path);
    ASSERT_EQ(Contents(), "A=1 B=2 C=3 D=4 ");
    // clang-format off
    const Write writes[] = {
        {"register", [](TLibreria& l) { return WriteLibraryCell(l, *Filter("E", 5)); }, "A=1 B=2 C=3 D=4 E=5 "},
        {"replace", [](TLibreria& l) { return WriteLibraryCell(l, *Filter("B", 20)); }, "A=1 C=3 D=4 B=20 "},
        {"delete", [](TLibreria& l) { return l.DeleteEntry("C"); }, "A=1 B=2 D=4 "},
    };
    // clang-format on
    for (const Write& w : writes) {
        // The write that nothing stops: what it makes, and in how many steps.
        WriteFileBytes(path, before);
        file_faults::Reset();
        {
            TLibreria l;
            l.fileName = path;
            ASSERT_TRUE(l.Open(true));
            ASSERT_TRUE(w.run(l)) << w.what;
        }
        const int64_t steps = file_faults::Steps();
        const std::string intended = ReadFileBytes(path);
        ASSERT_EQ(Contents(), w.intended) << w.what;

        for (auto how : {file_faults::TStop::Error, file_faults::TStop::Crash}) {
            const bool crash = how == file_faults::TStop::Crash;
            for (int64_t stop = 0; stop <= steps; ++stop) {
                SCOPED_TRACE(std::string(w.what) + (crash ? ": crash at step " : ": error at step ") +
                             std::to_string(stop));
                WriteFileBytes(path, before);
                Application->Script().Reset();
                bool answer = false, crashed = false;
                {
                    TLibreria l;
                    l.fileName = path;
                    ASSERT_TRUE(l.Open(true));
                    file_faults::StopAt(stop, how, ENOSPC);
                    try {
                        answer = w.run(l);
                    } catch (const file_faults::TSimulatedCrash&) {
                        crashed = true;
                    }
                    file_faults::Reset();
                }
                const std::string after = ReadFileBytes(path);
                ASSERT_EQ(crashed, crash && stop < steps);
                if (crashed) {
                    ASSERT_TRUE(after == before || after == intended);
                    for (const std::string& name : FolderEntries(dir.Path()))
                        if (name != "quattro.alb") fs::remove(dir.File(name));
                    continue;
                }
                ASSERT_EQ(answer, stop == steps);
                ASSERT_EQ(after, answer ? intended : before);
                ASSERT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"quattro.alb"});
                if (answer) {
                    ASSERT_TRUE(Boxes().empty());
                } else {
                    ASSERT_EQ(Boxes().size(), 1u);
                    ASSERT_EQ(Boxes()[0].Text, "Impossibile scrivere la libreria " + path +
                                                   ". Causa: spazio esaurito sul disco.");
                }
            }
        }
    }
}

TEST_F(LibraryWriters, AnOpenLibraryGoesOnWithTheNewFileAfterAWrite) {
    TLibreria l;
    l.fileName = path;
    ASSERT_TRUE(l.Open(true));
    EXPECT_TRUE(l.DeleteEntry("A"));
    EXPECT_TRUE(WriteLibraryCell(l, *Filter("F", 6)));
    EXPECT_TRUE(l.DeleteEntry("D"));
    EXPECT_TRUE(l.IsOpen());
    std::unique_ptr<TCella> cell = ReadLibraryCell(l, "F");
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->Price, 6.0f);
    l.Close();
    EXPECT_EQ(Contents(), "B=2 C=3 F=6 ");
    EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"quattro.alb"});
}

TEST_F(LibraryWriters, CreatingALibraryKeepsAnExistingOneUnlessTold) {
    const std::string before = ReadFileBytes(path);
    EXPECT_FALSE(TLibreria::CreateFile(path));
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(TLibreria::CreateFile(path, true));
    EXPECT_EQ(Contents(), "");

    const std::string nowhere = dir.File("manca/nuova.alb");
    EXPECT_FALSE(TLibreria::CreateFile(nowhere));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text,
              "Impossibile scrivere la libreria " + nowhere + ". Causa: il file o la cartella non esiste.");
}

TEST_F(LibraryWriters, ADamagedLibraryIsNotWrittenOver) {
    std::string bytes = ReadFileBytes(path);
    bytes[13] = 5;  // one entry more than the file holds
    WriteFileBytes(path, bytes);
    TLibreria l;
    l.fileName = path;
    ASSERT_TRUE(l.Open(true));
    EXPECT_FALSE(WriteLibraryCell(l, *Filter("E", 5)));
    EXPECT_FALSE(l.DeleteEntry("A"));
    l.Close();
    EXPECT_EQ(ReadFileBytes(path), bytes);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].Text.find("è danneggiata"), std::string::npos);
}

// Failures that only the kernel's permission checks give, run as a user.
TEST_F(LibraryWriters, PermissionsRefusedAreSaidAtOnce) {
    const std::string before = ReadFileBytes(path);
    struct Case {
        const char* what;
        unsigned fileMode, folderMode;
        bool openForWriting;
        const char* message;  // after the library's name
    };
    // clang-format off
    const Case cases[] = {
        {"a library its user may not read", 0200, 0755, false, "Impossibile aprire la libreria "},
        {"a read-only library opened to write", 0444, 0755, true, "Impossibile aprire la libreria "},
        {"a read-only folder", 0644, 0555, true, "Impossibile scrivere la libreria "},
    };
    // clang-format on
    std::string skipped;
    for (const Case& c : cases) {
        WriteFileBytes(path, before);
        ::chmod(path.c_str(), c.fileMode);
        ::chmod(dir.Path().c_str(), c.folderMode);
        const TUserRun run = RunAsUser(dir.Path(), [&]() -> std::string {
            Application->Script().Reset();
            TLibreria l;
            l.fileName = path;
            if (l.Open(c.openForWriting)) {
                if (WriteLibraryCell(l, *Filter("E", 5))) return "the write went through";
            }
            const auto& boxes = Application->Script().MessageBoxes;
            if (boxes.size() != 1) return std::to_string(boxes.size()) + " messages";
            const std::string expected = c.message + path + ". Causa: permesso negato.";
            if (boxes[0].Text != expected) return "message: " + boxes[0].Text;
            return "";
        });
        ::chmod(dir.Path().c_str(), 0755);
        ::chmod(path.c_str(), 0644);
        EXPECT_EQ(ReadFileBytes(path), before) << c.what;
        EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"quattro.alb"}) << c.what;
        if (!run.ran) {
            skipped += std::string(c.what) + ": " + run.why + "; ";
            continue;
        }
        EXPECT_EQ(run.failure, "") << c.what;
    }
    if (!skipped.empty()) GTEST_SKIP() << "permission cases not run: " << skipped;
}

}  // namespace
