// SPDX-License-Identifier: MIT
#pragma once

// What a screen reader is told of the painted board, decided here once for every backend: the
// twelve sign boxes in zodiac order from Aries, then the centre with its four captions from the
// top down, then the tray. A box is named by its western and Sanskrit names while they show, and
// by its place in the grid while they are hidden, followed by the planets whose tokens have their
// centre in it: "Aries, Mesha: Sun, Mars", "top row, third box: empty". The planets are part of
// the name because a reader's review commands read names alone.

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

// The planet a token stands for, as speech says it: "Ascendant", "Sun", "Moon" ...
std::string_view PlanetName(int token);

// Where a token stands, as speech says it: "in Aries", "in the centre", "in the tray", "off the
// chart"; while the names are hidden a box is told by its place ("in the top row, second box"),
// so that hiding the names for a quiz does not give the answers away.
std::string PlacePhrase(const ChartBoard&, TokenPlace);

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
