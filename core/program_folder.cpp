#include "core/program_folder.h"

#include <filesystem>

#include "core/ini.h"

// The build passes the relative path from its install bin folder to the data
// folder it installs; the usual layout otherwise.
#ifndef OV_INSTALLED_DATA_FOLDER
#define OV_INSTALLED_DATA_FOLDER "../share/ordivex-varne"
#endif

const char* const InstalledDataFolder = OV_INSTALLED_DATA_FOLDER;

AnsiString DefaultProgramDirectory(const AnsiString& executableDir) {
    const AnsiString beside = IncludeTrailingPathDelimiter(executableDir);
    if (FileExists(beside + ProgramFolderMark)) return beside;
    // "/usr/bin/../share/ordivex-varne" is said "/usr/share/ordivex-varne".
    const AnsiString installed = IncludeTrailingPathDelimiter(
        std::filesystem::path(beside + InstalledDataFolder).lexically_normal().string());
    if (FileExists(installed + ProgramFolderMark)) return installed;
    // Neither holds the library: the executable's folder, where the main
    // window names the missing file.
    return beside;
}

AnsiString ProgramDirectory(TIni* ini) {
    AnsiString dir;
    if (ini) ini->ReadString("ProgramDir", dir);
    if (dir.empty()) return DefaultProgramDirectory(ExecutableDirectory());
    return IncludeTrailingPathDelimiter(dir);
}
