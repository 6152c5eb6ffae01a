// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/PacketOpening.h"

#include "core/Archiver.h"
#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "core/WorkDirectory.h"
#include "packet/ControlFile.h"
#include "packet/PacketBuilder.h"
#include "reply/ReplyFile.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/ZipWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace velk {

namespace {

class OpeningTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session s;
    ScriptedUiServices ui;
    PacketBuilder builder;
    QString packet;

    QString dir(const QString& name) const { return dirs.dir(name); }

    void SetUp() override {
        dirs.configure(s);
        builder.conference(0, "Principal");
        builder.add(0, "Salut", "Bonjour\n").personal = true;
        packet = joinPath(dir("QWK"), "VELKTEST.QWK");
    }
    QStringList work() const {
        return QDir(dir("WORK"))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    }
    void write(const QString& path, const QByteArray& data) { writeFileAtomically(path, data); }
    // A reply packet holding a reply file of two blocks.
    void makeReplyPacket(qint64 ageSeconds) {
        QTemporaryDir tmp;
        const QString msg = joinPath(tmp.path(), "VELKTEST.MSG");
        write(msg, QByteArray(256, 'r'));
        ASSERT_EQ(packFiles(joinPath(dir("REP"), "VELKTEST.REP"), {msg}), 0);
        QFile rep(joinPath(dir("REP"), "VELKTEST.REP"));
        ASSERT_TRUE(rep.open(QIODevice::ReadWrite));
        rep.setFileTime(QFileInfo(packet).lastModified().addSecs(ageSeconds),
                        QFileDevice::FileModificationTime);
    }
};

} // namespace

TEST_F(OpeningTest, OpensThePacketChosenInTheDialog) {
    builder.zipTo(packet);
    write(joinPath(dir("WORK"), "OLD.TXT"), "ancien");
    ui.answerOpenFile(packet);
    const auto fields = openQwkPacket(s, ui);
    ASSERT_TRUE(fields);
    EXPECT_EQ(ui.lastFileRequest().fileName, "*.Q*");
    EXPECT_EQ(ui.lastFileRequest().directory, dir("QWK"));
    EXPECT_EQ(fields->PaquetName, "VELKTEST.QWK");
    EXPECT_EQ(fields->PaquetDate, "5 février 1996");
    EXPECT_EQ(fields->PaquetTime, "21:30");
    EXPECT_EQ(fields->PaquetUserName, "JEAN DUPONT");
    EXPECT_EQ(fields->PaquetBBSID, "VELKTEST");
    EXPECT_EQ(fields->PaquetDoor, " VELKDOOR  1.0");
    EXPECT_EQ(s.packet.packetFileName, packet);
    EXPECT_EQ(work(),
              (QStringList{"000.NDX", "CONTROL.DAT", "DOOR.ID", "MESSAGES.DAT", "PERSONAL.NDX"}));
    EXPECT_TRUE(ui.texts().isEmpty());
    EXPECT_EQ(ui.busyDepth(), 0);
}

TEST_F(OpeningTest, CommandLinePacketWithBlanksNeedsNoDialog) {
    packet = joinPath(dir("QWK"), "mon paquet.qwk");
    builder.zipTo(packet);
    s.openFromCommandLine = true;
    s.commandLinePacket = packet;
    const auto fields = openQwkPacket(s, ui);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->PaquetName, "mon paquet.qwk");
    EXPECT_TRUE(ui.allAnswersUsed());
}

// A command-line packet starts unpacking before the windows exist; the opening then waits
// for that unzip instead of emptying the directory and starting another.
TEST_F(OpeningTest, CommandLinePacketUnpacksBeforeTheOpening) {
    builder.zipTo(packet);
    write(joinPath(dir("WORK"), "OLD.TXT"), "ancien");
    s.openFromCommandLine = true;
    s.commandLinePacket = packet;
    startCommandLineUnpack(s);
    ASSERT_TRUE(s.pendingUnpack);
    EXPECT_FALSE(QFileInfo::exists(joinPath(dir("WORK"), "OLD.TXT")));
    const auto fields = openQwkPacket(s, ui);
    ASSERT_TRUE(fields);
    EXPECT_FALSE(s.pendingUnpack);
    EXPECT_EQ(fields->PaquetName, "VELKTEST.QWK");
    EXPECT_EQ(work(),
              (QStringList{"000.NDX", "CONTROL.DAT", "DOOR.ID", "MESSAGES.DAT", "PERSONAL.NDX"}));
    EXPECT_TRUE(ui.texts().isEmpty());
}

// Where the opening would ask or refuse, nothing starts early: the opening does it all.
TEST_F(OpeningTest, NoEarlyUnpackingWhereTheOpeningMustAskFirst) {
    builder.zipTo(packet);
    s.commandLinePacket = packet;
    startCommandLineUnpack(s); // not a command-line opening
    EXPECT_FALSE(s.pendingUnpack);
    s.openFromCommandLine = true;
    s.settings.workPath = dir("ABSENT");
    startCommandLineUnpack(s); // the opening asks to create the directory
    EXPECT_FALSE(s.pendingUnpack);
    s.settings.workPath = dir("VELK");
    startCommandLineUnpack(s); // the program directory is never emptied
    EXPECT_FALSE(s.pendingUnpack);

    // A missing packet: the early unzip fails as the opening's own would.
    s.settings.workPath = dir("WORK");
    s.commandLinePacket = joinPath(dir("QWK"), "ABSENT.QWK");
    startCommandLineUnpack(s);
    ASSERT_TRUE(s.pendingUnpack);
    EXPECT_FALSE(openQwkPacket(s, ui));
    EXPECT_EQ(ui.messages(), QStringList({"Problème lors du décompactage du fichier :\"" +
                                              s.commandLinePacket + "\" .",
                                          "Statut = 2\nCause : le fichier est introuvable"}));
}

TEST_F(OpeningTest, CancelledDialogChangesNothing) {
    write(joinPath(dir("WORK"), "OLD.TXT"), "ancien");
    ui.answerOpenFile(std::nullopt);
    EXPECT_FALSE(openQwkPacket(s, ui));
    EXPECT_EQ(work(), QStringList{"OLD.TXT"});
}

TEST_F(OpeningTest, MissingWorkDirectoryIsOfferedForCreation) {
    builder.zipTo(packet);
    QDir(dir("WORK")).removeRecursively();
    ui.answerYesNo(true);
    ui.answerOpenFile(packet);
    ASSERT_TRUE(openQwkPacket(s, ui));
    EXPECT_EQ(ui.texts(), QStringList{"Le répertoire temporaire de travail ( " + dir("WORK") +
                                      " ) n'existe pas.\nVoulez-vous le créer ?"});
    EXPECT_EQ(ui.events().front().caption, "Message");

    QDir(dir("WORK")).removeRecursively();
    ui.clear();
    ui.answerYesNo(false);
    ui.answerOpenFile(std::nullopt);
    EXPECT_FALSE(openQwkPacket(s, ui));
    EXPECT_EQ(ui.messages(),
              QStringList{"Modifiez le répertoire de travail\n(Menu Configuration/Répertoires)"});
}

TEST_F(OpeningTest, WorkDirectoryThatHoldsOtherDirectoriesIsNeverEmptied) {
    builder.zipTo(packet);
    s.settings.workPath = dirs.root.path(); // parent of QWK and REP
    EXPECT_FALSE(openQwkPacket(s, ui));
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages().front().startsWith("Le répertoire temporaire de travail ( "));
    EXPECT_TRUE(QFileInfo::exists(packet));
}

TEST_F(OpeningTest, PacketLyingInTheWorkDirectoryIsKept) {
    packet = joinPath(dir("WORK"), "VELKTEST.QWK");
    builder.zipTo(packet);
    ui.answerOpenFile(packet);
    ASSERT_TRUE(openQwkPacket(s, ui));
    EXPECT_TRUE(work().contains("VELKTEST.QWK"));
    EXPECT_EQ(closePacket(s, ui), CloseOutcome::NothingToPack);
    EXPECT_EQ(work(), QStringList{"VELKTEST.QWK"});
}

TEST_F(OpeningTest, UnpackingFailuresStopTheOpening) {
    struct Case {
        QString name;
        QByteArray content; // empty: no file at all
        int status;
        QString cause;
    };
    const Case cases[] = {{"ABSENT.QWK", {}, 2, "Cause : le fichier est introuvable"},
                          {"DAMAGED.QWK", "pas un zip", 9, "Cause : l'archive est endommagée"}};
    for (const Case& c : cases) {
        ui.clear();
        const QString path = joinPath(dir("QWK"), c.name);
        if (!c.content.isEmpty())
            write(path, c.content);
        ui.answerOpenFile(path);
        EXPECT_FALSE(openQwkPacket(s, ui));
        EXPECT_EQ(ui.messages(),
                  (QStringList{"Problème lors du décompactage du fichier :\"" + path + "\" .",
                               "Statut = " + QString::number(c.status) + "\n" + c.cause}));
        EXPECT_EQ(ui.busyDepth(), 0);
    }
}

TEST_F(OpeningTest, LinksInAPacketAreRefusedAndRemoved) {
    builder.symlink("LIEN", "/etc");
    builder.zipTo(packet);
    ui.answerOpenFile(packet);
    EXPECT_FALSE(openQwkPacket(s, ui));
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages().front().contains("contient des liens"));
    EXPECT_TRUE(work().isEmpty());
}

TEST_F(OpeningTest, PacketWithoutControlFileOrWithBadIdIsRefused) {
    builder.control.bbsId = "../../X";
    builder.zipTo(packet);
    ui.answerOpenFile(packet);
    EXPECT_FALSE(openQwkPacket(s, ui));
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages().front().endsWith("Ce paquet est refusé."));

    ui.clear();
    const QString other = joinPath(dir("QWK"), "AUTRE.QWK");
    PacketBuilder noControl;
    noControl.file("README", "rien");
    QTemporaryDir tmp;
    noControl.writeTo(tmp.path());
    QFile::remove(joinPath(tmp.path(), "CONTROL.DAT"));
    ASSERT_EQ(packFiles(other, {joinPath(tmp.path(), "README")}), 0);
    ui.answerOpenFile(other);
    EXPECT_FALSE(openQwkPacket(s, ui));
    EXPECT_EQ(ui.messages(), QStringList{"Fichier " + dir("WORK") + "/CONTROL.DAT introuvable"});
}

TEST_F(OpeningTest, EarlierReplyPacketOlderThanThePacket) {
    builder.zipTo(packet);
    const QString rep = joinPath(dir("REP"), "VELKTEST.REP");
    const QString question = "Il existe un fichier " + rep +
                             " plus vieux que le paquet QWK que vous ouvrez.\n"
                             "D'accord pour l'effacer ?\n(Oui, si vous avez déjà uploadé " +
                             rep + ")";
    // No: the old replies come back all the same.
    makeReplyPacket(-3600);
    ui.answerOpenFile(packet);
    ui.answerYesNo(false);
    ASSERT_TRUE(openQwkPacket(s, ui));
    EXPECT_EQ(ui.texts(), QStringList{question});
    EXPECT_TRUE(work().contains("VELKTEST.MSG"));
    EXPECT_TRUE(QFileInfo::exists(rep));
    // Yes: deleted, nothing restored.
    ui.clear();
    ui.answerOpenFile(packet);
    ui.answerYesNo(true);
    ASSERT_TRUE(openQwkPacket(s, ui));
    EXPECT_FALSE(QFileInfo::exists(rep));
    EXPECT_FALSE(work().contains("VELKTEST.MSG"));
}

TEST_F(OpeningTest, EarlierReplyPacketOfTheSameAgeIsRestoredWithoutQuestion) {
    builder.zipTo(packet);
    makeReplyPacket(0);
    ui.answerOpenFile(packet);
    ASSERT_TRUE(openQwkPacket(s, ui));
    EXPECT_TRUE(ui.texts().isEmpty());
    EXPECT_EQ(QFileInfo(joinPath(dir("WORK"), "VELKTEST.MSG")).size(), 256);
}

TEST_F(OpeningTest, ClosingPacksTheRepliesAndEmptiesTheWorkDirectory) {
    builder.zipTo(packet);
    ui.answerOpenFile(packet);
    ASSERT_TRUE(openQwkPacket(s, ui));
    const QString msg = joinPath(dir("WORK"), "VELKTEST.MSG");
    const QString rep = joinPath(dir("REP"), "VELKTEST.REP");

    // One block: nothing to pack.
    write(msg, QByteArray(128, ' '));
    s.openFromCommandLine = true;
    EXPECT_EQ(closePacket(s, ui), CloseOutcome::NothingToPack);
    EXPECT_FALSE(QFileInfo::exists(rep));
    EXPECT_TRUE(work().isEmpty());
    EXPECT_FALSE(s.openFromCommandLine);

    write(msg, QByteArray(384, 'm'));
    EXPECT_EQ(closePacket(s, ui), CloseOutcome::Packed);
    EXPECT_TRUE(work().isEmpty());
    ASSERT_TRUE(unpackArchive(rep, dir("WORK")).ok());
    EXPECT_EQ(work(), QStringList{"VELKTEST.MSG"});
    EXPECT_TRUE(ui.texts().isEmpty());

    // zip cannot write the reply packet: messages, and every file stays.
    s.settings.repPath = joinPath(dirs.root.path(), "ABSENT");
    EXPECT_EQ(closePacket(s, ui), CloseOutcome::PackFailed);
    const QString absent = joinPath(s.settings.repPath, "VELKTEST.REP");
    ASSERT_EQ(ui.messages().size(), 2);
    EXPECT_EQ(ui.messages()[0], "Problème lors du compactage du fichier :\"" + absent + "\" .");
    EXPECT_EQ(ui.messages()[1], "Statut = 15\nCause : le fichier ne peut pas être créé (dossier "
                                "absent, accès refusé ou disque en lecture seule)");
    EXPECT_EQ(work(), QStringList{"VELKTEST.MSG"});
}

TEST(Archiver, StatusOfTheChild) {
    EXPECT_EQ(RunAndWait("velk-no-such-program", {}), 2);
    EXPECT_EQ(RunAndWait("sh", {"-c", "exit 3"}), 3);
    EXPECT_EQ(RunAndWait("sh", {"-c", "read x; exit 0"}), 0); // no input: no hang
    EXPECT_EQ(RunAndWait("sh", {"-c", "kill -9 $$"}), -1);
}

// While the archiver runs, what is queued (a repaint, a timer) runs too; what the user
// types waits until it has ended.
TEST(Archiver, TheProgramRunsWhileTheArchiverDoes) {
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    EXPECT_EQ(RunAndWait("sh", {"-c", "sleep 0.3"}), 0);
    EXPECT_GT(ticks, 3);
}

TEST(Archiver, UnzipWarningsCountAsSuccess) {
    QTemporaryDir tmp;
    const QString file = joinPath(tmp.path(), "A.TXT");
    writeFileAtomically(file, "nouveau");
    const QString zip = joinPath(tmp.path(), "a.zip");
    ASSERT_EQ(packFiles(zip, {file}), 0);
    const QString out = joinPath(tmp.path(), "out");
    QDir().mkpath(out);
    writeFileAtomically(joinPath(out, "A.TXT"), "ancien");
    // unzip asks whether to replace, reads no answer and keeps the file: exit code 1.
    EXPECT_TRUE(unpackArchive(zip, out).ok());
    EXPECT_EQ(readWholeFile(joinPath(out, "A.TXT")), "ancien");
}

TEST(WorkDirectoryTree, EmptiesBelowTheWorkDirectoryOnly) {
    QTemporaryDir tmp;
    const QString work = joinPath(tmp.path(), "WORK");
    const QString outside = joinPath(tmp.path(), "AUTRE");
    QDir().mkpath(work + "/tmp1/sous");
    QDir().mkpath(outside);
    writeFileAtomically(outside + "/garder.txt", "x");
    writeFileAtomically(work + "/tmp1/a.txt", "x");
    writeFileAtomically(work + "/tmp1/sous/b.txt", "x");
    writeFileAtomically(work + "/c.txt", "x");
    ASSERT_TRUE(QFile::link(outside, work + "/tmp1/lien"));
    EmptyDirectoryTree(work + "/tmp1", work);
    EXPECT_FALSE(QFileInfo::exists(work + "/tmp1"));
    EXPECT_TRUE(QFileInfo::exists(outside + "/garder.txt"));
    EmptyDirectoryTree(work, work);
    EXPECT_TRUE(QDir(work).isEmpty());
    EXPECT_TRUE(QFileInfo(work).isDir());
    EXPECT_THROW(EmptyDirectoryTree(outside, work), VelkError);
    EXPECT_TRUE(QFileInfo::exists(outside + "/garder.txt"));
}

TEST_F(OpeningTest, ButtonsFollowWhatThePacketHolds) {
    struct Case {
        bool bulletin, news, newFiles;
        std::string newsName;
    };
    const Case cases[] = {
        {false, false, false, "NEWS"},
        {true, true, true, "NEWS"},
        {false, true, false, "../NEWS"}, // a news name that leaves the directory is ignored
        {false, false, true, ""},
    };
    for (const Case& c : cases) {
        PacketBuilder b = builder;
        b.quirks.lowerCaseNames = true;
        b.control.newsFile = c.newsName;
        if (c.bulletin)
            b.bulletin("BLT-0.1", "b");
        if (c.news)
            b.file("NEWS", "n");
        if (c.newFiles)
            b.newFiles("f");
        b.zipTo(packet);
        ui.answerOpenFile(packet);
        ASSERT_TRUE(openQwkPacket(s, ui));
        const PacketButtons buttons = packetButtons(s);
        EXPECT_EQ(buttons.bulletins, c.bulletin);
        EXPECT_EQ(buttons.news, c.news && c.newsName == "NEWS");
        EXPECT_EQ(buttons.newFiles, c.newFiles);
        EXPECT_TRUE(buttons.mail && buttons.personalMail);
    }
}

TEST_F(OpeningTest, EmptyingRemovesSubdirectoriesWithoutFollowingLinks) {
    const QString w = dir("WORK");
    const QString outside = joinPath(dirs.root.path(), "AUTRE");
    QDir().mkpath(outside);
    write(joinPath(outside, "garder.txt"), "x");
    QDir().mkpath(w + "/CONTROL.DAT/sous");
    write(w + "/CONTROL.DAT/sous/a.txt", "x");
    QDir().mkpath(w + "/paquets");
    packet = w + "/paquets/VELKTEST.QWK";
    builder.zipTo(packet);
    write(w + "/paquets/autre.txt", "x");
    ASSERT_TRUE(QFile::link(outside, w + "/lien"));
    ASSERT_TRUE(QFile::link(outside + "/garder.txt", w + "/paquets/lien.txt"));

    // The packet opened from a subdirectory stays, and so does the way to it.
    ui.answerOpenFile(packet);
    ASSERT_TRUE(openQwkPacket(s, ui));
    EXPECT_EQ(work(), (QStringList{"000.NDX", "CONTROL.DAT", "DOOR.ID", "MESSAGES.DAT",
                                   "PERSONAL.NDX", "paquets"}));
    EXPECT_EQ(
        QDir(w + "/paquets").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
        QStringList{"VELKTEST.QWK"});
    EXPECT_EQ(readWholeFile(outside + "/garder.txt"), "x");
    EXPECT_TRUE(ui.texts().isEmpty()) << ui.texts().join('|').toStdString();
}

TEST_F(OpeningTest, PacketWithADirectoryMemberIsRefusedAndBreaksNothing) {
    ZipWriter z;
    z.addAll(builder.files());
    z.add("CONTROL.DAT/").mode = 040755; // the valid CONTROL.DAT fails to unpack after it
    const QString hostile = joinPath(dir("QWK"), "HOSTILE.QWK");
    z.writeTo(hostile);
    builder.zipTo(packet);
    for (int round = 0; round < 2; ++round) {
        ui.clear();
        ui.answerOpenFile(hostile);
        EXPECT_FALSE(openQwkPacket(s, ui));
        EXPECT_EQ(ui.messages(),
                  QStringList{"Le fichier \"" + hostile +
                              "\" contient des répertoires ou des fichiers rangés dans un "
                              "répertoire.\nIl est refusé."});
        ui.clear();
        ui.answerOpenFile(packet);
        EXPECT_TRUE(openQwkPacket(s, ui));
        EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join('|').toStdString();
    }
}

TEST_F(OpeningTest, ReplyFileComingWithThePacketNeverReachesTheReplyPacket) {
    builder.file("velktest.msg", std::string(384, 'x'));
    builder.file("VELKTEST.MSG", std::string(256, 'y'));
    builder.zipTo(packet);
    ui.answerOpenFile(packet);
    ASSERT_TRUE(openQwkPacket(s, ui));
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages()[0], "Le paquet contenait un fichier de réponses (VELKTEST.MSG, "
                                "velktest.msg) que vous n'avez pas écrit.\nIl a été effacé : il "
                                "ne partira pas dans votre paquet de réponses.");
    EXPECT_FALSE(work().contains("VELKTEST.MSG", Qt::CaseInsensitive));
    EXPECT_EQ(closePacket(s, ui), CloseOutcome::NothingToPack);
    EXPECT_FALSE(QFileInfo::exists(joinPath(dir("REP"), "VELKTEST.REP")));

    // The user's own replies still come back from the reply packet.
    makeReplyPacket(0);
    ui.clear();
    ui.answerOpenFile(packet);
    ASSERT_TRUE(openQwkPacket(s, ui));
    EXPECT_EQ(ui.messages().size(), 1); // the packet's own file, removed again
    EXPECT_EQ(readWholeFile(joinPath(dir("WORK"), "VELKTEST.MSG")), QByteArray(256, 'r'));
}

TEST_F(OpeningTest, WorkDirectorySpelledThroughItsParentIsToldForWhatItNames) {
    // The work directory given as "VELK/WORK/.." while WORK does not exist: the program
    // directory itself, never a directory to create.
    s.settings.workPath = dir("VELK") + "/WORK/..";
    EXPECT_FALSE(openQwkPacket(s, ui));
    ASSERT_EQ(ui.texts().size(), 1);
    EXPECT_TRUE(ui.texts()[0].contains(" est le répertoire du programme ( " + dir("VELK") + " )"))
        << ui.texts()[0].toStdString();
}

} // namespace velk

namespace velk {

// A board whose identifier has DOS accents: the reply written goes into the reply packet at
// closing and comes back at the next opening, under one name; so does one that an earlier
// version named by reading the identifier as Latin-1.
TEST_F(OpeningTest, RepliesOfAnAccentedBoardComeBack) {
    for (const bool older : {false, true}) {
        const std::string id = older ? "CAF\x82" : "\x90T\x90";
        SCOPED_TRACE(id);
        builder.control.bbsId = id;
        builder.zipTo(packet);
        ui.answerOpenFile(packet);
        ASSERT_TRUE(openQwkPacket(s, ui));
        if (older) {
            const QString latin = QString::fromLatin1(id.data(), qsizetype(id.size()));
            write(joinPath(dir("WORK"), latin + ".MSG"), QByteArray(384, 'r'));
            packFiles(joinPath(dir("REP"), latin + ".REP"),
                      {joinPath(dir("WORK"), latin + ".MSG")});
        } else {
            ReplyDraft draft;
            draft.lines = {"Bonjour"};
            ASSERT_TRUE(shown(AppendReply(s, draft, QDateTime::currentDateTime()), ui));
        }
        closePacket(s, ui);
        ui.answerOpenFile(packet);
        ASSERT_TRUE(openQwkPacket(s, ui));
        EXPECT_EQ(QFileInfo(replyFilePath(s)).fileName(), dosToUnicode(id) + ".MSG");
        EXPECT_EQ(work().filter(".MSG"), QStringList{dosToUnicode(id) + ".MSG"});
        EXPECT_EQ(closePacket(s, ui), CloseOutcome::Packed);
        EXPECT_EQ(QDir(dir("REP")).entryList(QDir::Files), QStringList{dosToUnicode(id) + ".REP"});
        QFile::remove(replyPacketPath(s));
        EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join('\n').toStdString();
    }
}

// A pipe where the reply packet goes is told, at the opening and at the closing, and never
// read: reading it would wait for ever.
TEST_F(OpeningTest, PipeInPlaceOfTheReplyPacketIsTold) {
    builder.zipTo(packet);
    ui.answerOpenFile(packet);
    ASSERT_TRUE(openQwkPacket(s, ui));
    write(replyFilePath(s), QByteArray(384, 'r'));
    ASSERT_EQ(::mkfifo(QFile::encodeName(replyPacketPath(s)), 0644), 0);
    EXPECT_EQ(closePacket(s, ui), CloseOutcome::PackFailed);
    ui.answerOpenFile(packet);
    EXPECT_FALSE(openQwkPacket(s, ui));
    ASSERT_EQ(ui.messages().size(), 3);
    for (const QString& told : {ui.messages()[1], ui.messages()[2]})
        EXPECT_TRUE(told.contains("est un tube, pas un fichier ordinaire")) << told.toStdString();
}

} // namespace velk
