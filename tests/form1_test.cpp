// SPDX-License-Identifier: MIT
#include "FakeToolkit.h"
#include "FontFaces.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

namespace vantorel {
namespace {

using namespace layout;

constexpr ButtonRef kToggle = ButtonRef::command(Command::ToggleNames);
constexpr ButtonRef kReserved = ButtonRef::command(Command::Arudha);

struct Form1Test : ::testing::Test {
    FakeToolkit toolkit;
    Form1 form {toolkit};
    void SetUp() override
    {
        const SizeF size = Viewport::DefaultClientSize();
        form.formResize(size.width, size.height);
        form.formLoad();
    }
    PixelRect TokenPixels(int i)
    {
        return toolkit.placed[FakeToolkit::Key(ButtonRef::token(i))].rect;
    }
};

TEST_F(Form1Test, LoadStartsTheBoardAndShowsItsState)
{
    EXPECT_EQ(form.board().HomeTop(0), 840);
    EXPECT_FALSE(toolkit.visible[FakeToolkit::Key(kReserved)]);
    EXPECT_TRUE(toolkit.visible[FakeToolkit::Key(kToggle)]);
    EXPECT_EQ(toolkit.captions[FakeToolkit::Key(kToggle)], "CLR RASHIS");
    EXPECT_EQ(toolkit.captions[FakeToolkit::Key(ButtonRef::token(9))], "Ket");
    // One pixel is 15 twips: "Asc" at 13920, 840, 735 x 495 twips.
    EXPECT_EQ(TokenPixels(0), (PixelRect {928, 56, 49, 33}));
    EXPECT_EQ(toolkit.placed[FakeToolkit::Key(ButtonRef::command(Command::Print))].rect,
        (PixelRect {880, 640, 145, 25}));
    EXPECT_DOUBLE_EQ(toolkit.placed[FakeToolkit::Key(ButtonRef::token(0))].fontPixels, 18.0);
}

TEST_F(Form1Test, ResetAndTheCKeyBringEveryTokenHome)
{
    const PixelRect home = TokenPixels(7);
    for (char16_t key : {u'c', u'C'}) {
        toolkit.drags.clear();
        form.tokenMouseDown(7, MouseButton::Left);
        form.formDragDrop(300.0, 400.0);
        EXPECT_EQ(TokenPixels(7), (PixelRect {300, 400, 49, 33}));
        form.formKeyPress(key);
        EXPECT_EQ(TokenPixels(7), home);
    }
    form.tokenMouseDown(2, MouseButton::Left);
    form.formDragDrop(10.0, 10.0);
    form.cmdclearClick();
    EXPECT_EQ(form.board().Token(2), (TokenPosition {13920, 2160}));
}

TEST_F(Form1Test, OtherCharactersAndCtrlCDoNothing)
{
    form.tokenMouseDown(1, MouseButton::Left);
    form.formDragDrop(150.0, 30.0);
    const ChartBoard moved = form.board();
    for (char16_t key : {u'x', char16_t(3), u'r', u' ', u'\r', char16_t(0x0441) /* Cyrillic es */})
        form.formKeyPress(key);
    EXPECT_EQ(form.board(), moved);
}

TEST_F(Form1Test, ToggleRelabelsTheButtonAndRepaints)
{
    const int before = toolkit.repaints;
    form.commandClick(Command::ToggleNames);
    EXPECT_EQ(toolkit.captions[FakeToolkit::Key(kToggle)], "SHOW RASHIS");
    EXPECT_FALSE(form.board().SanskritNameVisible(4));
    EXPECT_GT(toolkit.repaints, before);
    form.commandClick(Command::ToggleNames);
    EXPECT_EQ(toolkit.captions[FakeToolkit::Key(kToggle)], "CLR RASHIS");
    EXPECT_TRUE(form.board().WesternNameVisible(4));
}

TEST_F(Form1Test, ExitClosesTheWindowAndTheReservedButtonDoesNothing)
{
    const ChartBoard before = form.board();
    form.commandClick(Command::Arudha);
    EXPECT_EQ(form.board(), before);
    EXPECT_EQ(toolkit.closes, 0);
    form.commandClick(Command::Exit);
    EXPECT_EQ(toolkit.closes, 1);
}

TEST_F(Form1Test, AnyMouseButtonOnATokenOpensADragForIt)
{
    for (MouseButton b : {MouseButton::Left, MouseButton::Right, MouseButton::Middle}) {
        form.tokenMouseDown(int(b) + 3, b);
        EXPECT_EQ(toolkit.drags.back(), int(b) + 3);
        EXPECT_EQ(form.board().PressedToken(), int(b) + 3);
    }
    const DragOffer offer = form.tokenStartDrag(3);
    EXPECT_EQ(offer.allowedEffects, DropEffect::Move);
    EXPECT_TRUE(offer.text.empty());
}

TEST_F(Form1Test, ADropInsideTheDragLoopMovesThePressedTokenCornerToThePoint)
{
    // The road of one drag: press "Sun", drop over Aries, inside the press handler.
    toolkit.onDrag = [&] { form.formDragDrop(200.0, 40.0); };
    form.tokenMouseDown(1, MouseButton::Left);
    EXPECT_EQ(form.board().Token(1), (TokenPosition {3000.0f, 600.0f}));
    EXPECT_TRUE(SignBox(0).contains({3000, 600, 1, 1}));
}

TEST_F(Form1Test, ADropBeforeAnyPressMovesNothing)
{
    const ChartBoard before = form.board();
    form.formDragDrop(100.0, 100.0);
    EXPECT_EQ(form.board(), before);
}

TEST_F(Form1Test, DropPointsMapToTwipsAtEveryScale)
{
    form.tokenMouseDown(5, MouseButton::Left);
    form.formResize(1041.0 * 2, 741.0 * 2);
    form.formDragDrop(400.5, 60.0);
    EXPECT_FLOAT_EQ(form.board().Token(5).left, 3003.75f);
    EXPECT_FLOAT_EQ(form.board().Token(5).top, 450.0f);

    // A wider window centres the board: the extra width is split on both sides.
    form.formResize(1041.0 + 200.0, 741.0);
    form.formDragDrop(100.0 + 200.0, 15.0);
    EXPECT_FLOAT_EQ(form.board().Token(5).left, 3000.0f);
    EXPECT_FLOAT_EQ(form.board().Token(5).top, 225.0f);
}

TEST_F(Form1Test, AtTwiceTheSizeEveryButtonIsExactlyTwiceItsPixelRectangle)
{
    std::map<std::pair<int, int>, PixelRect> atOne;
    for (const auto& [key, p] : toolkit.placed)
        atOne[key] = p.rect;
    form.formResize(1041.0 * 2, 741.0 * 2);
    for (const auto& [key, p] : toolkit.placed) {
        const PixelRect one = atOne[key];
        EXPECT_EQ(p.rect, (PixelRect {one.x * 2, one.y * 2, one.width * 2, one.height * 2}));
    }
    EXPECT_DOUBLE_EQ(toolkit.placed[FakeToolkit::Key(ButtonRef::token(0))].fontPixels, 36.0);
}

TEST_F(Form1Test, PrintingHappensOnWhiteAndTheScreenPaletteAlwaysComesBack)
{
    Colour duringPrint {};
    toolkit.onPrint = [&] { duringPrint = form.board().WindowBackground(); };
    form.cmdprintClick();
    EXPECT_EQ(toolkit.prints, 1);
    EXPECT_EQ(duringPrint, kWhite);
    EXPECT_EQ(form.board().WindowBackground(), kLightYellow);

    form.clrrashiClick();
    toolkit.onPrint = [] { throw std::runtime_error("printer on fire"); };
    EXPECT_NO_THROW(form.cmdprintClick());
    EXPECT_EQ(form.board().WesternNameBackground(2), kLightYellow);
    EXPECT_EQ(form.board().CaptionBackground(3), kLightYellow);
    EXPECT_FALSE(form.board().WesternNameVisible(2));
}

TEST_F(Form1Test, ArrowKeysMoveTheFocusedTokenAndStopAtTheBoardsEdge)
{
    const std::optional<ButtonRef> sun = ButtonRef::token(1);
    struct Case {
        Key key;
        bool shift;
        float dx, dy;
    };
    for (const Case& c : {Case {Key::Right, false, 15, 0}, Case {Key::Left, false, -15, 0},
             Case {Key::Down, false, 0, 15}, Case {Key::Up, false, 0, -15},
             Case {Key::Right, true, 150, 0}, Case {Key::Left, true, -150, 0},
             Case {Key::Down, true, 0, 150}, Case {Key::Up, true, 0, -150}}) {
        const TokenPosition before = form.board().Token(1);
        EXPECT_TRUE(form.formKeyDown(c.key, c.shift, sun));
        EXPECT_EQ(form.board().Token(1), (TokenPosition {before.left + c.dx, before.top + c.dy}));
    }
    // One pixel at 1:1 on screen, and the description follows the token.
    form.formKeyDown(Key::Right, false, sun);
    EXPECT_EQ(TokenPixels(1).x, 929);

    // The top-left corner keeps within x 0 to 15375 and y 0 to 10875, less the token's size.
    for (int i = 0; i < 200; ++i) {
        form.formKeyDown(Key::Right, true, sun);
        form.formKeyDown(Key::Up, true, sun);
    }
    EXPECT_EQ(form.board().Token(1), (TokenPosition {15375 - 735, 0}));
    for (int i = 0; i < 200; ++i) {
        form.formKeyDown(Key::Left, true, sun);
        form.formKeyDown(Key::Down, true, sun);
    }
    EXPECT_EQ(form.board().Token(1), (TokenPosition {0, 10875 - 495}));

    // A token dropped beyond the edge does not jump back, nor go further out.
    form.tokenMouseDown(2, MouseButton::Left);
    form.formDragDrop(1100.0, -20.0);
    const std::optional<ButtonRef> moon = ButtonRef::token(2);
    form.formKeyDown(Key::Right, false, moon);
    form.formKeyDown(Key::Up, false, moon);
    EXPECT_EQ(form.board().Token(2), (TokenPosition {16500, -300}));
    form.formKeyDown(Key::Left, false, moon);
    form.formKeyDown(Key::Down, false, moon);
    EXPECT_EQ(form.board().Token(2), (TokenPosition {16485, -285}));

    // Reset brings keyboard moves home; a drag afterwards starts from where the token stands.
    form.formKeyPress(u'c');
    EXPECT_EQ(form.board().Token(1), (TokenPosition {13920, 1440}));
    form.formKeyDown(Key::Down, false, sun);
    form.tokenMouseDown(1, MouseButton::Left);
    EXPECT_EQ(toolkit.drags.back(), 1);
    form.formDragDrop(200.0, 40.0);
    EXPECT_EQ(form.board().Token(1), (TokenPosition {3000, 600}));
}

TEST_F(Form1Test, EnterPressesTheFocusedCommandButtonButNeverAToken)
{
    form.tokenMouseDown(7, MouseButton::Left);
    form.formDragDrop(600.0, 400.0);
    const ChartBoard moved = form.board();
    EXPECT_TRUE(form.formKeyDown(Key::Enter, false, ButtonRef::token(7)));
    EXPECT_TRUE(form.formKeyDown(Key::Space, false, ButtonRef::token(7)));
    EXPECT_EQ(form.board(), moved);
    EXPECT_EQ(toolkit.drags.size(), 1u);

    // Keys the board does not use go on to the control.
    EXPECT_FALSE(form.formKeyDown(Key::Other, false, ButtonRef::token(7)));
    EXPECT_FALSE(form.formKeyDown(Key::Left, false, ButtonRef::command(Command::Clear)));
    EXPECT_FALSE(form.formKeyDown(Key::Space, false, ButtonRef::command(Command::Clear)));
    EXPECT_FALSE(form.formKeyDown(Key::Enter, false, std::nullopt));
    EXPECT_FALSE(form.formKeyDown(Key::Enter, false, kReserved));

    EXPECT_TRUE(form.formKeyDown(Key::Enter, false, kToggle));
    EXPECT_EQ(form.board().ToggleCaption(), "SHOW RASHIS");
    EXPECT_TRUE(form.formKeyDown(Key::Enter, false, ButtonRef::command(Command::Clear)));
    EXPECT_EQ(form.board().Token(7), (TokenPosition {13920, 5760}));
    EXPECT_TRUE(form.formKeyDown(Key::Enter, false, ButtonRef::command(Command::Print)));
    EXPECT_EQ(toolkit.prints, 1);
    EXPECT_TRUE(form.formKeyDown(Key::Enter, false, ButtonRef::command(Command::Exit)));
    EXPECT_EQ(toolkit.closes, 1);
}

TEST_F(Form1Test, EachTokenIsDescribedByWhereItsCentreLies)
{
    const auto description = [&](int token) {
        return toolkit.descriptions[FakeToolkit::Key(ButtonRef::token(token))];
    };
    for (int i = 0; i < kTokenCount; ++i)
        EXPECT_EQ(description(i), "in the tray");
    // The Sun's centre into the middle of each box in turn, by a drop at its corner.
    for (int sign = 0; sign < kSignCount; ++sign) {
        const Rect box = SignBox(sign);
        form.tokenMouseDown(1, MouseButton::Left);
        form.formDragDrop(
            (box.left + box.width / 2 - 367) / 15.0, (box.top + box.height / 2 - 247) / 15.0);
        EXPECT_EQ(description(1), "in " + std::string(kWesternNames[std::size_t(sign)].caption));
    }
    form.formDragDrop(300 / 15.0, 6000 / 15.0);
    EXPECT_EQ(description(1), "in Capricon");
    form.formDragDrop(5000 / 15.0, 5000 / 15.0);
    EXPECT_EQ(description(1), "in the centre");
    form.formDragDrop(11500 / 15.0, 5000 / 15.0);
    EXPECT_EQ(description(1), "off the chart");
    form.formKeyDown(Key::Down, false, ButtonRef::token(1));
    EXPECT_EQ(description(1), "off the chart");
    // Dropped somewhere else in the tray column, it is still in the tray.
    form.formDragDrop(13920 / 15.0, 7000 / 15.0);
    EXPECT_EQ(description(1), "in the tray");
    form.formDragDrop(9000 / 15.0, 6000 / 15.0);
    EXPECT_EQ(description(1), "in Leo");
    form.cmdclearClick();
    EXPECT_EQ(description(1), "in the tray");
    EXPECT_EQ(TokenDescription(form.board(), 9), "in the tray");
}

// Click to pick up, click where it goes. Each row picks Sun up with a click, does one thing, and
// says who is held afterwards and where Sun stands; whatever is still held, the next click on the
// surface puts down, and with nothing held that click moves nothing.
TEST_F(Form1Test, AClickPicksATokenUpTheNextSurfaceClickPutsItDownAndEverythingElseLetsGo)
{
    constexpr TokenPosition sunHome {13920, 1440};
    constexpr std::string_view heldText = "held: click where to put it";
    const auto clickToken = [&](int i) {
        toolkit.dragEnd = DragEnd::Click;
        form.tokenMouseDown(i, MouseButton::Left);
    };
    const auto dragToken = [&](int i, std::optional<std::pair<double, double>> dropAt) {
        toolkit.dragEnd = DragEnd::Drag;
        toolkit.onDrag = [&, dropAt] {
            if (dropAt)
                form.formDragDrop(dropAt->first, dropAt->second);
        };
        form.tokenMouseDown(i, MouseButton::Left);
        toolkit.onDrag = nullptr;
    };
    struct Row {
        std::string_view what;
        std::function<void()> act;
        std::optional<int> held;
        TokenPosition sun;
    };
    const Row rows[] {
        {"nothing more", [] {}, 1, sunHome},
        {"a click on the surface over Aries puts its corner there",
            [&] { form.formClick(200, 40); }, std::nullopt, {3000, 600}},
        {"Escape", [&] { EXPECT_TRUE(form.formKeyDown(Key::Escape, false, std::nullopt)); },
            std::nullopt, sunHome},
        {"a second click on Sun", [&] { clickToken(1); }, std::nullopt, sunHome},
        {"a click on Mon picks Mon up instead", [&] { clickToken(2); }, 2, sunHome},
        {"Sun dragged and refused", [&] { dragToken(1, std::nullopt); }, std::nullopt, sunHome},
        {"Mon dragged into Leo", [&] { dragToken(2, std::pair(600.0, 400.0)); }, std::nullopt,
            sunHome},
        {"a drop from elsewhere, which moves the last pressed token",
            [&] { form.formDragDrop(300, 300); }, std::nullopt, {4500, 4500}},
        {"RESET", [&] { form.commandClick(Command::Clear); }, std::nullopt, sunHome},
        {"the C key", [&] { form.formKeyPress(u'C'); }, std::nullopt, sunHome},
        {"Enter on a focused CLR RASHIS",
            [&] { EXPECT_TRUE(form.formKeyDown(Key::Enter, false, kToggle)); }, std::nullopt,
            sunHome},
        {"PRINT, which never prints a held token", [&] { form.commandClick(Command::Print); },
            std::nullopt, sunHome},
        {"EXIT", [&] { form.commandClick(Command::Exit); }, std::nullopt, sunHome},
        {"an arrow key, which moves the focused token and keeps the hold",
            [&] { EXPECT_TRUE(form.formKeyDown(Key::Right, false, ButtonRef::token(2))); }, 1,
            sunHome},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        toolkit.onPrint = [&] { EXPECT_EQ(form.heldToken(), std::nullopt); };
        form.cmdclearClick();
        // Nothing held: Escape is not the board's, and a click on the surface moves nothing.
        EXPECT_FALSE(form.formKeyDown(Key::Escape, false, std::nullopt));
        const ChartBoard unheld = form.board();
        form.formClick(500, 500);
        EXPECT_EQ(form.board(), unheld);

        clickToken(1);
        EXPECT_EQ(form.board().PressedToken(), 1);
        EXPECT_EQ(form.heldToken(), 1);
        EXPECT_EQ(toolkit.descriptions[FakeToolkit::Key(ButtonRef::token(1))], heldText);
        EXPECT_TRUE(toolkit.placingPointer);
        EXPECT_EQ(toolkit.buttonRepaints.back(), FakeToolkit::Key(ButtonRef::token(1)));
        EXPECT_EQ(form.board().Token(1), sunHome);

        row.act();
        EXPECT_EQ(form.heldToken(), row.held);
        EXPECT_EQ(toolkit.placingPointer, row.held.has_value());
        EXPECT_EQ(form.board().Token(1), row.sun);
        for (int i = 0; i < kTokenCount; ++i) {
            EXPECT_EQ(toolkit.descriptions[FakeToolkit::Key(ButtonRef::token(i))],
                row.held == i ? std::string(heldText) : TokenDescription(form.board(), i))
                << i;
        }
        if (!row.held) {
            EXPECT_EQ(toolkit.buttonRepaints.back(), FakeToolkit::Key(ButtonRef::token(1)));
        }

        // The next click on the surface: the held token's corner goes there, or nothing moves.
        const ChartBoard before = form.board();
        form.formClick(600, 400);
        if (row.held) {
            EXPECT_EQ(form.board().Token(*row.held), (TokenPosition {9000, 6000}));
            EXPECT_EQ(TokenPixels(*row.held), (PixelRect {600, 400, 49, 33}));
            EXPECT_EQ(form.heldToken(), std::nullopt);
            EXPECT_FALSE(toolkit.placingPointer);
        } else {
            EXPECT_EQ(form.board(), before);
        }
    }
}

TEST(FontFaces, AMissingOrBitmapOnlyFaceFallsToATwinOfTheSameLook)
{
    struct Case {
        std::string_view face;
        std::vector<std::string_view> usable;
        std::string_view chosen;
    };
    for (const Case& c : {Case {"MS Serif", {"MS Serif", "Times New Roman"}, "MS Serif"},
             // Windows: the bitmap face has no glyphs at this size.
             Case {"MS Serif", {"Times New Roman", "Arial"}, "Times New Roman"},
             // Wine, and Linux: neither old face, Liberation's twins.
             Case {"MS Serif", {"Liberation Serif", "Liberation Sans"}, "Liberation Serif"},
             Case {"Arial", {"Liberation Serif", "Liberation Sans"}, "Liberation Sans"},
             // Nothing known: the last twin, for the system's mapper to find the nearest.
             Case {"MS Serif", {}, "Times New Roman"}, Case {"Tahoma", {}, "Tahoma"}}) {
        const auto usable = [&](std::string_view f) {
            return std::find(c.usable.begin(), c.usable.end(), f) != c.usable.end();
        };
        EXPECT_EQ(ChooseFace(c.face, usable), c.chosen) << c.face;
    }
}

TEST(DropAnswer, CopyWhereOfferedThenLinkAndMoveOnlyWhenNothingElse)
{
    struct Case {
        int offered;
        DropEffect answer;
    };
    for (const Case& c : {Case {1, DropEffect::Copy}, Case {1 | 2, DropEffect::Copy},
             Case {1 | 2 | 4, DropEffect::Copy}, Case {2 | 4, DropEffect::Link},
             Case {4, DropEffect::Link}, Case {2, DropEffect::Move}, Case {0, DropEffect::Move}})
        EXPECT_EQ(AnswerDrop(c.offered), c.answer) << c.offered;
}

TEST(Viewport, HugeAndDegenerateInputsStayRepresentable)
{
    const Viewport v = Viewport::Fit(0, -5);
    EXPECT_DOUBLE_EQ(v.scale(), 1.0);
    const PixelRect far = v.ToPixels(1.0e30, -1.0e30, 735, 495);
    EXPECT_LE(far.x, 10'000'000);
    EXPECT_GE(far.y, -10'000'000);
    EXPECT_TRUE(std::isfinite(v.ToTwipsX(1.0e300)));
}

TEST(BoardPicture, SurfaceShowsOnlyVisibleNamesInTheirColours)
{
    FakeToolkit toolkit;
    Form1 form {toolkit};
    form.formLoad();
    RecordingCanvas shown;
    form.paintSurface(shown, {0, 0, 1041, 741});
    ASSERT_NE(shown.FindText("Capricon"), nullptr);
    EXPECT_EQ(shown.FindText("Capricon")->colour, (Colour {128, 128, 128}));
    EXPECT_EQ(shown.FindText("Makara")->colour, (Colour {64, 64, 64}));
    EXPECT_DOUBLE_EQ(shown.FindText("Makara")->box.x, 120.0);
    EXPECT_DOUBLE_EQ(shown.FindText("Makara")->font.pixelSize, 13.0);
    EXPECT_EQ(shown.fills.front().colour, kLightYellow);
    // The grid line left of the second column is two pixels wide, centred on x = 176.
    bool line = false;
    for (const auto& f : shown.fills)
        line |= f.rect.x == 175 && f.rect.width == 2 && f.rect.y == 16 && f.rect.height == 704;
    EXPECT_TRUE(line);

    form.clrrashiClick();
    RecordingCanvas hidden;
    form.paintSurface(hidden, {0, 0, 1041, 741});
    EXPECT_EQ(hidden.FindText("Capricon"), nullptr);
    EXPECT_EQ(hidden.FindText("Makara"), nullptr);
    EXPECT_NE(hidden.FindText("Vantorel - Teaching Tool for a Jyotishi"), nullptr);
    EXPECT_EQ(hidden.texts.size(), std::size_t(kCaptionCount));
}

// Every stroke of the chart must come out as a band of its full width and length wherever the
// scale is not a whole number: on a resized window and on a printer's page.
TEST(BoardPicture, FrameAndEveryGridLineAreWholeBandsAtNonIntegerScales)
{
    ChartBoard board;
    board.StartUp();
    for (const Viewport view : {Viewport(1.0, 0, 0), Viewport(1.3, 0.5, 7.25),
             Viewport(1.7, 13.4, 0.3), Viewport(3.14159, 0.7, 41.9)}) {
        SCOPED_TRACE(view.scale());
        RecordingCanvas canvas;
        PaintSurface(canvas, board, view, {}, {0, 0, 4000, 3000});
        std::vector<RectF> strokes;
        for (const auto& f : canvas.fills)
            if (f.colour == SystemColours {}.windowText)
                strokes.push_back(f.rect);
        ASSERT_EQ(strokes.size(), 4 + kLines.size());
        const double px = view.scale() / Viewport::kTwipsPerPixel;
        const double thick = std::max(1.0, std::round(kGridLinePixels * view.scale()));
        for (const LineRow& line : kLines) {
            SCOPED_TRACE(std::string(line.name) + "(" + std::to_string(line.index) + ")");
            const bool vertical = line.from.x == line.to.x;
            const double along
                = (vertical ? line.to.y - line.from.y : line.to.x - line.from.x) * px;
            const double midX = view.ToPixelsX((line.from.x + line.to.x) / 2.0);
            const double midY = view.ToPixelsY((line.from.y + line.to.y) / 2.0);
            const bool found = std::any_of(strokes.begin(), strokes.end(), [&](const RectF& r) {
                const double across = vertical ? r.width : r.height;
                const double length = vertical ? r.height : r.width;
                return across == thick && std::abs(length - along) <= 1.0
                    && std::abs(r.x + r.width / 2 - midX) <= 1.0
                    && std::abs(r.y + r.height / 2 - midY) <= 1.0;
            });
            EXPECT_TRUE(found);
        }
        for (const RectF& r : strokes) {
            EXPECT_GE(r.width, thick);
            EXPECT_GE(r.height, thick);
        }
    }
}

// The focus adds two rings and nothing else: black outside white, each as wide as the bevel,
// inside the bevel and on whole pixels whatever the scale.
TEST(BoardPicture, FocusAddsABlackAndAWhiteRingInsideTheBevel)
{
    ChartBoard board;
    board.StartUp();
    for (const ButtonRef ref : {ButtonRef::token(9), ButtonRef::command(Command::Clear)})
        for (const double scale : {1.0, 1.5, 2.25}) {
            SCOPED_TRACE(std::to_string(ref.index) + " at " + std::to_string(scale));
            const Viewport view(scale, 0.5, 0.25);
            const PixelRect r = ButtonPixels(board, ref, view);
            const RectF box {0, 0, double(r.width), double(r.height)};
            RecordingCanvas plain;
            RecordingCanvas focused;
            PaintButton(plain, board, ref, box, {}, view, {});
            PaintButton(focused, board, ref, box, {false, true}, view, {});
            ASSERT_EQ(focused.fills.size(), plain.fills.size() + 8);
            EXPECT_EQ(focused.texts.size(), plain.texts.size());
            const double bevel = 2 * view.ScaledPixels(1);
            for (std::size_t i = plain.fills.size(); i < focused.fills.size(); ++i) {
                const RectF& band = focused.fills[i].rect;
                const bool outer = i < plain.fills.size() + 4;
                EXPECT_EQ(focused.fills[i].colour, outer ? kBlack : kWhite);
                EXPECT_EQ(std::min(band.width, band.height), view.ScaledPixels(1));
                for (double edge : {band.x, band.y, band.width, band.height})
                    EXPECT_EQ(edge, std::round(edge));
                EXPECT_GT(band.x, bevel);
                EXPECT_GT(band.y, bevel);
                EXPECT_LT(band.x + band.width, box.width - bevel);
                EXPECT_LT(band.y + band.height, box.height - bevel);
            }
        }
}

// A held token is banded in ink at its edge, over its whole bevel, at any scale, apart from the
// focus ring inside; once let go, it has its bevel back and no ink but the ring's, as every other
// focused token has.
TEST(BoardPicture, AHeldTokenIsBandedInInkOverItsBevelAtAnyScale)
{
    for (const double scale : {1.0, 1.7}) {
        SCOPED_TRACE(scale);
        FakeToolkit toolkit;
        Form1 form {toolkit};
        form.formResize(1041 * scale, 741 * scale);
        form.formLoad();
        toolkit.dragEnd = DragEnd::Click;
        form.tokenMouseDown(9, MouseButton::Left); // Ket, the darkest of them
        const auto paint = [&](int token) {
            const PixelRect r
                = ButtonPixels(form.board(), ButtonRef::token(token), form.viewport());
            RecordingCanvas canvas;
            form.paintButton(canvas, ButtonRef::token(token),
                {0, 0, double(r.width), double(r.height)}, {false, true});
            return std::pair(canvas, r);
        };
        const Colour ink = SystemColours {}.windowText;
        const auto [held, box] = paint(9);
        const double band = 2 * std::round(scale); // the bevel's two strokes
        const RectF edges[] {{0, 0, double(box.width), band}, {0, 0, band, double(box.height)},
            {0, box.height - band, double(box.width), band},
            {box.width - band, 0, band, double(box.height)}};
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_TRUE(std::any_of(held.fills.begin(), held.fills.end(), [&](const auto& f) {
                return f.colour == ink && f.rect.x == edges[i].x && f.rect.y == edges[i].y
                    && f.rect.width == edges[i].width && f.rect.height == edges[i].height;
            })) << i;
        // The band, and the focus ring's dark ring.
        EXPECT_EQ(held.CountFills(ink), 4 + 4);
        EXPECT_EQ(held.fills.front().colour, kTokens[9].fill);
        ASSERT_NE(held.FindText("Ket"), nullptr);

        EXPECT_EQ(paint(8).first.CountFills(ink), 4);
        form.formKeyDown(Key::Escape, false, std::nullopt);
        EXPECT_EQ(paint(9).first.CountFills(ink), 4);
    }
}

TEST(BoardPicture, ClientAreaStacksTokensAboveCommandButtonsAndSkipsTheHiddenOne)
{
    FakeToolkit toolkit;
    Form1 form {toolkit};
    form.formLoad();
    RecordingCanvas page;
    PaintClientArea(page, form.board(), form.viewport(), {}, {0, 0, 1041, 741});
    std::vector<std::string> buttons;
    for (const auto& t : page.texts)
        if (t.font.face == "MS Serif" && t.colour == SystemColours {}.buttonText)
            buttons.push_back(t.text);
    const std::vector<std::string> expected {"RESET", "CLR RASHIS", "EXIT", "PRINT", "Asc", "Sun",
        "Mon", "Jup", "Mer", "Ven", "Sat", "Mar", "Rah", "Ket"};
    EXPECT_EQ(buttons, expected);
}

} // namespace
} // namespace vantorel

namespace vantorel {
namespace {

// Only the window's surface takes a drop or a click that puts a held token down: every visible
// push button refuses them, a token included, wherever it has been moved; the hidden reserved
// button does not.
TEST(Form1Drops, OnlyTheSurfaceTakesThem)
{
    FakeToolkit toolkit;
    toolkit.dragEnd = DragEnd::Pending;
    Form1 form {toolkit};
    form.formResize(1041, 741);
    form.formLoad();
    form.tokenMouseDown(7, MouseButton::Left);
    form.formDragDrop(300, 300); // Mars, 49 x 33 px, now at (300, 300)
    struct Row {
        const char* what;
        double x, y;
        bool taken;
    };
    const Row rows[] {
        {"the chart", 100, 100, true},
        {"Mars, moved", 320, 310, false},
        {"just right of Mars", 349, 310, true},
        {"Mars's top-left pixel", 300, 300, false},
        {"Sun in the tray", 940, 100, false},
        {"where Mars stood in the tray", 940, 390, true},
        {"RESET", 900, 550, false},
        {"the hidden reserved button", 900, 680, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(form.takesDropAt(row.x, row.y), row.taken);
        const ChartBoard before = form.board();
        form.tokenMouseDown(2, MouseButton::Left);
        EXPECT_EQ(form.formDragDrop(row.x, row.y), row.taken);
        EXPECT_EQ(!SameArrangement(form.board(), before), row.taken);
        if (row.taken)
            form.editCommand(EditCommand::Undo);
        // Held, a click puts the token down only where a drop would.
        form.tokenDragEnd(2, DragEnd::Click);
        form.formClick(row.x, row.y);
        EXPECT_EQ(form.heldToken().has_value(), !row.taken);
        form.formKeyDown(Key::Escape, false, {});
        if (row.taken)
            form.editCommand(EditCommand::Undo);
        EXPECT_TRUE(SameArrangement(form.board(), before));
    }
}

} // namespace
} // namespace vantorel
