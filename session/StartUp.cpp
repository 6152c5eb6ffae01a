// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/StartUp.h"

#include "core/Diagnostics.h"
#include "core/DosFont.h"
#include "core/FileUtil.h"
#include "core/SettingsDialogs.h"
#include "core/SettingsFile.h"
#include "core/VelkError.h"
#include "library/LibraryFile.h"
#include "packet/PacketOpening.h"
#include "session/Session.h"

#include <QDir>
#include <QFileInfo>

namespace velk {

void establishStartDirectory(Session& session, const QStringList& arguments,
                             const QString& executableDirectory) {
    session.executableDirectory = executableDirectory;
    session.openFromCommandLine = !arguments.isEmpty();
    if (session.openFromCommandLine) {
        // The packet path is taken before the current directory changes under it.
        session.commandLinePacket = QFileInfo(arguments.constFirst()).absoluteFilePath();
        session.startDirectory = executableDirectory;
        QDir::setCurrent(executableDirectory);
    } else {
        session.commandLinePacket.clear();
        session.startDirectory = QDir::currentPath();
    }
}

void startUnpackBeforeWindows(Session& session, const QStringList& arguments,
                              const QString& executableDirectory) {
    // An option of the toolkit is no packet; the ordinary start-up reads the arguments again.
    if (arguments.isEmpty() || arguments.constFirst().startsWith(QLatin1Char('-')) ||
        !QFileInfo(arguments.constFirst()).isFile())
        return;
    establishStartDirectory(session, arguments, executableDirectory);
    if (checkFontFile(session) || VerifIni(session))
        return;
    try {
        const ProfileFile file = session.settingsFile();
        Settings& s = session.settings;
        readDirectories(file, s);
        s.firstUse = readFirstUse(file);
        if (s.firstUse == 1)
            return;
        for (const QString* dir : {&s.velkPath, &s.workPath, &s.qwkPath, &s.repPath}) {
            if (!isUsableDirectory(*dir))
                return;
        }
    } catch (const VelkError&) {
        return;
    }
    startCommandLineUnpack(session);
}

QString startDirectoryForDisplay(const Session& session) {
    const QString& dir = session.startDirectory;
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

QString fontFilePath(const Session& session) {
    return joinPath(session.startDirectory, kDosFontFile);
}

QString helpFilePath(const Session& session) {
    return joinPath(session.startDirectory, QStringLiteral("VELK.HLP"));
}

StartUpResult checkFontFile(const Session& session) {
    if (QFileInfo(fontFilePath(session)).isFile())
        return std::nullopt;
    return StartUpFailure{
        1, QStringLiteral("Impossible de trouver le fichier de fonte (VELKFONT.FON)\n dans le "
                          "répertoire courant :\n") +
               startDirectoryForDisplay(session) + QStringLiteral("\n\nProgramme terminé.")};
}

StartUpResult VerifIni(const Session& session) {
    struct Required {
        const char* name;
        const char* what;
    };
    static constexpr Required files[] = {
        {"VELK.INI", "de paramètres"},      {"ENTETES.INI", "des entêtes"},
        {"TAGLINES.INI", "des taglines"},   {"PIEDPAGE.INI", "des pieds de pages"},
        {"AMIS.INI", "des correspondants"},
    };
    for (const Required& f : files) {
        const QString name = QString::fromUtf8(f.name);
        if (QFileInfo(joinPath(session.startDirectory, name)).isFile())
            continue;
        return StartUpFailure{1, QStringLiteral("Impossible de trouver le fichier ") +
                                     QString::fromUtf8(f.what) + QStringLiteral(" (") + name +
                                     QStringLiteral(")\ndans le répertoire courant :\n") +
                                     startDirectoryForDisplay(session) +
                                     QStringLiteral("\n\nCopiez un exemplaire de ") + name +
                                     QStringLiteral(" dans le répertoire cité.")};
    }
    return std::nullopt;
}

StartUpResult InitDivers(Session& session, Diagnostics& said) {
    const ProfileFile file = session.settingsFile();
    Settings& s = session.settings;
    readDirectories(file, s);
    s.firstUse = readFirstUse(file);
    if (s.firstUse == 1) {
        s.velkPath = s.workPath = s.qwkPath = s.repPath = session.startDirectory;
    } else {
        QString failed;
        for (const QString* dir : {&s.velkPath, &s.workPath, &s.qwkPath, &s.repPath}) {
            if (!isUsableDirectory(*dir))
                failed = *dir;
        }
        if (!failed.isNull())
            return StartUpFailure{2, QStringLiteral("Le répertoire \"") + failed +
                                         QStringLiteral("\" n'existe pas.\nLa modification "
                                                        "manuelle de VELK.INI est nécessaire.")};
    }
    readLineWidth(file, s);
    readColours(file, s);
    readMessageFont(file, s);
    LoadAllLibraries(session, said);
    readPrinterSettings(file, s);
    s.scrambledSignature = scrambledProgramSignature();
    return std::nullopt;
}

bool isFirstUse(const Session& session) {
    return session.settings.firstUse == 1;
}

void clearFirstUse(Session& session) {
    session.settings.firstUse = 0;
    writeFirstUse(session.settingsFile(), 0);
}

} // namespace velk
