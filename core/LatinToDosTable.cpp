// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/LatinToDosTable.h"

// « » à â ä å ç è é ê ë ì î ï ò ô ö ù û ü
const std::array<LatinToDosRow, 20> LatinToDosTable = {{
    {0xAB, "AB", 0xAE}, {0xBB, "BB", 0xAF}, {0xE0, "E0", 0x85}, {0xE2, "E2", 0x83},
    {0xE4, "E4", 0x84}, {0xE5, "E5", 0x86}, {0xE7, "E7", 0x87}, {0xE8, "E8", 0x8A},
    {0xE9, "E9", 0x82}, {0xEA, "EA", 0x88}, {0xEB, "EB", 0x89}, {0xEC, "EC", 0x8D},
    {0xEE, "EE", 0x8C}, {0xEF, "EF", 0x8B}, {0xF2, "F2", 0x95}, {0xF4, "F4", 0x93},
    {0xF6, "F6", 0x94}, {0xF9, "F9", 0x97}, {0xFB, "FB", 0x96}, {0xFC, "FC", 0x81},
}};

std::optional<unsigned char> latinToDos(unsigned char iso) {
    for (const LatinToDosRow& row : LatinToDosTable) {
        if (row.iso == iso)
            return row.dos;
    }
    return std::nullopt;
}

std::optional<unsigned char> quotedPrintableToDos(char high, char low) {
    for (const LatinToDosRow& row : LatinToDosTable) {
        if (row.code[0] == high && row.code[1] == low)
            return row.dos;
    }
    return std::nullopt;
}
