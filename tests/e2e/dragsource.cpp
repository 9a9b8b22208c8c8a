// SPDX-License-Identifier: MIT
// Another application for the end-to-end tests: a small window titled "drag source" that starts
// a drag whenever it is pressed, offering copy or move of one kind of payload:
//   dragsource [text | huge-text | files | urls | image | binary | unknown]

#include <QApplication>
#include <QDrag>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QUrl>
#include <QWidget>

namespace {

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
        drag.exec(Qt::CopyAction | Qt::MoveAction);
    }

private:
    QString m_mode;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Source source(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("text"));
    source.setWindowTitle(QStringLiteral("drag source"));
    source.setGeometry(1100, 100, 120, 120);
    source.show();
    return app.exec();
}
