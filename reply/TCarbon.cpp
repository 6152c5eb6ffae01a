// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/TCarbon.h"

#include "app/Windows.h"
#include "core/UiServices.h"
#include "library/TListe.h"
#include "reply/Recipients.h"
#include "reply/TDestin.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* button(const QString& text, const QString& hint, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TCarbon::TCarbon(Session& session, UiServices& ui, Windows& windows)
    : session_(session), ui_(ui), windows_(windows) {
    setObjectName(QStringLiteral("Carbon"));
    setWindowTitle(QStringLiteral("Dialogue"));
    Label1 = new QLabel(QStringLiteral("A qui doit-on adresser une copie"), this);
    Label2 = new QLabel(QStringLiteral(" de ce message ?"), this);
    Name = new DosNameEdit(this);
    Name->setObjectName(QStringLiteral("Name"));
    Label1->setBuddy(Name);
    OKBtn = button(QStringLiteral("&OK"), QStringLiteral("Valide votre choix"), this);
    CancelBtn = button(QStringLiteral("A&nnuler"), QStringLiteral("Annule la copie"), this);
    AmisBtn = button(QStringLiteral("&Choix"), QStringLiteral("Choisir dans une liste"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(AmisBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(Name);
    layout->addLayout(buttons);

    Name->onEnter = [this] { OKBtnClick(); };
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
    const auto name = CorrespondentName(session_, windows_.Liste->Choose(4));
    if (!name)
        return;
    Name->setDosText(*name);
    CopyRecipient = CorrespondentChosen(ui_, NameDialogKind::Carbon, *name).name;
    accept();
}
