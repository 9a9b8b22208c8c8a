// Another application for the end-to-end tests: a small window titled "drag source" that starts
// a drag of plain text (copy or move) whenever it is pressed.

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>

class Source final : public QWidget {
protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* data = new QMimeData;
        data->setText(QStringLiteral("a line of text from another program"));
        QDrag drag(this);
        drag.setMimeData(data);
        drag.exec(Qt::CopyAction | Qt::MoveAction);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Source source;
    source.setWindowTitle(QStringLiteral("drag source"));
    source.setGeometry(1100, 100, 120, 120);
    source.show();
    return app.exec();
}
