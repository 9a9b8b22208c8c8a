// SPDX-License-Identifier: MIT
// PRINT into real PDF files, read back with poppler's tools: what the page shows, and what the
// window looks like afterwards.

#include "QtForm.h"
#include "QtPrint.h"

#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

using namespace vantorel;
using namespace vantorel::layout;

namespace {

QString PdfText(const QString& pdf)
{
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QImage PdfImage(const QString& pdf, const QString& stem)
{
    QProcess p;
    p.start("pdftoppm", {"-r", "40", "-png", "-singlefile", pdf, stem});
    p.waitForFinished(20000);
    return QImage(stem + ".png");
}

int CountColour(const QImage& img, Colour c)
{
    const QRgb want = qRgb(c.red, c.green, c.blue);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xffffff) == (want & 0xffffff);
    return n;
}

} // namespace

class QtPrintTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<QtForm> window;
    int printed = 0;

    QString printToPdf(const QString& name)
    {
        const QString path = dir.filePath(name);
        window->setBoardPrinter([this, path](const ChartBoard& board, const SystemColours& c) {
            ++printed;
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            printer.setPageSize(QPageSize(QPageSize::A4));
            // What the window shows while the page is drawn.
            duringPrint = board.WindowBackground();
            PrintBoardPage(printer, board, c);
        });
        QTest::mouseClick(window->button(ButtonRef::command(Command::Print)), Qt::LeftButton);
        return path;
    }
    Colour duringPrint {};

private slots:
    void init()
    {
        window = std::make_unique<QtForm>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        printed = 0;
    }
    void cleanup() { window.reset(); }

    void printsTheBoardAsVectorsOnWhite()
    {
        window->form().tokenMouseDown(7, MouseButton::Left);
        window->form().formDragDrop(600, 420); // Mars into Leo
        const QString pdf = printToPdf("board.pdf");
        if (qEnvironmentVariableIsSet("VANTOREL_KEEP_PDF"))
            QFile::copy(pdf, qEnvironmentVariable("VANTOREL_KEEP_PDF"));
        QCOMPARE(printed, 1);
        QCOMPARE(duringPrint, kWhite);
        QVERIFY(QFileInfo(pdf).size() > 1000);
        QVERIFY(QFileInfo(pdf).size() < 1'000'000);

        const QString text = PdfText(pdf);
        for (const char* word :
            {"Aries", "Mesha", "Capricon", "Vrishchika", "Teaching Tool", "RESET", "Mar", "Ket"})
            QVERIFY2(text.contains(QLatin1String(word)), word);

        const QImage page = PdfImage(pdf, dir.filePath("board"));
        QVERIFY(!page.isNull());
        QVERIFY(page.width() > page.height()); // landscape
        QCOMPARE(CountColour(page, kLightYellow), 0);
        for (int i : {0, 1, 3, 7, 9})
            QVERIFY2(CountColour(page, kTokens[std::size_t(i)].fill) > 20,
                kTokens[std::size_t(i)].caption.data());
        // Centred: the margins left and right of the board match within a couple of pixels.
        int left = page.width(), right = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 100) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        QVERIFY(left > 5);
        QVERIFY(right < page.width() - 5);
    }

    void hiddenNamesStayOffThePageAndEveryBackgroundComesBack()
    {
        QTest::mouseClick(window->button(ButtonRef::command(Command::ToggleNames)), Qt::LeftButton);
        const QString text = PdfText(printToPdf("hidden.pdf"));
        QVERIFY(!text.contains("Aries"));
        QVERIFY(!text.contains("Meenam"));
        QVERIFY(text.contains("Teaching Tool"));
        QVERIFY(text.contains("SHOW RASHIS"));

        const ChartBoard& board = window->form().board();
        QCOMPARE(board.WindowBackground(), kLightYellow);
        for (int i = 0; i < kSignCount; ++i) {
            QCOMPARE(board.WesternNameBackground(i), kLightYellow);
            QCOMPARE(board.SanskritNameBackground(i), kLightYellow);
            QVERIFY(!board.WesternNameVisible(i));
        }
        for (int i = 0; i < kCaptionCount; ++i)
            QCOMPARE(board.CaptionBackground(i), kLightYellow);
        QCOMPARE(window->grab().toImage().pixelColor(1030, 730), QColor(255, 255, 192));
    }

    void noPrinterAFailingPrinterOrAThrowLeaveTheWindowAsItWas()
    {
        window->button(ButtonRef::command(Command::Print))->setFocus(); // as the click will
        const QImage before = window->grab().toImage();
        const ChartBoard board = window->form().board();
        const auto press = [&] {
            QTest::mouseClick(window->button(ButtonRef::command(Command::Print)), Qt::LeftButton);
        };

        window->setBoardPrinter({}); // no print module
        press();
        window->setBoardPrinter([](const ChartBoard& board, const SystemColours& c) {
            QPrinter printer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName("/nonexistent-dir/x/board.pdf");
            QVERIFY(!PrintBoardPage(printer, board, c));
        });
        press();
        window->setBoardPrinter([](const ChartBoard&, const SystemColours&) {
            throw std::runtime_error("the print system went away");
        });
        press();

        QCOMPARE(window->form().board(), board);
        QCOMPARE(window->grab().toImage(), before);
        QVERIFY(window->isVisible());
    }
};

QTEST_MAIN(QtPrintTest)
#include "qt_print_test.moc"
