// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliRegistry.h"
#include "core/FileUtil.h"
#include "packet/PacketBuilder.h"
#include "tests/support/CliCapture.h"
#include "tests/support/ZipWriter.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace velk {

namespace {

CliBytesRun cli(const QStringList& args) {
    return runCliBytes(args);
}

class CliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString packet;
    PacketBuilder b;

    void SetUp() override {
        packet = joinPath(dir.path(), "DEMO BBS.QWK");
        b.control.bbsName = "La Bo\x8Cte \x85 Lettres";
        b.conference(0, "Principal").conference(5, "Technique").conference(1001, "Caf\x82");
        b.add(0, "Premier", "Bonjour \x85 tous\n\tTabul\x82\n").from = "AN\tNE"; // shown: signs
        PacketMessage& second = b.add(1001, "Deuxi\x8Ame\r\n", "> cit\x82\nr\x82ponse\n");
        second.status = "*";
        second.reference = "1";
        second.date = "12\xC4"
                      "24\xC4"
                      "96";
        b.add(0, "Troisi\x8Ame", "fin\n").date = "13-13-96";
        b.withoutIndex(5);
        b.bulletin("BLT-0.2", "deux").bulletin("BLT-0.1", "un");
        b.zipTo(packet);
    }
};

} // namespace

TEST_F(CliTest, InfoDescribesThePacket) {
    const CliBytesRun r = cli({"info", packet});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "BBS : La Boîte à Lettres (Paris, Ile-de-France)\n"
                     "Sysop : LE SYSOP\n"
                     "Board ID : VELKTEST\n"
                     "Votre nom : JEAN DUPONT\n"
                     "Date Paquet : 5 février 1996\n"
                     "Heure Paquet : 21:30\n"
                     "Door : VELKDOOR 1.0\n"
                     "Conférences : 3\n"
                     "  0    (2)    Principal\n"
                     "  5    -      Technique\n"
                     "  1001 (1)    Café\n"
                     "Bulletins : 2\n"
                     "  BLT-0.1\n"
                     "  BLT-0.2\n");
    EXPECT_EQ(r.err, "");
}

// info unpacks MESSAGES.DAT, here damaged, only to count a conference without its index file.
TEST(CliInfo, ReadsTheMessagesOnlyForAConferenceWithoutIndex) {
    for (const bool indexed : {true, false}) {
        PacketBuilder b;
        b.conference(9, "Autre").add(9, "Sujet", "Texte\n");
        if (!indexed)
            b.withoutIndex(9);
        ZipWriter z;
        z.addAll(b.files());
        QByteArray zip = z.bytes();
        zip[zip.indexOf(b.messagesFile()) + 1] ^= 1;
        QTemporaryDir dir;
        writeFileAtomically(dir.filePath("P.QWK"), zip);
        const CliBytesRun r = cli({"info", dir.filePath("P.QWK")});
        EXPECT_EQ(r.status, indexed ? 0 : 1);
        EXPECT_EQ(r.out.find("  9    (1)    Autre\n") != std::string::npos, indexed) << r.err;
    }
}

TEST_F(CliTest, ListShowsOneLinePerMessageInIndexOrder) {
    CliBytesRun r = cli({"list", packet});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0\t1\t02-05-96\tAN\u25CBNE\tJEAN DUPONT\tPremier\n"
                     "0\t3\t01-01-99\tMARIE CURIE\tJEAN DUPONT\tTroisième\n"
                     "1001\t2\t12-24-96\tMARIE CURIE\tJEAN DUPONT\tDeuxième\u266A\u25D9\n");
    EXPECT_EQ(r.err, "Date incorrecte détectée. Elle sera remplacée par le 01/01/99.\n");
    r = cli({"list", packet, "1001"});
    EXPECT_EQ(r.out, "1001\t2\t12-24-96\tMARIE CURIE\tJEAN DUPONT\tDeuxième\u266A\u25D9\n");
    r = cli({"list", packet, "7"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Il n'y a pas de conférence 7 dans ce paquet.\n");
}

TEST_F(CliTest, ReadShowsHeaderAndText) {
    CliBytesRun r = cli({"read", packet, "1001", "1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Conférence : 1001 Café\n"
                     "Numéro : 2\n"
                     "Date : 12-24-96 21:30\n"
                     "De : MARIE CURIE\n"
                     "À : JEAN DUPONT\n"
                     "Sujet : Deuxième\u266A\u25D9\n"
                     "Statut : Privé\n"
                     "Référence : 1\n"
                     "\n"
                     "> cité\nréponse\n");
    r = cli({"read", packet, "0", "1"});
    EXPECT_NE(r.out.find("\nBonjour à tous\n\tTabulé\n"), std::string::npos) << r.out;
    r = cli({"read", packet, "0", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "La conférence 0 a 2 message(s) : pas de position 3.\n");
    r = cli({"read", packet, "5", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Il n'y a pas de message dans la conférence 5.\n");
}

TEST_F(CliTest, BadPacketsAndArguments) {
    struct Case {
        QStringList args;
        int status;
        std::string errStart;
    };
    const QString absent = joinPath(dir.path(), "ABSENT.QWK");
    const QString damaged = joinPath(dir.path(), "DAMAGED.QWK");
    writeFileAtomically(damaged, "pas un zip");
    PacketBuilder linked;
    linked.conference(0, "x");
    linked.symlink("LIEN", "/etc/passwd");
    const QString withLink = joinPath(dir.path(), "LIEN.QWK");
    linked.zipTo(withLink);
    const Case cases[] = {
        {{"info", absent}, 1, "Problème lors du décompactage du fichier :\""},
        {{"list", damaged}, 1, "Problème lors du décompactage du fichier :\""},
        {{"info", withLink}, 1, "Le fichier \""},
        {{"info"}, 2, "Usage : velk-cli info PAQUET"},
        {{"read", packet, "x", "1"}, 2, "'x' n'est pas une valeur entière correcte"},
    };
    for (const Case& c : cases) {
        const CliBytesRun r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err.rfind(c.errStart, 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(CliBoards, PacketsFromRealBoardsAreReadWhole) {
    QTemporaryDir dir;
    const QString packet = joinPath(dir.path(), "BOARD.QWK");
    PacketBuilder b;
    b.quirks.noIndexFiles = true;
    b.quirks.nulPadding = true;
    const std::string longName = "DOVE-Net Synchronet Programming Discussions"; // 43
    b.conference(0, "Principal").conference(2001, longName).conference(3, "Vide");
    PacketMessage& kludged = b.add(2001, "Un sujet qui depasse les vingt-cinq", "Bonjour\n");
    kludged.to = "Jean-Christophe de la Fontaine";
    kludged.qwkeKludges = true;
    kludged.finalLineEnd = false;
    PacketMessage& utf = b.add(2001, "No\xC3\xABl", "Caf\xC3\xA9 weuifhweui");
    utf.from = "\xC3\x89ric";
    utf.headersDat = true;
    utf.utf8 = true;
    utf.finalLineEnd = false;
    b.add(0, "Seul", "").oneBlock = true;
    b.zipTo(packet);

    CliBytesRun r = cli({"info", packet});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(
        r.out.find("  0    (1)    Principal\n  2001 (2)    " + longName + "\n  3    -      Vide\n"),
        std::string::npos)
        << r.out;

    r = cli({"list", packet});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find('\0'), std::string::npos);
    EXPECT_EQ(
        r.out,
        "0\t3\t02-05-96\tMARIE CURIE\tJEAN DUPONT\tSeul\n"
        "2001\t1\t02-05-96\tMARIE CURIE\tJean-Christophe de la Fon\tUn sujet qui depasse les\n"
        "2001\t2\t02-05-96\t\xC3\x89ric\tJEAN DUPONT\tNo\xC3\xABl\n");

    r = cli({"read", packet, "2001", "1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Conférence : 2001 " + longName +
                         "\n"
                         "Numéro : 1\n"
                         "Date : 02-05-96 21:30\n"
                         "De : MARIE CURIE\n"
                         "À : Jean-Christophe de la Fontaine\n"
                         "Sujet : Un sujet qui depasse les vingt-cinq\n"
                         "Statut : Public\n"
                         "\n"
                         "Bonjour\n");
    r = cli({"read", packet, "2001", "2"});
    EXPECT_NE(r.out.find("De : Éric\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Sujet : Noël\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nCafé weuifhweui\n"), std::string::npos) << r.out;
    r = cli({"read", packet, "0", "1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.ends_with("Statut : Public\n\n\n")) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST(DemoPacket, IsBuiltAndReadable) {
    const QString demo = VELK_BINARY_DIR "/DEMO.QWK";
    const CliBytesRun info = cli({"info", demo});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("Conférences : 5\n"), std::string::npos);
    EXPECT_NE(info.out.find("  1001 (4)    Logiciels libres\n"), std::string::npos);
    const CliBytesRun list = cli({"list", demo});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 15);
    EXPECT_EQ(list.err, "");
    const CliBytesRun read = cli({"read", demo, "1", "4"});
    EXPECT_NE(read.out.find("Norme\tDébit\t"), std::string::npos) << read.out;
}

} // namespace velk
