// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliPacket.h"
#include "core/ActionGuard.h"
#include "core/FileUtil.h"
#include "mail/PacketSearch.h"
#include "packet/HeaderExtensions.h"
#include "packet/MessageStore.h"

namespace velk {

namespace {

const QString kUsage = QStringLiteral("Usage : velk-cli search PAQUET TEXTE [--conference N] "
                                      "[--in sujet,auteur,destinataire,texte] [--case] [--word]");

// The fields of a comma list of the window's words; 0 when a word is none of them.
unsigned fieldsOf(const QString& list) {
    unsigned fields = 0;
    for (const QString& word : list.split(QLatin1Char(','))) {
        const QString w = word.trimmed().toLower();
        if (w == QLatin1String("sujet"))
            fields |= SearchSubject;
        else if (w == QLatin1String("auteur"))
            fields |= SearchAuthor;
        else if (w == QLatin1String("destinataire"))
            fields |= SearchRecipient;
        else if (w == QLatin1String("texte"))
            fields |= SearchText;
        else
            return 0;
    }
    return fields;
}

// Like grep: 0 with hits, 1 without, 2 for anything that stopped the search, so that a
// script tells "not found" from "could not look".
int run(const QStringList& args, CliIo& io) {
    SearchRequest request;
    QStringList operands;
    bool options = true;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (!options || !a.startsWith(QLatin1String("--"))) {
            operands << a;
        } else if (a == QLatin1String("--")) {
            options = false; // a text that starts with "--" comes after it
        } else if (a == QLatin1String("--case")) {
            request.matchCase = true;
        } else if (a == QLatin1String("--word")) {
            request.wholeWord = true;
        } else if (a == QLatin1String("--in") && hasValue) {
            request.fields = fieldsOf(args[++i]);
            if (request.fields == 0) {
                io.fail(kUsage);
                return 2;
            }
        } else if (a == QLatin1String("--conference") && hasValue) {
            request.conference = cliNumber(args[++i], io);
            if (!request.conference)
                return 2;
        } else {
            io.fail(kUsage);
            return 2;
        }
    }
    if (operands.size() != 2 || operands[1].isEmpty()) {
        io.fail(kUsage);
        return 2;
    }
    request.text = operands[1];
    CliUiServices ui(io);
    const auto packet = openCliPacket(operands[0], io, ui, request.conference);
    if (!packet)
        return 2;
    Session& s = packet->session;
    std::size_t found = 0;
    const bool searched = runAction(ui, [&] {
        PacketSearch search(s, request);
        BlockFile messages(messagesFilePath(s.settings.workPath));
        const HeadersFile& headers = packetHeadersFile(s);
        // Each slice's hits printed as they come: memory stays flat whatever the number found.
        std::vector<SearchHit> hits;
        for (bool more = true; more;) {
            more = search.searchSome(hits, std::chrono::milliseconds(250));
            for (const SearchHit& hit : hits)
                io.print(
                    cliListLine(s, messages, headers, hit.conferenceNumber, hit.headerBlock, ui));
            found += hits.size();
            hits.clear();
        }
    });
    if (!searched)
        return 2;
    if (found == 0) {
        io.fail(QStringLiteral("Aucun message trouvé."));
        return 1;
    }
    return 0;
}

const CliRegistrar registrar("search",
                             "PAQUET TEXTE [--conference N] [--in sujet,auteur,destinataire,texte] "
                             "[--case] [--word]",
                             &run);

} // namespace

} // namespace velk
