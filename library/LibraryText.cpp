// SPDX-License-Identifier: GPL-2.0-or-later
#include "library/LibraryText.h"

#include "core/CodePage.h"
#include "core/KeyboardTable.h"
#include "library/LibraryFile.h"

#include <QList>

namespace {

unsigned char typedCharacterToDos(char32_t u) {
    // The table is looked up by the Windows byte, so only characters that code page 1252
    // holds exactly can match a row.
    const unsigned char windows = unicodeToCp1252(u);
    if (cp1252ToUnicode(windows) == u) {
        for (const KeyboardRow& row : KeyboardTable) {
            if (row.windows == windows)
                return row.dos;
        }
    }
    return unicodeToCp437(u);
}

} // namespace

std::string withoutEntryMarkers(std::string dos) {
    for (char& c : dos) {
        if (c == kEntryStart || c == kEntryEnd)
            c = '"';
        else if (c == kDefaultMark)
            c = '!';
    }
    return dos;
}

std::string typedToDos(const QString& typed) {
    std::string out;
    for (const char32_t u : typed.toUcs4())
        out.push_back(char(typedCharacterToDos(u)));
    return withoutEntryMarkers(std::move(out));
}

std::string glyphsToDos(const QString& shown) {
    return withoutEntryMarkers(unicodeToDos(shown));
}

void upperAsciiLetters(std::string& dos) {
    for (char& c : dos) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
}

QString dosLineForDisplay(std::string_view line) {
    QString out;
    std::size_t from = 0;
    while (true) {
        const std::size_t tab = line.find('\t', from);
        out += dosToUnicode(line.substr(from, tab == std::string_view::npos ? tab : tab - from));
        if (tab == std::string_view::npos)
            break;
        out += QLatin1Char('\t');
        from = tab + 1;
    }
    return out;
}

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
