// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Archiver.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <set>
#include <system_error>

namespace {

bool findable(const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty() ||
           (program.contains(QLatin1Char('/')) && QFileInfo(program).isExecutable());
}

void start(QProcess& process, const QString& program, const QStringList& arguments) {
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments, QIODevice::NotOpen);
}

// The status of a started process once it has ended. The wait runs the event loop, so the
// windows repaint and the busy cursor shows, but holds back the user's input.
int waitFor(QProcess& process) {
    if (!process.waitForStarted(-1))
        return IoCode::AccessDenied;
    const QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        while (process.state() != QProcess::NotRunning)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                            QEventLoop::ExcludeUserInputEvents);
    }
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

} // namespace

int RunAndWait(const QString& program, const QStringList& arguments) {
    if (!findable(program))
        return IoCode::FileNotFound;
    QProcess process;
    start(process, program, arguments);
    return waitFor(process);
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

UnpackJob::UnpackJob(const QString& archive, const QString& directory)
    : archive_(archive), directory_(directory) {
    if (!QFileInfo(archive).isFile()) {
        startStatus_ = IoCode::FileNotFound;
        return;
    }
    if (!findable(QStringLiteral("unzip"))) {
        startStatus_ = IoCode::FileNotFound;
        return;
    }
    const std::set<fs::path> names = topLevelNames(toFsPath(directory));
    before_.assign(names.begin(), names.end());
    process_ = std::make_unique<QProcess>();
    start(*process_, QStringLiteral("unzip"), {archive, QStringLiteral("-d"), directory});
}

UnpackJob::~UnpackJob() {
    // Nobody waited: the unpacking is abandoned with the run.
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(-1);
    }
}

UnpackResult UnpackJob::finish() {
    if (result_)
        return *result_;
    UnpackResult result;
    if (!process_) {
        result.status = startStatus_;
        result_ = result;
        return result;
    }
    int status = waitFor(*process_);
    if (status == 1)
        status = 0;
    result.status = status;

    const fs::path dir = toFsPath(directory_);
    const std::vector<fs::path> special = specialEntries(dir);
    if (!special.empty()) {
        std::error_code ec;
        for (const fs::path& p : special)
            fs::remove(p, ec);
        const std::set<fs::path> before(before_.begin(), before_.end());
        for (const fs::path& name : topLevelNames(dir)) {
            if (!before.count(name))
                fs::remove_all(dir / name, ec);
        }
        result.refusal = QStringLiteral("Le fichier \"") + archive_ +
                         QStringLiteral("\" contient des liens ou des fichiers spéciaux.\n"
                                        "Il est refusé : son contenu a été effacé.");
    }
    result_ = result;
    return result;
}

UnpackResult unpackArchive(const QString& archive, const QString& directory) {
    return UnpackJob(archive, directory).finish();
}

int packFiles(const QString& archive, const QStringList& files) {
    return RunAndWait(QStringLiteral("zip"), QStringList{QStringLiteral("-j"), archive} + files);
}
