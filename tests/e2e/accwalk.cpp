// SPDX-License-Identifier: MIT
// A screen reader's look at the board's window, for the tests under Wine: finds the window by its
// title, asks it for its client area's accessible object from this other process, and prints it
// and everything in it, depth first, one a line:
//   role|name|description|x,y,width,height   (x, y from the client area's corner)
// indented two spaces a level. A child window is printed as its client object, the push button
// a reader hears, and not walked further. Exits 2 without the window, 3 when it gives no
// accessible object.
//   accwalk.exe listen   prints "listening", then, for every change of a name or description
//                        the window's client area announces, the object's name|description,
//                        and for every live region change of the window, announced|name,
//                        until it is stopped
//   accwalk.exe uia      exits 0 where this system raises UI Automation's notification event
//                        (which this walker does not hear), 1 where it has none

#include <oleacc.h>
#include <string>
#include <windows.h>

namespace {

std::string Narrow(const wchar_t* wide)
{
    if (!wide || !*wide)
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string s(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, s.data(), n, nullptr, nullptr);
    s.resize(std::size_t(n - 1));
    return s;
}

std::string Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), IAccessible* a,
    const VARIANT& id)
{
    BSTR text = nullptr;
    if ((a->*get)(id, &text) != S_OK)
        return {};
    std::string s = Narrow(text);
    SysFreeString(text);
    return s;
}

void Write(const std::string& line)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), DWORD(line.size()), &written, nullptr);
}

void Print(IAccessible* a, LONG child, int depth, POINT origin)
{
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    VARIANT role;
    VariantInit(&role);
    wchar_t roleText[64] = L"?";
    if (a->get_accRole(id, &role) == S_OK && role.vt == VT_I4)
        GetRoleTextW(DWORD(role.lVal), roleText, 64);
    long x = 0, y = 0, w = 0, h = 0;
    a->accLocation(&x, &y, &w, &h, id);
    std::string line(std::size_t(2 * depth), ' ');
    line += Narrow(roleText) + "|" + Text(&IAccessible::get_accName, a, id) + "|"
        + Text(&IAccessible::get_accDescription, a, id) + "|" + std::to_string(x - origin.x) + ","
        + std::to_string(y - origin.y) + "," + std::to_string(w) + "," + std::to_string(h) + "\n";
    Write(line);
}

// As a screen reader hears of changes: a hook out of the board's process, and the object each
// event names read back at once. A live region's change is what a reader speaks unasked.
void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    const bool live = event == EVENT_OBJECT_LIVEREGIONCHANGED;
    if ((!live && object != OBJID_CLIENT) || !window)
        return;
    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    if (std::wstring(title) != L"The Vantorel")
        return;
    IAccessible* a = nullptr;
    VARIANT id;
    VariantInit(&id);
    if (FAILED(AccessibleObjectFromEvent(window, DWORD(object), DWORD(child), &a, &id)) || !a)
        return;
    const std::string name = Text(&IAccessible::get_accName, a, id);
    Write(live ? "announced|" + name + "\n"
               : name + "|" + Text(&IAccessible::get_accDescription, a, id) + "\n");
    a->Release();
    VariantClear(&id);
}

int Listen()
{
    for (DWORD event : {DWORD(EVENT_OBJECT_NAMECHANGE), DWORD(EVENT_OBJECT_DESCRIPTIONCHANGE),
             DWORD(EVENT_OBJECT_LIVEREGIONCHANGED)})
        if (!SetWinEventHook(event, event, nullptr, Heard, 0, 0,
                WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS))
            return 4;
    Write("listening\n");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

// A child that stands for another window (a push button's window object) is taken as that
// window's client object: what a reader says of the button.
IAccessible* ClientOf(IDispatch* object, HWND parent)
{
    IAccessible* a = nullptr;
    if (FAILED(object->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&a))))
        return nullptr;
    HWND window = nullptr;
    IAccessible* client = nullptr;
    if (SUCCEEDED(WindowFromAccessibleObject(a, &window)) && window && window != parent
        && SUCCEEDED(AccessibleObjectFromWindow(
            window, DWORD(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&client)))) {
        a->Release();
        return client;
    }
    return a;
}

void Walk(IAccessible* a, HWND window, int depth, POINT origin)
{
    long count = 0;
    if (a->get_accChildCount(&count) != S_OK || count <= 0)
        return;
    VARIANT* children = new VARIANT[std::size_t(count)];
    long got = 0;
    if (SUCCEEDED(AccessibleChildren(a, 0, count, children, &got)))
        for (long i = 0; i < got; ++i) {
            VARIANT& c = children[i];
            if (c.vt == VT_DISPATCH && c.pdispVal) {
                if (IAccessible* child = ClientOf(c.pdispVal, window)) {
                    Print(child, CHILDID_SELF, depth, origin);
                    HWND own = nullptr;
                    WindowFromAccessibleObject(child, &own);
                    if (own == window)
                        Walk(child, window, depth + 1, origin);
                    child->Release();
                }
            } else if (c.vt == VT_I4) {
                Print(a, c.lVal, depth, origin);
            }
            VariantClear(&c);
        }
    delete[] children;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    CoInitialize(nullptr);
    if (argc > 1 && std::wstring(argv[1]) == L"listen")
        return Listen();
    if (argc > 1 && std::wstring(argv[1]) == L"uia") {
        HMODULE core = LoadLibraryW(L"uiautomationcore.dll");
        return core && GetProcAddress(core, "UiaRaiseNotificationEvent") ? 0 : 1;
    }
    HWND window = FindWindowW(nullptr, L"The Vantorel");
    if (!window)
        return 2;
    IAccessible* client = nullptr;
    if (FAILED(AccessibleObjectFromWindow(
            window, DWORD(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&client))))
        return 3;
    POINT origin {0, 0};
    ClientToScreen(window, &origin);
    Print(client, CHILDID_SELF, 0, origin);
    Walk(client, window, 1, origin);
    client->Release();
    CoUninitialize();
    return 0;
}
