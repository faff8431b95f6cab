// The main window's library commands: a new, empty library file, and the
// library manager; and the libraries of the libraries folder, registered at
// start beside the default one.
#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/main_form.h"
#include "app/program.h"
#include "core/project_folder.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/levels.h"
#include "core/libraries.h"
#include "core/options.h"
#include "dialogs/library_manager.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"

namespace {

// The folder the person keeps libraries in ("DirLibrerie").
AnsiString LibrariesFolder() {
    AnsiString folder = Opzioni ? Opzioni->librariesDir : AnsiString();
    if (folder.empty() && Ini) folder = Ini->String("DirLibrerie");
    return folder;
}

}  // namespace

void TAntenne::RegisterFolderLibraries() {
    if (!Librerie) return;
    const AnsiString folder = LibrariesFolder();
    if (folder.empty() || !DirectoryExists(folder)) return;
    // A folder that cannot be read lists nothing: the default library stays.
    std::error_code error;
    std::vector<std::string> files;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        const std::string name = it->path().filename().string();
        if (SameText(ExtractFileExt(name), ".alb")) files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    const AnsiString dir = IncludeTrailingPathDelimiter(folder);
    for (const std::string& name : files) {
        // Libraries are found by name: the first of a name (the default one,
        // when the folder is the program's) stays the one read.
        if (Librerie->Find(FileBaseName(name))) continue;
        auto library = std::make_unique<TLibreria>();
        library->fileName = dir + name;
        Librerie->Append(std::move(library));
    }
}

void TAntenne::NuovalibreriaClick(TObject*) {
    TSaveDialog dialog(this);
    dialog.Title = "Apertura di una nuova libreria";
    dialog.Filter = "Libreria (*.alb)|*.alb";
    dialog.DefaultExt = "alb";
    // The libraries folder, whose libraries the program registers at every
    // start (the user's own when the settings' one cannot be written).
    dialog.InitialDir = NewLibraryFolder();
    if (!dialog.Execute()) return;
    // The article trees list the new library at once.
    if (CreateNewLibrary(dialog.FileName)) FillLibraryTrees();
}

void TAntenne::GestioneLibrerie1Click(TObject*) {
    if (GestioneLibrerie) GestioneLibrerie->ShowModal();
}
