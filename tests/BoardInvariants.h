// SPDX-License-Identifier: MIT
#pragma once

// What must hold of a started board whatever the user or another program does to it.

#include "ChartBoard.h"

#include <cmath>
#include <string>

namespace vantorel {

inline std::string BoardProblems(const ChartBoard& board, bool printing = false)
{
    using namespace layout;
    for (int i = 0; i < kTokenCount; ++i) {
        const Rect home = kTokens[std::size_t(i)].rect;
        if (board.HomeLeft(i) != home.left || board.HomeTop(i) != home.top)
            return "home of token " + std::to_string(i) + " changed";
        const TokenPosition p = board.Token(i);
        if (!std::isfinite(p.left) || !std::isfinite(p.top))
            return "token " + std::to_string(i) + " is not at a finite point";
    }
    const bool shown = board.WesternNameVisible(0);
    for (int i = 0; i < kSignCount; ++i)
        if (board.WesternNameVisible(i) != shown || board.SanskritNameVisible(i) != shown)
            return "the 24 names do not share one visibility";
    const std::string& caption = board.ToggleCaption();
    if (caption != (shown ? CommandRow(Command::ToggleNames).caption : kShowNamesCaption))
        return "the toggle reads \"" + caption + "\" while the names are "
            + (shown ? "shown" : "hidden");
    const Colour ground = printing ? kPrintPalette : kScreenPalette;
    if (board.WindowBackground() != ground)
        return "window background is off the palette";
    for (int i = 0; i < kCaptionCount; ++i)
        if (board.CaptionBackground(i) != ground)
            return "caption background is off the palette";
    for (int i = 0; i < kSignCount; ++i)
        if (board.WesternNameBackground(i) != ground || board.SanskritNameBackground(i) != ground)
            return "sign name background is off the palette";
    if (board.ReservedButtonVisible())
        return "the reserved button is visible";
    return {};
}

} // namespace vantorel
