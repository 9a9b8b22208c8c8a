// SPDX-License-Identifier: MIT
#include "KeyMoves.h"

#include "BoardAccessibility.h"

#include <algorithm>
#include <cmath>

namespace vantorel {

using namespace layout;

namespace {

// Kept between a slot and a box's lines or its names, and between two slots at least.
constexpr int kSlotMargin = 60;

float Step(float at, int step, int low, int high)
{
    const double to = double(at) + step;
    if (step > 0)
        return float(std::min(to, std::max(double(at), double(high))));
    return float(std::max(to, std::min(double(at), double(low))));
}

// `count` spans of `size` spread evenly over [from, from + length), the gaps between them and
// at both ends equal (to the twip); as many as fit with at least the margin around each.
int Spread(int from, int length, int size, std::array<int, 4>& starts)
{
    const int count
        = std::clamp((length - kSlotMargin) / (size + kSlotMargin), 0, int(starts.size()));
    if (count == 0)
        return 0;
    const int gap = (length - count * size) / (count + 1);
    for (int i = 0; i < count; ++i)
        starts[std::size_t(i)] = from + gap + i * (size + gap);
    return count;
}

} // namespace

TokenPosition KeyStep(const ChartBoard& board, int token, Key arrow, bool shift)
{
    const int step = shift ? kShiftKeyStepTwips : kKeyStepTwips;
    TokenPosition at = board.Token(token);
    const int right = kExtentRight - kTokenWidth;
    const int bottom = kExtentBottom - kTokenHeight;
    switch (arrow) {
    case Key::Left:
    case Key::Right:
        at.left = Step(at.left, arrow == Key::Left ? -step : step, 0, right);
        break;
    case Key::Up:
    case Key::Down:
        at.top = Step(at.top, arrow == Key::Up ? -step : step, 0, bottom);
        break;
    default:
        break;
    }
    return at;
}

SignSlots SlotsInSign(int sign)
{
    const Rect box = SignBox(sign);
    // The names stand on one line at the top of the box; the slots take the rest of it.
    const int namesBottom = std::max(kWesternNames[std::size_t(sign)].rect.bottom(),
        kSanskritNames[std::size_t(sign)].rect.bottom());
    std::array<int, 4> columns {};
    std::array<int, 4> rows {};
    const int across = Spread(box.left, box.width, kTokenWidth, columns);
    const int down = Spread(namesBottom, box.bottom() - namesBottom, kTokenHeight, rows);
    SignSlots slots;
    for (int r = 0; r < down; ++r)
        for (int c = 0; c < across; ++c)
            slots.at[std::size_t(slots.count++)] = {columns[std::size_t(c)], rows[std::size_t(r)]};
    return slots;
}

TokenPosition SignJump(const ChartBoard& board, int token, bool forward)
{
    const TokenPlace place = PlaceOfToken(board, token);
    int sign = forward ? 0 : kSignCount - 1;
    if (place.kind == TokenPlace::Kind::Sign)
        sign = (place.sign + (forward ? 1 : kSignCount - 1)) % kSignCount;
    const SignSlots slots = SlotsInSign(sign);
    const auto covered = [&](Point slot) {
        const Rect here {slot.x, slot.y, kTokenWidth, kTokenHeight};
        for (int other = 0; other < kTokenCount; ++other) {
            if (other == token)
                continue;
            const TokenPosition p = board.Token(other);
            // Whole twips are close enough to tell whether two tokens overlap; a token far off
            // the board overlaps nothing either way.
            const auto twips = [](float v) { return int(std::lround(std::clamp(v, -1e6f, 1e6f))); };
            const Rect there {twips(p.left), twips(p.top), kTokenWidth, kTokenHeight};
            if (here.intersects(there))
                return true;
        }
        return false;
    };
    Point chosen = slots.at[0];
    for (int i = 0; i < slots.count; ++i)
        if (!covered(slots.at[std::size_t(i)])) {
            chosen = slots.at[std::size_t(i)];
            break;
        }
    return {float(chosen.x), float(chosen.y)};
}

} // namespace vantorel
