// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace velk {

class UiServices;

// A text file the user chose to import and whether it is written with MS-DOS accents.
struct TextFileChoice {
    QString path;
    bool dosAccents = false;
};

// The open dialog for a .TXT file in `directory`, then the question "Ce fichier contient-il
// des caractères accentués MS-DOS ?"; nothing when the dialog is cancelled.
std::optional<TextFileChoice> chooseTextFile(UiServices& ui, const QString& title,
                                             const QString& directory, const QString& filter);

} // namespace velk
