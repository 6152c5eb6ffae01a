// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velk {

// One entry of a library file. Texts are DOS bytes without the entry markers.
struct LibraryEntry {
    std::int32_t number = 0; // taglines: 1-based position when loaded; correspondents: use count
    bool picked = false;
    bool isDefault = false;
    bool deleted = false;
    std::string text;
};

struct LibraryState {
    std::vector<LibraryEntry> HeaderList;
    std::vector<LibraryEntry> FooterList;
    std::vector<LibraryEntry> TaglineList;
    std::vector<LibraryEntry> CorrespondentList;
    bool HasDefaultHeader = false;
    bool HasDefaultFooter = false;
    bool HasDefaultTagline = false;
    // Set while the file was refused as too big at its last load: the list in memory is not
    // its content, so saving the list would destroy the file. Indexed by LibraryKind.
    bool refusedAtLoad[4] = {false, false, false, false};
};

} // namespace velk
