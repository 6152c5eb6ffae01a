// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/widgets/NameDialog.h"

#include "ui/widgets/Buttons.h"
#include "ui/widgets/DosTextBox.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace velk {

DosTextBox* nameField(QWidget* parent, int width) {
    auto* name = new DosTextBox(parent);
    name->setRules({.capitals = true});
    name->setSingleLine(true);
    name->setLimit(width);
    return name;
}

NameDialogButtons layOutNameDialog(QDialog& dialog, const QList<QLabel*>& labels, DosTextBox* name,
                                   const QString& cancelHint) {
    NameDialogButtons b;
    b.ok = dialogButton(QStringLiteral("&OK"), QStringLiteral("Valide votre choix"), &dialog);
    b.cancel = dialogButton(QStringLiteral("A&nnuler"), cancelHint, &dialog);
    b.choose =
        dialogButton(QStringLiteral("&Choix"), QStringLiteral("Choisir dans une liste"), &dialog);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(b.ok);
    buttons->addWidget(b.cancel);
    buttons->addWidget(b.choose);
    auto* layout = new QVBoxLayout(&dialog);
    for (QLabel* label : labels)
        layout->addWidget(label);
    layout->addWidget(name);
    layout->addLayout(buttons);
    return b;
}

} // namespace velk
