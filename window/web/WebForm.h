// SPDX-License-Identifier: MIT
#pragma once

// Form1 in a web page. The page's own canvas carries the surface (ground, frame, lines,
// labels); the tokens and command buttons are real <button> elements above it, for focus and
// accessibility, each drawing itself with the shared picture. Everything here counts in device
// pixels, so the picture is as crisp on a high-density screen as on the desktop.

#include "Form1.h"
#include "Gesture.h"

#include <array>

namespace vantorel {

// How a press on the page ended, as the page saw it; lengths and points in CSS pixels.
struct PageRelease {
    // The furthest the pointer went from the press, along each axis.
    double travelX = 0;
    double travelY = 0;
    // A finger, which is less exact than a mouse or a pen.
    bool touch = false;
    // Let go over the page; not cancelled (Escape, the browser taking the pointer), nor let go
    // outside it.
    bool letGo = false;
    double x = 0;
    double y = 0;
};

class WebForm final : private Toolkit {
public:
    WebForm();

    // The page's size in CSS pixels and its device pixel ratio.
    void resize(double cssWidth, double cssHeight, double pixelRatio);
    void paintSurface();
    void paintButton(int id, bool pressed, bool focused);
    // The picture the printer gets: the board as it stands, on the print palette.
    void paintPrintPage();

    // A press on the button `id`, which opens a drag when it is a token.
    void tokenDown(int id, MouseButton);
    // The end of the drag a press on the token `id` opened: a click, or a drag that drops where
    // it was let go on the surface.
    void tokenDragEnd(int id, const PageRelease&);
    // A drop at a point of the page, in CSS pixels; false where the board takes none.
    bool drop(double cssX, double cssY);
    bool takesDropAt(double cssX, double cssY) const;
    // A press on the page's surface let go: a click (or a tap) puts a held token there.
    void surfaceRelease(const PageRelease&);
    void keyPress(char16_t code);
    // A key pressed while the button `id` has the focus (-1: none); true when the board used it.
    bool keyDown(Key, bool shift, int focusedId);
    void command(int id);
    void edit(EditCommand);

    const Form1& form() const { return m_form; }

private:
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

    void paintPrintPage(const ChartBoard&);

    Form1 m_form {*this};
    double m_ratio = 1;
    // Where the board's client area stands in the page, and the page's size; device pixels.
    double m_offsetX = 0;
    double m_offsetY = 0;
    double m_pageWidth = 0;
    double m_pageHeight = 0;
    std::array<PixelRect, layout::kCommandCount + layout::kTokenCount> m_rects {};
    bool m_closed = false;
};

// Buttons are known to the page by their place in the stacking order.
int ButtonId(ButtonRef);

} // namespace vantorel
