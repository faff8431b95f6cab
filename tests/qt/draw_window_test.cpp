// The drawing control on a real window: the grid's cells painted by the
// model, the status position under the pointer and the wheel's one row.
#include <gtest/gtest.h>

#include <QWheelEvent>
#include <memory>

#include "app/draw_window.h"
#include "app/grid.h"
#include "cells/cables.h"
#include "cells/head_end.h"
#include "cells/outlets.h"
#include "cells/taps.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "qt/qt_test_support.h"

using qttest::Settle;
using qttest::WidgetOf;

namespace {

struct DrawForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    std::unique_ptr<TGridData> grid = std::make_unique<TGridData>(nullptr, 30, 30, GridNetwork);
    TDrawWindow* window = new TDrawWindow(form.get());
    TStatusBar* bar = new TStatusBar(form.get());

    DrawForm() {
        form->SetBounds(0, 0, 640, 480);
        bar->Parent = form.get();
        bar->Align = alBottom;
        bar->Panels->Add()->Width = 120;
        window->Parent = form.get();
        window->SetBounds(0, 0, 620, 400);
        window->StatusBar = bar;
        TGridData* g = grid.get();
        auto* head = new TTesta(g, 0, 0, 14, 0, 0);
        g->InsertCell(head, false, 0);
        for (int32_t r = 1; r < 4; ++r) g->InsertCell(new TNCavo(g, 0, 0, 15, r, 0, 0), false, 0);
        g->InsertCell(new TDerivatore(g, 0, 0, 15, 4, 1, 2), false, 0);
        for (int32_t k = 0; k < 3; ++k) {
            g->InsertCell(new TPresaD(g, 3, 0, 16 + k, 4, k == 2 ? CodeTerminatedOutlet : CodePassThroughOutlet, 1),
                          false, 0);
            g->InsertCell(new TPresaD(g, 1, 0, 14 - k, 4, k == 2 ? CodeTerminatedOutlet : CodePassThroughOutlet, 1),
                          false, 0);
        }
        g->SetErrorMark(15, 4, 1);
        window->SetGrid(g);
    }
    ~DrawForm() { window->SetGrid(nullptr); }
    QPoint Middle(int col, int row) const {
        TRect r = window->CellRect(col, row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
};

TEST(QtDrawWindow, PaintsTheGridFollowsTheMouseAndScrollsOneRowAWheelNotch) {
    DrawForm p;
    p.form->Show();
    p.window->TopRow = 0;
    p.window->LeftCol = 10;
    p.window->Selection = TGridRect{11, 6, 13, 7};
    Settle();

    QImage shot = qttest::WindowOf(p.form.get())->grab().toImage();
    ASSERT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("draw-window.png"))));
    QImage client = WidgetOf(p.window)->grab().toImage();
    EXPECT_GT(qttest::Colours(client), 3);
    QPoint selected = p.Middle(11, 6);
    EXPECT_EQ(QColor(client.pixel(selected)), QColor(255, 255, 175));
    QPoint plain = p.Middle(12, 12);
    EXPECT_EQ(QColor(client.pixel(plain)), QColor(255, 255, 255));

    QTest::mouseMove(WidgetOf(p.window), p.Middle(12, 3));
    Settle();
    EXPECT_EQ(p.bar->Panels->Items[0]->Text.Get(), " X=12, Y=3");

    QPoint at = p.Middle(12, 3);
    QWheelEvent wheel(at, WidgetOf(p.window)->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(WidgetOf(p.window), &wheel);
    EXPECT_EQ(p.window->TopRow, 1);
    EXPECT_TRUE(p.window->ClickConsumed);
}

}  // namespace
