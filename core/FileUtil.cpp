// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FileUtil.h"

#include "core/VelkError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <fcntl.h>
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

bool wildcardMatch(const QString& pattern, const QString& name) {
    // "*.*" matches every name on DOS, with or without an extension.
    QString p = pattern;
    if (p.endsWith(QLatin1String(".*")))
        p = p.left(p.size() - 2) + QLatin1Char('*');
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(p),
                                QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

QStringList findFiles(const QString& dir, const QString& pattern) {
    QStringList result;
    const QDir d(dir);
    const QStringList names = d.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& n : names) {
        if (wildcardMatch(pattern, n))
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

std::int64_t fileSizeBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (!f.exists())
            throw VelkError::fileNotFound();
        throw VelkError::io(IoCode::AccessDenied);
    }
    return f.size();
}

void writeFileAtomically(const QString& path, const QByteArray& data) {
    AtomicFileWriter f(path);
    f.write(data);
    f.commit();
}

AtomicFileWriter::AtomicFileWriter(const QString& path) : file_(std::make_unique<QSaveFile>(path)) {
    // Unbuffered: a buffered write that fails only at commit is not reported by QSaveFile,
    // which would then rename a cut file over the good one.
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw VelkError::io(QFileInfo(path).dir().exists() ? IoCode::AccessDenied
                                                           : IoCode::PathNotFound);
}

AtomicFileWriter::~AtomicFileWriter() = default;

void AtomicFileWriter::write(const QByteArray& data) {
    const qint64 at = file_->pos();
    if (file_->write(data) != data.size()) {
        file_->cancelWriting();
        throw VelkError::io(IoCode::DiskFull);
    }
    // The disk starts on what is written while the rest is made: the sync at the commit,
    // which keeps the previous file until the new one is whole on disk, then waits less.
    ::sync_file_range(file_->handle(), at, data.size(), SYNC_FILE_RANGE_WRITE);
}

void AtomicFileWriter::commit() {
    if (!file_->commit())
        throw VelkError::io(IoCode::DiskFull);
}

QByteArray readWholeFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (!f.exists())
            throw VelkError::fileNotFound();
        throw VelkError::io(IoCode::AccessDenied);
    }
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw VelkError::io(IoCode::ReadPastEnd);
    return data;
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
