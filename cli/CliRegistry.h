// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <istream>
#include <ostream>

namespace velk {

// What a command of velk-cli gets: its arguments (after the command name), the two output
// streams, UTF-8, and the standard input for the commands that read a text.
struct CliIo {
    std::ostream& out;
    std::ostream& err;
    std::istream* in = nullptr;
    void print(const QString& text) { out << text.toStdString(); }
    void fail(const QString& text) { err << text.toStdString() << '\n'; }
};

using CliCommandFn = int (*)(const QStringList& args, CliIo& io);

// A command registers itself from its own file: static CliRegistrar r("info", "...", &run);
struct CliRegistrar {
    CliRegistrar(const char* name, const char* usage, CliCommandFn run);
};

// Runs "velk-cli <command> args...": the exit status. Without `in`, standard input.
int runCli(const QStringList& args, std::ostream& out, std::ostream& err);
int runCli(const QStringList& args, std::istream& in, std::ostream& out, std::ostream& err);

// A script reads standard error for the French messages only: Qt's remark about a missing
// XDG runtime directory (root, cron) is not one of them. Called first in main().
void quietQtRemarks();

} // namespace velk
