// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/MailSession.h"

namespace velk {

// Everything the program shares between its windows and operations. main() owns the
// one instance; each test makes its own.
struct Session : MailSession {};

} // namespace velk
