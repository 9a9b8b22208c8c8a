// SPDX-License-Identifier: MIT
// The layout's promises, checked by the compiler: a table edit that breaks one does not build.

#include "Layout.h"

namespace vantorel::layout {
namespace {

constexpr bool EverySignLabelInsideItsBox()
{
    for (int i = 0; i < kSignCount; ++i) {
        const Rect box = SignBox(i);
        if (!box.contains(kWesternNames[static_cast<std::size_t>(i)].rect)
            || !box.contains(kSanskritNames[static_cast<std::size_t>(i)].rect))
            return false;
    }
    return true;
}

constexpr bool SanskritStandsRightOfWestern()
{
    for (std::size_t i = 0; i < kSignCount; ++i) {
        const Rect w = kWesternNames[i].rect;
        const Rect s = kSanskritNames[i].rect;
        if (s.left < w.right() || s.top != w.top)
            return false;
    }
    return true;
}

constexpr bool WesternNameSitsAtBoxInset()
{
    for (int i = 0; i < kSignCount; ++i) {
        const Rect box = SignBox(i);
        const Rect w = kWesternNames[static_cast<std::size_t>(i)].rect;
        if (w.left != box.left + 120 || w.top != box.top + 120)
            return false;
    }
    return true;
}

template <typename Visit> constexpr void ForEachLabel(Visit visit)
{
    for (const LabelRow& r : kWesternNames)
        visit(r);
    for (const LabelRow& r : kSanskritNames)
        visit(r);
    for (const LabelRow& r : kCaptions)
        visit(r);
}

constexpr bool NoTwoLabelsOverlap()
{
    bool ok = true;
    int outer = 0;
    ForEachLabel([&](const LabelRow& a) {
        int inner = 0;
        ForEachLabel([&](const LabelRow& b) {
            if (inner > outer && a.rect.intersects(b.rect))
                ok = false;
            ++inner;
        });
        ++outer;
    });
    return ok;
}

// A line is as wide as it is drawn: two pixels of 15 twips around its centre.
constexpr Rect LineBand(const LineRow& l)
{
    const int half = l.widthPixels * 15 / 2;
    const int x1 = l.from.x < l.to.x ? l.from.x : l.to.x;
    const int x2 = l.from.x < l.to.x ? l.to.x : l.from.x;
    const int y1 = l.from.y < l.to.y ? l.from.y : l.to.y;
    const int y2 = l.from.y < l.to.y ? l.to.y : l.from.y;
    return {x1 - half, y1 - half, x2 - x1 + 2 * half, y2 - y1 + 2 * half};
}

constexpr bool NoLineCrossesALabel()
{
    bool ok = true;
    for (const LineRow& l : kLines)
        ForEachLabel([&](const LabelRow& r) {
            if (LineBand(l).intersects(r.rect))
                ok = false;
        });
    return ok;
}

constexpr bool LinesAreAxisAligned()
{
    for (const LineRow& l : kLines)
        if (l.from.x != l.to.x && l.from.y != l.to.y)
            return false;
    return true;
}

constexpr bool CaptionsInCentre()
{
    for (const LabelRow& r : kCaptions)
        if (!kCaptionArea.contains(r.rect))
            return false;
    return true;
}

constexpr bool TokenTopsFollowTheTray()
{
    // Token 0 is 120 twips below the 720-twip pattern; every later gap is 720.
    if (kTokens[0].rect.top != 720 + 120)
        return false;
    for (std::size_t i = 1; i < kTokenCount; ++i)
        if (kTokens[i].rect.top != 720 * static_cast<int>(i + 1) || kTokens[i].tabIndex != int(i))
            return false;
    return kTokens[0].tabIndex == 0;
}

constexpr bool ExtentIsTheBoards()
{
    int right = 0;
    int bottom = 0;
    auto grow = [&](const Rect& r) {
        right = r.right() > right ? r.right() : right;
        bottom = r.bottom() > bottom ? r.bottom() : bottom;
    };
    grow(kFrame.rect);
    for (const ButtonRow& b : kTokens)
        grow(b.rect);
    for (const ButtonRow& b : kCommands)
        grow(b.rect);
    ForEachLabel([&](const LabelRow& r) { grow(r.rect); });
    return right == kExtentRight && bottom == kExtentBottom;
}

constexpr bool TrayCentredOverCommands()
{
    const Rect c = kCommands[0].rect;
    return (kTrayLeft - c.left) == (c.right() - (kTrayLeft + kTokenWidth));
}

static_assert(EverySignLabelInsideItsBox());
static_assert(SanskritStandsRightOfWestern());
static_assert(WesternNameSitsAtBoxInset());
static_assert(NoTwoLabelsOverlap());
static_assert(NoLineCrossesALabel());
static_assert(LinesAreAxisAligned());
static_assert(CaptionsInCentre());
static_assert(TokenTopsFollowTheTray());
static_assert(ExtentIsTheBoards());
static_assert(TrayCentredOverCommands());
static_assert(SignBox(11).left == kFrame.rect.left && SignBox(11).top == kFrame.rect.top,
    "Pisces stands in the top-left corner");
static_assert(kWesternNames[9].caption.size() == 8, "the board reads \"Capricon\"");

} // namespace
} // namespace vantorel::layout
