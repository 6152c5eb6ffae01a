// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/PacketBuilder.h"

#include "core/FileUtil.h"
#include "packet/MessageStore.h"
#include "tests/support/ScriptedUiServices.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

namespace {

PacketBuilder sample() {
    PacketBuilder b;
    b.conference(0, "Principal").conference(5, "Technique").conference(1001, "Linux");
    b.add(0, "Un", "ligne 1\nligne 2\n");
    b.add(1001, "Deux", std::string(300, 'z'));
    PacketMessage& trois = b.add(5, "Trois", "");
    trois.personal = true;
    trois.oneBlock = true;
    b.add(0, "Quatre", "fin").personal = true;
    return b;
}

} // namespace

TEST(PacketBuilder, IndexRecordsLeadToTheirHeaders) {
    const PacketBuilder b = sample();
    QTemporaryDir dir;
    b.writeTo(dir.path());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{"000.NDX", "005.NDX", "1001.NDX", "CONTROL.DAT", "DOOR.ID",
                           "MESSAGES.DAT", "PERSONAL.NDX"}));
    EXPECT_EQ(b.headerBlockIndex(1), 3);
    EXPECT_EQ(b.headerBlockIndex(2), 7);
    EXPECT_EQ(b.headerBlockIndex(3), 8);

    MessageStoreState store;
    ScriptedUiServices ui;
    struct Case {
        const char* index;
        std::vector<std::string> subjects;
    };
    const Case cases[] = {{"000.NDX", {"Un", "Quatre"}},
                          {"005.NDX", {"Trois"}},
                          {"1001.NDX", {"Deux"}},
                          {"PERSONAL.NDX", {"Trois", "Quatre"}}};
    for (const Case& c : cases) {
        std::vector<std::string> subjects;
        for (std::int32_t block : ReadIndexFile(joinPath(dir.path(), c.index))) {
            ReadMessageHeader(dir.path(), block, store).showTo(ui);
            subjects.push_back(trimRight(store.CurrentHeader.subject));
        }
        EXPECT_EQ(subjects, c.subjects) << c.index;
    }
    ReadMessageHeader(dir.path(), 3, store).showTo(ui);
    ReadMessageText(dir.path(), 4, store.CurrentHeader.blockCount, store);
    EXPECT_EQ(store.MessageText, std::string(300, 'z'));
    EXPECT_EQ(trimRight(store.CurrentHeader.blockCount), "4");
    ReadMessageHeader(dir.path(), 7, store).showTo(ui);
    EXPECT_EQ(trimRight(store.CurrentHeader.blockCount), "1");
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST(PacketBuilder, QuirksShapeTheFiles) {
    PacketBuilder b = sample();
    b.quirks.lowerCaseNames = true;
    b.quirks.plainIndexNames = true;
    b.quirks.controlLfOnly = true;
    b.quirks.controlNoFinalEnd = true;
    b.quirks.nulPadding = true;
    b.withoutIndex(5);
    b.door.reset();
    const QByteArray control = b.controlFile();
    EXPECT_FALSE(control.contains('\r'));
    EXPECT_TRUE(control.endsWith("GOODBYE"));
    EXPECT_TRUE(control.startsWith("VELK TEST BBS\nParis,Ile-de-France\n"));
    QStringList names;
    for (const auto& f : b.files())
        names.append(f.first);
    EXPECT_EQ(names,
              (QStringList{"control.dat", "messages.dat", "0.ndx", "1001.ndx", "personal.ndx"}));
    const QByteArray messages = b.messagesFile();
    EXPECT_EQ(messages.size(), 10 * 128);
    EXPECT_EQ(messages.at(128 + 2), '\0'); // number "1" padded with NULs
}

TEST(PacketBuilder, ZipsWithTheRealZip) {
    QTemporaryDir dir;
    PacketBuilder b = sample();
    b.symlink("LIEN", "/etc/passwd");
    const QString packet = joinPath(dir.path(), "avec espace.QWK");
    b.zipTo(packet);
    QProcess unzip;
    unzip.start("unzip", {"-Z1", packet});
    ASSERT_TRUE(unzip.waitForFinished());
    const QStringList members =
        QString::fromLatin1(unzip.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(members, (QStringList{"CONTROL.DAT", "DOOR.ID", "MESSAGES.DAT", "000.NDX", "005.NDX",
                                    "1001.NDX", "PERSONAL.NDX", "LIEN"}));
}

TEST(PacketBuilder, NulPaddedCountsReadLikeBlankPaddedOnes) {
    PacketBuilder b = sample();
    b.quirks.nulPadding = true;
    QTemporaryDir dir;
    b.writeTo(dir.path());
    ScriptedUiServices ui;
    MessageStoreState store;
    ReadMessageHeader(dir.path(), 1, store).showTo(ui);
    ASSERT_EQ(store.CurrentHeader.blockCount, "2     "); // the NULs read as blanks
    ReadMessageText(dir.path(), 2, store.CurrentHeader.blockCount, store);
    EXPECT_FALSE(store.MessageText.empty());
    EXPECT_NE(store.MessageText, "Il y a une anomalie dans le fichier d'index.");
    EXPECT_TRUE(ui.texts().isEmpty());
}

} // namespace velk
