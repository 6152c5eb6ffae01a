// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/main/TPrinterConfig.h"

#include "core/ActionGuard.h"
#include "core/SettingsDialogs.h"
#include "core/SettingsFile.h"
#include "core/UiServices.h"
#include "session/Session.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velk {

TPrinterConfig::TPrinterConfig(Session& session, UiServices& ui) : session_(session), ui_(ui) {
    setObjectName(QStringLiteral("PrinterConfig"));
    setWindowTitle(QStringLiteral("Paramètres particuliers de l'imprimante"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    Interligne = new QLineEdit(this);
    Interligne->setObjectName(QStringLiteral("Interligne"));
    NbLignes = new QLineEdit(this);
    NbLignes->setObjectName(QStringLiteral("NbLignes"));
    for (QLineEdit* e : {Interligne, NbLignes}) {
        e->setMaxLength(3);
        e->setMaximumWidth(60);
    }
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Hauteur de ligne en pixels :"), Interligne);
    form->addRow(QStringLiteral("Nombre de lignes par page :"), NbLignes);

    makeCloseButtons();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addSpacing(16);
    layout->addLayout(buttons);
    setFixedSize(412, 89);
}

void TPrinterConfig::ChargeConfig() {
    readPrinterSettings(session_.settingsFile(), session_.settings);
    Interligne->setText(QString::number(session_.settings.lineHeight));
    NbLignes->setText(QString::number(session_.settings.linesPerPage));
}

// Every way of closing writes the two fields as typed. A value that is not a whole number
// is refused here: written, it would make the next reading fail and lock the dialog out.
bool TPrinterConfig::save() {
    return runAction(ui_,
                     [&] { savePrinterFields(session_, Interligne->text(), NbLignes->text()); });
}

} // namespace velk
