// SPDX-License-Identifier: MIT
#include "IconArt.h"

#include <algorithm>

namespace vantorel::icon {

std::vector<std::uint8_t> Draw(int size, bool twoColours)
{
    const std::uint8_t ink = 0;
    const std::uint8_t ground = twoColours ? 6 : 1;
    std::vector<std::uint8_t> px(std::size_t(size) * std::size_t(size), ground);
    auto fill = [&](int x0, int y0, int x1, int y1, std::uint8_t c) {
        for (int y = std::max(0, y0); y < std::min(size, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(size, x1); ++x)
                px[std::size_t(y) * std::size_t(size) + std::size_t(x)] = c;
    };

    const int line = std::max(1, size / 32);
    const int last = size - line;
    // Grid edges at quarters of the frame.
    auto edge = [&](int q) { return q * last / 4; };

    // Tokens first, so the grid's ink lies over anything that reaches a line.
    if (!twoColours) {
        const int t = std::max(2, size * 3 / 16);
        auto token = [&](int col, int row, std::uint8_t c) {
            const int x0 = (edge(col) + edge(col + 1) + line) / 2 - t / 2;
            const int y0 = (edge(row) + edge(row + 1) + line) / 2 - t / 2;
            fill(x0, y0, x0 + t, y0 + t, c);
            if (size >= 32) { // a shadow, as a raised button has
                fill(x0 + line, y0 + t, x0 + t + line, y0 + t + line, ink);
                fill(x0 + t, y0 + line, x0 + t + line, y0 + t + line, ink);
            }
        };
        token(1, 0, 3); // Sun in Aries
        token(3, 2, 4); // Mars in Leo
        token(0, 3, 2); // ascendant in Sagittarius
    }

    // Frame.
    fill(0, 0, size, line, ink);
    fill(0, last, size, size, ink);
    fill(0, 0, line, size, ink);
    fill(last, 0, size, size, ink);
    // Full-length lines between the outer and inner columns and rows.
    for (int q : {1, 3}) {
        fill(edge(q), 0, edge(q) + line, size, ink);
        fill(0, edge(q), size, edge(q) + line, ink);
    }
    // Short lines splitting the middle of each side; the centre stays open.
    fill(edge(2), 0, edge(2) + line, edge(1), ink);
    fill(edge(2), edge(3), edge(2) + line, size, ink);
    fill(0, edge(2), edge(1), edge(2) + line, ink);
    fill(edge(3), edge(2), size, edge(2) + line, ink);
    return px;
}

} // namespace vantorel::icon
