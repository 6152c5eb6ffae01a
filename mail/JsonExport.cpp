// SPDX-License-Identifier: GPL-2.0-or-later
// Messages as one JSON array, for scripts.
#include "mail/JsonExport.h"

#include "mail/ExportFormatting.h"

#include <cstdint>
#include <cstring>

namespace velk {

namespace {

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
            std::memcpy(o, "\\u00", 4);
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

// `,"key":"value"`; `member` holds the separator, the name and the colon.
template <typename Text> void appendMember(QByteArray& out, const char* member, const Text& value) {
    out += member;
    appendJsonString(out, value);
}

} // namespace

QByteArray jsonConference(int conference, const QString& name) {
    QByteArray out = "{\"conference\":";
    appendNumber(out, conference);
    appendMember(out, ",\"conferenceName\":", name);
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
    appendMember(out, ",\"status\":", m.status);
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
    if (!m.headerDate.isEmpty())
        appendMember(out, ",\"headerDate\":", m.headerDate);
    appendMember(out, ",\"from\":", m.from);
    appendMember(out, ",\"to\":", m.to);
    appendMember(out, ",\"subject\":", m.subject);
    appendMember(out, ",\"text\":", m.text);
    out += '}';
}

void appendJsonMessage(QByteArray& out, const ExportedMessage& m) {
    appendJson(out, m, jsonConference(m.conference, m.conferenceName));
}

} // namespace velk
