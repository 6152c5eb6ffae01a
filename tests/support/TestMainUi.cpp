// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/OpenerVisibility.h"
#include "tests/support/SkippedUnderCi.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

using namespace velk;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As the program's own services do: a dialog's hide would end its modal run.
    setOpenerVisible = [](QObject& opener, bool visible) {
        if (auto* widget = qobject_cast<QWidget*>(&opener)) {
            if (visible)
                widget->show();
            else
                widget->QWidget::setVisible(false);
        }
    };
    ::testing::InitGoogleTest(&argc, argv);
    return failSkippedTestsUnderCi(RUN_ALL_TESTS());
}
