// SPDX-License-Identifier: GPL-2.0-or-later
#include "merge/MergeFiles.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "packet/Mbf.h"
#include "packet/MessageStore.h"

#include <QFile>

#include <algorithm>

#include <unistd.h>

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

} // namespace

std::int64_t AppendMessageFile(const QString& baseDirectory, const QString& integratedDirectory) {
    QFile base(messagesFile(baseDirectory));
    openOrThrow(base, QIODevice::ReadWrite);
    QFile integrated(messagesFile(integratedDirectory));
    openOrThrow(integrated, QIODevice::ReadOnly);
    // The base's last text may end in a partial block: it is completed, never overwritten.
    const std::int64_t baseSize = base.size();
    const std::int64_t n1 = std::max<std::int64_t>((baseSize + kBlock - 1) / kBlock, 1);
    if (!base.seek(baseSize))
        throw VelkError::io(IoCode::ReadPastEnd);
    if (const std::int64_t missing = n1 * kBlock - baseSize; missing > 0) {
        const std::string blanks(std::size_t(missing), ' ');
        writeOrThrow(base, blanks.data(), qint64(blanks.size()));
    }

    // Block 0 is the integrated packet's own header: it is not carried over.
    std::int64_t copied = 0;
    if (integrated.size() > kBlock) {
        if (!integrated.seek(kBlock))
            throw VelkError::io(IoCode::ReadPastEnd);
        // The kernel copies without the data passing through here, where it can.
        if (!base.flush())
            throw VelkError::io(IoCode::DiskFull);
        loff_t from = kBlock;
        loff_t to = loff_t(base.pos());
        while (from < integrated.size()) {
            const ssize_t done = ::copy_file_range(integrated.handle(), &from, base.handle(), &to,
                                                   std::size_t(integrated.size() - from), 0);
            if (done <= 0)
                break;
            copied += done;
        }
        if (!base.seek(to) || !integrated.seek(from))
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

QString TroisChiffres(int number) {
    QString text = QString::number(number);
    if (text.size() == 1)
        return QStringLiteral("00") + text;
    if (text.size() == 2)
        return QStringLiteral("0") + text;
    return text;
}

} // namespace velk
