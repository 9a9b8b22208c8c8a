// SPDX-License-Identifier: MIT
#include "BoardAccessibility.h"

#include <algorithm>
#include <string_view>

namespace vantorel {

using namespace layout;

namespace {

// The planets as a list says them; the tokens' captions are their abbreviations.
constexpr std::array<std::string_view, kTokenCount> kPlanetNames {
    "Ascendant", "Sun", "Moon", "Jupiter", "Mercury", "Venus", "Saturn", "Mars", "Rahu", "Ketu"};

// A box's place in the 4 x 4 grid, for when its names are hidden: "top row, second box".
constexpr std::array<std::string_view, 4> kRowWords {"top", "second", "third", "bottom"};
constexpr std::array<std::string_view, 4> kColumnWords {"first", "second", "third", "fourth"};

constexpr std::string_view kCentreName = "Centre";
constexpr std::string_view kTrayName = "Tray";
constexpr std::string_view kNoPlanets = "empty";
// Between a part's own name and the planets in it.
constexpr std::string_view kPlanetsAfter = ": ";

// The captions as they stand, from the top down: the title first, although its index is last.
constexpr std::array<int, kCaptionCount> kCaptionsTopDown = [] {
    std::array<int, kCaptionCount> order {};
    for (int i = 0; i < kCaptionCount; ++i)
        order[std::size_t(i)] = i;
    std::sort(order.begin(), order.end(), [](int a, int b) {
        return kCaptions[std::size_t(a)].rect.top < kCaptions[std::size_t(b)].rect.top;
    });
    return order;
}();

bool Inside(const Rect& r, double x, double y)
{
    return x >= r.left && x < r.right() && y >= r.top && y < r.bottom();
}

bool NamesShown(const ChartBoard& board, int sign)
{
    return board.WesternNameVisible(sign) || board.SanskritNameVisible(sign);
}

std::string GridPlace(int sign)
{
    const SignCell cell = kSignCells[std::size_t(sign)];
    return std::string(kRowWords[std::size_t(cell.row)]) + " row, "
        + std::string(kColumnWords[std::size_t(cell.column)]) + " box";
}

std::string SignName(const ChartBoard& board, int sign)
{
    const auto i = std::size_t(sign);
    std::string name;
    if (board.WesternNameVisible(sign))
        name = kWesternNames[i].caption;
    if (board.SanskritNameVisible(sign))
        name += (name.empty() ? "" : ", ") + std::string(kSanskritNames[i].caption);
    return name.empty() ? GridPlace(sign) : name;
}

std::string PlanetsIn(const ChartBoard& board, TokenPlace place)
{
    std::string list;
    for (int token = 0; token < kTokenCount; ++token)
        if (PlaceOfToken(board, token) == place)
            list += (list.empty() ? "" : ", ") + std::string(kPlanetNames[std::size_t(token)]);
    return list;
}

// A part's name with the planets in it; the centre, which is mostly a title, is not "empty".
std::string WithPlanets(std::string_view name, const std::string& planets, bool sayEmpty)
{
    if (planets.empty() && !sayEmpty)
        return std::string(name);
    return std::string(name) + std::string(kPlanetsAfter)
        + (planets.empty() ? std::string(kNoPlanets) : planets);
}

} // namespace

TokenPlace PlaceOfToken(const ChartBoard& board, int token)
{
    const TokenPosition p = board.Token(token);
    const double x = double(p.left) + kTokenWidth / 2.0;
    const double y = double(p.top) + kTokenHeight / 2.0;
    for (int sign = 0; sign < kSignCount; ++sign)
        if (Inside(SignBox(sign), x, y))
            return {TokenPlace::Kind::Sign, sign};
    if (Inside(kCaptionArea, x, y))
        return {TokenPlace::Kind::Centre};
    if (Inside(kTrayArea, x, y))
        return {TokenPlace::Kind::Tray};
    return {TokenPlace::Kind::Off};
}

std::string_view PlanetName(int token)
{
    return token >= 0 && token < kTokenCount ? kPlanetNames[std::size_t(token)]
                                             : std::string_view();
}

std::string PlacePhrase(const ChartBoard& board, TokenPlace place)
{
    switch (place.kind) {
    case TokenPlace::Kind::Sign:
        if (NamesShown(board, place.sign))
            return "in " + std::string(kWesternNames[std::size_t(place.sign)].caption);
        return "in the " + GridPlace(place.sign);
    case TokenPlace::Kind::Centre:
        return "in the centre";
    case TokenPlace::Kind::Tray:
        return "in the tray";
    case TokenPlace::Kind::Off:
        break;
    }
    return "off the chart";
}

AccessibleItems BoardAccessibleItems(const ChartBoard& board, const Viewport& view)
{
    using Role = AccessibleItem::Role;
    AccessibleItems items;
    for (int sign = 0; sign < kSignCount; ++sign)
        items[std::size_t(sign)] = {Role::Group, -1,
            WithPlanets(
                SignName(board, sign), PlanetsIn(board, {TokenPlace::Kind::Sign, sign}), true),
            {}, view.ToPixels(SignBox(sign))};
    items[kCentreItem] = {Role::Group, -1,
        WithPlanets(kCentreName, PlanetsIn(board, {TokenPlace::Kind::Centre}), false), {},
        view.ToPixels(kCaptionArea)};
    for (std::size_t i = 0; i < kCaptionsTopDown.size(); ++i) {
        const LabelRow& caption = kCaptions[std::size_t(kCaptionsTopDown[i])];
        items[kFirstCaptionItem + i] = {
            Role::Text, kCentreItem, std::string(caption.caption), {}, view.ToPixels(caption.rect)};
    }
    items[kTrayItem] = {Role::Group, -1,
        WithPlanets(kTrayName, PlanetsIn(board, {TokenPlace::Kind::Tray}), true), {},
        view.ToPixels(kTrayArea)};
    return items;
}

void AccessibleItemsPublisher::Publish(
    Toolkit& toolkit, const ChartBoard& board, const Viewport& view, bool everything)
{
    const AccessibleItems now = BoardAccessibleItems(board, view);
    for (std::size_t i = 0; i < now.size(); ++i)
        if (everything || !m_told || (*m_told)[i] != now[i])
            toolkit.SetAccessibleItem(int(i), now[i]);
    m_told = now;
}

} // namespace vantorel
