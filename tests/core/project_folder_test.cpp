// Where the project dialogs open: the folder of the project last opened or
// saved in this run, else "DirProgetti"; a "DirProgetti" the user cannot
// write gives way to the documents folder, written back to the settings.
// Through the main window too: the open and save dialogs it shows.
#include "core/project_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/main_form.h"
#include "document/project.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/options.h"
#include "platform/application.h"
#include "support/globals_fixture.h"
#include "support/program_fixture.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

// An environment variable set (or unset) while the object lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (saved_)
            setenv(name_, saved_->c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

// A home folder of the test's own, with no XDG settings from outside.
struct FreshHome {
    TempDir home;
    ScopedEnv homeEnv{"HOME", home.Path()};
    ScopedEnv documentsEnv{"XDG_DOCUMENTS_DIR", std::nullopt};
    ScopedEnv configEnv{"XDG_CONFIG_HOME", std::nullopt};
    std::string Folder(const std::string& name) const {
        std::filesystem::create_directories(home.File(name));
        return home.File(name);
    }
};

// A folder that exists and that not even the administrator can write a file
// in: a read-only folder for a user, the process table for the administrator.
std::string ShutFolder(const TempDir& dir) {
    if (geteuid() == 0) return "/proc/";
    const std::string shut = dir.File("chiusa");
    std::filesystem::create_directories(shut);
    chmod(shut.c_str(), 0555);
    return shut + "/";
}

TEST(DocumentsFolder, FollowsTheXdgSettingsThenDocumentsMadeWhenMissing) {
    FreshHome h;
    namespace fs = std::filesystem;
    // Nothing set: ~/Documents, made.
    EXPECT_EQ(DocumentsFolder(), h.home.File("Documents") + "/");
    EXPECT_TRUE(fs::is_directory(h.home.File("Documents")));
    // user-dirs.dirs names another, with $HOME in it: that one, made.
    h.Folder(".config");
    std::ofstream(h.home.File(".config/user-dirs.dirs"))
        << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Scrivania\"\n"
           "XDG_DOCUMENTS_DIR=\"$HOME/Documenti\"\n";
    EXPECT_EQ(DocumentsFolder(), h.home.File("Documenti") + "/");
    EXPECT_TRUE(fs::is_directory(h.home.File("Documenti")));
    EXPECT_FALSE(fs::exists(h.home.File("Scrivania")));
    // In $XDG_CONFIG_HOME when that is set.
    const std::string config = h.Folder("altra-config");
    std::ofstream(config + "/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"" << h.Folder("Carte") << "\"\n";
    {
        ScopedEnv configEnv("XDG_CONFIG_HOME", config);
        EXPECT_EQ(DocumentsFolder(), h.home.File("Carte") + "/");
    }
    // The environment variable first, made when missing.
    {
        ScopedEnv documents("XDG_DOCUMENTS_DIR", h.home.File("Archivio/Lavori"));
        EXPECT_EQ(DocumentsFolder(), h.home.File("Archivio/Lavori") + "/");
        EXPECT_TRUE(fs::is_directory(h.home.File("Archivio/Lavori")));
    }
    // Set to the home folder itself, or to a relative path, it names no
    // documents folder.
    for (const std::string& none : {h.home.Path(), std::string("Documenti2")}) {
        ScopedEnv documents("XDG_DOCUMENTS_DIR", none);
        EXPECT_EQ(DocumentsFolder(), h.home.File("Documenti") + "/");
    }
    // One that cannot be made (a file is in the way) gives way to the next.
    std::ofstream(h.home.File("occupato")) << "";
    {
        ScopedEnv documents("XDG_DOCUMENTS_DIR", h.home.File("occupato/Documenti"));
        EXPECT_EQ(DocumentsFolder(), h.home.File("Documenti") + "/");
    }
}

TEST(DocumentsFolder, AHomeWhereNothingCanBeMadeIsTheFolderItself) {
    FreshHome h;
    const std::string shut = ShutFolder(h.home);
    ScopedEnv homeEnv("HOME", shut);
    EXPECT_EQ(DocumentsFolder(), shut);
    EXPECT_FALSE(std::filesystem::exists(shut + "Documents"));
}

// The user's libraries folder: in $XDG_DATA_HOME, else ~/.local/share, made.
TEST(UserLibrariesFolder, InTheUsersDataFolderMade) {
    FreshHome h;
    {
        ScopedEnv dataEnv("XDG_DATA_HOME", std::nullopt);
        EXPECT_EQ(UserLibrariesFolder(), h.home.File(".local/share/OrdivexVarne/Librerie") + "/");
        EXPECT_TRUE(std::filesystem::is_directory(h.home.File(".local/share/OrdivexVarne/Librerie")));
    }
    ScopedEnv dataEnv("XDG_DATA_HOME", h.home.File("dati"));
    EXPECT_EQ(UserLibrariesFolder(), h.home.File("dati/OrdivexVarne/Librerie") + "/");
    ScopedEnv noHome("HOME", std::nullopt);
    ScopedEnv relative("XDG_DATA_HOME", "dati");
    EXPECT_EQ(UserLibrariesFolder(), "");
}

TEST(ProjectFolder, TheProgramFolderAndWhatLiesWithinIt) {
    const struct {
        const char* folder;
        const char* program;
        bool within;
    } cases[] = {
        {"/usr/share/ordivex-varne/", "/usr/share/ordivex-varne/", true},
        {"/usr/share/ordivex-varne", "/usr/share/ordivex-varne/", true},
        {"/usr/share/ordivex-varne/Progetti/", "/usr/share/ordivex-varne/", true},
        {"/usr/share/ordivex-varne/./Progetti/../", "/usr/share/ordivex-varne/", true},
        {"/usr/share/ordivex-varne-progetti/", "/usr/share/ordivex-varne/", false},
        {"/usr/share/", "/usr/share/ordivex-varne/", false},
        {"/home/rossi/Documenti/", "/usr/share/ordivex-varne/", false},
        {"", "/usr/share/ordivex-varne/", false},
        {"/usr/share/ordivex-varne/", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithinProgramFolder(c.folder, c.program), c.within) << c.folder << " in " << c.program;
}

TEST(ProjectFolder, TheLastProjectUsedElseTheProjectsFolderElseDocuments) {
    ScopedGlobals globals;
    FreshHome h;
    const std::string documents = h.Folder("Documents") + "/";
    const std::string projects = h.Folder("Progetti") + "/";
    const std::string elsewhere = h.Folder("Clienti/Rossi") + "/";
    globals.Settings().WriteString("DirProgetti", projects);
    TProjectFolder folder;

    EXPECT_EQ(folder.Folder(), projects);
    // Opened or saved in this run: that project's folder.
    folder.Used(elsewhere + "condominio.ant");
    EXPECT_EQ(folder.Folder(), elsewhere);
    folder.Used(projects + "villa.ant");
    EXPECT_EQ(folder.Folder(), projects);
    // A folder gone since: the projects folder again.
    folder.Used(h.home.File("Vecchi") + "/scuola.ant");
    EXPECT_EQ(folder.Folder(), projects);
    folder.Clear();
    EXPECT_EQ(folder.Folder(), projects);
    EXPECT_EQ(globals.Settings().String("DirProgetti"), projects);

    // A projects folder the user cannot write (the program's folder once
    // installed): the documents folder, kept in the settings and the options.
    globals.Settings().WriteString("DirProgetti", ShutFolder(h.home));
    EXPECT_EQ(folder.Folder(), documents);
    EXPECT_EQ(globals.Settings().String("DirProgetti"), documents);
    EXPECT_EQ(globals.Options().projectsDir, documents);
    // No projects folder at all: the same.
    globals.Settings().WriteString("DirProgetti", "");
    EXPECT_EQ(folder.Folder(), documents);
    EXPECT_EQ(globals.Settings().String("DirProgetti"), documents);
    // One not there now (a disk not mounted) is kept for when it is back.
    const std::string unmounted = h.home.File("rete/progetti") + "/";
    globals.Settings().WriteString("DirProgetti", unmounted);
    EXPECT_EQ(folder.Folder(), documents);
    EXPECT_EQ(globals.Settings().String("DirProgetti"), unmounted);
    // The last project used still comes first.
    folder.Used(elsewhere + "condominio.ant");
    EXPECT_EQ(folder.Folder(), elsewhere);
}

// A new library is proposed in the libraries folder, whose libraries are
// registered at start; where that folder cannot be written (an installed
// program's own folder) in the user's data folder, which the settings keep.
TEST(NewLibraryFolder, TheLibrariesFolderElseTheUsersDataFolderKept) {
    ScopedGlobals globals;
    FreshHome h;
    ScopedEnv dataEnv("XDG_DATA_HOME", std::nullopt);
    const std::string libraries = h.Folder("Librerie") + "/";
    globals.Options().librariesDir = libraries;
    EXPECT_EQ(NewLibraryFolder(), libraries);  // as the settings give it

    globals.Options().librariesDir = ShutFolder(h.home);
    const std::string own = h.home.File(".local/share/OrdivexVarne/Librerie") + "/";
    EXPECT_EQ(NewLibraryFolder(), own);
    EXPECT_TRUE(std::filesystem::is_directory(own));
    EXPECT_EQ(globals.Options().librariesDir, own);
    EXPECT_EQ(globals.Settings().String("DirLibrerie"), own);

    // $XDG_DATA_HOME when it is set.
    const std::string data = h.Folder("dati");
    ScopedEnv dataSet("XDG_DATA_HOME", data);
    globals.Options().librariesDir = ShutFolder(h.home);
    EXPECT_EQ(NewLibraryFolder(), data + "/OrdivexVarne/Librerie/");
}

TEST(ProjectFolder, WritableMeansAFileCanBeMadeThere) {
    FreshHome h;
    EXPECT_TRUE(FolderWritable(h.home.Path()));
    EXPECT_FALSE(FolderWritable(ShutFolder(h.home)));
    EXPECT_FALSE(FolderWritable(h.home.File("manca")));
    // The trial leaves nothing behind.
    for (const auto& entry : std::filesystem::directory_iterator(h.home.Path()))
        EXPECT_EQ(entry.path().filename().string().rfind(".varne-", 0), std::string::npos);
}

// The main window's open and save dialogs: in "DirProgetti" at first, then
// where the last project was saved or opened, the proposed name without
// its old folder.
TEST(ProjectFolder, TheMainWindowDialogsOpenWhereTheLastProjectWas) {
    FreshHome h;
    ScopedProgram program;
    const std::string projects = h.Folder("Progetti") + "/";
    const std::string clients = h.Folder("Clienti") + "/";
    program.Store("DirProgetti", projects);
    TAntenne& f = program.Start();
    TScript& script = Application->Script();

    script.Reset();
    script.CancelFileDialog();
    f.Open1->Click();
    ASSERT_EQ(script.Dialogs.size(), 1u);
    EXPECT_EQ(script.Dialogs[0].InitialDir, projects);

    // Saved among the clients: both dialogs open there now.
    DrawTwoTaps(*f.CurrentProject);
    script.Reset();
    script.AnswerFileDialog(clients + "rossi.ant");
    f.SalvaconNome1->Click();
    ASSERT_EQ(f.CurrentProject->Name, clients + "rossi.ant");
    script.CancelFileDialog();
    f.SalvaconNome1->Click();
    script.CancelFileDialog();
    f.Open1->Click();
    ASSERT_EQ(script.Dialogs.size(), 3u);
    EXPECT_EQ(script.Dialogs[0].InitialDir, projects);
    EXPECT_EQ(script.Dialogs[1].InitialDir, clients);
    EXPECT_EQ(script.Dialogs[1].FileName, "rossi.ant");
    EXPECT_EQ(script.Dialogs[2].InitialDir, clients);

    // Opened from the projects folder: there again.
    std::filesystem::copy_file(clients + "rossi.ant", projects + "bianchi.ant");
    script.Reset();
    script.AnswerFileDialog(projects + "bianchi.ant");
    f.Open1->Click();
    ASSERT_EQ(f.CurrentProject->Name, projects + "bianchi.ant");
    script.CancelFileDialog();
    f.SalvaconNome1->Click();
    ASSERT_EQ(script.Dialogs.size(), 2u);
    EXPECT_EQ(script.Dialogs[1].InitialDir, projects);
    EXPECT_EQ(script.Dialogs[1].FileName, "bianchi.ant");
}

// A fresh run with an unwritable "DirProgetti": the dialogs open in the
// documents folder, which the settings keep.
TEST(ProjectFolder, TheMainWindowDialogsLeaveAnUnwritableProjectsFolder) {
    FreshHome h;
    ScopedProgram program;
    const std::string documents = h.Folder("Documents") + "/";
    program.Store("DirProgetti", ShutFolder(h.home));
    TAntenne& f = program.Start();
    TScript& script = Application->Script();
    script.Reset();
    script.CancelFileDialog();
    f.Open1->Click();
    ASSERT_EQ(script.Dialogs.size(), 1u);
    EXPECT_EQ(script.Dialogs[0].InitialDir, documents);
    EXPECT_EQ(program.Stored("DirProgetti"), documents);
}

// A restart: the dialogs open where the last run saved, which the
// recent-files list of the settings keeps; once that folder is gone, in
// "DirProgetti".
TEST(ProjectFolder, TheMainWindowDialogsOpenWhereTheLastRunSaved) {
    FreshHome h;
    const std::string projects = h.Folder("Progetti") + "/";
    const std::string clients = h.Folder("Clienti/Rossi") + "/";
    std::string settings;
    {
        ScopedProgram first;
        first.Store("DirProgetti", projects);
        TAntenne& f = first.Start();
        DrawTwoTaps(*f.CurrentProject);
        TScript& script = Application->Script();
        script.Reset();
        script.AnswerFileDialog(clients + "condominio.ant");
        f.SalvaconNome1->Click();
        ASSERT_EQ(f.CurrentProject->Name, clients + "condominio.ant");
        settings = ReadFileBytes(first.Dir().File("settings"));
    }
    for (const bool gone : {false, true}) {
        SCOPED_TRACE(gone ? "folder gone" : "folder there");
        if (gone) std::filesystem::remove_all(clients);
        ScopedProgram next;
        WriteFileBytes(next.Dir().File("settings"), settings);
        next.Store("ProgramDir", next.Dir().Path() + "/");
        TAntenne& f = next.Start();
        TScript& script = Application->Script();
        script.Reset();
        script.CancelFileDialog();
        f.Open1->Click();
        script.CancelFileDialog();
        f.SalvaconNome1->Click();
        ASSERT_EQ(script.Dialogs.size(), 2u);
        for (const TDialogCall& call : script.Dialogs) EXPECT_EQ(call.InitialDir, gone ? projects : clients);
    }
}

// The program's own folder, even where it can be written (an installation
// in the user's home): neither the dialogs nor a new library go there, and
// the settings are mended.
TEST(ProjectFolder, TheProgramsOwnFolderIsNoPlaceForTheUsersWork) {
    FreshHome h;
    ScopedEnv dataEnv("XDG_DATA_HOME", std::nullopt);
    const std::string documents = h.home.File("Documents") + "/";
    const std::string libraries = h.home.File(".local/share/OrdivexVarne/Librerie") + "/";
    for (const char* within : {"", "Progetti/"}) {
        SCOPED_TRACE(within);
        ScopedProgram program;
        const std::string own = program.Dir().Path() + "/" + within;
        std::filesystem::create_directories(own);
        ASSERT_TRUE(FolderWritable(own));
        program.Store("DirProgetti", own);
        program.Store("DirLibrerie", own);
        TAntenne& f = program.Start();
        EXPECT_EQ(Opzioni->projectsDir, documents);
        EXPECT_EQ(Opzioni->librariesDir, libraries);
        EXPECT_EQ(program.Stored("DirProgetti"), documents);
        EXPECT_EQ(program.Stored("DirLibrerie"), libraries);
        TScript& script = Application->Script();
        script.Reset();
        script.CancelFileDialog();
        f.Open1->Click();
        script.CancelFileDialog();
        f.Nuovalibreria->Click();
        ASSERT_EQ(script.Dialogs.size(), 2u);
        EXPECT_EQ(script.Dialogs[0].InitialDir, documents);
        EXPECT_EQ(script.Dialogs[1].InitialDir, libraries);
    }
}

}  // namespace
