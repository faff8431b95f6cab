// The page "Sostegno" and the mast-sizing form in real windows.
#include "app/mast_page.h"

#include <gtest/gtest.h>

#include <QListWidget>

#include "dialogs/mast_sizing.h"
#include "document/project.h"
#include "qt/label_clash.h"
#include "qt/qt_test_support.h"
#include "qt/text_fit.h"
#include "support/globals_fixture.h"

using qttest::Later;
using qttest::Settle;
using qttest::WidgetOf;
using qttest::WindowOf;

TEST(QtMastPage, AClickOnTheMastViewSelectsTheAntennaOnTheArm) {
    ScopedGlobals globals;
    TProgetto project(nullptr);
    TPalo& palo = *project.Mast;
    palo.SectionCount = 2;
    palo.Sections[0] = TTroncoPalo{60, 3, 3, LevelNone};
    palo.Sections[1] = TTroncoPalo{50, 2, 2, LevelNone};
    auto arm = std::make_unique<TDatiAntenna>();
    arm->Kind = MastDoubleArm;
    arm->Spacing = 150;
    arm->FirstChild = std::make_unique<TDatiAntenna>();
    arm->FirstChild->Area = 0.1f;
    arm->SecondChild = std::make_unique<TDatiAntenna>();
    arm->SecondChild->Kind = MastGrid;
    arm->SecondChild->Area = 0.2f;
    TDatiAntenna* first = arm->FirstChild.get();
    palo.Antennas.Items.push_back(std::move(arm));
    auto dish = std::make_unique<TDatiAntenna>();
    dish->Kind = MastDish;
    dish->Spacing = 200;
    dish->Diameter = 80;
    dish->Polarisation = -1;
    palo.Antennas.Items.push_back(std::move(dish));

    TForm form(nullptr);
    form.Caption = "Sostegno";
    form.SetBounds(0, 0, 830, 540);
    auto* page = new TPaginaSostegno(&form);
    page->Parent = &form;
    page->SetProject(&project);
    form.Show();
    Settle();

    const int armY = page->Layout().Records[1].Y;  // 1850 - 150
    // The image is drawn by the scroll box, scrolled to the foot of the mast.
    QWidget* view = WidgetOf(page->ScrollSostegno);
    ASSERT_NE(view, nullptr);
    const int scrolled = page->ScrollSostegno->VertScrollBar->Position;
    EXPECT_GT(scrolled, 1000);
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(80, armY - scrolled));
    Settle();
    EXPECT_EQ(palo.SelectedItem, first);
    EXPECT_TRUE(page->ComboResistenza->Enabled);
    EXPECT_EQ(page->ComboResistenza->Text.Get(), "Area");
    EXPECT_EQ(page->EditValore->Text.Get(), "0,1");

    EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(&form)), "");
    const QImage shot = WindowOf(&form)->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("mast-page.png"))));
    EXPECT_GT(qttest::Colours(shot), 5);
}

TEST(QtMastPage, TheSizingFormShowsTheDefaultTubes) {
    ScopedGlobals globals;
    TDatiAutSost form(nullptr);
    bool seen = false;
    Later(
        [&] {
            Settle();
            QWidget* window = WindowOf(&form);
            ASSERT_NE(window, nullptr);
            seen = window->isVisible();
            EXPECT_EQ(form.ListTronchi->Items->Count(), 15);
            EXPECT_EQ(form.ListTronchi->SelCount(), 15);
            EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(&form)), "");
            EXPECT_EQ(qttest::Describe(qttest::CutTexts(window)), "");
            const QImage shot = window->grab().toImage();
            EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("mast-sizing.png"))));
            QTest::mouseClick(WindowOf(form.ButtonOk), Qt::LeftButton);
        },
        50);
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(globals.Settings().String("TronchiSel").empty());
}
