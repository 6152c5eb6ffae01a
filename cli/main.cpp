// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliRegistry.h"

#include <QGuiApplication>

#include <cstdlib>
#include <iostream>

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
    qtHandler = qInstallMessageHandler(quietHandler);
    // Drawing screens into images needs a GUI application, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return runCli(args, std::cout, std::cerr);
}
