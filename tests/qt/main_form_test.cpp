// The main window in real windows, started as the program starts it.
#include "app/main_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <filesystem>

#include "app/about_box.h"
#include "app/lightning_pages.h"
#include "app/mast_page.h"
#include "app/program.h"
#include "autodesign/wizard.h"
#include "dialogs/component_palette.h"
#include "dialogs/customer_data.h"
#include "dialogs/installer_data.h"
#include "dialogs/mast_sizing.h"
#include "dialogs/scheme_size.h"
#include "document/copy_buffer.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/project_files.h"
#include "document/signs.h"
#include "document/undo.h"
#include "qt/group_layout.h"
#include "qt/label_clash.h"
#include "qt/qt_test_support.h"
#include "qt/text_fit.h"
#include "support/default_library_folder.h"
#include "support/program_fixture.h"
#include "view/draw_window.h"

using qttest::Settle;
using qttest::WidgetOf;
using qttest::WindowOf;

namespace {

QAction* MenuAction(QWidget* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text().section('\t', 0, 0) == text) return a;
    return nullptr;
}

// Opens a menu of the bar, then clicks the item in it once the menu shows
// it; afterwards runs once the form the item opens is in front (with no
// form, at once after the click).
void ClickMenu(QMenuBar* bar, const QString& menu, const QString& item, TControl* opened = nullptr,
               std::function<void()> afterwards = {}) {
    QAction* top = MenuAction(bar, menu);
    ASSERT_NE(top, nullptr) << menu.toStdString();
    bool done = false;
    qttest::WhenShown(
        "the menu " + menu.toStdString() + " with " + item.toStdString(),
        [item] { return qttest::OpenMenu() && MenuAction(qttest::OpenMenu(), item); },
        [item, opened, afterwards, &done] {
            QMenu* open = qttest::OpenMenu();
            QAction* a = MenuAction(open, item);
            if (opened) {
                qttest::WhenInFront(opened, [afterwards, &done] {
                    if (afterwards) afterwards();
                    done = true;
                });
            }
            QTest::mouseClick(open, Qt::LeftButton, {}, open->actionGeometry(a).center());
            if (!opened) {
                if (afterwards) afterwards();
                done = true;
            }
        });
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
    EXPECT_TRUE(qttest::WaitUntil([&] { return done; }, 3 * qttest::Deadline));
    Settle();
}

void EndSplash(TAntenne& form) {
    for (int i = 0; i < 3; ++i) form.TimerTimer(nullptr);
}

// The program started, past its splash, and the menu bar of its window.
QMenuBar* StartPastSplash(ScopedProgram& program, TAntenne*& form) {
    form = &program.Start();
    EndSplash(*form);
    Settle();
    return WindowOf(form)->findChild<QMenuBar*>();
}

// The program started for its first-start wizard, the default library and
// selections in its folder (the wizard waits for the splash to end).
TAntenne& StartOverTheDefaultLibrary(ScopedProgram& program) {
    TAntenne& form = program.Start({}, true);
    for (const char* name : {"Varne.alb", "Default.sel"})
        std::filesystem::copy_file(DefaultLibraryFolder() + "/" + name, program.Dir().File(name),
                                   std::filesystem::copy_options::overwrite_existing);
    Settle();
    return form;
}

// The top-level windows in the order they show: a message box by its text,
// any other window by its title.
class TShownWindows : public QObject {
public:
    TShownWindows() { qApp->installEventFilter(this); }
    ~TShownWindows() override { qApp->removeEventFilter(this); }
    std::vector<std::string> shown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        if (!w->isWindow()) return false;
        if (auto* box = qobject_cast<QMessageBox*>(w))
            shown.push_back("box: " + box->text().toStdString());
        else
            shown.push_back(w->windowTitle().toStdString());
        return false;
    }
};

}  // namespace

// Started with a project file that does not exist, the program shows its
// warning and waits for the answer before the wizard of the first start
// opens, even when the answer comes after the splash: the wizard never
// stands over the warning.
TEST(QtMainForm, AStartUpWarningIsAnsweredBeforeTheWizardOpens) {
    ScopedProgram program;
    const std::string missing = program.Dir().File("manca.ant");
    TShownWindows windows;
    bool boxSeen = false, wizardSeen = false, wizardOverBox = false;
    std::vector<std::string> later;
    // Whenever the wizard shows, it is looked at and taken to its end.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        TAutoProgetto* wizard = Antenne ? Antenne->Wizard : nullptr;
        if (!wizard || !wizard->Visible || wizardSeen) return;
        wizardSeen = true;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox*>(w) && w->isVisible()) wizardOverBox = true;
        qttest::WhenInFront(wizard, [wizard] {
            for (int page = 0; page < WizardPages && wizard->ModalResult.Get() == mrNone; ++page)
                QTest::mouseClick(WindowOf(wizard->BAvanti), Qt::LeftButton);
        });
    });
    // The warning, whenever it shows: looked at, left open past the
    // splash's three seconds as a slow reader would, then answered.
    QTimer boxWatch;
    QObject::connect(&boxWatch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !Antenne) return;
        if (boxSeen) {
            // Any later message: answered, so that the test runs on.
            later.push_back(box->text().toStdString());
            QTest::keyClick(box, Qt::Key_Return);
            return;
        }
        boxSeen = true;
        EXPECT_EQ(box->text().toStdString(), "Il file " + missing + " è inesistente.");
        // The library beside the program, for the wizard that follows.
        for (const char* name : {"Varne.alb", "Default.sel"})
            std::filesystem::copy_file(DefaultLibraryFolder() + "/" + name, program.Dir().File(name),
                                       std::filesystem::copy_options::overwrite_existing);
        EndSplash(*Antenne);
        // The splash gone and its timer stopped, and what that posted run:
        // the wizard has had its chance to show.
        EXPECT_TRUE(
            qttest::WaitUntil([] { return !WindowOf(AboutBox)->isVisible() && !Antenne->Timer->Enabled; }));
        Settle();
        EXPECT_FALSE(wizardSeen);
        EXPECT_FALSE(Antenne->Wizard && Antenne->Wizard->Visible);
        QTest::keyClick(box, Qt::Key_Return);
    });
    watch.start(50);
    boxWatch.start(20);
    TAntenne* started = nullptr;
    started = &program.Start({missing}, true);
    EXPECT_TRUE(qttest::WaitUntil([&] { return wizardSeen; }));
    Settle();
    watch.stop();
    boxWatch.stop();
    EXPECT_TRUE(boxSeen);
    EXPECT_TRUE(wizardSeen);
    EXPECT_FALSE(wizardOverBox);
    EXPECT_EQ(later, std::vector<std::string>{});
    // The warning shows, then the wizard: never the other way round.
    const std::string boxText = "box: Il file " + missing + " è inesistente.";
    const auto box = std::find(windows.shown.begin(), windows.shown.end(), boxText);
    ASSERT_NE(box, windows.shown.end());
    const std::string wizardTitle = WindowOf(started->Wizard)->windowTitle().toStdString();
    const auto wizard = std::find(windows.shown.begin(), windows.shown.end(), wizardTitle);
    ASSERT_NE(wizard, windows.shown.end());
    EXPECT_LT(box, wizard);
}

TEST(QtMainForm, TheProgramShowsItsSplashAndThenTheNetworkGrid) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    Settle();
    QWidget* splash = WindowOf(AboutBox);
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    const QImage splashShot = splash->grab().toImage();
    EXPECT_TRUE(splashShot.save(QString::fromStdString(qttest::Artefact("splash.png"))));
    EXPECT_GT(qttest::Colours(splashShot), 3);
    EndSplash(form);
    Settle();
    EXPECT_FALSE(splash->isVisible());

    QWidget* window = WindowOf(&form);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Ordivex Varne - [senza nome]");
    QTabBar* tabs = WidgetOf(form.TabControl)->findChild<QTabBar*>();
    if (tabs) {
        ASSERT_EQ(tabs->count(), 5);
        EXPECT_EQ(tabs->tabText(0), "Rete");
        EXPECT_EQ(tabs->tabText(4), "Fulmini 81.10-2");
    }
    // The next button stands over the right end of the status bar.
    QWidget* next = WindowOf(form.NextButton);
    QWidget* bar = WindowOf(form.StatusBar);
    ASSERT_TRUE(next && bar);
    EXPECT_EQ(qobject_cast<QPushButton*>(next)->text(), "Avanti >>");
    EXPECT_EQ(next->geometry().right(), form.ClientWidth - 1);
    EXPECT_EQ(next->geometry().top(), bar->geometry().top() + 2);
    EXPECT_EQ(form.StatusBar->Panels->Items[1]->Width.Get(), form.ClientWidth - form.NextButton->Width - 124);
    EXPECT_TRUE(WindowOf(form.DrawWindow)->isVisible());
    // The form's client area with the menu bar above it.
    const QImage shot = WidgetOf(&form)->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("main-window.png"))));
    EXPECT_GT(qttest::Colours(shot), 5);
}

TEST(QtMainForm, TheFirstStartLeadsThroughTheWizardToADesign) {
    ScopedProgram program;
    TAntenne& form = StartOverTheDefaultLibrary(program);
    TAutoProgetto* wizard = form.Wizard;
    ASSERT_NE(wizard, nullptr);
    EXPECT_FALSE(wizard->Visible);  // not over the splash
    bool shown = false;
    qttest::WhenInFront(wizard, [&] {
        shown = wizard->Visible && WindowOf(wizard)->isVisible();
        EXPECT_EQ(wizard->VisiblePage(), WizardTypePage);
        for (int page = 0; page < WizardPages && wizard->ModalResult.Get() == mrNone; ++page)
            QTest::mouseClick(WindowOf(wizard->BAvanti), Qt::LeftButton);
    });
    EndSplash(form);
    Settle();
    EXPECT_TRUE(shown);
    EXPECT_EQ(form.CurrentProject->Step, 2);
    EXPECT_EQ(qobject_cast<QPushButton*>(WindowOf(form.NextButton))->text(), "<< Indietro");

    EXPECT_TRUE(WindowOf(&form)->isVisible());
}

TEST(QtMainForm, InfoOpensTheAboutBoxAndAClickClosesIt) {
    ScopedProgram program;
    TAntenne* started = nullptr;
    QMenuBar* bar = StartPastSplash(program, started);
    ASSERT_NE(bar, nullptr);
    bool shown = false;
    ClickMenu(bar, "&Aiuto", "&Info", AboutBox, [&] {
        QWidget* box = WindowOf(AboutBox);
        ASSERT_NE(box, nullptr);
        shown = box->isVisible();
        QWidget* picture = WidgetOf(AboutBox->Panel);
        ASSERT_NE(picture, nullptr);
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(40, 40));
    });
    EXPECT_TRUE(shown);
    EXPECT_FALSE(WindowOf(AboutBox)->isVisible());
    EXPECT_EQ(AboutBox->ModalResult.Get(), mrOk);
}

TEST(QtMainForm, PersonalizzazioneStoresTheFirmAndShowsItsLine) {
    ScopedProgram program;
    TAntenne* started = nullptr;
    QMenuBar* bar = StartPastSplash(program, started);
    ASSERT_NE(bar, nullptr);
    TAntenne& form = *started;
    ClickMenu(bar, "&Visualizza", "&Personalizzazione", DatiIntestazione, [&] {
        QWidget* dialog = WindowOf(DatiIntestazione);
        ASSERT_NE(dialog, nullptr);
        auto* firm = qobject_cast<QLineEdit*>(WindowOf(DatiIntestazione->EDitta));
        ASSERT_NE(firm, nullptr);
        firm->setFocus();
        QTest::keyClicks(firm, "Antenne Bianchi");
        EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(DatiIntestazione)), "");
        EXPECT_EQ(qttest::Describe(qttest::CutTexts(dialog)), "");
        const QImage shot = dialog->grab().toImage();
        EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("installer-data.png"))));
        qttest::ExpectGroupContentsBelowCaptions(DatiIntestazione);
        QTest::mouseClick(WindowOf(DatiIntestazione->BOk), Qt::LeftButton);
    });
    EXPECT_EQ(program.Stored("IDitta1"), "Antenne Bianchi");
    // The address and the town not given keep their separators.
    EXPECT_EQ(form.StatusBar->Panels->Items[1]->Text.Get(), "Antenne Bianchi -  - ");
}

TEST(QtMainForm, ZoomFromTheMenuAndBackWithItsShortcut) {
    ScopedProgram program;
    TAntenne* started = nullptr;
    QMenuBar* bar = StartPastSplash(program, started);
    ASSERT_NE(bar, nullptr);
    TAntenne& form = *started;
    ASSERT_EQ(form.DrawWindow->DefaultColWidth.Get(), 42);
    bool shortcutsShown = false;
    ClickMenu(bar, "&Visualizza", "Zoom &avanti");
    // The menu showed the shortcuts beside the captions.
    for (QAction* top : bar->actions())
        if (top->menu())
            for (QAction* a : top->menu()->actions())
                if (a->text() == "Zoom &indietro\tCtrl+O") shortcutsShown = true;
    EXPECT_TRUE(shortcutsShown);
    EXPECT_EQ(form.DrawWindow->DefaultColWidth.Get(), 21);
    QWidget* grid = WidgetOf(form.DrawWindow);
    ASSERT_NE(grid, nullptr);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_O, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(form.DrawWindow->DefaultColWidth.Get(), 42);

    // With the palette above it the window is shorter: its scroll bar stays inside it.
    ClickMenu(bar, "&Visualizza", "&Barra Strumenti");
    EXPECT_TRUE(form.Palette->Visible);
    QWidget* window = WindowOf(form.DrawWindow);
    QScrollBar* across = nullptr;
    for (QScrollBar* b : window->findChildren<QScrollBar*>())
        if (b->orientation() == Qt::Horizontal) across = b;
    ASSERT_NE(across, nullptr);
    EXPECT_TRUE(across->isVisible());
    EXPECT_LE(across->geometry().bottom(), window->height() - 1);
    EXPECT_EQ(across->geometry().top(), 2 + form.DrawWindow->ClientHeight);
}

TEST(QtMainForm, CustomerDataAndSchemeSizeForms) {
    ScopedProgram program;
    TAntenne* started = nullptr;
    QMenuBar* bar = StartPastSplash(program, started);
    ASSERT_NE(bar, nullptr);
    TAntenne& form = *started;
    ClickMenu(bar, "&File", "Dati &progettuali", DatiCommittente, [&] {
        QWidget* dialog = WindowOf(DatiCommittente);
        ASSERT_NE(dialog, nullptr);
        auto* name = qobject_cast<QLineEdit*>(WindowOf(DatiCommittente->Nome));
        ASSERT_NE(name, nullptr);
        name->setFocus();
        QTest::keyClicks(name, "Condominio Aurora");
        EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(DatiCommittente)), "");
        EXPECT_EQ(qttest::Describe(qttest::CutTexts(dialog)), "");
        const QImage shot = dialog->grab().toImage();
        EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("customer-data.png"))));
        QTest::mouseClick(WindowOf(DatiCommittente->BOk), Qt::LeftButton);
    });
    EXPECT_EQ(form.CurrentProject->HeaderTexts[0], "Condominio Aurora");
    EXPECT_TRUE(form.CurrentProject->Modified);

    bool refused = false;
    ClickMenu(bar, "&Visualizza", "&Dimensione schemi", DimensioneSchemi, [&] {
        QWidget* dialog = WindowOf(DimensioneSchemi);
        ASSERT_NE(dialog, nullptr);
        auto* rows = qobject_cast<QLineEdit*>(WindowOf(DimensioneSchemi->ERRighe));
        ASSERT_NE(rows, nullptr);
        EXPECT_TRUE(WindowOf(DimensioneSchemi->BOk)->isEnabled());
        rows->setFocus();
        rows->selectAll();
        QTest::keyClicks(rows, "3");
        Settle();
        refused = !WindowOf(DimensioneSchemi->BOk)->isEnabled();
        EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(DimensioneSchemi)), "");
        EXPECT_EQ(qttest::Describe(qttest::CutTexts(dialog)), "");
        const QImage shot = dialog->grab().toImage();
        EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("scheme-size.png"))));
        // A press onto "Annulla" leaves the rows' edit, whose 3 lies below the
        // least: that first press may be taken by the check of the edit, a
        // second one closes the form.
        qttest::BoxWatch boxes;
        QTest::mouseClick(WindowOf(DimensioneSchemi->BAnnulla), Qt::LeftButton);
        Settle();
        if (DimensioneSchemi->Visible) QTest::mouseClick(WindowOf(DimensioneSchemi->BAnnulla), Qt::LeftButton);
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(form.CurrentProject->NetworkGrid->Rows, 75);
}

// "Dati progettuali" closed from its button and opened again starts on its
// first field: what the person types lands there, not on the button, which
// a blank would press. The focused button shows its focus mark.
TEST(QtMainForm, AFormShownAgainStartsOnItsFirstField) {
    ScopedProgram program;
    TAntenne* started = nullptr;
    QMenuBar* bar = StartPastSplash(program, started);
    ASSERT_NE(bar, nullptr);
    TAntenne& form = *started;
    QImage plainButton, focusedButton;
    ClickMenu(bar, "&File", "Dati &progettuali", DatiCommittente, [&] {
        QWidget* ok = WindowOf(DatiCommittente->BOk);
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(DatiCommittente->FocusedControl(), DatiCommittente->Nome);
        // Tab by Tab from the first field to the button, which then closes
        // the form by the keyboard.
        for (int i = 0; i < 40 && DatiCommittente->FocusedControl() != DatiCommittente->BOk; ++i) {
            QTest::keyClick(qttest::FocusWidget(), Qt::Key_Tab);
            Settle();
        }
        ASSERT_EQ(DatiCommittente->FocusedControl(), DatiCommittente->BOk);
        focusedButton = ok->grab().toImage();
        EXPECT_TRUE(focusedButton.save(QString::fromStdString(qttest::Artefact("focused-button.png"))));
        // The same button once the focus has moved on, and back.
        QTest::keyClick(qttest::FocusWidget(), Qt::Key_Tab);
        Settle();
        EXPECT_NE(DatiCommittente->FocusedControl(), DatiCommittente->BOk);
        plainButton = ok->grab().toImage();
        EXPECT_TRUE(plainButton.save(QString::fromStdString(qttest::Artefact("unfocused-button.png"))));
        QTest::keyClick(qttest::FocusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        Settle();
        ASSERT_EQ(DatiCommittente->FocusedControl(), DatiCommittente->BOk);
        QTest::keyClick(qttest::FocusWidget(), Qt::Key_Space);
    });
    EXPECT_FALSE(DatiCommittente->Visible);
    ASSERT_FALSE(plainButton.isNull());
    EXPECT_NE(plainButton, focusedButton);

    ClickMenu(bar, "&File", "Dati &progettuali", DatiCommittente, [&] {
        EXPECT_EQ(DatiCommittente->FocusedControl(), DatiCommittente->Nome);
        QTest::keyClicks(qttest::FocusWidget(), "Villa Rosa");
        Settle();
        EXPECT_TRUE(DatiCommittente->Visible);
        EXPECT_EQ(DatiCommittente->Nome->Text.Get(), "Villa Rosa");
        QTest::mouseClick(WindowOf(DatiCommittente->BOk), Qt::LeftButton);
    });
    EXPECT_EQ(form.CurrentProject->HeaderTexts[0], "Villa Rosa");
}

TEST(QtMainForm, CopyAndPasteThroughTheEditMenu) {
    ScopedProgram program;
    TAntenne* started = nullptr;
    QMenuBar* bar = StartPastSplash(program, started);
    ASSERT_NE(bar, nullptr);
    TAntenne& form = *started;
    TGridData& grid = *form.CurrentProject->NetworkGrid;
    DrawTwoTaps(*form.CurrentProject);
    const int32_t tap = grid.CellAt(37, 1)->TypeCode, outlet = grid.CellAt(38, 1)->TypeCode;
    form.DrawWindow->Invalidate();

    // Nothing copied: "&Incolla" is disabled, and a click on it pastes
    // nothing and leaves the menu open.
    form.DrawWindow->Selection = TGridRect{40, 1, 40, 1};
    Settle();
    bool stayedOpen = false;
    ClickMenu(bar, "&Modifica", "&Incolla", nullptr, [&] {
        auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        stayedOpen =
            open && !MenuAction(open, "&Incolla")->isEnabled() && MenuAction(open, "&Copia")->isEnabled();
        if (open) open->close();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(grid.CellAt(40, 1), nullptr);

    form.DrawWindow->Selection = TGridRect{37, 1, 38, 2};
    Settle();
    ClickMenu(bar, "&Modifica", "&Copia");
    EXPECT_EQ(grid.CopyBuffer->CellCount(), 4);
    form.DrawWindow->Selection = TGridRect{40, 1, 40, 1};
    Settle();
    ClickMenu(bar, "&Modifica", "&Incolla");
    form.DrawWindow->Selection = TGridRect{43, 1, 43, 1};
    Settle();
    ClickMenu(bar, "&Modifica", "Incolla &speculare");
    const struct {
        int32_t column, row, type;
    } expected[] = {{40, 1, tap}, {41, 1, outlet}, {40, 2, tap}, {41, 2, outlet},
                    {44, 1, tap}, {43, 1, outlet}, {44, 2, tap}, {43, 2, outlet}};
    for (const auto& e : expected) {
        TCella* cell = grid.CellAt(e.column, e.row);
        ASSERT_NE(cell, nullptr) << e.column << "," << e.row;
        EXPECT_EQ(cell->TypeCode, e.type) << e.column << "," << e.row;
    }
    const QImage shot = WidgetOf(&form)->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("edit-menu-paste.png"))));
}

// A rectangle drawn with the palette's tool and selected with the arrow
// (its handles shown) goes with "Modifica" > "Elimina" and with Canc, even
// when the selected squares do not touch its outline, and "Annulla elimina"
// brings back that very sign; a deletion that takes nothing leaves no
// "Annulla elimina" behind.
TEST(QtMainForm, ASelectedRectangleGoesWithEliminaAndWithCancAndComesBack) {
    ScopedProgram program;
    TAntenne* started = nullptr;
    QMenuBar* bar = StartPastSplash(program, started);
    ASSERT_NE(bar, nullptr);
    TAntenne& form = *started;
    TGridData& grid = *form.CurrentProject->NetworkGrid;
    TDrawWindow* window = form.DrawWindow;
    ASSERT_TRUE(window->Visible);
    QWidget* view = WidgetOf(window);
    const int32_t c0 = window->LeftCol + 2, r0 = window->TopRow + 3;
    auto middle = [&](int32_t col, int32_t row) {
        const TRect r = window->CellRect(col, row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(view, &event);
    };

    auto tool = [&](const char* name) {
        TSpeedButton* b = form.Palette->ButtonNamed(name);
        QTest::mouseClick(WidgetOf(form.Palette), Qt::LeftButton, {},
                          QPoint(b->Left + b->Width / 2, b->Top + b->Height / 2));
        Settle();
    };
    tool("BRettangoloGrafico");
    ASSERT_EQ(form.Palette->CurrentTool(), ToolRectangle);
    send(QEvent::MouseButtonPress, middle(c0, r0), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, middle(c0 + 3, r0 + 2), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, middle(c0 + 6, r0 + 5), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, middle(c0 + 6, r0 + 5), Qt::LeftButton, Qt::NoButton);
    Settle();
    ASSERT_EQ(grid.Signs->Count(), 1);
    TSegnoGrafico* rectangle = grid.Signs->head;
    ASSERT_EQ(rectangle->Kind, SignRectangle);
    const std::vector<int32_t> corners = {rectangle->X1, rectangle->Y1, rectangle->X2, rectangle->Y2};
    tool("BArrow");
    ASSERT_EQ(form.Palette->CurrentTool(), ToolArrow);

    // Selected on its outline; the arrows then take the selected square
    // inside it, clear of the outline.
    auto select = [&] {
        QTest::mouseClick(view, Qt::LeftButton, {}, middle(c0, r0));
        Settle();
        ASSERT_TRUE(window->SelectedSigns.Contains(rectangle));
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down})
            QTest::keyClick(view, key);
        Settle();
        ASSERT_EQ(window->Selection.Get().Left, c0 + 2);
        ASSERT_EQ(window->Selection.Get().Top, r0 + 2);
        ASSERT_TRUE(window->SelectedSigns.Contains(rectangle));
    };
    auto backAsItWas = [&] {
        ASSERT_EQ(grid.Signs->Count(), 1);
        EXPECT_EQ(grid.Signs->head, rectangle);
        EXPECT_EQ((std::vector<int32_t>{rectangle->X1, rectangle->Y1, rectangle->X2, rectangle->Y2}), corners);
    };

    ASSERT_NO_FATAL_FAILURE(select());
    const QImage handles = WindowOf(&form)->grab().toImage();
    EXPECT_TRUE(handles.save(QString::fromStdString(qttest::Artefact("sign-selected.png"))));
    ClickMenu(bar, "&Modifica", "&Elimina");
    EXPECT_EQ(grid.Signs->Count(), 0);
    EXPECT_TRUE(window->SelectedSigns.Empty());
    ClickMenu(bar, "&Modifica", "&Annulla elimina");
    backAsItWas();

    ASSERT_NO_FATAL_FAILURE(select());
    QTest::keyClick(view, Qt::Key_Delete);
    Settle();
    EXPECT_EQ(grid.Signs->Count(), 0);
    ClickMenu(bar, "&Modifica", "&Annulla elimina");
    backAsItWas();

    // Nothing selected, an empty square: Canc and "Elimina" take nothing,
    // and the step to take back is still the drawing of the rectangle.
    QTest::mouseClick(view, Qt::LeftButton, {}, middle(c0 + 9, r0 + 1));
    Settle();
    EXPECT_TRUE(window->SelectedSigns.Empty());
    QTest::keyClick(view, Qt::Key_Delete);
    ClickMenu(bar, "&Modifica", "&Elimina");
    backAsItWas();
    EXPECT_EQ(grid.UndoList->GetMenuCaption(), "&Annulla inserimento");
    ClickMenu(bar, "&Modifica", "&Annulla inserimento");
    EXPECT_EQ(grid.Signs->Count(), 0);
}

// "Determinazione automatica sostegno" from the menu, answered with real
// clicks: the form opens the second time with the tubes of the first and
// sizes the same mast; "Ok" with no tube selected is refused in the form;
// a sizing that finds no mast leaves the mast as it was. The red panel
// stays away while the mast holds.
TEST(QtMainForm, TheMastSizedTwiceIsTheSameAndARefusalOrAFailureKeepsIt) {
    ScopedProgram program;
    TAntenne* started = nullptr;
    QMenuBar* bar = StartPastSplash(program, started);
    ASSERT_NE(bar, nullptr);
    TAntenne& form = *started;
    TProgetto& project = *form.CurrentProject;
    TPalo& palo = *project.Mast;
    auto yagi = std::make_unique<TDatiAntenna>();
    yagi->Spacing = 250;
    yagi->Area = 0.1f;
    palo.Antennas.Items.push_back(std::move(yagi));
    form.MastPage->ShowMast();
    TPaginaSostegno& page = *form.MastPage;
    auto sizingForm = [&page]() -> TDatiAutSost* {
        return page.DatiAutSost && qttest::InFront(page.DatiAutSost) ? page.DatiAutSost : nullptr;
    };
    // Runs fn with the sizing form once it is in front.
    auto whenFormShown = [&](std::function<void(TDatiAutSost&)> fn) {
        qttest::WhenShown(
            "the sizing form", [&] { return sizingForm() != nullptr; }, [&, fn] { fn(*sizingForm()); });
    };
    auto click = [](TControl* c) { QTest::mouseClick(WidgetOf(c), Qt::LeftButton); };
    auto sections = [&palo] {
        std::vector<float> s = {static_cast<float>(palo.SectionCount)};
        for (const TTroncoPalo& t : palo.Sections) s.insert(s.end(), {t.Diameter, t.Thickness, t.Length});
        return s;
    };
    TShownWindows windows;
    auto boxes = [&windows] {
        std::vector<std::string> b;
        for (const std::string& w : windows.shown)
            if (w.rfind("box: ", 0) == 0) b.push_back(w.substr(5));
        return b;
    };
    const char* const command = "Determinazione automatica &sostegno";

    int selectedFirst = 0;
    whenFormShown([&](TDatiAutSost& f) {
        selectedFirst = f.ListTronchi->SelCount();
        click(f.ButtonOk);
    });
    ClickMenu(bar, "S&trumenti", command);
    EXPECT_EQ(selectedFirst, 15);
    ASSERT_GE(palo.SectionCount, 1);
    ASSERT_NE(palo.Sections[0].Diameter, LevelNone);
    const std::vector<float> sized = sections();
    EXPECT_TRUE(form.IsPageSelected(PageSostegno));
    EXPECT_FALSE(page.PanelAttenzione->Visible) << page.MemoAttenzione->Text.Get();

    int selectedAgain = 0;
    whenFormShown([&](TDatiAutSost& f) {
        selectedAgain = f.ListTronchi->SelCount();
        click(f.ButtonOk);
    });
    ClickMenu(bar, "S&trumenti", command);
    EXPECT_EQ(selectedAgain, 15);
    EXPECT_EQ(sections(), sized);
    EXPECT_FALSE(page.PanelAttenzione->Visible) << page.MemoAttenzione->Text.Get();
    EXPECT_TRUE(boxes().empty());

    // The only tube selected unselected with Ctrl and a click: "Ok" refused
    // in the form, which stays until "Annulla".
    project.Modified = false;
    bool stayed = false;
    whenFormShown([&](TDatiAutSost& f) {
        QWidget* list = WidgetOf(f.ListTronchi);
        const TRect first = f.ListTronchi->ItemRect(0);
        const QPoint at(first.Left + 10, (first.Top + first.Bottom) / 2);
        QTest::mouseClick(list, Qt::LeftButton, {}, at);
        QTest::mouseClick(list, Qt::LeftButton, Qt::ControlModifier, at);
        Settle();
        EXPECT_EQ(f.ListTronchi->SelCount(), 0);
        qttest::WhenBoxShown([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
        click(f.ButtonOk);
        Settle();
        stayed = sizingForm() == &f;
        click(f.ButtonAnnulla);
    });
    ClickMenu(bar, "S&trumenti", command);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(boxes(), std::vector<std::string>{"Selezionare almeno un tronco."});
    EXPECT_EQ(sections(), sized);
    EXPECT_FALSE(project.Modified);

    // Only the thinnest tube: no mast holds the antenna. The message, and
    // the mast and its table as they were.
    whenFormShown([&](TDatiAutSost& f) {
        const TRect first = f.ListTronchi->ItemRect(0);
        QTest::mouseClick(WidgetOf(f.ListTronchi), Qt::LeftButton, {},
                          QPoint(first.Left + 10, (first.Top + first.Bottom) / 2));
        Settle();
        EXPECT_EQ(f.ListTronchi->SelCount(), 1);
        qttest::WhenBoxShown([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
        click(f.ButtonOk);
    });
    ClickMenu(bar, "S&trumenti", command);
    EXPECT_EQ(boxes(), (std::vector<std::string>{"Selezionare almeno un tronco.",
                                                 "Non è possibile dimensionare il sostegno con i tronchi forniti."}));
    EXPECT_EQ(sections(), sized);
    EXPECT_EQ(page.GridTronchi->Cells[1][1], FormatFloat("0.##", sized[1]));
    EXPECT_EQ(page.ComboTronchi->ItemIndex.Get(), static_cast<int>(sized[0]) - 1);
    EXPECT_FALSE(page.PanelAttenzione->Visible) << page.MemoAttenzione->Text.Get();
    EXPECT_FALSE(project.Modified);
    const QImage shot = WindowOf(&form)->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("mast-sizing-kept.png"))));
}

// The pages of fixed size (mast and lightning) show every group whole in a
// window of 995 x 698 pixels, inside the tab control's page area.
TEST(QtMainForm, FixedPagesFitASmallWindow) {
    ScopedProgram program;
    TAntenne* started = nullptr;
    ASSERT_NE(StartPastSplash(program, started), nullptr);
    TAntenne& form = *started;
    form.WindowState = wsNormal;
    form.SetBounds(0, 0, 995, 698);
    Settle();
    const TRect display = form.TabControl->DisplayRect();
    struct Page {
        const char* caption;
        TWinControl* panel;
        const char* shot;
    };
    for (const Page& p : {Page{PageSostegno, form.MastPage, "main-window-mast.png"},
                          Page{PageFulmini811, form.Lightning811Page, "main-window-fulmini-811.png"},
                          Page{PageFulmini8110, form.Lightning8110Page, "main-window-fulmini-8110.png"}}) {
        form.SelectPage(p.caption);
        Settle();
        ASSERT_TRUE(p.panel->Visible) << p.caption;
        for (int i = 0; i < p.panel->ControlCount(); ++i) {
            TControl* c = p.panel->Controls(i);
            if (!c->Visible) continue;
            EXPECT_LE(p.panel->Top + c->Top + c->Height, display.Bottom) << p.caption << ": control " << i;
            EXPECT_LE(p.panel->Left + c->Left + c->Width, display.Right) << p.caption << ": control " << i;
        }
        const QImage shot = WidgetOf(&form)->grab().toImage();
        EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact(p.shot))));
    }
}

// The button beside the status bar opens the wizard on its components page,
// whatever it reads: "<< Indietro" after a design and after a project was
// opened (the wizard reloads from the opened project first), "Avanti >>"
// while drawing. Screenshot: wizard-from-main-button.png.
TEST(QtMainForm, TheNextButtonOpensTheWizardOnItsComponentsPage) {
    ScopedProgram program;
    TAntenne& form = StartOverTheDefaultLibrary(program);
    TAutoProgetto* wizard = form.Wizard;
    ASSERT_NE(wizard, nullptr);
    qttest::WhenInFront(wizard, [&] {
        for (int page = 0; page < WizardPages && wizard->ModalResult.Get() == mrNone; ++page)
            QTest::mouseClick(WindowOf(wizard->BAvanti), Qt::LeftButton);
    });
    EndSplash(form);
    Settle();
    ASSERT_EQ(form.CurrentProject->Step, 2);
    const AnsiString file = program.Dir().File("disegnato.ant");
    ASSERT_EQ(form.SaveProject(file, *form.CurrentProject, ProjectVersionCurrent), 0);

    // Opens the wizard with the main window's button and tells which page it showed.
    auto pageFromButton = [&](const char* expectedCaption, const char* shot) {
        auto* button = qobject_cast<QPushButton*>(WindowOf(form.NextButton));
        EXPECT_EQ(button->text(), expectedCaption);
        int page = -1;
        qttest::WhenInFront(wizard, [&] {
            page = wizard->VisiblePage();
            Settle();
            if (shot)
                EXPECT_TRUE(
                    WindowOf(wizard)->grab().toImage().save(QString::fromStdString(qttest::Artefact(shot))));
            wizard->ModalResult = WizardClosed;
        });
        QTest::mouseClick(button, Qt::LeftButton);
        Settle();
        return page;
    };
    EXPECT_EQ(pageFromButton("<< Indietro", nullptr), WizardComponentsPage);

    ASSERT_EQ(form.LoadProject(file, *form.CurrentProject), 0);
    form.ShowProject(form.CurrentProject);
    form.AfterLoad();
    Settle();
    ASSERT_FALSE(wizard->Opz().WizardSynced);
    EXPECT_EQ(pageFromButton("<< Indietro", "wizard-from-main-button.png"), WizardComponentsPage);
    EXPECT_TRUE(wizard->Opz().WizardSynced);

    // Back to drawing, then forward again.
    form.CurrentProject->Step = 1;
    form.RebuildPages();
    Settle();
    EXPECT_EQ(pageFromButton("Avanti >>", nullptr), WizardComponentsPage);
}

// The wizard opened again from the main window's button keeps the cable
// codes it showed, though the library picker of the first row takes the
// focus each time. Screenshot: wizard-reopened-cables.png.
TEST(QtMainForm, TheWizardOpenedAgainKeepsItsCableCodes) {
    ScopedProgram program;
    TAntenne& form = StartOverTheDefaultLibrary(program);
    TAutoProgetto* wizard = form.Wizard;
    ASSERT_NE(wizard, nullptr);
    qttest::WhenInFront(wizard, [&] {
        for (int page = 0; page < WizardPages && wizard->ModalResult.Get() == mrNone; ++page)
            QTest::mouseClick(WindowOf(wizard->BAvanti), Qt::LeftButton);
    });
    EndSplash(form);
    Settle();
    ASSERT_EQ(form.CurrentProject->Step, 2);
    std::vector<AnsiString> designed;
    for (TComboBox* picker : wizard->CablePicker) designed.push_back(picker->Text);
    ASSERT_FALSE(designed[1].empty());
    // Saved and opened again: the wizard reloads from the project's settings.
    const AnsiString file = program.Dir().File("cavi.ant");
    ASSERT_EQ(form.SaveProject(file, *form.CurrentProject, ProjectVersionCurrent), 0);
    ASSERT_EQ(form.LoadProject(file, *form.CurrentProject), 0);
    form.ShowProject(form.CurrentProject);
    form.AfterLoad();
    Settle();

    // Twice through the button and "Fine", with nothing changed.
    for (int round = 0; round < 3; ++round) {
        std::vector<AnsiString> shown;
        qttest::WhenInFront(wizard, [&] {
            // The first row's library picker has the focus, as the window system gives it.
            QApplication::setActiveWindow(WindowOf(wizard));
            wizard->CablePicker[0]->SetFocus();
            Settle();
            for (TComboBox* picker : wizard->CablePicker) shown.push_back(picker->Text);
            if (round == 2)
                EXPECT_TRUE(WindowOf(wizard)->grab().toImage().save(
                    QString::fromStdString(qttest::Artefact("wizard-reopened-cables.png"))));
            // "Fine" takes the focus from the picker as the click does on a screen.
            wizard->BAvanti->SetFocus();
            QTest::mouseClick(WindowOf(wizard->BAvanti), Qt::LeftButton);
        });
        QTest::mouseClick(WindowOf(form.NextButton), Qt::LeftButton);
        Settle();
        EXPECT_EQ(shown, designed) << "round " << round;
    }
}
