// The component-data form in real windows: a filter's data typed into the
// widgets and confirmed with the "Ok" button.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "cells/filters.h"
#include "core/info.h"
#include "document/grid.h"
#include "qt/qt_test_support.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

using qttest::WidgetOf;
using qttest::WindowOf;

TEST(QtComponentData, AFilterIsEditedThroughTheWidgets) {
    ScopedGlobals globals;
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TGridData network(nullptr, 75, 75, GridNetwork);
    TFiltroS filter(&network, 0, 0, 4, 4);
    filter.SequenceNumber = 2;
    bool shown = false;
    qttest::WhenInFront(&dialog.Get(), [&] {
        TDatiComponenti& f = dialog.Get();
        QWidget* window = WindowOf(&f);
        ASSERT_NE(window, nullptr);
        shown = window->isVisible();
        EXPECT_EQ(window->windowTitle(), "Ordivex Varne - Dati componenti: Filtro F2");
        qttest::Settle();
        const QImage shot = window->grab().toImage();
        EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("component-data-filter.png"))));
        EXPECT_GT(qttest::Colours(shot), 3);

        auto* value = qobject_cast<QLineEdit*>(WidgetOf(f.ValueEdit[0][0]));
        ASSERT_NE(value, nullptr);
        value->setFocus();
        value->selectAll();
        QTest::keyClicks(value, "3,5");
        auto* description = qobject_cast<QLineEdit*>(WidgetOf(f.EditDescrizione));
        ASSERT_NE(description, nullptr);
        description->setFocus();
        QTest::keyClicks(description, "Passa UHF");
        QTest::mouseClick(WindowOf(f.ButtonOk), Qt::LeftButton);
    });
    EXPECT_TRUE(filter.OpenDataDialog());
    EXPECT_TRUE(shown);
    EXPECT_FLOAT_EQ(filter.Attenuation->Get3(0, 1, 0), 3.5f);
    EXPECT_EQ(filter.Description, "Passa UHF");
    EXPECT_EQ(filter.Described, 1);
}
