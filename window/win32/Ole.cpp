// SPDX-License-Identifier: MIT
#include "Ole.h"

#include "ComObject.h"
#include "Win32Form.h"

namespace vantorel {

namespace {

const FORMATETC kTextFormat {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};

class FormatEnumerator final : public ComObject<IEnumFORMATETC> {
public:
    explicit FormatEnumerator(ULONG at = 0)
        : m_at(at)
    { }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        return Query(riid, IID_IEnumFORMATETC, out);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override
    {
        ULONG n = 0;
        if (count > 0 && m_at == 0 && formats) {
            formats[0] = kTextFormat;
            m_at = n = 1;
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        m_at += count;
        return m_at <= 1 ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_at = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override
    {
        *out = new FormatEnumerator(m_at);
        return S_OK;
    }

private:
    ULONG m_at;
};

class EmptyTextData final : public ComObject<IDataObject> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        return Query(riid, IID_IDataObject, out);
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1); // just the terminator
        if (!text)
            return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = text;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        return format && format->cfFormat == CF_TEXT && (format->tymed & TYMED_HGLOBAL)
            ? S_OK
            : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override
    {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        *out = new FormatEnumerator;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
};

class DropSource final : public ComObject<IDropSource> {
public:
    DropSource(OwnDrag& drag, HWND window)
        : m_drag(drag)
        , m_window(window)
    { }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        return Query(riid, IID_IDropSource, out);
    }
    // OLE asks at every change of the mouse or the keys, the last time at the release.
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        POINT at {};
        GetCursorPos(&at);
        m_drag.travel.MoveTo(at.x, at.y);
        if (escape)
            return DRAGDROP_S_CANCEL;
        // A token may be dragged with any button: the drag ends when none is held any more.
        if (keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))
            return S_OK;
        // Let go: over the board's window when the window there is it or one of its buttons,
        // whatever the drop's answer there.
        const HWND under = WindowFromPoint(at);
        m_drag.letGoOverWindow = under && GetAncestor(under, GA_ROOT) == m_window;
        return DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    OwnDrag& m_drag;
    HWND m_window;
};

class DropTarget final : public ComObject<IDropTarget> {
public:
    explicit DropTarget(Win32Form& form)
        : m_form(form)
    { }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        return Query(riid, IID_IDropTarget, out);
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL at, DWORD* effect) override
    {
        *effect = Effect(at, *effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL at, DWORD* effect) override
    {
        *effect = Effect(at, *effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL at, DWORD* effect) override
    {
        // The data object is never read, whatever it carries.
        *effect = Effect(at, *effect);
        if (*effect != DROPEFFECT_NONE)
            m_form.DroppedAt({at.x, at.y});
        return S_OK;
    }

private:
    DWORD Effect(POINTL at, DWORD allowed) const
    {
        if (m_form.OverPushButton({at.x, at.y}))
            return DROPEFFECT_NONE;
        const DWORD answer = DWORD(AnswerDrop(int(allowed)));
        return allowed & answer ? answer : DROPEFFECT_NONE;
    }
    Win32Form& m_form;
};

} // namespace

DragDistance SystemDragDistance()
{
    return WindowsDragDistance(GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));
}

IDataObject* CreateEmptyTextData()
{
    return new EmptyTextData;
}
IDropSource* CreateDropSource(OwnDrag& drag, HWND window)
{
    return new DropSource(drag, window);
}
IDropTarget* CreateDropTarget(Win32Form& form)
{
    return new DropTarget(form);
}

} // namespace vantorel
