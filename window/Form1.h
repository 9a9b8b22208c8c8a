// SPDX-License-Identifier: MIT
#pragma once

// The board's one window, free of any toolkit: it owns the board, turns the toolkit's events
// into board operations and tells the toolkit what to show afterwards.

#include "BoardAccessibility.h"
#include "BoardPicture.h"
#include "ChartBoard.h"
#include "Toolkit.h"
#include "Viewport.h"

#include <optional>
#include <string>

namespace vantorel {

// What a token's drag offers: the move effect only, and an empty text with no format named.
struct DragOffer {
    DropEffect allowedEffects = DropEffect::Move;
    std::string text;
};

// The answer to a drag from elsewhere, from the effects its source offers (OLE values or-ed):
// copy where offered, so that a source honouring the answer never deletes what the user dragged;
// link where only that is offered; move only when nothing else is. A token's own drag offers move
// alone, and so is answered move.
DropEffect AnswerDrop(int offeredEffects);

// Where a token stands, as a screen reader says it: "in Aries", "in the centre", "in the tray"
// or "off the chart", by the point at the token's centre.
std::string TokenDescription(const ChartBoard&, int token);

class Form1 final {
public:
    explicit Form1(Toolkit&);

    // Built, not yet shown.
    void formLoad();
    void formResize(double clientWidth, double clientHeight);
    // Key preview: every typed character, after shift and caps-lock, before the focused
    // control; the character still goes on to that control.
    void formKeyPress(char16_t code);
    // A key that is no typed character, pressed while `focused` has the keyboard focus (nothing:
    // the window itself). True when the board used it and the control must not see it: an arrow
    // moves a focused token a pixel's worth (ten with Shift), Enter presses a focused command
    // button, and neither Enter nor Space ever clicks a token.
    bool formKeyDown(Key, bool shift, std::optional<ButtonRef> focused);

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
    void moveByKey(int token, Key, bool shift);
    void placeButtons(bool tokensOnly);

    Toolkit& m_toolkit;
    ChartBoard m_board;
    Viewport m_viewport;
    AccessibleItemsPublisher m_accessible;
};

} // namespace vantorel
