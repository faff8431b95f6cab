#include "app/project_files.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/project.h"
#include "autodesign/design_settings.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/reporter.h"
#include "platform/application.h"
#include "platform/codec.h"
#include "platform/dialogs.h"

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
    SaveDialog->Filter = "Progetto di Telvano (*.ant)|*.ant";
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
    bool written = ProjectFileTag(version) != nullptr;
    // The whole file is made in memory and reaches the disk in one write.
    TMemoryStream body;
    if (written) WriteProjectFile(body, project, version);
    const AnsiString temporary = name + ".tmp";
    bool created = false;
    if (written) {
        try {
            TFile file(temporary, ModeCreate);
            created = true;
            file.WriteBuffer(body.Bytes().data(), static_cast<int>(body.Bytes().size()));
            written = file.FlushToDisk();
        } catch (const EStreamError&) {
            written = false;
        }
    }
    // The good file becomes the backup only once its successor is on disk;
    // renaming replaces an older backup.
    AnsiString backup;
    if (written && name.size() > BackupSuffixFrom && FileExists(name)) {
        backup = name.substr(0, name.size() - BackupSuffixFrom) + ".bak";
        written = std::rename(name.c_str(), backup.c_str()) == 0;
        if (!written) backup.clear();
    }
    if (written && std::rename(temporary.c_str(), name.c_str()) != 0) {
        written = false;
        if (!backup.empty()) std::rename(backup.c_str(), name.c_str());
    }
    if (!written) {
        if (created) DeleteFile(temporary);
        Warn("Problemi in apertura.");
        return -1;
    }
    if (window_) window_->SetCaption(AnsiString(ApplicationTitle) + " - [" + name + "]");
    project.Name = name;
    AddRecentFile(name);
    project.Modified = false;
    return 0;
}

int TFileProgetto::LoadProject(const AnsiString& name, TProgetto& project) {
    std::string bytes;
    try {
        TFile file(name, ModeReadExclusive);
        bytes.resize(static_cast<size_t>(file.Size()));
        file.ReadBuffer(bytes.data(), static_cast<int>(bytes.size()));
    } catch (const EStreamError&) {
        Warn("Il file " + name + " è inesistente.");
        return -1;
    }
    TMemoryStream s(std::move(bytes));
    return LoadProjectFrom(s, name, project);
}

int TFileProgetto::LoadProjectFrom(TStream& s, const AnsiString& name, TProgetto& project) {
    char tag[ProjectTagBytes] = {};
    const int32_t version = s.Read(tag, ProjectTagBytes) == ProjectTagBytes ? ProjectFileVersion(tag) : -1;
    if (version < 0) {
        if (std::memcmp(tag, "ant", 3) == 0)
            Warn("Il file " + name + " è stato creato con una versione di Telvano successiva alla 4.0.");
        else
            Warn("Il file " + name + " non è un progetto di Telvano.");
        return -1;
    }
    const AnsiString damaged = "Il file " + name + " non è nel formato corretto.";
    int32_t reserved = 0, count = 0;
    if (!TryReadI32(s, reserved) || !TryReadI32(s, count) || count != HeaderCount) {
        Warn(damaged);
        return -1;
    }
    for (int i = 0; i < HeaderCount; ++i)
        if (!TryReadI32(s, reserved)) {
            Warn(damaged);
            return -1;
        }
    // Read aside: only a whole project replaces the open one.
    TProgetto loaded(project.Owner);
    auto design = std::make_unique<TOpzProgetto>();
    try {
        loaded.Load(s, version, *design);
    } catch (const std::exception&) {
        Warn(damaged);
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
