// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QtGlobal>

#include <gtest/gtest.h>

#include <cstdio>

namespace velk {

// Under CI (the CI variable set) a skipped test fails the run: a tool or a permission the
// test needs is missing there, and a green run would hide what was never checked.
inline int failSkippedTestsUnderCi(int status) {
    if (status != 0 || !qEnvironmentVariableIsSet("CI"))
        return status;
    const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
    if (unit.skipped_test_count() == 0)
        return status;
    for (int i = 0; i < unit.total_test_suite_count(); ++i) {
        const ::testing::TestSuite& suite = *unit.GetTestSuite(i);
        for (int j = 0; j < suite.total_test_count(); ++j) {
            const ::testing::TestInfo& test = *suite.GetTestInfo(j);
            if (test.result()->Skipped())
                std::fprintf(stderr, "skipped under CI: %s.%s\n", suite.name(), test.name());
        }
    }
    return 1;
}

} // namespace velk
