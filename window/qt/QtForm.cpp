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
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
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
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
    // The window's crosshair, while a token is held, is for its surface alone.
    setCursor(Qt::ArrowCursor);
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
    m_form.tokenPressed(m_ref.index, FromQt(event->button()), event->scenePosition());
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
    std::vector<BoardButton*> byTabIndex;
    for (ButtonRef ref : kStackingOrder) {
        auto* b = new BoardButton(*this, ref);
        if (ref.group == ButtonRef::Group::Token)
            m_tokens[std::size_t(ref.index)] = b;
        else {
            m_commands[std::size_t(ref.index)] = b;
            connect(b, &QPushButton::clicked, this,
                [this, c = static_cast<Command>(ref.index)] { m_form.commandClick(c); });
        }
        byTabIndex.push_back(b);
    }
    std::sort(byTabIndex.begin(), byTabIndex.end(), [](BoardButton* a, BoardButton* b) {
        return a->ref().row().tabIndex < b->ref().row().tabIndex;
    });
    for (std::size_t i = 1; i < byTabIndex.size(); ++i)
        setTabOrder(byTabIndex[i - 1], byTabIndex[i]);

    const SizeF client = Viewport::DefaultClientSize();
    resize(int(client.width), int(client.height));
    m_form.formResize(client.width, client.height);
    m_form.formLoad();
    byTabIndex.front()->setFocus();

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

void QtForm::tokenPressed(int index, MouseButton button, const QPointF& at)
{
    m_tokenPressAt = at;
    m_form.tokenMouseDown(index, button);
    m_tokenPressAt.reset();
}

void QtForm::Press::moveTo(const QPointF& at)
{
    dragged = dragged || (at - from).manhattanLength() >= QApplication::startDragDistance();
}

void QtForm::mousePressEvent(QMouseEvent* event)
{
    if (!m_surfacePress)
        m_surfacePress = Press {event->position()};
}

void QtForm::mouseMoveEvent(QMouseEvent* event)
{
    if (m_surfacePress)
        m_surfacePress->moveTo(event->position());
}

void QtForm::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_surfacePress || event->buttons() != Qt::NoButton)
        return;
    Press press = *m_surfacePress;
    m_surfacePress.reset();
    press.moveTo(event->position());
    if (!press.dragged && !overPushButton(event->position()))
        m_form.formClick(event->position().x(), event->position().y());
}

bool QtForm::overPushButton(const QPointF& pos) const
{
    const QWidget* child = childAt(pos.toPoint());
    return child && qobject_cast<const QPushButton*>(child) && child->isVisible();
}

void QtForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_ownDrag)
        m_ownDrag->moveTo(event->position());
    // Whatever is dragged in is welcome; its payload is never read.
    event->setDropAction(Answer(event->possibleActions()));
    event->accept();
}

void QtForm::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_ownDrag)
        m_ownDrag->moveTo(event->position());
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
    if (m_ownDrag)
        m_ownDrag->moveTo(event->position());
    // A token's own drag that never went past the drag distance is a click, not a drop.
    if (overPushButton(event->position()) || (m_ownDrag && !m_ownDrag->dragged)) {
        event->ignore();
        return;
    }
    event->setDropAction(Answer(event->possibleActions()));
    event->accept();
    m_form.formDragDrop(event->position().x(), event->position().y());
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
    BoardButton* b = button(ref);
    const QString description = ToQString(utf8);
    if (b->accessibleDescription() == description)
        return;
    b->setAccessibleDescription(description);
    // What a reader may say by itself of this change: the focused token's new place.
    if (ref.group == ButtonRef::Group::Token && b->hasFocus())
        m_focusedTokenNews = std::string(PlanetName(ref.index)) + " " + std::string(utf8);
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
    m_ownDrag = Press {m_tokenPressAt.value_or(QPointF(mapFromGlobal(QCursor::pos())))};
    m_dragRunner(drag, allowed);
    // The window saw the way while the pointer was over it; where it ends counts too, in case
    // that is outside. Ended with every button up, never having gone far: a click. Escape ends a
    // drag with the button still down, and that is no click.
    m_ownDrag->moveTo(mapFromGlobal(QCursor::pos()));
    const bool click = !m_ownDrag->dragged && QGuiApplication::mouseButtons() == Qt::NoButton;
    m_ownDrag.reset();
    return click ? DragEnd::Click : DragEnd::Drag;
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
    // Where the reader speaks the focused token's new description itself, an announcement that
    // says no more than that would say it twice.
    const bool heard = ChangedDescriptionsAreSpoken() && utf8 == m_focusedTokenNews;
    m_focusedTokenNews.clear();
    if (!heard)
        m_accessibility->Announce(ToQString(utf8));
}

} // namespace vantorel
