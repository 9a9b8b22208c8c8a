// SPDX-License-Identifier: MIT
#include "Win32Canvas.h"

#include <cmath>
#include <string>

namespace vantorel {

namespace {

RECT ToRect(const RectF& r)
{
    const auto round = [](double v) { return LONG(std::lround(v)); };
    return {round(r.x), round(r.y), round(r.x + r.width), round(r.y + r.height)};
}

COLORREF ToColorRef(Colour c)
{
    return RGB(c.red, c.green, c.blue);
}

} // namespace

std::wstring Widen(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
    return wide;
}

Win32Canvas::Win32Canvas(HDC dc)
    : m_dc(dc)
    , m_originalFont(GetCurrentObject(dc, OBJ_FONT))
{
    SetBkMode(m_dc, TRANSPARENT);
}

Win32Canvas::~Win32Canvas()
{
    SelectObject(m_dc, m_originalFont);
    if (m_font)
        DeleteObject(m_font);
}

void Win32Canvas::FillRect(const RectF& r, Colour c)
{
    const RECT rect = ToRect(r);
    SetDCBrushColor(m_dc, ToColorRef(c));
    ::FillRect(m_dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Win32Canvas::DrawString(
    const RectF& box, std::string_view utf8, const FontSpec& wanted, Colour c, TextAlign align)
{
    // One font at a time is cached: the board draws runs of labels in the same font.
    if (!m_font || wanted.face != m_fontSpec.face || wanted.pixelSize != m_fontSpec.pixelSize
        || wanted.bold != m_fontSpec.bold) {
        SelectObject(m_dc, m_originalFont);
        if (m_font)
            DeleteObject(m_font);
        const int height = -std::max(1, int(std::lround(wanted.pixelSize)));
        m_font = CreateFontW(height, 0, 0, 0, wanted.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
            DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH,
            Widen(wanted.face).c_str());
        m_fontSpec = wanted;
        SelectObject(m_dc, m_font);
    }
    SetTextColor(m_dc, ToColorRef(c));
    std::wstring text = Widen(utf8);
    RECT rect = ToRect(box);
    const UINT format = DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX
        | (align == TextAlign::Centre ? DT_CENTER | DT_VCENTER : DT_LEFT | DT_TOP);
    ::DrawTextW(m_dc, text.data(), int(text.size()), &rect, format);
}

void Win32Canvas::DrawFocusFrame(const RectF& r, Colour c)
{
    const RECT rect = ToRect(r);
    SetTextColor(m_dc, ToColorRef(c));
    ::DrawFocusRect(m_dc, &rect);
}

} // namespace vantorel
