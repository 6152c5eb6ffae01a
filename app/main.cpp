// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Program.h"
#include "app/StartUpWarmUp.h"
#include "core/Archiver.h"
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
    // The menu stays in the main window on every desktop, as the program shows it, rather than
    // leave a bare window on desktops with a global menu bar.
    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    // Once unzip runs, since a second thread any sooner slows its start, and only beside an
    // unpacking shorter than the application object's building (some 4 MB).
    constexpr std::uint64_t kShortUnpack = 4 << 20;
    StartUpWarmUp warmUp(!session.pendingUnpack ||
                         session.pendingUnpack->waitedSize() < kShortUnpack);
    QApplication app(argc, argv);
    warmUp.applicationReady();
    installFrench(app);
    QtUiServices ui(QString{});
    const int code = runProgram(session, ui, QApplication::arguments().mid(1));
    warmUp.finish();
    return code;
}
