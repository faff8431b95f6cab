#pragma once
// Project files on disk: saving (with a ".bak" copy of the file replaced),
// opening, the question before unsaved changes are lost, and the list of
// recent files. The main window binds the two small interfaces below.
#include <cstdint>
#include <memory>
#include <stdexcept>

#include "core/record_versions.h"
#include "platform/sysutils.h"

class TProgetto;
class TSaveDialog;

// Version numbers of the header tags: 1 for the mast-only files, 10000 to 60000.
constexpr int32_t ProjectVersionMastOnly = 1;
constexpr int32_t ProjectVersionCurrent = CurrentVersion;
// Grid sections of a larger size are taken for damaged.
constexpr int32_t MaxProjectGridSize = 2000;
constexpr int ProjectTagBytes = 13;
// The largest project file: a larger one is refused at open as too large,
// and a save that would write one is refused before anything is written, so
// that every project saved opens again. A designed building of a few hundred
// apartments takes well under a megabyte, a network of 100,000 outlets some
// 34 MB; the whole file is read into memory before it is parsed.
constexpr int64_t MaxProjectFileBytes = int64_t{256} << 20;
// Tag, reserved word, count and the nine reserved words.
constexpr int ProjectHeaderBytes = ProjectTagBytes + 4 + 4 + 9 * 4;
constexpr int RecentFileCount = 4;

// The version a 13-byte header tag stands for, or -1.
int32_t ProjectFileVersion(const char* tag);
// The 13-byte tag the writer writes for 50000, 50100 or 60000; none otherwise.
const char* ProjectFileTag(int32_t version);

class TStream;

// What a project file that does not read holds wrong, said to the person
// after "… non è nel formato corretto." (empty when nothing more precise is
// known).
struct EProjectDamaged : std::runtime_error {
    explicit EProjectDamaged(const AnsiString& problem)
        : std::runtime_error("damaged project"), Problem(problem) {}
    AnsiString Problem;
};

// The whole file of a project: header of the version, then the body.
void WriteProjectFile(TStream& s, const TProgetto& project, int32_t version);

// What the edits of a project's grids ask of the window that holds the
// project's pages: the pages that show results of the grids are brought up
// to date.
class TProjectPages {
public:
    virtual ~TProjectPages() = default;
    virtual void UpdateCalculationPages() = 0;
    virtual void UpdateEstimatePage() = 0;
};

// What the file commands ask of the main window.
class TFinestraProgetto {
public:
    virtual ~TFinestraProgetto() = default;
    virtual void SetCaption(const AnsiString& caption) = 0;
    // The open project's grids are about to be replaced or emptied.
    virtual void ClearSignSelection() = 0;
};

// The recent-file items of the file menu and the separator above them.
class TMenuFileRecenti {
public:
    virtual ~TMenuFileRecenti() = default;
    // Item 0-3 shows with this caption.
    virtual void ShowItem(int index, const AnsiString& caption) = 0;
    virtual void ShowSeparator() = 0;
};

// A path for a menu: at most 50 characters are kept whole; a longer one
// keeps its head (up to its second separator), "..." and its last folders.
AnsiString ShortenPath(const AnsiString& path);

class TFileProgetto {
public:
    TFileProgetto(TFinestraProgetto* window, TMenuFileRecenti* menu);
    ~TFileProgetto();
    TFileProgetto(const TFileProgetto&) = delete;
    TFileProgetto& operator=(const TFileProgetto&) = delete;

    // Writes the project; 0 when written, -1 after the message (with the
    // reason). A project whose file would be larger than an open admits is
    // refused before anything is written. The file is written whole beside the name first; then a copy
    // of the old file becomes the ".bak" and the new one takes the name, so
    // the name never stands for no file. A failure, or a file marked
    // read-only, changes nothing on disk or in the project. Through a
    // symbolic link its target is written, with its ".bak" beside it.
    int SaveProject(const AnsiString& name, TProgetto& project, int32_t version);
    // Reads a project file into the project; 0 when loaded, -1 after the
    // message (a missing file, one that cannot be read and why, one that is
    // too large, or one that is no project or is damaged), with the project
    // as it was. A project is
    // loaded whole or not at all; a file whose header is no project's is
    // read no further than its header.
    int LoadProject(const AnsiString& name, TProgetto& project);
    // The same from the bytes of a file already read (name for the messages).
    int LoadProjectFrom(TStream& s, const AnsiString& name, TProgetto& project);
    // Asks whether to save the changes and saves: 6 saved, 7 not saved, 2
    // cancelled or the save failed.
    int QuerySaveChanges(TProgetto& project);
    void ResetProject(TProgetto& project, bool withAnchors);
    // The name goes to the top of the settings' "FileName1" to "FileName4".
    void AddRecentFile(const AnsiString& name);
    void LoadRecentFiles();

    std::unique_ptr<TSaveDialog> SaveDialog;
    // The largest file saved or opened (MaxProjectFileBytes; smaller in tests).
    int64_t MaxFileBytes = MaxProjectFileBytes;

private:
    // The message of a file refused for its size.
    void TooLarge(const AnsiString& name, int64_t bytes) const;
    // Reads and checks the header: the version, or -1 after the message.
    int ReadProjectHeader(TStream& s, const AnsiString& name);
    TFinestraProgetto* window_;
    TMenuFileRecenti* menu_;
};
