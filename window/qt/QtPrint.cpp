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

// Qt asks the scheduler with the library's long default timeouts; a missing or hung scheduler
// must not freeze the board, so ask first with a short one.
bool SchedulerAnswers()
{
    constexpr int kTimeoutMs = 800;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC,
        HTTP_ENCRYPTION_IF_REQUESTED, 1, kTimeoutMs, nullptr);
    if (!http)
        return false;
    httpClose(http);
    return true;
}

} // namespace

std::unique_ptr<QPrinter> DefaultPrinter()
{
    if (!SchedulerAnswers())
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
