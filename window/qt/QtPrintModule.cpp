// SPDX-License-Identifier: MIT
#include "QtPrintModule.h"

#include <QCoreApplication>
#include <QLibrary>

namespace vantorel {

namespace {

PrintBoardFunction LoadPrintBoard()
{
    // Beside the program in the build tree; in the library folder once installed.
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& path : {dir + QStringLiteral("/" VANTOREL_PRINT_MODULE_NAME),
             dir
                 + QStringLiteral(
                     "/" VANTOREL_PRINT_MODULE_FROM_BIN "/" VANTOREL_PRINT_MODULE_NAME)}) {
        QLibrary library(path);
        if (library.load())
            return reinterpret_cast<PrintBoardFunction>(library.resolve(kPrintBoardSymbol));
    }
    return nullptr;
}

} // namespace

void PrintThroughModule(const ChartBoard& board, const SystemColours& colours)
{
    static const PrintBoardFunction printBoard = LoadPrintBoard();
    if (printBoard)
        printBoard(board, colours);
}

} // namespace vantorel
