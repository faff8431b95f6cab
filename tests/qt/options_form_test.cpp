// The options form in a real window: a norm value typed red, the background
// switch ticked, and each of the four pages written to test-artefacts/
// (options-norma.png, options-grafica.png, options-valute.png,
// options-generale.png).
#include "dialogs/options_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <memory>

#include "qt/label_clash.h"
#include "qt/qt_test_support.h"
#include "support/globals_fixture.h"

using qttest::WidgetOf;
using qttest::WindowOf;

TEST(QtOptionsForm, EveryPageShowsAndTakesInput) {
    ScopedGlobals globals;
    FormatSettings().DecimalSeparator = ',';
    auto form = std::make_unique<TDatiOpzioni>(nullptr);
    form->FillFrom(globals.Options());
    form->Show();
    qttest::Settle();

    auto* norm = qobject_cast<QLineEdit*>(WidgetOf(form->NormEdits[0][3]));
    ASSERT_NE(norm, nullptr);
    norm->setFocus();
    norm->selectAll();
    QTest::keyClicks(norm, "0");
    EXPECT_EQ(form->NormEdits[0][3]->Text.Get(), "0");
    EXPECT_EQ(form->NormEdits[0][3]->Font->Color, TColor(255));

    const std::pair<TTabSheet*, const char*> pages[] = {
        {form->PaginaNorma, "options-norma.png"},
        {form->PaginaGrafica, "options-grafica.png"},
        {form->PaginaValute, "options-valute.png"},
        {form->PaginaGenerale, "options-generale.png"},
    };
    for (const auto& [page, name] : pages) {
        form->Pagine->ActivePage = page;
        if (page == form->PaginaGrafica) {
            qttest::Settle();
            auto* box = qobject_cast<QCheckBox*>(WindowOf(form->CheckSottofondo));
            ASSERT_NE(box, nullptr);
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
            EXPECT_TRUE(form->CheckSottofondo->Checked);
            EXPECT_TRUE(form->EditStringaObliqua->Enabled);
        }
        qttest::Settle();
        EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(page)), "") << name;
        const QImage shot = WindowOf(form.get())->grab().toImage();
        EXPECT_GT(qttest::Colours(shot), 3) << name;
        EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact(name))));
    }
}

// "Valute": a factor typed over another and Esc puts the one before back;
// the form stays open, and the factor typed in another cell before stays.
TEST(QtOptionsForm, EscInTheCurrencyTablePutsBackTheFactor) {
    ScopedGlobals globals;
    FormatSettings().DecimalSeparator = ',';
    auto form = std::make_unique<TDatiOpzioni>(nullptr);
    form->FillFrom(globals.Options());
    form->Show();
    form->Pagine->ActivePage = form->PaginaValute;
    qttest::Settle();
    TStringGrid* grid = form->GridValute;
    auto typeInto = [&](int col, int row, const char* text) {
        const TRect cell = grid->CellRect(col, row);
        QTest::mouseClick(WidgetOf(grid), Qt::LeftButton, {}, QPoint(cell.Left + 4, cell.Top + 4));
        ASSERT_TRUE(qttest::WaitUntil([&] { return grid->Col == col && grid->Row == row; }));
        // Key by key: the first opens the cell's editor, which takes the rest.
        for (const char* c = text; *c; ++c) {
            QTest::keyClicks(qttest::FocusWidget(), QString(QChar(*c)));
            qttest::Settle();
        }
    };
    typeInto(2, 1, "1936,27");
    QTest::keyClick(qttest::FocusWidget(), Qt::Key_Return);
    qttest::Settle();
    const AnsiString before = grid->Cells[1][2];
    typeInto(1, 2, "7");
    EXPECT_EQ(AnsiString(grid->Cells[1][2]), "7");
    QTest::keyClick(qttest::FocusWidget(), Qt::Key_Escape);
    qttest::Settle();
    EXPECT_EQ(AnsiString(grid->Cells[1][2]), before);
    EXPECT_EQ(AnsiString(grid->Cells[2][1]), "1936,27");
    EXPECT_TRUE(form->Visible);
    EXPECT_FALSE(grid->EditorMode);
}
