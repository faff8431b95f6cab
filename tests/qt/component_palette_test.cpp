// The component palette and the codes panel on a real window with a drawing
// control: a click on a tool shows its lists, "Ruota" turns the glyph on the
// screen, the colour list drops down drawn by the palette; the palette with
// the splitter tool chosen is written to test-artefacts/component-palette.png.
#include "dialogs/component_palette.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QTransform>
#include <memory>

#include "cells/library_cells.h"
#include "cells/splitters.h"
#include "core/libraries.h"
#include "dialogs/codes_palette.h"
#include "document/grid.h"
#include "platform/forms.h"
#include "qt/qt_test_support.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"
#include "view/draw_window.h"

using qttest::Settle;
using qttest::WidgetOf;

namespace {

struct PaletteForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    std::unique_ptr<TGridData> grid = std::make_unique<TGridData>(nullptr, 30, 30, GridNetwork);
    TPannelloComponenti* palette = new TPannelloComponenti(form.get());
    TPannelloCodici* codes = new TPannelloCodici(form.get());
    TDrawWindow* window = new TDrawWindow(form.get());

    PaletteForm() {
        form->SetBounds(0, 0, 1000, 520);
        palette->Parent = form.get();
        codes->Parent = form.get();
        codes->Align = alLeft;
        window->Parent = form.get();
        window->Align = alClient;
        palette->DrawWindow = window;
        palette->CodesPanel = codes;
        codes->Components = palette;
        window->Palette = palette;
        window->SetGrid(grid.get());
        palette->ShowMode(1);
    }
    ~PaletteForm() { window->SetGrid(nullptr); }
    // The middle of a tool button on the palette's widget.
    QPoint Middle(const char* name) const {
        TSpeedButton* b = palette->ButtonNamed(name);
        return QPoint(b->Left + b->Width / 2, b->Top + b->Height / 2);
    }
    QImage ButtonImage(const char* name) const {
        TSpeedButton* b = palette->ButtonNamed(name);
        return WidgetOf(palette)->grab(QRect(b->Left, b->Top, b->Width, b->Height)).toImage();
    }
};

// How many pixels of an image are near a colour.
int Near(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 &&
                std::abs(c.blue() - colour.blue()) < 40)
                ++n;
        }
    return n;
}

}  // namespace

TEST(QtComponentPalette, ToolsListsTurnsAndTheOwnerDrawnColourList) {
    ScopedGlobals globals;
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    const std::string path = globals.Dir().File("prova.alb");
    ASSERT_TRUE(TLibreria::CreateFile(path));
    auto* library = new TLibreria;
    library->fileName = path;
    ASSERT_TRUE(library->Open(true));
    TDivisore splitter(nullptr, 0, 0, 0, 0, 1, 2);
    splitter.Code = "DIV-12";
    splitter.Category = "Divisori";
    ASSERT_TRUE(WriteLibraryCell(*library, splitter));
    library->Close();
    libraries.Get().Append(std::unique_ptr<TLibreria>(library));

    PaletteForm p;
    p.codes->LibrariesChanged();
    p.form->Show();
    Settle();
    ASSERT_NE(WidgetOf(p.palette), nullptr);

    // A click on the splitter tool shows its two lists.
    QTest::mouseClick(WidgetOf(p.palette), Qt::LeftButton, {}, p.Middle("BDivisore3"));
    Settle();
    EXPECT_EQ(p.palette->CurrentTool(), 4);
    EXPECT_TRUE(p.palette->ButtonNamed("BDivisore3")->Down);
    EXPECT_FALSE(p.palette->ButtonNamed("BArrow")->Down);
    auto* first = qobject_cast<QComboBox*>(WidgetOf(p.palette->FirstList));
    auto* second = qobject_cast<QComboBox*>(WidgetOf(p.palette->SecondList));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(first->currentText().toStdString(), "1 linea");
    EXPECT_EQ(second->currentText().toStdString(), "2 uscite");
    EXPECT_TRUE(WidgetOf(p.palette->BRuota)->isVisible());

    // "Ruota" turns the glyph a quarter clockwise on the screen too.
    const QImage before = p.ButtonImage("BDivisore3");
    QTest::mouseClick(WidgetOf(p.palette->BRuota), Qt::LeftButton);
    Settle();
    EXPECT_EQ(p.palette->RotationOf[4], 1);
    const QImage after = p.ButtonImage("BDivisore3");
    EXPECT_NE(before, after);
    // Inside the button's frame the glyph is the one before, turned.
    const QImage turned = before.copy(3, 3, 21, 21).transformed(QTransform().rotate(90));
    EXPECT_EQ(turned.convertToFormat(QImage::Format_RGB32),
              after.copy(3, 3, 21, 21).convertToFormat(QImage::Format_RGB32));

    // A head-end tool is greyed out on the network page.
    const QImage sat = p.ButtonImage("BSat");
    EXPECT_FALSE(p.palette->ButtonNamed("BSat")->Enabled);
    EXPECT_EQ(Near(sat, QColor(200, 200, 255)), 0);

    const QImage shot = WidgetOf(p.form.get())->grab().toImage();
    EXPECT_GT(qttest::Colours(shot), 3);
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("component-palette.png"))));
    EXPECT_TRUE(WidgetOf(p.palette)->grab().toImage().save(
        QString::fromStdString(qttest::Artefact("component-palette-bar.png"))));

    // The colour list of the line tool drops down drawn by the palette.
    QTest::mouseClick(WidgetOf(p.palette), Qt::LeftButton, {}, p.Middle("BLineaGrafica"));
    Settle();
    auto* colours = qobject_cast<QComboBox*>(WidgetOf(p.palette->GraphicColourList));
    ASSERT_NE(colours, nullptr);
    EXPECT_TRUE(colours->isVisible());
    p.palette->GraphicColourList->DroppedDown = true;
    Settle();
    QAbstractItemView* view = colours->view();
    ASSERT_TRUE(view->isVisible());
    const QImage list = view->grab().toImage();
    EXPECT_GT(Near(list, QColor(255, 0, 0)), 20);
    EXPECT_GT(Near(list, QColor(0, 128, 0)), 20);
    EXPECT_GT(Near(list, QColor(0, 0, 255)), 20);
    EXPECT_TRUE(list.save(QString::fromStdString(qttest::Artefact("component-palette-colours.png"))));
    p.palette->GraphicColourList->DroppedDown = false;
    Settle();

    // The font list offers the screen's fonts once it has the focus.
    QTest::mouseClick(WidgetOf(p.palette), Qt::LeftButton, {}, p.Middle("BTesto"));
    Settle();
    p.palette->FontNameBox->SetFocus();
    Settle();
    EXPECT_EQ(p.palette->FontNameBox->Items->Count(), Screen->Fonts->Count());
    EXPECT_GT(Screen->Fonts->Count(), 0);
    EXPECT_EQ(p.palette->FontNameBox->Text, "Times New Roman");

    // The codes panel lists the library's splitters.
    QTest::mouseClick(WidgetOf(p.palette), Qt::LeftButton, {}, p.Middle("BDivisore3"));
    Settle();
    p.codes->LibraryList->SetFocus();
    Settle();
    p.codes->LibraryList->UserSet(p.codes->LibraryList->Text, library->Name());
    p.codes->CodeList->SetFocus();
    Settle();
    ASSERT_EQ(p.codes->CodeList->Items->Count(), 1);
    EXPECT_EQ((*p.codes->CodeList->Items)[0], "DIV-12");
    const QImage codesShot = WidgetOf(p.codes)->grab().toImage();
    EXPECT_TRUE(codesShot.save(QString::fromStdString(qttest::Artefact("codes-palette.png"))));
}
