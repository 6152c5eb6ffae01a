// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/BrowserState.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

struct MailSession;
class Diagnostics;

// A message number field (the header's number or reference) as a value; 0 (never a
// message's) for a text that is no number.
std::uint64_t messageNumberValue(std::string_view field);

// The thread order: each thread's first message, then its answers under it, each answer
// followed by its own. An answer is linked to the message it answers by an identifier
// (In-Reply-To against Message-ID) before its reference number; where several messages
// carry the identifier or number, the first in file order that is not the answer itself; a
// loop of answers is cut above its oldest message. Within a thread, threads and the answers to one
// message oldest first (day, time, number, then file order). Every entry is listed once.
struct ThreadOrder {
    std::vector<std::uint32_t> positions;
    std::vector<std::uint32_t> depth; // of each listed message, 0 for a thread's first
};
ThreadOrder threadOrder(const std::vector<ListedMessage>& entries);

// A message's list line in the thread order: its subject moved right by its depth (two
// columns a level, at most kMaxThreadIndent levels).
inline constexpr std::uint32_t kMaxThreadIndent = 12;
std::string threadLine(const ListedMessage& entry, std::uint32_t depth);

// For the viewer, around the message it shows (the list line CurrentListIndex): the header
// block of the message it answers, and those of its answers oldest first, among the
// messages of its conference in the packet. Throws VelkError when the conference's index or
// headers cannot be read.
struct ThreadNeighbours {
    std::optional<std::int32_t> origin;
    std::vector<std::int32_t> answers;
    std::vector<std::string> answerLines; // the browser's line of each answer, DOS bytes
};
ThreadNeighbours threadNeighbours(MailSession& session, Diagnostics& said);

// Shows the message of header block `block` in the viewer: its line when the list holds it,
// else the message alone, the list staying where it was. Throws VelkError.
void readThreadMessage(MailSession& session, Diagnostics& said, std::int32_t block);

} // namespace velk
