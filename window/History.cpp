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

std::optional<ChartBoard> History::Undo(const ChartBoard& now)
{
    if (m_undo.empty())
        return std::nullopt;
    ChartBoard back = std::move(m_undo.back());
    m_undo.pop_back();
    m_redo.push_back(now);
    return back;
}

std::optional<ChartBoard> History::Redo(const ChartBoard& now)
{
    if (m_redo.empty())
        return std::nullopt;
    ChartBoard forward = std::move(m_redo.back());
    m_redo.pop_back();
    m_undo.push_back(now);
    if (m_undo.size() > kDepth)
        m_undo.pop_front();
    return forward;
}

} // namespace vantorel
