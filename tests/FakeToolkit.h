// SPDX-License-Identifier: MIT
#pragma once

// A toolkit that only records: Form1's handlers run against it without any window system.

#include "Form1.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vantorel {

struct FakeToolkit final : Toolkit {
    struct Placed {
        PixelRect rect;
        double fontPixels = 0;
    };
    std::map<std::pair<int, int>, Placed> placed;
    std::map<std::pair<int, int>, std::string> captions;
    std::map<std::pair<int, int>, bool> visible;
    std::map<std::pair<int, int>, std::string> descriptions;
    std::map<int, AccessibleItem> items;
    std::map<int, int> itemsTold; // how often each item was told
    int repaints = 0;
    int closes = 0;
    std::vector<int> drags;
    // How every drag ends, as the toolkit would report it.
    DragEnd dragEnd = DragEnd::Drag;
    std::vector<std::pair<int, int>> buttonRepaints;
    bool placingPointer = false;
    int prints = 0;
    std::vector<std::string> announced;
    std::function<void()> onDrag;
    std::function<void()> onPrint;

    static std::pair<int, int> Key(ButtonRef r) { return {int(r.group), r.index}; }

    SystemColours Colours() const override { return {}; }
    void PlaceButton(ButtonRef r, const PixelRect& p, double font) override
    {
        placed[Key(r)] = {p, font};
    }
    void SetButtonCaption(ButtonRef r, std::string_view c) override
    {
        captions[Key(r)] = std::string(c);
    }
    void SetButtonVisible(ButtonRef r, bool v) override { visible[Key(r)] = v; }
    void SetButtonDescription(ButtonRef r, std::string_view d) override
    {
        descriptions[Key(r)] = std::string(d);
    }
    void SetAccessibleItem(int index, const AccessibleItem& item) override
    {
        items[index] = item;
        ++itemsTold[index];
    }
    void RepaintSurface() override { ++repaints; }
    void CloseWindow() override { ++closes; }
    DragEnd BeginDrag(int token) override
    {
        drags.push_back(token);
        if (onDrag)
            onDrag();
        return dragEnd;
    }
    void RepaintButton(ButtonRef r) override { buttonRepaints.push_back(Key(r)); }
    void SetPlacingPointer(bool on) override { placingPointer = on; }
    void PrintClientArea() override
    {
        ++prints;
        if (onPrint)
            onPrint();
    }
    void Announce(std::string_view text) override { announced.emplace_back(text); }
};

// Records what was drawn, in order.
struct RecordingCanvas final : Canvas {
    struct Fill {
        RectF rect;
        Colour colour;
    };
    struct Text {
        RectF box;
        std::string text;
        FontSpec font;
        Colour colour;
    };
    std::vector<Fill> fills;
    std::vector<Text> texts;

    int CountFills(Colour c) const
    {
        return int(std::count_if(
            fills.begin(), fills.end(), [&](const Fill& f) { return f.colour == c; }));
    }

    void FillRect(const RectF& r, Colour c) override { fills.push_back({r, c}); }
    void DrawString(
        const RectF& box, std::string_view t, const FontSpec& f, Colour c, TextAlign) override
    {
        texts.push_back({box, std::string(t), f, c});
    }

    const Text* FindText(std::string_view t) const
    {
        for (const Text& x : texts)
            if (x.text == t)
                return &x;
        return nullptr;
    }
};

} // namespace vantorel
