// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDate>
#include <QString>

#include <string_view>

namespace velk {

// The packet date of the control file ("mm-dd-yy" or "mm-dd-yyyy", any separator) as a
// date. Read day first when the first number is above 12 and the second below it. A
// two-digit year is placed by the sliding window of TwoDigitYear.h. Invalid: a null date.
QDate packetDateValue(std::string_view text, const QDate& today = QDate::currentDate());

// "5 février 1996". Throws the runtime's date conversion error when the text is no date.
QString LongPacketDate(std::string_view text, const QDate& today = QDate::currentDate());

// "février"; month from 1 to 12.
QString frenchMonthName(int month);

} // namespace velk
