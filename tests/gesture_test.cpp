// SPDX-License-Identifier: MIT
// Telling a click from a drag: the one rule every platform follows, with each platform's own
// drag distance.

#include "Gesture.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace vantorel {
namespace {

TEST(Gesture, AClickIsLetGoOverTheWindowWithinTheDragDistance)
{
    constexpr DragDistance kQt {10, 10}; // QApplication::startDragDistance's default
    constexpr DragDistance kWindows = WindowsDragDistance(4, 4); // SM_CXDRAG, SM_CYDRAG
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        std::string what;
        DragDistance distance;
        std::vector<std::pair<double, double>> way; // from the press at (100, 100)
        bool letGoOverWindow;
        DragEnd end;
    };
    const std::vector<Row> rows {
        {"no move at all", kQt, {}, true, DragEnd::Click},
        {"a tremor", kQt, {{103, 98}, {109, 91}}, true, DragEnd::Click},
        {"the drag distance along x", kQt, {{110, 100}}, true, DragEnd::Drag},
        {"the drag distance along y, upwards", kQt, {{100, 90}}, true, DragEnd::Drag},
        {"out and back again", kQt, {{150, 100}, {100, 100}}, true, DragEnd::Drag},
        {"Escape, the pointer still", kQt, {}, false, DragEnd::Drag},
        {"let go outside the window", kQt, {{101, 101}}, false, DragEnd::Drag},
        {"a fractional tremor at a fractional scale", kQt, {{109.5, 100.75}}, true, DragEnd::Click},
        {"Windows: one pixel off", kWindows, {{101, 99}}, true, DragEnd::Click},
        {"Windows: two pixels, still in the rectangle", kWindows, {{102, 98}}, true,
            DragEnd::Click},
        {"Windows: three pixels, out of it", kWindows, {{103, 100}}, true, DragEnd::Drag},
        {"page, mouse: four CSS pixels", kPageMouseDragDistance, {{104, 96}}, true, DragEnd::Click},
        {"page, mouse: five", kPageMouseDragDistance, {{105, 100}}, true, DragEnd::Drag},
        {"page, finger: ten", kPageTouchDragDistance, {{110, 90}}, true, DragEnd::Click},
        {"page, finger: eleven", kPageTouchDragDistance, {{100, 111}}, true, DragEnd::Drag},
        {"a position the platform could not give", kQt, {{nan, nan}}, true, DragEnd::Click},
        {"a pointer thrown far off", kQt, {{std::numeric_limits<double>::infinity(), 100}}, true,
            DragEnd::Drag},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PressTravel travel(100, 100);
        for (const auto& [x, y] : row.way)
            travel.MoveTo(x, y);
        EXPECT_EQ(EndOfTokenDrag(travel, row.distance, row.letGoOverWindow), row.end);
    }
    // A desktop set to no drag distance at all still lets a still press be a click.
    EXPECT_EQ(EndOfTokenDrag(PressTravel(5, 5), WindowsDragDistance(0, 0), true), DragEnd::Click);
}

} // namespace
} // namespace vantorel
