// SPDX-License-Identifier: GPL-2.0-or-later
// Turns a PSF1 console font with a Unicode table into a TrueType font named TerminalDOS
// whose outlines are the console pixels as squares of exactly 128 units (the em is 16
// pixels of 2048 units). At 16 pixels per em every edge lies on a pixel boundary, so a
// monochrome rasterizer gives back the console bitmap; at 32 or 48 pixels each console
// pixel becomes a block of 2 x 2 or 3 x 3, and at any other size the edges stay hard.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kCellWidth = 8;
constexpr int kUnitsPerPixel = 128;
constexpr int kDescentPixels = 4;

class Bytes {
public:
    void u8(unsigned v) { data_.push_back(static_cast<unsigned char>(v)); }
    void u16(unsigned v) {
        u8(v >> 8);
        u8(v);
    }
    void s16(int v) { u16(static_cast<unsigned>(v) & 0xFFFF); }
    void u32(std::uint32_t v) {
        u16(v >> 16);
        u16(v & 0xFFFF);
    }
    void tag(const char* t) {
        for (int i = 0; i < 4; ++i)
            u8(static_cast<unsigned char>(t[i]));
    }
    void append(const Bytes& b) { data_.insert(data_.end(), b.data_.begin(), b.data_.end()); }
    void pad4() {
        while (data_.size() % 4)
            u8(0);
    }
    void put32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data_[at + std::size_t(i)] = static_cast<unsigned char>(v >> (24 - 8 * i));
    }
    std::size_t size() const { return data_.size(); }
    const std::vector<unsigned char>& data() const { return data_; }

private:
    std::vector<unsigned char> data_;
};

std::uint32_t checksum(const Bytes& b) {
    std::uint32_t sum = 0;
    const auto& d = b.data();
    for (std::size_t i = 0; i < d.size(); i += 4) {
        std::uint32_t word = 0;
        for (std::size_t k = 0; k < 4; ++k)
            word = (word << 8) | (i + k < d.size() ? d[i + k] : 0u);
        sum += word;
    }
    return sum;
}

struct Point {
    int x;
    int y;
};
using Contour = std::vector<Point>;

// The outline of the lit pixels, traced along pixel edges: clockwise around ink and
// anticlockwise around holes, as TrueType wants. Where two pixels touch only at a corner
// the walk turns around the pixel it came along, so no contour crosses itself.
// Coordinates in pixels, y up from the bottom of the cell.
std::vector<Contour> traceGlyph(const std::vector<std::uint8_t>& rows) {
    const int height = int(rows.size());
    auto lit = [&](int col, int rowFromBottom) {
        if (col < 0 || col >= kCellWidth || rowFromBottom < 0 || rowFromBottom >= height)
            return false;
        return ((rows[std::size_t(height - 1 - rowFromBottom)] >> (7 - col)) & 1) != 0;
    };
    // Directions: 0 up, 1 right, 2 down, 3 left; a clockwise walk turns right.
    constexpr std::array<int, 4> dx = {0, 1, 0, -1};
    constexpr std::array<int, 4> dy = {1, 0, -1, 0};
    // Outgoing boundary edges per lattice point, one bit per direction.
    std::vector<std::uint8_t> out(std::size_t(kCellWidth + 1) * std::size_t(height + 1), 0);
    auto at = [&](int x, int y) -> std::uint8_t& {
        return out[std::size_t(y) * (kCellWidth + 1) + std::size_t(x)];
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < kCellWidth; ++x) {
            if (!lit(x, y))
                continue;
            if (!lit(x - 1, y))
                at(x, y) |= 1 << 0; // left side, going up
            if (!lit(x, y + 1))
                at(x, y + 1) |= 1 << 1; // top, going right
            if (!lit(x + 1, y))
                at(x + 1, y + 1) |= 1 << 2; // right side, going down
            if (!lit(x, y - 1))
                at(x + 1, y) |= 1 << 3; // bottom, going left
        }
    }
    // Each arrival at a point has one way on: the rightmost turn among the edges leaving it.
    const std::vector<std::uint8_t> all = out;
    auto nextDirection = [&](int x, int y, int arrived) {
        const std::uint8_t edges = all[std::size_t(y) * (kCellWidth + 1) + std::size_t(x)];
        for (int turn : {1, 0, 3}) {
            const int d = (arrived + turn) % 4;
            if (edges & (1 << d))
                return d;
        }
        return -1; // cannot happen: every boundary edge is followed by another
    };
    std::vector<Contour> contours;
    for (int sy = 0; sy <= height; ++sy) {
        for (int sx = 0; sx <= kCellWidth; ++sx) {
            while (at(sx, sy)) {
                int first = 0;
                while (!(at(sx, sy) & (1 << first)))
                    ++first;
                Contour c;
                int x = sx;
                int y = sy;
                int dir = first;
                int previous = -1;
                do {
                    if (dir != previous)
                        c.push_back({x, y});
                    at(x, y) &= std::uint8_t(~(1 << dir));
                    x += dx[std::size_t(dir)];
                    y += dy[std::size_t(dir)];
                    previous = dir;
                    dir = nextDirection(x, y, previous);
                } while (dir >= 0 && !(x == sx && y == sy && dir == first));
                // The start lies mid-edge when the walk comes back in the direction it left.
                if (previous == first && c.size() > 1)
                    c.erase(c.begin());
                contours.push_back(c);
            }
        }
    }
    return contours;
}

struct GlyphOutline {
    std::vector<Contour> contours; // in font units
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

GlyphOutline toUnits(std::vector<Contour> contours) {
    GlyphOutline g;
    bool first = true;
    for (Contour& c : contours) {
        for (Point& p : c) {
            p.x *= kUnitsPerPixel;
            p.y = (p.y - kDescentPixels) * kUnitsPerPixel;
            if (first) {
                g.xMin = g.xMax = p.x;
                g.yMin = g.yMax = p.y;
                first = false;
            }
            g.xMin = std::min(g.xMin, p.x);
            g.xMax = std::max(g.xMax, p.x);
            g.yMin = std::min(g.yMin, p.y);
            g.yMax = std::max(g.yMax, p.y);
        }
    }
    g.contours = std::move(contours);
    return g;
}

// A simple glyph: every point on the curve; each step is horizontal or vertical, so one
// of its two deltas is always left out.
Bytes glyphData(const GlyphOutline& g) {
    Bytes b;
    if (g.contours.empty())
        return b;
    b.s16(int(g.contours.size()));
    b.s16(g.xMin);
    b.s16(g.yMin);
    b.s16(g.xMax);
    b.s16(g.yMax);
    int last = -1;
    for (const Contour& c : g.contours) {
        last += int(c.size());
        b.u16(unsigned(last));
    }
    b.u16(0); // no instructions
    Bytes flags;
    Bytes xs;
    Bytes ys;
    Point prev{0, 0};
    for (const Contour& c : g.contours) {
        for (const Point& p : c) {
            unsigned flag = 0x01;
            if (p.x == prev.x)
                flag |= 0x10;
            else
                xs.s16(p.x - prev.x);
            if (p.y == prev.y)
                flag |= 0x20;
            else
                ys.s16(p.y - prev.y);
            flags.u8(flag);
            prev = p;
        }
    }
    b.append(flags);
    b.append(xs);
    b.append(ys);
    b.pad4();
    return b;
}

Bytes cmapTable(const std::map<unsigned, unsigned>& codeToGlyph) {
    struct Segment {
        unsigned start, end;
        int delta;
    };
    std::vector<Segment> segs;
    for (const auto& [code, glyph] : codeToGlyph) {
        const int delta = int(glyph) - int(code);
        if (!segs.empty() && segs.back().end + 1 == code && segs.back().delta == delta)
            segs.back().end = code;
        else
            segs.push_back({code, code, delta});
    }
    segs.push_back({0xFFFF, 0xFFFF, 1});
    const unsigned segX2 = unsigned(segs.size()) * 2;
    unsigned searchRange = 2;
    unsigned entrySelector = 0;
    while (searchRange * 2 <= segX2) {
        searchRange *= 2;
        ++entrySelector;
    }
    Bytes sub;
    sub.u16(4);
    sub.u16(16 + segX2 * 4);
    sub.u16(0);
    sub.u16(segX2);
    sub.u16(searchRange);
    sub.u16(entrySelector);
    sub.u16(segX2 - searchRange);
    for (const Segment& s : segs)
        sub.u16(s.end);
    sub.u16(0);
    for (const Segment& s : segs)
        sub.u16(s.start);
    for (const Segment& s : segs)
        sub.s16(s.delta);
    for (std::size_t i = 0; i < segs.size(); ++i)
        sub.u16(0);

    Bytes b;
    b.u16(0);
    b.u16(2);
    // Unicode BMP and Windows Unicode both point at the one subtable.
    b.u16(0);
    b.u16(3);
    b.u32(20);
    b.u16(3);
    b.u16(1);
    b.u32(20);
    b.append(sub);
    return b;
}

Bytes nameTable() {
    const std::vector<std::pair<unsigned, std::string>> names = {
        {0, "Glyphs from the kbd console fonts (console-data), GPL-2.0"},
        {1, "TerminalDOS"},
        {2, "Regular"},
        {3, "VELK:TerminalDOS"},
        {4, "TerminalDOS"},
        {5, "Version 1.0"},
        {6, "TerminalDOS"},
        {13, "GNU General Public License, version 2"},
    };
    Bytes records;
    Bytes strings;
    for (const auto& [id, text] : names) {
        records.u16(3);
        records.u16(1);
        records.u16(0x0409);
        records.u16(id);
        records.u16(unsigned(text.size()) * 2);
        records.u16(unsigned(strings.size()));
        for (char ch : text)
            strings.u16(static_cast<unsigned char>(ch));
    }
    Bytes b;
    b.u16(0);
    b.u16(unsigned(names.size()));
    b.u16(6 + unsigned(names.size()) * 12);
    b.append(records);
    b.append(strings);
    return b;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: psf2ttf FONT.psf OUT.ttf\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)), {});
    if (d.size() < 4 || d[0] != 0x36 || d[1] != 0x04) {
        std::fprintf(stderr, "psf2ttf: not a PSF1 font\n");
        return 1;
    }
    const int glyphs = (d[2] & 0x01) ? 512 : 256;
    const int height = d[3];
    const std::size_t tableStart = 4 + std::size_t(glyphs) * std::size_t(height);
    if (!(d[2] & 0x02) || d.size() < tableStart || height <= kDescentPixels) {
        std::fprintf(stderr, "psf2ttf: the font has no Unicode table\n");
        return 1;
    }
    // Glyph 0 is the box shown for characters the font lacks; console glyph n is n + 1.
    std::map<unsigned, unsigned> codeToGlyph;
    int glyph = 0;
    bool inSequence = false;
    for (std::size_t i = tableStart; i + 1 < d.size() && glyph < glyphs; i += 2) {
        const unsigned v = d[i] | (d[i + 1] << 8);
        if (v == 0xFFFF) {
            ++glyph;
            inSequence = false;
        } else if (v == 0xFFFE) {
            inSequence = true; // combining sequences are not single code points
        } else if (!inSequence) {
            codeToGlyph.emplace(v, unsigned(glyph) + 1);
        }
    }

    std::vector<GlyphOutline> outlines;
    std::vector<std::uint8_t> box(std::size_t(height), 0);
    for (int row = 2; row < height - 3; ++row)
        box[std::size_t(row)] = (row == 2 || row == height - 4) ? 0x7E : 0x42;
    outlines.push_back(toUnits(traceGlyph(box)));
    for (int g = 0; g < glyphs; ++g) {
        const auto* start = &d[4 + std::size_t(g) * std::size_t(height)];
        outlines.push_back(toUnits(traceGlyph(std::vector<std::uint8_t>(start, start + height))));
    }
    const unsigned numGlyphs = unsigned(outlines.size());

    const int unitsPerEm = height * kUnitsPerPixel;
    const int advance = kCellWidth * kUnitsPerPixel;
    const int ascent = (height - kDescentPixels) * kUnitsPerPixel;
    const int descent = kDescentPixels * kUnitsPerPixel;

    Bytes glyf;
    Bytes loca;
    Bytes hmtx;
    unsigned maxPoints = 0;
    unsigned maxContours = 0;
    for (const GlyphOutline& g : outlines) {
        loca.u32(std::uint32_t(glyf.size()));
        glyf.append(glyphData(g));
        hmtx.u16(unsigned(advance));
        hmtx.s16(g.xMin);
        unsigned points = 0;
        for (const Contour& c : g.contours)
            points += unsigned(c.size());
        maxPoints = std::max(maxPoints, points);
        maxContours = std::max(maxContours, unsigned(g.contours.size()));
    }
    loca.u32(std::uint32_t(glyf.size()));

    Bytes head;
    head.u32(0x00010000);
    head.u32(0x00010000);
    head.u32(0); // checksum adjustment, set once the file is laid out
    head.u32(0x5F0F3CF5);
    head.u16(0x000B); // baseline and left side bearing at 0, integer scaling
    head.u16(unsigned(unitsPerEm));
    for (int i = 0; i < 4; ++i)
        head.u32(0); // no creation or modification dates: the build is reproducible
    head.s16(0);
    head.s16(-descent);
    head.s16(advance);
    head.s16(ascent);
    head.u16(0);
    head.u16(8);
    head.s16(2);
    head.s16(1); // long offsets in loca
    head.s16(0);

    Bytes hhea;
    hhea.u32(0x00010000);
    hhea.s16(ascent);
    hhea.s16(-descent);
    hhea.s16(0);
    hhea.u16(unsigned(advance));
    hhea.s16(0);
    hhea.s16(0);
    hhea.s16(advance);
    hhea.s16(1);
    hhea.s16(0);
    hhea.s16(0);
    for (int i = 0; i < 5; ++i)
        hhea.s16(0);
    hhea.u16(numGlyphs);

    Bytes maxp;
    maxp.u32(0x00010000);
    maxp.u16(numGlyphs);
    maxp.u16(maxPoints);
    maxp.u16(maxContours);
    maxp.u16(0);
    maxp.u16(0);
    maxp.u16(2);
    for (int i = 0; i < 4; ++i)
        maxp.u16(0);
    maxp.u16(2); // stack: the control program pushes one value
    for (int i = 0; i < 3; ++i)
        maxp.u16(0);

    Bytes os2;
    os2.u16(4);
    os2.s16(advance);
    os2.u16(400);
    os2.u16(5);
    os2.u16(0); // installable
    for (int v : {advance, unitsPerEm / 2, 0, unitsPerEm / 4, advance, unitsPerEm / 2, 0,
                  unitsPerEm * 3 / 8, kUnitsPerPixel, ascent / 3})
        os2.s16(v);
    os2.s16(0);
    for (unsigned v : {2u, 11u, 6u, 9u, 0u, 0u, 0u, 0u, 0u, 0u}) // Latin text, monospaced
        os2.u8(v);
    for (std::uint32_t v : {0x00000003u, 0u, 0u, 0u}) // Basic Latin and Latin-1
        os2.u32(v);
    os2.tag("VELK");
    os2.u16(0x00C0); // regular; line metrics from the typographic values
    os2.u16(codeToGlyph.begin()->first);
    os2.u16(std::min(0xFFFFu, codeToGlyph.rbegin()->first));
    os2.s16(ascent);
    os2.s16(-descent);
    os2.s16(0);
    os2.u16(unsigned(ascent));
    os2.u16(unsigned(descent));
    os2.u32(0x00000001); // Latin 1
    os2.u32(0x80000000); // US code page 437
    os2.s16(8 * kUnitsPerPixel);
    os2.s16(10 * kUnitsPerPixel);
    os2.u16(0);
    os2.u16(32);
    os2.u16(1);

    Bytes post;
    post.u32(0x00030000);
    post.u32(0);
    post.s16(-2 * kUnitsPerPixel);
    post.s16(kUnitsPerPixel);
    post.u32(1); // fixed pitch
    for (int i = 0; i < 4; ++i)
        post.u32(0);

    // Rasterizers that read it: grid-fitted, never greyed, at every size.
    Bytes gasp;
    gasp.u16(1);
    gasp.u16(1);
    gasp.u16(0xFFFF);
    gasp.u16(0x0001);

    // A control program makes FreeType run the font's own (empty) hinting instead of its
    // auto-hinter, which would move edges at sizes other than whole multiples of 16; it
    // turns dropout control on so that thin strokes survive below 16 pixels.
    Bytes prep;
    prep.u8(0xB8); // PUSHW[0]
    prep.u16(0x01FF);
    prep.u8(0x85); // SCANCTRL
    const std::vector<std::pair<const char*, Bytes>> tables = {
        {"OS/2", os2},  {"cmap", cmapTable(codeToGlyph)},
        {"gasp", gasp}, {"glyf", glyf},
        {"head", head}, {"hhea", hhea},
        {"hmtx", hmtx}, {"loca", loca},
        {"maxp", maxp}, {"name", nameTable()},
        {"post", post}, {"prep", prep},
    };
    const unsigned numTables = unsigned(tables.size());
    unsigned searchRange = 1;
    unsigned entrySelector = 0;
    while (searchRange * 2 <= numTables) {
        searchRange *= 2;
        ++entrySelector;
    }
    Bytes font;
    font.u32(0x00010000);
    font.u16(numTables);
    font.u16(searchRange * 16);
    font.u16(entrySelector);
    font.u16(numTables * 16 - searchRange * 16);
    std::uint32_t offset = 12 + numTables * 16;
    std::size_t headOffset = 0;
    for (const auto& [tag, table] : tables) {
        font.tag(tag);
        font.u32(checksum(table));
        font.u32(offset);
        font.u32(std::uint32_t(table.size()));
        if (std::string(tag) == "head")
            headOffset = offset;
        offset += std::uint32_t((table.size() + 3) & ~std::size_t(3));
    }
    for (const auto& [tag, table] : tables) {
        font.append(table);
        font.pad4();
    }
    font.put32(headOffset + 8, 0xB1B0AFBAu - checksum(font));

    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out)
        return 1;
    const bool written = std::fwrite(font.data().data(), 1, font.size(), out) == font.size();
    return std::fclose(out) == 0 && written ? 0 : 1;
}
