// SPDX-License-Identifier: MIT
// Writes the Windows icon from the one drawing, with no toolkit, so a plain host build can make
// it for the cross-compiled program:
//   icogen FILE   ->  FILE: 32x32 in 2 colours, 32x32 in 16 colours, 16x16 in 16 colours

#include "IconArt.h"

#include <cstdio>
#include <fstream>
#include <vector>

using namespace vantorel::icon;

namespace {

void Put16(std::vector<char>& out, unsigned v)
{
    out.push_back(char(v & 0xff));
    out.push_back(char((v >> 8) & 0xff));
}
void Put32(std::vector<char>& out, unsigned v)
{
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

// One icon image as the .ico format keeps it: a BITMAPINFOHEADER of twice the height, the
// palette, the colour bits bottom-up with rows padded to 4 bytes, then the 1-bit AND mask.
std::vector<char> IconImage(int size, int bits)
{
    const bool two = bits == 1;
    const std::vector<std::uint8_t> px = Draw(size, two);
    const int colours = 1 << bits;
    const int rowBytes = ((size * bits + 31) / 32) * 4;
    const int maskRowBytes = ((size + 31) / 32) * 4;
    std::vector<char> out;
    Put32(out, 40);
    Put32(out, unsigned(size));
    Put32(out, unsigned(size * 2));
    Put16(out, 1);
    Put16(out, unsigned(bits));
    Put32(out, 0);
    Put32(out, unsigned((rowBytes + maskRowBytes) * size));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, unsigned(colours));
    Put32(out, 0);
    // In two colours: index 0 black, index 1 white.
    for (int i = 0; i < colours; ++i) {
        const Rgb c
            = two ? (i == 0 ? Rgb {0, 0, 0} : Rgb {255, 255, 255}) : kPalette[std::size_t(i)];
        out.push_back(char(c.b));
        out.push_back(char(c.g));
        out.push_back(char(c.r));
        out.push_back(0);
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<unsigned char> row(std::size_t(rowBytes), 0);
        for (int x = 0; x < size; ++x) {
            unsigned index = px[std::size_t(y * size + x)];
            if (two)
                index = index == 0 ? 0 : 1;
            const int bit = x * bits;
            row[std::size_t(bit / 8)] |= static_cast<unsigned char>(index << (8 - bits - bit % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    out.insert(out.end(), std::size_t(maskRowBytes * size), 0); // fully opaque
    return out;
}

bool WriteIco(const char* path)
{
    struct Entry {
        int size, bits;
    };
    const Entry entries[] = {{32, 1}, {32, 4}, {16, 4}};
    std::vector<std::vector<char>> images;
    for (const Entry& e : entries)
        images.push_back(IconImage(e.size, e.bits));
    std::vector<char> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, unsigned(std::size(entries)));
    unsigned offset = 6 + 16 * unsigned(std::size(entries));
    for (std::size_t i = 0; i < std::size(entries); ++i) {
        out.push_back(char(entries[i].size));
        out.push_back(char(entries[i].size));
        out.push_back(char(entries[i].bits == 1 ? 2 : 16));
        out.push_back(0);
        Put16(out, 1);
        Put16(out, unsigned(entries[i].bits));
        Put32(out, unsigned(images[i].size()));
        Put32(out, offset);
        offset += unsigned(images[i].size());
    }
    for (const auto& image : images)
        out.insert(out.end(), image.begin(), image.end());
    std::ofstream file(path, std::ios::binary);
    file.write(out.data(), std::streamsize(out.size()));
    return bool(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: icogen FILE.ico\n", stderr);
        return 2;
    }
    return WriteIco(argv[1]) ? 0 : 1;
}
