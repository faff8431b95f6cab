// The main window as a person works it, by mouse and keyboard: menus that
// open whatever opened before, the focus that lands where typing goes, Invio
// in the grids of the forms, clicks in the estimate grid.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QWindow>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>


#include "app/estimate_page.h"
#include "cells/combo_string_grid.h"
#include "cells/component_data.h"
#include "cells/sources.h"
#include "app/main_form.h"
#include "dialogs/installer_data.h"
#include "dialogs/options_form.h"
#include "platform/utf8.h"
#include "document/estimate.h"
#include "document/project.h"
#include "qt/designed_project.h"
#include "qt/qt_test_support.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/price_list_item.h"
#include "support/record_bytes.h"
#include "view/draw_window.h"

using qttest::Click;
using qttest::ClickCell;
using qttest::HereOrOnX11;
using qttest::Settle;
using qttest::WaitUntil;
using qttest::WhenReady;
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

// Clicks the tab of a page of the main window.
void ClickTab(TAntenne* form, const char* caption) {
    const int index = form->TabControl->Tabs->IndexOf(caption);
    ASSERT_GE(index, 0) << caption;
    const TRect r = form->TabControl->TabRect(index);
    Click(WidgetOf(form->TabControl), QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    WaitUntil([&] { return form->IsPageSelected(caption); });
    Settle();
    ASSERT_TRUE(form->IsPageSelected(caption)) << caption;
}

// Clicks a menu of the bar and reports what shows: the items of the open
// menu, or nothing; the menu is closed with Esc.
QStringList OpenMenuByMouse(QMenuBar* bar, const QString& menu) {
    QAction* top = MenuAction(bar, menu);
    EXPECT_NE(top, nullptr) << menu.toStdString();
    if (!top) return {};
    QStringList shown;
    bool done = false;
    // The menu is looked for until it shows, however long a busy window
    // system takes to map it. Seen only when its window is shown: a menu Qt
    // counts as open may never reach the screen.
    auto exposed = [] {
        auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return open && open->windowHandle() && open->windowHandle()->isExposed();
    };
    WhenReady(exposed, [&](bool seen) {
        if (seen) {
            auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            shown = ShownItems(open);
            QTest::keyClick(open, Qt::Key_Escape);
        }
        done = true;
    });
    Click(bar, bar->actionGeometry(top).center());
    WaitUntil([&] { return done; }, qttest::Deadline + 5000);
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
    // The bar's Alt letters answer in the active window.
    WindowOf(form)->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(WindowOf(form), qttest::Deadline));
    WhenReady([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; },
              [&](bool seen) {
                  if (seen) {
                      auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                      shown = ShownItems(open);
                      QTest::keyClick(open, Qt::Key_Escape);
                  }
                  done = true;
              });
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : WindowOf(form);
    QTest::keyClick(target, letter, Qt::AltModifier);
    WaitUntil([&] { return done; }, qttest::Deadline + 5000);
    Settle();
    if (QApplication::activePopupWidget()) QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    Settle();
    return shown;
}


}  // namespace

// On the estimate with a component row chosen the edit menu's one item
// cannot act: the menu still opens, by click and by Alt+M, and shows it
// greyed. Then, on any page, the menu opens again with its items. On X11
// a menu that opened empty used to stay counted as open, at no size, and
// never showed again: the test runs there too, on a screen of its own.
void EditMenuOpensAfterAnEmptyOpening() {
    ScopedProgram program;
    TAntenne* form = qttest::StartDesigned(program, 2, 10);
    QMenuBar* bar = WindowOf(form)->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(form->FindPage(PagePreventivo));
    ClickTab(form, PagePreventivo);
    ClickCell(form->EstimatePage->GridPreventivo, 6, 1);
    ASSERT_FALSE(form->EstimatePage->CanRemoveSelectedRow());
    const QStringList estimateItems{"&Elimina linea preventivo"};
    EXPECT_EQ(OpenMenuByMouse(bar, "&Modifica"), estimateItems);
    QAction* remove = MenuAction(MenuAction(bar, "&Modifica")->menu(), "&Elimina linea preventivo");
    ASSERT_NE(remove, nullptr);
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_EQ(OpenMenuByKey(form, Qt::Key_M), estimateItems);
    ClickTab(form, PageRete);
    const QStringList drawingItems{"Elimina descrizioni componenti"};
    EXPECT_EQ(OpenMenuByMouse(bar, "&Modifica"), drawingItems);
    EXPECT_EQ(OpenMenuByKey(form, Qt::Key_M), drawingItems);
    ClickTab(form, PagePreventivo);
    EXPECT_EQ(OpenMenuByMouse(bar, "&Modifica"), estimateItems);
    ClickTab(form, PageRete);
    EXPECT_EQ(OpenMenuByMouse(bar, "&Modifica"), drawingItems);
}

TEST(QtWindowInput, TheEditMenuOpensAfterAnEmptyOpening) { EditMenuOpensAfterAnEmptyOpening(); }

TEST(QtWindowInput, TheEditMenuOpensAfterAnEmptyOpeningOnX11) {
    HereOrOnX11("QtWindowInput.TheEditMenuOpensAfterAnEmptyOpeningOnX11", EditMenuOpensAfterAnEmptyOpening);
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
    TVoceListino item = PriceListItem("KIT-01", "Staffa", "2", "3,00", "5");
    item.Brand = "Ov";
    item.Description = "Staffa a muro";
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
    qttest::TAntennaFixture fixture;
    TAntenna& antenna = fixture.antenna;
    ScopedComponentDialog& dialog = fixture.dialog;
    bool stayedOpen = false;
    qttest::WhenInFront(&dialog.Get(), [&] {
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
        QTest::keyClicks(qttest::FocusWidget(), "30");
        QTest::keyClick(qttest::FocusWidget(), Qt::Key_Return);
        Settle();
        stayedOpen = f.Visible;
        ASSERT_TRUE(stayedOpen);
        EXPECT_EQ(grid->Cell(1, 1), "30");
        EXPECT_TRUE(grid->Focused() || (grid->InplaceEditor() && grid->InplaceEditor()->Focused()))
            << (f.FocusedControl() ? f.FocusedControl()->Name : "none");
        ClickCell(grid, 2, 1);
        QTest::keyClicks(qttest::FocusWidget(), "D");
        QTest::keyClick(qttest::FocusWidget(), Qt::Key_Return);
        Settle();
        EXPECT_TRUE(f.Visible);
        EXPECT_EQ(grid->Cell(2, 1), "D");
        ClickCell(grid, 4, 1);
        QTest::keyClicks(qttest::FocusWidget(), "75");
        QTest::keyClick(qttest::FocusWidget(), Qt::Key_Return);
        Settle();
        EXPECT_TRUE(f.Visible);
        EXPECT_EQ(grid->Cell(4, 1), "75");
        EXPECT_EQ(grid->Cell(2, 1), "D");
        const QImage shot = WindowOf(&f)->grab().toImage();
        EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("antenna-channel-table.png"))));
        // Outside the table Invio is "Ok".
        f.EditArea->SetFocus();
        Settle();
        QTest::keyClick(qttest::FocusWidget(), Qt::Key_Return);
    });
    EXPECT_TRUE(antenna.OpenDataDialog());
    EXPECT_TRUE(stayedOpen);
}

// Every form the menus open starts on its first field, focused in the
// model and in its window (where Qt draws the caret or the focus mark), and
// a character typed lands there; after each form closes, and after a menu
// command that switches pages, the keyboard is on the page shown, never on
// the status bar's step button.
TEST(QtWindowInput, EveryFormStartsOnItsFirstFieldAndTheFocusGoesBackToThePage) {
    ScopedProgram program;
    TAntenne* form = qttest::StartDesigned(program, 2, 10);
    QMenuBar* bar = WindowOf(form)->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(form->FocusedControl(), form->DrawWindow);
    const struct {
        const char* menu;
        const char* item;
        bool typed;  // the first field takes text (not a check box or a pick list)
    } items[] = {
        {"&File", "Dati &progettuali", true},
        {"&Visualizza", "&Opzioni", true},
        {"&Visualizza", "&Personalizzazione", true},
        {"S&trumenti", "Determinazione automatica &sostegno", true},
        {"S&trumenti", "Gestione librerie", false},  // a list to choose from
        {"&Stampa", "&Calcoli", false},
    };
    for (const auto& it : items) {
        SCOPED_TRACE(it.item);
        QAction* top = MenuAction(bar, it.menu);
        ASSERT_NE(top, nullptr);
        bool done = false;
        std::string shown;
        WhenReady(
            [&] {
                auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                return open && MenuAction(open, it.item);
            },
            [&](bool seen) {
                auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QAction* a = seen ? MenuAction(open, it.item) : nullptr;
                if (!a) {
                    done = true;
                    ADD_FAILURE() << "no item";
                    return;
                }
                WhenReady(
                    [&] {
                        TCustomForm* active = Screen->ActiveForm();
                        return active && active != form && WindowOf(active) && WindowOf(active)->isActiveWindow() &&
                               QApplication::focusWidget();
                    },
                    [&](bool) {
                        Settle();
                        TCustomForm* active = Screen->ActiveForm();
                        shown = active ? active->Caption.Get() : "";
                        TWinControl* field = active ? active->FocusedControl() : nullptr;
                        const TWinControl* start = active && active->ActiveControl.Get()
                                                       ? active->ActiveControl.Get()
                                                       : (active ? active->FirstField() : nullptr);
                        EXPECT_NE(active, form);
                        EXPECT_NE(field, nullptr);
                        EXPECT_EQ(field, start);
                        if (field) {
                            EXPECT_FALSE(field->IsTabStrip());
                            QWidget* w = WindowOf(field);
                            ASSERT_NE(w, nullptr);
                            EXPECT_TRUE(w == QApplication::focusWidget() || w->isAncestorOf(QApplication::focusWidget()))
                                << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                                                : "no focus");
                            if (it.typed) {
                                QTest::keyClicks(qttest::FocusWidget(), "7");
                                Settle();
                                auto* edit = dynamic_cast<TCustomEdit*>(field);
                                auto* combo = dynamic_cast<TComboBox*>(field);
                                const AnsiString text = edit ? edit->Text.Get() : combo ? combo->Text.Get() : "";
                                EXPECT_NE(text.find('7'), AnsiString::npos) << text;
                                // A field focused as its form opens has its
                                // text selected: the "7" replaces it.
                                if (edit) EXPECT_EQ(text, "7");
                            }
                        }
                        QTest::keyClick(qttest::FocusWidget(), Qt::Key_Escape);
                        Settle();
                        if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
                        done = true;
                    });
                QTest::mouseClick(open, Qt::LeftButton, {}, open->actionGeometry(a).center());
            });
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
        WaitUntil([&] { return done; }, 3 * qttest::Deadline);
        WaitUntil([&] { return Screen->ActiveForm() == form; });
        Settle();
        EXPECT_NE(shown, "");
        EXPECT_NE(form->FocusedControl(), form->NextButton);
        EXPECT_EQ(form->FocusedControl(), form->DrawWindow);
    }
    // A menu command that shows another page leaves the keyboard there.
    form->SelectPage(PagePreventivo);
    Settle();
    EXPECT_EQ(form->FocusedControl(), form->EstimatePage->GridPreventivo);
    form->SelectPage(PageCalcoliRete);
    Settle();
    EXPECT_NE(form->FocusedControl(), form->NextButton);
    EXPECT_NE(form->FocusedControl(), nullptr);
}

// The row of page tabs: a click anywhere on a tab as drawn, near its left
// edge, its middle and its right edge, selects that tab, before a design and
// after one with the calculation pages shown. What is drawn is read back from
// the window's own picture: each tab's frame begins with a light line.
void ClicksOnEveryTabSelectThatTab() {
    ScopedProgram program;
    TAntenne* form = qttest::StartDesigned(program, 2, 10);
    for (const char* page : {PageCalcoliRete, PageCalcoliReteRichiesti, PageCalcoliCanali}) {
        ASSERT_TRUE(form->FindPage(page)) << page;
        form->SelectPage(page);  // as the menus do: the page reports are made
        Settle();
    }
    form->SelectPage(PageRete);
    Settle();
    TTabControl* tabs = form->TabControl;
    QWidget* strip = WidgetOf(tabs);
    const QImage shot = strip->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("page-tabs.png"))));
    if (QGuiApplication::platformName() == "xcb") {
        WaitUntil([&] { return WindowOf(form)->windowHandle() && WindowOf(form)->windowHandle()->isExposed(); });
        Settle();
        qttest::Shell("xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng > " + qttest::Artefact("page-tabs-x11.png"));
    }
    const int count = tabs->Tabs->Count();
    ASSERT_GE(count, 5);
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < count; ++i) {
            const AnsiString caption = tabs->Tabs->Strings(i);
            SCOPED_TRACE(caption);
            const TRect r = tabs->TabRect(i);
            const int y = (r.Top + r.Bottom) / 2;
            for (int x : {r.Left + 4, (r.Left + r.Right) / 2, r.Right - 4}) {
                Click(strip, QPoint(x, y));
                WaitUntil([&] { return form->SelectedPage() == caption; });
                Settle();
                EXPECT_EQ(form->SelectedPage(), caption) << "x=" << x;
            }
        }
    }
}

TEST(QtWindowInput, ClicksOnEveryTabSelectThatTab) { ClicksOnEveryTabSelectThatTab(); }

// A form opened from a menu and closed with the mouse, on its "Annulla" or
// its "Ok": the menu that opened it opens again on a click, and so does
// every other menu of the bar.
void MenusOpenAfterAFormClosedWithTheMouse() {
    ScopedProgram program;
    TAntenne* form = qttest::StartDesigned(program, 2, 10);
    QMenuBar* bar = WindowOf(form)->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    for (const char* button : {"Annulla", "Ok", "Annulla"}) {
        SCOPED_TRACE(button);
        bool closed = false;
        // Each step waits for what it needs, the menu shown, then the form
        // active, however long a busy machine takes to show them.
        WhenReady(
            [&] {
                auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                return open && open->windowHandle() && open->windowHandle()->isExposed() &&
                       MenuAction(open, "&Personalizzazione");
            },
            [&](bool seen) {
                auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QAction* a = seen ? MenuAction(open, "&Personalizzazione") : nullptr;
                if (!a) {
                    closed = true;
                    ADD_FAILURE() << "no item";
                    return;
                }
                WhenReady(
                    [&] {
                        auto* f = dynamic_cast<TDatiIntestazione*>(Screen->ActiveForm());
                        return f && WindowOf(f) && WindowOf(f)->isActiveWindow() &&
                               WindowOf(f)->windowHandle()->isExposed();
                    },
                    [&](bool) {
                        Settle();
                        auto* shown = dynamic_cast<TDatiIntestazione*>(Screen->ActiveForm());
                        if (!shown) {
                            ADD_FAILURE() << "the installer-data form is not shown";
                            if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
                            closed = true;
                            return;
                        }
                        TButton* b = AnsiString(button) == "Ok" ? shown->BOk : shown->BAnnulla;
                        QWidget* w = WidgetOf(b);
                        Click(w, w->rect().center());
                        closed = true;
                    });
                Click(open, open->actionGeometry(a).center());
            });
        Click(bar, bar->actionGeometry(MenuAction(bar, "&Visualizza")).center());
        WaitUntil([&] { return closed; }, 3 * qttest::Deadline);
        WaitUntil([&] { return Screen->ActiveForm() == form && !QApplication::activeModalWidget(); });
        Settle();
        EXPECT_EQ(Screen->ActiveForm(), form);
        const QStringList view = OpenMenuByMouse(bar, "&Visualizza");
        EXPECT_TRUE(view.contains("&Personalizzazione")) << view.join(",").toStdString();
        EXPECT_FALSE(OpenMenuByMouse(bar, "&File").isEmpty());
    }
}

TEST(QtWindowInput, MenusOpenAfterAFormClosedWithTheMouse) { MenusOpenAfterAFormClosedWithTheMouse(); }

TEST(QtWindowInput, MenusOpenAfterAFormClosedWithTheMouseOnX11) {
    HereOrOnX11("QtWindowInput.MenusOpenAfterAFormClosedWithTheMouseOnX11", MenusOpenAfterAFormClosedWithTheMouse);
}

// "Opzioni" opened from its menu: a "7" typed into the first field replaces
// what it held ("60" becomes "7", not "760"); Tab to the next field selects
// its text whole, so typing replaces it too; a click inside a field puts the
// caret there, and typing goes in at that place.
TEST(QtWindowInput, TypingReplacesTheTextOfAFieldFocusedByTheFormOrByTab) {
    ScopedProgram program;
    TAntenne* form = qttest::StartDesigned(program, 2, 10);
    QMenuBar* bar = WindowOf(form)->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    bool done = false;
    WhenReady(
        [&] {
            auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            return open && MenuAction(open, "&Opzioni");
        },
        [&](bool seen) {
            auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QAction* a = seen ? MenuAction(open, "&Opzioni") : nullptr;
            if (!a) {
                done = true;
                ADD_FAILURE() << "no item";
                return;
            }
            WhenReady(
                [&] {
                    auto* f = dynamic_cast<TDatiOpzioni*>(Screen->ActiveForm());
                    return f && f->FocusedControl() && WindowOf(f)->isActiveWindow();
                },
                [&](bool) {
                    Settle();
                    auto* options = dynamic_cast<TDatiOpzioni*>(Screen->ActiveForm());
                    auto* first = options ? dynamic_cast<TEdit*>(options->FocusedControl()) : nullptr;
                    if (!first) {
                        ADD_FAILURE() << "no field focused";
                    } else {
                        const AnsiString held = first->Text;
                        ASSERT_GE(held.size(), 2u);
                        QTest::keyClicks(qttest::FocusWidget(), "7");
                        Settle();
                        EXPECT_EQ(first->Text.Get(), "7") << "held " << held;
                        QTest::keyClick(qttest::FocusWidget(), Qt::Key_Tab);
                        Settle();
                        auto* next = dynamic_cast<TEdit*>(options->FocusedControl());
                        ASSERT_NE(next, nullptr);
                        ASSERT_NE(next, first);
                        const AnsiString nextHeld = next->Text;
                        EXPECT_EQ(next->SelLength.Get(), int(utf8::Length(nextHeld))) << nextHeld;
                        QTest::keyClicks(qttest::FocusWidget(), "8");
                        Settle();
                        if (!nextHeld.empty()) EXPECT_EQ(next->Text.Get(), "8") << "held " << nextHeld;
                        // A click at the right of the first field's text puts
                        // the caret at its end: typing adds to it.
                        auto* line = qobject_cast<QLineEdit*>(WidgetOf(first));
                        ASSERT_NE(line, nullptr);
                        Click(line, QPoint(line->width() - 4, line->height() / 2));
                        WaitUntil([&] { return options->FocusedControl() == first; });
                        Settle();
                        EXPECT_EQ(options->FocusedControl(), first);
                        QTest::keyClicks(qttest::FocusWidget(), "5");
                        Settle();
                        EXPECT_EQ(first->Text.Get(), "75");
                    }
                    if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
                    done = true;
                });
            QTest::mouseClick(open, Qt::LeftButton, {}, open->actionGeometry(a).center());
        });
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(MenuAction(bar, "&Visualizza")).center());
    WaitUntil([&] { return done; }, 3 * qttest::Deadline);
    Settle();
}
