#include "QtForm.h"

#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <string>

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

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(StartupMessages);
    QApplication app(argc, argv);
    g_starting = false;
    if (!g_held.empty())
        std::fputs(g_held.c_str(), stderr);
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    vantorel::QtForm form;
    if (const QScreen* screen = form.screen()) {
        const QRect room = screen->availableGeometry();
        const vantorel::SizeF size
            = vantorel::Viewport::InitialClientSize(room.width(), room.height());
        form.resize(int(size.width), int(size.height));
    }
    form.show();
    return app.exec();
}
