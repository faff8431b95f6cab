// The drawing control on a real window: the grid's cells painted by the
// model, the status position under the pointer and the wheel's one row;
// editing with the real mouse: a cable dragged, a rectangle sign drawn with
// its inverted band, a double click, the hint window and the text editor
// over the grid, and the popup's undo.
#include "view/draw_window.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <memory>

#include "cells/cables.h"
#include "cells/head_end.h"
#include "cells/outlets.h"
#include "cells/taps.h"
#include "document/grid.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "qt/qt_test_support.h"
#include "support/stand_in_palette.h"
#include "support/test_cells.h"

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
        g->InsertCell(std::make_unique<TTesta>(g, 0, 0, 14, 0, 0), false, 0);
        for (int32_t r = 1; r < 4; ++r)
            g->InsertCell(std::make_unique<TNCavo>(g, 0, 0, 15, r, 0, 0), false, 0);
        g->InsertCell(std::make_unique<TDerivatore>(g, 0, 0, 15, 4, 1, 2), false, 0);
        for (int32_t k = 0; k < 3; ++k) {
            g->InsertCell(std::make_unique<TPresaD>(g, 3, 0, 16 + k, 4,
                                                    k == 2 ? CodeTerminatedOutlet : CodePassThroughOutlet, 1),
                          false, 0);
            g->InsertCell(std::make_unique<TPresaD>(g, 1, 0, 14 - k, 4,
                                                    k == 2 ? CodeTerminatedOutlet : CodePassThroughOutlet, 1),
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
    QWidget* Widget() const { return WidgetOf(window); }
    // The person's mouse on the control's window.
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, Widget()->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(Widget(), &event);
    }
    void Press(QPoint at) { Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton); }
    void MoveHeld(QPoint at) { Send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }
    void Release(QPoint at) { Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
    QImage Shot() const { return Widget()->grab().toImage(); }
};

// A cell whose data dialog answers OK and remembers that it was asked.
class TDialogCell : public TCellaProva {
public:
    using TCellaProva::TCellaProva;
    bool OpenDataDialog() override {
        ++opened;
        return true;
    }
    int opened = 0;
};

// A cell whose report runs as many lines as asked, in columns set by tabs as
// the cells' channel rows are.
class TReportCell : public TCellaProva {
public:
    using TCellaProva::TCellaProva;
    void WriteReport(TRichEdit* report, TInfoMousePos&) override {
        report->Lines->Add(heading);
        for (int i = 0; i < lines; ++i)
            report->Lines->Add(std::to_string(950 + 38 * i) + "/" + std::to_string(986 + 38 * i) +
                               ":\tTr 57 Sky\t\t76,35\t76,35\t16,00\t16,00\t1244-1280[Sa1]");
    }
    int lines = 0;
    std::string heading = "Presa P1- Generico GPR GP-TS2-D Presa";
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

TEST(QtDrawWindow, EditsWithTheMouseBandsSurviveRepaintsAndThePopupUndoes) {
    DrawForm p;
    TStandInPalette palette;
    p.window->Palette = &palette;
    TGridData* g = p.grid.get();
    p.form->Show();
    p.window->TopRow = 0;
    p.window->LeftCol = 2;
    Settle();

    // A cable dragged over four squares from an empty one.
    palette.Tool = ToolStraightCable;
    palette.Turn = 1;
    palette.Cable = clRed;
    p.Press(p.Middle(4, 7));
    for (int c = 5; c <= 8; ++c) p.MoveHeld(p.Middle(c, 7));
    p.Release(p.Middle(8, 7));
    Settle();
    for (int c = 4; c <= 7; ++c) EXPECT_NE(dynamic_cast<TNCavo*>(g->CellAt(c, 7)), nullptr) << c;
    EXPECT_EQ(g->CellAt(8, 7), nullptr);
    QImage cable = p.Shot();
    const QPoint onCable = p.Middle(6, 7);
    EXPECT_EQ(QColor(cable.pixel(onCable)), QColor(Qt::red));

    // A rectangle sign: its band is inverted in the window's pixels while it
    // is dragged, and a repaint keeps it.
    palette.Tool = ToolRectangle;
    palette.Graphic = clBlue;
    palette.Width = 2;
    const QPoint from = p.Middle(3, 1) + QPoint(-10, -10), to = p.Middle(8, 4);
    p.Press(from);
    p.MoveHeld(p.Middle(6, 3));
    p.MoveHeld(to);
    Settle();
    QImage banded = p.Shot();
    ASSERT_TRUE(banded.save(QString::fromStdString(qttest::Artefact("draw-window-band.png"))));
    // The band's left side, on a row half way down, within a pixel or two
    // of where the press was.
    auto leftSide = [&](const QImage& image, QColor colour) {
        const int y = (from.y() + to.y()) / 2;
        for (int x = from.x() - 3; x <= from.x() + 3; ++x)
            if (QColor(image.pixel(x, y)) == colour) return true;
        return false;
    };
    EXPECT_TRUE(leftSide(banded, Qt::black));  // white inverted
    p.window->Invalidate();
    Settle();
    EXPECT_TRUE(leftSide(p.Shot(), Qt::black));
    p.Release(to);
    Settle();
    ASSERT_EQ(g->Signs->Count(), 1);
    QImage drawn = p.Shot();
    EXPECT_TRUE(leftSide(drawn, Qt::blue));
    EXPECT_FALSE(leftSide(drawn, Qt::black));  // the band is gone

    // A double click reaches the cell on its square.
    palette.Tool = ToolArrow;
    auto partOwned = std::make_unique<TDialogCell>(nullptr, 11, 5);
    auto* part = partOwned.get();
    ASSERT_TRUE(g->InsertCell(std::move(partOwned), false, 0));
    Settle();
    // As the window system sends it: press, release, the double click in
    // place of the second press, release.
    const QPoint twice = p.Middle(11, 5);
    p.Press(twice);
    p.Release(twice);
    p.Send(QEvent::MouseButtonDblClick, twice, Qt::LeftButton, Qt::LeftButton);
    p.Release(twice);
    Settle();
    EXPECT_EQ(part->opened, 1);

    // The hint window over the grid, after its delay.
    p.window->HintsActive = true;
    QTest::mouseMove(p.Widget(), p.Middle(11, 5) + QPoint(0, -12));
    EXPECT_TRUE(qttest::WaitUntil([&] { return p.window->HintWindow->Visible.Get(); }));
    Settle();
    QImage hinted = qttest::WindowOf(p.form.get())->grab().toImage();
    ASSERT_TRUE(hinted.save(QString::fromStdString(qttest::Artefact("draw-window-hint.png"))));
    p.window->HintsActive = false;
    QTest::mouseMove(p.Widget(), p.Middle(14, 6));
    QTest::mouseMove(p.Widget(), p.Middle(14, 7));
    Settle();

    // A text typed in place, in the borderless editor over the grid.
    palette.Tool = ToolText;
    palette.Font = "Arial";
    palette.Size = 12;
    QTest::mouseClick(p.Widget(), Qt::LeftButton, {}, p.Middle(3, 6));
    Settle();
    ASSERT_TRUE(p.window->Editor->Visible);
    QWidget* editor = WidgetOf(p.window->Editor);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "Scala A");
    Settle();
    EXPECT_EQ(p.window->Editor->Text.Get(), "Scala A");
    QImage typing = qttest::WindowOf(p.form.get())->grab().toImage();
    ASSERT_TRUE(typing.save(QString::fromStdString(qttest::Artefact("draw-window-editor.png"))));
    QTest::keyClick(editor, Qt::Key_Return);
    Settle();
    EXPECT_FALSE(p.window->Editor->Visible);
    EXPECT_EQ(g->Signs->Count(), 2);

    // The edit popup at the pointer; "&Annulla" takes the text away.
    palette.Tool = ToolArrow;
    qttest::WhenMenuShown([&](QMenu* menu) {
        for (QAction* a : menu->actions())
            if (a->text() == "&Annulla" || a->text().startsWith("&Annulla ")) {
                EXPECT_TRUE(a->isEnabled());
                if (!a->isEnabled()) break;
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
                return;
            }
        ADD_FAILURE() << "no \"&Annulla\" to click";
        menu->close();
    });
    const QPoint at = p.Middle(12, 6);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, p.Widget()->mapToGlobal(at));
    QApplication::sendEvent(p.Widget(), &event);
    Settle();
    EXPECT_EQ(g->Signs->Count(), 1);
    QImage after = qttest::WindowOf(p.form.get())->grab().toImage();
    ASSERT_TRUE(after.save(QString::fromStdString(qttest::Artefact("draw-window-edited.png"))));
    p.window->Palette = nullptr;
}

}  // namespace

// The hint shows a cell's whole report when it fits the control, and keeps to
// the control with a scroll bar that the wheel moves when it does not.
TEST(QtDrawWindow, TheHintShowsTheWholeReportOrScrollsInsideTheControl) {
    DrawForm p;
    p.form->Show();
    Settle();
    // A free square in view, left of the line of taps.
    const int col = p.window->LeftCol + 2, row = p.window->TopRow + 6;
    ASSERT_EQ(p.grid->CellAt(col, row), nullptr);
    auto owned = std::make_unique<TReportCell>(nullptr, col, row);
    TReportCell* cell = owned.get();
    ASSERT_TRUE(p.grid->InsertCell(std::move(owned), false, 0));
    TRichEdit* hint = p.window->HintWindow;
    p.window->HintsActive = true;
    struct TCase {
        int lines;
        bool scrolls;
        const char* shot;
    };
    for (const TCase& c :
         {TCase{8, false, "draw-window-hint-short.png"}, TCase{80, true, "draw-window-hint-long.png"}}) {
        cell->lines = c.lines;
        QTest::mouseMove(p.Widget(), p.Middle(col + 10, row - 5));
        Settle();
        ASSERT_FALSE(hint->Visible) << c.lines;
        QTest::mouseMove(p.Widget(), p.Middle(col, row));
        ASSERT_TRUE(qttest::WaitUntil([&] { return hint->Visible.Get(); })) << c.lines;
        Settle();
        EXPECT_GE(hint->Left.Get(), 0);
        EXPECT_GE(hint->Top.Get(), 0);
        EXPECT_LE(hint->Left + hint->Width, p.window->ClientWidth);
        EXPECT_LE(hint->Top + hint->Height, p.window->ClientHeight);
        // Every column of the longest line is inside the hint, beside its bar.
        EXPECT_LE(hint->ContentWidth(), hint->ClientWidth - (c.scrolls ? 16 : 0)) << c.lines;
        QScrollBar* bar = qttest::WidgetOf(hint)->findChild<QScrollBar*>();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->isVisible(), c.scrolls) << c.lines;
        if (!c.scrolls) {
            EXPECT_GE(hint->VisibleLineCount(), hint->LineCount());
        } else {
            ASSERT_GT(hint->LastTopLine(), 0);
            QWidget* widget = qttest::WidgetOf(hint);
            const QPoint inside(20, 20);
            QWheelEvent wheel(inside, widget->mapToGlobal(inside), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(widget, &wheel);
            Settle();
            EXPECT_GT(hint->TopLine.Get(), 0);
        }
        QImage shot = qttest::WindowOf(p.form.get())->grab().toImage();
        EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact(c.shot))));
    }
    p.window->HintsActive = false;
}

// A hint shown follows the mouse: moved straight from one outlet onto the
// next, the hint names the second after its delay and never the first
// again. Screenshot: draw-window-hint-follows.png.
TEST(QtDrawWindow, TheHintFollowsTheMouseFromCellToCell) {
    DrawForm p;
    auto* first = dynamic_cast<TPresaD*>(p.grid->CellAt(16, 4));
    auto* second = dynamic_cast<TPresaD*>(p.grid->CellAt(17, 4));
    ASSERT_TRUE(first && second);
    first->Described = second->Described = 1;
    first->Article = "Presa prima";
    second->Article = "Presa seconda";
    p.form->Show();
    p.window->LeftCol = 10;
    p.window->TopRow = 0;
    Settle();
    TRichEdit* hint = p.window->HintWindow;
    auto says = [hint](const char* text) {
        if (!hint->Visible) return false;
        for (int i = 0; i < hint->Lines->Count(); ++i)
            if (hint->Lines->Strings(i).find(text) != std::string::npos) return true;
        return false;
    };
    p.window->HintsActive = true;
    const QPoint from = p.Middle(16, 4), to = p.Middle(17, 4);
    QTest::mouseMove(p.Widget(), from);
    ASSERT_TRUE(qttest::WaitUntil([&] { return says("Presa prima"); }));
    // Across, as a hand moves: through every few pixels between the two.
    for (int x = from.x() + 4; x < to.x(); x += 4) QTest::mouseMove(p.Widget(), QPoint(x, from.y()));
    QTest::mouseMove(p.Widget(), to);
    EXPECT_FALSE(says("Presa prima"));
    EXPECT_TRUE(qttest::WaitUntil([&] { return says("Presa seconda"); }));
    EXPECT_FALSE(says("Presa prima"));
    QImage shot = qttest::WindowOf(p.form.get())->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("draw-window-hint-follows.png"))));

    // A hint as tall as the control covers the cells beside its own: the
    // pointer moved onto one of them over the hint shows that cell's.
    const int col = p.window->LeftCol + 2, row = p.window->TopRow + 6;
    auto tallOwned = std::make_unique<TReportCell>(nullptr, col, row);
    auto nextOwned = std::make_unique<TReportCell>(nullptr, col + 2, row);
    tallOwned->lines = 80;
    nextOwned->heading = "Presa accanto";
    ASSERT_TRUE(p.grid->InsertCell(std::move(tallOwned), false, 0));
    ASSERT_TRUE(p.grid->InsertCell(std::move(nextOwned), false, 0));
    const QPoint tall = p.Middle(col, row), beside = p.Middle(col + 2, row);
    QTest::mouseMove(p.Widget(), tall);
    ASSERT_TRUE(qttest::WaitUntil([&] { return says("Presa P1"); }));
    ASSERT_TRUE(hint->BoundsRect().Contains(TPoint(beside.x(), beside.y())));
    QWidget* over = qttest::WidgetOf(hint);
    for (int x = tall.x() + 4; x <= beside.x(); x += 4) {
        const QPoint at(x, tall.y());
        QWidget* target = hint->BoundsRect().Contains(TPoint(at.x(), at.y())) ? over : p.Widget();
        QTest::mouseMove(target, target->mapFromGlobal(p.Widget()->mapToGlobal(at)));
    }
    EXPECT_TRUE(qttest::WaitUntil([&] { return says("Presa accanto"); }));
    EXPECT_FALSE(says("Presa P1"));
    p.window->HintsActive = false;
}

namespace {

bool Dark(QRgb p) { return qGray(p) < 128; }
// The green of a described cell's code, antialiased.
bool LabelGreen(QRgb p) { return qGreen(p) > qRed(p) + 40 && qGreen(p) > qBlue(p) + 40; }

}  // namespace

// At every zoom of the window (15, 21 and 42 pixels a square): a straight
// cable run across ten squares shows no gap pixel at the squares' edges, and
// the codes of a row of outlets stand whole inside their squares, none cut
// at its left edge, none running into the next. Screenshots:
// draw-zoom-15.png, draw-zoom-21.png, draw-zoom-42.png.
TEST(QtDrawWindow, CablesRunUnbrokenAndLabelsStayWholeAtEveryZoom) {
    DrawForm p;
    TGridData* g = p.grid.get();
    g->Step = 2;
    constexpr int RunRow = 6, FirstRun = 0, RunSquares = 10, OutletRow = 8;
    for (int c = FirstRun; c < FirstRun + RunSquares; ++c)
        ASSERT_TRUE(g->InsertCell(std::make_unique<TNCavo>(g, 1, 0, c, RunRow, 0, 0), false, 0));
    for (int k = 0; k < 6; ++k) {
        auto outlet = std::make_unique<TPresaD>(g, 0, 0, FirstRun + k, OutletRow, CodePassThroughOutlet, 1);
        outlet->Described = 1;
        outlet->SequenceNumber = k < 3 ? 16 + k : 34 + k;  // "P16" ... "P39"
        ASSERT_TRUE(g->InsertCell(std::move(outlet), false, 0));
    }
    p.window->GridLineWidth = 0;
    p.form->Show();
    for (int zoom : {15, 21, 42}) {
        SCOPED_TRACE("zoom " + std::to_string(zoom));
        p.window->DefaultColWidth = zoom;
        p.window->DefaultRowHeight = zoom;
        p.window->LeftCol = 0;
        p.window->TopRow = 0;
        p.window->Selection = TGridRect{29, 29, 29, 29};
        Settle();
        const QImage shot = p.Shot();
        ASSERT_TRUE(
            shot.save(QString::fromStdString(qttest::Artefact("draw-zoom-" + std::to_string(zoom) + ".png"))));

        // The cable's row of pixels, found in the middle of its first square.
        const TRect first = p.window->CellRect(FirstRun, RunRow);
        const TRect last = p.window->CellRect(FirstRun + RunSquares - 1, RunRow);
        ASSERT_EQ(first.Width(), zoom);
        int y = -1;
        for (int yy = first.Top; yy < first.Bottom && y < 0; ++yy)
            if (Dark(shot.pixel((first.Left + first.Right) / 2, yy))) y = yy;
        ASSERT_GE(y, 0);
        std::string gaps;
        for (int x = first.Left; x < last.Right; ++x)
            if (!Dark(shot.pixel(x, y))) gaps += " " + std::to_string(x);
        EXPECT_EQ(gaps, "") << "row " << y;

        // Each outlet's code: green pixels in its square, none on the
        // square's first or last column (a code cut by the square's edge,
        // or running on into the next square's, has some there).
        for (int k = 0; k < 6; ++k) {
            const TRect r = p.window->CellRect(FirstRun + k, OutletRow);
            int left = r.Right, right = r.Left - 1, count = 0;
            for (int x = r.Left; x < r.Right; ++x)
                for (int yy = r.Top; yy < r.Bottom; ++yy)
                    if (LabelGreen(shot.pixel(x, yy))) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                        ++count;
                    }
            EXPECT_GT(count, 4) << "outlet " << k;
            EXPECT_GT(left, r.Left) << "outlet " << k;
            EXPECT_LT(right, r.Right - 1) << "outlet " << k;
        }
    }
}

// The cable codes of a large installation, five characters long ("C1214"),
// stand whole in their squares at every zoom: the label ends inside the
// square's right edge and starts inside its left one, never cut by the
// square into a shorter code (another cable's name). At the normal zoom
// they are as tall as a three-character code ("C12"), on two lines where
// one does not fit: a code set smaller blurs.
// Screenshots: draw-labels-15.png, draw-labels-21.png, draw-labels-42.png.
TEST(QtDrawWindow, FiveCharacterCableCodesStandWholeAndReadableAtEveryZoom) {
    DrawForm p;
    TGridData* g = p.grid.get();
    g->Step = 2;
    constexpr int Row = 8, First = 0, Codes = 5;
    const int32_t numbers[Codes] = {1214, 1215, 1220, 9999, 12};
    for (int k = 0; k < Codes; ++k) {
        auto cable = std::make_unique<TNCavo>(g, 0, 0, First + 2 * k, Row, 0, 0);
        cable->Described = 1;
        cable->RunEnd = 1;
        cable->SequenceNumber = numbers[k];
        ASSERT_TRUE(g->InsertCell(std::move(cable), false, 0));
    }
    p.window->GridLineWidth = 0;
    p.form->Show();
    for (int zoom : {15, 21, 42}) {
        SCOPED_TRACE("zoom " + std::to_string(zoom));
        p.window->SetSquareSize(zoom);
        p.window->LeftCol = 0;
        p.window->TopRow = 0;
        p.window->Selection = TGridRect{29, 29, 29, 29};
        Settle();
        const QImage shot = p.Shot();
        ASSERT_TRUE(shot.save(
            QString::fromStdString(qttest::Artefact("draw-labels-" + std::to_string(zoom) + ".png"))));
        int tallest[Codes] = {};
        for (int k = 0; k < Codes; ++k) {
            TCella* cable = g->CellAt(First + 2 * k, Row);
            ASSERT_NE(cable, nullptr);
            const size_t length = cable->GetShortCode().size();
            ASSERT_EQ(length, k < 4 ? 5u : 3u);
            const TRect r = p.window->CellRect(First + 2 * k, Row);
            ASSERT_EQ(r.Width(), zoom);
            // The label's green ink: none on the square's first or last
            // column, where the clip would have cut it, and as wide as the
            // code needs at the font it was drawn in (no character lost).
            int left = r.Right, right = r.Left - 1;
            // The height of each line of ink, rows with green in them one
            // after the other.
            int run = 0;
            for (int y = r.Top; y < r.Bottom; ++y) {
                bool inked = false;
                for (int x = r.Left; x < r.Right; ++x)
                    if (LabelGreen(shot.pixel(x, y))) {
                        inked = true;
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
                run = inked ? run + 1 : 0;
                tallest[k] = std::max(tallest[k], run);
            }
            ASSERT_LE(left, right) << cable->GetShortCode();
            EXPECT_GT(left, r.Left) << cable->GetShortCode();
            EXPECT_LT(right, r.Right - 1) << cable->GetShortCode();
            // Four characters on a line need two pixels each at least, whatever the font.
            EXPECT_GE(right - left + 1, 4 * 2) << cable->GetShortCode();
        }
        if (zoom == 42)
            for (int k = 0; k < 4; ++k) EXPECT_GE(tallest[k], tallest[4]) << numbers[k];
    }
}

// A block dragged with the mouse is highlighted up to the square the button
// is let go over, that square included; "Trova" (CenterOn) shows the square
// it found as selected too.
TEST(QtDrawWindow, TheHighlightCoversTheReleaseSquareAndTheFoundSquare) {
    DrawForm p;
    p.form->Show();
    p.window->TopRow = 0;
    p.window->LeftCol = 0;
    Settle();
    const QColor selected(255, 255, 175), white(255, 255, 255);
    p.Press(p.Middle(2, 6));
    p.MoveHeld(p.Middle(3, 7));
    p.MoveHeld(p.Middle(5, 8));
    p.Release(p.Middle(5, 8));
    Settle();
    EXPECT_EQ(p.window->Selection.Get(), (TGridRect{2, 6, 5, 8}));
    QImage shot = p.Shot();
    ASSERT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("draw-drag-selection.png"))));
    for (int c = 2; c <= 5; ++c)
        for (int r = 6; r <= 8; ++r) EXPECT_EQ(QColor(shot.pixel(p.Middle(c, r))), selected) << c << "," << r;
    EXPECT_EQ(QColor(shot.pixel(p.Middle(6, 8))), white);
    EXPECT_EQ(QColor(shot.pixel(p.Middle(5, 9))), white);

    p.window->CenterOn(20, 20);
    Settle();
    shot = p.Shot();
    ASSERT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("draw-found-square.png"))));
    const TRect found = p.window->CellRect(20, 20);
    ASSERT_FALSE(found.IsEmpty());
    EXPECT_EQ(QColor(shot.pixel(found.Left + 2, found.Top + 2)), selected);
    EXPECT_EQ(QColor(shot.pixel(p.Middle(21, 21))), white);
}
