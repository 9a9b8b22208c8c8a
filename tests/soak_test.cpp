// SPDX-License-Identifier: MIT
// 100,000 random operations through the real window's handlers, offscreen: drops anywhere
// (inside, far outside, negative, huge), presses with every button on every token, toggles,
// resets, the C key and other keys, and printing with its white palette and failures. After each
// step the board's invariants must hold, and memory must not grow.

#include "BoardInvariants.h"
#include "QtForm.h"

#include <QMimeData>
#include <QTimer>
#include <QtTest>
#include <malloc.h>
#include <random>
#include <stdexcept>

using namespace vantorel;
using namespace vantorel::layout;

namespace {

// Heap memory in use, in KiB. Not the resident size: glibc keeps freed window buffers mapped
// after the window has been large, which is not growth of ours.
long HeapInUseKiB()
{
    const struct mallinfo2 info = mallinfo2();
    return long((info.uordblks + info.hblkhd) / 1024);
}

void SendDrop(QWidget& window, QPointF at)
{
    QMimeData data;
    QDragEnterEvent enter(at.toPoint(), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDragMoveEvent move(at.toPoint(), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
    if (!move.isAccepted())
        return;
    QDropEvent drop(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
}

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

private slots:
    void randomOperationsKeepTheBoardWhole()
    {
        QtForm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        std::mt19937 rng(20261208);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        std::uniform_real_distribution<double> inside(0.0, 1100.0);
        std::uniform_real_distribution<double> wild(-1.0e9, 1.0e9);

        std::string problem;
        bool printing = false;
        window.setBoardPrinter([&](const ChartBoard& board, const SystemColours&) {
            printing = true;
            if (problem.empty())
                problem = BoardProblems(board, true);
            printing = false;
            if (rng() % 4 == 0)
                throw std::runtime_error("printer fell over");
        });
        window.setDragRunner([&](QDrag&, Qt::DropActions) {
            if (rng() % 2)
                SendDrop(window, {inside(rng), inside(rng)});
            return Qt::IgnoreAction;
        });

        // The sizes a classroom sees: laptop, projector, a window dragged small, a huge screen.
        const QSize sizes[] = {{1041, 741}, {2082, 1482}, {1280, 800}, {1920, 1080}, {800, 600},
            {400, 300}, {3000, 2000}, {1041, 400}, {500, 1200}};
        for (const QSize& size : sizes) { // fills Qt's font and glyph caches for each scale
            window.resize(size);
            window.form().commandClick(Command::ToggleNames);
            window.form().commandClick(Command::ToggleNames);
            window.repaint();
        }

        constexpr int kSteps = 100'000;
        [[maybe_unused]] long memoryAtWarmUp
            = 0; // the sanitizers own the heap; LeakSanitizer checks there
        for (int step = 0; step < kSteps && problem.empty(); ++step) {
            switch (pick(9)) {
            case 0:
                SendDrop(window, {inside(rng), inside(rng)});
                break;
            case 1:
                window.form().formDragDrop(wild(rng), wild(rng));
                break;
            case 2: {
                // A press on a token, and while it waits, either its release where it went
                // down (a click: the token is picked up, or let go) or a move past the drag
                // distance (the drag runs, and the release comes after it).
                const Qt::MouseButton buttons[]
                    = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
                const Qt::MouseButton button = buttons[pick(3)];
                QWidget* token = window.button(ButtonRef::token(pick(kTokenCount)));
                const QPoint at = token->geometry().center();
                const QPoint away = at + QPoint(2 * QApplication::startDragDistance(), 0);
                const bool drag = pick(2) == 0;
                QTimer::singleShot(0, &window, [&window, button, at, away, drag] {
                    if (drag)
                        QTest::mouseMove(&window, away);
                    else
                        QTest::mouseRelease(&window, button, {}, at);
                });
                QTest::mousePress(token, button);
                if (drag)
                    QTest::mouseRelease(&window, button, {}, away);
                break;
            }
            case 3:
                window.form().commandClick(Command::ToggleNames);
                break;
            case 4:
                window.form().commandClick(Command::Clear);
                break;
            case 5: {
                const char16_t keys[] = {u'c', u'C', u'x', 3, u' ', u'\t'};
                window.form().formKeyPress(keys[pick(6)]);
                break;
            }
            case 6:
                window.form().commandClick(Command::Print);
                break;
            case 7:
                window.form().commandClick(Command::Arudha);
                break;
            case 8:
                window.resize(sizes[pick(int(std::size(sizes)))]);
                break;
            }
            if (problem.empty())
                problem = BoardProblems(window.form().board(), printing);
            if (step % 1000 == 0)
                QCoreApplication::processEvents();
            if (step == 10'000) {
                QCoreApplication::processEvents();
                memoryAtWarmUp = HeapInUseKiB();
            }
        }
        QVERIFY2(problem.empty(), problem.c_str());
        QVERIFY(window.isVisible());
#if !defined(__SANITIZE_ADDRESS__)
        QCoreApplication::processEvents();
        const long growth = HeapInUseKiB() - memoryAtWarmUp;
        qInfo("heap in use grew by %ld KiB over the last 90,000 steps", growth);
        QVERIFY2(growth < 512, qPrintable(QString("grew by %1 KiB").arg(growth)));
#endif
    }
};

QTEST_MAIN(SoakTest)
#include "soak_test.moc"
