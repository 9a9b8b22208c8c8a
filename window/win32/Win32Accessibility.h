// SPDX-License-Identifier: MIT
#pragma once

// The board's painted parts for assistive technology on Windows (MSAA). The client area answers
// WM_GETOBJECT with an IAccessible whose children are the painted parts Form1 tells of, in
// their order, as simple elements (the centre, which holds the captions, as an object of its
// own), followed by the push buttons' own objects; the system's standard object answers for
// the client area itself. A part that changes is announced with NotifyWinEvent.
//
// What the user's actions do is told apart from that tree, the way the screen readers in use
// speak it: as a live region, object kAnnouncementsObject of the window, whose children are the
// latest announcements, each raised with EVENT_OBJECT_LIVEREGIONCHANGED (NVDA speaks the name of
// the object such an event names); and, where Windows has it (10, version 1709 on), as UI
// Automation's notification event, which Narrator speaks. Where that event is missing, the
// live region is marked polite, so that Narrator speaks it instead; where it is there, the live
// region stays unmarked, so that Narrator does not say it twice.

#include "Toolkit.h"

#include <map>
#include <oleacc.h>
#include <string_view>
#include <vector>
#include <windows.h>

namespace vantorel {

class PartsAccessible;
class AnnouncementsAccessible;

// A custom object id of the board's window (the system leaves positive ids to programs).
inline constexpr LONG kAnnouncementsObject = 1;

class Win32BoardAccessibility {
public:
    Win32BoardAccessibility() = default;
    ~Win32BoardAccessibility();
    Win32BoardAccessibility(const Win32BoardAccessibility&) = delete;
    Win32BoardAccessibility& operator=(const Win32BoardAccessibility&) = delete;

    void SetItem(HWND window, int index, const AccessibleItem&);
    // The answer to WM_GETOBJECT: the client area's object or the announcements'; 0 for any
    // other object, which is the system's to answer.
    LRESULT Object(HWND window, WPARAM, LPARAM);
    // Tells screen readers, once, what the user's last action did.
    void Announce(HWND window, std::string_view utf8);

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
    AnnouncementsAccessible* m_announcements = nullptr;
    // Marks the live region polite where Windows has no notification event.
    IAccPropServices* m_annotations = nullptr;
};

} // namespace vantorel
