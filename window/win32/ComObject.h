// SPDX-License-Identifier: MIT
#pragma once

// The reference counting every COM object of the program shares: it starts held once, by its
// maker, and deletes itself when the last hold goes.

#include <windows.h>

namespace vantorel {

template <typename Interface> class ComObject : public Interface {
public:
    virtual ~ComObject() = default;
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&m_refs);
        if (left == 0)
            delete this;
        return ULONG(left);
    }

protected:
    // The object itself for IUnknown and for `own`, nothing for any other interface.
    HRESULT Query(REFIID riid, REFIID own, void** out)
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, own)) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

private:
    LONG m_refs = 1;
};

} // namespace vantorel
