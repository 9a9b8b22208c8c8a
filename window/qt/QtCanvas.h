// SPDX-License-Identifier: MIT
#pragma once

#include "Toolkit.h"

#include <QColor>
#include <QFont>

class QPainter;

namespace vantorel {

QColor ToQColor(Colour);
// The layout names the faces of another desktop; these are their metric-compatible twins from
// Debian's fonts-liberation, so every name keeps the width the layout was measured with.
QFont ToQFont(const FontSpec&);

class QtCanvas final : public Canvas {
public:
    explicit QtCanvas(QPainter& painter)
        : m_painter(painter)
    { }
    void FillRect(const RectF&, Colour) override;
    void DrawString(
        const RectF& box, std::string_view utf8, const FontSpec&, Colour, TextAlign) override;

private:
    QPainter& m_painter;
};

} // namespace vantorel
