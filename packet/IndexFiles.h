// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/PacketControl.h"

#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace velk {

// What one pass over the headers of MESSAGES.DAT finds, for packets that lack index files:
// the header block of every message by conference number, in file order, and of those
// addressed to the user. Records that are no message (a board's votes, status 'V') are
// passed over.
struct MessageFileIndex {
    std::map<std::uint16_t, std::vector<std::int32_t>> conferences;
    std::vector<std::int32_t> personal;
};

// The pass itself. A header is a block whose count (bytes 116-121) is a number of at least
// 1 and whose author does not start with NUL; the pass moves on by that count, or by one
// block from anything else. The user's messages are those whose recipient field is the
// user's name (its first 25 characters), letter case aside. No file gives an empty result.
// The block count of a block that starts a record of MESSAGES.DAT (a message or a vote): a
// count of at least 1 in bytes 116-121 and an author not starting with NUL. nullopt for a
// text block or a damaged one.
std::optional<std::int64_t> recordBlockCount(const unsigned char* block);

MessageFileIndex scanMessagesFile(const QString& messagesPath, std::string_view userName);
// The pass over the work directory's MESSAGES.DAT, made once per open packet.
const MessageFileIndex& builtIndexOf(const QString& workPath, PacketState& packet);

// The conferences that have messages, ordered by their position in the control file; one
// whose number no conference has comes last (position -1). A conference with an index file
// lists that file, even an empty one: the number is the name before its first "." (5.NDX,
// 005.NDX and 1001.NDX alike; PERSONAL.NDX and names that are no number are not
// conferences) and the count its size divided by 5. A conference without one lists the
// messages MESSAGES.DAT holds for it, when there are some.
std::vector<IndexFileEntry> findIndexFiles(const QString& workPath, PacketState& packet);
std::vector<IndexFileEntry> findIndexFiles(const QString& workPath, const PacketControl& control);

// The index file of the conference at this position of the table, if it has one.
const IndexFileEntry* indexFileOf(const std::vector<IndexFileEntry>& files, int position);

// Header block indices of a conference's messages: its index file read, or the messages
// found in MESSAGES.DAT. Throws VelkError when the index file cannot be read.
std::vector<std::int32_t> readConferenceIndex(const QString& workPath, const IndexFileEntry& entry);

// Header block indices of PERSONAL.NDX (any case), in file order; empty without the file.
std::vector<std::int32_t> readPersonalIndex(const QString& workPath);
// The personal list: PERSONAL.NDX when the packet has one, even empty; otherwise the
// messages of MESSAGES.DAT addressed to the user.
std::vector<std::int32_t> readPersonalList(const QString& workPath, PacketState& packet);

} // namespace velk
