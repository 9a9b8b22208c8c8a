// SPDX-License-Identifier: MIT
#include "IconArt.h"
#include "QtForm.h"
#include "QtOpening.h"
#include "Version.h"
#include "WindowLossWatch.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define VANTOREL_LEAK_CHECK 1
#endif

namespace {

// While the application starts, the toolkit's complaints about a missing display are held
// back: the user gets one line that says what is wrong, not a page of plugin names.
bool g_starting = true;
std::string g_held;

void StartupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg && g_starting) {
        std::fputs("vantorel: cannot open a display; start it from a desktop session "
                   "(is DISPLAY set?)\n",
            stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (g_starting) {
        g_held += qFormatLogMessage(type, context, message).toStdString() + '\n';
        return;
    }
    std::fputs((qFormatLogMessage(type, context, message).toStdString() + '\n').c_str(), stderr);
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        const std::vector<std::uint8_t> px = vantorel::icon::Draw(size);
        QImage image(size, size, QImage::Format_RGB32);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const vantorel::icon::Rgb c
                    = vantorel::icon::kPalette[px[std::size_t(y * size + x)]];
                image.setPixel(x, y, qRgb(c.r, c.g, c.b));
            }
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

// Ends the program at once with `status`. The board saves nothing, so nothing is lost by not
// taking the toolkit down first, and taking it down may never end: Qt 6.4's Wayland client can
// wait forever in its display's destructor for an event thread that waits for the compositor.
[[noreturn]] void EndNow(int status)
{
    std::fflush(nullptr);
#ifdef VANTOREL_LEAK_CHECK
    // The sanitizers' own check at the end would be skipped with everything else: it runs here,
    // once the window and everything it owns are gone, and ends the program if it finds a leak.
    __lsan_do_leak_check();
#endif
    std::_Exit(status);
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(StartupMessages);
    QApplication app(argc, argv);
    g_starting = false;
    if (!g_held.empty())
        std::fputs(g_held.c_str(), stderr);
    QApplication::setApplicationName(QString::fromLatin1(vantorel::version::kApplicationName));
    QApplication::setApplicationVersion(QString::fromLatin1(vantorel::version::kText));
    QApplication::setDesktopFileName(QString::fromLatin1(vantorel::version::kDesktopId));
    QApplication::setWindowIcon(ApplicationIcon());

    int status = 0;
    {
        vantorel::QtForm form;
        const vantorel::WindowLossWatch watch(form);
        vantorel::ShowFitted(form);
        status = QApplication::exec();
    }
    EndNow(status);
}
