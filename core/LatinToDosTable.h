// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <array>
#include <optional>

// An ISO-8859-1 letter that boards send in news and quoted-printable mail, its
// quoted-printable code (capitals) and the DOS byte shown in its place.
struct LatinToDosRow {
    unsigned char iso;
    char code[3];
    unsigned char dos;
};

extern const std::array<LatinToDosRow, 20> LatinToDosTable;

// The DOS byte for an ISO byte of the table.
std::optional<unsigned char> latinToDos(unsigned char iso);
// The DOS byte for the two characters after a "=", when they are one of the table's codes.
std::optional<unsigned char> quotedPrintableToDos(char high, char low);
