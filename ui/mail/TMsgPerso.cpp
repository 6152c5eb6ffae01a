// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/TMsgPerso.h"

#include "board/SubscriptionQueue.h"
#include "core/ActionGuard.h"
#include "core/CharacterSet.h"
#include "core/DosFont.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "mail/Browser.h"
#include "mail/ListModels.h"
#include "mail/PersonalMail.h"
#include "mail/ReadingState.h"
#include "session/Session.h"
#include "ui/mail/ReadMarksView.h"
#include "ui/mail/TAffMsg.h"
#include "ui/reply/TWriteMsg.h"
#include "ui/widgets/Buttons.h"
#include "ui/widgets/Keyboard.h"
#include "ui/widgets/WholeRowsList.h"
#include "ui/widgets/WindowFlags.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace velk {

namespace {

constexpr int kHelpContext = 4000;

template <class List> List* makeList(const char* name) {
    auto* list = new List;
    list->setObjectName(QLatin1String(name));
    list->setFont(dosFont());
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

void fillList(QListWidget* list, const std::vector<std::string>& lines) {
    const QSignalBlocker block(list);
    list->clear();
    list->setFont(dosFont());
    QStringList texts;
    texts.reserve(qsizetype(lines.size()));
    for (const std::string& line : lines)
        texts.append(dosToUnicode(line));
    list->addItems(texts);
}

} // namespace

TMsgPerso::TMsgPerso(Session& session, UiServices& ui, QWidget* parent)
    : QDialog(parent), session_(session), ui_(ui) {
    setObjectName(QStringLiteral("MsgPerso"));
    setWindowTitle(QStringLiteral("Messagerie"));
    setWorkWindowFlags(*this);

    ListMsgPerso = makeList<LineList>("ListMsgPerso");
    personal_ = new PersonalListModel(this);
    ListMsgPerso->setModel(personal_);
    drawReadMarks(*ListMsgPerso);
    ListReponses = makeList<WholeRowsList>("ListReponses");
    Label1 = new QLabel(QStringLiteral("Message(s) personnel(s) :"));
    Label1->setBuddy(ListMsgPerso);

    WriteMsgBtn =
        dialogButton(QStringLiteral("&Ecrire un message"), QStringLiteral("Nouveau message"));
    DelBtn =
        dialogButton(QStringLiteral("Effa&cer un message"), QStringLiteral("Détruire un message"));
    ModifBtn =
        dialogButton(QStringLiteral("&Modifier un message"), QStringLiteral("Editer un message"));
    LireBtn =
        dialogButton(QStringLiteral("&Relire les messages"), QStringLiteral("Afficher un message"));
    FermerBtn = dialogButton(QStringLiteral("&Fermer"), QStringLiteral("Sortir de la fenêtre"));
    FermerBtn->setDefault(true);
    HelpBtn = dialogButton(QStringLiteral("&Aide"), QStringLiteral("Aide contextuelle"));

    auto* personal = new QVBoxLayout;
    personal->addWidget(Label1);
    personal->addWidget(ListMsgPerso);
    auto* written = new QVBoxLayout;
    // Both lists start at the same height.
    written->addSpacing(Label1->sizeHint().height() + personal->spacing());
    written->addWidget(ListReponses);
    ListDemandes = makeList<WholeRowsList>("ListDemandes");
    ListDemandes->setToolTip(QStringLiteral("Demandes d'abonnement qui partiront dans le "
                                            "paquet de réponses"));
    ListDemandes->setMaximumHeight(QFontMetrics(dosFont()).height() * 5);
    RetirerDemandeBtn = dialogButton(QStringLiteral("Retirer la &demande"),
                                     QStringLiteral("Ne pas envoyer cette demande d'abonnement"));
    written->addWidget(ListDemandes);
    written->addWidget(RetirerDemandeBtn, 0, Qt::AlignRight);
    auto* lists = new QHBoxLayout;
    lists->addLayout(personal);
    lists->addLayout(written);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {WriteMsgBtn, DelBtn, ModifBtn, LireBtn})
        buttons->addWidget(b);
    buttons->addStretch();
    for (QPushButton* b : {HelpBtn, FermerBtn})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    // Room for two whole lines side by side, as far as the screen allows; a narrower screen
    // scrolls the lists sideways rather than pushing the window past its edge.
    const int lineWidth =
        QFontMetrics(dosFont()).horizontalAdvance(QString(int(kManagerLineWidth), u'M')) + 32;
    int width = 2 * lineWidth + layout->contentsMargins().left() +
                layout->contentsMargins().right() + lists->spacing();
    if (const QScreen* s = screen())
        width = std::min(width, s->availableGeometry().width());
    resize(std::max(width, minimumSizeHint().width()), 480);

    actOnClick(*ListMsgPerso, [this](int) { ListMsgPersoClick(); });
    // Enter and a double-click open the written message, as they open a line elsewhere.
    actOnEnter(*ListReponses, [this] {
        ListReponsesClick();
        if (LireBtn->isEnabled())
            LireBtnClick();
    });
    connect(ListReponses, &QListWidget::currentRowChanged, this, &TMsgPerso::ListReponsesClick);
    connect(WriteMsgBtn, &QPushButton::clicked, this, &TMsgPerso::WriteMsgBtnClick);
    connect(DelBtn, &QPushButton::clicked, this, &TMsgPerso::DelBtnClick);
    connect(ModifBtn, &QPushButton::clicked, this, &TMsgPerso::ModifBtnClick);
    connect(LireBtn, &QPushButton::clicked, this, &TMsgPerso::LireBtnClick);
    connectHelp(*this, *HelpBtn, ui_, kHelpContext);
    connect(FermerBtn, &QPushButton::clicked, this, &TMsgPerso::FermerBtnClick);
    connect(RetirerDemandeBtn, &QPushButton::clicked, this, &TMsgPerso::RetirerDemandeBtnClick);
    FormCreate();
}

void TMsgPerso::FormCreate() {
    session_.replies.SelectedReply.reset();
    WriteMsgBtn->setEnabled(false);
    enableReplyButtons(false);
}

void TMsgPerso::fillPersonal(std::vector<ListedMessage> messages) {
    const QSignalBlocker block(ListMsgPerso);
    personal_->setMessages(std::move(messages));
    ListMsgPerso->setFont(dosFont());
    runReported(ui_, [&](Diagnostics& said) { personal_->setMarks(listedMarks(session_, said)); });
}

void TMsgPerso::setViewer(TAffMsg& viewer) {
    viewer_ = &viewer;
    enableReplyButtons(session_.replies.ReplyCount() > 0);
}

void TMsgPerso::setEditor(TWriteMsg& editor) {
    editor_ = &editor;
    WriteMsgBtn->setEnabled(true);
    enableReplyButtons(session_.replies.ReplyCount() > 0);
}

void TMsgPerso::enableReplyButtons(bool available) {
    DelBtn->setEnabled(available);
    ModifBtn->setEnabled(available && editor_);
    LireBtn->setEnabled(available && viewer_);
}

void TMsgPerso::AfficheMsgREP() {
    WrittenMessages written;
    std::optional<QString> failure;
    try {
        written = listWrittenMessages(session_);
    } catch (const VelkError& e) {
        failure = e.message();
    }
    fillList(ListReponses, written.lines);
    enableReplyButtons(!written.lines.empty());
    session_.replies.SelectedReply.reset();
    if (failure)
        ui_.message(*failure, MessageKind::Error);
    AfficheDemandes();
}

void TMsgPerso::AfficheDemandes() {
    std::vector<std::string> lines;
    std::optional<QString> failure;
    try {
        if (!session_.packet.control.BbsId.empty())
            for (const SubscriptionRequest& r : readSubscriptionQueue(session_))
                lines.push_back(queuedRequestLine(session_.packet.control, r));
    } catch (const VelkError& e) {
        failure = e.message();
    }
    fillList(ListDemandes, lines);
    ListDemandes->setVisible(!lines.empty());
    RetirerDemandeBtn->setVisible(!lines.empty());
    if (failure)
        ui_.message(*failure, MessageKind::Error);
}

void TMsgPerso::RetirerDemandeBtnClick() {
    const int row = ListDemandes->currentRow();
    if (row < 0)
        return;
    runAction(ui_, [&] { removeQueuedRequest(session_, std::size_t(row)); });
    AfficheDemandes();
}

void TMsgPerso::ListMsgPersoClick() {
    bool read = false;
    const int line = ListMsgPerso->currentRow();
    if (!runReported(ui_,
                     [&](Diagnostics& said) { read = readListedMessage(session_, said, line); }) ||
        !read || !viewer_)
        return;
    ui_.runModalOver(*viewer_, *this);
    runReported(ui_, [&](Diagnostics& said) { personal_->setMarks(listedMarks(session_, said)); });
    ListMsgPerso->setCurrentRow(session_.browser.CurrentListIndex);
    // Answers written from the viewer appear now.
    AfficheMsgREP();
}

void TMsgPerso::ListReponsesClick() {
    const int row = ListReponses->currentRow();
    session_.replies.SelectedReply = row >= 0 ? std::optional<int>(row) : std::nullopt;
}

void TMsgPerso::WriteMsgBtnClick() {
    if (editor_)
        editor_->writeNew(*this);
    AfficheMsgREP();
}

void TMsgPerso::DelBtnClick() {
    bool deleted = false;
    const bool completed = runAction(ui_, [&] { deleted = deleteSelectedReply(session_, ui_); });
    if (deleted || !completed)
        AfficheMsgREP();
}

void TMsgPerso::ModifBtnClick() {
    if (!editor_ || !shown(checkReplySelected(session_), ui_))
        return;
    editor_->modify(*session_.replies.SelectedReply, *this);
    AfficheMsgREP();
}

void TMsgPerso::LireBtnClick() {
    if (!viewer_)
        return;
    session_.viewer.ReplyMode = true;
    runAction(ui_, [&] {
        if (startRereading(session_))
            viewer_->ShowReplies(*this);
    });
    session_.viewer.ReplyMode = false;
    AfficheMsgREP();
}

void TMsgPerso::FermerBtnClick() {
    reject();
}

} // namespace velk
