// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/Diagnostics.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

// Width of the viewer's image: 80 cells of 8 pixels and one spare column.
inline constexpr int kAnsiImageWidth = 641;
inline constexpr int kAnsiCellWidth = 8;
inline constexpr int kAnsiCellHeight = 16;
// Files of this size or more are not drawn.
inline constexpr std::int64_t kAnsiMaxFileSize = 65530;
// Cursor movements stay inside the 80 x 25 screen: x up to 632, y up to 384.
inline constexpr int kAnsiGridRight = 632;
inline constexpr int kAnsiGridBottom = 384;
// The image is refused beyond this many bytes (a bulletin of bare line feeds would ask
// for gigabytes); the same bound Qt applies to images it reads.
inline constexpr std::int64_t kAnsiMaxImageBytes = 256LL * 1024 * 1024;

// Codes returned by ParseAnsiSequence and carried out by GereCode.
namespace AnsiCode {
constexpr int Unrecognised = 0;
constexpr int CursorUp = 1;
constexpr int CursorDown = 2;
constexpr int CursorRight = 3;
constexpr int CursorLeft = 4;
constexpr int ClearScreen = 5; // ESC[2J
constexpr int ClearToScreenEnd = 6;
constexpr int ClearOther = 7;
constexpr int CursorPosition = 8; // "H" and "f"
constexpr int Colours = 9;        // "m"
constexpr int DeviceStatus = 10;  // "n"
constexpr int SaveCursor = 11;
constexpr int RestoreCursor = 12;
constexpr int ClearLine = 13; // "K"
constexpr int SetMode = 14;   // "h"
constexpr int ResetMode = 15; // "l"
constexpr int KeyRedefine = 16;
} // namespace AnsiCode

// The glyphs of the DOS font, one bit per pixel: 16 rows of 8 columns for each byte.
using AnsiGlyphs = std::array<std::array<std::uint8_t, kAnsiCellHeight>, 256>;

// Everything the screen renderer keeps between calls; the bulletin viewer owns one.
struct AnsiRendererState {
    // Cursor in pixels: column = X / 8, row = Y / 16.
    int X = 0;
    int Y = 0;
    int SavedX = 0;
    int SavedY = 0;

    // Parameters of the sequence being read; kEmptyParam where nothing was written
    // between two ";".
    static constexpr int kEmptyParam = -1;
    std::vector<int> Params;
    int ParamCount = 0;
    // Bytes of the sequence read, final letter included; 0 when the sequence was refused.
    int SequenceLength = 0;

    bool AnsiPresent = false;
    int LineCount = 0;
    bool BrightColours = false;
    // Set by MeasureAnsiFile when the file cannot be shown; ShowAnsiFile then says so.
    bool TooBig = false;

    // The file drawn last, kept until the viewer closes.
    std::string FileBuffer;

    QRgb TextColour = 0;
    QRgb BackColour = 0;
    // Colour of the area around the image (the viewer's scroll box), set by ShowAnsiFile.
    QRgb Background = 0;

    // Each kind of complaint is shown once per drawing: a damaged file would otherwise
    // open one box per bad sequence.
    bool UnknownLetterShown = false;
    bool BadByteShown = false;
    bool InternalBugShown = false;

    bool GlyphsReady = false;
    AnsiGlyphs Glyphs{};
};

// Reads the file, sets LineCount (its lines, a last line without line feed included)
// and AnsiPresent, and gives the image LineCount x 16 rows. False, with a message, when
// the file cannot be read. A file too large to show still measures as true with no lines,
// so that ShowAnsiFile tells the user.
Diagnosed<bool> MeasureAnsiFile(AnsiRendererState& state, const QString& path, QImage& image);

// Paints the background (black when the file has escape sequences, white otherwise),
// reads the file and draws it. False when nothing was drawn (a message says why).
Diagnosed<bool> ShowAnsiFile(AnsiRendererState& state, QImage& canvas, const QString& path);

// Draws state.FileBuffer from the top-left corner in the current colours; an unknown
// sequence adds its message to `said`.
void DrawAnsiText(AnsiRendererState& state, QImage& canvas, Diagnostics& said);

// Reads one sequence whose first byte (the one after ESC and "[") is at `start`; sets the
// parameters and SequenceLength and returns its code.
int ParseAnsiSequence(AnsiRendererState& state, std::string_view buffer, std::size_t start,
                      Diagnostics& said);

// Carries out a parsed sequence: cursor moves and colours.
void GereCode(AnsiRendererState& state, int code, Diagnostics& said);

// The colour of code 30-37 / 40-47 (index 0 to 7) in the active palette.
QRgb ansiPaletteColour(bool bright, int index);

// The part `deviceArea` (in device pixels) of a drawing shown at `ratio` device pixels per
// pixel of the drawing. Each device pixel takes the colour of the drawing's pixel under its
// centre, so every pixel of the drawing becomes a block with hard edges, 2 x 2 at ratio 2,
// and nothing is smoothed. The result carries `ratio` as its device pixel ratio; it is null
// for an empty area or a drawing too large to enlarge.
QImage enlargeAnsiImage(const QImage& image, qreal ratio, const QRect& deviceArea);

// Frees the file kept for the viewer.
void releaseAnsiBuffer(AnsiRendererState& state);

} // namespace velk
