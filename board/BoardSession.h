// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "board/BoardState.h"
#include "packet/PacketSession.h"

namespace velk {

struct BoardSession : PacketSession {
    BoardState board;
};

} // namespace velk
