// SPDX-License-Identifier: GPL-2.0-or-later
// The opening as a user sees it: from the launch of the program on a packet to its packet
// window mapped on the X display, beside "unzip -o -qq" of the same packet in the same
// iterations. Packets of 1, 10,000, 100,000 and 300,000 ordinary messages; the counters give
// both times and their ratio (goals: 40 ms for one message, 1.3 at 10,000, 1.05 above), and
// beside them the floor: a bare Qt window launched and mapped the same way.
// The program runs from a directory laid out as run.sh lays it out; it needs a display
// (Xvfb will do) and is killed once its window is mapped.
#include "bench/support/BenchPackets.h"
#include "core/FileUtil.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

extern char** environ;

namespace velk {

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A program directory of its own with one packet in QWK.
struct ProgramDirectory {
    QTemporaryDir root;
    QString packet;

    explicit ProgramDirectory(int messages) {
        QProcess layout;
        layout.start(QStringLiteral("bash"),
                     {QStringLiteral(VELK_SOURCE_DIR "/scripts/layout-program.sh"), root.path(),
                      QStringLiteral(VELK_BUILD_DIR), QStringLiteral(VELK_SOURCE_DIR "/data")});
        layout.waitForFinished(-1);
        packet = joinPath(root.path(), QStringLiteral("QWK/VELKTEST.QWK"));
        zipOrdinaryPacket(messages, packet);
    }
    QString work() const { return joinPath(root.path(), QStringLiteral("WORK")); }
};

void emptyDirectory(const QString& path) {
    QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(name);
}

bool named(Display* display, Window window, const char* name) {
    XTextProperty property{};
    if (!XGetWMName(display, window, &property) || !property.value)
        return false;
    const bool same = std::strcmp(reinterpret_cast<const char*>(property.value), name) == 0;
    XFree(property.value);
    return same;
}

// Launches the program on the packet and waits for the top-level window of that name to be
// mapped; the milliseconds from the launch, or a negative value when the program ended first.
double launchToMap(Display* display, const QString& program, const QString& packet,
                   const char* windowName) {
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);
    const QByteArray programPath = program.toLocal8Bit();
    const QByteArray packetPath = packet.toLocal8Bit();
    char* argv[] = {const_cast<char*>(programPath.constData()),
                    const_cast<char*>(packetPath.constData()), nullptr};
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0)
        return -1;
    double mapped = -1;
    while (mapped < 0) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return -1;
        while (mapped < 0 && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && named(display, event.xmap.window, windowName))
                mapped = msSince(start);
        }
        if (mapped < 0) {
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, 5);
        }
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    XSelectInput(display, DefaultRootWindow(display), NoEventMask);
    return mapped;
}

// Launches are skewed by the odd slow one (a page cache refill, another process): medians.
double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2),
                     values.end());
    return values[values.size() / 2];
}

void LaunchToPacketWindow(benchmark::State& state) {
    Display* display = XOpenDisplay(nullptr);
    for (int attempt = 0; !display && attempt < 10; ++attempt) {
        // The server may still be closing the connections of the killed programs.
        poll(nullptr, 0, 100);
        display = XOpenDisplay(nullptr);
    }
    if (!display) {
        state.SkipWithError("no X display (run under Xvfb)");
        return;
    }
    ProgramDirectory& dir = onePacketAtATime<ProgramDirectory>(int(state.range(0)));
    const QString program = joinPath(dir.root.path(), QStringLiteral("velk"));
    std::vector<double> unzipMs, windowMs, floorMs;
    for (auto _ : state) {
        emptyDirectory(dir.work());
        const Clock::time_point start = Clock::now();
        QProcess unzip;
        unzip.setStandardInputFile(QProcess::nullDevice());
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-o"), QStringLiteral("-qq"),
                                              dir.packet, QStringLiteral("-d"), dir.work()});
        unzip.waitForFinished(-1);
        unzipMs.push_back(msSince(start));

        emptyDirectory(dir.work());
        const double mapped = launchToMap(display, program, dir.packet, "Velk");
        if (mapped < 0) {
            state.SkipWithError("the program ended before its packet window showed");
            break;
        }
        windowMs.push_back(mapped);
        state.SetIterationTime(mapped / 1000);
        if (const double floor =
                launchToMap(display, QStringLiteral(VELK_BARE_WINDOW), dir.packet, "Velk");
            floor >= 0)
            floorMs.push_back(floor);
    }
    emptyDirectory(dir.work());
    XCloseDisplay(display);
    state.counters["unzip_ms"] = median(unzipMs);
    state.counters["window_ms"] = median(windowMs);
    state.counters["window_ratio"] = median(windowMs) / median(unzipMs);
    state.counters["bare_window_ms"] = median(floorMs);
}
BENCHMARK(LaunchToPacketWindow)
    ->Arg(1)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(300000)
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

} // namespace

} // namespace velk
