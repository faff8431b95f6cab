#pragma once
// The "Preventivo" page of the main window: the project's estimate as an
// editable grid of nine columns, the grand total, the estimate currency and
// three notes lines. Row 0 is the header (painted, its cells stay empty),
// rows 1..N the estimate rows in order, and one empty trailing row through
// which the person adds an item from the price list.
#include <functional>

#include "platform/extctrls.h"
#include "platform/grids.h"
#include "platform/stdctrls.h"

class TProgetto;
class TDatiPreventivo;

constexpr int EstimateColumns = 9;
extern const char* const EstimateHeaders[EstimateColumns];

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
// The number in a padded amount text: digits and the decimal separator only;
// empty or unreadable gives 0.
double ReadAmount(const AnsiString& text);

// Why a typed amount cannot be taken: no digit in it, a minus in front of
// its digits, or more than a float holds. An empty text is no fault.
enum class TTypedFault { None, NoNumber, Negative, TooLarge };
TTypedFault TypedFault(const AnsiString& text);

// What the price-list form hands over for one new item: its edits' texts.
struct TVoceListino {
    AnsiString Code, Article, Brand, Description, Quantity, Price, Installation, CurrencyName;
};

class TPaginaPreventivo : public TPanel {
public:
    explicit TPaginaPreventivo(TComponent* owner);

    // The project whose estimate the page shows (not owned).
    void SetProject(TProgetto* project) { project_ = project; }

    void BuildEstimate();
    void FillEstimateRow();
    void SumEstimate();
    // Adds the item; false (a warning shown, nothing changed) when refused.
    bool AddEstimateItem(const TVoceListino& item);
    void BEliminaPreventivoClick(TObject* Sender);
    // Whether "&Elimina linea preventivo" would remove the selection's top row.
    bool CanRemoveSelectedRow() const;
    // Makes (col, row) the current cell, as the program places it and not as
    // a click: the trailing row opens no price list. A cell of an item row
    // counts as the cell last chosen (it is formatted when left). Row and
    // column are cut to the grid.
    void PlaceCurrentCell(int col, int row);

    // The grid's events.
    void DrawEstimateHeader(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    void FormatEstimateCell(TObject* Sender);
    void EstimateGridSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void EstimateGridSetEditText(TObject* Sender, int ACol, int ARow, const AnsiString& Value);
    void ChangeEstimateCurrency(TObject* Sender);

    // Shows the price-list form for a new item in the given currency; returns
    // its modal result and, on OK, the item. The main window sets it.
    std::function<int(TVoceListino& item, int currency)> ShowPriceList;

    TStringGrid* GridPreventivo = nullptr;
    TLabel* LabelTotale = nullptr;
    TEdit* Totale = nullptr;
    TComboBox* Valuta = nullptr;
    TLabel* LabelNote = nullptr;
    TEdit* Note[3] = {};

private:
    TDatiPreventivo* estimate() const;
    bool IsItemRow(int row) const { return row >= 1 && row < GridPreventivo->RowCount - 1; }
    bool IsHandRow(int row) const;
    void FormatCell(int col, int row);
    void NoteChange(int index);
    void SelectOnly(int col, int row);
    void FitColumns();

    TProgetto* project_ = nullptr;
    bool fillingNotes_ = false;
    int lastCol_ = -1, lastRow_ = -1;  // the last cell selected for editing
};
