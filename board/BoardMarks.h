// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "board/ReadMarks.h"

#include <QString>

#include <chrono>
#include <string>

namespace velk {

struct BoardSession;
class Diagnostics;

// A crash loses at most the marks of this long: the file is rewritten at most this often.
inline constexpr std::chrono::milliseconds kMarksSaveDelay{2000};

// The file of a board's marks in the program directory: <BBSID>.LUS.
QString readMarksPath(const QString& programDirectory, const std::string& bbsId);
// Where a damaged file is put aside rather than written over: <BBSID>.LUS.ABIME.
QString damagedMarksPath(const QString& marksPath);

// The marks of the open packet's board, read from its file the first time (the marks of
// the board before saved first). A refused file is told in `said`: a damaged one is put
// aside and the board starts unread; a foreign or newer one is left alone and the marks
// are then kept in memory only. A board identifier that cannot name a file keeps them in
// memory too. Looking only (`lookOnly`) leaves every file as it is, a damaged one included.
ReadMarks& boardMarks(BoardSession& session, Diagnostics& said, bool lookOnly = false);

// Writes the marks whole, through a temporary file and a rename, when they changed. Throws
// VelkError (disk full, no access), the old file left whole.
void saveBoardMarks(BoardSession& session);
// The same, once kMarksSaveDelay has passed since the last write; true when changes are
// still waiting, for the caller to come back later.
bool saveBoardMarksWhenDue(BoardSession& session);

} // namespace velk
