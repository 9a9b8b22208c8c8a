// SPDX-License-Identifier: MIT
#include "WebForm.h"

#include "Page.h"
#include "WebCanvas.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace vantorel {

using namespace layout;

namespace {

// A page cannot always close its own tab; when it cannot, this is all it shows.
constexpr std::string_view kClosedLine = "The board is closed. Reload the page to open it again.";

// The printed picture is drawn at three times the screen's scale: 288 dots per inch on paper,
// sharp on any printer, and still a picture the browser fits to the page itself.
constexpr double kPrintScale = 3;

int Rgb(Colour c)
{
    return (int(c.red) << 16) | (int(c.green) << 8) | int(c.blue);
}

} // namespace

namespace {

// The page's drag distance for a pointer of that kind.
DragDistance PageDragDistance(const PageRelease& release)
{
    return release.touch ? kPageTouchDragDistance : kPageMouseDragDistance;
}

PressTravel TravelOf(const PageRelease& release)
{
    PressTravel travel(0, 0);
    travel.MoveTo(release.travelX, release.travelY);
    return travel;
}

} // namespace

int ButtonId(ButtonRef ref)
{
    const auto* at = std::find(kStackingOrder.begin(), kStackingOrder.end(), ref);
    return int(at - kStackingOrder.begin());
}

WebForm::WebForm()
{
    vt_setup(kWindow.caption.data(), int(kWindow.caption.size()));
    // The page's focus order is the order of its elements.
    for (ButtonRef ref : kFocusOrder)
        vt_create_button(ButtonId(ref), ref.group == ButtonRef::Group::Token, ButtonId(ref));
    m_form.formLoad();
}

void WebForm::resize(double cssWidth, double cssHeight, double pixelRatio)
{
    m_ratio = pixelRatio > 0 && std::isfinite(pixelRatio) ? pixelRatio : 1.0;
    const Viewport view = Viewport::FitPage(cssWidth, cssHeight, m_ratio);
    // As the page sizes its canvas.
    m_pageWidth = std::round(cssWidth * m_ratio);
    m_pageHeight = std::round(cssHeight * m_ratio);
    m_offsetX = view.originX();
    m_offsetY = view.originY();
    // The board's client area is the board with its margin at the page's scale; the page
    // around it is ground.
    const SizeF design = Viewport::DefaultClientSize();
    m_form.formResize(design.width * view.scale(), design.height * view.scale());
}

void WebForm::paintSurface()
{
    WebCanvas canvas(kSurfaceTarget, m_offsetX, m_offsetY);
    m_form.paintSurface(canvas, {-m_offsetX, -m_offsetY, m_pageWidth, m_pageHeight});
}

void WebForm::paintButton(int id, bool pressed, bool focused)
{
    if (id < 0 || id >= int(kStackingOrder.size()))
        return;
    const PixelRect& r = m_rects[std::size_t(id)];
    WebCanvas canvas(id, 0, 0);
    m_form.paintButton(canvas, kStackingOrder[std::size_t(id)],
        {0, 0, double(r.width), double(r.height)}, {pressed, focused});
}

void WebForm::paintPrintPage()
{
    // The browser's own print command reaches the page without passing PRINT: the paper gets
    // the print palette all the same, and the screen never leaves its own.
    ChartBoard paper = m_form.board();
    paper.ApplyPrintPalette();
    paintPrintPage(paper);
}

void WebForm::paintPrintPage(const ChartBoard& board)
{
    const SizeF design = Viewport::DefaultClientSize();
    const RectF page {0, 0, design.width * kPrintScale, design.height * kPrintScale};
    vt_size_print_page(page.width, page.height);
    WebCanvas canvas(kPrintTarget, 0, 0);
    PaintClientArea(canvas, board, Viewport(kPrintScale, 0, 0), Colours(), page);
}

void WebForm::tokenDown(int id, MouseButton button)
{
    if (m_closed || id < 0 || id >= int(kStackingOrder.size()))
        return;
    const ButtonRef ref = kStackingOrder[std::size_t(id)];
    if (ref.group == ButtonRef::Group::Token)
        m_form.tokenMouseDown(ref.index, button);
}

void WebForm::tokenDragEnd(int id, const PageRelease& release)
{
    if (m_closed || id < 0 || id >= int(kStackingOrder.size()))
        return;
    const ButtonRef ref = kStackingOrder[std::size_t(id)];
    if (ref.group != ButtonRef::Group::Token)
        return;
    const DragEnd end = EndOfTokenDrag(TravelOf(release), PageDragDistance(release), release.letGo);
    // A drag let go over the page drops there, where the board takes it.
    if (end == DragEnd::Drag && release.letGo)
        drop(release.x, release.y);
    m_form.tokenDragEnd(ref.index, end);
}

bool WebForm::drop(double cssX, double cssY)
{
    return !m_closed && m_form.formDragDrop(cssX * m_ratio - m_offsetX, cssY * m_ratio - m_offsetY);
}

bool WebForm::takesDropAt(double cssX, double cssY) const
{
    return !m_closed && m_form.takesDropAt(cssX * m_ratio - m_offsetX, cssY * m_ratio - m_offsetY);
}

void WebForm::surfaceRelease(const PageRelease& release)
{
    if (m_closed || !release.letGo || TravelOf(release).Dragged(PageDragDistance(release)))
        return;
    m_form.formClick(release.x * m_ratio - m_offsetX, release.y * m_ratio - m_offsetY);
}

void WebForm::keyPress(char16_t code)
{
    if (!m_closed)
        m_form.formKeyPress(code);
}

bool WebForm::keyDown(Key key, bool shift, int focusedId)
{
    if (m_closed)
        return false;
    std::optional<ButtonRef> focused;
    if (focusedId >= 0 && focusedId < int(kStackingOrder.size()))
        focused = kStackingOrder[std::size_t(focusedId)];
    return m_form.formKeyDown(key, shift, focused);
}

void WebForm::command(int id)
{
    if (m_closed || id < 0 || id >= int(kStackingOrder.size()))
        return;
    const ButtonRef ref = kStackingOrder[std::size_t(id)];
    if (ref.group == ButtonRef::Group::Command)
        m_form.commandClick(static_cast<Command>(ref.index));
}

void WebForm::edit(EditCommand command)
{
    if (!m_closed)
        m_form.editCommand(command);
}

SystemColours WebForm::Colours() const
{
    // A page cannot read the desktop's colours; the classic ones are what the board was drawn
    // with.
    return {};
}

void WebForm::PlaceButton(ButtonRef ref, const PixelRect& r, double)
{
    const int id = ButtonId(ref);
    m_rects[std::size_t(id)] = r;
    vt_place_button(id, r.x + m_offsetX, r.y + m_offsetY, r.width, r.height, m_ratio);
}

void WebForm::SetButtonCaption(ButtonRef ref, std::string_view utf8)
{
    vt_set_caption(ButtonId(ref), utf8.data(), int(utf8.size()));
}

void WebForm::SetButtonVisible(ButtonRef ref, bool visible)
{
    vt_set_visible(ButtonId(ref), visible);
}

void WebForm::SetButtonDescription(ButtonRef ref, std::string_view utf8)
{
    vt_set_description(ButtonId(ref), utf8.data(), int(utf8.size()));
}

void WebForm::SetAccessibleItem(int index, const AccessibleItem& item)
{
    const PixelRect& r = item.rect;
    vt_set_item(index, item.parent, item.role == AccessibleItem::Role::Text, item.name.data(),
        int(item.name.size()), item.description.data(), int(item.description.size()),
        r.x + m_offsetX, r.y + m_offsetY, r.width, r.height, m_ratio);
}

void WebForm::RepaintSurface()
{
    vt_invalidate_surface();
}

void WebForm::CloseWindow()
{
    m_closed = true;
    vt_close(kClosedLine.data(), int(kClosedLine.size()), Rgb(m_form.board().WindowBackground()));
}

DragEnd WebForm::BeginDrag(int token)
{
    // A page cannot hold the press handler until the drag ends: the drag runs on in the page,
    // and its drop and its end arrive later.
    vt_begin_drag(ButtonId(ButtonRef::token(token)));
    return DragEnd::Pending;
}

void WebForm::RepaintButton(ButtonRef ref)
{
    vt_invalidate_button(ButtonId(ref));
}

void WebForm::SetPlacingPointer(bool placing)
{
    vt_set_placing(placing);
}

void WebForm::PrintClientArea()
{
    // The print palette is in force now; the paper is drawn from the same values.
    paintPrintPage(m_form.board());
    vt_print();
}

void WebForm::Announce(std::string_view utf8)
{
    vt_announce(utf8.data(), int(utf8.size()));
}

} // namespace vantorel
