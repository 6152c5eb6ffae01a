// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/BrowserState.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velk {

struct MailSession;
class UiServices;

// The position in `entries` of the message each one answers; nullopt for a message that
// answers none held there. An identifier (In-Reply-To against Message-ID) links before the
// reference number; where several messages carry the identifier or number, the first in file
// order that is not the answer itself. A loop of answers is cut above its oldest message.
std::vector<std::optional<std::uint32_t>>
threadParents(const std::vector<MessageListEntry>& entries);

// The thread order: each thread's first message, then its answers under it, each answer
// followed by its own; threads and the answers to one message oldest first (day, time,
// number, then file order). Every entry is listed once.
struct ThreadOrder {
    std::vector<std::size_t> positions;
    std::vector<std::uint32_t> depth; // of each listed message, 0 for a thread's first
};
ThreadOrder threadOrder(const std::vector<MessageListEntry>& entries);

// A message's list line in the thread order: its subject moved right by its depth (two
// columns a level, at most kMaxThreadIndent levels).
inline constexpr std::uint32_t kMaxThreadIndent = 12;
std::string threadLine(const MessageListEntry& entry, std::uint32_t depth);

// For the viewer, around the message it shows (the list line CurrentListIndex): the header
// block of the message it answers, and those of its answers oldest first, among the
// messages of its conference in the packet. Throws VelkError when the conference's index or
// headers cannot be read.
struct ThreadNeighbours {
    std::optional<std::int32_t> origin;
    std::vector<std::int32_t> answers;
    std::vector<std::string> answerLines; // the browser's line of each answer, DOS bytes
};
ThreadNeighbours threadNeighbours(MailSession& session, UiServices& ui);

// Shows the message of header block `block` in the viewer: its line when the list holds it,
// else the message alone, the list staying where it was. Throws VelkError.
void readThreadMessage(MailSession& session, UiServices& ui, std::int32_t block);

} // namespace velk
