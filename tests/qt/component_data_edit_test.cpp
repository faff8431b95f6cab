// The component-data form's editing handlers in real windows: an antenna's
// wind data and the price's currency, typed and picked on the widgets.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include <memory>

#include "cells/factory.h"
#include "cells/sources.h"
#include "cells/switches.h"
#include "core/options.h"
#include "document/grid.h"
#include "platform/numeric_places.h"
#include "qt/designed_project.h"
#include "qt/qt_test_support.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

using qttest::WidgetOf;
using qttest::WindowOf;

namespace {

QLineEdit* LineOf(TControl* control) { return qobject_cast<QLineEdit*>(WidgetOf(control)); }

void TypeInto(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

}  // namespace

TEST(QtComponentDataEdit, AnAntennasWindDataAndCurrencyFollowTheWidgets) {
    qttest::TAntennaFixture fixture;
    TAntenna& antenna = fixture.antenna;
    ScopedComponentDialog& dialog = fixture.dialog;
    fixture.globals.Options().currencyFactors[CurrencyEuro][CurrencyLire] = 2000.0f;
    antenna.WindThrust = 80.0f;
    antenna.Price = 12.5f;
    antenna.Currency = CurrencyEuro;
    qttest::WhenInFront(&dialog.Get(), [&] {
        TDatiComponenti& f = dialog.Get();
        QWidget* window = WindowOf(&f);
        ASSERT_NE(window, nullptr);
        qttest::Settle();
        // The fill raised no handler: the thrust is still there.
        EXPECT_EQ(f.EditSpinta->Text.Get(), "80");

        QLineEdit* area = LineOf(f.EditArea);
        QLineEdit* thrust = LineOf(f.EditSpinta);
        ASSERT_NE(area, nullptr);
        ASSERT_NE(thrust, nullptr);
        TypeInto(area, "0,5");
        EXPECT_EQ(thrust->text(), "");
        TypeInto(thrust, "120");
        EXPECT_EQ(area->text(), "");
        auto* speed = qobject_cast<QComboBox*>(WindowOf(f.ComboVelocita));
        ASSERT_NE(speed, nullptr);
        speed->setFocus();
        QTest::keyClick(speed, Qt::Key_Down);
        EXPECT_EQ(f.ComboVelocita->Text.Get(), "100");

        // Euro to Lire through the combo's own list, filled on entering it.
        auto* currency = qobject_cast<QComboBox*>(WindowOf(f.ComboValuta));
        ASSERT_NE(currency, nullptr);
        currency->setFocus();
        qttest::Settle();
        EXPECT_EQ(f.ComboValuta->Items->Count(), 2);
        QTest::keyClick(currency, Qt::Key_Down);  // the sorted list: "Euro", "Lire"
        EXPECT_EQ(f.ComboValuta->Text.Get(), "Lire");
        EXPECT_EQ(LineOf(f.EditPrezzo)->text(), "25.000");
        qttest::Settle();
        const QImage shot = window->grab().toImage();
        EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("component-data-antenna-edit.png"))));
        EXPECT_GT(qttest::Colours(shot), 3);
        QTest::mouseClick(WindowOf(f.ButtonOk), Qt::LeftButton);
    });
    EXPECT_TRUE(antenna.OpenDataDialog());
    EXPECT_FLOAT_EQ(antenna.WindThrust, 120.0f);
    EXPECT_FLOAT_EQ(antenna.WindSpeed, 100.0f);
    EXPECT_EQ(antenna.WindArea, LevelNone);
    EXPECT_FLOAT_EQ(antenna.Price, 25000.0f);
    EXPECT_EQ(antenna.Currency, CurrencyLire);
}

TEST(QtComponentDataEdit, ASwitchsLinesAndStagesArePagedOnTheWidgets) {
    ScopedGlobals globals;
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TGridData network(nullptr, 75, 75, GridNetwork);
    std::unique_ptr<TCella> cell(NewCella(&network, 10, 4, 4, 3, 0, 4));
    cell->SequenceNumber = 3;
    for (int32_t i = 0; i < cell->TableRows; ++i)
        for (int b = 0; b < 11; ++b) {
            cell->Attenuation->Set3(i, TapLossColumn, b, 10.0f + i);
            cell->Attenuation->Set3(i, TapThroughColumn, b, 1.5f);
            cell->Attenuation->Set3(i, TapReverseColumn, b, 30.0f);
            cell->Attenuation->Set3(i, TapDecouplingColumn, b, 25.0f);
        }
    cell->Described = 1;
    qttest::WhenInFront(&dialog.Get(), [&] {
        TDatiComponenti& f = dialog.Get();
        QWidget* window = WindowOf(&f);
        ASSERT_NE(window, nullptr);
        qttest::Settle();
        QTest::mouseClick(WidgetOf(f.RadioModulo[1]), Qt::LeftButton, {}, QPoint(8, 8));
        EXPECT_EQ(f.CurrentModule, 1);
        QLineEdit* loss = LineOf(f.ValueEdit[TapLossColumn][5]);
        ASSERT_NE(loss, nullptr);
        EXPECT_EQ(loss->text(), "11");
        TypeInto(loss, "21");
        QTest::mouseClick(WidgetOf(f.RadioModulo[2]), Qt::LeftButton, {}, QPoint(8, 8));
        EXPECT_EQ(f.CurrentModule, 2);
        EXPECT_EQ(loss->text(), "12");
        const QString ownCaption = LineOf(f.RowCaption[0])->text();
        QTest::mouseClick(WidgetOf(f.RadioFunzione[2]), Qt::LeftButton, {}, QPoint(8, 8));
        EXPECT_EQ(f.CurrentKind, TableThroughAmplification);
        EXPECT_EQ(LineOf(f.RowCaption[0])->text(), "Reg. tilt  [-dB]");
        QTest::mouseClick(WidgetOf(f.ButtonUsciteDistinte), Qt::LeftButton);
        EXPECT_TRUE(WidgetOf(f.StripUscita)->isVisible());
        qttest::Settle();
        const QImage shot = window->grab().toImage();
        EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("component-data-switch-stages.png"))));
        EXPECT_GT(qttest::Colours(shot), 3);
        QTest::mouseClick(WidgetOf(f.ButtonUsciteDistinte), Qt::LeftButton);
        QTest::mouseClick(WidgetOf(f.RadioFunzione[0]), Qt::LeftButton, {}, QPoint(8, 8));
        EXPECT_EQ(LineOf(f.RowCaption[0])->text(), ownCaption);
        QTest::mouseClick(WindowOf(f.ButtonOk), Qt::LeftButton);
    });
    EXPECT_TRUE(cell->OpenDataDialog());
    EXPECT_FLOAT_EQ(cell->Attenuation->Get3(1, TapLossColumn, 5), 21.0f);
    EXPECT_FLOAT_EQ(cell->Attenuation->Get3(2, TapLossColumn, 5), 12.0f);
}

// Invio in a cell of the signal table takes the value and keeps the form:
// the keys typed next still go to the form's cell.
TEST(QtComponentDataEdit, InvioInTheSignalTableTakesTheCellAndKeepsTheForm) {
    qttest::TComponentFixture fixture;
    TGridData network{nullptr, 75, 75, GridNetwork};
    std::unique_ptr<TCella> outlet(NewCella(&network, CodePassThroughOutlet, 4, 4, 1, 1, 1));
    ASSERT_NE(outlet, nullptr);
    outlet->Described = 1;
    TDatiComponenti& form = fixture.Form();
    bool stayed = false;
    qttest::WhenInFront(&form, [&] {
        qttest::Settle();
        QLineEdit* cell = LineOf(form.ValueEdit[0][0]);
        ASSERT_NE(cell, nullptr);
        qttest::BoxWatch boxes;
        TypeInto(cell, "3,5");
        QTest::keyClick(cell, Qt::Key_Return);
        qttest::Settle();
        stayed = form.Visible.Get() && form.ModalResult.Get() == mrNone;
        EXPECT_TRUE(boxes.Texts.empty()) << (boxes.Texts.empty() ? "" : boxes.Texts[0]);
        EXPECT_EQ(form.ValueEdit[0][0]->Text.Get(), "3,5");
        EXPECT_EQ(form.ValueEdit[0][0]->TakenText(), "3,5");
        // The keyboard is still on the cell: the next keys edit it.
        QWidget* focus = qttest::KeyTarget(WindowOf(&form));
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus, static_cast<QWidget*>(cell));
        QTest::keyClick(focus, Qt::Key_End);
        QTest::keyClicks(focus, "0");
        EXPECT_EQ(form.ValueEdit[0][0]->Text.Get(), "3,50");
        form.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(outlet->OpenDataDialog());
    EXPECT_TRUE(stayed);
}
