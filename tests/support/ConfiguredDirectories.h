// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/FileUtil.h"
#include "session/Session.h"

#include <QDir>
#include <QTemporaryDir>

namespace velk {

// The four configured directories (VELK, WORK, QWK, REP) in a temporary folder, with the
// session pointing at them and the program started from VELK.
struct ConfiguredDirectories {
    QTemporaryDir root;

    QString dir(const QString& name) const { return joinPath(root.path(), name); }

    void configure(Session& s) const {
        for (const char* d : {"VELK", "WORK", "QWK", "REP"})
            QDir().mkpath(dir(QString::fromLatin1(d)));
        s.startDirectory = dir(QStringLiteral("VELK"));
        s.settings.velkPath = dir(QStringLiteral("VELK"));
        s.settings.workPath = dir(QStringLiteral("WORK"));
        s.settings.qwkPath = dir(QStringLiteral("QWK"));
        s.settings.repPath = dir(QStringLiteral("REP"));
    }
};

} // namespace velk
