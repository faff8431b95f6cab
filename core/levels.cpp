#include "core/levels.h"

#include <cfloat>
#include <cmath>

namespace {

// A double that a float can hold: finite and within the float range.
bool FitsFloat(double v) { return std::isfinite(v) && std::fabs(v) <= FLT_MAX; }

// Position (from 0) of the last directory separator, or npos.
size_t LastSeparator(const AnsiString& path) { return path.find_last_of("/\\"); }

uint32_t passCounter = 0;

}  // namespace

AnsiString IntToText(int n) { return n < 0 ? AnsiString() : IntToStr(n); }

int TextToInt(const AnsiString& text, int def) {
    int value;
    return TryStrToInt(text, value) ? value : def;
}

AnsiString FormatNumber(const AnsiString& format, double value) {
    if (value < 0) return AnsiString();
    return FormatFloat(format, value);
}

float TextToFloat(const AnsiString& text, float def) {
    double value;
    if (!TryStrToFloat(text, value) || !FitsFloat(value)) return def;
    return static_cast<float>(value);
}

float TextToFloatLenient(const AnsiString& text) {
    const char separator = FormatSettings().DecimalSeparator;
    AnsiString kept;
    for (char c : text)
        if ((c >= '0' && c <= '9') || c == separator) kept += c;
    if (kept.empty()) return 0.0f;
    double value = StrToFloat(kept);  // two separators left: EConvertError to the caller
    if (!FitsFloat(value)) throw EConvertError("'" + text + "' non è un valore in virgola mobile valido");
    return static_cast<float>(value);
}

float ParseLevel(const AnsiString& text) {
    if (text.empty()) return LevelNone;
    if (text == "*") return LevelBlocked;
    if (text == "<") return LevelRepeat;
    return TextToFloat(text, LevelNone);
}

AnsiString FormatLevel(float value, const AnsiString& format) {
    if (value == LevelNone) return AnsiString();
    if (value == LevelBlocked) return "*";
    if (value == LevelRepeat) return "<";
    return FormatFloat(format, value);
}

AnsiString FileBaseName(const AnsiString& path) {
    // The extension is cut only when its dot belongs to the file name: a dot
    // in a directory name must not eat the name that follows it.
    size_t sep = LastSeparator(path);
    size_t start = sep == AnsiString::npos ? 0 : sep + 1;
    size_t dot = path.find_last_of('.');
    size_t end = (dot != AnsiString::npos && dot >= start) ? dot : path.size();
    return path.substr(start, end - start);
}

AnsiString FileDirectory(const AnsiString& path) {
    size_t sep = LastSeparator(path);
    return sep == AnsiString::npos ? path : path.substr(0, sep + 1);
}

AnsiString TextBeforeCaret(const AnsiString& text) { return text.substr(0, text.find('^')); }

uint32_t NextPassNumber() {
    // Cells start with stamp 0, so a counter that wraps skips 0.
    if (++passCounter == 0) passCounter = 1;
    return passCounter;
}
