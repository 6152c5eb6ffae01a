// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "board/SubscriptionQueue.h"

#include <QDateTime>
#include <QStringList>

#include <optional>
#include <vector>

namespace velk {

struct ReplySession;

// What the reply packet is to hold once the queued requests travel in it.
struct OutgoingReplyPacket {
    QStringList files; // to pack, each under its own name; empty: nothing to send
    std::vector<SubscriptionRequest> requests; // the queued requests these files carry
};

// The reply packet's files when requests are queued or an earlier reply packet is there
// (which is then made again whole, so that no request removed since stays in it): the reply
// file with a control message (to DOOR.ID's control name, subject "ADD" or "DROP", in the
// conference) after its messages for each request the board takes so, and TODOOR.EXT with an
// "AREA" line for each the board takes as QWKE. Written into a folder of the work directory;
// the user's reply file is not changed. A request the board now reads no way stays queued.
// nullopt when there is neither: the reply file is packed as always. Throws VelkError.
std::optional<OutgoingReplyPacket> outgoingReplyPacket(ReplySession& session, const QDateTime& now);

// Once the reply packet holds them, the requests leave the queue. Throws VelkError.
void forgetSentRequests(ReplySession& session, const std::vector<SubscriptionRequest>& sent);

// After an earlier reply packet was unpacked again into the work directory: the requests it
// carries (TODOOR.EXT's AREA lines, the control messages of the reply file) go back into the
// queue, where they can be seen and removed, and leave the work directory's files. The count
// taken back. Throws VelkError.
int takeBackRequests(ReplySession& session);

} // namespace velk
