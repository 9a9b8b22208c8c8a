// SPDX-License-Identifier: MIT
#include "QtOpening.h"

#include "Viewport.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace vantorel {

namespace {

PixelRect FromQRect(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

template <typename Reply> using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

// The frame around the window, in its device-independent pixels. Qt rounds its own answer to
// whole ones, which at a pixel ratio of 1.5 hides up to a device pixel on each side: on X11 the
// window manager's own figures are read, in device pixels.
FrameExtents FrameOf(QWindow& window)
{
    const QMargins m = window.frameMargins();
    FrameExtents frame {double(m.left()), double(m.top()), double(m.right()), double(m.bottom())};
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return frame;
    xcb_connection_t* c = x11->connection();
    static constexpr char kName[] = "_NET_FRAME_EXTENTS";
    const XcbReply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof kName - 1, kName), nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return frame;
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c,
            xcb_get_property(
                c, 0, xcb_window_t(window.winId()), atom->atom, XCB_ATOM_CARDINAL, 0, 4),
            nullptr),
        &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return frame;
    // Left, right, top, bottom.
    const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    const double ratio = window.devicePixelRatio();
    return {v[0] / ratio, v[2] / ratio, v[1] / ratio, v[3] / ratio};
}

// Sizes the window for its screen's work area and the frame it has now, and keeps the frame
// on that work area.
void Fit(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const PixelRect work = FromQRect(screen->availableGeometry());
    QWindow* handle = window.windowHandle();
    const FrameExtents frame = handle ? FrameOf(*handle) : FrameExtents {};
    const SizeF size = Viewport::OpeningClientSize(work, frame, 1);
    window.resize(int(size.width), int(size.height));
    const QRect outer = window.frameGeometry();
    if (outer.size() == window.size())
        return; // no frame yet: its place is the window manager's to choose
    const PixelRect kept = Viewport::KeepInside(FromQRect(outer), work);
    if (kept.x != outer.x() || kept.y != outer.y())
        window.move(kept.x, kept.y);
}

// A window manager tells the frame it puts around a window only once it has framed it, which
// is done by the time the window is first exposed: the size chosen without a frame is set
// again then, before the user has seen much of it. Once only, so later resizing is the user's.
class FirstExposure final : public QObject {
public:
    explicit FirstExposure(QWidget& window)
        : QObject(&window)
        , m_window(window)
    { }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* handle = qobject_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && handle && handle->isExposed()) {
            handle->removeEventFilter(this);
            Fit(m_window);
            deleteLater();
        }
        return false;
    }

private:
    QWidget& m_window;
};

} // namespace

void ShowFitted(QWidget& window)
{
    window.winId(); // the native window, to watch it from its first exposure on
    Fit(window);
    window.windowHandle()->installEventFilter(new FirstExposure(window));
    window.show();
}

} // namespace vantorel
