// SPDX-License-Identifier: MIT
// The generated icons, read back from the files the build wrote.

#include "IconArt.h"

#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned U16(const std::vector<unsigned char>& b, std::size_t at)
{
    return b.at(at) | b.at(at + 1) << 8;
}
unsigned U32(const std::vector<unsigned char>& b, std::size_t at)
{
    return U16(b, at) | U16(b, at + 2) << 16;
}
unsigned B32(const std::vector<unsigned char>& b, std::size_t at)
{
    return unsigned(b.at(at)) << 24 | b.at(at + 1) << 16 | b.at(at + 2) << 8 | b.at(at + 3);
}

TEST(Icon, IcoHoldsExactlyTheThreeClassicImages)
{
    const auto ico = ReadFile(VANTOREL_GENERATED_DIR "/vantorel.ico");
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(U16(ico, 0), 0u);
    EXPECT_EQ(U16(ico, 2), 1u); // an icon, not a cursor
    ASSERT_EQ(U16(ico, 4), 3u);
    struct Want {
        unsigned size, colours, bits;
    };
    const Want want[] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t e = 6 + 16 * i;
        EXPECT_EQ(ico.at(e), want[i].size);
        EXPECT_EQ(ico.at(e + 1), want[i].size);
        EXPECT_EQ(ico.at(e + 2), want[i].colours);
        EXPECT_EQ(U16(ico, e + 6), want[i].bits);
        const unsigned bytes = U32(ico, e + 8);
        const unsigned offset = U32(ico, e + 12);
        ASSERT_LE(std::size_t(offset) + bytes, ico.size());
        // The image itself agrees: header, double height for the mask, depth, palette size.
        EXPECT_EQ(U32(ico, offset), 40u);
        EXPECT_EQ(U32(ico, offset + 4), want[i].size);
        EXPECT_EQ(U32(ico, offset + 8), want[i].size * 2);
        EXPECT_EQ(U16(ico, offset + 14), want[i].bits);
        const unsigned row = (want[i].size * want[i].bits + 31) / 32 * 4;
        const unsigned mask = (want[i].size + 31) / 32 * 4;
        EXPECT_EQ(bytes, 40 + 4 * want[i].colours + (row + mask) * want[i].size);
    }
}

TEST(Icon, DesktopSizesAreSquarePngsOfTheirSize)
{
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string path = VANTOREL_GENERATED_DIR "/hicolor/" + std::to_string(size) + "x"
            + std::to_string(size) + "/apps/vantorel.png";
        const auto png = ReadFile(path);
        ASSERT_GE(png.size(), 24u) << path;
        EXPECT_EQ(png.at(1), 'P');
        EXPECT_EQ(B32(png, 16), unsigned(size)) << path;
        EXPECT_EQ(B32(png, 20), unsigned(size)) << path;
    }
}

TEST(Icon, DrawingIsAChartWithAnOpenCentreAtEverySize)
{
    using namespace vantorel::icon;
    for (int size : {16, 32, 256}) {
        const auto px = Draw(size);
        auto at = [&](int x, int y) { return px[std::size_t(y * size + x)]; };
        EXPECT_EQ(at(0, 0), 0) << size; // frame
        EXPECT_EQ(at(size - 1, size - 1), 0) << size;
        EXPECT_EQ(at(size / 2, size / 2), 1) << size; // the centre stays open
        bool lineLeftOfCentre = false; // along the middle row, before the open centre
        for (int x = 2; x < size / 3; ++x)
            lineLeftOfCentre |= at(x, size / 2) == 0;
        EXPECT_TRUE(lineLeftOfCentre) << size;
        int tokens = 0;
        for (auto c : px)
            tokens += c == 3 || c == 4 || c == 2;
        EXPECT_GT(tokens, 0) << size;
    }
    for (auto c : Draw(32, true))
        EXPECT_TRUE(c == 0 || c == 6);
}

} // namespace
