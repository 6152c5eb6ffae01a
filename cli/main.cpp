// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliRegistry.h"
#include "cli/CliTemporaryRoot.h"

#include <QGuiApplication>

#include <cstdlib>
#include <iostream>
#include <memory>

using namespace velk;

namespace {
// A script reads velk-cli's standard error for its French messages only: Qt's remark about
// a missing XDG runtime directory (root, cron) is not one of them.
QtMessageHandler qtHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    qtHandler(type, context, message);
}
} // namespace

int main(int argc, char** argv) {
    // First, before any thread: the signals it handles are blocked for all of them.
    CliTemporaryRoot temporaries;
    qtHandler = qInstallMessageHandler(quietHandler);
    // Qt never sees the arguments: a packet named "-reverse" or "-style" stays a file name.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    int qtArgc = 1;
    // Drawing screens into images needs a GUI application, never a display. The other
    // commands do without: its platform and its fonts would double the time of a short run.
    std::unique_ptr<QCoreApplication> app;
    if (!args.isEmpty() && args.first() == QLatin1String("ansi")) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(qtArgc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(qtArgc, argv);
    }
    if (!temporaries.isValid()) {
        std::cerr << "Impossible de créer un répertoire temporaire.\n";
        return 1;
    }
    return runCli(args, std::cout, std::cerr);
}
