// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/library/TParam4.h"

namespace velk {

TParam4::TParam4(Session& session, UiServices& ui)
    : TLibraryEditor(
          session, ui, LibraryKind::Correspondents, QStringLiteral("Correspondants fréquents"),
          QStringLiteral("Créer correspondant"), QStringLiteral("Efacer correspondant"), 9004) {
    setObjectName(QStringLiteral("Param4"));
}

} // namespace velk
