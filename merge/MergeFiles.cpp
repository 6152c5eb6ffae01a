// SPDX-License-Identifier: GPL-2.0-or-later
#include "merge/MergeFiles.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "packet/Mbf.h"
#include "packet/MessageStore.h"

#include <QFile>

#include <algorithm>

namespace velk {

namespace {

constexpr std::int64_t kBlock = 128;
constexpr std::int64_t kRecord = std::int64_t(kIndexEntrySize);
// The largest block number an MBF single holds exactly.
constexpr std::int64_t kMaxBlockNumber = 0xFFFFFF;

void openOrThrow(QFile& f, QIODevice::OpenMode mode) {
    if (!f.open(mode)) {
        if (!f.exists() && !(mode & QIODevice::WriteOnly))
            throw VelkError::fileNotFound();
        throw VelkError::io(IoCode::AccessDenied);
    }
}

void writeOrThrow(QFile& f, const char* data, qint64 size) {
    if (f.write(data, size) != size)
        throw VelkError::io(IoCode::DiskFull);
}

void closeOrThrow(QFile& f) {
    if (!f.flush())
        throw VelkError::io(IoCode::DiskFull);
    f.close();
}

QString messagesFile(const QString& directory) {
    const auto path = findFileNoCase(directory, QStringLiteral("MESSAGES.DAT"));
    if (!path)
        throw VelkError::fileNotFound();
    return *path;
}

// The conference number a name like "005.NDX" or "5.ndx" stands for.
std::optional<int> indexNumber(const QString& name) {
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot <= 0 || name.mid(dot).compare(QLatin1String(".NDX"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const QString stem = name.left(dot);
    if (stem.size() > 9 || !std::all_of(stem.begin(), stem.end(), [](QChar c) {
            return c.unicode() >= '0' && c.unicode() <= '9';
        }))
        return std::nullopt;
    return stem.toInt();
}

} // namespace

std::int64_t AppendMessageFile(const QString& baseDirectory, const QString& integratedDirectory) {
    QFile base(messagesFile(baseDirectory));
    openOrThrow(base, QIODevice::ReadWrite);
    QFile integrated(messagesFile(integratedDirectory));
    openOrThrow(integrated, QIODevice::ReadOnly);
    const std::int64_t n1 = base.size() / kBlock;
    if (!base.seek(n1 * kBlock))
        throw VelkError::io(IoCode::ReadPastEnd);

    // Block 0 is the integrated packet's own header: it is not carried over.
    std::int64_t copied = 0;
    if (integrated.size() > kBlock) {
        if (!integrated.seek(kBlock))
            throw VelkError::io(IoCode::ReadPastEnd);
        std::vector<char> chunk(std::size_t(1) << 20);
        while (true) {
            const qint64 got = integrated.read(chunk.data(), qint64(chunk.size()));
            if (got < 0)
                throw VelkError::io(IoCode::ReadPastEnd);
            if (got == 0)
                break;
            writeOrThrow(base, chunk.data(), got);
            copied += got;
        }
    }
    // Whole blocks keep every later append, and every index entry, aligned.
    if (const std::int64_t partial = copied % kBlock; partial != 0) {
        const std::string blanks(std::size_t(kBlock - partial), ' ');
        writeOrThrow(base, blanks.data(), qint64(blanks.size()));
    }
    closeOrThrow(base);
    return n1;
}

void ReadIndexFile(const QString& path, IndexBuffer& buffer) {
    const QByteArray data = readWholeFile(path);
    const std::size_t count = std::size_t(data.size()) / kIndexEntrySize;
    buffer.entries.clear();
    buffer.entries.reserve(count);
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData());
    for (std::size_t i = 0; i < count; ++i, p += kIndexEntrySize)
        buffer.entries.push_back({MbfToBlockIndex(mbfWord(p)), p[4]});
}

void ShiftIndexBuffer(IndexBuffer& buffer, std::int64_t n1) {
    for (IndexRecord& r : buffer.entries) {
        // A record that points nowhere keeps pointing nowhere.
        if (r.block < 0)
            continue;
        // Block k of the integrated file now follows the base's n1 blocks, without the
        // integrated packet's own header block.
        r.block += n1 - 1;
        if (r.block < 0)
            continue;
        if (r.block + 1 > kMaxBlockNumber)
            throw VelkError(QStringLiteral(
                "Le paquet fusionné serait trop grand : ses fichiers d'index ne pourraient "
                "plus désigner tous ses messages.\nFusion annulée."));
    }
}

void WriteIndexFileName(const QString& path, IndexWriteMode mode, const IndexBuffer& buffer) {
    std::string out;
    out.reserve(buffer.entries.size() * kIndexEntrySize);
    for (const IndexRecord& r : buffer.entries) {
        const auto mbf = EncodeMbf(r.block < 0 ? 0 : std::uint32_t(r.block + 1));
        out.append(reinterpret_cast<const char*>(mbf.data()), mbf.size());
        out.push_back(char(r.extra));
    }
    if (mode == IndexWriteMode::Create) {
        QFile f(path);
        openOrThrow(f, QIODevice::WriteOnly | QIODevice::Truncate);
        writeOrThrow(f, out.data(), qint64(out.size()));
        closeOrThrow(f);
        return;
    }
    QFile f(path);
    openOrThrow(f, QIODevice::ReadWrite);
    // After the last whole record: a trailing partial one is overwritten.
    if (!f.seek(f.size() / kRecord * kRecord))
        throw VelkError::io(IoCode::ReadPastEnd);
    writeOrThrow(f, out.data(), qint64(out.size()));
    closeOrThrow(f);
}

void MergeIndexFiles(const QString& baseDirectory, const QString& integratedDirectory,
                     std::int64_t n1) {
    IndexBuffer buffer;
    for (const QString& name : findFiles(integratedDirectory, QStringLiteral("*.NDX"))) {
        ReadIndexFile(joinPath(integratedDirectory, name), buffer);
        ShiftIndexBuffer(buffer, n1);
        if (const auto target = findIndexFile(baseDirectory, name))
            WriteIndexFileName(*target, IndexWriteMode::Append, buffer);
        else
            WriteIndexFileName(joinPath(baseDirectory, name.toUpper()), IndexWriteMode::Create,
                               buffer);
    }
}

QString TroisChiffres(int number) {
    const QString text = QString::number(number);
    if (text.size() == 1)
        return QStringLiteral("00") + text;
    if (text.size() == 2)
        return QStringLiteral("0") + text;
    return text;
}

std::optional<QString> findIndexFile(const QString& directory, const QString& name) {
    if (auto same = findFileNoCase(directory, name))
        return same;
    const std::optional<int> number = indexNumber(name);
    if (!number)
        return std::nullopt;
    for (const QString& other : findFiles(directory, QStringLiteral("*.NDX"))) {
        if (indexNumber(other) == number)
            return joinPath(directory, other);
    }
    return std::nullopt;
}

void RenameIndexFile(const QString& baseDirectory, int oldNumber, int newNumber) {
    const auto oldPath = findIndexFile(baseDirectory, TroisChiffres(oldNumber) + ".NDX");
    if (!oldPath)
        return; // the base packet had no message in that conference
    const QString newName = TroisChiffres(newNumber) + QStringLiteral(".NDX");
    const auto newPath = findIndexFile(baseDirectory, newName);
    if (!newPath) {
        std::error_code ec;
        fs::rename(toFsPath(*oldPath), toFsPath(joinPath(baseDirectory, newName)), ec);
        if (ec)
            throw VelkError::io(IoCode::AccessDenied);
        return;
    }
    // The index step already wrote the integrated entries under the new number: the base
    // packet's older entries go first, as in every other merged index file.
    QByteArray older = readWholeFile(*oldPath);
    older.truncate(older.size() / kRecord * kRecord);
    writeFileAtomically(*newPath, older + readWholeFile(*newPath));
    if (!QFile::remove(*oldPath))
        throw VelkError::io(IoCode::AccessDenied);
}

} // namespace velk
