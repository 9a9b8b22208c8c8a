// SPDX-License-Identifier: MIT
// Writes the desktop's icons from the one drawing:
//   pnggen OUTDIR   ->  OUTDIR/hicolor/NxN/apps/vantorel.png for every size a desktop asks for

#include "IconArt.h"

#include <QDir>
#include <QImage>
#include <cstdio>

using namespace vantorel::icon;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: pnggen OUTDIR\n", stderr);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
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
