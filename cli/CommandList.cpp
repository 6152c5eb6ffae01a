// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliPacket.h"
#include "core/ActionGuard.h"
#include "core/FileUtil.h"
#include "mail/Browser.h"
#include "mail/Threads.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageStore.h"

namespace velk {

namespace {

const QString kUsage = QStringLiteral(
    "Usage : velk-cli list PAQUET [CONFÉRENCE] [--sort numero|auteur|destinataire|sujet|fil]");

// The browser's sort order for the word of its button; nullopt for a word that is none of
// them.
std::optional<MessageOrder> sortOrderOf(const QString& word) {
    const QString w = word.toLower();
    if (w == QLatin1String("numero") || w == QStringLiteral("numéro"))
        return MessageOrder::Number;
    if (w == QLatin1String("auteur"))
        return MessageOrder::Author;
    if (w == QLatin1String("destinataire"))
        return MessageOrder::Recipient;
    if (w == QLatin1String("sujet"))
        return MessageOrder::Subject;
    if (w == QLatin1String("fil"))
        return MessageOrder::Thread;
    return std::nullopt;
}

// The messages in index-file order (MESSAGES.DAT's order for a conference without one).
void listInIndexOrder(CliPacket& packet, CliUiServices& ui, CliIo& io, std::optional<int> only) {
    Session& s = packet.session;
    BlockFile messages(messagesFilePath(s.settings.workPath));
    const HeadersFile& headers = packetHeadersFile(s);
    for (const IndexFileEntry& index : packet.indexFiles) {
        if (index.conferencePosition < 0)
            continue;
        const ConferenceEntry& conf =
            s.packet.control.Conferences[std::size_t(index.conferencePosition)];
        if (only && conf.ConferenceNumber != *only)
            continue;
        for (std::int32_t block : readConferenceIndex(s.settings.workPath, index))
            io.print(cliListLine(s, messages, headers, conf.ConferenceNumber, block, ui));
    }
}

// The messages as the browser lists them in `order`: its conference list, each conference
// loaded and sorted by the browser itself.
void listInBrowserOrder(CliPacket& packet, CliUiServices& ui, CliIo& io, std::optional<int> only,
                        MessageOrder order) {
    Session& s = packet.session;
    buildConferenceList(s);
    s.browser.SortOrder = order;
    BlockFile messages(messagesFilePath(s.settings.workPath));
    const HeadersFile& headers = packetHeadersFile(s);
    for (std::size_t line = 0; line < s.packet.indexFiles.size(); ++line) {
        const int position = s.packet.indexFiles[line].conferencePosition;
        if (position < 0)
            continue;
        const int number = s.packet.control.Conferences[std::size_t(position)].ConferenceNumber;
        if (only && number != *only)
            continue;
        listConference(s, ui, int(line));
        const BrowserState& b = s.browser;
        for (std::size_t k = 0; k < b.ListOrder.size(); ++k) {
            QString text = cliListLine(s, messages, headers, number, b.ListOrder[k], ui);
            // In the thread order an answer's subject stands under what it answers.
            if (k < b.ListDepth.size())
                text.insert(text.lastIndexOf(QLatin1Char('\t')) + 1,
                            QString(2 * qsizetype(std::min(b.ListDepth[k], kMaxThreadIndent)),
                                    QLatin1Char(' ')));
            io.print(text);
        }
    }
}

int run(const QStringList& arguments, CliIo& io) {
    QStringList args = arguments;
    // Without --sort the index files' order, which is none of the browser's.
    std::optional<MessageOrder> order;
    if (const qsizetype at = args.indexOf(QStringLiteral("--sort")); at >= 0) {
        order = at + 1 < args.size() ? sortOrderOf(args[at + 1]) : std::nullopt;
        if (!order) {
            io.fail(kUsage);
            return 2;
        }
        args.remove(at, 2);
    }
    const auto numbers = cliPacketNumbers(args, 0, 1, kUsage, io);
    if (!numbers)
        return 2;
    std::optional<int> only;
    if (!numbers->empty())
        only = numbers->front();
    CliUiServices ui(io);
    const auto packet = openCliPacket(args[0], io, ui, only);
    if (!packet)
        return 1;
    const bool listed = runAction(ui, [&] {
        if (order)
            listInBrowserOrder(*packet, ui, io, only, *order);
        else
            listInIndexOrder(*packet, ui, io, only);
    });
    return listed ? 0 : 1;
}

const CliRegistrar
    registrar("list", "PAQUET [CONFÉRENCE] [--sort numero|auteur|destinataire|sujet|fil]", &run);

} // namespace

} // namespace velk
