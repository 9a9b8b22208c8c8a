// SPDX-License-Identifier: MIT
// How the board fits a screen: a desktop window's opening size, keeping a window on the screen,
// and a web page of any size at any pixel ratio.

#include "Viewport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace vantorel {
namespace {

using namespace layout;

// The board's own extent, in pixels of `view`, lies inside a client area of that size.
void ExpectBoardInside(const Viewport& view, double width, double height)
{
    EXPECT_GE(view.ToPixelsX(kFrame.rect.left), 0.0);
    EXPECT_GE(view.ToPixelsY(kFrame.rect.top), 0.0);
    EXPECT_LE(view.ToPixelsX(kExtentRight), width);
    EXPECT_LE(view.ToPixelsY(kExtentBottom), height);
}

TEST(Viewport, ADesktopWindowOpensAtItsScaleWhereThatFitsAndFittedWithItsTitleBarElsewhere)
{
    constexpr FrameExtents kOpenbox {1, 22, 1, 5};
    constexpr FrameExtents kWindows144 {12, 45, 12, 12};
    struct Case {
        const char* screen;
        PixelRect workArea;
        FrameExtents frame;
        double scale;
        SizeF client;
    };
    const Case cases[] {
        {"full HD", {0, 0, 1920, 1080}, kOpenbox, 1, {1041, 741}},
        {"no window manager", {0, 0, 1280, 1024}, {}, 1, {1041, 741}},
        {"just room", {0, 0, 1043, 768}, {1, 22, 1, 4}, 1, {1041, 741}},
        {"a pixel short", {0, 0, 1043, 766}, {1, 22, 1, 4}, 1, {1039, 740}},
        {"720p projector; Qt at ratio 1.5 on full HD", {0, 0, 1280, 720}, kOpenbox, 1, {973, 693}},
        {"netbook", {0, 0, 1024, 600}, kOpenbox, 1, {804, 573}},
        {"laptop below a 32 px panel", {0, 32, 1366, 736}, kOpenbox, 1, {996, 709}},
        {"portrait", {0, 0, 768, 1366}, kOpenbox, 1, {766, 545}},
        {"150 % on full HD above the taskbar", {0, 0, 1920, 1020}, kWindows144, 1.5, {1352, 963}},
        {"150 % with room", {0, 0, 2560, 1380}, kWindows144, 1.5, {1562, 1112}},
        {"125 % with room", {0, 0, 1920, 1040}, {10, 38, 10, 10}, 1.25, {1301, 926}},
        {"a second monitor left of the first", {-1920, 0, 1920, 1080}, kOpenbox, 1, {1041, 741}},
        {"unknown screen", {}, kOpenbox, 1.5, {1562, 1112}},
        {"no sensible scale", {0, 0, 1920, 1080}, kOpenbox,
            std::numeric_limits<double>::quiet_NaN(), {1041, 741}},
        {"tiny", {0, 0, 100, 50}, kOpenbox, 1, {32, 23}},
        {"smaller than the frame", {0, 0, 10, 10}, kOpenbox, 1, {1, 1}},
    };
    const SizeF design = Viewport::DefaultClientSize();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen);
        const SizeF got = Viewport::OpeningClientSize(c.workArea, c.frame, c.scale);
        EXPECT_DOUBLE_EQ(got.width, c.client.width);
        EXPECT_DOUBLE_EQ(got.height, c.client.height);
        if (c.workArea.width <= 0 || got.width <= 1)
            continue;
        // Frame and client inside the work area, the board's aspect to a pixel, and the whole
        // board inside the client area.
        EXPECT_LE(got.width + c.frame.left + c.frame.right, c.workArea.width);
        EXPECT_LE(got.height + c.frame.top + c.frame.bottom, c.workArea.height);
        EXPECT_NEAR(got.width * design.height / design.width, got.height, 1.0);
        ExpectBoardInside(Viewport::Fit(got.width, got.height), got.width, got.height);
    }
}

TEST(Viewport, AWindowIsMovedOnlyAsFarAsItsWorkAreaNeedsAndItsTitleBarWins)
{
    constexpr PixelRect kBelowPanel {0, 32, 1366, 736};
    struct Case {
        const char* where;
        PixelRect window;
        PixelRect kept;
    };
    for (const Case& c : {
             Case {"inside", {100, 40, 998, 700}, {100, 40, 998, 700}},
             Case {"under the panel", {10, 0, 998, 736}, {10, 32, 998, 736}},
             Case {"past the bottom right", {500, 200, 998, 736}, {368, 32, 998, 736}},
             Case {"taller than the work area", {0, 40, 998, 800}, {0, 32, 998, 800}},
             Case {"left of the screen", {-50, 60, 998, 600}, {0, 60, 998, 600}},
         }) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(Viewport::KeepInside(c.window, kBelowPanel), c.kept);
    }
}

TEST(Viewport, APageShowsTheWholeBoardAsLargeAsItsViewportOnWholeDevicePixels)
{
    struct Case {
        double width, height, ratio;
        double scale;
        double originX, originY;
    };
    const double full = 1080.0 / 741;
    const Case cases[] {
        // The board's own size is exactly 1 px = 15 twips, at every ratio.
        {1041, 741, 1, 1, 0, 0},
        {1041, 741, 1.25, 1.25, 0, 0},
        {1041, 741, 1.5, 1.5, 0, 0},
        {1041, 741, 2, 2, 0, 0},
        {1041, 741, 2.625, 2.625, 0, 0},
        // Larger: it grows, centred across.
        {1100, 800, 1, 1100.0 / 1041, 0, 9},
        {1920, 1080, 1, full, 201, 0},
        {3840, 2160, 1, 2 * full, 403, 0},
        {1920, 1080, 2, 2 * full, 403, 0},
        // Smaller: it shrinks; a phone upright and on its side.
        {700, 600, 1, 700.0 / 1041, 0, 51},
        {412, 915, 2.625, 412 * 2.625 / 1041, 0, 816},
        {915, 412, 2.625, 412 * 2.625 / 741, 441, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.ratio);
        const Viewport view = Viewport::FitPage(c.width, c.height, c.ratio);
        EXPECT_NEAR(view.scale(), c.scale, 1e-12);
        EXPECT_DOUBLE_EQ(view.originX(), c.originX);
        EXPECT_DOUBLE_EQ(view.originY(), c.originY);
        ExpectBoardInside(view, c.width * c.ratio, c.height * c.ratio);
    }
}

} // namespace
} // namespace vantorel
