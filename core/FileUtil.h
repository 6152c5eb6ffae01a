// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

class QSaveFile;

namespace velk {

namespace fs = std::filesystem;

fs::path toFsPath(const QString& path);
QString fromFsPath(const fs::path& path);

// Joins a directory held without a trailing "/" and a name.
QString joinPath(const QString& dir, const QString& name);

// A configured directory passes when it exists, is a directory and is writable:
// the read-only attribute of the original counts as missing.
bool isUsableDirectory(const QString& path);

// Case-insensitive wildcard match of a file name ("*.NDX", "BLT-*.*"), as on DOS: "*.*"
// also matches a name without a dot.
bool wildcardMatch(const QString& pattern, const QString& name);

// Regular files of a directory whose names match the pattern, in name order.
QStringList findFiles(const QString& dir, const QString& pattern);

// The path of the file named so in the directory, whatever the case of its name on disk;
// nullopt when there is none.
std::optional<QString> findFileNoCase(const QString& dir, const QString& name);

// Size in bytes; throws VelkError (file not found / I/O) when the file cannot be opened.
std::int64_t fileSizeBytes(const QString& path);

// Writes the whole file through a temporary file in the same directory and a rename, so
// the previous version stays whole on any failure. Throws VelkError on failure.
void writeFileAtomically(const QString& path, const QByteArray& data);

// The same for a file written piece by piece: the path changes only when commit() succeeds,
// and a writer dropped before that leaves it as it was. Each call throws VelkError with the
// runtime's message (access denied, path not found, disk full).
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    void write(const QByteArray& data);
    void commit();

private:
    std::unique_ptr<QSaveFile> file_;
};

// Reads a whole file; throws VelkError when it cannot be opened or read.
QByteArray readWholeFile(const QString& path);

// Free bytes of the file system holding the path.
std::optional<std::uint64_t> freeSpace(const QString& path);

// Whether `inner` is `outer` itself or lies below it (both made absolute and canonical
// where they exist).
bool isSameOrInside(const QString& inner, const QString& outer);

} // namespace velk
