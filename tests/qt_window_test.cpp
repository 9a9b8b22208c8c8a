// SPDX-License-Identifier: MIT
// The board window on real Qt widgets, offscreen: start-up, commands, keys, focus, scaling,
// picture, accessibility and the drop side of drag and drop.

#include "QtCanvas.h"
#include "QtForm.h"
#include "WindowLossWatch.h"

#include <QAccessible>
#include <QApplication>
#include <QDrag>
#include <QFontMetricsF>
#include <QImage>
#include <QMimeData>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <xcb/xcb.h>

using namespace vantorel;
using namespace vantorel::layout;

namespace {

QColor Rgb(Colour c)
{
    return QColor(c.red, c.green, c.blue);
}

// Sends a whole drag-and-drop exchange to the window at `pos`, the way the platform would:
// enter, move, and a drop only if the window accepted the move.
bool DropAt(QtForm& window, QPoint pos, QMimeData* data)
{
    const std::unique_ptr<QMimeData> owner(data);
    QDragEnterEvent enter(
        pos, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(pos, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
    if (!move.isAccepted())
        return false;
    QDropEvent drop(pos, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    return drop.isAccepted();
}

QPoint Centre(const QWidget* w)
{
    return w->geometry().center();
}

// Presses `button` on a token at a point of the window, and once the press waits for what the
// pointer does, sends what `then` sends (moves, the release, keys) as the window system would.
void PressToken(QWidget* token, QPoint at, Qt::MouseButton button, std::function<void()> then)
{
    QTimer::singleShot(0, token, std::move(then));
    QTest::mousePress(token, button, {}, at - token->pos());
}

} // namespace

class QtWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QtForm> window;
    BoardButton* token(int i) { return window->button(ButtonRef::token(i)); }
    BoardButton* command(Command c) { return window->button(ButtonRef::command(c)); }

private slots:
    void init()
    {
        window = std::make_unique<QtForm>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() { window.reset(); }

    void startsInTheLayoutsState()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("The Vantorel"));
        QCOMPARE(window->size(), QSize(1041, 741));
        QVERIFY(!command(Command::Arudha)->isVisible());
        QCOMPARE(command(Command::ToggleNames)->text(), QStringLiteral("CLR RASHIS"));
        QCOMPARE(token(0)->geometry(), QRect(928, 56, 49, 33));
        QCOMPARE(token(9)->text(), QStringLiteral("Ket"));
        QCOMPARE(window->form().board().HomeTop(9), 7200);
        QCOMPARE(QApplication::focusWidget(), token(0));
    }

    void focusCyclesInTabIndexOrder()
    {
        QStringList seen;
        QWidget* w = token(0);
        for (int i = 0; i < 16; ++i) {
            seen << w->objectName();
            QTest::keyClick(w, Qt::Key_Tab);
            w = QApplication::focusWidget();
        }
        QCOMPARE(seen.mid(0, 15),
            QStringList({"Command1(0)", "Command1(1)", "Command1(2)", "Command1(3)", "Command1(4)",
                "Command1(5)", "Command1(6)", "Command1(7)", "Command1(8)", "Command1(9)",
                "cmdclear", "cmdexit", "clrrashi", "cmdprint", "Command1(0)"}));
    }

    void resetClickBringsTokensHome()
    {
        window->form().tokenMouseDown(3, MouseButton::Left); // offscreen drag returns at once
        QVERIFY(DropAt(*window, {300, 200}, new QMimeData));
        QCOMPARE(token(3)->pos(), QPoint(300, 200));
        QTest::mouseClick(command(Command::Clear), Qt::LeftButton);
        QCOMPARE(token(3)->pos(), QPoint(928, 192));
    }

    void toggleHidesNamesAndRelabels()
    {
        QTest::mouseClick(command(Command::ToggleNames), Qt::LeftButton);
        QCOMPARE(command(Command::ToggleNames)->text(), QStringLiteral("SHOW RASHIS"));
        QVERIFY(!window->form().board().WesternNameVisible(0));
        QTest::mouseClick(command(Command::ToggleNames), Qt::LeftButton);
        QCOMPARE(command(Command::ToggleNames)->text(), QStringLiteral("CLR RASHIS"));
    }

    void theCKeyResetsWhateverHasFocusButCtrlCDoesNot()
    {
        window->form().tokenMouseDown(4, MouseButton::Left);
        QVERIFY(DropAt(*window, {500, 500}, new QMimeData));
        QWidget* exitButton = command(Command::Exit);
        exitButton->setFocus();
        QCOMPARE(QApplication::focusWidget(), exitButton);

        QKeyEvent ctrlC(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QString(QChar(3)));
        QApplication::sendEvent(exitButton, &ctrlC);
        QTest::keyClick(exitButton, Qt::Key_X);
        QCOMPARE(token(4)->pos(), QPoint(500, 500));

        QTest::keyClick(exitButton, Qt::Key_C, Qt::AltModifier); // a command, not a "c"
        QCOMPARE(token(4)->pos(), QPoint(500, 500));

        QTest::keyClick(exitButton, Qt::Key_C, Qt::ShiftModifier); // "C"
        QCOMPARE(token(4)->pos(), QPoint(928, 240));
        QVERIFY(window->isVisible()); // and the focused EXIT button was not triggered
    }

    void keysMoveTheFocusedTokenAndPressTheFocusedCommand()
    {
        QAccessibleInterface* asc = QAccessible::queryAccessibleInterface(token(0));
        QCOMPARE(asc->text(QAccessible::Description), QStringLiteral("in the tray"));
        QCOMPARE(QApplication::focusWidget(), token(0));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(token(0), Qt::Key_Right);
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(token(0), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(token(0)->pos(), QPoint(928 + 3, 56 + 20));
        QCOMPARE(QApplication::focusWidget(), token(0)); // arrows move the token, not the focus

        // Enter on a token does nothing; on a command button it presses it.
        window->form().tokenMouseDown(1, MouseButton::Left);
        QVERIFY(DropAt(*window, {200, 40}, new QMimeData));
        QCOMPARE(QAccessible::queryAccessibleInterface(token(1))->text(QAccessible::Description),
            QStringLiteral("in Aries"));
        QTest::keyClick(token(1), Qt::Key_Return);
        QCOMPARE(token(1)->pos(), QPoint(200, 40));
        command(Command::Clear)->setFocus();
        QTest::keyClick(command(Command::Clear), Qt::Key_Return);
        QCOMPARE(token(1)->pos(), QPoint(928, 96));
        command(Command::ToggleNames)->setFocus();
        QTest::keyClick(command(Command::ToggleNames), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(command(Command::ToggleNames)->text(), QStringLiteral("SHOW RASHIS"));
        QTest::keyClick(command(Command::ToggleNames), Qt::Key_Space);
        QCOMPARE(command(Command::ToggleNames)->text(), QStringLiteral("CLR RASHIS"));
        command(Command::Exit)->setFocus();
        QTest::keyClick(command(Command::Exit), Qt::Key_Return);
        QVERIFY(!window->isVisible());
    }

    void exitClosesTheWindow()
    {
        QTest::mouseClick(command(Command::Exit), Qt::LeftButton);
        QVERIFY(!window->isVisible());
    }

    void scalesUniformlyWithTheWindow()
    {
        window->resize(1041 * 2, 741 * 2);
        QCOMPARE(token(0)->geometry(), QRect(928 * 2, 56 * 2, 49 * 2, 33 * 2));
        QCOMPARE(command(Command::Print)->geometry(), QRect(880 * 2, 640 * 2, 145 * 2, 25 * 2));
        // Narrower than the board's aspect: it shrinks to the width and is centred vertically.
        window->resize(520, 741);
        const QRect asc = token(0)->geometry();
        QVERIFY(asc.right() < 520);
        QVERIFY(asc.width() < 49);
        QVERIFY(asc.top() > 56 / 2 + 100);
    }

    void pictureHasTheBoardsColours()
    {
        const QImage image = window->grab().toImage();
        QCOMPARE(image.pixelColor(1030, 730), Rgb(kLightYellow));
        // A token is a flat fill of its own colour, bevel aside.
        const QRect sun = token(1)->geometry();
        QCOMPARE(image.pixelColor(sun.left() + 5, sun.top() + 3), Rgb(kTokens[1].fill));
        QCOMPARE(image.pixelColor(sun.right() - 5, sun.bottom() - 3), Rgb(kTokens[1].fill));
        QCOMPARE(image.pixelColor(sun.left() + 5, sun.bottom() - 3), Rgb(kTokens[1].fill));
        // The grid line left of the second column and the frame's left edge are solid.
        const QColor ink = window->palette().color(QPalette::WindowText);
        QCOMPARE(image.pixelColor(175, 400), ink);
        QCOMPARE(image.pixelColor(176, 400), ink);
        QCOMPARE(image.pixelColor(8, 400), ink);
        QCOMPARE(image.pixelColor(9, 400), ink);
        QCOMPARE(image.pixelColor(174, 400), Rgb(kLightYellow));
    }

    void everyNameFitsItsBoxInTheBoardsFonts()
    {
        const Viewport one;
        for (int i = 0; i < kSignCount; ++i) {
            const Rect box = SignBox(i);
            for (const LabelRow* row :
                {&kWesternNames[std::size_t(i)], &kSanskritNames[std::size_t(i)]}) {
                const QFontMetricsF m(ToQFont(ScaledFont(row->font, one)));
                const double right = one.ToPixelsX(row->rect.left)
                    + m.boundingRect(
                           QString::fromUtf8(row->caption.data(), qsizetype(row->caption.size())))
                          .right();
                // Clear of the grid line on the box's right edge.
                QVERIFY2(right < one.ToPixelsX(box.right()) - 1,
                    qPrintable(
                        QString::fromUtf8(row->caption.data(), qsizetype(row->caption.size()))));
            }
        }
        for (const LabelRow& row : kCaptions) {
            const QFontMetricsF m(ToQFont(ScaledFont(row.font, one)));
            const QString text
                = QString::fromUtf8(row.caption.data(), qsizetype(row.caption.size()));
            QVERIFY2(m.horizontalAdvance(text) <= row.rect.width / 15.0, qPrintable(text));
        }
        QCOMPARE(
            QFontInfo(ToQFont({"Arial", 13, true})).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(QFontInfo(ToQFont({"MS Serif", 18, true})).family(),
            QStringLiteral("Liberation Serif"));
    }

    void hiddenNamesLeaveTheirBoxesEmpty()
    {
        const QRect aries(184, 24, 160, 17); // "Aries" .. "Mesha" at 2760..5175 twips
        auto darkPixels = [&](const QImage& img) {
            int n = 0;
            for (int y = aries.top(); y <= aries.bottom(); ++y)
                for (int x = aries.left(); x <= aries.right(); ++x)
                    n += qGray(img.pixel(x, y)) < 160;
            return n;
        };
        QVERIFY(darkPixels(window->grab().toImage()) > 30);
        QTest::mouseClick(command(Command::ToggleNames), Qt::LeftButton);
        QCOMPARE(darkPixels(window->grab().toImage()), 0);
    }

    void accessibleNamesAreCaptionsAndTitle()
    {
        QAccessibleInterface* w = QAccessible::queryAccessibleInterface(window.get());
        QVERIFY(w);
        QCOMPARE(w->text(QAccessible::Name), QStringLiteral("The Vantorel"));
        QAccessibleInterface* sun = QAccessible::queryAccessibleInterface(token(1));
        QCOMPARE(sun->text(QAccessible::Name), QStringLiteral("Sun"));
        QTest::mouseClick(command(Command::ToggleNames), Qt::LeftButton);
        QAccessibleInterface* toggle
            = QAccessible::queryAccessibleInterface(command(Command::ToggleNames));
        QCOMPARE(toggle->text(QAccessible::Name), QStringLiteral("SHOW RASHIS"));
    }

    void aPressThatGoesTheDragDistanceStartsAMoveOnlyDragOfEmptyText()
    {
        QList<int> tokens;
        window->setDragRunner([&](QDrag& drag, Qt::DropActions allowed) {
            tokens << window->form().board().PressedToken().value_or(-1);
            const QMimeData* data = drag.mimeData();
            if (!data || data->formats() != QStringList {"text/plain"} || !data->text().isEmpty())
                tokens << -100;
            if (allowed != Qt::MoveAction || drag.hotSpot() != QPoint(0, 0))
                tokens << -200;
            return Qt::IgnoreAction;
        });
        const int d = QApplication::startDragDistance();
        for (const auto& [index, button] : {std::pair {2, Qt::LeftButton},
                 std::pair {6, Qt::RightButton}, std::pair {8, Qt::MiddleButton}}) {
            const QPoint at = Centre(token(index));
            PressToken(token(index), at, button,
                [&] { QTest::mouseMove(window.get(), at + QPoint(d, 0)); });
            QTest::mouseRelease(window.get(), button, {}, at + QPoint(d, 0));
        }
        QCOMPARE(tokens, QList<int>({2, 6, 8}));
        // A press that never drops leaves every token where it was.
        QCOMPARE(token(2)->pos(), QPoint(928, 144));
    }

    void dropsLandTheCornerOnThePointAtAnyScale()
    {
        window->setDragRunner([&](QDrag&, Qt::DropActions) {
            DropAt(*window, {200, 40}, new QMimeData); // over Aries
            return Qt::MoveAction;
        });
        PressToken(token(1), {934, 102}, Qt::LeftButton, [&] {
            QTest::mouseMove(window.get(), {600, 102});
        });
        QCOMPARE(window->form().board().Token(1), (TokenPosition {3000, 600}));
        QCOMPARE(token(1)->pos(), QPoint(200, 40));

        window->resize(1041 * 2, 741 * 2);
        window->setDragRunner([&](QDrag&, Qt::DropActions) {
            DropAt(*window, {801, 81}, new QMimeData);
            return Qt::MoveAction;
        });
        PressToken(token(1), Centre(token(1)), Qt::LeftButton, [&] {
            QTest::mouseMove(window.get(), {600, 102});
        });
        QCOMPARE(window->form().board().Token(1), (TokenPosition {6007.5f, 607.5f}));
    }

    // A press on a token and what follows it, as the window sees it, and whether the press
    // counts as a click: let go over the window within the drag distance. The window system's
    // drag is asked for only once the press has gone the distance, so a quick click never
    // races a compositor's drag; never the buttons' state after a drag either, which on
    // Wayland still says the button is down.
    void aPressOnATokenIsAClickOrADragByWhatTheWindowSaw()
    {
        const QPoint press(934, 102); // in Sun, at (928, 96)
        const QPoint home(928, 96);
        const int d = QApplication::startDragDistance();
        // What ends the press, after the moves: the release (at `at`), Escape, the desktop
        // taking the window away, or nothing the press sees (the drag has begun).
        enum class Then { LetGo, Escape, WindowAway, Nothing };
        const struct {
            const char* what;
            std::vector<QPoint> way; // pointer moves while the button is down
            Then then;
            QPoint at;
            std::optional<QPoint> dropAt; // where the window system's drag drops, if it runs
            bool dragRuns;
            bool held;
            QPoint sunAt;
        } rows[] {
            {"let go where pressed", {}, Then::LetGo, press, {}, false, true, home},
            {"a tremor within the drag distance", {press + QPoint(d - 1, 1 - d)}, Then::LetGo,
                press + QPoint(d - 1, 0), {}, false, true, home},
            {"Escape, then let go", {}, Then::Escape, press, {}, false, false, home},
            {"the desktop takes the window away: no release comes", {}, Then::WindowAway, {}, {},
                false, false, home},
            {"the drag distance along y: the drag runs, and drops on the board",
                {press + QPoint(0, d)}, Then::Nothing, {}, QPoint(400, 300), true, false,
                {400, 300}},
            {"a drag that ends with no drop (Escape in it, or let go elsewhere)", {{400, 300}},
                Then::Nothing, {}, {}, true, false, home},
            {"a flick let go before the drag could begin: the window takes the drop", {{400, 300}},
                Then::LetGo, {402, 301}, {}, false, false, {402, 301}},
            {"a flick let go over another token: refused", {{934, 160}}, Then::LetGo, {934, 160},
                {}, false, false, home},
            {"a flick let go outside the window", {{1100, 300}}, Then::LetGo, {1100, 300}, {},
                false, false, home},
        };
        for (const auto& row : rows) {
            window->form().cmdclearClick();
            bool dragRan = false;
            window->setDragRunner([&](QDrag&, Qt::DropActions) {
                dragRan = true;
                if (row.dropAt)
                    DropAt(*window, *row.dropAt, new QMimeData);
                return Qt::IgnoreAction;
            });
            PressToken(token(1), press, Qt::LeftButton, [&] {
                for (const QPoint& at : row.way)
                    QTest::mouseMove(window.get(), at);
                QEvent away(QEvent::WindowDeactivate);
                switch (row.then) {
                case Then::LetGo:
                    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, row.at);
                    break;
                case Then::Escape:
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                    break;
                case Then::WindowAway:
                    QApplication::sendEvent(window.get(), &away);
                    break;
                case Then::Nothing:
                    break;
                }
            });
            if (row.then != Then::LetGo)
                QTest::mouseRelease(window.get(), Qt::LeftButton, {}, press);
            QVERIFY2(dragRan == row.dragRuns, row.what);
            QVERIFY2(window->form().heldToken() == (row.held ? std::optional(1) : std::nullopt),
                row.what);
            QVERIFY2(token(1)->pos() == row.sunAt, row.what);
        }
    }

    // A click on the surface puts a held token there; a press that goes the drag distance
    // before it is let go is no click, nor is a press let go over a button.
    void aClickOnTheSurfacePutsTheHeldTokenThere()
    {
        const int d = QApplication::startDragDistance();
        const struct {
            const char* what;
            QPoint press;
            QPoint release;
            bool placed;
        } rows[] {
            {"still", {400, 300}, {400, 300}, true},
            {"a tremor", {400, 300}, {400 + d - 1, 300 - d + 1}, true},
            {"the drag distance", {400, 300}, {400 - d, 300}, false},
            {"let go over RESET", {874, 556}, {882, 556}, false},
        };
        for (const auto& row : rows) {
            window->form().cmdclearClick();
            window->form().tokenDragEnd(1, DragEnd::Click);
            QVERIFY2(window->form().heldToken() == 1, row.what);
            QTest::mousePress(window.get(), Qt::LeftButton, {}, row.press);
            QTest::mouseMove(window.get(), row.release);
            QTest::mouseRelease(window.get(), Qt::LeftButton, {}, row.release);
            QVERIFY2(token(1)->pos() == (row.placed ? row.release : QPoint(928, 96)), row.what);
        }
    }

    void dropsOverLabelsAreTakenOverButtonsRefused()
    {
        window->form().tokenMouseDown(7, MouseButton::Left);
        // Over the "Leo" label: a drop on the window.
        QVERIFY(DropAt(*window, {560, 378}, new QMimeData));
        QCOMPARE(token(7)->pos(), QPoint(560, 378));
        // Over another token or a command button: refused, nothing moves.
        QVERIFY(!DropAt(*window, Centre(token(0)), new QMimeData));
        QVERIFY(!DropAt(*window, Centre(command(Command::Print)), new QMimeData));
        QCOMPARE(token(7)->pos(), QPoint(560, 378));
    }

    void foreignDropsAreAnsweredCopyWhereOffered()
    {
        QMimeData data;
        struct Case {
            Qt::DropActions offered;
            Qt::DropAction answer;
        };
        for (const Case& c : {Case {Qt::CopyAction | Qt::MoveAction, Qt::CopyAction},
                 Case {Qt::LinkAction | Qt::MoveAction, Qt::LinkAction},
                 Case {Qt::MoveAction, Qt::MoveAction}}) {
            QDragEnterEvent enter({100, 100}, c.offered, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(window.get(), &enter);
            QDropEvent drop({100, 100}, c.offered, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(window.get(), &drop);
            QVERIFY(drop.isAccepted());
            QCOMPARE(enter.dropAction(), c.answer);
            QCOMPARE(drop.dropAction(), c.answer);
        }
    }

    void foreignDropsMoveOnlyTheLastPressedToken()
    {
        const ChartBoard before = window->form().board();
        auto* files = new QMimeData;
        files->setUrls({QUrl("file:///etc/hostname")});
        QVERIFY(DropAt(*window, {100, 100}, files));
        QCOMPARE(window->form().board(), before);

        window->form().tokenMouseDown(9, MouseButton::Left);
        auto* text = new QMimeData;
        text->setText(QString(100000, QChar('x')));
        QVERIFY(DropAt(*window, {120, 600}, text));
        QCOMPARE(token(9)->pos(), QPoint(120, 600));
        QCOMPARE(token(8)->pos(), QPoint(928, 432));
    }

    void onlyTheServersNoticeThatTheWindowIsGoneEndsTheProgram()
    {
        const auto own = xcb_window_t(window->winId());
        const struct {
            const char* what;
            const char* platform;
            std::uint8_t type;
            xcb_window_t window;
            bool ends;
        } cases[] {
            {"its window destroyed", "xcb_generic_event_t", XCB_DESTROY_NOTIFY, own, true},
            {"another window destroyed", "xcb_generic_event_t", XCB_DESTROY_NOTIFY, own + 1, false},
            {"a client's forged notice", "xcb_generic_event_t", XCB_DESTROY_NOTIFY | 0x80, own,
                false},
            {"its window unmapped", "xcb_generic_event_t", XCB_UNMAP_NOTIFY, own, false},
            {"another platform's message", "windows_generic_MSG", XCB_DESTROY_NOTIFY, own, false},
        };
        for (const auto& c : cases) {
            int lost = 0;
            const WindowLossWatch watch(*window, [&] { ++lost; });
            xcb_destroy_notify_event_t event {};
            event.response_type = c.type;
            event.event = c.window;
            event.window = c.window;
            QAbstractEventDispatcher::instance()->filterNativeEvent(c.platform, &event, nullptr);
            QVERIFY2(lost == (c.ends ? 1 : 0), c.what);
        }
    }
};

QTEST_MAIN(QtWindowTest)
#include "qt_window_test.moc"
