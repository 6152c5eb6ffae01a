// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/CharacterSet.h"
#include "core/Diagnostics.h"
#include "library/LibraryState.h"

#include <QString>

#include <string>
#include <string_view>

namespace velk {

struct LibrarySession;

enum class LibraryKind { Headers = 0, Footers = 1, Taglines = 2, Correspondents = 3 };

constexpr char kEntryStart = kMarkerOpen;
constexpr char kDefaultMark = kMarkerDefault;
constexpr char kEntryEnd = kMarkerClose;

// A file of this size or more is refused.
constexpr std::int64_t kLibraryTooBig = 65535;

// "ENTETES.INI", "PIEDPAGE.INI", "TAGLINES.INI", "AMIS.INI".
QString LibraryFileName(LibraryKind kind);
QString LibraryPath(const QString& velkPath, LibraryKind kind);
// The most entries a load takes from the file: 200, 200, 2000, 100.
int LibraryReadLimit(LibraryKind kind);
std::vector<LibraryEntry>& LibraryList(LibraryState& state, LibraryKind kind);
bool* LibraryDefaultFlag(LibraryState& state, LibraryKind kind); // nullptr for correspondents

struct ExtractedEntry {
    std::string text; // whole, however long
    bool isDefault = false;
};

// The text of the first entry at or after `start`. The default mark counts only right after
// an entry start found exactly at `start`; any other 0xAD is dropped.
ExtractedEntry ExtractEntry(std::string_view buffer, std::size_t start);

// What a missing or empty file reads as.
std::string BuiltInLibraryContent(LibraryKind kind);

// Reads the file into the list, replacing its content. A file of 65,535 bytes or more gives
// the too-big message and leaves the list as it was (returns false). Read failures and a
// correspondent count that is not a number throw VelkError.
Diagnosed<bool> LoadLibrary(LibraryState& state, LibraryKind kind, const QString& velkPath);

// The bytes SaveLibrary writes for the list.
QByteArray LibraryFileContent(const std::vector<LibraryEntry>& list, LibraryKind kind);

// Rewrites the file from the list (deleted entries skipped) through a temporary file and a
// rename; on failure says "Problème lors de l'écriture de <path>", the file keeps its
// previous content and false is returned.
Diagnosed<bool> SaveLibrary(LibraryState& state, LibraryKind kind, const QString& velkPath);

// After a message is written: the name's use count rises by one, or it is added.
// Returns false when AMIS.INI could not be read or rewritten (with the message saying why).
Diagnosed<bool> RecordCorrespondent(LibraryState& state, const std::string& name,
                                    const QString& velkPath);

Diagnosed<bool> LoadHeaders(LibrarySession& session);
Diagnosed<bool> LoadFooters(LibrarySession& session);
Diagnosed<bool> LoadTaglines(LibrarySession& session);
Diagnosed<bool> LoadCorrespondents(LibrarySession& session);
Diagnosed<bool> SaveLibrary(LibrarySession& session, LibraryKind kind);
Diagnosed<bool> RecordCorrespondent(LibrarySession& session, const std::string& name);

// Start-up: the four libraries in the order headers, footers, taglines, correspondents, their
// messages into `said`. Throws VelkError when a file cannot be read.
void LoadAllLibraries(LibrarySession& session, Diagnostics& said);

} // namespace velk
