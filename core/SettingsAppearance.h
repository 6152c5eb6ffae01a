// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/ProfileFile.h"
#include "core/Settings.h"

#include <QColor>
#include <QFont>

#include <cstdint>

namespace velk {

// The settings that need Qt's drawing classes, apart from the rest of VELK.INI so that a
// program that only reads packets links no display library.

// Windows colours are 0x00BBGGRR.
QColor colourFromWindows(std::uint32_t value);
std::uint32_t windowsFromColour(const QColor& colour);

// The message font as drawn; the DOS font keeps its 8-pixel cells and hard pixel edges.
QFont fontOf(const FontSetting& setting);

// Name, size in points and style code (fontStyleCode).
void writeMessageFont(const ProfileFile& file, const QFont& font);

// 1 for exactly bold, 2 for exactly italic, 3 for exactly bold italic, 0 for any other style
// set: underline and strike-out are not kept.
int fontStyleCode(const QFont& font);

} // namespace velk
