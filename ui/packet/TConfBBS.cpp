// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/packet/TConfBBS.h"

#include "board/SubscriptionQueue.h"
#include "core/ActionGuard.h"
#include "core/CharacterSet.h"
#include "core/DosFont.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "session/Session.h"
#include "ui/widgets/Buttons.h"
#include "ui/widgets/WholeRowsList.h"
#include "ui/widgets/WindowFlags.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace velk {

TConfBBS::TConfBBS(Session& session, UiServices& ui, QWidget* parent)
    : QDialog(parent), session_(session), ui_(ui) {
    setObjectName(QStringLiteral("ConfBBS"));
    setWindowTitle(QStringLiteral("Conférences du BBS"));
    setWorkWindowFlags(*this);
    Titres = new QLabel(QStringLiteral("N°    Suivie Demande   Nom"));
    Titres->setFont(dosFont());
    ListConf = new WholeRowsList;
    ListConf->setObjectName(QStringLiteral("ListConf"));
    ListConf->setFont(dosFont());
    ListConf->setSelectionMode(QAbstractItemView::SingleSelection);
    ListConf->setToolTip(QStringLiteral("Dans l'ordre :\nle numéro de conférence,\nsi vous la "
                                        "suivez (quand le BBS le dit),\nla demande en attente,\n"
                                        "le nom de la conférence"));
    AjouterBtn = dialogButton(QStringLiteral("&Ajouter"),
                              QStringLiteral("Demander au BBS d'ajouter cette conférence"));
    RetirerBtn = dialogButton(QStringLiteral("&Retirer"),
                              QStringLiteral("Demander au BBS de retirer cette conférence"));
    FermerBtn = dialogButton(QStringLiteral("&Fermer"), QStringLiteral("Sortir de la fenêtre"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AjouterBtn);
    buttons->addWidget(RetirerBtn);
    buttons->addStretch();
    buttons->addWidget(FermerBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Titres);
    layout->addWidget(ListConf, 1);
    layout->addLayout(buttons);
    resize(QFontMetrics(dosFont()).horizontalAdvance(QString(72, u'M')), 420);
    connect(AjouterBtn, &QPushButton::clicked, this, &TConfBBS::AjouterBtnClick);
    connect(RetirerBtn, &QPushButton::clicked, this, &TConfBBS::RetirerBtnClick);
    connect(FermerBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TConfBBS::FormActivate() {
    std::vector<SubscriptionRequest> queue;
    std::optional<QString> failure;
    try {
        queue = readSubscriptionQueue(session_);
    } catch (const VelkError& e) {
        failure = e.message();
    }
    const int row = ListConf->currentRow();
    ListConf->clear();
    for (const BoardConference& c : boardConferences(session_, queue))
        ListConf->addItem(dosToUnicode(boardConferenceLine(c)));
    if (ListConf->count() > 0)
        ListConf->setCurrentRow(std::clamp(row, 0, ListConf->count() - 1));
    if (failure)
        ui_.message(*failure, MessageKind::Error);
}

void TConfBBS::request(bool add) {
    const int row = ListConf->currentRow();
    const auto& conferences = session_.packet.control.Conferences;
    if (row < 0 || std::size_t(row) >= conferences.size())
        return;
    QString refusal;
    if (!runAction(ui_, [&] {
            refusal = queueSubscription(session_, conferences[std::size_t(row)].ConferenceNumber,
                                        add ? SubscriptionAction::Add : SubscriptionAction::Drop);
        }))
        return;
    if (!refusal.isEmpty())
        return ui_.message(refusal, MessageKind::Warning);
    FormActivate();
}

void TConfBBS::AjouterBtnClick() {
    request(true);
}

void TConfBBS::RetirerBtnClick() {
    request(false);
}

void TConfBBS::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

} // namespace velk
