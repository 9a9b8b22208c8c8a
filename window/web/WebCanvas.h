// SPDX-License-Identifier: MIT
#pragma once

// The board's picture on one of the page's canvases, through page.js.

#include "Toolkit.h"

#include <string>

namespace vantorel {

// The CSS font list for a face of the layout: the face itself, then its metric twins.
std::string FontFamilies(std::string_view face);

class WebCanvas final : public Canvas {
public:
    // Draws on `target` with every point moved by (offsetX, offsetY).
    WebCanvas(int target, double offsetX, double offsetY);

    void FillRect(const RectF&, Colour) override;
    void DrawString(
        const RectF& box, std::string_view utf8, const FontSpec&, Colour, TextAlign) override;

private:
    int m_target;
    double m_offsetX;
    double m_offsetY;
};

} // namespace vantorel
