// SPDX-License-Identifier: MIT
#pragma once

// The board as one fixed picture, in twips (1/1440 inch) from the top-left corner of the
// window's client area. Every position, size, caption, colour and font of the board is written
// here once; everything else reads these tables.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantorel {

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend constexpr bool operator==(Colour, Colour) = default;
};

struct Font {
    std::string_view face;
    double points = 0; // 9.75, 12 and 13.5 are exact in binary
    bool bold = true;
    // The board is drawn at 96 dots per inch whatever the desktop's font setting says.
    constexpr double pixelsAt96Dpi() const { return points * 96.0 / 72.0; }
};

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
    constexpr bool contains(const Rect& o) const
    {
        return o.left >= left && o.top >= top && o.right() <= right() && o.bottom() <= bottom();
    }
    constexpr bool intersects(const Rect& o) const
    {
        return o.left < right() && left < o.right() && o.top < bottom() && top < o.bottom();
    }
};

enum class ControlKind { PushButton, Label, Line, RectangleOutline };

struct WindowRow {
    std::string_view name;
    std::string_view caption;
    Colour background;
    Rect designClient; // the form's own design-time client area, smaller than the board
};

struct ShapeRow {
    std::string_view name;
    ControlKind kind;
    Rect rect;
    int borderPixels;
};

struct LineRow {
    std::string_view name;
    int index;
    ControlKind kind;
    Point from;
    Point to;
    int widthPixels;
};

struct LabelRow {
    std::string_view name;
    int index;
    ControlKind kind;
    std::string_view caption;
    Rect rect;
    Colour background;
    Colour text;
    Font font;
};

struct ButtonRow {
    std::string_view name;
    int index; // -1 for a single control
    ControlKind kind;
    std::string_view caption;
    Rect rect;
    bool ownFill; // false: the toolkit's default button colours
    Colour fill;
    Font font;
    int tabIndex;
};

namespace layout {

inline constexpr Colour kLightYellow {255, 255, 192};
inline constexpr Colour kWhite {255, 255, 255};
inline constexpr Colour kBlack {0, 0, 0};
// What the sign names read in before start-up colours them; never on screen.
inline constexpr Colour kDesignSignText = kBlack;
inline constexpr Colour kWesternNameText {128, 128, 128};
inline constexpr Colour kSanskritNameText {64, 64, 64};
// Backgrounds of the window and of every label: light yellow on screen, white on paper.
inline constexpr Colour kScreenPalette = kLightYellow;
inline constexpr Colour kPrintPalette = kWhite;

inline constexpr Font kArial975 {"Arial", 9.75, true};
inline constexpr Font kArial12 {"Arial", 12, true};
inline constexpr Font kSerif12 {"MS Serif", 12, true};
inline constexpr Font kSerif135 {"MS Serif", 13.5, true};

inline constexpr WindowRow kWindow {"Form1", "The Vantorel", kLightYellow, {0, 0, 4680, 3090}};

// The outermost board coordinates: right edge of the command buttons, bottom edge of the frame.
inline constexpr int kExtentRight = 15375;
inline constexpr int kExtentBottom = 10875;

inline constexpr ShapeRow kFrame {
    "Shape1", ControlKind::RectangleOutline, {120, 240, 10635, 10635}, 2};

inline constexpr int kGridLinePixels = 2;
inline constexpr std::array<LineRow, 8> kLines {{
    {"Line1", 0, ControlKind::Line, {2640, 240}, {2640, 10800}, kGridLinePixels},
    {"Line1", 1, ControlKind::Line, {8160, 240}, {8160, 10800}, kGridLinePixels},
    {"Line2", 0, ControlKind::Line, {120, 8280}, {10680, 8280}, kGridLinePixels},
    {"Line2", 1, ControlKind::Line, {120, 2880}, {10680, 2880}, kGridLinePixels},
    {"Line3", 0, ControlKind::Line, {120, 5520}, {2640, 5520}, kGridLinePixels},
    {"Line3", 1, ControlKind::Line, {8160, 5520}, {10680, 5520}, kGridLinePixels},
    {"Line4", 0, ControlKind::Line, {5400, 240}, {5400, 2880}, kGridLinePixels},
    {"Line4", 1, ControlKind::Line, {5400, 8280}, {5400, 10800}, kGridLinePixels},
}};

inline constexpr int kSignCount = 12;
inline constexpr int kSignLabelHeight = 255;

// Western names, indexed by sign from Aries (0) to Pisces (11).
inline constexpr std::array<LabelRow, kSignCount> kWesternNames {{
    {"Label3", 0, ControlKind::Label, "Aries", {2760, 360, 495, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label3", 1, ControlKind::Label, "Taurus", {5520, 360, 735, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label3", 2, ControlKind::Label, "Gemini", {8280, 360, 735, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label3", 3, ControlKind::Label, "Cancer", {8280, 3000, 735, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label3", 4, ControlKind::Label, "Leo", {8280, 5640, 375, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label3", 5, ControlKind::Label, "Virgo", {8280, 8400, 495, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label3", 6, ControlKind::Label, "Libra", {5520, 8400, 495, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label3", 7, ControlKind::Label, "Scorpio", {2760, 8400, 735, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label3", 8, ControlKind::Label, "Sagittarius", {240, 8400, 1095, kSignLabelHeight},
        kLightYellow, kDesignSignText, kArial975},
    // Eight letters, as the board has always read.
    {"Label3", 9, ControlKind::Label, "Capricon", {240, 5640, 855, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label3", 10, ControlKind::Label, "Aquarius", {240, 3000, 855, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label3", 11, ControlKind::Label, "Pisces", {240, 360, 615, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
}};

// Sanskrit names, same indexes.
inline constexpr std::array<LabelRow, kSignCount> kSanskritNames {{
    {"Label4", 0, ControlKind::Label, "Mesha", {4560, 360, 615, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label4", 1, ControlKind::Label, "Rishabha", {7080, 360, 975, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label4", 2, ControlKind::Label, "Mithuna", {9840, 360, 855, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label4", 3, ControlKind::Label, "Karka", {9960, 3000, 615, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label4", 4, ControlKind::Label, "Simha", {9960, 5640, 615, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label4", 5, ControlKind::Label, "Kanya", {9960, 8400, 615, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label4", 6, ControlKind::Label, "Tula", {7560, 8400, 495, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label4", 7, ControlKind::Label, "Vrishchika", {4320, 8400, 975, kSignLabelHeight},
        kLightYellow, kDesignSignText, kArial975},
    {"Label4", 8, ControlKind::Label, "Dhanu", {1920, 8400, 615, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label4", 9, ControlKind::Label, "Makara", {1800, 5640, 735, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label4", 10, ControlKind::Label, "Kumbha", {1680, 3000, 855, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
    {"Label4", 11, ControlKind::Label, "Meenam", {1560, 360, 855, kSignLabelHeight}, kLightYellow,
        kDesignSignText, kArial975},
}};

// Where each sign's box stands in the 4 x 4 grid, running clockwise from Pisces top-left.
struct SignCell {
    int row;
    int column;
};
inline constexpr std::array<SignCell, kSignCount> kSignCells {{
    {0, 1}, {0, 2}, {0, 3}, {1, 3}, {2, 3}, {3, 3}, //
    {3, 2}, {3, 1}, {3, 0}, {2, 0}, {1, 0}, {0, 0}, //
}};

// The grid's edges are those of the frame and of the lines that divide it.
inline constexpr std::array<int, 5> kColumnEdges {
    kFrame.rect.left, kLines[0].from.x, kLines[6].from.x, kLines[1].from.x, kFrame.rect.right()};
inline constexpr std::array<int, 5> kRowEdges {
    kFrame.rect.top, kLines[3].from.y, kLines[4].from.y, kLines[2].from.y, kFrame.rect.bottom()};

constexpr Rect SignBox(int sign)
{
    const SignCell cell = kSignCells[static_cast<std::size_t>(sign)];
    const auto c = static_cast<std::size_t>(cell.column);
    const auto r = static_cast<std::size_t>(cell.row);
    return {kColumnEdges[c], kRowEdges[r], kColumnEdges[c + 1] - kColumnEdges[c],
        kRowEdges[r + 1] - kRowEdges[r]};
}

// The open centre of the chart, where the captions stand.
inline constexpr Rect kCaptionArea {
    kColumnEdges[1], kRowEdges[1], kColumnEdges[3] - kColumnEdges[1], kRowEdges[3] - kRowEdges[1]};

inline constexpr int kTokenCount = 10;
inline constexpr int kTrayLeft = 13920;
inline constexpr int kTokenWidth = 735;
inline constexpr int kTokenHeight = 495;

// Tokens in the order ascendant, Sun, Moon, Jupiter, Mercury, Venus, Saturn, Mars, Rahu, Ketu.
// Token 0 sits 120 twips lower than the 720-twip pattern of the others would put it.
inline constexpr std::array<ButtonRow, kTokenCount> kTokens {{
    {"Command1", 0, ControlKind::PushButton, "Asc", {kTrayLeft, 840, kTokenWidth, kTokenHeight},
        true, {255, 255, 128}, kSerif135, 0},
    {"Command1", 1, ControlKind::PushButton, "Sun", {kTrayLeft, 1440, kTokenWidth, kTokenHeight},
        true, {255, 224, 192}, kSerif135, 1},
    {"Command1", 2, ControlKind::PushButton, "Mon", {kTrayLeft, 2160, kTokenWidth, kTokenHeight},
        true, {255, 255, 255}, kSerif135, 2},
    {"Command1", 3, ControlKind::PushButton, "Jup", {kTrayLeft, 2880, kTokenWidth, kTokenHeight},
        true, {255, 192, 128}, kSerif135, 3},
    {"Command1", 4, ControlKind::PushButton, "Mer", {kTrayLeft, 3600, kTokenWidth, kTokenHeight},
        true, {192, 255, 192}, kSerif135, 4},
    {"Command1", 5, ControlKind::PushButton, "Ven", {kTrayLeft, 4320, kTokenWidth, kTokenHeight},
        true, {192, 255, 255}, kSerif135, 5},
    {"Command1", 6, ControlKind::PushButton, "Sat", {kTrayLeft, 5040, kTokenWidth, kTokenHeight},
        true, {192, 192, 192}, kSerif135, 6},
    {"Command1", 7, ControlKind::PushButton, "Mar", {kTrayLeft, 5760, kTokenWidth, kTokenHeight},
        true, {255, 128, 128}, kSerif135, 7},
    // Rahu shares Saturn's grey.
    {"Command1", 8, ControlKind::PushButton, "Rah", {kTrayLeft, 6480, kTokenWidth, kTokenHeight},
        true, {192, 192, 192}, kSerif135, 8},
    {"Command1", 9, ControlKind::PushButton, "Ket", {kTrayLeft, 7200, kTokenWidth, kTokenHeight},
        true, {128, 64, 64}, kSerif135, 9},
}};

// The tray: the column of the tokens' home places.
inline constexpr Rect kTrayArea {kTrayLeft, kTokens.front().rect.top, kTokenWidth,
    kTokens.back().rect.bottom() - kTokens.front().rect.top};

// The command buttons, in the order of the Command enumeration below.
enum class Command : std::size_t { Clear, ToggleNames, Exit, Print, Arudha };
inline constexpr int kCommandCount = 5;
inline constexpr int kCommandLeft = 13200;
inline constexpr int kCommandWidth = 2175;
inline constexpr int kCommandHeight = 375;

inline constexpr std::array<ButtonRow, kCommandCount> kCommands {{
    {"cmdclear", -1, ControlKind::PushButton, "RESET",
        {kCommandLeft, 8160, kCommandWidth, kCommandHeight}, false, {}, kSerif12, 10},
    {"clrrashi", -1, ControlKind::PushButton, "CLR RASHIS",
        {kCommandLeft, 8640, kCommandWidth, kCommandHeight}, false, {}, kSerif12, 40},
    {"cmdexit", -1, ControlKind::PushButton, "EXIT",
        {kCommandLeft, 9120, kCommandWidth, kCommandHeight}, false, {}, kSerif12, 12},
    {"cmdprint", -1, ControlKind::PushButton, "PRINT",
        {kCommandLeft, 9600, kCommandWidth, kCommandHeight}, false, {}, kSerif12, 42},
    // Reserved: hidden at start-up and never shown again.
    {"cmdarudha", -1, ControlKind::PushButton, "SHOW ARUDHA",
        {kCommandLeft, 10080, kCommandWidth, kCommandHeight}, false, {}, kSerif12, 41},
}};

constexpr const ButtonRow& CommandRow(Command c)
{
    return kCommands[static_cast<std::size_t>(c)];
}

// The toggle's caption while the sign names are hidden; its other caption is the layout's own.
inline constexpr std::string_view kShowNamesCaption = "SHOW RASHIS";

inline constexpr int kCaptionCount = 4;
inline constexpr int kCaptionHeight = 375;
// Indexed by caption index; the title (3) stands topmost.
inline constexpr std::array<LabelRow, kCaptionCount> kCaptions {{
    {"Label1", 0, ControlKind::Label, "www.vantorel.org", {3960, 5160, 3255, kCaptionHeight},
        kLightYellow, {0, 0, 128}, kSerif135},
    {"Label1", 1, ControlKind::Label, "vantorel.org/teaching-board",
        {3360, 5640, 4335, kCaptionHeight}, kLightYellow, {0, 0, 128}, kSerif135},
    {"Label1", 2, ControlKind::Label, "\u00A9 The Vantorel developers",
        {3000, 6240, 4815, kCaptionHeight}, kLightYellow, {128, 128, 128}, kArial12},
    {"Label1", 3, ControlKind::Label, "Vantorel - Teaching Tool for a Jyotishi",
        {2880, 4320, 5175, kCaptionHeight}, kLightYellow, {128, 0, 128}, kSerif12},
}};

} // namespace layout
} // namespace vantorel
