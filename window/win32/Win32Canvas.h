// SPDX-License-Identifier: MIT
#pragma once

#include "Toolkit.h"

#include <string>
#include <string_view>
#include <windows.h>

namespace vantorel {

std::wstring Widen(std::string_view utf8);

// The board's picture on a GDI device context: a window's, a bitmap's or a printer's.
class Win32Canvas final : public Canvas {
public:
    explicit Win32Canvas(HDC dc);
    ~Win32Canvas() override;
    Win32Canvas(const Win32Canvas&) = delete;
    Win32Canvas& operator=(const Win32Canvas&) = delete;

    void FillRect(const RectF&, Colour) override;
    void DrawString(
        const RectF& box, std::string_view utf8, const FontSpec&, Colour, TextAlign) override;

private:
    HDC m_dc;
    HGDIOBJ m_originalFont;
    HFONT m_font = nullptr;
    FontSpec m_fontSpec {};
    int m_fontHeight = 0;
};

} // namespace vantorel
