// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/Browser.h"

#include "core/CodePage.h"
#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "core/TwoDigitYear.h"
#include "core/VelkError.h"
#include "mail/MailSession.h"
#include "packet/IndexFiles.h"
#include "packet/MessageHeader.h"
#include "packet/MessageStore.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

// 10 x first + second, wrapping in 16 bits, so that a character other than a digit gives a
// value out of the ranges of days and months.
std::uint16_t twoDigits(std::string_view text, std::size_t at) {
    auto digit = [&](std::size_t i) {
        return std::uint16_t(std::uint16_t(i < text.size() ? std::uint8_t(text[i]) : 0) - '0');
    };
    return std::uint16_t(10 * digit(at) + digit(at + 1));
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// A run of 1 to `maxDigits` decimal digits, blanks around it allowed.
std::optional<int> smallNumber(std::string_view s, std::size_t maxDigits, std::size_t* digits) {
    s = trimBlanks(s);
    if (s.empty() || s.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    *digits = s.size();
    return value;
}

std::vector<std::size_t> byNumber(const std::vector<MessageListEntry>& entries) {
    const std::size_t n = entries.size();
    // Number texts become ranks, so that a pass compares integers only.
    std::vector<std::size_t> byText(n);
    std::iota(byText.begin(), byText.end(), std::size_t(0));
    std::sort(byText.begin(), byText.end(),
              [&](std::size_t a, std::size_t b) { return entries[a].number < entries[b].number; });
    std::vector<std::uint32_t> rank(n);
    std::uint32_t r = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && entries[byText[i]].number != entries[byText[i - 1]].number)
            ++r;
        rank[byText[i]] = r;
    }

    // A pass walks from the first message not yet listed to the next one, in file order, that
    // passes both tests against the minima, and so on; the last reached is listed. A tree of
    // the minima over file positions finds each next step without scanning the rest.
    constexpr std::int64_t kNoDay = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kListedDate = std::numeric_limits<std::int64_t>::max();
    constexpr std::uint32_t kListedRank = std::numeric_limits<std::uint32_t>::max();
    std::size_t leaves = 1;
    while (leaves < n)
        leaves *= 2;
    struct Node {
        std::uint32_t rank = kListedRank;
        std::int64_t date = kListedDate; // kNoDay passes every date test
    };
    std::vector<Node> tree(2 * leaves);
    for (std::size_t i = 0; i < n; ++i)
        tree[leaves + i] = {rank[i], entries[i].dateValue.value_or(kNoDay)};
    for (std::size_t k = leaves - 1; k >= 1; --k)
        tree[k] = {std::min(tree[2 * k].rank, tree[2 * k + 1].rank),
                   std::min(tree[2 * k].date, tree[2 * k + 1].date)};

    // The first position after `after` whose rank and date are within the minima, or n.
    auto next = [&](std::size_t after, std::uint32_t maxRank, std::int64_t maxDate) {
        auto find = [&](auto& self, std::size_t k, std::size_t lo, std::size_t hi) -> std::size_t {
            if (hi <= after + 1 || tree[k].rank > maxRank || tree[k].date > maxDate)
                return n;
            if (k >= leaves)
                return lo;
            const std::size_t mid = (lo + hi) / 2;
            const std::size_t left = self(self, 2 * k, lo, mid);
            return left != n ? left : self(self, 2 * k + 1, mid, hi);
        };
        return find(find, 1, 0, leaves);
    };

    std::vector<std::size_t> order;
    order.reserve(n);
    std::size_t first = 0;
    for (std::size_t listed = 0; listed < n; ++listed) {
        while (tree[leaves + first].rank == kListedRank)
            ++first;
        std::size_t best = first;
        std::uint32_t minRank = rank[best];
        std::int64_t minDate = entries[best].dateValue.value_or(kListedDate);
        for (std::size_t p = next(best, minRank, minDate); p < n;
             p = next(best, minRank, minDate)) {
            best = p;
            minRank = rank[p];
            if (entries[p].dateValue)
                minDate = *entries[p].dateValue;
        }
        order.push_back(best);
        tree[leaves + best] = Node{};
        for (std::size_t k = (leaves + best) / 2; k >= 1; k /= 2)
            tree[k] = {std::min(tree[2 * k].rank, tree[2 * k + 1].rank),
                       std::min(tree[2 * k].date, tree[2 * k + 1].date)};
    }
    return order;
}

std::vector<std::size_t> byKey(const std::vector<MessageListEntry>& entries,
                               std::string MessageListEntry::*field) {
    std::vector<std::string> keys;
    keys.reserve(entries.size());
    for (const MessageListEntry& e : entries)
        keys.push_back(padRight(e.*field, 25) + e.number);
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    // Each pass of the list takes the last of the smallest keys: equal keys list backwards.
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int c = keys[a].compare(keys[b]);
        return c < 0 || (c == 0 && a > b);
    });
    return order;
}

int conferenceNumberOf(const IndexFileEntry& file) {
    const std::string& name = file.fileName;
    return parseWholeNumber(TrimRight(std::string_view(name).substr(0, name.find('.'))))
        .value_or(0);
}

} // namespace

std::string DateToDayFirst(std::string_view date) {
    const std::string d = padRight(date, 8);
    return d.substr(3, 2) + "/" + d.substr(0, 2) + "/" + d.substr(6, 2);
}

std::optional<std::int64_t> headerDateValue(std::string_view date, const QDate& today) {
    if (date.size() < 3)
        return std::nullopt;
    const char separator = date[2];
    const std::uint16_t a = twoDigits(date, 0);
    const std::uint16_t d = twoDigits(date, 3);
    const bool dayFirst = d < a && a > 12;

    std::string_view parts[3];
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? date.find(separator, start) : date.size();
        if (end == std::string_view::npos)
            return std::nullopt;
        parts[i] = date.substr(start, end - start);
        start = end + 1;
    }
    std::size_t digits = 0;
    const auto first = smallNumber(parts[0], 2, &digits);
    const auto second = smallNumber(parts[1], 2, &digits);
    const auto year = smallNumber(parts[2], 4, &digits);
    if (!first || !second || !year)
        return std::nullopt;
    const int fullYearValue = digits <= 2 ? fullYear(*year, today) : *year;
    const QDate day =
        dayFirst ? QDate(fullYearValue, *second, *first) : QDate(fullYearValue, *first, *second);
    if (!day.isValid())
        return std::nullopt;
    return day.toJulianDay();
}

std::string conferenceLine(int number, std::int32_t messageCount, std::string_view name) {
    std::string line = std::to_string(number);
    line.resize(std::max<std::size_t>(line.size(), 5), ' ');
    std::string count = "(" + std::to_string(messageCount) + ")";
    count.resize(std::max<std::size_t>(count.size(), 7), ' ');
    return line + count + std::string(name);
}

std::vector<std::string> buildConferenceList(MailSession& s) {
    s.browser.LoadedConference = kNoConferenceLoaded;
    s.packet.indexFiles = findIndexFiles(s.settings.workPath, s.packet.control);
    const auto& conferences = s.packet.control.Conferences;
    std::vector<std::string> lines;
    lines.reserve(s.packet.indexFiles.size());
    for (const IndexFileEntry& file : s.packet.indexFiles) {
        const int p = file.conferencePosition;
        const std::string name = p >= 0 && std::size_t(p) < conferences.size()
                                     ? conferences[std::size_t(p)].ConferenceName
                                     : std::string();
        lines.push_back(conferenceLine(conferenceNumberOf(file), file.messageCount, name));
    }
    return lines;
}

MessageListEntry makeListEntry(const MessageHeader& header, std::int32_t headerBlock,
                               const QDate& today) {
    MessageListEntry e;
    e.privateMark = header.isPrivate() ? 'P' : ' ';
    e.date = header.date;
    e.dateValue = headerDateValue(header.date, today);
    e.author = header.author;
    e.recipient = header.recipient;
    e.subject = header.subject;
    e.number = TrimRight(header.number);
    e.headerBlock = headerBlock;
    return e;
}

std::string messageLine(const MessageListEntry& e) {
    std::string line;
    line.reserve(88);
    line += e.privateMark;
    line += ' ';
    line += DateToDayFirst(e.date);
    line += ' ';
    line += padRight(e.author, 25);
    line += ' ';
    line += padRight(e.recipient, 25);
    line += ' ';
    line += padRight(e.subject, 25);
    std::replace(line.begin(), line.end(), '\0', ' ');
    return line;
}

std::vector<std::size_t> sortedPositions(const std::vector<MessageListEntry>& entries,
                                         int sortOrder) {
    switch (sortOrder) {
    case 2:
        return byKey(entries, &MessageListEntry::author);
    case 3:
        return byKey(entries, &MessageListEntry::recipient);
    case 4:
        return byKey(entries, &MessageListEntry::subject);
    default:
        return byNumber(entries);
    }
}

void loadConference(MailSession& s, UiServices& ui, int line) {
    BrowserState& b = s.browser;
    b.LoadedConference = kNoConferenceLoaded;
    b.ConferenceIndex.clear();
    b.MessageList.clear();
    const auto& files = s.packet.indexFiles;
    if (line < 0 || std::size_t(line) >= files.size())
        return;
    const auto path =
        findFileNoCase(s.settings.workPath, dosToUnicode(files[std::size_t(line)].fileName));
    if (!path)
        throw VelkError::fileNotFound();
    std::vector<std::int32_t> index = ReadIndexFile(*path);
    std::vector<MessageListEntry> entries;
    entries.reserve(index.size());
    if (!index.empty()) {
        BlockFile messages(messagesFilePath(s.settings.workPath));
        const QDate today = QDate::currentDate();
        for (std::int32_t block : index) {
            ReadMessageHeader(messages, block, s.store, ui);
            entries.push_back(makeListEntry(s.store.CurrentHeader, block, today));
        }
    }
    b.ConferenceIndex = std::move(index);
    b.MessageList = std::move(entries);
    b.LoadedConference = line;
}

std::vector<std::string> listConference(MailSession& s, UiServices& ui, int line) {
    BrowserState& b = s.browser;
    if (line != b.LoadedConference) {
        try {
            loadConference(s, ui, line);
        } catch (...) {
            b.ListOrder.clear();
            b.LastListIndex = -1;
            throw;
        }
    }
    const std::vector<std::size_t> order = sortedPositions(b.MessageList, b.SortOrder);
    std::vector<std::string> lines;
    lines.reserve(order.size());
    b.ListOrder.clear();
    b.ListOrder.reserve(order.size());
    for (std::size_t p : order) {
        b.ListOrder.push_back(b.MessageList[p].headerBlock);
        lines.push_back(messageLine(b.MessageList[p]));
    }
    b.LastListIndex = std::int32_t(b.ListOrder.size()) - 1;
    // A conference missing from the control file counts as the first one, as in the viewer.
    const auto& files = s.packet.indexFiles;
    const int position = line >= 0 && std::size_t(line) < files.size()
                             ? files[std::size_t(line)].conferencePosition
                             : 0;
    b.CurrentConference = std::max(position, 0);
    return lines;
}

bool readListedMessage(MailSession& s, UiServices& ui, int line) {
    BrowserState& b = s.browser;
    if (line < 0 || std::size_t(line) >= b.ListOrder.size())
        return false;
    b.CurrentListIndex = line;
    const std::int32_t block = b.ListOrder[std::size_t(line)];
    BlockFile messages(messagesFilePath(s.settings.workPath));
    ReadMessageHeader(messages, block, s.store, ui);
    ReadMessageText(messages, block + 1, s.store.CurrentHeader.blockCount, s.store);
    return true;
}

void loadPersonalList(MailSession& s) {
    BrowserState& b = s.browser;
    std::vector<std::int32_t> index = readPersonalIndex(s.settings.workPath);
    b.ListOrder = index;
    b.ConferenceIndex = std::move(index);
    b.LastListIndex = std::int32_t(b.ListOrder.size()) - 1;
    b.LoadedConference = kNoConferenceLoaded;
}
