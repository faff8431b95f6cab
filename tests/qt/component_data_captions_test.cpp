// The component-data form as every component class arranges it, in real
// windows: each caption box, label, check box and button shows its whole
// text, on the component's own rows and on each amplification stage, and
// every control of a section stands inside its frame, below its caption.
// Screenshots: component-data-captions-<code>.png in test-artefacts/.
#include <gtest/gtest.h>

#include <QTimer>
#include <memory>
#include <set>

#include "cells/cell.h"
#include "cells/factory.h"
#include "document/grid.h"
#include "qt/group_layout.h"
#include "qt/label_clash.h"
#include "qt/qt_test_support.h"
#include "qt/text_fit.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

using qttest::WidgetOf;
using qttest::WindowOf;

namespace {

struct TCounts {
    int32_t inputs, through, taps;
};

// Port counts that make each class show its different rows: a tap with and
// without through outputs, one or two lines, several outputs.
constexpr TCounts CountVariants[] = {{1, 1, 2}, {1, 0, 2}, {2, 1, 4}};

// Opens the cell's data form; while it is shown, fn looks at it, then the
// form is cancelled. Returns whether the form was seen.
bool WhileShown(TCella& cell, TDatiComponenti& form, const std::function<void()>& fn) {
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* window = WindowOf(&form);
        if (seen || !window || !window->isVisible()) return;
        seen = true;
        qttest::Settle();
        fn();
        QTest::mouseClick(WindowOf(form.ButtonAnnulla), Qt::LeftButton);
    });
    poll.start();
    cell.OpenDataDialog();
    poll.stop();
    return seen;
}

}  // namespace

TEST(QtComponentDataCaptions, EveryClassShowsItsWholeCaptions) {
    ScopedGlobals globals;
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TDatiComponenti& form = dialog.Get();
    int forms = 0;
    std::set<int32_t> shot;
    for (const TCellType& type : CellTypes()) {
        // The custom component has its own editor.
        if (type.Code == CodeCustom) continue;
        for (const TCounts& counts : CountVariants) {
            TGridData grid(nullptr, 75, 75, GridNetwork);
            std::unique_ptr<TCella> cell(
                NewCella(&grid, type.Code, 4, 4, counts.inputs, counts.through, counts.taps));
            if (!cell) continue;
            cell->SequenceNumber = 1;
            const std::string what = std::string(type.ClassName) + " (code " + std::to_string(type.Code) +
                                     ", " + std::to_string(counts.inputs) + "/" +
                                     std::to_string(counts.through) + "/" + std::to_string(counts.taps) + ")";
            const bool seen = WhileShown(*cell, form, [&] {
                QWidget* window = WindowOf(&form);
                EXPECT_EQ(qttest::Describe(qttest::CutTexts(window)), "") << what;
                EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(&form)), "") << what;
                {
                    SCOPED_TRACE(what);
                    qttest::ExpectGroupContentsInsideFrames(&form);
                    qttest::ExpectGroupContentsBelowCaptions(&form);
                }
                if (shot.insert(type.Code).second) {
                    const QImage image = window->grab().toImage();
                    EXPECT_TRUE(image.save(QString::fromStdString(
                        qttest::Artefact("component-data-captions-" + std::to_string(type.Code) + ".png"))));
                }
                // Each amplification stage brings rows of its own.
                for (TRadioButton* stage : form.RadioFunzione) {
                    if (!stage->Visible) continue;
                    QTest::mouseClick(WidgetOf(stage), Qt::LeftButton, {}, QPoint(6, 8));
                    qttest::Settle();
                    EXPECT_EQ(qttest::Describe(qttest::CutTexts(window)), "")
                        << what << ", stage \"" << stage->Caption.Get() << "\"";
                }
            });
            if (seen) ++forms;
        }
    }
    // The sweep reached the classes that describe signals.
    EXPECT_GT(forms, 40);
}
