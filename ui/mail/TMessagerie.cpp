// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/TMessagerie.h"

#include "core/ActionGuard.h"
#include "core/CharacterSet.h"
#include "core/DosFont.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "mail/Browser.h"
#include "mail/ListModels.h"
#include "mail/PersonalMail.h"
#include "mail/ReadingState.h"
#include "packet/MessageHeader.h"
#include "session/Session.h"
#include "ui/mail/ReadMarksView.h"
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

template <class List> List* makeList() {
    auto* list = new List;
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

    ListConf = makeList<WholeRowsList>();
    ListConf->setObjectName(QStringLiteral("ListConf"));
    ListMsg = makeList<LineList>();
    ListMsg->setObjectName(QStringLiteral("ListMsg"));
    messages_ = new MessageListModel(session_.browser, this);
    ListMsg->setModel(messages_);
    drawReadMarks(*ListMsg);
    auto* confLabel = new QLabel(QStringLiteral("Conférences :"));
    confLabel->setBuddy(ListConf);
    auto* msgLabel = new QLabel(QStringLiteral("Message(s) :"));
    msgLabel->setBuddy(ListMsg);
    ToutLuBtn = dialogButton(QStringLiteral("Tout marquer comme &lu"),
                             QStringLiteral("Marquer lus tous les messages de la conférence"));
    SuivreBtn = dialogButton(QStringLiteral("À sui&vre"),
                             QStringLiteral("Marquer le message choisi pour y revenir"));
    auto* msgRow = new QHBoxLayout;
    msgRow->addWidget(msgLabel);
    msgRow->addStretch();
    msgRow->addWidget(SuivreBtn);
    msgRow->addWidget(ToutLuBtn);

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
    layout->addLayout(msgRow);
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
    connect(ToutLuBtn, &QPushButton::clicked, this, &TMessagerie::ToutLuBtnClick);
    connect(SuivreBtn, &QPushButton::clicked, this, &TMessagerie::SuivreBtnClick);
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
    showMarks();
}

void TMessagerie::showMarks() {
    runReported(ui_, [&](Diagnostics& said) {
        showUnreadCounts(*ListConf, unreadCounts(session_, said));
        messages_->setMarks(listedMarks(session_, said));
    });
}

void TMessagerie::ToutLuBtnClick() {
    const int line = ListConf->currentRow();
    runReported(ui_, [&](Diagnostics& said) { markConferenceRead(session_, said, line); });
    keepReadMarks(session_, ui_, *this);
    showMarks();
}

void TMessagerie::SuivreBtnClick() {
    const int line = ListMsg->currentRow();
    if (line < 0) {
        ui_.message(QString::fromUtf8(kChooseMessageFirst));
        return;
    }
    runReported(ui_, [&](Diagnostics& said) { toggleListedFollowed(session_, said, line); });
    keepReadMarks(session_, ui_, *this);
    showMarks();
    ListMsg->setFocus();
}

void TMessagerie::setEditor(TWriteMsg& editor) {
    editor_ = &editor;
    WriteMsgBtn->setEnabled(true);
}

void TMessagerie::ListConfClick() {
    BusyCursor busy(ui_);
    std::optional<QString> failure;
    Diagnostics said;
    try {
        messages_->reset([&] { orderConference(session_, said, ListConf->currentRow()); });
    } catch (const VelkError& e) {
        failure = e.message();
    }
    said.showTo(ui_);
    if (!failure)
        runReported(ui_, [&](Diagnostics& marksSaid) {
            messages_->setMarks(listedMarks(session_, marksSaid));
        });
    ListMsg->setFocus();
    busy.release();
    if (failure)
        ui_.message(*failure, MessageKind::Error);
}

void TMessagerie::ListMsgClick() {
    bool read = false;
    const int line = ListMsg->currentRow();
    if (!runReported(ui_,
                     [&](Diagnostics& said) { read = readListedMessage(session_, said, line); }) ||
        !read || !viewer_)
        return;
    ui_.runModalOver(*viewer_, *this);
    // "Suivant non lu" may have gone on to another conference.
    if (const auto listed = session_.browser.ListedConference;
        listed && *listed != ListConf->currentRow())
        ListConf->setCurrentRow(*listed);
    showMarks();
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
    keepReadMarks(session_, ui_, *this, true);
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
