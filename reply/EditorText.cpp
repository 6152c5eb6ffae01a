// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/EditorText.h"

#include "core/CharacterSet.h"

#include <optional>

namespace velk {

namespace {

std::string withTabsExpanded(std::string_view line) {
    std::string out;
    for (const char c : line) {
        if (c == '\t')
            out.append(8 - out.size() % 8, ' ');
        else
            out.push_back(c);
    }
    return out;
}

void decodeCodes(std::string& line) {
    const std::size_t first = line.find('=');
    // The first "=" must have three characters after it, as a board's soft break has not.
    if (first == std::string::npos || line.size() - first - 1 < 3)
        return;
    std::string out = line.substr(0, first);
    std::size_t i = first;
    while (i < line.size()) {
        if (line[i] == '=' && i + 2 < line.size()) {
            if (const auto dos = quotedPrintableToDos(line[i + 1], line[i + 2])) {
                out.push_back(char(*dos));
                i += 3;
                continue;
            }
        }
        out.push_back(line[i]);
        ++i;
    }
    line = std::move(out);
}

void convertIso(std::string& line) {
    for (char& c : line) {
        if (const auto dos = latinToDos(static_cast<unsigned char>(c)))
            c = char(*dos);
    }
}

bool isBlank(char c) {
    return c == ' ';
}

} // namespace

std::string PrepareLine(std::string_view line, PrepareLineSwitches& switches) {
    if (line.find("charset=iso-8859-1") != std::string_view::npos)
        switches.quotedPrintable = true;
    if (line.substr(0, 11) == "Newsgroups:")
        switches.newsMessage = true;
    else if (switches.newsMessage && line.substr(0, 13) == "Organization:")
        switches.isoConversion = true;
    std::string out = withTabsExpanded(line);
    if (switches.quotedPrintable)
        decodeCodes(out);
    if (switches.isoConversion)
        convertIso(out);
    return out;
}

EditorLines MessageTextLines(std::string_view text) {
    EditorLines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(start, end - start));
        std::erase(line, '\r');
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string QuoteLine(const std::string& line, const std::string& prefix, int maxCar) {
    if (line == " " || line.empty())
        return line;
    const int length = int(line.size());
    const int room = std::max(0, maxCar - int(prefix.size()) - 3);
    if (length + int(prefix.size()) + 2 >= maxCar)
        return prefix + line.substr(0, std::size_t(room));
    return prefix + line;
}

EditorLines WrapLines(const EditorLines& paragraphs, int maxCar) {
    const std::size_t width = std::size_t(std::max(maxCar, 1));
    EditorLines lines;
    for (const std::string& paragraph : paragraphs) {
        std::string_view rest(paragraph);
        while (rest.size() > width) {
            // The blank at the break may be the character just past the edge.
            std::size_t cut = width;
            std::size_t blank = rest.substr(0, width + 1).find_last_of(' ');
            std::size_t next = width;
            if (blank != std::string_view::npos && blank > 0) {
                cut = blank;
                while (cut > 0 && isBlank(rest[cut - 1]))
                    --cut;
                next = blank + 1;
                if (cut == 0) { // only blanks before it: cut the blanks themselves
                    cut = width;
                    next = width;
                }
            }
            lines.emplace_back(rest.substr(0, cut));
            rest.remove_prefix(next);
        }
        lines.emplace_back(rest);
    }
    return lines;
}

bool IsQuotationLine(std::string_view line) {
    std::size_t p = !line.empty() && line[0] == ' ' ? 1 : 0;
    const auto capital = [&](std::size_t i) {
        return i < line.size() && line[i] >= 'A' && line[i] <= 'Z';
    };
    if (!capital(p) || !capital(p + 1))
        return false;
    for (std::size_t i = p + 2; i < p + 5 && i < line.size(); ++i) {
        const char c = line[i];
        if (c == '>' || c == '|' || c == '[')
            return true;
    }
    return false;
}

} // namespace velk
