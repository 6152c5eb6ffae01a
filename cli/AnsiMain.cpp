// SPDX-License-Identifier: GPL-2.0-or-later
// velk-ansi: the drawing half of "velk-cli ansi", a program of its own so that velk-cli
// loads no display library for its other commands. velk-cli runs it with the command's
// arguments; its messages and status are the command's.
#include "cli/CliRegistry.h"

#include "core/DosFont.h"
#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "packet/AnsiRenderer.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>

#include <iostream>
#include <new>

namespace velk {

namespace {

// The messages a step gives, on standard error as velk-cli writes them.
bool reported(const Diagnosed<bool>& step, CliIo& io) {
    for (const Diagnostic& d : step.diagnostics.items())
        io.fail(d.text);
    return step.value;
}

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

    AnsiRendererState state;
    state.BrightColours = bright;
    QImage image;
    try {
        // The viewer's sequence: measure, then draw on the measured image.
        if (!reported(MeasureAnsiFile(state, source, image), io))
            return 1;
        if (!reported(ShowAnsiFile(state, image, source), io))
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

} // namespace

} // namespace velk

int main(int argc, char** argv) {
    velk::quietQtRemarks();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    // Drawing screens into images needs a GUI application, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    velk::CliIo io{std::cout, std::cerr};
    return velk::run(args, io);
}
