// SPDX-License-Identifier: MIT
#include "QtCanvas.h"

#include "FontFaces.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <utility>

namespace vantorel {

namespace {

QRectF ToQRectF(const RectF& r)
{
    return {r.x, r.y, r.width, r.height};
}

QString ToQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

QColor ToQColor(Colour c)
{
    return QColor(c.red, c.green, c.blue);
}

QFont ToQFont(const FontSpec& wanted)
{
    // The layout's faces are missing here, or a bitmap face: straight to their twins.
    QStringList families;
    if (const FaceStandIns* row = StandInsFor(wanted.face))
        for (std::string_view twin : row->twins)
            families << ToQString(twin);
    else
        families << ToQString(wanted.face);
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(wanted.pixelSize))));
    font.setBold(wanted.bold);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

void QtCanvas::FillRect(const RectF& r, Colour c)
{
    m_painter.fillRect(ToQRectF(r), ToQColor(c));
}

void QtCanvas::DrawString(
    const RectF& box, std::string_view utf8, const FontSpec& wanted, Colour c, TextAlign align)
{
    const QFont font = ToQFont(wanted);
    m_painter.setFont(font);
    m_painter.setPen(ToQColor(c));
    const QString text = ToQString(utf8);
    if (align == TextAlign::TopLeft) {
        // Drawn from the baseline rather than into the box, so nothing can clip a glyph.
        const QFontMetricsF metrics(font, m_painter.device());
        m_painter.drawText(QPointF(box.x, box.y + metrics.ascent()), text);
    } else {
        m_painter.drawText(ToQRectF(box), Qt::AlignCenter | Qt::TextDontClip, text);
    }
}

} // namespace vantorel
