// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Archiver.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <set>
#include <system_error>

int RunAndWait(const QString& program, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(program).isEmpty() &&
        !(program.contains(QLatin1Char('/')) && QFileInfo(program).isExecutable()))
        return IoCode::FileNotFound;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments, QIODevice::NotOpen);
    if (!process.waitForStarted(-1))
        return IoCode::AccessDenied;
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

namespace {

bool isPlain(const fs::file_status& st) {
    return fs::is_regular_file(st) || fs::is_directory(st);
}

// Every entry below the directory that is neither a regular file nor a directory; links
// are never followed.
std::vector<fs::path> specialEntries(const fs::path& dir) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!isPlain(it->symlink_status(ec)))
            found.push_back(it->path());
    }
    return found;
}

std::set<fs::path> topLevelNames(const fs::path& dir) {
    std::set<fs::path> names;
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        names.insert(it->path().filename());
    return names;
}

} // namespace

UnpackResult unpackArchive(const QString& archive, const QString& directory) {
    UnpackResult result;
    if (!QFileInfo(archive).isFile()) {
        result.status = IoCode::FileNotFound;
        return result;
    }
    const fs::path dir = toFsPath(directory);
    const std::set<fs::path> before = topLevelNames(dir);
    int status = RunAndWait(QStringLiteral("unzip"), {archive, QStringLiteral("-d"), directory});
    if (status == 1)
        status = 0;
    result.status = status;

    const std::vector<fs::path> special = specialEntries(dir);
    if (special.empty())
        return result;
    std::error_code ec;
    for (const fs::path& p : special)
        fs::remove(p, ec);
    for (const fs::path& name : topLevelNames(dir)) {
        if (!before.count(name))
            fs::remove_all(dir / name, ec);
    }
    result.refusal = QStringLiteral("Le fichier \"") + archive +
                     QStringLiteral("\" contient des liens ou des fichiers spéciaux.\n"
                                    "Il est refusé : son contenu a été effacé.");
    return result;
}

int packFiles(const QString& archive, const QStringList& files) {
    return RunAndWait(QStringLiteral("zip"), QStringList{QStringLiteral("-j"), archive} + files);
}
