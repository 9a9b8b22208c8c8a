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
    const double scale = std::min(clientWidth / design.width, clientHeight / design.height);
    return {scale, (clientWidth - design.width * scale) / 2.0,
        (clientHeight - design.height * scale) / 2.0};
}

SizeF Viewport::DefaultClientSize()
{
    return {
        double(kDesignWidthTwips) / kTwipsPerPixel, double(kDesignHeightTwips) / kTwipsPerPixel};
}

SizeF Viewport::InitialClientSize(double availableWidth, double availableHeight)
{
    const SizeF design = DefaultClientSize();
    if (!(availableWidth > 0) || !(availableHeight > 0))
        return design;
    const double scale
        = std::min({1.0, availableWidth / design.width, availableHeight / design.height});
    return {std::floor(design.width * scale), std::floor(design.height * scale)};
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
