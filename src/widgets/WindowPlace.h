#pragma once

class QWidget;

namespace platform {

// A window that is shown again comes back where it was. Qt centres a dialog
// anew at every showing, and the window manager's frame, unknown at the
// first showing, then shifts it by a few dozen pixels.
// keepPlace notes where a window is as it is hidden; restorePlace puts it
// there before it is shown again (nothing before its first showing).
void keepPlace(QWidget* window);
void restorePlace(QWidget* window);

// Centres the window, its frame included, on the available area of its
// screen, its top left kept on the screen when it is larger; such a window
// is placed anew at every showing and keepPlace/restorePlace leave it alone.
void centreOnScreen(QWidget* window);

} // namespace platform
