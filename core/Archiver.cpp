// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Archiver.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "core/ZipDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <optional>
#include <set>
#include <system_error>

#include <sys/prctl.h>
#include <unistd.h>

namespace velk {

namespace {

// unzip's exit codes that tell a damaged archive, and its "disk full".
constexpr int kUnzipWarnings = 1;
constexpr int kUnzipDamagedCodes[] = {2, 3, 9, 51};
constexpr int kUnzipDiskFull = 50;
constexpr int kUnzipNotAZip = 9;
constexpr int kUnzipSevereError = 3;
// A member costs at least part of a block besides its bytes.
constexpr std::uint64_t kBlockSlack = 4096;

QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

std::set<fs::path> topLevelNames(const fs::path& dir) {
    std::set<fs::path> names;
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        names.insert(it->path().filename());
    return names;
}

QString linksRefusal(const QString& archive, bool unpacked) {
    return QStringLiteral("Le fichier \"") + archive +
           QStringLiteral("\" contient des liens ou des fichiers spéciaux.\n") +
           (unpacked ? QStringLiteral("Il est refusé : son contenu a été effacé.")
                     : QStringLiteral("Il est refusé."));
}

QString directoriesRefusal(const QString& archive) {
    return QStringLiteral("Le fichier \"") + archive +
           QStringLiteral("\" contient des répertoires ou des fichiers rangés dans un "
                          "répertoire.\nIl est refusé.");
}

// A member the unpacker would put anywhere but directly in the directory.
bool hasPath(const QByteArray& name) {
    return name.isEmpty() || name == "." || name == ".." || name.contains('/') ||
           name.contains('\\') || name.contains('\0');
}

// The refusal of an archive whose members cannot all go, as plain files, into the directory.
QString vetMembers(const QString& archive, const QString& directory, const ZipListing& listing) {
    bool special = false;
    bool directories = false;
    bool encrypted = false;
    for (const ZipMember& m : listing.members) {
        special = special || m.special;
        directories = directories || m.directory || hasPath(m.name);
        encrypted = encrypted || m.encrypted;
    }
    if (special)
        return linksRefusal(archive, false);
    if (directories)
        return directoriesRefusal(archive);
    if (encrypted)
        return QStringLiteral("Le paquet \"") + archive +
               QStringLiteral("\" est protégé par un mot de passe.\n"
                              "Il ne peut pas être décompacté.");
    const std::uint64_t slack = kBlockSlack * listing.members.size();
    const std::uint64_t needed =
        listing.totalSize > UINT64_MAX - slack ? UINT64_MAX : listing.totalSize + slack;
    const std::optional<std::uint64_t> available = freeSpace(directory);
    if (available && needed > *available)
        return QStringLiteral("Le fichier \"") + archive +
               QStringLiteral("\" occupe %1 octets une fois décompacté, mais il ne reste que "
                              "%2 octets libres pour le répertoire \"%3\".\n"
                              "Il n'a pas été décompacté.")
                   .arg(listing.totalSize)
                   .arg(*available)
                   .arg(directory);
    return {};
}

// The new entries that are not regular files, if any, make the archive refused: every new
// entry goes (links are removed, never followed).
QString removeIfNotPlain(const QString& archive, const fs::path& dir,
                         const std::set<fs::path>& before) {
    bool directories = false;
    bool special = false;
    std::vector<fs::path> added;
    for (const fs::path& name : topLevelNames(dir)) {
        if (before.count(name))
            continue;
        added.push_back(dir / name);
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(dir / name, ec);
        if (fs::is_directory(st))
            directories = true;
        else if (!fs::is_regular_file(st))
            special = true;
    }
    if (!directories && !special)
        return {};
    for (const fs::path& p : added) {
        std::error_code ec;
        fs::remove_all(p, ec);
    }
    return special ? linksRefusal(archive, true) : directoriesRefusal(archive);
}

// zip names its work file "zi" and six letters or digits, beside the archive.
const QRegularExpression& zipTemporaryName() {
    static const QRegularExpression re(QStringLiteral("^zi[A-Za-z0-9]{6}$"));
    return re;
}

QStringList zipTemporaries(const QString& directory) {
    return QDir(directory)
        .entryList(QDir::Files | QDir::Hidden | QDir::System)
        .filter(zipTemporaryName());
}

} // namespace

namespace {

bool findable(const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty() ||
           (program.contains(QLatin1Char('/')) && QFileInfo(program).isExecutable());
}

void startChild(QProcess& process, const QString& program, const QStringList& arguments) {
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        // A session of its own has no controlling terminal: /dev/tty cannot be opened, so a
        // password prompt fails at once instead of waiting. The child dies with its parent,
        // and gets the signals the parent may have blocked for its own handling.
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
    });
    process.start(program, arguments, QIODevice::NotOpen);
}

// How a started child ended. The wait runs the event loop, so the windows repaint and the
// busy cursor shows, but holds back the user's input.
RunStatus waitChild(QProcess& process, bool startedBeforeApplication = false) {
    RunStatus result;
    if (!process.waitForStarted(-1)) {
        result.outcome = RunStatus::Outcome::NotStarted;
        result.code = IoCode::AccessDenied;
        return result;
    }
    const QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        // A child started before the application object is not watched by its event loop:
        // its end is looked for between the events.
        if (startedBeforeApplication) {
            while (process.state() != QProcess::NotRunning && !process.waitForFinished(10))
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        while (process.state() != QProcess::NotRunning)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                            QEventLoop::ExcludeUserInputEvents);
    }
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit) {
        result.outcome = RunStatus::Outcome::Crashed;
        result.code = -1;
        return result;
    }
    result.code = process.exitCode();
    return result;
}

} // namespace

RunStatus runProgram(const QString& program, const QStringList& arguments) {
    if (!findable(program)) {
        RunStatus result;
        result.outcome = RunStatus::Outcome::NotFound;
        result.code = IoCode::FileNotFound;
        return result;
    }
    QProcess process;
    startChild(process, program, arguments);
    return waitChild(process);
}

int RunAndWait(const QString& program, const QStringList& arguments) {
    return runProgram(program, arguments).code;
}

UnpackJob::UnpackJob(const QString& archive, const QString& directory)
    : archive_(archive), directory_(directory) {
    UnpackResult result;
    const QString archivePath = absolute(archive);
    const QString directoryPath = absolute(directory);
    QFile file(archivePath);
    if (!QFileInfo(archivePath).isFile() || !file.open(QIODevice::ReadOnly)) {
        result.status = IoCode::FileNotFound;
        result.cause = UnpackCause::ArchiveMissing;
        result_ = result;
        return;
    }
    const ZipReadResult read = readZipDirectory(file);
    file.close();
    if (!read.listing) {
        result.status = read.damage == ZipDamage::NotAZip ? kUnzipNotAZip : kUnzipSevereError;
        result.cause = UnpackCause::ArchiveDamaged;
        result_ = result;
        return;
    }
    result.refusal = vetMembers(archive, directory, *read.listing);
    if (!result.refusal.isEmpty()) {
        result_ = result;
        return;
    }
    if (!findable(QStringLiteral("unzip"))) {
        result.status = IoCode::FileNotFound;
        result.cause = UnpackCause::ProgramUnavailable;
        result_ = result;
        return;
    }

    // unzip reads "*", "?" and "[" in an archive name as a pattern and may open another
    // file: such an archive is handed over through a link of a plain name.
    QString unzipName = archivePath;
    if (archivePath.contains(QRegularExpression(QStringLiteral("[*?\\[]")))) {
        alias_ = std::make_unique<QTemporaryDir>();
        unzipName = alias_->filePath(QStringLiteral("archive.zip"));
        if (!alias_->isValid() || !QFile::link(archivePath, unzipName)) {
            result.status = IoCode::AccessDenied;
            result.cause = UnpackCause::Other;
            result_ = result;
            return;
        }
    }

    const std::set<fs::path> names = topLevelNames(toFsPath(directoryPath));
    before_.assign(names.begin(), names.end());
    startedBeforeApplication_ = QCoreApplication::instance() == nullptr;
    process_ = std::make_unique<QProcess>();
    startChild(*process_, QStringLiteral("unzip"),
               {unzipName, QStringLiteral("-d"), directoryPath});
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
    const RunStatus run = waitChild(*process_, startedBeforeApplication_);
    if (!run.started()) {
        result.status = run.code;
        result.cause = UnpackCause::ProgramUnavailable;
    } else if (run.code != 0 && run.code != kUnzipWarnings) {
        result.status = run.code;
        result.cause = UnpackCause::Other;
        for (const int damaged : kUnzipDamagedCodes) {
            if (run.code == damaged)
                result.cause = UnpackCause::ArchiveDamaged;
        }
        if (run.code == kUnzipDiskFull)
            result.cause = UnpackCause::DiskFull;
    }
    const std::set<fs::path> before(before_.begin(), before_.end());
    result.refusal = removeIfNotPlain(archive_, toFsPath(absolute(directory_)), before);
    alias_.reset();
    result_ = result;
    return result;
}

UnpackResult unpackArchive(const QString& archive, const QString& directory) {
    return UnpackJob(archive, directory).finish();
}

QStringList unpackFailureMessages(const QString& archive, const UnpackResult& r) {
    if (!r.refusal.isEmpty())
        return {r.refusal};
    QString cause;
    switch (r.cause) {
    case UnpackCause::ProgramUnavailable:
        cause = QStringLiteral("Cause : le décompacteur (unzip) ne peut pas être lancé");
        break;
    case UnpackCause::ArchiveMissing:
        cause = QStringLiteral("Cause : le fichier est introuvable");
        break;
    case UnpackCause::ArchiveDamaged:
        cause = QStringLiteral("Cause : l'archive est endommagée");
        break;
    case UnpackCause::DiskFull:
        cause = QStringLiteral("Cause : disque plein");
        break;
    case UnpackCause::None:
    case UnpackCause::Other:
        cause = QStringLiteral("Cause possible : Décompacteur inaccessible ou disque plein");
        break;
    }
    return {QStringLiteral("Problème lors du décompactage du fichier :\"") + archive +
                QStringLiteral("\" ."),
            QStringLiteral("Statut = ") + QString::number(r.status) + QLatin1Char('\n') + cause};
}

int packFiles(const QString& archive, const QStringList& files) {
    const QString archivePath = absolute(archive);
    const QString directory = QFileInfo(archivePath).absolutePath();
    const QStringList earlier = zipTemporaries(directory);
    // -nw: a "*" or "?" in a name is that character, never a pattern.
    QStringList arguments = {QStringLiteral("-j"), QStringLiteral("-nw"), archivePath};
    for (const QString& f : files)
        arguments.append(absolute(f));
    const int status = RunAndWait(QStringLiteral("zip"), arguments);
    if (status != 0) {
        for (const QString& name : zipTemporaries(directory)) {
            if (!earlier.contains(name))
                QFile::remove(joinPath(directory, name));
        }
    }
    return status;
}

} // namespace velk
