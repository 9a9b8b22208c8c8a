// SPDX-License-Identifier: MIT
#pragma once

// Form1 on plain Win32: the window's own surface carries the frame, lines and labels; the tokens
// and command buttons are owner-drawn push buttons above it. Drag and drop is OLE's.

#include "Form1.h"
#include "Ole.h"
#include "Win32Accessibility.h"

#include <array>
#include <ole2.h>
#include <oleacc.h>
#include <optional>
#include <windows.h>

namespace vantorel {

class Win32Form final : private Toolkit {
public:
    explicit Win32Form(HINSTANCE);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    HWND hwnd() const { return m_hwnd; }
    Form1& form() { return m_form; }
    // Key preview: called for every message before it is translated and dispatched; true when
    // the board used the key and nothing else may see it.
    bool Preview(const MSG&);
    // Over a visible push button, the window takes no drop.
    bool OverPushButton(POINT screen) const;
    void DroppedAt(POINT screen);

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK TokenProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Handle(UINT, WPARAM, LPARAM);
    HWND Button(ButtonRef) const;
    std::optional<ButtonRef> FocusedButton() const;

    // Toolkit
    SystemColours Colours() const override;
    void PlaceButton(ButtonRef, const PixelRect&, double fontPixels) override;
    void SetButtonCaption(ButtonRef, std::string_view utf8) override;
    void SetButtonVisible(ButtonRef, bool) override;
    void SetButtonDescription(ButtonRef, std::string_view utf8) override;
    void SetAccessibleItem(int index, const AccessibleItem&) override;
    void RepaintSurface() override;
    void CloseWindow() override;
    DragEnd BeginDrag(int token) override;
    void RepaintButton(ButtonRef) override;
    void SetPlacingPointer(bool) override;
    void PrintClientArea() override;
    void Announce(std::string_view utf8) override;

    HINSTANCE m_instance;
    HWND m_hwnd = nullptr;
    std::array<HWND, layout::kTokenCount> m_tokens {};
    std::array<HWND, layout::kCommandCount> m_commands {};
    WNDPROC m_buttonProc = nullptr;
    IDropTarget* m_dropTarget = nullptr;
    // Annotates the buttons' own accessible objects; absent where the system has none.
    IAccPropServices* m_accessibility = nullptr;
    // A token's own drag while it runs, and a press on the surface until its release.
    std::optional<OwnDrag> m_ownDrag;
    std::optional<PressTravel> m_surfacePress;
    bool m_placing = false;
    // The painted parts, for the client area's accessible object.
    Win32BoardAccessibility m_paintedParts;
    Form1 m_form {*this};
};

} // namespace vantorel
