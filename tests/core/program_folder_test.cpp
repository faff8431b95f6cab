#include "core/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/ini.h"
#include "platform/classes.h"
#include "support/globals_fixture.h"
#include "support/temp_dir.h"

namespace {

// A folder tree of an installation or a build: the executable's folder
// "bin" under a prefix, with "Varne.alb" beside it or in the installed data
// folder (share/ordivex-varne in the usual layout) or in both.
struct Layout {
    const char* name;
    bool beside, installed;
    bool expectInstalled;  // the data folder found, else the executable's folder
};

void Touch(const std::string& file) {
    TFileStream f(file, fmCreate);
    f.WriteBuffer("x", 1);
}

TEST(ProgramFolder, TheLibraryBesideTheExecutableThenTheInstalledDataFolder) {
    for (const Layout& c :
         {Layout{"a build", true, false, false}, Layout{"an installation", false, true, true},
          Layout{"both: the one beside wins", true, true, false},
          Layout{"neither: beside, where the missing file is named", false, false, false}}) {
        TempDir prefix;
        const std::string bin = prefix.Path() + "/bin/";
        // Said without "bin/..": the path the main window shows in its messages.
        const std::string data =
            std::filesystem::path(bin + InstalledDataFolder).lexically_normal().string() + "/";
        ASSERT_EQ(data.find(".."), std::string::npos) << data;
        ForceDirectories(bin);
        ForceDirectories(data);
        if (c.beside) Touch(bin + "Varne.alb");
        if (c.installed) Touch(data + "Varne.alb");
        const std::string expected = c.expectInstalled ? data : bin;
        EXPECT_EQ(DefaultProgramDirectory(bin), expected) << c.name;
        // The executable's folder may come without its final "/".
        EXPECT_EQ(DefaultProgramDirectory(bin.substr(0, bin.size() - 1)), expected) << c.name;
    }
}

TEST(ProgramFolder, TheSettingsProgramDirWinsOverTheExecutablesFolder) {
    ScopedGlobals globals;
    TIni& ini = globals.Settings();
    ini.WriteString("ProgramDir", "/srv/varne");
    EXPECT_EQ(ProgramDirectory(&ini), "/srv/varne/");
    ini.WriteString("ProgramDir", "/srv/varne/");
    EXPECT_EQ(ProgramDirectory(&ini), "/srv/varne/");
    // Empty or without settings: the executable's own lookup (the test
    // program stands in the build's tests folder, without the library).
    ini.WriteString("ProgramDir", "");
    EXPECT_EQ(ProgramDirectory(&ini), DefaultProgramDirectory(ExecutableDirectory()));
    EXPECT_EQ(ProgramDirectory(nullptr), DefaultProgramDirectory(ExecutableDirectory()));
}

}  // namespace
