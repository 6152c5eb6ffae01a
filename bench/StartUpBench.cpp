// SPDX-License-Identifier: GPL-2.0-or-later
// What a packet named on the command line waits for, after the application object, before
// its window can show: the windows built and the main window shown. Only the main and the
// packet windows are built first (FirstWindows); the others follow while the packet window
// shows, once (the rest). The whole start-up is timed from outside, the window's mapping
// beside unzip alone, as a user sees it; this is the part inside the process.
#include "bench/support/WidgetBenchMain.h"
#include "core/UiServices.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "ui/main/TForm1.h"
#include "ui/main/Windows.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace velk {

namespace {

void BuildAndShow(benchmark::State& state, bool firstOnly) {
    ConfiguredDirectories dirs;
    Session session;
    dirs.configure(session);
    HeadlessUiServices ui;
    std::unique_ptr<Windows> w;
    for (auto _ : state) {
        w = firstOnly ? createFirstWindows(session, ui) : createWindows(session, ui);
        w->Form1->show();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        state.PauseTiming();
        w->complete();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(BuildAndShow, FirstWindows, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildAndShow, AllWindows, false)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace velk

int main(int argc, char** argv) {
    return velk::runWidgetBenchmarks(argc, argv);
}
