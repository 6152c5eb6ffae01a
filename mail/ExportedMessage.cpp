// SPDX-License-Identifier: GPL-2.0-or-later
// A packet's message in Unicode: its header's fields and its text in UTF-8, its date.
#include "mail/ExportedMessage.h"

#include "core/CharacterSet.h"
#include "core/PacketDate.h"
#include "core/TextHelpers.h"
#include "packet/HeaderExtensions.h"
#include "packet/MessageHeader.h"

#include <array>
#include <cstring>

namespace velk {

namespace {

// "WhenWritten": "yyyymmddhhmmss" and the zone "+hhmm" or "-hhmm" (a code may follow).
struct Written {
    QDate date;
    QTime time;
    int utcOffset = 0;
};

std::optional<Written> writtenAt(std::string_view value) {
    constexpr std::size_t kDigits = 14;
    if (value.size() < kDigits + 5)
        return std::nullopt;
    int n[7] = {};
    const int widths[7] = {4, 2, 2, 2, 2, 2, 4};
    std::size_t at = 0;
    for (int i = 0; i < 7; ++i) {
        if (i == 6) {
            if (value[at] != '+' && value[at] != '-')
                return std::nullopt;
            ++at;
        }
        for (int k = 0; k < widths[i]; ++k, ++at) {
            if (value[at] < '0' || value[at] > '9')
                return std::nullopt;
            n[i] = n[i] * 10 + (value[at] - '0');
        }
    }
    if (at < value.size() && value[at] != ' ' && value[at] != '\t')
        return std::nullopt;
    const int zoneMinutes = n[6] / 100 * 60 + n[6] % 100;
    Written w{QDate(n[0], n[1], n[2]), QTime(n[3], n[4], n[5]),
              (value[kDigits] == '-' ? -60 : 60) * zoneMinutes};
    // The zones of the earth lie within fourteen hours of UTC.
    if (!w.date.isValid() || !w.time.isValid() || n[6] % 100 >= 60 || zoneMinutes > 14 * 60)
        return std::nullopt;
    return w;
}

// A header's number field as a number, when it is one and not negative.
std::optional<qint64> numberOf(const std::string& field) {
    bool ok = false;
    const qint64 n = dosTextToUnicode(unpadded(field)).trimmed().toLongLong(&ok);
    return ok && n >= 0 ? std::optional<qint64>(n) : std::nullopt;
}

// The UTF-8 of each byte of a message text: its code page 437 glyph, except the tab and
// the line end, which stay controls, and NUL, a blank.
struct TextGlyphs {
    std::array<std::array<char, 4>, 256> bytes{};
    std::array<std::uint8_t, 256> size{};
};

const TextGlyphs& textGlyphs() {
    static const TextGlyphs table = [] {
        TextGlyphs t;
        for (int b = 0; b < 256; ++b) {
            const char32_t u = b == '\n' || b == '\t' ? char32_t(b)
                               : b == 0               ? U' '
                                                      : cp437ToUnicode(static_cast<uchar>(b));
            const QByteArray utf8 = QString::fromUcs4(&u, 1).toUtf8();
            std::copy(utf8.begin(), utf8.end(), t.bytes[std::size_t(b)].begin());
            t.size[std::size_t(b)] = std::uint8_t(utf8.size());
        }
        return t;
    }();
    return table;
}

// The length of the valid UTF-8 sequence at `p`, or 0 when none starts there.
int utf8Sequence(const uchar* p, const uchar* end) {
    return int(utf8SequenceLength(
        std::string_view(reinterpret_cast<const char*>(p), std::size_t(end - p)), 0));
}

// Whether eight bytes are all printable ASCII, which UTF-8 takes as they are.
bool allPrintable(const uchar* p) {
    std::uint64_t x = 0;
    std::memcpy(&x, p, sizeof x);
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t high = ones * 0x80;
    const std::uint64_t control = (x - ones * 0x20) & ~x & high;
    const std::uint64_t del = ((x ^ (ones * 0x7F)) - ones) & ~(x ^ (ones * 0x7F)) & high;
    return ((x & high) | control | del) == 0;
}

// A message text as UTF-8 with LF line ends, ended by one: straight from its bytes, for a
// conversion through UTF-16 would double the time of a large export.
QByteArray textInUtf8(std::string_view text, bool utf8) {
    const TextGlyphs& glyphs = textGlyphs();
    QByteArray out;
    // Three bytes a glyph at most, and a whole table entry copied at the last one.
    out.resize(qsizetype(text.size()) * 3 + 4);
    char* o = out.data();
    const auto* p = reinterpret_cast<const uchar*>(text.data());
    const uchar* const end = p + text.size();
    const uchar* oneByOne = p; // until there, one byte at a time: a control is near
    while (p < end) {
        if (p >= oneByOne) {
            if (end - p >= 8 && allPrintable(p)) {
                std::memcpy(o, p, 8);
                o += 8;
                p += 8;
                continue;
            }
            oneByOne = p + 8;
        }
        const uchar b = *p;
        if (b >= 0x20 && b < 0x7F) {
            *o++ = char(b);
            ++p;
        } else if (b == '\r') {
            ++p;
            if (p == end || *p != '\n')
                *o++ = '\n';
        } else if (const int n = utf8 && b >= 0x80 ? utf8Sequence(p, end) : 0) {
            std::memcpy(o, p, std::size_t(n));
            o += n;
            p += n;
        } else {
            std::memcpy(o, glyphs.bytes[b].data(), 4);
            o += glyphs.size[b];
            ++p;
        }
    }
    if (o != out.data() && o[-1] != '\n')
        *o++ = '\n';
    out.resize(o - out.data());
    return out;
}

// A header field as characters: printable ASCII and valid UTF-8 the fast way, any other
// byte as the packet's reader shows it.
QString fieldCharacters(const MessageHeader& h, const std::string& bytes) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* const end = p + bytes.size();
    while (p < end) {
        if (*p >= 0x20 && *p < 0x7F)
            ++p;
        else if (const int n = h.longFields.utf8 && *p >= 0x80 ? utf8Sequence(p, end) : 0)
            p += n;
        else
            return messageCharacters(h, bytes);
    }
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

} // namespace

// Read directly: a format parser per message would weigh on a large export.
QTime clockOf(const std::string& field) {
    const auto digit = [&](std::size_t i) {
        return i < field.size() && field[i] >= '0' && field[i] <= '9' ? field[i] - '0' : -100;
    };
    const QTime time(digit(0) * 10 + digit(1), digit(3) * 10 + digit(4));
    return field.size() >= 5 && field[2] == ':' && time.isValid() ? time : QTime(0, 0);
}

ExportedMessage exportedMessage(const MessageHeader& h, const std::string& text, int conference,
                                const QString& conferenceName, std::int32_t headerBlock,
                                const QDate& today, const QDateTime& packetDate) {
    ExportedMessage m;
    m.conference = conference;
    m.conferenceName = conferenceName;
    m.number = numberOf(h.number);
    m.reference = numberOf(h.reference).value_or(0);
    m.status = h.status.empty() || h.status[0] == '\0' ? QStringLiteral(" ")
                                                       : dosTextToUnicode(h.status.substr(0, 1));
    m.isPrivate = h.isPrivate();
    // Plain date and time: a local date-time would ask the system's time zone each time.
    if (const auto written = writtenAt(h.longFields.whenWritten)) {
        m.date = written->date;
        m.time = written->time;
        m.utcOffset = written->utcOffset;
    } else {
        m.date = packetDateValue(h.date, today);
        m.time = clockOf(h.time);
    }
    if (!m.date.isValid()) {
        m.headerDate = fieldCharacters(h, unpadded(h.date) + ' ' + unpadded(h.time)).trimmed();
        m.date = packetDate.isValid() ? packetDate.date() : QDate(1970, 1, 1);
        m.time = packetDate.isValid() ? packetDate.time() : QTime(0, 0);
    }
    m.from = fieldCharacters(h, fullAuthor(h));
    m.to = fieldCharacters(h, fullRecipient(h));
    m.subject = fieldCharacters(h, fullSubject(h));
    m.text = textInUtf8(text, h.longFields.utf8);
    m.headerBlock = headerBlock;
    return m;
}

} // namespace velk
