// SPDX-License-Identifier: MIT
#include "Form1.h"

#include "KeyMoves.h"

#include <algorithm>
#include <utility>

namespace vantorel {

using namespace layout;

namespace {

// What a screen reader is told. A token is named by its planet; where it stands, by PlacePhrase.
constexpr std::string_view kHeldDescription = "held: click where to put it";
constexpr std::string_view kStays = "stays";
constexpr std::string_view kAllHome = "All planets in the tray";
constexpr std::string_view kNamesHidden = "Sign names hidden";
constexpr std::string_view kNamesShown = "Sign names shown";
constexpr std::string_view kUndone = "Undone: ";
constexpr std::string_view kRedone = "Redone: ";
constexpr std::string_view kNothingToUndo = "Nothing to undo";
constexpr std::string_view kNothingToRedo = "Nothing to redo";
constexpr std::string_view kListSeparator = ", ";

std::string Lowered(std::string_view text)
{
    std::string out(text);
    if (!out.empty() && out[0] >= 'A' && out[0] <= 'Z')
        out[0] = char(out[0] - 'A' + 'a');
    return out;
}

std::string TokenAt(const ChartBoard& board, int token)
{
    return std::string(PlanetName(token)) + " " + PlacePhrase(board, PlaceOfToken(board, token));
}

// What an undo or redo did, from the board before it to the board after: the places of the
// tokens it moved, or the names shown or hidden.
std::string ChangeBetween(const ChartBoard& before, const ChartBoard& after)
{
    std::string said;
    const auto add = [&](const std::string& part) {
        said += (said.empty() ? "" : std::string(kListSeparator)) + part;
    };
    for (int token = 0; token < kTokenCount; ++token)
        if (!(before.Token(token) == after.Token(token)))
            add(TokenAt(after, token));
    if (before.ToggleCaption() != after.ToggleCaption())
        add(Lowered(after.WesternNameVisible(0) ? kNamesShown : kNamesHidden));
    return said;
}

} // namespace

DropEffect AnswerDrop(int offered)
{
    for (DropEffect e : {DropEffect::Copy, DropEffect::Link})
        if (offered & int(e))
            return e;
    return DropEffect::Move;
}

std::string TokenDescription(const ChartBoard& board, int token)
{
    return PlacePhrase(board, PlaceOfToken(board, token));
}

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
    m_accessible.Publish(m_toolkit, m_board, m_viewport, true);
    m_toolkit.RepaintSurface();
}

void Form1::formResize(double clientWidth, double clientHeight)
{
    m_viewport = Viewport::Fit(clientWidth, clientHeight);
    placeButtons(false);
    m_accessible.Publish(m_toolkit, m_board, m_viewport, true);
    m_toolkit.RepaintSurface();
}

void Form1::formKeyPress(char16_t code)
{
    // Only the typed character counts: Ctrl+C arrives as 3 and does nothing.
    if (code == u'c' || code == u'C')
        cmdclearClick();
}

bool Form1::formKeyDown(Key key, bool shift, std::optional<ButtonRef> focused)
{
    // Escape belongs to the hold wherever the focus is; with nothing held it is not the board's.
    if (key == Key::Escape) {
        if (!m_held)
            return false;
        const int was = *m_held;
        hold(std::nullopt);
        announceStays(was);
        return true;
    }
    if (!focused || !ButtonVisible(m_board, *focused))
        return false;
    if (focused->group == ButtonRef::Group::Command) {
        if (key != Key::Enter)
            return false;
        commandClick(static_cast<Command>(focused->index));
        return true;
    }
    const int token = focused->index;
    if (token < 0 || token >= kTokenCount)
        return false;
    switch (key) {
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down: {
        const std::string was = TokenDescription(m_board, token);
        moveTo(token, KeyStep(m_board, token, key, shift), token);
        // Told when it enters another place, not at every step on the way.
        if (TokenDescription(m_board, token) != was)
            announceMove(token);
        return true;
    }
    case Key::PageUp:
    case Key::PageDown:
        m_arrowRun.reset();
        moveTo(token, SignJump(m_board, token, key == Key::PageDown), std::nullopt);
        announceMove(token);
        return true;
    case Key::Enter:
    case Key::Space:
        return true; // a token is never clicked
    case Key::Escape:
    case Key::Other:
        return false;
    }
    return false;
}

void Form1::editCommand(EditCommand command)
{
    m_arrowRun.reset();
    const ChartBoard now = m_board;
    const bool undo = command == EditCommand::Undo;
    const std::optional<ChartBoard> to = undo ? m_history.Undo(now) : m_history.Redo(now);
    if (!to) {
        m_toolkit.Announce(undo ? kNothingToUndo : kNothingToRedo);
        return;
    }
    hold(std::nullopt);
    m_board.RestoreArrangement(*to);
    present(m_board.TakeChanges());
    m_toolkit.Announce(std::string(undo ? kUndone : kRedone) + ChangeBetween(now, m_board));
}

void Form1::cmdclearClick()
{
    m_arrowRun.reset();
    hold(std::nullopt);
    const ChartBoard before = m_board;
    m_board.ResetTokens();
    present(m_board.TakeChanges());
    recordStep(before);
    m_toolkit.Announce(kAllHome);
}

void Form1::clrrashiClick()
{
    m_arrowRun.reset();
    hold(std::nullopt);
    const ChartBoard before = m_board;
    m_board.ToggleSignNames();
    present(m_board.TakeChanges());
    recordStep(before);
    m_toolkit.Announce(m_board.WesternNameVisible(0) ? kNamesShown : kNamesHidden);
}

void Form1::cmdexitClick()
{
    hold(std::nullopt);
    m_toolkit.CloseWindow();
}

void Form1::cmdprintClick()
{
    m_arrowRun.reset();
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
        // Hidden from start-up on; were a click delivered, it would only end a hold, as any
        // command button's does.
        m_arrowRun.reset();
        return hold(std::nullopt);
    }
}

void Form1::tokenMouseDown(int index, MouseButton)
{
    if (index < 0 || index >= kTokenCount)
        return;
    m_arrowRun.reset();
    m_board.SetPressedToken(index);
    const DragEnd end = m_toolkit.BeginDrag(index);
    if (end != DragEnd::Pending)
        tokenDragEnd(index, end);
}

void Form1::tokenDragEnd(int index, DragEnd end)
{
    if (index < 0 || index >= kTokenCount || end == DragEnd::Pending)
        return;
    const std::optional<int> was = m_held;
    const bool pickUp = end == DragEnd::Click && m_held != index;
    hold(pickUp ? std::optional(index) : std::nullopt);
    if (pickUp)
        m_toolkit.Announce(std::string(PlanetName(index)) + " " + std::string(kHeldDescription));
    else if (was)
        announceStays(*was);
}

DragOffer Form1::tokenStartDrag(int) const
{
    return {};
}

bool Form1::takesDropAt(double pixelX, double pixelY) const
{
    for (ButtonRef ref : kStackingOrder) {
        if (!ButtonVisible(m_board, ref))
            continue;
        const PixelRect r = ButtonPixels(m_board, ref, m_viewport);
        if (pixelX >= r.x && pixelX < r.x + r.width && pixelY >= r.y && pixelY < r.y + r.height)
            return false;
    }
    return true;
}

bool Form1::formDragDrop(double pixelX, double pixelY)
{
    if (!takesDropAt(pixelX, pixelY))
        return false;
    m_arrowRun.reset();
    hold(std::nullopt);
    const auto pressed = m_board.PressedToken();
    if (!pressed)
        return true;
    moveTo(*pressed, {m_viewport.ToTwipsX(pixelX), m_viewport.ToTwipsY(pixelY)}, std::nullopt);
    announceMove(*pressed);
    return true;
}

void Form1::formClick(double pixelX, double pixelY)
{
    if (!m_held || !takesDropAt(pixelX, pixelY))
        return;
    m_arrowRun.reset();
    const int token = *m_held;
    hold(std::nullopt);
    moveTo(token, {m_viewport.ToTwipsX(pixelX), m_viewport.ToTwipsY(pixelY)}, std::nullopt);
    announceMove(token);
}

void Form1::PrintBoard()
{
    hold(std::nullopt);
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
    state.held = ref.group == ButtonRef::Group::Token && m_held == ref.index;
    PaintButton(canvas, m_board, ref, box, state, m_viewport, m_toolkit.Colours());
}

std::string Form1::tokenDescription(int token) const
{
    return m_held == token ? std::string(kHeldDescription) : TokenDescription(m_board, token);
}

void Form1::hold(std::optional<int> token)
{
    if (token == m_held)
        return;
    const std::optional<int> was = std::exchange(m_held, token);
    for (const std::optional<int> changed : {was, token})
        if (changed) {
            const ButtonRef ref = ButtonRef::token(*changed);
            m_toolkit.SetButtonDescription(ref, tokenDescription(*changed));
            m_toolkit.RepaintButton(ref);
        }
    if (was.has_value() != token.has_value())
        m_toolkit.SetPlacingPointer(token.has_value());
}

void Form1::moveTo(int token, TokenPosition to, std::optional<int> arrowRun)
{
    const ChartBoard before = m_board;
    m_board.MoveToken(token, to.left, to.top);
    present(m_board.TakeChanges());
    recordStep(before, arrowRun);
}

void Form1::recordStep(const ChartBoard& before, std::optional<int> arrowRun)
{
    if (SameArrangement(before, m_board))
        return;
    // The first arrow press of a run is the step; the rest of the run belongs to it.
    if (!arrowRun || m_arrowRun != arrowRun)
        m_history.Record(before);
    m_arrowRun = arrowRun;
}

void Form1::announceMove(int token)
{
    m_toolkit.Announce(TokenAt(m_board, token));
}

void Form1::announceStays(int token)
{
    m_toolkit.Announce(std::string(PlanetName(token)) + " " + std::string(kStays) + " "
        + TokenDescription(m_board, token));
}

void Form1::present(Change changes)
{
    if (Has(changes, Change::Tokens))
        placeButtons(true);
    // Where a token stands reads differently once it moves, and once the names hide or show.
    else if (Has(changes, Change::SignNames))
        describeTokens();
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
    m_accessible.Publish(m_toolkit, m_board, m_viewport, false);
}

void Form1::placeButtons(bool tokensOnly)
{
    for (ButtonRef ref : kStackingOrder) {
        if (tokensOnly && ref.group != ButtonRef::Group::Token)
            continue;
        m_toolkit.PlaceButton(ref, ButtonPixels(m_board, ref, m_viewport),
            ScaledFont(ref.row().font, m_viewport).pixelSize);
        if (ref.group == ButtonRef::Group::Token)
            m_toolkit.SetButtonDescription(ref, tokenDescription(ref.index));
    }
}

void Form1::describeTokens()
{
    for (int token = 0; token < kTokenCount; ++token)
        m_toolkit.SetButtonDescription(ButtonRef::token(token), tokenDescription(token));
}

} // namespace vantorel
