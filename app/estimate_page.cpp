#include "app/estimate_page.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <tuple>
#include <utility>

#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/estimate.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/sysutils.h"

const char* const EstimateHeaders[EstimateColumns] = {"Codice",      "Articolo",       "Marca",
                                                      "Descrizione", "Instal. (min.)", "U.M.",
                                                      "Quantità",    "Prezzo U.",      "Prezzo T."};

namespace {

constexpr int ColCode = 0, ColArticle = 1, ColBrand = 2, ColDescription = 3, ColMinutes = 4, ColUnit = 5,
              ColQuantity = 6, ColPrice = 7, ColTotal = 8;
// The columns' usual widths, the room a cell keeps beside its text (it is
// drawn 2 pixels in), and the grid's and the page's usual widths.
constexpr int LeastColumnWidths[EstimateColumns] = {80, 124, 60, 124, 76, 40, 62, 80, 80};
constexpr int CellTextRoom = 6;
constexpr int GridLeastWidth = 752;
constexpr int PageLeastWidth = 760;

AnsiString Cut(const AnsiString& text, int size) {
    return text.size() > size_t(size - 1) ? text.substr(0, size - 1) : text;
}

AnsiString CurrencyMask(int currency) { return TOpzioni::GetCurrencyFormat(currency); }

AnsiString FormatTotal(double quantity, double price, int currency) {
    return FormatAmountWide(FormatFloat(CurrencyMask(currency), EstimateRowTotal(quantity, price, currency)));
}

// The estimate grid: its editor opens only on the cells the page lets the
// person type into.
class TEstimateGrid : public TStringGrid {
public:
    TEstimateGrid(TComponent* owner, const TPaginaPreventivo* page) : TStringGrid(owner), page_(page) {}

protected:
    bool CanEditShow() const override {
        return TStringGrid::CanEditShow() && page_->IsEditableCell(Col, Row);
    }
    // The header is painted, its cells stay empty: a refusal names the
    // column by its caption all the same.
    AnsiString CellCaption(int col, int row) const override {
        return row == 0 && col >= 0 && col < EstimateColumns ? AnsiString(EstimateHeaders[col])
                                                             : TStringGrid::CellCaption(col, row);
    }

private:
    const TPaginaPreventivo* page_;
};

}  // namespace

namespace {

void Warn(const AnsiString& text) {
    Application->MessageBox(text, ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
}

// The figure a text that the rule takes stands for; `empty` for no text.
double TakenFigure(const TNumberRule& rule, const AnsiString& text, double empty) {
    double value = empty;
    rule.Accepts(text, &value);
    return value;
}

}  // namespace

// ---------------------------------------------------------------- the page

TPaginaPreventivo::TPaginaPreventivo(TComponent* owner) : TPanel(owner) {
    Caption = "";
    BevelOuter = bvNone;
    Visible = false;
    SetBounds(0, 0, PageLeastWidth, 480);

    GridPreventivo = new TEstimateGrid(this, this);
    GridPreventivo->Parent = this;
    GridPreventivo->SetBounds(4, 4, GridLeastWidth, 360);
    GridPreventivo->ColCount = EstimateColumns;
    GridPreventivo->RowCount = 2;
    GridPreventivo->FixedCols = 0;
    GridPreventivo->FixedRows = 1;
    GridPreventivo->FixedColor = clWhite;
    GridPreventivo->ScrollBars = ssBoth;
    GridPreventivo->DefaultRowHeight = 16;
    GridPreventivo->Font->Height = -11;
    GridPreventivo->Options =
        TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing};
    for (int c = 0; c < EstimateColumns; ++c) GridPreventivo->ColWidths[c] = LeastColumnWidths[c];
    GridPreventivo->OnDrawCell = Handler(this, &TPaginaPreventivo::DrawEstimateHeader);
    GridPreventivo->OnExit = Handler(this, &TPaginaPreventivo::FormatEstimateCell);
    GridPreventivo->OnSelectCell = Handler(this, &TPaginaPreventivo::EstimateGridSelectCell);
    GridPreventivo->OnSetEditText = Handler(this, &TPaginaPreventivo::EstimateGridSetEditText);
    DeclareColumns(CurrencyEuro);

    LabelTotale = new TLabel(this);
    LabelTotale->Parent = this;
    LabelTotale->SetBounds(4, 372, 132, 16);
    LabelTotale->AutoSize = false;
    LabelTotale->Caption = "Totale preventivo:";
    LabelTotale->Font->Style = TFontStyles{fsBold};
    Totale = new TEdit(this);
    Totale->Parent = this;
    Totale->SetBounds(140, 368, 81, 21);
    Totale->ReadOnly = true;
    Valuta = new TComboBox(this);
    Valuta->Parent = this;
    Valuta->SetBounds(228, 368, 81, 21);
    TOpzioni::FillMainCurrencies(*Valuta->Items);
    Valuta->OnChange = Handler(this, &TPaginaPreventivo::ChangeEstimateCurrency);

    LabelNote = new TLabel(this);
    LabelNote->Parent = this;
    LabelNote->SetBounds(4, 398, 48, 16);
    LabelNote->AutoSize = false;
    LabelNote->Caption = "Note:";
    LabelNote->Font->Style = TFontStyles{fsBold};
    for (int i = 0; i < 3; ++i) {
        Note[i] = new TEdit(this);
        Note[i]->Parent = this;
        Note[i]->SetBounds(56, 396 + i * 26, 700, 21);
        Note[i]->MaxLength = EstimateNotesSize - 1;
        Note[i]->Holds(TNumberRule::Text(), "Note");
        Note[i]->OnChange = [this, i](TObject*) { NoteChange(i); };
    }
}

TDatiPreventivo* TPaginaPreventivo::estimate() const { return project_ ? project_->Estimate.get() : nullptr; }

bool TPaginaPreventivo::IsHandRow(int row) const {
    const TDatiPreventivo* e = estimate();
    return e && IsItemRow(row) && row > e->LabourPosition + 1;
}

void TPaginaPreventivo::NoteChange(int index) {
    TDatiPreventivo* e = estimate();
    if (!e) return;
    e->Notes[index] = Cut(Note[index]->Text, EstimateNotesSize);
    if (!fillingNotes_) project_->Modified = true;
}

void TPaginaPreventivo::BuildEstimate() {
    TDatiPreventivo* e = estimate();
    if (!e) return;
    if (project_->EstimateOutOfDate) {
        e->BuildFromCells();
        project_->EstimateOutOfDate = false;
    }
    TStringGrid& g = *GridPreventivo;
    DeclareColumns(e->Currency);
    g.RowCount = e->Count() + 2;
    const AnsiString mask = CurrencyMask(e->Currency);
    int row = 1;
    for (const TRigaPreventivo& r : e->Rows()) {
        g.Cells[ColCode][row] = r.Code;
        g.Cells[ColArticle][row] = r.Article;
        g.Cells[ColBrand][row] = r.Brand;
        g.Cells[ColDescription][row] = r.Description;
        g.Cells[ColMinutes][row] =
            r.Code == LabourCode ? AnsiString() : FormatAmountNarrow(FloatToStr(r.Minutes));
        g.Cells[ColUnit][row] = r.Unit;
        g.Cells[ColQuantity][row] = FormatAmount(FormatFloat("##0.#", r.Quantity));
        g.Cells[ColPrice][row] = FormatAmountWide(FormatFloat(mask, double(r.UnitPrice) + 0.001));
        g.Cells[ColTotal][row] = FormatTotal(r.Quantity, r.UnitPrice, e->Currency);
        ++row;
    }
    g.ClearRow(row);
    FitColumns();
    SumEstimate();
    fillingNotes_ = true;
    for (int i = 0; i < 3; ++i) Note[i]->Text = e->Notes[i];
    fillingNotes_ = false;
    Valuta->Text = TOpzioni::GetCurrencyName(e->Currency);
}

void TPaginaPreventivo::FillEstimateRow() {
    TDatiPreventivo* e = estimate();
    if (!e || !e->HasRow(LabourCode)) return;
    TRigaPreventivo labour;
    e->UpdateLabourRow(labour);
    const int row = e->LabourPosition + 1;
    if (row < 1 || row >= GridPreventivo->RowCount) return;
    GridPreventivo->Cells[ColQuantity][row] = FormatAmount(FormatFloat("#0.#", labour.Quantity));
    GridPreventivo->Cells[ColTotal][row] = FormatTotal(labour.Quantity, labour.UnitPrice, e->Currency);
}

void TPaginaPreventivo::SumEstimate() {
    TDatiPreventivo* e = estimate();
    if (!e) return;
    // The sum of the row totals as the rows show them, counted in cents.
    double units = 0.0;
    for (const TRigaPreventivo& r : e->Rows()) units += RowTotalUnits(r.Quantity, r.UnitPrice, e->Currency);
    Totale->Text = PadLeft(FormatFloat(CurrencyMask(e->Currency), UnitsToAmount(units, e->Currency)), 11);
}

int TPaginaPreventivo::ItemCurrency(const TVoceListino& item) const {
    const int currency = TOpzioni::GetCurrencyIndex(item.CurrencyName);
    const TDatiPreventivo* e = estimate();
    return currency >= 0 ? currency : e ? e->Currency : CurrencyEuro;
}

AnsiString TPaginaPreventivo::ItemRefusal(const TVoceListino& item, TCampoVoce* field) const {
    const TDatiPreventivo* e = estimate();
    if (field) *field = TCampoVoce::Codice;
    const AnsiString code = Cut(item.Code.substr(0, item.Code.find('^')), EstimateCodeSize);
    if (code.empty()) return "E' necessario specificare il codice.";
    if (e && e->HasRow(code)) return "Il codice digitato è già esistente.";
    // The figures as the price list's fields take them, in the same words.
    const TItemFigureRules rules = ItemFigureRules(ItemCurrency(item));
    const std::tuple<TCampoVoce, const TNumberRule*, const char*, const AnsiString*> figures[] = {
        {TCampoVoce::Quantita, &rules.Quantity, rules.QuantityName, &item.Quantity},
        {TCampoVoce::Prezzo, &rules.Price, rules.PriceName, &item.Price},
        {TCampoVoce::Installazione, &rules.Minutes, rules.MinutesName, &item.Installation}};
    for (const auto& [which, rule, name, text] : figures)
        if (AnsiString refusal = rule->Refusal(name, *text); !refusal.empty()) {
            if (field) *field = which;
            return refusal;
        }
    return AnsiString();
}

bool TPaginaPreventivo::AddEstimateItem(const TVoceListino& item) {
    TDatiPreventivo* e = estimate();
    if (!e) return false;
    if (const AnsiString refusal = ItemRefusal(item); !refusal.empty()) {
        Warn(refusal);
        return false;
    }
    // Every field is read before the estimate or the grid changes.
    TRigaPreventivo r;
    r.Code = Cut(item.Code.substr(0, item.Code.find('^')), EstimateCodeSize);
    r.Article = Cut(item.Article, EstimateArticleSize);
    r.Description = Cut(item.Description, EstimateDescriptionSize);
    r.Brand = Cut(item.Brand, EstimateBrandSize);
    r.Unit = UnitPieces;
    const int currency = TOpzioni::GetCurrencyIndex(item.CurrencyName);
    const TItemFigureRules rules = ItemFigureRules(ItemCurrency(item));
    r.Quantity = ShownQuantity(TakenFigure(rules.Quantity, item.Quantity, 1.0));
    r.UnitPrice = static_cast<float>(TakenFigure(rules.Price, item.Price, 0.0));
    r.Minutes = static_cast<float>(TakenFigure(rules.Minutes, item.Installation, 0.0));
    if (currency >= 0 && currency != e->Currency) {
        const float converted =
            Opzioni ? Opzioni->ConvertPrice(r.UnitPrice, currency, e->Currency) : LevelNone;
        if (converted <= -500001.0f)
            Application->MessageBox("Manca il fattore di conversione tra la valuta " + item.CurrencyName +
                                        " e la valuta " + TOpzioni::GetCurrencyName(e->Currency) +
                                        ". E' stato applicato il fattore 1.",
                                    ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
        else
            r.UnitPrice = converted;
    }
    r.UnitPrice = ShownPrice(r.UnitPrice, e->Currency);

    e->AddQuantity(r);
    // The project file keeps the estimate's rows: an added one is a change to save.
    project_->Modified = true;
    TStringGrid& g = *GridPreventivo;
    const int row = g.RowCount - 1;
    g.RowCount = g.RowCount + 1;
    g.ClearRow(row + 1);
    g.Cells[ColCode][row] = r.Code;
    g.Cells[ColArticle][row] = r.Article;
    g.Cells[ColBrand][row] = r.Brand;
    g.Cells[ColDescription][row] = r.Description;
    g.Cells[ColMinutes][row] = FormatAmountNarrow(FloatToStr(r.Minutes));
    g.Cells[ColUnit][row] = r.Unit;
    g.Cells[ColQuantity][row] = FormatAmount(FormatFloat("#0.#", r.Quantity));
    g.Cells[ColPrice][row] = FormatAmountWide(FormatFloat(CurrencyMask(e->Currency), r.UnitPrice));
    g.Cells[ColTotal][row] = FormatTotal(r.Quantity, r.UnitPrice, e->Currency);
    FitColumns();
    FillEstimateRow();
    SumEstimate();
    return true;
}

void TPaginaPreventivo::FitColumns() {
    // Each column is as wide as its longest text in the screen's font (a
    // code of 19 characters, a description of 29), never narrower than its
    // usual width; the grid grows to show them all, as far as its parent
    // has room, and scrolls sideways beyond that.
    TStringGrid& g = *GridPreventivo;
    g.Canvas->Font->Assign(*g.Font);
    int needed = 0;
    for (int c = 0; c < EstimateColumns; ++c) {
        int width = std::max(LeastColumnWidths[c], g.Canvas->TextWidth(EstimateHeaders[c]) + CellTextRoom);
        for (int row = 1; row < g.RowCount; ++row)
            width = std::max(width, g.Canvas->TextWidth(g.Cells[c][row]) + CellTextRoom);
        g.ColWidths[c] = width;
        needed += width + g.GridLineWidth;
    }
    // The border on both sides and the vertical scroll bar.
    needed += 2 * 2 + 16;
    int room = needed;
    if (TWinControl* parent = Parent)
        room = std::max(GridLeastWidth, parent->ClientWidth - Left - 2 * g.Left);
    // Through SetBounds, so that the grid's window lays its inside out by
    // the new client size.
    g.SetBounds(g.Left, g.Top, std::clamp(needed, GridLeastWidth, room), g.Height);
    SetBounds(Left, Top, std::max(PageLeastWidth, g.Left + g.Width + g.Left), Height);
}

bool TPaginaPreventivo::IsEditableCell(int col, int row) const {
    if (!estimate() || !IsItemRow(row)) return false;
    const bool numeric = col == ColMinutes || col == ColQuantity || col == ColPrice;
    return numeric || (IsHandRow(row) && col >= ColArticle && col <= ColPrice);
}

bool TPaginaPreventivo::CanRemoveSelectedRow() const {
    return IsHandRow(GridPreventivo->Selection.Get().Top);
}

void TPaginaPreventivo::BEliminaPreventivoClick(TObject*) {
    TDatiPreventivo* e = estimate();
    if (!e) return;
    TStringGrid& g = *GridPreventivo;
    const int r = g.Selection.Get().Top;
    if (!IsHandRow(r)) return;
    e->RemoveRow(g.Cells[ColCode][r]);
    project_->Modified = true;
    for (int row = r; row < g.RowCount - 1; ++row)
        for (int c = 0; c < EstimateColumns; ++c) g.Cells[c][row] = g.Cells[c][row + 1];
    g.RowCount = g.RowCount - 1;
    FillEstimateRow();
    SumEstimate();
    if (g.Row >= g.RowCount - 1 && g.RowCount > 2) SelectOnly(g.Col, g.RowCount - 2);
}

void TPaginaPreventivo::DeclareColumns(int currency) {
    TStringGrid& g = *GridPreventivo;
    // The total is worked out, never typed.
    for (int c : {ColCode, ColArticle, ColBrand, ColDescription, ColUnit, ColTotal})
        g.ColumnHolds(c, TNumberRule::Text());
    g.ColumnHolds(ColMinutes, EstimateMinutesRule());
    g.ColumnHolds(ColQuantity, EstimateQuantityRule());
    g.ColumnHolds(ColPrice, EstimatePriceRule(currency));
}

// ---------------------------------------------------------------- grid events

void TPaginaPreventivo::DrawEstimateHeader(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState) {
    if (ARow == 0 && ACol < EstimateColumns)
        GridPreventivo->Canvas->TextOut(Rect.Left, Rect.Top, EstimateHeaders[ACol]);
}

void TPaginaPreventivo::FormatCell(int col, int row) {
    TDatiPreventivo* e = estimate();
    if (!e || !IsItemRow(row) || row > e->Count()) return;
    // The cell left shows the figure its row holds, in the column's form.
    const TRigaPreventivo& r = e->Rows()[static_cast<size_t>(row - 1)];
    TStringGrid& g = *GridPreventivo;
    if (col == ColPrice)
        g.Cells[col][row] = FormatAmountWide(FormatFloat(CurrencyMask(e->Currency), r.UnitPrice));
    else if (col == ColQuantity)
        g.Cells[col][row] = FormatAmount(FormatFloat("#0.#", r.Quantity));
    else if (col == ColMinutes && r.Code != LabourCode)
        g.Cells[col][row] = FormatAmountNarrow(FloatToStr(std::trunc(r.Minutes)));
}

void TPaginaPreventivo::FormatEstimateCell(TObject*) { FormatCell(GridPreventivo->Col, GridPreventivo->Row); }

// Moves the current cell without asking the select-cell event, which may be
// running.
void TPaginaPreventivo::SelectOnly(int col, int row) {
    GridPreventivo->Selection = TGridRect{col, row, col, row};
}

void TPaginaPreventivo::PlaceCurrentCell(int col, int row) {
    TStringGrid& g = *GridPreventivo;
    col = std::clamp(col, 0, g.ColCount - 1);
    row = std::clamp(row, std::min<int>(g.FixedRows, g.RowCount - 1), g.RowCount - 1);
    SelectOnly(col, row);
    lastCol_ = IsItemRow(row) ? col : -1;
    lastRow_ = IsItemRow(row) ? row : -1;
}

void TPaginaPreventivo::EstimateGridSelectCell(TObject*, int ACol, int ARow, bool& CanSelect) {
    TDatiPreventivo* e = estimate();
    CanSelect = false;
    if (!e) return;
    TStringGrid& g = *GridPreventivo;
    if (lastCol_ == ColMinutes || lastCol_ == ColQuantity || lastCol_ == ColPrice)
        FormatCell(lastCol_, lastRow_);

    if (ARow != g.RowCount - 1) {
        // A click selects the cell clicked, whichever it is; the editor
        // opens only where IsEditableCell allows typing.
        lastCol_ = ACol;
        lastRow_ = ARow;
        CanSelect = true;
        return;
    }

    // The trailing row: a new item from the price list.
    const int rowsBefore = g.RowCount;
    TVoceListino item;
    item.Quantity = "1";
    item.CurrencyName = TOpzioni::GetCurrencyName(e->Currency);
    const int result = ShowPriceList ? ShowPriceList(item, e->Currency) : 0;
    const int targetCol = ACol == ColCode || ACol == ColTotal ? ColQuantity : ACol;
    if (result == 1 && !item.Code.empty()) {
        if (!AddEstimateItem(item)) return;
        if (targetCol != ACol || g.RowCount != rowsBefore) {
            SelectOnly(targetCol, g.RowCount - 2);
            return;
        }
        lastCol_ = ACol;
        lastRow_ = ARow;
        CanSelect = true;
        return;
    }
    if (g.RowCount != rowsBefore) SelectOnly(targetCol, g.RowCount - 2);
}

void TPaginaPreventivo::EstimateGridSetEditText(TObject*, int ACol, int ARow, const AnsiString& Value) {
    TDatiPreventivo* e = estimate();
    if (!e || !IsItemRow(ARow)) return;
    TStringGrid& g = *GridPreventivo;
    // A text the column does not take changes nothing: the person is told
    // when leaving the cell, and the cell gets back the figure before.
    if (!g.CellRule(ACol, ARow).Accepts(Value)) return;
    project_->Modified = true;
    TRigaPreventivo r;
    r.Code = Cut(g.Cells[ColCode][ARow], EstimateCodeSize);
    r.Article = Cut(g.Cells[ColArticle][ARow], EstimateArticleSize);
    r.Brand = Cut(g.Cells[ColBrand][ARow], EstimateBrandSize);
    r.Description = Cut(g.Cells[ColDescription][ARow], EstimateDescriptionSize);
    r.Unit = Cut(g.Cells[ColUnit][ARow], EstimateUnitSize);
    r.Minutes = static_cast<float>(std::trunc(ReadAmount(g.Cells[ColMinutes][ARow])));
    r.Quantity = ShownQuantity(ReadAmount(g.Cells[ColQuantity][ARow]));
    r.UnitPrice = ShownPrice(ReadAmount(g.Cells[ColPrice][ARow]), e->Currency);
    g.Cells[ColTotal][ARow] = FormatTotal(r.Quantity, r.UnitPrice, e->Currency);
    e->SetRow(r);
    if (r.Code != LabourCode) FillEstimateRow();
    SumEstimate();
}

void TPaginaPreventivo::ChangeEstimateCurrency(TObject*) {
    TDatiPreventivo* e = estimate();
    if (!e) return;
    const int next = TOpzioni::GetCurrencyIndex(Valuta->Text);
    const int old = e->Currency;
    if (next < 0 || next == old) return;
    // The currency and the converted prices are part of the saved estimate.
    project_->Modified = true;
    const float probe = Opzioni ? Opzioni->ConvertPrice(100.0f, old, next) : LevelNone;
    if (probe <= -500001.0f) {
        Application->MessageBox("Manca il fattore di conversione tra la valuta " +
                                    TOpzioni::GetCurrencyName(old) + " e la valuta " +
                                    TOpzioni::GetCurrencyName(next) + ". E' stato applicato il fattore 1.",
                                ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
        // The prices keep their numbers, shown and totalled in the new currency.
        e->Currency = static_cast<uint8_t>(next);
        BuildEstimate();
        return;
    }
    std::vector<TRigaPreventivo> rows = e->Rows();
    for (TRigaPreventivo& r : rows) {
        const float converted = Opzioni->ConvertPrice(r.UnitPrice, old, next);
        r.UnitPrice = ShownPrice(converted, next);
        e->SetRow(r);
    }
    e->Currency = static_cast<uint8_t>(next);
    BuildEstimate();
    FillEstimateRow();
    SumEstimate();
}
