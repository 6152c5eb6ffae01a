// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/TAffMsg.h"

#include "core/ActionGuard.h"
#include "core/DosFont.h"
#include "core/SettingsAppearance.h"
#include "core/UiServices.h"
#include "mail/Browser.h"
#include "mail/MessageExport.h"
#include "mail/PersonalMail.h"
#include "mail/ReadingState.h"
#include "mail/Threads.h"
#include "session/Session.h"
#include "ui/mail/MessageBodyView.h"
#include "ui/mail/ReadMarksView.h"
#include "ui/mail/TPrintMessage.h"
#include "ui/mail/TReponses.h"
#include "ui/reply/TWriteMsg.h"
#include "ui/widgets/Buttons.h"
#include "ui/widgets/Keyboard.h"
#include "ui/widgets/WindowFlags.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace velk {

namespace {

// The widest a header value grows before it wraps.
constexpr int kLongLabelCells = 40;

QLabel* makeValue(bool bold, bool dosFontLabel) {
    auto* label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    if (dosFontLabel) {
        label->setFont(dosFont());
    } else if (bold) {
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
    }
    return label;
}

} // namespace

TAffMsg::TAffMsg(Session& session, UiServices& ui, QWidget* parent)
    : QDialog(parent), session_(session), ui_(ui) {
    setObjectName(QStringLiteral("AffMsg"));
    setWindowTitle(QStringLiteral("Message"));
    setWorkWindowFlags(*this);

    ChStatut = makeValue(true, false);
    ChStatut->setAutoFillBackground(true);
    ChStatut->setMargin(2);
    ChDate = makeValue(true, false);
    ChAuteur = makeValue(false, true);
    ChDest = makeValue(false, true);
    ChSujet = makeValue(false, true);
    chConf = makeValue(false, true);
    chNum = makeValue(true, false);
    NbLabel = makeValue(true, false);
    NbLignesLabel = makeValue(true, false);

    // The columns keep their place from one message to the next: the header fields are
    // 25 DOS characters, a conference name 30.
    const QFontMetrics cells(dosFont());
    for (QLabel* l : {ChAuteur, ChDest, ChSujet})
        l->setMinimumWidth(cells.horizontalAdvance(QString(25, u'W')));
    chConf->setMinimumWidth(cells.horizontalAdvance(QString(30, u'W')));
    // A board's long names, subjects and conference names go on over a second line rather
    // than widening the window.
    for (QLabel* l : {ChAuteur, ChDest, ChSujet, chConf}) {
        l->setWordWrap(true);
        l->setMaximumWidth(cells.horizontalAdvance(QString(kLongLabelCells, u'W')));
    }
    ChDate->setMinimumWidth(
        ChDate->fontMetrics().horizontalAdvance(QStringLiteral("30 septembre 2000  à 00:00")));
    NbLabel->setMinimumWidth(
        NbLabel->fontMetrics().horizontalAdvance(QStringLiteral("Msg N° 00000 / 00000")));

    auto* panel = new QGridLayout;
    auto addPair = [&](int row, int column, const char* caption, QLabel* value) {
        auto* label = new QLabel(QString::fromUtf8(caption));
        panel->addWidget(label, row, column);
        panel->addWidget(value, row, column + 1);
    };
    addPair(0, 0, "Statut :", ChStatut);
    addPair(0, 2, "Date :", ChDate);
    addPair(1, 0, "Auteur :", ChAuteur);
    addPair(1, 2, "Destinataire :", ChDest);
    addPair(2, 0, "Sujet :", ChSujet);
    addPair(2, 2, "Conférence :", chConf);
    panel->addWidget(chNum, 0, 4);
    panel->addWidget(NbLabel, 1, 4);
    panel->addWidget(NbLignesLabel, 2, 4);
    panel->setColumnStretch(1, 1);
    panel->setColumnStretch(3, 1);
    panel->setHorizontalSpacing(8);
    panel->setVerticalSpacing(2);
    // "Privé" and "Public" keep their box at the left of the column.
    panel->setAlignment(ChStatut, Qt::AlignLeft);

    Msg = new MessageBodyView;
    Msg->setObjectName(QStringLiteral("Msg"));
    Msg->setContextMenuPolicy(Qt::NoContextMenu);
    Msg->installEventFilter(this);
    Msg->viewport()->installEventFilter(this);

    FirstMsgBtn = dialogButton(QStringLiteral("Premier Message"),
                               QStringLiteral("Revenir au premier message"));
    PrevMsgBtn = dialogButton(QStringLiteral("Message &Préc."),
                              QStringLiteral("Aller au message précédent"));
    NextMsgBtn = dialogButton(QStringLiteral("Message &Suivant"),
                              QStringLiteral("Aller au message suivant"));
    LastMsgBtn =
        dialogButton(QStringLiteral("Dernier Message"), QStringLiteral("Aller au dernier message"));
    NextUnreadBtn = dialogButton(QStringLiteral("Sui&vant non lu"),
                                 QStringLiteral("Aller au prochain message non lu"));
    FollowBtn = dialogButton(QStringLiteral("À s&uivre"),
                             QStringLiteral("Marquer ce message pour y revenir"));
    FollowBtn->setCheckable(true);
    OrigineBtn = dialogButton(QStringLiteral("Message d'ori&gine"),
                              QStringLiteral("Aller au message auquel celui-ci répond"));
    ReponsesBtn = dialogButton(QStringLiteral("Répo&nses"),
                               QStringLiteral("Lire une des réponses à ce message"));
    Reponses = new TReponses(this);
    AnswerBtn = dialogButton(QStringLiteral("&Répondre"), QStringLiteral("Répondre au message"));
    ForwardBtn = dialogButton(QStringLiteral("&Copier"), QStringLiteral("Faire suivre un message"));
    WriteMsgBtn = dialogButton(QStringLiteral("&Ecrire"), QStringLiteral("Ecrire un message"));
    ExportBtn = dialogButton(QStringLiteral("&Exporter"), QStringLiteral("Sauvegarder ce message"));
    ImprimeBtn = dialogButton(QStringLiteral("&Imprimer"), QStringLiteral("Imprimer ce message"));
    PoliceBtn = dialogButton(QStringLiteral("P&olice"), QString());
    HelpBtn = dialogButton(QStringLiteral("&Aide"), QStringLiteral("Aide contextuelle"));
    FermerBtn = dialogButton(QStringLiteral("&Fermer"), QStringLiteral("Sortir de la fenêtre"));

    auto* navigation = new QHBoxLayout;
    for (QPushButton* b : {FirstMsgBtn, PrevMsgBtn, NextMsgBtn, LastMsgBtn})
        navigation->addWidget(b);
    navigation->addStretch();
    // Reading by state and by thread: a row of its own, the window's width being fixed.
    auto* reading = new QHBoxLayout;
    for (QPushButton* b : {NextUnreadBtn, FollowBtn, OrigineBtn, ReponsesBtn})
        reading->addWidget(b);
    reading->addStretch();
    auto* actions = new QHBoxLayout;
    for (QPushButton* b :
         {AnswerBtn, ForwardBtn, WriteMsgBtn, ExportBtn, ImprimeBtn, PoliceBtn, HelpBtn})
        actions->addWidget(b);
    actions->addStretch();
    actions->addWidget(FermerBtn);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);
    layout->addLayout(panel);
    layout->addWidget(Msg, 1);
    layout->addLayout(navigation);
    layout->addLayout(reading);
    layout->addLayout(actions);
    setFixedSize(792, 553);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    // Choosing "&Annuler" only closes the menu.
    PopupMenu1->addAction(QStringLiteral("&Annuler"));
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(QStringLiteral("&Couper"))->setEnabled(false);
    Copier1 = PopupMenu1->addAction(QStringLiteral("Co&pier"));
    PopupMenu1->addAction(QStringLiteral("C&oller"))->setEnabled(false);
    PopupMenu1->addAction(QStringLiteral("&Suppr"))->setEnabled(false);
    PopupMenu1->addSeparator();
    Slectionnertout1 = PopupMenu1->addAction(QStringLiteral("Sélectionner &tout"));
    connect(Copier1, &QAction::triggered, this, &TAffMsg::Copier1Click);
    connect(Slectionnertout1, &QAction::triggered, this, &TAffMsg::Slectionnertout1Click);

    wire(FermerBtn, &TAffMsg::FermerBtnClick);
    wire(FirstMsgBtn, &TAffMsg::FirstMsgBtnClick);
    wire(PrevMsgBtn, &TAffMsg::PrevMsgBtnClick);
    wire(NextMsgBtn, &TAffMsg::NextMsgBtnClick);
    wire(LastMsgBtn, &TAffMsg::LastMsgBtnClick);
    wire(NextUnreadBtn, &TAffMsg::NextUnreadBtnClick);
    wire(FollowBtn, &TAffMsg::FollowBtnClick);
    wire(OrigineBtn, &TAffMsg::OrigineBtnClick);
    wire(ReponsesBtn, &TAffMsg::ReponsesBtnClick);
    wire(PoliceBtn, &TAffMsg::PoliceBtnClick);
    wire(ExportBtn, &TAffMsg::ExportBtnClick);
    wire(ImprimeBtn, &TAffMsg::ImprimeBtnClick);
    connectHelp(*this, *HelpBtn, ui_, 5000);
    wired_.insert(HelpBtn);
    for (QPushButton* b : {AnswerBtn, ForwardBtn, WriteMsgBtn, ExportBtn, ImprimeBtn})
        b->setEnabled(wired_.contains(b));
}

template <typename Slot> void TAffMsg::wire(QPushButton* button, Slot slot) {
    connect(button, &QPushButton::clicked, this, slot);
    wired_.insert(button);
}

bool TAffMsg::AfficheMsg() {
    bool read = false;
    const int line = session_.browser.CurrentListIndex;
    if (!runReported(ui_,
                     [&](Diagnostics& said) { read = readListedMessage(session_, said, line); }) ||
        !read)
        return false;
    if (isVisible())
        DisplayMessage();
    return true;
}

bool TAffMsg::AfficheRep() {
    bool read = false;
    if (!runAction(ui_, [&] { read = readSelectedReply(session_); }) || !read)
        return false;
    if (isVisible())
        DisplayMessage();
    return true;
}

void TAffMsg::DisplayMessage() {
    BusyCursor busy(ui_);
    view_ = buildMessageView(session_);
    session_.browser.CurrentConference = view_.conference;

    ChStatut->setText(view_.ChStatut);
    QPalette statusPalette = ChStatut->palette();
    statusPalette.setColor(QPalette::Window, view_.privateMessage
                                                 ? kPrivateStatusColour
                                                 : palette().color(QPalette::Button));
    ChStatut->setPalette(statusPalette);
    ChDate->setText(view_.ChDate);
    // The DOS font lacks most of a UTF-8 message's characters: other fonts lend them.
    QFont fieldFont = dosFont();
    if (view_.utf8)
        fieldFont.setStyleStrategy(
            QFont::StyleStrategy(fieldFont.styleStrategy() & ~QFont::NoFontMerging));
    for (QLabel* l : {ChAuteur, ChDest, ChSujet})
        l->setFont(fieldFont);
    ChAuteur->setText(view_.ChAuteur);
    ChDest->setText(view_.ChDest);
    ChSujet->setText(view_.ChSujet);
    chConf->setText(view_.chConf);
    chNum->setVisible(view_.numberVisible);
    chNum->setText(view_.chNum);
    NbLabel->setText(view_.NbLabel);
    fillBody();
    NbLignesLabel->setText(view_.NbLignesLabel);
    Msg->setFocus();
    if (reportedTo(ui_, [&](Diagnostics& said) { return markShownRead(session_, said); }))
        keepReadMarks(session_, ui_, *this);
    showReadMark();
}

void TAffMsg::showReadMark() {
    const std::optional<ReadMark> mark =
        reportedTo(ui_, [&](Diagnostics& said) { return shownMark(session_, said); });
    NextUnreadBtn->setVisible(!session_.viewer.ReplyMode);
    FollowBtn->setVisible(!session_.viewer.ReplyMode);
    FollowBtn->setEnabled(mark.has_value());
    FollowBtn->setChecked(mark == ReadMark::Followed);
}

void TAffMsg::NextUnreadBtnClick() {
    bool moved = false;
    if (!runReported(ui_, [&](Diagnostics& said) { moved = goToNextUnread(session_, said); }))
        return;
    if (!moved) {
        ui_.message(kNoMoreUnread);
        return;
    }
    DisplayMessage();
    rememberShownNames();
}

void TAffMsg::FollowBtnClick() {
    reportedTo(ui_, [&](Diagnostics& said) { return toggleShownFollowed(session_, said); });
    keepReadMarks(session_, ui_, *this);
    showReadMark();
}

void TAffMsg::fillBody() {
    Msg->setUpdatesEnabled(false);
    Msg->showLines(view_.lines, view_.font, view_.ink, view_.quote, view_.background);
    // The lines of a news header block go above the top of the view.
    if (view_.scrollLines)
        Msg->scrollToLine(*view_.scrollLines);
    Msg->setUpdatesEnabled(true);
}

void TAffMsg::rememberShownNames() {
    session_.viewer.ShownAuthor = view_.shownAuthor;
    session_.viewer.ShownRecipient = view_.shownRecipient;
}

void TAffMsg::FormActivate() {
    DisplayMessage();
    rememberShownNames();
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().topLeft());
    for (QPushButton* b : {AnswerBtn, ForwardBtn, WriteMsgBtn, ExportBtn, ImprimeBtn})
        b->setEnabled(wired_.contains(b));
}

void TAffMsg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

void TAffMsg::done(int result) {
    // The text buffer lives only while a message is on screen.
    session_.store.MessageText = std::string();
    QDialog::done(result);
}

void TAffMsg::FermerBtnClick() {
    reject();
}

void TAffMsg::navigate(NavigationStep step) {
    bool moved = false;
    runReported(ui_, [&](Diagnostics& said) { moved = navigateMessages(session_, said, step); });
    if (moved)
        DisplayMessage();
    rememberShownNames();
}

void TAffMsg::FirstMsgBtnClick() {
    navigate(NavigationStep::First);
}

void TAffMsg::PrevMsgBtnClick() {
    navigate(NavigationStep::Previous);
}

void TAffMsg::NextMsgBtnClick() {
    navigate(NavigationStep::Next);
}

void TAffMsg::LastMsgBtnClick() {
    navigate(NavigationStep::Last);
}

void TAffMsg::OrigineBtnClick() {
    runAction(ui_, [&] {
        const ThreadNeighbours around =
            reportedTo(ui_, [&](Diagnostics& said) { return threadNeighbours(session_, said); });
        if (!around.origin)
            return ui_.message(QStringLiteral("Le message auquel celui-ci répond n'est pas dans "
                                              "ce paquet."));
        reportedTo(ui_,
                   [&](Diagnostics& said) { readThreadMessage(session_, said, *around.origin); });
        DisplayMessage();
    });
    rememberShownNames();
}

void TAffMsg::ReponsesBtnClick() {
    runAction(ui_, [&] {
        const ThreadNeighbours around =
            reportedTo(ui_, [&](Diagnostics& said) { return threadNeighbours(session_, said); });
        if (around.answers.empty())
            return ui_.message(QStringLiteral("Aucune réponse à ce message dans ce paquet."));
        Reponses->fill(around.answerLines);
        if (ui_.runModal(*Reponses) != QDialog::Accepted || Reponses->chosen() < 0)
            return;
        const std::int32_t chosen = around.answers[std::size_t(Reponses->chosen())];
        reportedTo(ui_, [&](Diagnostics& said) { readThreadMessage(session_, said, chosen); });
        DisplayMessage();
    });
    rememberShownNames();
}

void TAffMsg::PoliceBtnClick() {
    std::optional<FontChange> change;
    if (!runAction(ui_, [&] { change = chooseMessageFont(session_, ui_); }) || !change)
        return;
    view_.font = fontOf(session_.settings.messageFont);
    view_.fontNotTerminal = change->isNotTerminal;
    if (change->isNotTerminal != change->wasNotTerminal)
        view_.lines = shownBodyLines(view_.body, view_.fontNotTerminal);
    fillBody();
    Msg->setUpdatesEnabled(false);
    ui_.message(kFontChangeMessage);
    Msg->setUpdatesEnabled(true);
    reject();
}

void TAffMsg::Copier1Click() {
    const QString selection = Msg->selectedText();
    if (!selection.isEmpty())
        copyToClipboard(selection, view_.fontNotTerminal, view_.utf8);
}

void TAffMsg::Slectionnertout1Click() {
    Msg->selectAll();
}

void TAffMsg::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->popup(event->globalPos());
}

bool TAffMsg::eventFilter(QObject* watched, QEvent* event) {
    // The body's own copy would put the font's character set and rich text on the
    // clipboard; its key and its menu go through Copier1Click.
    if (watched == Msg &&
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            if (event->type() == QEvent::KeyPress)
                Copier1Click();
            event->accept();
            return true;
        }
    }
    if (watched == Msg->viewport() && event->type() == QEvent::ContextMenu) {
        PopupMenu1->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAffMsg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // Minimising or restoring the viewer does the same to the whole program.
    const bool minimised = isMinimized();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->isVisible() || w->isMinimized() == minimised)
            continue;
        if (minimised)
            w->showMinimized();
        else
            w->showNormal();
    }
}

QStringList TAffMsg::shownLines() const {
    QStringList lines;
    lines.reserve(qsizetype(view_.lines.size()));
    for (const ShownLine& l : view_.lines)
        lines.append(l.text);
    return lines;
}

void TAffMsg::ExportBtnClick() {
    exportViewerMessage(session_, ui_, shownLines(), ChSujet->text(), chConf->text(), font());
}

void TAffMsg::ImprimeBtnClick() {
    printViewerMessage(session_, ui_, shownLines(), ChSujet->text(), chConf->text(), font());
}

void TAffMsg::setEditor(TWriteMsg& editor) {
    editor_ = &editor;
    for (QPushButton* b : {AnswerBtn, ForwardBtn, WriteMsgBtn}) {
        if (!wired_.contains(b))
            wired_.insert(b);
        b->setEnabled(true);
    }
    connect(AnswerBtn, &QPushButton::clicked, this, &TAffMsg::AnswerBtnClick);
    connect(ForwardBtn, &QPushButton::clicked, this, &TAffMsg::ForwardBtnClick);
    connect(WriteMsgBtn, &QPushButton::clicked, this, &TAffMsg::WriteMsgBtnClick);
}

ShownNames TAffMsg::shownNames() const {
    return {session_.viewer.ShownAuthor, session_.viewer.ShownRecipient};
}

void TAffMsg::AnswerBtnClick() {
    if (!editor_)
        return;
    const MessageStoreState& shown = session_.store;
    if (!session_.viewer.ReplyMode) {
        editor_->answer(shown.CurrentHeader, shown.MessageText, shownNames(), *this);
        return;
    }
    // A reply already written is opened for modification; its new version takes its place
    // only when the editor stored it whole.
    const std::optional<int> reply = session_.replies.SelectedReply;
    if (reply && editor_->modify(*reply, *this) && AfficheRep())
        rememberShownNames();
}

void TAffMsg::ForwardBtnClick() {
    if (editor_)
        editor_->forward(session_.store.CurrentHeader, session_.store.MessageText, shownNames(),
                         *this);
}

void TAffMsg::WriteMsgBtnClick() {
    if (editor_)
        editor_->writeFromMessage(session_.store.CurrentHeader, session_.store.MessageText,
                                  shownNames(), *this);
}

void TAffMsg::ShowReplies(QObject& opener) {
    AnswerBtn->setText(QStringLiteral("&Modifier"));
    for (QPushButton* b : {WriteMsgBtn, OrigineBtn, ReponsesBtn})
        b->setVisible(false);
    if (AfficheRep())
        ui_.runModalOver(*this, opener);
    AnswerBtn->setText(QStringLiteral("&Répondre"));
    for (QPushButton* b : {WriteMsgBtn, OrigineBtn, ReponsesBtn})
        b->setVisible(true);
}

} // namespace velk
