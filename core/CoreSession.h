// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/FileUtil.h"
#include "core/ProfileFile.h"
#include "core/Settings.h"

#include <QString>

namespace velk {

// The program-wide state is one object built in layers: each subsystem's layer adds its
// records to the one below, and its logic takes the layer it may know. The program and
// each test own one whole `Session` (session/Session.h).
struct CoreSession {
    QString startDirectory;      // settings, libraries, font and help; no trailing "/"
    QString executableDirectory; // where the program and its files were installed
    bool openFromCommandLine = false;
    QString commandLinePacket;

    Settings settings;

    ProfileFile settingsFile() const {
        return ProfileFile(joinPath(startDirectory, QStringLiteral("VELK.INI")));
    }
};

} // namespace velk
