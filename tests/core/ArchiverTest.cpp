// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Archiver.h"

#include "core/FileUtil.h"
#include "packet/PacketBuilder.h"
#include "tests/support/Terminal.h"
#include "tests/support/ZipWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <sys/resource.h>

namespace velk {

namespace {

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

// A packet with a password, as the zip program makes it.
QString encryptedPacket(const QString& dir) {
    PacketBuilder b;
    b.conference(0, "Principal");
    b.writeTo(dir);
    QString packet = joinPath(dir, "SECRET.QWK");
    QProcess zip;
    zip.start("zip", {"-q", "-j", "-P", "motdepasse", packet, joinPath(dir, "CONTROL.DAT")});
    EXPECT_TRUE(zip.waitForFinished() && zip.exitCode() == 0);
    return packet;
}

// Restores a variable of the environment when it goes.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnvironment() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const QString& dir) : old_(QDir::currentPath()) {
        QDir::setCurrent(dir);
    }
    ~ScopedCurrentDirectory() { QDir::setCurrent(old_); }

private:
    QString old_;
};

} // namespace

// Started from a terminal, unzip asks for the password of an encrypted member on that
// terminal and waits. The runner's children have none: the question fails at once.
TEST(ArchiverOnTerminal, NoChildReachesTheTerminal) {
    if (qEnvironmentVariableIsSet("VELK_ON_TERMINAL")) {
        // The side that runs on the terminal.
        const QString packet = qEnvironmentVariable("VELK_ON_TERMINAL");
        const QString out = qEnvironmentVariable("VELK_OUT");
        const RunStatus unzip = runProgram("unzip", {packet, "-d", out});
        EXPECT_TRUE(unzip.started());
        EXPECT_NE(unzip.code, 0);
        EXPECT_NE(RunAndWait("sh", {"-c", "exec 3</dev/tty"}), 0);
        return;
    }
    QTemporaryDir dir;
    const QString packet = encryptedPacket(dir.path());
    const QString out = joinPath(dir.path(), "out");
    QDir().mkpath(out);

    // The hang this guards against, as a user at a terminal meets it.
    const TerminalRun plain =
        runOnTerminal("/usr/bin/unzip", {packet, "-d", out}, {}, std::chrono::seconds(5));
    EXPECT_FALSE(plain.finished);
    EXPECT_TRUE(plain.output.contains("password")) << plain.output.toStdString();

    const TerminalRun guarded =
        runOnTerminal(QCoreApplication::applicationFilePath(),
                      {"--gtest_filter=ArchiverOnTerminal.NoChildReachesTheTerminal"},
                      {"VELK_ON_TERMINAL=" + packet, "VELK_OUT=" + out}, std::chrono::seconds(120));
    ASSERT_TRUE(guarded.finished) << guarded.output.toStdString();
    EXPECT_EQ(guarded.exitCode, 0) << guarded.output.toStdString();
    EXPECT_FALSE(guarded.output.contains("password:")) << guarded.output.toStdString();
}

TEST(Archiver, RunStatusTellsWhyAChildDidNotRun) {
    QTemporaryDir dir;
    const QString notAProgram = joinPath(dir.path(), "pas-un-programme");
    writeFileAtomically(notAProgram, QByteArray("\x01\x02\x03\x04", 4));
    QFile::setPermissions(notAProgram, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    struct Case {
        QString program;
        RunStatus::Outcome outcome;
        int code;
    };
    const Case cases[] = {
        {"velk-no-such-program", RunStatus::Outcome::NotFound, 2},
        {notAProgram, RunStatus::Outcome::NotStarted, 5},
        {"true", RunStatus::Outcome::Exited, 0},
    };
    for (const Case& c : cases) {
        const RunStatus r = runProgram(c.program, {});
        EXPECT_EQ(r.outcome, c.outcome) << c.program.toStdString();
        EXPECT_EQ(r.code, c.code) << c.program.toStdString();
    }
}

TEST(Archiver, HostileArchivesAreRefusedBeforeAnythingIsUnpacked) {
    PacketBuilder b;
    b.conference(0, "Principal");
    const auto packet = [&](ZipWriter& z) { z.addAll(b.files()); };
    const QString links = "\" contient des liens ou des fichiers spéciaux.\nIl est refusé.";
    const QString directories =
        "\" contient des répertoires ou des fichiers rangés dans un répertoire.\nIl est refusé.";
    const QString password = "\" est protégé par un mot de passe.\nIl ne peut pas être décompacté.";
    struct Case {
        const char* what;
        std::function<void(ZipWriter&)> make;
        QString prefix; // "Le fichier \"" or "Le paquet \""
        QString end;
    };
    const Case cases[] = {
        {"link",
         [&](ZipWriter& z) {
             packet(z);
             z.add("LIEN", "/etc").mode = 0120777;
         },
         "Le fichier \"", links},
        {"pipe",
         [&](ZipWriter& z) {
             packet(z);
             z.add("TUBE").mode = 010600;
         },
         "Le fichier \"", links},
        {"directory member",
         [&](ZipWriter& z) {
             packet(z);
             z.add("CONTROL.DAT/").mode = 040755;
         },
         "Le fichier \"", directories},
        {"member with a path",
         [&](ZipWriter& z) {
             packet(z);
             z.add("SOUS/A.TXT", "a");
         },
         "Le fichier \"", directories},
        {"parent",
         [&](ZipWriter& z) {
             packet(z);
             z.add("../EVASION.TXT", "a");
         },
         "Le fichier \"", directories},
        {"absolute",
         [&](ZipWriter& z) {
             packet(z);
             z.add("/tmp/EVASION.TXT", "a");
         },
         "Le fichier \"", directories},
        {"backslash",
         [&](ZipWriter& z) {
             packet(z);
             z.add("..\\EVASION.TXT", "a");
         },
         "Le fichier \"", directories},
        {"dot dot alone",
         [&](ZipWriter& z) {
             packet(z);
             z.add("..", "a");
         },
         "Le fichier \"", directories},
        {"encrypted",
         [&](ZipWriter& z) {
             packet(z);
             z.add("A.TXT", "a").flags = 1;
         },
         "Le paquet \"", password},
    };
    QTemporaryDir dir;
    const QString archive = joinPath(dir.path(), "HOSTILE.QWK");
    const QString out = joinPath(dir.path(), "out");
    QDir().mkpath(out);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZipWriter z;
        c.make(z);
        z.writeTo(archive);
        const UnpackResult r = unpackArchive(archive, out);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.refusal, c.prefix + archive + c.end);
        EXPECT_EQ(unpackFailureMessages(archive, r), QStringList{r.refusal});
        EXPECT_TRUE(entries(out).isEmpty()) << entries(out).join(' ').toStdString();
    }
    EXPECT_EQ(entries(dir.path()), (QStringList{"HOSTILE.QWK", "out"}));
}

TEST(Archiver, MembersLargerThanTheFreeSpaceAreNotUnpacked) {
    QTemporaryDir dir;
    const QString archive = joinPath(dir.path(), "BOMBE.QWK");
    const std::uint64_t free = freeSpace(dir.path()).value_or(0);
    ASSERT_GT(free, 0u);
    ZipWriter z;
    z.add("CONTROL.DAT", "x").declaredSize = free;
    z.add("MESSAGES.DAT", "y").declaredSize = 1;
    z.writeTo(archive);
    const UnpackResult r = unpackArchive(archive, dir.path());
    EXPECT_TRUE(r.refusal.startsWith("Le fichier \"" + archive + "\" occupe " +
                                     QString::number(free + 1) +
                                     " octets une fois décompacté, mais il ne reste que "))
        << r.refusal.toStdString();
    EXPECT_TRUE(r.refusal.endsWith(" octets libres pour le répertoire \"" + dir.path() +
                                   "\".\nIl n'a pas été décompacté."));
    EXPECT_EQ(entries(dir.path()), QStringList{"BOMBE.QWK"});
}

TEST(Archiver, FailuresNameTheirCause) {
    QTemporaryDir dir;
    const QString out = joinPath(dir.path(), "out");
    QDir().mkpath(out);
    const QString absent = joinPath(dir.path(), "ABSENT.QWK");
    const QString text = joinPath(dir.path(), "TEXTE.QWK");
    writeFileAtomically(text, "pas une archive");
    const QString cut = joinPath(dir.path(), "COUPE.QWK");
    ZipWriter twoMembers;
    twoMembers.add("A.TXT", "abc");
    twoMembers.add("B.TXT", "def");
    QByteArray cutBytes = twoMembers.bytes();
    writeFileAtomically(cut, cutBytes.left(60) + cutBytes.right(22));
    const QString badCrc = joinPath(dir.path(), "CRC.QWK");
    QByteArray crcBytes = twoMembers.bytes();
    crcBytes[30 + 5] = 'X'; // in the data of A.TXT
    writeFileAtomically(badCrc, crcBytes);
    const QString good = joinPath(dir.path(), "BON.QWK");
    twoMembers.writeTo(good);
    QTemporaryDir emptyPath;

    struct Case {
        QString archive;
        bool withoutUnzip;
        QString second;
    };
    const Case cases[] = {
        {absent, false, "Statut = 2\nCause : le fichier est introuvable"},
        {text, false, "Statut = 9\nCause : l'archive est endommagée"},
        {cut, false, "Statut = 3\nCause : l'archive est endommagée"},
        {badCrc, false, "Statut = 2\nCause : l'archive est endommagée"},
        {good, true, "Statut = 2\nCause : le décompacteur (unzip) ne peut pas être lancé"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive.toStdString());
        std::optional<ScopedEnvironment> path;
        if (c.withoutUnzip)
            path.emplace("PATH", emptyPath.path().toLocal8Bit());
        const UnpackResult r = unpackArchive(c.archive, out);
        EXPECT_EQ(unpackFailureMessages(c.archive, r),
                  (QStringList{"Problème lors du décompactage du fichier :\"" + c.archive + "\" .",
                               c.second}));
        QDir(out).removeRecursively();
        QDir().mkpath(out);
    }
}

TEST(Archiver, FileNamesStartingWithADashAreNeverOptions) {
    QTemporaryDir dir;
    const ScopedCurrentDirectory here(dir.path());
    writeFileAtomically(joinPath(dir.path(), "-m.MSG"), "réponse");
    ASSERT_EQ(packFiles("-d.QWK", {"-m.MSG"}), 0);
    ASSERT_TRUE(QFile::copy("-d.QWK", "--help.QWK"));
    for (const QString& name : {QString("-d.QWK"), QString("--help.QWK")}) {
        QDir(dir.path()).mkpath("out");
        const UnpackResult r = unpackArchive(name, "out");
        EXPECT_TRUE(r.ok()) << name.toStdString() << " " << r.status;
        EXPECT_EQ(readWholeFile(joinPath(dir.path(), "out/-m.MSG")), "réponse");
        QDir(joinPath(dir.path(), "out")).removeRecursively();
    }
}

TEST(Archiver, PatternCharactersInNamesAreLetters) {
    QTemporaryDir dir;
    const auto zipOf = [&](const QString& name, const QByteArray& member) {
        ZipWriter z;
        z.add(member, member);
        z.writeTo(joinPath(dir.path(), name));
    };
    // unzip would read "[x].QWK" as a pattern matching "x.QWK".
    zipOf("x.QWK", "AUTRE.TXT");
    zipOf("[x].QWK", "BON.TXT");
    zipOf("a*b.QWK", "ETOILE.TXT");
    const QString out = joinPath(dir.path(), "out");
    QDir().mkpath(out);
    ASSERT_TRUE(unpackArchive(joinPath(dir.path(), "[x].QWK"), out).ok());
    ASSERT_TRUE(unpackArchive(joinPath(dir.path(), "a*b.QWK"), out).ok());
    EXPECT_EQ(entries(out), (QStringList{"BON.TXT", "ETOILE.TXT"}));

    // zip would add "AB.MSG" for a missing "A?.MSG".
    writeFileAtomically(joinPath(dir.path(), "AB.MSG"), "b");
    const QString rep = joinPath(dir.path(), "R.REP");
    EXPECT_NE(packFiles(rep, {joinPath(dir.path(), "A?.MSG")}), 0);
    EXPECT_FALSE(QFile::exists(rep));
}

TEST(Archiver, ZipKilledWhileWritingLeavesNoTemporaryFile) {
    QTemporaryDir dir;
    const QString big = joinPath(dir.path(), "GROS.MSG");
    QByteArray noise(3 << 20, '\0');
    std::uint32_t x = 2463534242u;
    for (char& c : noise) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    writeFileAtomically(big, noise);
    const QString rep = joinPath(dir.path(), "REP");
    QDir().mkpath(rep);
    writeFileAtomically(joinPath(rep, "ziGARDE1"), "pas à zip"); // not zip's: stays

    // A file-size limit kills zip in the middle of its work file, as a full disk stops it.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit low = old;
    low.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &low), 0);
    const int status = packFiles(joinPath(rep, "VELKTEST.REP"), {big});
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_NE(status, 0);
    EXPECT_EQ(entries(rep), QStringList{"ziGARDE1"});
}

// over() sees unzip's end without collecting it: finish() still has the status and files.
TEST(Archiver, AnUnpackingOverKeepsItsResult) {
    QTemporaryDir dir;
    PacketBuilder().zipTo(dir.filePath("BON.QWK"));
    UnpackJob job(dir.filePath("BON.QWK"), dir.path());
    while (!job.over()) {
    }
    EXPECT_TRUE(job.finish().ok() && QFile::exists(dir.filePath("CONTROL.DAT")));
}

// MESSAGES.DAT unpacked by an unzip of its own: each part answers for its own files, a failed
// rest takes MESSAGES.DAT with it, and one that nobody waited for leaves nothing behind.
TEST(Archiver, MessagesUnpackedApartAnswerForThemselves) {
    PacketBuilder b;
    b.conference(0, "Principal").add(0, "Salut", "Bonjour\n");
    ZipWriter z;
    z.addAll(b.files());
    const QByteArray control = b.controlFile(), messages = b.messagesFile();
    const struct {
        const QByteArray* damaged;
        bool waited, restOk, messagesOk;
    } cases[] = {{nullptr, true, true, true},
                 {nullptr, false, true, false},
                 {&messages, true, true, false},
                 {&control, true, false, false}};
    for (const auto& c : cases) {
        QTemporaryDir dir, work;
        QByteArray zip = z.bytes();
        if (c.damaged)
            zip[zip.indexOf(*c.damaged) + 1] ^= 1;
        writeFileAtomically(dir.filePath("APART.QWK"), zip);
        {
            UnpackJob job(dir.filePath("APART.QWK"), work.path(), 0);
            job.startApart();
            EXPECT_EQ(job.finish().ok(), c.restOk);
            EXPECT_TRUE(!c.waited || job.finishApart().ok() == c.messagesOk);
        }
        const QStringList left = entries(work.path());
        EXPECT_EQ(left.size(), c.restOk ? b.files().size() - !c.messagesOk : 0);
        EXPECT_EQ(left.contains("MESSAGES.DAT"), c.messagesOk);
    }
    // Smaller than asked, or spelt twice: one unzip for everything.
    QTemporaryDir dir;
    z.add("messages.dat", "autre");
    z.writeTo(dir.filePath("DEUX.QWK"));
    PacketBuilder().zipTo(dir.filePath("PETIT.QWK"));
    EXPECT_FALSE(UnpackJob(dir.filePath("PETIT.QWK"), dir.path(), 1 << 20).unpacksApart());
    EXPECT_FALSE(UnpackJob(dir.filePath("DEUX.QWK"), dir.path(), 0).unpacksApart());
}

} // namespace velk
