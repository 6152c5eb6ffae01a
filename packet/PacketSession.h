// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/Archiver.h"
#include "core/CoreSession.h"
#include "packet/MessageStoreState.h"
#include "packet/PacketControl.h"

#include <memory>

namespace velk {

struct PacketSession : CoreSession {
    PacketState packet;
    MessageStoreState store;
    // The command-line packet's unpacking, started before the windows are built.
    std::unique_ptr<UnpackJob> pendingUnpack;
    // The open packet's MESSAGES.DAT, unpacked behind its window (messagesFileReady).
    std::unique_ptr<UnpackJob> messagesUnpack;
};

} // namespace velk
