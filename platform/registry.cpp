#include "platform/registry.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

#include "platform/safe_files.h"

namespace {

const char* kProgramKey = "Software\\Varne\\OrdivexVarne";

// Far above the few hundred values the program stores.
constexpr off_t MaxSettingsFileBytes = 16 * 1024 * 1024;

std::string Escape(const std::string& s, bool name) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '=':
            if (name)
                out += "\\=";
            else
                out += c;
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
        if (line[i] == '\\')
            ++i;
        else if (line[i] == '=')
            return i;
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
        if (xdg && *xdg)
            dir = xdg;
        else if (const char* home = std::getenv("HOME"); home && *home)
            dir = std::string(home) + "/.config";
        else
            dir = ".";
        dir = IncludeTrailingPathDelimiter(dir) + "OrdivexVarne/";
        if (key == kProgramKey) return dir + "settings";
    }
    std::string name;
    for (char c : key) name += (c == '\\' || c == '/') ? '_' : c;
    return IncludeTrailingPathDelimiter(dir.empty() ? std::string(".") : dir) + name + ".settings";
}

TRegIniFile::TRegIniFile(const AnsiString& key) : path_(PathForKey(key)) {}

void TRegIniFile::Tell(const AnsiString& text) const {
    if (OnProblem) OnProblem(text);
}

void TRegIniFile::TellDamage(const std::string& bytes) const {
    // The next write keeps only the lines that read: the file as it was is
    // copied aside first, so that nothing in it is lost.
    damageTold_ = true;
    const AnsiString copy = path_ + ".danneggiato";
    int error = 0;
    AnsiString text =
        "Il file delle impostazioni " + path_ + " contiene righe danneggiate, che sono state ignorate";
    if (ReplaceFileContent(copy, bytes, 0600, error))
        text += "; una copia del file com'era è in " + copy + ".";
    else
        text += ".";
    Tell(text);
}

const std::map<AnsiString, AnsiString>& TRegIniFile::FileValues() const {
    std::string bytes;
    int error = 0;
    // A pipe or a device would hold the start of the program for as long as
    // nothing writes to it, and a file of many megabytes is no settings file
    // this program wrote: neither is read, nor written over.
    struct stat st;
    const bool foreign =
        !unreadable_ && ::stat(path_.c_str(), &st) == 0 &&
        ((!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) || st.st_size > MaxSettingsFileBytes);
    if (foreign || (!unreadable_ && !ReadFileContent(path_, bytes, error) && error != ENOENT)) {
        // The file is there but will not read: it holds the user's settings,
        // so it is never written over in this run.
        unreadable_ = true;
        Tell("Impossibile leggere le impostazioni da " + path_ + ": le modifiche non verranno salvate.");
    }
    if (unreadable_) {
        fileValues_.clear();
        fileValuesRead_ = false;
        return fileValues_;
    }
    if (fileValuesRead_ && bytes == fileBytes_) return fileValues_;
    fileValues_.clear();
    size_t start = 0;
    bool damaged = false;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t eq = Separator(line);
        if (eq == std::string::npos) {  // a damaged line is skipped
            damaged = damaged || !line.empty();
            continue;
        }
        fileValues_[Unescape(line.substr(0, eq))] = Unescape(line.substr(eq + 1));
    }
    if (damaged && !damageTold_) TellDamage(bytes);
    fileBytes_ = std::move(bytes);
    fileValuesRead_ = true;
    return fileValues_;
}

std::map<AnsiString, AnsiString> TRegIniFile::Load() const {
    std::map<AnsiString, AnsiString> values = FileValues();
    for (const auto& [name, change] : pending_) {
        if (change.deleted)
            values.erase(name);
        else
            values[name] = change.value;
    }
    return values;
}

bool TRegIniFile::Store(const std::map<AnsiString, AnsiString>& values) {
    if (unreadable_) return false;
    std::string out;
    for (const auto& [name, value] : values) out += Escape(name, true) + '=' + Escape(value, false) + '\n';
    int error = 0;
    bool written = false;
    const AnsiString folder = ExtractFilePath(ResolveLinks(path_));
    errno = 0;
    if (!folder.empty() && !ForceDirectories(folder))
        error = errno ? errno : EACCES;
    else
        written = ReplaceFileContent(path_, out, 0600, error);
    if (!written) {
        if (!writeFailureTold_) {
            writeFailureTold_ = true;
            Tell("Impossibile salvare le impostazioni in " + path_ + ": " + SystemErrorText(error) + ".");
        }
        return false;
    }
    pending_.clear();
    writeFailureTold_ = false;
    return true;
}

AnsiString TRegIniFile::ReadString(const AnsiString&, const AnsiString& name, const AnsiString& def) const {
    const std::map<AnsiString, AnsiString>& values = FileValues();
    if (auto change = pending_.find(name); change != pending_.end())
        return change->second.deleted ? def : change->second.value;
    auto it = values.find(name);
    return it == values.end() ? def : it->second;
}

bool TRegIniFile::WriteString(const AnsiString&, const AnsiString& name, const AnsiString& value) {
    pending_[name] = TPending{value, false};
    return updates_ == 0 && Store(Load());
}

bool TRegIniFile::EndUpdate() {
    if (updates_ > 0 && --updates_ > 0) return false;
    return pending_.empty() || Store(Load());
}

bool TRegIniFile::ValueExists(const AnsiString& name) const {
    const std::map<AnsiString, AnsiString>& values = FileValues();
    if (auto change = pending_.find(name); change != pending_.end()) return !change->second.deleted;
    return values.count(name) != 0;
}

void TRegIniFile::DeleteKey(const AnsiString&, const AnsiString& name) {
    if (!Load().count(name)) return;
    pending_[name] = TPending{AnsiString(), true};
    if (updates_ == 0) Store(Load());
}
