// SPDX-License-Identifier: MIT
// What a screen reader is told of the painted board, on the recording toolkit: every part's
// wording and rectangle in each state of the board, and that a change reaches the toolkit only
// for the parts it changed.

#include "FakeToolkit.h"
#include "KeyMoves.h"

#include <functional>
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
        PixelRect rect;
    };
    const std::vector<Row> rows {
        {State::Start, 0, Role::Group, -1, "Aries, Mesha: empty", kAries},
        {State::Start, 4, Role::Group, -1, "Leo, Simha: empty", kLeo},
        {State::Start, 9, Role::Group, -1, "Capricon, Makara: empty", {8, 368, 168, 184}},
        {State::Start, 11, Role::Group, -1, "Pisces, Meenam: empty", kPisces},
        {State::Start, 12, Role::Group, -1, "Centre", kCentre},
        // The captions from the top down, inside the centre.
        {State::Start, 13, Role::Text, 12, "Vantorel - Teaching Tool for a Jyotishi",
            {192, 288, 345, 25}},
        {State::Start, 14, Role::Text, 12, "www.vantorel.org", {264, 344, 217, 25}},
        {State::Start, 16, Role::Text, 12, "\u00A9 The Vantorel developers", {200, 416, 321, 25}},
        {State::Start, 17, Role::Group, -1, std::string("Tray: ") + everyPlanet, kTray},
        {State::Placed, 0, Role::Group, -1, "Aries, Mesha: Sun, Mars", kAries},
        {State::Placed, 11, Role::Group, -1, "Pisces, Meenam: Jupiter", kPisces},
        {State::Placed, 12, Role::Group, -1, "Centre: Moon", kCentre},
        {State::Placed, 17, Role::Group, -1, "Tray: Ascendant, Mercury, Venus, Saturn, Rahu",
            kTray},
        // Hidden names: each box by its place in the 4 x 4 grid.
        {State::Hidden, 0, Role::Group, -1, "top row, second box: Sun, Mars", kAries},
        {State::Hidden, 4, Role::Group, -1, "third row, fourth box: empty", kLeo},
        {State::Hidden, 8, Role::Group, -1, "bottom row, first box: empty", {8, 552, 168, 173}},
        {State::Hidden, 10, Role::Group, -1, "second row, first box: empty", {8, 192, 168, 176}},
        {State::Hidden, 11, Role::Group, -1, "top row, first box: Jupiter", kPisces},
        {State::Hidden, 13, Role::Text, 12, "Vantorel - Teaching Tool for a Jyotishi",
            {192, 288, 345, 25}},
        {State::Reset, 0, Role::Group, -1, "top row, second box: empty", kAries},
        {State::Reset, 12, Role::Group, -1, "Centre", kCentre},
        {State::Reset, 17, Role::Group, -1, std::string("Tray: ") + everyPlanet, kTray},
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
        // The planets are in the name, which every reading command reads.
        EXPECT_EQ(told.description, "");
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

namespace vantorel {
namespace {

// What each action tells a screen reader, from a board with Sun in Aries and Moon held, in turn
// with the names shown and hidden: one announcement per action, none for a step that changes no
// place, and never a sign's name while the names are hidden.
TEST(BoardAccessibility, EveryActionIsToldOnceAndHiddenNamesStayHidden)
{
    using Act = std::function<void(Form1&)>;
    const auto key = [](Key k, int token, bool shift = false) {
        return [=](Form1& f) { f.formKeyDown(k, shift, ButtonRef::token(token)); };
    };
    struct Row {
        std::string what;
        bool hidden;
        Act act;
        std::vector<std::string> said;
    };
    const std::vector<Row> rows {
        {"a pixel's step inside Aries", false, key(Key::Right, 1), {}},
        {"steps out of Aries into Taurus", false,
            [&](Form1& f) {
                for (int i = 0; i < 15; ++i)
                    f.formKeyDown(Key::Right, true, ButtonRef::token(1));
            },
            {"Sun in Taurus"}},
        {"Page Down: the next sign", false, key(Key::PageDown, 1), {"Sun in Taurus"}},
        {"Page Up from the tray: Pisces", false, key(Key::PageUp, 4), {"Mercury in Pisces"}},
        {"Page Down while hidden", true, key(Key::PageDown, 1), {"Sun in the top row, third box"}},
        {"reset", false, [](Form1& f) { f.formKeyPress(u'c'); }, {"All planets in the tray"}},
        {"hide the names", false, [](Form1& f) { f.clrrashiClick(); }, {"Sign names hidden"}},
        {"show them again", true, [](Form1& f) { f.clrrashiClick(); }, {"Sign names shown"}},
        {"put the held Moon down", false, [](Form1& f) { f.formClick(560, 400); }, {"Moon in Leo"}},
        // Hiding the names let go of the Moon.
        {"pick up and put down while hidden", true,
            [](Form1& f) {
                f.tokenMouseDown(2, MouseButton::Left);
                f.tokenDragEnd(2, DragEnd::Click);
                f.formClick(560, 400);
            },
            {"Moon held: click where to put it", "Moon in the third row, fourth box"}},
        {"Escape lets go", false, [](Form1& f) { f.formKeyDown(Key::Escape, false, {}); },
            {"Moon stays in the tray"}},
        {"pick up another", false,
            [](Form1& f) {
                f.tokenMouseDown(7, MouseButton::Left);
                f.tokenDragEnd(7, DragEnd::Click);
            },
            {"Mars held: click where to put it"}},
        {"a second click lets go", false,
            [](Form1& f) {
                f.tokenMouseDown(2, MouseButton::Left);
                f.tokenDragEnd(2, DragEnd::Click);
            },
            {"Moon stays in the tray"}},
        {"a drop", false,
            [](Form1& f) {
                f.tokenMouseDown(3, MouseButton::Left);
                f.formDragDrop(20, 20);
                f.tokenDragEnd(3, DragEnd::Drag);
            },
            {"Jupiter in Pisces"}},
        {"a drop off the chart", true,
            [](Form1& f) {
                f.tokenMouseDown(3, MouseButton::Left);
                f.formDragDrop(750, 300);
            },
            {"Jupiter off the chart"}},
        {"undo a move", false, [](Form1& f) { f.editCommand(EditCommand::Undo); },
            {"Undone: Sun in the tray"}},
        {"undo while hidden", true, [](Form1& f) { f.editCommand(EditCommand::Undo); },
            {"Undone: sign names shown"}},
        {"redo with nothing to redo", false, [](Form1& f) { f.editCommand(EditCommand::Redo); },
            {"Nothing to redo"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FakeToolkit toolkit;
        // As on every platform, a drop arrives before the drag's end is reported.
        toolkit.dragEnd = DragEnd::Pending;
        Form1 form {toolkit};
        form.formResize(1041, 741);
        form.formLoad();
        Drop(form, 1, 200, 40); // Sun in Aries
        form.tokenMouseDown(2, MouseButton::Left);
        form.tokenDragEnd(2, DragEnd::Click); // Moon held
        if (row.hidden)
            form.clrrashiClick();
        toolkit.announced.clear();
        row.act(form);
        EXPECT_EQ(toolkit.announced, row.said);
        if (!row.hidden || form.board().WesternNameVisible(0))
            continue;
        std::string heard;
        for (int token = 0; token < kTokenCount; ++token)
            heard += toolkit.descriptions[FakeToolkit::Key(ButtonRef::token(token))] + "|";
        for (const std::string& said : toolkit.announced)
            heard += said + "|";
        for (const auto& names : {kWesternNames, kSanskritNames})
            for (const LabelRow& label : names)
                EXPECT_EQ(heard.find(label.caption), std::string::npos) << heard;
    }
}

// Page Up and Page Down land a token inside the box, below the names, clear of the box's
// lines and of every other slot; the next token into the same box takes the next free slot.
TEST(KeyMoves, SignJumpsLandInFreeSlotsBelowTheNames)
{
    for (int sign = 0; sign < kSignCount; ++sign) {
        SCOPED_TRACE(kWesternNames[std::size_t(sign)].caption);
        const SignSlots slots = SlotsInSign(sign);
        ASSERT_GE(slots.count, 9);
        const Rect box = SignBox(sign);
        const Rect inner {box.left + 30, box.top + 30, box.width - 60, box.height - 60};
        for (int i = 0; i < slots.count; ++i) {
            const Point p = slots.at[std::size_t(i)];
            const Rect token {p.x, p.y, kTokenWidth, kTokenHeight};
            EXPECT_TRUE(inner.contains(token));
            EXPECT_FALSE(token.intersects(kWesternNames[std::size_t(sign)].rect));
            EXPECT_FALSE(token.intersects(kSanskritNames[std::size_t(sign)].rect));
            for (int j = 0; j < i; ++j) {
                const Point q = slots.at[std::size_t(j)];
                EXPECT_FALSE(token.intersects({q.x, q.y, kTokenWidth, kTokenHeight}));
            }
        }
    }
    FakeToolkit toolkit;
    Form1 form {toolkit};
    form.formResize(1041, 741);
    form.formLoad();
    std::vector<TokenPosition> landed;
    for (int token = 0; token < kTokenCount; ++token) {
        form.formKeyDown(Key::PageDown, false, ButtonRef::token(token));
        EXPECT_EQ(PlaceOfToken(form.board(), token), (TokenPlace {TokenPlace::Kind::Sign, 0}));
        landed.push_back(form.board().Token(token));
    }
    const SignSlots aries = SlotsInSign(0);
    for (int token = 0; token < kTokenCount; ++token) {
        // Ten tokens, fewer slots: the rest share the first slot.
        const Point slot = aries.at[std::size_t(token < aries.count ? token : 0)];
        EXPECT_EQ(landed[std::size_t(token)], (TokenPosition {float(slot.x), float(slot.y)}));
    }
    // Round the zodiac and back: twelve jumps forward return to the same box.
    for (int i = 0; i < kSignCount; ++i)
        form.formKeyDown(Key::PageDown, false, ButtonRef::token(0));
    EXPECT_EQ(PlaceOfToken(form.board(), 0), (TokenPlace {TokenPlace::Kind::Sign, 0}));
    form.formKeyDown(Key::PageUp, false, ButtonRef::token(0));
    EXPECT_EQ(PlaceOfToken(form.board(), 0), (TokenPlace {TokenPlace::Kind::Sign, 11}));
}

} // namespace
} // namespace vantorel
