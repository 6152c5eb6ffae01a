// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/Diagnostics.h"

// A call of logic that reports into `said`, its messages shown to `ui` as the windows show them
// (reportedTo), so that the tests keep checking what the user sees.
#define REPORTED_TO(ui, ...)                                                                       \
    ::velk::reportedTo((ui),                                                                       \
                       [&](::velk::Diagnostics& said) -> decltype(auto) { return __VA_ARGS__; })
