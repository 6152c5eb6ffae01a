// SPDX-License-Identifier: GPL-2.0-or-later
#include "library/LibraryText.h"

#include <algorithm>

namespace velk {

std::vector<std::string> entryLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        const bool last = end == std::string_view::npos;
        if (last)
            end = text.size();
        std::string_view line = text.substr(from, end - from);
        if (!last && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        from = end + 1;
    }
    return lines;
}

std::string joinEntryLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string firstLine(std::string_view text, std::size_t width) {
    const std::size_t end = text.find_first_of("\r\n");
    return std::string(text.substr(0, std::min(end, width)));
}

} // namespace velk
