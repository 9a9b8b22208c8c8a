// SPDX-License-Identifier: MIT
#pragma once

// Undo and redo. A step is the board as it stood before a change: a board is a small value, so a
// copy is all a step needs, and going back is putting that copy back.

#include "ChartBoard.h"

#include <cstddef>
#include <deque>
#include <optional>

namespace vantorel {

// Whether two boards differ in what the user arranged: where the tokens stand, and the names
// shown or hidden with the toggle's caption. The token last pressed and the palette are not
// the user's arrangement.
bool SameArrangement(const ChartBoard&, const ChartBoard&);

class History {
public:
    // Steps kept; older ones are forgotten, so the history never outgrows this many boards.
    static constexpr std::size_t kDepth = 1000;

    // A change has been made to a board that stood as `before`: it can be undone, and whatever
    // could have been redone no longer can.
    void Record(const ChartBoard& before);
    // The board to go back to from `now`, which becomes the step to redo; none when there is
    // nothing to undo.
    std::optional<ChartBoard> Undo(const ChartBoard& now);
    std::optional<ChartBoard> Redo(const ChartBoard& now);

    std::size_t undoable() const { return m_undo.size(); }
    std::size_t redoable() const { return m_redo.size(); }

private:
    std::deque<ChartBoard> m_undo;
    std::deque<ChartBoard> m_redo;
};

} // namespace vantorel
