#pragma once
// Checks that the contents of every visible group box of a form start below
// the frame's top line as the Qt style draws it (under the caption).
#include <gtest/gtest.h>

#include <QImage>

#include "platform/stdctrls.h"
#include "qt_test_support.h"

namespace qttest {

// The row of a group's top frame line: the first row, from the top, whose
// pixel near the right edge differs from the background above it; -1 when none.
inline int GroupFrameTop(QWidget* w) {
    const QImage image = w->grab().toImage();
    const int x = image.width() - 4;
    if (x < 0 || image.height() < 2) return -1;
    const QRgb background = image.pixel(x, 0);
    for (int y = 1; y < image.height() / 2; ++y)
        if (image.pixel(x, y) != background) return y;
    return -1;
}

inline void ExpectGroupContentsBelowCaptions(TWinControl* parent) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
        if (!child || !child->Visible) continue;
        if (auto* group = dynamic_cast<TGroupBox*>(child)) {
            QWidget* w = WidgetOf(group);
            const int line = w ? GroupFrameTop(w) : -1;
            EXPECT_GT(line, 0) << group->Caption.Get();
            for (int k = 0; k < group->ControlCount(); ++k) {
                TControl* c = group->Controls(k);
                if (c->Visible) EXPECT_GT(c->Top.Get(), line + 2) << group->Caption.Get() << ": child " << k;
            }
        }
        ExpectGroupContentsBelowCaptions(child);
    }
}

// Every visible control of every visible group box stands inside the
// group's frame (one pixel of frame on each side).
inline void ExpectGroupContentsInsideFrames(TWinControl* parent) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
        if (!child || !child->Visible) continue;
        if (auto* group = dynamic_cast<TGroupBox*>(child)) {
            for (int k = 0; k < group->ControlCount(); ++k) {
                TControl* c = group->Controls(k);
                if (!c->Visible) continue;
                EXPECT_LE(c->Left + c->Width, group->Width - 1) << group->Caption.Get() << ": child " << k;
                EXPECT_LE(c->Top + c->Height, group->Height - 1) << group->Caption.Get() << ": child " << k;
            }
        }
        ExpectGroupContentsInsideFrames(child);
    }
}

}  // namespace qttest
