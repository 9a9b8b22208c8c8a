// SPDX-License-Identifier: MIT
#pragma once

// Where the board stands in a device's pixels. The board keeps twips; pixels exist only here.
// At scale 1 one pixel is 15 twips (96 dots per inch); the board scales uniformly, keeps its
// aspect and is centred in whatever room the device gives it.

#include "Toolkit.h"

namespace vantorel {

struct SizeF {
    double width = 0;
    double height = 0;
};

// What a window manager puts around a client area: the borders and the title bar, in the pixels
// the client area is counted in (not always whole ones where a toolkit scales).
struct FrameExtents {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

class Viewport {
public:
    static constexpr int kTwipsPerPixel = 15;
    // Room kept free to the right of the buttons and below the chart.
    static constexpr int kMarginTwips = 240;
    static constexpr int kDesignWidthTwips = layout::kExtentRight + kMarginTwips;
    static constexpr int kDesignHeightTwips = layout::kExtentBottom + kMarginTwips;

    Viewport() = default;
    Viewport(double scale, double originX, double originY);

    // The board fitted into a client area of that many pixels: whole, as large as the area
    // allows, aspect kept, centred.
    static Viewport Fit(double clientWidth, double clientHeight);
    // The board with its margin at scale 1.
    static SizeF DefaultClientSize();
    // A desktop window's opening client size, in whole pixels. `scale` is the screen's scale
    // where the backend counts device pixels (dots per inch / 96), 1 where the toolkit scales
    // for it. The board opens at 1 px = 15 twips times `scale` wherever the work area holds
    // that with the frame around it; elsewhere as large as the work area holds, aspect kept.
    // An unknown work area (not positive) opens at that scale.
    static SizeF OpeningClientSize(const PixelRect& workArea, const FrameExtents&, double scale);
    // A window rectangle (frame included) moved the least that puts it inside `area`; where it
    // is larger than the area, its top-left corner goes to the area's, so the title bar shows.
    static PixelRect KeepInside(const PixelRect& window, const PixelRect& area);
    // The board in a web page of that many CSS pixels, in device pixels: fitted as in a window,
    // growing past scale 1 as well as shrinking, and centred to the nearest whole device
    // pixel, so a page may move the whole picture without blurring an edge.
    static Viewport FitPage(double cssWidth, double cssHeight, double pixelRatio);

    double scale() const { return m_scale; }
    double originX() const { return m_originX; }
    double originY() const { return m_originY; }

    double ToPixelsX(double twipsX) const;
    double ToPixelsY(double twipsY) const;
    // Edges are rounded, so rectangles that share an edge in twips share it in pixels.
    PixelRect ToPixels(const Rect& twips) const;
    PixelRect ToPixels(double left, double top, double width, double height) const;
    RectF ToPixelsF(const Rect& twips) const;
    float ToTwipsX(double pixelX) const;
    float ToTwipsY(double pixelY) const;
    // A pixel size at scale 1, scaled; never below one device pixel.
    double ScaledPixels(double pixelsAtScale1) const;

private:
    double m_scale = 1.0;
    double m_originX = 0.0;
    double m_originY = 0.0;
};

} // namespace vantorel
