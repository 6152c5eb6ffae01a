// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/DirectoryGuard.h"

#include "core/FileUtil.h"
#include "core/Settings.h"

#include <QDir>

namespace velk {

QString workDirectoryConflict(const QString& workPath, const QString& startDirectory,
                              const QString& velkPath, const QString& qwkPath,
                              const QString& repPath) {
    const QString intro =
        QStringLiteral("Le répertoire temporaire de travail ( ") + workPath + QStringLiteral(" )");
    const QString outro = QStringLiteral("\nSon contenu est effacé à chaque ouverture de paquet : "
                                         "choisissez un répertoire réservé à VELK.");
    if (workPath.isEmpty() || QDir(QDir::cleanPath(workPath)).isRoot() ||
        isSameOrInside(QDir::homePath(), workPath))
        return intro + QStringLiteral(" contient vos fichiers personnels.") + outro;
    struct Other {
        QString path;
        const char* what;
    };
    const Other others[] = {
        {startDirectory, "le répertoire du programme"},
        {velkPath, "le répertoire d'installation"},
        {qwkPath, "le répertoire des fichiers *.QWK"},
        {repPath, "le répertoire des fichiers *.REP"},
    };
    // The directory the work directory is, before any it merely holds: several may be
    // concerned at once when they share a folder.
    for (const bool same : {true, false}) {
        for (const Other& o : others) {
            if (o.path.isEmpty() || !isSameOrInside(o.path, workPath) ||
                same != isSameOrInside(workPath, o.path))
                continue;
            return intro + QStringLiteral(" est ") + QString::fromUtf8(o.what) +
                   QStringLiteral(" ( ") + QDir::cleanPath(o.path) +
                   QStringLiteral(" ) ou l'un de ses parents.") + outro;
        }
    }
    return {};
}

QString workDirectoryConflict(const Settings& s, const QString& startDirectory) {
    return workDirectoryConflict(s.workPath, startDirectory, s.velkPath, s.qwkPath, s.repPath);
}

} // namespace velk
