// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/library/TParam2.h"

namespace velk {

TParam2::TParam2(Session& session, UiServices& ui)
    : TLibraryEditor(
          session, ui, LibraryKind::Footers, QStringLiteral("Pieds de page des messages"),
          QStringLiteral("Créer pied de page"), QStringLiteral("Efface le pied de page"), 9002) {
    setObjectName(QStringLiteral("Param2"));
}

} // namespace velk
