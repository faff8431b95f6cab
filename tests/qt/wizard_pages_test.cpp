// The design wizard in a real window at its size, over the default library:
// the choices of page 0 clicked, a staircase count typed on the building page,
// a package box ticked, and "Avanti >>" pressed through the widgets. One
// screenshot per page: test-artefacts/wizard-page-N.png, and
// wizard-component-selection.png.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <string>

#include "autodesign/channel_panel.h"
#include "document/design_settings.h"
#include "core/channel_plans.h"
#include "platform/forms.h"
#include "autodesign/wizard.h"
#include "qt/label_clash.h"
#include "qt/qt_test_support.h"
#include "support/default_library_folder.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

using qttest::Settle;
using qttest::WidgetOf;
using qttest::WindowOf;

namespace {

void Shoot(TAutoProgetto& wizard, const std::string& name) {
    Settle();
    EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(&wizard)), "");
    const QImage shot = WindowOf(&wizard)->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact(name))));
    EXPECT_GT(qttest::Colours(shot), 3);
}

void ClickWidget(TControl* control) {
    QWidget* w = WidgetOf(control);
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(8, w->height() / 2));
    Settle();
}

// The wizard over the default library, its pickers filled, shown on page 0.
class QtWizardPages : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterDefaultLibrary(libraries.Get());
        globals.Settings().WriteString("ProgramDir", DefaultLibraryFolder());
        wizard.Settings = &opz;
        wizard.FillComponentPickers();
        wizard.PrepareAutoDesign();
        wizard.Show();
        Settle();
    }
    ScopedGlobals globals;
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    TOpzProgetto opz;
    TAutoProgetto wizard;
};

}  // namespace

TEST_F(QtWizardPages, EveryPageThroughTheWidgets) {
    EXPECT_EQ(wizard.Width.Get(), 816);
    EXPECT_EQ(wizard.Height.Get(), 585);

    ClickWidget(wizard.Choice[ChoiceTerSat]);
    ClickWidget(wizard.Choice[ChoiceReteCentrale]);
    EXPECT_TRUE(opz.Satellite);
    EXPECT_TRUE(opz.DesignHeadEnd);
    Shoot(wizard, "wizard-page-0.png");

    ClickWidget(wizard.BAvanti);
    ASSERT_EQ(wizard.VisiblePage(), WizardBuildingPage);
    QWidget* staircases = WidgetOf(wizard.BuildingEdit[RowStaircases]);
    staircases->setFocus();
    QTest::keyClick(staircases, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(staircases, "2");
    Settle();
    EXPECT_EQ(opz.Building->StaircaseCount, 2);
    EXPECT_EQ(wizard.BuildingGrid->ColCount.Get(), 4);
    Shoot(wizard, "wizard-page-1.png");

    ClickWidget(wizard.BAvanti);
    ASSERT_EQ(wizard.VisiblePage(), WizardChannelsPage);
    Shoot(wizard, "wizard-page-2.png");

    ClickWidget(wizard.BAvanti);
    ASSERT_EQ(wizard.VisiblePage(), WizardPackagesPage);
    ClickWidget(wizard.PackageBox[0]);
    EXPECT_TRUE(wizard.PackageBox[0]->Checked);
    Shoot(wizard, "wizard-page-3.png");

    ClickWidget(wizard.BAvanti);
    ASSERT_EQ(wizard.VisiblePage(), WizardComponentsPage);
    EXPECT_EQ(wizard.BAvanti->Caption.Get(), "Fine");
    Shoot(wizard, "wizard-page-4.png");

    wizard.PrepareComponentSelection();
    Shoot(wizard, "wizard-component-selection.png");
    wizard.Hide();
    Settle();
}

// An antenna given channels but no article: "Avanti >>" on the channels page
// names it and stays there, until its code is chosen on the panel.
// Screenshots: wizard-antenna-without-code.png, wizard-antenna-message.png.
TEST_F(QtWizardPages, AnAntennaWithChannelsAsksForItsCode) {
    ClickWidget(wizard.Choice[ChoiceReteCentrale]);
    ClickWidget(wizard.BAvanti);
    ClickWidget(wizard.BAvanti);
    ASSERT_EQ(wizard.VisiblePage(), WizardChannelsPage);
    TPannelloCanaliTer* panel = wizard.ChannelPanels[0];
    QTest::mouseClick(WidgetOf(panel->ChannelGrid), Qt::LeftButton, {}, QPoint(5, 5));
    Settle();
    ASSERT_NE(opz.Antennas[0].Channels.head, nullptr);
    EXPECT_EQ(opz.Antennas[0].Code, "");

    std::string asked;
    qttest::WhenBoxShown([&](QMessageBox* box) {
        asked = box->findChild<QLabel*>("qt_msgbox_label")
                    ? box->findChild<QLabel*>("qt_msgbox_label")->text().toStdString()
                    : std::string();
        Shoot(wizard, "wizard-antenna-without-code.png");
        EXPECT_TRUE(box->grab().toImage().save(
            QString::fromStdString(qttest::Artefact("wizard-antenna-message.png"))));
        QTest::keyClick(box, Qt::Key_Return);
    });
    ClickWidget(wizard.BAvanti);
    EXPECT_EQ(asked, "Scegliere il codice dell'antenna 1.");
    EXPECT_EQ(wizard.VisiblePage(), WizardChannelsPage);

    // The code typed into the panel's third box: forward again.
    auto* code = qobject_cast<QComboBox*>(WidgetOf(panel->Code));
    ASSERT_NE(code, nullptr);
    WindowOf(&wizard)->activateWindow();
    QApplication::setActiveWindow(WindowOf(&wizard));
    code->setFocus();
    Settle();
    // Entering the box lists the library's antennas.
    EXPECT_GE(code->findText("GAN-UHF"), 0);
    QTest::keyClicks(code, "GAN-UHF");
    Settle();
    EXPECT_EQ(opz.Antennas[0].Code, "GAN-UHF");
    EXPECT_EQ(opz.Antennas[0].Library, "Varne");
    ClickWidget(wizard.BAvanti);
    EXPECT_EQ(wizard.VisiblePage(), WizardComponentsPage);
}

// The building of one staircase with one apartment: its sketch is two
// columns wide, and "Edificio" and "Scala 1" stay inside their boxes.
// Screenshot: wizard-building-one-staircase.png.
TEST_F(QtWizardPages, TheSketchOfTheSmallestBuildingShowsItsWholeHeaders) {
    ClickWidget(wizard.BAvanti);
    ASSERT_EQ(wizard.VisiblePage(), WizardBuildingPage);
    ASSERT_EQ(wizard.BuildingGrid->ColCount.Get(), 2);
    Shoot(wizard, "wizard-building-one-staircase.png");
    const QImage sketch = WidgetOf(wizard.BuildingGrid)->grab().toImage();
    const int width = 2 * wizard.BuildingGrid->DefaultColWidth;
    const int height = wizard.BuildingGrid->DefaultRowHeight;
    // Text pixels are dark; the box edges are its last column and row only.
    auto darkAt = [&](int x, int row) {
        for (int y = row * height + 1; y < (row + 1) * height - 2; ++y)
            if (qGray(sketch.pixel(x, y)) < 60) return true;
        return false;
    };
    for (int row : {0, 1}) {
        EXPECT_FALSE(darkAt(0, row)) << "row " << row;
        EXPECT_FALSE(darkAt(width - 3, row)) << "row " << row;
        bool text = false;
        for (int x = 4; x < width - 4; ++x) text = text || darkAt(x, row);
        EXPECT_TRUE(text) << "row " << row;
    }
}

// The received channels' grid, typed into as a person does: "a" and Invio
// in the A/D column leave "A" in the cell and the focus in the grid; the
// arrow keys then move in the grid, never to the plan box above it, whose
// change would clear the antenna's channels.
TEST_F(QtWizardPages, InvioInTheChannelListCommitsAndKeepsTheFocusInTheGrid) {
    ClickWidget(wizard.Choice[ChoiceReteCentrale]);
    ClickWidget(wizard.BAvanti);
    ClickWidget(wizard.BAvanti);
    ASSERT_EQ(wizard.VisiblePage(), WizardChannelsPage);
    TPannelloCanaliTer* panel = wizard.ChannelPanels[0];
    // Two channels of the plan received.
    QWidget* channels = WidgetOf(panel->ChannelGrid);
    QTest::mouseClick(channels, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(channels, Qt::LeftButton, {}, QPoint(5 + panel->ChannelGrid->DefaultColWidth + 1, 5));
    Settle();
    TAntennaAutoProg& antenna = opz.Antennas[0];
    ASSERT_EQ(antenna.Channels.Count(), 2);
    const TCanalizzazione* plan = antenna.Plan;
    ASSERT_NE(plan, nullptr);

    TStringGrid* list = panel->ListGrid;
    QWidget* grid = WidgetOf(list);
    ASSERT_NE(grid, nullptr);
    WindowOf(&wizard)->activateWindow();
    QApplication::setActiveWindow(WindowOf(&wizard));
    const TRect kind = list->CellRect(1, 1);
    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(kind.Left + 4, kind.Top + 4));
    Settle();
    ASSERT_EQ(list->Col.Get(), 1);
    ASSERT_EQ(list->Row.Get(), 1);

    // Each key to the widget that has the focus, as the keyboard sends it.
    auto typeKey = [](Qt::Key key) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, Qt::NoModifier);
        Settle();
    };
    auto focusInGrid = [&] {
        QWidget* f = QApplication::focusWidget();
        return f && (f == grid || grid->isAncestorOf(f));
    };
    typeKey(Qt::Key_A);
    typeKey(Qt::Key_Return);
    EXPECT_EQ(list->Cells[1][1], "A");
    // The cell shows it once its editor has gone: dark text pixels in it.
    const QImage cells = grid->grab().toImage();
    int text = 0;
    for (int x = kind.Left + 1; x < kind.Right - 1; ++x)
        for (int y = kind.Top + 1; y < kind.Bottom - 1; ++y) text += qGray(cells.pixel(x, y)) < 100;
    EXPECT_GT(text, 5);
    EXPECT_TRUE(focusInGrid());
    EXPECT_EQ(GetParentForm(list)->FocusedControl(), list);
    EXPECT_FALSE(list->EditorMode);

    typeKey(Qt::Key_Down);
    EXPECT_EQ(list->Row.Get(), 2);
    typeKey(Qt::Key_Right);
    EXPECT_EQ(list->Col.Get(), 2);
    typeKey(Qt::Key_Up);
    EXPECT_EQ(list->Row.Get(), 1);
    EXPECT_TRUE(focusInGrid());
    // The plan and its channels are as they were; the first is analogue.
    EXPECT_EQ(antenna.Plan, plan);
    EXPECT_EQ(antenna.Channels.Count(), 2);
    ASSERT_NE(antenna.Channels.head, nullptr);
    EXPECT_EQ(antenna.Channels.head->signalType, SignalAnalog);
    EXPECT_EQ(list->Cells[1][1], "A");

    // "d" typed over it and committed the same way.
    typeKey(Qt::Key_Left);
    typeKey(Qt::Key_D);
    typeKey(Qt::Key_Return);
    EXPECT_EQ(list->Cells[1][1], "D");
    EXPECT_EQ(antenna.Channels.head->signalType, SignalDigital);
    EXPECT_TRUE(focusInGrid());
    EXPECT_EQ(antenna.Plan, plan);
    Shoot(wizard, "wizard-channel-list-typed.png");
}
