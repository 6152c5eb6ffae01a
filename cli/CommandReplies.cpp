// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliRegistry.h"

#include "core/Archiver.h"
#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "packet/MessageHeader.h"
#include "packet/MessageStore.h"
#include "reply/ReplyFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace velk {

namespace {

QString field(const std::string& dos) {
    return dosToUnicode(trimRight(dos));
}

QString column(const std::string& dos, int width) {
    return field(dos).leftJustified(width);
}

// Unpacks a reply packet into `into` through the same vetting as every packet.
void unpack(const QString& packet, const QString& into) {
    const UnpackResult r = unpackArchive(packet, into);
    if (!r.ok())
        throw VelkError(unpackFailureMessages(packet, r).join(QLatin1Char('\n')));
}

QString headerLine(int index, const MessageHeader& h, int records) {
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10\n")
        .arg(index, 4)
        .arg(h.isPrivate() ? QLatin1Char('P') : QLatin1Char('-'))
        .arg(h.conference, 5)
        .arg(column(h.date, 8), column(h.time, 5), column(h.recipient, 25), column(h.author, 25),
             column(h.subject, 25), column(h.reference, 8))
        .arg(records);
}

int run(const QStringList& args, CliIo& io) {
    QString path;
    std::optional<int> readIndex;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--read") && i + 1 < args.size()) {
            bool ok = false;
            readIndex = args[++i].toInt(&ok);
            if (!ok || *readIndex < 0) {
                io.fail(QStringLiteral("Numéro de message incorrect : ") + args[i]);
                return 2;
            }
        } else if (path.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
            path = args[i];
        } else {
            io.fail(QStringLiteral("Usage : velk-cli replies FICHIER [--read N]"));
            return 2;
        }
    }
    if (path.isEmpty()) {
        io.fail(QStringLiteral("Usage : velk-cli replies FICHIER [--read N]"));
        return 2;
    }
    try {
        if (!QFileInfo(path).isFile())
            throw VelkError(QStringLiteral("Fichier introuvable : ") + path);
        TemporaryDirectory unpacked;
        QString replyFile = path;
        if (path.endsWith(QLatin1String(".REP"), Qt::CaseInsensitive)) {
            if (!unpacked.isValid())
                throw VelkError::io(IoCode::AccessDenied);
            unpack(path, unpacked.path());
            const QStringList found = findFiles(unpacked.path(), QStringLiteral("*.MSG"));
            if (found.isEmpty())
                throw VelkError(QStringLiteral("Le paquet ") + path +
                                QStringLiteral(" ne contient aucun fichier de réponses."));
            replyFile = joinPath(unpacked.path(), found.first());
        }
        const std::vector<ReplyTableEntry> table = ListReplyFile(replyFile);
        if (table.empty())
            throw VelkError(QStringLiteral("Le fichier ") + path +
                            QStringLiteral(" ne contient aucun message."));
        MessageStoreState store;
        const auto headerAt = [&](const ReplyTableEntry& e) {
            ReadReplyHeader(replyFile, e.headerRecord, store);
            return store.CurrentHeader;
        };
        if (readIndex) {
            if (*readIndex >= int(table.size()))
                throw VelkError(
                    QStringLiteral("Le fichier ne contient pas de message %1 (%2 message(s)).")
                        .arg(*readIndex)
                        .arg(table.size()));
            const ReplyTableEntry& e = table[std::size_t(*readIndex)];
            const MessageHeader h = headerAt(e);
            io.print(QStringLiteral("Statut : %1\n")
                         .arg(h.isPrivate() ? QStringLiteral("Privé") : QStringLiteral("Public")));
            io.print(QStringLiteral("Conférence : %1\n").arg(h.conference));
            io.print(QStringLiteral("Date : %1 %2\n").arg(field(h.date), field(h.time)));
            io.print(QStringLiteral("Destinataire : ") + field(h.recipient) + QLatin1Char('\n'));
            io.print(QStringLiteral("Auteur : ") + field(h.author) + QLatin1Char('\n'));
            io.print(QStringLiteral("Sujet : ") + field(h.subject) + QLatin1Char('\n'));
            io.print(QStringLiteral("Référence : ") + field(h.reference) + QLatin1Char('\n'));
            io.print(QStringLiteral("Blocs : %1\n\n").arg(e.blockCount));
            ReadReplyText(replyFile, e.headerRecord + 1, h.blockCount, store);
            io.print(dosTextToUnicode(store.MessageText) + QLatin1Char('\n'));
            return 0;
        }
        io.print(QStringLiteral("   N S  Conf Date     Heure %1 %2 %3 %4 Blocs\n")
                     .arg(QStringLiteral("Destinataire").leftJustified(25),
                          QStringLiteral("Auteur").leftJustified(25),
                          QStringLiteral("Sujet").leftJustified(25),
                          QStringLiteral("Réf.").leftJustified(8)));
        for (std::size_t i = 0; i < table.size(); ++i)
            io.print(headerLine(int(i), headerAt(table[i]), table[i].blockCount));
        return 0;
    } catch (const VelkError& e) {
        io.fail(e.message());
        return 1;
    }
}

const CliRegistrar registrar("replies", "FICHIER.REP|FICHIER.MSG [--read N]", &run);

} // namespace

} // namespace velk
