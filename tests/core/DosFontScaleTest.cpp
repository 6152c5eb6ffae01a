// SPDX-License-Identifier: GPL-2.0-or-later
// Run once per scale factor: CTest sets QT_SCALE_FACTOR for each run.
#include "core/CharacterSet.h"
#include "core/DosFont.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace velk {

namespace {

// é ░ ═ « ☺ M
const QString kSample = dosToUnicode("\x82\xB0\xCD\xAE\x01M");

class DosFontScale : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fontId_ = registerDosFont(QStringLiteral(VELK_FONT_FILE)); }
    static void TearDownTestSuite() { unregisterDosFont(fontId_); }
    void SetUp() override { ASSERT_GE(fontId_, 0); }

    static inline int fontId_ = -1;
    const qreal factor = qGuiApp->devicePixelRatio();
};

// Text drawn black on white from the top-left corner at `ratio` device pixels per pixel.
QImage drawn(const QString& text, qreal ratio) {
    const QFont font = dosFont();
    QImage image(int(std::lround(8 * text.size() * ratio)), int(std::lround(16 * ratio)),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(0, QFontMetrics(font).ascent(), text);
    return image;
}

bool onlyInkAndPaper(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(0, 0, 0) && image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

// The smallest rectangle holding the ink of `cell`, relative to the cell.
QRect inkBox(const QImage& image, const QRect& cell) {
    QRect box;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (image.pixel(x, y) == qRgb(0, 0, 0))
                box |= QRect(x - cell.left(), y - cell.top(), 1, 1);
    return box;
}

} // namespace

TEST_F(DosFontScale, CellsKeepEightBySixteenLogicalPixels) {
    const QFont font = dosFont();
    EXPECT_EQ(QFontInfo(font).family(), kDosFontFamily);
    const QFontMetrics m(font);
    EXPECT_EQ(m.height(), 16);
    EXPECT_EQ(m.ascent(), 12);
    for (QChar c : kSample)
        EXPECT_EQ(m.horizontalAdvance(c), 8) << int(c.unicode());
    EXPECT_EQ(m.horizontalAdvance(kSample), 8 * kSample.size());
}

TEST_F(DosFontScale, GlyphsAreTheConsolePixelsEnlarged) {
    const QImage base = drawn(kSample, 1);
    const QImage scaled = drawn(kSample, factor);
    ASSERT_EQ(scaled.size(), QSize(int(std::lround(48 * factor)), int(std::lround(16 * factor))));
    EXPECT_TRUE(onlyInkAndPaper(scaled)) << "greyed edges at factor " << factor;
    // Each glyph starts exactly 8 x factor device pixels after the one before.
    for (qsizetype i = 0; i < kSample.size(); ++i) {
        const QImage alone = drawn(QString(kSample[i]), factor);
        const int left = int(std::lround(8 * i * factor));
        EXPECT_TRUE(scaled.copy(left, 0, alone.width(), alone.height()) == alone)
            << "glyph " << i << " at factor " << factor;
    }
    // Between whole factors some console pixels take one device pixel more than others,
    // so each glyph's ink spans its console extent times the factor within a pixel.
    for (qsizetype i = 0; i < kSample.size(); ++i) {
        const QRect small = inkBox(base, QRect(int(8 * i), 0, 8, 16));
        const QRect large =
            inkBox(scaled, QRect(int(std::lround(8 * i * factor)), 0, int(std::lround(8 * factor)),
                                 int(std::lround(16 * factor))));
        const auto near = [&](int device, int console) {
            return std::abs(device - console * factor) <= 1;
        };
        EXPECT_TRUE(near(large.left(), small.left()) && near(large.top(), small.top()) &&
                    near(large.right() + 1, small.right() + 1) &&
                    near(large.bottom() + 1, small.bottom() + 1))
            << "glyph " << i << " at factor " << factor;
    }
    const int whole = int(std::lround(factor));
    if (whole != factor)
        return;
    for (int y = 0; y < scaled.height(); ++y)
        for (int x = 0; x < scaled.width(); ++x)
            ASSERT_EQ(scaled.pixel(x, y), base.pixel(x / whole, y / whole))
                << "device pixel " << x << "," << y << " at factor " << factor;
}

} // namespace velk
