// SPDX-License-Identifier: MIT
// ppmcount FILE R G B: how many pixels of a binary PPM (P6, 8-bit) have exactly that colour.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fputs("usage: ppmcount FILE R G B\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    in >> magic >> width >> height >> maxval;
    in.get();
    if (!in || magic != "P6" || maxval != 255 || width <= 0 || height <= 0) {
        std::fputs("ppmcount: not an 8-bit P6 file\n", stderr);
        return 1;
    }
    const int r = std::atoi(argv[2]), g = std::atoi(argv[3]), b = std::atoi(argv[4]);
    long count = 0;
    unsigned char px[3];
    for (long i = 0; i < long(width) * height && in.read(reinterpret_cast<char*>(px), 3); ++i)
        count += px[0] == r && px[1] == g && px[2] == b;
    std::printf("%ld\n", count);
    return 0;
}
