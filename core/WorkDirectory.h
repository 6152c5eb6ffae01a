// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace velk {

struct CoreSession;

// Deletes everything below the work directory, subdirectories included (failures are
// ignored), except `keep`: a packet the user opens from there is never deleted. Links are
// deleted, never followed. Refuses when the work directory is not one of its own (see
// DirectoryGuard.h): returns the French message and deletes nothing; empty on success.
QString emptyWorkDirectory(const CoreSession& session, const QString& keep = {});

// Deletes everything below `directory` and then the directory itself, unless it is the
// work directory, which is kept empty. Throws VelkError when an entry cannot be deleted
// or the directory does not lie in the work directory.
void EmptyDirectoryTree(const QString& directory, const QString& workPath);

} // namespace velk
