// Writes the application's icons from the one drawing:
//   icongen OUTDIR   ->  OUTDIR/vantorel.ico (32x32 2 colours, 32x32 16 colours, 16x16 16 colours)
//                        OUTDIR/hicolor/NxN/apps/vantorel.png for the desktop's sizes

#include "IconArt.h"

#include <QDir>
#include <QImage>
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

bool WriteIco(const QString& path)
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
    std::ofstream file(path.toStdString(), std::ios::binary);
    file.write(out.data(), std::streamsize(out.size()));
    return bool(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: icongen OUTDIR\n", stderr);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!WriteIco(dir + "/vantorel.ico"))
        return 1;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::vector<std::uint8_t> px = Draw(size);
        QImage image(size, size, QImage::Format_RGB32);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const Rgb c = kPalette[px[std::size_t(y * size + x)]];
                image.setPixel(x, y, qRgb(c.r, c.g, c.b));
            }
        const QString sub = QStringLiteral("%1/hicolor/%2x%2/apps").arg(dir).arg(size);
        if (!QDir().mkpath(sub) || !image.save(sub + "/vantorel.png"))
            return 1;
    }
    return 0;
}
