// SPDX-License-Identifier: GPL-2.0-or-later
// Messages as an mbox file ("mboxrd"), the form mail programs import.
#include "mail/MboxExport.h"

#include "mail/EncodedWords.h"
#include "mail/ExportFormatting.h"
#include "mail/QuotedPrintable.h"
#include "packet/MessageHeader.h"

#include <algorithm>
#include <array>

namespace velk {

namespace {

// Day and month names of mail dates, which are English whatever the locale.
constexpr std::array<const char*, 7> kDays{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

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
        out += !encoded || lastLine + 1 + addressSize <= kMailLineWidth ? " " : "\n ";
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

} // namespace

QByteArray conferenceHeader(int conference, const QString& name) {
    QByteArray out = "X-QWK-Conference: ";
    out += encodedHeaderText(
        QString(QString::number(conference) + QLatin1Char(' ') + name).trimmed(), 18);
    out += '\n';
    return out;
}

QByteArray LocalParts::of(const QString& name) {
    if (const auto found = known_.find(name); found != known_.end())
        return found->second;
    if (known_.size() >= kMostNames)
        known_.clear();
    return known_.emplace(name, localPart(name)).first->second;
}

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

void appendMboxMessage(QByteArray& out, const ExportedMessage& m, const QByteArray& domain) {
    LocalParts locals;
    appendMbox(out, m, domain, conferenceHeader(m.conference, m.conferenceName), locals);
}

} // namespace velk
