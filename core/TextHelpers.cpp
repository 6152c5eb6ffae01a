// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/TextHelpers.h"

#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "core/VelkError.h"

#include <cstring>
#include <limits>

namespace velk {

std::string TrimRight(std::string_view text) {
    return trimRight(text);
}

std::string trimRight(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ')
        --n;
    return std::string(text.substr(0, n));
}

std::string padRight(std::string_view text, std::size_t width) {
    std::string s(text.substr(0, width));
    s.resize(width, ' ');
    return s;
}

void TrimTextBuffer(std::string& buffer) {
    if (buffer.empty())
        return;
    std::size_t i = buffer.size() - 1;
    while (i >= 1 && buffer[i] == ' ')
        --i;
    std::size_t keep = 0;
    while (keep < i && buffer[keep] != '\0')
        ++keep;
    buffer.resize(keep);
}

void ReplaceByte(char from, char to, std::string& buffer, std::size_t length) {
    // Looked for rather than tested byte by byte: whole message texts go through here.
    char* p = buffer.data();
    char* const end = p + std::min(length, buffer.size());
    while ((p = static_cast<char*>(std::memchr(p, from, std::size_t(end - p)))) != nullptr)
        *p++ = to;
}

std::string NextLine(std::string_view buffer, std::size_t start, std::size_t length) {
    std::string line;
    const std::size_t end = std::min({length, buffer.size(), start + 255});
    for (std::size_t i = start; i < end; ++i) {
        const char c = buffer[i];
        if (c != '\r' && c != '\n')
            line.push_back(c);
        if (c == '\n')
            break;
    }
    return line;
}

std::int64_t FileSizeBytes(const QString& path) {
    return fileSizeBytes(path);
}

std::optional<std::int32_t> parseWholeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(value);
}

std::int32_t StrToInt(std::string_view text) {
    if (const auto v = parseWholeNumber(text))
        return *v;
    throw VelkError::notAnInteger(dosToUnicode(text));
}

} // namespace velk
