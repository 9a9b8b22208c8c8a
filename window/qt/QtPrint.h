// SPDX-License-Identifier: MIT
#pragma once

// The board on paper: landscape, fitted to the printable area with its margins, centred, aspect
// kept, drawn with the same code as the screen, so text and lines stay vector in the output.

#include "ChartBoard.h"
#include "Toolkit.h"

#include <memory>

class QPrinter;

namespace vantorel {

// The system's default printer, or nothing when there is none or no print system answers in
// time; never blocks for more than about a second.
std::unique_ptr<QPrinter> DefaultPrinter();

// Draws the board's current look as one page; false when the printer would not start.
bool PrintBoardPage(QPrinter&, const ChartBoard&, const SystemColours&);

} // namespace vantorel
