// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/SkippedUnderCi.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace velk;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return failSkippedTestsUnderCi(RUN_ALL_TESTS());
}
