// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/AnsiTestSupport.h"

#include "core/CharacterSet.h"

#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

namespace velk {

using namespace ansitest;

namespace {

const auto* const kFontEnvironment = ::testing::AddGlobalTestEnvironment(new FontEnvironment);

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
const std::string kBlock = "\xDB"; // full cell in the text colour
const QString kUnknownLetter = QStringLiteral("Séquence ANSI non-reconnue dans le fichier");
const QString kBadByte = QStringLiteral("Séquence non-reconnue dans le fichier ANSI");

std::string lines(int n) {
    return std::string(std::size_t(n), '\n');
}

TEST(AnsiRenderer, PlainFileIsBlackOnWhite) {
    const auto r = render(kBlock + " \nB\n");
    ASSERT_TRUE(r->shown);
    EXPECT_FALSE(r->state.AnsiPresent);
    EXPECT_EQ(r->state.LineCount, 2);
    EXPECT_EQ(r->image.size(), QSize(641, 32));
    EXPECT_EQ(cellColour(r->image, 0, 0), kBlack);
    EXPECT_EQ(cellColour(r->image, 1, 0), kWhite);
    EXPECT_EQ(cellColour(r->image, 40, 1), kWhite);
    EXPECT_EQ(r->state.Background, kWhite);
    EXPECT_TRUE(r->ui.messages().isEmpty());
}

TEST(AnsiRenderer, OneEscapeBracketMakesTheWholeDrawingWhiteOnBlack) {
    // The sequence comes last, yet the first line is already drawn in the terminal colours.
    const auto r = render(kBlock + "\nplain text\n\x1b[K");
    ASSERT_TRUE(r->shown);
    EXPECT_TRUE(r->state.AnsiPresent);
    EXPECT_EQ(cellColour(r->image, 0, 0), kWhite);
    EXPECT_EQ(cellColour(r->image, 1, 0), kBlack);
    EXPECT_EQ(cellColour(r->image, 20, 1), kBlack);
    EXPECT_EQ(r->state.Background, kBlack);
}

TEST(AnsiRenderer, EscapeWithoutBracketLeavesTheFilePlainAndDropsTheNextByte) {
    const auto r = render("\x1bX" + kBlock + "\n");
    EXPECT_FALSE(r->state.AnsiPresent);
    EXPECT_EQ(inkCells(r->image, kWhite), (std::set<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(cellColour(r->image, 0, 0), kBlack);
}

TEST(AnsiRenderer, TextIsDrawnWithTheDosGlyphs) {
    const std::string text = "A\x82\xB0\xC9\x01\t";
    const auto r = render(text + "\n");
    const QFont font = dosFont();
    for (std::size_t i = 0; i < text.size(); ++i) {
        QImage cell(8, 16, QImage::Format_RGB32);
        cell.fill(Qt::white);
        QPainter p(&cell);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(0, QFontMetrics(font).ascent(),
                   QString(QChar(char16_t(cp437ToUnicode(std::uint8_t(text[i]))))));
        p.end();
        EXPECT_EQ(r->image.copy(int(i) * 8, 0, 8, 16), cell) << "byte " << i;
    }
}

struct CursorCase {
    const char* name;
    std::string bytes; // a block is drawn where the cursor ends
    int col;
    int row;
};

void PrintTo(const CursorCase& c, std::ostream* os) {
    *os << c.name;
}

class CursorMoves : public ::testing::TestWithParam<CursorCase> {};

TEST_P(CursorMoves, BlockLandsInTheExpectedCell) {
    const CursorCase& c = GetParam();
    // Trailing lines give the image room below the screen grid.
    const auto r = render(c.bytes + kBlock + "\x1b[K" + lines(40));
    ASSERT_TRUE(r->shown);
    EXPECT_EQ(inkCells(r->image, kBlack), (std::set<std::pair<int, int>>{{c.col, c.row}}));
    EXPECT_EQ(cellColour(r->image, c.col, c.row), kWhite);
    EXPECT_TRUE(r->ui.messages().isEmpty()) << r->ui.messages().join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    AnsiRenderer, CursorMoves,
    ::testing::Values(
        CursorCase{"UpFiveFromRowThreeStays", lines(3) + "\x1b[5A", 0, 3},
        CursorCase{"UpTwoFromRowThree", lines(3) + "\x1b[2A", 0, 1},
        CursorCase{"UpFromRowOneStays", lines(1) + "\x1b[A", 0, 1},
        CursorCase{"UpFromRowTwo", lines(2) + "\x1b[A", 0, 1},
        CursorCase{"Down24FromRowZeroStays", "\x1b[24B", 0, 0},
        CursorCase{"Down23FromRowZero", "\x1b[23B", 0, 23},
        CursorCase{"DownWithTwoParametersStays", "\x1b[2;2B", 0, 0},
        CursorCase{"Right78", "\x1b[78C", 78, 0}, CursorCase{"Right79Stays", "\x1b[79C", 0, 0},
        CursorCase{"LeftToColumnZero", "   \x1b[3D", 0, 0},
        CursorCase{"LeftPastColumnZeroStays", "  \x1b[3D", 2, 0},
        CursorCase{"LeftDefaultsToOne", "   \x1b[D", 2, 0},
        CursorCase{"TextAdvancesBeforeASequence", "    \x1b[K", 4, 0},
        CursorCase{"PositionRowAndColumn", "\x1b[5;10H", 10, 5},
        CursorCase{"PositionWithoutParameters", "\x1b[H", 0, 1},
        CursorCase{"PositionOneOne", "\x1b[1;1H", 1, 1},
        CursorCase{"PositionWithF", "\x1b[3;4f", 4, 3},
        CursorCase{"PositionRowOnly", "\x1b[7H", 0, 7},
        CursorCase{"PositionThreeParametersIgnored", "\x1b[2;2;2H", 0, 0},
        CursorCase{"PositionBelowTheScreenGrid", "\x1b[30;2H", 2, 30},
        CursorCase{"PositionEmptyFirstParameter", "\x1b[;5H", 5, 1},
        CursorCase{"ClearScreenGoesHome", lines(2) + "   \x1b[2J", 0, 0},
        CursorCase{"OtherClearsDoNotMove", "  \x1b[J\x1b[1J", 2, 0},
        CursorCase{"PlainTextPassesTheGrid", lines(30), 0, 30},
        CursorCase{"SaveMovesRestore", "\x1b[5;10H\x1b[s\x1b[2;3H\x1b[12B\x1b[u", 10, 5},
        CursorCase{"SaveAfterTextRestoreOnAnotherLine", "  \x1b[s\n\n   \x1b[u", 2, 0},
        CursorCase{"HugeCountStays", "\x1b[99999999999999999B", 0, 0},
        CursorCase{"UnusedCommandsDoNothing", " \x1b[2K\x1b[6n\x1b[7h\x1b[7l\x1b[0;1p", 1, 0}),
    [](const auto& test) { return std::string(test.param.name); });

struct ColourCase {
    int index;
    QRgb normal;
    QRgb bright;
};

TEST(AnsiRenderer, PalettesColourTextAndBackground) {
    const ColourCase cases[] = {
        {0, qRgb(0, 0, 0), qRgb(0, 0, 0)},         {1, qRgb(128, 0, 0), qRgb(255, 0, 0)},
        {2, qRgb(0, 128, 0), qRgb(0, 255, 0)},     {3, qRgb(128, 128, 0), qRgb(255, 255, 0)},
        {4, qRgb(0, 0, 128), qRgb(0, 0, 255)},     {5, qRgb(128, 0, 128), qRgb(255, 0, 255)},
        {6, qRgb(0, 128, 128), qRgb(0, 255, 255)}, {7, qRgb(255, 255, 255), qRgb(255, 255, 255)},
    };
    for (const bool bright : {false, true}) {
        for (const ColourCase& c : cases) {
            const std::string n = std::to_string(c.index);
            std::string text = "\x1b[3";
            text.append(n).append("m").append(kBlock).append("\x1b[4").append(n).append("m \n");
            const auto r = render(text, bright);
            const QRgb expected = bright ? c.bright : c.normal;
            EXPECT_EQ(cellColour(r->image, 0, 0), expected) << "text " << n << " " << bright;
            EXPECT_EQ(cellColour(r->image, 1, 0), expected) << "back " << n << " " << bright;
        }
    }
}

TEST(AnsiRenderer, BoldIsIgnoredAndTheColourStillApplies) {
    const auto r = render("\x1b[1;31m" + kBlock + "\x1b[31m" + kBlock + "\n");
    EXPECT_EQ(cellColour(r->image, 0, 0), qRgb(128, 0, 0));
    EXPECT_EQ(cellColour(r->image, 1, 0), qRgb(128, 0, 0));
}

TEST(AnsiRenderer, ColourChangeTakesEffectAtTheNextRun) {
    const auto r = render(kBlock + "\x1b[32m" + kBlock + "\x1b[44m \x1b[0m " + kBlock + "\n");
    EXPECT_EQ(cellColour(r->image, 0, 0), kWhite);
    EXPECT_EQ(cellColour(r->image, 1, 0), qRgb(0, 128, 0));
    EXPECT_EQ(cellColour(r->image, 2, 0), qRgb(0, 0, 128));
    EXPECT_EQ(cellColour(r->image, 3, 0), kBlack);
    EXPECT_EQ(cellColour(r->image, 4, 0), kWhite);
}

TEST(AnsiRenderer, ResetSetsWhiteOnBlackEvenInAFileDrawnBlackOnWhite) {
    // Measured as plain text, then drawn with sequences: the drawing starts black on white.
    auto r = render("plain\n");
    ASSERT_FALSE(r->state.AnsiPresent);
    writeBytes(r->path, "\x1b[31m" + kBlock + "\x1b[0m" + kBlock + " \n");
    ASSERT_TRUE(shown(ShowAnsiFile(r->state, r->image, r->path), r->ui));
    EXPECT_EQ(cellColour(r->image, 0, 0), qRgb(128, 0, 0));
    EXPECT_EQ(cellColour(r->image, 1, 0), kWhite);
    EXPECT_EQ(cellColour(r->image, 2, 0), kBlack);
    EXPECT_EQ(cellColour(r->image, 3, 0), kWhite);
}

TEST(AnsiRenderer, EmptyAndExtraColourParameters) {
    // An empty parameter resets like 0; parameters past the sixth still count.
    const auto r = render("\x1b[44m\x1b[;31m " + kBlock + "\x1b[0;0;0;0;0;0;32m" + kBlock + "\n");
    EXPECT_EQ(cellColour(r->image, 0, 0), kBlack);
    EXPECT_EQ(cellColour(r->image, 1, 0), qRgb(128, 0, 0));
    EXPECT_EQ(cellColour(r->image, 2, 0), qRgb(0, 128, 0));
}

TEST(AnsiRenderer, LastLineWithoutLineFeedIsShown) {
    const auto r = render("A\n" + kBlock);
    EXPECT_EQ(r->state.LineCount, 2);
    EXPECT_EQ(r->image.height(), 32);
    EXPECT_EQ(cellColour(r->image, 0, 1), kBlack);

    const auto single = render(kBlock);
    EXPECT_EQ(single->image.size(), QSize(641, 16));
    EXPECT_EQ(cellColour(single->image, 0, 0), kBlack);
}

TEST(AnsiRenderer, TextEndsAtTheDosEndOfFileMark) {
    const auto r = render(kBlock + "\n\x1a" + "SAUCE00 description\n\x1b[31m");
    EXPECT_EQ(r->state.LineCount, 1);
    EXPECT_FALSE(r->state.AnsiPresent);
    EXPECT_EQ(inkCells(r->image, kWhite), (std::set<std::pair<int, int>>{{0, 0}}));
}

TEST(AnsiRenderer, CarriageReturnsAreIgnored) {
    const auto r = render(kBlock + "\r" + kBlock + "\r\n" + kBlock + "\r\n");
    EXPECT_EQ(r->state.LineCount, 2);
    EXPECT_EQ(inkCells(r->image, kWhite), (std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {0, 1}}));
}

TEST(AnsiRenderer, EmptyFileGivesAnEmptyImage) {
    const auto r = render("");
    EXPECT_TRUE(r->shown);
    EXPECT_EQ(r->state.LineCount, 0);
    EXPECT_TRUE(r->image.isNull());
}

std::string fileOfSize(std::size_t size) {
    std::string bytes = kBlock;
    while (bytes.size() < size)
        bytes += bytes.size() % 80 == 79 ? '\n' : ' ';
    return bytes;
}

TEST(AnsiRenderer, FileOfOneByteUnderTheLimitIsDrawn) {
    const auto r = render(fileOfSize(65529));
    EXPECT_TRUE(r->shown);
    EXPECT_EQ(r->state.LineCount, 820);
    EXPECT_EQ(cellColour(r->image, 0, 0), kBlack);
    EXPECT_TRUE(r->ui.messages().isEmpty());
}

TEST(AnsiRenderer, FileAtTheLimitIsRefused) {
    const auto r = render(fileOfSize(65530));
    EXPECT_TRUE(r->measured);
    EXPECT_FALSE(r->shown);
    EXPECT_EQ(r->ui.messages(), QStringList{QStringLiteral("Le fichier ") + r->path +
                                            QStringLiteral(" est trop gros pour être affiché.")});
    EXPECT_TRUE(r->image.isNull());
}

TEST(AnsiRenderer, FileOfBareLineFeedsIsRefusedWithoutAHugeImage) {
    const auto r = render(lines(65000));
    EXPECT_FALSE(r->shown);
    EXPECT_TRUE(r->image.isNull());
    ASSERT_EQ(r->ui.messages().size(), 1);
    EXPECT_TRUE(
        r->ui.messages().first().endsWith(QStringLiteral("est trop gros pour être affiché.")));
}

TEST(AnsiRenderer, MissingFileIsAReadProblem) {
    ScriptedUiServices ui;
    AnsiRendererState state;
    QImage image;
    const QString path = QStringLiteral("/nonexistent/BLT-0.1");
    EXPECT_FALSE(shown(MeasureAnsiFile(state, path, image), ui));
    EXPECT_EQ(ui.messages(),
              QStringList{QStringLiteral("Problème lors de la lecture du fichier ") + path});
}

TEST(AnsiRenderer, EachComplaintIsShownOncePerDrawing) {
    std::string bytes;
    for (int i = 0; i < 500; ++i)
        bytes += "\x1b[5Z\x1b[1!\n";
    auto r = render(bytes);
    EXPECT_EQ(r->ui.messages(), (QStringList{kUnknownLetter, kBadByte}));
    r->ui.clear();
    r->draw();
    EXPECT_EQ(r->ui.messages(), (QStringList{kUnknownLetter, kBadByte}));
}

TEST(AnsiRenderer, RefusedSequenceIsDrawnAsText) {
    // Only the bytes after ESC "[" show; the sequence ending the file is refused too.
    const auto r = render("\x1b[" + kBlock + "\n\x1b[0m" + kBlock + "\x1b[12");
    EXPECT_EQ(r->ui.messages(), QStringList{kBadByte});
    EXPECT_EQ(cellColour(r->image, 0, 0), kWhite);
    EXPECT_EQ(inkCells(r->image, kBlack),
              (std::set<std::pair<int, int>>{{0, 0}, {0, 1}, {1, 1}, {2, 1}}));
}

TEST(AnsiRenderer, UnknownFinalLetterIsSkipped) {
    const auto r = render("\x1b[12;4Z" + kBlock + "\x1b[[" + kBlock + "\n");
    EXPECT_EQ(r->ui.messages(), QStringList{kUnknownLetter});
    EXPECT_EQ(inkCells(r->image, kBlack), (std::set<std::pair<int, int>>{{0, 0}, {1, 0}}));
}

TEST(AnsiRenderer, ReleasingTheBufferKeepsTheImage) {
    auto r = render(kBlock + "\n");
    EXPECT_FALSE(r->state.FileBuffer.empty());
    releaseAnsiBuffer(r->state);
    EXPECT_TRUE(r->state.FileBuffer.empty());
    EXPECT_EQ(cellColour(r->image, 0, 0), kBlack);
}

} // namespace

TEST(AnsiRenderer, EnlargedDrawingTurnsEachPixelIntoAHardBlock) {
    for (const bool bright : {false, true}) {
        // "A" red on blue, then a light shade yellow on green.
        const auto r = render("\x1b[31;44mA\x1b[33;42m\xB0\n", bright);
        ASSERT_TRUE(r->shown);
        const QImage& image = r->image;
        const QImage big = enlargeAnsiImage(image, 2, QRect(QPoint(0, 0), image.size() * 2));
        ASSERT_EQ(big.size(), image.size() * 2);
        EXPECT_EQ(big.devicePixelRatio(), 2);
        std::set<QRgb> seen;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb c = image.pixel(x, y);
                seen.insert(c);
                for (int dy : {0, 1})
                    for (int dx : {0, 1})
                        ASSERT_EQ(big.pixel(2 * x + dx, 2 * y + dy), c)
                            << x << "," << y << " bright " << bright;
            }
        }
        EXPECT_EQ(seen,
                  (std::set<QRgb>{ansiPaletteColour(bright, 1), ansiPaletteColour(bright, 4),
                                  ansiPaletteColour(bright, 3), ansiPaletteColour(bright, 2)}));
        // The viewer repaints strips: a strip is that part of the whole enlargement.
        const QRect strip(7, 9, 30, 11);
        EXPECT_TRUE(enlargeAnsiImage(image, 2, strip) == big.copy(strip));
    }
}

} // namespace velk
