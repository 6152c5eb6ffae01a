// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FileUtil.h"
#include "core/VelkError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace velk {

TEST(FileUtil, WildcardsMatchWithoutRegardToCaseAsOnDos) {
    EXPECT_TRUE(wildcardMatch(QStringLiteral("*.NDX"), QStringLiteral("005.ndx")));
    EXPECT_TRUE(wildcardMatch(QStringLiteral("BLT-*.*"), QStringLiteral("blt-0.12")));
    EXPECT_TRUE(wildcardMatch(QStringLiteral("BLT-*.*"), QStringLiteral("BLT-1")));
    EXPECT_TRUE(wildcardMatch(QStringLiteral("*.*"), QStringLiteral("NEWFILES")));
    EXPECT_FALSE(wildcardMatch(QStringLiteral("*.NDX"), QStringLiteral("005.NDX.bak")));
    EXPECT_TRUE(wildcardMatch(QStringLiteral("*.Q*"), QStringLiteral("board.qwk")));
}

TEST(FileUtil, FindsFilesWhateverTheirCase) {
    QTemporaryDir dir;
    QFile(dir.filePath(QStringLiteral("control.dat"))).open(QIODevice::WriteOnly);
    QFile(dir.filePath(QStringLiteral("5.ndx"))).open(QIODevice::WriteOnly);
    QDir(dir.path()).mkdir(QStringLiteral("sub.ndx"));
    EXPECT_EQ(findFileNoCase(dir.path(), QStringLiteral("CONTROL.DAT")),
              dir.filePath(QStringLiteral("control.dat")));
    EXPECT_FALSE(findFileNoCase(dir.path(), QStringLiteral("DOOR.ID")).has_value());
    EXPECT_EQ(findFiles(dir.path(), QStringLiteral("*.NDX")), QStringList{QStringLiteral("5.ndx")});
}

TEST(FileUtil, ReadOnlyDirectoryIsNotUsable) {
    QTemporaryDir dir;
    EXPECT_TRUE(isUsableDirectory(dir.path()));
    EXPECT_FALSE(isUsableDirectory(dir.filePath(QStringLiteral("absent"))));
    QFile(dir.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly);
    EXPECT_FALSE(isUsableDirectory(dir.filePath(QStringLiteral("file"))));
    const QString ro = dir.filePath(QStringLiteral("ro"));
    QDir(dir.path()).mkdir(QStringLiteral("ro"));
    ::chmod(QFile::encodeName(ro).constData(), 0555);
    EXPECT_FALSE(isUsableDirectory(ro));
    ::chmod(QFile::encodeName(ro).constData(), 0755);
}

TEST(FileUtil, AtomicWriteReplacesWholeOrNotAtAll) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("AMIS.INI"));
    writeFileAtomically(path, "first");
    writeFileAtomically(path, "second");
    EXPECT_EQ(readWholeFile(path), QByteArray("second"));
    EXPECT_THROW(writeFileAtomically(dir.filePath(QStringLiteral("none/x")), "x"), VelkError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("AMIS.INI")});
    EXPECT_THROW(readWholeFile(dir.filePath(QStringLiteral("absent"))), VelkError);
    EXPECT_EQ(fileSizeBytes(path), 6);
}

TEST(FileUtil, SameOrInsideComparesWholePathElements) {
    EXPECT_TRUE(isSameOrInside(QStringLiteral("/home/u/VELK"), QStringLiteral("/home/u/VELK/")));
    EXPECT_TRUE(isSameOrInside(QStringLiteral("/home/u/VELK/WORK"), QStringLiteral("/home/u")));
    EXPECT_FALSE(isSameOrInside(QStringLiteral("/home/u/VELK2"), QStringLiteral("/home/u/VELK")));
    EXPECT_FALSE(isSameOrInside(QStringLiteral("/home"), QStringLiteral("/home/u")));
    EXPECT_TRUE(
        isSameOrInside(QStringLiteral("/home/u/a/../VELK"), QStringLiteral("/home/u/VELK")));
}

} // namespace velk
