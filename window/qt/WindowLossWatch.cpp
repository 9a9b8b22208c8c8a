// SPDX-License-Identifier: MIT
#include "WindowLossWatch.h"

#include <QCoreApplication>
#include <QWidget>
#include <xcb/xcb.h>

namespace vantorel {

WindowLossWatch::WindowLossWatch(const QWidget& window, std::function<void()> lost)
    : m_window(window)
    , m_lost(std::move(lost))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowLossWatch::~WindowLossWatch()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool WindowLossWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    // Qt's X plugin asks for structure notices on its windows; no other platform has them.
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_destroy_notify_event_t*>(message);
    // The high bit marks a notice another client sent: the server's own says the window is gone.
    if (event->response_type != XCB_DESTROY_NOTIFY || event->window != m_window.internalWinId())
        return false;
    m_lost();
    return false;
}

void WindowLossWatch::EndProgram()
{
    QCoreApplication::exit(0);
}

} // namespace vantorel
