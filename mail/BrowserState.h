// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

// The browser's sort orders, numbered as its buttons are from left to right.
enum class MessageOrder : std::uint16_t {
    Number = 1,
    Author = 2,
    Recipient = 3,
    Subject = 4,
    Thread = 5 // answers under what they answer
};

// One message of the loaded conference, as the browser lists and sorts it.
struct MessageListEntry {
    char privateMark = ' '; // 'P' or ' '
    std::string date;       // the header's 8 bytes
    // The calendar day (Julian day number) of the date; nullopt when the date is no day.
    std::optional<std::int64_t> dateValue;
    std::string author;           // 25
    std::string recipient;        // 25
    std::string subject;          // 25
    std::string number;           // trailing blanks removed
    std::uint16_t conference = 0; // the header's, which keys the message's read mark
    std::string time{};           // the header's 5 bytes
    // The number of the message answered (header's reference), 0 when none or no number.
    std::uint64_t reference = 0;
    // HEADERS.DAT's identifiers of the message and of the one it answers; empty when none.
    std::string messageId{};
    std::string inReplyTo{};
    // Kept here rather than looked up in ConferenceIndex, which the personal list overwrites.
    std::int32_t headerBlock = 0;
};

// A message as a list keeps it: the header's fields at their width, checked as the viewer
// reads them, so that a conference of hundreds of thousands of messages stays small and its
// lines can be made as they are drawn.
struct ListedMessage {
    std::array<char, 25> author{};
    std::array<char, 25> recipient{};
    std::array<char, 25> subject{};
    std::array<char, 8> date{};
    std::array<char, 7> numberBytes{}; // trailing blanks removed: numberLength bytes
    std::uint8_t numberLength = 0;
    char privateMark = ' ';
    std::uint16_t conference = 0; // the header's own conference number
    std::int32_t headerBlock = 0;
    std::optional<std::int32_t> dateValue; // Julian day number; nullopt when no day
    std::array<char, 5> time{};
    // The number of the message answered (the header's reference), 0 when none or no number.
    std::uint32_t reference = 0;
    // HEADERS.DAT's identifiers of the message and of the one it answers, as keys
    // (messageIdKey); 0 when none. Threads compare them only for equality.
    std::uint64_t messageId = 0;
    std::uint64_t inReplyTo = 0;

    std::string_view number() const { return {numberBytes.data(), numberLength}; }
};

// A HEADERS.DAT identifier as a key for ListedMessage; 0 for none.
std::uint64_t messageIdKey(std::string_view id);

// The list of messages the viewer steps through: the browser's conference or the
// personal list, whichever was filled last.
struct BrowserState {
    std::vector<std::int32_t> ConferenceIndex; // header block indices, index-file order
    std::vector<std::int32_t> ListOrder;       // header block index of each list line
    std::int32_t CurrentListIndex = 0;
    std::int32_t LastListIndex = -1;
    std::int32_t CurrentConference = 0; // position in the conference table
    MessageOrder SortOrder = MessageOrder::Number;
    // The line of the conference list whose messages MessageList holds; nullopt when none is
    // loaded.
    std::optional<std::int32_t> LoadedConference;
    // The line of the conference list whose messages ListOrder lists; nullopt for the
    // personal list. Unlike LoadedConference, the browser's coming up keeps it.
    std::optional<std::int32_t> ListedConference;
    std::vector<ListedMessage> MessageList; // index-file order
    // The browser's lines: the position in MessageList of each, in SortOrder.
    std::vector<std::uint32_t> ListedPositions;
    // In the thread order, each list line's depth under its thread's first message; empty in
    // the other orders.
    std::vector<std::uint32_t> ListDepth;
};

} // namespace velk
