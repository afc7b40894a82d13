#pragma once

// Before the application object is made: on a Wayland desktop whose compositor leaves title bars
// to each program (GNOME's mutter, weston), Qt would draw its own, with minimise and maximise
// boxes this window must not have; there the window goes to the desktop's X server (XWayland),
// whose window manager draws a title bar that honours the window's fixed size. Where the
// compositor draws title bars itself (KDE's KWin), or there is no X server, Qt's choice stands,
// and QT_QPA_PLATFORM, where set, decides as always.
void ChooseWindowSystem();

// While the application object is being made: where no platform plugin starts, Qt would abort
// with a core dump; instead one plain line says what is wrong (no display named, the display
// cannot be opened, or no usable platform plugin), Qt's own messages of that time follow it as
// its reasons, and the program ends with status 1. Once Qt has started, those messages are
// passed on as usual.
void ExpectDisplay();
void DisplayFound();
