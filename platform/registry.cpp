#include "platform/registry.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

const char* kProgramKey = "Software\\Varne\\OrdivexVarne";

std::string Escape(const std::string& s, bool name) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '=':
                if (name) out += "\\=";
                else out += c;
                break;
            default: out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[++i];
            out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Position of the first '=' that is not escaped, or npos.
size_t Separator(const std::string& line) {
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\') ++i;
        else if (line[i] == '=') return i;
    }
    return std::string::npos;
}

}  // namespace

AnsiString TRegIniFile::PathForKey(const AnsiString& key) {
    std::string dir;
    if (const char* env = std::getenv("ORDIVEX_VARNE_SETTINGS"); env && *env) {
        std::string file = env;
        if (key == kProgramKey) return file;
        dir = ExtractFilePath(file);
    } else {
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        if (xdg && *xdg) dir = xdg;
        else if (const char* home = std::getenv("HOME"); home && *home) dir = std::string(home) + "/.config";
        else dir = ".";
        dir = IncludeTrailingPathDelimiter(dir) + "OrdivexVarne/";
        if (key == kProgramKey) return dir + "settings";
    }
    std::string name;
    for (char c : key) name += (c == '\\' || c == '/') ? '_' : c;
    return IncludeTrailingPathDelimiter(dir.empty() ? std::string(".") : dir) + name + ".settings";
}

TRegIniFile::TRegIniFile(const AnsiString& key) : path_(PathForKey(key)) {}

std::map<AnsiString, AnsiString> TRegIniFile::Load() const {
    std::map<AnsiString, AnsiString> values;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return values;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t eq = Separator(line);
        if (eq == std::string::npos) continue;  // a damaged line is skipped
        values[Unescape(line.substr(0, eq))] = Unescape(line.substr(eq + 1));
    }
    return values;
}

void TRegIniFile::Store(const std::map<AnsiString, AnsiString>& values) {
    ForceDirectories(ExtractFilePath(path_));
    std::ostringstream out;
    for (const auto& [name, value] : values) out << Escape(name, true) << '=' << Escape(value, false) << '\n';
    std::string tmp = path_ + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!f) throw EFCreateError("Impossibile scrivere le impostazioni in \"" + tmp + "\"");
        f << out.str();
        f.flush();
        if (!f) throw EWriteError("Impossibile scrivere le impostazioni in \"" + tmp + "\"");
    }
    if (std::rename(tmp.c_str(), path_.c_str()) != 0) {
        std::remove(tmp.c_str());
        throw EWriteError("Impossibile salvare le impostazioni in \"" + path_ + "\"");
    }
}

AnsiString TRegIniFile::ReadString(const AnsiString&, const AnsiString& name, const AnsiString& def) const {
    auto values = Load();
    auto it = values.find(name);
    return it == values.end() ? def : it->second;
}

void TRegIniFile::WriteString(const AnsiString&, const AnsiString& name, const AnsiString& value) {
    auto values = Load();
    values[name] = value;
    Store(values);
}

bool TRegIniFile::ValueExists(const AnsiString& name) const { return Load().count(name) != 0; }

void TRegIniFile::DeleteKey(const AnsiString&, const AnsiString& name) {
    auto values = Load();
    if (values.erase(name)) Store(values);
}
