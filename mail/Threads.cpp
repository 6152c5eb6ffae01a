// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/Threads.h"

#include "core/DecimalField.h"
#include "core/Diagnostics.h"
#include "mail/Browser.h"
#include "mail/MailSession.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageStore.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <string_view>
#include <unordered_map>

namespace velk {

namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

} // namespace

std::uint64_t messageNumberValue(std::string_view text) {
    return decimalField(text, 18).value_or(0);
}

namespace {

std::vector<std::uint64_t> numberValues(const std::vector<ListedMessage>& entries) {
    std::vector<std::uint64_t> numbers(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        numbers[i] = messageNumberValue(entries[i].number());
    return numbers;
}

std::string_view timeOf(const ListedMessage& m) {
    return {m.time.data(), m.time.size()};
}

// Each entry's rank from the oldest: day, time, number, file order.
std::vector<std::uint32_t> ageRanks(const std::vector<ListedMessage>& entries,
                                    const std::vector<std::uint64_t>& numbers) {
    const std::size_t n = entries.size();
    std::vector<std::uint32_t> byAge(n);
    std::iota(byAge.begin(), byAge.end(), std::uint32_t(0));
    std::sort(byAge.begin(), byAge.end(), [&](std::uint32_t a, std::uint32_t b) {
        const auto dayA = entries[a].dateValue.value_or(std::numeric_limits<std::int32_t>::min());
        const auto dayB = entries[b].dateValue.value_or(std::numeric_limits<std::int32_t>::min());
        if (dayA != dayB)
            return dayA < dayB;
        if (const int c = timeOf(entries[a]).compare(timeOf(entries[b])); c != 0)
            return c < 0;
        if (numbers[a] != numbers[b])
            return numbers[a] < numbers[b];
        return a < b;
    });
    std::vector<std::uint32_t> rank(n);
    for (std::uint32_t r = 0; r < n; ++r)
        rank[byAge[r]] = r;
    return rank;
}

// The first two holders of each key, so that a message carrying its own key finds another.
template <typename Key> struct FirstTwo {
    std::unordered_map<Key, std::pair<std::uint32_t, std::uint32_t>> holders;
    void add(const Key& key, std::uint32_t i) {
        auto [it, inserted] = holders.try_emplace(key, i, kNone);
        if (!inserted && it->second.second == kNone)
            it->second.second = i;
    }
    std::uint32_t otherThan(const Key& key, std::uint32_t self) const {
        const auto it = holders.find(key);
        if (it == holders.end())
            return kNone;
        return it->second.first != self ? it->second.first : it->second.second;
    }
};

std::vector<std::uint32_t> parentsOf(const std::vector<ListedMessage>& entries,
                                     const std::vector<std::uint64_t>& numbers,
                                     const std::vector<std::uint32_t>& rank) {
    const std::size_t n = entries.size();
    FirstTwo<std::uint64_t> byNumber;
    FirstTwo<std::uint64_t> byId;
    byNumber.holders.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        if (numbers[i] != 0)
            byNumber.add(numbers[i], i);
        if (entries[i].messageId != 0)
            byId.add(entries[i].messageId, i);
    }
    std::vector<std::uint32_t> parent(n, kNone);
    for (std::uint32_t i = 0; i < n; ++i) {
        const ListedMessage& e = entries[i];
        std::uint32_t p = kNone;
        if (e.inReplyTo != 0 && !byId.holders.empty())
            p = byId.otherThan(e.inReplyTo, i);
        if (p == kNone && e.reference != 0)
            p = byNumber.otherThan(e.reference, i);
        parent[i] = p;
    }
    // Loops: a walk up from each message not yet settled meets its own mark again only
    // inside a loop, which loses the link above its oldest message.
    std::vector<std::uint32_t> mark(n, kNone);
    for (std::uint32_t start = 0; start < n; ++start) {
        std::uint32_t at = start;
        while (at != kNone && mark[at] == kNone) {
            mark[at] = start;
            at = parent[at];
        }
        if (at == kNone || mark[at] != start)
            continue;
        std::uint32_t oldest = at;
        for (std::uint32_t k = parent[at]; k != at; k = parent[k])
            if (rank[k] < rank[oldest])
                oldest = k;
        parent[oldest] = kNone;
    }
    return parent;
}

} // namespace

ThreadOrder threadOrder(const std::vector<ListedMessage>& entries) {
    const std::size_t n = entries.size();
    const std::vector<std::uint64_t> numbers = numberValues(entries);
    const std::vector<std::uint32_t> rank = ageRanks(entries, numbers);
    const std::vector<std::uint32_t> parent = parentsOf(entries, numbers, rank);

    std::vector<std::uint32_t> byAge(n);
    for (std::uint32_t i = 0; i < n; ++i)
        byAge[rank[i]] = i;
    // Each message's answers in one array, oldest first: counted, then placed by age. The
    // roots take slot n.
    std::vector<std::uint32_t> start(n + 2, 0);
    for (std::uint32_t i = 0; i < n; ++i)
        ++start[(parent[i] == kNone ? n : parent[i]) + 1];
    for (std::size_t k = 1; k < start.size(); ++k)
        start[k] += start[k - 1];
    std::vector<std::uint32_t> children(n);
    std::vector<std::uint32_t> filled(start.begin(), start.end() - 1);
    for (std::uint32_t i : byAge)
        children[filled[parent[i] == kNone ? n : parent[i]]++] = i;

    ThreadOrder order;
    order.positions.reserve(n);
    order.depth.reserve(n);
    // Depth first without recursion: a chain of answers may be as long as the conference.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> stack; // message, its depth
    for (std::uint32_t r = start[n]; r < start[n + 1]; ++r) {
        stack.emplace_back(children[r], 0);
        while (!stack.empty()) {
            const auto [at, depth] = stack.back();
            stack.pop_back();
            order.positions.push_back(at);
            order.depth.push_back(depth);
            for (std::uint32_t c = start[at + 1]; c > start[at]; --c)
                stack.emplace_back(children[c - 1], depth + 1);
        }
    }
    return order;
}

std::string threadLine(const ListedMessage& entry, std::uint32_t depth) {
    std::string line = messageLine(entry);
    line.insert(63, std::size_t(2) * std::min(depth, kMaxThreadIndent), ' ');
    return line;
}

ThreadNeighbours threadNeighbours(MailSession& s, Diagnostics& said) {
    ThreadNeighbours found;
    const BrowserState& b = s.browser;
    if (b.CurrentListIndex < 0 || std::size_t(b.CurrentListIndex) >= b.ListOrder.size())
        return found;
    const std::int32_t shown = b.ListOrder[std::size_t(b.CurrentListIndex)];
    const auto holds = [&](const std::vector<ListedMessage>& list) {
        return std::any_of(list.begin(), list.end(),
                           [&](const ListedMessage& e) { return e.headerBlock == shown; });
    };
    // The browser's conference when it holds the message; else the conference the message's
    // header names (the personal list mixes conferences).
    std::vector<ListedMessage> read;
    const std::vector<ListedMessage>* entries = &b.MessageList;
    if (!b.LoadedConference || !holds(b.MessageList)) {
        const std::uint16_t conference = s.store.CurrentHeader.conference;
        const auto& files = s.packet.indexFiles;
        const auto file = std::find_if(files.begin(), files.end(), [&](const IndexFileEntry& f) {
            return f.conferenceNumber == conference;
        });
        if (file == files.end())
            return found;
        read = readConferenceMessages(s, said, *file);
        entries = &read;
    }
    const auto self = std::find_if(entries->begin(), entries->end(),
                                   [&](const ListedMessage& e) { return e.headerBlock == shown; });
    if (self == entries->end())
        return found;
    const std::uint32_t me = std::uint32_t(self - entries->begin());
    const std::vector<std::uint64_t> numbers = numberValues(*entries);
    const std::vector<std::uint32_t> rank = ageRanks(*entries, numbers);
    const std::vector<std::uint32_t> parent = parentsOf(*entries, numbers, rank);
    if (parent[me] != kNone)
        found.origin = (*entries)[parent[me]].headerBlock;
    std::vector<std::uint32_t> answers;
    for (std::uint32_t i = 0; i < parent.size(); ++i)
        if (parent[i] == me)
            answers.push_back(i);
    std::sort(answers.begin(), answers.end(),
              [&](std::uint32_t x, std::uint32_t y) { return rank[x] < rank[y]; });
    for (std::uint32_t i : answers) {
        found.answers.push_back((*entries)[i].headerBlock);
        found.answerLines.push_back(messageLine((*entries)[i]));
    }
    return found;
}

void readThreadMessage(MailSession& s, Diagnostics& said, std::int32_t block) {
    BrowserState& b = s.browser;
    const std::size_t listed =
        std::min(std::size_t(std::max(b.LastListIndex + 1, 0)), b.ListOrder.size());
    const auto line =
        std::find(b.ListOrder.begin(), b.ListOrder.begin() + std::ptrdiff_t(listed), block);
    if (line != b.ListOrder.begin() + std::ptrdiff_t(listed)) {
        readListedMessage(s, said, int(line - b.ListOrder.begin()));
        return;
    }
    // A failed read leaves the message shown intact.
    const MessageStoreState kept = s.store;
    try {
        BlockFile messages(messagesFilePath(s.settings.workPath));
        ReadPacketMessage(s, messages, block, said);
    } catch (...) {
        s.store = kept;
        throw;
    }
}

} // namespace velk
