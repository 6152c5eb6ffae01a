// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliPacket.h"
#include "cli/CliRegistry.h"

#include "core/DosFont.h"
#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "packet/AnsiRenderer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>

#include <new>

namespace velk {

namespace {

int run(const QStringList& args, CliIo& io) {
    QStringList files;
    bool bright = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--bright"))
            bright = true;
        else
            files.append(a);
    }
    if (files.size() != 2) {
        io.fail(QStringLiteral("Usage : velk-cli ansi FICHIER IMAGE.png [--bright]"));
        return 2;
    }
    const QString& source = files[0];
    const QString& target = files[1];

    const QString fontFile = joinPath(QCoreApplication::applicationDirPath(), kDosFontFile);
    if (!QFileInfo(fontFile).isFile() || registerDosFont(fontFile) < 0) {
        io.fail(QStringLiteral("Police %1 introuvable à côté de velk-cli : %2")
                    .arg(kDosFontFile, fontFile));
        return 1;
    }

    CliUiServices ui(io);
    AnsiRendererState state;
    state.BrightColours = bright;
    QImage image;
    try {
        // The viewer's sequence: measure, then draw on the measured image.
        if (!shown(MeasureAnsiFile(state, source, image), ui))
            return 1;
        if (!shown(ShowAnsiFile(state, image, source), ui))
            return 1;
    } catch (const std::bad_alloc&) {
        io.fail(QStringLiteral("Pas assez de mémoire pour travailler."));
        return 1;
    }
    if (image.isNull()) {
        io.fail(QStringLiteral("Le fichier %1 est vide : aucune image à écrire.").arg(source));
        return 1;
    }

    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    if (!image.save(&out, "PNG")) {
        io.fail(QStringLiteral("Impossible d'écrire l'image %1").arg(target));
        return 1;
    }
    try {
        writeFileAtomically(target, png);
    } catch (const VelkError& e) {
        io.fail(e.message());
        return 1;
    }
    return 0;
}

const CliRegistrar registrar("ansi", "FICHIER IMAGE.png [--bright]", &run);

} // namespace

} // namespace velk
