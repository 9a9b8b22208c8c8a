// SPDX-License-Identifier: MIT
#pragma once

// The board's one window, free of any toolkit: it owns the board, turns the toolkit's events
// into board operations and tells the toolkit what to show afterwards.

#include "BoardAccessibility.h"
#include "BoardPicture.h"
#include "ChartBoard.h"
#include "History.h"
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
// or "off the chart", by the point at the token's centre; while the names are hidden a box is
// told by its place ("in the top row, second box").
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
    // moves a focused token a pixel's worth (ten with Shift), Page Down and Page Up move it into
    // the next or the previous sign's box, Enter presses a focused command button, neither Enter
    // nor Space ever clicks a token, and Escape lets go of a held token.
    bool formKeyDown(Key, bool shift, std::optional<ButtonRef> focused);
    // The platform's undo or redo shortcut, wherever the focus is. Each change of the layout is
    // a step: a token moved (a run of arrow keys on one token is one step), a reset that moved a
    // token, the names hidden or shown.
    void editCommand(EditCommand);

    void cmdclearClick();
    void clrrashiClick();
    void cmdexitClick();
    void cmdprintClick();
    void commandClick(layout::Command);

    // Any mouse button pressed on a token: remembers it and blocks in the toolkit's drag loop.
    // A press that ends as a click picks the token up (on the token already held, it lets go);
    // any other end of the drag lets go of whatever was held.
    void tokenMouseDown(int index, MouseButton);
    // The end of a drag that outlived its press handler (the toolkit's BeginDrag said Pending).
    void tokenDragEnd(int index, DragEnd);
    DragOffer tokenStartDrag(int index) const;
    // Whether a drop at a client point in pixels lands on the window's surface: only the
    // surface takes drops, and every visible push button, a token included, refuses them.
    bool takesDropAt(double pixelX, double pixelY) const;
    // A drop on the window, at a client point in pixels: taken (true) where takesDropAt says,
    // and then it ends any hold.
    bool formDragDrop(double pixelX, double pixelY);
    // A click on the window's surface (not on a push button), at a client point in pixels: the
    // held token goes there as a drop there would put it, and the hold ends.
    void formClick(double pixelX, double pixelY);

    void PrintBoard();

    void paintSurface(Canvas&, const RectF& clientArea) const;
    void paintButton(Canvas&, ButtonRef, const RectF& box, ButtonState) const;

    const ChartBoard& board() const { return m_board; }
    const Viewport& viewport() const { return m_viewport; }
    const History& history() const { return m_history; }
    // The token a click picked up, waiting for the click that says where it goes.
    std::optional<int> heldToken() const { return m_held; }
    // What a screen reader hears of a token beyond its name: where it stands, or while it is
    // held, that a click puts it down.
    std::string tokenDescription(int token) const;

private:
    void hold(std::optional<int> token);
    void present(Change);
    void moveTo(int token, TokenPosition, std::optional<int> arrowRun);
    void recordStep(const ChartBoard& before, std::optional<int> arrowRun = std::nullopt);
    void announceMove(int token);
    void announceStays(int token);
    void placeButtons(bool tokensOnly);
    void describeTokens();

    Toolkit& m_toolkit;
    ChartBoard m_board;
    Viewport m_viewport;
    std::optional<int> m_held;
    AccessibleItemsPublisher m_accessible;
    History m_history;
    // The token whose arrow-key moves make the last step, while nothing else has happened since.
    std::optional<int> m_arrowRun;
};

} // namespace vantorel
