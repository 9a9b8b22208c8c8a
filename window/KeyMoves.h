// SPDX-License-Identifier: MIT
#pragma once

// Where the keyboard moves a token: an arrow by a pixel's worth (ten with Shift), Page Up and
// Page Down from one sign's box to the previous or next in zodiac order.

#include "ChartBoard.h"
#include "Toolkit.h"

#include <array>

namespace vantorel {

inline constexpr int kKeyStepTwips = 15;
inline constexpr int kShiftKeyStepTwips = 10 * kKeyStepTwips;

// One arrow key's step of the token, stopping at the edge of the board; a token already beyond
// an edge never jumps back in, it only stops going further out.
TokenPosition KeyStep(const ChartBoard&, int token, Key arrow, bool shift);

// The places a token may stand in a sign's box, in reading order: below the names, clear of the
// box's lines and of each other.
struct SignSlots {
    std::array<Point, 16> at {};
    int count = 0;
};
SignSlots SlotsInSign(int sign);

// The next sign's box (`forward`) or the previous one, in zodiac order from the sign the token
// stands in; from anywhere else forward goes to Aries and back to Pisces. The token lands in the
// first slot there that no other token covers, or the first slot when every one is covered.
TokenPosition SignJump(const ChartBoard&, int token, bool forward);

} // namespace vantorel
