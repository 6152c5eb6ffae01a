// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/reply/TCarbon.h"

#include "core/UiServices.h"
#include "reply/Recipients.h"
#include "session/Session.h"
#include "ui/library/TListe.h"
#include "ui/widgets/DosTextBox.h"
#include "ui/widgets/NameDialog.h"

#include <QLabel>
#include <QPushButton>

TCarbon::TCarbon(Session& session, UiServices& ui) : session_(session), ui_(ui) {
    setObjectName(QStringLiteral("Carbon"));
    setWindowTitle(QStringLiteral("Dialogue"));
    Label1 = new QLabel(QStringLiteral("A qui doit-on adresser une copie"), this);
    Label2 = new QLabel(QStringLiteral(" de ce message ?"), this);
    Name = nameField(this);
    Name->setObjectName(QStringLiteral("Name"));
    Label1->setBuddy(Name);
    const NameDialogButtons b =
        layOutNameDialog(*this, {Label1, Label2}, Name, QStringLiteral("Annule la copie"));
    OKBtn = b.ok;
    CancelBtn = b.cancel;
    AmisBtn = b.choose;

    connect(Name, &DosTextBox::returnPressed, this, &TCarbon::OKBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TCarbon::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TCarbon::CancelBtnClick);
    connect(AmisBtn, &QPushButton::clicked, this, &TCarbon::AmisBtnClick);
}

std::string TCarbon::Ask() {
    CopyRecipient.clear();
    ui_.runModal(*this);
    return CopyRecipient;
}

void TCarbon::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Name->setFocus();
}

void TCarbon::OKBtnClick() {
    const NameDialogOutcome o = NameOkClick(ui_, NameDialogKind::Carbon, Name->dosText());
    if (!o.close)
        return;
    CopyRecipient = o.name;
    accept();
}

void TCarbon::CancelBtnClick() {
    CopyRecipient.clear();
    reject();
}

void TCarbon::AmisBtnClick() {
    const auto name = CorrespondentName(session_, chooser_->Choose(LibraryKind::Correspondents));
    if (!name)
        return;
    Name->setDosText(*name);
    CopyRecipient = CorrespondentChosen(ui_, NameDialogKind::Carbon, *name).name;
    accept();
}
