#pragma once
// Finds the labels a form hides: a label the program paints (TLabel) whose
// text, measured in the font the screen draws it with, runs under a
// windowed control beside it (an edit, a combo box, a button) or past its
// own box when it does not size itself.
#include <QFontMetrics>
#include <string>
#include <vector>

#include "platform/qt/qt_paint.h"
#include "platform/stdctrls.h"

namespace qttest {

// The pixels the label's text takes from its left edge, as drawn.
inline int LabelTextWidth(TLabel* label) {
    return QFontMetrics(ovqt::ToQFont(*label->Font))
        .horizontalAdvance(QString::fromStdString(label->DisplayText()));
}

// One line per label under root whose text is hidden, and what hides it.
inline std::vector<std::string> HiddenLabels(TWinControl* root) {
    std::vector<std::string> hidden;
    for (int i = 0; i < root->ControlCount(); ++i) {
        TControl* child = root->Controls(i);
        if (!child->Visible) continue;
        if (auto* w = dynamic_cast<TWinControl*>(child)) {
            for (const std::string& h : HiddenLabels(w)) hidden.push_back(h);
            continue;
        }
        auto* label = dynamic_cast<TLabel*>(child);
        if (!label || label->WordWrap || label->DisplayText().empty()) continue;
        const int need = LabelTextWidth(label);
        int left = label->Left;
        if (label->Alignment == taRightJustify) left = label->Left + label->Width - need;
        if (label->Alignment == taCenter) left = label->Left + (label->Width - need) / 2;
        const int right = left + need;
        const std::string name = "\"" + label->DisplayText() + "\"";
        if (!label->AutoSize && need > label->Width)
            hidden.push_back(name + " needs " + std::to_string(need) + " px, has " +
                             std::to_string(label->Width.Get()));
        for (int k = 0; k < root->ControlCount(); ++k) {
            auto* other = dynamic_cast<TWinControl*>(root->Controls(k));
            if (!other || !other->Visible) continue;
            const bool across = left < other->Left + other->Width && other->Left < right;
            const bool level =
                label->Top < other->Top + other->Height && other->Top < label->Top + label->Height;
            if (across && level)
                hidden.push_back(name + " runs " + std::to_string(right - other->Left) +
                                 " px under the control at (" + std::to_string(other->Left.Get()) + ", " +
                                 std::to_string(other->Top.Get()) + ")");
        }
    }
    return hidden;
}

inline std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}

}  // namespace qttest
