// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velk {

// An entry's text cut into its lines (CR LF or LF ends a line; the end after the last line
// makes no extra empty line).
std::vector<std::string> entryLines(std::string_view text);
// The lines back into an entry text, each followed by CR LF.
std::string joinEntryLines(const std::vector<std::string>& lines);

// The first line of a text (up to the first CR or LF), at most `width` bytes.
std::string firstLine(std::string_view text, std::size_t width);

} // namespace velk
