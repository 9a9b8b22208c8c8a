// SPDX-License-Identifier: MIT
#pragma once

// The board's painted parts for assistive technology on Windows (MSAA). The client area answers
// WM_GETOBJECT with an IAccessible whose children are the painted parts Form1 tells of, in
// their order, as simple elements (the centre, which holds the captions, as an object of its
// own), followed by the push buttons' own objects; the system's standard object answers for
// the client area itself. A part that changes is announced with NotifyWinEvent.

#include "Toolkit.h"

#include <map>
#include <oleacc.h>
#include <vector>
#include <windows.h>

namespace vantorel {

class PartsAccessible;

class Win32BoardAccessibility {
public:
    Win32BoardAccessibility() = default;
    ~Win32BoardAccessibility();
    Win32BoardAccessibility(const Win32BoardAccessibility&) = delete;
    Win32BoardAccessibility& operator=(const Win32BoardAccessibility&) = delete;

    void SetItem(HWND window, int index, const AccessibleItem&);
    // The answer to WM_GETOBJECT for OBJID_CLIENT.
    LRESULT ClientObject(HWND window, WPARAM);

    // For the objects handed out:
    HWND window() const { return m_hwnd; }
    const AccessibleItem& item(int index) const { return m_items.at(std::size_t(index)); }
    // The parts that lie directly in `node` (-1: the client area), in order.
    std::vector<int> childrenOf(int node) const;
    // The object of a part that holds others, or of the client area (-1); not added to.
    PartsAccessible* objectOf(int node);

private:
    HWND m_hwnd = nullptr;
    std::vector<AccessibleItem> m_items;
    std::map<int, PartsAccessible*> m_objects;
};

} // namespace vantorel
