// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace velk {

// The names a file list of the merge window shows for a folder and a mask ("*.Q*"):
// regular files matched as on DOS, whatever their case; hidden ones (a name starting with
// a dot, such as the temporary copy a merge writes beside the base packet) left out; in
// name order without regard to case. Empty when the folder cannot be read.
QStringList packetFileNames(const QString& directory, const QString& mask);

// The full path of the chosen name in the folder; empty when no name is chosen.
QString chosenPacketPath(const QString& directory, const QString& name);

} // namespace velk
