#include "document/estimate_amounts.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "core/options.h"

namespace {

AnsiString CurrencyMask(int currency) { return TOpzioni::GetCurrencyFormat(currency); }

// The unit price as a built row shows it: a thousandth is added before it is
// written, so that a price held a hair below its last digit shows that digit.
double PriceShown(double price, int currency) {
    return ReadAmount(FormatFloat(CurrencyMask(currency), price + 0.001));
}

}  // namespace

// A row's total counted in the currency's last digit (cents, or whole lire):
// tenths of the shown quantity times cents of the shown price are
// thousandths, an exact whole number, rounded half up.
double RowTotalUnits(double quantity, double unitPrice, int currency) {
    // A figure below zero (from a damaged file) counts nothing.
    if (!(quantity > 0.0) || !(unitPrice > 0.0)) return 0.0;
    const double tenths = std::round(ReadAmount(FormatFloat("##0.#", quantity)) * 10.0);
    const double cents = std::round(PriceShown(unitPrice, currency) * 100.0);
    const double perUnit = TOpzioni::CurrencyDecimals(currency) == 0 ? 1000.0 : 10.0;
    return std::floor(tenths * cents / perUnit + 0.5);
}

double UnitsToAmount(double units, int currency) {
    return TOpzioni::CurrencyDecimals(currency) == 0 ? units : units / 100.0;
}

AnsiString PadLeft(const AnsiString& text, int width) {
    int separators = 0;
    for (char c : text)
        if (c == '.' || c == ',') ++separators;
    const int blanks = std::clamp(separators + 2 * (width - static_cast<int>(text.size())), 0, 30);
    return AnsiString(blanks, ' ') + text;
}

AnsiString FormatAmountWide(const AnsiString& text) { return PadLeft(text, 12); }
AnsiString FormatAmountNarrow(const AnsiString& text) { return PadLeft(text, 9); }

AnsiString FormatAmount(const AnsiString& quantity) {
    const size_t n = quantity.size();
    if (n >= 2 && (quantity[n - 2] == '.' || quantity[n - 2] == ',')) return PadLeft(quantity, 9);
    const AnsiString padded = PadLeft(quantity + ".0", 9);
    return padded.substr(0, padded.size() - 2);
}

double EstimateRowTotal(double quantity, double unitPrice, int currency) {
    return UnitsToAmount(RowTotalUnits(quantity, unitPrice, currency), currency);
}

double ReadAmount(const AnsiString& text) {
    std::string kept;
    const char separator = FormatSettings().DecimalSeparator;
    for (char c : text)
        if ((c >= '0' && c <= '9') || c == separator) kept += c == separator ? '.' : c;
    if (kept.empty()) return 0.0;
    // Two separators: the number up to the second one.
    const size_t first = kept.find('.');
    if (first != std::string::npos) {
        const size_t second = kept.find('.', first + 1);
        if (second != std::string::npos) kept.resize(second);
    }
    if (kept == ".") return 0.0;
    // A figure no amount can hold is unreadable like any other.
    const double value = std::strtod(kept.c_str(), nullptr);
    return value <= FLT_MAX ? value : 0.0;
}

// The greatest figures are below 2^24, so that the float a row keeps holds
// each to its last digit (tenths, cents or whole lire).
TNumberRule EstimateQuantityRule() { return TNumberRule::Decimal(0, 99999.9, 1); }

TNumberRule EstimatePriceRule(int currency) {
    if (TOpzioni::CurrencyDecimals(currency) == 0) return TNumberRule::Whole(0, 9999999);
    return TNumberRule::Decimal(0, 99999.99, 2);
}

TNumberRule EstimateMinutesRule() { return TNumberRule::Whole(0, 99999, "min"); }

TItemFigureRules ItemFigureRules(int currency) {
    return {EstimateQuantityRule().OrEmpty(), EstimatePriceRule(currency).OrEmpty(),
            EstimateMinutesRule().OrEmpty()};
}
