#pragma once
// The settings store in the registry's place: named string values under one key.
//
// The program's key "Software\Varne\OrdivexVarne" lives in one UTF-8 file of
// name=value lines at $XDG_CONFIG_HOME/OrdivexVarne/settings (~/.config when
// unset); ORDIVEX_VARNE_SETTINGS names another file (tests always set it).
// Another key gets a file of its own beside that one. Every write replaces the
// file atomically (through a symbolic link to its target, keeping its mode;
// 0600 for a new file); a damaged line reads as no value, and a file holding
// one is said and copied aside (".danneggiato") before a write drops it.
//
// Nothing the user stored is given up: a file that exists but cannot be read
// (a pipe, a device and a file above 16 MB count as such) is never written over (the values written in the
// run are kept in memory), and a value whose write failed is kept and written with the next write that
// succeeds. Either trouble is told to OnProblem, once until it clears.
#include <functional>
#include <map>

#include "platform/sysutils.h"

class TRegIniFile {
public:
    explicit TRegIniFile(const AnsiString& key);
    // Values live directly under the key; the section is accepted for the
    // class library's shape and must be "".
    AnsiString ReadString(const AnsiString& section, const AnsiString& name, const AnsiString& def) const;
    // True when the value is on file; otherwise it is kept in memory (and
    // written by the next write that succeeds, or at the end of an update).
    bool WriteString(const AnsiString& section, const AnsiString& name, const AnsiString& value);
    bool ValueExists(const AnsiString& name) const;
    void DeleteKey(const AnsiString& section, const AnsiString& name);
    const AnsiString& FilePath() const { return path_; }
    // Writes between these are gathered into one write of the file, made by
    // the last EndUpdate; it answers whether the values are on file.
    void BeginUpdate() { ++updates_; }
    bool EndUpdate();
    // The file could not be read: writes stay in memory for the run.
    bool Unreadable() const { return unreadable_; }
    // Values written that the file does not hold yet.
    bool HasPendingValues() const { return !pending_.empty(); }

    static AnsiString PathForKey(const AnsiString& key);

    // Told the text of a problem with the settings file (Italian, naming it).
    std::function<void(const AnsiString&)> OnProblem;

private:
    // The values of the file with the pending ones over them.
    std::map<AnsiString, AnsiString> Load() const;
    // The values of the file alone, read from it at every call; its lines
    // are taken apart again only when its bytes changed (the program asks
    // for hundreds of values, one at a time, as it starts).
    const std::map<AnsiString, AnsiString>& FileValues() const;
    // Writes the values (the pending ones with them); they stay pending when
    // the write fails. True when they are on file.
    bool Store(const std::map<AnsiString, AnsiString>& values);
    void Tell(const AnsiString& text) const;
    // Lines that do not read were found in the file: told once, with a copy.
    void TellDamage(const std::string& bytes) const;
    AnsiString path_;
    // A change not yet on file: a new value, or a deletion.
    struct TPending {
        AnsiString value;
        bool deleted = false;
    };
    std::map<AnsiString, TPending> pending_;
    // The file's bytes as last read and the values read from them.
    mutable std::string fileBytes_;
    mutable std::map<AnsiString, AnsiString> fileValues_;
    mutable bool fileValuesRead_ = false;
    mutable bool unreadable_ = false;
    mutable bool damageTold_ = false;
    int updates_ = 0;
    bool writeFailureTold_ = false;
};
