// SPDX-License-Identifier: MIT
// The board window as Qt's accessibility layer offers it, offscreen: a window whose children are
// the painted parts and then the push buttons, and the focus ring's contrast measured on the
// pixels a focused button draws. (The events a change sends are heard on AT-SPI, in
// keyboard_e2e: offscreen, Qt sends none.)

#include "QtAccessibility.h"
#include "QtForm.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QtTest>
#include <cmath>
#include <functional>

using namespace vantorel;
using namespace vantorel::layout;

namespace {

// WCAG's relative luminance and contrast ratio.
double Luminance(const QColor& c)
{
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class QtAccessibilityTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QtForm> window;
    QAccessibleInterface* root() { return QAccessible::queryAccessibleInterface(window.get()); }
    QRect OnScreen(QRect client) { return {window->mapToGlobal(client.topLeft()), client.size()}; }

private slots:
    void init()
    {
        window = std::make_unique<QtForm>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() { window.reset(); }

    void theWindowHoldsThePaintedPartsThenTheButtons()
    {
        QAccessibleInterface* w = root();
        QCOMPARE(w->role(), QAccessible::Window);
        QCOMPARE(w->text(QAccessible::Name), QStringLiteral("The Vantorel"));
        QCOMPARE(w->childCount(), 14 + kCommandCount + kTokenCount);

        QAccessibleInterface* aries = w->child(0);
        QCOMPARE(aries->role(), QAccessible::Grouping);
        QCOMPARE(aries->text(QAccessible::Name), QStringLiteral("Aries, Mesha: empty"));
        QCOMPARE(aries->rect(), OnScreen({176, 16, 184, 176}));
        QCOMPARE(aries->parent(), w);
        QCOMPARE(w->indexOfChild(aries), 0);
        QCOMPARE(w->child(11)->text(QAccessible::Name), QStringLiteral("Pisces, Meenam: empty"));

        QAccessibleInterface* centre = w->child(12);
        QCOMPARE(centre->text(QAccessible::Name), QStringLiteral("Centre"));
        QCOMPARE(centre->childCount(), kCaptionCount);
        QAccessibleInterface* title = centre->child(0);
        QCOMPARE(title->role(), QAccessible::StaticText);
        QCOMPARE(title->text(QAccessible::Name), QString::fromUtf8(kCaptions[3].caption.data()));
        QCOMPARE(title->parent(), centre);
        QCOMPARE(centre->indexOfChild(title), 0);
        QVERIFY(
            w->child(13)->text(QAccessible::Name).startsWith(QStringLiteral("Tray: Ascendant")));

        // Then the push buttons, the tokens with where they stand.
        QAccessibleInterface* first = w->child(14);
        QCOMPARE(first->role(), QAccessible::Button);
        QCOMPARE(w->indexOfChild(first), 14);
        QAccessibleInterface* sun
            = QAccessible::queryAccessibleInterface(window->button(ButtonRef::token(1)));
        QVERIFY(w->indexOfChild(sun) >= 14);

        // What lies under a point: a button above a box, a caption inside the centre.
        const QPoint inAries = window->mapToGlobal(QPoint(300, 150));
        QCOMPARE(w->childAt(inAries.x(), inAries.y()), aries);
        window->form().tokenMouseDown(1, MouseButton::Left);
        window->form().formDragDrop(280, 130);
        QCOMPARE(w->childAt(inAries.x(), inAries.y()), sun);
        QCOMPARE(aries->text(QAccessible::Name), QStringLiteral("Aries, Mesha: Sun"));
        const QPoint inTitle = window->mapToGlobal(QPoint(300, 300));
        QCOMPARE(w->childAt(inTitle.x(), inTitle.y()), centre);
        QCOMPARE(centre->childAt(inTitle.x(), inTitle.y()), title);
    }

    // What each action did reaches a reader as a notification shown anew, which lies in the
    // window but is none of its children: reading the window never meets an old one.
    void eachActionIsToldByANotificationOutsideTheTree()
    {
        QtBoardAccessibility* store = QtBoardAccessibility::Of(window.get());
        QVERIFY(store);
        QAccessibleInterface* told = store->announcer();
        QCOMPARE(told->role(), QAccessible::Notification);
        QCOMPARE(told->parent(), root());
        QCOMPARE(root()->indexOfChild(told), -1);
        QVERIFY(!told->state().invisible);

        Form1& form = window->form();
        window->button(ButtonRef::token(0))->setFocus();
        const struct {
            const char* what;
            std::function<void()> act;
            const char* said;
        } steps[] = {
            {"Page Down on Asc",
                [&] { form.formKeyDown(Key::PageDown, false, ButtonRef::token(0)); },
                "Ascendant in Aries"},
            {"a click on Sun", [&] { form.tokenDragEnd(1, DragEnd::Click); },
                "Sun held: click where to put it"},
            {"c", [&] { form.formKeyPress(u'c'); }, "All planets in the tray"},
            {"CLR RASHIS", [&] { form.commandClick(Command::ToggleNames); }, "Sign names hidden"},
        };
        for (const auto& step : steps) {
            step.act();
            QVERIFY2(told->text(QAccessible::Name) == QString::fromUtf8(step.said), step.what);
        }
    }

    // Each button drawn without and with the focus: the pixels that change are the focus ring,
    // inset from the edge and clear of the caption, and on every side some of them differ from
    // what they cover by at least 3:1.
    void theFocusRingStandsOutOnEveryTokenAndOnTheButtonFace()
    {
        std::vector<ButtonRef> buttons;
        for (int i = 0; i < kTokenCount; ++i)
            buttons.push_back(ButtonRef::token(i));
        buttons.push_back(ButtonRef::command(Command::Clear));
        for (ButtonRef ref : buttons) {
            BoardButton* button = window->button(ref);
            window->setFocus();
            const QImage plain = button->grab().toImage();
            button->setFocus();
            QVERIFY(button->hasFocus());
            const QImage focused = button->grab().toImage();
            QCOMPARE(focused.size(), plain.size());

            const int w = plain.width();
            const int h = plain.height();
            std::array<double, 4> best {}; // left, right, top, bottom
            double dark = 1; // an unchanged ring, white on white, is 1:1
            double light = 1;
            int changed = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const QColor before = plain.pixelColor(x, y);
                    const QColor after = focused.pixelColor(x, y);
                    if (before == after)
                        continue;
                    ++changed;
                    // The ring lies between the bevel and the caption: 3 to 4 pixels in.
                    const int in = std::min({x, y, w - 1 - x, h - 1 - y});
                    QVERIFY2(in >= 3 && in <= 4,
                        qPrintable(QStringLiteral("%1,%2 changed").arg(x).arg(y)));
                    const double ratio = Contrast(before, after);
                    (in == 3 ? dark : light) = std::max(in == 3 ? dark : light, ratio);
                    const int side = in == x ? 0 : in == w - 1 - x ? 1 : in == y ? 2 : 3;
                    best[std::size_t(side)] = std::max(best[std::size_t(side)], ratio);
                }
            QVERIFY(changed > 0);
            const double least = *std::min_element(best.begin(), best.end());
            qInfo("%s: dark ring %.2f:1, light ring %.2f:1 against the fill",
                ref.row().caption.data(), dark, light);
            QVERIFY2(least >= 3.0, ref.row().caption.data());
        }
    }
};

QTEST_MAIN(QtAccessibilityTest)
#include "qt_accessibility_test.moc"
