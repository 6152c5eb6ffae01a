// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "library/LibraryState.h"
#include "packet/PacketSession.h"

namespace velk {

struct LibrarySession : PacketSession {
    LibraryState libraries;
};

} // namespace velk
