// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/AnsiRenderer.h"

#include "core/CharacterSet.h"
#include "core/Diagnostics.h"
#include "core/DosFont.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <new>

namespace velk {

namespace {

constexpr char kEsc = 27;
constexpr char kLf = 10;
constexpr char kCr = 13;
// DOS end-of-file mark; screen files often carry a description record after it.
constexpr char kEndOfText = 26;
// Parameters saturate here: enough to leave any image, small enough for int pixel sums.
constexpr int kMaxParamValue = 65535;

constexpr std::array<QRgb, 8> kNormalPalette = {
    qRgb(0, 0, 0),   qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128), qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(255, 255, 255),
};
constexpr std::array<QRgb, 8> kBrightPalette = {
    qRgb(0, 0, 0),   qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255), qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
};
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);

enum class ReadResult { Ok, TooBig, Failed };

// Reads the whole file in one read, refusing it once it reaches the size limit (checked
// again after the read, in case the file grew in between).
ReadResult readScreenFile(const QString& path, std::string& out) {
    out.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadResult::Failed;
    const qint64 size = file.size();
    if (size >= kAnsiMaxFileSize)
        return ReadResult::TooBig;
    out.resize(std::size_t(kAnsiMaxFileSize));
    const qint64 got = file.read(out.data(), kAnsiMaxFileSize);
    if (got < 0) {
        out.clear();
        return ReadResult::Failed;
    }
    out.resize(std::size_t(got));
    if (got >= kAnsiMaxFileSize) {
        out.clear();
        return ReadResult::TooBig;
    }
    return ReadResult::Ok;
}

std::string_view screenText(std::string_view buffer) {
    const std::size_t end = buffer.find(kEndOfText);
    return end == std::string_view::npos ? buffer : buffer.substr(0, end);
}

void showTooBig(const QString& path, Diagnostics& said) {
    said.add(QStringLiteral("Le fichier ") + path +
                 QStringLiteral(" est trop gros pour être affiché."),
             MessageKind::Warning);
}

void showReadProblem(const QString& path, Diagnostics& said) {
    said.add(QStringLiteral("Problème lors de la lecture du fichier ") + path, MessageKind::Error);
}

void ensureGlyphs(AnsiRendererState& state) {
    if (state.GlyphsReady)
        return;
    const QFont font = dosFont();
    const int ascent = QFontMetrics(font).ascent();
    QImage cell(kAnsiCellWidth, kAnsiCellHeight, QImage::Format_RGB32);
    for (int b = 0; b < 256; ++b) {
        cell.fill(kBlack);
        // Byte 0 has no glyph of its own: a DOS screen shows it blank.
        if (b != 0) {
            QPainter p(&cell);
            p.setFont(font);
            p.setPen(QColor(kWhite));
            p.drawText(0, ascent, QString(QChar(char16_t(cp437ToUnicode(std::uint8_t(b))))));
        }
        for (int row = 0; row < kAnsiCellHeight; ++row) {
            const auto* line = reinterpret_cast<const QRgb*>(cell.constScanLine(row));
            std::uint8_t bits = 0;
            for (int col = 0; col < kAnsiCellWidth; ++col) {
                if (qGray(line[col]) >= 128)
                    bits |= std::uint8_t(0x80 >> col);
            }
            state.Glyphs[std::size_t(b)][std::size_t(row)] = bits;
        }
    }
    state.GlyphsReady = true;
}

// One run of text at (x, y), every cell painted in the text and background colours.
void drawRun(const AnsiRendererState& state, QImage& canvas, int x, int y, std::string_view text) {
    if (text.empty() || canvas.isNull())
        return;
    const int width = canvas.width();
    const int height = canvas.height();
    if (x >= width || y >= height || y + kAnsiCellHeight <= 0)
        return;
    const QRgb fg = state.TextColour;
    const QRgb bg = state.BackColour;
    const QRgb diff = fg ^ bg;
    uchar* bits = canvas.bits();
    const qsizetype stride = canvas.bytesPerLine();
    const int firstRow = std::max(0, -y);
    const int lastRow = std::min(kAnsiCellHeight, height - y);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int cx = x + int(i) * kAnsiCellWidth;
        if (cx >= width)
            break;
        const int cols = std::min(kAnsiCellWidth, width - cx);
        const auto& glyph = state.Glyphs[std::uint8_t(text[i])];
        for (int row = firstRow; row < lastRow; ++row) {
            auto* out = reinterpret_cast<QRgb*>(bits + (y + row) * stride) + cx;
            const unsigned pattern = glyph[std::size_t(row)];
            if (cols == kAnsiCellWidth) {
                for (int col = 0; col < kAnsiCellWidth; ++col)
                    out[col] = bg ^ (diff & (0u - ((pattern >> (7 - col)) & 1u)));
            } else {
                for (int col = 0; col < cols; ++col)
                    out[col] = bg ^ (diff & (0u - ((pattern >> (7 - col)) & 1u)));
            }
        }
    }
}

// A parameter as a number; an empty one takes the value the command gives a missing one.
int paramValue(const AnsiRendererState& state, int index, int whenEmpty) {
    if (index >= int(state.Params.size()))
        return whenEmpty;
    const int v = state.Params[std::size_t(index)];
    return v == AnsiRendererState::kEmptyParam ? whenEmpty : v;
}

void applyColours(AnsiRendererState& state) {
    for (int i = 0; i < state.ParamCount; ++i) {
        // An empty parameter means 0, as terminals read "ESC[;31m".
        const int v = paramValue(state, i, 0);
        if (v == 0) {
            state.TextColour = kWhite;
            state.BackColour = kBlack;
        } else if (v >= 30 && v <= 37) {
            state.TextColour = ansiPaletteColour(state.BrightColours, v - 30);
        } else if (v >= 40 && v <= 47) {
            state.BackColour = ansiPaletteColour(state.BrightColours, v - 40);
        }
    }
}

} // namespace

QRgb ansiPaletteColour(bool bright, int index) {
    return (bright ? kBrightPalette : kNormalPalette)[std::size_t(index & 7)];
}

Diagnosed<bool> MeasureAnsiFile(AnsiRendererState& state, const QString& path, QImage& image) {
    std::string buffer;
    const ReadResult read = readScreenFile(path, buffer);
    if (read == ReadResult::Failed) {
        Diagnosed<bool> failed{false, {}};
        showReadProblem(path, failed.diagnostics);
        return failed;
    }
    state.TooBig = false;
    state.AnsiPresent = false;
    state.LineCount = 0;
    if (read == ReadResult::TooBig) {
        state.TooBig = true;
        image = QImage();
        return {true, {}};
    }
    const std::string_view text = screenText(buffer);
    const auto feeds = std::count(text.begin(), text.end(), kLf);
    const bool openLastLine = !text.empty() && text.back() != kLf;
    const std::int64_t lines = std::int64_t(feeds) + (openLastLine ? 1 : 0);
    state.AnsiPresent = text.find("\x1b[") != std::string_view::npos;

    const std::int64_t rowBytes = std::int64_t(kAnsiImageWidth) * 4;
    if (lines * kAnsiCellHeight * rowBytes > kAnsiMaxImageBytes) {
        state.TooBig = true;
        image = QImage();
        return {true, {}};
    }
    state.LineCount = int(lines);
    const int height = state.LineCount * kAnsiCellHeight;
    if (image.width() != kAnsiImageWidth || image.height() != height ||
        image.format() != QImage::Format_RGB32) {
        image = height > 0 ? QImage(kAnsiImageWidth, height, QImage::Format_RGB32) : QImage();
        if (height > 0 && image.isNull())
            throw std::bad_alloc();
    }
    return {true, {}};
}

Diagnosed<bool> ShowAnsiFile(AnsiRendererState& state, QImage& canvas, const QString& path) {
    Diagnosed<bool> shownFile{false, {}};
    Diagnostics& said = shownFile.diagnostics;
    state.Background = state.AnsiPresent ? kBlack : kWhite;
    state.TextColour = state.AnsiPresent ? kWhite : kBlack;
    state.BackColour = state.Background;
    if (!canvas.isNull())
        canvas.fill(state.Background);
    ensureGlyphs(state);

    if (state.TooBig) {
        showTooBig(path, said);
        return shownFile;
    }
    switch (readScreenFile(path, state.FileBuffer)) {
    case ReadResult::TooBig:
        showTooBig(path, said);
        return shownFile;
    case ReadResult::Failed:
        showReadProblem(path, said);
        return shownFile;
    case ReadResult::Ok:
        break;
    }
    DrawAnsiText(state, canvas, said);
    shownFile.value = true;
    return shownFile;
}

void DrawAnsiText(AnsiRendererState& state, QImage& canvas, Diagnostics& said) {
    ensureGlyphs(state);
    state.UnknownLetterShown = false;
    state.BadByteShown = false;
    state.InternalBugShown = false;
    state.X = 0;
    state.Y = 0;
    drawRun(state, canvas, 0, 0, " ");

    const std::string_view text = screenText(state.FileBuffer);
    std::string pending;
    pending.reserve(256);
    enum class Mode { Text, AfterEsc, SequenceStart } mode = Mode::Text;

    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (mode == Mode::AfterEsc) {
            // Only ESC "[" starts a sequence; the byte after a lone ESC is dropped.
            mode = c == '[' ? Mode::SequenceStart : Mode::Text;
            continue;
        }
        if (mode == Mode::SequenceStart) {
            mode = Mode::Text;
            drawRun(state, canvas, state.X, state.Y, pending);
            state.X += int(pending.size()) * kAnsiCellWidth;
            pending.clear();
            const int code = ParseAnsiSequence(state, text, i, said);
            GereCode(state, code, said);
            if (state.SequenceLength > 0) {
                i += std::size_t(state.SequenceLength) - 1;
                continue;
            }
            // A refused sequence: its bytes are drawn as ordinary text.
        }
        switch (c) {
        case kEsc:
            mode = Mode::AfterEsc;
            break;
        case kLf:
            drawRun(state, canvas, state.X, state.Y, pending);
            pending.clear();
            state.X = 0;
            state.Y += kAnsiCellHeight;
            break;
        case kCr:
            break;
        default:
            pending.push_back(c);
            break;
        }
    }
    drawRun(state, canvas, state.X, state.Y, pending);
}

int ParseAnsiSequence(AnsiRendererState& state, std::string_view buffer, std::size_t start,
                      Diagnostics& said) {
    state.Params.assign(1, AnsiRendererState::kEmptyParam);
    state.ParamCount = 0;
    state.SequenceLength = 0;
    bool sawSeparator = false;
    bool sawDigit = false;
    for (std::size_t k = start; k < buffer.size(); ++k) {
        const char c = buffer[k];
        if (c >= '0' && c <= '9') {
            int& p = state.Params.back();
            p = std::min(kMaxParamValue, std::max(p, 0) * 10 + (c - '0'));
            sawDigit = true;
        } else if (c == ';') {
            state.Params.push_back(AnsiRendererState::kEmptyParam);
            sawSeparator = true;
        } else if (c >= 'A' && c <= 'z') {
            state.ParamCount = int(state.Params.size());
            if (!sawSeparator && !sawDigit)
                state.Params[0] = 1;
            state.SequenceLength = int(k - start + 1);
            switch (c) {
            case 'A':
                return AnsiCode::CursorUp;
            case 'B':
                return AnsiCode::CursorDown;
            case 'C':
                return AnsiCode::CursorRight;
            case 'D':
                return AnsiCode::CursorLeft;
            case 'H':
            case 'f':
                return AnsiCode::CursorPosition;
            case 'J': {
                const int n = state.Params[0];
                return n == 2   ? AnsiCode::ClearScreen
                       : n == 1 ? AnsiCode::ClearToScreenEnd
                                : AnsiCode::ClearOther;
            }
            case 'K':
                return AnsiCode::ClearLine;
            case 'h':
                return AnsiCode::SetMode;
            case 'l':
                return AnsiCode::ResetMode;
            case 'm':
                return AnsiCode::Colours;
            case 'n':
                return AnsiCode::DeviceStatus;
            case 'p':
                return AnsiCode::KeyRedefine;
            case 's':
                return AnsiCode::SaveCursor;
            case 'u':
                return AnsiCode::RestoreCursor;
            default:
                if (!state.UnknownLetterShown) {
                    state.UnknownLetterShown = true;
                    said.add(QStringLiteral("Séquence ANSI non-reconnue dans le fichier"),
                             MessageKind::Warning);
                }
                return AnsiCode::Unrecognised;
            }
        } else {
            break;
        }
    }
    // Neither digit, ";" nor letter, or the file ends inside the sequence.
    state.ParamCount = 0;
    state.SequenceLength = 0;
    if (!state.BadByteShown) {
        state.BadByteShown = true;
        said.add(QStringLiteral("Séquence non-reconnue dans le fichier ANSI"),
                 MessageKind::Warning);
    }
    return AnsiCode::Unrecognised;
}

void GereCode(AnsiRendererState& state, int code, Diagnostics& said) {
    // Cursor commands read an empty parameter as a missing one: 1.
    const int n = paramValue(state, 0, 1);
    const bool single = state.ParamCount == 1;
    switch (code) {
    case AnsiCode::Unrecognised:
        break;
    case AnsiCode::CursorUp:
        if (single && state.Y - kAnsiCellHeight * n >= kAnsiCellHeight)
            state.Y -= kAnsiCellHeight * n;
        break;
    case AnsiCode::CursorDown:
        if (single && state.Y + kAnsiCellHeight * n < kAnsiGridBottom)
            state.Y += kAnsiCellHeight * n;
        break;
    case AnsiCode::CursorRight:
        if (single && state.X + kAnsiCellWidth * n < kAnsiGridRight)
            state.X += kAnsiCellWidth * n;
        break;
    case AnsiCode::CursorLeft:
        // Column 0 is inside the grid: text starts there.
        if (single && state.X - kAnsiCellWidth * n >= 0)
            state.X -= kAnsiCellWidth * n;
        break;
    case AnsiCode::ClearScreen:
        state.X = 0;
        state.Y = 0;
        break;
    case AnsiCode::ClearToScreenEnd:
    case AnsiCode::ClearOther:
        break;
    case AnsiCode::CursorPosition:
        if (state.ParamCount == 1) {
            state.Y = kAnsiCellHeight * n;
            state.X = 0;
        } else if (state.ParamCount == 2) {
            state.Y = kAnsiCellHeight * n;
            state.X = kAnsiCellWidth * paramValue(state, 1, 1);
        }
        break;
    case AnsiCode::Colours:
        applyColours(state);
        break;
    case AnsiCode::DeviceStatus:
    case AnsiCode::SetMode:
    case AnsiCode::ResetMode:
    case AnsiCode::KeyRedefine:
    case AnsiCode::ClearLine:
        break;
    case AnsiCode::SaveCursor:
        state.SavedX = state.X;
        state.SavedY = state.Y;
        break;
    case AnsiCode::RestoreCursor:
        state.X = state.SavedX;
        state.Y = state.SavedY;
        break;
    default:
        if (!state.InternalBugShown) {
            state.InternalBugShown = true;
            said.add(QStringLiteral("Bug Interne GereCode()"), MessageKind::Error);
        }
        break;
    }
}

QImage enlargeAnsiImage(const QImage& image, qreal ratio, const QRect& deviceArea) {
    if (image.isNull() || deviceArea.isEmpty() || !(ratio > 0) ||
        std::int64_t(deviceArea.width()) * deviceArea.height() * 4 > kAnsiMaxImageBytes)
        return QImage();
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    QImage out(deviceArea.size(), QImage::Format_RGB32);
    if (out.isNull())
        return QImage();
    out.setDevicePixelRatio(ratio);
    auto sourceIndex = [ratio](int device, int count) {
        return std::clamp(int(std::floor((device + 0.5) / ratio)), 0, count - 1);
    };
    std::vector<int> columns(std::size_t(deviceArea.width()));
    for (int x = 0; x < deviceArea.width(); ++x)
        columns[std::size_t(x)] = sourceIndex(deviceArea.left() + x, source.width());
    int previousRow = -1;
    for (int y = 0; y < deviceArea.height(); ++y) {
        const int row = sourceIndex(deviceArea.top() + y, source.height());
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        if (row == previousRow) {
            std::copy_n(reinterpret_cast<const QRgb*>(out.constScanLine(y - 1)), deviceArea.width(),
                        line);
            continue;
        }
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(row));
        for (int x = 0; x < deviceArea.width(); ++x)
            line[x] = in[columns[std::size_t(x)]];
        previousRow = row;
    }
    return out;
}

void releaseAnsiBuffer(AnsiRendererState& state) {
    std::string().swap(state.FileBuffer);
}

} // namespace velk
