// SPDX-License-Identifier: MIT
// What a screen reader is told of the painted board, on the recording toolkit: every part's
// wording and rectangle in each state of the board, and that a change reaches the toolkit only
// for the parts it changed.

#include "FakeToolkit.h"

#include <gtest/gtest.h>
#include <set>

namespace vantorel {
namespace {

using namespace layout;
using Role = AccessibleItem::Role;

enum class State { Start, Placed, Hidden, Reset };

// Drops a token with its corner at a point of the window, in pixels at scale 1.
void Drop(Form1& form, int token, double x, double y)
{
    form.tokenMouseDown(token, MouseButton::Left);
    form.formDragDrop(x, y);
}

void Reach(Form1& form, State state)
{
    if (state == State::Start)
        return;
    Drop(form, 1, 200, 40); // Sun: centre in Aries
    Drop(form, 7, 250, 100); // Mars: Aries too
    Drop(form, 2, 300, 300); // Moon: the centre
    Drop(form, 3, 20, 20); // Jupiter: Pisces
    Drop(form, 9, 750, 300); // Ketu: between the chart and the tray, on no part
    if (state == State::Placed)
        return;
    form.clrrashiClick();
    if (state == State::Reset)
        form.cmdclearClick();
}

TEST(BoardAccessibility, EveryPartReadsAsTheBoardStandsAndWhereItIsDrawn)
{
    constexpr PixelRect kAries {176, 16, 184, 176};
    constexpr PixelRect kPisces {8, 16, 168, 176};
    constexpr PixelRect kLeo {544, 368, 173, 184};
    constexpr PixelRect kCentre {176, 192, 368, 360};
    constexpr PixelRect kTray {928, 56, 49, 457};
    const std::string everyPlanet
        = "Ascendant, Sun, Moon, Jupiter, Mercury, Venus, Saturn, Mars, Rahu, Ketu";
    struct Row {
        State state;
        int item;
        Role role;
        int parent;
        std::string name;
        std::string description;
        PixelRect rect;
    };
    const std::vector<Row> rows {
        {State::Start, 0, Role::Group, -1, "Aries, Mesha", "empty", kAries},
        {State::Start, 4, Role::Group, -1, "Leo, Simha", "empty", kLeo},
        {State::Start, 9, Role::Group, -1, "Capricon, Makara", "empty", {8, 368, 168, 184}},
        {State::Start, 11, Role::Group, -1, "Pisces, Meenam", "empty", kPisces},
        {State::Start, 12, Role::Group, -1, "Centre", "empty", kCentre},
        // The captions from the top down, inside the centre.
        {State::Start, 13, Role::Text, 12, "Vantorel - Teaching Tool for a Jyotishi", "",
            {192, 288, 345, 25}},
        {State::Start, 14, Role::Text, 12, "www.vantorel.org", "", {264, 344, 217, 25}},
        {State::Start, 16, Role::Text, 12, "\u00A9 The Vantorel developers", "",
            {200, 416, 321, 25}},
        {State::Start, 17, Role::Group, -1, "Tray", everyPlanet, kTray},
        {State::Placed, 0, Role::Group, -1, "Aries, Mesha", "Sun, Mars", kAries},
        {State::Placed, 11, Role::Group, -1, "Pisces, Meenam", "Jupiter", kPisces},
        {State::Placed, 12, Role::Group, -1, "Centre", "Moon", kCentre},
        {State::Placed, 17, Role::Group, -1, "Tray", "Ascendant, Mercury, Venus, Saturn, Rahu",
            kTray},
        // Hidden names: each box by its place in the 4 x 4 grid.
        {State::Hidden, 0, Role::Group, -1, "top row, second box", "Sun, Mars", kAries},
        {State::Hidden, 4, Role::Group, -1, "third row, fourth box", "empty", kLeo},
        {State::Hidden, 8, Role::Group, -1, "bottom row, first box", "empty", {8, 552, 168, 173}},
        {State::Hidden, 10, Role::Group, -1, "second row, first box", "empty", {8, 192, 168, 176}},
        {State::Hidden, 11, Role::Group, -1, "top row, first box", "Jupiter", kPisces},
        {State::Hidden, 13, Role::Text, 12, "Vantorel - Teaching Tool for a Jyotishi", "",
            {192, 288, 345, 25}},
        {State::Reset, 0, Role::Group, -1, "top row, second box", "empty", kAries},
        {State::Reset, 12, Role::Group, -1, "Centre", "empty", kCentre},
        {State::Reset, 17, Role::Group, -1, "Tray", everyPlanet, kTray},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(
            "state " + std::to_string(int(row.state)) + ", item " + std::to_string(row.item));
        FakeToolkit toolkit;
        Form1 form {toolkit};
        form.formResize(1041, 741);
        form.formLoad();
        Reach(form, row.state);
        ASSERT_EQ(toolkit.items.size(), std::size_t(kAccessibleItemCount));
        const AccessibleItem& told = toolkit.items[row.item];
        EXPECT_EQ(told.role, row.role);
        EXPECT_EQ(told.parent, row.parent);
        EXPECT_EQ(told.name, row.name);
        EXPECT_EQ(told.description, row.description);
        EXPECT_EQ(told.rect, row.rect);
        // The toolkit holds what the board says now, however it got there.
        EXPECT_EQ(told, BoardAccessibleItems(form.board(), form.viewport())[std::size_t(row.item)]);
    }
}

TEST(BoardAccessibility, AChangeIsToldForThePartsItChangesAlone)
{
    FakeToolkit toolkit;
    Form1 form {toolkit};
    form.formResize(1041, 741);
    form.formLoad();
    const auto toldSince = [&](const std::map<int, int>& before) {
        std::set<int> items;
        for (const auto& [item, times] : toolkit.itemsTold)
            if (times != before.at(item))
                items.insert(item);
        return items;
    };
    auto before = toolkit.itemsTold;
    Drop(form, 1, 200, 40);
    EXPECT_EQ(toldSince(before), (std::set<int> {0, kTrayItem}));
    before = toolkit.itemsTold;
    form.formKeyDown(Key::Right, false, ButtonRef::token(1)); // still in Aries
    form.cmdprintClick();
    EXPECT_EQ(toldSince(before), (std::set<int> {}));
    form.clrrashiClick();
    std::set<int> boxes;
    for (int sign = 0; sign < kSignCount; ++sign)
        boxes.insert(sign);
    EXPECT_EQ(toldSince(before), boxes);
    before = toolkit.itemsTold;
    form.cmdclearClick();
    EXPECT_EQ(toldSince(before), (std::set<int> {0, kTrayItem}));

    // A new size moves every part; at a scale that is no whole number neighbours still share
    // their edges, as the picture's lines do.
    before = toolkit.itemsTold;
    form.formResize(1353, 963);
    EXPECT_EQ(toldSince(before).size(), std::size_t(kAccessibleItemCount));
    const auto& items = toolkit.items;
    EXPECT_EQ(items.at(11).rect.x + items.at(11).rect.width, items.at(0).rect.x); // Pisces, Aries
    EXPECT_EQ(items.at(0).rect.y + items.at(0).rect.height, items.at(kCentreItem).rect.y);
    EXPECT_EQ(items.at(10).rect.y + items.at(10).rect.height, items.at(9).rect.y);
    EXPECT_EQ(items.at(kTrayItem).rect, form.viewport().ToPixels(kTrayArea));
}

} // namespace
} // namespace vantorel
