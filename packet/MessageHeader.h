// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/TextHelpers.h"

#include <array>
#include <cstdint>
#include <string>

constexpr std::size_t kBlockSize = 128;
using Block = std::array<char, kBlockSize>;

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
