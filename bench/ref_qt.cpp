// SPDX-License-Identifier: MIT
// The toolkit's floor: a plain Qt widgets window with as many push buttons as the board and a
// painted surface, nothing else. The first token's spot is painted in its colour so the start-up
// harness can see the first frame.

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QWidget>

class Surface final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(255, 255, 192));
        p.fillRect(QRect(928, 56, 49, 33), QColor(255, 255, 128));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Surface window;
    window.setWindowTitle(QStringLiteral("reference"));
    window.resize(1041, 741);
    for (int i = 0; i < 15; ++i) {
        auto* b = new QPushButton(QStringLiteral("B%1").arg(i), &window);
        b->setGeometry(880, 100 + 40 * i, 145, 25);
    }
    window.show();
    return app.exec();
}
