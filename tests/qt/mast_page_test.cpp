// The page "Sostegno" and the mast-sizing form in real windows.
#include "app/mast_page.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QMessageBox>

#include "dialogs/mast_sizing.h"
#include "platform/grids.h"
#include "document/project.h"
#include "qt/label_clash.h"
#include "qt/qt_test_support.h"
#include "qt/text_fit.h"
#include "support/globals_fixture.h"

using qttest::Settle;
using qttest::WidgetOf;
using qttest::WindowOf;

TEST(QtMastPage, AClickOnTheMastViewSelectsTheAntennaOnTheArm) {
    ScopedGlobals globals;
    TProgetto project(nullptr);
    TPalo& palo = *project.Mast;
    palo.SectionCount = 2;
    palo.Sections[0] = TTroncoPalo{60, 3, 3, LevelNone};
    palo.Sections[1] = TTroncoPalo{50, 2, 2, LevelNone};
    auto arm = std::make_unique<TDatiAntenna>();
    arm->Kind = MastDoubleArm;
    arm->Spacing = 150;
    arm->FirstChild = std::make_unique<TDatiAntenna>();
    arm->FirstChild->Area = 0.1f;
    arm->SecondChild = std::make_unique<TDatiAntenna>();
    arm->SecondChild->Kind = MastGrid;
    arm->SecondChild->Area = 0.2f;
    TDatiAntenna* first = arm->FirstChild.get();
    palo.Antennas.Items.push_back(std::move(arm));
    auto dish = std::make_unique<TDatiAntenna>();
    dish->Kind = MastDish;
    dish->Spacing = 200;
    dish->Diameter = 80;
    dish->Polarisation = -1;
    palo.Antennas.Items.push_back(std::move(dish));

    TForm form(nullptr);
    form.Caption = "Sostegno";
    form.SetBounds(0, 0, 830, 540);
    auto* page = new TPaginaSostegno(&form);
    page->Parent = &form;
    page->SetProject(&project);
    form.Show();
    Settle();

    const int armY = page->Layout().Records[1].Y;  // 1850 - 150
    // The image is drawn by the scroll box, scrolled to the foot of the mast.
    QWidget* view = WidgetOf(page->ScrollSostegno);
    ASSERT_NE(view, nullptr);
    const int scrolled = page->ScrollSostegno->VertScrollBar->Position;
    EXPECT_GT(scrolled, 1000);
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(80, armY - scrolled));
    Settle();
    EXPECT_EQ(palo.SelectedItem, first);
    EXPECT_TRUE(page->ComboResistenza->Enabled);
    EXPECT_EQ(page->ComboResistenza->Text.Get(), "Area");
    EXPECT_EQ(page->EditValore->Text.Get(), "0,1");

    EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(&form)), "");
    const QImage shot = WindowOf(&form)->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("mast-page.png"))));
    EXPECT_GT(qttest::Colours(shot), 5);
}

TEST(QtMastPage, TheSizingFormShowsTheDefaultTubes) {
    ScopedGlobals globals;
    TDatiAutSost form(nullptr);
    bool seen = false;
    qttest::WhenInFront(&form, [&] {
        Settle();
        QWidget* window = WindowOf(&form);
        seen = window->isVisible();
        EXPECT_EQ(form.ListTronchi->Items->Count(), 15);
        EXPECT_EQ(form.ListTronchi->SelCount(), 15);
        EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(&form)), "");
        EXPECT_EQ(qttest::Describe(qttest::CutTexts(window)), "");
        const QImage shot = window->grab().toImage();
        EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("mast-sizing.png"))));
        QTest::mouseClick(WindowOf(form.ButtonOk), Qt::LeftButton);
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(globals.Settings().String("TronchiSel").empty());
}

// The sections grid typed into with real keys: every value stays in the cell
// it was typed into, the grid never scrolls (row "1°" and "d [mm]" stay,
// no row "3°" with two sections), Tab walks d, s, l of the sections shown
// and then leaves, and a wall of half the diameter is refused with a message.
TEST(QtMastPage, TheSectionsGridTakesTypedValuesWhereTheyAreTyped) {
    ScopedGlobals globals;
    TProgetto project(nullptr);
    TPalo& palo = *project.Mast;
    palo.SectionCount = 2;

    TForm form(nullptr);
    form.Caption = "Sostegno";
    form.SetBounds(0, 0, 830, 540);
    auto* page = new TPaginaSostegno(&form);
    page->Parent = &form;
    page->SetProject(&project);
    form.Show();
    Settle();

    TStringGrid* grid = page->GridTronchi;
    EXPECT_EQ(grid->Height.Get(), 2 * 19 + 20);
    EXPECT_EQ(grid->ClientWidth.Get(), 145);
    QWidget* cells = WidgetOf(grid);
    ASSERT_NE(cells, nullptr);
    auto inView = [&] {
        EXPECT_EQ(grid->TopRow.Get(), 1);
        EXPECT_EQ(grid->LeftCol.Get(), 1);
    };
    auto focused = [] { return QApplication::focusWidget(); };
    auto type = [&](const char* text) {
        for (const char* c = text; *c; ++c) QTest::keyClicks(focused(), QString(QChar(*c)));
        Settle();
    };
    auto tab = [&](bool back = false) {
        QTest::keyClick(focused(), Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
        Settle();
    };
    auto cellCentre = [](int col, int row) { return QPoint(col * 36 + 17, row * 19 + 9); };

    QTest::mouseClick(cells, Qt::LeftButton, Qt::NoModifier, cellCentre(1, 1));
    Settle();
    EXPECT_EQ(grid->Col.Get(), 1);
    EXPECT_EQ(grid->Row.Get(), 1);
    const struct {
        int col, row;
        const char* text;
    } typed[] = {{1, 1, "60"}, {2, 1, "3"}, {3, 1, "4"}, {1, 2, "50"}, {2, 2, "2"}, {3, 2, "3"}};
    for (const auto& t : typed) {
        SCOPED_TRACE(t.text);
        ASSERT_EQ(grid->Col.Get(), t.col);
        ASSERT_EQ(grid->Row.Get(), t.row);
        type(t.text);
        inView();
        tab();
        inView();
    }
    // Past the last cell of the last section Tab has left the grid.
    EXPECT_NE(form.FocusedControl(), grid);
    ASSERT_NE(form.FocusedControl(), nullptr);
    EXPECT_NE(form.FocusedControl()->Parent.Get(), grid);
    for (const auto& t : typed) EXPECT_EQ(grid->Cells[t.col][t.row], t.text) << t.col << " " << t.row;
    EXPECT_EQ(grid->Cells[1][3], "");
    const TTroncoPalo expected[] = {{60, 3, 4, LevelNone}, {50, 2, 3, LevelNone}};
    for (int k = 0; k < 2; ++k) {
        EXPECT_FLOAT_EQ(palo.Sections[k].Diameter, expected[k].Diameter) << k;
        EXPECT_FLOAT_EQ(palo.Sections[k].Thickness, expected[k].Thickness) << k;
        EXPECT_FLOAT_EQ(palo.Sections[k].Length, expected[k].Length) << k;
    }
    EXPECT_EQ(palo.Sections[2].Diameter, LevelNone);
    EXPECT_TRUE(project.Modified);

    // Down from the last section goes nowhere: row "3°" is not there.
    QTest::mouseClick(cells, Qt::LeftButton, Qt::NoModifier, cellCentre(2, 2));
    Settle();
    QTest::keyClick(focused(), Qt::Key_Down);
    Settle();
    EXPECT_EQ(grid->Row.Get(), 2);
    inView();

    // A wall of 30 mm, beyond the 2 to 6 mm the status line gives: left, it
    // is refused with a message naming the cell, the keyboard stays on it
    // and the thickness stays what it was.
    QTest::mouseClick(cells, Qt::LeftButton, Qt::NoModifier, cellCentre(2, 1));
    Settle();
    QString said;
    qttest::WhenBoxShown([&](QMessageBox* box) {
        said = box->text();
        box->accept();
    });
    type("30");
    QTest::mouseClick(cells, Qt::LeftButton, Qt::NoModifier, cellCentre(3, 1));
    EXPECT_TRUE(qttest::WaitUntil([&] { return !said.isEmpty() && !QApplication::activeModalWidget(); }));
    Settle();
    EXPECT_EQ(said.toStdString(), "s [mm], 1°: \"30\" non è ammesso: ammesso un numero da 2 a 6 mm con al più 2 "
                                  "decimali, oppure nulla (nessun valore).");
    EXPECT_FLOAT_EQ(palo.Sections[0].Thickness, 3.0f);
    EXPECT_EQ(grid->Col.Get(), 2);
    EXPECT_EQ(grid->Cells[2][1], "3");
    inView();
    // Then left, the cell shows the thickness kept, not the refused text.
    QTest::mouseClick(cells, Qt::LeftButton, Qt::NoModifier, cellCentre(3, 1));
    Settle();
    EXPECT_EQ(grid->Col.Get(), 3);
    EXPECT_EQ(grid->Cells[2][1], "3");
    EXPECT_EQ(grid->Cells[1][1], "60");

    const QImage shot = qttest::WindowOf(&form)->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("mast-sections-typed.png"))));
}
