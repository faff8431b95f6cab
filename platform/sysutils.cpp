#include "platform/sysutils.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

TFormatSettings& FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

namespace {

// One section of a FormatFloat mask, taken apart.
struct Mask {
    std::string text;    // the section with quotes kept
    int intZeros = 0;    // '0' places before the decimal point (counted from the first '0')
    int fracZeros = 0;   // places after the point up to the last '0'
    int fracPlaces = 0;  // '0' and '#' places after the point
    bool hasPoint = false;
    bool thousands = false;
    bool hasDigits = false;  // any '0' or '#'
    // Scientific form: "E+" or "E-" (any case) after the digit places; the
    // text after it is kept apart in expText.
    bool scientific = false;
    char expLetter = 'E';
    bool expPlus = false;  // "E+": the sign always shows
    int expDigits = 0;     // '0' places of the exponent (at least this many digits)
    std::string expText;   // literals after the exponent's places
};

std::vector<std::string> SplitSections(const std::string& format) {
    std::vector<std::string> sections(1);
    char quote = 0;
    for (char c : format) {
        if (quote) {
            if (c == quote) quote = 0;
            sections.back() += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            sections.back() += c;
        } else if (c == ';') {
            sections.emplace_back();
        } else {
            sections.back() += c;
        }
    }
    return sections;
}

Mask Analyse(const std::string& section) {
    Mask m;
    m.text = section;
    char quote = 0;
    bool afterPoint = false;
    int firstZero = -1, placesBefore = 0;
    for (size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            continue;
        }
        if ((c == 'E' || c == 'e') && m.hasDigits && i + 1 < section.size() &&
            (section[i + 1] == '+' || section[i + 1] == '-')) {
            m.scientific = true;
            m.expLetter = c;
            m.expPlus = section[i + 1] == '+';
            size_t j = i + 2;
            while (j < section.size() && section[j] == '0') {
                ++m.expDigits;
                ++j;
            }
            m.expText = section.substr(j);
            m.text = section.substr(0, i);
            break;
        }
        if (c == '0' || c == '#') {
            m.hasDigits = true;
            if (afterPoint) {
                ++m.fracPlaces;
                if (c == '0') m.fracZeros = m.fracPlaces;
            } else {
                if (c == '0' && firstZero < 0) firstZero = placesBefore;
                ++placesBefore;
            }
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
            m.hasPoint = true;
        } else if (c == ',' && !afterPoint) {
            m.thousands = true;
        }
    }
    if (firstZero >= 0) m.intZeros = placesBefore - firstZero;
    return m;
}

// Cuts a digit string to its first 'keep' digits (padding with zeros),
// rounding half away from zero; true when the rounding carried into a new
// leading digit (the string is then one digit longer).
bool KeepDigits(std::string& digits, int keep) {
    if (static_cast<int>(digits.size()) < keep) digits.append(keep - digits.size(), '0');
    const bool roundUp = static_cast<int>(digits.size()) > keep && digits[keep] >= '5';
    digits.resize(keep);
    if (!roundUp) return false;
    int i = keep - 1;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i >= 0) {
        ++digits[i];
        return false;
    }
    digits.insert(digits.begin(), '1');
    return true;
}

// The decimal digits of |value| rounded half away from zero at 'decimals'
// places, from the value's 15-significant-digit form. Returns the integer
// digits and the fraction digits (exactly 'decimals' of them).
void RoundedDigits(double value, int decimals, std::string& intPart, std::string& fracPart) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    // buf: d.dddddddddddddde[+-]xx
    std::string mant;
    mant += buf[0];
    mant.append(buf + 2, 14);
    int exp10 = std::atoi(std::strchr(buf, 'e') + 1);
    // value = 0.mant * 10^(exp10 + 1)
    int pointPos = exp10 + 1;  // digits of mant before the decimal point
    // Build a digit string with the point at a known place.
    std::string digits;
    int intLen;
    if (pointPos <= 0) {
        digits = std::string(-pointPos, '0') + mant;
        intLen = 0;
    } else {
        digits = mant;
        if (static_cast<int>(digits.size()) < pointPos) digits.append(pointPos - digits.size(), '0');
        intLen = pointPos;
    }
    if (KeepDigits(digits, intLen + decimals)) ++intLen;
    intPart = digits.substr(0, intLen);
    fracPart = digits.substr(intLen);
    size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
}

// The literals of a mask's text after the exponent's digit places.
std::string Literals(const std::string& text) {
    std::string out;
    char quote = 0;
    for (char c : text) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                out += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else {
            out += c;
        }
    }
    return out;
}

// Scientific form: the mantissa keeps as many digits before the point as the
// mask has places there (at least one) and is rounded half away from zero
// from the value's 15-digit decimal form.
void ScientificDigits(double value, const Mask& m, std::string& intPart, std::string& fracPart,
                      int& exponent) {
    int before = 0;
    {
        char quote = 0;
        for (char c : m.text) {
            if (quote) {
                if (c == quote) quote = 0;
                continue;
            }
            if (c == '"' || c == '\'')
                quote = c;
            else if (c == '.')
                break;
            else if (c == '0' || c == '#')
                ++before;
        }
    }
    if (before < 1) before = 1;
    const int keep = before + m.fracPlaces;
    if (value == 0.0) {
        intPart = std::string(before, '0');
        fracPart = std::string(m.fracPlaces, '0');
        exponent = 0;
        return;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    int exp10 = std::atoi(std::strchr(buf, 'e') + 1);
    if (KeepDigits(digits, keep)) {
        digits.pop_back();
        ++exp10;
    }
    exponent = exp10 - (before - 1);
    intPart = digits.substr(0, before);
    fracPart = digits.substr(before);
}

std::string Render(const Mask& m, double value, bool withSign) {
    const TFormatSettings& fs = FormatSettings();
    std::string intDigits, fracDigits;
    int exponent = 0;
    if (m.scientific)
        ScientificDigits(value, m, intDigits, fracDigits, exponent);
    else
        RoundedDigits(value, m.fracPlaces, intDigits, fracDigits);
    // Drop trailing optional fraction digits that are zero.
    while (static_cast<int>(fracDigits.size()) > m.fracZeros && !fracDigits.empty() &&
           fracDigits.back() == '0')
        fracDigits.pop_back();
    if (static_cast<int>(intDigits.size()) < m.intZeros)
        intDigits.insert(0, m.intZeros - intDigits.size(), '0');
    if (m.thousands && intDigits.size() > 3) {
        std::string grouped;
        int n = static_cast<int>(intDigits.size());
        for (int i = 0; i < n; ++i) {
            grouped += intDigits[i];
            int left = n - 1 - i;
            if (left > 0 && left % 3 == 0) grouped += fs.ThousandSeparator;
        }
        intDigits = grouped;
    }
    std::string number = intDigits;
    if (!fracDigits.empty()) number += fs.DecimalSeparator + fracDigits;

    // Place the number where the digit places stand; keep literals around it.
    std::string out;
    char quote = 0;
    bool placed = false;
    for (size_t i = 0; i < m.text.size(); ++i) {
        char c = m.text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                out += c;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            continue;
        }
        bool digitChar = c == '0' || c == '#' || c == '.' || c == ',';
        if (digitChar && m.hasDigits) {
            if (!placed) {
                if (withSign) out += '-';
                out += number;
                placed = true;
            }
            continue;
        }
        out += c;
    }
    if (!placed && m.hasDigits) {
        if (withSign) out += '-';
        out += number;
    }
    if (m.scientific) {
        std::string e = std::to_string(std::abs(exponent));
        if (static_cast<int>(e.size()) < m.expDigits) e.insert(0, m.expDigits - e.size(), '0');
        out += m.expLetter;
        if (exponent < 0)
            out += '-';
        else if (m.expPlus)
            out += '+';
        out += e + Literals(m.expText);
    }
    return out;
}

bool IsZeroAfterRounding(const Mask& m, double value) {
    if (m.scientific) return value == 0.0;
    std::string a, b;
    RoundedDigits(value, m.fracPlaces, a, b);
    return a.empty() && b.find_first_not_of('0') == std::string::npos;
}

}  // namespace

AnsiString FormatFloat(const AnsiString& format, double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    std::vector<std::string> sections = SplitSections(format);
    Mask pos = Analyse(sections[0]);
    if (format.empty()) return FloatToStr(value);
    bool negative = value < 0;
    if (sections.size() >= 3 && IsZeroAfterRounding(pos, value)) {
        Mask zero = Analyse(sections[2]);
        return Render(zero, 0.0, false);
    }
    if (negative && sections.size() >= 2 && !sections[1].empty()) {
        return Render(Analyse(sections[1]), -value, false);
    }
    bool sign = negative && !IsZeroAfterRounding(pos, value);
    return Render(pos, value, sign);
}

AnsiString FloatToStr(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string s = buf;
    if (s.find('e') != std::string::npos) {
        // Exponent form as the class library writes it: 1,5E20
        size_t e = s.find('e');
        std::string mant = s.substr(0, e), ex = s.substr(e + 1);
        int expo = std::atoi(ex.c_str());
        for (char& c : mant)
            if (c == '.') c = FormatSettings().DecimalSeparator;
        return mant + "E" + (expo < 0 ? "-" : "+") + (std::abs(expo) < 10 ? "0" : "") +
               std::to_string(std::abs(expo));
    }
    for (char& c : s)
        if (c == '.') c = FormatSettings().DecimalSeparator;
    return s;
}

AnsiString IntToStr(long long value) { return std::to_string(value); }

namespace {
std::string Stripped(const std::string& text) {
    size_t b = text.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    size_t e = text.find_last_not_of(" \t\r\n");
    return text.substr(b, e - b + 1);
}
}  // namespace

bool TryStrToInt(const AnsiString& text, int& value) {
    std::string s = Stripped(text);
    if (s.empty()) return false;
    size_t i = 0;
    bool neg = false;
    if (s[0] == '+' || s[0] == '-') {
        neg = s[0] == '-';
        i = 1;
    }
    if (i >= s.size()) return false;
    long long v = 0;
    if (s.size() > i + 1 && s[i] == '$') {  // hexadecimal, as the class library accepts
        ++i;
        for (; i < s.size(); ++i) {
            int d;
            char c = s[i];
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return false;
            v = v * 16 + d;
            if (v > 0xFFFFFFFFLL) return false;
        }
        value = static_cast<int>(static_cast<uint32_t>(v));
        if (neg) value = -value;
        return true;
    }
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (neg) v = -v;
    if (v > INT_MAX || v < INT_MIN) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(const AnsiString& text) {
    int v;
    if (!TryStrToInt(text, v)) throw EConvertError("'" + text + "' non è un valore intero valido");
    return v;
}

bool TryStrToFloat(const AnsiString& text, double& value) {
    std::string s = Stripped(text);
    if (s.empty()) return false;
    const char sep = FormatSettings().DecimalSeparator;
    std::string c;
    size_t i = 0;
    if (s[0] == '+' || s[0] == '-') {
        c += s[0];
        i = 1;
    }
    bool digits = false, point = false, exp = false;
    for (; i < s.size(); ++i) {
        char ch = s[i];
        if (ch >= '0' && ch <= '9') {
            digits = true;
            c += ch;
        } else if (ch == sep && !point && !exp) {
            point = true;
            c += '.';
        } else if ((ch == 'e' || ch == 'E') && digits && !exp) {
            exp = true;
            c += 'e';
            if (i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) c += s[++i];
            if (i + 1 >= s.size()) return false;
        } else {
            return false;
        }
    }
    if (!digits) return false;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(c.c_str(), &end);
    if (end == nullptr || *end != 0 || errno == ERANGE) return false;
    value = v;
    return true;
}

double StrToFloat(const AnsiString& text) {
    double v;
    if (!TryStrToFloat(text, v))
        throw EConvertError("'" + text + "' non è un valore in virgola mobile valido");
    return v;
}

AnsiString Trim(const AnsiString& text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
    return text.substr(b, e - b);
}

AnsiString UpperCase(const AnsiString& text) {
    std::string s = text;
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

AnsiString LowerCase(const AnsiString& text) {
    std::string s = text;
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

AnsiString AnsiUpperCase(const AnsiString& text) {
    // Latin-1 lower-case letters U+00E0..U+00FE (except U+00F7) in UTF-8 are C3 A0..C3 BE.
    std::string s = UpperCase(text);
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        unsigned char a = s[i], b = s[i + 1];
        if (a == 0xC3 && b >= 0xA0 && b <= 0xBE && b != 0xB7) {
            s[i + 1] = static_cast<char>(b - 0x20);
            ++i;
        }
    }
    return s;
}

int CompareText(const AnsiString& a, const AnsiString& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameText(const AnsiString& a, const AnsiString& b) { return CompareText(a, b) == 0; }

bool FileExists(const AnsiString& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const AnsiString& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const AnsiString& path) {
    if (path.empty()) return false;
    std::string p;
    for (size_t i = 0; i < path.size(); ++i) {
        p += path[i];
        if ((path[i] == '/' && i > 0) || i + 1 == path.size()) {
            if (!DirectoryExists(p) && ::mkdir(p.c_str(), 0755) != 0 && errno != EEXIST) return false;
        }
    }
    return DirectoryExists(path);
}

bool RenameFile(const AnsiString& oldName, const AnsiString& newName) {
    // As on the desktop, renaming onto an existing file fails.
    if (FileExists(newName)) return false;
    return std::rename(oldName.c_str(), newName.c_str()) == 0;
}

bool DeleteFile(const AnsiString& path) { return ::unlink(path.c_str()) == 0; }

AnsiString ExtractFilePath(const AnsiString& path) {
    size_t p = path.find_last_of("/\\");
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

AnsiString ExtractFileName(const AnsiString& path) {
    size_t p = path.find_last_of("/\\");
    return p == std::string::npos ? path : path.substr(p + 1);
}

AnsiString ExtractFileExt(const AnsiString& path) {
    size_t p = path.find_last_of("./\\");
    if (p == std::string::npos || path[p] != '.') return std::string();
    return path.substr(p);
}

AnsiString ChangeFileExt(const AnsiString& path, const AnsiString& ext) {
    size_t p = path.find_last_of("./\\");
    if (p == std::string::npos || path[p] != '.') return path + ext;
    return path.substr(0, p) + ext;
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& path) {
    if (!path.empty() && (path.back() == '/' || path.back() == '\\')) return path;
    return path + "/";
}

AnsiString ExecutableDirectory() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    buf[n] = 0;
    return ExtractFilePath(buf);
}
