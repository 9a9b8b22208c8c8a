// SPDX-License-Identifier: MIT
#pragma once

// The faces the layout names are old Windows faces that many systems lack, and one of them is a
// bitmap face that draws at a few sizes only. Every backend asks for the layout's face first and
// then for these stand-ins, which keep the captions' widths and their serif or sans-serif look.

#include <array>
#include <string_view>

namespace vantorel {

struct FaceStandIns {
    std::string_view face; // as the layout names it
    std::array<std::string_view, 2> twins; // same widths, best first
    std::string_view generic; // the CSS generic family
};

inline constexpr std::array<FaceStandIns, 2> kFaceStandIns {{
    {"Arial", {"Liberation Sans", "Arimo"}, "sans-serif"},
    {"MS Serif", {"Liberation Serif", "Times New Roman"}, "serif"},
}};

inline constexpr const FaceStandIns* StandInsFor(std::string_view face)
{
    for (const FaceStandIns& row : kFaceStandIns)
        if (row.face == face)
            return &row;
    return nullptr;
}

// The first face that `usable` accepts: the layout's own, then its twins; the last twin when
// none is (the system's font mapper then finds the nearest).
template <typename Usable> std::string_view ChooseFace(std::string_view face, Usable usable)
{
    if (usable(face))
        return face;
    const FaceStandIns* row = StandInsFor(face);
    if (!row)
        return face;
    for (std::string_view twin : row->twins)
        if (usable(twin))
            return twin;
    return row->twins.back();
}

} // namespace vantorel
