// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>

namespace velk {

// The message viewer's shared state: which list it steps through and what it last showed.
struct ViewerState {
    // false: the browser's or the personal list (packet mode); true: the reply file's
    // messages, set and cleared by the written-messages manager.
    bool ReplyMode = false;
    // The author and recipient fields (DOS bytes, 25 characters) as last shown; the editor
    // quotes ShownAuthor when it forwards.
    std::string ShownAuthor;
    std::string ShownRecipient;
};

} // namespace velk
