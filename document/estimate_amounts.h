#pragma once
// The amounts of the estimate as the "Preventivo" page shows them, the price
// list takes them and the printed estimate prints them, and what the price
// list and the print ask of the page that shows the estimate.
#include <cstdint>
#include <functional>

#include "platform/numeric_places.h"
#include "platform/sysutils.h"

// Amounts are right-aligned in a proportional font by blanks in front:
// b = separators + 2 x (width - length), kept within 0..30.
AnsiString PadLeft(const AnsiString& text, int width);
AnsiString FormatAmountWide(const AnsiString& text);    // width 12
AnsiString FormatAmountNarrow(const AnsiString& text);  // width 9
// A quantity padded so that a whole number's units digit stands where the
// units digit of a number with one decimal stands.
AnsiString FormatAmount(const AnsiString& quantity);
// The total of one row in the currency: the quantity the row shows (to
// tenths) times the unit price it shows (to the currency's last digit),
// rounded half up to that digit. So a row reads quantity x price = total,
// and the grand total is the sum of the totals the rows show.
double EstimateRowTotal(double quantity, double unitPrice, int currency);
// The same counted in the currency's last digit (cents, or whole lire), and
// such a count as an amount.
double RowTotalUnits(double quantity, double unitPrice, int currency);
double UnitsToAmount(double units, int currency);
// The number in a padded amount text: digits and the decimal separator only;
// empty or unreadable gives 0.
double ReadAmount(const AnsiString& text);

// What the estimate's figures may be where they are typed (the estimate
// grid, the price list): none is negative; a quantity is kept to tenths, a
// unit price to the currency's last digit and the installation time in whole
// minutes, each no larger than a float keeps to that digit.
TNumberRule EstimateQuantityRule();
TNumberRule EstimatePriceRule(int currency);
TNumberRule EstimateMinutesRule();
// The same for an item of the price list, whose fields may stay empty (no
// quantity is one piece, no price or time is none), with the fields' names.
struct TItemFigureRules {
    TNumberRule Quantity, Price, Minutes;
    static constexpr const char* QuantityName = "Quantità";
    static constexpr const char* PriceName = "Prezzo";
    static constexpr const char* MinutesName = "Installazione (min)";
};
TItemFigureRules ItemFigureRules(int currency);

// What the price-list form hands over for one new item: its edits' texts.
struct TVoceListino {
    AnsiString Code, Article, Brand, Description, Quantity, Price, Installation, CurrencyName;
};

// The fields of an item that a refusal points at.
enum class TCampoVoce { Codice, Quantita, Prezzo, Installazione };

// The page that shows the estimate, as the price list and the print see it.
class TEstimateView {
public:
    virtual ~TEstimateView() = default;

    // Fills the shown rows from the project's estimate.
    virtual void BuildEstimate() = 0;
    // Why the item cannot be added (no code, a code the estimate has, a
    // figure its field does not take) and the field at fault; empty when it
    // can be added.
    virtual AnsiString ItemRefusal(const TVoceListino& item, TCampoVoce* field = nullptr) const = 0;
    // Adds the item; false (a warning shown, nothing changed) when refused.
    virtual bool AddEstimateItem(const TVoceListino& item) = 0;
    // Rows shown: the header, the estimate rows and the trailing row.
    virtual int32_t ShownRowCount() const = 0;
    // A notes line as shown.
    virtual AnsiString NoteText(int index) const = 0;

    // Shows the price-list form for a new item in the given currency; returns
    // its modal result and, on OK, the item. The main window sets it.
    std::function<int(TVoceListino& item, int currency)> ShowPriceList;
};
