#pragma once
// Where the project dialogs open: the folder of the project last opened or
// saved in this run, else the projects folder of the settings
// ("DirProgetti"). A projects folder the user cannot write (the program's
// own folder, once the program is installed) gives way to the user's
// documents folder, which the settings then keep.
#include "platform/sysutils.h"

// The user's documents folder, with a trailing "/": $XDG_DOCUMENTS_DIR, else
// the one user-dirs.dirs names (in $XDG_CONFIG_HOME, else ~/.config), else
// ~/Documents, each only when it is there; else the home folder.
AnsiString DocumentsFolder();

// True when a file can be made in the folder (tried, not guessed from its
// permissions: a read-only disk or a system folder refuses even the
// administrator).
bool FolderWritable(const AnsiString& folder);

// The folder a new library is proposed in: the libraries folder of the
// settings ("DirLibrerie"), whose libraries are registered at every start.
// One the user cannot write (the program's own folder, once installed) gives
// way to the user's data folder ($XDG_DATA_HOME, else ~/.local/share, with
// "OrdivexVarne/Librerie/"), made when missing and then kept in the settings,
// so that the libraries made there are found at the next start.
AnsiString NewLibraryFolder();

class TProjectFolder {
public:
    // A project was opened or saved under this name.
    void Used(const AnsiString& file);
    // The folder the project dialogs open in, with a trailing "/". The
    // projects folder of the settings, when the user cannot write it, is
    // replaced there (and in the options) by the documents folder.
    AnsiString Folder();
    // Forgets the project last used (a new run).
    void Clear() { last_.clear(); }

private:
    AnsiString last_;
};

// The program's one.
TProjectFolder& ProjectFolder();
