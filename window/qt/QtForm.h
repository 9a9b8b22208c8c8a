// SPDX-License-Identifier: MIT
#pragma once

// Form1 on Qt Widgets: the window's own surface carries the frame, lines and labels; the tokens
// and command buttons are real push buttons above it, for focus and accessibility.

#include "Form1.h"
#include "Gesture.h"

#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>

class QDrag;
class QEventLoop;

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
    // Runs a token's drag, once its press has gone the drag distance; tests replace it, as an
    // offscreen drag loop cannot be driven.
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
    // A press on a token, at a point of the window. Returns when the press has ended: let go
    // within the drag distance (a click), or gone the distance and dragged, however that ended.
    void tokenPressed(int index, MouseButton, const QPointF& at);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    bool eventFilter(QObject*, QEvent*) override;
    void dragEnterEvent(QDragEnterEvent*) override;
    void dragMoveEvent(QDragMoveEvent*) override;
    void dropEvent(QDropEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

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
    DragEnd BeginDrag(int token) override;
    void RepaintButton(ButtonRef) override;
    void SetPlacingPointer(bool) override;
    void PrintClientArea() override;
    void Announce(std::string_view utf8) override;

    bool overPushButton(const QPointF&) const;
    // The desktop's drag distance, asked each time: the user may change it while we run.
    static DragDistance QtDragDistance();

    // A token's press, from the press to the end of the drag it opens: the way the pointer went
    // as the window saw it, and where it was let go over the window (the release or the drop
    // came here). Until it goes the drag distance it waits in a loop of its own.
    struct OwnDrag {
        PressTravel travel;
        std::optional<QPointF> letGoAt;
        // Let go, or given up, before the drag began.
        bool ended = false;
        QEventLoop* waiting = nullptr;
    };
    // While a token's press waits: its pointer and key events on their way to the window. True
    // when the event is used up.
    bool watchPress(QObject* watched, QEvent*);
    // A drop at a point of the window: taken on the surface, refused over a push button.
    bool takeDrop(const QPointF&);
    void runDrag(int token);

    Form1 m_form {*this};
    std::array<BoardButton*, layout::kTokenCount> m_tokens {};
    std::array<BoardButton*, layout::kCommandCount> m_commands {};
    QtBoardAccessibility* m_accessibility = nullptr; // a child object
    DragRunner m_dragRunner;
    BoardPrinter m_boardPrinter;
    std::optional<QPointF> m_tokenPressAt;
    std::optional<OwnDrag> m_ownDrag;
    // A press on the surface until its release.
    std::optional<PressTravel> m_surfacePress;
};

} // namespace vantorel
