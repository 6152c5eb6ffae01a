// SPDX-License-Identifier: GPL-2.0-or-later
// The main of the benchmarks that need no window: a benchmark with its own main (a GUI
// application, work before the runs) does not take this one from the library.
#include <QCoreApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
