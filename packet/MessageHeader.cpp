// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/MessageHeader.h"

#include "core/CharacterSet.h"

#include <cstring>

namespace velk {

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

std::string unpadded(std::string_view field) {
    while (!field.empty() && (field.back() == ' ' || field.back() == '\0'))
        field.remove_suffix(1);
    return std::string(field);
}

std::string fullRecipient(const MessageHeader& h) {
    return h.longFields.recipient.empty() ? unpadded(h.recipient) : h.longFields.recipient;
}

std::string fullAuthor(const MessageHeader& h) {
    return h.longFields.author.empty() ? unpadded(h.author) : h.longFields.author;
}

std::string fullSubject(const MessageHeader& h) {
    return h.longFields.subject.empty() ? unpadded(h.subject) : h.longFields.subject;
}

QString messageCharacters(const MessageHeader& h, std::string_view bytes) {
    QString s = h.longFields.utf8 ? utf8TextToUnicode(bytes) : dosTextToUnicode(bytes);
    s.replace(QChar(u'\0'), QChar(u' '));
    return s;
}

std::string messageBytesInDos(const MessageHeader& h, std::string_view bytes) {
    if (!h.longFields.utf8)
        return std::string(bytes);
    return unicodeToDos(utf8TextToUnicode(bytes));
}

} // namespace velk
