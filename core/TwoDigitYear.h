// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDate>

// Places a two-digit year in the century that puts it between 80 years before and 19 years
// after `today`: 96 read in 2026 is 1996, 30 is 2030, 45 is 1945. Any year of more than two
// digits is returned unchanged.
int fullYear(int year, const QDate& today = QDate::currentDate());
