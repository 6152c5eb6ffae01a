// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <array>
#include <string>
#include <string_view>

// A typed Windows character and the DOS byte stored in its place.
struct KeyboardRow {
    unsigned char windows;
    unsigned char dos;
};

// ² ° é è ç à ù £ µ § ¤ ä ë ï ö ü â ê î ô û, in that order.
extern const std::array<KeyboardRow, 21> KeyboardTable;

// Every byte found in the table's Windows row from `firstRow` on takes its DOS byte; the
// others stay as they are.
std::string keyboardToDos(std::string_view windows, std::size_t firstRow = 0);
