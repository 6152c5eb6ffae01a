// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/StartUp.h"
#include "core/Archiver.h"
#include "core/DosFont.h"
#include "core/SettingsDialogs.h"
#include "core/VelkError.h"
#include "packet/PacketOpening.h"
#include "session/Session.h"
#include "tests/support/ProgramDir.h"
#include "tests/support/ScriptedUiServices.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace velk {

namespace {
const char* const kRequired[] = {"VELK.INI", "ENTETES.INI", "TAGLINES.INI", "PIEDPAGE.INI",
                                 "AMIS.INI"};

void writeAll(const ProgramDir& dir) {
    for (const char* f : kRequired)
        dir.write(QString::fromLatin1(f), "x");
}
} // namespace

TEST(StartUp, VerifIniReportsOnlyTheFirstMissingFileInOrder) {
    const struct {
        const char* missing;
        const char* what;
    } cases[] = {
        {"VELK.INI", "de paramètres"},      {"ENTETES.INI", "des entêtes"},
        {"TAGLINES.INI", "des taglines"},   {"PIEDPAGE.INI", "des pieds de pages"},
        {"AMIS.INI", "des correspondants"},
    };
    for (const auto& c : cases) {
        ProgramDir dir;
        writeAll(dir);
        // Every file after this one is missing too: only this one is named.
        bool after = false;
        for (const char* f : kRequired) {
            if (after || QByteArray(f) == c.missing)
                QFile::remove(dir.path(QString::fromLatin1(f)));
            after = after || QByteArray(f) == c.missing;
        }
        const StartUpResult r = VerifIni(dir.session);
        ASSERT_TRUE(r.has_value()) << c.missing;
        EXPECT_EQ(r->exitCode, 1);
        const QString name = QString::fromLatin1(c.missing);
        EXPECT_EQ(r->message, QStringLiteral("Impossible de trouver le fichier ") +
                                  QString::fromUtf8(c.what) + QStringLiteral(" (") + name +
                                  QStringLiteral(")\ndans le répertoire courant :\n") +
                                  dir.temp.path() +
                                  QStringLiteral("/\n\nCopiez un exemplaire de ") + name +
                                  QStringLiteral(" dans le répertoire cité."));
    }
    ProgramDir complete;
    writeAll(complete);
    EXPECT_FALSE(VerifIni(complete.session).has_value());
}

TEST(StartUp, FontFileMessage) {
    ProgramDir dir;
    const StartUpResult r = checkFontFile(dir.session);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->exitCode, 1);
    EXPECT_EQ(r->message,
              QStringLiteral("Impossible de trouver le fichier de fonte (VELKFONT.FON)\n"
                             " dans le répertoire courant :\n") +
                  dir.temp.path() + QStringLiteral("/\n\nProgramme terminé."));
    dir.write(QStringLiteral("VELKFONT.FON"), "font");
    EXPECT_FALSE(checkFontFile(dir.session).has_value());
}

TEST(StartUp, StartDirectoryWithAndWithoutArgument) {
    const QString before = QDir::currentPath();
    QTemporaryDir exe;
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());

    Session plain;
    establishStartDirectory(plain, {}, exe.path());
    EXPECT_EQ(QFileInfo(plain.startDirectory).canonicalFilePath(),
              QFileInfo(elsewhere.path()).canonicalFilePath());
    EXPECT_FALSE(plain.openFromCommandLine);

    Session withPacket;
    establishStartDirectory(withPacket, {QStringLiteral("DEMO.QWK")}, exe.path());
    EXPECT_EQ(withPacket.startDirectory, exe.path());
    EXPECT_TRUE(withPacket.openFromCommandLine);
    EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(),
              QFileInfo(exe.path()).canonicalFilePath());
    // The packet named relative to where the user was.
    EXPECT_EQ(QFileInfo(withPacket.commandLinePacket).dir().canonicalPath(),
              QFileInfo(elsewhere.path()).canonicalFilePath());
    QDir::setCurrent(before);
}

TEST(StartUp, FirstUseTakesTheStartDirectoryWithoutTestingAnything) {
    ProgramDir dir(QByteArray("[Repertoire]\r\nVELKPath=/nulle/part\r\nWorkPath=/ni/ici\r\n"
                              "[Divers]\r\nMaxCar=70\r\n[Imprimante]\r\nNbLignes=50\r\n"));
    ScriptedUiServices ui;
    EXPECT_FALSE(REPORTED_TO(ui, InitDivers(dir.session, said)).has_value());
    const Settings& s = dir.session.settings;
    for (const QString* d : {&s.velkPath, &s.workPath, &s.qwkPath, &s.repPath})
        EXPECT_EQ(*d, dir.temp.path());
    EXPECT_TRUE(isFirstUse(dir.session));
    EXPECT_EQ(s.maxCar, 70);
    EXPECT_EQ(s.linesPerPage, 50);
    EXPECT_FALSE(s.scrambledSignature.empty());
    EXPECT_TRUE(ui.events().empty());
    // The libraries come from the start directory too (built-in content for empty files).
    ASSERT_FALSE(dir.session.libraries.CorrespondentList.empty());
    EXPECT_EQ(dir.session.libraries.CorrespondentList.front().text.substr(0, 3), "ALL");

    clearFirstUse(dir.session);
    EXPECT_FALSE(isFirstUse(dir.session));
    EXPECT_TRUE(
        dir.read(QStringLiteral("VELK.INI")).contains("[Divers]\r\nMaxCar=70\r\nFirstUse=0\r\n"));
}

TEST(StartUp, InitDiversNamesTheLastMissingDirectory) {
    ProgramDir dir;
    dir.makeWorkingLayout();
    ScriptedUiServices ui;
    EXPECT_FALSE(REPORTED_TO(ui, InitDivers(dir.session, said)).has_value());
    EXPECT_EQ(dir.session.settings.workPath, dir.path(QStringLiteral("WORK")));

    // Order installation, work, QWK, REP: with work and QWK missing, QWK is named.
    QDir(dir.path(QStringLiteral("WORK"))).removeRecursively();
    QDir(dir.path(QStringLiteral("QWK"))).removeRecursively();
    StartUpResult r = REPORTED_TO(ui, InitDivers(dir.session, said));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->exitCode, 2);
    EXPECT_EQ(r->message, QStringLiteral("Le répertoire \"") + dir.path(QStringLiteral("QWK")) +
                              QStringLiteral("\" n'existe pas.\nLa modification manuelle de "
                                             "VELK.INI est nécessaire."));
    dir.makeDir(QStringLiteral("QWK"));
    r = REPORTED_TO(ui, InitDivers(dir.session, said));
    ASSERT_TRUE(r.has_value());
    EXPECT_TRUE(r->message.contains(dir.path(QStringLiteral("WORK")) + QLatin1Char('"')));
}

TEST(StartUp, AReadOnlyDirectoryCountsAsMissing) {
    ProgramDir dir;
    dir.makeWorkingLayout();
    const QString rep = dir.path(QStringLiteral("REP"));
    QFile::setPermissions(rep, QFile::ReadOwner | QFile::ExeOwner);
    ScriptedUiServices ui;
    const StartUpResult r = REPORTED_TO(ui, InitDivers(dir.session, said));
    QFile::setPermissions(rep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->exitCode, 2);
    EXPECT_TRUE(r->message.contains(rep));
}

TEST(StartUp, ABadNumberInTheSettingsStopsInitDivers) {
    ProgramDir dir(QByteArray("[Divers]\r\nFirstUse=oui\r\n"));
    ScriptedUiServices ui;
    EXPECT_THROW(REPORTED_TO(ui, InitDivers(dir.session, said)), VelkError);
}

TEST(StartUp, CheckOrCreateDirectory) {
    ProgramDir dir;
    ScriptedUiServices ui;
    const QString existing = dir.makeDir(QStringLiteral("LA"));
    EXPECT_TRUE(checkOrCreateDirectory(existing, ui));
    EXPECT_TRUE(ui.events().empty());

    const QString fresh = dir.path(QStringLiteral("Réponses"));
    ui.answerYesNo(false);
    EXPECT_FALSE(checkOrCreateDirectory(fresh, ui));
    EXPECT_FALSE(QFileInfo::exists(fresh));
    ASSERT_EQ(ui.events().size(), 1u);
    EXPECT_EQ(ui.events()[0].text, QStringLiteral("Le répertoire \"") + fresh +
                                       QStringLiteral("\" n'existe pas.\nVoulez-vous le créer ?"));
    EXPECT_EQ(ui.events()[0].caption, QStringLiteral("Message"));

    ui.answerYesNo(true);
    EXPECT_TRUE(checkOrCreateDirectory(fresh, ui));
    EXPECT_TRUE(QFileInfo(fresh).isDir());

    // One level only; a creation that fails is said and refused.
    const QString deep = dir.path(QStringLiteral("A/B"));
    ui.clear();
    ui.answerYesNo(true);
    EXPECT_FALSE(checkOrCreateDirectory(deep, ui));
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Impossible de créer le répertoire \"") +
                                         deep + QStringLiteral("\".")});
    EXPECT_TRUE(ui.allAnswersUsed());
}

} // namespace velk

namespace velk {

// A packet named on the command line starts unpacking before the windows when the start-up
// checks pass, and the ordinary start-up keeps that unpacking; else nothing is started.
TEST(StartUp, UnpackingStartsBeforeTheWindowsOnlyWhenTheChecksPass) {
    ProgramDir dir;
    dir.makeWorkingLayout();
    for (const char* f : {"ENTETES.INI", "TAGLINES.INI", "PIEDPAGE.INI", "AMIS.INI"})
        dir.write(QString::fromLatin1(f), "x");
    const QString packet = dir.path(QStringLiteral("QWK/PAQUET.QWK"));
    dir.write(QStringLiteral("QWK/PAQUET.QWK"), "x");
    // No font file; an option of the toolkit first; all there; a directory missing.
    const std::pair<QStringList, bool> cases[] = {
        {{packet}, false}, {{"-style", packet}, false}, {{packet}, true}, {{packet}, false}};
    for (const auto& [arguments, started] : cases) {
        Session s;
        startUnpackBeforeWindows(s, arguments, dir.path(QString()));
        EXPECT_EQ(s.pendingUnpack != nullptr, started) << arguments.join(' ').toStdString();
        const UnpackJob* early = s.pendingUnpack.get();
        startCommandLineUnpack(s);
        EXPECT_TRUE(!started || s.pendingUnpack.get() == early);
        dir.write(kDosFontFile, "x");
        if (started)
            QDir(dir.path(QStringLiteral("REP"))).removeRecursively();
    }
}

} // namespace velk
