// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/BrowserState.h"
#include "mail/ViewerState.h"
#include "reply/ReplySession.h"

namespace velk {

struct MailSession : ReplySession {
    BrowserState browser;
    ViewerState viewer;
};

} // namespace velk
