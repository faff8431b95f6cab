// The estimate page and the price-list form in real windows: a quantity
// typed into the grid's editor re-totals the row, the labour and the
// estimate. Screenshots: estimate-page.png and price-list.png in
// test-artefacts/ of the build folder.
#include "app/estimate_page.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLineEdit>
#include <memory>
#include <string>
#include <vector>

#include "cells/filters.h"
#include "core/libraries.h"
#include "core/options.h"
#include "dialogs/price_list.h"
#include "document/estimate.h"
#include "document/project.h"
#include "platform/forms.h"
#include "platform/qt/qt_paint.h"
#include "qt/label_clash.h"
#include "qt/qt_test_support.h"
#include "qt/text_fit.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

using qttest::WidgetOf;
using qttest::WindowOf;

namespace {

TRigaPreventivo Row(const char* code, const char* article, const char* unit, float quantity, float price,
                    float minutes) {
    TRigaPreventivo r;
    r.Code = code;
    r.Article = article;
    r.Brand = "Ov";
    r.Description = code == AnsiString(LabourCode) ? "Manodopera" : "Derivazione";
    r.Unit = unit;
    r.Quantity = quantity;
    r.UnitPrice = price;
    r.Minutes = minutes;
    return r;
}

void Shoot(TControl* window, const char* name) {
    qttest::Settle();
    if (auto* w = dynamic_cast<TWinControl*>(window))
        EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(w)), "") << name;
    EXPECT_EQ(qttest::Describe(qttest::CutTexts(WindowOf(window))), "") << name;
    const QImage shot = WindowOf(window)->grab().toImage();
    EXPECT_GT(qttest::Colours(shot), 3);
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact(name))));
}

// Italian separators and a project whose estimate is empty, in euro.
class QtEstimatePage : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings().DecimalSeparator = ',';
        FormatSettings().ThousandSeparator = '.';
        project.Reset(false);
        e.Clear();
        e.Currency = CurrencyEuro;
    }
    // The labour row at that position of the estimate, brought up to date.
    void LabourAt(int32_t position) {
        e.LabourPosition = position;
        TRigaPreventivo labour;
        e.UpdateLabourRow(labour);
    }
    // The project's estimate page in a form "Preventivo" of that width,
    // shown; the page filled before it shows or, as the main window fills
    // it on selection, while shown.
    enum class TFill { BeforeShowing, WhileShown };
    TPaginaPreventivo* ShowPage(int width, TFill fill) {
        project.EstimateOutOfDate = false;
        form = std::make_unique<TForm>(nullptr);
        form->Caption = "Preventivo";
        form->SetBounds(0, 0, width, 520);
        auto* page = new TPaginaPreventivo(form.get());
        page->Parent = form.get();
        page->SetProject(&project);
        if (fill == TFill::BeforeShowing) page->BuildEstimate();
        page->Visible = true;
        form->Show();
        qttest::Settle();
        if (fill == TFill::WhileShown) {
            page->BuildEstimate();
            qttest::Settle();
        }
        return page;
    }
    ScopedGlobals globals;
    TProgetto project{nullptr};
    TDatiPreventivo& e = *project.Estimate;
    std::unique_ptr<TForm> form;
};

}  // namespace

TEST_F(QtEstimatePage, TypedQuantityRetotalsRowLabourAndEstimate) {
    e.AddQuantity(Row("DR-410", "Derivatore 4 uscite", UnitPieces, 1.0f, 12.5f, 5.0f));
    e.AddQuantity(Row("CX-17", "Cavo coassiale", UnitMetres, 12.57f, 0.8f, 2.0f));
    e.AddQuantity(Row(LabourCode, "", UnitHours, 0.0f, 30.0f, 0.0f));
    e.Notes[0] = "Prezzi IVA esclusa";
    LabourAt(2);
    TPaginaPreventivo* page = ShowPage(780, TFill::BeforeShowing);

    TStringGrid* grid = page->GridPreventivo;
    auto* line = qttest::EditCell(grid, 6, 1);
    ASSERT_EQ(grid->Col, 6);
    ASSERT_EQ(grid->Row, 1);
    ASSERT_NE(line, nullptr);
    QTest::keyClicks(line, "3");
    EXPECT_EQ(Trim(grid->Cells[8][1]), "37,50");
    EXPECT_EQ(Trim(grid->Cells[6][3]), "0,7");
    // 37,50 + the cable's 12,6 x 0,80 = 10,08 + 0,7 hours x 30,00 = 21,00.
    EXPECT_EQ(Trim(page->Totale->Text.Get()), "68,58");
    EXPECT_TRUE(project.Modified);
    // Leaving the cell pads the typed quantity.
    QTest::keyClick(line, Qt::Key_Down);
    qttest::Settle();
    EXPECT_EQ(grid->Row, 2);
    EXPECT_EQ(AnsiString(grid->Cells[6][1]), FormatAmount("3"));
    Shoot(form.get(), "estimate-page.png");

    // "-5" over the quantity 3 and Invio: one box names the column, the
    // text and what is allowed; the 3 stays, and so do the row's price and
    // the total. "abc" over the price 12,50 and Invio: the same, 12,50 stays.
    qttest::BoxWatch boxes;
    QTest::keyClick(WidgetOf(grid), Qt::Key_Up);
    ASSERT_TRUE(qttest::WaitUntil([&] { return grid->Row == 1; }));
    struct Typed {
        int col;
        const char* text;
        const char* kept;
        const char* said;
    } typed[] = {
        {6, "-5", "3",
         "Quantità, riga 1: \"-5\" non è ammesso: ammesso un numero da 0 a 99.999,9 con al più 1 decimale."},
        {7, "abc", "12,50",
         "Prezzo U., riga 1: \"abc\" non è ammesso: ammesso un numero da 0 a 99.999,99 con al più 2 decimali."},
    };
    for (const Typed& t : typed) {
        grid->SetFocus();
        qttest::ClickCell(grid, t.col, 1);
        QTest::keyClick(WidgetOf(grid), Qt::Key_F2);
        line = qobject_cast<QLineEdit*>(WindowOf(grid->InplaceEditor()));
        ASSERT_NE(line, nullptr);
        line->selectAll();
        QTest::keyClicks(line, t.text);
        QTest::keyClick(line, Qt::Key_Return);
        ASSERT_TRUE(qttest::WaitUntil([&] { return boxes.Texts.size() == 1; })) << t.text;
        EXPECT_EQ(boxes.Texts[0], t.said);
        boxes.Texts.clear();
        qttest::Settle();
        EXPECT_EQ(Trim(grid->Cells[t.col][1]), t.kept) << t.text;
        EXPECT_EQ(grid->Col, t.col);
        EXPECT_EQ(grid->Row, 1);
        EXPECT_TRUE(form->Visible);
        EXPECT_EQ(Trim(grid->Cells[8][1]), "37,50") << t.text;
        EXPECT_EQ(Trim(page->Totale->Text.Get()), "68,58") << t.text;
        EXPECT_FLOAT_EQ(e.Rows()[0].Quantity, 3.0f);
        EXPECT_FLOAT_EQ(e.Rows()[0].UnitPrice, 12.5f);
        // Leaving the cell now says nothing more.
        QTest::keyClick(qttest::KeyTarget(WindowOf(form.get())), Qt::Key_Down);
        qttest::Settle();
        EXPECT_TRUE(boxes.Texts.empty()) << t.text;
    }
}

TEST_F(QtEstimatePage, EveryTextShowsWholeInItsColumn) {
    // Fields as long as the estimate keeps them: a code of 19 characters,
    // an article and a description of 29.
    TRigaPreventivo wide =
        Row("GFA-TM-11-114-WWMMX", "Amplif. finale 1x1 114 dB UHF", UnitPieces, 12.0f, 1280.0f, 30.0f);
    wide.Description = "Derivatore terminale 2 uscite";
    wide.Brand = "Marca con nome lungo";
    e.AddQuantity(wide);
    e.AddQuantity(Row("CX-17", "Cavo coassiale", UnitMetres, 105.0f, 0.8f, 2.0f));
    TPaginaPreventivo* page = ShowPage(1000, TFill::WhileShown);

    TStringGrid* grid = page->GridPreventivo;
    const QFontMetrics metrics(ovqt::ToQFont(*grid->Font));
    int used = 0;
    for (int c = 0; c < EstimateColumns; ++c) {
        for (int row = 0; row < grid->RowCount; ++row) {
            const AnsiString text =
                row == 0 ? AnsiString(EstimateHeaders[c]) : AnsiString(grid->Cells[c][row]);
            EXPECT_LE(2 + metrics.horizontalAdvance(QString::fromStdString(text)), grid->ColWidths[c])
                << "column " << c << ", row " << row << ": " << text;
        }
        used += grid->ColWidths[c] + grid->GridLineWidth;
    }
    // Every column in view, beside the vertical scroll bar's room.
    EXPECT_LE(used, grid->ClientWidth - 16);
    // The window draws them all: its cell area follows the grid's new width.
    EXPECT_GE(WidgetOf(grid)->width(), used);
    EXPECT_LE(page->Left + page->Width, form->ClientWidth);
    Shoot(form.get(), "estimate-page-long-texts.png");
}

TEST_F(QtEstimatePage, PriceListFormShowsALibraryElement) {
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    const std::string path = globals.Dir().File("Varne.alb");
    ASSERT_TRUE(TLibreria::CreateFile(path));
    auto* library = new TLibreria;
    library->fileName = path;
    libraries.Get().Append(std::unique_ptr<TLibreria>(library));
    ASSERT_TRUE(library->Open(true));
    for (const char* code : {"F1", "F2"}) {
        TFiltroS cell(nullptr, 0, 0, 0, 0);
        cell.Category = "Filtri";
        cell.Code = code;
        cell.Article = "Filtro canale";
        cell.Brand = "Ov";
        cell.Description = "Filtro passa banda";
        cell.Price = 1234.5f;
        cell.InstallMinutes = 10;
        TMemoryStream record;
        cell.Save(record, LibraryVersion);
        ASSERT_TRUE(library->AppendEntry(record.Bytes()));
    }
    library->Close();

    TDatiListino form(nullptr);
    form.Quantita->Text = "1";
    form.Show();
    qttest::Settle();
    TTreeNode* node = nullptr;
    for (TTreeNode* n = form.TreeComponenti->Items->GetFirstNode(); n; n = n->GetNext())
        if (n->Text.Get() == "F1") node = n;
    ASSERT_NE(node, nullptr);
    form.TreeComponenti->FullExpand();
    form.TreeComponenti->Selected = node;
    form.TreeComponentiDblClick(form.TreeComponenti);
    EXPECT_EQ(form.Prezzo->Text.Get(), "1.234,50");
    auto* price = qobject_cast<QLineEdit*>(WidgetOf(form.Prezzo));
    ASSERT_NE(price, nullptr);
    EXPECT_EQ(price->text().toStdString(), "1.234,50");
    Shoot(&form, "price-list.png");
}

namespace {

// How often a cell's inner top line changes colour from one pixel to the
// next: the dotted focus mark draws there, dot by dot; a plain or selected
// cell has one colour there (the text starts lower).
int MarkPixels(TStringGrid* grid, int col, int row) {
    qttest::Settle();
    const QImage shot = WidgetOf(grid)->grab().toImage();
    const TRect cell = grid->CellRect(col, row);
    int changes = 0;
    for (int x = cell.Left + 2; x < cell.Right - 3; ++x)
        if (shot.pixel(x, cell.Top + 1) != shot.pixel(x + 1, cell.Top + 1)) ++changes;
    return changes;
}

// The widget the keys of a form go to, also while the offscreen platform,
// after another window closed, names no active window.
QWidget* KeysOf(TForm* form) {
    if (QWidget* focused = QApplication::focusWidget()) return focused;
    QWidget* window = WindowOf(form);
    return window->focusWidget() ? window->focusWidget() : window;
}

}  // namespace

// "9" typed over a quantity of 5 and Esc: the 5 and its totals come back.
// The grid that has the keyboard shows its focus mark, also when the focus
// comes back to it after another form was closed; a grid without the
// keyboard shows none.
TEST_F(QtEstimatePage, EscPutsBackTheCellAndTheFocusedGridShowsItsMark) {
    e.AddQuantity(Row("DR-410", "Derivatore 4 uscite", UnitPieces, 5.0f, 12.5f, 5.0f));
    e.AddQuantity(Row(LabourCode, "", UnitHours, 0.0f, 30.0f, 0.0f));
    LabourAt(1);
    TPaginaPreventivo* page = ShowPage(780, TFill::BeforeShowing);
    TStringGrid* grid = page->GridPreventivo;
    const AnsiString quantity = grid->Cells[6][1];
    const AnsiString total = page->Totale->Text;
    const TRect cell = grid->CellRect(6, 1);
    QTest::mouseClick(WidgetOf(grid), Qt::LeftButton, {}, QPoint(cell.Left + 4, cell.Top + 4));
    ASSERT_TRUE(qttest::WaitUntil([&] { return grid->Col == 6 && grid->Row == 1 && grid->Focused(); }));
    EXPECT_GT(MarkPixels(grid, 6, 1), 4);

    QTest::keyClicks(qttest::FocusWidget(), "9");
    qttest::Settle();
    EXPECT_EQ(Trim(grid->Cells[6][1]), "9");
    EXPECT_NE(page->Totale->Text.Get(), total);
    QTest::keyClick(qttest::FocusWidget(), Qt::Key_Escape);
    qttest::Settle();
    EXPECT_EQ(AnsiString(grid->Cells[6][1]), quantity);
    EXPECT_EQ(page->Totale->Text.Get(), total);
    EXPECT_FALSE(grid->EditorMode);
    EXPECT_TRUE(form->Visible);

    // The keyboard on a notes line: no mark in the grid.
    page->Note[0]->SetFocus();
    qttest::Settle();
    EXPECT_EQ(MarkPixels(grid, 6, 1), 0);
    // Back in the grid, then another form shown and closed: the mark is there.
    QTest::mouseClick(WidgetOf(grid), Qt::LeftButton, {}, QPoint(cell.Left + 4, cell.Top + 4));
    ASSERT_TRUE(qttest::WaitUntil([&] { return grid->Focused(); }));
    TForm other(nullptr);
    other.SetBounds(100, 100, 200, 120);
    auto* close = new TButton(&other);
    close->Parent = &other;
    close->Caption = "Annulla";
    close->ModalResult = mrCancel;
    qttest::WhenReady([&] { return other.Visible && WindowOf(&other) && WindowOf(&other)->isVisible(); },
                      [&](bool) { QTest::mouseClick(WindowOf(close), Qt::LeftButton); });
    other.ShowModal();
    ASSERT_TRUE(qttest::WaitUntil([&] { return grid->Focused(); }));
    EXPECT_GT(MarkPixels(grid, 6, 1), 4);
    // A space typed now goes into the cell the mark shows.
    QTest::keyClicks(KeysOf(form.get()), " ");
    qttest::Settle();
    EXPECT_TRUE(grid->EditorMode);
    QTest::keyClick(KeysOf(form.get()), Qt::Key_Escape);
    qttest::Settle();
    EXPECT_EQ(AnsiString(grid->Cells[6][1]), quantity);
}

// "Listino componenti" starts on its first field that takes typing, the
// code, not on the read-only category: a typed character lands there.
TEST_F(QtEstimatePage, ThePriceListStartsOnAFieldThatTakesTyping) {
    TDatiListino form(nullptr);
    bool typed = false;
    qttest::WhenReady([&] { return form.Visible && WindowOf(&form) && WindowOf(&form)->isVisible(); },
                      [&](bool) {
                          qttest::Settle();
                          QTest::keyClicks(qttest::FocusWidget(), "K");
                          qttest::Settle();
                          typed = form.Codice->Text.Get() == "K";
                          EXPECT_EQ(form.FocusedControl(), form.Codice);
                          EXPECT_EQ(form.Categoria->Text.Get(), "");
                          form.ModalResult = mrCancel;
                      });
    TVoceListino item;
    form.Execute(item, CurrencyEuro);
    EXPECT_TRUE(typed);
}

// "Listino componenti" from the trailing row, typed as a person does: a
// quantity "abc" is refused on leaving it, the keyboard comes back and the 1
// before stays; an existing code is refused by "Ok" before the form closes,
// which keeps every entry and puts the keyboard on the code; the code
// mended, "Ok" adds the row.
TEST_F(QtEstimatePage, PriceListKeepsItsEntriesAfterARefusal) {
    e.AddQuantity(Row("DR-410", "Derivatore 4 uscite", UnitPieces, 5.0f, 12.5f, 5.0f));
    e.AddQuantity(Row(LabourCode, "", UnitHours, 0.0f, 30.0f, 0.0f));
    e.LabourPosition = 1;
    TRigaPreventivo labour;
    e.UpdateLabourRow(labour);
    project.EstimateOutOfDate = false;

    auto form = std::make_unique<TForm>(nullptr);
    form->Caption = "Preventivo";
    form->SetBounds(0, 0, 780, 520);
    auto* page = new TPaginaPreventivo(form.get());
    page->Parent = form.get();
    page->SetProject(&project);
    page->BuildEstimate();
    page->Visible = true;
    TDatiListino listino(nullptr);
    listino.AttachTo(page);
    form->Show();
    qttest::Settle();

    qttest::BoxWatch boxes;
    bool walked = false;
    qttest::WhenInFront(&listino, [&] {
        QWidget* window = WindowOf(&listino);
        auto type = [&](const char* text) {
            QTest::keyClicks(qttest::KeyTarget(window), text);
            qttest::Settle();
        };
        auto tab = [&] {
            QTest::keyClick(qttest::KeyTarget(window), Qt::Key_Tab);
            qttest::Settle();
        };
        // The window's keyboard on the code, not only the form's: on a busy
        // machine the window may be activated after the form chose its field.
        ASSERT_TRUE(qttest::WaitUntil(
            [&] { return listino.Codice->Focused() && QApplication::focusWidget() == WidgetOf(listino.Codice); }));
        type("DR-410");
        tab();
        type("Staffa");
        tab();
        tab();  // Marca
        ASSERT_TRUE(listino.Quantita->Focused());
        type("abc");
        tab();
        ASSERT_TRUE(qttest::WaitUntil([&] { return boxes.Texts.size() == 1; }));
        EXPECT_EQ(boxes.Texts[0],
                  "Quantità: \"abc\" non è ammesso: ammesso un numero da 0 a 99.999,9 con al più 1 decimale, "
                  "oppure nulla (nessun valore).");
        ASSERT_TRUE(qttest::WaitUntil([&] { return listino.Quantita->Focused(); }));
        EXPECT_EQ(listino.Quantita->Text.Get(), "1");
        EXPECT_EQ(listino.Codice->Text.Get(), "DR-410");
        EXPECT_EQ(listino.Articolo->Text.Get(), "Staffa");

        type("2");
        tab();
        type("12,50");
        tab();
        type("10");
        tab();
        type("Staffa a muro");
        QTest::mouseClick(WindowOf(listino.BOk), Qt::LeftButton);
        ASSERT_TRUE(qttest::WaitUntil([&] { return boxes.Texts.size() == 2; }));
        EXPECT_EQ(boxes.Texts[1], "Il codice digitato è già esistente.");
        qttest::Settle();
        EXPECT_TRUE(listino.Visible);
        EXPECT_TRUE(qttest::WaitUntil([&] { return listino.Codice->Focused(); }));
        const std::pair<TEdit*, const char*> kept[] = {
            {listino.Codice, "DR-410"}, {listino.Articolo, "Staffa"},    {listino.Quantita, "2"},
            {listino.Prezzo, "12,50"},  {listino.Installazione, "10"}, {listino.Descrizione, "Staffa a muro"}};
        for (const auto& [edit, text] : kept) EXPECT_EQ(edit->Text.Get(), text);
        EXPECT_EQ(e.Count(), 2);

        type("ZZ1");
        QTest::mouseClick(WindowOf(listino.BOk), Qt::LeftButton);
        walked = true;
    });
    TStringGrid* grid = page->GridPreventivo;
    const TRect trailing = grid->CellRect(6, grid->RowCount - 1);
    qttest::Click(WidgetOf(grid), QPoint(trailing.Left + 4, trailing.Top + 4));
    ASSERT_TRUE(qttest::WaitUntil([&] { return walked && !listino.Visible && e.Count() == 3; }));
    qttest::Settle();
    EXPECT_EQ(boxes.Texts.size(), 2u);
    ASSERT_TRUE(e.HasRow("ZZ1"));
    const TRigaPreventivo& added = e.Rows().back();
    EXPECT_EQ(added.Article, "Staffa");
    EXPECT_EQ(added.Description, "Staffa a muro");
    EXPECT_FLOAT_EQ(added.Quantity, 2.0f);
    EXPECT_FLOAT_EQ(added.UnitPrice, 12.5f);
    EXPECT_FLOAT_EQ(added.Minutes, 10.0f);
    EXPECT_EQ(AnsiString(grid->Cells[0][3]), "ZZ1");
}
