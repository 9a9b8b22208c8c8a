// SPDX-License-Identifier: MIT
// The program's entry on Windows: one window, and a message loop with key preview.

#include "Win32Form.h"

#include <ole2.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    int status = 0;
    {
        vantorel::Win32Form form(instance);
        ShowWindow(form.hwnd(), show);
        UpdateWindow(form.hwnd());
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            // The window sees every key before the focused control does.
            if (form.Preview(msg))
                continue;
            // A dialog message is translated by IsDialogMessage itself: translated here as well,
            // each typed key would come twice.
            if (form.hwnd() && IsDialogMessageW(form.hwnd(), &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        status = int(msg.wParam);
    }
    OleUninitialize();
    return status;
}
