// SPDX-License-Identifier: MIT
// ppmcount FILE R G B: how many pixels of a binary PPM (P6, 8-bit) have exactly that colour.
// ppmcount box FILE R G B: "X Y WIDTH HEIGHT" of the area that colour fills: the rows and the
// columns of which it takes a quarter or more, so an icon or a caption of the colour elsewhere
// does not count. Exits 1 when there is none.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const bool box = argc == 6 && std::strcmp(argv[1], "box") == 0;
    if (argc != 5 && !box) {
        std::fputs("usage: ppmcount [box] FILE R G B\n", stderr);
        return 2;
    }
    char** args = argv + (box ? 2 : 1);
    std::ifstream in(args[0], std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    in >> magic >> width >> height >> maxval;
    in.get();
    if (!in || magic != "P6" || maxval != 255 || width <= 0 || height <= 0) {
        std::fputs("ppmcount: not an 8-bit P6 file\n", stderr);
        return 1;
    }
    const int r = std::atoi(args[1]), g = std::atoi(args[2]), b = std::atoi(args[3]);
    long count = 0;
    std::vector<int> rows(static_cast<std::size_t>(height));
    std::vector<int> columns(static_cast<std::size_t>(width));
    unsigned char px[3];
    for (long i = 0; i < long(width) * height && in.read(reinterpret_cast<char*>(px), 3); ++i)
        if (px[0] == r && px[1] == g && px[2] == b) {
            ++count;
            ++rows[std::size_t(i / width)];
            ++columns[std::size_t(i % width)];
        }
    if (!box) {
        std::printf("%ld\n", count);
        return 0;
    }
    auto span = [](const std::vector<int>& counts, int enough, int& first, int& last) {
        first = -1;
        for (int i = 0; i < int(counts.size()); ++i)
            if (counts[std::size_t(i)] >= enough) {
                if (first < 0)
                    first = i;
                last = i;
            }
        return first >= 0;
    };
    int left = 0, right = 0, top = 0, bottom = 0;
    if (!span(columns, height / 4, left, right) || !span(rows, width / 4, top, bottom))
        return 1;
    std::printf("%d %d %d %d\n", left, top, right - left + 1, bottom - top + 1);
    return 0;
}
