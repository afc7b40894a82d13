#pragma once

// Before the application object is made: on a Wayland desktop whose compositor leaves title bars
// to each program (GNOME's mutter, weston), Qt would draw its own, with minimise and maximise
// boxes this window must not have; there the window goes to the desktop's X server (XWayland),
// whose window manager draws a title bar that honours the window's fixed size. Where the
// compositor draws title bars itself (KDE's KWin), or there is no X server, Qt's choice stands,
// and QT_QPA_PLATFORM, where set, decides as always.
void ChooseWindowSystem();

// Whether the X server named in DISPLAY, or the Wayland compositor named in WAYLAND_DISPLAY,
// takes a connection.
bool X11Opens();
bool WaylandOpens();
