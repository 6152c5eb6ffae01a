// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "board/ReadMarks.h"

#include <QString>

#include <chrono>
#include <optional>
#include <string>

namespace velk {

// What is remembered about the board of the open packet, loaded on first use.
struct BoardState {
    std::string bbsId;     // the board whose marks are loaded; empty when none is
    QString marksPath;     // its file in the program directory
    ReadMarks marks;       // loaded, or empty when there was no file or it was refused
    bool marksKept = true; // false: the marks live only in memory (a file refused as is)
    std::chrono::steady_clock::time_point lastSave;
};

} // namespace velk
