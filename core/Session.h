// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/FileUtil.h"
#include "core/MessageStoreState.h"
#include "core/ProfileFile.h"
#include "core/Settings.h"
#include "library/LibraryState.h"
#include "mail/BrowserState.h"
#include "mail/ViewerState.h"
#include "packet/PacketControl.h"
#include "reply/ReplyState.h"

#include <QString>
#include <QStringList>

// Everything the program shares between its windows and operations. main() owns the
// one instance; each test makes its own.
struct Session {
    QString startDirectory;      // settings, libraries, font and help; no trailing "/"
    QString executableDirectory; // where the program and its files were installed
    bool openFromCommandLine = false;
    QString commandLinePacket;

    Settings settings;
    PacketState packet;
    MessageStoreState store;
    BrowserState browser;
    ViewerState viewer;
    ReplyState replies;
    EditorFlags editor;
    LibraryState libraries;

    ProfileFile settingsFile() const {
        return ProfileFile(joinPath(startDirectory, QStringLiteral("VELK.INI")));
    }
};
