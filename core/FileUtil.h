// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/VelkError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

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

// What a failed file operation is, for its message.
enum class FileAction { Read, Write };

// The cause of a failed file operation (an errno value) in the user's words: "disque plein",
// "accès refusé", "fichier en lecture seule"...
QString fileErrorCause(int error, const QString& path = {});

// The runtime's error naming the number the user knows, the file and the cause.
VelkError fileError(const QString& path, int error, FileAction action);

// A file we read or replace must be a regular file: a pipe would block for ever, a device
// never end. The French message for a path that exists as anything else, else empty.
QString irregularFileProblem(const QString& path);

// Writes the whole file through a temporary file in the same directory and a rename, so
// the previous version stays whole on any failure. Throws VelkError on failure.
void writeFileAtomically(const QString& path, const QByteArray& data);

// The same for a file written piece by piece: the path changes only when commit() succeeds,
// and a writer dropped before that leaves it as it was. Each call throws VelkError naming the
// file and the cause (access denied, path not found, disk full). The temporary file is named
// after the process (temporaryName), so a run killed half-way leaves nothing the next
// writer of the same file does not remove.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    void write(const QByteArray& data);
    void commit();

private:
    [[noreturn]] void fail(int error);
    QString path_;   // as the caller named it, for messages
    QString target_; // the file replaced: through a link, the file it names
    QString temporary_;
    int fd_ = -1;
};

// Reads a whole file; throws VelkError when it cannot be opened or read, or is no regular file.
QByteArray readWholeFile(const QString& path);

// Our temporary files and directories are named `prefix` + the process id + "-" + six
// letters or digits, so that one left by a run that was killed is known for ours and
// removed by the next run (sweepStaleTemporaries) while its owner is gone.
QString temporaryName(const QString& prefix);
// Removes the entries of `directory` named `prefix` + pid + "-XXXXXX" whose process has ended.
void sweepStaleTemporaries(const QString& directory, const QString& prefix);

// A private directory (mode 0700) in `parent` (the system's temporary directory when empty),
// named with temporaryName; removed with all it holds when it goes, whatever bytes the names
// below it are made of.
class TemporaryDirectory {
public:
    explicit TemporaryDirectory(const QString& parent = {},
                                const QString& prefix = QStringLiteral("velk-"));
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    bool isValid() const { return !path_.isEmpty(); }
    QString path() const { return path_; }
    QString filePath(const QString& name) const { return joinPath(path_, name); }

private:
    QString path_;
};

// Free bytes of the file system holding the path.
std::optional<std::uint64_t> freeSpace(const QString& path);

// Whether `inner` is `outer` itself or lies below it (both made absolute and canonical
// where they exist).
bool isSameOrInside(const QString& inner, const QString& outer);

} // namespace velk
