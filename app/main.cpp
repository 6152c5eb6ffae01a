// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Program.h"
#include "session/Session.h"
#include "ui/widgets/QtUiServices.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTranslator qtFrench;
    if (qtFrench.load(QStringLiteral("qtbase_fr"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);
    Session session;
    QtUiServices ui(QString{});
    return runProgram(session, ui, QApplication::arguments().mid(1));
}
