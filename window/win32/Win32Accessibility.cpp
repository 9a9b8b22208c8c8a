// SPDX-License-Identifier: MIT
#include "Win32Accessibility.h"

#include "ComObject.h"
#include "Win32Canvas.h"

#include <algorithm>
#include <array>
#include <string>
#include <uiautomationcore.h>

namespace vantorel {

namespace {

HRESULT Text(const std::string& utf8, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (utf8.empty())
        return S_FALSE;
    *out = SysAllocString(Widen(utf8).c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChildId(VARIANT* v, LONG id)
{
    v->vt = VT_I4;
    v->lVal = id;
}

void SetObject(VARIANT* v, IDispatch* object)
{
    v->vt = VT_DISPATCH;
    v->pdispVal = object;
}

// The child windows of the client area in their order: the push buttons, in tab order.
std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> windows;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        windows.push_back(w);
    return windows;
}

} // namespace

// What every accessible object of the board shares: IAccessible is an IDispatch, the one object
// answers for both, and clients call IAccessible directly.
class AccessibleObject : public ComObject<IAccessible> {
public:
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return Query(IsEqualIID(iid, IID_IDispatch) ? IID_IAccessible : iid, IID_IAccessible, out);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(
        DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible: nothing of the board is changed from outside.
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }
};

// The client area (node -1) or a part that holds others. Its children are numbered from 1:
// first the parts in it, then, for the client area, the child windows.
class PartsAccessible final : public AccessibleObject {
public:
    PartsAccessible(Win32BoardAccessibility& parts, int node)
        : m_parts(&parts)
        , m_node(node)
    {
        if (node < 0)
            CreateStdAccessibleObject(parts.window(), OBJID_CLIENT, IID_IAccessible,
                reinterpret_cast<void**>(&m_standard));
    }

    // The window is going: every later call fails, and remote clients lose their hold.
    void Disconnect()
    {
        m_parts = nullptr;
        if (m_standard) {
            m_standard->Release();
            m_standard = nullptr;
        }
        CoDisconnectObject(this, 0);
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        if (!m_parts)
            return RPC_E_DISCONNECTED;
        if (m_node < 0)
            return m_standard ? m_standard->get_accParent(parent) : S_FALSE;
        const int up = m_parts->item(m_node).parent;
        *parent = m_parts->objectOf(up);
        (*parent)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        if (!m_parts)
            return RPC_E_DISCONNECTED;
        *count = long(m_parts->childrenOf(m_node).size() + Windows().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override
    {
        *child = nullptr;
        const Target t = Resolve(id);
        switch (t.kind) {
        case Target::Part:
            if (m_parts->childrenOf(t.part).empty())
                return S_FALSE; // a simple element, answered by this object
            *child = m_parts->objectOf(t.part);
            (*child)->AddRef();
            return S_OK;
        case Target::Window:
            return AccessibleObjectFromWindow(
                t.window, DWORD(OBJID_WINDOW), IID_IDispatch, reinterpret_cast<void**>(child));
        default:
            return Fail(t);
        }
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override
    {
        const Target t = Resolve(id);
        if (t.kind == Target::Standard)
            return m_standard->get_accName(id, name);
        if (t.kind == Target::Window)
            return FromWindow(t.window, &IAccessible::get_accName, name);
        return t.kind == Target::Part ? Text(m_parts->item(t.part).name, name) : Fail(t);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override
    {
        const Target t = Resolve(id);
        if (t.kind == Target::Standard)
            return m_standard->get_accValue(id, value);
        *value = nullptr;
        return t.kind == Target::Part || t.kind == Target::Window ? S_FALSE : Fail(t);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* description) override
    {
        const Target t = Resolve(id);
        if (t.kind == Target::Standard)
            return m_standard->get_accDescription(id, description);
        if (t.kind == Target::Window)
            return FromWindow(t.window, &IAccessible::get_accDescription, description);
        return t.kind == Target::Part ? Text(m_parts->item(t.part).description, description)
                                      : Fail(t);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override
    {
        const Target t = Resolve(id);
        if (t.kind == Target::Standard)
            return m_standard->get_accRole(id, role);
        if (t.kind == Target::Window) {
            SetChildId(role, ROLE_SYSTEM_WINDOW);
            return S_OK;
        }
        if (t.kind != Target::Part)
            return Fail(t);
        SetChildId(role,
            m_parts->item(t.part).role == AccessibleItem::Role::Text ? ROLE_SYSTEM_STATICTEXT
                                                                     : ROLE_SYSTEM_GROUPING);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override
    {
        const Target t = Resolve(id);
        if (t.kind == Target::Standard)
            return m_standard->get_accState(id, state);
        if (t.kind == Target::Window) {
            SetChildId(state, IsWindowVisible(t.window) ? 0 : STATE_SYSTEM_INVISIBLE);
            return S_OK;
        }
        if (t.kind != Target::Part)
            return Fail(t);
        SetChildId(state,
            STATE_SYSTEM_READONLY
                | (IsWindowVisible(m_parts->window()) ? 0 : STATE_SYSTEM_INVISIBLE));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* help) override
    {
        const Target t = Resolve(id);
        if (t.kind == Target::Standard)
            return m_standard->get_accHelp(id, help);
        *help = nullptr;
        return t.kind == Target::Invalid || t.kind == Target::Gone ? Fail(t) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, long* topic) override
    {
        const Target t = Resolve(id);
        if (t.kind == Target::Standard)
            return m_standard->get_accHelpTopic(file, id, topic);
        *file = nullptr;
        return t.kind == Target::Invalid || t.kind == Target::Gone ? Fail(t) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) override
    {
        const Target t = Resolve(id);
        if (t.kind == Target::Standard)
            return m_standard->get_accKeyboardShortcut(id, shortcut);
        *shortcut = nullptr;
        return t.kind == Target::Invalid || t.kind == Target::Gone ? Fail(t) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override
    {
        if (!m_parts)
            return RPC_E_DISCONNECTED;
        if (m_standard)
            return m_standard->get_accFocus(focus);
        focus->vt = VT_EMPTY;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        if (!m_parts)
            return RPC_E_DISCONNECTED;
        selection->vt = VT_EMPTY;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override
    {
        const Target t = Resolve(id);
        if (t.kind == Target::Standard)
            return m_standard->get_accDefaultAction(id, action);
        if (t.kind == Target::Window)
            return FromWindow(t.window, &IAccessible::get_accDefaultAction, action);
        *action = nullptr;
        return t.kind == Target::Part ? S_FALSE : Fail(t);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT id) override
    {
        const Target t = Resolve(id);
        if (t.kind == Target::Standard)
            return m_standard->accSelect(flags, id);
        return t.kind == Target::Invalid || t.kind == Target::Gone ? Fail(t)
                                                                   : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accLocation(
        long* left, long* top, long* width, long* height, VARIANT id) override
    {
        const Target t = Resolve(id);
        if (t.kind == Target::Standard)
            return m_standard->accLocation(left, top, width, height, id);
        RECT r {};
        if (t.kind == Target::Window) {
            GetWindowRect(t.window, &r);
        } else if (t.kind == Target::Part) {
            const PixelRect& p = m_parts->item(t.part).rect;
            POINT corner {p.x, p.y};
            ClientToScreen(m_parts->window(), &corner);
            r = {corner.x, corner.y, corner.x + p.width, corner.y + p.height};
        } else {
            return Fail(t);
        }
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        end->vt = VT_EMPTY;
        const Target t = Resolve(start);
        if (t.kind == Target::Invalid || t.kind == Target::Gone)
            return Fail(t);
        const long count = long(m_parts->childrenOf(m_node).size() + Windows().size());
        long to = 0;
        if (t.kind == Target::Standard || (m_node >= 0 && start.lVal == CHILDID_SELF)) {
            if (direction == NAVDIR_FIRSTCHILD)
                to = 1;
            else if (direction == NAVDIR_LASTCHILD)
                to = count;
            else if (m_standard)
                return m_standard->accNavigate(direction, start, end);
        } else if (direction == NAVDIR_NEXT) {
            to = start.lVal + 1;
        } else if (direction == NAVDIR_PREVIOUS) {
            to = start.lVal - 1;
        }
        if (to < 1 || to > count)
            return S_FALSE;
        return Child(to, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* at) override
    {
        at->vt = VT_EMPTY;
        if (!m_parts)
            return RPC_E_DISCONNECTED;
        POINT client {x, y};
        ScreenToClient(m_parts->window(), &client);
        RECT area {};
        GetClientRect(m_parts->window(), &area);
        if (!PtInRect(&area, client))
            return S_FALSE;
        if (m_node < 0) {
            // The push buttons lie above the painted parts.
            HWND child = ChildWindowFromPointEx(
                m_parts->window(), client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
            if (child && child != m_parts->window()) {
                IDispatch* object = nullptr;
                if (SUCCEEDED(AccessibleObjectFromWindow(child, DWORD(OBJID_WINDOW), IID_IDispatch,
                        reinterpret_cast<void**>(&object)))) {
                    SetObject(at, object);
                    return S_OK;
                }
            }
        }
        const std::vector<int> parts = m_parts->childrenOf(m_node);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const PixelRect& r = m_parts->item(parts[i]).rect;
            if (client.x >= r.x && client.x < r.x + r.width && client.y >= r.y
                && client.y < r.y + r.height)
                return Child(long(i) + 1, at);
        }
        SetChildId(at, CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override
    {
        const Target t = Resolve(id);
        if (t.kind == Target::Standard)
            return m_standard->accDoDefaultAction(id);
        return t.kind == Target::Invalid || t.kind == Target::Gone ? Fail(t)
                                                                   : DISP_E_MEMBERNOTFOUND;
    }

private:
    ~PartsAccessible() = default;

    struct Target {
        enum Kind { Standard, Self, Part, Window, Invalid, Gone } kind = Invalid;
        int part = 0;
        HWND window = nullptr;
    };

    // What a child id names, seen from this object. The client area itself is the standard
    // object's to answer for.
    Target Resolve(const VARIANT& id) const
    {
        if (!m_parts)
            return {Target::Gone};
        if (id.vt != VT_I4)
            return {Target::Invalid};
        if (id.lVal == CHILDID_SELF)
            return m_node < 0 ? (m_standard ? Target {Target::Standard} : Target {Target::Invalid})
                              : Target {Target::Part, m_node};
        const std::vector<int> parts = m_parts->childrenOf(m_node);
        const long i = id.lVal - 1;
        if (i >= 0 && i < long(parts.size()))
            return {Target::Part, parts[std::size_t(i)]};
        const std::vector<HWND> windows = Windows();
        const long w = i - long(parts.size());
        if (w >= 0 && w < long(windows.size()))
            return {Target::Window, 0, windows[std::size_t(w)]};
        return {Target::Invalid};
    }

    static HRESULT Fail(const Target& t)
    {
        return t.kind == Target::Gone ? RPC_E_DISCONNECTED : E_INVALIDARG;
    }

    std::vector<HWND> Windows() const
    {
        return m_node < 0 && m_parts ? ChildWindows(m_parts->window()) : std::vector<HWND> {};
    }

    // The child `id` as a variant: an object where it has one, its number where not.
    HRESULT Child(long id, VARIANT* out)
    {
        VARIANT v;
        SetChildId(&v, id);
        IDispatch* object = nullptr;
        if (get_accChild(v, &object) == S_OK && object) {
            SetObject(out, object);
            return S_OK;
        }
        SetChildId(out, id);
        return S_OK;
    }

    // A question about a child window, asked of that window's own object.
    template <typename Get> HRESULT FromWindow(HWND window, Get get, BSTR* out)
    {
        *out = nullptr;
        IAccessible* object = nullptr;
        if (FAILED(AccessibleObjectFromWindow(
                window, DWORD(OBJID_WINDOW), IID_IAccessible, reinterpret_cast<void**>(&object))))
            return S_FALSE;
        VARIANT self;
        SetChildId(&self, CHILDID_SELF);
        const HRESULT hr = (object->*get)(self, out);
        object->Release();
        return hr;
    }

    Win32BoardAccessibility* m_parts;
    int m_node;
    IAccessible* m_standard = nullptr;
};

// The latest announcements, as simple elements numbered 1 to kKept, the oldest overwritten
// first. Each is raised as a live region change of its own: a reader that comes to an event late
// still reads the words that event was raised for.
class AnnouncementsAccessible final : public AccessibleObject {
public:
    static constexpr LONG kKept = 64;

    explicit AnnouncementsAccessible(Win32BoardAccessibility& parts)
        : m_parts(&parts)
    { }

    void Disconnect()
    {
        m_parts = nullptr;
        CoDisconnectObject(this, 0);
    }

    // Takes the next element for `utf8`; returns its child id.
    LONG Add(std::string_view utf8)
    {
        m_last = m_last % kKept + 1;
        m_said[std::size_t(m_last - 1)] = std::string(utf8);
        m_count = std::max(m_count, m_last);
        return m_last;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        if (!m_parts)
            return RPC_E_DISCONNECTED;
        // Told of the board: the client area stands above it, though it lists no such child.
        *parent = m_parts->objectOf(-1);
        (*parent)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        if (!m_parts)
            return RPC_E_DISCONNECTED;
        *count = m_count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override
    {
        *child = nullptr;
        const HRESULT valid = Check(id);
        return valid == S_OK ? S_FALSE : valid; // every child is a simple element
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override
    {
        const HRESULT valid = Check(id);
        if (valid != S_OK)
            return valid;
        return Text(
            id.lVal == CHILDID_SELF ? std::string(kName) : m_said[std::size_t(id.lVal - 1)], name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override
    {
        return Nothing(id, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* description) override
    {
        return Nothing(id, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override
    {
        const HRESULT valid = Check(id);
        if (valid == S_OK)
            SetChildId(
                role, id.lVal == CHILDID_SELF ? ROLE_SYSTEM_STATUSBAR : ROLE_SYSTEM_STATICTEXT);
        return valid;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override
    {
        const HRESULT valid = Check(id);
        if (valid == S_OK)
            SetChildId(state, STATE_SYSTEM_READONLY);
        return valid;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* help) override
    {
        return Nothing(id, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, long* topic) override
    {
        *topic = 0;
        return Nothing(id, file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) override
    {
        return Nothing(id, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override
    {
        focus->vt = VT_EMPTY;
        return m_parts ? S_FALSE : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        selection->vt = VT_EMPTY;
        return m_parts ? S_FALSE : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override
    {
        return Nothing(id, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT id) override
    {
        const HRESULT valid = Check(id);
        return valid == S_OK ? DISP_E_MEMBERNOTFOUND : valid;
    }
    HRESULT STDMETHODCALLTYPE accLocation(
        long* left, long* top, long* width, long* height, VARIANT id) override
    {
        // Where the board is: what is said is said of it.
        const HRESULT valid = Check(id);
        if (valid != S_OK)
            return valid;
        RECT r {};
        GetClientRect(m_parts->window(), &r);
        POINT corner {0, 0};
        ClientToScreen(m_parts->window(), &corner);
        *left = corner.x;
        *top = corner.y;
        *width = r.right;
        *height = r.bottom;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        end->vt = VT_EMPTY;
        const HRESULT valid = Check(start);
        if (valid != S_OK)
            return valid;
        long to = 0;
        if (start.lVal == CHILDID_SELF)
            to = direction == NAVDIR_FIRSTCHILD ? 1 : direction == NAVDIR_LASTCHILD ? m_count : 0;
        else if (direction == NAVDIR_NEXT)
            to = start.lVal + 1;
        else if (direction == NAVDIR_PREVIOUS)
            to = start.lVal - 1;
        if (to < 1 || to > m_count)
            return S_FALSE;
        SetChildId(end, to);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long, long, VARIANT* at) override
    {
        at->vt = VT_EMPTY; // never in the way of what is on the screen
        return m_parts ? S_FALSE : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override
    {
        const HRESULT valid = Check(id);
        return valid == S_OK ? DISP_E_MEMBERNOTFOUND : valid;
    }

private:
    ~AnnouncementsAccessible() = default;

    static constexpr std::string_view kName = "Announcements";

    HRESULT Check(const VARIANT& id) const
    {
        if (!m_parts)
            return RPC_E_DISCONNECTED;
        return id.vt == VT_I4 && id.lVal >= CHILDID_SELF && id.lVal <= m_count ? S_OK
                                                                               : E_INVALIDARG;
    }

    HRESULT Nothing(const VARIANT& id, BSTR* out) const
    {
        *out = nullptr;
        const HRESULT valid = Check(id);
        return valid == S_OK ? S_FALSE : valid;
    }

    Win32BoardAccessibility* m_parts;
    std::array<std::string, std::size_t(kKept)> m_said {};
    LONG m_last = 0;
    LONG m_count = 0;
};

namespace {

// UI Automation's notification event, Windows 10 version 1709 and later; found at run time, so
// that the program still starts on Windows 7.
struct Notifications {
    BOOL(WINAPI* clientsAreListening)() = nullptr;
    HRESULT(WINAPI* hostProvider)(HWND, IRawElementProviderSimple**) = nullptr;
    HRESULT(WINAPI* raise)
    (IRawElementProviderSimple*, int kind, int processing, BSTR text, BSTR activity) = nullptr;
    bool available() const { return clientsAreListening && hostProvider && raise; }
};

// The values of NotificationKind and NotificationProcessing this program raises: a step the
// user took is done, and every announcement is said in its turn, none cut short.
constexpr int kActionCompleted = 2;
constexpr int kProcessAll = 2;
constexpr wchar_t kActivity[] = L"Vantorel.BoardChange";

template <typename Function> void Load(Function& f, HMODULE module, const char* name)
{
    if (module)
        if (FARPROC p = GetProcAddress(module, name))
            f = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(p));
}

const Notifications& UiaNotifications()
{
    static const Notifications functions = [] {
        Notifications n;
        // From the system's own folder only; Windows 7 without its loader update refuses the
        // flag, and has no such event to raise anyway.
        HMODULE core
            = LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        Load(n.clientsAreListening, core, "UiaClientsAreListening");
        Load(n.hostProvider, core, "UiaHostProviderFromHwnd");
        Load(n.raise, core, "UiaRaiseNotificationEvent");
        return n;
    }();
    return functions;
}

// LiveSetting_Property_GUID, for dynamic annotation, and its value Polite.
constexpr GUID kLiveSetting
    = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;

} // namespace

Win32BoardAccessibility::~Win32BoardAccessibility()
{
    for (auto& [node, object] : m_objects) {
        object->Disconnect();
        object->Release();
    }
    if (m_announcements) {
        m_announcements->Disconnect();
        m_announcements->Release();
    }
    if (m_annotations)
        m_annotations->Release();
}

void Win32BoardAccessibility::SetItem(HWND window, int index, const AccessibleItem& item)
{
    m_hwnd = window;
    if (index < 0)
        return;
    const auto i = std::size_t(index);
    if (i >= m_items.size()) {
        m_items.resize(i + 1);
        m_items[i] = item;
        return;
    }
    const AccessibleItem old = m_items[i];
    m_items[i] = item;
    // Only the client area's own children have child ids a screen reader can be told of.
    if (!m_hwnd || item.parent >= 0)
        return;
    const std::vector<int> top = childrenOf(-1);
    LONG id = CHILDID_SELF;
    for (std::size_t k = 0; k < top.size(); ++k)
        if (top[k] == index)
            id = LONG(k) + 1;
    if (old.name != item.name)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hwnd, OBJID_CLIENT, id);
    if (old.description != item.description)
        NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, m_hwnd, OBJID_CLIENT, id);
    if (!(old.rect == item.rect))
        NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, m_hwnd, OBJID_CLIENT, id);
}

std::vector<int> Win32BoardAccessibility::childrenOf(int node) const
{
    std::vector<int> children;
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].parent == node && int(i) != node)
            children.push_back(int(i));
    return children;
}

PartsAccessible* Win32BoardAccessibility::objectOf(int node)
{
    auto at = m_objects.find(node);
    if (at == m_objects.end())
        at = m_objects.emplace(node, new PartsAccessible(*this, node)).first;
    return at->second;
}

LRESULT Win32BoardAccessibility::Object(HWND window, WPARAM flags, LPARAM id)
{
    m_hwnd = window;
    if (LONG(id) == LONG(OBJID_CLIENT))
        return LresultFromObject(IID_IAccessible, flags, objectOf(-1));
    if (LONG(id) == kAnnouncementsObject && m_announcements)
        return LresultFromObject(IID_IAccessible, flags, m_announcements);
    return 0;
}

void Win32BoardAccessibility::Announce(HWND window, std::string_view utf8)
{
    m_hwnd = window;
    if (!window || utf8.empty())
        return;
    if (!m_announcements)
        m_announcements = new AnnouncementsAccessible(*this);
    const LONG child = m_announcements->Add(utf8);
    const Notifications& uia = UiaNotifications();
    if (!uia.available()) {
        if (!m_annotations)
            CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                IID_IAccPropServices, reinterpret_cast<void**>(&m_annotations));
        if (m_annotations) {
            VARIANT polite;
            VariantInit(&polite);
            SetChildId(&polite, kPolite);
            m_annotations->SetHwndProp(
                window, DWORD(kAnnouncementsObject), DWORD(child), kLiveSetting, polite);
        }
    }
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, window, kAnnouncementsObject, child);

    if (!uia.available() || !uia.clientsAreListening())
        return;
    IRawElementProviderSimple* board = nullptr;
    if (FAILED(uia.hostProvider(window, &board)) || !board)
        return;
    BSTR text = SysAllocString(Widen(utf8).c_str());
    BSTR activity = SysAllocString(kActivity);
    if (text && activity)
        uia.raise(board, kActionCompleted, kProcessAll, text, activity);
    SysFreeString(text);
    SysFreeString(activity);
    board->Release();
}

} // namespace vantorel
