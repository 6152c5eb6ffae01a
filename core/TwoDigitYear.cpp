// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/TwoDigitYear.h"

namespace velk {

int fullYear(int year, const QDate& today) {
    if (year < 0 || year > 99)
        return year;
    const int now = today.year();
    int candidate = (now / 100) * 100 + year;
    if (candidate > now + 19)
        candidate -= 100;
    else if (candidate < now - 80)
        candidate += 100;
    return candidate;
}

} // namespace velk
