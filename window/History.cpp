// SPDX-License-Identifier: MIT
#include "History.h"

#include "Layout.h"

namespace vantorel {

bool SameArrangement(const ChartBoard& a, const ChartBoard& b)
{
    for (int i = 0; i < layout::kTokenCount; ++i)
        if (!(a.Token(i) == b.Token(i)))
            return false;
    for (int s = 0; s < layout::kSignCount; ++s)
        if (a.WesternNameVisible(s) != b.WesternNameVisible(s)
            || a.SanskritNameVisible(s) != b.SanskritNameVisible(s))
            return false;
    return a.ToggleCaption() == b.ToggleCaption();
}

void History::Record(const ChartBoard& before)
{
    m_redo.clear();
    m_undo.push_back(before);
    if (m_undo.size() > kDepth)
        m_undo.pop_front();
}

namespace {

// Takes the step back (or forward) from `from`, leaving `now` on `to` to go the other way.
std::optional<ChartBoard> Step(
    std::deque<ChartBoard>& from, std::deque<ChartBoard>& to, const ChartBoard& now)
{
    if (from.empty())
        return std::nullopt;
    ChartBoard board = std::move(from.back());
    from.pop_back();
    to.push_back(now);
    if (to.size() > History::kDepth)
        to.pop_front();
    return board;
}

} // namespace

std::optional<ChartBoard> History::Undo(const ChartBoard& now)
{
    return Step(m_undo, m_redo, now);
}

std::optional<ChartBoard> History::Redo(const ChartBoard& now)
{
    return Step(m_redo, m_undo, now);
}

} // namespace vantorel
