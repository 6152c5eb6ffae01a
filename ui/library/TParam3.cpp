// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/library/TParam3.h"

namespace velk {

TParam3::TParam3(Session& session, UiServices& ui)
    : TLibraryEditor(session, ui, LibraryKind::Taglines, QStringLiteral("TagLines des messages"),
                     QStringLiteral("Nouvelle tagline"), QStringLiteral("Effacer tagline"), 9003) {
    setObjectName(QStringLiteral("Param3"));
}

} // namespace velk
