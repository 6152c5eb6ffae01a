// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/packet/TQWK.h"

#include "core/ActionGuard.h"
#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "mail/Browser.h"
#include "mail/PersonalMail.h"
#include "packet/BulletinViewer.h"
#include "packet/NewFilesList.h"
#include "reply/SubscriptionSending.h"
#include "session/Session.h"
#include "ui/mail/TMessagerie.h"
#include "ui/mail/TMsgPerso.h"
#include "ui/mail/TRecherche.h"
#include "ui/packet/TAffBulletins.h"
#include "ui/packet/TConfBBS.h"
#include "ui/packet/TListeBull.h"
#include "ui/packet/TListeFiles.h"
#include "ui/widgets/WindowFlags.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>

namespace velk {

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
    setWorkWindowFlags(*this);

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
    RechercheBtn = addButton(buttons, QStringLiteral("&Rechercher"),
                             QStringLiteral("Chercher un texte dans les messages du paquet"));
    ConfBBSBtn = addButton(buttons, QStringLiteral("Conférences du BB&S"),
                           QStringLiteral("Les conférences du BBS : demander d'en ajouter ou "
                                          "d'en retirer"));
    buttons->addStretch();
    FermerBtn =
        addButton(buttons, QStringLiteral("&Fermer"), QStringLiteral("Sortir de la fenêtre"));

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    wire(BullBtn, &TQWK::BullBtnClick);
    wire(NewsBtn, &TQWK::NewsBtnClick);
    wire(FilesBtn, &TQWK::FilesBtnClick);
    wire(FermerBtn, &TQWK::FermerBtnClick);
    wire(ConfBBSBtn, &TQWK::ConfBBSBtnClick);
    FormActivate();
}

TQWK::~TQWK() = default;

void TQWK::setViewers(const PacketViewerWindows& viewers) {
    viewers_ = viewers;
}

const PacketViewerWindows& TQWK::viewers() {
    if (!viewers_.ListeBull) {
        ownListeBull_ = std::make_unique<TListeBull>(ui_);
        viewers_.ListeBull = ownListeBull_.get();
    }
    if (!viewers_.AffBulletins) {
        ownAffBulletins_ = std::make_unique<TAffBulletins>(session_, ui_);
        viewers_.AffBulletins = ownAffBulletins_.get();
    }
    if (!viewers_.ListeFiles) {
        ownListeFiles_ = std::make_unique<TListeFiles>(session_, ui_);
        viewers_.ListeFiles = ownListeFiles_.get();
    }
    viewers_.ListeBull->setViewer(*viewers_.AffBulletins);
    return viewers_;
}

template <typename Slot> void TQWK::wire(QPushButton* button, Slot slot) {
    connect(button, &QPushButton::clicked, this, slot);
    wired_.insert(button);
    // A window may come after the packet window is on screen (built while it shows).
    if (isVisible())
        enableButtons();
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
    if (!messagerie_ || !messagesFileReady(session_, ui_))
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
    ui_.runModalOver(*messagerie_, *this);
}

void TQWK::setMsgPerso(TMsgPerso& window) {
    if (!msgPerso_)
        wire(MsgPersoBtn, &TQWK::MsgPersoBtnClick);
    msgPerso_ = &window;
}

void TQWK::MsgPersoBtnClick() {
    if (!msgPerso_)
        return;
    const bool ready = messagesFileReady(session_, ui_);
    BusyCursor busy(ui_);
    std::vector<ListedMessage> messages;
    std::optional<QString> failure;
    Diagnostics said;
    try {
        if (ready)
            messages = loadPersonalMessages(session_, said);
    } catch (const VelkError& e) {
        failure = e.message();
    }
    said.showTo(ui_);
    msgPerso_->fillPersonal(std::move(messages));
    busy.release();
    // The written messages can be handled even when the personal ones cannot be listed.
    if (failure)
        ui_.message(*failure, MessageKind::Error);
    msgPerso_->AfficheMsgREP();
    ui_.runModalOver(*msgPerso_, *this);
}

void TQWK::setRecherche(TRecherche& window) {
    if (!recherche_)
        wire(RechercheBtn, &TQWK::RechercheBtnClick);
    recherche_ = &window;
}

void TQWK::RechercheBtnClick() {
    if (recherche_ && messagesFileReady(session_, ui_))
        ui_.runModalOver(*recherche_, *this);
}

void TQWK::FormActivate() {
    closedProperly_ = false;
    available_ = packetButtons(session_);
    enableButtons();
}

void TQWK::enableButtons() {
    const PacketButtons& available = available_;
    const std::pair<QPushButton*, bool> rules[] = {
        {BullBtn, available.bulletins},
        {NewsBtn, available.news},
        {FilesBtn, available.newFiles},
        {MailBtn, available.mail},
        {MsgPersoBtn, available.personalMail},
        {RechercheBtn, available.mail},
        {FermerBtn, true},
        {ConfBBSBtn, true},
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
    // A queue that cannot be read is told; the replies are packed as always.
    std::optional<OutgoingReplyPacket> outgoing;
    runAction(ui_, [&] { outgoing = outgoingReplyPacket(session_, QDateTime::currentDateTime()); });
    CloseOutcome outcome = CloseOutcome::PackFailed;
    runAction(ui_, [&] {
        outcome =
            closePacket(session_, ui_, outgoing ? std::optional(outgoing->files) : std::nullopt);
    });
    if (outcome == CloseOutcome::Packed && outgoing)
        runAction(ui_, [&] { forgetSentRequests(session_, outgoing->requests); });
    if (outcome == CloseOutcome::PackFailed)
        return false;
    closedProperly_ = outcome == CloseOutcome::Packed;
    return true;
}

void TQWK::ConfBBSBtnClick() {
    // A window of its own: the packet window hides while it runs. Built here rather than with
    // the packet window, whose first showing it would delay (its list loads the DOS font).
    if (!ConfBBS) {
        ownConfBBS_ = std::make_unique<TConfBBS>(session_, ui_);
        ConfBBS = ownConfBBS_.get();
    }
    ui_.runModalOver(*ConfBBS, *this);
}

void TQWK::BullBtnClick() {
    const PacketViewerWindows& v = viewers();
    v.ListeBull->fill(bulletinListLines(session_.packet.control));
    ui_.runModalOver(*v.ListeBull, *this);
}

void TQWK::NewsBtnClick() {
    const PacketViewerWindows& v = viewers();
    // A news file that cannot be read leaves the viewer closed, as a bulletin does.
    if (!v.AffBulletins->loadNews())
        return;
    v.AffBulletins->setNavigationVisible(false);
    ui_.runModalOver(*v.AffBulletins, *this);
    v.AffBulletins->setNavigationVisible(true);
}

void TQWK::FilesBtnClick() {
    const PacketViewerWindows& v = viewers();
    if (!runAction(ui_, [&] { fileSizeBytes(newFilesPath(session_)); }))
        return;
    ui_.runModalOver(*v.ListeFiles, *this);
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

bool openPacket(Session& session, UiServices& ui, TQWK& window, QObject* opener) {
    std::optional<PacketFields> fields;
    if (!runAction(ui, [&] { fields = openQwkPacket(session, ui); }) || !fields)
        return false;
    // Requests that travelled in a reply packet unpacked again can be seen and removed.
    runAction(ui, [&] { takeBackRequests(session); });
    window.fill(*fields);
    QTimer::singleShot(0, &window, [&session] { startMessagesUnpack(session); });
    if (opener)
        ui.runModalOver(window, *opener);
    else
        ui.runModal(window);
    // A window closed without its packet emptied away leaves no unzip behind it.
    session.messagesUnpack.reset();
    return true;
}

} // namespace velk
