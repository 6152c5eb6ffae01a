// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/FileUtil.h"
#include "core/ZipDirectory.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

class QProcess;

namespace velk {

// The external zip and unzip, run as child processes with an argument list (never a
// shell), no standard input and no controlling terminal, so an archiver that would ask a
// question (a password, whether to replace a file) can never wait for an answer. Every
// path handed to them is absolute, so no file name is read as an option.

// How a child ended. `code` is the status shown after "Statut = ": the child's exit code,
// 2 when the program cannot be found, 5 when it cannot be started, -1 when it crashed.
struct RunStatus {
    enum class Outcome { Exited, NotFound, NotStarted, Crashed };
    Outcome outcome = Outcome::Exited;
    int code = 0;
    bool started() const { return outcome == Outcome::Exited || outcome == Outcome::Crashed; }
};
RunStatus runProgram(const QString& program, const QStringList& arguments);

// Runs the program and waits for it: runProgram's code, 0 when it ran and succeeded. While
// it runs the windows repaint and the busy cursor shows; what the user types or clicks waits
// until it has ended.
int RunAndWait(const QString& program, const QStringList& arguments);

// What the second message of a failed unpacking names as the cause.
enum class UnpackCause {
    None,
    ProgramUnavailable,
    ArchiveMissing,
    ArchiveDamaged,
    DiskFull,
    OverlappingMembers,
    UnsupportedMethod,
    OutOfMemory,
    Encrypted,
    Interrupted,
    Other
};

struct UnpackResult {
    int status = 0; // 0 on success, else the status to show after "Statut = "
    UnpackCause cause = UnpackCause::None;
    QString refusal; // not empty: the archive was refused, this French message says why
    bool ok() const { return status == 0 && refusal.isEmpty(); }
};

// unzip ARCHIVE -d DIRECTORY, after the archive's own list of members was read and
// vetted: an archive that holds links or special files, directories or names with a path,
// or encrypted members is refused before anything is unpacked, and so is one whose
// members' total size exceeds the free space of the directory. A missing archive gives
// status 2 and one that is no archive or is damaged status 9 or 3, without running unzip.
// unzip's warnings (exit code 1) count as success. Afterwards every new entry of the
// directory that is not a regular file makes the archive refused and all new entries are
// removed. Existing files of the directory are never replaced.
UnpackResult unpackArchive(const QString& archive, const QString& directory);

// The same unpacking started now and finished later, so that other work (building the
// windows) runs while unzip does. The archive is read and vetted at once.
//
// With `messagesApartFrom`, a MESSAGES.DAT of at least that many bytes is left to a second
// unzip, started by startApart() or finishApart(): finish() waits for the other members only
// (the control file, the indexes, the bulletins), so that the packet can be shown before its
// messages are unpacked. Each part is checked as the whole would be; a failure of the rest
// abandons MESSAGES.DAT too.
class UnpackJob {
public:
    UnpackJob(const QString& archive, const QString& directory,
              std::optional<std::uint64_t> messagesApartFrom = std::nullopt);
    ~UnpackJob();
    UnpackJob(const UnpackJob&) = delete;
    UnpackJob& operator=(const UnpackJob&) = delete;

    const QString& archive() const { return archive_; }
    const QString& directory() const { return directory_; }
    // What the members finish() waits for take once unpacked, as the archive declares them.
    std::uint64_t waitedSize() const { return rest_.declared; }
    // Whether unzip has ended (or never ran), so that finish() has nothing left to wait for.
    // Asks without collecting the child: finish() still does.
    bool over() const;
    // Waits for unzip as RunAndWait does, then checks the directory as unpackArchive does.
    // Only the first call waits; later ones give the same result.
    UnpackResult finish();

    // Whether MESSAGES.DAT is unpacked apart. Unless finishApart() has given its result,
    // the file goes with the job, whole or not, since nothing checked it.
    bool unpacksApart() const { return !apartName_.isEmpty(); }
    void startApart();
    // Started, and ended or never to run.
    bool apartOver() const;
    // finish() for MESSAGES.DAT; succeeds at once when it is not unpacked apart.
    UnpackResult finishApart();

private:
    struct Part {
        std::unique_ptr<QProcess> process;
        std::uint64_t declared = 0;         // what its members take, as declared
        std::optional<UnpackResult> result; // once collected (or never started)
        bool startedBeforeApplication = false;
    };
    UnpackResult collect(Part& part, bool apart);
    std::vector<std::filesystem::path> addedBy(bool apart) const;
    void abandonApart(const UnpackResult& why);

    QString archive_;
    QString directory_;
    Part rest_;
    Part apart_;
    QByteArray apartName_; // MESSAGES.DAT as stored, when apart
    QStringList apartArguments_;
    std::uint64_t apartFileSizeLimit_ = 0;
    std::unique_ptr<TemporaryDirectory> alias_; // the plain-named link unzip reads, if any
    std::vector<std::filesystem::path> before_;
    ZipListing listing_; // what the archive declares
};

// The French messages telling the user why unpacking the archive failed: the refusal, or
// "Problème lors du décompactage..." and "Statut = N" with the cause.
QStringList unpackFailureMessages(const QString& archive, const UnpackResult& result);

// zip -j ARCHIVE FILES...: adds the files without their directory. zip works on a copy
// beside the archive (named with temporaryName, so that one a killed run left is removed by
// the next packing) with its own work file among the files packed; the archive is replaced
// by a rename only once zip has succeeded. A path that is there but is no regular file (a
// pipe) is refused before anything is read.
struct PackResult {
    int status = 0; // 0 on success, else the status to show after "Statut = "
    QString cause;  // the line after the status, in French
    bool ok() const { return status == 0; }
};
PackResult packArchive(const QString& archive, const QStringList& files);
// packArchive's status alone.
int packFiles(const QString& archive, const QStringList& files);

// "Problème lors du compactage du fichier ..." and "Statut = N" with the cause.
QStringList packFailureMessages(const QString& archive, const PackResult& result);

} // namespace velk
