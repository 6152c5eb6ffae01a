// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/MessageHeader.h"

#include <string>

namespace velk {

// The header and text last read, whoever read them: every read overwrites them.
struct MessageStoreState {
    MessageHeader CurrentHeader;
    std::string MessageText; // DOS bytes, lines ended by LF; its size is MessageTextLength
    std::int32_t ReplyBlockCount = 0;
    // The header last read from MESSAGES.DAT was no header: its text is the anomaly's.
    bool HeaderAnomaly = false;
};

} // namespace velk
