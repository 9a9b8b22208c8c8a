// SPDX-License-Identifier: MIT
#pragma once

// The board's one window, free of any toolkit: it owns the board, turns the toolkit's events
// into board operations and tells the toolkit what to show afterwards.

#include "BoardPicture.h"
#include "ChartBoard.h"
#include "Toolkit.h"
#include "Viewport.h"

#include <string>

namespace vantorel {

// What a token's drag offers: the move effect only, and an empty text with no format named.
struct DragOffer {
    DropEffect allowedEffects = DropEffect::Move;
    std::string text;
};

class Form1 final {
public:
    explicit Form1(Toolkit&);

    // Built, not yet shown.
    void formLoad();
    void formResize(double clientWidth, double clientHeight);
    // Key preview: every typed character, after shift and caps-lock, before the focused
    // control; the character still goes on to that control.
    void formKeyPress(char16_t code);

    void cmdclearClick();
    void clrrashiClick();
    void cmdexitClick();
    void cmdprintClick();
    void commandClick(layout::Command);

    // Any mouse button pressed on a token: remembers it and blocks in the toolkit's drag loop.
    void tokenMouseDown(int index, MouseButton);
    DragOffer tokenStartDrag(int index) const;
    // A drop on the window's surface, at a client point in pixels.
    void formDragDrop(double pixelX, double pixelY);

    void PrintBoard();

    void paintSurface(Canvas&, const RectF& clientArea) const;
    void paintButton(Canvas&, ButtonRef, const RectF& box, ButtonState) const;

    const ChartBoard& board() const { return m_board; }
    const Viewport& viewport() const { return m_viewport; }

private:
    void present(Change);
    void placeButtons(bool tokensOnly);

    Toolkit& m_toolkit;
    ChartBoard m_board;
    Viewport m_viewport;
};

} // namespace vantorel
