// SPDX-License-Identifier: MIT
// The picture at the device pixel ratio and font DPI the environment sets (ctest runs this at
// several): grid lines stay crisp, and the desktop's font setting cannot change the board.

#include "QtCanvas.h"
#include "QtForm.h"

#include <QImage>
#include <QScreen>
#include <QtTest>

using namespace vantorel;
using namespace vantorel::layout;

class QtScaleTest : public QObject {
    Q_OBJECT

private slots:
    void gridLinesAreCrispAtThisPixelRatio()
    {
        QtForm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage image = window.grab().toImage();
        const qreal dpr = image.devicePixelRatio();
        QCOMPARE(dpr, qreal(qEnvironmentVariable("EXPECT_DPR").toDouble()));

        // A row through the top boxes, clear of every name: only ground and ink, no blur.
        const QColor ink = window.palette().color(QPalette::WindowText);
        const QColor ground(255, 255, 192);
        const int y = int(100 * dpr);
        int inkRuns = 0;
        bool inInk = false;
        for (int x = 0; x < int(720 * dpr); ++x) {
            const QColor c = image.pixelColor(x, y);
            QVERIFY2(c == ink || c == ground, qPrintable(QString("x %1: %2").arg(x).arg(c.name())));
            if (c == ink && !inInk)
                ++inkRuns;
            inInk = c == ink;
        }
        QCOMPARE(inkRuns, 5); // the frame's two edges and three vertical lines
    }

    void fontsKeepTheirPixelSizesWhateverTheDesktopDpi()
    {
        QVERIFY(QGuiApplication::primaryScreen()->logicalDotsPerInch() > 0);
        const QFontInfo sign(ToQFont(ScaledFont(kArial975, Viewport())));
        QCOMPARE(sign.pixelSize(), 13);
        QCOMPARE(sign.family(), QStringLiteral("Liberation Sans"));
        const QFontInfo token(ToQFont(ScaledFont(kSerif135, Viewport())));
        QCOMPARE(token.pixelSize(), 18);
        QCOMPARE(QFontInfo(ToQFont(ScaledFont(kSerif12, Viewport()))).pixelSize(), 16);
    }
};

QTEST_MAIN(QtScaleTest)
#include "qt_scale_test.moc"
