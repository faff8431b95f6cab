#include "platform/numeric_places.h"

#include <algorithm>
#include <cmath>

#include "platform/application.h"

TNumberRule TNumberRule::Text() {
    TNumberRule r;
    r.kind_ = nrText;
    return r;
}

TNumberRule TNumberRule::Whole(long long least, long long greatest, const AnsiString& unit) {
    TNumberRule r;
    r.kind_ = nrWhole;
    r.least_ = static_cast<double>(least);
    r.greatest_ = static_cast<double>(greatest);
    r.unit_ = unit;
    return r;
}

TNumberRule TNumberRule::Decimal(double least, double greatest, int decimals, const AnsiString& unit) {
    TNumberRule r;
    r.kind_ = decimals > 0 ? nrDecimal : nrWhole;
    r.least_ = least;
    r.greatest_ = greatest;
    r.decimals_ = std::max(0, decimals);
    r.unit_ = unit;
    return r;
}

TNumberRule& TNumberRule::OrEmpty() {
    emptyAllowed_ = true;
    return *this;
}

TNumberRule& TNumberRule::OrText(const AnsiString& token) {
    tokens_.push_back(token);
    return *this;
}

bool ReadTypedNumber(const AnsiString& text, double& value, int& decimals) {
    const TFormatSettings& fs = FormatSettings();
    const AnsiString s = Trim(text);
    size_t i = 0;
    AnsiString plain;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
    // The whole part: plain digits, or groups of three after the first.
    AnsiString whole;
    int group = -1;  // digits since the last thousands separator; -1: none met
    for (; i < s.size() && s[i] != fs.DecimalSeparator; ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            whole += c;
            if (group >= 0) ++group;
        } else if (c == fs.ThousandSeparator && c != fs.DecimalSeparator && !whole.empty() &&
                   (group < 0 ? whole.size() <= 3 : group == 3)) {
            group = 0;
        } else {
            return false;
        }
    }
    if (group >= 0 && group != 3) return false;
    AnsiString fraction;
    if (i < s.size()) {
        for (++i; i < s.size(); ++i) {
            if (s[i] < '0' || s[i] > '9') return false;
            fraction += s[i];
        }
    }
    if (whole.empty() && fraction.empty()) return false;
    plain += (whole.empty() ? AnsiString("0") : whole) + (fraction.empty() ? "" : "." + fraction);
    char* end = nullptr;
    const double v = std::strtod(plain.c_str(), &end);
    if (!end || *end || !std::isfinite(v)) return false;
    value = v;
    decimals = static_cast<int>(fraction.size());
    return true;
}

AnsiString NumberText(double value) { return FormatFloat("#,##0.######", value); }

bool TNumberRule::Accepts(const AnsiString& text, double* value) const {
    if (!IsNumber()) return true;
    if (std::find(tokens_.begin(), tokens_.end(), text) != tokens_.end()) return true;
    if (Trim(text).empty()) return emptyAllowed_;
    double v = 0;
    int decimals = 0;
    if (!ReadTypedNumber(text, v, decimals)) return false;
    if (decimals > decimals_) {
        // "12,50" in a whole place is 12,5 written longer; a digit beyond
        // the place's decimals that is not zero would be lost.
        const AnsiString t = Trim(text);
        for (size_t k = t.size() - static_cast<size_t>(decimals - decimals_); k < t.size(); ++k)
            if (t[k] != '0') return false;
    }
    if (v < least_ || v > greatest_) return false;
    if (value) *value = v;
    return true;
}

AnsiString TNumberRule::Allowed() const {
    if (!IsNumber()) return "ammesso qualsiasi testo";
    AnsiString what = kind_ == nrWhole ? "ammesso un numero intero" : "ammesso un numero";
    what += " da " + NumberText(least_) + " a " + NumberText(greatest_);
    if (!unit_.empty()) what += " " + unit_;
    if (kind_ == nrDecimal)
        what += decimals_ == 1 ? " con al più 1 decimale" : " con al più " + IntToStr(decimals_) + " decimali";
    for (const AnsiString& token : tokens_) what += ", oppure \"" + token + "\"";
    if (emptyAllowed_) what += ", oppure nulla (nessun valore)";
    return what;
}

AnsiString TNumberRule::Refusal(const AnsiString& place, const AnsiString& text) const {
    if (Accepts(text)) return AnsiString();
    return (place.empty() ? AnsiString() : place + ": ") + "\"" + text + "\" non è ammesso: " + Allowed() + ".";
}

void ShowRefusal(const AnsiString& message) {
    if (Application) Application->MessageBox(message, Application->Title, MB_OK | MB_ICONEXCLAMATION);
}
