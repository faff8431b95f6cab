#pragma once
// Finds the texts a form cuts off: read-only caption boxes, labels, check
// boxes, radio buttons and buttons whose whole text does not fit the room
// the widget gives it, among the widgets a person sees.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <string>
#include <vector>

#include "qt_test_support.h"

namespace qttest {

struct TCutText {
    std::string text;
    int needed = 0;     // pixels the text takes
    int available = 0;  // pixels the widget gives it
};

// The room a line edit leaves its text: the contents rectangle of its style
// less its text margins and the one pixel a line edit keeps on each side.
inline int LineEditTextRoom(QLineEdit* line) {
    QStyleOptionFrame opt;
    opt.initFrom(line);
    opt.rect = line->rect();
    opt.lineWidth =
        line->hasFrame() ? line->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, line) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    if (line->isReadOnly()) opt.state |= QStyle::State_ReadOnly;
    opt.features = QStyleOptionFrame::None;
    QRect r = line->style()->subElementRect(QStyle::SE_LineEditContents, &opt, line);
    r = r.marginsRemoved(line->textMargins());
    return r.width() - 2;
}

// The room a check box or radio button leaves its caption after its mark.
inline int ButtonTextRoom(QAbstractButton* button, bool radio) {
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.rect = button->rect();
    opt.text = button->text();
    const QRect r = button->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt, button);
    return r.width();
}

// Every visible text under root that the widget showing it cuts off.
inline std::vector<TCutText> CutTexts(QWidget* root) {
    std::vector<TCutText> cut;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root->window()) || !w->isVisible()) continue;
        QString text;
        int available = 0;
        if (auto* line = qobject_cast<QLineEdit*>(w)) {
            // Only captions: what a person types may be longer than its box.
            if (!line->isReadOnly()) continue;
            text = line->text();
            available = LineEditTextRoom(line);
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            text = box->text();
            available = ButtonTextRoom(box, false);
        } else if (auto* radio = qobject_cast<QRadioButton*>(w)) {
            text = radio->text();
            available = ButtonTextRoom(radio, true);
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->wordWrap() || label->textFormat() == Qt::RichText || !label->pixmap().isNull())
                continue;
            text = label->text();
            available = label->contentsRect().width() - 2 * label->margin() - label->indent();
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            text = button->text();
            available = w->width() - 6;
        } else {
            continue;
        }
        text.remove('&');
        if (text.trimmed().isEmpty()) continue;
        const int needed = w->fontMetrics().horizontalAdvance(text);
        if (needed > available) cut.push_back({text.toStdString(), needed, available});
    }
    return cut;
}

inline std::string Describe(const std::vector<TCutText>& cut) {
    std::string out;
    for (const TCutText& c : cut)
        out += "\"" + c.text + "\" needs " + std::to_string(c.needed) + " px, has " +
               std::to_string(c.available) + "\n";
    return out;
}

}  // namespace qttest
