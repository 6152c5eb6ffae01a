// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliRegistry.h"
#include "cli/CliTemporaryRoot.h"

#include <QCoreApplication>

#include <cstdlib>
#include <iostream>

using namespace velk;

int main(int argc, char** argv) {
    // First, before any thread: the signals it handles are blocked for all of them.
    CliTemporaryRoot temporaries;
    quietQtRemarks();
    // Qt never sees the arguments: a packet named "-reverse" or "-style" stays a file name.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    if (!temporaries.isValid()) {
        std::cerr << "Impossible de créer un répertoire temporaire.\n";
        return 1;
    }
    return runCli(args, std::cout, std::cerr);
}
