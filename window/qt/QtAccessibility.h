// SPDX-License-Identifier: MIT
#pragma once

// The board's painted parts for assistive technology on Qt (AT-SPI on Linux). The window's
// accessible interface is a window named by its title, whose children are the painted parts
// Form1 tells of, in their order, followed by the push buttons; each part is one small
// interface, and a part that changes tells the screen reader so.

#include "Toolkit.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <vector>

class QAccessibleInterface;
class QWidget;

namespace vantorel {

// What the window has told of its painted parts. A child object of the window: the window's
// accessible interface finds it there, and the parts' interfaces see when it is gone.
class QtBoardAccessibility final : public QObject {
public:
    explicit QtBoardAccessibility(QWidget& window);
    ~QtBoardAccessibility() override;

    void SetItem(int index, const AccessibleItem&);
    // Tells a screen reader what the user's last action did, as a notification shown anew:
    // Orca speaks a notification as it shows, whatever has the focus and whatever Qt's version.
    void Announce(const QString& text);
    const QString& announcement() const { return m_announcement; }
    QAccessibleInterface* announcer() const { return m_announcer; }

    QWidget& window() const { return m_window; }
    int count() const { return int(m_items.size()); }
    const AccessibleItem& item(int index) const { return m_items.at(std::size_t(index)); }
    QAccessibleInterface* part(int index) const { return m_parts.at(std::size_t(index)); }
    // The parts that lie directly in `parent` (-1: the window), in order.
    std::vector<int> childrenOf(int parent) const;
    // The part that lies directly in `parent` under a point of the screen, or -1.
    int childAt(int parent, int screenX, int screenY) const;
    QRect screenRect(int index) const;

    // The store of the window `widget`, if it has one.
    static QtBoardAccessibility* Of(const QObject* widget);

private:
    QWidget& m_window;
    std::vector<AccessibleItem> m_items;
    std::vector<QAccessibleInterface*> m_parts;
    QAccessibleInterface* m_announcer;
    QString m_announcement;
};

// Makes Qt build the board window's accessible interface; once per program, before the first
// window exists.
void InstallBoardAccessibility();

// A token's description (where it stands) as a screen reader reads it when it asks: on focus, or
// with its "where am I". Setting it raises no event: what changed is told once, by Announce, and
// a reader that also spoke the focused token's changed description would say each move twice.
void SetQuietDescription(QWidget& token, const QString&);

} // namespace vantorel
