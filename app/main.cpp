// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Program.h"
#include "session/Session.h"
#include "session/StartUp.h"
#include "ui/widgets/French.h"
#include "ui/widgets/QtUiServices.h"

#include <QApplication>
#include <QFileInfo>

using namespace velk;

int main(int argc, char** argv) {
    Session session;
    // unzip first: the application object, the fonts and the windows are built while it runs.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    startUnpackBeforeWindows(
        session, arguments,
        QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath());
    QApplication app(argc, argv);
    installFrench(app);
    QtUiServices ui(QString{});
    return runProgram(session, ui, QApplication::arguments().mid(1));
}
