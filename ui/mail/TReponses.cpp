// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/TReponses.h"

#include "core/CharacterSet.h"
#include "core/DosFont.h"
#include "ui/widgets/Buttons.h"
#include "ui/widgets/WholeRowsList.h"
#include "ui/widgets/WindowFlags.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QVBoxLayout>

namespace velk {

TReponses::TReponses(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Reponses"));
    setWindowTitle(QStringLiteral("Réponses"));
    setWorkWindowFlags(*this);
    ListReponses = new WholeRowsList;
    ListReponses->setObjectName(QStringLiteral("ListReponses"));
    ListReponses->setFont(dosFont());
    ListReponses->setSelectionMode(QAbstractItemView::SingleSelection);
    LireBtn = dialogButton(QStringLiteral("&Lire"), QStringLiteral("Lire la réponse choisie"));
    LireBtn->setDefault(true);
    AnnulerBtn = dialogButton(QStringLiteral("Annuler"), QStringLiteral("Revenir au message"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(LireBtn);
    buttons->addWidget(AnnulerBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListReponses, 1);
    layout->addLayout(buttons);
    resize(QFontMetrics(dosFont()).horizontalAdvance(QString(90, u'M')), 240);
    connect(LireBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(AnnulerBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListReponses, &QListWidget::itemActivated, this, &QDialog::accept);
}

void TReponses::fill(const std::vector<std::string>& lines) {
    // The font of the lists may have changed since the window was built: a whole line shows.
    ListReponses->setFont(dosFont());
    const int lineWidth = QFontMetrics(dosFont()).horizontalAdvance(QString(90, u'M'));
    if (width() < lineWidth + 40)
        resize(lineWidth + 40, height());
    ListReponses->clear();
    for (const std::string& line : lines)
        ListReponses->addItem(dosToUnicode(line));
    ListReponses->setCurrentRow(0);
    ListReponses->setFocus();
}

int TReponses::chosen() const {
    return ListReponses->currentRow();
}

} // namespace velk
