// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "board/ReadMarks.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace velk {

struct CliIo;

// The program directory whose board files a command reads: `--repertoire RÉPERTOIRE`
// (taken out of `args`), else the one of velk-cli when it holds VELK.INI, else ~/VELK.
// nullopt, after the usage, when the option has no value.
std::optional<QString> cliProgramDirectory(QStringList& args, const QString& usage, CliIo& io);

// The words of the marks, as list --etat prints them and marquer reads them.
QString readMarkWord(ReadMark mark);
std::optional<ReadMark> readMarkOfWord(const QString& word);

} // namespace velk
