// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/reply/TDestin.h"

#include "core/UiServices.h"
#include "reply/Recipients.h"
#include "session/Session.h"
#include "ui/library/TListe.h"
#include "ui/widgets/DosTextBox.h"
#include "ui/widgets/NameDialog.h"

#include <QLabel>
#include <QPushButton>

TDestin::TDestin(Session& session, UiServices& ui) : session_(session), ui_(ui) {
    setObjectName(QStringLiteral("Destin"));
    setWindowTitle(QStringLiteral("Dialogue"));
    Label1 = new QLabel(QStringLiteral("A qui doit-on adresser ce message ?"), this);
    Name = nameField(this);
    Name->setObjectName(QStringLiteral("Name"));
    Label1->setBuddy(Name);
    const NameDialogButtons b =
        layOutNameDialog(*this, {Label1}, Name, QStringLiteral("Annule l'écriture"));
    OkBtn = b.ok;
    CancelBtn = b.cancel;
    AmisBtn = b.choose;

    connect(Name, &DosTextBox::returnPressed, this, &TDestin::OKBtnClick);
    connect(OkBtn, &QPushButton::clicked, this, &TDestin::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TDestin::CancelBtnClick);
    connect(AmisBtn, &QPushButton::clicked, this, &TDestin::AmisBtnClick);
}

std::string TDestin::Ask(const std::string& preset) {
    chosen_.clear();
    Name->setDosText(preset);
    Name->selectAll();
    Name->setFocus();
    ui_.runModal(*this);
    return chosen_;
}

void TDestin::OKBtnClick() {
    const NameDialogOutcome o = NameOkClick(ui_, NameDialogKind::Recipient, Name->dosText());
    if (!o.close)
        return;
    chosen_ = o.name;
    accept();
}

void TDestin::CancelBtnClick() {
    chosen_.clear();
    reject();
}

void TDestin::AmisBtnClick() {
    const auto name = CorrespondentName(session_, chooser_->Choose(LibraryKind::Correspondents));
    if (!name)
        return;
    Name->setDosText(*name);
    chosen_ = CorrespondentChosen(ui_, NameDialogKind::Recipient, *name).name;
    accept();
}
