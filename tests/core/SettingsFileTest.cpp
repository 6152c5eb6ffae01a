// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/SettingsFile.h"
#include "core/SettingsAppearance.h"
#include "core/VelkError.h"
#include "tests/support/ProgramDir.h"

#include <gtest/gtest.h>

namespace velk {

namespace K = SettingsKeys;

TEST(SettingsFile, AbsentOrEmptyKeysGiveTheDefaults) {
    ProgramDir dir(QByteArray("[Divers]\r\nMaxCar=\r\n[Police]\r\n"));
    const ProfileFile file = dir.session.settingsFile();
    Settings s;
    s.maxCar = 0;
    readDirectories(file, s);
    readLineWidth(file, s);
    readColours(file, s);
    readMessageFont(file, s);
    readPrinterSettings(file, s);
    EXPECT_EQ(s.velkPath, QDir::homePath() + QStringLiteral("/VELK"));
    EXPECT_EQ(s.workPath, QDir::homePath() + QStringLiteral("/VELK/WORK"));
    EXPECT_EQ(s.qwkPath, QDir::homePath());
    EXPECT_EQ(s.repPath, QDir::homePath());
    EXPECT_EQ(readFirstUse(file), 1);
    EXPECT_EQ(s.maxCar, 78);
    EXPECT_EQ(s.quoteColour, 32768u);
    EXPECT_EQ(s.inkColour, 0u);
    EXPECT_EQ(s.backColour, 16777215u);
    EXPECT_EQ(s.lineHeight, 80);
    EXPECT_EQ(s.linesPerPage, 66);
    EXPECT_EQ(s.messageFont.family, QStringLiteral("Times New Roman"));
    EXPECT_EQ(s.messageFont.pointSize, 12);
    EXPECT_FALSE(s.messageFont.bold);
    EXPECT_FALSE(s.messageFont.italic);
    EXPECT_TRUE(s.fontNotTerminal);
}

TEST(SettingsFile, ValuesAreCutAt79ButDirectoriesAreKeptWhole) {
    const QString longName = QString(100, QLatin1Char('N'));
    const QString longDir = QStringLiteral("/home/utilisateur/") + QString(90, QLatin1Char('d'));
    ProgramDir dir(QStringLiteral("[repertoire]\r\nvelkpath=%1\r\n[POLICE]\r\nNOM=%2\r\n")
                       .arg(longDir, longName)
                       .toUtf8());
    const ProfileFile file = dir.session.settingsFile();
    Settings s;
    readDirectories(file, s);
    readMessageFont(file, s);
    EXPECT_EQ(s.velkPath, longDir);
    EXPECT_EQ(s.messageFont.family, longName.left(79));
    EXPECT_EQ(readSettingText(file, K::Police, K::Nom, {}).size(), 79);
}

TEST(SettingsFile, StrictIntegerConversion) {
    const struct {
        const char* text;
        int value;
    } good[] = {{"78", 78},        {" 78", 78},
                {"+5", 5},         {"-5", -5},
                {"$1F", 31},       {"$ff", 255},
                {"0", 0},          {"2147483647", 2147483647},
                {"$FFFFFFFF", -1}, {"-2147483648", -2147483647 - 1}};
    for (const auto& c : good)
        EXPECT_EQ(toIntegerStrict(QString::fromLatin1(c.text)), c.value) << c.text;
    for (const char* bad : {"", " ", "78 ", "7a", "abc", "-", "$", "1.5", "2147483648",
                            "99999999999999999999", "$1FFFFFFFF", "0x10"}) {
        try {
            toIntegerStrict(QString::fromLatin1(bad));
            ADD_FAILURE() << "accepted " << bad;
        } catch (const VelkError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("'") + QString::fromLatin1(bad) +
                                       QStringLiteral("' n'est pas une valeur entière correcte"));
        }
    }
}

TEST(SettingsFile, AnIntegerKeyHoldingTextStopsTheReading) {
    ProgramDir dir(QByteArray("[Divers]\r\nMaxCar=soixante\r\n"));
    Settings s;
    try {
        readLineWidth(dir.session.settingsFile(), s);
        ADD_FAILURE() << "no error";
    } catch (const VelkError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'soixante' n'est pas une valeur entière correcte"));
    }
}

TEST(SettingsFile, ColoursAreReadLeniently) {
    const struct {
        const char* text;
        std::uint32_t value;
    } cases[] = {
        {"32768", 32768},    {"  255", 255}, {"255abc", 255}, {"$FF00", 0xFF00}, {"$ffzz", 0xFF},
        {"-1", 0xFFFFFFFFu}, {"+12", 12},    {"abc", 0},      {"12 34", 12},     {"", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(parseColourValue(QString::fromLatin1(c.text)), c.value) << c.text;

    ProgramDir dir(QByteArray("[Divers]\r\nCouleurQuote=255 (rouge)\r\nCouleurFond=$FF0000\r\n"));
    Settings s;
    readColours(dir.session.settingsFile(), s);
    EXPECT_EQ(s.quoteColour, 255u);
    EXPECT_EQ(s.inkColour, 0u);
    EXPECT_EQ(s.backColour, 0xFF0000u);
    EXPECT_EQ(colourFromWindows(255), QColor(255, 0, 0));
    EXPECT_EQ(colourFromWindows(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(windowsFromColour(QColor(0, 128, 0)), 32768u);
}

TEST(SettingsFile, FontStyleAndTheDosFontFlag) {
    const struct {
        const char* name;
        const char* style;
        bool bold, italic, notTerminal;
    } cases[] = {
        {"TerminalDOS", "0", false, false, false}, {"terminaldos", "1", true, false, true},
        {"Courier New", "2", false, true, true},   {"Arial", "3", true, true, true},
        {"Arial", "4", false, false, true},        {"Arial", "-1", false, false, true},
    };
    for (const auto& c : cases) {
        ProgramDir dir(QStringLiteral("[Police]\r\nNom=%1\r\nTaille=9\r\nStyle=%2\r\n")
                           .arg(QString::fromLatin1(c.name), QString::fromLatin1(c.style))
                           .toUtf8());
        Settings s;
        readMessageFont(dir.session.settingsFile(), s);
        EXPECT_EQ(s.messageFont.family, QString::fromLatin1(c.name));
        EXPECT_EQ(s.messageFont.pointSize, 9);
        EXPECT_EQ(s.messageFont.bold, c.bold) << c.name << c.style;
        EXPECT_EQ(s.messageFont.italic, c.italic) << c.name << c.style;
        EXPECT_EQ(s.fontNotTerminal, c.notTerminal) << c.name;
    }
}

TEST(SettingsFile, StyleIsWrittenOnlyForExactlyBoldItalicOrBoth) {
    auto font = [](bool bold, bool italic, bool underline, bool strike) {
        QFont f(QStringLiteral("Arial"), 11);
        f.setBold(bold);
        f.setItalic(italic);
        f.setUnderline(underline);
        f.setStrikeOut(strike);
        return f;
    };
    EXPECT_EQ(fontStyleCode(font(false, false, false, false)), 0);
    EXPECT_EQ(fontStyleCode(font(true, false, false, false)), 1);
    EXPECT_EQ(fontStyleCode(font(false, true, false, false)), 2);
    EXPECT_EQ(fontStyleCode(font(true, true, false, false)), 3);
    EXPECT_EQ(fontStyleCode(font(false, false, true, false)), 0);
    EXPECT_EQ(fontStyleCode(font(true, false, true, false)), 0);
    EXPECT_EQ(fontStyleCode(font(true, true, false, true)), 0);

    ProgramDir dir(QByteArray("[Police]\r\nNom=Arial\r\nStyle=1\r\n"));
    writeMessageFont(dir.session.settingsFile(), font(false, false, true, false));
    EXPECT_EQ(dir.read(QStringLiteral("VELK.INI")),
              QByteArray("[Police]\r\nNom=Arial\r\nStyle=0\r\nTaille=11\r\n"));
}

TEST(SettingsFile, WritersKeepTheOtherLines) {
    ProgramDir dir(QByteArray("; réglages\r\n[Divers]\r\nFirstUse=1\r\n[Autre]\r\nCle=1\r\n"));
    const ProfileFile file = dir.session.settingsFile();
    writeFirstUse(file, 0);
    writeColour(file, ColourKey::Ink, 255);
    writePrinterSettings(file, QStringLiteral("90"), QStringLiteral("60"));
    writeDirectories(file, QStringLiteral("/a"), QStringLiteral("/q"), QStringLiteral("/r"),
                     QStringLiteral("/w"));
    EXPECT_EQ(dir.read(QStringLiteral("VELK.INI")),
              QByteArray("; réglages\r\n[Divers]\r\nFirstUse=0\r\nCouleurEncre=255\r\n[Autre]\r\n"
                         "Cle=1\r\n[Imprimante]\r\nHauteurLigne=90\r\nNbLignes=60\r\n"
                         "[Repertoire]\r\nVELKPath=/a\r\nQWKPath=/q\r\nREPPath=/r\r\n"
                         "WorkPath=/w\r\n"));
}

TEST(SettingsFile, SignatureIsShortAndKeptScrambled) {
    Settings s;
    s.scrambledSignature = scrambledProgramSignature();
    const std::string plain = programSignature(s);
    EXPECT_LE(plain.size(), 13u);
    EXPECT_EQ(plain.rfind("VELK", 0), 0u);
    EXPECT_EQ(s.scrambledSignature.find("VELK"), std::string::npos);
}

} // namespace velk
