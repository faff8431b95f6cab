// The component-data form's editing handlers in real windows: an antenna's
// wind data and the price's currency, typed and picked on the widgets.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include "app/grid.h"
#include "cells/sources.h"
#include "core/options.h"
#include "qt/qt_test_support.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

using qttest::Later;
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
    ScopedGlobals globals;
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    globals.Options().currencyFactors[CurrencyEuro][CurrencyLire] = 2000.0f;
    TGridData network(nullptr, 75, 75, GridNetwork);
    TAntenna antenna(&network, 0, 0, 4, 4);
    antenna.Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 470.0f);
    antenna.Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 862.0f);
    antenna.Described = 1;
    antenna.WindThrust = 80.0f;
    antenna.Price = 12.5f;
    antenna.Currency = CurrencyEuro;
    Later([&] {
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
    }, 50);
    EXPECT_TRUE(antenna.OpenDataDialog());
    EXPECT_FLOAT_EQ(antenna.WindThrust, 120.0f);
    EXPECT_FLOAT_EQ(antenna.WindSpeed, 100.0f);
    EXPECT_EQ(antenna.WindArea, LevelNone);
    EXPECT_FLOAT_EQ(antenna.Price, 25000.0f);
    EXPECT_EQ(antenna.Currency, CurrencyLire);
}
