#pragma once
// Whether the Qt back end can open a window. Qt ends the process when its
// platform plugin cannot start, so the program asks before it attaches the
// back end.

// True when QT_QPA_PLATFORM names a platform, or when the X display of
// DISPLAY or the Wayland display of WAYLAND_DISPLAY accepts a connection.
bool DisplayAvailable();
