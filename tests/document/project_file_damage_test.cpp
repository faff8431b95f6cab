// Project files under damage: a file cut anywhere or holding a cell that
// cannot stand where it says is refused whole, never half loaded; a save
// stopped at any file operation, or killed, leaves the old project or the new
// one under the name and the one before as ".bak"; a save through a link
// writes the link's target; the causes of failures in Italian; the temporary
// files of interrupted saves; files that are no project or far too large.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "document/estimate.h"
#include "document/grid.h"
#include "document/lightning.h"
#include "document/mast.h"
#include "document/project.h"
#include "document/project_files.h"
#include "document/signs.h"
#include "document/design_settings.h"
#include "cells/cables.h"
#include "cells/factory.h"
#include "cells/outlets.h"
#include "cells/taps.h"
#include "core/file.h"
#include "platform/application.h"
#include "platform/safe_files.h"
#include "support/file_bytes.h"
#include "support/globals_fixture.h"
#include "support/small_tmpfs.h"

namespace {

std::string Saved(const TProgetto& p) {
    TMemoryStream s;
    WriteProjectFile(s, p, ProjectVersionCurrent);
    return s.Bytes();
}

void Fill(TCella& cell, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, column, b, value);
}

// A small project: a few cells on each grid (a crossing of cables among them),
// signs, estimate rows, the mast and the design settings.
void SmallProject(TProgetto& p) {
    p.HeaderTexts[0] = "Condominio Rossi";
    TGridData* net = p.NetworkGrid;
    ASSERT_TRUE(net->InsertCell(NewCella(net, CodeEndOutlet, 10, 5, 1, 0, 1), false, 0));
    ASSERT_TRUE(net->InsertCell(NewCella(net, CodeCable, 10, 4, 1, 1, 0), false, 0));
    auto vertical = std::make_unique<TNCavo>(net, 0, 0, 12, 6, 0, 0);
    auto horizontal = std::make_unique<TNCavo>(net, 1, 0, 12, 6, 0, 0);
    ASSERT_TRUE(net->InsertCell(std::move(vertical), false, 0));
    ASSERT_TRUE(net->InsertCell(std::move(horizontal), false, 0));
    auto signOwned = std::make_unique<TSegnoGrafico>(net);
    TSegnoGrafico* sign = signOwned.get();
    sign->Kind = SignText;
    sign->X1 = 100;
    sign->Y1 = 120;
    sign->X2 = 300;
    sign->Y2 = 160;
    sign->Text = "Scala A";
    net->Signs->Add(std::move(signOwned), false);
    TGridData* head = p.HeadEndGrid;
    ASSERT_TRUE(head->InsertCell(NewCella(head, 45, 5, 10, 0, 1, 0), false, 0));
    ASSERT_TRUE(head->InsertCell(NewCella(head, 29, 8, 20, 2, 1, 0), false, 0));
    p.Estimate->BuildFromCells();
    TRigaPreventivo byHand;
    byHand.Code = "EXTRA";
    byHand.Quantity = 2;
    byHand.Unit = "pezzi";
    p.Estimate->AddQuantity(byHand);
    p.EstimateOutOfDate = false;
    p.Lightning->Notes = "Edificio isolato";
}

// A building as the designer lays it out: risers of cable with a tap on
// every floor feeding an outlet on each side, a sign on every floor.
void Building(TProgetto& p, int32_t risers, int32_t floors) {
    TGridData& net = *p.NetworkGrid;
    ASSERT_TRUE(net.Resize(std::max(75, risers * 5 + 10), std::max(75, 3 * floors + 6)));
    for (int32_t i = 0; i < risers; ++i) {
        const int32_t riser = 4 + 5 * i;
        for (int32_t f = 0; f < floors; ++f) {
            const int32_t row = 2 + 3 * f;
            auto tap = std::make_unique<TDerivatore>(&net, 0, 0, riser, row, 1, 2);
            Fill(*tap, TapLossColumn, 10.0f + f % 5);
            tap->Code = "DER" + std::to_string(f % 40);
            tap->Price = 12.5f;
            ASSERT_TRUE(net.InsertCell(std::move(tap), false, 0));
            for (int32_t side : {-1, 1}) {
                auto outlet = std::make_unique<TPresaD>(&net, side < 0 ? 1 : 3, 0, riser + side, row,
                                                        CodeTerminatedOutlet, 1);
                Fill(*outlet, 0, 4.0f);
                outlet->Code = "PR" + std::to_string((f + i) % 60);
                ASSERT_TRUE(net.InsertCell(std::move(outlet), false, 0));
            }
            for (int32_t r = row + 1; r < row + 3; ++r) {
                auto cable = std::make_unique<TNCavo>(&net, 0, 0, riser, r, 0, 0);
                cable->SetLength(3.0f);
                ASSERT_TRUE(net.InsertCell(std::move(cable), false, 0));
            }
            if (i == 0) {
                auto signOwned = std::make_unique<TSegnoGrafico>(&net);
                TSegnoGrafico* sign = signOwned.get();
                sign->Kind = SignText;
                sign->X1 = 0;
                sign->Y1 = row * SquarePixels;
                sign->X2 = 3 * SquarePixels;
                sign->Y2 = sign->Y1 + 20;
                sign->Text = "Piano " + std::to_string(f + 1);
                net.Signs->Add(std::move(signOwned), false);
            }
        }
    }
    p.Estimate->BuildFromCells();
    p.EstimateOutOfDate = false;
}

// The bytes this process has read through the system so far, as Linux
// counts them; -1 where it does not.
int64_t BytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    int64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return -1;
}

class ProjectDamageTest : public GlobalsTest {
protected:
    ProjectDamageTest() {
        Application->Script().Reset();
        open.Reset(true);
        open.HeaderTexts[0] = "Progetto aperto";
        openBytes = Saved(open);
    }
    ~ProjectDamageTest() override { file_faults::Reset(); }

    std::string Path(const std::string& name) const { return globals.Dir().File(name); }

    // Loads the bytes into the open project; what went wrong, "" when the
    // file either loaded whole (saving back to the same bytes) or was refused
    // with one message starting as given, the open project untouched.
    std::string LoadOrRefuse(const std::string& bytes, const std::string& whole, const std::string& refusal) {
        Application->Script().Reset();
        TMemoryStream s(bytes);
        const int result = files.LoadProjectFrom(s, "p.ant", open);
        const auto& boxes = Application->Script().MessageBoxes;
        if (result == 0) {
            if (!boxes.empty()) return "loaded with a message";
            if (Saved(open) != whole) return "loaded with parts missing";
            return "";
        }
        if (boxes.size() != 1) return std::to_string(boxes.size()) + " messages";
        if (boxes[0].Text.compare(0, refusal.size(), refusal) != 0) return "message \"" + boxes[0].Text + "\"";
        if (Saved(open) != openBytes) return "the open project changed";
        return "";
    }

    // A small project saved as name, then changed in its header: the bytes
    // on file and those the next save writes.
    void SaveThenChange(TProgetto& p, const std::string& name, std::string& oldBytes, std::string& newBytes) {
        p.Reset(true);
        SmallProject(p);
        ASSERT_EQ(files.SaveProject(name, p, ProjectVersionCurrent), 0);
        oldBytes = ReadFileBytes(name);
        p.HeaderTexts[0] = "Condominio Bianchi";
        p.Modified = true;
        newBytes = Saved(p);
    }

    // What a refusal of a file cut at this length says first: the header's
    // own messages for a cut tag.
    static std::string RefusalAt(size_t length) {
        if (length >= ProjectTagBytes) return "Il file p.ant non è nel formato corretto.";
        if (length >= 3) return "Il file p.ant è stato creato con una versione di Ordivex Varne successiva alla 4.0.";
        return "Il file p.ant non è un progetto di Ordivex Varne.";
    }

    TProgetto open{nullptr};
    std::string openBytes;
    TFileProgetto files{nullptr, nullptr};
};

TEST_F(ProjectDamageTest, EveryCutOfASmallProjectIsRefused) {
    TProgetto p(nullptr);
    p.Reset(true);
    SmallProject(p);
    const std::string whole = Saved(p);
    ASSERT_EQ(LoadOrRefuse(whole, whole, ""), "");
    ASSERT_EQ(Saved(open), whole);
    // Back to the project that was open, for the cuts.
    TMemoryStream again(openBytes);
    ASSERT_EQ(files.LoadProjectFrom(again, "p.ant", open), 0);
    int failures = 0;
    for (size_t length = 0; length < whole.size() && failures < 10; ++length) {
        const std::string wrong = LoadOrRefuse(whole.substr(0, length), whole, RefusalAt(length));
        if (!wrong.empty()) {
            ++failures;
            ADD_FAILURE() << "cut at " << length << " of " << whole.size() << ": " << wrong;
        }
    }
}

TEST_F(ProjectDamageTest, CutsOfADesignedBuildingAreRefused) {
    TProgetto p(nullptr);
    p.Reset(true);
    Building(p, 6, 30);
    const std::string whole = Saved(p);
    ASSERT_GT(whole.size(), 100000u);
    ASSERT_EQ(LoadOrRefuse(whole, whole, ""), "");
    TMemoryStream again(openBytes);
    ASSERT_EQ(files.LoadProjectFrom(again, "p.ant", open), 0);
    // Every length near the end of the file (the last sections), and a
    // sample of the others, the same on every run.
    std::vector<size_t> lengths;
    for (size_t length = whole.size() - std::min<size_t>(whole.size(), 3000); length < whole.size(); ++length)
        lengths.push_back(length);
    std::mt19937 random(56);
    for (int i = 0; i < 1500; ++i) lengths.push_back(random() % whole.size());
    int failures = 0;
    for (size_t length : lengths) {
        const std::string wrong = LoadOrRefuse(whole.substr(0, length), whole, RefusalAt(length));
        if (!wrong.empty() && ++failures <= 10)
            ADD_FAILURE() << "cut at " << length << " of " << whole.size() << ": " << wrong;
    }
    EXPECT_EQ(failures, 0);
}

// A cell whose position does not fit refuses the file, naming the cell.
TEST_F(ProjectDamageTest, ACellThatCannotBePlacedRefusesTheFileAndIsNamed) {
    struct Case {
        const char* what;
        int32_t column, row;  // where the tap says it stands
        const char* why;
    };
    // The tap stands at column 20, row 10; an outlet, read before it, at
    // column 5, row 10.
    const Case cases[] = {
        {"outside the grid", 5000, 10, "cade fuori dallo schema."},
        {"a negative column", -3, 10, "cade fuori dallo schema."},
        {"in the network terminal's row", 20, 0, "cade fuori dallo schema."},
        {"a column no grid has", 70000, 10, "cade fuori dallo schema."},
        {"over another cell", 5, 10, "si sovrappone a un altro componente."},
    };
    for (const Case& c : cases) {
        TProgetto p(nullptr);
        p.Reset(true);
        TGridData* net = p.NetworkGrid;
        auto tap = std::make_unique<TDerivatore>(net, 0, 0, 20, 10, 1, 2);
        tap->Code = "DER-4";
        TCella* placed = tap.get();
        ASSERT_TRUE(net->InsertCell(std::move(tap), false, 0));
        ASSERT_TRUE(net->InsertCell(NewCella(net, CodeEndOutlet, 5, 10, 1, 0, 1), false, 0));
        // The record says another square than the one the cell stands on.
        placed->Column = c.column;
        placed->Row = c.row;
        const std::string bytes = Saved(p);
        placed->Column = 20;
        placed->Row = 10;
        const std::string said = "Il file p.ant non è nel formato corretto. Il componente " +
                                 placed->GetTypeName() + " DER-4 in colonna " + std::to_string(c.column) +
                                 ", riga " + std::to_string(c.row) + " " + c.why;
        EXPECT_EQ(LoadOrRefuse(bytes, "", said), "") << c.what;
        EXPECT_EQ(ShownMessage(), said) << c.what;
    }
}

// Sections a whole file does not hold twice or leaves out.
TEST_F(ProjectDamageTest, RepeatedAndMissingSectionsAreRefused) {
    TProgetto p(nullptr);
    p.Reset(true);
    SmallProject(p);
    const std::string whole = Saved(p);
    TMemoryStream grid;
    p.NetworkGrid->Save(grid, ProjectVersionCurrent);
    const size_t at = whole.find(grid.Bytes());
    ASSERT_NE(at, std::string::npos);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"the network grid twice", whole + grid.Bytes()},
        {"no network grid", whole.substr(0, at) + whole.substr(at + grid.Bytes().size())},
        {"a grid without its end mark", whole.substr(0, at + grid.Bytes().size() - 4) +
                                            whole.substr(at + grid.Bytes().size())},
        {"one byte of a further tag", whole + std::string(1, '\xcd')},
        {"three bytes of a further tag", whole + std::string(3, '\0')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LoadOrRefuse(c.bytes, whole, "Il file p.ant non è nel formato corretto."), "") << c.what;
}

// A project saved while the save is stopped at every one of its file
// operations: as an error (the writer cleans up) and as a crash (it stops
// dead there).
TEST_F(ProjectDamageTest, ASaveStoppedAtEveryStepLeavesOldOrNewWithTheirBackups) {
    TProgetto p(nullptr);
    const std::string name = Path("a.ant"), backup = Path("a.bak");
    std::string oldBytes, newBytes;
    ASSERT_NO_FATAL_FAILURE(SaveThenChange(p, name, oldBytes, newBytes));
    const int64_t steps = static_cast<int64_t>(newBytes.size()) + file_faults::StepsAfterBytes;
    std::vector<int64_t> stops;
    for (int64_t s = 0; s < steps; s += 97) stops.push_back(s);
    for (int64_t s = std::max<int64_t>(0, steps - 20); s < steps; ++s) stops.push_back(s);

    for (const file_faults::TStop how : {file_faults::TStop::Error, file_faults::TStop::Crash}) {
        const bool crash = how == file_faults::TStop::Crash;
        for (int64_t stop : stops) {
            WriteFileBytes(name, oldBytes);
            WriteFileBytes(backup, "la copia di prima");
            const std::set<std::string> before = FolderEntries(globals.Dir().Path());
            Application->Script().Reset();
            file_faults::StopAt(stop, how, EIO);
            int result = 1;
            try {
                result = files.SaveProject(name, p, ProjectVersionCurrent);
            } catch (const file_faults::TSimulatedCrash&) {
                result = 2;
            }
            file_faults::Reset();
            const std::string nowName = ReadFileBytes(name), nowBackup = ReadFileBytes(backup);
            const std::string where = (crash ? "crash at step " : "error at step ") + std::to_string(stop);
            if (!crash) {
                // An error is undone whole: old file, previous backup, nothing else.
                EXPECT_EQ(result, -1) << where;
                EXPECT_EQ(nowName, oldBytes) << where;
                EXPECT_EQ(nowBackup, "la copia di prima") << where;
                EXPECT_EQ(FolderEntries(globals.Dir().Path()), before) << where;
                continue;
            }
            EXPECT_EQ(result, 2) << where;
            if (nowName == newBytes) {
                EXPECT_EQ(nowBackup, oldBytes) << where;
            } else {
                EXPECT_EQ(nowName, oldBytes) << where;
                // Killed between its two renames, the backup is already the old file.
                EXPECT_TRUE(nowBackup == "la copia di prima" || nowBackup == oldBytes) << where;
            }
            // What the dead writer left is its own process's: removed by hand here
            // (a later run of the program removes it, see the leftovers test).
            for (const std::string& entry : FolderEntries(globals.Dir().Path()))
                if (!before.count(entry)) std::remove(Path(entry).c_str());
        }
    }
    // And the save at last goes through whole.
    WriteFileBytes(name, oldBytes);
    ASSERT_EQ(files.SaveProject(name, p, ProjectVersionCurrent), 0);
    EXPECT_EQ(ReadFileBytes(name), newBytes);
    EXPECT_EQ(ReadFileBytes(backup), oldBytes);
}

// A save killed between its two renames leaves the project and its backup
// as two names of one file, the old project. The next save keeps the old
// project as the backup and leaves no other name of it behind, both when it
// fails at its last step (the old project stays under the name) and when it
// goes through.
TEST_F(ProjectDamageTest, ASaveOverAProjectThatIsItsOwnBackupLeavesNoOtherName) {
    TProgetto p(nullptr);
    const std::string name = Path("a.ant"), backup = Path("a.bak");
    std::string oldBytes, newBytes;
    ASSERT_NO_FATAL_FAILURE(SaveThenChange(p, name, oldBytes, newBytes));
    const int64_t lastStep = static_cast<int64_t>(newBytes.size()) + file_faults::StepsAfterBytes - 1;
    for (const bool fails : {true, false}) {
        SCOPED_TRACE(fails ? "failing at the last step" : "going through");
        std::remove(backup.c_str());
        ASSERT_EQ(::link(name.c_str(), backup.c_str()), 0);
        const std::set<std::string> before = FolderEntries(globals.Dir().Path());
        Application->Script().Reset();
        if (fails) file_faults::StopAt(lastStep, file_faults::TStop::Error, EIO);
        EXPECT_EQ(files.SaveProject(name, p, ProjectVersionCurrent), fails ? -1 : 0);
        file_faults::Reset();
        EXPECT_EQ(ReadFileBytes(name), fails ? oldBytes : newBytes);
        EXPECT_EQ(ReadFileBytes(backup), oldBytes);
        EXPECT_EQ(FolderEntries(globals.Dir().Path()), before);
    }
}

// A child process saving a large project is killed at random moments.
TEST_F(ProjectDamageTest, ASaveKilledAtRandomLeavesOldOrNewWithTheirBackups) {
    TProgetto p(nullptr);
    p.Reset(true);
    Building(p, 8, 120);
    const std::string name = Path("grande.ant"), backup = Path("grande.bak");
    ASSERT_EQ(files.SaveProject(name, p, ProjectVersionCurrent), 0);
    const std::string oldBytes = ReadFileBytes(name);
    p.HeaderTexts[0] = "Nuovo";
    const std::string newBytes = Saved(p);
    ASSERT_GT(newBytes.size(), 1000000u);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(files.SaveProject(name, p, ProjectVersionCurrent), 0);
    const auto saveTime = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - started)
                              .count();
    std::mt19937 random(5656);
    int sawOld = 0, sawNew = 0;
    for (int round = 0; round < 25; ++round) {
        WriteFileBytes(name, oldBytes);
        WriteFileBytes(backup, "la copia di prima");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int result = files.SaveProject(name, p, ProjectVersionCurrent);
            ::_exit(result == 0 ? 0 : 1);
        }
        ::usleep(static_cast<useconds_t>(random() % (saveTime + saveTime / 2 + 1)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const std::string nowName = ReadFileBytes(name), nowBackup = ReadFileBytes(backup);
        if (nowName == newBytes) {
            ++sawNew;
            EXPECT_EQ(nowBackup, oldBytes) << "round " << round;
        } else {
            ++sawOld;
            EXPECT_EQ(nowName, oldBytes) << "round " << round << ": neither project whole";
            EXPECT_TRUE(nowBackup == "la copia di prima" || nowBackup == oldBytes) << "round " << round;
        }
    }
    // The next save removes what the killed writers left.
    ASSERT_EQ(files.SaveProject(name, p, ProjectVersionCurrent), 0);
    EXPECT_TRUE(LeftoverTemporaries(name).empty());
    std::set<std::string> entries = FolderEntries(globals.Dir().Path());
    for (auto it = entries.begin(); it != entries.end();)
        it = it->rfind(".grande", 0) == 0 ? it : entries.erase(it);
    EXPECT_EQ(entries, std::set<std::string>{}) << "temporary files left";
    RecordProperty("old", sawOld);
    RecordProperty("new", sawNew);
}

TEST_F(ProjectDamageTest, TemporariesOfWritersNoLongerRunningAreRemoved) {
    // A process number no process has: a child that has ended.
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string dead = std::to_string(gone), alive = std::to_string(::getpid());
    struct Case {
        std::string file;
        bool removed;
    };
    const Case cases[] = {
        {".a.ant~" + dead + "~Xy12ab", true},
        {".a.ant~" + alive + "~Xy12ab", false},  // this very program is writing it
        {".a.ant~1~Xy12ab", false},              // a writer that runs
        {".b.ant~" + dead + "~Xy12ab", false},   // another project's
        {".a.ant~" + dead + "~Xy12", false},     // not of our naming
        {".a.ant~" + dead + "x~Xy12ab", false},
        {"a.ant.tmp", false},
        {".a.ant.Xy12ab", false},
    };
    for (const Case& c : cases) WriteFileBytes(Path(c.file), "resto");
    TProgetto p(nullptr);
    p.Reset(true);
    ASSERT_EQ(files.SaveProject(Path("a.ant"), p, ProjectVersionCurrent), 0);
    for (const Case& c : cases) EXPECT_EQ(FileExists(Path(c.file)), !c.removed) << c.file;
}

// Through a symbolic link the target is written in its own folder, its
// ".bak" beside it; the link stays a link. The target lies on another file
// system when one can be mounted.
TEST_F(ProjectDamageTest, SavingThroughALinkWritesTheTargetAndKeepsTheLink) {
    SmallTmpfs disk;
    TempDir plain;
    const std::string there = disk.Mounted() ? disk.Dir().Path() : plain.Path();
    const std::string target = there + "/vero.ant";
    const std::string link = Path("collegamento.ant");
    TProgetto p(nullptr);
    p.Reset(true);
    ASSERT_EQ(files.SaveProject(target, p, ProjectVersionCurrent), 0);
    const std::string oldBytes = ReadFileBytes(target);
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    SmallProject(p);
    Application->Script().Reset();
    ASSERT_EQ(files.SaveProject(link, p, ProjectVersionCurrent), 0) << ShownMessage();
    struct stat st;
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFileBytes(target), Saved(p));
    EXPECT_EQ(ReadFileBytes(there + "/vero.bak"), oldBytes);
    EXPECT_FALSE(FileExists(Path("collegamento.bak")));
    EXPECT_EQ(FolderEntries(there), (std::set<std::string>{"vero.ant", "vero.bak"}));
    if (!disk.Mounted()) GTEST_SKIP() << "the target was on the same file system: " << disk.Why();
}

// The causes of failures, said in Italian.
TEST(SystemErrorTextTest, CausesAreItalian) {
    struct Case {
        int error;
        const char* text;
    };
    const Case cases[] = {
        {ENOSPC, "spazio esaurito sul disco"}, {EACCES, "permesso negato"},
        {EPERM, "permesso negato"},             {EROFS, "file system di sola lettura"},
        {EDQUOT, "quota del disco superata"},   {EIO, "errore di lettura o scrittura sul disco"},
        {EXDEV, "il file e la sua copia stanno su dischi diversi"},
        {EFBIG, "file troppo grande"},          {ENOENT, "il file o la cartella non esiste"},
        {ENAMETOOLONG, "nome troppo lungo"},    {EMFILE, "troppi file aperti"},
        {ENOMEM, "memoria insufficiente"},      {12345, "errore di sistema n. 12345"},
    };
    for (const Case& c : cases) EXPECT_EQ(SystemErrorText(c.error), c.text) << c.error;
    // No cause is the system's English text.
    for (int e = 1; e < 134; ++e) EXPECT_NE(SystemErrorText(e), std::strerror(e)) << e;
}

TEST_F(ProjectDamageTest, ASaveThatFailsSaysItsCauseInItalian) {
    TProgetto p(nullptr);
    p.Reset(true);
    const std::string name = Path("c.ant");
    for (int error : {ENOSPC, EROFS, EACCES, EDQUOT, EXDEV, ENOMEM}) {
        Application->Script().Reset();
        file_faults::StopAt(10, file_faults::TStop::Error, error);
        EXPECT_EQ(files.SaveProject(name, p, ProjectVersionCurrent), -1);
        file_faults::Reset();
        EXPECT_EQ(ShownMessage(), "Problemi in apertura. Il progetto non è stato salvato in " + name + ": " +
                                      SystemErrorText(error) + ".");
    }
}

// A file that is no project is read no further than its header, and a
// project file larger than a project may be is refused unread, saying that
// it is too large: both at once.
TEST_F(ProjectDamageTest, LargeFilesAreRefusedWithoutBeingRead) {
    struct Case {
        const char* what;
        std::string head;
        const char* said;
    };
    const Case cases[] = {
        {"no project", std::string(64, 'x'), "Il file %s non è un progetto di Ordivex Varne."},
        {"a project's header", Saved(open).substr(0, ProjectHeaderBytes),
         "Il file %s è troppo grande per un progetto (256,1 MB; un progetto può occupare al massimo 256 MB)."},
    };
    ASSERT_EQ(files.MaxFileBytes, MaxProjectFileBytes);
    bool uncounted = false;
    for (const Case& c : cases) {
        const std::string name = Path("grande.ant");
        {
            const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::write(fd, c.head.data(), c.head.size()), static_cast<ssize_t>(c.head.size()));
            // One byte over the limit, holes after the head.
            ASSERT_EQ(::ftruncate(fd, MaxProjectFileBytes + 1), 0);
            ::close(fd);
        }
        Application->Script().Reset();
        const int64_t readBefore = BytesReadSoFar();
        EXPECT_EQ(files.LoadProject(name, open), -1) << c.what;
        const int64_t readAfter = BytesReadSoFar();
        // Counted in bytes, not timed: a busy machine makes any read slow.
        if (readBefore < 0 || readAfter < 0)
            uncounted = true;
        else
            EXPECT_LT(readAfter - readBefore, int64_t{1} << 20) << c.what;
        std::string said = c.said;
        said.replace(said.find("%s"), 2, name);
        EXPECT_EQ(ShownMessage(), said) << c.what;
        EXPECT_EQ(Saved(open), openBytes);
    }
    if (uncounted) GTEST_SKIP() << "the system does not count the bytes a process reads (/proc/self/io)";
}

// Every project the program saves, it opens again: a project whose file
// is as large as the open admits is saved and opened whole; one byte more
// and the save refuses, saying why, before anything is written, and the
// open refuses that file as too large.
TEST_F(ProjectDamageTest, AProjectIsSavedOnlyWhenItOpensAgain) {
    TProgetto p(nullptr);
    p.Reset(true);
    SmallProject(p);
    const std::string bytes = Saved(p);
    const int64_t size = static_cast<int64_t>(bytes.size());
    const std::string name = Path("limite.ant");

    files.MaxFileBytes = size;
    p.Modified = true;
    ASSERT_EQ(files.SaveProject(name, p, ProjectVersionCurrent), 0);
    EXPECT_EQ(ReadFileBytes(name), bytes);
    EXPECT_FALSE(p.Modified);
    ASSERT_EQ(files.LoadProject(name, open), 0);
    EXPECT_EQ(Saved(open), bytes);

    files.MaxFileBytes = size - 1;
    p.HeaderTexts[1] = "Scala B";
    p.Modified = true;
    for (const std::string& target : {name, Path("oltre.ant")}) {
        SCOPED_TRACE(target);
        Application->Script().Reset();
        EXPECT_EQ(files.SaveProject(target, p, ProjectVersionCurrent), -1);
        const std::string said = ShownMessage();
        EXPECT_EQ(said.rfind("Problemi in apertura. Il progetto non è stato salvato in " + target +
                                 ": è troppo grande (",
                             0),
                  0u)
            << said;
        EXPECT_TRUE(p.Modified);
        EXPECT_EQ(p.Name, name);
    }
    // Nothing written: the file saved before stays whole, with no copy.
    EXPECT_EQ(ReadFileBytes(name), bytes);
    EXPECT_FALSE(std::filesystem::exists(Path("limite.bak")));
    EXPECT_FALSE(std::filesystem::exists(Path("oltre.ant")));

    Application->Script().Reset();
    const std::string before = Saved(open);
    EXPECT_EQ(files.LoadProject(name, open), -1);
    EXPECT_EQ(std::string(ShownMessage()).rfind("Il file " + name + " è troppo grande per un progetto (", 0), 0u);
    EXPECT_EQ(Saved(open), before);
}

// A network of 101,000 outlets, some 34 MB on file, beyond what the open
// took before: saved and opened again whole with the program's own limit.
TEST_F(ProjectDamageTest, AHundredThousandOutletsSaveAndOpen) {
    TProgetto p(nullptr);
    p.Reset(true);
    TGridData& net = *p.NetworkGrid;
    constexpr int32_t Columns = 400, Outlets = 101000;
    ASSERT_TRUE(net.Resize(Columns + 2, Outlets / Columns + 6));
    int32_t placed = 0;
    for (int32_t row = 3; placed < Outlets; ++row)
        for (int32_t column = 1; column <= Columns && placed < Outlets; ++column, ++placed) {
            auto outlet = std::make_unique<TPresaD>(&net, 0, 0, column, row, CodeEndOutlet, 1);
            outlet->Code = "PR" + std::to_string(placed % 60);
            ASSERT_TRUE(net.InsertCell(std::move(outlet), false, 0));
        }
    const std::string bytes = Saved(p);
    ASSERT_GT(static_cast<int64_t>(bytes.size()), int64_t{32} << 20);
    ASSERT_LE(static_cast<int64_t>(bytes.size()), MaxProjectFileBytes);
    const std::string name = Path("centomila.ant");
    ASSERT_EQ(files.SaveProject(name, p, ProjectVersionCurrent), 0);
    ASSERT_EQ(files.LoadProject(name, open), 0) << ShownMessage();
    EXPECT_EQ(Saved(open), bytes);
}

// Section 200 of many rows: rows of equal codes merge, the labour row is
// found where it stands, a count the section cannot hold is refused.
TEST_F(ProjectDamageTest, EstimateRowsLoadWithTheirCodesMerged) {
    TDatiPreventivo estimate(nullptr);
    for (int i = 0; i < 50000; ++i) {
        TRigaPreventivo row;
        row.Code = "A" + std::to_string(i % 20000);
        row.Quantity = 1;
        estimate.AddQuantity(row);
    }
    TRigaPreventivo labour;
    labour.Code = LabourCode;
    estimate.AddQuantity(labour);
    estimate.LabourPosition = estimate.Count() - 1;
    TMemoryStream s;
    estimate.Save(s, ProjectVersionCurrent);
    TDatiPreventivo back(nullptr);
    TMemoryStream in(s.Bytes());
    back.Load(in, ProjectVersionCurrent);
    ASSERT_EQ(back.Count(), 20001);
    EXPECT_EQ(back.Rows()[7].Code, "A7");
    EXPECT_FLOAT_EQ(back.Rows()[7].Quantity, 3.0f);
    EXPECT_FLOAT_EQ(back.Rows()[19999].Quantity, 2.0f);
    EXPECT_EQ(back.LabourPosition, 20000);
    // Removing a row keeps the codes after it found.
    back.RemoveRow("A3");
    EXPECT_FALSE(back.HasRow("A3"));
    TRigaPreventivo more;
    more.Code = "A19999";
    more.Quantity = 5;
    back.AddQuantity(more);
    EXPECT_EQ(back.Count(), 20000);
    EXPECT_FLOAT_EQ(back.Rows()[19998].Quantity, 7.0f);

    // A count of rows the bytes that follow cannot hold.
    std::string bytes = s.Bytes();
    bytes[1] = '\xff';
    bytes[2] = '\xff';
    bytes[3] = '\xff';
    bytes[4] = '\x0f';
    TMemoryStream damaged(bytes);
    TDatiPreventivo refused(nullptr);
    EXPECT_THROW(refused.Load(damaged, ProjectVersionCurrent), EReadError);
    EXPECT_EQ(refused.Count(), 0);
}

}  // namespace
