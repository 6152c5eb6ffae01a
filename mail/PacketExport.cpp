// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/PacketExport.h"

#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "core/PacketDate.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageHeader.h"
#include "packet/MessageStore.h"
#include "packet/PacketSession.h"

#include <QTime>

#include <algorithm>
#include <array>
#include <memory>

namespace velk {

namespace {

// Day and month names of mail dates, which are English whatever the locale.
constexpr std::array<const char*, 7> kDays{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
// The longest line of a header holding encoded words.
constexpr qsizetype kLineWidth = 76;
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

std::optional<qint64> numberOf(const std::string& field) {
    bool ok = false;
    const qint64 n = dosTextToUnicode(unpadded(field)).trimmed().toLongLong(&ok);
    return ok && n >= 0 ? std::optional<qint64>(n) : std::nullopt;
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
QByteArray encodedWords(const QString& value, qsizetype used) {
    const QByteArray utf8 = value.toUtf8();
    QByteArray out;
    for (qsizetype at = 0; at < utf8.size();) {
        if (!out.isEmpty()) {
            out += "\n ";
            used = 1;
        }
        // Base64 gives 4 characters for 3 bytes; the markers take 12.
        const qsizetype room = std::max<qsizetype>(3, (kLineWidth - used - 12) / 4 * 3);
        qsizetype end = std::min(at + room, utf8.size());
        // A word holds whole characters: it never ends before a continuation byte.
        while (end < utf8.size() && end > at + 1 && (uchar(utf8[end]) & 0xC0) == 0x80)
            --end;
        out += "=?UTF-8?B?" + utf8.mid(at, end - at).toBase64() + "?=";
        at = end;
    }
    return out;
}

qsizetype lastLineLength(const QByteArray& text, qsizetype used) {
    const qsizetype newline = text.lastIndexOf('\n');
    return newline < 0 ? used + text.size() : text.size() - newline - 1;
}

// The name in an address header: a quoted string, or encoded words.
QByteArray displayName(const QString& name, qsizetype used) {
    const QString value = oneLine(name).trimmed();
    if (!isPlainAscii(value))
        return encodedWords(value, used);
    QByteArray quoted = "\"";
    for (QChar c : value) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted += '\\';
        quoted += char(c.unicode());
    }
    return quoted + '"';
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
        if (c.category() == QChar::Mark_NonSpacing)
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

QByteArray addressHeader(const char* field, const QString& name, const QByteArray& domain) {
    const QByteArray start = QByteArray(field) + ": ";
    const QByteArray address = '<' + localPart(name) + '@' + domain + '>';
    if (name.trimmed().isEmpty())
        return start + address + '\n';
    const QByteArray shown = displayName(name, start.size());
    const bool fits = lastLineLength(shown, start.size()) + 1 + address.size() <= kLineWidth;
    return start + shown + (fits || !shown.contains("=?") ? " " : "\n ") + address + '\n';
}

QByteArray messageId(qint64 number, int conference, const QByteArray& domain) {
    return '<' + QByteArray::number(number) + '.' + QByteArray::number(conference) + '@' + domain +
           '>';
}

QByteArray twoDigits(int n) {
    return QByteArray::number(n).rightJustified(2, '0');
}

QByteArray clockText(const QTime& t) {
    return twoDigits(t.hour()) + ':' + twoDigits(t.minute()) + ':' + twoDigits(t.second());
}

// "Wed, 25 Dec 1996 10:30:00 -0000": the board's local time, its zone unknown.
QByteArray mailDate(const QDate& day, const QTime& time) {
    return QByteArray(kDays[std::size_t(day.dayOfWeek() - 1)]) + ", " +
           QByteArray::number(day.day()) + ' ' + kMonths[std::size_t(day.month() - 1)] + ' ' +
           QByteArray::number(day.year()) + ' ' + clockText(time) + " -0000";
}

// "Wed Dec 25 10:30:00 1996", the date of the "From " line.
QByteArray separatorDate(const QDate& date, const QTime& time) {
    const QDate day = date.isValid() ? date : QDate(1970, 1, 1);
    return QByteArray(kDays[std::size_t(day.dayOfWeek() - 1)]) + ' ' +
           kMonths[std::size_t(day.month() - 1)] + ' ' +
           QByteArray::number(day.day()).rightJustified(2, ' ') + ' ' +
           clockText(date.isValid() ? time : QTime(0, 0)) + ' ' + QByteArray::number(day.year());
}

bool isFromLine(const char* line, const char* end) {
    while (line < end && *line == '>')
        ++line;
    return end - line >= 5 && std::equal(line, line + 5, "From ");
}

void appendJsonString(QByteArray& out, const QString& value) {
    static constexpr char kHex[] = "0123456789abcdef";
    const QByteArray utf8 = value.toUtf8();
    out += '"';
    for (const char c : utf8) {
        const auto b = uchar(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (b < 0x20) {
            out += "\\u00";
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
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
            buffer.clear();
        }
    }
};

} // namespace

ExportedMessage exportedMessage(const MessageHeader& h, const std::string& text, int conference,
                                const QString& conferenceName, std::int32_t headerBlock,
                                const QDate& today) {
    ExportedMessage m;
    m.conference = conference;
    m.conferenceName = conferenceName;
    m.number = numberOf(h.number);
    m.reference = numberOf(h.reference).value_or(0);
    m.status = h.status.empty() || h.status[0] == '\0' ? QStringLiteral(" ")
                                                       : dosTextToUnicode(h.status.substr(0, 1));
    m.isPrivate = h.isPrivate();
    // Plain date and time: a local date-time would ask the system's time zone each time.
    m.date = packetDateValue(h.date, today);
    m.time = clockOf(h.time);
    m.from = messageCharacters(h, fullAuthor(h));
    m.to = messageCharacters(h, fullRecipient(h));
    m.subject = messageCharacters(h, fullSubject(h));
    m.text = messageCharacters(h, text);
    m.text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m.text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (!m.text.isEmpty() && !m.text.endsWith(QLatin1Char('\n')))
        m.text += QLatin1Char('\n');
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
    return isPlainAscii(line) ? line.toLatin1() : encodedWords(line, used);
}

void appendMboxMessage(QByteArray& out, const ExportedMessage& m, const QByteArray& domain) {
    out += "From " + localPart(m.from) + '@' + domain + ' ' + separatorDate(m.date, m.time) + '\n';
    out += "Message-ID: ";
    if (m.number)
        out += messageId(*m.number, m.conference, domain);
    else
        out += "<b" + QByteArray::number(m.headerBlock) + '.' + QByteArray::number(m.conference) +
               '@' + domain + '>';
    out += '\n';
    if (m.date.isValid())
        out += "Date: " + mailDate(m.date, m.time) + '\n';
    out += addressHeader("From", m.from, domain);
    out += addressHeader("To", m.to, domain);
    out += "Subject: " + encodedHeaderText(m.subject, 9) + '\n';
    if (m.reference != 0) {
        const QByteArray parent = messageId(m.reference, m.conference, domain);
        out += "In-Reply-To: " + parent + "\nReferences: " + parent + '\n';
    }
    out +=
        "X-QWK-Conference: " +
        encodedHeaderText(
            QString(QString::number(m.conference) + QLatin1Char(' ') + m.conferenceName).trimmed(),
            18) +
        '\n';
    if (m.isPrivate)
        out += "Sensitivity: Private\n";
    out += "MIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n"
           "Content-Transfer-Encoding: 8bit\n\n";
    const QByteArray body = m.text.toUtf8();
    const char* p = body.constData();
    const char* const end = p + body.size();
    while (p < end) {
        const char* eol = std::find(p, end, '\n');
        if (isFromLine(p, eol))
            out += '>';
        out.append(p, eol - p);
        out += '\n';
        p = eol + 1;
    }
    out += '\n';
}

void appendJsonMessage(QByteArray& out, const ExportedMessage& m) {
    out += "{\"conference\":" + QByteArray::number(m.conference) + ",\"conferenceName\":";
    appendJsonString(out, m.conferenceName);
    out += ",\"number\":" + (m.number ? QByteArray::number(*m.number) : QByteArray("null"));
    out += ",\"reference\":" + QByteArray::number(m.reference) + ",\"status\":";
    appendJsonString(out, m.status);
    out += m.isPrivate ? ",\"private\":true" : ",\"private\":false";
    out += ",\"date\":";
    if (m.date.isValid())
        out += '"' + m.date.toString(Qt::ISODate).toLatin1() + 'T' + clockText(m.time) + '"';
    else
        out += "null";
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

std::size_t exportPacket(PacketSession& s, const std::vector<IndexFileEntry>& indexFiles,
                         std::optional<int> only, const std::vector<ExportTarget>& targets,
                         UiServices& ui) {
    std::vector<std::unique_ptr<Target>> outputs;
    for (const ExportTarget& t : targets)
        outputs.push_back(std::make_unique<Target>(t.format, t.path));
    const QByteArray domain = boardDomain(s.packet.control.BbsId);
    const QDate today = QDate::currentDate();
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
        for (const std::int32_t block : readConferenceIndex(s.settings.workPath, index)) {
            ReadPacketMessage(s, messages, block, ui);
            const ExportedMessage m = exportedMessage(s.store.CurrentHeader, s.store.MessageText,
                                                      index.conferenceNumber, name, block, today);
            for (const auto& out : outputs) {
                if (out->format == ExportFormat::Mbox) {
                    appendMboxMessage(out->buffer, m, domain);
                } else {
                    out->buffer += count == 0 ? "\n" : ",\n";
                    appendJsonMessage(out->buffer, m);
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
