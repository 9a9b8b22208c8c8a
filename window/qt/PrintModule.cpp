// SPDX-License-Identifier: MIT
// The print module: loaded by the program on the first PRINT.

#include "QtPrint.h"
#include "QtPrintModule.h"

#include <QPrinter>

extern "C" Q_DECL_EXPORT void VantorelPrintBoard(
    const vantorel::ChartBoard& board, const vantorel::SystemColours& colours)
{
    static_assert(std::is_same_v<decltype(&VantorelPrintBoard), vantorel::PrintBoardFunction>);
    if (const std::unique_ptr<QPrinter> printer = vantorel::DefaultPrinter())
        vantorel::PrintBoardPage(*printer, board, colours);
}
