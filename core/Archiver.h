// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

class QProcess;

// The external zip and unzip, run as child processes with an argument list (never a
// shell) and no standard input, so an unzip that asks a question cannot hang.

// Runs the program and waits for it. 0 when it ran and succeeded; 2 when the program
// cannot be found; 5 when it cannot be started; -1 when it crashed; otherwise its own exit
// code. While it runs the windows repaint and the busy cursor shows; what the user types
// or clicks waits until it has ended.
int RunAndWait(const QString& program, const QStringList& arguments);

struct UnpackResult {
    int status = 0;  // 0 on success, else the status to show after "Statut = "
    QString refusal; // not empty: the archive held links or special files, now removed
    bool ok() const { return status == 0 && refusal.isEmpty(); }
};

// unzip ARCHIVE -d DIRECTORY. A missing archive gives status 2 without running unzip (which
// would try ARCHIVE.zip); unzip's warnings (exit code 1) count as success. Afterwards any
// entry of the directory that is neither a regular file nor a directory (a symbolic link,
// a device, a pipe) makes the archive refused: every entry the unpacking added is removed
// and so is every such entry, and `refusal` holds the French message.
UnpackResult unpackArchive(const QString& archive, const QString& directory);

// The same unpacking started now and finished later, so that other work (building the
// windows) runs while unzip does.
class UnpackJob {
public:
    UnpackJob(const QString& archive, const QString& directory);
    ~UnpackJob();
    UnpackJob(const UnpackJob&) = delete;
    UnpackJob& operator=(const UnpackJob&) = delete;

    const QString& archive() const { return archive_; }
    const QString& directory() const { return directory_; }
    // Waits for unzip as RunAndWait does, then checks the directory as unpackArchive does.
    // Only the first call waits; later ones give the same result.
    UnpackResult finish();

private:
    QString archive_;
    QString directory_;
    std::unique_ptr<QProcess> process_;
    int startStatus_ = 0; // not 0: unzip was never started
    std::optional<UnpackResult> result_;
    std::vector<std::filesystem::path> before_;
};

// zip -j ARCHIVE FILES...: adds the files without their directory; the status of RunAndWait.
int packFiles(const QString& archive, const QStringList& files);
