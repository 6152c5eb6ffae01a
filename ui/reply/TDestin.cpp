// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/reply/TDestin.h"

#include "core/CodePage.h"
#include "core/DosFont.h"
#include "core/UiServices.h"
#include "reply/EditorText.h"
#include "session/Session.h"
#include "ui/library/TListe.h"

#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

bool isTyped(const QString& text) {
    return !text.isEmpty() && text.at(0).isPrint();
}

} // namespace

QPushButton* dialogButton(const QString& text, const QString& hint, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

NameDialogButtons layOutNameDialog(QDialog& dialog, std::initializer_list<QLabel*> labels,
                                   DosNameEdit* name, const QString& cancelHint) {
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

DosNameEdit::DosNameEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(25);
    setFont(dosFont());
    // A pasted name goes into capitals as a typed one does.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = dosToUnicode(UpperName(unicodeToDos(text)));
        if (upper == text)
            return;
        const int cursor = cursorPosition();
        setText(upper);
        setCursorPosition(cursor);
    });
}

std::string DosNameEdit::dosText() const {
    return unicodeToDos(text());
}

void DosNameEdit::setDosText(const std::string& dos) {
    setText(dosToUnicode(UpperName(dos)));
}

void DosNameEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (onEnter)
            onEnter();
        event->accept();
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (!(mods & Qt::ControlModifier) && isTyped(event->text())) {
        insert(dosToUnicode(UpperName(EditorTypedToDos(event->text()))));
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DosNameEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent typed(event->preeditString(), event->attributes());
    typed.setCommitString(dosToUnicode(UpperName(EditorTypedToDos(event->commitString()))),
                          event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&typed);
}

TDestin::TDestin(Session& session, UiServices& ui) : session_(session), ui_(ui) {
    setObjectName(QStringLiteral("Destin"));
    setWindowTitle(QStringLiteral("Dialogue"));
    Label1 = new QLabel(QStringLiteral("A qui doit-on adresser ce message ?"), this);
    Name = new DosNameEdit(this);
    Name->setObjectName(QStringLiteral("Name"));
    Label1->setBuddy(Name);
    const NameDialogButtons b =
        layOutNameDialog(*this, {Label1}, Name, QStringLiteral("Annule l'écriture"));
    OkBtn = b.ok;
    CancelBtn = b.cancel;
    AmisBtn = b.choose;

    Name->onEnter = [this] { OKBtnClick(); };
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
    const auto name = CorrespondentName(session_, chooser_->Choose(4));
    if (!name)
        return;
    Name->setDosText(*name);
    chosen_ = CorrespondentChosen(ui_, NameDialogKind::Recipient, *name).name;
    accept();
}
