// SPDX-License-Identifier: MIT
#pragma once

// Telling a click from a drag, once for every platform. A platform gives its own drag distance
// and reports what it can always report: where the pointer went while the window saw it, and
// whether the button was let go over the board's window. The button state after a drag is not
// one of those: some window systems (Wayland) hand the release to the compositor's drag.

#include "Toolkit.h"

#include <algorithm>

namespace vantorel {

// How far the pointer must go from where it was pressed, along either axis, before the press is
// a drag, in the units the platform reports the pointer in.
struct DragDistance {
    double x = 1;
    double y = 1;
};

// The browser has no drag distance of its own to ask: a few CSS pixels for a mouse or a pen,
// more for a finger, which is less exact.
inline constexpr DragDistance kPageMouseDragDistance {5, 5};
inline constexpr DragDistance kPageTouchDragDistance {11, 11};

// Windows' drag rectangle is SM_CXDRAG x SM_CYDRAG pixels centred on the press.
constexpr DragDistance WindowsDragDistance(int cxDrag, int cyDrag)
{
    return {double(std::max(1, cxDrag / 2 + 1)), double(std::max(1, cyDrag / 2 + 1))};
}

// A press and the furthest the pointer has been from it on each axis since.
class PressTravel {
public:
    PressTravel(double x, double y)
        : m_fromX(x)
        , m_fromY(y)
    { }
    void MoveTo(double x, double y);
    // Far enough, on either axis, to be a drag.
    bool Dragged(DragDistance) const;
    double furthestX() const { return m_furthestX; }
    double furthestY() const { return m_furthestY; }

private:
    double m_fromX;
    double m_fromY;
    double m_furthestX = 0;
    double m_furthestY = 0;
};

// How a token's drag ended: a click when it was let go over the board's window without ever
// going the drag distance; anything else (a real drag, Escape, let go elsewhere) is a drag.
DragEnd EndOfTokenDrag(const PressTravel&, DragDistance, bool letGoOverWindow);

} // namespace vantorel
