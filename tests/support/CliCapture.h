// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "cli/CliRegistry.h"

#include <QStringList>

#include <sstream>
#include <string>

namespace velk {

// velk-cli run in the test's own process, its standard input given, its outputs kept as
// the bytes written.
struct CliBytesRun {
    int status;
    std::string out, err;
};

inline CliBytesRun runCliBytes(const QStringList& args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runCli(args, in, out, err);
    return {status, out.str(), err.str()};
}

// The same, its outputs read as UTF-8 text.
struct CliRun {
    int status;
    QString out, err;
};

inline CliRun runCliCaptured(const QStringList& args, const std::string& input = {}) {
    CliBytesRun run = runCliBytes(args, input);
    return {run.status, QString::fromStdString(run.out), QString::fromStdString(run.err)};
}

} // namespace velk
