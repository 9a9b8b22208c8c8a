// SPDX-License-Identifier: MIT
#include "Win32Form.h"

#include "Ole.h"
#include "Win32Canvas.h"

#include <algorithm>
#include <initguid.h> // the accessibility GUIDs below are defined here, not imported
#include <vector>
#include <winspool.h>

namespace vantorel {

using namespace layout;

namespace {

constexpr wchar_t kClassName[] = L"VantorelBoard";
constexpr int kTokenIdBase = 100;
constexpr int kCommandIdBase = 200;
constexpr int kIconResource = 1;
// Under Wine the window lives in an X window, which another X client can destroy (xdotool
// windowclose). Wine then lets it go without a word to the program, which would run on with
// nothing on the screen; the one trace is that Wine's property naming that X window is gone. It
// is looked at a few times a second, only where it was there to begin with.
constexpr wchar_t kWineHostWindow[] = L"__wine_x11_whole_window";
constexpr UINT_PTR kHostWatchTimer = 1;
constexpr UINT kHostWatchMs = 200;

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
    default:
        return Key::Other;
    }
}

// The client size the window needs for a board at scale 1, as a whole window rectangle.
SIZE WindowSizeFor(SizeF client, DWORD style)
{
    RECT r {0, 0, LONG(client.width), LONG(client.height)};
    AdjustWindowRect(&r, style, FALSE);
    return {r.right - r.left, r.bottom - r.top};
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

    // Open at scale 1, or smaller where the screen is.
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT work {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const SIZE frame = WindowSizeFor({0, 0}, style);
    const SizeF client = Viewport::InitialClientSize(
        double(work.right - work.left - frame.cx), double(work.bottom - work.top - frame.cy));
    const SIZE size = WindowSizeFor(client, style);
    const std::wstring title = Widen(kWindow.caption);
    m_hwnd = CreateWindowExW(0, kClassName, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
        size.cx, size.cy, nullptr, nullptr, instance, this);

    // Sibling windows stack, and take focus, in creation order from the top: tokens first (tab
    // indexes 0-9, above the command buttons), then the command buttons by tab index.
    std::vector<ButtonRef> order;
    for (int i = 0; i < kTokenCount; ++i)
        order.push_back(ButtonRef::token(i));
    for (int i = 0; i < kCommandCount; ++i)
        order.push_back({ButtonRef::Group::Command, i});
    std::stable_sort(order.begin(), order.end(),
        [](ButtonRef a, ButtonRef b) { return a.row().tabIndex < b.row().tabIndex; });
    for (ButtonRef ref : order) {
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
    if (GetPropW(m_hwnd, kWineHostWindow))
        SetTimer(m_hwnd, kHostWatchTimer, kHostWatchMs, nullptr);
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
    if (msg.message == WM_CHAR)
        m_form.formKeyPress(char16_t(msg.wParam));
    if (msg.message == WM_KEYDOWN)
        return m_form.formKeyDown(KeyOf(msg.wParam), GetKeyState(VK_SHIFT) < 0, FocusedButton());
    return false;
}

bool Win32Form::OverPushButton(POINT screen) const
{
    POINT client = screen;
    ScreenToClient(m_hwnd, &client);
    HWND child = ChildWindowFromPointEx(m_hwnd, client, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    return child && child != m_hwnd;
}

void Win32Form::DroppedAt(POINT screen)
{
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
    case WM_COMMAND:
        // An owner-drawn button reports the second of two quick clicks as a double click; it is
        // a click all the same, as on the other platforms.
        if ((HIWORD(w) == BN_CLICKED || HIWORD(w) == BN_DOUBLECLICKED)
            && LOWORD(w) >= kCommandIdBase && LOWORD(w) < kCommandIdBase + kCommandCount)
            m_form.commandClick(static_cast<Command>(LOWORD(w) - kCommandIdBase));
        return 0;
    case WM_TIMER:
        // The X window is gone: the program ends as a close would.
        if (w == kHostWatchTimer && !GetPropW(m_hwnd, kWineHostWindow)) {
            KillTimer(m_hwnd, kHostWatchTimer);
            PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
        }
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
    if (m_accessibility)
        m_accessibility->SetHwndPropStr(Button(ref), DWORD(OBJID_CLIENT), CHILDID_SELF,
            PROPID_ACC_DESCRIPTION, Widen(utf8).c_str());
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

void Win32Form::BeginDrag(int)
{
    IDataObject* data = CreateEmptyTextData();
    IDropSource* source = CreateDropSource();
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data, source, DROPEFFECT_MOVE, &effect);
    source->Release();
    data->Release();
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

} // namespace vantorel
