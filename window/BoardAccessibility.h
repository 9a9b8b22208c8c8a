// SPDX-License-Identifier: MIT
#pragma once

// What a screen reader is told of the painted board, decided here once for every backend: the
// twelve sign boxes in zodiac order from Aries, then the centre with its four captions from the
// top down, then the tray. A box is named by its western and Sanskrit names while they show, and
// by its place in the grid while they are hidden; a box, the centre and the tray are described by
// the planets whose tokens have their centre in them.

#include "ChartBoard.h"
#include "Toolkit.h"
#include "Viewport.h"

#include <array>
#include <optional>

namespace vantorel {

inline constexpr int kCentreItem = layout::kSignCount;
inline constexpr int kFirstCaptionItem = kCentreItem + 1;
inline constexpr int kTrayItem = kFirstCaptionItem + layout::kCaptionCount;
inline constexpr int kAccessibleItemCount = kTrayItem + 1;

using AccessibleItems = std::array<AccessibleItem, kAccessibleItemCount>;

AccessibleItems BoardAccessibleItems(const ChartBoard&, const Viewport&);

// Where a token stands, by the point at its centre.
struct TokenPlace {
    enum class Kind { Sign, Centre, Tray, Off };
    Kind kind = Kind::Off;
    int sign = 0; // for Kind::Sign
    friend constexpr bool operator==(TokenPlace, TokenPlace) = default;
};
TokenPlace PlaceOfToken(const ChartBoard&, int token);

// Tells a toolkit of the items, remembering what it told: after the first time only the items
// that read differently reach the toolkit, so a screen reader hears of what changed alone.
class AccessibleItemsPublisher {
public:
    // `everything`: every item, read anew (at start, and when the window's size changes).
    void Publish(Toolkit&, const ChartBoard&, const Viewport&, bool everything);

private:
    std::optional<AccessibleItems> m_told;
};

} // namespace vantorel
