// SPDX-License-Identifier: MIT
// A small X client for the end-to-end tests:
//   xprobe pixel WINDOW X Y          prints "R G B" of a window pixel
//   xprobe dark WINDOW X Y W H       prints how many pixels of that area are dark (text, lines)
//   xprobe close WINDOW              asks the window to close, as a window manager's close box does
//   xprobe icons WINDOW              prints the sizes of the window's icons ("16x16 32x32 ...")
//   xprobe ppm WINDOW FILE           writes the window's picture to FILE as a binary PPM
//   xprobe cursor WINDOW             prints the pointer's shape now: "WxH HOTX,HOTY NAME"

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
        "usage: xprobe pixel WIN X Y | dark WIN X Y W H | close WIN | icons WIN | ppm WIN FILE"
        " | cursor WIN\n",
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

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("xprobe: no display\n", stderr);
        return 1;
    }
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
