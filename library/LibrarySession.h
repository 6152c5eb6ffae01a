// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "board/BoardSession.h"
#include "library/LibraryState.h"

namespace velk {

struct LibrarySession : BoardSession {
    LibraryState libraries;
};

} // namespace velk
