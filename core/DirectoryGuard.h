// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace velk {

struct Settings;

// Emptying the work directory deletes every file in it. That is only safe for a directory
// of its own: not the program directory, nor the installation, QWK or REP directory, nor
// a parent of one of them. Returns the French message explaining the refusal, or an
// empty string when the directory may be emptied.
QString workDirectoryConflict(const QString& workPath, const QString& startDirectory,
                              const QString& velkPath, const QString& qwkPath,
                              const QString& repPath);
QString workDirectoryConflict(const Settings& settings, const QString& startDirectory);

} // namespace velk
