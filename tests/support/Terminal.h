// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>

namespace velk {

struct TerminalRun {
    bool finished = false; // false: still running at the deadline, then killed
    int exitCode = -1;     // when it finished by itself
    QByteArray output;     // everything it wrote to the terminal
};

// Runs the program on a new pseudo-terminal that is its controlling terminal, as a user at
// a terminal starts it; `environment` adds NAME=value pairs to the current environment.
// Nothing is typed. Killed when it has not ended after `timeout`.
TerminalRun runOnTerminal(const QString& program, const QStringList& arguments,
                          const QStringList& environment, std::chrono::milliseconds timeout);

} // namespace velk
