// SPDX-License-Identifier: MIT
#include "Form1.h"

namespace vantorel {

using namespace layout;

Form1::Form1(Toolkit& toolkit)
    : m_toolkit(toolkit)
{ }

void Form1::formLoad()
{
    m_board.StartUp();
    m_board.TakeChanges();
    placeButtons(false);
    for (ButtonRef ref : kStackingOrder) {
        m_toolkit.SetButtonCaption(ref, ButtonCaption(m_board, ref));
        m_toolkit.SetButtonVisible(ref, ButtonVisible(m_board, ref));
    }
    m_toolkit.RepaintSurface();
}

void Form1::formResize(double clientWidth, double clientHeight)
{
    m_viewport = Viewport::Fit(clientWidth, clientHeight);
    placeButtons(false);
    m_toolkit.RepaintSurface();
}

void Form1::formKeyPress(char16_t code)
{
    // Only the typed character counts: Ctrl+C arrives as 3 and does nothing.
    if (code == u'c' || code == u'C')
        cmdclearClick();
}

void Form1::cmdclearClick()
{
    m_board.ResetTokens();
    present(m_board.TakeChanges());
}

void Form1::clrrashiClick()
{
    m_board.ToggleSignNames();
    present(m_board.TakeChanges());
}

void Form1::cmdexitClick()
{
    m_toolkit.CloseWindow();
}

void Form1::cmdprintClick()
{
    PrintBoard();
}

void Form1::commandClick(Command c)
{
    switch (c) {
    case Command::Clear:
        return cmdclearClick();
    case Command::ToggleNames:
        return clrrashiClick();
    case Command::Exit:
        return cmdexitClick();
    case Command::Print:
        return cmdprintClick();
    case Command::Arudha:
        return; // hidden from start-up on; nothing to do even if a toolkit delivered a click
    }
}

void Form1::tokenMouseDown(int index, MouseButton)
{
    if (index < 0 || index >= kTokenCount)
        return;
    m_board.SetPressedToken(index);
    m_toolkit.BeginDrag(index);
}

DragOffer Form1::tokenStartDrag(int) const
{
    return {};
}

void Form1::formDragDrop(double pixelX, double pixelY)
{
    const auto pressed = m_board.PressedToken();
    if (!pressed)
        return;
    m_board.MoveToken(*pressed, m_viewport.ToTwipsX(pixelX), m_viewport.ToTwipsY(pixelY));
    present(m_board.TakeChanges());
}

void Form1::PrintBoard()
{
    m_board.ApplyPrintPalette();
    present(m_board.TakeChanges());
    // The screen palette comes back whatever printing does; its failures are not the user's
    // business, as there is nothing they could do about them here.
    struct Restore {
        Form1& form;
        ~Restore()
        {
            form.m_board.RestoreScreenPalette();
            form.present(form.m_board.TakeChanges());
        }
    } restore {*this};
    try {
        m_toolkit.PrintClientArea();
    } catch (...) { }
}

void Form1::paintSurface(Canvas& canvas, const RectF& clientArea) const
{
    PaintSurface(canvas, m_board, m_viewport, m_toolkit.Colours(), clientArea);
}

void Form1::paintButton(Canvas& canvas, ButtonRef ref, const RectF& box, ButtonState state) const
{
    PaintButton(canvas, m_board, ref, box, state, m_viewport, m_toolkit.Colours());
}

void Form1::present(Change changes)
{
    if (Has(changes, Change::Tokens))
        placeButtons(true);
    if (Has(changes, Change::SignNames)) {
        const ButtonRef toggle = ButtonRef::command(Command::ToggleNames);
        m_toolkit.SetButtonCaption(toggle, ButtonCaption(m_board, toggle));
    }
    if (Has(changes, Change::Reserved)) {
        const ButtonRef reserved = ButtonRef::command(Command::Arudha);
        m_toolkit.SetButtonVisible(reserved, ButtonVisible(m_board, reserved));
    }
    if (Has(changes, Change::SignNames | Change::TextColours | Change::Palette))
        m_toolkit.RepaintSurface();
}

void Form1::placeButtons(bool tokensOnly)
{
    for (ButtonRef ref : kStackingOrder) {
        if (tokensOnly && ref.group != ButtonRef::Group::Token)
            continue;
        m_toolkit.PlaceButton(ref, ButtonPixels(m_board, ref, m_viewport),
            ScaledFont(ref.row().font, m_viewport).pixelSize);
    }
}

} // namespace vantorel
