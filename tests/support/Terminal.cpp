// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/Terminal.h"

#include <QFile>

#include <algorithm>
#include <csignal>
#include <string>
#include <vector>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velk {

TerminalRun runOnTerminal(const QString& program, const QStringList& arguments,
                          const QStringList& environment, std::chrono::milliseconds timeout) {
    // Everything the child needs is made before the fork.
    std::vector<std::string> argStrings{QFile::encodeName(program).toStdString()};
    for (const QString& a : arguments)
        argStrings.push_back(QFile::encodeName(a).toStdString());
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        const QString entry = QString::fromLocal8Bit(*e);
        const QString name = entry.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
        const bool replaced = std::any_of(environment.begin(), environment.end(),
                                          [&](const QString& a) { return a.startsWith(name); });
        if (!replaced)
            envStrings.emplace_back(*e);
    }
    for (const QString& e : environment)
        envStrings.push_back(e.toStdString());
    std::vector<char*> argv, envp;
    for (std::string& s : argStrings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    for (std::string& s : envStrings)
        envp.push_back(s.data());
    envp.push_back(nullptr);

    TerminalRun run;
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0)
        return run;
    if (pid == 0) {
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    bool reaped = false;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 50) > 0) {
            char buffer[4096];
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            if (got > 0)
                run.output.append(buffer, got);
        }
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            reaped = true;
            break;
        }
    }
    if (!reaped) {
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    } else {
        run.finished = true;
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        // What is still in the terminal's buffer.
        pollfd p{master, POLLIN, 0};
        char buffer[4096];
        while (::poll(&p, 1, 0) > 0) {
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            if (got <= 0)
                break;
            run.output.append(buffer, got);
        }
    }
    ::close(master);
    return run;
}

} // namespace velk
