// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDate>

namespace velk {

// Places a two-digit year in the century that puts it between 80 years before and 19 years
// after `today`: in 2026, 96 is 1996, 45 is 2045 and 46 is 1946. Any year of more than two
// digits is returned unchanged.
int fullYear(int year, const QDate& today = QDate::currentDate());

} // namespace velk
