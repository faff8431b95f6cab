#pragma once
// Peers of the standard controls over Qt's own widgets.
#include "platform/qt/qt_peers.h"

class QLineEdit;
class QPlainTextEdit;
class QScrollBar;

namespace ovqt {

// The peer that shows a control of this kind (nullptr: none).
TControlPeer* MakeControlPeer(TControl* control);

}  // namespace ovqt
