// SPDX-License-Identifier: MIT
#include "Form1.h"

#include <algorithm>
#include <utility>

namespace vantorel {

using namespace layout;

namespace {

constexpr int kKeyStepTwips = Viewport::kTwipsPerPixel;
constexpr int kShiftKeyStepTwips = 10 * kKeyStepTwips;

// Said instead of where the token stands while a click has it picked up.
constexpr std::string_view kHeldDescription = "held: click where to put it";

bool Inside(const Rect& r, double x, double y)
{
    return x >= r.left && x < r.right() && y >= r.top && y < r.bottom();
}

// One step from `at` towards `at + step`, kept within [low, high]; a token already outside that
// range never jumps in, it only stops going further out.
float Step(float at, int step, int low, int high)
{
    const double to = double(at) + step;
    if (step > 0)
        return float(std::min(to, std::max(double(at), double(high))));
    return float(std::max(to, std::min(double(at), double(low))));
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
    const TokenPosition p = board.Token(token);
    const double x = double(p.left) + kTokenWidth / 2.0;
    const double y = double(p.top) + kTokenHeight / 2.0;
    for (int sign = 0; sign < kSignCount; ++sign)
        if (Inside(SignBox(sign), x, y))
            return "in " + std::string(kWesternNames[std::size_t(sign)].caption);
    if (Inside(kCaptionArea, x, y))
        return "in the centre";
    if (Inside(kTrayArea, x, y))
        return "in the tray";
    return "off the chart";
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

bool Form1::formKeyDown(Key key, bool shift, std::optional<ButtonRef> focused)
{
    // Escape belongs to the hold wherever the focus is; with nothing held it is not the board's.
    if (key == Key::Escape) {
        if (!m_held)
            return false;
        hold(std::nullopt);
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
    if (focused->index < 0 || focused->index >= kTokenCount)
        return false;
    switch (key) {
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down:
        moveByKey(focused->index, key, shift);
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

void Form1::moveByKey(int token, Key key, bool shift)
{
    const int step = shift ? kShiftKeyStepTwips : kKeyStepTwips;
    const TokenPosition at = m_board.Token(token);
    const int right = kExtentRight - kTokenWidth;
    const int bottom = kExtentBottom - kTokenHeight;
    float x = at.left;
    float y = at.top;
    if (key == Key::Left || key == Key::Right)
        x = Step(at.left, key == Key::Left ? -step : step, 0, right);
    else
        y = Step(at.top, key == Key::Up ? -step : step, 0, bottom);
    m_board.MoveToken(token, x, y);
    present(m_board.TakeChanges());
}

void Form1::cmdclearClick()
{
    hold(std::nullopt);
    m_board.ResetTokens();
    present(m_board.TakeChanges());
}

void Form1::clrrashiClick()
{
    hold(std::nullopt);
    m_board.ToggleSignNames();
    present(m_board.TakeChanges());
}

void Form1::cmdexitClick()
{
    hold(std::nullopt);
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
        // Hidden from start-up on; were a click delivered, it would only end a hold, as any
        // command button's does.
        return hold(std::nullopt);
    }
}

void Form1::tokenMouseDown(int index, MouseButton)
{
    if (index < 0 || index >= kTokenCount)
        return;
    m_board.SetPressedToken(index);
    const DragEnd end = m_toolkit.BeginDrag(index);
    if (end != DragEnd::Pending)
        tokenDragEnd(index, end);
}

void Form1::tokenDragEnd(int index, DragEnd end)
{
    if (index < 0 || index >= kTokenCount || end == DragEnd::Pending)
        return;
    hold(end == DragEnd::Click && m_held != index ? std::optional(index) : std::nullopt);
}

DragOffer Form1::tokenStartDrag(int) const
{
    return {};
}

void Form1::formDragDrop(double pixelX, double pixelY)
{
    hold(std::nullopt);
    const auto pressed = m_board.PressedToken();
    if (!pressed)
        return;
    m_board.MoveToken(*pressed, m_viewport.ToTwipsX(pixelX), m_viewport.ToTwipsY(pixelY));
    present(m_board.TakeChanges());
}

void Form1::formClick(double pixelX, double pixelY)
{
    if (!m_held)
        return;
    const int token = *m_held;
    hold(std::nullopt);
    m_board.MoveToken(token, m_viewport.ToTwipsX(pixelX), m_viewport.ToTwipsY(pixelY));
    present(m_board.TakeChanges());
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
        if (ref.group == ButtonRef::Group::Token)
            m_toolkit.SetButtonDescription(ref, tokenDescription(ref.index));
    }
}

} // namespace vantorel
