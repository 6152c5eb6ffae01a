// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/PacketDate.h"

#include "core/CharacterSet.h"
#include "core/TextHelpers.h"
#include "core/TwoDigitYear.h"
#include "core/VelkError.h"

#include <string>

namespace velk {

QString frenchMonthName(int month) {
    static const char* const names[] = {"janvier",   "février", "mars",     "avril",
                                        "mai",       "juin",    "juillet",  "août",
                                        "septembre", "octobre", "novembre", "décembre"};
    if (month < 1 || month > 12)
        return {};
    return QString::fromUtf8(names[month - 1]);
}

QDate packetDateValue(std::string_view text, const QDate& today) {
    const std::string t = TrimRight(text);
    if (t.size() < 7 || t[2] != t[5])
        return {};
    const char separator = t[2];
    if (separator >= '0' && separator <= '9')
        return {};
    const auto a = parseWholeNumber(std::string_view(t).substr(0, 2));
    const auto b = parseWholeNumber(std::string_view(t).substr(3, 2));
    const std::string_view yearText = std::string_view(t).substr(6);
    const auto y = parseWholeNumber(yearText);
    if (!a || !b || !y || *a < 0 || *b < 0 || *y < 0 || yearText.front() == ' ' ||
        (yearText.size() != 2 && yearText.size() != 4))
        return {};
    const bool dayFirst = *a > 12 && *b < *a;
    const int month = dayFirst ? *b : *a;
    const int day = dayFirst ? *a : *b;
    const int year = yearText.size() == 2 ? fullYear(*y, today) : *y;
    return QDate(year, month, day);
}

QString LongPacketDate(std::string_view text, const QDate& today) {
    const QDate d = packetDateValue(text, today);
    if (!d.isValid())
        throw VelkError::notADate(dosToUnicode(TrimRight(text)));
    return QString::number(d.day()) + QLatin1Char(' ') + frenchMonthName(d.month()) +
           QLatin1Char(' ') + QString::number(d.year());
}

} // namespace velk
