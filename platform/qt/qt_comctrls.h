#pragma once
// Peers of grids, tree views, progress bars and up-down arrows.
#include "platform/qt/qt_peers.h"

namespace ovqt {

// The peer of one of these kinds, nullptr for any other control.
TControlPeer* MakeComCtrlPeer(TControl* control);

}  // namespace ovqt
