// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/MessageHeader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velk {

class BlockFile;
class Diagnostics;
struct PacketSession;

// The longest long field kept from a board: names and subjects of the lengths boards use,
// and no hostile line of megabytes in a label.
inline constexpr std::size_t kLongFieldWidth = 255;
// What the editor's fields hold when the board reads QWKE kludge lines.
inline constexpr int kQwkeNameWidth = 60;
inline constexpr int kQwkeSubjectWidth = 70;

// One section of HEADERS.DAT: what it says of one message. Empty texts were not given.
struct HeaderSection {
    std::string to;
    std::string from;   // "From"
    std::string sender; // "Sender", the author's name where both are given
    std::string subject;
    std::optional<bool> utf8; // "Utf8", or a charset field naming UTF-8
    std::string whenWritten;  // "WhenWritten": "yyyymmddhhmmss-hhmm", then a zone code
    // What threads link by: "Message-ID" ("MSGID"), and "In-Reply-To" ("REPLY"), else the
    // last of "References".
    std::string messageId;
    std::string inReplyTo;
};

// HEADERS.DAT: a text of sections, each named by the byte offset in MESSAGES.DAT of the
// header it describes, in hexadecimal ("[1a80]"), holding "Key: value" or "Key = value"
// lines. The first occurrence of a key counts: a mail header copied below the board's own
// fields repeats some. Unknown keys and sections whose name is no offset are passed over.
struct HeadersFile {
    std::unordered_map<std::int64_t, HeaderSection> sections;
};
HeadersFile parseHeadersFile(std::string_view data);
// Whether a line of such a file opens a section ("[1a80]", blanks around it), and the offset
// it names; a section whose name is no offset holds nothing a reader takes.
struct SectionName {
    std::optional<std::int64_t> offset;
};
std::optional<SectionName> sectionName(std::string_view line);
// HEADERS.DAT of the open packet (any case), read once and kept until the next opening;
// empty when there is none.
const HeadersFile& packetHeadersFile(PacketSession& session);

// The section's names, subject, character set and time of writing become the header's long
// fields; a name or subject that its 25-character field was not cut from is passed over
// ("Sender:", then "From:", for the author).
void applyHeaderSection(MessageHeader& header, const HeaderSection& section);

// The QWKE kludge lines at the top of a text (lines ended by LF, or by CR alone): "To:",
// "From:" and "Subject:" whose value is longer than 25 characters and begins with the
// header's field (letter case aside) become the header's long fields and leave the text,
// with the blank line that ends them; any other line stays the text's.
// Other kludges of the same block ("@VIA:" ...) stay; a charset kludge ("CHRS: UTF-8",
// "X-FTN-CHRS: UTF-8", with or without "@" or ^A) marks the message UTF-8.
void applyKludgeLines(MessageHeader& header, std::string& text);

// Reads the message whose header is block `headerBlock` of MESSAGES.DAT into the store:
// header and text (see ReadMessageHeader and ReadMessageText), then what the board says of
// it beside them, its kludge lines and its HEADERS.DAT section. Its notices go into `said`,
// which keeps them when a VelkError is thrown after them.
void ReadPacketMessage(PacketSession& session, BlockFile& messages, std::int32_t headerBlock,
                       Diagnostics& said);

// The QWKE kludge lines a reply carries at the top of its text: one for each field longer
// than the header's 25 characters ("To: ", "From: ", "Subject: "), then a blank line;
// nothing when every field fits. Blanks after a value are not part of it.
std::vector<std::string> replyKludgeLines(std::string_view recipient, std::string_view author,
                                          std::string_view subject);

} // namespace velk
