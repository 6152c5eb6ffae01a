// SPDX-License-Identifier: GPL-2.0-or-later
// Header values in mail's encoded words (RFC 2047): UTF-8 in base64, on folded lines.
#include "mail/EncodedWords.h"

#include "mail/ExportFormatting.h"

#include <algorithm>

namespace velk {

namespace {

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
        const qsizetype room = std::max<qsizetype>(3, (kMailLineWidth - used - 12) / 4 * 3);
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

} // namespace

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

QByteArray encodedHeaderText(const QString& value, qsizetype used) {
    const QString line = oneLine(value);
    if (isPlainAscii(line))
        return line.toLatin1();
    QByteArray out;
    appendEncodedWords(out, line, used);
    return out;
}

} // namespace velk
