// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>
#include <vector>

// The list of messages the viewer steps through: the browser's conference or the
// personal list, whichever was filled last.
struct BrowserState {
    std::vector<std::int32_t> ConferenceIndex; // header block indices, index-file order
    std::vector<std::int32_t> ListOrder;       // header block index of each list line
    std::int32_t CurrentListIndex = 0;
    std::int32_t LastListIndex = -1;
    std::int32_t CurrentConference = 0; // position in the conference table
    int SortOrder = 0;
};
