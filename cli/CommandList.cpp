// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliPacket.h"
#include "core/ActionGuard.h"
#include "core/FileUtil.h"
#include "packet/IndexFiles.h"
#include "packet/MessageStore.h"

namespace {

int run(const QStringList& args, CliIo& io) {
    const auto numbers = cliPacketNumbers(
        args, 0, 1, QStringLiteral("Usage : velk-cli list PAQUET [CONFÉRENCE]"), io);
    if (!numbers)
        return 2;
    std::optional<int> only;
    if (!numbers->empty())
        only = numbers->front();
    CliUiServices ui(io);
    const auto packet = openCliPacket(args[0], io, ui);
    if (!packet)
        return 1;
    Session& s = packet->session;
    if (only && conferencePositionOf(s.packet.control, *only) < 0) {
        io.fail(QStringLiteral("Il n'y a pas de conférence %1 dans ce paquet.").arg(*only));
        return 1;
    }
    const bool listed = runAction(ui, [&] {
        BlockFile messages(messagesFilePath(s.settings.workPath));
        for (const IndexFileEntry& index : packet->indexFiles) {
            if (index.conferencePosition < 0)
                continue;
            const ConferenceEntry& conf =
                s.packet.control.Conferences[std::size_t(index.conferencePosition)];
            if (only && conf.ConferenceNumber != *only)
                continue;
            const auto blocks =
                ReadIndexFile(joinPath(s.settings.workPath, QString::fromLatin1(index.fileName)));
            for (std::int32_t block : blocks) {
                ReadMessageHeader(messages, block, s.store, ui);
                const MessageHeader& h = s.store.CurrentHeader;
                io.print(QString::number(conf.ConferenceNumber) + QLatin1Char('\t') +
                         cliText(h.number).trimmed() + QLatin1Char('\t') + cliText(h.date) +
                         QLatin1Char('\t') + cliText(h.author) + QLatin1Char('\t') +
                         cliText(h.recipient) + QLatin1Char('\t') + cliText(h.subject) +
                         QLatin1Char('\n'));
            }
        }
    });
    return listed ? 0 : 1;
}

const CliRegistrar registrar("list", "PAQUET [CONFÉRENCE]", &run);

} // namespace
