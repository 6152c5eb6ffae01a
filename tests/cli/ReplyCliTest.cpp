// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FileUtil.h"
#include "reply/ReplyFile.h"
#include "session/Session.h"
#include "tests/support/CliCapture.h"
#include "tests/support/ScriptedUiServices.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace velk {

namespace {

CliRun cli(const QStringList& args) {
    return runCliCaptured(QStringList{QStringLiteral("replies")} + args);
}

class ReplyCliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    Session session;
    ScriptedUiServices ui;
    const QDateTime when{QDate(1995, 12, 31), QTime(23, 59)};

    void SetUp() override {
        session.settings.velkPath = dir.path();
        session.settings.workPath = dir.path();
        session.settings.repPath = dir.path();
        session.packet.control.BbsId = "BOARD";
        ReplyDraft d;
        d.conference = 7;
        d.recipient = "JEAN DUPONT";
        d.author = "PIERRE MARTIN";
        d.subject = "Caf\x82";
        d.lines = {"Premi\x8Are ligne", "", "fin"};
        d.tagBox = {"--- sig", "tag"};
        d.answer = true;
        d.answeredNumber = "123    ";
        ReplyDraft copy = d;
        EXPECT_TRUE(shown(AppendCarbonCopy(session, {"copie"}, "ANNE", copy, when), ui));
        EXPECT_TRUE(shown(AppendReply(session, d, when), ui));
    }
};

} // namespace

TEST_F(ReplyCliTest, ListsAndReadsAReplyFile) {
    const QString msg = ReplyFilePath(session);
    const CliRun list = cli({msg});
    ASSERT_EQ(list.status, 0) << list.err.toStdString();
    const QStringList lines = list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("   0 P     7 12-31-95 23:59 ANNE ")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("   1 -     7 12-31-95 23:59 JEAN DUPONT ")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("PIERRE MARTIN")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("Café")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral(" 123 ")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(" 2")));

    const CliRun read = cli({msg, QStringLiteral("--read"), QStringLiteral("1")});
    ASSERT_EQ(read.status, 0);
    EXPECT_TRUE(read.out.contains(QStringLiteral("Statut : Public\n")));
    EXPECT_TRUE(read.out.contains(QStringLiteral("Sujet : Café\n")));
    EXPECT_TRUE(read.out.endsWith(QStringLiteral("\n\nPremière ligne\n\nfin\n \n--- sig\ntag\n")))
        << read.out.toStdString();
}

TEST_F(ReplyCliTest, ReadsAReplyPacket) {
    const QString rep = dir.filePath(QStringLiteral("BOARD.REP"));
    QProcess zip;
    zip.setStandardInputFile(QProcess::nullDevice());
    zip.start(QStringLiteral("zip"),
              {QStringLiteral("-q"), QStringLiteral("-j"), rep, ReplyFilePath(session)});
    ASSERT_TRUE(zip.waitForFinished());
    ASSERT_EQ(zip.exitCode(), 0);
    const CliRun read = cli({rep, QStringLiteral("--read"), QStringLiteral("0")});
    ASSERT_EQ(read.status, 0) << read.err.toStdString();
    EXPECT_TRUE(read.out.contains(QStringLiteral("Statut : Privé\nConférence : 7\n")));
    EXPECT_TRUE(read.out.endsWith(QStringLiteral("\n\ncopie\n")));
}

TEST_F(ReplyCliTest, BadFilesGiveAFrenchMessage) {
    writeFileAtomically(dir.filePath(QStringLiteral("SHORT.MSG")), "BOARD");
    writeFileAtomically(dir.filePath(QStringLiteral("JUNK.REP")), "not a zip");
    const struct {
        QStringList args;
        QString message;
    } cases[] = {
        {{dir.filePath(QStringLiteral("ABSENT.MSG"))}, QStringLiteral("Fichier introuvable")},
        {{dir.filePath(QStringLiteral("SHORT.MSG"))}, QStringLiteral("ne contient aucun message")},
        {{dir.filePath(QStringLiteral("JUNK.REP"))},
         QStringLiteral("Problème lors du décompactage")},
        {{ReplyFilePath(session), QStringLiteral("--read"), QStringLiteral("5")},
         QStringLiteral("pas de message 5")},
    };
    for (const auto& c : cases) {
        const CliRun r = cli(c.args);
        EXPECT_NE(r.status, 0);
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

} // namespace velk
