// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Archiver.h"
#include "core/FileUtil.h"
#include "packet/PacketBuilder.h"
#include "reply/Editor.h"
#include "reply/EditorText.h"
#include "reply/ReplyFile.h"
#include "session/Session.h"
#include "tests/support/CliCapture.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ScriptedUiServices.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>

namespace velk {

namespace {

CliRun write(const QStringList& args, const std::string& text) {
    return runCliCaptured(QStringList{QStringLiteral("write")} + args, text);
}

const std::string kText = "Bonjour à tous,\r\n\r\nUn message écrit par un script, assez long "
                          "pour que la largeur de ligne de l'éditeur le coupe en deux.\n";

class WriteCliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString rep;
    QString packet() const { return joinPath(rep, QStringLiteral("VELKBBS.REP")); }
    QStringList base() const {
        return {"--rep", rep,           "--bbs",     "velkbbs", "--conference", "7",
                "--to",  "Jean Dupont", "--subject", "Essai",   "--from",       "PIERRE MARTIN"};
    }
    // The reply file inside the reply packet.
    QByteArray replyFile() {
        QTemporaryDir out;
        EXPECT_TRUE(unpackArchive(packet(), out.path()).ok());
        return readWholeFile(joinPath(out.path(), QStringLiteral("VELKBBS.MSG")));
    }

    void SetUp() override {
        rep = joinPath(dir.path(), QStringLiteral("REP"));
        QDir().mkpath(rep);
    }
};

// Date and time of every header, which the two writers take from their own clock.
QByteArray withoutClock(QByteArray file) {
    for (qsizetype header = 128; header + 128 <= file.size();) {
        file.replace(header + 8, 13, QByteArray(13, '#'));
        const int blocks = file.mid(header + 116, 6).trimmed().toInt();
        header += 128 * std::max(blocks, 1);
    }
    return file;
}

TEST_F(WriteCliTest, TheReplyPacketHoldsWhatTheEditorWouldWrite) {
    ASSERT_EQ(write(base(), kText).status, 0);

    // The same message sent from the editor.
    QTemporaryDir work;
    Session s;
    ScriptedUiServices ui;
    s.settings.workPath = s.settings.velkPath = s.settings.repPath = work.path();
    s.packet.control.BbsId = "VELKBBS";
    s.packet.control.UserName = "PIERRE MARTIN";
    s.packet.control.Conferences = {{0, "Principale"}, {7, "Sept"}};
    WritingState w;
    EditorDocument d;
    d.conference = 1;
    d.author = "PIERRE MARTIN";
    d.recipient = "Jean Dupont";
    d.subject = "Essai";
    d.lines = WrapLines({"Bonjour \x85 tous,", "",
                         "Un message \x82"
                         "crit par un script, assez long pour que la largeur de ligne de "
                         "l'\x82"
                         "diteur le coupe en deux."},
                        78);
    ASSERT_TRUE(SendEditorMessage(s, w, ui, d, QDateTime::currentDateTime()));
    EXPECT_EQ(withoutClock(replyFile()), withoutClock(readWholeFile(ReplyFilePath(s))));

    // A second message, an answer, goes after the first.
    ASSERT_EQ(write(base() + QStringList{"--reference", "42", "--private"}, "Suite\n").status, 0);
    std::ostringstream out, err;
    ASSERT_EQ(runCli({"replies", packet()}, out, err), 0);
    const QStringList rows = QString::fromStdString(out.str()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[2].contains(QStringLiteral("JEAN DUPONT")));
    EXPECT_TRUE(rows[2].contains(QStringLiteral(" 42 ")));
    EXPECT_TRUE(rows[2].contains(QStringLiteral(" P ")));
}

TEST_F(WriteCliTest, TheRecipientTakesAccentedCapitals) { // È, Ô: best fit; µ: no capital
    ASSERT_EQ(write(base() + QStringList{"--to", "Hélène Côté µ"}, kText).status, 0);
    EXPECT_EQ(replyFile().mid(149, 25).trimmed(), "H\x90LENE COT\x90 \xE6");
}

TEST_F(WriteCliTest, RefusalsLeaveTheReplyPacketAsItWas) {
    ASSERT_EQ(write(base(), kText).status, 0);
    const QByteArray before = readWholeFile(packet());

    const QString qwk = joinPath(dir.path(), QStringLiteral("VELKBBS.QWK"));
    PacketBuilder b;
    b.control.bbsId = "VELKBBS";
    b.conference(0, "Principale").conference(7, "Sept");
    b.zipTo(qwk);

    struct Case {
        const char* what;
        QStringList args;
        std::string text;
        QString told;
    };
    const Case cases[] = {
        {"texte vide", base(), " \n\n", "Le texte du message est vide"},
        {"texte de blancs", base(), " \t\n\t \n", "Le texte du message est vide"},
        {"conférence absente du paquet",
         {"--rep", rep, "--bbs", "VELKBBS", "--conference", "9", "--to", "X", "--subject", "S",
          "--paquet", qwk},
         kText,
         "Il n'y a pas de conférence 9 dans ce paquet."},
        {"sans nom",
         {"--rep", rep, "--bbs", "VELKBBS", "--conference", "7", "--to", "X", "--subject", "S"},
         kText,
         "--from NOM"},
        {"répertoire absent", QStringList(base()).replaceInStrings(rep, rep + "/ABSENT"), kText,
         "n'existe pas"},
        {"identifiant incorrect", QStringList(base()).replaceInStrings("velkbbs", "A/B"), kText,
         "BBS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun r = write(c.args, c.text);
        EXPECT_NE(r.status, 0);
        EXPECT_TRUE(r.err.contains(c.told)) << r.err.toStdString();
        EXPECT_EQ(readWholeFile(packet()), before);
    }

    // The disk full while the reply file grows.
    {
        const FileSizeLimit full(1000);
        const CliRun r = write(base(), std::string(1500, 'x') + "\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Problème lors de l'écriture")))
            << r.err.toStdString();
    }
    // zip that cannot run: the new reply file never reaches the packet.
    {
        const QString bin = joinPath(dir.path(), QStringLiteral("bin"));
        QDir().mkpath(bin);
        QFile::link(QStandardPaths::findExecutable(QStringLiteral("unzip")),
                    joinPath(bin, QStringLiteral("unzip")));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit());
        const CliRun r = write(base(), kText);
        qputenv("PATH", path);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("compactage"))) << r.err.toStdString();
    }
    EXPECT_EQ(readWholeFile(packet()), before);
    EXPECT_EQ(QDir(rep).entryList(QDir::Files), QStringList{"VELKBBS.REP"});

    // With the packet, the name is the user's own from it.
    ASSERT_EQ(write({"--rep", rep, "--bbs", "VELKBBS", "--conference", "7", "--to", "X",
                     "--subject", "S", "--paquet", qwk},
                    kText)
                  .status,
              0);
}

// A pipe in place of the reply packet, or of the packet given: told, never waited on.
TEST_F(WriteCliTest, PipesAreToldNotAwaited) {
    const QString qwk = joinPath(dir.path(), QStringLiteral("P.QWK"));
    for (const QString& pipe : {packet(), qwk})
        ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    for (const QStringList& args : {base(), base() + QStringList{"--paquet", qwk}}) {
        const CliRun r = write(args, kText);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains("est un tube, pas un fichier ordinaire")) << r.err.toStdString();
    }
}

} // namespace

} // namespace velk
