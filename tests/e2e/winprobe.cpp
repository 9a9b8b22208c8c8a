// SPDX-License-Identifier: MIT
// Another Windows program for the Windows end-to-end test, built for the same processor:
//   winprobe destroy TITLE   sends WM_DESTROY to the top-level window called TITLE, from outside
// Exits 1 if there is no such window.

#include <cstdio>
#include <cwchar>
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 || std::wcscmp(argv[1], L"destroy")) {
        std::fputs("usage: winprobe destroy TITLE\n", stderr);
        return 2;
    }
    HWND window = FindWindowW(nullptr, argv[2]);
    if (!window) {
        std::fputs("winprobe: no such window\n", stderr);
        return 1;
    }
    SendMessageW(window, WM_DESTROY, 0, 0);
    return 0;
}
