// SPDX-License-Identifier: GPL-2.0-or-later
#include "board/SubscriptionQueue.h"
#include "cli/CliBoard.h"
#include "cli/CliPacket.h"
#include "core/ActionGuard.h"
#include "core/FileUtil.h"

namespace velk {

namespace {

const QString kQueueUsage = QStringLiteral(
    "Usage : velk-cli abonnement PAQUET CONFÉRENCE ajouter|retirer [--repertoire RÉPERTOIRE]");
const QString kListUsage =
    QStringLiteral("Usage : velk-cli demandes PAQUET [--repertoire RÉPERTOIRE]");

// The program directory, where the board's queue is kept (cliProgramDirectory). False after
// the usage when the option lacks its value.
bool takeProgramDirectory(QStringList& args, Session& s, const QString& usage, CliIo& io) {
    const auto directory = cliProgramDirectory(args, usage, io);
    if (directory)
        s.startDirectory = *directory;
    return directory.has_value();
}

int queue(const QStringList& arguments, CliIo& io) {
    QStringList args = arguments;
    Session directory;
    if (!takeProgramDirectory(args, directory, kQueueUsage, io))
        return 2;
    const QString word = args.size() == 3 ? args[2].toLower() : QString();
    if (word != QLatin1String("ajouter") && word != QLatin1String("retirer")) {
        io.fail(kQueueUsage);
        return 2;
    }
    const auto conference = cliNumber(args[1], io);
    if (!conference)
        return 2;
    CliUiServices ui(io);
    const auto packet = openCliPacket(args[0], io, ui, *conference);
    if (!packet)
        return 1;
    Session& s = packet->session;
    s.startDirectory = directory.startDirectory;
    QString refusal;
    if (!runAction(ui, [&] {
            refusal =
                queueSubscription(s, std::uint16_t(*conference),
                                  word == QLatin1String("ajouter") ? SubscriptionAction::Add
                                                                   : SubscriptionAction::Drop);
        }))
        return 1;
    if (!refusal.isEmpty()) {
        io.fail(refusal);
        return 1;
    }
    return 0;
}

int list(const QStringList& arguments, CliIo& io) {
    QStringList args = arguments;
    Session directory;
    if (!takeProgramDirectory(args, directory, kListUsage, io))
        return 2;
    if (args.size() != 1) {
        io.fail(kListUsage);
        return 2;
    }
    CliUiServices ui(io);
    const auto packet = openCliPacket(args[0], io, ui);
    if (!packet)
        return 1;
    Session& s = packet->session;
    s.startDirectory = directory.startDirectory;
    const auto name = [&](std::uint16_t number) {
        for (const ConferenceEntry& c : s.packet.control.Conferences)
            if (c.ConferenceNumber == number)
                return cliText(c.ConferenceName);
        return QString();
    };
    const bool listed = runAction(ui, [&] {
        for (const SubscriptionRequest& r : readSubscriptionQueue(s))
            io.print(QStringLiteral("%1\t%2\t%3\n")
                         .arg(r.conference)
                         .arg(r.action == SubscriptionAction::Add ? QStringLiteral("ajouter")
                                                                  : QStringLiteral("retirer"))
                         .arg(name(r.conference)));
    });
    return listed ? 0 : 1;
}

const CliRegistrar queueRegistrar("abonnement",
                                  "PAQUET CONFÉRENCE ajouter|retirer [--repertoire RÉPERTOIRE]",
                                  &queue);
const CliRegistrar listRegistrar("demandes", "PAQUET [--repertoire RÉPERTOIRE]", &list);

} // namespace

} // namespace velk
