// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/reply/TDestin.h"

#include "ui/widgets/DosTextBox.h"

namespace velk {

TDestin::TDestin(Session& session, UiServices& ui)
    : NameDialogWindow(session, ui, NameDialogKind::Recipient,
                       {QStringLiteral("A qui doit-on adresser ce message ?")},
                       QStringLiteral("Annule l'écriture")) {
    setObjectName(QStringLiteral("Destin"));
    OkBtn = okButton_;
}

std::string TDestin::Ask(const std::string& preset) {
    Name->setDosText(preset);
    Name->selectAll();
    Name->setFocus();
    return run();
}

} // namespace velk
