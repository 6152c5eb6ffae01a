// SPDX-License-Identifier: GPL-2.0-or-later
// Run with QT_SCALE_FACTOR=2 (set by CTest): a screen of twice the density.
#include "ui/packet/TAffBulletins.h"

#include "tests/support/ViewerTestSupport.h"

#include <QGuiApplication>
#include <QLabel>

namespace velk {

namespace {

using namespace viewertest;

const auto* const kFontEnvironment =
    ::testing::AddGlobalTestEnvironment(new ansitest::FontEnvironment);

class BulletinScaleTest : public PacketFixture {};

TEST_F(BulletinScaleTest, BulletinIsShownInBlocksOfDevicePixelsInBothPalettes) {
    builder.bulletin("BLT-0.1", "\x1b[31;44mVELK\x1b[33;42m \xB0\xB1\xB2\r\n\x1b[0mfin\r\n");
    unpack();
    TAffBulletins viewer(s, ui);
    ASSERT_TRUE(viewer.loadBulletin(0));
    const qreal ratio = qGuiApp->devicePixelRatio();
    for (const bool bright : {false, true}) {
        if (bright)
            viewer.CouleursBtnClick();
        ASSERT_EQ(viewer.viewer().brightColours(), bright);
        const QImage& drawing = viewer.viewer().image();
        const QImage shown =
            viewer.Bulletin->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), drawing.size() * ratio);
        const QImage blocks = enlargeAnsiImage(drawing, ratio, QRect(QPoint(0, 0), shown.size()));
        EXPECT_TRUE(shown == blocks) << "bright " << bright;
        // Spot checks against the drawing itself: the red "V" cell and the green shade.
        for (const QPoint p : {QPoint(3, 5), QPoint(34, 9), QPoint(41, 2), QPoint(60, 20)})
            EXPECT_EQ(shown.pixel(int(p.x() * ratio) + 1, int(p.y() * ratio) + 1), drawing.pixel(p))
                << p.x() << "," << p.y() << " bright " << bright;
    }
    EXPECT_TRUE(ui.texts().isEmpty());
}

} // namespace

} // namespace velk
