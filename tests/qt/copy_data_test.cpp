// The copy-data form in a real window: the undescribed candidates listed,
// "Tutti" and "Ok" clicked on the widgets.
#include "document/copy_data.h"

#include <gtest/gtest.h>

#include "qt/label_clash.h"
#include "qt/qt_test_support.h"
#include "qt/text_fit.h"

using qttest::Settle;
using qttest::WindowOf;

TEST(QtCopyData, TuttiAndOkTickTheListedCandidates) {
    TFCopiaDati form(nullptr);
    form.Names = {"D1", "D2", "D3"};
    form.Described = {1, 0, 0};
    form.Ticked = {0, 0, 0};
    bool seen = false;
    qttest::WhenInFront(&form, [&] {
        Settle();
        QWidget* window = WindowOf(&form);
        ASSERT_NE(window, nullptr);
        seen = window->isVisible();
        EXPECT_EQ(form.ListaComponenti->Items->Count(), 2);
        QTest::mouseClick(WindowOf(form.BTutti), Qt::LeftButton);
        Settle();
        EXPECT_EQ(form.ListaComponenti->SelCount(), 2);
        EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(&form)), "");
        EXPECT_EQ(qttest::Describe(qttest::CutTexts(window)), "");
        const QImage shot = window->grab().toImage();
        EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("copy-data.png"))));
        EXPECT_GT(qttest::Colours(shot), 3);
        QTest::mouseClick(WindowOf(form.BOk), Qt::LeftButton);
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_TRUE(seen);
    EXPECT_EQ(form.Ticked, (std::vector<uint8_t>{0, 1, 1}));
}
