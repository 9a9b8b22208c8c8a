// SPDX-License-Identifier: MIT
#include "ChartBoard.h"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

using namespace layout;

ChartBoard StartedBoard()
{
    ChartBoard board;
    board.StartUp();
    board.TakeChanges();
    return board;
}

void ExpectAllNamesVisible(const ChartBoard& board, bool visible)
{
    for (int i = 0; i < kSignCount; ++i) {
        EXPECT_EQ(board.WesternNameVisible(i), visible) << "Label3 " << i;
        EXPECT_EQ(board.SanskritNameVisible(i), visible) << "Label4 " << i;
    }
}

void ExpectAllBackgrounds(const ChartBoard& board, Colour c)
{
    EXPECT_EQ(board.WindowBackground(), c);
    for (int i = 0; i < kCaptionCount; ++i)
        EXPECT_EQ(board.CaptionBackground(i), c) << "Label1 " << i;
    for (int i = 0; i < kSignCount; ++i) {
        EXPECT_EQ(board.WesternNameBackground(i), c) << "Label3 " << i;
        EXPECT_EQ(board.SanskritNameBackground(i), c) << "Label4 " << i;
    }
}

TEST(RoundToInt16, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundToInt16(0.5f), 0);
    EXPECT_EQ(RoundToInt16(1.5f), 2);
    EXPECT_EQ(RoundToInt16(2.5f), 2);
    EXPECT_EQ(RoundToInt16(-0.5f), 0);
    EXPECT_EQ(RoundToInt16(-1.5f), -2);
    EXPECT_EQ(RoundToInt16(-2.5f), -2);
    EXPECT_EQ(RoundToInt16(2.4999f), 2);
    EXPECT_EQ(RoundToInt16(2.5001f), 3);
    EXPECT_EQ(RoundToInt16(13920.5f), 13920);
    EXPECT_EQ(RoundToInt16(13921.5f), 13922);
}

TEST(RoundToInt16, SaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(RoundToInt16(40000.0f), 32767);
    EXPECT_EQ(RoundToInt16(-40000.0f), -32768);
    EXPECT_EQ(RoundToInt16(32767.4f), 32767);
    EXPECT_EQ(RoundToInt16(std::numeric_limits<float>::infinity()), 32767);
    EXPECT_EQ(RoundToInt16(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(ChartBoard, CreatedInTheLayoutsState)
{
    const ChartBoard board;
    for (int i = 0; i < kTokenCount; ++i) {
        const Rect home = kTokens[std::size_t(i)].rect;
        EXPECT_EQ(board.Token(i), (TokenPosition {float(home.left), float(home.top)}));
    }
    ExpectAllNamesVisible(board, true);
    EXPECT_EQ(board.ToggleCaption(), "CLR RASHIS");
    ExpectAllBackgrounds(board, kLightYellow);
    EXPECT_FALSE(board.PressedToken().has_value());
    EXPECT_TRUE(board.ReservedButtonVisible());
}

TEST(ChartBoard, StartUpCapturesHomesColoursNamesAndHidesTheReservedButton)
{
    const ChartBoard board = StartedBoard();
    const int tops[kTokenCount] = {840, 1440, 2160, 2880, 3600, 4320, 5040, 5760, 6480, 7200};
    for (int i = 0; i < kTokenCount; ++i) {
        EXPECT_EQ(board.HomeLeft(i), 13920);
        EXPECT_EQ(board.HomeTop(i), tops[i]);
    }
    for (int i = 0; i < kSignCount; ++i) {
        EXPECT_EQ(board.WesternNameColour(i), (Colour {128, 128, 128}));
        EXPECT_EQ(board.SanskritNameColour(i), (Colour {64, 64, 64}));
    }
    EXPECT_FALSE(board.ReservedButtonVisible());
}

TEST(ChartBoard, StartUpRoundsWhereverTheTokensStandHalvesToEven)
{
    ChartBoard board;
    board.MoveToken(0, 100.5f, 201.5f);
    board.MoveToken(9, -2.5f, 7.49f);
    board.StartUp();
    EXPECT_EQ(board.HomeLeft(0), 100);
    EXPECT_EQ(board.HomeTop(0), 202);
    EXPECT_EQ(board.HomeLeft(9), -2);
    EXPECT_EQ(board.HomeTop(9), 7);
    board.ResetTokens();
    EXPECT_EQ(board.Token(0), (TokenPosition {100.0f, 202.0f}));
}

TEST(ChartBoard, ResetStraightAfterStartUpChangesNothing)
{
    ChartBoard board = StartedBoard();
    const ChartBoard before = board;
    board.ResetTokens();
    EXPECT_EQ(board, before);
    EXPECT_EQ(board.TakeChanges(), Change::None);
}

TEST(ChartBoard, MoveThenResetReturnsExactlyAndHomesNeverChange)
{
    ChartBoard board = StartedBoard();
    const ChartBoard atHome = board;
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < kTokenCount; ++i)
            board.MoveToken(i, 1234.75f + float(i * round), -55.25f * float(round));
    EXPECT_EQ(board.Token(7), (TokenPosition {1234.75f + 14.0f, -110.5f}));
    EXPECT_TRUE(Has(board.TakeChanges(), Change::Tokens));
    board.ResetTokens();
    EXPECT_EQ(board, atHome);
    for (int i = 0; i < kTokenCount; ++i) {
        EXPECT_EQ(board.HomeLeft(i), atHome.HomeLeft(i));
        EXPECT_EQ(board.HomeTop(i), atHome.HomeTop(i));
    }
}

TEST(ChartBoard, MoveTokenPutsTheCornerExactlyOnThePointWithoutClamping)
{
    ChartBoard board = StartedBoard();
    board.MoveToken(7, 15370.5f, 10870.25f); // near the bottom-right edge, mostly outside
    EXPECT_EQ(board.Token(7), (TokenPosition {15370.5f, 10870.25f}));
    board.MoveToken(3, -900.0f, 1.0e9f);
    EXPECT_EQ(board.Token(3), (TokenPosition {-900.0f, 1.0e9f}));
    // Other tokens stay put.
    EXPECT_EQ(board.Token(2), (TokenPosition {13920.0f, 2160.0f}));
}

TEST(ChartBoard, MoveTokenRefusesWhatCannotBeShown)
{
    ChartBoard board = StartedBoard();
    const ChartBoard before = board;
    board.MoveToken(10, 1, 1);
    board.MoveToken(-1, 1, 1);
    board.MoveToken(0, std::numeric_limits<float>::quiet_NaN(), 1);
    board.MoveToken(0, 1, std::numeric_limits<float>::infinity());
    EXPECT_EQ(board, before);
}

TEST(ChartBoard, ToggleHidesAllTwentyFourThenShowsThem)
{
    ChartBoard board = StartedBoard();
    board.ToggleSignNames();
    ExpectAllNamesVisible(board, false);
    EXPECT_EQ(board.ToggleCaption(), "SHOW RASHIS");
    EXPECT_TRUE(Has(board.TakeChanges(), Change::SignNames));
    board.ToggleSignNames();
    ExpectAllNamesVisible(board, true);
    EXPECT_EQ(board.ToggleCaption(), "CLR RASHIS");
}

TEST(ChartBoard, ToggleAndResetLeaveEachOtherAlone)
{
    ChartBoard board = StartedBoard();
    board.MoveToken(4, 3000, 400);
    board.ToggleSignNames();
    EXPECT_EQ(board.Token(4), (TokenPosition {3000, 400}));
    board.ResetTokens();
    ExpectAllNamesVisible(board, false);
    EXPECT_EQ(board.ToggleCaption(), "SHOW RASHIS");
}

TEST(ChartBoard, PrintPaletteTurnsEveryBackgroundWhiteAndRestoreBringsItAllBack)
{
    ChartBoard board = StartedBoard();
    board.ToggleSignNames();
    const ChartBoard before = board;

    board.ApplyPrintPalette();
    ExpectAllBackgrounds(board, kWhite);
    ExpectAllNamesVisible(board, false);
    EXPECT_EQ(board.WesternNameColour(3), before.WesternNameColour(3));
    EXPECT_TRUE(Has(board.TakeChanges(), Change::Palette));

    board.RestoreScreenPalette();
    EXPECT_EQ(board, before);
}

TEST(ChartBoard, PressedTokenIsNoneUntilSetAndSurvivesAReset)
{
    ChartBoard board = StartedBoard();
    EXPECT_FALSE(board.PressedToken());
    board.SetPressedToken(5);
    board.ResetTokens();
    board.ToggleSignNames();
    EXPECT_EQ(board.PressedToken(), 5);
    board.SetPressedToken(42); // no such token: the last real press stands
    EXPECT_EQ(board.PressedToken(), 5);
}

TEST(Layout, SignBoxesRunClockwiseFromPiscesTopLeft)
{
    // Walking the outer ring clockwise from the top-left corner must meet the signs in order
    // Pisces, Aries, Taurus, ... Aquarius.
    const int ring[12][2] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 3}, {2, 3}, {3, 3}, {3, 2}, {3, 1},
        {3, 0}, {2, 0}, {1, 0}};
    for (int step = 0; step < 12; ++step) {
        const int sign = (11 + step) % 12;
        const Rect box = SignBox(sign);
        EXPECT_EQ(box.left, kColumnEdges[std::size_t(ring[step][1])]) << sign;
        EXPECT_EQ(box.top, kRowEdges[std::size_t(ring[step][0])]) << sign;
    }
    EXPECT_EQ(SignBox(0).left, 2640);
    EXPECT_EQ(SignBox(5).right(), 10755);
    EXPECT_EQ(SignBox(5).bottom(), 10875);
}

} // namespace
} // namespace vantorel
