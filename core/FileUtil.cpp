// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FileUtil.h"

#include "core/VelkError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velk {

fs::path toFsPath(const QString& path) {
    return fs::path(path.toStdU16String());
}

QString fromFsPath(const fs::path& path) {
    return QString::fromStdU16String(path.u16string());
}

QString joinPath(const QString& dir, const QString& name) {
    if (dir.isEmpty())
        return name;
    if (dir.endsWith(QLatin1Char('/')))
        return dir + name;
    return dir + QLatin1Char('/') + name;
}

bool isUsableDirectory(const QString& path) {
    if (path.isEmpty())
        return false;
    std::error_code ec;
    const fs::file_status st = fs::status(toFsPath(path), ec);
    if (ec || !fs::is_directory(st))
        return false;
    // No write bit at all is the read-only attribute, even for root, whom access() lets
    // write anywhere.
    constexpr auto anyWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((st.permissions() & anyWrite) == fs::perms::none)
        return false;
    return ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}

namespace {
QRegularExpression wildcardExpression(const QString& pattern) {
    // "*.*" matches every name on DOS, with or without an extension.
    QString p = pattern;
    if (p.endsWith(QLatin1String(".*")))
        p = p.left(p.size() - 2) + QLatin1Char('*');
    return QRegularExpression(QRegularExpression::wildcardToRegularExpression(p),
                              QRegularExpression::CaseInsensitiveOption);
}
} // namespace

bool wildcardMatch(const QString& pattern, const QString& name) {
    return wildcardExpression(pattern).match(name).hasMatch();
}

QStringList findFiles(const QString& dir, const QString& pattern) {
    QStringList result;
    const QDir d(dir);
    const QStringList names = d.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    // Compiled once for the whole directory: compiling costs more than matching.
    const QRegularExpression re = wildcardExpression(pattern);
    for (const QString& n : names) {
        if (re.match(n).hasMatch())
            result.append(n);
    }
    return result;
}

std::optional<QString> findFileNoCase(const QString& dir, const QString& name) {
    const QString exact = joinPath(dir, name);
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& n : names) {
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return joinPath(dir, n);
    }
    return std::nullopt;
}

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// The runtime's number for an errno value.
int ioCodeOf(int error, FileAction action) {
    switch (error) {
    case ENOENT:
        return action == FileAction::Read ? IoCode::FileNotFound : IoCode::PathNotFound;
    case ENOTDIR:
        return IoCode::PathNotFound;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return IoCode::DiskFull;
    case EIO:
        return action == FileAction::Read ? IoCode::ReadPastEnd : IoCode::DiskFull;
    default:
        return IoCode::AccessDenied;
    }
}

// Opens for reading without ever waiting on a pipe, and only a regular file.
int openRegularForReading(const QString& path) {
    const int fd = ::open(native(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        throw VelkError::fileNotFound();
    if (fd < 0)
        throw fileError(path, errno, FileAction::Read);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw VelkError(irregularFileProblem(path));
    }
    return fd;
}

bool processAlive(qint64 pid) {
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno != ESRCH);
}

} // namespace

QString fileErrorCause(int error, const QString& path) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("disque plein");
    case EROFS:
        return QStringLiteral("disque en lecture seule");
    case EACCES:
    case EPERM:
        // A file that is there but may not be written, in a folder that may.
        if (!path.isEmpty() && QFileInfo(path).isFile() && !QFileInfo(path).isWritable() &&
            QFileInfo(QFileInfo(path).absolutePath()).isWritable())
            return QStringLiteral("fichier en lecture seule");
        return QStringLiteral("accès refusé");
    case ENOENT:
        return QStringLiteral("fichier ou dossier introuvable");
    case ENOTDIR:
        return QStringLiteral("dossier introuvable");
    case ENAMETOOLONG:
        return QStringLiteral("nom de fichier trop long");
    case EISDIR:
        return QStringLiteral("c'est un dossier");
    case EIO:
        return QStringLiteral("erreur du disque");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("fichier occupé");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("trop de fichiers ouverts");
    case ENOMEM:
        return QStringLiteral("mémoire insuffisante");
    case ELOOP:
        return QStringLiteral("trop de liens symboliques");
    default:
        return QStringLiteral("erreur système %1").arg(error);
    }
}

VelkError fileError(const QString& path, int error, FileAction action) {
    return VelkError(QStringLiteral("Erreur E/S %1 : impossible %2 le fichier \"%3\" (%4).")
                         .arg(ioCodeOf(error, action))
                         .arg(action == FileAction::Read ? QStringLiteral("de lire")
                                                         : QStringLiteral("d'écrire"))
                         .arg(path, action == FileAction::Write && error == ENOENT
                                        ? QStringLiteral("dossier introuvable")
                                        : fileErrorCause(error, path)));
}

QString irregularFileProblem(const QString& path) {
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return {};
    const QString what = S_ISDIR(st.st_mode)    ? QStringLiteral("un dossier")
                         : S_ISFIFO(st.st_mode) ? QStringLiteral("un tube")
                         : S_ISSOCK(st.st_mode) ? QStringLiteral("une prise réseau")
                                                : QStringLiteral("un périphérique");
    return QStringLiteral("\"%1\" est %2, pas un fichier ordinaire : il n'est ni lu ni "
                          "remplacé.")
        .arg(path, what);
}

std::int64_t fileSizeBytes(const QString& path) {
    const int fd = openRegularForReading(path);
    struct stat st {};
    ::fstat(fd, &st);
    ::close(fd);
    return std::int64_t(st.st_size);
}

void writeFileAtomically(const QString& path, const QByteArray& data) {
    AtomicFileWriter f(path);
    f.write(data);
    f.commit();
}

AtomicFileWriter::AtomicFileWriter(const QString& path) : path_(path), target_(path) {
    const QFileInfo info(path);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        target_ = info.canonicalFilePath();
    if (const QString problem = irregularFileProblem(target_); !problem.isEmpty())
        throw VelkError(problem);
    const QFileInfo target(target_);
    const QString prefix = QStringLiteral(".") + target.fileName() + QStringLiteral(".velk-");
    sweepStaleTemporaries(target.absolutePath(), prefix);
    // The replaced file's permissions are kept; a new one gets the usual ones.
    struct stat st {};
    const bool existed = ::stat(native(target_).constData(), &st) == 0;
    const mode_t mode = existed ? (st.st_mode & 07777) : 0666;
    do {
        temporary_ = joinPath(target.absolutePath(), temporaryName(prefix));
        fd_ = ::open(native(temporary_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    } while (fd_ < 0 && errno == EEXIST);
    if (fd_ < 0) {
        temporary_.clear();
        throw fileError(path_, errno, FileAction::Write);
    }
    if (existed)
        ::fchmod(fd_, mode);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!temporary_.isEmpty())
        ::unlink(native(temporary_).constData());
}

void AtomicFileWriter::fail(int error) {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        ::unlink(native(temporary_).constData());
    temporary_.clear();
    throw fileError(path_, error, FileAction::Write);
}

void AtomicFileWriter::write(const QByteArray& data) {
    if (fd_ < 0)
        fail(EBADF);
    const off_t at = ::lseek(fd_, 0, SEEK_CUR);
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd_, data.constData() + done, std::size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(n < 0 ? errno : ENOSPC);
        done += n;
    }
    // The disk starts on what is written while the rest is made: the sync at the commit,
    // which keeps the previous file until the new one is whole on disk, then waits less.
    ::sync_file_range(fd_, at, data.size(), SYNC_FILE_RANGE_WRITE);
}

void AtomicFileWriter::commit() {
    if (fd_ < 0)
        fail(EBADF);
    if (::fsync(fd_) != 0)
        fail(errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        fail(errno);
    if (::rename(native(temporary_).constData(), native(target_).constData()) != 0)
        fail(errno);
    temporary_.clear();
}

QByteArray readWholeFile(const QString& path) {
    const int fd = openRegularForReading(path);
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw fileError(path, EIO, FileAction::Read);
    }
    // The descriptor was opened so that a pipe could not block it; a regular file never does.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw VelkError::io(IoCode::ReadPastEnd);
    return data;
}

QString temporaryName(const QString& prefix) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString name = prefix + QString::number(::getpid()) + QLatin1Char('-');
    for (int i = 0; i < 6; ++i)
        name += QLatin1Char(kChars[QRandomGenerator::global()->bounded(62)]);
    return name;
}

namespace {
// The process of a name temporaryName() made after the prefix: digits, "-", six letters or
// digits; 0 for any other name.
long long temporaryOwner(std::string_view tail) {
    const std::size_t dash = tail.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 18 || tail.size() != dash + 7)
        return 0;
    long long pid = 0;
    for (char c : tail.substr(0, dash)) {
        if (c < '0' || c > '9')
            return 0;
        pid = pid * 10 + (c - '0');
    }
    for (char c : tail.substr(dash + 1)) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return 0;
    }
    return pid;
}
} // namespace

void sweepStaleTemporaries(const QString& directory, const QString& prefix) {
    const std::string start = prefix.toStdString();
    std::error_code ec;
    for (auto it = fs::directory_iterator(toFsPath(directory), ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().native();
        if (name.compare(0, start.size(), start) != 0)
            continue;
        const long long owner = temporaryOwner(std::string_view(name).substr(start.size()));
        if (owner > 0 && !processAlive(owner)) {
            std::error_code e;
            fs::remove_all(it->path(), e);
        }
    }
}

TemporaryDirectory::TemporaryDirectory(const QString& parent, const QString& prefix) {
    const QString base = parent.isEmpty() ? QDir::tempPath() : parent;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = joinPath(base, temporaryName(prefix));
        if (::mkdir(native(candidate).constData(), 0700) == 0) {
            path_ = candidate;
            return;
        }
        if (errno != EEXIST)
            return;
    }
}

TemporaryDirectory::~TemporaryDirectory() {
    if (path_.isEmpty())
        return;
    std::error_code ec;
    fs::remove_all(toFsPath(path_), ec);
}

std::optional<std::uint64_t> freeSpace(const QString& path) {
    std::error_code ec;
    const fs::space_info info = fs::space(toFsPath(path), ec);
    if (ec)
        return std::nullopt;
    return info.available;
}

namespace {
fs::path normalised(const QString& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(toFsPath(path), ec), ec);
    if (ec)
        p = fs::absolute(toFsPath(path)).lexically_normal();
    // A trailing separator would make an empty last element.
    if (!p.has_filename() && p.has_parent_path() && p != p.root_path())
        p = p.parent_path();
    return p;
}
} // namespace

bool isSameOrInside(const QString& inner, const QString& outer) {
    const fs::path in = normalised(inner);
    const fs::path out = normalised(outer);
    auto i = in.begin();
    for (auto o = out.begin(); o != out.end(); ++o, ++i) {
        if (i == in.end() || *i != *o)
            return false;
    }
    return true;
}

} // namespace velk
