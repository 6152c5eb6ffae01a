// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/TextHelpers.h"

#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velk {

constexpr std::size_t kBlockSize = 128;
using Block = std::array<char, kBlockSize>;

// What a board says of a message beside its header block: names and subject longer than
// the block's 25 characters (QWKE kludge lines, HEADERS.DAT), and whether the message is
// UTF-8. An empty value means the board gave none.
struct LongFields {
    std::string recipient;
    std::string author;
    std::string subject;
    bool utf8 = false;       // fields and text are UTF-8 bytes rather than DOS ones
    std::string whenWritten; // when and in which zone it was written, as the board gives it
};

// The 128-byte header block of MESSAGES.DAT and of the reply file. Text fields hold the
// block's bytes at full width, padding and trailing blanks kept; readers trim them.
struct MessageHeader {
    std::string status;     // 1: '*' or '+' private, anything else public
    std::string number;     // 7
    std::string date;       // 8: mm-dd-yy
    std::string time;       // 5: hh:mm
    std::string recipient;  // 25
    std::string author;     // 25
    std::string subject;    // 25
    std::string password;   // 12
    std::string reference;  // 8
    std::string blockCount; // 6: blocks of the message, header included
    std::uint8_t active = 0;
    std::uint16_t conference = 0;
    std::uint16_t logicalNumber = 0;
    std::uint8_t networkTag = 0;
    LongFields longFields; // never written into a block

    bool isPrivate() const { return status == "*" || status == "+"; }
};

// Field widths, in block order.
namespace HeaderField {
constexpr std::size_t Status = 1, Number = 7, Date = 8, Time = 5, Recipient = 25, Author = 25,
                      Subject = 25, Password = 12, Reference = 8, BlockCount = 6;
constexpr std::size_t AuthorOffset = 46;
} // namespace HeaderField

MessageHeader parseHeaderBlock(const Block& block);
Block headerBlock(const MessageHeader& header);

// A field without its padding: trailing blanks and NULs.
std::string unpadded(std::string_view field);
// The recipient, author and subject as the board sent them: the long value when there is
// one, else the header's field unpadded. Bytes of the message's character set.
std::string fullRecipient(const MessageHeader& header);
std::string fullAuthor(const MessageHeader& header);
std::string fullSubject(const MessageHeader& header);

// Bytes of the message (a field or its text) as characters: UTF-8 for a message the board
// marks so, DOS glyphs otherwise; a NUL shows as a blank.
QString messageCharacters(const MessageHeader& header, std::string_view bytes);
// The same bytes in the DOS set, as a reply or a quotation holds them: a UTF-8 character
// that code page 437 lacks takes its best fit.
std::string messageBytesInDos(const MessageHeader& header, std::string_view bytes);

} // namespace velk
