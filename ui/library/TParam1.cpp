// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/library/TParam1.h"

namespace velk {

TParam1::TParam1(Session& session, UiServices& ui)
    : TLibraryEditor(session, ui, LibraryKind::Headers, QStringLiteral("Entêtes des messages"),
                     QStringLiteral("Nouvel en-ête"), QStringLiteral("Efface l'en-tête"), 9001) {
    setObjectName(QStringLiteral("Param1"));
}

} // namespace velk
