// SPDX-License-Identifier: MIT
// gridcheck FILE [--turned]: finds the board in a picture (a screenshot, or a printed page
// rendered to a binary PPM) and checks that the chart's frame and all eight grid lines are there,
// as dark bands along their whole length. --turned: the picture lies a quarter turn round, as a
// landscape page does on portrait paper; either way round is recognised.
// Prints one line per stroke and exits 0 only when every stroke is there.
// gridcheck FILE --serif X Y W H N: the N-th letter (from 1) of the text in that box is a capital
// I; prints "serif" when it has serifs (rows of ink wider than its stem), else "sans-serif".

#include "Layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace vantorel;

struct Mask {
    int width = 0;
    int height = 0;
    std::vector<bool> dark;
    bool at(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height
            && dark[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

bool Read(const char* path, Mask& mask)
{
    std::ifstream in(path, std::ios::binary);
    // Header fields, with any comment lines between them skipped (Ghostscript writes one).
    const auto field = [&in] {
        std::string token;
        while (in >> token && token.front() == '#')
            std::getline(in, token);
        return token;
    };
    const std::string magic = field();
    mask.width = std::atoi(field().c_str());
    mask.height = std::atoi(field().c_str());
    const int maxval = std::atoi(field().c_str());
    in.get();
    if (!in || magic != "P6" || maxval != 255 || mask.width <= 0 || mask.height <= 0)
        return false;
    mask.dark.resize(std::size_t(mask.width) * std::size_t(mask.height));
    unsigned char px[3];
    for (std::size_t i = 0; i < mask.dark.size() && in.read(reinterpret_cast<char*>(px), 3); ++i)
        // Black strokes, not the grey western names or the buttons' lighter shadows.
        mask.dark[i] = (px[0] * 299 + px[1] * 587 + px[2] * 114) / 1000 < 100;
    return bool(in);
}

// The picture turned a quarter: clockwise when `clockwise`, else anticlockwise.
Mask Turn(const Mask& m, bool clockwise)
{
    Mask t {m.height, m.width, std::vector<bool>(m.dark.size())};
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const int tx = clockwise ? m.height - 1 - y : y;
            const int ty = clockwise ? x : m.width - 1 - x;
            t.dark[std::size_t(ty) * std::size_t(t.width) + std::size_t(tx)] = m.at(x, y);
        }
    return t;
}

// Where board twips fall in the picture, from the dark extent: the frame is the board's leftmost,
// topmost and bottommost dark stroke.
struct Placement {
    double scale = 0; // pixels per twip
    double originX = 0;
    double originY = 0;
    double x(double twips) const { return originX + twips * scale; }
    double y(double twips) const { return originY + twips * scale; }
};

bool Place(const Mask& m, Placement& p)
{
    int left = m.width, top = m.height, bottom = -1;
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x)
            if (m.at(x, y)) {
                left = std::min(left, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (bottom <= top)
        return false;
    const Rect frame = layout::kFrame.rect;
    p.scale = double(bottom + 1 - top) / frame.height;
    p.originX = left - frame.left * p.scale;
    p.originY = top - frame.top * p.scale;
    return true;
}

// Is there a dark band across the stroke at (x, y)? `vertical` strokes are searched across x.
bool BandAt(const Mask& m, double x, double y, bool vertical, double thickness)
{
    const int reach = int(std::ceil(thickness)) + 2;
    const int cx = int(std::lround(x)), cy = int(std::lround(y));
    int found = 0;
    for (int d = -reach; d <= reach; ++d)
        found += vertical ? m.at(cx + d, cy) : m.at(cx, cy + d);
    return found >= std::max(1, int(std::lround(thickness / 2)));
}

// Samples along a stroke, clear of the points where other lines meet it.
bool Stroke(const Mask& m, const Placement& p, Point from, Point to, double thickness)
{
    const bool vertical = from.x == to.x;
    for (double f : {0.15, 0.35, 0.62, 0.85}) {
        const double tx = from.x + f * (to.x - from.x);
        const double ty = from.y + f * (to.y - from.y);
        if (!BandAt(m, p.x(tx), p.y(ty), vertical, thickness))
            return false;
    }
    return true;
}

struct Named {
    std::string name;
    Point from;
    Point to;
};

std::vector<Named> Strokes()
{
    const Rect f = layout::kFrame.rect;
    // The frame's border lies inside its rectangle: sample one pixel in from each edge.
    std::vector<Named> all {{"Shape1 left", {f.left + 15, f.top}, {f.left + 15, f.bottom()}},
        {"Shape1 right", {f.right() - 15, f.top}, {f.right() - 15, f.bottom()}},
        {"Shape1 top", {f.left, f.top + 15}, {f.right(), f.top + 15}},
        {"Shape1 bottom", {f.left, f.bottom() - 15}, {f.right(), f.bottom() - 15}}};
    for (const LineRow& line : layout::kLines)
        all.push_back(
            {std::string(line.name) + "(" + std::to_string(line.index) + ")", line.from, line.to});
    return all;
}

// Letters are runs of columns with ink, apart by columns without.
std::string SerifOfI(const Mask& m, int x0, int y0, int w, int h, int letter)
{
    int seen = 0, from = -1;
    for (int x = x0; x <= x0 + w && from < 0; ++x) {
        bool ink = false;
        for (int y = y0; y < y0 + h; ++y)
            ink = ink || m.at(x, y);
        if (ink && (x == x0 || [&] {
                for (int y = y0; y < y0 + h; ++y)
                    if (m.at(x - 1, y))
                        return false;
                return true;
            }()))
            from = ++seen == letter ? x : -1;
    }
    if (from < 0)
        return "no such letter";
    int to = from;
    for (bool ink = true; ink; ++to) {
        ink = false;
        for (int y = y0; y < y0 + h; ++y)
            ink = ink || m.at(to + 1, y);
    }
    int stem = w, widest = 0;
    for (int y = y0; y < y0 + h; ++y) {
        int row = 0;
        for (int x = from; x <= to; ++x)
            row += m.at(x, y);
        if (row > 0) {
            stem = std::min(stem, row);
            widest = std::max(widest, row);
        }
    }
    return widest >= stem + 2 ? "serif" : "sans-serif";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 8 && !std::strcmp(argv[2], "--serif")) {
        Mask picture;
        if (!Read(argv[1], picture))
            return 2;
        std::puts(SerifOfI(picture, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
            std::atoi(argv[6]), std::atoi(argv[7]))
                      .c_str());
        return 0;
    }
    if (argc < 2 || (argc == 3 && std::strcmp(argv[2], "--turned")) || argc > 3) {
        std::fputs("usage: gridcheck FILE.ppm [--turned]\n", stderr);
        return 2;
    }
    Mask picture;
    if (!Read(argv[1], picture)) {
        std::fputs("gridcheck: not an 8-bit P6 file\n", stderr);
        return 2;
    }
    std::vector<Mask> ways;
    if (argc == 3) {
        ways.push_back(Turn(picture, true));
        ways.push_back(Turn(picture, false));
    } else {
        ways.push_back(std::move(picture));
    }
    // The right way round has the frame's left edge as its leftmost dark stroke; turned the
    // wrong way, the command buttons come first.
    const std::vector<Named> strokes = Strokes();
    for (const Mask& m : ways) {
        Placement p;
        if (!Place(m, p))
            continue;
        const double thickness = std::max(1.0, layout::kGridLinePixels * 15 * p.scale);
        if (!Stroke(m, p, strokes[0].from, strokes[0].to, thickness))
            continue;
        int missing = 0;
        for (const Named& s : strokes) {
            const bool there = Stroke(m, p, s.from, s.to, thickness);
            missing += !there;
            std::printf("%-14s %s\n", s.name.c_str(), there ? "ok" : "MISSING");
        }
        std::printf("board found at %.5f px per twip\n", p.scale);
        return missing ? 1 : 0;
    }
    std::puts("no board frame found");
    return 1;
}
