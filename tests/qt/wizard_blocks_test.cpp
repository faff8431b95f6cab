// The wizard's building blocks in a real window: the selection tree over the
// default library and a channel panel; a click on a state icon and one on a
// channel cell through the widgets. Screenshots: test-artefacts/wizard-blocks.png
// and wizard-state-images.png.
#include <gtest/gtest.h>

#include "autodesign/channel_panel.h"
#include "autodesign/selection_tree.h"
#include "core/channel_plans.h"
#include "core/control_builders.h"
#include "core/libraries.h"
#include "document/design_settings.h"
#include "qt/qt_test_support.h"
#include "support/default_library_folder.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

using qttest::Settle;
using qttest::WidgetOf;
using qttest::WindowOf;

TEST(QtWizardBlocks, StateIconAndChannelCellClickedThroughTheWidgets) {
    ScopedGlobals globals;
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    RegisterDefaultLibrary(libraries.Get());
    TOpzProgetto opz;
    opz.Antennas[0].FMin = 470;
    opz.Antennas[0].FMax = 862;
    opz.Antennas[0].AddPlanChannel(opz.Antennas[0].Plan->IndexOf("5"), "Rai", 72.0f, 0);
    opz.Antennas[0].AddPlanChannel(opz.Antennas[0].Plan->IndexOf("30"), "Mediaset", 65.0f, SignalDigital);

    TForm form(nullptr);
    form.Caption = "Selezione";
    form.SetBounds(0, 0, 1060, 460);
    auto* panel = MakeControl<TPannelloCanaliTer>(&form, &form, 8, 8, 777, 154);
    panel->Settings = &opz;
    auto* tree = MakeControl<TSelectionTreeView>(&form, &form, 792, 8, 257, 433);
    FillLibraryTree(tree, SelectionTreeFlags, OfferedOnPalettes);
    tree->AlphaSort();
    TTreeNode* root = tree->Items->GetFirstNode();
    ASSERT_NE(root, nullptr);
    root->Expand(false);
    TTreeNode* group = root->getFirstChild();
    group->Expand(false);
    panel->Refresh();
    form.Show();
    Settle();

    // The state icon of the first group: the group and its subtree fill, the library is partial.
    const TRect icon = tree->LayoutOf(group).StateIcon;
    QTest::mouseClick(WidgetOf(tree), Qt::LeftButton, Qt::NoModifier, QPoint(icon.Left + 4, icon.Top + 4));
    Settle();
    EXPECT_EQ(group->StateIndex.Get(), NodeFull);
    EXPECT_EQ(group->getFirstChild()->StateIndex.Get(), NodeFull);
    EXPECT_EQ(root->StateIndex.Get(), NodePartial);
    // Its text: no change.
    const TRect label = tree->LayoutOf(group->getFirstChild()).Label;
    QTest::mouseClick(WidgetOf(tree), Qt::LeftButton, Qt::NoModifier, QPoint(label.Left + 4, label.Top + 4));
    Settle();
    EXPECT_EQ(group->getFirstChild()->StateIndex.Get(), NodeFull);

    // Channel "21": received at the default level.
    const int row = opz.Antennas[0].Plan->IndexOf("21");
    const TRect cell = panel->ChannelGrid->CellRect(row % ChannelGridColumns, row / ChannelGridColumns);
    QTest::mouseClick(WidgetOf(panel->ChannelGrid), Qt::LeftButton, Qt::NoModifier,
                      QPoint(cell.Left + 5, cell.Top + 5));
    Settle();
    EXPECT_TRUE(opz.Antennas[0].Received[row]);
    EXPECT_EQ(opz.Antennas[0].Channels.Count(), 3);
    EXPECT_EQ(panel->ListGrid->Cells[0][2], "21");

    // The cell is drawn yellow on the screen, channel "5" (out of range) red.
    const QImage grid = WidgetOf(panel->ChannelGrid)->grab().toImage();
    EXPECT_EQ(QColor(grid.pixel(cell.Left + 2, cell.Top + 2)), QColor(255, 255, 0));
    const int five = opz.Antennas[0].Plan->IndexOf("5");
    const TRect red = panel->ChannelGrid->CellRect(five % ChannelGridColumns, five / ChannelGridColumns);
    EXPECT_EQ(QColor(grid.pixel(red.Left + 2, red.Top + 2)), QColor(255, 0, 0));

    const QImage shot = WindowOf(&form)->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("wizard-blocks.png"))));
    EXPECT_GT(qttest::Colours(shot), 5);

    // The four state pictures, enlarged.
    QImage marks(4 * 10 * StateImageWidth, 10 * StateImageHeight, QImage::Format_RGB32);
    for (int i = 0; i < 4; ++i) {
        TBitmap picture;
        tree->Marks->GetBitmap(i, &picture);
        for (int y = 0; y < StateImageHeight; ++y)
            for (int x = 0; x < StateImageWidth; ++x) {
                const TColor c = picture.Pixel(x, y);
                const QRgb rgb = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
                for (int dy = 0; dy < 10; ++dy)
                    for (int dx = 0; dx < 10; ++dx)
                        marks.setPixel((i * StateImageWidth + x) * 10 + dx, y * 10 + dy, rgb);
            }
    }
    EXPECT_TRUE(marks.save(QString::fromStdString(qttest::Artefact("wizard-state-images.png"))));
}
