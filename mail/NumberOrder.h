// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/BrowserState.h"

#include <cstdint>
#include <vector>

namespace velk {

// The browser's order by number, as positions in `entries`. Each pass walks the messages not
// yet listed in file order, from the first, to the next one whose number (as text) and day
// are both within the least reached so far, ties included, and lists the last one reached. A
// message whose date is no day is within any day and leaves the least day as it was.
std::vector<std::uint32_t> numberOrder(const std::vector<ListedMessage>& entries);

} // namespace velk
