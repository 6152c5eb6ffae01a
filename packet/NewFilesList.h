// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/UiServices.h"

#include <QByteArray>
#include <QString>

namespace velk {

struct PacketSession;

// NEWFILES.DAT of the work directory, whatever the case of its name on disk (the plain
// joined path when there is none).
QString newFilesPath(const PacketSession& session);

// The lines of a DOS text file as the list shows them in the DOS font: every byte its
// code page 437 glyph, tabs kept, lines joined by "\n". CR LF, LF and a lone CR end a line;
// the DOS end-of-file mark ends the text.
QString newFilesText(const QByteArray& dosBytes);
// Reads NEWFILES.DAT; throws VelkError when it cannot be read.
QString loadNewFiles(const PacketSession& session);

// Where the next search starts: a 1-based position in the text (where a downward search
// starts, where an upward one ends) and the 0-based line of the previous match.
struct NewFilesSearch {
    int position = 1;
    int lastMatchLine = 0;
};

struct FindOutcome {
    bool found = false;
    int start = 0;  // 0-based position of the selection
    int length = 0; // characters selected
    int line = 0;   // 0-based line of the match
    // Lines to scroll from the previous match to this one: positive downward.
    int scrollLines = 0;
};

// One "find next" of the find dialog over the list's text. A whole word is searched with
// a blank on each side, so a word at the very start or end of a line is not found. Without
// match case, letters compare in upper case.
FindOutcome FindDialog1Find(const QString& text, const FindRequest& request,
                            NewFilesSearch& search);

// The export file's bytes: each line of the text, UTF-8, ended by a line feed.
QByteArray newFilesExportBytes(const QString& text);
// Appends the text to the file when it exists, else creates it. The file is rewritten
// through a temporary file, so a failed write leaves it as it was; throws VelkError.
void exportNewFiles(const QString& path, const QString& text);

} // namespace velk
