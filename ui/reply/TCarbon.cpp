// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/reply/TCarbon.h"

namespace velk {

TCarbon::TCarbon(Session& session, UiServices& ui)
    : NameDialogWindow(
          session, ui, NameDialogKind::Carbon,
          {QStringLiteral("A qui doit-on adresser une copie"), QStringLiteral(" de ce message ?")},
          QStringLiteral("Annule la copie")) {
    setObjectName(QStringLiteral("Carbon"));
    Label2 = questionLabels_.value(1);
    OKBtn = okButton_;
}

} // namespace velk
