// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QStringList>

namespace velk {

class QtUiServices;
struct Session;

// The whole run after the application object exists: start directory, font, settings and
// library checks, the windows, the event loop. Returns the process's exit code.
int runProgram(Session& session, QtUiServices& ui, const QStringList& arguments);

} // namespace velk
