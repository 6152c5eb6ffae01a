// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// What the mbox and JSON writers both put down: numbers, clocks and zones written straight
// into the buffer, for they come back in every message of a large export.

#include <QByteArray>
#include <QDate>
#include <QTime>

#include <charconv>
#include <cstdlib>
#include <iterator>
#include <optional>

namespace velk {

// The longest line of a header holding encoded words, and of a quoted-printable body.
inline constexpr qsizetype kMailLineWidth = 76;

inline void appendNumber(QByteArray& out, qint64 n) {
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), n).ptr;
    out.append(digits, end - digits);
}

inline void appendTwoDigits(QByteArray& out, int n) {
    out += char('0' + n / 10 % 10);
    out += char('0' + n % 10);
}

inline void appendClock(QByteArray& out, const QTime& t) {
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
inline void appendZone(QByteArray& out, const std::optional<int>& utcOffset, bool colon) {
    const int minutes = utcOffset.value_or(0) / 60;
    out += minutes > 0 || (minutes == 0 && utcOffset) ? '+' : '-';
    appendTwoDigits(out, std::abs(minutes) / 60);
    if (colon)
        out += ':';
    appendTwoDigits(out, std::abs(minutes) % 60);
}

} // namespace velk
