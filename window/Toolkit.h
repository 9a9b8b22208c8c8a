// SPDX-License-Identifier: MIT
#pragma once

// The few operations Form1 needs of a windowing toolkit. Form1 and everything in this folder's
// top level are written against these alone; each backend folder implements them.

#include "Layout.h"

#include <string>
#include <string_view>

namespace vantorel {

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct RectF {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// A push button on the board: one of the tokens or one of the command buttons.
struct ButtonRef {
    enum class Group { Token, Command };
    Group group = Group::Token;
    int index = 0;
    static constexpr ButtonRef token(int i) { return {Group::Token, i}; }
    static constexpr ButtonRef command(layout::Command c)
    {
        return {Group::Command, static_cast<int>(c)};
    }
    const ButtonRow& row() const;
    friend constexpr bool operator==(ButtonRef, ButtonRef) = default;
};

// A painted part of the board as assistive technology is told of it: a sign box, the centre, a
// caption in it, or the tray. `parent` is the index of the part it lies in, -1 for the window.
struct AccessibleItem {
    enum class Role { Group, Text };
    Role role = Role::Group;
    int parent = -1;
    std::string name;
    std::string description;
    PixelRect rect; // in the window's client pixels
    friend bool operator==(const AccessibleItem&, const AccessibleItem&) = default;
};

enum class MouseButton { Left, Right, Middle, Other };

// The OLE numbering of drop effects; a drag source offers a set of them, or-ed together.
enum class DropEffect { None = 0, Copy = 1, Move = 2, Link = 4 };

// Keys that are not typed characters but that the board answers, with the key that has none.
// The numbers are fixed: the web page names the keys by them.
enum class Key {
    Left = 0,
    Right = 1,
    Up = 2,
    Down = 3,
    Enter = 4,
    Space = 5,
    Escape = 6,
    PageUp = 7,
    PageDown = 8,
    Other = 9,
};

// The edit commands a platform's own shortcuts stand for (Ctrl+Z and the like).
enum class EditCommand { Undo, Redo };

// How a token's drag ended, as its source saw it.
enum class DragEnd {
    // Let go before the pointer ever went past the platform's drag distance: a click.
    Click,
    // Anything else: dropped, refused, let go outside the window, or cancelled.
    Drag,
    // Still going on when the call returns; the end is reported later (Form1::tokenDragEnd).
    Pending,
};

// The desktop's own colours, for what the board leaves to the system.
struct SystemColours {
    Colour windowText {0, 0, 0};
    Colour buttonFace {240, 240, 240};
    Colour buttonText {0, 0, 0};
    Colour buttonHighlight {255, 255, 255};
    Colour buttonShadow {160, 160, 160};
    Colour buttonDarkShadow {105, 105, 105};
};

struct FontSpec {
    std::string_view face; // the layout's face name; a backend maps it to what it has
    double pixelSize = 0;
    bool bold = true;
};

enum class TextAlign { TopLeft, Centre };

// Somewhere to draw: the window's surface, a button, or a printed page. Coordinates are the
// device's own (logical pixels on screen, device units on paper).
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void FillRect(const RectF&, Colour) = 0;
    // Text is never clipped to its box: a name that overhangs its label by a pixel shows whole.
    virtual void DrawString(
        const RectF& box, std::string_view utf8, const FontSpec&, Colour, TextAlign)
        = 0;
};

class Toolkit {
public:
    virtual ~Toolkit() = default;
    virtual SystemColours Colours() const = 0;
    virtual void PlaceButton(ButtonRef, const PixelRect&, double fontPixels) = 0;
    virtual void SetButtonCaption(ButtonRef, std::string_view utf8) = 0;
    virtual void SetButtonVisible(ButtonRef, bool) = 0;
    // What assistive technology says of the button beyond its name: where a token stands.
    virtual void SetButtonDescription(ButtonRef, std::string_view utf8) = 0;
    // The painted part `index` (0 and up, in reading order) is new, or reads differently now.
    virtual void SetAccessibleItem(int index, const AccessibleItem&) = 0;
    // The surface (background, frame, lines, labels) must be drawn again.
    virtual void RepaintSurface() = 0;
    virtual void CloseWindow() = 0;
    // Opens a drag with the token as its source; returns when the drag has ended, however, and
    // says how. A toolkit that cannot wait for the end returns Pending at once.
    virtual DragEnd BeginDrag(int token) = 0;
    // The button must be drawn again: its picture changed though nothing the toolkit knows did.
    virtual void RepaintButton(ButtonRef) = 0;
    // While a token is held, the pointer over the board's surface says a click puts it there.
    virtual void SetPlacingPointer(bool) = 0;
    // Sends the window's client area, as it looks now, to the default printer. May throw.
    virtual void PrintClientArea() = 0;
    // Tells a screen reader, once and without interrupting it, what the user's last action did:
    // "Sun in Aries", "Sign names hidden". Said whatever has the focus.
    virtual void Announce(std::string_view utf8) = 0;
};

} // namespace vantorel
