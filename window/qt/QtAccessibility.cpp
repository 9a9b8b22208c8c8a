// SPDX-License-Identifier: MIT
#include "QtAccessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <utility>

namespace vantorel {

namespace {

QString ToQString(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

void Notify(QAccessibleInterface* part, QAccessible::Event type)
{
    QAccessibleEvent event(part, type);
    QAccessible::updateAccessibility(&event);
}

// What the board's own interfaces are: read only, and shown while the window is.
QAccessible::State DrawnState(const QPointer<QtBoardAccessibility>& store)
{
    QAccessible::State state;
    state.readOnly = true;
    state.invisible = !store || !store->window().isVisible();
    return state;
}

// One painted part: a sign box, the centre, a caption or the tray. It has no object of its own;
// everything it says comes from the store, and once the store is gone it is no longer valid.
class PaintedPart final : public QAccessibleInterface {
public:
    PaintedPart(QtBoardAccessibility& store, int index)
        : m_store(&store)
        , m_index(index)
    { }

    bool isValid() const override { return !m_store.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override
    {
        return m_store ? m_store->window().windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override
    {
        if (!m_store)
            return nullptr;
        const int parent = m_store->item(m_index).parent;
        return parent < 0 ? QAccessible::queryAccessibleInterface(&m_store->window())
                          : m_store->part(parent);
    }
    int childCount() const override
    {
        return m_store ? int(m_store->childrenOf(m_index).size()) : 0;
    }
    QAccessibleInterface* child(int i) const override
    {
        if (!m_store)
            return nullptr;
        const std::vector<int> children = m_store->childrenOf(m_index);
        return i >= 0 && i < int(children.size()) ? m_store->part(children[std::size_t(i)])
                                                  : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!m_store)
            return -1;
        const std::vector<int> children = m_store->childrenOf(m_index);
        for (std::size_t i = 0; i < children.size(); ++i)
            if (m_store->part(children[i]) == child)
                return int(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const int at = m_store ? m_store->childAt(m_index, x, y) : -1;
        return at < 0 ? nullptr : m_store->part(at);
    }
    QString text(QAccessible::Text t) const override
    {
        if (!m_store)
            return {};
        const AccessibleItem& item = m_store->item(m_index);
        if (t == QAccessible::Name)
            return ToQString(item.name);
        if (t == QAccessible::Description)
            return ToQString(item.description);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override { return m_store ? m_store->screenRect(m_index) : QRect(); }
    QAccessible::Role role() const override
    {
        if (m_store && m_store->item(m_index).role == AccessibleItem::Role::Text)
            return QAccessible::StaticText;
        return QAccessible::Grouping;
    }
    QAccessible::State state() const override { return DrawnState(m_store); }

private:
    QPointer<QtBoardAccessibility> m_store;
    int m_index;
};

// What the user's last action did, told to a screen reader: a notification, the role whose
// showing a screen reader speaks of its own accord whatever has the focus. It lies in the window
// but is none of its children, so reading the window never meets it.
class Announcement final : public QAccessibleInterface {
public:
    explicit Announcement(QtBoardAccessibility& store)
        : m_store(&store)
    { }

    bool isValid() const override { return !m_store.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override
    {
        return m_store ? m_store->window().windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override
    {
        return m_store ? QAccessible::queryAccessibleInterface(&m_store->window()) : nullptr;
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return m_store && t == QAccessible::Name ? m_store->announcement() : QString();
    }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return DrawnState(m_store); }

private:
    QPointer<QtBoardAccessibility> m_store;
};

// The board's window: a window, not a filler, whose children are the painted parts and then
// the push buttons.
class BoardWindowAccessible final : public QAccessibleWidget {
public:
    explicit BoardWindowAccessible(QWidget* window)
        : QAccessibleWidget(window, QAccessible::Window)
    { }

    int childCount() const override
    {
        return int(parts().size()) + QAccessibleWidget::childCount();
    }
    QAccessibleInterface* child(int i) const override
    {
        const std::vector<int> top = parts();
        if (i >= 0 && i < int(top.size()))
            return store()->part(top[std::size_t(i)]);
        return QAccessibleWidget::child(i - int(top.size()));
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const std::vector<int> top = parts();
        for (std::size_t i = 0; i < top.size(); ++i)
            if (store()->part(top[i]) == child)
                return int(i);
        const int button = QAccessibleWidget::indexOfChild(child);
        return button < 0 ? -1 : button + int(top.size());
    }
    // The push buttons lie above the painted parts, as they are drawn.
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            QAccessibleInterface* button = QAccessibleWidget::child(i);
            if (button && !button->state().invisible && button->rect().contains(x, y))
                return button;
        }
        QtBoardAccessibility* s = store();
        const int at = s ? s->childAt(-1, x, y) : -1;
        return at < 0 ? nullptr : s->part(at);
    }

private:
    QtBoardAccessibility* store() const { return QtBoardAccessibility::Of(widget()); }
    std::vector<int> parts() const
    {
        QtBoardAccessibility* s = store();
        return s ? s->childrenOf(-1) : std::vector<int> {};
    }
};

// Where a token keeps its description: a property of its own, which unlike the widget's
// accessible description raises no event when it changes.
constexpr char kQuietDescription[] = "vantorelQuietDescription";

// A token: a push button named by its caption, described by where it stands.
class TokenAccessible final : public QAccessibleWidget {
public:
    explicit TokenAccessible(QWidget* token)
        : QAccessibleWidget(token, QAccessible::Button)
    { }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<QAbstractButton*>(widget())->text();
        if (t == QAccessible::Description)
            return widget()->property(kQuietDescription).toString();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* BoardFactory(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (QtBoardAccessibility::Of(object))
        return new BoardWindowAccessible(static_cast<QWidget*>(object));
    if (qobject_cast<QAbstractButton*>(object) && object->property(kQuietDescription).isValid())
        return new TokenAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

QtBoardAccessibility::QtBoardAccessibility(QWidget& window)
    : QObject(&window)
    , m_window(window)
    , m_announcer(new Announcement(*this))
{
    QAccessible::registerAccessibleInterface(m_announcer);
}

QtBoardAccessibility::~QtBoardAccessibility()
{
    for (QAccessibleInterface* part : m_parts)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(part));
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(m_announcer));
}

void QtBoardAccessibility::Announce(const QString& text)
{
    // The name first, so a reader that keeps names hears of the new one before it reads it.
    m_announcement = text;
    Notify(m_announcer, QAccessible::NameChanged);
    Notify(m_announcer, QAccessible::ObjectShow);
}

QtBoardAccessibility* QtBoardAccessibility::Of(const QObject* widget)
{
    for (QObject* child : widget->children())
        if (auto* store = dynamic_cast<QtBoardAccessibility*>(child))
            return store;
    return nullptr;
}

void QtBoardAccessibility::SetItem(int index, const AccessibleItem& item)
{
    if (index < 0)
        return;
    const auto i = std::size_t(index);
    if (i >= m_items.size()) {
        m_items.resize(i + 1);
        while (m_parts.size() <= i) {
            auto* part = new PaintedPart(*this, int(m_parts.size()));
            QAccessible::registerAccessibleInterface(part);
            m_parts.push_back(part);
        }
        m_items[i] = item;
        return;
    }
    const AccessibleItem old = std::exchange(m_items[i], item);
    if (old.name != item.name)
        Notify(m_parts[i], QAccessible::NameChanged);
    if (old.description != item.description)
        Notify(m_parts[i], QAccessible::DescriptionChanged);
    if (old.rect != item.rect)
        Notify(m_parts[i], QAccessible::LocationChanged);
}

std::vector<int> QtBoardAccessibility::childrenOf(int parent) const
{
    std::vector<int> children;
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].parent == parent && int(i) != parent)
            children.push_back(int(i));
    return children;
}

int QtBoardAccessibility::childAt(int parent, int screenX, int screenY) const
{
    for (int child : childrenOf(parent))
        if (screenRect(child).contains(screenX, screenY))
            return child;
    return -1;
}

QRect QtBoardAccessibility::screenRect(int index) const
{
    const PixelRect& r = item(index).rect;
    return {m_window.mapToGlobal(QPoint(r.x, r.y)), QSize(r.width, r.height)};
}

void SetQuietDescription(QWidget& token, const QString& description)
{
    const bool first = !token.property(kQuietDescription).isValid();
    token.setProperty(kQuietDescription, description);
    // A widget is given its accessible interface as it is built, before it can say that it is
    // a token: that one makes way for the token's own.
    if (first)
        if (QAccessibleInterface* built = QAccessible::queryAccessibleInterface(&token);
            built && !dynamic_cast<TokenAccessible*>(built))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(built));
}

void InstallBoardAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(BoardFactory);
        return true;
    }();
    (void)installed;
}

} // namespace vantorel
