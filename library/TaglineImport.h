// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>

#include <string>
#include <vector>

namespace velk {

class UiServices;
struct LibrarySession;

// The most taglines the library holds.
constexpr int kTaglineLimit = 2000;

// The taglines of a text file, one a line: empty lines skipped, a line over 80 characters
// cut to 79, the entry markers replaced. `dosFile` keeps the bytes as they are; otherwise
// the file is in the desktop's set (UTF-8, else code page 1252) and is turned into DOS.
std::vector<std::string> TaglinesOfFile(const QByteArray& file, bool dosFile);

// "&Importation de taglines": asks for the file, appends its lines to TAGLINES.INI (one
// rewrite, so a failure leaves the file as it was) up to 2000 taglines and the file's size
// limit, reloads the list and reports. Throws VelkError when a file cannot be read or
// written.
void ImportTaglines(LibrarySession& session, UiServices& ui);

} // namespace velk
