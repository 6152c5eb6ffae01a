// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/Browser.h"

#include "core/CharacterSet.h"
#include "core/Diagnostics.h"
#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "core/TwoDigitYear.h"
#include "core/VelkError.h"
#include "mail/MailSession.h"
#include "mail/NumberOrder.h"
#include "mail/Threads.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageHeader.h"
#include "packet/MessageStore.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

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

// A message's place in a field order as five big-endian words compared in turn: the field's
// 25 bytes, padding included, then the number text padded with zero bytes, its length (a
// shorter text that is the start of a longer one comes first, zero bytes included), and the
// position backwards, since equal keys list the last in file order first. Made once per
// message, so that the sort compares words of one array instead of reaching the entries.
struct FieldKey {
    std::array<std::uint64_t, 5> word;

    bool operator<(const FieldKey& other) const {
        for (std::size_t w = 0; w < 4; ++w)
            if (word[w] != other.word[w])
                return word[w] < other.word[w];
        return word[4] < other.word[4];
    }
    std::uint32_t position() const { return UINT32_MAX - std::uint32_t(word[4]); }
};

FieldKey fieldKey(const ListedMessage& m, const std::array<char, 25>& field,
                  std::uint32_t position) {
    std::array<unsigned char, 32> bytes{};
    std::memcpy(bytes.data(), field.data(), field.size());
    std::memcpy(bytes.data() + field.size(), m.numberBytes.data(), m.numberLength);
    FieldKey key;
    for (std::size_t w = 0; w < 4; ++w)
        key.word[w] = qFromBigEndian<quint64>(bytes.data() + w * 8);
    key.word[4] = (std::uint64_t(m.numberLength) << 32) | (UINT32_MAX - position);
    return key;
}

std::vector<std::uint32_t> byKey(const std::vector<ListedMessage>& entries,
                                 std::array<char, 25> ListedMessage::*field) {
    std::vector<FieldKey> keys(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        keys[i] = fieldKey(entries[i], entries[i].*field, std::uint32_t(i));
    std::sort(keys.begin(), keys.end());
    std::vector<std::uint32_t> order(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        order[i] = keys[i].position();
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

namespace {

// The days of the dates of a conference's headers, each worked out once: its messages share
// few dates, and the calendar was most of the reading of a header.
class HeaderDays {
public:
    explicit HeaderDays(const QDate& today) : today_(today), slots_(std::size_t(1) << kBits) {}

    std::optional<std::int32_t> of(const std::array<char, 8>& date) {
        std::uint64_t key = 0;
        std::memcpy(&key, date.data(), date.size());
        Slot& slot = slots_[std::size_t((key * 0x9E3779B97F4A7C15ull) >> (64 - kBits))];
        if (!slot.known || slot.key != key) {
            slot.key = key;
            slot.known = true;
            slot.day.reset();
            if (const auto day = headerDateValue({date.data(), date.size()}, today_))
                slot.day = std::int32_t(*day);
        }
        return slot.day;
    }

private:
    static constexpr int kBits = 12;
    struct Slot {
        std::uint64_t key = 0;
        std::optional<std::int32_t> day;
        bool known = false;
    };
    QDate today_;
    std::vector<Slot> slots_;
};

// listedMessageOf but the date's day.
ListedMessage listedFields(const Block& block, std::int32_t headerBlock, Diagnostics& said) {
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
    return m;
}

} // namespace

ListedMessage listedMessageOf(const Block& block, std::int32_t headerBlock, Diagnostics& said,
                              const QDate& today) {
    ListedMessage m = listedFields(block, headerBlock, said);
    if (const auto day = headerDateValue({m.date.data(), m.date.size()}, today))
        m.dateValue = std::int32_t(*day);
    return m;
}

std::vector<ListedMessage> readListedMessages(BlockFile& messages,
                                              const std::vector<std::int32_t>& blocks,
                                              Diagnostics& said) {
    std::vector<ListedMessage> listed(blocks.size());
    HeaderDays days(QDate::currentDate());
    messages.readEach(blocks, [&](std::size_t i, const Block& block) {
        listed[i] = listedFields(block, blocks[i], said);
        listed[i].dateValue = days.of(listed[i].date);
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
    return numberOrder(entries);
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
