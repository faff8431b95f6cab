#pragma once
// The settings store in the registry's place: named string values under one key.
//
// The program's key "Software\Varne\OrdivexVarne" lives in one UTF-8 file of
// name=value lines at $XDG_CONFIG_HOME/OrdivexVarne/settings (~/.config when
// unset); ORDIVEX_VARNE_SETTINGS names another file (tests always set it).
// Another key gets a file of its own beside that one. Every write replaces the
// file atomically; a damaged file reads as empty values.
#include <map>

#include "platform/sysutils.h"

class TRegIniFile {
public:
    explicit TRegIniFile(const AnsiString& key);
    // Values live directly under the key; the section is accepted for the
    // class library's shape and must be "".
    AnsiString ReadString(const AnsiString& section, const AnsiString& name, const AnsiString& def) const;
    void WriteString(const AnsiString& section, const AnsiString& name, const AnsiString& value);
    bool ValueExists(const AnsiString& name) const;
    void DeleteKey(const AnsiString& section, const AnsiString& name);
    const AnsiString& FilePath() const { return path_; }

    static AnsiString PathForKey(const AnsiString& key);

private:
    std::map<AnsiString, AnsiString> Load() const;
    void Store(const std::map<AnsiString, AnsiString>& values);
    AnsiString path_;
};
