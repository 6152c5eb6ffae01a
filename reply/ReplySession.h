// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "library/LibrarySession.h"
#include "reply/ReplyState.h"

namespace velk {

struct ReplySession : LibrarySession {
    ReplyState replies;
};

} // namespace velk
