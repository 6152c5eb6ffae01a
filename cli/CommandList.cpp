// SPDX-License-Identifier: GPL-2.0-or-later
#include "board/BoardMarks.h"
#include "cli/CliBoard.h"
#include "cli/CliPacket.h"
#include "core/ActionGuard.h"
#include "core/FileUtil.h"
#include "mail/Browser.h"
#include "mail/ReadingState.h"
#include "mail/Threads.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageHeader.h"
#include "packet/MessageStore.h"

namespace velk {

namespace {

const QString kUsage = QStringLiteral(
    "Usage : velk-cli list PAQUET [CONFÉRENCE] [--sort numero|auteur|destinataire|sujet|fil] "
    "[--etat [--repertoire RÉPERTOIRE]]");

// A line of the list, with the message's read mark as a last column when one is asked.
struct ListLines {
    const ReadMarks* marks = nullptr;
    QString operator()(Session& s, BlockFile& messages, const HeadersFile& headers, int conference,
                       std::int32_t block, UiServices& ui) const {
        QString line = cliListLine(s, messages, headers, conference, block, ui);
        const MessageHeader& h = s.store.CurrentHeader;
        return marked(std::move(line), h.conference, h.number);
    }
    // In the thread order an answer's subject stands `depth` levels under what it answers.
    QString operator()(const HeadersFile& headers, int conference, const ListedMessage& m,
                       std::optional<std::uint32_t> depth) const {
        QString line = cliListLine(headers, conference, m);
        if (depth)
            line.insert(
                line.lastIndexOf(QLatin1Char('\t')) + 1,
                QString(2 * qsizetype(std::min(*depth, kMaxThreadIndent)), QLatin1Char(' ')));
        return marked(std::move(line), m.conference, m.number());
    }

private:
    QString marked(QString line, std::uint16_t conference, std::string_view number) const {
        if (!marks)
            return line;
        const auto key = messageKey(conference, number);
        line.chop(1);
        return line + QLatin1Char('\t') + readMarkWord(key ? marks->mark(*key) : ReadMark::Unread) +
               QLatin1Char('\n');
    }
};

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
void listInIndexOrder(CliPacket& packet, CliUiServices& ui, CliIo& io, std::optional<int> only,
                      const ListLines& cliListLine) {
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
// loaded and sorted by the browser itself, its headers read once.
void listInBrowserOrder(CliPacket& packet, CliUiServices& ui, CliIo& io, std::optional<int> only,
                        MessageOrder order, const ListLines& cliListLine) {
    Session& s = packet.session;
    buildConferenceList(s);
    s.browser.SortOrder = order;
    const HeadersFile& headers = packetHeadersFile(s);
    const BrowserState& b = s.browser;
    for (std::size_t line = 0; line < s.packet.indexFiles.size(); ++line) {
        const int position = s.packet.indexFiles[line].conferencePosition;
        if (position < 0)
            continue;
        const int number = s.packet.control.Conferences[std::size_t(position)].ConferenceNumber;
        if (only && number != *only)
            continue;
        reportedTo(ui, [&](Diagnostics& said) { orderConference(s, said, int(line)); });
        for (std::size_t k = 0; k < b.ListedPositions.size(); ++k)
            io.print(
                cliListLine(headers, number, b.MessageList[b.ListedPositions[k]],
                            k < b.ListDepth.size() ? std::optional(b.ListDepth[k]) : std::nullopt));
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
    const bool withMarks = args.removeAll(QStringLiteral("--etat")) > 0;
    const auto directory = cliProgramDirectory(args, kUsage, io);
    if (!directory)
        return 2;
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
    // Listing reads the marks and never writes them.
    ListLines lines;
    if (withMarks) {
        packet->session.startDirectory = *directory;
        lines.marks = &reportedTo(ui, [&](Diagnostics& said) -> ReadMarks& {
            return boardMarks(packet->session, said, true);
        });
    }
    const bool listed = runAction(ui, [&] {
        if (order)
            listInBrowserOrder(*packet, ui, io, only, *order, lines);
        else
            listInIndexOrder(*packet, ui, io, only, lines);
    });
    return listed ? 0 : 1;
}

const CliRegistrar registrar("list",
                             "PAQUET [CONFÉRENCE] [--sort numero|auteur|destinataire|sujet|fil] "
                             "[--etat [--repertoire RÉPERTOIRE]]",
                             &run);

} // namespace

} // namespace velk
