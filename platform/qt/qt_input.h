#pragma once
// The person's mouse and keyboard, handed from Qt's events to the model.
#include <QObject>
#include <QPoint>
#include <QPointer>

#include "platform/controls.h"

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class QContextMenuEvent;
class QHelpEvent;
class QWidget;

namespace ovqt {

// The virtual key of a Qt key (0 when it has none).
WORD VirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);
TShiftState ShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);

// Watches every event of the application and gives those of widgets with a
// peer to their model controls.
class TQtInput : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Dispatch(QWidget* widget, QEvent* event);
    bool Key(QWidget* widget, QKeyEvent* event);
    bool Mouse(QWidget* widget, QMouseEvent* event);
    bool Wheel(QWidget* widget, QWheelEvent* event);
    bool ContextMenu(QWidget* widget, QContextMenuEvent* event);
    bool ToolTip(QWidget* widget, QHelpEvent* event);
    void FocusIn(QWidget* widget);
    // The control under a point of a peer's widget: a child without a
    // window, or the peer's own control; point becomes its client point.
    TControl* TargetAt(TControl* control, QPoint& point) const;

    // The control that got the mouse button, until it goes up.
    TControl* captured_ = nullptr;
    QPoint captureOffset_;
    TControl* pressed_ = nullptr;  // a left press that may end in a click
    // The last mouse event handled, so that one Qt hands to a parent is not handled twice.
    int lastType_ = 0;
    quint64 lastTime_ = 0;
    QPoint lastGlobal_;
};

}  // namespace ovqt
