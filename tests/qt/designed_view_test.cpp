// The drawing of a building the wizard designs, seen as a person sees it:
// zoomed out and back in with the keyboard, the same squares come back.
#include <gtest/gtest.h>

#include "app/main_form.h"
#include "document/grid.h"
#include "document/project.h"
#include "qt/designed_project.h"
#include "qt/qt_test_support.h"
#include "view/draw_window.h"

namespace {

using namespace qttest;

// Clicks the tab with that caption on the main window's tab control.
void ClickTab(TAntenne& form, const AnsiString& caption) {
    TTabControl* tabs = form.TabControl;
    const int index = tabs->Tabs->IndexOf(caption);
    ASSERT_GE(index, 0) << caption;
    const TRect r = tabs->TabRect(index);
    QTest::mouseClick(WidgetOf(tabs), Qt::LeftButton, {},
                      QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    Settle();
}

// A multiswitch design on "Rete", scrolled to its middle: Ctrl+I twice
// (42 -> 21 -> 15), Ctrl+O twice (15 -> 21 -> 42). The squares at the top
// left are those of the start, and the drawing looks as it did, pixel for
// pixel. Screenshots: zoom-back-before.png, zoom-back-15.png, zoom-back-after.png.
TEST(QtDesignedView, ZoomingOutAndBackInShowsTheSameDrawing) {
    ScopedProgram program;
    TAntenne* form = StartDesigned(program, 4, 8);
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->CurrentProject->Step, 2);
    ClickTab(*form, "Rete");
    ASSERT_TRUE(form->IsPageSelected("Rete"));
    TDrawWindow* window = form->DrawWindow;
    ASSERT_EQ(window->DefaultColWidth.Get(), 42);
    ASSERT_EQ(window->Grid(), form->CurrentProject->NetworkGrid);
    QWidget* grid = WidgetOf(window);
    ASSERT_NE(grid, nullptr);
    const int32_t left = window->LeftCol, top = window->TopRow;
    const QImage before = grid->grab().toImage();
    ASSERT_TRUE(before.save(QString::fromStdString(Artefact("zoom-back-before.png"))));

    grid->setFocus();
    Settle();
    for (int size : {21, 15}) {
        QTest::keyClick(grid, Qt::Key_I, Qt::ControlModifier);
        Settle();
        ASSERT_EQ(window->DefaultColWidth.Get(), size);
    }
    ASSERT_TRUE(grid->grab().toImage().save(QString::fromStdString(Artefact("zoom-back-15.png"))));
    // At 15 the grid's last squares may hold the view back, never further
    // than they must: the starting square is in view.
    EXPECT_LE(window->LeftCol.Get(), left);
    EXPECT_GT(window->LeftCol + window->VisibleColCount(), left);
    EXPECT_LE(window->TopRow.Get(), top);
    for (int size : {21, 42}) {
        QTest::keyClick(grid, Qt::Key_O, Qt::ControlModifier);
        Settle();
        ASSERT_EQ(window->DefaultColWidth.Get(), size);
    }
    EXPECT_EQ(window->LeftCol.Get(), left);
    EXPECT_EQ(window->TopRow.Get(), top);
    QImage after = grid->grab().toImage();
    ASSERT_TRUE(after.save(QString::fromStdString(Artefact("zoom-back-after.png"))));
    ASSERT_EQ(after.size(), before.size());
    int differing = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
}

}  // namespace
