// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/WorkDirectory.h"

#include "core/CoreSession.h"
#include "core/DirectoryGuard.h"
#include "core/FileUtil.h"
#include "core/VelkError.h"

#include <system_error>

namespace {

bool samePath(const fs::path& a, const QString& b) {
    if (b.isEmpty())
        return false;
    std::error_code ec;
    return fs::equivalent(a, toFsPath(b), ec);
}

} // namespace

QString emptyWorkDirectory(const CoreSession& session, const QString& keep) {
    const QString refusal = workDirectoryConflict(session.settings, session.startDirectory);
    if (!refusal.isEmpty())
        return refusal;
    std::error_code ec;
    for (auto it = fs::directory_iterator(toFsPath(session.settings.workPath), ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code e;
        if (fs::is_directory(it->symlink_status(e)) || samePath(it->path(), keep))
            continue;
        fs::remove(it->path(), e);
    }
    return {};
}

void EmptyDirectoryTree(const QString& directory, const QString& workPath) {
    // Nothing outside the work directory is ever deleted.
    if (workPath.isEmpty() || !isSameOrInside(directory, workPath))
        throw VelkError::io(IoCode::AccessDenied);
    const fs::path dir = toFsPath(directory);
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        std::error_code e;
        const fs::path p = it->path();
        if (fs::is_directory(it->symlink_status(e)))
            EmptyDirectoryTree(fromFsPath(p), workPath);
        else if (!fs::remove(p, e) || e)
            throw VelkError::io(IoCode::AccessDenied);
    }
    if (ec)
        throw VelkError::io(IoCode::PathNotFound);
    if (!samePath(dir, workPath) && (!fs::remove(dir, ec) || ec))
        throw VelkError::io(IoCode::AccessDenied);
}
