// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliPacket.h"
#include "core/ActionGuard.h"
#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageStore.h"

namespace velk {

namespace {

int run(const QStringList& args, CliIo& io) {
    const auto numbers = cliPacketNumbers(
        args, 2, 2, QStringLiteral("Usage : velk-cli read PAQUET CONFÉRENCE POSITION"), io);
    if (!numbers)
        return 2;
    const int number = (*numbers)[0];
    const int position = (*numbers)[1];
    CliUiServices ui(io);
    const auto packet = openCliPacket(args[0], io, ui);
    if (!packet)
        return 1;
    Session& s = packet->session;
    const std::optional<int> conference = conferencePositionOf(s.packet.control, number);
    const IndexFileEntry* index =
        conference ? indexFileOf(packet->indexFiles, *conference) : nullptr;
    if (!index) {
        io.fail(QStringLiteral("Il n'y a pas de message dans la conférence %1.").arg(number));
        return 1;
    }
    const bool read = runReported(ui, [&](Diagnostics& said) {
        const auto blocks = readConferenceIndex(s.settings.workPath, *index);
        if (position < 1 || std::size_t(position) > blocks.size())
            throw VelkError(QStringLiteral("La conférence %1 a %2 message(s) : pas de position %3.")
                                .arg(number)
                                .arg(blocks.size())
                                .arg(position));
        const std::int32_t block = blocks[std::size_t(position - 1)];
        BlockFile messages(messagesFilePath(s.settings.workPath));
        ReadPacketMessage(s, messages, block, said);
        const MessageHeader& h = s.store.CurrentHeader;
        // A name or subject in full, in the message's own characters.
        const auto full = [&](const std::string& bytes) {
            return cliField(messageCharacters(h, bytes));
        };
        const ConferenceEntry& conf = s.packet.control.Conferences[std::size_t(*conference)];
        QString out;
        out += QStringLiteral("Conférence : %1 %2\n")
                   .arg(conf.ConferenceNumber)
                   .arg(cliText(conf.ConferenceName));
        out +=
            QStringLiteral("Numéro : ") + cliField(cliText(h.number).trimmed()) + QLatin1Char('\n');
        out += QStringLiteral("Date : ") + cliField(cliText(h.date)) + QLatin1Char(' ') +
               cliField(cliText(h.time)) + QLatin1Char('\n');
        out += QStringLiteral("De : ") + full(fullAuthor(h)) + QLatin1Char('\n');
        out += QStringLiteral("À : ") + full(fullRecipient(h)) + QLatin1Char('\n');
        out += QStringLiteral("Sujet : ") + full(fullSubject(h)) + QLatin1Char('\n');
        out += QStringLiteral("Statut : ") +
               (h.isPrivate() ? QStringLiteral("Privé") : QStringLiteral("Public")) +
               QLatin1Char('\n');
        if (const QString ref = cliField(cliText(h.reference).trimmed());
            !ref.isEmpty() && ref != QLatin1String("0"))
            out += QStringLiteral("Référence : ") + ref + QLatin1Char('\n');
        out += QLatin1Char('\n') + messageCharacters(h, s.store.MessageText) + QLatin1Char('\n');
        io.print(out);
    });
    return read ? 0 : 1;
}

const CliRegistrar registrar("read", "PAQUET CONFÉRENCE POSITION", &run);

} // namespace

} // namespace velk
