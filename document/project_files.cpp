#include "document/project_files.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

#include "core/project_folder.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/reporter.h"
#include "document/design_settings.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/codec.h"
#include "platform/dialogs.h"
#include "platform/safe_files.h"

namespace {

struct TTagVersion {
    const char* Tag;  // 12 characters; the 13th byte is the NUL
    int32_t Version;
};
// clang-format off
constexpr TTagVersion ProjectTags[] = {
    {"ica 1.0     ", V10000}, {"ant 1.0     ", V10000}, {"sst 1.0.0   ", ProjectVersionMastOnly},
    {"ant 1.0.1   ", V10001}, {"ant 1.0.2   ", V10002}, {"ant 2.0.0   ", V20000},
    {"ant 3.0.0   ", V30000}, {"ant 4.0.0   ", V40000}, {"ant 5.0.0   ", V50000},
    {"ant 5.1.0   ", V50100}, {"ant 6.0.0   ", V60000},
};
// clang-format on
constexpr int32_t HeaderCount = 9;
constexpr int32_t OldestWrittenVersion = V50000;
constexpr size_t BackupSuffixFrom = 4;  // names of more characters get a ".bak"
constexpr size_t ShortPathMost = 50;

void Warn(const AnsiString& text) {
    Application->MessageBox(text, ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// "33,8 MB": a size for a message, rounded up, so that a size just over a
// limit never reads as the limit.
AnsiString Megabytes(int64_t bytes) {
    constexpr double Mega = 1 << 20;
    const double tenths = std::ceil(static_cast<double>(bytes) * 10 / Mega);
    return FormatFloat("#,##0.#", tenths / 10) + " MB";
}

AnsiString RecentKey(int i) { return "FileName" + IntToStr(i + 1); }

}  // namespace

int32_t ProjectFileVersion(const char* tag) {
    for (const TTagVersion& t : ProjectTags)
        if (std::memcmp(tag, t.Tag, ProjectTagBytes) == 0) return t.Version;
    return -1;
}

const char* ProjectFileTag(int32_t version) {
    if (version < OldestWrittenVersion) return nullptr;
    for (const TTagVersion& t : ProjectTags)
        if (t.Version == version) return t.Tag;
    return nullptr;
}

AnsiString ShortenPath(const AnsiString& path) {
    if (Utf8Length(path) <= ShortPathMost) return path;
    size_t head = AnsiString::npos;
    for (size_t i = 0, seen = 0; i < path.size(); ++i)
        if (IsSeparator(path[i]) && ++seen == 2) {
            head = i + 1;
            break;
        }
    if (head == AnsiString::npos) return path;
    AnsiString result = path;
    // Whole folders leave the middle one at a time.
    for (size_t from = head;;) {
        size_t next = from;
        while (next < path.size() && !IsSeparator(path[next])) ++next;
        if (next >= path.size()) return result;
        result = path.substr(0, head) + "..." + path.substr(next);
        if (Utf8Length(result) <= ShortPathMost) return result;
        from = next + 1;
    }
}

TFileProgetto::TFileProgetto(TFinestraProgetto* window, TMenuFileRecenti* menu)
    : SaveDialog(std::make_unique<TSaveDialog>()), window_(window), menu_(menu) {
    SaveDialog->Filter = "Progetto di Ordivex Varne (*.ant)|*.ant";
    SaveDialog->DefaultExt = "ant";
}

TFileProgetto::~TFileProgetto() = default;

void WriteProjectFile(TStream& s, const TProgetto& project, int32_t version) {
    s.WriteBuffer(ProjectFileTag(version), ProjectTagBytes);
    WriteI32(s, 0);
    WriteI32(s, HeaderCount);
    for (int i = 0; i < HeaderCount; ++i) WriteI32(s, 0);
    project.Save(s, version);
}

int TFileProgetto::SaveProject(const AnsiString& name, TProgetto& project, int32_t version) {
    // The whole file is made in memory and written beside the name; only once
    // it is whole on disk does a copy of the old file become the backup
    // (replacing an older one), and then the new file takes the name. The old
    // file keeps the name until that last rename. Through a symbolic link the
    // link's target is written, its backup beside it.
    int error = EINVAL;
    bool written = false;
    const AnsiString target = ResolveLinks(name);
    struct stat old;
    const bool existed = ::stat(target.c_str(), &old) == 0;
    AnsiString cause;
    if (existed && S_ISREG(old.st_mode) && (old.st_mode & 0222) == 0) {
        // A file marked read-only is not replaced, not even by its owner.
        cause = "il file è in sola lettura";
    } else if (ProjectFileTag(version) != nullptr) {
        TMemoryStream body;
        WriteProjectFile(body, project, version);
        // What could not be opened again is not written at all.
        if (static_cast<int64_t>(body.Bytes().size()) > MaxFileBytes) {
            Warn("Problemi in apertura. Il progetto non è stato salvato in " + name + ": è troppo grande (" +
                 Megabytes(static_cast<int64_t>(body.Bytes().size())) + "; un progetto può occupare al massimo " +
                 Megabytes(MaxFileBytes) + ").");
            return -1;
        }
        const AnsiString backup = name.size() > BackupSuffixFrom && target.size() > BackupSuffixFrom
                                      ? target.substr(0, target.size() - BackupSuffixFrom) + ".bak"
                                      : AnsiString();
        written = ReplaceFileContent(name, body.Bytes(), 0644, error, backup);
    }
    if (!written) {
        if (cause.empty()) cause = SystemErrorText(error);
        Warn("Problemi in apertura. Il progetto non è stato salvato in " + name + ": " + cause + ".");
        return -1;
    }
    if (window_) window_->SetCaption(AnsiString(ApplicationTitle) + " - [" + name + "]");
    project.Name = name;
    AddRecentFile(name);
    project.Modified = false;
    return 0;
}

int TFileProgetto::LoadProject(const AnsiString& name, TProgetto& project) {
    struct stat st;
    int error = ::stat(name.c_str(), &st) == 0 ? 0 : errno;
    if (error == ENOENT || error == ENOTDIR) {
        Warn("Il file " + name + " è inesistente.");
        return -1;
    }
    // A device or a pipe is no project, and reading one might never end.
    if (error == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        Warn("Il file " + name + " non è un progetto di Ordivex Varne.");
        return -1;
    }
    // The header first: a file that is no project is not read any further.
    std::string bytes;
    if (error != 0 || !ReadFileHead(name, ProjectHeaderBytes, bytes, error)) {
        Warn("Impossibile aprire il file " + name + ": " + SystemErrorText(error) + ".");
        return -1;
    }
    {
        TMemoryStream head(bytes);
        if (ReadProjectHeader(head, name) < 0) return -1;
    }
    if (st.st_size > MaxFileBytes) {
        TooLarge(name, st.st_size);
        return -1;
    }
    if (!ReadFileContent(name, bytes, error)) {
        Warn("Impossibile aprire il file " + name + ": " + SystemErrorText(error) + ".");
        return -1;
    }
    if (static_cast<int64_t>(bytes.size()) > MaxFileBytes) {  // grown since
        TooLarge(name, static_cast<int64_t>(bytes.size()));
        return -1;
    }
    TMemoryStream s(std::move(bytes));
    return LoadProjectFrom(s, name, project);
}

void TFileProgetto::TooLarge(const AnsiString& name, int64_t bytes) const {
    Warn("Il file " + name + " è troppo grande per un progetto (" + Megabytes(bytes) +
         "; un progetto può occupare al massimo " + Megabytes(MaxFileBytes) + ").");
}

int TFileProgetto::ReadProjectHeader(TStream& s, const AnsiString& name) {
    char tag[ProjectTagBytes] = {};
    const int32_t version = s.Read(tag, ProjectTagBytes) == ProjectTagBytes ? ProjectFileVersion(tag) : -1;
    if (version < 0) {
        if (std::memcmp(tag, "ant", 3) == 0)
            Warn("Il file " + name + " è stato creato con una versione di Ordivex Varne successiva alla 4.0.");
        else
            Warn("Il file " + name + " non è un progetto di Ordivex Varne.");
        return -1;
    }
    int32_t reserved = 0, count = 0;
    bool whole = TryReadI32(s, reserved) && TryReadI32(s, count) && count == HeaderCount;
    for (int i = 0; whole && i < HeaderCount; ++i) whole = TryReadI32(s, reserved);
    if (!whole) {
        Warn("Il file " + name + " non è nel formato corretto.");
        return -1;
    }
    return version;
}

int TFileProgetto::LoadProjectFrom(TStream& s, const AnsiString& name, TProgetto& project) {
    const int32_t version = ReadProjectHeader(s, name);
    if (version < 0) return -1;
    // Read aside: only a whole project replaces the open one.
    TProgetto loaded(project.Owner);
    auto design = std::make_unique<TOpzProgetto>();
    try {
        loaded.Load(s, version, *design);
    } catch (const EProjectDamaged& e) {
        Warn("Il file " + name + " non è nel formato corretto." + (e.Problem.empty() ? "" : " " + e.Problem));
        return -1;
    } catch (const std::exception&) {
        Warn("Il file " + name + " non è nel formato corretto.");
        return -1;
    }
    if (window_) window_->ClearSignSelection();
    project.TakeContent(loaded);
    project.Name = name;
    project.Step = 1;
    if (!project.DesignPending) SwapDesignSettings(design);
    AddRecentFile(name);
    return 0;
}

int TFileProgetto::QuerySaveChanges(TProgetto& project) {
    const int answer = Application->MessageBox("Salvare le modifiche apportate al progetto?",
                                               ApplicationTitle, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
    if (answer != IDYES) return answer;
    AnsiString file = project.Name;
    if (project.Name == UntitledProjectName) {
        if (!SaveDialog->Execute()) return IDCANCEL;
        file = SaveDialog->FileName;
        if (FileExists(file) &&
            Application->MessageBox("Il file " + file + " è già esistente. Sovrascrivere?", ApplicationTitle,
                                    MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return IDCANCEL;
    }
    // A failed save must not let the command go on and lose the changes.
    return SaveProject(file, project, ProjectVersionCurrent) == 0 ? IDYES : IDCANCEL;
}

void TFileProgetto::ResetProject(TProgetto& project, bool withAnchors) {
    if (window_) window_->ClearSignSelection();
    project.Reset(withAnchors);
}

void TFileProgetto::AddRecentFile(const AnsiString& name) {
    // The project dialogs open where this one was opened or saved.
    ProjectFolder().Used(name);
    if (!Ini) return;
    int found = RecentFileCount;
    for (int i = 0; i < RecentFileCount; ++i)
        if (Ini->String(RecentKey(i)) == name) {
            found = i;
            break;
        }
    for (int j = std::min(found, RecentFileCount - 1); j >= 1; --j)
        Ini->WriteString(RecentKey(j), Ini->String(RecentKey(j - 1)));
    Ini->WriteString(RecentKey(0), name);
    LoadRecentFiles();
}

void TFileProgetto::LoadRecentFiles() {
    if (!Ini || !menu_) return;
    for (int i = 0; i < RecentFileCount; ++i) {
        const AnsiString name = Ini->String(RecentKey(i));
        if (name.empty()) return;
        menu_->ShowItem(i, "&" + IntToStr(i + 1) + " " + ShortenPath(name));
        if (i == 0) menu_->ShowSeparator();
    }
}
