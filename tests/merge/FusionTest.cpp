// SPDX-License-Identifier: GPL-2.0-or-later
#include "merge/Fusion.h"

#include "core/Archiver.h"
#include "core/VelkError.h"
#include "merge/PacketMerge.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/PacketBuilder.h"
#include "packet/PacketOpening.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/LockedDirectory.h"
#include "tests/support/MergeTestSupport.h"
#include "tests/support/Reported.h"

#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace velk {

using namespace mergetest;

namespace {

const QString kUnpackCause = "\nCause : l'archive est endommagée\nFusion annulée.";
const QString kDone = "La fusion des deux paquets QWK s'est déroulée correctement.";
const QDateTime kBaseTime(QDate(2021, 3, 4), QTime(10, 20, 30));

void setModified(const QString& path, const QDateTime& when) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

// Puts a program of that name, which fails with status 15, first on the path.
class FailingProgram {
public:
    FailingProgram(const QString& bin, const QString& name) : oldPath_(qgetenv("PATH")) {
        QDir().mkpath(bin);
        const QString script = joinPath(bin, name);
        writeFileAtomically(script, "#!/bin/sh\nexit 15\n");
        QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        qputenv("PATH", QFile::encodeName(bin) + ":" + oldPath_);
    }
    ~FailingProgram() { qputenv("PATH", oldPath_); }

private:
    QByteArray oldPath_;
};

class FusionTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session s;
    ScriptedUiServices ui;
    PacketBuilder baseBuilder, integratedBuilder;
    QString base, integrated;
    QStringList statuses;
    QByteArray baseBytes;

    QString dir(const QString& name) const { return dirs.dir(name); }

    void SetUp() override {
        dirs.configure(s);
        base = joinPath(dir("QWK"), "VELKTEST.QWK");
        integrated = joinPath(dir("QWK"), "NOUVEAU.QWK");

        baseBuilder.conference(0, "Principal").conference(1, "Annonces").conference(5, "Linux");
        baseBuilder.add(0, "Bienvenue", "Bonjour a tous\n");
        baseBuilder.add(1, "Nouveau serveur", "Il tourne\n");
        baseBuilder.add(5, "Noyau", "Version 2.0\n").personal = true;
        integratedBuilder.conference(0, "Principal").conference(2, "Jeux").conference(7, "Musique");
        integratedBuilder.control.packetDate = "03-07-1996";
        integratedBuilder.add(0, "Re: Bienvenue", "Merci\n");
        integratedBuilder.add(2, "Echecs", std::string(400, 'e') + "\n").personal = true;
        integratedBuilder.add(7, "Guitare", "").oneBlock = true;
    }
    // Zips both packets; the base is the older one.
    void makePackets() {
        baseBuilder.zipTo(base);
        integratedBuilder.zipTo(integrated);
        setModified(base, kBaseTime);
        setModified(integrated, kBaseTime.addDays(1));
        baseBytes = bytesOf(base);
    }
    FusionResult run() {
        return DoFusion(s, base, integrated, ui, [&](const QString& t) { statuses.append(t); });
    }
    void expectBaseUntouched() const {
        EXPECT_EQ(bytesOf(base), baseBytes);
        EXPECT_EQ(QFileInfo(base).lastModified(), kBaseTime);
        // No temporary copy is left beside it.
        for (const QString& name : QDir(dir("QWK")).entryList(QDir::Files | QDir::Hidden))
            EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
    }
    QStringList workEntries() const {
        return QDir(dir("WORK")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
};

} // namespace

TEST(LowOnSpace, FiveTimesBothSizesIsTheLimit) {
    struct Case {
        std::uint64_t available;
        std::int64_t base, integrated;
        bool low;
    };
    const std::int64_t gb = std::int64_t(1) << 30;
    const Case cases[] = {
        {100, 10, 10, true},
        {101, 10, 10, false},
        {0, 0, 0, true},
        // Beyond 32 bits on both sides.
        {std::uint64_t(30 * gb), 3 * gb, 3 * gb, true},
        {std::uint64_t(30 * gb) + 1, 3 * gb, 3 * gb, false},
        {std::uint64_t(8) * 1024 * gb, 3 * gb, 3 * gb, false},
        {UINT64_MAX, INT64_MAX, INT64_MAX, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lowOnSpace(c.available, c.base, c.integrated), c.low) << c.available;
}

TEST_F(FusionTest, ChecksInTheirOrder) {
    makePackets();
    const QString qw1 = joinPath(dir("QWK"), "AUTRE.QW1");
    const QString lowerBase = joinPath(dir("QWK"), "petit.qwk");
    QFile::copy(integrated, qw1);
    QFile::copy(base, lowerBase);
    setModified(qw1, kBaseTime.addDays(1));
    setModified(lowerBase, kBaseTime);
    const QString extBase =
        "Le fichier cible ne porte pas l'extension \".QWK\" .\nContinuer la fusion malgré tout ?";
    const QString extIntegrated = "Le fichier à intégrer ne porte pas l'extension \".QWK\" .\n"
                                  "Continuer la fusion malgré tout ?";
    const QString older = "Le fichier à intégrer est plus ancien \nque le fichier servant de "
                          "base d'intégration.\nContinuer la fusion malgré tout ?";
    struct Case {
        QString base, integrated;
        std::vector<bool> answers;
        QStringList texts;
        std::optional<FusionFocus> focus;
    };
    const std::vector<Case> cases = {
        {"",
         integrated,
         {},
         {"Vous devez choisir un fichier QWK  servant de cible"},
         FusionFocus::SourceFileListBox},
        {base,
         "",
         {},
         {"Vous devez choisir un fichier QWK à intégrer"},
         FusionFocus::DestFileListBox},
        {"",
         "",
         {},
         {"Vous devez choisir un fichier QWK  servant de cible"},
         FusionFocus::SourceFileListBox},
        {base,
         base,
         {},
         {"Un paquet QWK ne peut pas être fusionner avec lui-même"},
         FusionFocus::DestFileListBox},
        {qw1,
         qw1,
         {},
         {"Un paquet QWK ne peut pas être fusionner avec lui-même"},
         FusionFocus::DestFileListBox},
        {base,
         dir("QWK") + "/./VELKTEST.QWK",
         {},
         {"Un paquet QWK ne peut pas être fusionner avec lui-même"},
         FusionFocus::DestFileListBox},
        {qw1, integrated, {false}, {extBase}, FusionFocus::SourceFileListBox},
        {qw1, integrated, {true}, {extBase}, std::nullopt},
        {base, qw1, {false}, {extIntegrated}, FusionFocus::DestFileListBox},
        {base, qw1, {true}, {extIntegrated}, std::nullopt},
        {qw1, qw1 + "x", {true, false}, {extBase, extIntegrated}, FusionFocus::DestFileListBox},
        {lowerBase, integrated, {}, {}, std::nullopt},
        {integrated, base, {false}, {older}, FusionFocus::SourceFileListBox},
        {integrated, base, {true}, {older}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString(c.base + " <- " + c.integrated).toStdString());
        ui.clear();
        for (const bool a : c.answers)
            ui.answerYesNo(a);
        EXPECT_EQ(CheckFusion(c.base, c.integrated, dir("QWK"), ui), c.focus);
        EXPECT_EQ(ui.texts(), c.texts);
        EXPECT_TRUE(ui.allAnswersUsed());
    }
    expectBaseUntouched();
}

TEST_F(FusionTest, EqualStampsAskNothing) {
    makePackets();
    setModified(integrated, kBaseTime);
    EXPECT_EQ(CheckFusion(base, integrated, dir("QWK"), ui), std::nullopt);
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(FusionTest, HugePacketsAskAboutSpace) {
    makePackets();
    // A sparse file far larger than the disk, and than 32 bits can count.
    const QString huge = joinPath(dir("QWK"), "ENORME.QWK");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(qint64(1) << 42));
    }
    setModified(huge, kBaseTime.addDays(2));
    ui.answerYesNo(false);
    EXPECT_EQ(CheckFusion(s, base, huge, ui), FusionFocus::SourceFileListBox);
    EXPECT_EQ(ui.texts(),
              QStringList({"Il reste peu de place disque disponible par rapport à la taille\n"
                           "des fichiers QWK qui doivent être décompressés pour la fusion.\n"
                           "Continuer la fusion malgré tout ?"}));
}

TEST_F(FusionTest, MissingPacketIsAnError) {
    makePackets();
    EXPECT_THROW(CheckFusion(base, joinPath(dir("QWK"), "ABSENT.QWK"), dir("QWK"), ui), VelkError);
}

TEST_F(FusionTest, MergesIntoTheBasePacketKeepingItsDate) {
    makePackets();
    QDir().mkpath(joinPath(dir("WORK"), "vieux/sous"));
    writeFileAtomically(joinPath(dir("WORK"), "vieux/sous/reste.txt"), "x");
    ui.answerYesNo(false);
    const FusionResult r = run();
    ASSERT_TRUE(r.merged);
    EXPECT_FALSE(r.integratedDeleted);
    EXPECT_EQ(statuses, QStringList({"Décompactage du premier paquet\n (" + base + ")",
                                     "Décompactage du deuxième paquet\n (" + integrated + ")",
                                     "Mise à jour des fichiers de données et d'index",
                                     "Mise à jour des conférences",
                                     "Compactage du fichier fusionné \n (" + base + ")", ""}));
    EXPECT_EQ(ui.texts(),
              QStringList({kDone, "Peut-on effacer le fichier intégré ?\n(" + integrated + ")"}));
    EXPECT_EQ(ui.busyDepth(), 0);
    EXPECT_TRUE(r.notices.NoticesProduced);
    EXPECT_EQ(r.notices.NoticeMemo.size(), 2);
    EXPECT_EQ(s.packet.control.PacketDate, "03-07-1996");

    // The base packet is replaced, keeps its date, and nothing is left behind.
    EXPECT_NE(bytesOf(base), baseBytes);
    EXPECT_EQ(QFileInfo(base).lastModified(), kBaseTime);
    EXPECT_TRUE(QFileInfo(integrated).isFile());
    EXPECT_EQ(QDir(dir("QWK")).entryList(QDir::Files | QDir::Hidden),
              QStringList({"NOUVEAU.QWK", "VELKTEST.QWK"}));
    EXPECT_TRUE(workEntries().isEmpty());

    // Opened again, the merged packet lists every message of both.
    QTemporaryDir opened;
    ASSERT_TRUE(unpackArchive(base, opened.path()).ok());
    PacketControl control;
    ASSERT_TRUE(shown(InitQWK(opened.path(), control), ui));
    ASSERT_EQ(control.ConferenceCount, 5);
    std::vector<int> numbers;
    for (const ConferenceEntry& c : control.Conferences)
        numbers.push_back(c.ConferenceNumber);
    EXPECT_EQ(numbers, (std::vector<int>{0, 1, 2, 5, 7}));
    EXPECT_EQ(control.TotalMessages, 6);
    EXPECT_EQ(control.PacketDate, "03-07-1996");
    const std::map<QString, std::vector<std::string>> expected = {
        {"000", {"Bienvenue", "Re: Bienvenue"}},
        {"001", {"Nouveau serveur"}},
        {"002", {"Echecs"}},
        {"005", {"Noyau"}},
        {"007", {"Guitare"}},
        {"PERSONAL", {"Noyau", "Echecs"}},
    };
    EXPECT_EQ(subjectsByIndex(opened.path()), expected);
    EXPECT_FALSE(QFileInfo::exists(joinPath(opened.path(), "TMPQWK.QWK")));

    // Its date still older, a newer packet merges in without the age question.
    ui.clear();
    integratedBuilder.zipTo(integrated);
    setModified(integrated, kBaseTime.addSecs(1));
    EXPECT_EQ(CheckFusion(base, integrated, dir("QWK"), ui), std::nullopt);
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(FusionTest, IntegratedPacketDeletedOnYes) {
    makePackets();
    ui.answerYesNo(true);
    const FusionResult r = run();
    EXPECT_TRUE(r.merged);
    EXPECT_TRUE(r.integratedDeleted);
    EXPECT_FALSE(QFileInfo::exists(integrated));
}

TEST_F(FusionTest, FailedUnpackingLeavesTheBasePacket) {
    makePackets();
    for (const bool damagedBase : {true, false}) {
        SCOPED_TRACE(damagedBase);
        ui.clear();
        statuses.clear();
        const QString damaged = damagedBase ? base : integrated;
        const QByteArray good = bytesOf(damaged);
        writeFileAtomically(damaged, "PK\x03\x04 ceci n'est pas une archive");
        setModified(damaged, damagedBase ? kBaseTime : kBaseTime.addDays(1));
        baseBytes = bytesOf(base);
        EXPECT_FALSE(run().merged);
        ASSERT_EQ(ui.messages().size(), 2);
        EXPECT_EQ(ui.messages()[0],
                  "Problème lors du décompactage du fichier :\"" + damaged + "\" .");
        EXPECT_TRUE(ui.messages()[1].startsWith("Statut = 9")) << ui.messages()[1].toStdString();
        EXPECT_TRUE(ui.messages()[1].endsWith(kUnpackCause));
        EXPECT_EQ(statuses.back(), "");
        EXPECT_EQ(ui.busyDepth(), 0);
        expectBaseUntouched();
        writeFileAtomically(damaged, good);
        setModified(damaged, damagedBase ? kBaseTime : kBaseTime.addDays(1));
    }
}

TEST_F(FusionTest, PacketWithALinkIsRefused) {
    integratedBuilder.symlink("LIEN", "/etc/passwd");
    makePackets();
    EXPECT_FALSE(run().merged);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages()[0].contains("contient des liens ou des fichiers spéciaux"));
    expectBaseUntouched();
}

TEST_F(FusionTest, FailedControlStepLeavesTheBasePacket) {
    struct Case {
        const char* what;
        std::function<void(PacketBuilder& base, PacketBuilder& integrated)> spoil;
        std::vector<bool> answers;
        QString message;
    };
    const std::vector<Case> cases = {
        {"other board",
         [](PacketBuilder&, PacketBuilder& in) { in.control.bbsId = "AUTRE"; },
         {false},
         ""},
        {"empty control file",
         [](PacketBuilder&, PacketBuilder& in) { in.quirks.controlLines = 0; },
         {},
         "'' n'est pas une valeur entière correcte"},
        {"bad number",
         [](PacketBuilder& b, PacketBuilder&) { b.control.conferenceCount = "deux"; },
         {},
         "'deux' n'est pas une valeur entière correcte"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PacketBuilder savedBase = baseBuilder, savedIntegrated = integratedBuilder;
        c.spoil(baseBuilder, integratedBuilder);
        makePackets();
        ui.clear();
        for (const bool a : c.answers)
            ui.answerYesNo(a);
        EXPECT_FALSE(run().merged);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(ui.messages(), QStringList({c.message}));
        }
        EXPECT_FALSE(ui.texts().contains(kDone));
        EXPECT_TRUE(ui.allAnswersUsed());
        expectBaseUntouched();
        baseBuilder = savedBase;
        integratedBuilder = savedIntegrated;
    }
}

TEST_F(FusionTest, IntegratedPacketWithoutControlFile) {
    makePackets();
    QTemporaryDir members;
    integratedBuilder.writeTo(members.path());
    QFile::remove(joinPath(members.path(), "CONTROL.DAT"));
    QStringList files;
    for (const QString& name : findFiles(members.path(), "*"))
        files.append(joinPath(members.path(), name));
    QFile::remove(integrated);
    ASSERT_EQ(packFiles(integrated, files), 0);
    setModified(integrated, kBaseTime.addDays(1));
    EXPECT_FALSE(run().merged);
    EXPECT_EQ(ui.messages(), QStringList({"Fichier " + joinPath(dir("WORK"), "tmp2") +
                                          "/CONTROL.DAT introuvable"}));
    expectBaseUntouched();
}

TEST_F(FusionTest, FailedPackingLeavesTheBasePacket) {
    makePackets();
    FailingProgram zip(dir("bin"), "zip");
    EXPECT_FALSE(run().merged);
    EXPECT_EQ(ui.messages(),
              QStringList({"Problème lors du compactage du fichier : \"TMPQWK.QWK\".",
                           "Statut = 15\nCauses possibles : Compacteur inaccessible ou disque "
                           "plein"}));
    EXPECT_EQ(ui.busyDepth(), 0);
    expectBaseUntouched();
}

TEST_F(FusionTest, FailedReplacementLeavesTheBasePacket) {
    makePackets();
    LockedDirectory lock(dir("QWK"));
    if (!lock.locked())
        GTEST_SKIP() << "no way to make a directory read-only here";
    EXPECT_FALSE(run().merged);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages()[0].startsWith(
        "Impossible d'écrire le paquet fusionné à côté du fichier \"" + base + "\""));
    EXPECT_TRUE(ui.messages()[0].endsWith("Ce fichier n'a pas été modifié.\nFusion annulée."));
    expectBaseUntouched();
}

TEST_F(FusionTest, WorkDirectoriesThatCannotBeMade) {
    makePackets();
    LockedDirectory lock(dir("WORK"));
    if (!lock.locked())
        GTEST_SKIP() << "no way to make a directory read-only here";
    EXPECT_FALSE(run().merged);
    EXPECT_EQ(ui.messages(), QStringList({"Impossible de créer le répertoire \"" +
                                          joinPath(dir("WORK"), "tmp1") + "\"\nFusion annulée."}));
    EXPECT_EQ(statuses, QStringList({""}));
    expectBaseUntouched();
}

TEST_F(FusionTest, NothingOutsideItsOwnWorkDirectoryIsDeleted) {
    makePackets();
    // A packet kept in the work directory would be emptied away with it.
    const QString inside = joinPath(dir("WORK"), "VELKTEST.QWK");
    QFile::copy(base, inside);
    EXPECT_FALSE(DoFusion(s, inside, integrated, ui, {}).merged);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages()[0].contains("se trouve dans le répertoire de travail"));
    EXPECT_TRUE(QFileInfo(inside).isFile());

    // A work directory that is not one of its own is never emptied.
    ui.clear();
    s.settings.workPath = dirs.root.path();
    EXPECT_FALSE(run().merged);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages()[0].contains("ou l'un de ses parents."));
    EXPECT_TRUE(QFileInfo(inside).isFile());
    expectBaseUntouched();
}

namespace {

// Written by Python's own zip writer, apart from ours.
void handLaid(const QString& path, const std::string& tag) {
    QProcess p;
    p.start("python3", {VELK_SOURCE_DIR "/tests/merge/hand_laid_packet.py", path,
                        QString::fromStdString(tag)});
    ASSERT_TRUE(p.waitForFinished() && p.exitCode() == 0) << p.readAllStandardError().toStdString();
}

// A packet of PacketBuilder's: 'i' with index files, 'n' without, 'I' and 'N' with
// HEADERS.DAT and UTF-8 names, 'M' over 1,000 conferences; 'h' the hand-laid one.
void write(const QString& path, char kind, const std::string& tag) {
    if (kind == 'h')
        return handLaid(path, tag);
    const bool headersDat = kind < 'a', indexed = kind == 'i' || kind == 'I';
    const int conferences = (kind == 'M' ? 1000 : 0) + (tag == "N" ? 10 : 9);
    PacketBuilder b;
    for (int c = 0; c < conferences; ++c)
        b.conference(std::uint16_t(c), "C" + std::to_string(c));
    for (const int c : {0, 2, 9, conferences - 1}) {
        PacketMessage& m = b.add(std::uint16_t(c), "Sujet " + tag + std::to_string(c), "Texte\n");
        m.personal = c == 2, m.to = c == 2 ? "JEAN DUPONT" : "ALL";
        m.headersDat = headersDat, m.utf8 = headersDat;
        m.from = headersDat ? "Fran\xC3\xA7oise de la Tour d'Auvergne " + tag : "MARIE";
    }
    b.quirks.noIndexFiles = b.quirks.noPersonalIndex = !indexed;
    b.zipTo(path);
}

// What the reader shows of a packet: its messages (names, subject, character set, text) by
// conference and for the user, conferences, polls keying vote records, TOREADER.EXT.
struct Reached {
    std::map<std::uint16_t, std::vector<QString>> conferences;
    std::vector<QString> personal;
    int conferenceCount = 0, polls = 0;
    QByteArray toReader;
};
Reached readBack(const QString& packet) {
    QTemporaryDir work;
    PacketSession s;
    s.settings.workPath = work.path();
    HeadlessUiServices ui;
    Reached r;
    EXPECT_TRUE(shown(unpackAndLoadPacket(s, packet), ui));
    BlockFile messages(messagesFilePath(work.path()));
    const auto read = [&](std::int32_t block) {
        REPORTED_TO(ui, ReadPacketMessage(s, messages, block, said));
        const MessageHeader& h = s.store.CurrentHeader;
        return messageCharacters(h, fullAuthor(h) + '|' + fullRecipient(h) + '|' + fullSubject(h) +
                                        "|UTF-8 "[h.longFields.utf8] + s.store.MessageText);
    };
    for (const IndexFileEntry& e : findIndexFiles(work.path(), s.packet))
        for (const std::int32_t b : readConferenceIndex(work.path(), e))
            r.conferences[e.conferenceNumber].push_back(read(b));
    for (const std::int32_t b : readPersonalList(work.path(), s.packet))
        r.personal.push_back(read(b));
    r.conferenceCount = s.packet.control.ConferenceCount;
    const auto file = [&](const char* name) {
        return bytesOf(findFileNoCase(work.path(), name).value_or(""));
    };
    const QByteArray dat = file("MESSAGES.DAT");
    for (const std::string& l : splitTextLines(file("VOTING.DAT"))) {
        const qint64 at = l[0] == '[' ? std::stoll(l.substr(1), nullptr, 16) : -1;
        r.polls += at >= 0 && dat.mid(at, 1) == "V" && dat.mid(at + 71, 7) == "Sondage";
    }
    r.toReader = file("TOREADER.EXT");
    return r;
}

} // namespace

TEST(PacketMergeTable, EveryMessageOfBothIsReadBackWithItsLongFields) {
    struct Case {
        const char* what;
        char base, integrated;
        int conferences, handLaid;
        QByteArray toReader; // the newer's, with the older's other AREA lines
    };
    const Case cases[] = {
        {"index files + none", 'i', 'n', 10, 0, ""},
        {"none + index files", 'n', 'i', 10, 0, ""},
        {"index files + by hand", 'i', 'h', 10, 1, "ALIAS N\r\nAREA 2 aE\r\n"},
        {"HEADERS.DAT + by hand", 'I', 'h', 10, 1, "ALIAS N\r\nAREA 2 aE\r\n"},
        {"by hand + HEADERS.DAT, no index files", 'h', 'N', 10, 1, "ALIAS B\r\nAREA 9 aE\r\n"},
        {"by hand twice", 'h', 'h', 3, 2, "ALIAS N\r\nAREA 2 aE\r\nAREA 9 aE\r\n"},
        {"over 1,000 conferences", 'M', 'M', 1010, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString base = dir.path() + "/BASE.QWK", integrated = dir.path() + "/NOUVEAU.QWK";
        write(base, c.base, "B");
        write(integrated, c.integrated, "N"); // the newer
        const Reached before = readBack(base), added = readBack(integrated);
        QDir().mkpath(dir.path() + "/WORK");
        PacketControl control;
        HeadlessUiServices ui;
        const FusionResult r = DoFusion(base, integrated, dir.path() + "/WORK", control, ui, {},
                                        IntegratedDeletion::Keep);
        ASSERT_TRUE(r.merged);

        const Reached merged = readBack(base);
        Reached expected = before;
        for (const auto& [number, list] : added.conferences)
            for (const QString& m : list)
                expected.conferences[number].push_back(m);
        for (const QString& m : added.personal)
            expected.personal.push_back(m);
        EXPECT_EQ(merged.conferences, expected.conferences);
        EXPECT_EQ(merged.personal, expected.personal);
        EXPECT_EQ(merged.conferenceCount, c.conferences);
        EXPECT_EQ(merged.polls, c.handLaid);
        EXPECT_EQ(merged.toReader, c.toReader);
        // The section of no message is left out and told.
        EXPECT_EQ(r.notices.NoticeMemo.filter("HEADERS.DAT").size(), c.handLaid);
    }
}

TEST(PacketMergeCheck, FindsWhatTheResultLacks) {
    for (const char* spoilt : {"002.NDX", "HEADERS.DAT", "VOTING.DAT", "MESSAGES.DAT"}) {
        SCOPED_TRACE(spoilt);
        QTemporaryDir dir;
        write(dir.path() + "/B.QWK", 'I', "B");
        handLaid(dir.path() + "/N.QWK", "N");
        for (const QString name : {"/B", "/N"})
            ASSERT_TRUE(QDir().mkpath(dir.path() + name) &&
                        unpackArchive(dir.path() + name + ".QWK", dir.path() + name).ok());
        PacketControl control;
        MergeNotices notices;
        HeadlessUiServices ui;
        auto merge = MergePackets(dir.path() + "/B", dir.path() + "/N", control, notices, ui);
        ASSERT_TRUE(merge && merge->check().isEmpty());
        // An emptied file; a byte changed in the last integrated text.
        QFile f(dir.path() + "/B/" + spoilt);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) &&
                    (f.size() < 10000 ? f.resize(0) : f.seek(f.size() - 128) && f.write("X")));
        f.close();
        EXPECT_TRUE(merge->check().startsWith("La vérification du paquet fusionné a échoué : "));
    }
}

} // namespace velk
