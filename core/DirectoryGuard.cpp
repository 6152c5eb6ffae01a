// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/DirectoryGuard.h"

#include "core/FileUtil.h"
#include "core/Settings.h"

#include <QDir>

QString workDirectoryConflict(const QString& workPath, const QString& startDirectory,
                              const QString& velkPath, const QString& qwkPath,
                              const QString& repPath) {
    const QString intro =
        QStringLiteral("Le répertoire temporaire de travail ( ") + workPath + QStringLiteral(" )");
    const QString outro = QStringLiteral("\nSon contenu est effacé à chaque ouverture de paquet : "
                                         "choisissez un répertoire réservé à VELK.");
    if (workPath.isEmpty() || QDir(workPath).isRoot() || isSameOrInside(QDir::homePath(), workPath))
        return intro + QStringLiteral(" contient vos fichiers personnels.") + outro;
    struct Other {
        QString path;
        const char* what;
    };
    const Other others[] = {
        {startDirectory, " est le répertoire du programme ou l'un de ses parents."},
        {velkPath, " est le répertoire d'installation ou l'un de ses parents."},
        {qwkPath, " est le répertoire des fichiers *.QWK ou l'un de ses parents."},
        {repPath, " est le répertoire des fichiers *.REP ou l'un de ses parents."},
    };
    for (const Other& o : others) {
        if (!o.path.isEmpty() && isSameOrInside(o.path, workPath))
            return intro + QString::fromUtf8(o.what) + outro;
    }
    return {};
}

QString workDirectoryConflict(const Settings& s, const QString& startDirectory) {
    return workDirectoryConflict(s.workPath, startDirectory, s.velkPath, s.qwkPath, s.repPath);
}
