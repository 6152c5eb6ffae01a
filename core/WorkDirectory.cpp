// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/WorkDirectory.h"

#include "core/CoreSession.h"
#include "core/DirectoryGuard.h"
#include "core/FileUtil.h"
#include "core/VelkError.h"

#include <system_error>

namespace velk {

namespace {

bool samePath(const fs::path& a, const QString& b) {
    if (b.isEmpty())
        return false;
    std::error_code ec;
    return fs::equivalent(a, toFsPath(b), ec);
}

// Removes every entry below `dir` but `keep` and the directories leading to it; links
// are removed, never followed.
void removeAllBut(const fs::path& dir, const QString& keep) {
    std::error_code ec;
    std::vector<fs::path> entries;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        entries.push_back(it->path());
    for (const fs::path& p : entries) {
        std::error_code e;
        if (samePath(p, keep))
            continue;
        if (fs::is_directory(fs::symlink_status(p, e))) {
            if (!keep.isEmpty() && isSameOrInside(keep, fromFsPath(p))) {
                removeAllBut(p, keep);
                continue;
            }
        }
        fs::remove_all(p, e);
    }
}

} // namespace

QString emptyWorkDirectory(const CoreSession& session, const QString& keep) {
    QString refusal = workDirectoryConflict(session.settings, session.startDirectory);
    if (!refusal.isEmpty())
        return refusal;
    removeAllBut(toFsPath(session.settings.workPath), keep);
    return {};
}

namespace {

// Works on the names' bytes as they are on disk, so that no name is lost in a conversion.
void emptyTree(const fs::path& dir, const fs::path& work) {
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        std::error_code e;
        const fs::path p = it->path();
        if (fs::is_directory(it->symlink_status(e)))
            emptyTree(p, work);
        else if (!fs::remove(p, e) || e)
            throw VelkError::io(IoCode::AccessDenied);
    }
    if (ec)
        throw VelkError::io(IoCode::PathNotFound);
    if (!fs::equivalent(dir, work, ec) && (!fs::remove(dir, ec) || ec))
        throw VelkError::io(IoCode::AccessDenied);
}

} // namespace

void EmptyDirectoryTree(const QString& directory, const QString& workPath) {
    // Nothing outside the work directory is ever deleted.
    if (workPath.isEmpty() || !isSameOrInside(directory, workPath))
        throw VelkError::io(IoCode::AccessDenied);
    emptyTree(toFsPath(directory), toFsPath(workPath));
}

} // namespace velk
