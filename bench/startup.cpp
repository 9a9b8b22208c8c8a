// SPDX-License-Identifier: MIT
// Start-up harness: starts a program on the current X display, times exec to the first frame
// (the first token's colour at its spot on the screen), then ends it and reads its peak memory.
//   startup RUNS PROGRAM [ARGS...]     prints one line per run: "<ms> <peak KiB>"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

bool TokenShown(Display* d)
{
    // Asc at 13920, 840 twips is pixel 928, 56; a point inside its bevel, clear of the caption
    // and of the focus frame.
    XImage* img = XGetImage(d, DefaultRootWindow(d), 930, 58, 1, 1, AllPlanes, ZPixmap);
    if (!img)
        return false;
    const unsigned long p = XGetPixel(img, 0, 0);
    XDestroyImage(img);
    return (p & 0xffffff) == 0xffff80;
}

void ClearScreen(Display* d)
{
    XClearArea(d, DefaultRootWindow(d), 0, 0, 0, 0, False);
    XSync(d, False);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: startup RUNS PROGRAM [ARGS...]\n", stderr);
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fputs("startup: no display\n", stderr);
        return 1;
    }
    const int runs = std::atoi(argv[1]);
    for (int run = 0; run < runs; ++run) {
        ClearScreen(d);
        if (TokenShown(d)) {
            std::fputs("startup: the screen already shows the token colour\n", stderr);
            return 1;
        }
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            execvp(argv[2], argv + 2);
            _exit(127);
        }
        bool shown = false;
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
            if (TokenShown(d)) {
                shown = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        const double ms
            = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                  .count();
        // Let it settle as a user would see it, then end it.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(child, SIGTERM);
        int status = 0;
        rusage usage {};
        wait4(child, &status, 0, &usage);
        if (!shown) {
            std::fprintf(stderr, "startup: %s never showed its first frame\n", argv[2]);
            return 1;
        }
        std::printf("%.1f %ld\n", ms, usage.ru_maxrss);
        std::fflush(stdout);
    }
    XCloseDisplay(d);
    return 0;
}
