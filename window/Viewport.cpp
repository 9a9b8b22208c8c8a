// SPDX-License-Identifier: MIT
#include "Viewport.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantorel {

namespace {

// Far beyond any screen, yet well inside int: a token dropped a parsec away still maps to a
// representable pixel.
constexpr double kPixelLimit = 1.0e7;

int RoundPixel(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::lround(std::clamp(v, -kPixelLimit, kPixelLimit)));
}

// Narrowing a double outside float's range is undefined; saturate instead.
float ToFloat(double v)
{
    constexpr double limit = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(v, -limit, limit));
}

} // namespace

Viewport::Viewport(double scale, double originX, double originY)
    : m_scale(scale > 0 && std::isfinite(scale) ? scale : 1.0)
    , m_originX(originX)
    , m_originY(originY)
{ }

Viewport Viewport::Fit(double clientWidth, double clientHeight)
{
    const SizeF design = DefaultClientSize();
    if (!(clientWidth > 0) || !(clientHeight > 0))
        return {};
    // The side that runs out of room first is filled exactly, with no rounding left over to
    // push the board a fraction of a pixel outside.
    const bool widthLimits = clientWidth * design.height <= clientHeight * design.width;
    if (widthLimits) {
        const double scale = clientWidth / design.width;
        return {scale, 0.0, std::max(0.0, (clientHeight - design.height * scale) / 2.0)};
    }
    const double scale = clientHeight / design.height;
    return {scale, std::max(0.0, (clientWidth - design.width * scale) / 2.0), 0.0};
}

SizeF Viewport::DefaultClientSize()
{
    return {
        double(kDesignWidthTwips) / kTwipsPerPixel, double(kDesignHeightTwips) / kTwipsPerPixel};
}

SizeF Viewport::OpeningClientSize(
    const PixelRect& workArea, const FrameExtents& frame, double scale)
{
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1.0;
    const SizeF design = DefaultClientSize();
    const SizeF wanted {std::round(design.width * scale), std::round(design.height * scale)};
    if (workArea.width <= 0 || workArea.height <= 0)
        return wanted;
    const double roomWidth = std::max(1.0, std::floor(workArea.width - frame.left - frame.right));
    const double roomHeight = std::max(1.0, std::floor(workArea.height - frame.top - frame.bottom));
    if (wanted.width <= roomWidth && wanted.height <= roomHeight)
        return wanted;
    // The side that runs out of room first takes all of it; the other follows the board's
    // aspect. Products and quotients of whole numbers: exact where the true value is whole.
    if (roomWidth * design.height <= roomHeight * design.width)
        return {roomWidth, std::max(1.0, std::floor(roomWidth * design.height / design.width))};
    return {std::max(1.0, std::floor(roomHeight * design.width / design.height)), roomHeight};
}

PixelRect Viewport::KeepInside(const PixelRect& window, const PixelRect& area)
{
    PixelRect r = window;
    r.x = std::max(area.x, std::min(r.x, area.x + area.width - r.width));
    r.y = std::max(area.y, std::min(r.y, area.y + area.height - r.height));
    return r;
}

Viewport Viewport::FitPage(double cssWidth, double cssHeight, double pixelRatio)
{
    if (!(pixelRatio > 0) || !std::isfinite(pixelRatio))
        pixelRatio = 1.0;
    // Fitted in CSS pixels, so a page of exactly the board's size shows it at exactly 1 px =
    // 15 twips at any pixel ratio.
    const Viewport css = Fit(cssWidth, cssHeight);
    return {css.scale() * pixelRatio, std::round(css.originX() * pixelRatio),
        std::round(css.originY() * pixelRatio)};
}

double Viewport::ToPixelsX(double twipsX) const
{
    return m_originX + twipsX * m_scale / kTwipsPerPixel;
}

double Viewport::ToPixelsY(double twipsY) const
{
    return m_originY + twipsY * m_scale / kTwipsPerPixel;
}

PixelRect Viewport::ToPixels(const Rect& twips) const
{
    return ToPixels(twips.left, twips.top, twips.width, twips.height);
}

PixelRect Viewport::ToPixels(double left, double top, double width, double height) const
{
    const int x1 = RoundPixel(ToPixelsX(left));
    const int y1 = RoundPixel(ToPixelsY(top));
    const int x2 = RoundPixel(ToPixelsX(left + width));
    const int y2 = RoundPixel(ToPixelsY(top + height));
    return {x1, y1, x2 - x1, y2 - y1};
}

RectF Viewport::ToPixelsF(const Rect& twips) const
{
    const PixelRect r = ToPixels(twips);
    return {double(r.x), double(r.y), double(r.width), double(r.height)};
}

float Viewport::ToTwipsX(double pixelX) const
{
    return ToFloat((pixelX - m_originX) * kTwipsPerPixel / m_scale);
}

float Viewport::ToTwipsY(double pixelY) const
{
    return ToFloat((pixelY - m_originY) * kTwipsPerPixel / m_scale);
}

double Viewport::ScaledPixels(double pixelsAtScale1) const
{
    return std::max(1.0, std::round(pixelsAtScale1 * m_scale));
}

} // namespace vantorel
