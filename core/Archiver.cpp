// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Archiver.h"

#include "core/CharacterSet.h"
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
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <functional>
#include <optional>
#include <set>
#include <system_error>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velk {

namespace {

constexpr int kUnzipWarnings = 1;
constexpr int kUnzipNotAZip = 9;
constexpr int kUnzipSevereError = 3;
// A member costs at least part of a block besides its bytes.
constexpr std::uint64_t kBlockSlack = 4096;
// What one unpacked file may outgrow the largest size the archive declares before the
// system stops it; the total is watched exactly.
constexpr std::uint64_t kFileSizeSlack = 64 * 1024;
// The longest name a file may have in a directory.
constexpr qsizetype kNameMax = 255;
// How often the unpacked bytes are counted while unzip runs.
constexpr int kWatchMs = 20;

// What unzip's and zip's exit codes say, in the user's words.
struct StatusCause {
    int status;
    UnpackCause cause;
};
constexpr StatusCause kUnzipCauses[] = {
    {2, UnpackCause::ArchiveDamaged},     {3, UnpackCause::ArchiveDamaged},
    {9, UnpackCause::ArchiveDamaged},     {51, UnpackCause::ArchiveDamaged},
    {50, UnpackCause::DiskFull},          {12, UnpackCause::OverlappingMembers},
    {81, UnpackCause::UnsupportedMethod}, {4, UnpackCause::OutOfMemory},
    {5, UnpackCause::OutOfMemory},        {6, UnpackCause::OutOfMemory},
    {7, UnpackCause::OutOfMemory},        {80, UnpackCause::Interrupted},
    {82, UnpackCause::Encrypted},
};

struct ZipCause {
    int status;
    const char* cause;
};
constexpr ZipCause kZipCauses[] = {
    {2, "le paquet existant est endommagé"},
    {3, "le paquet existant est endommagé"},
    {5, "le paquet existant est endommagé"},
    {13, "le paquet existant est endommagé"},
    {4, "mémoire insuffisante"},
    {9, "compactage interrompu"},
    {10, "le fichier temporaire du compacteur ne peut pas être écrit"},
    {11, "erreur de lecture dans un fichier"},
    {12, "rien à compacter"},
    {14, "disque plein"},
    {15, "le fichier ne peut pas être créé (dossier absent, accès refusé ou disque en lecture "
         "seule)"},
    {18, "un fichier à compacter ne peut pas être lu"},
};

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
    for (const ZipMember& m : listing.members) {
        if (m.name.size() > kNameMax)
            return QStringLiteral("Le fichier \"") + archive +
                   QStringLiteral("\" contient un fichier dont le nom est trop long (%1 octets, "
                                  "%2 au plus).\nIl est refusé.")
                       .arg(m.name.size())
                       .arg(kNameMax);
    }
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

std::vector<fs::path> addedEntries(const fs::path& dir, const std::set<fs::path>& before) {
    std::vector<fs::path> added;
    for (const fs::path& name : topLevelNames(dir)) {
        if (!before.count(name))
            added.push_back(dir / name);
    }
    return added;
}

void removeEntries(const std::vector<fs::path>& entries) {
    for (const fs::path& p : entries) {
        std::error_code ec;
        fs::remove_all(p, ec);
    }
}

std::uint64_t bytesOf(const std::vector<fs::path>& entries) {
    std::uint64_t total = 0;
    for (const fs::path& p : entries) {
        std::error_code ec;
        if (fs::is_regular_file(fs::symlink_status(p, ec))) {
            const std::uintmax_t size = fs::file_size(p, ec);
            total += ec ? 0 : size;
        }
    }
    return total;
}

QString bombRefusal(const QString& archive, std::uint64_t declared) {
    return QStringLiteral("Le fichier \"") + archive +
           QStringLiteral("\" contient plus que les %1 octets qu'il annonce : c'est une archive "
                          "piégée.\nIl est refusé : son contenu a été effacé.")
               .arg(declared);
}

// The new entries that are not regular files, if any, make the archive refused: every new
// entry goes (links are removed, never followed).
QString removeIfNotPlain(const QString& archive, const std::vector<fs::path>& added) {
    bool directories = false;
    bool special = false;
    for (const fs::path& p : added) {
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(p, ec);
        if (fs::is_directory(st))
            directories = true;
        else if (!fs::is_regular_file(st))
            special = true;
    }
    if (!directories && !special)
        return {};
    removeEntries(added);
    return special ? linksRefusal(archive, true) : directoriesRefusal(archive);
}

bool isUtf8(const std::string& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !decoder.hasError();
}

// Every name the rest of the program handles is text: a name unzip wrote as the archive
// stored it, not UTF-8, is read in the boards' DOS set; one unzip already turned into
// Latin-1 (it does so for archives made on DOS) is read as Latin-1. False when such a name
// cannot take its new one.
bool renameToText(const std::vector<fs::path>& added, const ZipListing& listing) {
    std::set<std::string> stored;
    for (const ZipMember& m : listing.members)
        stored.insert(m.name.toStdString());
    for (const fs::path& p : added) {
        const std::string name = p.filename().native();
        if (isUtf8(name))
            continue;
        const QString text = stored.count(name)
                                 ? dosToUnicode(name)
                                 : QString::fromLatin1(name.data(), qsizetype(name.size()));
        const fs::path renamed = p.parent_path() / text.toStdString();
        std::error_code ec;
        if (fs::exists(fs::symlink_status(renamed, ec)) || text.toUtf8().size() > kNameMax)
            return false;
        fs::rename(p, renamed, ec);
        if (ec)
            return false;
    }
    return true;
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

// `fileSizeLimit`, when not 0, is the most any one file the child writes may hold (a lower
// limit the program already has stays).
void startChild(QProcess& process, const QString& program, const QStringList& arguments,
                std::uint64_t fileSizeLimit = 0) {
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent, fileSizeLimit] {
        rlimit limit{};
        if (fileSizeLimit != 0 && ::getrlimit(RLIMIT_FSIZE, &limit) == 0 &&
            (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > fileSizeLimit)) {
            limit.rlim_cur = rlim_t(fileSizeLimit);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
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
// busy cursor shows, but holds back the user's input. `keepGoing`, when given, is asked
// every few milliseconds; false kills the child.
RunStatus waitChild(QProcess& process, const std::function<bool()>& keepGoing = {},
                    bool startedBeforeApplication = false) {
    RunStatus result;
    // A child may have ended already, seen while the events of another were handled.
    if (!process.waitForStarted(-1) && process.error() == QProcess::FailedToStart) {
        result.outcome = RunStatus::Outcome::NotStarted;
        result.code = IoCode::AccessDenied;
        return result;
    }
    const auto check = [&] {
        if (keepGoing && process.state() != QProcess::NotRunning && !keepGoing())
            process.kill();
    };
    const QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        // A child started before the application object is not watched by its event loop:
        // its end is looked for between the events.
        if (startedBeforeApplication) {
            while (process.state() != QProcess::NotRunning && !process.waitForFinished(10)) {
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                check();
            }
        }
        QTimer timer;
        if (keepGoing) {
            QObject::connect(&timer, &QTimer::timeout, check);
            timer.start(kWatchMs);
        }
        while (process.state() != QProcess::NotRunning)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                            QEventLoop::ExcludeUserInputEvents);
    }
    while (keepGoing && process.state() != QProcess::NotRunning &&
           !process.waitForFinished(kWatchMs))
        check();
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

namespace {

// The one member named MESSAGES.DAT in any case, if it is worth an unzip of its own.
const ZipMember* messagesMember(const ZipListing& listing, std::uint64_t from) {
    const ZipMember* found = nullptr;
    for (const ZipMember& m : listing.members) {
        if (m.name.compare("MESSAGES.DAT", Qt::CaseInsensitive) != 0)
            continue;
        if (found)
            return nullptr; // two spellings: the directory decides which one is read
        found = &m;
    }
    if (!found || found->size < from || listing.members.size() < 2)
        return nullptr;
    return found;
}

std::uint64_t withFileSlack(std::uint64_t size) {
    return size > UINT64_MAX - kFileSizeSlack ? 0 : size + kFileSizeSlack;
}

bool childOver(const QProcess* process) {
    if (!process || process->state() == QProcess::NotRunning)
        return true;
    siginfo_t info{};
    return ::waitid(P_PID, id_t(process->processId()), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid != 0;
}

void stopChild(QProcess* process) {
    if (process && process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(-1);
    }
}

} // namespace

UnpackJob::UnpackJob(const QString& archive, const QString& directory,
                     std::optional<std::uint64_t> messagesApartFrom)
    : archive_(archive), directory_(directory) {
    UnpackResult result;
    const QString archivePath = absolute(archive);
    const QString directoryPath = absolute(directory);
    if (const QString problem = irregularFileProblem(archivePath); !problem.isEmpty()) {
        result.refusal = problem;
        rest_.result = result;
        return;
    }
    QFile file(archivePath);
    if (!QFileInfo(archivePath).isFile() || !file.open(QIODevice::ReadOnly)) {
        result.status = IoCode::FileNotFound;
        result.cause = UnpackCause::ArchiveMissing;
        rest_.result = result;
        return;
    }
    const ZipReadResult read = readZipDirectory(file);
    file.close();
    if (!read.listing) {
        result.status = read.damage == ZipDamage::NotAZip ? kUnzipNotAZip : kUnzipSevereError;
        result.cause = UnpackCause::ArchiveDamaged;
        rest_.result = result;
        return;
    }
    result.refusal = vetMembers(archive, directory, *read.listing);
    listing_ = *read.listing;
    if (!result.refusal.isEmpty()) {
        rest_.result = result;
        return;
    }
    if (!findable(QStringLiteral("unzip"))) {
        result.status = IoCode::FileNotFound;
        result.cause = UnpackCause::ProgramUnavailable;
        rest_.result = result;
        return;
    }

    // unzip reads "*", "?" and "[" in an archive name as a pattern and may open another
    // file: such an archive is handed over through a link of a plain name.
    QString unzipName = archivePath;
    if (std::any_of(archivePath.cbegin(), archivePath.cend(),
                    [](QChar c) { return c == u'*' || c == u'?' || c == u'['; })) {
        alias_ = std::make_unique<TemporaryDirectory>();
        unzipName = alias_->filePath(QStringLiteral("archive.zip"));
        if (!alias_->isValid() || !QFile::link(archivePath, unzipName)) {
            result.status = IoCode::AccessDenied;
            result.cause = UnpackCause::Other;
            rest_.result = result;
            return;
        }
    }

    const std::set<fs::path> names = topLevelNames(toFsPath(directoryPath));
    before_.assign(names.begin(), names.end());
    rest_.startedBeforeApplication = QCoreApplication::instance() == nullptr;
    const ZipMember* messages =
        messagesApartFrom ? messagesMember(listing_, *messagesApartFrom) : nullptr;
    std::uint64_t largest = 0;
    for (const ZipMember& m : listing_.members) {
        if (&m != messages)
            largest = std::max(largest, m.size);
    }
    rest_.declared = listing_.totalSize;
    rest_.process = std::make_unique<QProcess>();
    QStringList arguments{unzipName};
    if (messages) {
        // Its name is plain letters: neither unzip's pattern characters nor an option.
        apartName_ = messages->name;
        rest_.declared -= messages->size;
        apart_.declared = messages->size;
        arguments << QStringLiteral("-x") << QString::fromLatin1(apartName_);
    }
    startChild(*rest_.process, QStringLiteral("unzip"),
               arguments << QStringLiteral("-d") << directoryPath, withFileSlack(largest));
    if (messages) {
        apartArguments_ = {unzipName, QString::fromLatin1(apartName_), QStringLiteral("-d"),
                           directoryPath};
        apartFileSizeLimit_ = withFileSlack(messages->size);
    }
}

void UnpackJob::startApart() {
    if (!unpacksApart() || apart_.process || apart_.result)
        return;
    apart_.process = std::make_unique<QProcess>();
    apart_.startedBeforeApplication = QCoreApplication::instance() == nullptr;
    startChild(*apart_.process, QStringLiteral("unzip"), apartArguments_, apartFileSizeLimit_);
}

UnpackJob::~UnpackJob() {
    // Nobody waited: the unpacking is abandoned with the run.
    stopChild(rest_.process.get());
    if (unpacksApart() && !apart_.result)
        abandonApart({});
}

bool UnpackJob::over() const {
    return rest_.result || childOver(rest_.process.get());
}

bool UnpackJob::apartOver() const {
    return apart_.result || (apart_.process && childOver(apart_.process.get()));
}

std::vector<fs::path> UnpackJob::addedBy(bool apart) const {
    const std::set<fs::path> before(before_.begin(), before_.end());
    std::vector<fs::path> added = addedEntries(toFsPath(absolute(directory_)), before);
    if (unpacksApart()) {
        const std::string name = apartName_.toStdString();
        std::erase_if(added,
                      [&](const fs::path& p) { return (p.filename().native() == name) != apart; });
    }
    return added;
}

void UnpackJob::abandonApart(const UnpackResult& why) {
    stopChild(apart_.process.get());
    removeEntries(addedBy(true));
    apart_.result = why;
    alias_.reset();
}

UnpackResult UnpackJob::finish() {
    if (rest_.result)
        return *rest_.result;
    UnpackResult result = collect(rest_, false);
    if (unpacksApart() && !result.ok() && !apart_.result)
        abandonApart(result);
    if (!unpacksApart() || apart_.result)
        alias_.reset();
    return result;
}

UnpackResult UnpackJob::finishApart() {
    if (!unpacksApart() || apart_.result)
        return apart_.result.value_or(UnpackResult{});
    startApart();
    UnpackResult result = collect(apart_, true);
    if (rest_.result)
        alias_.reset();
    return result;
}

UnpackResult UnpackJob::collect(Part& part, bool apart) {
    UnpackResult result;
    // Members may inflate past the sizes they declare: unzip is stopped as soon as the
    // files together hold more than the archive said, which the free space was checked for.
    bool overflowed = false;
    const RunStatus run = waitChild(
        *part.process,
        [&] {
            overflowed = overflowed || bytesOf(addedBy(apart)) > part.declared;
            return !overflowed;
        },
        part.startedBeforeApplication);
    if (!run.started()) {
        result.status = run.code;
        result.cause = UnpackCause::ProgramUnavailable;
    } else if (run.outcome == RunStatus::Outcome::Crashed) {
        result.status = run.code;
        result.cause = UnpackCause::Interrupted;
    } else if (run.code != 0 && run.code != kUnzipWarnings) {
        result.status = run.code;
        result.cause = UnpackCause::Other;
        for (const StatusCause& known : kUnzipCauses) {
            if (run.code == known.status)
                result.cause = known.cause;
        }
    }
    std::vector<fs::path> added = addedBy(apart);
    result.refusal = removeIfNotPlain(archive_, added);
    if (result.refusal.isEmpty() && (overflowed || bytesOf(added) > part.declared))
        result.refusal = bombRefusal(archive_, listing_.totalSize);
    if (result.refusal.isEmpty() && result.status == 0 && !renameToText(added, listing_))
        result.refusal = QStringLiteral("Le fichier \"") + archive_ +
                         QStringLiteral("\" contient des fichiers dont le nom ne peut pas être "
                                        "lu.\nIl est refusé : son contenu a été effacé.");
    // What a failed unpacking wrote goes with it: nothing is left to fill the disk.
    if (!result.ok())
        removeEntries(addedBy(apart));
    part.result = result;
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
    case UnpackCause::OverlappingMembers:
        cause = QStringLiteral("Cause : des fichiers de l'archive se chevauchent (archive piégée)");
        break;
    case UnpackCause::UnsupportedMethod:
        cause = QStringLiteral("Cause : méthode de compression inconnue du décompacteur");
        break;
    case UnpackCause::OutOfMemory:
        cause = QStringLiteral("Cause : mémoire insuffisante");
        break;
    case UnpackCause::Encrypted:
        cause = QStringLiteral("Cause : l'archive est protégée par un mot de passe");
        break;
    case UnpackCause::Interrupted:
        cause = QStringLiteral("Cause : le décompacteur a été arrêté");
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

PackResult packArchive(const QString& archive, const QStringList& files) {
    PackResult result;
    const auto failed = [&](int status, const QString& cause) {
        result.status = status;
        result.cause = cause;
        return result;
    };
    QString target = absolute(archive);
    const QFileInfo info(target);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        target = info.canonicalFilePath();
    if (const QString problem = irregularFileProblem(target); !problem.isEmpty())
        return failed(IoCode::AccessDenied, QStringLiteral("Cause : ") + problem);
    const QString directory = QFileInfo(target).absolutePath();
    const QString prefix =
        QStringLiteral(".") + QFileInfo(target).fileName() + QStringLiteral(".velk-");
    sweepStaleTemporaries(directory, prefix);
    // zip works on a copy of ours beside the archive and puts its own work file in the
    // directory of the files it packs: a run killed half-way leaves the archive whole and
    // nothing in the user's directory but a file of ours, which the next packing removes.
    const QString copy = joinPath(directory, temporaryName(prefix));
    const QString scratch = files.isEmpty() ? directory : QFileInfo(absolute(files.first())).path();
    const QStringList earlier = zipTemporaries(scratch);
    const auto cleanUp = [&] {
        QFile::remove(copy);
        for (const QString& name : zipTemporaries(scratch)) {
            if (!earlier.contains(name))
                QFile::remove(joinPath(scratch, name));
        }
    };
    if (QFileInfo::exists(target)) {
        try {
            writeFileAtomically(copy, readWholeFile(target));
        } catch (const VelkError& e) {
            cleanUp();
            return failed(IoCode::DiskFull, QStringLiteral("Cause : ") + e.message());
        }
    }
    // -nw: a "*" or "?" in a name is that character, never a pattern.
    QStringList arguments = {QStringLiteral("-j"), QStringLiteral("-nw"), QStringLiteral("-b"),
                             scratch, copy};
    for (const QString& f : files)
        arguments.append(absolute(f));
    const RunStatus run = runProgram(QStringLiteral("zip"), arguments);
    if (run.code != 0) {
        cleanUp();
        QString cause =
            QStringLiteral("Causes possibles : Compacteur inaccessible ou disque plein");
        if (run.outcome == RunStatus::Outcome::NotFound ||
            run.outcome == RunStatus::Outcome::NotStarted)
            cause = QStringLiteral("Cause : le compacteur (zip) ne peut pas être lancé");
        else if (run.outcome == RunStatus::Outcome::Crashed)
            cause = QStringLiteral("Cause : le compacteur a été arrêté");
        for (const ZipCause& known : kZipCauses) {
            if (run.outcome == RunStatus::Outcome::Exited && run.code == known.status)
                cause = QStringLiteral("Cause : ") + QString::fromUtf8(known.cause);
        }
        return failed(run.code, cause);
    }
    const QByteArray from = QFile::encodeName(copy);
    const int fd = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    if (!synced || ::rename(from.constData(), QFile::encodeName(target).constData()) != 0) {
        const int cause = synced ? errno : error;
        cleanUp();
        return failed(cause == ENOSPC ? IoCode::DiskFull : IoCode::AccessDenied,
                      QStringLiteral("Cause : ") + fileErrorCause(cause, target));
    }
    return result;
}

int packFiles(const QString& archive, const QStringList& files) {
    return packArchive(archive, files).status;
}

QStringList packFailureMessages(const QString& archive, const PackResult& result) {
    return {QStringLiteral("Problème lors du compactage du fichier :\"") + archive +
                QStringLiteral("\" ."),
            QStringLiteral("Statut = ") + QString::number(result.status) + QLatin1Char('\n') +
                result.cause};
}

} // namespace velk
