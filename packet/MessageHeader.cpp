// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/MessageHeader.h"

#include <cstring>

namespace {

struct Cursor {
    const char* p;
    std::string take(std::size_t n) {
        std::string s(p, n);
        p += n;
        return s;
    }
};

void put(char*& out, const std::string& field, std::size_t width) {
    const std::string v = padRight(field, width);
    std::memcpy(out, v.data(), width);
    out += width;
}

} // namespace

MessageHeader parseHeaderBlock(const Block& block) {
    using namespace HeaderField;
    MessageHeader h;
    Cursor c{block.data()};
    h.status = c.take(Status);
    h.number = c.take(Number);
    h.date = c.take(Date);
    h.time = c.take(Time);
    h.recipient = c.take(Recipient);
    h.author = c.take(Author);
    h.subject = c.take(Subject);
    h.password = c.take(Password);
    h.reference = c.take(Reference);
    h.blockCount = c.take(BlockCount);
    const auto* u = reinterpret_cast<const unsigned char*>(block.data());
    h.active = u[122];
    h.conference = std::uint16_t(u[123] | (u[124] << 8));
    h.logicalNumber = std::uint16_t(u[125] | (u[126] << 8));
    h.networkTag = u[127];
    return h;
}

Block headerBlock(const MessageHeader& h) {
    using namespace HeaderField;
    Block b{};
    char* out = b.data();
    put(out, h.status, Status);
    put(out, h.number, Number);
    put(out, h.date, Date);
    put(out, h.time, Time);
    put(out, h.recipient, Recipient);
    put(out, h.author, Author);
    put(out, h.subject, Subject);
    put(out, h.password, Password);
    put(out, h.reference, Reference);
    put(out, h.blockCount, BlockCount);
    b[122] = char(h.active);
    b[123] = char(h.conference & 0xFF);
    b[124] = char(h.conference >> 8);
    b[125] = char(h.logicalNumber & 0xFF);
    b[126] = char(h.logicalNumber >> 8);
    b[127] = char(h.networkTag);
    return b;
}
