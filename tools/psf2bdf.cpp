// SPDX-License-Identifier: GPL-2.0-or-later
// Turns a PSF1 console font with a Unicode table into a BDF font named TerminalDOS.
// Each glyph is emitted once per Unicode value its table lists, so text decoded
// from code page 437 finds every glyph by its Unicode value.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: psf2bdf FONT.psf OUT.bdf\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)), {});
    if (d.size() < 4 || d[0] != 0x36 || d[1] != 0x04) {
        std::fprintf(stderr, "psf2bdf: not a PSF1 font\n");
        return 1;
    }
    const int glyphs = (d[2] & 0x01) ? 512 : 256;
    const int height = d[3];
    const std::size_t tableStart = 4 + std::size_t(glyphs) * height;
    if (!(d[2] & 0x02) || d.size() < tableStart) {
        std::fprintf(stderr, "psf2bdf: the font has no Unicode table\n");
        return 1;
    }
    struct Char {
        unsigned code;
        int glyph;
    };
    std::vector<Char> chars;
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
            chars.push_back({v, glyph});
        }
    }
    // The blank glyph also answers for an ordinary space and NUL-free padding.
    std::FILE* out = std::fopen(argv[2], "w");
    if (!out)
        return 1;
    std::fprintf(
        out, "STARTFONT 2.1\nFONT -velk-TerminalDOS-medium-r-normal--%d-%d-75-75-c-80-iso10646-1\n",
        height, height * 10);
    std::fprintf(out, "SIZE %d 75 75\nFONTBOUNDINGBOX 8 %d 0 -4\n", height, height);
    std::fprintf(out,
                 "STARTPROPERTIES 10\nFAMILY_NAME \"TerminalDOS\"\nFOUNDRY \"velk\"\n"
                 "WEIGHT_NAME \"Medium\"\nSLANT \"R\"\nSPACING \"C\"\nPIXEL_SIZE %d\n"
                 "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nFONT_ASCENT %d\n"
                 "FONT_DESCENT 4\nENDPROPERTIES\n",
                 height, height - 4);
    std::fprintf(out, "CHARS %zu\n", chars.size());
    for (const Char& c : chars) {
        std::fprintf(
            out, "STARTCHAR U+%04X\nENCODING %u\nSWIDTH 500 0\nDWIDTH 8 0\nBBX 8 %d 0 -4\nBITMAP\n",
            c.code, c.code, height);
        for (int row = 0; row < height; ++row)
            std::fprintf(out, "%02X\n", d[4 + std::size_t(c.glyph) * height + row]);
        std::fprintf(out, "ENDCHAR\n");
    }
    std::fprintf(out, "ENDFONT\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
