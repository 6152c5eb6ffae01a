// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/DosFont.h"
#include "core/CharacterSet.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>

#include <gtest/gtest.h>

namespace velk {

namespace {
// Lit pixels of one character drawn in the DOS font into a 8 x 16 cell.
int inkOf(QChar c) {
    QImage img(8, 16, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setFont(dosFont());
    p.setPen(Qt::black);
    p.drawText(0, QFontMetrics(dosFont()).ascent(), QString(c));
    p.end();
    int ink = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x)
            ink += img.pixelColor(x, y) == Qt::black;
    return ink;
}
} // namespace

TEST(DosFont, GeneratedFontDrawsDosGlyphsInEightBySixteenCells) {
    const int id = registerDosFont(QStringLiteral(VELK_FONT_FILE));
    ASSERT_GE(id, 0);
    const QFont f = dosFont();
    EXPECT_EQ(QFontInfo(f).family(), kDosFontFamily);
    const QFontMetrics m(f);
    EXPECT_EQ(m.height(), 16);
    EXPECT_EQ(m.horizontalAdvance(QStringLiteral("W")), 8);
    EXPECT_EQ(m.horizontalAdvance(dosToUnicode("\x82\xB0\xCD\xAE")), 32);
    const QRawFont raw = QRawFont::fromFont(f);
    for (unsigned char b : {0x82, 0xB0, 0xCD, 0xAE, 0x01, 0x41}) {
        const QChar c(char16_t(cp437ToUnicode(b)));
        EXPECT_TRUE(raw.supportsCharacter(c)) << int(b);
        EXPECT_GT(inkOf(c), 0) << int(b);
    }
    unregisterDosFont(id);
}

} // namespace velk
