// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliPacket.h"
#include "core/ActionGuard.h"
#include "mail/PacketExport.h"

#include <QFileInfo>

namespace velk {

namespace {

const QString kUsage =
    QStringLiteral("Usage : velk-cli export PAQUET --mbox FICHIER|--json FICHIER [--conference N]");

// Takes "--option VALUE" out of the arguments; false when the option ends them or comes twice.
bool takeOption(QStringList& args, const QString& option, std::optional<QString>& value) {
    const qsizetype at = args.indexOf(option);
    if (at < 0)
        return true;
    if (at + 1 >= args.size())
        return false;
    value = args[at + 1];
    args.remove(at, 2);
    return !args.contains(option);
}

bool isSameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

int run(const QStringList& arguments, CliIo& io) {
    QStringList args = arguments;
    std::optional<QString> mbox, json, conference;
    if (!takeOption(args, QStringLiteral("--mbox"), mbox) ||
        !takeOption(args, QStringLiteral("--json"), json) ||
        !takeOption(args, QStringLiteral("--conference"), conference) || args.size() != 1 ||
        (!mbox && !json) || (mbox && json && *mbox == *json)) {
        io.fail(kUsage);
        return 2;
    }
    std::optional<int> only;
    if (conference) {
        only = cliNumber(*conference, io);
        if (!only)
            return 2;
    }
    std::vector<ExportTarget> targets;
    if (mbox)
        targets.push_back({ExportFormat::Mbox, *mbox});
    if (json)
        targets.push_back({ExportFormat::Json, *json});
    // The packet is what the user keeps: an export never goes over it.
    for (const ExportTarget& t : targets) {
        if (isSameFile(t.path, args[0])) {
            io.fail(QStringLiteral("Le fichier %1 est le paquet lui-même.").arg(t.path));
            return 1;
        }
    }
    CliUiServices ui(io);
    const auto packet = openCliPacket(args[0], io, ui, only);
    if (!packet)
        return 1;
    std::size_t count = 0;
    const bool exported = runReported(ui, [&](Diagnostics& said) {
        count = exportPacket(packet->session, packet->indexFiles, only, targets, said);
    });
    if (exported)
        io.print(QStringLiteral("%1 message(s) exporté(s).\n").arg(count));
    return exported ? 0 : 1;
}

const CliRegistrar registrar("export", "PAQUET --mbox FICHIER|--json FICHIER [--conference N]",
                             &run);

} // namespace

} // namespace velk
