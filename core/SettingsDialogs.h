// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/Diagnostics.h"
#include "core/SettingsFile.h"

#include <QString>

#include <array>
#include <optional>

namespace velk {

struct CoreSession;
class UiServices;

// The four fields of the directories dialog, in the order it checks them.
enum class DirectoryField { Installation = 0, QWK = 1, REP = 2, Work = 3 };
using DirectoryFields = std::array<QString, 4>; // indexed by DirectoryField

// The directories as the file holds them (not the in-memory copies).
DirectoryFields loadDirectoryFields(const CoreSession& session);

// A directory is stored without its final "/"; "/" itself stays.
QString withoutTrailingSlash(const QString& path);

// "&Fermer" of the directories dialog: strips a final "/" from each field, checks or
// creates each directory (installation, QWK, REP, work), refuses a work directory that
// emptying would make dangerous, then writes the four keys. Returns the field to focus
// when something was refused (nothing is written then), nullopt when saved.
std::optional<DirectoryField> saveDirectoryFields(const CoreSession& session,
                                                  DirectoryFields& fields, UiServices& ui);

// "&Parcourir ...": the folder the user picks, or the current text when cancelled.
QString chooseDirectory(UiServices& ui, const QString& current);

// Editor settings: the line width must be a whole number (VelkError otherwise) from 60 to
// 80; it is written as typed. False, after the message, when out of range.
inline constexpr int kMinLineWidth = 60;
inline constexpr int kMaxLineWidth = 80;
Diagnosed<bool> saveLineWidth(const CoreSession& session, const QString& text);

// Printer settings: both fields must be whole numbers (VelkError naming the first that is
// not, nothing written); written as typed.
void savePrinterFields(const CoreSession& session, const QString& lineHeight,
                       const QString& linesPerPage);

// "Changer": the chosen colour becomes the setting; either way the setting is written at
// once. Returns the colour to paint.
std::uint32_t changeColour(CoreSession& session, ColourKey key, UiServices& ui);

// The directory is there and writable, or the user agrees to create it and it was created.
// A creation that fails is reported and counts as a refusal.
bool checkOrCreateDirectory(const QString& path, UiServices& ui);

} // namespace velk
