// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/TMessagerie.h"

#include "core/ActionGuard.h"
#include "core/CharacterSet.h"
#include "core/DosFont.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "mail/Browser.h"
#include "packet/MessageHeader.h"
#include "session/Session.h"
#include "ui/reply/TWriteMsg.h"
#include "ui/widgets/Buttons.h"
#include "ui/widgets/Keyboard.h"
#include "ui/widgets/WholeRowsList.h"
#include "ui/widgets/WindowFlags.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <optional>

namespace velk {

namespace {

constexpr int kHelpContext = 3000;

QListWidget* makeList() {
    auto* list = new WholeRowsList;
    list->setFont(dosFont());
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

} // namespace

TMessagerie::TMessagerie(Session& session, UiServices& ui, QWidget* parent)
    : QDialog(parent), session_(session), ui_(ui) {
    setObjectName(QStringLiteral("Messagerie"));
    setWindowTitle(QStringLiteral("Messagerie"));
    setWorkWindowFlags(*this);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);

    ListConf = makeList();
    ListConf->setObjectName(QStringLiteral("ListConf"));
    ListMsg = makeList();
    ListMsg->setObjectName(QStringLiteral("ListMsg"));
    auto* confLabel = new QLabel(QStringLiteral("Conférences :"));
    confLabel->setBuddy(ListConf);
    auto* msgLabel = new QLabel(QStringLiteral("Message(s) :"));
    msgLabel->setBuddy(ListMsg);

    TriDateBtn = dialogButton(QStringLiteral("&Numéro"),
                              QStringLiteral("Trier les messages par date d'arrivée"));
    TriAuteurBtn =
        dialogButton(QStringLiteral("A&uteur"), QStringLiteral("Trier les messages par auteur"));
    TriDestBtn = dialogButton(QStringLiteral("Des&tinataire"),
                              QStringLiteral("Trier les messages par destinataire"));
    TriSujetBtn =
        dialogButton(QStringLiteral("&Sujet"), QStringLiteral("Trier les messages par sujet"));
    TriFilBtn =
        dialogButton(QStringLiteral("F&il"),
                     QStringLiteral("Les réponses sous les messages auxquels elles répondent"));
    WriteMsgBtn =
        dialogButton(QStringLiteral("&Ecrire"), QStringLiteral("Ecrire un nouveau message"));
    WriteMsgBtn->setEnabled(false);
    HelpBtn = dialogButton(QStringLiteral("&Aide"), QStringLiteral("Aide contextuelle"));
    FermerBtn = dialogButton(QStringLiteral("&Fermer"), QStringLiteral("Sortir de la fenêtre"));

    // The order in use stays pressed.
    auto* sortGroup = new QButtonGroup(this);
    for (QPushButton* b : {TriDateBtn, TriAuteurBtn, TriDestBtn, TriSujetBtn, TriFilBtn}) {
        b->setCheckable(true);
        sortGroup->addButton(b);
    }

    auto* buttons = new QHBoxLayout;
    // Five orders and three actions share the window's fixed width.
    buttons->setSpacing(2);
    buttons->addWidget(new QLabel(QStringLiteral("Ordre de tri :")));
    for (QPushButton* b : {TriDateBtn, TriAuteurBtn, TriDestBtn, TriSujetBtn, TriFilBtn})
        buttons->addWidget(b);
    buttons->addStretch();
    for (QPushButton* b : {WriteMsgBtn, HelpBtn, FermerBtn})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(confLabel);
    layout->addWidget(ListConf, 2);
    layout->addWidget(msgLabel);
    layout->addWidget(ListMsg, 5);
    layout->addLayout(buttons);
    setFixedSize(791, 562);

    connect(ListConf, &QListWidget::currentRowChanged, this, &TMessagerie::ListConfClick);
    // Enter on a conference goes down to its messages.
    actOnEnter(*ListConf, [this] { ListConfClick(); });
    actOnClick(*ListMsg, [this](int) { ListMsgClick(); });
    connect(TriDateBtn, &QPushButton::clicked, this, &TMessagerie::TriDateBtnClick);
    connect(TriAuteurBtn, &QPushButton::clicked, this, &TMessagerie::TriAuteurBtnClick);
    connect(TriDestBtn, &QPushButton::clicked, this, &TMessagerie::TriDestBtnClick);
    connect(TriSujetBtn, &QPushButton::clicked, this, &TMessagerie::TriSujetBtnClick);
    connect(TriFilBtn, &QPushButton::clicked, this, [this] { sortBy(MessageOrder::Thread); });
    connect(WriteMsgBtn, &QPushButton::clicked, this, &TMessagerie::WriteMsgBtnClick);
    connectHelp(*this, *HelpBtn, ui_, kHelpContext);
    connect(FermerBtn, &QPushButton::clicked, this, &TMessagerie::FermerBtnClick);

    session_.browser.SortOrder = MessageOrder::Number;
    session_.browser.LoadedConference.reset();
    TriDateBtn->setChecked(true);
}

void TMessagerie::fillConferences(const std::vector<std::string>& lines) {
    const QSignalBlocker block(ListConf);
    ListConf->clear();
    for (const std::string& line : lines)
        ListConf->addItem(dosToUnicode(line));
    if (!lines.empty())
        ListConf->setCurrentRow(0);
    ListConf->setFont(dosFont());
    ListConf->setToolTip(QStringLiteral("Dans l'ordre :\nLe numéro de conférence,\nle nombre de "
                                        "messages,\nle nom de la conférence"));
}

void TMessagerie::setEditor(TWriteMsg& editor) {
    editor_ = &editor;
    WriteMsgBtn->setEnabled(true);
}

void TMessagerie::ListConfClick() {
    BusyCursor busy(ui_);
    std::vector<std::string> lines;
    std::optional<QString> failure;
    try {
        lines = listConference(session_, ui_, ListConf->currentRow());
    } catch (const VelkError& e) {
        failure = e.message();
    }
    QStringList texts;
    texts.reserve(qsizetype(lines.size()));
    for (const std::string& line : lines)
        texts.append(dosToUnicode(line));
    ListMsg->setUpdatesEnabled(false);
    ListMsg->clear();
    ListMsg->addItems(texts);
    ListMsg->setUpdatesEnabled(true);
    ListMsg->setFocus();
    busy.release();
    if (failure)
        ui_.message(*failure, MessageKind::Error);
}

void TMessagerie::ListMsgClick() {
    bool read = false;
    if (!runAction(ui_, [&] { read = readListedMessage(session_, ui_, ListMsg->currentRow()); }) ||
        !read || !viewer_)
        return;
    ui_.runModalOver(*viewer_, *this);
    ListMsg->setCurrentRow(session_.browser.CurrentListIndex);
}

void TMessagerie::sortBy(MessageOrder order) {
    session_.browser.SortOrder = order;
    ListConfClick();
}

void TMessagerie::TriDateBtnClick() {
    sortBy(MessageOrder::Number);
}

void TMessagerie::TriAuteurBtnClick() {
    sortBy(MessageOrder::Author);
}

void TMessagerie::TriDestBtnClick() {
    sortBy(MessageOrder::Recipient);
}

void TMessagerie::TriSujetBtnClick() {
    sortBy(MessageOrder::Subject);
}

void TMessagerie::WriteMsgBtnClick() {
    if (editor_)
        editor_->writeNew(*this);
}

void TMessagerie::FermerBtnClick() {
    reject();
}

void TMessagerie::FormActivate() {
    move(0, 0);
    session_.browser.LoadedConference.reset();
    QPushButton* const sortButtons[] = {TriDateBtn, TriAuteurBtn, TriDestBtn, TriSujetBtn,
                                        TriFilBtn};
    sortButtons[int(session_.browser.SortOrder) - 1]->setChecked(true);
}

void TMessagerie::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

} // namespace velk
