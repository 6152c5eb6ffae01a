// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/SubscriptionSending.h"

#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "core/VelkError.h"
#include "packet/ControlFile.h"
#include "packet/MessageStore.h"
#include "reply/ReplyFile.h"
#include "reply/ReplySession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>

namespace velk {

namespace {

constexpr qint64 kRecord = qint64(kBlockSize);

QByteArray bytes(std::string_view s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

bool sameName(std::string_view field, std::string_view name) {
    const std::string a = unpadded(field);
    const std::string b = unpadded(name);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// The control message of a request: no text, the door reads its header only.
QByteArray controlMessage(const ReplySession& s, const SubscriptionRequest& r, const QDateTime& now,
                          std::uint16_t logicalNumber) {
    ReplyDraft draft;
    draft.conference = r.conference;
    draft.author = TrimRight(s.packet.control.UserName);
    draft.subject = std::string(controlSubject(r.action));
    const std::string body = EncodeReplyBody({});
    const MessageHeader header =
        BuildReplyHeader(draft, false, PadRight(s.packet.control.ControlName, 25), now,
                         logicalNumber, body.size() / kBlockSize + 1);
    const Block block = headerBlock(header);
    return QByteArray(block.data(), kRecord) + bytes(body);
}

} // namespace

std::optional<OutgoingReplyPacket> outgoingReplyPacket(ReplySession& s, const QDateTime& now) {
    const std::vector<SubscriptionRequest> queue = readSubscriptionQueue(s);
    const QString replyPacket = ReplyPacketPath(s);
    if (queue.empty() && !QFileInfo::exists(replyPacket))
        return std::nullopt;
    OutgoingReplyPacket out;
    std::vector<SubscriptionRequest> toDoor;
    std::vector<SubscriptionRequest> messages;
    for (const SubscriptionRequest& r : queue) {
        const auto route = requestRoute(s.packet.control, r.action);
        if (!route)
            continue;
        (*route == RequestRoute::ToDoorLine ? toDoor : messages).push_back(r);
        out.requests.push_back(r);
    }

    const QString replyFile = ReplyFilePath(s);
    QByteArray reply = QFileInfo(replyFile).isFile() ? readWholeFile(replyFile) : QByteArray();
    reply.truncate(reply.size() / kRecord * kRecord);
    const bool hasMessages = reply.size() > kRecord;
    if (!hasMessages && !messages.empty()) {
        const Block record0 = ReplyFileHeaderRecord(s.packet.control.BbsId);
        reply = QByteArray(record0.data(), kRecord);
    }
    std::uint16_t logical = s.packet.LogicalCounter;
    for (const SubscriptionRequest& r : messages)
        reply += controlMessage(s, r, now, logical++);

    const QString folder = joinPath(s.settings.workPath, QStringLiteral("ENVOI.TMP"));
    if (!QDir().mkpath(folder))
        throw VelkError::io(IoCode::AccessDenied);
    if (reply.size() > kRecord) {
        const QString staged = joinPath(folder, QFileInfo(replyFile).fileName());
        writeFileAtomically(staged, reply);
        out.files.append(staged);
    }
    if (!toDoor.empty()) {
        const QString staged = joinPath(folder, QStringLiteral("TODOOR.EXT"));
        writeFileAtomically(staged, bytes(toDoorLines(toDoor)));
        out.files.append(staged);
    }
    return out;
}

void forgetSentRequests(ReplySession& s, const std::vector<SubscriptionRequest>& sent) {
    if (sent.empty())
        return;
    std::vector<SubscriptionRequest> queue = readSubscriptionQueue(s);
    std::erase_if(queue, [&](const SubscriptionRequest& r) {
        return std::find(sent.begin(), sent.end(), r) != sent.end();
    });
    writeSubscriptionQueue(s, queue);
}

int takeBackRequests(ReplySession& s) {
    std::vector<SubscriptionRequest> found;
    const auto toDoorFile = findFileNoCase(s.settings.workPath, QStringLiteral("TODOOR.EXT"));
    if (toDoorFile) {
        const QByteArray data = readWholeFile(*toDoorFile);
        found = parseToDoorLines(std::string_view(data.constData(), std::size_t(data.size())));
    }
    // The control messages this program wrote: to the control name, "ADD" or "DROP".
    const QString replyFile = ReplyFilePath(s);
    QByteArray kept;
    bool changed = false;
    const std::string& controlName = s.packet.control.ControlName;
    if (!controlName.empty() && QFileInfo(replyFile).isFile()) {
        const QByteArray data = readWholeFile(replyFile);
        kept = data.left(kRecord);
        MessageStoreState store;
        for (const ReplyTableEntry& e : ListReplyFile(replyFile)) {
            ReadReplyHeader(replyFile, e.headerRecord, store);
            const MessageHeader& h = store.CurrentHeader;
            const std::string subject = TrimRight(h.subject);
            const QByteArray message = data.mid(qsizetype(e.headerRecord) * kRecord,
                                                qsizetype(std::max(e.blockCount, 1)) * kRecord);
            if (sameName(h.recipient, controlName) && (subject == "ADD" || subject == "DROP")) {
                addRequest(found, {h.conference, subject == "ADD" ? SubscriptionAction::Add
                                                                  : SubscriptionAction::Drop});
                changed = true;
            } else {
                kept += message;
            }
        }
    }
    if (found.empty())
        return 0;
    const int taken = int(found.size());
    // The queue first: should anything after it fail, a request is there twice at worst. A
    // request queued since the packet was made is the later one and stays.
    std::vector<SubscriptionRequest> queue = std::move(found);
    for (const SubscriptionRequest& r : readSubscriptionQueue(s))
        addRequest(queue, r);
    writeSubscriptionQueue(s, queue);
    if (toDoorFile && !QFile::remove(*toDoorFile))
        throw VelkError::io(IoCode::AccessDenied);
    if (changed) {
        if (kept.size() <= kRecord) {
            if (!QFile::remove(replyFile))
                throw VelkError::io(IoCode::AccessDenied);
        } else {
            writeFileAtomically(replyFile, kept);
        }
    }
    return taken;
}

} // namespace velk
