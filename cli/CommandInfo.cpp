// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliPacket.h"
#include "core/ActionGuard.h"
#include "core/PacketDate.h"
#include "packet/IndexFiles.h"

namespace velk {

namespace {

int run(const QStringList& args, CliIo& io) {
    if (args.size() != 1) {
        io.fail(QStringLiteral("Usage : velk-cli info PAQUET"));
        return 2;
    }
    CliUiServices ui(io);
    const auto packet = openCliPacket(args[0], io, ui, std::nullopt, CliMessages::CountedOnly);
    if (!packet)
        return 1;
    const PacketControl& c = packet->session.packet.control;
    QString date = cliText(c.PacketDate);
    runAction(ui, [&] { date = LongPacketDate(c.PacketDate); });
    QString out;
    out += QStringLiteral("BBS : ") + cliText(c.BbsName) + QStringLiteral(" (") +
           cliText(c.BbsCity) + QStringLiteral(", ") + cliText(c.BbsRegion) + QStringLiteral(")\n");
    out += QStringLiteral("Sysop : ") + cliText(c.SysopName) + QLatin1Char('\n');
    out += QStringLiteral("Board ID : ") + cliText(c.BbsId) + QLatin1Char('\n');
    out += QStringLiteral("Votre nom : ") + cliText(c.UserName) + QLatin1Char('\n');
    out += QStringLiteral("Date Paquet : ") + date + QLatin1Char('\n');
    out +=
        QStringLiteral("Heure Paquet : ") + cliText(c.PacketTime.substr(0, 5)) + QLatin1Char('\n');
    out += QStringLiteral("Door : ") + cliText(c.DoorName).trimmed() + QLatin1Char(' ') +
           cliText(c.DoorVersion).trimmed() + QLatin1Char('\n');
    out +=
        QStringLiteral("Conférences : ") + QString::number(c.ConferenceCount) + QLatin1Char('\n');
    for (int p = 0; p < c.ConferenceCount; ++p) {
        const ConferenceEntry& e = c.Conferences[std::size_t(p)];
        const IndexFileEntry* index = indexFileOf(packet->indexFiles, p);
        const QString count =
            index ? QStringLiteral("(%1)").arg(index->messageCount) : QStringLiteral("-");
        out += QStringLiteral("  %1%2%3\n")
                   .arg(e.ConferenceNumber, -5)
                   .arg(count, -7)
                   .arg(cliText(e.ConferenceName));
    }
    out += QStringLiteral("Bulletins : ") + QString::number(c.BulletinCount) + QLatin1Char('\n');
    for (const std::string& b : c.BulletinFiles)
        out += QStringLiteral("  ") + cliText(b) + QLatin1Char('\n');
    io.print(out);
    return 0;
}

const CliRegistrar registrar("info", "PAQUET", &run);

} // namespace

} // namespace velk
