#pragma once
// The "Preventivo" page of the main window: the project's estimate as an
// editable grid of nine columns, the grand total, the estimate currency and
// three notes lines. Row 0 is the header (painted, its cells stay empty),
// rows 1..N the estimate rows in order, and one empty trailing row through
// which the person adds an item from the price list.
#include <functional>

#include "document/estimate_amounts.h"
#include "platform/extctrls.h"
#include "platform/grids.h"
#include "platform/stdctrls.h"

class TProgetto;
class TDatiPreventivo;

constexpr int EstimateColumns = 9;
extern const char* const EstimateHeaders[EstimateColumns];

class TPaginaPreventivo : public TPanel, public TEstimateView {
public:
    explicit TPaginaPreventivo(TComponent* owner);

    // The project whose estimate the page shows (not owned).
    void SetProject(TProgetto* project) { project_ = project; }

    void BuildEstimate() override;
    void FillEstimateRow();
    void SumEstimate();
    AnsiString ItemRefusal(const TVoceListino& item, TCampoVoce* field = nullptr) const override;
    // Adds the item; false (a warning shown, nothing changed) when refused.
    bool AddEstimateItem(const TVoceListino& item) override;
    void BEliminaPreventivoClick(TObject* Sender);
    // Whether "&Elimina linea preventivo" would remove the selection's top row.
    bool CanRemoveSelectedRow() const;
    // Whether the person may type into the cell: the minutes, quantity and
    // unit price of every item row, and the texts of a hand-added row.
    // Every cell can be chosen; the others show their text only.
    bool IsEditableCell(int col, int row) const;
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

    TStringGrid* GridPreventivo = nullptr;
    TLabel* LabelTotale = nullptr;
    TEdit* Totale = nullptr;
    TComboBox* Valuta = nullptr;
    TLabel* LabelNote = nullptr;
    TEdit* Note[3] = {};

    int32_t ShownRowCount() const override { return GridPreventivo->RowCount; }
    AnsiString NoteText(int index) const override { return Note[index]->Text.Get(); }

private:
    TDatiPreventivo* estimate() const;
    bool IsItemRow(int row) const { return row >= 1 && row < GridPreventivo->RowCount - 1; }
    bool IsHandRow(int row) const;
    void FormatCell(int col, int row);
    // What each column holds; the unit price to the currency's last digit.
    void DeclareColumns(int currency);
    // The currency an item's price is in: its own, else the estimate's.
    int ItemCurrency(const TVoceListino& item) const;
    void NoteChange(int index);
    void SelectOnly(int col, int row);
    void FitColumns();

    TProgetto* project_ = nullptr;
    bool fillingNotes_ = false;
    int lastCol_ = -1, lastRow_ = -1;  // the last cell selected for editing
};
