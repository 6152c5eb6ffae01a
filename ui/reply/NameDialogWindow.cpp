// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/reply/NameDialogWindow.h"

#include "core/Diagnostics.h"
#include "reply/MessageWriting.h"
#include "session/Session.h"
#include "ui/library/TListe.h"
#include "ui/widgets/DosTextBox.h"
#include "ui/widgets/NameDialog.h"

#include <QLabel>
#include <QPushButton>

namespace velk {

NameDialogWindow::NameDialogWindow(Session& session, UiServices& ui, NameDialogKind kind,
                                   const QStringList& question, const QString& cancelHint)
    : session_(session), ui_(ui), kind_(kind) {
    setWindowTitle(QStringLiteral("Dialogue"));
    for (const QString& line : question)
        questionLabels_.append(new QLabel(line, this));
    Label1 = questionLabels_.front();
    Name = nameField(this, MessageWriting::nameWidth(false));
    Name->setObjectName(QStringLiteral("Name"));
    Label1->setBuddy(Name);
    const NameDialogButtons b = layOutNameDialog(*this, questionLabels_, Name, cancelHint);
    okButton_ = b.ok;
    CancelBtn = b.cancel;
    AmisBtn = b.choose;

    connect(Name, &DosTextBox::returnPressed, this, &NameDialogWindow::OKBtnClick);
    connect(okButton_, &QPushButton::clicked, this, &NameDialogWindow::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &NameDialogWindow::CancelBtnClick);
    connect(AmisBtn, &QPushButton::clicked, this, &NameDialogWindow::AmisBtnClick);
}

std::string NameDialogWindow::run() {
    chosen_.clear();
    ui_.runModal(*this);
    return chosen_;
}

void NameDialogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Name->setFocus();
}

void NameDialogWindow::OKBtnClick() {
    const NameDialogOutcome o = shown(NameOkClick(kind_, Name->dosText()), ui_);
    if (!o.close)
        return;
    chosen_ = o.name;
    accept();
}

void NameDialogWindow::CancelBtnClick() {
    chosen_.clear();
    reject();
}

void NameDialogWindow::AmisBtnClick() {
    const auto name = CorrespondentName(session_, chooser_->Choose(LibraryKind::Correspondents));
    if (!name)
        return;
    Name->setDosText(*name);
    chosen_ = shown(CorrespondentChosen(kind_, *name), ui_).name;
    accept();
}

} // namespace velk
