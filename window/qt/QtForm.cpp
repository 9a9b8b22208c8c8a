// SPDX-License-Identifier: MIT
#include "QtForm.h"

#include "QtAccessibility.h"
#include "QtCanvas.h"
#include "QtPrintModule.h"

#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace vantorel {

using namespace layout;

namespace {

QString ToQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

MouseButton FromQt(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::Other;
    }
}

Key KeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Left:
        return Key::Left;
    case Qt::Key_Right:
        return Key::Right;
    case Qt::Key_Up:
        return Key::Up;
    case Qt::Key_Down:
        return Key::Down;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::Enter;
    case Qt::Key_Space:
        return Key::Space;
    case Qt::Key_Escape:
        return Key::Escape;
    case Qt::Key_PageUp:
        return Key::PageUp;
    case Qt::Key_PageDown:
        return Key::PageDown;
    default:
        return Key::Other;
    }
}

// Qt numbers its drop actions as OLE does: copy 1, move 2, link 4.
Qt::DropAction Answer(Qt::DropActions offered)
{
    return static_cast<Qt::DropAction>(AnswerDrop(int(offered.toInt())));
}

Colour FromQColor(const QColor& c)
{
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
        static_cast<std::uint8_t>(c.blue())};
}

} // namespace

BoardButton::BoardButton(QtForm& form, ButtonRef ref)
    : QPushButton(&form)
    , m_form(form)
    , m_ref(ref)
{
    setObjectName(ToQString(ref.row().name)
        + (ref.row().index >= 0 ? QStringLiteral("(%1)").arg(ref.row().index) : QString()));
    setText(ToQString(ref.row().caption));
    // A press on a token is the drag's, never the focus's, as on every other platform: the
    // keyboard reaches a token by Tab.
    setFocusPolicy(ref.group == ButtonRef::Group::Token ? Qt::TabFocus : Qt::StrongFocus);
    setAutoDefault(false);
    // The window's crosshair, while a token is held, is for its surface alone.
    setCursor(Qt::ArrowCursor);
    // Before a screen reader first asks: a token is read as one that tells where it stands.
    if (ref.group == ButtonRef::Group::Token)
        SetQuietDescription(*this, QString());
}

void BoardButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QtCanvas canvas(painter);
    m_form.form().paintButton(
        canvas, m_ref, {0, 0, double(width()), double(height())}, {isDown(), hasFocus()});
}

void BoardButton::mousePressEvent(QMouseEvent* event)
{
    if (m_ref.group != ButtonRef::Group::Token)
        return QPushButton::mousePressEvent(event);
    // A token never behaves as a button: any press opens a drag, and the press handler returns
    // only when the drag has ended.
    event->accept();
    m_form.tokenPressed(m_ref.index, FromQt(event->button()), mapTo(&m_form, event->position()));
}

void BoardButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_ref.group != ButtonRef::Group::Token)
        return QPushButton::mouseDoubleClickEvent(event);
    mousePressEvent(event);
}

QtForm::QtForm()
    : m_dragRunner([](QDrag& drag, Qt::DropActions allowed) { return drag.exec(allowed); })
    , m_boardPrinter(PrintThroughModule)
{
    InstallBoardAccessibility();
    m_accessibility = new QtBoardAccessibility(*this);
    setWindowTitle(ToQString(kWindow.caption));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);

    // Created bottom to top, so siblings stack as the board's picture stacks them.
    for (ButtonRef ref : kStackingOrder) {
        auto* b = new BoardButton(*this, ref);
        if (ref.group == ButtonRef::Group::Token)
            m_tokens[std::size_t(ref.index)] = b;
        else {
            m_commands[std::size_t(ref.index)] = b;
            connect(b, &QPushButton::clicked, this,
                [this, c = static_cast<Command>(ref.index)] { m_form.commandClick(c); });
        }
    }
    for (std::size_t i = 1; i < kFocusOrder.size(); ++i)
        setTabOrder(button(kFocusOrder[i - 1]), button(kFocusOrder[i]));

    const SizeF client = Viewport::DefaultClientSize();
    resize(int(client.width), int(client.height));
    m_form.formResize(client.width, client.height);
    m_form.formLoad();
    button(kFocusOrder.front())->setFocus();

    qApp->installEventFilter(this);
}

QtForm::~QtForm()
{
    qApp->removeEventFilter(this);
}

BoardButton* QtForm::button(ButtonRef ref) const
{
    const auto i = static_cast<std::size_t>(ref.index);
    return ref.group == ButtonRef::Group::Token ? m_tokens.at(i) : m_commands.at(i);
}

void QtForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QtCanvas canvas(painter);
    m_form.paintSurface(canvas, {0, 0, double(width()), double(height())});
}

void QtForm::resizeEvent(QResizeEvent*)
{
    m_form.formResize(width(), height());
}

bool QtForm::eventFilter(QObject* watched, QEvent* event)
{
    if (m_ownDrag && m_ownDrag->waiting && watchPress(watched, event))
        return true;
    // Key preview: the press reaches us first when it is on its way to the focused control of
    // this window; it goes on there untouched.
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* focus = QApplication::focusWidget();
        const bool firstStop = widget && (widget == focus || (!focus && widget == this));
        if (firstStop && widget->window() == this) {
            const auto* key = static_cast<QKeyEvent*>(event);
            // The desktop's own undo and redo keys, and Ctrl+Y, which every desktop's users
            // reach for as redo too.
            if (key->matches(QKeySequence::Undo)) {
                m_form.editCommand(EditCommand::Undo);
                return true;
            }
            if (key->matches(QKeySequence::Redo)
                || QKeySequence(key->keyCombination()) == QKeySequence(Qt::CTRL | Qt::Key_Y)) {
                m_form.editCommand(EditCommand::Redo);
                return true;
            }
            // With Alt held a letter is a command to the window, not a typed character, as
            // Windows has it.
            if (!(key->modifiers() & Qt::AltModifier))
                for (QChar ch : key->text())
                    m_form.formKeyPress(ch.unicode());
            const auto* board = dynamic_cast<BoardButton*>(widget);
            if (m_form.formKeyDown(KeyOf(key->key()), key->modifiers() & Qt::ShiftModifier,
                    board ? std::optional(board->ref()) : std::nullopt))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool QtForm::watchPress(QObject* watched, QEvent* event)
{
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (m_ownDrag->ended || !widget || widget->window() != this)
        return false;
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        // The window has the pointer from the press to the release, wherever it goes. An event
        // the token leaves to the window comes twice, to the same point.
        const QPointF at = mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition());
        m_ownDrag->travel.MoveTo(at.x(), at.y());
        if (event->type() == QEvent::MouseButtonRelease) {
            m_ownDrag->ended = true;
            if (rect().contains(at.toPoint()))
                m_ownDrag->letGoAt = at;
        }
        if (m_ownDrag->ended || m_ownDrag->travel.Dragged(QtDragDistance()))
            m_ownDrag->waiting->quit();
        return false;
    }
    case QEvent::KeyPress:
        // Escape gives the press up, as it would the drag.
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
            return false;
        break;
    case QEvent::WindowDeactivate:
    case QEvent::Hide:
    case QEvent::Close:
        // The desktop took the window away: no release may ever come.
        if (widget != this)
            return false;
        break;
    default:
        return false;
    }
    m_ownDrag->ended = true;
    m_ownDrag->waiting->quit();
    return event->type() == QEvent::KeyPress;
}

void QtForm::tokenPressed(int index, MouseButton button, const QPointF& at)
{
    // One press at a time: another button pressed while a token's press runs belongs to it.
    if (m_ownDrag)
        return;
    m_tokenPressAt = at;
    m_form.tokenMouseDown(index, button);
    m_tokenPressAt.reset();
}

DragDistance QtForm::QtDragDistance()
{
    const double d = QApplication::startDragDistance();
    return {d, d};
}

void QtForm::mousePressEvent(QMouseEvent* event)
{
    if (!m_surfacePress)
        m_surfacePress.emplace(event->position().x(), event->position().y());
}

void QtForm::mouseMoveEvent(QMouseEvent* event)
{
    if (m_surfacePress)
        m_surfacePress->MoveTo(event->position().x(), event->position().y());
}

void QtForm::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_surfacePress || event->buttons() != Qt::NoButton)
        return;
    PressTravel press = *m_surfacePress;
    m_surfacePress.reset();
    press.MoveTo(event->position().x(), event->position().y());
    if (!press.Dragged(QtDragDistance()))
        m_form.formClick(event->position().x(), event->position().y());
}

bool QtForm::overPushButton(const QPointF& pos) const
{
    return !m_form.takesDropAt(pos.x(), pos.y());
}

void QtForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_ownDrag)
        m_ownDrag->travel.MoveTo(event->position().x(), event->position().y());
    // Whatever is dragged in is welcome; its payload is never read.
    event->setDropAction(Answer(event->possibleActions()));
    event->accept();
}

void QtForm::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_ownDrag)
        m_ownDrag->travel.MoveTo(event->position().x(), event->position().y());
    // Only the window's own surface takes drops: over a push button the pointer says no.
    if (overPushButton(event->position())) {
        event->ignore();
        return;
    }
    event->setDropAction(Answer(event->possibleActions()));
    event->accept();
}

void QtForm::dropEvent(QDropEvent* event)
{
    if (m_ownDrag) {
        m_ownDrag->travel.MoveTo(event->position().x(), event->position().y());
        m_ownDrag->letGoAt = event->position();
        // A click on the token: the drag's end reports it, and nothing moves.
        if (EndOfTokenDrag(m_ownDrag->travel, QtDragDistance(), true) == DragEnd::Click) {
            event->ignore();
            return;
        }
    }
    if (!takeDrop(event->position())) {
        event->ignore();
        return;
    }
    event->setDropAction(Answer(event->possibleActions()));
    event->accept();
}

bool QtForm::takeDrop(const QPointF& at)
{
    return m_form.formDragDrop(at.x(), at.y());
}

SystemColours QtForm::Colours() const
{
    const QPalette& p = palette();
    return {FromQColor(p.color(QPalette::WindowText)), FromQColor(p.color(QPalette::Button)),
        FromQColor(p.color(QPalette::ButtonText)), FromQColor(p.color(QPalette::Light)),
        FromQColor(p.color(QPalette::Mid)), FromQColor(p.color(QPalette::Shadow))};
}

void QtForm::PlaceButton(ButtonRef ref, const PixelRect& r, double)
{
    // Each button draws its own caption at the board's scale; Qt needs no font from us.
    button(ref)->setGeometry(r.x, r.y, r.width, r.height);
}

void QtForm::SetButtonCaption(ButtonRef ref, std::string_view utf8)
{
    button(ref)->setText(ToQString(utf8));
}

void QtForm::SetButtonVisible(ButtonRef ref, bool visible)
{
    button(ref)->setVisible(visible);
}

void QtForm::SetButtonDescription(ButtonRef ref, std::string_view utf8)
{
    SetQuietDescription(*button(ref), ToQString(utf8));
}

void QtForm::SetAccessibleItem(int index, const AccessibleItem& item)
{
    m_accessibility->SetItem(index, item);
}

void QtForm::RepaintSurface()
{
    update();
}

void QtForm::CloseWindow()
{
    close();
}

DragEnd QtForm::BeginDrag(int token)
{
    const QPointF from = m_tokenPressAt.value_or(QPointF(mapFromGlobal(QCursor::pos())));
    m_ownDrag.emplace(OwnDrag {PressTravel(from.x(), from.y()), std::nullopt});
    // A press stays a click until it goes the drag distance, and only then is the window system
    // asked for a drag. Asked at once, a compositor's drag races the release of a quick click:
    // let go before the window has answered the drag's first notice, it ends with no drop, and
    // the click is lost. The window has the pointer until then, release included.
    if (m_tokenPressAt) {
        QEventLoop waiting;
        m_ownDrag->waiting = &waiting;
        waiting.exec();
        m_ownDrag->waiting = nullptr;
    }
    // Let go past the drag distance before the drag could begin (a flick, its events all
    // handled at once on a busy machine): the window takes it as the drop it would have had.
    if (m_ownDrag->ended && m_ownDrag->letGoAt && m_ownDrag->travel.Dragged(QtDragDistance()))
        takeDrop(*m_ownDrag->letGoAt);
    else if (!m_ownDrag->ended)
        runDrag(token);
    // Decided from what the window saw, never from the buttons' state after the drag: on
    // Wayland the release goes to the compositor's drag, and Qt still thinks a button is down.
    const DragEnd end
        = EndOfTokenDrag(m_ownDrag->travel, QtDragDistance(), m_ownDrag->letGoAt.has_value());
    m_ownDrag.reset();
    return end;
}

void QtForm::runDrag(int token)
{
    BoardButton* source = m_tokens.at(std::size_t(token));
    const DragOffer offer = m_form.tokenStartDrag(token);
    auto* data = new QMimeData;
    data->setText(ToQString(offer.text));
    Qt::DropActions allowed = Qt::IgnoreAction;
    if (offer.allowedEffects == DropEffect::Move)
        allowed = Qt::MoveAction;
    else if (offer.allowedEffects == DropEffect::Copy)
        allowed = Qt::CopyAction;
    QDrag drag(source);
    drag.setMimeData(data);
    // The picture's top-left corner rides at the pointer: where the user lets go is exactly
    // where the token's corner will stand.
    drag.setPixmap(source->grab());
    drag.setHotSpot(QPoint(0, 0));
    m_dragRunner(drag, allowed);
}

void QtForm::RepaintButton(ButtonRef ref)
{
    button(ref)->update();
}

void QtForm::SetPlacingPointer(bool placing)
{
    if (placing)
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
}

void QtForm::PrintClientArea()
{
    // The white palette is in force now, and the page is drawn from the same values.
    if (m_boardPrinter)
        m_boardPrinter(m_form.board(), Colours());
}

void QtForm::Announce(std::string_view utf8)
{
    m_accessibility->Announce(ToQString(utf8));
}

} // namespace vantorel
