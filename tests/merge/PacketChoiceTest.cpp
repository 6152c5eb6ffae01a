// SPDX-License-Identifier: GPL-2.0-or-later
#include "merge/PacketChoice.h"

#include "core/FileUtil.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

TEST(PacketChoice, FileNamesForAMask) {
    QTemporaryDir dir;
    for (const char* name :
         {"VELKTEST.QWK", "autre.qw1", "Notes.txt", "LISEZMOI", ".VELKTEST.QWK.a1b2c3", "B.qwk"})
        writeFileAtomically(joinPath(dir.path(), QString::fromLatin1(name)), "x");
    QDir(dir.path()).mkdir(QStringLiteral("ARCHIVE.QWK"));
    struct Case {
        const char* mask;
        QStringList names;
    };
    const Case cases[] = {
        {"*.Q*", {"autre.qw1", "B.qwk", "VELKTEST.QWK"}},
        {"*.*", {"autre.qw1", "B.qwk", "LISEZMOI", "Notes.txt", "VELKTEST.QWK"}},
        {"*.TXT", {"Notes.txt"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(packetFileNames(dir.path(), QString::fromLatin1(c.mask)), c.names) << c.mask;
    EXPECT_TRUE(
        packetFileNames(joinPath(dir.path(), QStringLiteral("ABSENT")), QStringLiteral("*.*"))
            .isEmpty());
}

TEST(PacketChoice, ChosenPath) {
    EXPECT_EQ(chosenPacketPath(QStringLiteral("/home/anne/QWK"), QStringLiteral("A.QWK")),
              QStringLiteral("/home/anne/QWK/A.QWK"));
    EXPECT_EQ(chosenPacketPath(QStringLiteral("/"), QStringLiteral("A.QWK")),
              QStringLiteral("/A.QWK"));
    EXPECT_TRUE(chosenPacketPath(QStringLiteral("/home/anne/QWK"), QString()).isEmpty());
}

} // namespace velk
