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
// scheduler must not freeze the board. So ask it first, with short ones, for the default
// printer: no answer in time, or no default printer, and there is nothing to print on.
bool SchedulerHasADefaultPrinter()
{
    constexpr int kConnectMs = 800;
    constexpr double kAnswerSeconds = 0.5;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
        kConnectMs, nullptr);
    if (!http)
        return false;
    httpSetTimeout(
        http, kAnswerSeconds, [](http_t*, void*) { return 0; }, nullptr); // 0: give up
    ipp_t* response = cupsDoRequest(http, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
    const bool found = response && ippGetStatusCode(response) == IPP_STATUS_OK;
    ippDelete(response);
    httpClose(http);
    return found;
}

} // namespace

std::unique_ptr<QPrinter> DefaultPrinter()
{
    if (!SchedulerHasADefaultPrinter())
        return nullptr;
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
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
