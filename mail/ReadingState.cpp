// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/ReadingState.h"

#include "board/BoardMarks.h"
#include "core/Diagnostics.h"
#include "core/VelkError.h"
#include "mail/Browser.h"
#include "mail/MailSession.h"
#include "packet/IndexFiles.h"
#include "packet/MessageHeader.h"
#include "packet/MessageStore.h"

#include <unordered_map>

namespace velk {

namespace {

std::vector<std::optional<MessageKey>> conferenceKeys(MailSession& s, int line) {
    const IndexFileEntry& file = s.packet.indexFiles[std::size_t(line)];
    const std::vector<std::int32_t> index = readConferenceIndex(s.settings.workPath, file);
    std::vector<std::optional<MessageKey>> keys;
    keys.reserve(index.size());
    if (index.empty())
        return keys;
    HeaderKeys headers(s.settings.workPath);
    for (std::int32_t block : index)
        keys.push_back(headers.at(block));
    return keys;
}

// The keys of ListOrder's lines: from the loaded conference's entries, or from the headers.
std::vector<std::optional<MessageKey>> listedKeys(MailSession& s) {
    const BrowserState& b = s.browser;
    std::vector<std::optional<MessageKey>> keys;
    keys.reserve(b.ListOrder.size());
    if (b.LoadedConference && b.ListedConference == b.LoadedConference &&
        b.ListedPositions.size() == b.ListOrder.size()) {
        // Read in file order, then placed: the lines of an order by name visit the entries
        // at random, each in a cache line of its own.
        std::vector<std::optional<MessageKey>> inFileOrder;
        inFileOrder.reserve(b.MessageList.size());
        for (const ListedMessage& m : b.MessageList)
            inFileOrder.push_back(messageKey(m.conference, m.number()));
        for (std::uint32_t position : b.ListedPositions)
            keys.push_back(inFileOrder[position]);
        return keys;
    }
    if (b.ListOrder.empty())
        return keys;
    HeaderKeys headers(s.settings.workPath);
    for (std::int32_t block : b.ListOrder)
        keys.push_back(headers.at(block));
    return keys;
}

ReadMark markOf(const ReadMarks& marks, const std::optional<MessageKey>& key) {
    return key ? marks.mark(*key) : ReadMark::Unread;
}

std::optional<MessageKey> shownKey(const MailSession& s) {
    if (s.viewer.ReplyMode)
        return std::nullopt;
    const MessageHeader& h = s.store.CurrentHeader;
    return messageKey(h.conference, h.number);
}

std::optional<int> firstUnread(const ReadMarks& marks,
                               const std::vector<std::optional<MessageKey>>& keys, int from) {
    for (int i = std::max(from, 0); i < int(keys.size()); ++i)
        if (markOf(marks, keys[std::size_t(i)]) == ReadMark::Unread)
            return i;
    return std::nullopt;
}

std::optional<ReadMark> toggle(MailSession& s, Diagnostics& said, std::optional<MessageKey> key) {
    if (!key)
        return std::nullopt;
    ReadMarks& marks = boardMarks(s, said);
    const ReadMark now =
        marks.mark(*key) == ReadMark::Followed ? ReadMark::Read : ReadMark::Followed;
    marks.setMark(*key, now);
    return now;
}

} // namespace

HeaderKeys::HeaderKeys(const QString& workPath) : file_(messagesFilePath(workPath)) {
    if (!file_.open(QIODevice::ReadOnly))
        throw VelkError::fileNotFound();
    size_ = file_.size();
    if (size_ > 0)
        data_ = file_.map(0, size_);
    if (size_ > 0 && !data_)
        throw VelkError::io(IoCode::AccessDenied);
}

std::optional<MessageKey> HeaderKeys::at(std::int32_t block) {
    const std::int64_t offset = std::int64_t(block) * std::int64_t(kBlockSize);
    if (block < 0 || offset + std::int64_t(kBlockSize) > size_)
        return std::nullopt;
    const uchar* h = data_ + offset;
    const auto conference = std::uint16_t(h[123] | (h[124] << 8));
    return messageKey(conference, std::string_view(reinterpret_cast<const char*>(h) + 1, 7));
}

std::vector<ReadMark> listedMarks(MailSession& s, Diagnostics& said) {
    const ReadMarks& marks = boardMarks(s, said);
    std::vector<ReadMark> result;
    for (const auto& key : listedKeys(s))
        result.push_back(markOf(marks, key));
    return result;
}

std::vector<std::int32_t> unreadCounts(MailSession& s, Diagnostics& said) {
    const ReadMarks& marks = boardMarks(s, said);
    std::vector<std::int32_t> counts;
    for (std::size_t line = 0; line < s.packet.indexFiles.size(); ++line) {
        std::int32_t unread = 0;
        for (const auto& key : conferenceKeys(s, int(line)))
            unread += markOf(marks, key) == ReadMark::Unread;
        counts.push_back(unread);
    }
    return counts;
}

bool markShownRead(MailSession& s, Diagnostics& said) {
    const auto key = shownKey(s);
    if (!key)
        return false;
    ReadMarks& marks = boardMarks(s, said);
    return marks.mark(*key) == ReadMark::Unread && marks.setMark(*key, ReadMark::Read);
}

std::optional<ReadMark> shownMark(MailSession& s, Diagnostics& said) {
    const auto key = shownKey(s);
    if (!key)
        return std::nullopt;
    return boardMarks(s, said).mark(*key);
}

std::optional<ReadMark> toggleShownFollowed(MailSession& s, Diagnostics& said) {
    return toggle(s, said, shownKey(s));
}

std::optional<ReadMark> toggleListedFollowed(MailSession& s, Diagnostics& said, int line) {
    const auto keys = listedKeys(s);
    if (line < 0 || std::size_t(line) >= keys.size())
        return std::nullopt;
    return toggle(s, said, keys[std::size_t(line)]);
}

bool goToNextUnread(MailSession& s, Diagnostics& said) {
    BrowserState& b = s.browser;
    const ReadMarks& marks = boardMarks(s, said);
    if (const auto next = firstUnread(marks, listedKeys(s), b.CurrentListIndex + 1))
        return readListedMessage(s, said, *next);
    if (!b.ListedConference)
        return false;
    for (int line = *b.ListedConference + 1; line < int(s.packet.indexFiles.size()); ++line) {
        if (!firstUnread(marks, conferenceKeys(s, line), 0))
            continue;
        listConference(s, said, line);
        if (const auto next = firstUnread(marks, listedKeys(s), 0))
            return readListedMessage(s, said, *next);
    }
    return false;
}

int markConferenceRead(MailSession& s, Diagnostics& said, int line) {
    if (line < 0 || std::size_t(line) >= s.packet.indexFiles.size())
        return 0;
    ReadMarks& marks = boardMarks(s, said);
    int changed = 0;
    for (const auto& key : conferenceKeys(s, line))
        if (key && marks.mark(*key) == ReadMark::Unread)
            changed += marks.setMark(*key, ReadMark::Read);
    return changed;
}

} // namespace velk
