#pragma once
// The program folder: where the default library "Varne.alb", "Default.sel"
// and the logo are read from. The settings' "ProgramDir" wins when set; else
// the folder beside the executable when it holds the default library (a
// build, or a program unpacked in one folder), else the installed data
// folder reached from the executable (bin/../share/ordivex-varne), else the
// executable's folder. Always ends in "/".
#include "platform/sysutils.h"

class TIni;

// The file whose presence marks a folder as the program folder.
constexpr const char* ProgramFolderMark = "Varne.alb";

// The installed data folder relative to the folder of the executable.
extern const char* const InstalledDataFolder;

// The folder without settings, for an executable in executableDir (ending in "/").
AnsiString DefaultProgramDirectory(const AnsiString& executableDir);

// The program folder for the running executable, "ProgramDir" of ini first
// (ini may be null).
AnsiString ProgramDirectory(TIni* ini);
