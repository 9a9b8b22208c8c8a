// SPDX-License-Identifier: MIT
// In-process timings on the real window: a drop, RESET and the names toggle, each until the
// window has repainted; and PRINT into a PDF file with its extra peak memory.
// Prints rows of "name median min max unit".

#include "QtForm.h"
#include "QtPrint.h"

#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <malloc.h>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace vantorel;
using Clock = std::chrono::steady_clock;

namespace {

void Row(const char* name, std::vector<double> v, const char* unit)
{
    std::sort(v.begin(), v.end());
    std::printf(
        "%-28s %10.3f %10.3f %10.3f  %s\n", name, v[v.size() / 2], v.front(), v.back(), unit);
}

// A field of /proc/self/status in KiB: VmHWM (peak resident memory; ResetPeak starts it anew)
// or VmRSS (resident now).
long StatusKiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == field + ":") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

template <typename F> double TimeMs(F&& f)
{
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Drop(QtForm& window, QPoint pos)
{
    QMimeData data;
    QDragEnterEvent enter(pos, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDragMoveEvent move(pos, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
    QDropEvent drop(pos, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
}

// Until every pending paint has been done and flushed to the screen.
void Repainted()
{
    QApplication::sendPostedEvents();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(15, std::atoi(argv[1])) : 200;
    QtForm window;
    window.show();
    for (int i = 0; i < 20; ++i)
        Repainted();
    window.setDragRunner([](QDrag&, Qt::DropActions) { return Qt::IgnoreAction; });
    QApplication::setActiveWindow(&window); // keys go to the focused token

    std::vector<double> drop, reset, toggle, arrow, print, printPeak;
    for (int i = 0; i < runs; ++i) {
        window.form().tokenMouseDown(i % 10, MouseButton::Left);
        const QPoint to(40 + (i * 37) % 600, 40 + (i * 53) % 600);
        drop.push_back(TimeMs([&] {
            Drop(window, to);
            Repainted();
        }));
        reset.push_back(TimeMs([&] {
            window.form().commandClick(layout::Command::Clear);
            Repainted();
        }));
        toggle.push_back(TimeMs([&] {
            window.form().commandClick(layout::Command::ToggleNames);
            Repainted();
        }));
        // An arrow key on the focused token, through the window's key preview as typed.
        BoardButton* token = window.button(ButtonRef::token(i % 10));
        token->setFocus();
        QKeyEvent key(QEvent::KeyPress, i % 2 ? Qt::Key_Right : Qt::Key_Down,
            i % 3 ? Qt::NoModifier : Qt::ShiftModifier);
        const TokenPosition before = window.form().board().Token(i % 10);
        arrow.push_back(TimeMs([&] {
            QApplication::sendEvent(token, &key);
            Repainted();
        }));
        if (window.form().board().Token(i % 10) == before) {
            std::fputs("an arrow key did not move the focused token\n", stderr);
            return 1;
        }
    }

    // Undo and redo through the window's keys, each until the window has repainted; the
    // history holds a step for every drop, reset, toggle and arrow run above.
    std::vector<double> undo, redo;
    QWidget* focus = QApplication::focusWidget();
    for (int i = 0; i < runs; ++i) {
        const ChartBoard before = window.form().board();
        QKeyEvent ctrlZ(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier, QStringLiteral("\x1a"));
        undo.push_back(TimeMs([&] {
            QApplication::sendEvent(focus, &ctrlZ);
            Repainted();
        }));
        if (SameArrangement(window.form().board(), before)) {
            std::fputs("Ctrl+Z undid nothing\n", stderr);
            return 1;
        }
    }
    for (int i = 0; i < runs; ++i) {
        QKeyEvent ctrlY(QEvent::KeyPress, Qt::Key_Y, Qt::ControlModifier, QStringLiteral("\x19"));
        redo.push_back(TimeMs([&] {
            QApplication::sendEvent(focus, &ctrlY);
            Repainted();
        }));
    }
    // What a full history takes on the heap: a thousand boards, and the deque that holds them.
    const std::size_t heapBefore = mallinfo2().uordblks;
    {
        History history;
        ChartBoard board;
        for (std::size_t i = 0; i < History::kDepth + 10; ++i) {
            board.MoveToken(int(i % 10), float(i), float(i));
            history.Record(board);
        }
        const double kib = double(mallinfo2().uordblks - heapBefore) / 1024.0;
        std::printf("history of %zu steps: %.1f KiB on the heap (%zu bytes a board)\n",
            history.undoable(), kib, sizeof(ChartBoard));
    }

    QTemporaryDir dir;
    const QString pdf = dir.filePath("board.pdf");
    window.setBoardPrinter([&](const ChartBoard& board, const SystemColours& colours) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        PrintBoardPage(printer, board, colours);
    });
    for (int i = 0; i < std::min(runs, 30); ++i) {
        Repainted();
        ResetPeak();
        const long before = StatusKiB("VmRSS");
        print.push_back(TimeMs([&] {
            window.form().commandClick(layout::Command::Print);
            Repainted();
        }));
        printPeak.push_back(double(StatusKiB("VmHWM") - before) / 1024.0);
    }

    std::printf("%-28s %10s %10s %10s\n", "in-process", "median", "min", "max");
    Row("drop to repainted window", drop, "ms");
    Row("RESET to repainted window", reset, "ms");
    Row("toggle to repainted window", toggle, "ms");
    Row("arrow key to repainted", arrow, "ms");
    Row("Ctrl+Z to repainted", undo, "ms");
    Row("Ctrl+Y to repainted", redo, "ms");
    Row("PRINT handler (PDF)", print, "ms");
    Row("PRINT extra peak memory", printPeak, "MiB");
    return 0;
}
