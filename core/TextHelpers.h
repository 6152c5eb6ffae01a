// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velk {

// The text without its trailing spaces (only 0x20 counts).
std::string TrimRight(std::string_view text);
std::string trimRight(std::string_view text);
// Left-justifies and pads with blanks, or cuts, to exactly `width` bytes.
std::string padRight(std::string_view text, std::size_t width);

// Cuts a text buffer read from 128-byte blocks: the blank padding goes and so does the last
// non-blank byte (the 0xE3 ending the last line); a NUL ends the text earlier.
void TrimTextBuffer(std::string& buffer);

// Every byte `from` among the first `length` bytes becomes `to`.
void ReplaceByte(char from, char to, std::string& buffer, std::size_t length);
inline void ReplaceByte(char from, char to, std::string& buffer) {
    ReplaceByte(from, to, buffer, buffer.size());
}

// The line starting at `start`, at most 255 bytes, without CR or LF. Callers move on by
// the line's length + 1.
std::string NextLine(std::string_view buffer, std::size_t start, std::size_t length);
inline std::string NextLine(std::string_view buffer, std::size_t start) {
    return NextLine(buffer, start, buffer.size());
}

// Size of the file in bytes; throws VelkError when it cannot be opened.
std::int64_t FileSizeBytes(const QString& path);

// A whole number as the runtime reads one: leading blanks and one sign allowed, nothing
// else; nullopt when the text is not a 32-bit decimal integer.
std::optional<std::int32_t> parseWholeNumber(std::string_view text);

// The same, throwing the runtime's conversion error (naming the DOS text) on failure.
std::int32_t StrToInt(std::string_view text);

} // namespace velk
