// SPDX-License-Identifier: MIT
#include "QtPrint.h"

#include "BoardPicture.h"
#include "QtCanvas.h"
#include "Viewport.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cups/cups.h>

namespace vantorel {

namespace {

// Qt asks the scheduler with the library's long default timeouts; a missing, stopped or hung
// scheduler must not freeze the board. So the default printer is found first on a connection
// with short ones, the way the print system defines it for this user: their own default
// (lpoptions, or LPDEST and PRINTER) before the scheduler's. No answer in time, or no default
// printer, and there is nothing to print on.
QString DefaultPrinterName()
{
    constexpr int kConnectMs = 800;
    constexpr double kAnswerSeconds = 0.5;
    http_t* http = httpConnect2(
        cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kConnectMs, nullptr);
    if (!http)
        return {};
    httpSetTimeout(
        http, kAnswerSeconds, [](http_t*, void*) { return 0; }, nullptr); // 0: give up
    cups_dest_t* dest = cupsGetNamedDest(http, nullptr, nullptr);
    const QString name = dest ? QString::fromUtf8(dest->name) : QString();
    cupsFreeDests(dest ? 1 : 0, dest);
    httpClose(http);
    return name;
}

} // namespace

std::unique_ptr<QPrinter> DefaultPrinter()
{
    const QString name = DefaultPrinterName();
    if (name.isEmpty())
        return nullptr;
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

bool PrintBoardPage(QPrinter& printer, const ChartBoard& board, const SystemColours& colours)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setColorMode(QPrinter::Color);
    printer.setFullPage(false);
    printer.setDocName(QStringLiteral("The Vantorel"));

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    const Viewport view = Viewport::Fit(printable.width(), printable.height());
    const SizeF design = Viewport::DefaultClientSize();
    QtCanvas canvas(painter);
    PaintClientArea(canvas, board, view, colours,
        {view.originX(), view.originY(), design.width * view.scale(),
            design.height * view.scale()});
    return painter.end();
}

} // namespace vantorel
