// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/TextFileChoice.h"

#include "core/UiServices.h"

namespace velk {

std::optional<TextFileChoice> chooseTextFile(UiServices& ui, const QString& title,
                                             const QString& directory, const QString& filter) {
    FileDialogRequest request;
    request.title = title;
    request.directory = directory;
    request.fileName = QStringLiteral("*.TXT");
    request.filters = {filter};
    const std::optional<QString> path = ui.openFileName(request);
    if (!path)
        return std::nullopt;
    return TextFileChoice{*path, ui.askYesNo(QStringLiteral(
                                     "Ce fichier contient-il des caractères accentués MS-DOS ?"))};
}

} // namespace velk
