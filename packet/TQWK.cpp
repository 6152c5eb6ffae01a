// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/TQWK.h"

#include "core/ActionGuard.h"
#include "core/Session.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "mail/Browser.h"
#include "mail/TMessagerie.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* addField(QFormLayout* form, const QString& label) {
    auto* edit = new QLineEdit;
    edit->setReadOnly(true);
    edit->setMinimumWidth(260);
    form->addRow(label, edit);
    return edit;
}

QPushButton* addButton(QVBoxLayout* column, const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    column->addWidget(button);
    return button;
}

} // namespace

TQWK::TQWK(Session& session, UiServices& ui, QWidget* parent)
    : QDialog(parent), session_(session), ui_(ui) {
    setObjectName(QStringLiteral("QWK"));
    setWindowTitle(QStringLiteral("Velk"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    auto* form = new QFormLayout;
    PaquetName = addField(form, QStringLiteral("Paquet :"));
    PaquetDate = addField(form, QStringLiteral("Date Paquet :"));
    PaquetTime = addField(form, QStringLiteral("Heure Paquet :"));
    PaquetUserName = addField(form, QStringLiteral("Votre nom :"));
    PaquetBBSID = addField(form, QStringLiteral("Board ID :"));
    PaquetDoor = addField(form, QStringLiteral("Door :"));

    auto* buttons = new QVBoxLayout;
    BullBtn =
        addButton(buttons, QStringLiteral("&Bulletins"), QStringLiteral("Voir les bulletins"));
    NewsBtn =
        addButton(buttons, QStringLiteral("&News"), QStringLiteral("Voir les nouvelles du sysop"));
    FilesBtn = addButton(buttons, QStringLiteral("N&ouveaux Fichiers"),
                         QStringLiteral("Voir les nouveaux fichiers"));
    MailBtn =
        addButton(buttons, QStringLiteral("Co&urrier général"), QStringLiteral("Voir le courrier"));
    MsgPersoBtn = addButton(buttons, QStringLiteral("&Courrier personnel"),
                            QStringLiteral("Voir vos messages"));
    buttons->addStretch();
    FermerBtn =
        addButton(buttons, QStringLiteral("&Fermer"), QStringLiteral("Sortir de la fenêtre"));

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    wire(FermerBtn, &TQWK::FermerBtnClick);
    FormActivate();
}

template <typename Slot> void TQWK::wire(QPushButton* button, Slot slot) {
    connect(button, &QPushButton::clicked, this, slot);
    wired_.insert(button);
}

void TQWK::fill(const PacketFields& f) {
    PaquetName->setText(f.PaquetName);
    PaquetDate->setText(f.PaquetDate);
    PaquetTime->setText(f.PaquetTime);
    PaquetUserName->setText(f.PaquetUserName);
    PaquetBBSID->setText(f.PaquetBBSID);
    PaquetDoor->setText(f.PaquetDoor);
}

void TQWK::setMessagerie(TMessagerie& window) {
    if (!messagerie_)
        wire(MailBtn, &TQWK::MailBtnClick);
    messagerie_ = &window;
}

void TQWK::MailBtnClick() {
    if (!messagerie_)
        return;
    BusyCursor busy(ui_);
    std::vector<std::string> lines;
    try {
        lines = buildConferenceList(session_);
    } catch (const VelkError& e) {
        busy.release();
        ui_.message(e.message(), MessageKind::Error);
        return;
    }
    messagerie_->fillConferences(lines);
    if (lines.empty())
        return;
    messagerie_->ListConfClick();
    busy.release();
    runHidden(*messagerie_);
}

void TQWK::setVisible(bool visible) {
    // A dialog hidden the usual way ends its modal run; the packet window only steps aside.
    if (!visible && keepModalRun_) {
        QWidget::setVisible(false);
        return;
    }
    QDialog::setVisible(visible);
}

void TQWK::runHidden(QDialog& window) {
    keepModalRun_ = true;
    hide();
    keepModalRun_ = false;
    ui_.runModal(window);
    show();
}

void TQWK::FormActivate() {
    closedProperly_ = false;
    const PacketButtons available = packetButtons(session_);
    const std::pair<QPushButton*, bool> rules[] = {
        {BullBtn, available.bulletins},        {NewsBtn, available.news},
        {FilesBtn, available.newFiles},        {MailBtn, available.mail},
        {MsgPersoBtn, available.personalMail}, {FermerBtn, true},
    };
    for (const auto& [button, on] : rules)
        button->setEnabled(on && wired_.contains(button));
}

void TQWK::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

bool TQWK::packAndClean() {
    closedProperly_ = false;
    const CloseOutcome outcome = closePacket(session_, ui_);
    if (outcome == CloseOutcome::PackFailed)
        return false;
    closedProperly_ = outcome == CloseOutcome::Packed;
    return true;
}

void TQWK::FermerBtnClick() {
    if (packAndClean())
        reject();
}

void TQWK::FormClose() {
    if (!closedProperly_)
        packAndClean();
}

void TQWK::reject() {
    FormClose();
    QDialog::reject();
}

bool openPacket(Session& session, UiServices& ui, TQWK& window) {
    std::optional<PacketFields> fields;
    if (!runAction(ui, [&] { fields = openQwkPacket(session, ui); }) || !fields)
        return false;
    window.fill(*fields);
    ui.runModal(window);
    return true;
}
