// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

inline constexpr const char* kVelkVersion = "0.22.32";
