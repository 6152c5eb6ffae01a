// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliRegistry.h"

#include <iostream>
#include <map>
#include <string>

namespace velk {

namespace {
struct Command {
    std::string usage;
    CliCommandFn run;
};
std::map<std::string, Command>& commands() {
    static std::map<std::string, Command> all;
    return all;
}

void usage(std::ostream& err) {
    err << "Usage : velk-cli COMMANDE ARGUMENTS...\n";
    for (const auto& [name, c] : commands())
        err << "  velk-cli " << name << ' ' << c.usage << '\n';
}
} // namespace

CliRegistrar::CliRegistrar(const char* name, const char* usage, CliCommandFn run) {
    commands()[name] = Command{usage, run};
}

int runCli(const QStringList& args, std::ostream& out, std::ostream& err) {
    return runCli(args, std::cin, out, err);
}

int runCli(const QStringList& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("-h")) {
        usage(args.isEmpty() ? err : out);
        return args.isEmpty() ? 2 : 0;
    }
    const auto it = commands().find(args.first().toStdString());
    if (it == commands().end()) {
        err << "Commande inconnue : " << args.first().toStdString() << '\n';
        usage(err);
        return 2;
    }
    CliIo io{out, err, &in};
    return it->second.run(args.mid(1), io);
}

namespace {
QtMessageHandler qtHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    qtHandler(type, context, message);
}
} // namespace

void quietQtRemarks() {
    qtHandler = qInstallMessageHandler(quietHandler);
}

} // namespace velk
