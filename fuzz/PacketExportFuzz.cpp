// SPDX-License-Identifier: GPL-2.0-or-later
// The export writers: a header block and the text after it as one message, read as a
// packet's is, written as mbox and as JSON, each checked for what a mail program or a JSON
// reader takes whole.
#include "core/CharacterSet.h"
#include "fuzz/FuzzSupport.h"
#include "mail/PacketExport.h"
#include "packet/HeaderExtensions.h"
#include "packet/MessageHeader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace velk;

namespace {

// One "From " line, the first; lines mail carries (998 bytes at most); headers in ASCII
// before the first blank line.
void checkMbox(const QByteArray& out) {
    if (!out.startsWith("From ") || !out.endsWith("\n\n"))
        ::abort();
    bool inHeaders = true;
    qsizetype start = 0;
    for (qsizetype end = out.indexOf('\n'); end >= 0; end = out.indexOf('\n', start)) {
        const QByteArrayView line(out.constData() + start, end - start);
        if (line.size() > 998 || (start > 0 && line.startsWith("From ")))
            ::abort();
        if (line.isEmpty())
            inHeaders = false;
        if (inHeaders && std::any_of(line.begin(), line.end(),
                                     [](char c) { return uchar(c) < 0x20 || uchar(c) > 0x7E; }))
            ::abort();
        start = end + 1;
    }
}

// Parses as one object whose texts are the message's own.
void checkJson(const QByteArray& out, const ExportedMessage& m) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson("[" + out + "]", &error);
    if (error.error != QJsonParseError::NoError || doc.array().size() != 1)
        ::abort();
    const QJsonObject o = doc.array().at(0).toObject();
    if (o.value(QLatin1String("from")).toString() != m.from ||
        o.value(QLatin1String("to")).toString() != m.to ||
        o.value(QLatin1String("subject")).toString() != m.subject ||
        o.value(QLatin1String("conferenceName")).toString() != m.conferenceName ||
        o.value(QLatin1String("text")).toString().toUtf8() != m.text)
        ::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Block block;
    block.fill(' ');
    std::memcpy(block.data(), data, std::min(size, kBlockSize));
    MessageHeader header = parseHeaderBlock(block);
    std::string text(reinterpret_cast<const char*>(data) + std::min(size, kBlockSize),
                     size - std::min(size, kBlockSize));
    // As a packet's message is read: a charset kludge makes its text UTF-8.
    applyKludgeLines(header, text);
    // The password field, unused by boards, names the board; the text's first bytes the
    // conference.
    const ExportedMessage m =
        exportedMessage(header, text, header.conference, dosTextToUnicode(text.substr(0, 12)),
                        std::int32_t(size % 1000), QDate(2026, 12, 7));
    QByteArray mbox;
    appendMboxMessage(mbox, m, boardDomain(header.password));
    checkMbox(mbox);
    QByteArray json;
    appendJsonMessage(json, m);
    checkJson(json, m);
    return 0;
}
