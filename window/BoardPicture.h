// SPDX-License-Identifier: MIT
#pragma once

// What the board looks like, computed from the layout and the board's values and drawn onto any
// Canvas. The window's surface, its buttons and the printed page all come from here, so the
// screen and the paper cannot disagree.

#include "ChartBoard.h"
#include "Toolkit.h"
#include "Viewport.h"

#include <array>
#include <string_view>

namespace vantorel {

struct ButtonState {
    bool pressed = false;
    bool focused = false;
    // A token picked up by a click, waiting to be put down.
    bool held = false;
};

// The push buttons from bottom to top: command buttons, then the tokens in index order, so a
// token dragged onto a command button lies above it.
extern const std::array<ButtonRef, layout::kCommandCount + layout::kTokenCount> kStackingOrder;
// The push buttons in focus order: by tab index, the tokens (0-9) first.
extern const std::array<ButtonRef, layout::kCommandCount + layout::kTokenCount> kFocusOrder;

std::string_view ButtonCaption(const ChartBoard&, ButtonRef);
bool ButtonVisible(const ChartBoard&, ButtonRef);
PixelRect ButtonPixels(const ChartBoard&, ButtonRef, const Viewport&);
FontSpec ScaledFont(const Font&, const Viewport&);

// Background, frame, grid lines and every visible label, filling the whole client area.
void PaintSurface(
    Canvas&, const ChartBoard&, const Viewport&, const SystemColours&, const RectF& clientArea);

// One push button inside `box` (device coordinates), scaled by the viewport.
void PaintButton(Canvas&, const ChartBoard&, ButtonRef, const RectF& box, ButtonState,
    const Viewport&, const SystemColours&);

// The whole client area as the window shows it: the surface with every visible button on top.
void PaintClientArea(
    Canvas&, const ChartBoard&, const Viewport&, const SystemColours&, const RectF& clientArea);

} // namespace vantorel
