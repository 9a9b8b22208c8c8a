// SPDX-License-Identifier: MIT
// Another application for the end-to-end tests: a small window titled "drag source" that starts
// a drag whenever it is pressed, offering copy or move of one kind of payload:
//   dragsource [text | huge-text | files | urls | image | binary | unknown]
// It says on stdout when its drag is under way ("dragging"), each time another program has
// answered a position it sent ("answered"), and when the drag has ended ("ended"). A drag source
// sends the next position only once the last is answered, and the drop lands where the target
// last heard of: a test moves on only after each answer, and lets go after the last.

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDrag>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

void Say(const char* line)
{
    std::puts(line);
    std::fflush(stdout);
}

QMimeData* Payload(const QString& mode)
{
    auto* data = new QMimeData;
    if (mode == "huge-text") {
        data->setText(QString(40 * 1024 * 1024, QChar('j'))); // 40 million characters
    } else if (mode == "files") {
        QList<QUrl> files;
        for (int i = 0; i < 1000; ++i)
            files << QUrl::fromLocalFile(QStringLiteral("/tmp/no-such-chart-%1.txt").arg(i));
        data->setUrls(files);
    } else if (mode == "urls") {
        data->setUrls({QUrl("https://example.invalid/chart"), QUrl("ftp://example.invalid/x")});
    } else if (mode == "image") {
        QImage image(2000, 2000, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        data->setImageData(image);
    } else if (mode == "binary") {
        QByteArray bytes(8 * 1024 * 1024, '\0');
        QRandomGenerator generator(42);
        generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        data->setData("application/octet-stream", bytes);
    } else if (mode == "unknown") {
        data->setData("application/x-no-one-knows-this", QByteArray(4096, '\x7f'));
        data->setData("x-special/odd", QByteArray("\0\1\2", 3));
    } else {
        data->setText(QStringLiteral("a line of text from another program"));
    }
    return data;
}

// Notes each answer (XdndStatus) another program gives to a position this one sent.
class StatusLog final : public QAbstractNativeEventFilter {
public:
    StatusLog()
    {
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* connection = x11->connection();
        const char name[] = "XdndStatus";
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
        m_status = reply ? reply->atom : XCB_NONE;
        std::free(reply);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        const auto* e = static_cast<const xcb_client_message_event_t*>(message);
        if (type == "xcb_generic_event_t" && (e->response_type & 0x7f) == XCB_CLIENT_MESSAGE
            && e->type == m_status)
            Say("answered");
        return false;
    }

private:
    xcb_atom_t m_status = XCB_NONE;
};

class Source final : public QWidget {
public:
    explicit Source(QString mode)
        : m_mode(std::move(mode))
    { }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        QDrag drag(this);
        drag.setMimeData(Payload(m_mode));
        // Runs first thing in the drag's own loop, once the drag has begun.
        QTimer::singleShot(0, this, [] { Say("dragging"); });
        drag.exec(Qt::CopyAction | Qt::MoveAction);
        Say("ended");
    }

private:
    QString m_mode;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    StatusLog log;
    app.installNativeEventFilter(&log);
    Source source(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("text"));
    source.setWindowTitle(QStringLiteral("drag source"));
    source.setGeometry(1100, 100, 120, 120);
    source.show();
    return app.exec();
}
