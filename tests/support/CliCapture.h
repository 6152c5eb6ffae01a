// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "cli/CliRegistry.h"

#include <QStringList>

#include <sstream>
#include <string>

namespace velk {

// velk-cli run in the test's own process, its standard input given, its outputs kept.
struct CliRun {
    int status;
    QString out, err;
};

inline CliRun runCliCaptured(const QStringList& args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runCli(args, in, out, err);
    return {status, QString::fromStdString(out.str()), QString::fromStdString(err.str())};
}

} // namespace velk
