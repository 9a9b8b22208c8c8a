// SPDX-License-Identifier: MIT
#include "BoardPicture.h"

#include <algorithm>
#include <cmath>

namespace vantorel {

using namespace layout;

const ButtonRow& ButtonRef::row() const
{
    const auto i = static_cast<std::size_t>(index);
    return group == Group::Token ? kTokens.at(i) : kCommands.at(i);
}

const std::array<ButtonRef, kCommandCount + kTokenCount> kStackingOrder = [] {
    std::array<ButtonRef, kCommandCount + kTokenCount> order {};
    std::size_t n = 0;
    for (int i = 0; i < kCommandCount; ++i)
        order[n++] = {ButtonRef::Group::Command, i};
    for (int i = 0; i < kTokenCount; ++i)
        order[n++] = ButtonRef::token(i);
    return order;
}();

const std::array<ButtonRef, kCommandCount + kTokenCount> kFocusOrder = [] {
    auto order = kStackingOrder;
    std::stable_sort(order.begin(), order.end(),
        [](ButtonRef a, ButtonRef b) { return a.row().tabIndex < b.row().tabIndex; });
    return order;
}();

std::string_view ButtonCaption(const ChartBoard& board, ButtonRef ref)
{
    if (ref == ButtonRef::command(Command::ToggleNames))
        return board.ToggleCaption();
    return ref.row().caption;
}

bool ButtonVisible(const ChartBoard& board, ButtonRef ref)
{
    return ref == ButtonRef::command(Command::Arudha) ? board.ReservedButtonVisible() : true;
}

PixelRect ButtonPixels(const ChartBoard& board, ButtonRef ref, const Viewport& view)
{
    const Rect r = ref.row().rect;
    if (ref.group == ButtonRef::Group::Token) {
        const TokenPosition p = board.Token(ref.index);
        return view.ToPixels(p.left, p.top, r.width, r.height);
    }
    return view.ToPixels(r);
}

FontSpec ScaledFont(const Font& font, const Viewport& view)
{
    return {font.face, font.pixelsAt96Dpi() * view.scale(), font.bold};
}

namespace {

// Thick strokes are filled bands, so they stay sharp and exactly placed at every scale. Which
// way a line runs comes from the layout's integers: the two computed ends of a vertical line may
// differ in their last bits (x87 keeps one in an 80-bit register), and a band decided from them
// would come out zero pixels wide.
void PaintLine(Canvas& canvas, const LineRow& line, const Viewport& view, Colour colour)
{
    const double thickness = view.ScaledPixels(line.widthPixels);
    const double half = thickness / 2.0;
    const double x1 = std::round(view.ToPixelsX(line.from.x));
    const double y1 = std::round(view.ToPixelsY(line.from.y));
    const double x2 = std::round(view.ToPixelsX(line.to.x));
    const double y2 = std::round(view.ToPixelsY(line.to.y));
    if (line.from.x == line.to.x)
        canvas.FillRect({std::round(view.ToPixelsX(line.from.x) - half), std::min(y1, y2),
                            thickness, std::abs(y2 - y1)},
            colour);
    else
        canvas.FillRect({std::min(x1, x2), std::round(view.ToPixelsY(line.from.y) - half),
                            std::abs(x2 - x1), thickness},
            colour);
}

void PaintLabel(
    Canvas& canvas, const LabelRow& row, Colour background, Colour text, const Viewport& view)
{
    const RectF box = view.ToPixelsF(row.rect);
    canvas.FillRect(box, background);
    canvas.DrawString(box, row.caption, ScaledFont(row.font, view), text, TextAlign::TopLeft);
}

void FrameRect(Canvas& canvas, const RectF& r, double w, Colour top, Colour bottom)
{
    canvas.FillRect({r.x, r.y, r.width, w}, top);
    canvas.FillRect({r.x, r.y, w, r.height}, top);
    canvas.FillRect({r.x, r.y + r.height - w, r.width, w}, bottom);
    canvas.FillRect({r.x + r.width - w, r.y, w, r.height}, bottom);
}

// The focus shows as a dark ring with a light one inside it, inset from the button's edge past
// its bevel and clear of the caption. Black and white differ by 21:1, so against any fill at all,
// a planet's or the desktop's button face, one of the two stands out by at least 4.5:1; a dotted
// frame in the text colour fades on the dark tokens. Filled bands, so every backend draws the
// same pixels.
constexpr Colour kFocusDark = kBlack;
constexpr Colour kFocusLight = kWhite;
constexpr int kFocusInsetPixels = 3;

void PaintFocusRing(Canvas& canvas, const RectF& box, double w)
{
    const double inset = kFocusInsetPixels * w;
    const RectF outer {box.x + inset, box.y + inset, box.width - 2 * inset, box.height - 2 * inset};
    FrameRect(canvas, outer, w, kFocusDark, kFocusDark);
    FrameRect(canvas, {outer.x + w, outer.y + w, outer.width - 2 * w, outer.height - 2 * w}, w,
        kFocusLight, kFocusLight);
}

} // namespace

void PaintSurface(Canvas& canvas, const ChartBoard& board, const Viewport& view,
    const SystemColours& system, const RectF& clientArea)
{
    canvas.FillRect(clientArea, board.WindowBackground());

    // Labels first: the frame and lines never cross one, so the order among them is free.
    for (int i = 0; i < kCaptionCount; ++i)
        PaintLabel(canvas, kCaptions[std::size_t(i)], board.CaptionBackground(i),
            kCaptions[std::size_t(i)].text, view);
    for (int i = 0; i < kSignCount; ++i) {
        if (board.WesternNameVisible(i))
            PaintLabel(canvas, kWesternNames[std::size_t(i)], board.WesternNameBackground(i),
                board.WesternNameColour(i), view);
        if (board.SanskritNameVisible(i))
            PaintLabel(canvas, kSanskritNames[std::size_t(i)], board.SanskritNameBackground(i),
                board.SanskritNameColour(i), view);
    }

    // The frame's border lies inside its rectangle.
    const double border = view.ScaledPixels(kFrame.borderPixels);
    FrameRect(canvas, view.ToPixelsF(kFrame.rect), border, system.windowText, system.windowText);

    for (const LineRow& line : kLines)
        PaintLine(canvas, line, view, system.windowText);
}

void PaintButton(Canvas& canvas, const ChartBoard& board, ButtonRef ref, const RectF& box,
    ButtonState state, const Viewport& view, const SystemColours& system)
{
    const ButtonRow& row = ref.row();
    const double w = view.ScaledPixels(1);
    canvas.FillRect(box, row.ownFill ? row.fill : system.buttonFace);

    // A classic two-step bevel; a flat face keeps the planet's colour exactly as given.
    const Colour light = state.pressed ? system.buttonDarkShadow : system.buttonHighlight;
    const Colour dark = state.pressed ? system.buttonHighlight : system.buttonDarkShadow;
    FrameRect(canvas, box, w, light, dark);
    const RectF inner {box.x + w, box.y + w, box.width - 2 * w, box.height - 2 * w};
    FrameRect(canvas, inner, w,
        state.pressed     ? system.buttonShadow
            : row.ownFill ? row.fill
                          : system.buttonFace,
        state.pressed ? (row.ownFill ? row.fill : system.buttonFace) : system.buttonShadow);
    // Held: a solid band of ink all round in place of the bevel. Against the ground outside it
    // shows whatever the token's colour; it keeps to the edge, clear of the focus frame inside.
    if (state.held)
        FrameRect(canvas, box, 2 * w, system.windowText, system.windowText);

    RectF text = box;
    if (state.pressed) {
        text.x += w;
        text.y += w;
    }
    canvas.DrawString(text, ButtonCaption(board, ref), ScaledFont(row.font, view),
        system.buttonText, TextAlign::Centre);
    if (state.focused)
        PaintFocusRing(canvas, box, w);
}

void PaintClientArea(Canvas& canvas, const ChartBoard& board, const Viewport& view,
    const SystemColours& system, const RectF& clientArea)
{
    PaintSurface(canvas, board, view, system, clientArea);
    for (ButtonRef ref : kStackingOrder) {
        if (!ButtonVisible(board, ref))
            continue;
        const PixelRect r = ButtonPixels(board, ref, view);
        PaintButton(canvas, board, ref,
            {double(r.x), double(r.y), double(r.width), double(r.height)}, {}, view, system);
    }
}

} // namespace vantorel
