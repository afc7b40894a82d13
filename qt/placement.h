#pragma once

class QWidget;

// Puts a top-level window, not yet shown, centred on its screen's available area: the whole
// window as the user sees it, the window manager's frame and title bar included. Returns whether
// a window manager will manage the window; where none does, the caller gives it the focus.
bool CentreOnScreen(QWidget& window);
