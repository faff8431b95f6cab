// The "Calcoli rete" report of the two-tap line written into a rich edit
// shown in a real window: its text, and "37" painted red where the
// separation is below "AttMin". The window is written to
// test-artefacts/network-report.png in the build folder.
#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <string>

#include "app/report_pages.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
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
            n += near(p.red(), colour.red()) && near(p.green(), colour.green()) && near(p.blue(), colour.blue());
        }
    return n;
}

TEST(QtNetworkReport, TheTwoTapLineReportShowsInARichEdit) {
    ScopedGlobals globals;
    FormatSettings().DecimalSeparator = ',';
    FormatSettings().ThousandSeparator = '.';
    TwoTapLine line;
    ASSERT_TRUE(line.Analyse());

    auto form = std::make_unique<TForm>(nullptr);
    form->Caption = "Calcoli rete";
    form->SetBounds(0, 0, 960, 900);
    auto* report = new TRichEdit(form.get());
    report->Parent = form.get();
    report->Align = alClient;
    report->ReadOnly = true;
    SetNetworkReportColumns(report);
    form->Show();
    qttest::Settle();

    TCalculationRun run;
    run.Project = &line.project;
    ASSERT_TRUE(ReportNetwork(run, report));
    qttest::Settle();

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
    QImage shot = qttest::WidgetOf(report)->grab().toImage();
    const TPoint from = report->PosFromChar(first), to = report->PosFromChar(first + 2);
    const TPoint star = report->PosFromChar(first - 2);
    const int height = 15;
    EXPECT_GT(PixelsOf(shot, QRect(from.x, from.y, to.x - from.x, height), QColor(Qt::red)), 5);
    EXPECT_GT(PixelsOf(shot, QRect(star.x, star.y, 6, height), QColor(Qt::blue)), 0);
    EXPECT_EQ(PixelsOf(shot, QRect(star.x, star.y, 6, height), QColor(Qt::red)), 0);

    QImage window = qttest::WindowOf(form.get())->grab().toImage();
    ASSERT_TRUE(window.save(QString::fromStdString(qttest::Artefact("network-report.png"))));
}

}  // namespace
