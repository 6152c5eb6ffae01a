// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/BulletinViewer.h"

#include "tests/support/ViewerTestSupport.h"

namespace velk {

namespace {

using namespace viewertest;
using ansitest::cellColour;

const auto* const kFontEnvironment =
    ::testing::AddGlobalTestEnvironment(new ansitest::FontEnvironment);

TEST(BulletinListLine, NumberAfterTheFirstSeparator) {
    struct Case {
        const char* name;
        bool afterDot;
        const char* line;
    };
    const Case cases[] = {
        {"BLT-0.1", true, "Bulletin N°1"},
        {"BLT-0.12", true, "Bulletin N°12"},
        {"BLT-0.1234", true, "Bulletin N°1234"},
        {"BLT-12.3", true, "Bulletin N°3"},
        {"BLT-7", false, "Bulletin N°7"},
        {"BLT-0.5", false, "Bulletin N°0.5"}, // a mixed packet numbers after the dash
        {"BLT-1-2", false, "Bulletin N°1-2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bulletinListLine(c.name, c.afterDot), QString::fromUtf8(c.line)) << c.name;
}

class BulletinViewerTest : public PacketFixture {};

TEST_F(BulletinViewerTest, ListLinesFollowTheSortedBulletins) {
    builder.bulletin("BLT-0.10", "dix\r\n").bulletin("BLT-0.2", "deux\r\n");
    builder.bulletin("BLT-0.1", "un\r\n");
    unpack();
    EXPECT_EQ(bulletinListLines(s.packet.control),
              (QStringList{"Bulletin N°1", "Bulletin N°2", "Bulletin N°10"}));
    s.packet.control = {};
    QDir(s.settings.workPath).removeRecursively();
    QDir().mkpath(s.settings.workPath);
    builder = PacketBuilder{};
    builder.bulletin("BLT-2", "b\r\n").bulletin("BLT-1", "a\r\n");
    unpack();
    EXPECT_EQ(bulletinListLines(s.packet.control), (QStringList{"Bulletin N°1", "Bulletin N°2"}));
}

TEST_F(BulletinViewerTest, NavigationStopsAtBothEnds) {
    builder.bulletin("BLT-0.1", kRedScreen).bulletin("BLT-0.2", " deux\r\n");
    builder.bulletin("BLT-0.1000", kGreenScreen);
    unpack();
    BulletinViewer v(s, ui);
    ASSERT_TRUE(v.showBulletin(0));
    EXPECT_EQ(v.caption(), "Bulletin N°1");
    EXPECT_FALSE(v.previous());
    EXPECT_EQ(v.CurrentBulletin, 0);
    EXPECT_TRUE(v.next());
    EXPECT_EQ(v.CurrentViewerFile, "BLT-0.2");
    EXPECT_EQ(cellColour(v.image(), 0, 0), qRgb(255, 255, 255)); // a plain file: black on white
    EXPECT_TRUE(v.next());
    EXPECT_FALSE(v.next());
    EXPECT_EQ(v.CurrentBulletin, 2);
    // The caption names the bulletin as the list does, a four-digit number included.
    EXPECT_EQ(v.caption(), "Bulletin N°1000");
    EXPECT_EQ(cellColour(v.image(), 0, 0), qRgb(0, 128, 0));
    EXPECT_TRUE(v.first());
    EXPECT_EQ(v.CurrentBulletin, 0);
    EXPECT_EQ(cellColour(v.image(), 0, 0), qRgb(128, 0, 0));
    EXPECT_TRUE(v.last());
    EXPECT_EQ(v.CurrentBulletin, 2);
    EXPECT_TRUE(v.previous());
    EXPECT_EQ(v.CurrentViewerFile, "BLT-0.2");
    EXPECT_EQ(v.scrollRange(), 16);
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(BulletinViewerTest, DashNamesGetTheirNumberInTheCaption) {
    builder.bulletin("BLT-1", "a\r\n").bulletin("BLT-2", "b\r\n");
    unpack();
    BulletinViewer v(s, ui);
    ASSERT_TRUE(v.showBulletin(0));
    v.last();
    EXPECT_EQ(v.caption(), "Bulletin N°2");
}

TEST_F(BulletinViewerTest, TooLargeBulletinShowsOnlyTheBackground) {
    std::string big = kRedScreen;
    big.resize(65529, 'x');
    builder.bulletin("BLT-0.1", big);
    big.push_back('x');
    builder.bulletin("BLT-0.2", big);
    unpack();
    BulletinViewer v(s, ui);
    ASSERT_TRUE(v.showBulletin(0));
    EXPECT_EQ(cellColour(v.image(), 0, 0), qRgb(128, 0, 0));
    EXPECT_TRUE(ui.texts().isEmpty());

    // Measured but not drawn: the viewer opens on the background alone, after the message.
    EXPECT_TRUE(v.showBulletin(1));
    EXPECT_TRUE(v.image().isNull());
    EXPECT_EQ(v.scrollRange(), 0);
    EXPECT_EQ(ui.messages(),
              QStringList{"Le fichier " + work("BLT-0.2") + " est trop gros pour être affiché."});
}

TEST_F(BulletinViewerTest, UnreadableOrHostileFilesShowNothing) {
    builder.bulletin("BLT-0.1", kRedScreen).bulletin("BLT-0.2", kGreenScreen);
    builder.control.newsFile = "../VELK.INI";
    unpack();
    writeFileAtomically(joinPath(s.settings.velkPath, "VELK.INI"), "[Secret]\r\n");
    BulletinViewer v(s, ui);
    ASSERT_TRUE(v.showBulletin(0));
    EXPECT_FALSE(v.showNews());
    EXPECT_TRUE(v.image().isNull());
    EXPECT_EQ(ui.messages(),
              QStringList{"Problème lors de la lecture du fichier " + work("../VELK.INI")});

    ui.clear();
    QFile::remove(work("BLT-0.2"));
    v.showBulletin(0);
    EXPECT_TRUE(v.next());
    EXPECT_TRUE(v.image().isNull()); // not the previous bulletin under the new caption
    EXPECT_EQ(v.caption(), "Bulletin N°2");
    EXPECT_EQ(ui.messages(),
              QStringList{"Problème lors de la lecture du fichier " + work("BLT-0.2")});
    EXPECT_EQ(ui.busyDepth(), 0);
}

TEST_F(BulletinViewerTest, FilesAreFoundWhateverTheCaseOfTheirNames) {
    builder.quirks.lowerCaseNames = true;
    builder.bulletin("BLT-0.1", kRedScreen).news(kGreenScreen);
    unpack();
    BulletinViewer v(s, ui);
    EXPECT_TRUE(v.showBulletin(0));
    EXPECT_TRUE(v.showNews());
    EXPECT_EQ(cellColour(v.image(), 0, 0), qRgb(0, 128, 0));
    EXPECT_TRUE(ui.texts().isEmpty());
}

} // namespace

} // namespace velk
