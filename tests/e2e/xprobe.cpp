// SPDX-License-Identifier: MIT
// A small X client for the end-to-end tests:
//   xprobe pixel WINDOW X Y          prints "R G B" of a window pixel
//   xprobe dark WINDOW X Y W H       prints how many pixels of that area are dark (text, lines)
//   xprobe close WINDOW              asks the window to close, as a window manager's close box does
//   xprobe maximise WINDOW           asks the window manager to maximise the window
//   xprobe icons WINDOW              prints the sizes of the window's icons ("16x16 32x32 ...")
//   xprobe ppm WINDOW FILE           writes the window's picture to FILE as a binary PPM
//   xprobe cursor WINDOW             prints the pointer's shape now: "WxH HOTX,HOTY NAME"
//   xprobe frame WINDOW              prints where the window's client area is on the screen
//                                    and the frame the window manager gives it, "X Y WIDTH
//                                    HEIGHT LEFT RIGHT TOP BOTTOM" (the frame 0 0 0 0 if none)
//   xprobe workarea                  prints the window manager's work area, "X Y WIDTH HEIGHT"
//   xprobe resources TEXT            sets the server's resources (as xrdb does), e.g. Xft.dpi
//   xprobe dock HEIGHT               a panel across the top of the screen, HEIGHT pixels high,
//                                    that keeps its strip from other windows; runs until killed

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Usage()
{
    std::fputs(
        "usage: xprobe pixel WIN X Y | dark WIN X Y W H | close WIN | maximise WIN | icons WIN |\n"
        "              ppm WIN FILE | cursor WIN | frame WIN | workarea | resources TEXT |\n"
        "              dock HEIGHT\n",
        stderr);
    return 2;
}

unsigned long Channel(unsigned long pixel, unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return (pixel >> shift) & mask;
}

// Prints the CARDINAL list `name` of `window`, numbers apart; false where it has none.
bool PrintCardinals(Display* display, Window window, const char* name)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 64, False,
        XA_CARDINAL, &type, &format, &count, &after, &data);
    const long* v = reinterpret_cast<const long*>(data);
    for (unsigned long i = 0; data && i < count; ++i)
        std::printf(i + 1 < count ? "%ld " : "%ld\n", v[i]);
    if (data)
        XFree(data);
    return count > 0;
}

// A dock: the window manager keeps it above others and out of the work area it gives them.
int Dock(Display* display, int height)
{
    const int screen = DefaultScreen(display);
    const int width = DisplayWidth(display, screen);
    XSetWindowAttributes attributes {};
    attributes.background_pixel = BlackPixel(display, screen);
    const Window dock = XCreateWindow(display, RootWindow(display, screen), 0, 0, unsigned(width),
        unsigned(height), 0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel, &attributes);
    const Atom kind = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DOCK", False);
    XChangeProperty(display, dock, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
        PropModeReplace, reinterpret_cast<const unsigned char*>(&kind), 1);
    // left, right, top, bottom, then the start and end of each strip along its edge.
    const long strut[12] {0, 0, height, 0, 0, 0, 0, 0, 0, width - 1, 0, 0};
    XChangeProperty(display, dock, XInternAtom(display, "_NET_WM_STRUT_PARTIAL", False),
        XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(strut), 12);
    XChangeProperty(display, dock, XInternAtom(display, "_NET_WM_STRUT", False), XA_CARDINAL, 32,
        PropModeReplace, reinterpret_cast<const unsigned char*>(strut), 4);
    XStoreName(display, dock, "panel");
    // Where it is put, not wherever the window manager would place a new window.
    XSizeHints hints {};
    hints.flags = USPosition | PPosition | PSize;
    hints.width = width;
    hints.height = height;
    XSetWMNormalHints(display, dock, &hints);
    XMapWindow(display, dock);
    XFlush(display);
    for (;;) {
        XEvent e;
        XNextEvent(display, &e);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("xprobe: no display\n", stderr);
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    if (!std::strcmp(argv[1], "workarea")) {
        // One rectangle per desktop; the first is the one the tests use.
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, root, XInternAtom(display, "_NET_WORKAREA", False), 0, 4, False,
            XA_CARDINAL, &type, &format, &count, &after, &data);
        const long* v = reinterpret_cast<const long*>(data);
        if (data && count == 4)
            std::printf("%ld %ld %ld %ld\n", v[0], v[1], v[2], v[3]);
        if (data)
            XFree(data);
        XCloseDisplay(display);
        return 0;
    }
    if (argc < 3)
        return Usage();
    if (!std::strcmp(argv[1], "resources")) {
        XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
            reinterpret_cast<const unsigned char*>(argv[2]), int(std::strlen(argv[2])));
        XCloseDisplay(display);
        return 0;
    }
    if (!std::strcmp(argv[1], "dock"))
        return Dock(display, std::atoi(argv[2]));
    const Window window = std::strtoul(argv[2], nullptr, 0);
    const char* verb = argv[1];

    if (!std::strcmp(verb, "close")) {
        XEvent e {};
        e.xclient.type = ClientMessage;
        e.xclient.window = window;
        e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &e);
        XFlush(display);
        XCloseDisplay(display);
        return 0;
    }

    if (!std::strcmp(verb, "maximise")) {
        XEvent e {};
        e.xclient.type = ClientMessage;
        e.xclient.window = window;
        e.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = 1; // add
        e.xclient.data.l[1] = long(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False));
        e.xclient.data.l[2] = long(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
        e.xclient.data.l[3] = 1; // from an application
        XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XCloseDisplay(display);
        return 0;
    }

    if (!std::strcmp(verb, "frame")) {
        XWindowAttributes attributes {};
        int x = 0, y = 0;
        Window child = 0;
        if (!XGetWindowAttributes(display, window, &attributes)
            || !XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child))
            return 1;
        std::printf("%d %d %d %d ", x, y, attributes.width, attributes.height);
        if (!PrintCardinals(display, window, "_NET_FRAME_EXTENTS"))
            std::printf("0 0 0 0\n");
        XCloseDisplay(display);
        return 0;
    }

    if (!std::strcmp(verb, "icons")) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), 0, 1 << 24,
            False, XA_CARDINAL, &type, &format, &count, &after, &data);
        // Each icon is width, height, then width * height pixels.
        const long* v = reinterpret_cast<const long*>(data);
        for (unsigned long i = 0; data && i + 2 <= count;) {
            std::printf("%ldx%ld ", v[i], v[i + 1]);
            i += 2 + static_cast<unsigned long>(v[i] * v[i + 1]);
        }
        std::printf("\n");
        if (data)
            XFree(data);
        XCloseDisplay(display);
        return 0;
    }

    if (!std::strcmp(verb, "cursor")) {
        int event = 0, error = 0;
        XFixesCursorImage* image = XFixesQueryExtension(display, &event, &error)
            ? XFixesGetCursorImage(display)
            : nullptr;
        if (!image) {
            std::fputs("xprobe: cannot read the pointer's shape\n", stderr);
            return 1;
        }
        std::printf("%dx%d %d,%d %s\n", image->width, image->height, image->xhot, image->yhot,
            image->name && *image->name ? image->name : "-");
        XFree(image);
        XCloseDisplay(display);
        return 0;
    }

    if (!std::strcmp(verb, "ppm") && argc == 4) {
        XWindowAttributes attributes {};
        XGetWindowAttributes(display, window, &attributes);
        XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width),
            unsigned(attributes.height), AllPlanes, ZPixmap);
        FILE* out = image ? std::fopen(argv[3], "wb") : nullptr;
        if (!out) {
            std::fputs("xprobe: cannot read the window or write the file\n", stderr);
            return 1;
        }
        std::fprintf(out, "P6\n%d %d\n255\n", attributes.width, attributes.height);
        for (int j = 0; j < attributes.height; ++j)
            for (int i = 0; i < attributes.width; ++i) {
                const unsigned long p = XGetPixel(image, i, j);
                const unsigned char rgb[3] {static_cast<unsigned char>(Channel(p, image->red_mask)),
                    static_cast<unsigned char>(Channel(p, image->green_mask)),
                    static_cast<unsigned char>(Channel(p, image->blue_mask))};
                std::fwrite(rgb, 1, 3, out);
            }
        std::fclose(out);
        XDestroyImage(image);
        XCloseDisplay(display);
        return 0;
    }

    const bool dark = !std::strcmp(verb, "dark");
    if ((!dark && std::strcmp(verb, "pixel")) || argc < (dark ? 7 : 5))
        return Usage();
    const int x = std::atoi(argv[3]);
    const int y = std::atoi(argv[4]);
    const unsigned w = dark ? unsigned(std::atoi(argv[5])) : 1;
    const unsigned h = dark ? unsigned(std::atoi(argv[6])) : 1;
    XImage* image = XGetImage(display, window, x, y, w, h, AllPlanes, ZPixmap);
    if (!image) {
        std::fputs("xprobe: cannot read the window\n", stderr);
        return 1;
    }
    long count = 0;
    for (unsigned j = 0; j < h; ++j)
        for (unsigned i = 0; i < w; ++i) {
            const unsigned long p = XGetPixel(image, int(i), int(j));
            const unsigned long r = Channel(p, image->red_mask);
            const unsigned long g = Channel(p, image->green_mask);
            const unsigned long b = Channel(p, image->blue_mask);
            if (!dark) {
                std::printf("%lu %lu %lu\n", r, g, b);
                continue;
            }
            count += (r * 299 + g * 587 + b * 114) / 1000 < 160;
        }
    if (dark)
        std::printf("%ld\n", count);
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}
