// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/PacketExport.h"

#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "core/PacketDate.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageHeader.h"
#include "packet/MessageStore.h"
#include "packet/PacketControl.h"
#include "packet/PacketSession.h"

#include <QTime>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <unordered_map>

namespace velk {

namespace {

// Day and month names of mail dates, which are English whatever the locale.
constexpr std::array<const char*, 7> kDays{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
// The longest line of a header holding encoded words.
constexpr qsizetype kLineWidth = 76;
// The longest line mail carries as it is, line end aside.
constexpr qsizetype kLongestLine = 998;
// What a target gathers before it writes.
constexpr qsizetype kFlushBytes = 1 << 20;

// A header's number field as a number, when it is one and not negative.
// "hh:mm" as a time; midnight when it is none. Read directly: a format parser per message
// would weigh on a large export.
QTime clockOf(const std::string& field) {
    const auto digit = [&](std::size_t i) {
        return i < field.size() && field[i] >= '0' && field[i] <= '9' ? field[i] - '0' : -100;
    };
    const QTime time(digit(0) * 10 + digit(1), digit(3) * 10 + digit(4));
    return field.size() >= 5 && field[2] == ':' && time.isValid() ? time : QTime(0, 0);
}

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

std::optional<qint64> numberOf(const std::string& field) {
    bool ok = false;
    const qint64 n = dosTextToUnicode(unpadded(field)).trimmed().toLongLong(&ok);
    return ok && n >= 0 ? std::optional<qint64>(n) : std::nullopt;
}

void appendNumber(QByteArray& out, qint64 n) {
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), n).ptr;
    out.append(digits, end - digits);
}

void appendTwoDigits(QByteArray& out, int n) {
    out += char('0' + n / 10 % 10);
    out += char('0' + n % 10);
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

// A name or subject on one header line: control characters become blanks.
QString oneLine(QString value) {
    for (QChar& c : value) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    }
    return value;
}

bool isPlainAscii(const QString& value) {
    for (QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return !value.contains(QLatin1String("=?"));
}

// `used`: the characters before the value on its first line.
void appendEncodedWords(QByteArray& out, const QString& value, qsizetype used) {
    const QByteArray utf8 = value.toUtf8();
    for (qsizetype at = 0; at < utf8.size();) {
        if (at > 0) {
            out += "\n ";
            used = 1;
        }
        // Base64 gives 4 characters for 3 bytes; the markers take 12.
        const qsizetype room = std::max<qsizetype>(3, (kLineWidth - used - 12) / 4 * 3);
        qsizetype end = std::min(at + room, utf8.size());
        // A word holds whole characters: it never ends before a continuation byte.
        while (end < utf8.size() && end > at + 1 && (uchar(utf8[end]) & 0xC0) == 0x80)
            --end;
        out += "=?UTF-8?B?";
        out += QByteArray::fromRawData(utf8.constData() + at, end - at).toBase64();
        out += "?=";
        at = end;
    }
}

// The name in an address header, a quoted string or encoded words, after `used`
// characters; returns whether it holds encoded words.
bool appendDisplayName(QByteArray& out, const QString& name, qsizetype used) {
    const QString value = oneLine(name).trimmed();
    if (!isPlainAscii(value)) {
        appendEncodedWords(out, value, used);
        return true;
    }
    out += '"';
    for (QChar c : value) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += '\\';
        out += char(c.unicode());
    }
    out += '"';
    return false;
}

// A mail address for a board name: its letters and digits, accents dropped, in lower case,
// with dots between the words.
QByteArray localPart(const QString& name) {
    QByteArray out;
    bool gap = false;
    const bool ascii =
        std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
    for (QChar c : ascii ? name : name.normalized(QString::NormalizationForm_KD)) {
        const char16_t u = c.unicode();
        if (!ascii && c.category() == QChar::Mark_NonSpacing)
            continue;
        if ((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z')) {
            if (gap && !out.isEmpty())
                out += '.';
            out += char(u >= 'A' && u <= 'Z' ? u - 'A' + 'a' : u);
            gap = false;
        } else {
            gap = true;
        }
    }
    return out.isEmpty() ? QByteArray("inconnu") : out;
}

void appendAddressHeader(QByteArray& out, const char* field, const QString& name,
                         const QByteArray& local, const QByteArray& domain) {
    const qsizetype start = out.size();
    out += field;
    out += ": ";
    const qsizetype addressSize = local.size() + domain.size() + 3;
    if (!name.trimmed().isEmpty()) {
        const qsizetype nameStart = out.size();
        const bool encoded = appendDisplayName(out, name, nameStart - start);
        const qsizetype newline = out.lastIndexOf('\n');
        const qsizetype lastLine =
            newline < nameStart ? out.size() - start : out.size() - newline - 1;
        out += !encoded || lastLine + 1 + addressSize <= kLineWidth ? " " : "\n ";
    }
    out += '<';
    out += local;
    out += '@';
    out += domain;
    out += ">\n";
}

void appendMessageId(QByteArray& out, const char* prefix, qint64 number, int conference,
                     const QByteArray& domain) {
    out += '<';
    out += prefix;
    appendNumber(out, number);
    out += '.';
    appendNumber(out, conference);
    out += '@';
    out += domain;
    out += '>';
}

void appendClock(QByteArray& out, const QTime& t) {
    appendTwoDigits(out, t.hour());
    out += ':';
    appendTwoDigits(out, t.minute());
    out += ':';
    appendTwoDigits(out, t.second());
}

struct YearMonthDay {
    int year = 0, month = 0, day = 0;
    explicit YearMonthDay(const QDate& date) { date.getDate(&year, &month, &day); }
};

// "+0100", "-0930"; "-0000" for a zone unknown.
void appendZone(QByteArray& out, const std::optional<int>& utcOffset, bool colon) {
    const int minutes = utcOffset.value_or(0) / 60;
    out += minutes > 0 || (minutes == 0 && utcOffset) ? '+' : '-';
    appendTwoDigits(out, std::abs(minutes) / 60);
    if (colon)
        out += ':';
    appendTwoDigits(out, std::abs(minutes) % 60);
}

// "Wed, 25 Dec 1996 10:30:00 -0800", or "-0000" where the zone is unknown.
void appendMailDate(QByteArray& out, const QDate& day, const QTime& time,
                    const std::optional<int>& utcOffset) {
    YearMonthDay ymd(day); // one calendar conversion, not three
    out += kDays[std::size_t(day.dayOfWeek() - 1)];
    out += ", ";
    appendNumber(out, ymd.day);
    out += ' ';
    out += kMonths[std::size_t(ymd.month - 1)];
    out += ' ';
    appendNumber(out, ymd.year);
    out += ' ';
    appendClock(out, time);
    out += ' ';
    appendZone(out, utcOffset, false);
}

// "Wed Dec 25 10:30:00 1996", the date of the "From " line.
void appendSeparatorDate(QByteArray& out, const QDate& day, const QTime& time) {
    YearMonthDay ymd(day);
    out += kDays[std::size_t(day.dayOfWeek() - 1)];
    out += ' ';
    out += kMonths[std::size_t(ymd.month - 1)];
    out += ' ';
    if (ymd.day < 10)
        out += ' ';
    appendNumber(out, ymd.day);
    out += ' ';
    appendClock(out, time);
    out += ' ';
    appendNumber(out, ymd.year);
}

bool isFromLine(const char* line, const char* end) {
    while (line < end && *line == '>')
        ++line;
    return end - line >= 5 && std::equal(line, line + 5, "From ");
}

// The body as it is, with ">" before each line that reads ">*From "; false, and nothing
// written, when a line would be longer than mail carries.
bool appendQuotedBody(QByteArray& out, const QByteArray& body) {
    const char* p = body.constData();
    const char* const end = p + body.size();
    const char* written = p;
    const qsizetype before = out.size();
    while (p < end) {
        const auto* newline = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
        const char* eol = newline ? newline : end;
        const bool quoted = (*p == '>' || *p == 'F') && isFromLine(p, eol);
        if (eol - p + (quoted ? 1 : 0) > kLongestLine) {
            out.truncate(before);
            return false;
        }
        if (quoted) {
            out.append(written, p - written);
            out += '>';
            written = p;
        }
        p = eol + 1;
    }
    out.append(written, end - written);
    return true;
}

// The body quoted-printable: lines of at most 76 characters with their soft breaks, and
// none that reads ">*From ", whose first character goes encoded.
void appendQuotedPrintable(QByteArray& out, const QByteArray& body) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const char* p = body.constData();
    const char* const end = p + body.size();
    while (p < end) {
        const auto* newline = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
        const char* eol = newline ? newline : end;
        qsizetype column = 0;
        for (const char* c = p; c < eol; ++c) {
            const auto b = uchar(*c);
            bool literal =
                (b > 0x20 && b < 0x7F && b != '=') || ((b == ' ' || b == '\t') && c + 1 < eol);
            if (column + (literal ? 1 : 3) > kLineWidth - 1) {
                out += "=\n";
                column = 0;
            }
            if (literal && column == 0 && (b == '>' || b == 'F') && isFromLine(c, eol))
                literal = false;
            if (literal) {
                out += char(b);
                column += 1;
            } else {
                out += '=';
                out += kHex[b >> 4];
                out += kHex[b & 0xF];
                column += 3;
            }
        }
        out += '\n';
        p = eol + 1;
    }
}

// "X-QWK-Conference: 5 Technique", the same for every message of a conference.
QByteArray conferenceHeader(int conference, const QString& name) {
    QByteArray out = "X-QWK-Conference: ";
    out += encodedHeaderText(
        QString(QString::number(conference) + QLatin1Char(' ') + name).trimmed(), 18);
    out += '\n';
    return out;
}

// The addresses made for the names met so far: a packet holds few names, many times over.
class LocalParts {
public:
    QByteArray of(const QString& name) {
        if (const auto found = known_.find(name); found != known_.end())
            return found->second;
        if (known_.size() >= kMostNames)
            known_.clear();
        return known_.emplace(name, localPart(name)).first->second;
    }

private:
    static constexpr std::size_t kMostNames = 10000;
    std::unordered_map<QString, QByteArray> known_;
};

void appendMbox(QByteArray& out, const ExportedMessage& m, const QByteArray& domain,
                const QByteArray& conferenceLine, LocalParts& locals) {
    const QByteArray fromLocal = locals.of(m.from);
    out += "From ";
    out += fromLocal;
    out += '@';
    out += domain;
    out += ' ';
    appendSeparatorDate(out, m.date, m.time);
    out += "\nMessage-ID: ";
    if (m.number)
        appendMessageId(out, "", *m.number, m.conference, domain);
    else
        appendMessageId(out, "b", m.headerBlock, m.conference, domain);
    out += '\n';
    out += "Date: ";
    appendMailDate(out, m.date, m.time, m.utcOffset);
    out += '\n';
    if (!m.headerDate.isEmpty()) {
        out += "X-QWK-Date: ";
        out += encodedHeaderText(m.headerDate, 12);
        out += '\n';
    }
    appendAddressHeader(out, "From", m.from, fromLocal, domain);
    appendAddressHeader(out, "To", m.to, locals.of(m.to), domain);
    out += "Subject: ";
    out += encodedHeaderText(m.subject, 9);
    out += '\n';
    if (m.reference != 0) {
        out += "In-Reply-To: ";
        appendMessageId(out, "", m.reference, m.conference, domain);
        out += "\nReferences: ";
        appendMessageId(out, "", m.reference, m.conference, domain);
        out += '\n';
    }
    out += conferenceLine;
    if (m.isPrivate)
        out += "Sensitivity: Private\n";
    out += "MIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n"
           "Content-Transfer-Encoding: ";
    const qsizetype encoding = out.size();
    out += "8bit\n\n";
    if (!appendQuotedBody(out, m.text)) {
        out.truncate(encoding);
        out += "quoted-printable\n\n";
        appendQuotedPrintable(out, m.text);
    }
    out += '\n';
}

// Whether one of eight bytes must be escaped in a JSON string: a control, '"' or '\\'.
bool needsJsonEscape(std::uint64_t x) {
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t high = ones * 0x80;
    const auto hasZero = [](std::uint64_t v) { return (v - ones) & ~v & high; };
    return ((x - ones * 0x20) & ~x & high) | hasZero(x ^ (ones * '"')) | hasZero(x ^ (ones * '\\'));
}

// Written straight into the buffer: six bytes a byte at most, eight plain bytes at a time.
void appendJsonString(QByteArray& out, const char* p, const char* end) {
    static constexpr char kHex[] = "0123456789abcdef";
    const qsizetype start = out.size();
    out.resize(start + (end - p) * 6 + 2);
    char* o = out.data() + start;
    *o++ = '"';
    while (p < end) {
        if (end - p >= 8) {
            std::uint64_t x = 0;
            std::memcpy(&x, p, sizeof x);
            if (!needsJsonEscape(x)) {
                std::memcpy(o, p, sizeof x);
                o += sizeof x;
                p += sizeof x;
                continue;
            }
        }
        const auto b = uchar(*p++);
        if (b >= 0x20 && b != '"' && b != '\\') {
            *o++ = char(b);
        } else if (b == '"' || b == '\\') {
            *o++ = '\\';
            *o++ = char(b);
        } else if (b == '\n' || b == '\t') {
            *o++ = '\\';
            *o++ = b == '\n' ? 'n' : 't';
        } else {
            // Four characters, no terminator wanted.
            std::memcpy(o, "\\u00", 4); // NOLINT(bugprone-not-null-terminated-result)
            o[4] = kHex[b >> 4];
            o[5] = kHex[b & 0xF];
            o += 6;
        }
    }
    *o++ = '"';
    out.resize(o - out.constData());
}

void appendJsonString(QByteArray& out, const QByteArray& utf8) {
    appendJsonString(out, utf8.constData(), utf8.constData() + utf8.size());
}

void appendJsonString(QByteArray& out, const QString& value) {
    appendJsonString(out, value.toUtf8());
}

// `{"conference":5,"conferenceName":"Technique"`, the same for every message of a conference.
QByteArray jsonConference(int conference, const QString& name) {
    QByteArray out = "{\"conference\":";
    appendNumber(out, conference);
    out += ",\"conferenceName\":";
    appendJsonString(out, name);
    return out;
}

void appendJson(QByteArray& out, const ExportedMessage& m, const QByteArray& conference) {
    out += conference;
    out += ",\"number\":";
    if (m.number)
        appendNumber(out, *m.number);
    else
        out += "null";
    out += ",\"reference\":";
    appendNumber(out, m.reference);
    out += ",\"status\":";
    appendJsonString(out, m.status);
    out += m.isPrivate ? ",\"private\":true" : ",\"private\":false";
    out += ",\"date\":\"";
    YearMonthDay ymd(m.date);
    out += QByteArray::number(ymd.year).rightJustified(4, '0');
    out += '-';
    appendTwoDigits(out, ymd.month);
    out += '-';
    appendTwoDigits(out, ymd.day);
    out += 'T';
    appendClock(out, m.time);
    if (m.utcOffset)
        appendZone(out, m.utcOffset, true);
    out += '"';
    if (!m.headerDate.isEmpty()) {
        out += ",\"headerDate\":";
        appendJsonString(out, m.headerDate);
    }
    out += ",\"from\":";
    appendJsonString(out, m.from);
    out += ",\"to\":";
    appendJsonString(out, m.to);
    out += ",\"subject\":";
    appendJsonString(out, m.subject);
    out += ",\"text\":";
    appendJsonString(out, m.text);
    out += '}';
}

struct Target {
    ExportFormat format;
    AtomicFileWriter file;
    QByteArray buffer;

    Target(ExportFormat f, const QString& path) : format(f), file(path) {
        buffer.reserve(kFlushBytes + kFlushBytes / 4);
        if (format == ExportFormat::Json)
            buffer += '[';
    }
    void flushIfFull() {
        if (buffer.size() >= kFlushBytes) {
            file.write(buffer);
            buffer.truncate(0); // its room kept for the next megabyte
        }
    }
};

} // namespace

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

QByteArray boardDomain(const std::string& bbsId) {
    QByteArray out;
    for (const char c : unpadded(bbsId)) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')
            out += c;
        else if (c >= 'A' && c <= 'Z')
            out += char(c - 'A' + 'a');
    }
    return (out.isEmpty() ? QByteArray("bbs") : out) + ".qwk";
}

QByteArray encodedHeaderText(const QString& value, qsizetype used) {
    const QString line = oneLine(value);
    if (isPlainAscii(line))
        return line.toLatin1();
    QByteArray out;
    appendEncodedWords(out, line, used);
    return out;
}

void appendMboxMessage(QByteArray& out, const ExportedMessage& m, const QByteArray& domain) {
    LocalParts locals;
    appendMbox(out, m, domain, conferenceHeader(m.conference, m.conferenceName), locals);
}

void appendJsonMessage(QByteArray& out, const ExportedMessage& m) {
    appendJson(out, m, jsonConference(m.conference, m.conferenceName));
}

std::size_t exportPacket(PacketSession& s, const std::vector<IndexFileEntry>& indexFiles,
                         std::optional<int> only, const std::vector<ExportTarget>& targets,
                         UiServices& ui) {
    std::vector<std::unique_ptr<Target>> outputs;
    outputs.reserve(targets.size());
    for (const ExportTarget& t : targets)
        outputs.push_back(std::make_unique<Target>(t.format, t.path));
    const QByteArray domain = boardDomain(s.packet.control.BbsId);
    const QDate today = QDate::currentDate();
    const PacketControl& control = s.packet.control;
    const QDate packetDay = packetDateValue(control.PacketDate, today);
    const QDateTime packetDate(packetDay, clockOf(control.PacketTime));
    LocalParts locals;
    BlockFile messages(messagesFilePath(s.settings.workPath));
    std::size_t count = 0;
    for (const IndexFileEntry& index : indexFiles) {
        if (only && index.conferenceNumber != *only)
            continue;
        const QString name =
            index.conferencePosition < 0
                ? QString()
                : dosTextToUnicode(
                      unpadded(s.packet.control.Conferences[std::size_t(index.conferencePosition)]
                                   .ConferenceName));
        const QByteArray mboxConference = conferenceHeader(index.conferenceNumber, name);
        const QByteArray jsonStart = jsonConference(index.conferenceNumber, name);
        for (const std::int32_t block : readConferenceIndex(s.settings.workPath, index)) {
            ReadPacketMessage(s, messages, block, ui);
            const ExportedMessage m =
                exportedMessage(s.store.CurrentHeader, s.store.MessageText, index.conferenceNumber,
                                name, block, today, packetDate);
            for (const auto& out : outputs) {
                if (out->format == ExportFormat::Mbox) {
                    appendMbox(out->buffer, m, domain, mboxConference, locals);
                } else {
                    out->buffer += count == 0 ? "\n" : ",\n";
                    appendJson(out->buffer, m, jsonStart);
                }
                out->flushIfFull();
            }
            ++count;
        }
    }
    for (const auto& out : outputs) {
        if (out->format == ExportFormat::Json)
            out->buffer += count == 0 ? "]\n" : "\n]\n";
        out->file.write(out->buffer);
        out->buffer.clear();
    }
    for (const auto& out : outputs)
        out->file.commit();
    return count;
}

} // namespace velk
