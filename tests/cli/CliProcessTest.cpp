// SPDX-License-Identifier: GPL-2.0-or-later
// velk-cli as a user starts it: from a terminal, with odd file names, stopped by a signal.
#include "core/FileUtil.h"
#include "packet/PacketBuilder.h"
#include "tests/support/Terminal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

namespace velk {

namespace {

const QString kCli = QStringLiteral(VELK_BINARY_DIR "/velk-cli");

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                               QDir::System);
}

bool processEnded(qint64 pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const auto close = line.rfind(')');
    return close != std::string::npos && line.find(" Z ", close) == close + 1;
}

template <typename F> bool waitFor(F&& condition, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class VelkCliProcess : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString tmp;
    PacketBuilder b;

    void SetUp() override {
        tmp = joinPath(dir.path(), "TMP");
        QDir().mkpath(tmp);
        b.conference(0, "Principal");
        b.add(0, "Salut", "Bonjour\n");
    }
};

} // namespace

// A user at a terminal: an encrypted packet is told at once, never waited on.
TEST_F(VelkCliProcess, EncryptedPacketFromATerminalIsToldNotAwaited) {
    b.writeTo(dir.path());
    const QString secret = joinPath(dir.path(), "SECRET.QWK");
    QProcess zip;
    zip.start("zip", {"-q", "-j", "-P", "motdepasse", secret, joinPath(dir.path(), "CONTROL.DAT"),
                      joinPath(dir.path(), "MESSAGES.DAT")});
    ASSERT_TRUE(zip.waitForFinished() && zip.exitCode() == 0);
    const QString base = joinPath(dir.path(), "BASE.QWK");
    b.zipTo(base);
    const QString secretRep = joinPath(dir.path(), "SECRET.REP");
    QFile::copy(secret, secretRep);

    for (const QStringList& args :
         {QStringList{"info", secret}, QStringList{"merge", base, secret, "--yes"},
          QStringList{"replies", secretRep}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const TerminalRun run = runOnTerminal(
            kCli, args, {"QT_QPA_PLATFORM=offscreen", "TMPDIR=" + tmp}, std::chrono::seconds(60));
        ASSERT_TRUE(run.finished) << run.output.toStdString();
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(QString::fromUtf8(run.output).contains("est protégé par un mot de passe"))
            << run.output.toStdString();
        EXPECT_TRUE(entries(tmp).isEmpty());
    }
}

TEST_F(VelkCliProcess, FileNamesAreNeverOptions) {
    const QString packet = joinPath(dir.path(), "P.QWK");
    b.zipTo(packet);
    // "-reverse" was one of Qt's own options.
    for (const QString& name : {QString("-d.QWK"), QString("--help.QWK"), QString("-reverse")}) {
        ASSERT_TRUE(QFile::copy(packet, joinPath(dir.path(), name)));
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(kCli, {"info", name});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << name.toStdString() << p.readAllStandardError().toStdString();
        EXPECT_TRUE(p.readAllStandardOutput().contains("Board ID : VELKTEST"))
            << name.toStdString();
    }
}

// Stopped while unzip fills its temporary directory: the unpacker is killed and the
// directory goes.
TEST_F(VelkCliProcess, SignalRemovesItsTemporaryDirectory) {
    const QString packet = joinPath(dir.path(), "P.QWK");
    b.zipTo(packet);
    // An unpacker that writes, then takes its time.
    const QString bin = joinPath(dir.path(), "bin");
    QDir().mkpath(bin);
    const QString fake = joinPath(bin, "unzip");
    writeFileAtomically(fake, "#!/bin/sh\n"
                              "head -c 100 /dev/zero > \"$3/GROS.DAT\"\n"
                              "echo $$ > \"$VELK_FAKE_PID\"\n"
                              "exec sleep 120\n");
    QFile::setPermissions(fake, QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const QString pidFile = joinPath(dir.path(), "unzip.pid");
        QFile::remove(pidFile);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", bin + ":" + env.value("PATH"));
        env.insert("TMPDIR", tmp);
        env.insert("VELK_FAKE_PID", pidFile);
        p.setProcessEnvironment(env);
        // As from a terminal, whatever this test inherited.
        p.setChildProcessModifier([] {
            ::signal(SIGINT, SIG_DFL);
            ::signal(SIGTERM, SIG_DFL);
        });
        p.start(kCli, {"info", packet});
        ASSERT_TRUE(waitFor([&] { return QFile::exists(pidFile) && QFile(pidFile).size() > 0; },
                            std::chrono::seconds(60)));
        const qint64 unzipPid = readWholeFile(pidFile).trimmed().toLongLong();
        EXPECT_FALSE(entries(tmp).isEmpty());
        ::kill(pid_t(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 128 + signal);
        EXPECT_TRUE(entries(tmp).isEmpty()) << entries(tmp).join(' ').toStdString();
        EXPECT_TRUE(waitFor([&] { return processEnded(unzipPid); }, std::chrono::seconds(10)));
    }
}

// Killed outright while an archiver works, velk-cli leaves the user's files as they were and
// nothing of zip's in the reply directory; the next run removes what it left of its own.
TEST_F(VelkCliProcess, KilledRunsLeaveNothingTheNextRunKeeps) {
    const QString packet = joinPath(dir.path(), "P.QWK");
    b.zipTo(packet);
    const QString rep = joinPath(dir.path(), "REP");
    QDir().mkpath(rep);
    const QStringList write = {"write",        "--rep",  rep,    "--bbs", "VELKTEST",
                               "--conference", "0",      "--to", "ALL",   "--subject",
                               "Essai",        "--from", "JEAN"};
    const QString base = joinPath(dir.path(), "BASE.QWK");
    struct Case {
        QString program; // the archiver that writes, then hangs
        QStringList args, next;
    };
    const Case cases[] = {
        {"unzip", {"info", packet}, {"info", packet}},
        {"zip", write, write},
        {"zip", {"merge", base, packet, "--yes"}, {"info", packet}},
        {"unzip", {"export", packet, "--json", joinPath(dir.path(), "E.json")}, {"info", packet}}};
    const QString bin = joinPath(dir.path(), "bin");
    QDir().mkpath(bin);
    const QString pidFile = joinPath(dir.path(), "fake.pid");
    const auto start = [&](QProcess& p, const QStringList& args, bool fake) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", (fake ? bin + ":" : QString()) + env.value("PATH"));
        env.insert("TMPDIR", tmp);
        env.insert("VELK_FAKE_PID", pidFile);
        p.setProcessEnvironment(env);
        p.start(kCli, args);
        p.waitForStarted();
        p.write("Bonjour\n");
        p.waitForBytesWritten();
        p.closeWriteChannel();
    };
    QProcess first; // the reply packet a killed write must leave whole
    start(first, write, false);
    ASSERT_TRUE(first.waitForFinished(60000) && first.exitCode() == 0);
    QByteArray repBytes = readWholeFile(joinPath(rep, "VELKTEST.REP"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        b.zipTo(base);
        const QByteArray baseBytes = readWholeFile(base);
        QFile::remove(joinPath(bin, "zip"));
        QFile::remove(joinPath(bin, "unzip"));
        // Where each archiver writes: unzip ARCHIVE -d DIR, zip -j -nw -b DIR ...
        writeFileAtomically(joinPath(bin, c.program),
                            "#!/bin/sh\nhead -c 100 /dev/zero > \"$" +
                                QByteArray(c.program == "zip" ? "4/ziPARTIE" : "3/GROS.DAT") +
                                "\"\necho $$ > \"$VELK_FAKE_PID\"\nexec sleep 120\n");
        QFile::setPermissions(joinPath(bin, c.program),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QFile::remove(pidFile);
        QProcess killed;
        start(killed, c.args, true);
        ASSERT_TRUE(
            waitFor([&] { return QFileInfo(pidFile).size() > 0; }, std::chrono::seconds(60)));
        ::kill(pid_t(killed.processId()), SIGKILL);
        ASSERT_TRUE(killed.waitForFinished(30000));
        EXPECT_TRUE(entries(rep).filter(QRegularExpression("^zi")).isEmpty());
        EXPECT_EQ(readWholeFile(base), baseBytes);
        EXPECT_EQ(readWholeFile(joinPath(rep, "VELKTEST.REP")), repBytes);
        QProcess next;
        start(next, c.next, false);
        ASSERT_TRUE(next.waitForFinished(60000));
        EXPECT_EQ(next.exitCode(), 0) << next.readAllStandardError().toStdString();
        EXPECT_TRUE(entries(tmp).isEmpty()) << entries(tmp).join(' ').toStdString();
        EXPECT_EQ(entries(rep), QStringList{"VELKTEST.REP"});
        const QByteArray now = readWholeFile(joinPath(rep, "VELKTEST.REP"));
        EXPECT_EQ(now != repBytes, c.next == write);
        repBytes = now;
    }
}

} // namespace velk
