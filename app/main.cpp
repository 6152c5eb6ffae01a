// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Program.h"
#include "session/Session.h"
#include "ui/widgets/French.h"
#include "ui/widgets/QtUiServices.h"

#include <QApplication>

using namespace velk;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installFrench(app);
    Session session;
    QtUiServices ui(QString{});
    return runProgram(session, ui, QApplication::arguments().mid(1));
}
