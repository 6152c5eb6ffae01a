// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace velk {

struct Session;
class Diagnostics;

// A start-up check that ends the program: its French message and exit code. The checks
// return it so that main() shows it and ends, and tests read it.
struct StartUpFailure {
    int exitCode = 0;
    QString message;
};
using StartUpResult = std::optional<StartUpFailure>;

// With at least one argument the program works from its own directory, which becomes the
// current one, and the first argument is a packet to open; without, it works from the
// current directory.
void establishStartDirectory(Session& session, const QStringList& arguments,
                             const QString& executableDirectory);

// Before the application object exists, for a packet named on the command line: when the
// start-up checks of the files and directories pass, the packet starts unpacking at once
// (startCommandLineUnpack), so that unzip runs while the application, its fonts and its
// windows are built. Anything else is left to the ordinary start-up, which repeats the checks.
void startUnpackBeforeWindows(Session& session, const QStringList& arguments,
                              const QString& executableDirectory);

// The start directory as the messages show it, with its final "/".
QString startDirectoryForDisplay(const Session& session);

QString fontFilePath(const Session& session);
QString helpFilePath(const Session& session);
// VELKFONT.FON must be in the start directory (exit code 1).
StartUpResult checkFontFile(const Session& session);

// The settings file and the four library files must be in the start directory; only the
// first missing one is reported (exit code 1).
StartUpResult VerifIni(const Session& session);

// Reads every setting and loads the libraries. On first use the four directories are the
// start directory; otherwise each must be a usable directory, and the last one that is not
// ends the program (exit code 2). A key that is not a whole number throws VelkError. The
// libraries' messages go into `said`.
StartUpResult InitDivers(Session& session, Diagnostics& said);

// The first-use dialog is shown once: the value is cleared in memory and in the file first.
bool isFirstUse(const Session& session);
void clearFirstUse(Session& session);

} // namespace velk
