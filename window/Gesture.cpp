// SPDX-License-Identifier: MIT
#include "Gesture.h"

#include <algorithm>
#include <cmath>

namespace vantorel {

void PressTravel::MoveTo(double x, double y)
{
    // A position the platform could not give (NaN) says nothing about the way taken.
    const double dx = std::fabs(x - m_fromX);
    const double dy = std::fabs(y - m_fromY);
    if (!std::isnan(dx))
        m_furthestX = std::max(m_furthestX, dx);
    if (!std::isnan(dy))
        m_furthestY = std::max(m_furthestY, dy);
}

bool PressTravel::Dragged(DragDistance distance) const
{
    return m_furthestX >= distance.x || m_furthestY >= distance.y;
}

DragEnd EndOfTokenDrag(const PressTravel& travel, DragDistance distance, bool letGoOverWindow)
{
    return letGoOverWindow && !travel.Dragged(distance) ? DragEnd::Click : DragEnd::Drag;
}

} // namespace vantorel
