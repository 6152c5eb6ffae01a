// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/Diagnostics.h"
#include "packet/MessageHeader.h"
#include "reply/ReplyState.h"
#include "reply/TextInsertion.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace velk {

struct PacketControl;
struct ReplySession;

constexpr char kReplyLineSeparator = char(0xE3);
constexpr unsigned char kReplyActive = 0xE1;

// <WorkPath>/<BBSID>.MSG and <REPPath>/<BBSID>.REP. Throws VelkError when the board's
// identifier could name a file elsewhere.
QString ReplyFilePath(const ReplySession& session);
QString ReplyPacketPath(const ReplySession& session);

// A text of at most `width` characters gets spaces up to width + 1; a longer one is kept.
// The header then takes exactly the field's width of it.
std::string PadRight(std::string_view text, std::size_t width);

// Every line followed by 0xE3, then spaces up to the end of the last 128-byte record; a
// length that is an exact multiple of 128 gets one further record of spaces.
std::string EncodeReplyBody(const EditorLines& lines);

// Record 0: the board identifier and spaces.
Block ReplyFileHeaderRecord(std::string_view bbsId);

// The conference number of the editor's list position (0 when out of range).
std::uint16_t ConferenceNumberAt(const PacketControl& control, int position);

// What the editor hands over when it stores a message.
struct ReplyDraft {
    EditorLines lines;  // the text, DOS bytes
    EditorLines tagBox; // the tagline box: its first two lines follow the text
    bool isPrivate = false;
    std::uint16_t conference = 0;
    std::string recipient;
    std::string author;
    std::string subject;
    bool answer = false;        // AnswerFlag
    std::string answeredNumber; // number field (7) of the message being answered
};

// The header of a reply written at `now` with `records` records, header included.
MessageHeader BuildReplyHeader(const ReplyDraft& draft, bool isPrivate,
                               const std::string& recipient, const QDateTime& now,
                               std::uint16_t logicalCounter, std::size_t records);

// The send button: cleans the end of the text, appends the tagline box, writes the message
// at the end of the reply file (creating it with record 0) and records the recipient. When
// the board reads QWKE kludge lines, a recipient, author or subject longer than the header's
// 25 characters goes whole in a kludge line above the text (replyKludgeLines).
// The draft's lines and its recipient, author and subject come back as they were stored.
// Returns whether the message was written whole; a failed write says why and cuts the file
// back to what it was. Other failures throw VelkError, the file as it was.
Diagnosed<bool> AppendReply(ReplySession& session, ReplyDraft& draft, const QDateTime& now);

// A carbon copy: `copyLines` as they are, always private, to `copyRecipient`; everything
// else as the draft of the main message.
Diagnosed<bool> AppendCarbonCopy(ReplySession& session, const EditorLines& copyLines,
                                 const std::string& copyRecipient, const ReplyDraft& draft,
                                 const QDateTime& now);

// The messages of a reply file: each header's record and record count. Throws VelkError
// when the file cannot be read or a count is not a number.
std::vector<ReplyTableEntry> ListReplyFile(const QString& path);

// Lists the messages of the reply file (which must exist) into ReplyTable.
void BuildReplyTable(ReplySession& session);
// Removes message `index`; the last one gone, the reply file and the reply packet go too.
void DeleteReply(ReplySession& session, int index);
// Puts the file's last message in front of message `index`.
void MoveLastReplyTo(ReplySession& session, int index);
// After the new version of message `index` was appended: it takes the old one's place.
void ReplaceReply(ReplySession& session, int index);

} // namespace velk
