// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>

class QWidget;

namespace vantorel {

// Another X client may destroy the window outright (xdotool windowclose, a window manager's
// kill). No close event comes then, and the program would run on with nothing on the screen.
// While it lives, this watch sees the X server's notice that the window is gone and ends the
// program as closing the window does, with status 0, touching the dead window no more; tests
// give it something else to do instead.
class WindowLossWatch final : public QAbstractNativeEventFilter {
public:
    explicit WindowLossWatch(const QWidget& window, std::function<void()> lost = EndProgram);
    ~WindowLossWatch() override;
    WindowLossWatch(const WindowLossWatch&) = delete;
    WindowLossWatch& operator=(const WindowLossWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override;

    // What a close ends in, without the hiding that comes first: the window is no more, and
    // nothing may be asked of it.
    static void EndProgram();

private:
    const QWidget& m_window;
    std::function<void()> m_lost;
};

} // namespace vantorel
