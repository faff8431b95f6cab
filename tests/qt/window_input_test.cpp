// The main window as a person works it, by mouse and keyboard: menus that
// open whatever opened before, the focus that lands where typing goes, Invio
// in the grids of the forms, clicks in the estimate grid.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "app/estimate_page.h"
#include "cells/combo_string_grid.h"
#include "cells/component_data.h"
#include "cells/sources.h"
#include "app/main_form.h"
#include "document/estimate.h"
#include "document/project.h"
#include "qt/designed_project.h"
#include "qt/qt_test_support.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"
#include "view/draw_window.h"

using qttest::Later;
using qttest::Settle;
using qttest::WidgetOf;
using qttest::WindowOf;

namespace {

QAction* MenuAction(QWidget* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text().section('\t', 0, 0) == text) return a;
    return nullptr;
}

// The captions of the items a menu shows.
QStringList ShownItems(QMenu* menu) {
    QStringList shown;
    for (QAction* a : menu->actions())
        if (a->isVisible() && !a->isSeparator()) shown << a->text().section('\t', 0, 0);
    return shown;
}

// A click of the left button: on X11 through the X server, as the mouse
// gives it (the pointer moves there first), elsewhere into the widget.
void Click(QWidget* widget, QPoint at) {
    if (QGuiApplication::platformName() == "xcb") {
        const QPoint screen = widget->mapToGlobal(at);
        const std::string command = "xdotool mousemove " + std::to_string(screen.x()) + " " +
                                    std::to_string(screen.y()) + " click 1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return;
    }
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

// Clicks a menu of the bar and reports what shows: the items of the open
// menu, or nothing; the menu is closed with Esc.
QStringList OpenMenuByMouse(QMenuBar* bar, const QString& menu) {
    QAction* top = MenuAction(bar, menu);
    EXPECT_NE(top, nullptr) << menu.toStdString();
    if (!top) return {};
    QStringList shown;
    bool done = false;
    Later(
        [&] {
            if (auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                shown = ShownItems(open);
                QTest::keyClick(open, Qt::Key_Escape);
            }
            done = true;
        },
        150);
    Click(bar, bar->actionGeometry(top).center());
    for (int waited = 0; !done && waited < 5000; waited += 20) QTest::qWait(20);
    Settle();
    // A menu bar left in its keyboard mode lets go of it as a person would.
    if (QApplication::activePopupWidget()) QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    Settle();
    return shown;
}

// Opens a menu of the main window with Alt and its letter; what it shows.
QStringList OpenMenuByKey(TAntenne* form, Qt::Key letter) {
    QStringList shown;
    bool done = false;
    Later(
        [&] {
            if (auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                shown = ShownItems(open);
                QTest::keyClick(open, Qt::Key_Escape);
            }
            done = true;
        },
        150);
    // The bar's Alt letters answer in the active window.
    WindowOf(form)->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(WindowOf(form)));
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : WindowOf(form);
    QTest::keyClick(target, letter, Qt::AltModifier);
    for (int waited = 0; !done && waited < 5000; waited += 20) QTest::qWait(20);
    Settle();
    if (QApplication::activePopupWidget()) QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    Settle();
    return shown;
}

void ClickCell(TStringGrid* grid, int col, int row) {
    const TRect cell = grid->CellRect(col, row);
    ASSERT_FALSE(cell.IsEmpty()) << col << "," << row;
    Click(WidgetOf(grid), QPoint(cell.Left + 4, cell.Top + 4));
    QTest::qWait(100);
    Settle();
}

}  // namespace

// On the estimate the edit menu may have no item to show (no hand-added
// row chosen); it opens empty, and the next time it is clicked, on any
// page, or opened with Alt+M, it shows its items. On X11 the empty menu
// used to stay counted as open, at no size, and never showed again: the
// test runs there too, on a screen of its own (below).
void EditMenuOpensAfterAnEmptyOpening() {
    ScopedProgram program;
    TAntenne* form = qttest::StartDesigned(program, 2, 10);
    QMenuBar* bar = WindowOf(form)->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(form->FindPage(PagePreventivo));
    form->SelectPage(PagePreventivo);
    Settle();
    ClickCell(form->EstimatePage->GridPreventivo, 6, 1);
    EXPECT_EQ(OpenMenuByMouse(bar, "&Modifica"), QStringList());
    QTest::keyClick(WindowOf(form), Qt::Key_Escape);
    Settle();
    form->SelectPage(PageRete);
    Settle();
    const QStringList drawingItems{"Elimina descrizioni componenti"};
    EXPECT_EQ(OpenMenuByMouse(bar, "&Modifica"), drawingItems);
    EXPECT_EQ(OpenMenuByKey(form, Qt::Key_M), drawingItems);
    form->SelectPage(PagePreventivo);
    Settle();
    EXPECT_EQ(OpenMenuByMouse(bar, "&Modifica"), QStringList());
    form->SelectPage(PageRete);
    Settle();
    EXPECT_EQ(OpenMenuByMouse(bar, "&Modifica"), drawingItems);
}

TEST(QtWindowInput, TheEditMenuOpensAfterAnEmptyOpening) { EditMenuOpensAfterAnEmptyOpening(); }

TEST(QtWindowInput, TheEditMenuOpensAfterAnEmptyOpeningOnX11) {
    if (QGuiApplication::platformName() == "xcb") {
        EditMenuOpensAfterAnEmptyOpening();
        return;
    }
    const int status = qttest::RunOnX11("QtWindowInput.TheEditMenuOpensAfterAnEmptyOpeningOnX11");
    if (status == qttest::NoX11) GTEST_SKIP() << "no Xvfb";
    EXPECT_EQ(status, 0);
}

// "Preventivo" scrolled to its end: a click on any cell of a component row,
// the labour row and a hand-added row selects the cell clicked, and the
// grid stays where it was scrolled. Typing goes into the cells that take it
// and leaves the others as they were.
TEST(QtWindowInput, AClickInTheEstimateGridSelectsTheCellClicked) {
    ScopedProgram program;
    TAntenne* form = qttest::StartDesigned(program, 2, 10);
    ASSERT_TRUE(form->FindPage(PagePreventivo));
    form->SelectPage(PagePreventivo);
    Settle();
    TPaginaPreventivo* page = form->EstimatePage;
    TVoceListino item;
    item.Code = "KIT-01";
    item.Article = "Staffa";
    item.Brand = "Ov";
    item.Description = "Staffa a muro";
    item.Quantity = "2";
    item.Price = "3,00";
    item.Installation = "5";
    item.CurrencyName = "Euro";
    ASSERT_TRUE(page->AddEstimateItem(item));
    Settle();
    TStringGrid* grid = page->GridPreventivo;
    const int hand = grid->RowCount - 2;
    const int labour = form->CurrentProject->Estimate->LabourPosition + 1;
    ASSERT_GT(hand, labour);
    ASSERT_GT(hand, grid->VisibleRowCount()) << "the estimate fits without scrolling";
    grid->SetFocus();
    grid->TopRow = grid->RowCount;  // to the end
    Settle();
    const int top = grid->TopRow;
    ASSERT_GT(top, 1);
    // A cell beyond the right edge is scrolled to sideways first, as with
    // the scroll bar.
    auto showColumn = [&](int col) {
        if (grid->CellRect(col, hand).IsEmpty()) grid->LeftCol = col;
        Settle();
    };
    for (int row : {hand, labour, top}) {
        for (int col = 0; col < EstimateColumns; ++col) {
            showColumn(col);
            ClickCell(grid, col, row);
            EXPECT_EQ(grid->Col, col) << col << "," << row;
            EXPECT_EQ(grid->Row, row) << col << "," << row;
            EXPECT_EQ(grid->TopRow, top) << col << "," << row;
            EXPECT_TRUE(grid->Focused() || (grid->InplaceEditor() && grid->InplaceEditor()->Focused()));
        }
    }
    // The hand row's code takes no typing; its article does.
    showColumn(0);
    ClickCell(grid, 0, hand);
    QTest::keyClicks(WidgetOf(grid), "X");
    Settle();
    EXPECT_EQ(AnsiString(grid->Cells[0][hand]), "KIT-01");
    EXPECT_EQ(grid->InplaceEditor() ? bool(grid->InplaceEditor()->Visible) : false, false);
    showColumn(1);
    ClickCell(grid, 1, hand);
    QTest::keyClicks(WidgetOf(grid), "M");
    Settle();
    EXPECT_EQ(AnsiString(grid->Cells[1][hand]), "M");
    EXPECT_EQ(grid->Row, hand);
}

// The antenna's channel table: "30" typed under "Canale" and Invio commit
// the cell and keep the form open, the focus in the table; a "D" typed in
// the "A/D" cell stays; the level typed after it too. Invio outside the
// table still answers with "Ok".
TEST(QtWindowInput, InvioInTheAntennasChannelTableCommitsTheCellAndKeepsTheForm) {
    ScopedGlobals globals;
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TGridData network(nullptr, 75, 75, GridNetwork);
    TAntenna antenna(&network, 0, 0, 4, 4);
    antenna.Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 470.0f);
    antenna.Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 862.0f);
    antenna.Described = 1;
    bool stayedOpen = false;
    Later(
        [&] {
            TDatiComponenti& f = dialog.Get();
            TComboStringGrid* grid = f.GridCanali5;
            Settle();
            // The frequency range stands under headings that name it, not
            // under two bands' names.
            for (int c = 0; c < 2; ++c) {
                const TControl* heading = f.ChannelHeaders[0][c];
                const TEdit* cell = f.ValueEdit[AntennaRangeColumn][c];
                EXPECT_TRUE(heading->Visible) << c;
                EXPECT_EQ(heading->Left.Get(), cell->Left.Get()) << c;
                EXPECT_LT(heading->Top.Get(), cell->Top.Get()) << c;
                EXPECT_FALSE(f.BandCell[0][c]->Visible) << c;
            }
            EXPECT_EQ(f.ChannelHeaders[0][0]->Caption.Get(), "Min");
            EXPECT_EQ(f.ChannelHeaders[0][1]->Caption.Get(), "Max");
            EXPECT_EQ(f.ValueEdit[AntennaRangeColumn][0]->Text.Get(), "470");
            EXPECT_EQ(f.ValueEdit[AntennaRangeColumn][1]->Text.Get(), "862");
            ASSERT_TRUE(grid->Visible);
            ClickCell(grid, 1, 1);
            ASSERT_TRUE(grid->Combo->Visible);
            QTest::keyClicks(QApplication::focusWidget(), "30");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            Settle();
            stayedOpen = f.Visible;
            ASSERT_TRUE(stayedOpen);
            EXPECT_EQ(grid->Cell(1, 1), "30");
            EXPECT_TRUE(grid->Focused() || (grid->InplaceEditor() && grid->InplaceEditor()->Focused()))
                << (f.FocusedControl() ? f.FocusedControl()->Name : "none");
            ClickCell(grid, 2, 1);
            QTest::keyClicks(QApplication::focusWidget(), "D");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            Settle();
            EXPECT_TRUE(f.Visible);
            EXPECT_EQ(grid->Cell(2, 1), "D");
            ClickCell(grid, 4, 1);
            QTest::keyClicks(QApplication::focusWidget(), "75");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            Settle();
            EXPECT_TRUE(f.Visible);
            EXPECT_EQ(grid->Cell(4, 1), "75");
            EXPECT_EQ(grid->Cell(2, 1), "D");
            const QImage shot = WindowOf(&f)->grab().toImage();
            EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("antenna-channel-table.png"))));
            // Outside the table Invio is "Ok".
            f.EditArea->SetFocus();
            Settle();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        },
        50);
    EXPECT_TRUE(antenna.OpenDataDialog());
    EXPECT_TRUE(stayedOpen);
}
