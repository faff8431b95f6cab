// The settings file never loses what the user stored: a write that stops at
// any point leaves every old value (and the new one, or not), a file that
// cannot be read is never written over, and a write that fails says so and
// leaves no temporary file behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "core/ini.h"
#include "core/options.h"
#include "core/reporter.h"
#include "platform/application.h"
#include "platform/safe_files.h"
#include "support/as_user.h"
#include "support/file_bytes.h"
#include "support/globals_fixture.h"
#include "support/small_tmpfs.h"

namespace {

namespace fs = std::filesystem;

unsigned ModeOf(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Points the settings at a file of this folder while it lives.
class ScopedSettingsFile {
public:
    explicit ScopedSettingsFile(const std::string& path) {
        if (const char* env = std::getenv(Env)) saved_ = env;
        ::setenv(Env, path.c_str(), 1);
    }
    ~ScopedSettingsFile() { ::setenv(Env, saved_.c_str(), 1); }

private:
    static constexpr const char* Env = "ORDIVEX_VARNE_SETTINGS";
    std::string saved_;
};

class SettingsSafety : public GlobalsTest {
protected:
    ~SettingsSafety() override { file_faults::Reset(); }
};

TEST_F(SettingsSafety, AWriteStoppedAtAnyPointKeepsEveryValue) {
    const TempDir dir{TempDir::InMemory{}};
    const std::string path = dir.File("settings");
    const std::string folder = dir.Path();
    ScopedSettingsFile settings(path);
    TIni ini;
    for (const char* name : {"DirProgetti", "DirLibrerie", "SigMin3", "NomeDitta", "Done"})
        ini.WriteString(name, std::string("valore di ") + name);
    const std::string before = ReadFileBytes(path);
    const std::set<std::string> entries = FolderEntries(folder);

    file_faults::Reset();
    ASSERT_TRUE(TRegIniFile(ProgramKey).WriteString("", "Nuovo", "1"));
    const int64_t steps = file_faults::Steps();
    const std::string intended = ReadFileBytes(path);
    ASSERT_NE(intended, before);
    ASSERT_GT(steps, static_cast<int64_t>(before.size()));

    for (auto how : {file_faults::TStop::Error, file_faults::TStop::Crash}) {
        const bool crash = how == file_faults::TStop::Crash;
        for (int64_t stop = 0; stop <= steps; ++stop) {
            WriteFileBytes(path, before);
            file_faults::StopAt(stop, how, ENOSPC);
            TRegIniFile store(ProgramKey);
            bool answer = false, crashed = false;
            try {
                answer = store.WriteString("", "Nuovo", "1");
            } catch (const file_faults::TSimulatedCrash&) {
                crashed = true;
            }
            file_faults::Reset();
            const std::string after = ReadFileBytes(path);
            SCOPED_TRACE((crash ? "crash at step " : "error at step ") + std::to_string(stop));
            ASSERT_EQ(crashed, crash && stop < steps);
            if (crashed) {
                ASSERT_TRUE(after == before || after == intended);
                // What a dead program leaves is only its hidden temporary file.
                for (const std::string& name : FolderEntries(folder))
                    if (!entries.count(name)) fs::remove(folder + "/" + name);
                continue;
            }
            ASSERT_EQ(after, answer ? intended : before);
            ASSERT_EQ(answer, stop == steps);
            ASSERT_EQ(FolderEntries(folder), entries);
            if (!answer) {
                // The value waits in memory and goes with the next write.
                EXPECT_EQ(store.ReadString("", "Nuovo", ""), "1");
                EXPECT_TRUE(store.WriteString("", "Altro", "2"));
                TRegIniFile fresh(ProgramKey);
                EXPECT_EQ(fresh.ReadString("", "Nuovo", ""), "1");
                EXPECT_EQ(fresh.ReadString("", "Altro", ""), "2");
                EXPECT_EQ(fresh.ReadString("", "NomeDitta", ""), "valore di NomeDitta");
            }
        }
    }
}

TEST_F(SettingsSafety, AnUpdateWritesTheFileOnceWhenItEnds) {
    TIni& ini = globals.Settings();
    file_faults::Reset();
    {
        TIniUpdate update(ini);
        ini.WriteString("A", "1");
        ini.WriteInteger("B", 2);
        EXPECT_EQ(file_faults::Steps(), 0);
        EXPECT_EQ(TIni().String("A"), "");  // not on file yet
        EXPECT_EQ(ini.String("A"), "1");    // but in force
    }
    // One file's bytes and the steps that follow them (flush, close, the
    // backup steps that have nothing to do, the rename).
    EXPECT_EQ(file_faults::Steps(), static_cast<int64_t>(ReadFileBytes(globals.SettingsPath()).size()) +
                                        file_faults::StepsAfterBytes);
    EXPECT_EQ(TIni().String("B"), "2");
}

// One case of trouble around the settings file: the test writes two values
// through the program's store on dir/settings and checks what it finds.
enum class Said { Nothing, Unreadable, Unwritable };
struct TroubleCase {
    const char* what;
    std::function<void(const std::string& dir)> prepare;
    bool asUser;         // needs the kernel's permission checks
    bool written;        // the values reach the file
    Said said;           // the one message
    const char* reason;  // the system's reason a write gives
    unsigned mode;       // the file's mode afterwards (0: not checked)
};

std::string RunTrouble(const TroubleCase& c, const std::string& dir) {
    const std::string path = dir + "/settings";
    const std::string before = ReadFileBytes(path);
    std::set<std::string> entries = FolderEntries(dir);
    std::ostringstream wrong;
    Application->Script().Reset();
    {
        TIni ini;
        ini.WriteString("Nuovo", "1");
        ini.WriteInteger("Altro", 2);
        // The run goes on with what was written, whatever the file took.
        if (ini.String("Nuovo") != "1" || ini.String("Altro") != "2")
            wrong << "values not kept for the run; ";
    }
    const auto& boxes = Application->Script().MessageBoxes;
    std::string expected;
    if (c.said == Said::Unreadable)
        expected = "Impossibile leggere le impostazioni da " + path + ": le modifiche non verranno salvate.";
    else if (c.said == Said::Unwritable)
        expected = "Impossibile salvare le impostazioni in " + path + ": " + c.reason + ".";
    if (expected.empty() && !boxes.empty()) wrong << "a message: \"" << boxes[0].Text << "\"; ";
    if (!expected.empty() && boxes.size() != 1) wrong << boxes.size() << " messages; ";
    if (!expected.empty() && boxes.size() == 1) {
        if (boxes[0].Text != expected) wrong << "message \"" << boxes[0].Text << "\"; ";
        if (boxes[0].Caption != ApplicationTitle) wrong << "caption \"" << boxes[0].Caption << "\"; ";
    }
    if (c.written) {
        TIni fresh;
        if (fresh.String("Nuovo") != "1" || fresh.String("Altro") != "2") wrong << "values not on file; ";
        if (!before.empty() && fresh.String("Vecchio") != "1") wrong << "old value lost; ";
        entries.insert("settings");
    } else if (ReadFileBytes(path) != before) {
        wrong << "file changed; ";
    }
    if (FolderEntries(dir) != entries) wrong << "stray files; ";
    if (c.mode && ModeOf(path) != c.mode) wrong << "mode " << std::oct << ModeOf(path) << "; ";
    return wrong.str();
}

TEST_F(SettingsSafety, TroubleWithTheFileLosesNothingAndIsSaidOnce) {
    const std::string old = "Vecchio=1\n";
    // clang-format off
    const TroubleCase cases[] = {
        {"a file its user may not read (0200)",
         [&](const std::string& d) {
             WriteFileBytes(d + "/settings", old);
             ::chmod((d + "/settings").c_str(), 0200);
         },
         true, false, Said::Unreadable, "", 0200},
        {"a file that gives a read error",
         [&](const std::string& d) {
             WriteFileBytes(d + "/settings", old);
             file_faults::FailReads(EIO);
         },
         false, false, Said::Unreadable, "", 0},
        {"a read-only folder",
         [&](const std::string& d) {
             WriteFileBytes(d + "/settings", old);
             ::chmod(d.c_str(), 0555);
         },
         true, false, Said::Unwritable, "permesso negato", 0},
        {"a full disk",
         [&](const std::string& d) {
             WriteFileBytes(d + "/settings", old);
             file_faults::StopAt(3, file_faults::TStop::Error, ENOSPC);
         },
         false, false, Said::Unwritable, "spazio esaurito sul disco", 0},
        {"a file of mode 0600", [&](const std::string& d) {
             WriteFileBytes(d + "/settings", old);
             ::chmod((d + "/settings").c_str(), 0600);
         },
         false, true, Said::Nothing, "", 0600},
        {"a file of mode 0640", [&](const std::string& d) {
             WriteFileBytes(d + "/settings", old);
             ::chmod((d + "/settings").c_str(), 0640);
         },
         false, true, Said::Nothing, "", 0640},
        {"no file yet", [](const std::string&) {}, false, true, Said::Nothing, "", 0600},
        {"a file of 17 MB", [&](const std::string& d) {
             WriteFileBytes(d + "/settings", old);
             ASSERT_EQ(::truncate((d + "/settings").c_str(), 17 << 20), 0);
         },
         false, false, Said::Unreadable, "", 0},
    };
    // clang-format on
    std::string skipped;
    for (const TroubleCase& c : cases) {
        TempDir dir;
        ScopedSettingsFile settings(dir.File("settings"));
        c.prepare(dir.Path());
        std::string wrong;
        if (c.asUser) {
            const TUserRun run = RunAsUser(dir.Path(), [&] { return RunTrouble(c, dir.Path()); });
            if (!run.ran) {
                skipped += std::string(c.what) + ": " + run.why + "; ";
                continue;
            }
            wrong = run.failure;
        } else {
            wrong = RunTrouble(c, dir.Path());
        }
        file_faults::Reset();
        ::chmod(dir.Path().c_str(), 0700);
        EXPECT_EQ(wrong, "") << c.what;
    }
    if (!skipped.empty()) GTEST_SKIP() << "permission cases not run: " << skipped;
}

// A pipe at the settings' place is not waited on: the run goes on with the
// defaults and what it writes, the pipe stays, and that is said once.
TEST_F(SettingsSafety, APipeInsteadOfTheFileIsNotWaitedOn) {
    TempDir dir;
    const std::string path = dir.File("settings");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    ScopedSettingsFile settings(path);
    Application->Script().Reset();
    {
        TIni ini;
        EXPECT_EQ(ini.String("Vecchio"), "");
        ini.WriteString("Nuovo", "1");
        EXPECT_EQ(ini.String("Nuovo"), "1");
    }
    const auto& boxes = Application->Script().MessageBoxes;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text,
              "Impossibile leggere le impostazioni da " + path + ": le modifiche non verranno salvate.");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"settings"});
}

// A file with lines that do not read (garbage, or a line cut short): the good
// values are used, the damage is said once with a copy of the file as it was,
// and a file that reads whole says nothing.
TEST_F(SettingsSafety, DamagedLinesAreSaidOnceAndTheFileIsCopiedAside) {
    struct Case {
        const char* what;
        std::string bytes;
        bool damaged;
    };
    std::string garbage = "Vecchio=1\n";
    for (int i = 0; i < 600; ++i)
        garbage += static_cast<char>((i * 37 + 11) % 256 == '=' ? 1 : (i * 37 + 11) % 256);
    // clang-format off
    const Case cases[] = {
        {"garbage after a value", garbage, true},
        {"a line without its sign", "Vecchio=1\r\nNomeDitta Rossi\r\n", true},
        {"blank lines only between values", "Vecchio=1\n\n\r\nAltro=2\n", false},
    };
    // clang-format on
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir.File("settings");
        const std::string copy = path + ".danneggiato";
        WriteFileBytes(path, c.bytes);
        ScopedSettingsFile settings(path);
        Application->Script().Reset();
        {
            TIni ini;
            EXPECT_EQ(ini.String("Vecchio"), "1") << c.what;
            ini.WriteString("Nuovo", "2");
            EXPECT_EQ(ini.String("Nuovo"), "2") << c.what;
        }
        const auto& boxes = Application->Script().MessageBoxes;
        if (c.damaged) {
            ASSERT_EQ(boxes.size(), 1u) << c.what;
            EXPECT_EQ(boxes[0].Text,
                      "Il file delle impostazioni " + path +
                          " contiene righe danneggiate, che sono state ignorate; una copia del "
                          "file com'era è in " +
                          copy + ".")
                << c.what;
            EXPECT_EQ(ReadFileBytes(copy), c.bytes) << c.what;
        } else {
            EXPECT_TRUE(boxes.empty()) << c.what;
            EXPECT_FALSE(fs::exists(copy)) << c.what;
        }
        // The file now holds the values that read, and the next run says nothing.
        Application->Script().Reset();
        TIni next;
        EXPECT_EQ(next.String("Vecchio"), "1") << c.what;
        EXPECT_EQ(next.String("Nuovo"), "2") << c.what;
        EXPECT_TRUE(Application->Script().MessageBoxes.empty()) << c.what;
    }
}

TEST_F(SettingsSafety, AWriteThroughASymbolicLinkUpdatesItsTarget) {
    const std::string dir = globals.Dir().Path();
    fs::create_directory(dir + "/real");
    WriteFileBytes(dir + "/real/settings.real", "Vecchio=1\n");
    ::chmod((dir + "/real/settings.real").c_str(), 0640);
    fs::create_symlink("real/settings.real", dir + "/link");
    ScopedSettingsFile settings(dir + "/link");
    TIni ini;
    ini.WriteString("Nuovo", "1");
    EXPECT_TRUE(fs::is_symlink(dir + "/link"));
    EXPECT_EQ(fs::read_symlink(dir + "/link"), "real/settings.real");
    EXPECT_EQ(ReadFileBytes(dir + "/real/settings.real"), "Nuovo=1\nVecchio=1\n");
    EXPECT_EQ(ModeOf(dir + "/real/settings.real"), 0640u);
    EXPECT_EQ(FolderEntries(dir + "/real"), std::set<std::string>{"settings.real"});
}

TEST_F(SettingsSafety, OptionsOverAReadOnlyFolderStartWithTheirDefaults) {
    TempDir dir;
    WriteFileBytes(dir.File("settings"), "NomeDitta=Rossi\n");
    ::chmod(dir.Path().c_str(), 0555);
    ScopedSettingsFile settings(dir.File("settings"));
    const TUserRun run = RunAsUser(dir.Path(), [&]() -> std::string {
        Application->Script().Reset();
        try {
            TIni ini;
            TOpzioni options(&ini, nullptr);
            options.Load();  // writes the default folders of a first run
            options.Save();
            if (ini.String("NomeDitta") != "Rossi") return "the stored value not read";
            if (ini.String("DirProgetti").empty()) return "default folder not kept for the run";
        } catch (const std::exception& e) {
            return std::string("threw: ") + e.what();
        }
        const auto& boxes = Application->Script().MessageBoxes;
        if (boxes.size() != 1) return std::to_string(boxes.size()) + " messages";
        if (boxes[0].Text.find(dir.File("settings")) == std::string::npos) return "message: " + boxes[0].Text;
        if (ReadFileBytes(dir.File("settings")) != "NomeDitta=Rossi\n") return "file changed";
        return "";
    });
    ::chmod(dir.Path().c_str(), 0700);
    if (!run.ran) GTEST_SKIP() << run.why;
    EXPECT_EQ(run.failure, "");
}

// A real full disk: a tiny tmpfs filled to the last block. Mounting needs root.
TEST_F(SettingsSafety, AFullTmpfsKeepsTheFileAndLeavesNoTemporaryFile) {
    SmallTmpfs disk;
    if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
    const TempDir& dir = disk.Dir();
    const std::string path = dir.File("settings");
    WriteFileBytes(path, "Vecchio=1\n");
    {
        std::ofstream filler(dir.File("filler"), std::ios::binary);
        const std::string block(4096, 'x');
        for (int i = 0; i < 64 && filler; ++i) filler << block << std::flush;
    }
    ScopedSettingsFile settings(path);
    Application->Script().Reset();
    TIni ini;
    ini.WriteString("Nuovo", std::string(8192, 'n'));
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(Application->Script().MessageBoxes[0].Text,
              "Impossibile salvare le impostazioni in " + path + ": spazio esaurito sul disco.");
    EXPECT_EQ(ReadFileBytes(path), "Vecchio=1\n");
    EXPECT_EQ(FolderEntries(dir.Path()), (std::set<std::string>{"filler", "settings"}));
}

}  // namespace
