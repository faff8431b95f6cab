// The component-data form's pages in real windows: a four-output converter
// paged through its outputs, its channel grid and its band rows, and the
// module tabs of a head-end unit with two modules.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "cells/active_filters.h"
#include "cells/factory.h"
#include "cells/sources.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "cells/combo_string_grid.h"
#include "document/grid.h"
#include "qt/designed_project.h"
#include "qt/qt_test_support.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

using qttest::WidgetOf;
using qttest::WindowOf;

namespace {

QLineEdit* LineOf(TControl* control) { return qobject_cast<QLineEdit*>(WidgetOf(control)); }

void Shoot(QWidget* window, const char* name) {
    qttest::Settle();
    const QImage shot = window->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact(name))));
    EXPECT_GT(qttest::Colours(shot), 3);
}

void ClickTab(TTabControl* tabs, int index) {
    const TRect r = tabs->TabRect(index);
    QTest::mouseClick(WidgetOf(tabs), Qt::LeftButton, {},
                      QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
}

}  // namespace

TEST(QtComponentDataPages, AFourOutputConverterIsPagedOnTheWidgets) {
    qttest::TConverterFixture converter({1, 0, 0, 1});
    TSat& sat = converter.sat;
    ScopedComponentDialog& dialog = converter.dialog;
    for (const char* name : {"21", "34", "45"}) {
        TCanale c;
        CanalizzazioneEuropa->SetChannel(c, CanalizzazioneEuropa->IndexOf(name));
        c.levelMin = 70.0f;
        c.floorMin = 15.0f;
        sat.OutputChannels[1]->Insert(c);
    }
    for (int o = 0; o < 4; ++o) sat.Attenuation->Set3(o, SatGainColumn, SatGainSlot, 55.0f + o);
    sat.Described = 1;
    qttest::WhenInFront(&dialog.Get(), [&] {
        TDatiComponenti& f = dialog.Get();
        QWidget* window = WindowOf(&f);
        ASSERT_NE(window, nullptr);
        qttest::Settle();
        // Output 1 carries the satellite bands.
        EXPECT_FALSE(WidgetOf(f.GridCanali8)->isVisible());
        EXPECT_TRUE(LineOf(f.ValueEdit[0][6])->isVisible());
        Shoot(window, "component-data-converter-bands.png");

        // Output 2: its channel list in the grid.
        QTest::mouseClick(WidgetOf(f.RadioModulo[1]), Qt::LeftButton, {}, QPoint(8, 8));
        EXPECT_EQ(f.CurrentModule, 1);
        EXPECT_TRUE(WidgetOf(f.GridCanali8)->isVisible());
        EXPECT_FALSE(LineOf(f.ValueEdit[0][6])->isVisible());
        EXPECT_EQ(f.GridCanali8->Cell(1, 2), "34");
        EXPECT_EQ(LineOf(f.ValueEdit[2][5])->text(), "56");
        // A click on the grid's empty row offers the satellite plans over the cell.
        const TRect empty = f.GridCanali8->CellRect(0, 4);
        QTest::mouseClick(WidgetOf(f.GridCanali8), Qt::LeftButton, {}, QPoint(empty.Left + 5, empty.Top + 5));
        qttest::Settle();
        EXPECT_EQ(f.GridCanali8->RowCount, 6);
        EXPECT_TRUE(WidgetOf(f.GridCanali8->Combo)->isVisible());
        EXPECT_GT(f.GridCanali8->Combo->Items->Count(), 0);
        EXPECT_LT(f.GridCanali8->Combo->Items->IndexOf("Europa"), 0);
        Shoot(window, "component-data-converter-grid.png");
        // A plan picked on the list, then the channel cell: the plan is in
        // its cell and the list offers the plan's channels.
        QWidget* list = WindowOf(f.GridCanali8->Combo);
        QTest::keyClick(list, Qt::Key_Down);
        const AnsiString plan = f.GridCanali8->Combo->Text;
        ASSERT_FALSE(plan.empty());
        const TRect channel = f.GridCanali8->CellRect(1, 4);
        QTest::mouseClick(WidgetOf(f.GridCanali8), Qt::LeftButton, {},
                          QPoint(channel.Left + 5, channel.Top + 5));
        qttest::Settle();
        EXPECT_EQ(f.GridCanali8->Cell(0, 4), plan);
        EXPECT_TRUE(f.GridCanali8->Combo->Visible);
        EXPECT_EQ(f.GridCanali8->Combo->Items->Count(), Canalizzazioni->Find(plan)->Count());

        // "Cambia canali" turns output 2 to the satellite bands.
        QTest::mouseClick(WidgetOf(f.ButtonCambiaCanali), Qt::LeftButton);
        EXPECT_FALSE(WidgetOf(f.GridCanali8)->isVisible());
        EXPECT_EQ(f.BandRowByte[1], 1);
        QTest::mouseClick(WidgetOf(f.RadioModulo[3]), Qt::LeftButton, {}, QPoint(8, 8));
        EXPECT_EQ(LineOf(f.ValueEdit[2][5])->text(), "58");
        QTest::mouseClick(WindowOf(f.ButtonOk), Qt::LeftButton);
    });
    EXPECT_TRUE(sat.OpenDataDialog());
    EXPECT_EQ(sat.UseSatBands[1], 1);
    EXPECT_EQ(sat.OutputChannels[1]->Count(), 3);
}

TEST(QtComponentDataPages, AHeadEndUnitsModuleTabsAreClickedThrough) {
    ScopedGlobals globals;
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TGridData headEnd(nullptr, 75, 75, GridHeadEnd);
    std::unique_ptr<TFiltroAttivo> cell = CellAs<TFiltroAttivo>(NewCella(&headEnd, 37, 4, 4, 1, 1, 0));
    cell->SequenceNumber = 4;
    TModuloFiltro& converter = cell->Module();
    converter.settings = {950.0f, 2150.0f, 36.0f};
    converter.slotLow[1] = 1100.0f;
    converter.slotHigh[1] = 1136.0f;
    converter.slotPlan[2] = CanalizzazioneEuropa;
    converter.slotName[2] = "21";
    converter.slotLow[2] = 470.0f;
    converter.slotHigh[2] = 478.0f;
    converter.slotLabel[2] = "Rai 1 HD";
    converter.flags |= 2;
    converter.stage->Set2(1, 0, 30.0f);
    auto agc = std::make_unique<TModuloFiltro>();
    agc->flags = ModuleAutomaticGain;
    agc->slotLow[1] = 606.0f;
    agc->slotHigh[1] = 614.0f;
    agc->stage->Set2(3, 0, 100.0f);
    cell->Modules->Append(std::move(agc));
    cell->Described = 1;
    qttest::WhenInFront(&dialog.Get(), [&] {
        TDatiComponenti& f = dialog.Get();
        QWidget* window = WindowOf(&f);
        ASSERT_NE(window, nullptr);
        qttest::Settle();
        ASSERT_EQ(f.TabModuli->Tabs->Count(), 4);
        EXPECT_EQ(f.TabModuli->TabIndex, 2);
        EXPECT_EQ(LineOf(f.ValueEdit[2][0])->text(), "30");
        EXPECT_EQ(LineOf(f.EditDescrizioneModulo)->text(), "Rai 1 HD");
        Shoot(window, "component-data-module-converter.png");

        ClickTab(f.TabModuli, 3);
        EXPECT_EQ(f.ShownModuleTab, 1);
        EXPECT_EQ(LineOf(f.RowCaption[4])->text(), "Livello uscita  [dB]");
        EXPECT_EQ(LineOf(f.ValueEdit[4][0])->text(), "100");
        QLineEdit* level = LineOf(f.ValueEdit[4][0]);
        level->setFocus();
        level->selectAll();
        QTest::keyClicks(level, "104");
        Shoot(window, "component-data-module-agc.png");

        ClickTab(f.TabModuli, 1);
        EXPECT_EQ(f.ShownAmplifierTab, 1);
        EXPECT_TRUE(LineOf(f.ValueEdit[6][10])->isVisible());
        Shoot(window, "component-data-module-output-amplifier.png");
        QTest::mouseClick(WindowOf(f.ButtonOk), Qt::LeftButton);
    });
    EXPECT_TRUE(cell->OpenDataDialog());
    ASSERT_EQ(cell->Modules->Count(), 2);
    EXPECT_FLOAT_EQ(cell->Modules->head->next->stage->Get2(3, 0), 104.0f);
    EXPECT_EQ(cell->Modules->head->slotLabel[2], "Rai 1 HD");
}
