// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/FileUtil.h"
#include "session/Session.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

// A temporary program directory with its settings file, and a session working from it.
struct ProgramDir {
    QTemporaryDir temp;
    Session session;

    explicit ProgramDir(const QByteArray& ini = {}) {
        session.startDirectory = temp.path();
        if (!ini.isNull())
            write(QStringLiteral("VELK.INI"), ini);
    }
    QString path(const QString& name) const { return joinPath(temp.path(), name); }
    void write(const QString& name, const QByteArray& data) const {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QString makeDir(const QString& name) const {
        QDir(temp.path()).mkpath(name);
        return path(name);
    }
    // A VELK.INI naming four directories below the program directory, all present.
    static QByteArray settingsWithDirectories(const QString& root, int firstUse = 0) {
        return QStringLiteral(
                   "[Repertoire]\r\nVELKPath=%1\r\nWorkPath=%1/WORK\r\nQWKPath=%1/QWK\r\n"
                   "REPPath=%1/REP\r\n[Divers]\r\nFirstUse=%2\r\n")
            .arg(root)
            .arg(firstUse)
            .toUtf8();
    }
    void makeWorkingLayout(int firstUse = 0) {
        for (const char* d : {"WORK", "QWK", "REP"})
            makeDir(QString::fromLatin1(d));
        write(QStringLiteral("VELK.INI"), settingsWithDirectories(temp.path(), firstUse));
    }
};

} // namespace velk
