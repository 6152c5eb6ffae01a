// SPDX-License-Identifier: GPL-2.0-or-later
// Read marks kept per board by velk-cli: across packets of one board, apart for another, and
// whole when velk-cli is killed while it writes them.
#include "board/BoardMarks.h"
#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/CliCapture.h"
#include "tests/support/Reported.h"
#include "tests/support/ZipWriter.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <thread>

namespace velk {

namespace {

// Yesterday's packet of board ALPHA, laid out by hand: messages 3 and 4 of conference 0,
// no index file.
QByteArray handLaidMessages() {
    QByteArray dat(128, ' ');
    for (const char* number : {"3", "4"}) {
        QByteArray h(128, ' ');
        h.replace(0, 1, " ").replace(1, int(strlen(number)), number);
        h.replace(8, 13, "02-06-9609:15").replace(21, 4, "TOUS").replace(46, 4, "ANNE");
        h.replace(71, 5, "Salut").replace(116, 1, "2");
        h[122] = char(0xE1);
        h[123] = h[124] = h[125] = h[126] = 0;
        dat += h + QByteArray("Bonjour\xE3").leftJustified(128, ' ');
    }
    return dat;
}

class ReadMarksCli : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString program, alpha1, alpha2, beta;

    void SetUp() override {
        program = joinPath(dir.path(), "VELK");
        QDir().mkpath(program);
        alpha1 = joinPath(dir.path(), "ALPHA.QWK");
        alpha2 = joinPath(dir.path(), "ALPHA.QW1");
        beta = joinPath(dir.path(), "BETA.QWK");
        PacketBuilder b;
        b.control.bbsId = "ALPHA";
        b.conference(0, "Principal");
        for (const char* n : {"1", "2", "3"})
            b.add(0, "Salut", "Bonjour\n").number = n;
        b.zipTo(alpha1);
        b.control.bbsId = "BETA";
        b.zipTo(beta);
        ZipWriter z;
        z.add("CONTROL.DAT", "Alpha\r\nParis\r\n01\r\nSYSOP\r\n0,ALPHA\r\n02-06-1996,09:15:00\r\n"
                             "JEAN DUPONT\r\n\r\n0\r\n2\r\n0\r\n0\r\nPrincipal\r\n");
        z.add("MESSAGES.DAT", handLaidMessages());
        z.writeTo(alpha2);
    }
    CliRun cli(QStringList args) { return runCliCaptured(args << "--repertoire" << program); }
    QStringList marks(const QString& packet) {
        QStringList out;
        for (const QString& line :
             cli({"list", packet, "--etat"}).out.split('\n', Qt::SkipEmptyParts))
            out << line.section('\t', 1, 1) + " " + line.section('\t', -1);
        return out;
    }
};

} // namespace

TEST_F(ReadMarksCli, MarksFollowTheBoardFromPacketToPacketAndNoOther) {
    EXPECT_EQ(cli({"marquer", alpha1, "0", "2", "lu"}).status, 0);
    EXPECT_EQ(cli({"marquer", alpha1, "0", "3", "suivi"}).status, 0);
    const QByteArray file = readWholeFile(readMarksPath(program, "ALPHA"));
    EXPECT_EQ(marks(alpha1), QStringList({"1 non-lu", "2 lu", "3 suivi"}));
    EXPECT_EQ(marks(alpha2), QStringList({"3 suivi", "4 non-lu"}));
    EXPECT_EQ(marks(beta), QStringList({"1 non-lu", "2 non-lu", "3 non-lu"}));
    // Listing never writes; a mark taken off is forgotten.
    EXPECT_EQ(readWholeFile(readMarksPath(program, "ALPHA")), file);
    EXPECT_FALSE(QFile::exists(readMarksPath(program, "BETA")));
    EXPECT_EQ(cli({"marquer", alpha2, "0", "3", "non-lu"}).status, 0);
    EXPECT_EQ(marks(alpha1), QStringList({"1 non-lu", "2 lu", "3 non-lu"}));

    const CliRun missing = cli({"marquer", alpha2, "0", "9", "lu"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Il n'y a pas de message 9 dans la conférence 0.\n");
    EXPECT_EQ(cli({"marquer", alpha2, "0", "3", "vu"}).status, 2);
}

TEST_F(ReadMarksCli, KilledWhileWritingTheMarksLeavesAFileThatLoads) {
    // A board of many marks, so that the write takes long enough to be caught in the middle.
    Session s;
    s.startDirectory = program;
    s.packet.control.BbsId = "ALPHA";
    HeadlessUiServices quiet;
    for (std::uint32_t i = 0; i < 400000; ++i)
        REPORTED_TO(quiet, boardMarks(s, said)).setMark({7, i}, ReadMark::Read);
    saveBoardMarks(s);
    std::mt19937 random(24);
    int killed = 0;
    for (int round = 0; round < 16; ++round) {
        QProcess p;
        p.start(QStringLiteral(VELK_BINARY_DIR "/velk-cli"),
                {"marquer", alpha1, "0", QString::number(1 + round % 3), round % 2 ? "lu" : "suivi",
                 "--repertoire", program});
        ASSERT_TRUE(p.waitForStarted());
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 150));
        if (p.state() == QProcess::Running) {
            ::kill(pid_t(p.processId()), SIGKILL);
            ++killed;
        }
        ASSERT_TRUE(p.waitForFinished());
        const auto decoded = ReadMarks::decode(readWholeFile(readMarksPath(program, "ALPHA")), "");
        ASSERT_EQ(decoded.problem, MarksFileProblem::None) << "round " << round;
        EXPECT_GE(decoded.marks.remembered(), 400000u);
    }
    EXPECT_GT(killed, 4);
}

} // namespace velk
