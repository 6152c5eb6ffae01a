// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/packet/TListeBull.h"

#include "core/UiServices.h"
#include "ui/packet/TAffBulletins.h"
#include "ui/widgets/Keyboard.h"
#include "ui/widgets/WholeRowsList.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velk {

TListeBull::TListeBull(UiServices& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setObjectName(QStringLiteral("ListeBull"));
    setWindowTitle(QStringLiteral("Liste des bulletins"));

    ListBull = new WholeRowsList;
    ListBull->setObjectName(QStringLiteral("ListBull"));
    OKBtn = new QPushButton(QStringLiteral("&Fermer"));
    OKBtn->setToolTip(QStringLiteral("Sortir de la fenêtre"));
    OKBtn->setAutoDefault(false);
    HelpBtn = new QPushButton(QStringLiteral("&Aide"));
    HelpBtn->setToolTip(QStringLiteral("Aide contextuelle"));
    HelpBtn->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(HelpBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBull, 1);
    layout->addLayout(buttons);

    actOnClick(*ListBull, [this](int row) { ListBullClick(row); });
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connectHelp(*this, *HelpBtn, ui_, 1000);
    resize(388, 254);
}

void TListeBull::fill(const QStringList& lines) {
    ListBull->clear();
    ListBull->addItems(lines);
}

void TListeBull::ListBullClick(int position) {
    if (!viewer_ || position < 0 || position >= ListBull->count())
        return;
    if (!viewer_->loadBulletin(position))
        return;
    ui_.runModalOver(*viewer_, *this);
    // The user may have stepped to another bulletin meanwhile.
    ListBull->setCurrentRow(viewer_->CurrentBulletin());
}

} // namespace velk
