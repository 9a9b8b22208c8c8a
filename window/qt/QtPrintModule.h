// SPDX-License-Identifier: MIT
#pragma once

#include "ChartBoard.h"
#include "Toolkit.h"

namespace vantorel {

// Printing needs Qt PrintSupport and the print system's client library, about twenty shared
// libraries that every start would otherwise pay for. They live in a module loaded on the first
// PRINT; without the module the print step is skipped, as with no printer.
void PrintThroughModule(const ChartBoard&, const SystemColours&);

// The module's one entry point.
using PrintBoardFunction = void (*)(const ChartBoard&, const SystemColours&);
inline constexpr const char* kPrintBoardSymbol = "VantorelPrintBoard";

} // namespace vantorel
