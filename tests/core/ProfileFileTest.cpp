// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/ProfileFile.h"
#include "core/FileUtil.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

namespace {
QByteArray contents(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
void write(const QString& path, const QByteArray& data) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
}
} // namespace

TEST(ProfileFile, ReadsKeysWithoutRegardToCaseAndFallsBackToDefault) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("VELK.INI"));
    write(path, "[Repertoire]\r\nVELKPath = /home/u/VELK \r\nWorkPath=\r\n[Divers]\nMaxCar=70\n");
    const ProfileFile ini(path);
    EXPECT_EQ(ini.readString(QStringLiteral("repertoire"), QStringLiteral("velkpath")),
              QStringLiteral("/home/u/VELK"));
    EXPECT_EQ(ini.readString(QStringLiteral("Repertoire"), QStringLiteral("WorkPath"),
                             QStringLiteral("def")),
              QStringLiteral("def"));
    EXPECT_EQ(ini.readString(QStringLiteral("Divers"), QStringLiteral("MaxCar")),
              QStringLiteral("70"));
    EXPECT_EQ(
        ini.readString(QStringLiteral("Divers"), QStringLiteral("VELKPath"), QStringLiteral("x")),
        QStringLiteral("x"));
    EXPECT_EQ(ProfileFile(dir.filePath(QStringLiteral("absent.ini")))
                  .readString(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST(ProfileFile, WriteReplacesInsertsAndKeepsOtherLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("VELK.INI"));
    write(path,
          "; comment\r\n[Divers]\r\nFirstUse=1\r\nMaxCar=78\r\n\r\n[Police]\r\nNom=Arial\r\n");
    const ProfileFile ini(path);
    ini.writeString(QStringLiteral("DIVERS"), QStringLiteral("firstuse"), QStringLiteral("0"));
    ini.writeString(QStringLiteral("Divers"), QStringLiteral("CouleurQuote"),
                    QStringLiteral("255"));
    ini.writeString(QStringLiteral("Imprimante"), QStringLiteral("NbLignes"), QStringLiteral("60"));
    EXPECT_EQ(contents(path), QByteArray("; comment\r\n[Divers]\r\nfirstuse=0\r\nMaxCar=78\r\n"
                                         "CouleurQuote=255\r\n\r\n[Police]\r\nNom=Arial\r\n"
                                         "[Imprimante]\r\nNbLignes=60\r\n"));
    EXPECT_EQ(ini.readString(QStringLiteral("Divers"), QStringLiteral("FirstUse")),
              QStringLiteral("0"));
}

TEST(ProfileFile, WriteCreatesTheFileAndFailsLoudlyInAMissingDirectory) {
    QTemporaryDir dir;
    const ProfileFile ini(dir.filePath(QStringLiteral("NEW.INI")));
    ini.writeString(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("é"));
    EXPECT_EQ(contents(ini.path()), QByteArray("[A]\r\nK=\xC3\xA9\r\n"));
    const ProfileFile lost(dir.filePath(QStringLiteral("no/such/dir/VELK.INI")));
    EXPECT_ANY_THROW(
        lost.writeString(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("v")));
}

} // namespace velk
