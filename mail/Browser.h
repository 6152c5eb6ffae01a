// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/BrowserState.h"
#include "packet/MessageHeader.h"

#include <QDate>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

class BlockFile;
struct IndexFileEntry;
struct MessageHeader;
struct MailSession;
class Diagnostics;

// A header date (mm-dd-yy) as dd/mm/yy: its characters 4-5, "/", 1-2, "/", 7-8, whatever
// order the date was written in.
std::string DateToDayFirst(std::string_view date);

// The calendar day of a header date, as a Julian day number. The third character is the
// separator; the date is read day first when its first number can only be a day (over 12
// and greater than the second), month first otherwise; a two-digit year goes through the
// sliding window. nullopt when that is no day of the calendar (02-30-96).
std::optional<std::int64_t> headerDateValue(std::string_view date,
                                            const QDate& today = QDate::currentDate());

// A line of the conference list: the number left-aligned in 5 columns, "(count)" in 7,
// then the name. DOS bytes.
std::string conferenceLine(int number, std::int32_t messageCount, std::string_view name);

// "Co&urrier général", before the browser opens: the conferences that have messages (their
// index file, or MESSAGES.DAT where they have none), in control-file order, recorded in
// session.packet.indexFiles, and their list lines.
// Filling the list forgets the loaded conference: its lines may now name other files.
std::vector<std::string> buildConferenceList(MailSession& session);

// The list entry of a header just read from the block `headerBlock`.
MessageListEntry makeListEntry(const MessageHeader& header, std::int32_t headerBlock,
                               const QDate& today = QDate::currentDate());

// The compact form of an entry and back. A field longer than the header's is cut to its
// width.
ListedMessage listedMessage(const MessageListEntry& entry);
MessageListEntry listEntry(const ListedMessage& message);
std::vector<MessageListEntry> listEntries(const std::vector<ListedMessage>& messages);

// The listed form of the header block `block` read from `headerBlock` of MESSAGES.DAT,
// checked as ReadMessageHeader checks it (a bad date is replaced and reported in `said`).
ListedMessage listedMessageOf(const Block& block, std::int32_t headerBlock, Diagnostics& said,
                              const QDate& today = QDate::currentDate());
// The headers of `blocks`, read in file order in large pieces, listed in the order given.
std::vector<ListedMessage>
readListedMessages(BlockFile& messages, const std::vector<std::int32_t>& blocks, Diagnostics& said);

// The 88-character line of a message: private mark, date dd/mm/yy, author, recipient and
// subject, one blank between them. DOS bytes, NUL padding shown as blanks.
std::string messageLine(const ListedMessage& message);
std::string messageLine(const MessageListEntry& entry);

// Positions in `entries` in the order of the list for the sort order. Every entry is listed
// once.
//
// By number repeats a pass over the messages not yet listed, in file order: a message whose
// date is not after the lowest date met in the pass and whose number text is not greater
// than the lowest number met becomes the pass's pick. A date that is no day leaves the date
// test out and the lowest date as it was. The other orders list by the field (padding included)
// followed by the number text, byte by byte; equal keys list the last in file order first.
// The thread order is threadOrder's (mail/Threads.h).
std::vector<std::uint32_t> sortedPositions(const std::vector<ListedMessage>& entries,
                                           MessageOrder sortOrder);
std::vector<std::size_t> sortedPositions(const std::vector<MessageListEntry>& entries,
                                         MessageOrder sortOrder);

// The messages of a conference's index file as a list keeps them, with HEADERS.DAT's
// identifiers where the packet has some. Throws VelkError when a file cannot be read.
std::vector<ListedMessage> readConferenceMessages(MailSession& session, Diagnostics& said,
                                                  const IndexFileEntry& file);

// Reads the index file of the conference-list line `line` and every header it points to,
// the message file opened once; each bad header date gives its message once. On success
// the line becomes the loaded conference. On failure (VelkError thrown) nothing is loaded.
void loadConference(MailSession& session, Diagnostics& said, int line);

// ListConfClick's work for the conference-list line `line`: loads it unless it is the
// loaded one, then sorts it in SortOrder. Fills ListedPositions, ListOrder, LastListIndex,
// ListDepth (in the thread order) and CurrentConference. Throws VelkError (after emptying the list
// and forgetting the loaded conference) when the index or message file fails.
void orderConference(MailSession& session, Diagnostics& said, int line);

// The line `row` of the browser's list, made when it is shown.
std::string browserLine(const BrowserState& browser, std::size_t row);

// orderConference, then every line of the list.
std::vector<std::string> listConference(MailSession& session, Diagnostics& said, int line);

// ListMsgClick's reading: CurrentListIndex becomes `line` and its message is read into the
// store (ReadPacketMessage). False (nothing read) when there is no such line; throws
// VelkError when the message cannot be read.
bool readListedMessage(MailSession& session, Diagnostics& said, int line);

// The personal list (readPersonalList: PERSONAL.NDX, or the user's messages of MESSAGES.DAT
// when there is none) into ConferenceIndex and ListOrder, LastListIndex set. The browser's loaded
// conference is forgotten, since its index was overwritten.
void loadPersonalList(MailSession& session);

} // namespace velk
