// The custom-component editor in real windows, over the main window: the
// palette is lent to it, "Disegno" is chosen with a click on its tab, and
// closing gives the palette back. Screenshots: custom-editor.png and
// custom-editor-size.png in test-artefacts/.
#include "dialogs/custom_editor.h"

#include <gtest/gtest.h>

#include <QMenuBar>
#include <QMessageBox>
#include <QTabBar>
#include <memory>

#include "app/main_form.h"
#include "cells/filters.h"
#include "core/globals.h"
#include "core/options.h"
#include "dialogs/codes_palette.h"
#include "dialogs/component_palette.h"
#include "qt/label_clash.h"
#include "qt/qt_test_support.h"
#include "qt/text_fit.h"
#include "support/custom_cells.h"
#include "support/program_fixture.h"
#include "view/draw_window.h"

using qttest::Settle;
using qttest::WidgetOf;
using qttest::WindowOf;

TEST(QtCustomEditor, OpensOverTheMainWindowWithThePaletteLent) {
    ScopedProgram program;
    TAntenne& main = program.Start();
    for (int i = 0; i < 3; ++i) main.TimerTimer(nullptr);
    Settle();
    Opzioni->showToolbar = true;
    Opzioni->showCodesPanel = true;
    TWinControl* paletteParent = main.Palette->Parent;

    std::unique_ptr<TCellaCustom> cell = MakeCustomSplitter(nullptr, 0, 0);
    GridOf(cell->Drawing).InsertCell(std::make_unique<TFiltroS>(nullptr, 0, 0, 0, 0), false, 0);
    TDatiCellaCustom editor(nullptr);
    editor.LoadDrawing(GridOf(cell->Drawing), cell->InputPoints, cell->OutputPoints, cell->NumInputs,
                       cell->NumOutputs);
    editor.LoadStructure(GridOf(cell->Structure));

    bool ran = false;
    qttest::WhenInFront(
        &editor, [&] {
            ran = true;
            Settle();
            QWidget* window = WindowOf(&editor);
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(window->windowTitle(), "Ordivex Varne - Definizione componente personalizzato");
            // The palette and the codes panel stand in the editor's window.
            EXPECT_TRUE(window->isAncestorOf(WindowOf(main.Palette)));
            EXPECT_TRUE(window->isAncestorOf(WindowOf(main.CodesPanel)));
            EXPECT_TRUE(WindowOf(main.Palette)->isVisible());
            EXPECT_EQ(main.Palette->Mode(), 3);
            QMenuBar* bar = window->findChild<QMenuBar*>();
            ASSERT_NE(bar, nullptr);
            ASSERT_FALSE(bar->actions().isEmpty());
            EXPECT_EQ(bar->actions().first()->text(), "&Visualizza");

            QTabBar* tabs = WidgetOf(editor.TabControl)->findChild<QTabBar*>();
            if (tabs) {
                QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
            } else {
                const TRect r = editor.TabControl->TabRect(1);
                QTest::mouseClick(WidgetOf(editor.TabControl), Qt::LeftButton, {},
                                  QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
            }
            Settle();
            EXPECT_EQ(editor.TabControl->TabIndex.Get(), 1);
            EXPECT_EQ(editor.DrawWindow->Grid(), &editor.SymbolGrid);
            EXPECT_EQ(main.Palette->Mode(), 2);
            // The symbol is in view: scroll to its top-left corner.
            editor.DrawWindow->LeftCol = 0;
            editor.DrawWindow->TopRow = 0;
            Settle();
            EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(&editor)), "");
            const QImage shot = WidgetOf(&editor)->grab().toImage();
            EXPECT_GT(qttest::Colours(shot), 5);
            EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("custom-editor.png"))));

            // The size dialog, shown and left with Annulla.
            const auto sizeDialog = [] {
                for (int i = 0; i < Screen->FormCount(); ++i)
                    if (auto* d = dynamic_cast<TCambiaDimensioni*>(Screen->Forms(i)); d && qttest::InFront(d))
                        return d;
                return static_cast<TCambiaDimensioni*>(nullptr);
            };
            qttest::WhenShown(
                "the size dialog", [sizeDialog] { return sizeDialog() != nullptr; },
                [sizeDialog] {
                    Settle();
                    TCambiaDimensioni* dialog = sizeDialog();
                    ASSERT_NE(dialog, nullptr);
                    dialog->EColonne->Text = "3";
                    dialog->ERighe->Text = "3";
                    Settle();
                    EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(dialog)), "");
                    EXPECT_EQ(qttest::Describe(qttest::CutTexts(WindowOf(dialog))), "");
                    const QImage sizeShot = WindowOf(dialog)->grab().toImage();
                    EXPECT_TRUE(
                        sizeShot.save(QString::fromStdString(qttest::Artefact("custom-editor-size.png"))));
                    QTest::mouseClick(WidgetOf(dialog->BAnnulla), Qt::LeftButton);
                });
            editor.CambiaDimensioni1->Click();
            EXPECT_EQ(editor.SymbolGrid.Columns, cell->Drawing->Columns + 2);

            QTest::mouseClick(WidgetOf(editor.BOk), Qt::LeftButton);
        });
    EXPECT_EQ(editor.ShowModal(), 1);
    EXPECT_TRUE(ran);
    Settle();
    EXPECT_EQ(main.Palette->Parent.Get(), paletteParent);
    EXPECT_EQ(main.Palette->DrawWindow, main.DrawWindow);
    EXPECT_TRUE(WindowOf(&main)->isAncestorOf(WindowOf(main.Palette)));
}

// The editor used with the mouse: a tool of the lent palette placed on the
// structure where the click was, then, after "Ok", the same palette places
// on the main window's drawing again.
TEST(QtCustomEditor, PlacesPartsWithTheLentPaletteAndGivesItBack) {
    ScopedProgram program;
    TAntenne& main = program.Start();
    for (int i = 0; i < 3; ++i) main.TimerTimer(nullptr);
    Settle();
    // The palette shown from the menu, as a person does at the first start.
    main.Visualizza1->Click();
    main.BarraStrumenti->Click();
    Settle();
    ASSERT_TRUE(WindowOf(main.Palette)->isVisible());

    std::unique_ptr<TCellaCustom> cell = MakeCustomSplitter(nullptr, 0, 0);
    TDatiCellaCustom editor(nullptr);
    editor.LoadDrawing(GridOf(cell->Drawing), cell->InputPoints, cell->OutputPoints, cell->NumInputs,
                       cell->NumOutputs);
    editor.LoadStructure(GridOf(cell->Structure));
    auto clickSquare = [](TDrawWindow* window, int32_t column, int32_t row) {
        const TRect r = window->CellRect(column, row);
        const QPoint at((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        QTest::mousePress(WidgetOf(window), Qt::LeftButton, {}, at);
        QTest::mouseRelease(WidgetOf(window), Qt::LeftButton, {}, at);
        Settle();
    };
    TSpeedButton* divider = main.Palette->ButtonNamed("BDivisore3");
    ASSERT_NE(divider, nullptr);
    // A speed button has no window: the click lands on its parent, over it.
    auto clickTool = [divider] {
        const TRect b = divider->BoundsRect();
        QTest::mouseClick(WidgetOf(divider->Parent), Qt::LeftButton, {},
                          QPoint((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2));
        Settle();
    };
    int32_t column = -1, row = -1, code = -1;
    qttest::WhenInFront(&editor, [&] {
        Settle();
        ASSERT_EQ(editor.DrawWindow->Grid(), &editor.StructureGrid);
        clickTool();
        EXPECT_EQ(main.Palette->CurrentTool(), 4);
        column = editor.DrawWindow->LeftCol + 2;
        row = editor.DrawWindow->TopRow + 2;
        ASSERT_EQ(editor.StructureGrid.CellAt(column, row), nullptr);
        clickSquare(editor.DrawWindow, column, row);
        TCella* placed = editor.StructureGrid.CellAt(column, row);
        ASSERT_NE(placed, nullptr);
        code = placed->TypeCode;
        // The divider stands alone: "Avanti >>" finds the circuit broken,
        // says so and keeps the drawing step.
        QString said;
        qttest::WhenBoxShown([&](QMessageBox* box) {
            said = box->text();
            const QImage shot = WidgetOf(&editor)->grab().toImage();
            EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("custom-editor-placed.png"))));
            box->accept();
        });
        QTest::mouseClick(WidgetOf(editor.BAvanti), Qt::LeftButton);
        Settle();
        EXPECT_TRUE(said.startsWith("Esiste una interruzione") || said.startsWith("Un ingresso"))
            << said.toStdString();
        EXPECT_EQ(editor.BAvanti->Caption.Get(), "Avanti >>");
        EXPECT_EQ(editor.DrawWindow->Grid(), &editor.StructureGrid);
        QTest::mouseClick(WidgetOf(editor.BOk), Qt::LeftButton);
    });
    EXPECT_EQ(editor.ShowModal(), 1);
    Settle();
    ASSERT_GE(column, 0);

    // Back in the main window: the palette draws there again.
    EXPECT_TRUE(WindowOf(main.Palette)->isVisible());
    TDrawWindow* drawing = main.DrawWindow;
    TGridData* network = drawing->Grid();
    ASSERT_NE(network, nullptr);
    const int32_t c = drawing->LeftCol + 2, r = drawing->TopRow + 3;
    ASSERT_EQ(network->CellAt(c, r), nullptr);
    clickTool();
    clickSquare(drawing, c, r);
    ASSERT_NE(network->CellAt(c, r), nullptr);
    EXPECT_EQ(network->CellAt(c, r)->TypeCode, code);
}
