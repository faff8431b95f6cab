// The calculation pages in real windows: the "Calcoli rete" report of the
// two-tap line in a rich edit, its text, and "37" painted red where the
// separation is below "AttMin"; the "Calcoli canali" run filling its header
// and message list. The windows are written to test-artefacts/ in the build
// folder (network-report.png, channel-calculations.png).
#include <gtest/gtest.h>

#include <QImage>
#include <QScrollBar>
#include <QWheelEvent>
#include <memory>
#include <string>

#include "core/reporter.h"
#include "document/report_pages.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "platform/utf8.h"
#include "qt/qt_test_support.h"
#include "support/globals_fixture.h"
#include "support/two_tap_line.h"

namespace {

// Pixels inside a rectangle of an image that are mostly of one pure colour
// (text is smoothed, so few pixels are exactly the colour).
int PixelsOf(const QImage& image, const QRect& r, QColor colour) {
    auto near = [](int a, int b) { return std::abs(a - b) < 110; };
    int n = 0;
    for (int y = std::max(0, r.top()); y <= std::min(image.height() - 1, r.bottom()); ++y)
        for (int x = std::max(0, r.left()); x <= std::min(image.width() - 1, r.right()); ++x) {
            const QColor p = image.pixelColor(x, y);
            n += near(p.red(), colour.red()) && near(p.green(), colour.green()) &&
                 near(p.blue(), colour.blue());
        }
    return n;
}

// The "Calcoli rete" report of the line in a rich edit filling a shown form
// 960 pixels wide; none when the report fails.
TRichEdit* ShowReport(TForm& form, int height, TwoTapLine& line) {
    form.SetBounds(0, 0, 960, height);
    auto* report = new TRichEdit(&form);
    report->Parent = &form;
    report->Align = alClient;
    report->ReadOnly = true;
    report->ScrollBars = ssVertical;
    SetNetworkReportColumns(report);
    form.Show();
    qttest::Settle();
    TCalculationRun run;
    run.Project = &line.project;
    if (!ReportNetwork(run, report)) return nullptr;
    qttest::Settle();
    return report;
}

TEST(QtNetworkReport, TheTwoTapLineReportShowsInARichEdit) {
    ScopedGlobals globals;
    FormatSettings().DecimalSeparator = ',';
    FormatSettings().ThousandSeparator = '.';
    TwoTapLine line;
    ASSERT_TRUE(line.Analyse());

    auto form = std::make_unique<TForm>(nullptr);
    form->Caption = "Calcoli rete";
    TRichEdit* report = ShowReport(*form, 900, line);
    ASSERT_NE(report, nullptr);

    ASSERT_GT(report->Lines->Count(), 50);
    EXPECT_EQ(report->Lines->Strings(3), "Controllo separazione prese: Errore");
    const std::string row = "P1 - P2\t\t*\t37\t*\t37\t*\t*\t*\t*\t*\t*\t*";
    const std::string text = report->Text;
    const size_t at = text.find(row);
    ASSERT_NE(at, std::string::npos);
    const int first = utf8::Length(text.substr(0, at)) + utf8::Length("P1 - P2\t\t*\t");
    EXPECT_EQ(report->FormatAt(first).Color, clRed);
    EXPECT_EQ(report->FormatAt(first + 1).Color, clRed);

    // The widget shows "37" in red and the "*" before it in blue.
    auto expectRedAt = [&](int index) {
        const QImage shot = qttest::WidgetOf(report)->grab().toImage();
        const TPoint from = report->PosFromChar(index), to = report->PosFromChar(index + 2);
        const TPoint star = report->PosFromChar(index - 2);
        const int height = 15;
        EXPECT_GT(PixelsOf(shot, QRect(from.x, from.y, to.x - from.x, height), QColor(Qt::red)), 5);
        EXPECT_GT(PixelsOf(shot, QRect(star.x, star.y, 6, height), QColor(Qt::blue)), 0);
        EXPECT_EQ(PixelsOf(shot, QRect(star.x, star.y, 6, height), QColor(Qt::red)), 0);
    };
    expectRedAt(first);
    // A line inserted at the top moves the colours with the text below it.
    report->Lines->Insert(0, "Separazione dalla presa P1");
    qttest::Settle();
    const int moved = first + utf8::Length("Separazione dalla presa P1") + 2;
    EXPECT_EQ(report->FormatAt(moved).Color, clRed);
    expectRedAt(moved);
    report->Lines->Delete(0);
    qttest::Settle();

    QImage window = qttest::WindowOf(form.get())->grab().toImage();
    ASSERT_TRUE(window.save(QString::fromStdString(qttest::Artefact("network-report.png"))));
}

// A report longer than its window scrolls: the scroll bar is shown, the wheel
// moves it by lines, and the last line can be brought into view and is drawn
// there. Screenshot: network-report-scrolled.png.
TEST(QtNetworkReport, ALongReportScrollsWithItsBarAndTheWheel) {
    ScopedGlobals globals;
    TwoTapLine line;
    ASSERT_TRUE(line.Analyse());
    auto form = std::make_unique<TForm>(nullptr);
    TRichEdit* report = ShowReport(*form, 300, line);
    ASSERT_NE(report, nullptr);

    QWidget* widget = qttest::WidgetOf(report);
    auto* bar = widget->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    const int last = report->LastTopLine();
    ASSERT_GT(last, 10);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum(), last);
    EXPECT_EQ(report->TopLine.Get(), 0);

    const QPoint inside(200, 100);
    QWheelEvent wheel(inside, widget->mapToGlobal(inside), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
    qttest::Settle();
    EXPECT_EQ(report->TopLine.Get(), 3);
    EXPECT_EQ(bar->value(), 3);

    bar->setValue(bar->maximum());
    qttest::Settle();
    EXPECT_EQ(report->TopLine.Get(), last);
    // The last line stands inside the window, and a click there finds it.
    int lastLine = report->Lines->Count() - 1;
    while (lastLine > 0 && report->Lines->Strings(lastLine).empty()) --lastLine;
    int lastLineStart = 0;
    for (int i = 0; i < lastLine; ++i) lastLineStart += utf8::Length(report->Lines->Strings(i)) + 2;
    const TPoint at = report->PosFromChar(lastLineStart);
    EXPECT_GE(at.y, 0);
    EXPECT_LT(at.y, report->ClientHeight);
    EXPECT_EQ(report->CharFromPos(TPoint(at.x, at.y + 2)), lastLineStart);
    const QImage shot = qttest::WindowOf(form.get())->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("network-report-scrolled.png"))));
    // A new report starts at its top again.
    report->Lines->Clear();
    qttest::Settle();
    EXPECT_EQ(report->TopLine.Get(), 0);
    EXPECT_FALSE(bar->isVisible());
}

TEST(QtNetworkReport, CalcoliCanaliFillsItsHeaderAndMessageList) {
    ScopedGlobals globals;
    TwoTapLine line;
    ASSERT_TRUE(line.Analyse());
    line.FeedChannels(5);

    auto form = std::make_unique<TForm>(nullptr);
    form->Caption = "Calcoli canali";
    form->SetBounds(0, 0, 760, 420);
    auto* header = new TRichEdit(form.get());
    header->Parent = form.get();
    header->SetBounds(0, 0, 760, 24);
    auto* table = new TRichEdit(form.get());
    table->Parent = form.get();
    table->SetBounds(0, 24, 760, 150);
    auto* messages = new TListBox(form.get());
    messages->Parent = form.get();
    messages->SetBounds(0, 174, 760, 220);
    form->Show();
    qttest::Settle();

    TCalculationRun run;
    run.Project = &line.project;
    RunChannelCalculations(run, header, table, messages);
    qttest::Settle();

    EXPECT_EQ(header->Lines->Strings(0), ChannelRowsHeader);
    ASSERT_EQ(messages->Items->Count(), 10);
    EXPECT_EQ(messages->Items->Strings(0), "R1: canale E36 non gestito.");
    EXPECT_FALSE(GestoreErrori->enabled);
    // The list's window shows its lines: dark text on its white ground.
    const QImage shown = qttest::WidgetOf(messages)->grab().toImage();
    EXPECT_GT(PixelsOf(shown, QRect(0, 0, 200, 16 * 10), QColor(Qt::black)), 100);

    QImage window = qttest::WindowOf(form.get())->grab().toImage();
    ASSERT_TRUE(window.save(QString::fromStdString(qttest::Artefact("channel-calculations.png"))));
}

}  // namespace
