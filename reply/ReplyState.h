// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One message of the reply file, as the written-messages manager lists it.
struct ReplyTableEntry {
    std::int32_t headerRecord = 0; // 0-based record of its header in the reply file
    std::int32_t blockCount = 0;   // records of the message, header included
};

struct ReplyState {
    std::vector<ReplyTableEntry> ReplyTable;
    // The manager's line (a position in ReplyTable); nullopt when none is chosen.
    std::optional<int> SelectedReply;
    int ReplyCount() const { return int(ReplyTable.size()); }
};

// The editor's flags, set by whoever opens the editor.
struct EditorFlags {
    bool AnswerFlag = false;
    bool ForwardFlag = false;
    bool CancelFlag = false;
    std::string ChosenRecipient; // empty: the recipient dialog was cancelled
};
