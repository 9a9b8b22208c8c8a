// SPDX-License-Identifier: MIT
#pragma once

// The application icon, drawn by us: a small fixed-sign chart (a square in a 4 x 4 grid with an
// open centre) on light yellow, holding three planet tokens. One drawing serves the window, the
// desktop's PNGs and the Windows .ico, at every size.

#include <array>
#include <cstdint>
#include <vector>

namespace vantorel::icon {

struct Rgb {
    std::uint8_t r, g, b;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

// Sixteen colours at most, so the drawing fits a 4-bit icon as it is.
inline constexpr std::array<Rgb, 16> kPalette {{
    {0, 0, 0}, // 0 ink
    {255, 255, 192}, // 1 the board's light yellow
    {255, 255, 128}, // 2 ascendant
    {255, 224, 192}, // 3 Sun
    {255, 128, 128}, // 4 Mars
    {128, 64, 64}, // 5 Ketu
    {255, 255, 255}, // 6 white
    {128, 128, 128}, // 7 grey
    {0, 0, 128}, // 8..15 unused
    {128, 0, 128},
    {192, 192, 192},
    {192, 255, 192},
    {192, 255, 255},
    {255, 192, 128},
    {64, 64, 64},
    {0, 0, 255},
}};

// size x size palette indexes, row by row from the top. In two colours the tokens disappear
// and the chart stays: black ink on white.
std::vector<std::uint8_t> Draw(int size, bool twoColours = false);

} // namespace vantorel::icon
