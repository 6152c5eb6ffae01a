// SPDX-License-Identifier: GPL-2.0-or-later
#include "bench/support/BenchPackets.h"

namespace velk {

void addNumberedConferences(PacketBuilder& b, int count, const std::string& name) {
    for (int c = 0; c < count; ++c)
        b.conference(std::uint16_t(c), name + std::to_string(c));
}

PacketMessage& addSpreadMessage(PacketBuilder& b, int i, int conferences, const std::string& text) {
    PacketMessage& m =
        b.add(std::uint16_t(i % conferences), "Sujet " + std::to_string(i % 300), text);
    m.number = std::to_string(i + 1);
    return m;
}

void zipOrdinaryPacket(int messages, const QString& path) {
    constexpr int conferences = 20;
    PacketBuilder b;
    addNumberedConferences(b, conferences, "Conference ");
    std::string text;
    for (int l = 0; l < 6; ++l)
        text += "Ligne " + std::to_string(l) +
                " d'un message ordinaire, assez longue pour remplir un bloc.\n";
    for (int i = 0; i < messages; ++i)
        addSpreadMessage(b, i, conferences, text);
    b.zipTo(path);
}

} // namespace velk
