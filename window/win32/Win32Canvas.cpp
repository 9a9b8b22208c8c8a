// SPDX-License-Identifier: MIT
#include "Win32Canvas.h"

#include "FontFaces.h"

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

struct FaceSearch {
    int em = 0;
    bool found = false;
};

int CALLBACK OnFace(const LOGFONTW*, const TEXTMETRICW* metrics, DWORD type, LPARAM data)
{
    auto* search = reinterpret_cast<FaceSearch*>(data);
    const int em = int(metrics->tmHeight - metrics->tmInternalLeading);
    search->found = !(type & RASTER_FONTTYPE) || em == search->em;
    return search->found ? 0 : 1;
}

// Can GDI draw this face at `height` pixels (negative: the em height)? A TrueType or vector face
// at any size; a bitmap face only at one of the sizes it carries.
bool Drawable(HDC dc, std::string_view face, int height)
{
    const std::wstring name = Widen(face);
    if (name.size() >= LF_FACESIZE)
        return false;
    LOGFONTW wanted {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    name.copy(wanted.lfFaceName, name.size());
    FaceSearch search {-height};
    EnumFontFamiliesExW(dc, &wanted, OnFace, reinterpret_cast<LPARAM>(&search), 0);
    return search.found;
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
    // One font at a time is cached: the board draws runs of labels in the same font. GDI takes
    // whole pixels, so the cache is keyed by the height it was given, not the scaled size.
    const int height = -std::max(1, int(std::lround(wanted.pixelSize)));
    if (!m_font || wanted.face != m_fontSpec.face || height != m_fontHeight
        || wanted.bold != m_fontSpec.bold) {
        SelectObject(m_dc, m_originalFont);
        if (m_font)
            DeleteObject(m_font);
        // Where the layout's face is missing, or a bitmap face without this size, a TrueType
        // twin keeps serif captions serif at every size.
        const std::string_view face = ChooseFace(
            wanted.face, [&](std::string_view f) { return Drawable(m_dc, f, height); });
        const FaceStandIns* row = StandInsFor(wanted.face);
        const BYTE family = row && row->generic == "serif" ? FF_ROMAN : FF_SWISS;
        m_font = CreateFontW(height, 0, 0, 0, wanted.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
            FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
            DEFAULT_PITCH | family, Widen(face).c_str());
        m_fontSpec = wanted;
        m_fontHeight = height;
        SelectObject(m_dc, m_font);
    }
    SetTextColor(m_dc, ToColorRef(c));
    std::wstring text = Widen(utf8);
    RECT rect = ToRect(box);
    const UINT format = DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX
        | (align == TextAlign::Centre ? DT_CENTER | DT_VCENTER : DT_LEFT | DT_TOP);
    ::DrawTextW(m_dc, text.data(), int(text.size()), &rect, format);
}

} // namespace vantorel
