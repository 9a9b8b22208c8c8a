// SPDX-License-Identifier: MIT
// Undo and redo on the recording toolkit: which actions are steps, that undoing every step of
// an action brings the board back exactly and redoing them brings the action back, and the
// history's bounds.

#include "FakeToolkit.h"

#include <functional>
#include <gtest/gtest.h>

namespace vantorel {
namespace {

using namespace layout;

// A started board whose drags end only when told, as on every platform a drop comes first.
struct Bench {
    FakeToolkit toolkit;
    Form1 form {toolkit};
    Bench()
    {
        toolkit.dragEnd = DragEnd::Pending;
        form.formResize(1041, 741);
        form.formLoad();
    }
    void Drop(int token, double x, double y)
    {
        form.tokenMouseDown(token, MouseButton::Left);
        form.formDragDrop(x, y);
        form.tokenDragEnd(token, DragEnd::Drag);
    }
    void Arrow(int token, Key key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            form.formKeyDown(key, false, ButtonRef::token(token));
    }
};

struct HistoryTest : ::testing::Test, Bench { };

TEST_F(HistoryTest, EachChangeIsOneStepThatUndoAndRedoTakeExactly)
{
    using Act = std::function<void(Bench&)>;
    struct Row {
        std::string what;
        Act act;
        std::size_t steps;
    };
    const std::vector<Row> rows {
        {"a drag", [](Bench& t) { t.Drop(1, 200, 40); }, 1},
        {"a drop where the token stands", [](Bench& t) { t.Drop(1, 928, 96); }, 0},
        {"click to place",
            [](Bench& t) {
                t.form.tokenMouseDown(7, MouseButton::Left);
                t.form.tokenDragEnd(7, DragEnd::Click);
                t.form.formClick(560, 400);
            },
            1},
        {"five arrows on one token", [](Bench& t) { t.Arrow(1, Key::Left, 5); }, 1},
        {"arrows whatever the keys between",
            [](Bench& t) {
                t.Arrow(1, Key::Left, 3);
                t.form.formKeyDown(Key::Other, false, ButtonRef::token(1)); // Shift, say
                t.form.formKeyPress(u'x');
                t.Arrow(1, Key::Up, 2);
            },
            1},
        {"arrows on two tokens",
            [](Bench& t) { t.Arrow(1, Key::Left, 2), t.Arrow(2, Key::Left, 2); }, 2},
        {"arrows broken by a click on the token",
            [](Bench& t) {
                t.Arrow(1, Key::Left, 2);
                t.form.tokenMouseDown(1, MouseButton::Left);
                t.form.tokenDragEnd(1, DragEnd::Drag);
                t.Arrow(1, Key::Left, 2);
            },
            2},
        {"an arrow against the edge moves nothing",
            [](Bench& t) {
                t.Drop(1, 0, 0);
                t.Arrow(1, Key::Up, 3);
            },
            1},
        {"two sign jumps", [](Bench& t) { t.Arrow(3, Key::PageDown, 2); }, 2},
        {"a reset that moved tokens",
            [](Bench& t) {
                t.Drop(1, 200, 40);
                t.Arrow(2, Key::Left, 4);
                t.form.formKeyPress(u'C');
            },
            3},
        {"a reset with every token home, and Ctrl+C",
            [](Bench& t) {
                t.form.cmdclearClick();
                t.form.formKeyPress(char16_t(3));
            },
            0},
        {"the names hidden and shown",
            [](Bench& t) {
                t.form.clrrashiClick();
                t.form.commandClick(Command::ToggleNames);
            },
            2},
        {"printing", [](Bench& t) { t.form.cmdprintClick(); }, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Bench t;
        const ChartBoard start = t.form.board();
        row.act(t);
        const ChartBoard done = t.form.board();
        EXPECT_EQ(t.form.history().undoable(), row.steps);
        for (std::size_t i = 0; i < row.steps; ++i)
            t.form.editCommand(EditCommand::Undo);
        EXPECT_TRUE(SameArrangement(t.form.board(), start));
        EXPECT_EQ(t.toolkit.captions[FakeToolkit::Key(ButtonRef::command(Command::ToggleNames))],
            start.ToggleCaption());
        // Nothing left to undo: nothing changes.
        t.form.editCommand(EditCommand::Undo);
        EXPECT_TRUE(SameArrangement(t.form.board(), start));
        for (std::size_t i = 0; i < row.steps; ++i)
            t.form.editCommand(EditCommand::Redo);
        EXPECT_TRUE(SameArrangement(t.form.board(), done));
        EXPECT_EQ(t.form.history().redoable(), 0U);
        // The tokens on screen are where the board says.
        for (int token = 0; token < kTokenCount; ++token)
            EXPECT_EQ(t.toolkit.placed[FakeToolkit::Key(ButtonRef::token(token))].rect,
                ButtonPixels(t.form.board(), ButtonRef::token(token), t.form.viewport()));
    }
}

TEST_F(HistoryTest, ANewChangeDropsRedoAndUndoKeepsWhatIsNoArrangement)
{
    Drop(1, 200, 40);
    Drop(2, 300, 300);
    form.editCommand(EditCommand::Undo);
    EXPECT_EQ(form.history().redoable(), 1U);
    form.tokenMouseDown(7, MouseButton::Left);
    form.tokenDragEnd(7, DragEnd::Click);
    ASSERT_EQ(form.heldToken(), 7);
    // Undo lets go of the held token; the token last pressed stays the one the next drop moves.
    form.editCommand(EditCommand::Undo);
    EXPECT_EQ(form.heldToken(), std::nullopt);
    EXPECT_EQ(form.board().PressedToken(), 7);
    EXPECT_EQ(form.board().Token(1), (TokenPosition {13920, 1440}));
    Drop(3, 20, 20);
    EXPECT_EQ(form.history().redoable(), 0U);
    form.editCommand(EditCommand::Redo);
    EXPECT_EQ(toolkit.announced.back(), "Nothing to redo");
    EXPECT_EQ(form.board().Token(3), (TokenPosition {300, 300}));
}

TEST_F(HistoryTest, TheHistoryKeepsTheLastThousandSteps)
{
    // Each token in a column of its own, to and fro between two rows: no drop lands on a token.
    const auto dropAt = [](int i) {
        return std::pair {10 + (i % kTokenCount) * 60, 10 + (i / kTokenCount) % 2 * 300 + i / 20};
    };
    for (int i = 0; i < 1200; ++i)
        Drop(i % kTokenCount, dropAt(i).first, dropAt(i).second);
    EXPECT_EQ(form.history().undoable(), History::kDepth);
    for (std::size_t i = 0; i < History::kDepth; ++i)
        form.editCommand(EditCommand::Undo);
    const ChartBoard oldest = form.board();
    form.editCommand(EditCommand::Undo);
    EXPECT_EQ(toolkit.announced.back(), "Nothing to undo");
    EXPECT_TRUE(SameArrangement(form.board(), oldest));
    // The oldest board kept is the one after the first two hundred drops; Ketu's last of them
    // was drop 199, in twips 15 times its pixels.
    const auto [x, y] = dropAt(199);
    EXPECT_EQ(form.board().Token(9), (TokenPosition {float(x * 15), float(y * 15)}));
}

} // namespace
} // namespace vantorel
