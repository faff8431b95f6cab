#pragma once
// Where the project dialogs open: the folder of the project last opened or
// saved (in this run, else the first of the recent files of the settings),
// else the projects folder of the settings ("DirProgetti"). A projects
// folder the user cannot write, or the program's own folder (writable or
// not, it is no place for the user's work), gives way to the user's
// documents folder, which the settings then keep.
#include "platform/sysutils.h"

// The user's documents folder, with a trailing "/": $XDG_DOCUMENTS_DIR, else
// the one user-dirs.dirs names (in $XDG_CONFIG_HOME, else ~/.config), else
// ~/Documents; the first one named is made when missing. The home folder
// when none can be made.
AnsiString DocumentsFolder();

// The user's own libraries folder, with a trailing "/":
// $XDG_DATA_HOME/OrdivexVarne/Librerie/ (else ~/.local/share/...), made when
// missing; empty when there is no home or it cannot be made.
AnsiString UserLibrariesFolder();

// True when the folder is the program folder or lies within it.
bool WithinProgramFolder(const AnsiString& folder, const AnsiString& programDir);

// True when a file can be made in the folder (tried, not guessed from its
// permissions: a read-only disk or a system folder refuses even the
// administrator).
bool FolderWritable(const AnsiString& folder);

// The folder a new library is proposed in: the libraries folder of the
// settings ("DirLibrerie"), whose libraries are registered at every start.
// One the user cannot write, or the program's own folder, gives way to
// UserLibrariesFolder(), then kept in the settings, so that the libraries
// made there are found at the next start.
AnsiString NewLibraryFolder();

class TProjectFolder {
public:
    // A project was opened or saved under this name.
    void Used(const AnsiString& file);
    // The folder the project dialogs open in, with a trailing "/". The
    // projects folder of the settings, when the user cannot write it or it
    // is the program's own, is replaced there (and in the options) by the
    // documents folder.
    AnsiString Folder();
    // Forgets the project last used in this run (a new run starts from the
    // recent-files list).
    void Clear() { last_.clear(); }

private:
    AnsiString last_;
};

// The program's one.
TProjectFolder& ProjectFolder();
