#include "core/project_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/globals.h"
#include "core/ini.h"
#include "core/options.h"
#include "core/program_folder.h"

namespace {

constexpr const char* ProjectsKey = "DirProgetti";
constexpr const char* LibrariesKey = "DirLibrerie";
// The project last opened or saved: the first of the recent-files list.
constexpr const char* RecentKey = "FileName1";

AnsiString Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? AnsiString(value) : AnsiString();
}

AnsiString WithSlash(const AnsiString& folder) {
    return !folder.empty() && folder.back() == '/' ? folder : folder + "/";
}

bool IsFolder(const AnsiString& folder) { return !folder.empty() && DirectoryExists(folder); }

// XDG_DOCUMENTS_DIR="$HOME/Documenti" in user-dirs.dirs, $HOME expanded;
// empty when the file or the line is not there.
AnsiString UserDirsDocuments(const AnsiString& home) {
    AnsiString config = Environment("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(file, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ' || value.back() == '\t'))
            value.pop_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
        // A relative path is not a valid entry.
        return !value.empty() && value.front() == '/' ? AnsiString(value) : AnsiString();
    }
    return {};
}

// The folder, made when missing; false when it is not there and cannot be made.
bool MadeFolder(const AnsiString& folder) {
    if (IsFolder(folder)) return true;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder), error);
    return IsFolder(folder);
}

// The same folder, whatever its spelling: "a/./b/" is "a/b".
std::filesystem::path Normal(const AnsiString& folder) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::weakly_canonical(std::filesystem::path(folder), error);
    if (error) path = std::filesystem::path(folder).lexically_normal();
    while (path.has_relative_path() && path.filename().empty()) path = path.parent_path();
    return path;
}

}  // namespace

AnsiString DocumentsFolder() {
    AnsiString home = Environment("HOME");
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    // A documents folder set to the home folder itself means none; one that
    // is named but missing is made, as the desktop's own tools do.
    auto usable = [&](const AnsiString& folder) {
        return !folder.empty() && folder.front() == '/' && WithSlash(folder) != WithSlash(home) &&
               MadeFolder(folder);
    };
    if (const AnsiString env = Environment("XDG_DOCUMENTS_DIR"); usable(env)) return WithSlash(env);
    if (!home.empty()) {
        if (const AnsiString listed = UserDirsDocuments(home); usable(listed)) return WithSlash(listed);
        if (usable(home + "/Documents")) return home + "/Documents/";
    }
    return home.empty() ? AnsiString("/") : WithSlash(home);
}

AnsiString UserLibrariesFolder() {
    AnsiString data = Environment("XDG_DATA_HOME");
    if (data.empty() || data.front() != '/') {
        const AnsiString home = Environment("HOME");
        if (home.empty()) return {};
        data = WithSlash(home) + ".local/share";
    }
    const AnsiString folder = WithSlash(data) + "OrdivexVarne/Librerie/";
    return MadeFolder(folder) ? folder : AnsiString();
}

bool WithinProgramFolder(const AnsiString& folder, const AnsiString& programDir) {
    if (folder.empty() || programDir.empty()) return false;
    const std::filesystem::path inner = Normal(folder), program = Normal(programDir);
    auto p = program.begin();
    auto i = inner.begin();
    for (; p != program.end(); ++p, ++i)
        if (i == inner.end() || *i != *p) return false;
    return true;
}

bool FolderWritable(const AnsiString& folder) {
    if (!IsFolder(folder)) return false;
    std::string probe = WithSlash(folder) + ".varne-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0) return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

void TProjectFolder::Used(const AnsiString& file) {
    if (file.empty()) return;
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(std::filesystem::path(file), error);
    if (error) return;
    const AnsiString folder = path.parent_path().string();
    if (!folder.empty()) last_ = WithSlash(folder);
}

AnsiString TProjectFolder::Folder() {
    if (IsFolder(last_)) return last_;
    // After a restart: the folder of the project last opened or saved, which
    // heads the recent-files list.
    if (Ini && last_.empty()) {
        const AnsiString recent = Ini->String(RecentKey);
        const size_t slash = recent.find_last_of('/');
        if (!recent.empty() && recent.front() == '/' && slash != AnsiString::npos) {
            const AnsiString folder = recent.substr(0, slash + 1);
            if (IsFolder(folder)) return folder;
        }
    }
    AnsiString projects = Ini ? Ini->String(ProjectsKey) : Opzioni ? Opzioni->projectsDir : AnsiString();
    const bool programs = WithinProgramFolder(projects, ProgramDirectory(Ini));
    if (!programs && IsFolder(projects) && FolderWritable(projects)) return WithSlash(projects);
    const AnsiString documents = DocumentsFolder();
    // A folder that is not there now (a disk not mounted) is kept in the
    // settings for when it is back; one that is there but shut, or the
    // program's own, is replaced.
    if (projects.empty() || programs || IsFolder(projects)) {
        if (Ini) Ini->WriteString(ProjectsKey, documents);
        if (Opzioni) Opzioni->projectsDir = documents;
    }
    return documents;
}

AnsiString NewLibraryFolder() {
    const AnsiString libraries = Opzioni && !Opzioni->librariesDir.empty() ? Opzioni->librariesDir
                                 : Ini                                      ? Ini->String(LibrariesKey)
                                                                            : AnsiString();
    if (!WithinProgramFolder(libraries, ProgramDirectory(Ini)) && IsFolder(libraries) &&
        FolderWritable(libraries))
        return libraries;
    const AnsiString folder = UserLibrariesFolder();
    // Nowhere to write: the dialog still opens where the settings point.
    if (folder.empty() || !FolderWritable(folder)) return libraries;
    if (Ini) Ini->WriteString(LibrariesKey, folder);
    if (Opzioni) Opzioni->librariesDir = folder;
    return folder;
}

TProjectFolder& ProjectFolder() {
    static TProjectFolder folder;
    return folder;
}
