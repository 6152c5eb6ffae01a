// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/PacketControl.h"

#include <QString>

#include <vector>

// The conferences that have an index file in the work directory, ordered by their position
// in the control file; an index whose number no conference has comes last (position -1).
// The conference number is the name before its first "." (5.NDX, 005.NDX and 1001.NDX
// alike); PERSONAL.NDX, in any case, and names that are no number are not conferences.
// The message count is the file size divided by 5.
std::vector<IndexFileEntry> findIndexFiles(const QString& workPath, const PacketControl& control);

// The index file of the conference at this position of the table, if it has one.
const IndexFileEntry* indexFileOf(const std::vector<IndexFileEntry>& files, int position);

// Header block indices of PERSONAL.NDX (any case), in file order; empty without the file.
std::vector<std::int32_t> readPersonalIndex(const QString& workPath);
