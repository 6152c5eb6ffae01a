// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/KeyboardTable.h"

const std::array<KeyboardRow, 21> KeyboardTable = {{
    {0xB2, 0xFD}, {0xB0, 0xF8}, {0xE9, 0x82}, {0xE8, 0x8A}, {0xE7, 0x87}, {0xE0, 0x85},
    {0xF9, 0x97}, {0xA3, 0x9C}, {0xB5, 0xE6}, {0xA7, 0xEC}, {0xA4, 0xF8}, {0xE4, 0x84},
    {0xEB, 0x89}, {0xEF, 0x8B}, {0xF6, 0x94}, {0xFC, 0x81}, {0xE2, 0x83}, {0xEA, 0x88},
    {0xEE, 0x8C}, {0xF4, 0x93}, {0xFB, 0x96},
}};

std::string keyboardToDos(std::string_view windows, std::size_t firstRow) {
    std::string out(windows);
    for (char& c : out) {
        for (std::size_t i = firstRow; i < KeyboardTable.size(); ++i) {
            if (static_cast<unsigned char>(c) == KeyboardTable[i].windows) {
                c = static_cast<char>(KeyboardTable[i].dos);
                break;
            }
        }
    }
    return out;
}
