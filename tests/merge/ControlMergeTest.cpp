// SPDX-License-Identifier: GPL-2.0-or-later
#include "merge/ControlMerge.h"

#include "core/VelkError.h"
#include "merge/PacketMerge.h"
#include "packet/PacketBuilder.h"
#include "tests/support/MergeTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

using namespace mergetest;

namespace {

class ControlMergeTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    QString base, integrated;
    PacketBuilder baseBuilder, integratedBuilder;
    ScriptedUiServices ui;
    PacketControl control;
    MergeNotices notices;

    void SetUp() override {
        base = joinPath(root.path(), "tmp1");
        integrated = joinPath(root.path(), "tmp2");
        QDir().mkpath(base);
        QDir().mkpath(integrated);
        integratedBuilder.control.packetDate = "03-07-1996";
        integratedBuilder.control.packetTime = "06:15:00";
    }
    // The three steps on the two packets as the builders describe them.
    bool merge() {
        baseBuilder.writeTo(base);
        integratedBuilder.writeTo(integrated);
        return MergePackets(base, integrated, control, notices, ui).has_value();
    }
    std::vector<std::string> conferenceLines() const {
        const auto lines = controlLines(base);
        return std::vector<std::string>(lines.begin() + 11, lines.end() - 3);
    }
};

} // namespace

TEST_F(ControlMergeTest, IdenticalControlFilesDifferOnlyInDateAndTotal) {
    for (PacketBuilder* b : {&baseBuilder, &integratedBuilder}) {
        b->conference(0, "Principal").conference(5, "Linux");
        b->add(5, "Salut", "Bonjour\n");
    }
    integratedBuilder.add(0, "Autre", "Texte\n");
    ASSERT_TRUE(merge());
    EXPECT_TRUE(ui.events().empty());
    EXPECT_FALSE(notices.NoticesProduced);
    EXPECT_TRUE(notices.NoticeMemo.isEmpty());

    const auto before = splitTextLines(baseBuilder.controlFile());
    const auto after = controlLines(base);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i == 5)
            EXPECT_EQ(after[i], "03-07-1996,06:15:00");
        else if (i == 9)
            EXPECT_EQ(after[i], "3");
        else
            EXPECT_EQ(after[i], before[i]) << "line " << i + 1;
    }
    // CR LF line ends, as the base file had them.
    EXPECT_TRUE(bytesOf(joinPath(base, "CONTROL.DAT")).endsWith("GOODBYE\r\n"));
    EXPECT_EQ(control.PacketDate, "03-07-1996");
    EXPECT_EQ(control.ConferenceCount, 2);
}

TEST_F(ControlMergeTest, NewConferencesAreInsertedInNumberOrder) {
    baseBuilder.conference(0, "Principal").conference(1, "Annonces").conference(5, "Linux");
    integratedBuilder.conference(0, "Principal").conference(2, "Jeux").conference(7, "Musique");
    integratedBuilder.add(2, "Partie", "Echec et mat\n");
    ASSERT_TRUE(merge());
    EXPECT_EQ(conferenceLines(), (std::vector<std::string>{"0", "Principal", "1", "Annonces", "2",
                                                           "Jeux", "5", "Linux", "7", "Musique"}));
    EXPECT_EQ(controlLines(base)[10], "4");
    EXPECT_EQ(notices.NoticeMemo,
              QStringList({"La conférence \"Jeux\" a été ajoutée depuis la dernière fusion.",
                           "La conférence \"Musique\" a été ajoutée depuis la dernière fusion."}));
    EXPECT_TRUE(notices.NoticesProduced);
    // The file names after the conference list are still the base's.
    EXPECT_EQ(controlLines(base).back(), "GOODBYE");

    // The merged packet reads as a packet.
    PacketControl reread;
    ASSERT_TRUE(shown(InitQWK(base, reread), ui));
    EXPECT_EQ(reread.ConferenceCount, 5);
    EXPECT_EQ(reread.NewsFile, "NEWS");
}

TEST_F(ControlMergeTest, RenumberedConferenceMovesItsIndexFile) {
    baseBuilder.conference(0, "Principal").conference(5, "Linux").conference(6, "Divers");
    baseBuilder.add(5, "Ancien", "Texte\n");
    integratedBuilder.conference(0, "Principal").conference(8, "Linux").conference(6, "Divers");
    integratedBuilder.add(8, "Recent", "Texte\n");
    ASSERT_TRUE(merge());
    EXPECT_EQ(conferenceLines(),
              (std::vector<std::string>{"0", "Principal", "6", "Divers", "8", "Linux"}));
    EXPECT_EQ(controlLines(base)[10], "2");
    EXPECT_EQ(notices.NoticeMemo, QStringList({"La conférence \"Linux\" a changé de numéro,\n"
                                               "elle porte désormais le N° 8\nau lieu du N° 5"}));
    // The base entries come first under the new number; nothing is left under the old one.
    EXPECT_EQ(findFiles(base, "*.NDX"), QStringList({"008.NDX", "PERSONAL.NDX"}));
    EXPECT_EQ(subjectsByIndex(base).at("008"), (std::vector<std::string>{"Ancien", "Recent"}));
}

TEST_F(ControlMergeTest, RenumberedConferenceWithoutBaseMessages) {
    baseBuilder.conference(0, "Principal").conference(5, "Linux");
    integratedBuilder.conference(0, "Principal").conference(8, "Linux");
    integratedBuilder.add(8, "Recent", "Texte\n");
    ASSERT_TRUE(merge());
    EXPECT_EQ(findFiles(base, "*.NDX"), QStringList({"008.NDX", "PERSONAL.NDX"}));
    EXPECT_EQ(conferenceLines(), (std::vector<std::string>{"0", "Principal", "8", "Linux"}));
}

TEST_F(ControlMergeTest, TwoBaseConferencesOfTheSameNameMatchTheFirst) {
    baseBuilder.conference(0, "Principal").conference(3, "Doublon").conference(4, "Doublon");
    baseBuilder.add(3, "Trois", "Texte\n");
    baseBuilder.add(4, "Quatre", "Texte\n");
    integratedBuilder.conference(0, "Principal").conference(9, "Doublon");
    ASSERT_TRUE(merge());
    EXPECT_EQ(conferenceLines(),
              (std::vector<std::string>{"0", "Principal", "4", "Doublon", "9", "Doublon"}));
    EXPECT_EQ(notices.NoticeMemo.size(), 1);
    EXPECT_TRUE(notices.NoticeMemo[0].endsWith("au lieu du N° 3"));
    EXPECT_EQ(subjectsByIndex(base).at("009"), (std::vector<std::string>{"Trois"}));
    EXPECT_EQ(subjectsByIndex(base).at("004").size(), 1u);
}

TEST_F(ControlMergeTest, NameChangesAreNoticedAndNamesCompareAtOneWidth) {
    const std::string longName = "Conférence au nom bien plus long que trente caractères";
    baseBuilder.conference(0, "Principal").conference(1, longName).conference(2, "Ancien nom");
    integratedBuilder.conference(0, "Principal").conference(1, longName).conference(2, "Nouveau");
    // A long name new to the base keeps its whole length.
    integratedBuilder.conference(3, longName + " (bis)");
    ASSERT_TRUE(merge());
    EXPECT_EQ(notices.NoticeMemo,
              QStringList({"Attention : La conférence N° 2 anciennement appelée : \"Ancien nom\" "
                           "sera désormais connue sous le nom de \"Nouveau\"",
                           QStringLiteral("La conférence \"") + dosToUnicode(longName + " (bis)") +
                               QStringLiteral("\" a été ajoutée depuis la dernière fusion.")}));
    EXPECT_EQ(conferenceLines()[5], "Ancien nom");
    EXPECT_EQ(conferenceLines()[7], longName + " (bis)");
    // The program's packet description holds names to 30 characters.
    ASSERT_EQ(control.Conferences.size(), 4u);
    EXPECT_EQ(control.Conferences[1].ConferenceName, longName.substr(0, 30));
}

TEST_F(ControlMergeTest, CaseMattersInNames) {
    baseBuilder.conference(0, "Principal").conference(1, "linux");
    integratedBuilder.conference(0, "Principal").conference(2, "Linux");
    ASSERT_TRUE(merge());
    EXPECT_EQ(conferenceLines(),
              (std::vector<std::string>{"0", "Principal", "1", "linux", "2", "Linux"}));
    EXPECT_TRUE(notices.NoticeMemo[0].contains("ajoutée"));
}

TEST_F(ControlMergeTest, OtherBoardOrUserAsksFirst) {
    struct Case {
        const char* bbsId;
        const char* user;
        std::vector<bool> answers;
        bool result;
        int questions;
    };
    const Case cases[] = {
        {"AUTREBBS", "JEAN DUPONT", {false}, false, 1},
        {"AUTREBBS", "JEAN DUPONT", {true}, true, 1},
        {"VELKTEST", "PAUL MARTIN", {false}, false, 1},
        {"AUTREBBS", "PAUL MARTIN", {true, false}, false, 2},
        {"AUTREBBS", "PAUL MARTIN", {true, true}, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.bbsId) + " " + c.user);
        QDir(base).removeRecursively();
        QDir(integrated).removeRecursively();
        QDir().mkpath(base);
        QDir().mkpath(integrated);
        ui.clear();
        integratedBuilder.control.bbsId = c.bbsId;
        integratedBuilder.control.userName = c.user;
        for (const bool a : c.answers)
            ui.answerYesNo(a);
        const QByteArray before = baseBuilder.controlFile();
        EXPECT_EQ(merge(), c.result);
        const QStringList texts = ui.texts();
        ASSERT_EQ(texts.size(), c.questions);
        if (std::string(c.bbsId) != "VELKTEST") {
            EXPECT_EQ(texts[0], "Ces deux fichiers QWK ne proviennent pas du même BBS.\n"
                                "Continuer la fusion malgré tout ?");
        }
        if (std::string(c.user) != "JEAN DUPONT" && c.answers[0]) {
            EXPECT_EQ(texts.back(), "Ces deux fichiers QWK n'ont pas été téléchargé par le même "
                                    "utilisateur.\nContinuer la fusion malgré tout ?");
        }
        if (!c.result) {
            EXPECT_EQ(bytesOf(joinPath(base, "CONTROL.DAT")), before);
        }
        EXPECT_TRUE(ui.allAnswersUsed());
    }
}

TEST_F(ControlMergeTest, MissingControlFileStops) {
    for (const bool integratedMissing : {true, false}) {
        QDir(base).removeRecursively();
        QDir(integrated).removeRecursively();
        QDir().mkpath(base);
        QDir().mkpath(integrated);
        ui.clear();
        baseBuilder.writeTo(base);
        integratedBuilder.writeTo(integrated);
        const QString dir = integratedMissing ? integrated : base;
        QFile::remove(joinPath(dir, "CONTROL.DAT"));
        std::vector<Renumbering> renumbered;
        EXPECT_FALSE(GereControlDat(base, integrated, control, notices, ui, renumbered));
        EXPECT_EQ(ui.messages(), QStringList({"Fichier " + dir + "/CONTROL.DAT introuvable"}));
    }
}

TEST_F(ControlMergeTest, LowerCaseAndLfOnlyControlFileKeepsItsNameAndLineEnds) {
    baseBuilder.quirks.lowerCaseNames = true;
    baseBuilder.quirks.controlLfOnly = true;
    baseBuilder.conference(0, "Principal");
    integratedBuilder.quirks.lowerCaseNames = true;
    integratedBuilder.conference(0, "Principal").conference(3, "Troisieme");
    ASSERT_TRUE(merge());
    EXPECT_EQ(findFiles(base, "*.DAT"), QStringList({"control.dat", "messages.dat"}));
    const QByteArray written = bytesOf(joinPath(base, "control.dat"));
    EXPECT_FALSE(written.contains('\r'));
    EXPECT_TRUE(written.contains("\n3\nTroisieme\n"));
}

TEST_F(ControlMergeTest, NumberLineThatIsNoNumberIsAConversionError) {
    baseBuilder.conference(0, "Principal");
    integratedBuilder.conference(0, "Principal");
    baseBuilder.control.totalMessages = "beaucoup";
    try {
        merge();
        ADD_FAILURE() << "no error";
    } catch (const VelkError& e) {
        EXPECT_EQ(e.message(), "'beaucoup' n'est pas une valeur entière correcte");
    }
}

} // namespace velk
