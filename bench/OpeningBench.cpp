// SPDX-License-Identifier: GPL-2.0-or-later
// Opening packets of 10,000, 100,000 and 300,000 ordinary messages (4 to 5 blocks each)
// against "unzip -o -qq" of the same packet, timed in the same iterations. The counters
// are ratios to unzip alone: to the packet window (goal 1.05) and to the first conference
// listed (goal 1.1).
#include "bench/support/BenchPackets.h"
#include "core/UiServices.h"
#include "mail/Browser.h"
#include "packet/PacketOpening.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/Reported.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <memory>

namespace velk {

namespace {

struct ZippedPacket {
    ConfiguredDirectories dirs;
    QString path;

    explicit ZippedPacket(int messages) {
        Session s;
        dirs.configure(s);
        path = joinPath(dirs.dir(QStringLiteral("QWK")), QStringLiteral("VELKTEST.QWK"));
        zipOrdinaryPacket(messages, path);
    }
};

void emptyWork(const QString& work) {
    QDir dir(work);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(name);
}

void OpenAgainstUnzip(benchmark::State& state) {
    const int messages = int(state.range(0));
    // One packet at a time: the largest is some 200 MB.
    ZippedPacket& p = onePacketAtATime<ZippedPacket>(messages);
    const QString work = p.dirs.dir(QStringLiteral("WORK"));
    double unzipMs = 0, windowMs = 0, firstMs = 0;
    for (auto _ : state) {
        emptyWork(work);
        QElapsedTimer t;
        t.start();
        QProcess unzip;
        unzip.setStandardInputFile(QProcess::nullDevice());
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-o"), QStringLiteral("-qq"), p.path,
                                              QStringLiteral("-d"), work});
        unzip.waitForFinished(-1);
        unzipMs += double(t.nsecsElapsed()) / 1e6;

        // As after the packet window's closing: the work directory is empty.
        emptyWork(work);
        Session s;
        HeadlessUiServices ui;
        p.dirs.configure(s);
        s.openFromCommandLine = true;
        s.commandLinePacket = p.path;
        t.start();
        const auto fields = openQwkPacket(s, ui);
        windowMs += double(t.nsecsElapsed()) / 1e6;
        if (!fields) {
            state.SkipWithError("the packet did not open");
            break;
        }
        // As the packet window does once on screen, then its mail button.
        startMessagesUnpack(s);
        if (!messagesFileReady(s, ui)) {
            state.SkipWithError("the messages were not unpacked");
            break;
        }
        buildConferenceList(s);
        benchmark::DoNotOptimize(REPORTED_TO(ui, listConference(s, said, 0)));
        firstMs += double(t.nsecsElapsed()) / 1e6;
    }
    const double n = double(state.iterations());
    state.counters["unzip_ms"] = unzipMs / n;
    state.counters["window_ms"] = windowMs / n;
    state.counters["first_conf_ms"] = firstMs / n;
    state.counters["window_ratio"] = windowMs / unzipMs;
    state.counters["first_conf_ratio"] = firstMs / unzipMs;
}
BENCHMARK(OpenAgainstUnzip)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(300000)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

} // namespace velk
