// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/TRecherche.h"

#include "core/ActionGuard.h"
#include "core/CharacterSet.h"
#include "core/DosFont.h"
#include "core/UiServices.h"
#include "mail/Browser.h"
#include "mail/ListModels.h"
#include "session/Session.h"
#include "ui/mail/TAffMsg.h"
#include "ui/widgets/Buttons.h"
#include "ui/widgets/Keyboard.h"
#include "ui/widgets/WholeRowsList.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace velk {

namespace {

constexpr int kHelpContext = 11000;

QCheckBox* option(const QString& caption, bool checked) {
    auto* box = new QCheckBox(caption);
    box->setChecked(checked);
    return box;
}

} // namespace

TRecherche::TRecherche(Session& session, UiServices& ui) : session_(session), ui_(ui) {
    setObjectName(QStringLiteral("Recherche"));
    setWindowTitle(QStringLiteral("Recherche"));

    Texte = new QLineEdit;
    Texte->setObjectName(QStringLiteral("Texte"));
    auto* label = new QLabel(QStringLiteral("&Texte à chercher :"));
    label->setBuddy(Texte);
    Sujet = option(QStringLiteral("&Sujet"), true);
    Auteur = option(QStringLiteral("&Auteur"), true);
    Destinataire = option(QStringLiteral("&Destinataire"), true);
    TexteMsg = option(QStringLiteral("Te&xte du message"), true);
    Majuscules = option(QStringLiteral("&Majuscules/minuscules"), false);
    MotEntier = option(QStringLiteral("Mot &entier"), false);
    Resultats = new LineList;
    Resultats->setObjectName(QStringLiteral("Resultats"));
    results_ = new SearchResultModel(this);
    Resultats->setModel(results_);
    Resultats->setFont(dosFont());
    Resultats->setUniformItemSizes(true);
    Resultats->setMinimumSize(QFontMetrics(dosFont()).horizontalAdvance(QString(80, u'M')),
                              QFontMetrics(dosFont()).height() * 16);
    Etat = new QLabel;
    ChercherBtn =
        dialogButton(QStringLiteral("&Chercher"), QStringLiteral("Chercher dans le paquet"));
    ChercherBtn->setDefault(true);
    HelpBtn = dialogButton(QStringLiteral("Ai&de"), QStringLiteral("Aide contextuelle"));
    FermerBtn = dialogButton(QStringLiteral("&Fermer"), QStringLiteral("Sortir de la fenêtre"));

    auto* where = new QHBoxLayout;
    where->addWidget(new QLabel(QStringLiteral("Chercher dans :")));
    for (QCheckBox* box : {Sujet, Auteur, Destinataire, TexteMsg})
        where->addWidget(box);
    where->addStretch();
    auto* how = new QHBoxLayout;
    how->addWidget(Majuscules);
    how->addWidget(MotEntier);
    how->addStretch();
    auto* find = new QHBoxLayout;
    find->addWidget(label);
    find->addWidget(Texte, 1);
    find->addWidget(ChercherBtn);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Etat, 1);
    buttons->addWidget(HelpBtn);
    buttons->addWidget(FermerBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(find);
    layout->addLayout(where);
    layout->addLayout(how);
    // The column titles in the list's own font and cells, so they stand over their columns.
    auto* titles =
        new QLabel(QStringLiteral("Conf. Numéro  Date      Auteur                    Sujet"));
    titles->setFont(dosFont());
    titles->setIndent(Resultats->frameWidth() +
                      Resultats->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    layout->addWidget(titles);
    layout->addWidget(Resultats, 1);
    layout->addLayout(buttons);

    timer_ = new QTimer(this);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &TRecherche::searchSome);
    connect(ChercherBtn, &QPushButton::clicked, this, &TRecherche::ChercherBtnClick);
    connect(FermerBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(Texte, &QLineEdit::returnPressed, this, &TRecherche::ChercherBtnClick);
    actOnEnter(*Resultats, [this] { ResultatsClick(); });
    connectHelp(*this, *HelpBtn, ui_, kHelpContext);
}

TRecherche::~TRecherche() = default;

void TRecherche::ChercherBtnClick() {
    stop();
    results_->clearHits();
    SearchRequest request;
    request.text = Texte->text();
    request.fields = (Sujet->isChecked() ? SearchSubject : 0u) |
                     (Auteur->isChecked() ? SearchAuthor : 0u) |
                     (Destinataire->isChecked() ? SearchRecipient : 0u) |
                     (TexteMsg->isChecked() ? SearchText : 0u);
    request.matchCase = Majuscules->isChecked();
    request.wholeWord = MotEntier->isChecked();
    if (request.text.isEmpty() || request.fields == 0) {
        Etat->setText(QStringLiteral("Donnez le texte à chercher et où le chercher."));
        return;
    }
    runAction(ui_, [&] {
        auto reader = std::make_unique<SearchHitReader>(session_);
        search_ = std::make_unique<PacketSearch>(session_, request);
        results_->clearHits(std::move(reader));
    });
    if (!search_)
        return;
    Etat->setText(QStringLiteral("Recherche en cours…"));
    timer_->start();
}

void TRecherche::searchSome() {
    if (!search_) {
        timer_->stop();
        return;
    }
    std::vector<SearchHit> found;
    bool more = false;
    if (!runAction(ui_, [&] { more = search_->searchSome(found, std::chrono::milliseconds(30)); }))
        more = false;
    results_->addHits(std::move(found));
    if (Resultats->currentRow() < 0 && Resultats->count() > 0)
        Resultats->setCurrentRow(0);
    if (more)
        return;
    stop();
    const std::size_t hits = results_->hitCount();
    Etat->setText(hits == 0 ? QStringLiteral("Aucun message trouvé.")
                            : QStringLiteral("%1 message(s) trouvé(s).").arg(hits));
}

void TRecherche::stop() {
    timer_->stop();
    search_.reset();
}

void TRecherche::ResultatsClick() {
    const int row = Resultats->currentRow();
    const std::size_t hits = results_->hitCount();
    if (row < 0 || std::size_t(row) >= hits || !viewer_)
        return;
    // The viewer steps through the results as through a conference of the browser.
    BrowserState& b = session_.browser;
    b.ListOrder.clear();
    for (std::size_t i = 0; i < hits; ++i)
        b.ListOrder.push_back(results_->headerBlock(i));
    b.LastListIndex = std::int32_t(b.ListOrder.size()) - 1;
    b.LoadedConference.reset();
    bool read = false;
    if (!runReported(ui_,
                     [&](Diagnostics& said) { read = readListedMessage(session_, said, row); }) ||
        !read)
        return;
    ui_.runModalOver(*viewer_, *this);
    Resultats->setCurrentRow(session_.browser.CurrentListIndex);
}

void TRecherche::done(int result) {
    stop();
    QDialog::done(result);
}

} // namespace velk
