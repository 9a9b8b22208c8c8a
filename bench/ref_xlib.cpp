// SPDX-License-Identifier: MIT
// The machine's floor: a bare Xlib window of the board's size, filled in the first token's
// colour on its first expose.

#include <X11/Xlib.h>

int main()
{
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return 1;
    const int s = DefaultScreen(d);
    const unsigned long colour = 0xffff80; // 255, 255, 128 on a TrueColor visual
    Window w = XCreateSimpleWindow(d, RootWindow(d, s), 0, 0, 1041, 741, 0, 0, colour);
    XStoreName(d, w, "reference");
    XSelectInput(d, w, ExposureMask);
    XMapWindow(d, w);
    for (;;) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == Expose) {
            XClearWindow(d, w);
            XFlush(d);
        }
    }
}
