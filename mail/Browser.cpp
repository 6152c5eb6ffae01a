// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/Browser.h"

#include "core/CharacterSet.h"
#include "core/Diagnostics.h"
#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "core/TwoDigitYear.h"
#include "core/VelkError.h"
#include "mail/MailSession.h"
#include "mail/Threads.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageHeader.h"
#include "packet/MessageStore.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>

namespace velk {

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

// The messages a pass may still reach, searched by rank and day: the first in file order
// whose rank and day are both within bounds. A Fenwick tree over the ranks; each of its
// nodes keeps its messages sorted by day, with a tree of the least file position over
// them. A search and a removal each cost log² n.
class ReachIndex {
public:
    static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

    ReachIndex(const std::vector<std::uint32_t>& rank, const std::vector<std::uint32_t>& day,
               std::uint32_t ranks)
        : rank_(rank), start_(std::size_t(ranks) + 2, 0) {
        const std::size_t n = rank.size();
        std::vector<std::uint32_t> byDay(n);
        std::iota(byDay.begin(), byDay.end(), std::uint32_t(0));
        std::stable_sort(byDay.begin(), byDay.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return day[a] < day[b]; });
        std::vector<std::uint32_t> pathStart(n + 1, 0);
        for (std::uint32_t p = 0; p < n; ++p) {
            std::uint32_t nodes = 0;
            for (std::size_t j = rank[p] + 1; j <= ranks; j += j & (~j + 1)) {
                ++start_[j + 1];
                ++nodes;
            }
            pathStart[p + 1] = pathStart[p] + nodes;
        }
        for (std::size_t j = 1; j < start_.size(); ++j)
            start_[j] += start_[j - 1];
        slotDay_.resize(start_.back());
        tree_.assign(2 * start_.back(), kNone);
        slotOnPath_.resize(pathStart.back());
        std::vector<std::size_t> filled(start_.begin(), start_.end() - 1);
        for (std::uint32_t p : byDay) {
            std::uint32_t k = pathStart[p];
            for (std::size_t j = rank[p] + 1; j <= ranks; j += j & (~j + 1)) {
                const std::size_t slot = filled[j]++;
                slotDay_[slot] = day[p];
                tree_[2 * start_[j] + size(j) + (slot - start_[j])] = p;
                slotOnPath_[k++] = std::uint32_t(slot - start_[j]);
            }
        }
        pathStart_ = std::move(pathStart);
        for (std::size_t j = 1; j <= ranks; ++j) {
            std::uint32_t* t = tree(j);
            for (std::size_t i = size(j); i-- > 1;)
                t[i] = std::min(t[2 * i], t[2 * i + 1]);
        }
    }

    // The least position whose rank is at most maxRank and day at most maxDay, or kNone.
    std::uint32_t first(std::uint32_t maxRank, std::uint32_t maxDay) const {
        std::uint32_t best = kNone;
        for (std::size_t j = std::size_t(maxRank) + 1; j > 0; j -= j & (~j + 1)) {
            const std::uint32_t* t = tree(j);
            const std::size_t m = size(j);
            if (m == 0 || t[1] >= best)
                continue; // nothing in the node comes before the best already found
            const std::uint32_t* days = slotDay_.data() + start_[j];
            if (days[0] > maxDay)
                continue;
            const std::size_t k = std::size_t(std::upper_bound(days, days + m, maxDay) - days);
            for (std::size_t l = m, r = m + k; l < r; l /= 2, r /= 2) {
                if (l & 1)
                    best = std::min(best, t[l++]);
                if (r & 1)
                    best = std::min(best, t[--r]);
            }
        }
        return best;
    }

    void remove(std::uint32_t p) {
        std::uint32_t k = pathStart_[p];
        for (std::size_t j = std::size_t(rank_[p]) + 1; j + 1 < start_.size(); j += j & (~j + 1)) {
            std::uint32_t* t = tree(j);
            std::size_t i = size(j) + slotOnPath_[k++];
            t[i] = kNone;
            for (i /= 2; i >= 1; i /= 2)
                t[i] = std::min(t[2 * i], t[2 * i + 1]);
        }
    }

private:
    std::size_t size(std::size_t j) const { return start_[j + 1] - start_[j]; }
    std::uint32_t* tree(std::size_t j) { return tree_.data() + 2 * start_[j]; }
    const std::uint32_t* tree(std::size_t j) const { return tree_.data() + 2 * start_[j]; }

    const std::vector<std::uint32_t>& rank_;
    std::vector<std::size_t> start_;       // node j's slots: [start_[j], start_[j + 1])
    std::vector<std::uint32_t> slotDay_;   // each slot's day, ascending within a node
    std::vector<std::uint32_t> tree_;      // per node, 2 x its slots: least positions
    std::vector<std::uint32_t> pathStart_; // a message's slots, node after node of its path
    std::vector<std::uint32_t> slotOnPath_;
};

// Ranks of `values`, 0 for the least, equal values sharing a rank; the count of ranks.
template <typename T, typename Less>
std::uint32_t ranksOf(std::size_t n, T value, Less less, std::vector<std::uint32_t>& rank) {
    std::vector<std::uint32_t> sorted(n);
    std::iota(sorted.begin(), sorted.end(), std::uint32_t(0));
    std::sort(sorted.begin(), sorted.end(),
              [&](std::uint32_t a, std::uint32_t b) { return less(value(a), value(b)); });
    rank.assign(n, 0);
    std::uint32_t r = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && less(value(sorted[i - 1]), value(sorted[i])))
            ++r;
        rank[sorted[i]] = r;
    }
    return n ? r + 1 : 0;
}

std::vector<std::uint32_t> byNumber(const std::vector<ListedMessage>& entries) {
    const std::size_t n = entries.size();
    std::vector<std::uint32_t> rank;
    const std::uint32_t ranks = ranksOf(
        n, [&](std::uint32_t i) { return entries[i].number(); }, std::less<>(), rank);
    // A date that is no day ranks below every day, so that it passes every date test.
    std::vector<std::uint32_t> day;
    ranksOf(
        n,
        [&](std::uint32_t i) {
            return entries[i].dateValue.value_or(std::numeric_limits<std::int32_t>::min());
        },
        std::less<>(), day);
    constexpr std::uint32_t anyDay = std::numeric_limits<std::uint32_t>::max();

    // A pass walks from the first message not yet listed to the next one, in file order, that
    // is within both minima, and so on; the last one reached is listed. The next pass walks
    // the same way up to the one before it, so the walk is kept from pass to pass: a stack of
    // the messages reached, each with the minima after it. A message reached leaves the
    // index; none left before the top of the stack is within its minima (it would have been
    // reached), so the next step is the first message in the index within them.
    ReachIndex index(rank, day, ranks);
    struct Step {
        std::uint32_t position;
        std::uint32_t maxRank;
        std::uint32_t maxDay;
    };
    std::vector<Step> walk;
    std::vector<bool> reached(n, false);
    std::vector<std::uint32_t> order;
    order.reserve(n);
    std::size_t first = 0;
    auto reach = [&](std::uint32_t p, std::uint32_t maxDay) {
        reached[p] = true;
        index.remove(p);
        walk.push_back({p, rank[p], entries[p].dateValue ? day[p] : maxDay});
    };
    while (order.size() < n) {
        if (walk.empty()) {
            while (reached[first])
                ++first;
            reach(std::uint32_t(first), anyDay);
        }
        const Step top = walk.back();
        const std::uint32_t next = index.first(top.maxRank, top.maxDay);
        if (next == ReachIndex::kNone) {
            order.push_back(top.position);
            walk.pop_back();
        } else {
            reach(next, top.maxDay);
        }
    }
    return order;
}

std::vector<std::uint32_t> byKey(const std::vector<ListedMessage>& entries,
                                 std::array<char, 25> ListedMessage::*field) {
    std::vector<std::uint32_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::uint32_t(0));
    // The field's first eight bytes as one number settle most comparisons without reaching
    // the entries.
    std::vector<std::uint64_t> prefix(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const unsigned char* f = reinterpret_cast<const unsigned char*>((entries[i].*field).data());
        std::uint64_t v = 0;
        for (int k = 0; k < 8; ++k)
            v = (v << 8) | f[k];
        prefix[i] = v;
    }
    // The key is the field, padding included, then the number text, byte by byte. Each pass
    // of the list takes the last of the smallest keys: equal keys list backwards.
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (prefix[a] != prefix[b])
            return prefix[a] < prefix[b];
        const ListedMessage& x = entries[a];
        const ListedMessage& y = entries[b];
        int c = std::memcmp((x.*field).data() + 8, (y.*field).data() + 8, 17);
        if (c == 0)
            c = x.number().compare(y.number());
        return c < 0 || (c == 0 && a > b);
    });
    return order;
}

template <std::size_t N> void copyPadded(std::array<char, N>& to, std::string_view from) {
    to.fill(' ');
    std::copy_n(from.data(), std::min(from.size(), N), to.data());
}

} // namespace

std::uint64_t messageIdKey(std::string_view id) {
    if (id.empty())
        return 0;
    // FNV-1a: threads only ask whether two identifiers are the same.
    std::uint64_t h = 14695981039346656037ULL;
    for (unsigned char c : id)
        h = (h ^ c) * 1099511628211ULL;
    return h == 0 ? 1 : h;
}

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
    s.browser.LoadedConference.reset();
    s.packet.indexFiles = findIndexFiles(s.settings.workPath, s.packet);
    const auto& conferences = s.packet.control.Conferences;
    std::vector<std::string> lines;
    lines.reserve(s.packet.indexFiles.size());
    for (const IndexFileEntry& file : s.packet.indexFiles) {
        const int p = file.conferencePosition;
        const std::string name = p >= 0 && std::size_t(p) < conferences.size()
                                     ? conferences[std::size_t(p)].ConferenceName
                                     : std::string();
        lines.push_back(conferenceLine(file.conferenceNumber, file.messageCount, name));
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
    e.conference = header.conference;
    e.time = header.time;
    e.reference = messageNumberValue(header.reference);
    e.headerBlock = headerBlock;
    return e;
}

ListedMessage listedMessage(const MessageListEntry& e) {
    ListedMessage m;
    copyPadded(m.author, e.author);
    copyPadded(m.recipient, e.recipient);
    copyPadded(m.subject, e.subject);
    copyPadded(m.date, e.date);
    m.numberLength = std::uint8_t(std::min(e.number.size(), m.numberBytes.size()));
    std::copy_n(e.number.data(), m.numberLength, m.numberBytes.data());
    m.privateMark = e.privateMark;
    m.conference = e.conference;
    m.headerBlock = e.headerBlock;
    copyPadded(m.time, e.time);
    m.reference = std::uint32_t(std::min<std::uint64_t>(e.reference, UINT32_MAX));
    m.messageId = messageIdKey(e.messageId);
    m.inReplyTo = messageIdKey(e.inReplyTo);
    if (e.dateValue)
        m.dateValue = std::int32_t(*e.dateValue);
    return m;
}

MessageListEntry listEntry(const ListedMessage& m) {
    MessageListEntry e;
    e.privateMark = m.privateMark;
    e.date.assign(m.date.data(), m.date.size());
    e.dateValue = m.dateValue;
    e.author.assign(m.author.data(), m.author.size());
    e.recipient.assign(m.recipient.data(), m.recipient.size());
    e.subject.assign(m.subject.data(), m.subject.size());
    e.number = m.number();
    e.conference = m.conference;
    e.time.assign(m.time.data(), m.time.size());
    e.reference = m.reference;
    e.headerBlock = m.headerBlock;
    return e;
}

std::vector<MessageListEntry> listEntries(const std::vector<ListedMessage>& messages) {
    std::vector<MessageListEntry> entries;
    entries.reserve(messages.size());
    for (const ListedMessage& m : messages)
        entries.push_back(listEntry(m));
    return entries;
}

ListedMessage listedMessageOf(const Block& block, std::int32_t headerBlock, Diagnostics& said,
                              const QDate& today) {
    using namespace HeaderField;
    ListedMessage m;
    const char* b = block.data();
    const bool anomaly = b[AuthorOffset] == '\0';
    // The checks of ReadMessageHeader, on the fields a list shows.
    auto field = [&](auto& to, std::size_t at) {
        std::copy_n(b + at, to.size(), to.data());
        if (!anomaly)
            std::replace(to.begin(), to.end(), '\0', ' ');
    };
    char status = b[0];
    if (!anomaly && status == '\0')
        status = ' ';
    std::array<char, Number> number;
    field(number, Status);
    field(m.date, Status + Number);
    std::replace(m.date.begin(), m.date.end(), '\xC4', '-');
    if (anomaly) {
        copyPadded(m.date, "01/01/99");
        m.author.fill('-');
        m.recipient.fill('-');
        copyPadded(m.subject, "Anomalie pointeur/index ");
    } else {
        field(m.recipient, Status + Number + Date + Time);
        field(m.author, AuthorOffset);
        field(m.subject, AuthorOffset + Author);
    }
    std::string_view date(m.date.data(), m.date.size());
    if (!isAcceptableDate(std::string(date))) {
        said.add(QString::fromUtf8(kBadDateMessage));
        std::copy_n("01", 2, m.date.data());
        std::copy_n("01", 2, m.date.data() + 3);
        std::copy_n("99", 2, m.date.data() + 6);
    }
    std::size_t length = number.size();
    while (length > 0 && number[length - 1] == ' ')
        --length;
    std::copy_n(number.data(), length, m.numberBytes.data());
    m.numberLength = std::uint8_t(length);
    m.privateMark = status == '*' || status == '+' ? 'P' : ' ';
    const auto* u = reinterpret_cast<const unsigned char*>(b);
    m.conference = std::uint16_t(u[123] | (u[124] << 8));
    m.headerBlock = headerBlock;
    std::copy_n(b + Status + Number + Date, Time, m.time.data());
    const std::uint64_t reference = messageNumberValue(
        {b + Status + Number + Date + Time + Recipient + Author + Subject + Password, Reference});
    m.reference = std::uint32_t(std::min<std::uint64_t>(reference, UINT32_MAX));
    if (const auto day = headerDateValue(date, today))
        m.dateValue = std::int32_t(*day);
    return m;
}

std::vector<ListedMessage> readListedMessages(BlockFile& messages,
                                              const std::vector<std::int32_t>& blocks,
                                              Diagnostics& said) {
    std::vector<ListedMessage> listed(blocks.size());
    const QDate today = QDate::currentDate();
    messages.readEach(blocks, [&](std::size_t i, const Block& block) {
        listed[i] = listedMessageOf(block, blocks[i], said, today);
    });
    return listed;
}

std::string messageLine(const ListedMessage& e) {
    // Built in place: the list makes a line for each row it draws.
    std::string line(88, ' ');
    auto put = [&](std::size_t at, std::string_view text) { line.replace(at, text.size(), text); };
    line[0] = e.privateMark;
    const std::string_view date(e.date.data(), e.date.size());
    put(2, date.substr(3, 2));
    line[4] = '/';
    put(5, date.substr(0, 2));
    line[7] = '/';
    put(8, date.substr(6, 2));
    put(11, {e.author.data(), e.author.size()});
    put(37, {e.recipient.data(), e.recipient.size()});
    put(63, {e.subject.data(), e.subject.size()});
    std::replace(line.begin(), line.end(), '\0', ' ');
    return line;
}

std::string messageLine(const MessageListEntry& e) {
    return messageLine(listedMessage(e));
}

std::vector<std::uint32_t> sortedPositions(const std::vector<ListedMessage>& entries,
                                           MessageOrder sortOrder) {
    switch (sortOrder) {
    case MessageOrder::Author:
        return byKey(entries, &ListedMessage::author);
    case MessageOrder::Recipient:
        return byKey(entries, &ListedMessage::recipient);
    case MessageOrder::Subject:
        return byKey(entries, &ListedMessage::subject);
    case MessageOrder::Thread:
        return threadOrder(entries).positions;
    case MessageOrder::Number:
        break;
    }
    return byNumber(entries);
}

std::vector<std::size_t> sortedPositions(const std::vector<MessageListEntry>& entries,
                                         MessageOrder sortOrder) {
    std::vector<ListedMessage> listed;
    listed.reserve(entries.size());
    for (const MessageListEntry& e : entries)
        listed.push_back(listedMessage(e));
    const std::vector<std::uint32_t> order = sortedPositions(listed, sortOrder);
    return std::vector<std::size_t>(order.begin(), order.end());
}

std::vector<ListedMessage> readConferenceMessages(MailSession& s, Diagnostics& said,
                                                  const IndexFileEntry& file) {
    const std::vector<std::int32_t> index = readConferenceIndex(s.settings.workPath, file);
    if (index.empty())
        return {};
    BlockFile messages(messagesFilePath(s.settings.workPath));
    std::vector<ListedMessage> entries = readListedMessages(messages, index, said);
    const HeadersFile& headers = packetHeadersFile(s);
    if (headers.sections.empty())
        return entries;
    for (ListedMessage& m : entries) {
        const auto section =
            headers.sections.find(std::int64_t(m.headerBlock) * std::int64_t(kBlockSize));
        if (section != headers.sections.end()) {
            m.messageId = messageIdKey(section->second.messageId);
            m.inReplyTo = messageIdKey(section->second.inReplyTo);
        }
    }
    return entries;
}

void loadConference(MailSession& s, Diagnostics& said, int line) {
    BrowserState& b = s.browser;
    b.LoadedConference.reset();
    b.ConferenceIndex.clear();
    b.MessageList.clear();
    b.ListedPositions.clear();
    const auto& files = s.packet.indexFiles;
    if (line < 0 || std::size_t(line) >= files.size())
        return;
    std::vector<ListedMessage> entries = readConferenceMessages(s, said, files[std::size_t(line)]);
    std::vector<std::int32_t> index;
    index.reserve(entries.size());
    for (const ListedMessage& e : entries)
        index.push_back(e.headerBlock);
    b.ConferenceIndex = std::move(index);
    b.MessageList = std::move(entries);
    b.LoadedConference = line;
}

void orderConference(MailSession& s, Diagnostics& said, int line) {
    BrowserState& b = s.browser;
    if (line != b.LoadedConference) {
        try {
            loadConference(s, said, line);
        } catch (...) {
            b.ListOrder.clear();
            b.LastListIndex = -1;
            b.ListedConference.reset();
            throw;
        }
    }
    b.ListDepth.clear();
    if (b.SortOrder == MessageOrder::Thread) {
        ThreadOrder thread = threadOrder(b.MessageList);
        b.ListedPositions = std::move(thread.positions);
        b.ListDepth = std::move(thread.depth);
    } else {
        b.ListedPositions = sortedPositions(b.MessageList, b.SortOrder);
    }
    b.ListOrder.resize(b.ListedPositions.size());
    for (std::size_t i = 0; i < b.ListedPositions.size(); ++i)
        b.ListOrder[i] = b.MessageList[b.ListedPositions[i]].headerBlock;
    b.LastListIndex = std::int32_t(b.ListOrder.size()) - 1;
    b.ListedConference = line;
    // A conference missing from the control file counts as the first one, as in the viewer.
    const auto& files = s.packet.indexFiles;
    const int position = line >= 0 && std::size_t(line) < files.size()
                             ? files[std::size_t(line)].conferencePosition
                             : 0;
    b.CurrentConference = std::max(position, 0);
}

std::string browserLine(const BrowserState& b, std::size_t row) {
    const ListedMessage& m = b.MessageList[b.ListedPositions[row]];
    return row < b.ListDepth.size() ? threadLine(m, b.ListDepth[row]) : messageLine(m);
}

std::vector<std::string> listConference(MailSession& s, Diagnostics& said, int line) {
    orderConference(s, said, line);
    std::vector<std::string> lines;
    lines.reserve(s.browser.ListedPositions.size());
    for (std::size_t row = 0; row < s.browser.ListedPositions.size(); ++row)
        lines.push_back(browserLine(s.browser, row));
    return lines;
}

bool readListedMessage(MailSession& s, Diagnostics& said, int line) {
    BrowserState& b = s.browser;
    if (line < 0 || std::size_t(line) >= b.ListOrder.size())
        return false;
    b.CurrentListIndex = line;
    const std::int32_t block = b.ListOrder[std::size_t(line)];
    BlockFile messages(messagesFilePath(s.settings.workPath));
    ReadPacketMessage(s, messages, block, said);
    return true;
}

void loadPersonalList(MailSession& s) {
    BrowserState& b = s.browser;
    std::vector<std::int32_t> index = readPersonalList(s.settings.workPath, s.packet);
    b.ListOrder = index;
    b.ListDepth.clear();
    b.ConferenceIndex = std::move(index);
    b.LastListIndex = std::int32_t(b.ListOrder.size()) - 1;
    b.LoadedConference.reset();
    b.ListedConference.reset();
}

} // namespace velk
