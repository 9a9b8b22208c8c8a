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

class Viewport {
public:
    static constexpr int kTwipsPerPixel = 15;
    // Room kept free to the right of the buttons and below the chart.
    static constexpr int kMarginTwips = 240;
    static constexpr int kDesignWidthTwips = layout::kExtentRight + kMarginTwips;
    static constexpr int kDesignHeightTwips = layout::kExtentBottom + kMarginTwips;

    Viewport() = default;
    Viewport(double scale, double originX, double originY);

    // The board fitted into a client area of that many pixels.
    static Viewport Fit(double clientWidth, double clientHeight);
    // The window's opening client size: the board at scale 1, or smaller where the screen is.
    static SizeF DefaultClientSize();
    static SizeF InitialClientSize(double availableWidth, double availableHeight);

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
