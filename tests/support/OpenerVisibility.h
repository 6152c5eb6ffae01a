// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

class QObject;

namespace velk {

// How the scripted UI services hide and show a window's opener, as the program does: set
// by the test main of the window tests, which link Qt Widgets. Without it the opener is
// left as it is.
inline void (*setOpenerVisible)(QObject& opener, bool visible) = nullptr;

} // namespace velk
