#pragma once

#include <X11/Xlib.h>

class CBitmap24;

// The screen beneath the nWidth x nHeight area at (x, y) of the root window, as the root
// shows it now: what the desktop overlay fades under the fire. Parts off the screen, and the
// whole area when the root cannot be read or its visual is not true colour, stay black. False
// only when the picture cannot be allocated.
bool TakeRootSnapshot(Display* pDisplay, int x, int y, int nWidth, int nHeight,
                      CBitmap24& snapshot);
