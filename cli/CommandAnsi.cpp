// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliRegistry.h"

#include "core/DosFont.h"
#include "core/FileUtil.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace velk {

namespace {

// The drawing needs Qt's GUI libraries, which the other commands do without: velk-ansi,
// beside velk-cli, draws the image with the same arguments, messages and status.
int run(const QStringList& args, CliIo& io) {
    const QString directory = QCoreApplication::applicationDirPath();
    const QString fontFile = joinPath(directory, kDosFontFile);
    if (!QFileInfo(fontFile).isFile()) {
        io.fail(QStringLiteral("Police %1 introuvable à côté de velk-cli : %2")
                    .arg(kDosFontFile, fontFile));
        return 1;
    }
    const QString drawer = joinPath(directory, QStringLiteral("velk-ansi"));
    if (!QFileInfo(drawer).isExecutable()) {
        io.fail(
            QStringLiteral("Programme velk-ansi introuvable à côté de velk-cli : %1").arg(drawer));
        return 1;
    }
    io.out.flush();
    io.err.flush();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(drawer, args);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit) {
        io.fail(QStringLiteral("velk-ansi s'est arrêté sans finir l'image : %1")
                    .arg(process.errorString()));
        return 1;
    }
    return process.exitCode();
}

const CliRegistrar registrar("ansi", "FICHIER IMAGE.png [--bright]", &run);

} // namespace

} // namespace velk
