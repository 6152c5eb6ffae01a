// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/PacketBuilder.h"

#include <memory>
#include <optional>
#include <string>

namespace velk {

// Conferences 0 to count - 1, named `name` and their number.
void addNumberedConferences(PacketBuilder& b, int count, const std::string& name);

// Message `i` of a large packet: conferences in turn, 300 subjects, numbers from 1.
PacketMessage& addSpreadMessage(PacketBuilder& b, int i, int conferences, const std::string& text);

// `messages` ordinary messages (4 to 5 blocks each) spread over 20 conferences, zipped as
// a packet at `path`.
void zipOrdinaryPacket(int messages, const QString& path);

// The packet of the given shape, built on first use; one at a time, for the largest take
// hundreds of megabytes.
template <class Packet, class Shape> Packet& onePacketAtATime(Shape shape) {
    static std::unique_ptr<Packet> packet;
    static std::optional<Shape> current;
    if (!packet || current != shape) {
        packet.reset();
        packet = std::make_unique<Packet>(shape);
        current = shape;
    }
    return *packet;
}

} // namespace velk
