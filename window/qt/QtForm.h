// SPDX-License-Identifier: MIT
#pragma once

// Form1 on Qt Widgets: the window's own surface carries the frame, lines and labels; the tokens
// and command buttons are real push buttons above it, for focus and accessibility.

#include "Form1.h"

#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>

class QDrag;

namespace vantorel {

class QtBoardAccessibility;
class QtForm;

class BoardButton final : public QPushButton {
public:
    BoardButton(QtForm& form, ButtonRef ref);
    ButtonRef ref() const { return m_ref; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    QtForm& m_form;
    ButtonRef m_ref;
};

class QtForm final : public QWidget, private Toolkit {
public:
    // Runs a token's drag; tests replace it, as an offscreen drag loop cannot be driven.
    using DragRunner = std::function<Qt::DropAction(QDrag&, Qt::DropActions)>;
    // Puts the board on paper; by default through the print module, loaded on first use.
    using BoardPrinter = std::function<void(const ChartBoard&, const SystemColours&)>;

    QtForm();
    ~QtForm() override;

    Form1& form() { return m_form; }
    const Form1& form() const { return m_form; }
    BoardButton* button(ButtonRef) const;
    void setDragRunner(DragRunner runner) { m_dragRunner = std::move(runner); }
    void setBoardPrinter(BoardPrinter printer) { m_boardPrinter = std::move(printer); }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    bool eventFilter(QObject*, QEvent*) override;
    void dragEnterEvent(QDragEnterEvent*) override;
    void dragMoveEvent(QDragMoveEvent*) override;
    void dropEvent(QDropEvent*) override;

private:
    // Toolkit
    SystemColours Colours() const override;
    void PlaceButton(ButtonRef, const PixelRect&, double fontPixels) override;
    void SetButtonCaption(ButtonRef, std::string_view utf8) override;
    void SetButtonVisible(ButtonRef, bool) override;
    void SetButtonDescription(ButtonRef, std::string_view utf8) override;
    void SetAccessibleItem(int index, const AccessibleItem&) override;
    void RepaintSurface() override;
    void CloseWindow() override;
    void BeginDrag(int token) override;
    void PrintClientArea() override;

    bool overPushButton(const QPointF&) const;

    Form1 m_form {*this};
    std::array<BoardButton*, layout::kTokenCount> m_tokens {};
    std::array<BoardButton*, layout::kCommandCount> m_commands {};
    QtBoardAccessibility* m_accessibility = nullptr; // a child object
    DragRunner m_dragRunner;
    BoardPrinter m_boardPrinter;
};

} // namespace vantorel
