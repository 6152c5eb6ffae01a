// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace velk {

// The message font as VELK.INI keeps it. A description, not a QFont, so that what reads the
// settings needs no display library (velk-cli); fontOf() in core/SettingsAppearance.h draws it.
struct FontSetting {
    QString family;    // empty: the application's font
    int pointSize = 0; // 0: the family's own size
    bool bold = false;
    bool italic = false;
    bool operator==(const FontSetting&) const = default;
};

// The program-wide copies of the VELK.INI values, refreshed by InitDivers and the
// settings dialogs. Colours keep the file's Windows value (0x00BBGGRR).
struct Settings {
    QString velkPath;
    QString workPath;
    QString qwkPath;
    QString repPath;
    int firstUse = 1;
    int maxCar = 78;
    std::uint32_t quoteColour = 32768;
    std::uint32_t inkColour = 0;
    std::uint32_t backColour = 16777215;
    int lineHeight = 80;
    int linesPerPage = 66;
    FontSetting messageFont;
    bool fontNotTerminal = true;    // the message font is not "TerminalDOS": convert texts
    std::string scrambledSignature; // see programSignature() in core/SettingsFile.h
};

} // namespace velk
