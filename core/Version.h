// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

namespace velk {

inline constexpr const char* kVelkVersion = "0.22.32";

} // namespace velk
