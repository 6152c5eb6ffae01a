// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/DosFont.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace velk {

// The main of a benchmark that builds windows: an offscreen application unless a display is
// asked for, and the DOS font of the lists registered around the run. For a target that
// defines VELK_FONT_FILE.
inline int runWidgetBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int font = registerDosFont(QStringLiteral(VELK_FONT_FILE));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    unregisterDosFont(font);
    return 0;
}

} // namespace velk
