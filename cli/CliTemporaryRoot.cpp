// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliTemporaryRoot.h"

#include "core/FileUtil.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace velk {

namespace {

// Sent by the destructor to the watcher alone: the program ends normally.
constexpr int kStopSignal = SIGUSR2;

// A signal the caller ignores (nohup, a background job) stays ignored.
sigset_t watchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, kStopSignal);
    for (const int s : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(s, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            sigaddset(&set, s);
    }
    return set;
}

std::vector<pid_t> children() {
    std::vector<pid_t> pids;
    std::error_code ec;
    for (auto it = fs::directory_iterator("/proc/self/task", ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::ifstream list(it->path() / "children");
        for (pid_t pid = 0; list >> pid;)
            pids.push_back(pid);
    }
    return pids;
}

// Gone, or a zombie waiting to be reaped: it writes nothing more.
bool ended(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const auto close = line.rfind(')');
    return close == std::string::npos || line.find(" Z ", close) == close + 1;
}

[[noreturn]] void cleanUpAndExit(int signal, const fs::path& root) {
    // What the main thread still prints about its children's end is not what happened.
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
    }
    const std::vector<pid_t> pids = children();
    for (const pid_t pid : pids)
        ::kill(pid, SIGKILL);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (const pid_t pid : pids) {
        while (!ended(pid) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The main thread runs on meanwhile and may be removing part of the tree itself: a
    // removal that met its work is tried again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::error_code ec;
        fs::remove_all(root, ec);
        if (!ec && !fs::exists(root, ec))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::_exit(128 + signal);
}

const QString kPrefix = QStringLiteral("velk-cli-");

// What runs killed outright left behind goes first.
QString sweptTemporaryDirectory() {
    sweepStaleTemporaries(QDir::tempPath(), kPrefix);
    return QDir::tempPath();
}

} // namespace

CliTemporaryRoot::CliTemporaryRoot() : directory_(sweptTemporaryDirectory(), kPrefix) {
    const sigset_t set = watchedSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    if (!directory_.isValid())
        return;
    qputenv("TMPDIR", QFile::encodeName(directory_.path()));
    const fs::path root = toFsPath(directory_.path());
    watcher_ = std::thread([set, root] {
        int signal = 0;
        while (::sigwait(&set, &signal) == 0) {
            if (signal == kStopSignal)
                return;
            cleanUpAndExit(signal, root);
        }
    });
}

CliTemporaryRoot::~CliTemporaryRoot() {
    if (watcher_.joinable()) {
        ::pthread_kill(watcher_.native_handle(), kStopSignal);
        watcher_.join();
    }
}

} // namespace velk
