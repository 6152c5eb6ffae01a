// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/CoreSession.h"
#include "packet/MessageStoreState.h"
#include "packet/PacketControl.h"

struct PacketSession : CoreSession {
    PacketState packet;
    MessageStoreState store;
};
