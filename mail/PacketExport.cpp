// SPDX-License-Identifier: GPL-2.0-or-later
// A packet's messages into mbox and JSON files, in one pass over the packet.
#include "mail/PacketExport.h"

#include "core/CharacterSet.h"
#include "core/Diagnostics.h"
#include "core/FileUtil.h"
#include "core/PacketDate.h"
#include "core/TextHelpers.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageStore.h"
#include "packet/PacketControl.h"
#include "packet/PacketSession.h"

#include <memory>

namespace velk {

namespace {

// What a target gathers before it writes.
constexpr qsizetype kFlushBytes = 1 << 20;

struct Target {
    ExportFormat format;
    AtomicFileWriter file;
    QByteArray buffer;

    Target(ExportFormat f, const QString& path) : format(f), file(path) {
        buffer.reserve(kFlushBytes + kFlushBytes / 4);
        if (format == ExportFormat::Json)
            buffer += '[';
    }
    void flushIfFull() {
        if (buffer.size() >= kFlushBytes) {
            file.write(buffer);
            buffer.truncate(0); // its room kept for the next megabyte
        }
    }
};

} // namespace

std::size_t exportPacket(PacketSession& s, const std::vector<IndexFileEntry>& indexFiles,
                         std::optional<int> only, const std::vector<ExportTarget>& targets,
                         Diagnostics& said) {
    std::vector<std::unique_ptr<Target>> outputs;
    outputs.reserve(targets.size());
    for (const ExportTarget& t : targets)
        outputs.push_back(std::make_unique<Target>(t.format, t.path));
    const QByteArray domain = boardDomain(s.packet.control.BbsId);
    const QDate today = QDate::currentDate();
    const PacketControl& control = s.packet.control;
    const QDate packetDay = packetDateValue(control.PacketDate, today);
    const QDateTime packetDate(packetDay, clockOf(control.PacketTime));
    LocalParts locals;
    BlockFile messages(messagesFilePath(s.settings.workPath));
    std::size_t count = 0;
    for (const IndexFileEntry& index : indexFiles) {
        if (only && index.conferenceNumber != *only)
            continue;
        const QString name =
            index.conferencePosition < 0
                ? QString()
                : dosTextToUnicode(
                      unpadded(s.packet.control.Conferences[std::size_t(index.conferencePosition)]
                                   .ConferenceName));
        const QByteArray mboxConference = conferenceHeader(index.conferenceNumber, name);
        const QByteArray jsonStart = jsonConference(index.conferenceNumber, name);
        for (const std::int32_t block : readConferenceIndex(s.settings.workPath, index)) {
            ReadPacketMessage(s, messages, block, said);
            const ExportedMessage m =
                exportedMessage(s.store.CurrentHeader, s.store.MessageText, index.conferenceNumber,
                                name, block, today, packetDate);
            for (const auto& out : outputs) {
                if (out->format == ExportFormat::Mbox) {
                    appendMbox(out->buffer, m, domain, mboxConference, locals);
                } else {
                    out->buffer += count == 0 ? "\n" : ",\n";
                    appendJson(out->buffer, m, jsonStart);
                }
                out->flushIfFull();
            }
            ++count;
        }
    }
    for (const auto& out : outputs) {
        if (out->format == ExportFormat::Json)
            out->buffer += count == 0 ? "]\n" : "\n]\n";
        out->file.write(out->buffer);
        out->buffer.clear();
    }
    for (const auto& out : outputs)
        out->file.commit();
    return count;
}

} // namespace velk
