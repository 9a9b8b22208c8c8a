// SPDX-License-Identifier: MIT
#include "WebCanvas.h"

#include "FontFaces.h"
#include "Page.h"

namespace vantorel {

namespace {

int Rgb(Colour c)
{
    return (int(c.red) << 16) | (int(c.green) << 8) | int(c.blue);
}

} // namespace

std::string FontFamilies(std::string_view face)
{
    // The layout's face, its twins drawn to the same metrics, and a generic family last.
    std::string families = "\"" + std::string(face) + "\"";
    if (const FaceStandIns* row = StandInsFor(face)) {
        for (std::string_view twin : row->twins)
            families += ", \"" + std::string(twin) + "\"";
        families += ", " + std::string(row->generic);
    }
    return families;
}

WebCanvas::WebCanvas(int target, double offsetX, double offsetY)
    : m_target(target)
    , m_offsetX(offsetX)
    , m_offsetY(offsetY)
{ }

void WebCanvas::FillRect(const RectF& r, Colour c)
{
    vt_fill(m_target, r.x + m_offsetX, r.y + m_offsetY, r.width, r.height, Rgb(c));
}

void WebCanvas::DrawString(
    const RectF& box, std::string_view utf8, const FontSpec& font, Colour c, TextAlign align)
{
    const std::string families = FontFamilies(font.face);
    vt_text(m_target, box.x + m_offsetX, box.y + m_offsetY, box.width, box.height, utf8.data(),
        int(utf8.size()), families.data(), int(families.size()), font.pixelSize, font.bold, Rgb(c),
        align == TextAlign::Centre);
}

} // namespace vantorel
