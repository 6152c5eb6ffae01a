// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/ControlFile.h"

#include "core/FileUtil.h"
#include "core/PacketDate.h"
#include "core/VelkError.h"
#include "packet/IndexFiles.h"
#include "packet/PacketBuilder.h"
#include "packet/PacketOpening.h"
#include "session/Session.h"
#include "tests/support/ScriptedUiServices.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

namespace {

class ControlFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    Session session;
    ScriptedUiServices ui;
    PacketBuilder builder;

    void SetUp() override {
        session.settings.workPath = dir.path();
        builder.conference(0, "Principal").conference(5, "Technique");
    }
    bool load() {
        builder.writeTo(dir.path());
        return shown(InitQWK(session), ui);
    }
    const PacketControl& control() const { return session.packet.control; }
    void touch(const QString& name) { writeFileAtomically(joinPath(dir.path(), name), "x"); }
};

} // namespace

TEST_F(ControlFileTest, ReadsTheControlFileAndTheDoor) {
    session.packet.LogicalCounter = 7;
    builder.add(5, "Salut", "Bonjour\n");
    ASSERT_TRUE(load());
    const PacketControl& c = control();
    EXPECT_EQ(c.BbsName, "VELK TEST BBS");
    EXPECT_EQ(c.BbsCity, "Paris");
    EXPECT_EQ(c.BbsRegion, "Ile-de-France");
    EXPECT_EQ(c.SysopName, "LE SYSOP");
    EXPECT_EQ(c.BbsId, "VELKTEST");
    EXPECT_EQ(c.PacketDate, "02-05-1996");
    EXPECT_EQ(c.PacketTime, "21:30:00");
    EXPECT_EQ(c.UserName, "JEAN DUPONT");
    EXPECT_EQ(c.TotalMessages, 1);
    ASSERT_EQ(c.ConferenceCount, 2);
    EXPECT_EQ(c.Conferences[1].ConferenceNumber, 5);
    EXPECT_EQ(c.Conferences[1].ConferenceName, "Technique");
    EXPECT_EQ(c.WelcomeFile, "HELLO");
    EXPECT_EQ(c.NewsFile, "NEWS");
    EXPECT_EQ(c.GoodbyeFile, "GOODBYE");
    EXPECT_EQ(c.DoorName, " VELKDOOR");
    EXPECT_EQ(c.DoorVersion, " 1.0");
    EXPECT_EQ(c.BulletinCount, 0);
    EXPECT_EQ(session.packet.LogicalCounter, 1);
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(ControlFileTest, PacketsFromTheWild) {
    builder.quirks.lowerCaseNames = true;
    builder.quirks.controlLfOnly = true;
    builder.quirks.controlNoFinalEnd = true;
    builder.control.city = "Sans virgule";
    builder.control.packetDate = "12-31-1999";
    builder.door.reset();
    builder.conference(1001, "Mille et un");
    builder.file("EXTRA.TXT", "inconnu");
    ASSERT_TRUE(load());
    EXPECT_EQ(control().ConferenceCount, 3);
    EXPECT_EQ(control().Conferences[2].ConferenceNumber, 1001);
    EXPECT_EQ(control().GoodbyeFile, "GOODBYE");
    EXPECT_EQ(control().DoorName, "Info non fournie");
    EXPECT_EQ(control().DoorVersion, "");
    EXPECT_EQ(control().PacketDate, "12-31-1999");
}

TEST_F(ControlFileTest, LinesWithoutCommaOrEquals) {
    const std::vector<std::string> lines = {
        "BBS", "Ville seule", "tel", "sysop", "MONID", "date", "user", "",
        "",    "3",           "0",   "7",     "Seule", "W",    "N",    "G"};
    PacketControl c;
    parseControlLines(lines, c).showTo(ui);
    EXPECT_EQ(c.BbsCity, "");
    EXPECT_EQ(c.BbsRegion, "Ville seule");
    EXPECT_EQ(c.BbsId, "MONID");
    EXPECT_EQ(c.PacketDate, "");
    EXPECT_EQ(c.PacketTime, "date");
    ASSERT_EQ(c.ConferenceCount, 1);
    EXPECT_EQ(c.Conferences[0].ConferenceNumber, 7);
    // Line 11 holding 0: the file names are lines 14, 15 and 16.
    EXPECT_EQ(c.WelcomeFile, "W");
    EXPECT_EQ(c.NewsFile, "N");
    EXPECT_EQ(c.GoodbyeFile, "G");

    writeFileAtomically(joinPath(dir.path(), "DOOR.ID"), "PORTE\r\nVERSION=2\r\n");
    writeFileAtomically(joinPath(dir.path(), "CONTROL.DAT"), "a\r\nb\r\n");
    EXPECT_THROW(shown(InitQWK(session), ui), VelkError); // line 10 missing: no number
    builder.writeTo(dir.path());
    writeFileAtomically(joinPath(dir.path(), "DOOR.ID"), "PORTE\r\nVERSION=2\r\n");
    ASSERT_TRUE(shown(InitQWK(session), ui));
    EXPECT_EQ(control().DoorName, "PORTE");
    EXPECT_EQ(control().DoorVersion, "2");
}

TEST_F(ControlFileTest, MoreThanAThousandConferences) {
    std::vector<std::string> lines(11, "1");
    lines[10] = "1199";
    for (int i = 0; i < 1200; ++i) {
        lines.push_back(std::to_string(i));
        lines.push_back("Conf " + std::to_string(i));
    }
    lines.insert(lines.end(), {"HELLO", "NOUVELLES", "BYE"});
    ASSERT_EQ(lines[2411], "HELLO"); // line 2412
    PacketControl c;
    parseControlLines(lines, c).showTo(ui);
    // Every conference is kept, without a word.
    EXPECT_EQ(c.ConferenceCount, 1200);
    ASSERT_EQ(c.Conferences.size(), 1200u);
    EXPECT_EQ(c.Conferences[1199].ConferenceNumber, 1199);
    EXPECT_EQ(c.Conferences[1199].ConferenceName, "Conf 1199");
    EXPECT_EQ(c.NewsFile, "NOUVELLES");
    EXPECT_TRUE(ui.texts().isEmpty());
    lines[10] = "-5";
    parseControlLines(lines, c).showTo(ui);
    EXPECT_EQ(c.ConferenceCount, 0);
}

TEST_F(ControlFileTest, ConferenceNumbersOutOfRangeNeverBecomeAnother) {
    std::vector<std::string> lines(11, "1");
    lines[10] = "4";
    for (const char* n : {"99999999", "-1", "65535", "65536", "0"})
        lines.insert(lines.end(), {n, std::string("Conf ") + n});
    lines.insert(lines.end(), {"HELLO", "NOUVELLES", "BYE"});
    PacketControl c;
    parseControlLines(lines, c).showTo(ui);
    ASSERT_EQ(c.ConferenceCount, 2);
    EXPECT_EQ(c.Conferences[0].ConferenceNumber, 65535);
    EXPECT_EQ(c.Conferences[1].ConferenceNumber, 0);
    EXPECT_EQ(c.Conferences[1].ConferenceName, "Conf 0");
    EXPECT_EQ(c.NewsFile, "NOUVELLES");
    EXPECT_EQ(ui.messages(),
              QStringList{"Le fichier CONTROL.DAT donne à 3 conférence(s) un numéro hors de 0 à "
                          "65535.\nElles sont ignorées."});
    EXPECT_EQ(conferenceNumber("  7  "), 7);
    EXPECT_THROW(conferenceNumber("4294967297"), VelkError); // beyond 32 bits: no number
}

TEST_F(ControlFileTest, MissingControlFile) {
    EXPECT_FALSE(shown(InitQWK(session), ui));
    EXPECT_EQ(ui.messages(), QStringList{"Fichier " + dir.path() + "/CONTROL.DAT introuvable"});
}

TEST_F(ControlFileTest, BulletinsSortByNumber) {
    struct Case {
        std::vector<std::string> scan;
        bool afterDot;
        std::vector<std::string> sorted;
    };
    const Case cases[] = {
        {{"BLT-0.1", "BLT-0.10", "BLT-0.2"}, true, {"BLT-0.1", "BLT-0.2", "BLT-0.10"}},
        {{"BLT-2", "BLT-10", "BLT-1"}, false, {"BLT-1", "BLT-2", "BLT-10"}},
        // Equal numbers: the later name first, as the selection sort did.
        {{"BLT-0.1", "BLT-1.1"}, true, {"BLT-1.1", "BLT-0.1"}},
        // Mixed names and numbers of five digits keep a place.
        {{"BLT-0.2", "BLT-3", "BLT-12345"}, false, {"BLT-3", "BLT-12345", "BLT-0.2"}},
        {{"BLT-0.X", "BLT-0.7"}, true, {"BLT-0.7", "BLT-0.X"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sortBulletins(c.scan, c.afterDot), c.sorted);

    for (int i = 150; i >= 1; --i)
        touch(QStringLiteral("BLT-0.%1").arg(i));
    touch("blt-1.200");
    ASSERT_TRUE(load());
    ASSERT_EQ(control().BulletinCount, 151);
    EXPECT_EQ(control().BulletinFiles.front(), "BLT-0.1");
    EXPECT_EQ(control().BulletinFiles[149], "BLT-0.150");
    EXPECT_EQ(control().BulletinFiles.back(), "blt-1.200");
    EXPECT_TRUE(control().BulletinsNumberedAfterDot);
}

TEST(BbsId, NamesAFileOrIsRefused) {
    for (const char* good : {"VELKTEST", "A", "MY-BBS_1",
                             "B\x82"
                             "B"})
        EXPECT_TRUE(bbsIdProblem(good).isEmpty()) << good;
    for (const std::string& bad :
         {std::string(), std::string("NEUFCHARS"), std::string(".."), std::string("../X"),
          std::string("A/B"), std::string("A\\B"), std::string("A B"), std::string("AB "),
          std::string("A\x01"), std::string("A\x7F"), std::string("A\0B", 3)}) {
        const QString m = bbsIdProblem(bad);
        EXPECT_TRUE(m.endsWith("Ce paquet est refusé.")) << bad;
    }
}

TEST(PacketDate, LongDatesInFrench) {
    const QDate today(2026, 3, 1);
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"02-05-1996", "5 février 1996"}, {"25-02-1996", "25 février 1996"},
        {"05-12-1996", "12 mai 1996"},    {"08-15-96", "15 août 1996"},
        {"12/24/30", "24 décembre 2030"}, {"12-24-46", "24 décembre 1946"},
        {"01.07.2000", "7 janvier 2000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LongPacketDate(c.in, today), QString::fromUtf8(c.out)) << c.in;
    for (const char* bad : {"13-13-96", "02-30-1996", "", "ab-cd-ef", "02-05-996", "0205-1996"}) {
        try {
            LongPacketDate(bad, today);
            ADD_FAILURE() << bad;
        } catch (const VelkError& e) {
            EXPECT_TRUE(e.message().endsWith("n'est pas une date correcte")) << bad;
        }
    }
}

TEST(FileNamePart, LastElement) {
    EXPECT_EQ(FileNamePart("/home/u/QWK/MABOITE.QWK"), "MABOITE.QWK");
    EXPECT_EQ(FileNamePart("MABOITE.QWK"), "MABOITE.QWK");
    EXPECT_EQ(FileNamePart("rel/x y.qwk"), "x y.qwk");
}

TEST_F(ControlFileTest, IndexFilesInControlFileOrder) {
    builder.quirks.lowerCaseNames = true;
    builder.quirks.plainIndexNames = true;
    builder.conference(1001, "Mille").conference(3, "Sans index");
    builder.withoutIndex(3);
    builder.add(1001, "a", "x").personal = true;
    builder.add(0, "b", "x");
    builder.add(0, "c", "x");
    builder.add(77, "orphelin", "x"); // no conference of the control file has it
    builder.file("NOTES.NDX", "pas une conférence");
    ASSERT_TRUE(load());
    const std::vector<IndexFileEntry> found = findIndexFiles(dir.path(), control());
    std::vector<std::tuple<std::string, int, int>> rows;
    rows.reserve(found.size());
    for (const IndexFileEntry& e : found)
        rows.emplace_back(e.fileName, e.conferencePosition, e.messageCount);
    EXPECT_EQ(rows, (std::vector<std::tuple<std::string, int, int>>{
                        {"0.ndx", 0, 2}, {"1001.ndx", 2, 1}, {"77.ndx", -1, 1}}));
    EXPECT_EQ(readPersonalIndex(dir.path()), std::vector<std::int32_t>{1});
}

} // namespace velk
