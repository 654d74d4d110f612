// Keeps a fixed-size top-level window (a form with a single border, the error box) in the normal
// state, whatever asks for it to be maximized or full screen: the title bar's button, a
// compositor's or window manager's shortcut, or the program itself.
#pragma once

class QWidget;

// After the window's size is fixed and before it is shown. Also takes away the maximize button
// where the platform lets a program say so (X11); Qt's own Wayland title bar always draws it.
void KeepFixedSize(QWidget* window);
