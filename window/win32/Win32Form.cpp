// SPDX-License-Identifier: MIT
#include "Win32Form.h"

#include "Ole.h"
#include "Win32Canvas.h"

#include <algorithm>
#include <initguid.h> // the accessibility GUIDs below are defined here, not imported
#include <vector>
#include <windowsx.h>
#include <winspool.h>

namespace vantorel {

using namespace layout;

namespace {

constexpr wchar_t kClassName[] = L"VantorelBoard";
constexpr int kTokenIdBase = 100;
constexpr int kCommandIdBase = 200;
constexpr int kIconResource = 1;

Colour FromColorRef(COLORREF c)
{
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

MouseButton ButtonOf(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return MouseButton::Left;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        return MouseButton::Right;
    default:
        return MouseButton::Middle;
    }
}

ButtonRef RefOf(int id)
{
    return id >= kCommandIdBase ? ButtonRef {ButtonRef::Group::Command, id - kCommandIdBase}
                                : ButtonRef::token(id - kTokenIdBase);
}

Key KeyOf(WPARAM virtualKey)
{
    switch (virtualKey) {
    case VK_LEFT:
        return Key::Left;
    case VK_RIGHT:
        return Key::Right;
    case VK_UP:
        return Key::Up;
    case VK_DOWN:
        return Key::Down;
    case VK_RETURN:
        return Key::Enter;
    case VK_SPACE:
        return Key::Space;
    case VK_ESCAPE:
        return Key::Escape;
    case VK_PRIOR:
        return Key::PageUp;
    case VK_NEXT:
        return Key::PageDown;
    default:
        return Key::Other;
    }
}

bool Held(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

// Windows' own undo and redo keys: Ctrl+Z and Alt+Backspace undo, Ctrl+Y and Ctrl+Shift+Z redo.
std::optional<EditCommand> EditCommandOf(const MSG& msg)
{
    if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_BACK && !Held(VK_CONTROL))
        return EditCommand::Undo;
    if (msg.message != WM_KEYDOWN || !Held(VK_CONTROL) || Held(VK_MENU))
        return std::nullopt;
    if (msg.wParam == 'Z')
        return Held(VK_SHIFT) ? EditCommand::Redo : EditCommand::Undo;
    if (msg.wParam == 'Y' && !Held(VK_SHIFT))
        return EditCommand::Redo;
    return std::nullopt;
}

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr UINT kDpiChanged = 0x02E0; // WM_DPICHANGED, Windows 8.1 and later
constexpr double kBaseDpi = 96;

// What later versions of Windows offer for screens of several scales, where they do: Windows 7
// has none of it and goes by the one scale of the whole desktop.
struct DpiFunctions {
    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr; // Windows 10 1607
    BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr; // 1607
    BOOL(WINAPI* enableNonClientDpiScaling)(HWND) = nullptr; // 1607, needed there only
    HRESULT(WINAPI* getDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr; // Windows 8.1
};

template <typename Function> void Load(Function& f, HMODULE module, const char* name)
{
    if (module)
        if (FARPROC p = GetProcAddress(module, name))
            f = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(p));
}

const DpiFunctions& Dpi()
{
    static const DpiFunctions functions = [] {
        DpiFunctions f;
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        Load(f.getDpiForWindow, user32, "GetDpiForWindow");
        Load(f.adjustWindowRectExForDpi, user32, "AdjustWindowRectExForDpi");
        Load(f.enableNonClientDpiScaling, user32, "EnableNonClientDpiScaling");
        Load(f.getDpiForMonitor, LoadLibraryW(L"shcore.dll"), "GetDpiForMonitor");
        return f;
    }();
    return functions;
}

// The dots per inch of the monitor the window is on, however this Windows tells it.
UINT DpiOf(HWND hwnd)
{
    if (Dpi().getDpiForWindow)
        if (const UINT dpi = Dpi().getDpiForWindow(hwnd))
            return dpi;
    UINT x = 0, y = 0;
    if (Dpi().getDpiForMonitor
        && SUCCEEDED(Dpi().getDpiForMonitor(
            MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), 0 /* effective */, &x, &y))
        && y > 0)
        return y;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : UINT(kBaseDpi);
}

// The title bar and borders around a client area, at that many dots per inch.
FrameExtents FrameAt(UINT dpi)
{
    RECT r {0, 0, 0, 0};
    if (!Dpi().adjustWindowRectExForDpi
        || !Dpi().adjustWindowRectExForDpi(&r, kStyle, FALSE, 0, dpi))
        AdjustWindowRectEx(&r, kStyle, FALSE, 0);
    return {double(-r.left), double(-r.top), double(r.right), double(r.bottom)};
}

// The window at the board's opening size for the monitor it is on and that monitor's scale,
// frame and all inside the monitor's work area.
void OpenFitted(HWND hwnd)
{
    const UINT dpi = DpiOf(hwnd);
    MONITORINFO monitor {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& w = monitor.rcWork;
    const PixelRect work {w.left, w.top, w.right - w.left, w.bottom - w.top};
    const FrameExtents frame = FrameAt(dpi);
    const SizeF client = Viewport::OpeningClientSize(work, frame, dpi / kBaseDpi);
    RECT at {};
    GetWindowRect(hwnd, &at);
    const PixelRect outer
        = Viewport::KeepInside({at.left, at.top, int(client.width + frame.left + frame.right),
                                   int(client.height + frame.top + frame.bottom)},
            work);
    SetWindowPos(
        hwnd, nullptr, outer.x, outer.y, outer.width, outer.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

Win32Form::Win32Form(HINSTANCE instance)
    : m_instance(instance)
{
    WNDCLASSEXW wc {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource),
        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
        reinterpret_cast<void**>(&m_accessibility));

    // Where Windows puts a new window, then sized for that monitor before it is first shown.
    const std::wstring title = Widen(kWindow.caption);
    m_hwnd = CreateWindowExW(0, kClassName, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    OpenFitted(m_hwnd);

    // Sibling windows stack, and take focus, in creation order from the top: in focus order the
    // tokens come first, and so lie above the command buttons as the board stacks them.
    for (ButtonRef ref : kFocusOrder) {
        const bool token = ref.group == ButtonRef::Group::Token;
        const std::wstring caption = Widen(ref.row().caption);
        HWND button = CreateWindowExW(0, L"BUTTON", caption.c_str(),
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_OWNERDRAW, 0, 0, 1, 1, m_hwnd,
            reinterpret_cast<HMENU>(INT_PTR((token ? kTokenIdBase : kCommandIdBase) + ref.index)),
            instance, nullptr);
        if (token) {
            m_tokens[std::size_t(ref.index)] = button;
            SetWindowLongPtrW(button, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            m_buttonProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TokenProc)));
        } else {
            m_commands[std::size_t(ref.index)] = button;
        }
    }

    m_dropTarget = CreateDropTarget(*this);
    RegisterDragDrop(m_hwnd, m_dropTarget);

    RECT rc {};
    GetClientRect(m_hwnd, &rc);
    m_form.formResize(rc.right, rc.bottom);
    m_form.formLoad();
    SetFocus(m_tokens[0]);
}

Win32Form::~Win32Form()
{
    if (m_hwnd && IsWindow(m_hwnd)) {
        RevokeDragDrop(m_hwnd);
        DestroyWindow(m_hwnd);
    }
    if (m_dropTarget)
        m_dropTarget->Release();
    if (m_accessibility)
        m_accessibility->Release();
}

HWND Win32Form::Button(ButtonRef ref) const
{
    const auto i = static_cast<std::size_t>(ref.index);
    return ref.group == ButtonRef::Group::Token ? m_tokens.at(i) : m_commands.at(i);
}

std::optional<ButtonRef> Win32Form::FocusedButton() const
{
    HWND focus = GetFocus();
    if (!focus || GetParent(focus) != m_hwnd)
        return std::nullopt;
    return RefOf(GetDlgCtrlID(focus));
}

bool Win32Form::Preview(const MSG& msg)
{
    if (!m_hwnd || (msg.hwnd != m_hwnd && !IsChild(m_hwnd, msg.hwnd)))
        return false;
    // WM_CHAR carries the typed character after shift and caps lock; Ctrl+C arrives as 3, and a
    // letter typed with Alt comes as WM_SYSCHAR, which is no typed character.
    if (const std::optional<EditCommand> command = EditCommandOf(msg)) {
        m_form.editCommand(*command);
        return true;
    }
    if (msg.message == WM_CHAR)
        m_form.formKeyPress(char16_t(msg.wParam));
    if (msg.message == WM_KEYDOWN)
        return m_form.formKeyDown(KeyOf(msg.wParam), Held(VK_SHIFT), FocusedButton());
    return false;
}

bool Win32Form::OverPushButton(POINT screen) const
{
    POINT client = screen;
    ScreenToClient(m_hwnd, &client);
    return !m_form.takesDropAt(client.x, client.y);
}

void Win32Form::DroppedAt(POINT screen)
{
    // A token's own drag that never left the drag rectangle is a click, not a drop.
    if (m_ownDrag
        && EndOfTokenDrag(m_ownDrag->travel, SystemDragDistance(), true) == DragEnd::Click)
        return;
    POINT client = screen;
    ScreenToClient(m_hwnd, &client);
    m_form.formDragDrop(client.x, client.y);
}

LRESULT CALLBACK Win32Form::WindowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        // The title bar follows the monitor's scale by itself from Windows 10 1703 on; 1607
        // has to be asked.
        if (Dpi().enableNonClientDpiScaling)
            Dpi().enableNonClientDpiScaling(hwnd);
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->Handle(message, w, l) : DefWindowProcW(hwnd, message, w, l);
}

LRESULT CALLBACK Win32Form::TokenProc(HWND hwnd, UINT message, WPARAM w, LPARAM l)
{
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        // A token never behaves as a button: any press opens a drag, and returns when it ends.
        self->m_form.tokenMouseDown(int(GetDlgCtrlID(hwnd)) - kTokenIdBase, ButtonOf(message));
        return 0;
    default:
        return CallWindowProcW(self->m_buttonProc, hwnd, message, w, l);
    }
}

LRESULT Win32Form::Handle(UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        RECT rc {};
        GetClientRect(m_hwnd, &rc);
        // Drawn off screen first, so a repaint never flickers.
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap
            = CreateCompatibleBitmap(dc, std::max(1L, rc.right), std::max(1L, rc.bottom));
        HGDIOBJ old = SelectObject(memory, bitmap);
        {
            Win32Canvas canvas(memory);
            m_form.paintSurface(canvas, {0, 0, double(rc.right), double(rc.bottom)});
        }
        BitBlt(dc, 0, 0, rc.right, rc.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        EndPaint(m_hwnd, &ps);
        return 0;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
        const ButtonRef ref = RefOf(int(item->CtlID));
        Win32Canvas canvas(item->hDC);
        const RECT& r = item->rcItem;
        m_form.paintButton(canvas, ref,
            {double(r.left), double(r.top), double(r.right - r.left), double(r.bottom - r.top)},
            {(item->itemState & ODS_SELECTED) != 0, (item->itemState & ODS_FOCUS) != 0});
        return TRUE;
    }
    case WM_SIZE:
        m_form.formResize(LOWORD(l), HIWORD(l));
        return 0;
    case WM_GETOBJECT:
        if (const LRESULT object = m_paintedParts.Object(m_hwnd, w, l))
            return object;
        return DefWindowProcW(m_hwnd, message, w, l);
    case kDpiChanged: {
        // Moved to a monitor of another scale: the size Windows proposes keeps the board's
        // scale on the new monitor; the board then draws itself anew at it.
        const RECT* r = reinterpret_cast<const RECT*>(l);
        SetWindowPos(m_hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
            SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    // A click on the surface, with any button: pressed and let go within the drag rectangle,
    // not over a push button.
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (!m_surfacePress) {
            m_surfacePress.emplace(GET_X_LPARAM(l), GET_Y_LPARAM(l));
            SetCapture(m_hwnd);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (m_surfacePress)
            m_surfacePress->MoveTo(GET_X_LPARAM(l), GET_Y_LPARAM(l));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (m_surfacePress && !(w & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
            PressTravel press = *m_surfacePress;
            const POINT at {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
            press.MoveTo(at.x, at.y);
            ReleaseCapture(); // and with the capture the press goes
            if (!press.Dragged(SystemDragDistance()))
                m_form.formClick(at.x, at.y);
        }
        return 0;
    case WM_CAPTURECHANGED:
        m_surfacePress.reset();
        return 0;
    case WM_SETCURSOR:
        if (m_placing && reinterpret_cast<HWND>(w) == m_hwnd && LOWORD(l) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32515))); // IDC_CROSS
            return TRUE;
        }
        return DefWindowProcW(m_hwnd, message, w, l);
    case WM_COMMAND:
        // An owner-drawn button reports the second of two quick clicks as a double click; it is
        // a click all the same, as on the other platforms.
        if ((HIWORD(w) == BN_CLICKED || HIWORD(w) == BN_DOUBLECLICKED)
            && LOWORD(w) >= kCommandIdBase && LOWORD(w) < kCommandIdBase + kCommandCount)
            m_form.commandClick(static_cast<Command>(LOWORD(w) - kCommandIdBase));
        return 0;
    case WM_CLOSE:
        RevokeDragDrop(m_hwnd);
        DestroyWindow(m_hwnd);
        return 0;
    case WM_DESTROY:
        m_hwnd = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(m_hwnd, message, w, l);
    }
}

SystemColours Win32Form::Colours() const
{
    return {FromColorRef(GetSysColor(COLOR_WINDOWTEXT)), FromColorRef(GetSysColor(COLOR_BTNFACE)),
        FromColorRef(GetSysColor(COLOR_BTNTEXT)), FromColorRef(GetSysColor(COLOR_BTNHIGHLIGHT)),
        FromColorRef(GetSysColor(COLOR_BTNSHADOW)), FromColorRef(GetSysColor(COLOR_3DDKSHADOW))};
}

void Win32Form::PlaceButton(ButtonRef ref, const PixelRect& r, double)
{
    SetWindowPos(Button(ref), nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Button(ref), nullptr, FALSE);
}

void Win32Form::SetButtonCaption(ButtonRef ref, std::string_view utf8)
{
    SetWindowTextW(Button(ref), Widen(utf8).c_str());
    InvalidateRect(Button(ref), nullptr, FALSE);
}

void Win32Form::SetButtonVisible(ButtonRef ref, bool visible)
{
    ShowWindow(Button(ref), visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Form::SetButtonDescription(ButtonRef ref, std::string_view utf8)
{
    if (!m_accessibility)
        return;
    m_accessibility->SetHwndPropStr(Button(ref), DWORD(OBJID_CLIENT), CHILDID_SELF,
        PROPID_ACC_DESCRIPTION, Widen(utf8).c_str());
    // Read when the reader asks where the token is. Its change is raised as no event of its own:
    // a reader speaks the focused token's new description, and would say each move twice over
    // with the announcement that tells it.
}

void Win32Form::SetAccessibleItem(int index, const AccessibleItem& item)
{
    m_paintedParts.SetItem(m_hwnd, index, item);
}

void Win32Form::RepaintSurface()
{
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

void Win32Form::CloseWindow()
{
    PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
}

DragEnd Win32Form::BeginDrag(int)
{
    // From where the press that opens the drag went down.
    const DWORD pressed = GetMessagePos();
    m_ownDrag.emplace(OwnDrag {PressTravel(GET_X_LPARAM(pressed), GET_Y_LPARAM(pressed))});
    IDataObject* data = CreateEmptyTextData();
    IDropSource* source = CreateDropSource(*m_ownDrag, m_hwnd);
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data, source, DROPEFFECT_MOVE, &effect);
    source->Release();
    data->Release();
    const DragEnd end
        = EndOfTokenDrag(m_ownDrag->travel, SystemDragDistance(), m_ownDrag->letGoOverWindow);
    m_ownDrag.reset();
    return end;
}

void Win32Form::RepaintButton(ButtonRef ref)
{
    InvalidateRect(Button(ref), nullptr, FALSE);
}

void Win32Form::SetPlacingPointer(bool placing)
{
    m_placing = placing;
    // The pointer takes its new shape at once where it stands over the surface, not at its next
    // move.
    POINT at {};
    GetCursorPos(&at);
    if (m_hwnd && WindowFromPoint(at) == m_hwnd)
        SendMessageW(m_hwnd, WM_SETCURSOR, WPARAM(m_hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void Win32Form::PrintClientArea()
{
    // The default printer, in landscape; no printer, or any failure, and nothing is printed.
    DWORD length = 0;
    GetDefaultPrinterW(nullptr, &length);
    if (length == 0)
        return;
    std::wstring name(length, L'\0');
    if (!GetDefaultPrinterW(name.data(), &length))
        return;
    name.resize(wcslen(name.c_str()));

    HANDLE printer = nullptr;
    if (!OpenPrinterW(name.data(), &printer, nullptr))
        return;
    std::vector<BYTE> modeBuffer;
    DEVMODEW* mode = nullptr;
    const LONG modeSize = DocumentPropertiesW(m_hwnd, printer, name.data(), nullptr, nullptr, 0);
    if (modeSize > 0) {
        modeBuffer.resize(std::size_t(modeSize));
        mode = reinterpret_cast<DEVMODEW*>(modeBuffer.data());
        if (DocumentPropertiesW(m_hwnd, printer, name.data(), mode, nullptr, DM_OUT_BUFFER)
            == IDOK) {
            mode->dmOrientation = DMORIENT_LANDSCAPE;
            mode->dmFields |= DM_ORIENTATION;
            DocumentPropertiesW(
                m_hwnd, printer, name.data(), mode, mode, DM_IN_BUFFER | DM_OUT_BUFFER);
        } else {
            mode = nullptr;
        }
    }
    ClosePrinter(printer);

    HDC dc = CreateDCW(L"WINSPOOL", name.c_str(), nullptr, mode);
    if (!dc)
        return;
    DOCINFOW doc {};
    doc.cbSize = sizeof doc;
    const std::wstring title = Widen(kWindow.caption);
    doc.lpszDocName = title.c_str();
    if (StartDocW(dc, &doc) > 0) {
        if (StartPage(dc) > 0) {
            const int width = GetDeviceCaps(dc, HORZRES);
            const int height = GetDeviceCaps(dc, VERTRES);
            const Viewport view = Viewport::Fit(width, height);
            const SizeF design = Viewport::DefaultClientSize();
            Win32Canvas canvas(dc);
            PaintClientArea(canvas, m_form.board(), view, Colours(),
                {view.originX(), view.originY(), design.width * view.scale(),
                    design.height * view.scale()});
            EndPage(dc);
        }
        EndDoc(dc);
    }
    DeleteDC(dc);
}

void Win32Form::Announce(std::string_view utf8)
{
    m_paintedParts.Announce(m_hwnd, utf8);
}

} // namespace vantorel
