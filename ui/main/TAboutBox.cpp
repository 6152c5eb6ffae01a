// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/main/TAboutBox.h"

#include "ui/widgets/ProgramIcon.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velk {

TAboutBox::TAboutBox() {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("A propos"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    auto* icon = new QLabel(this);
    icon->setPixmap(programPixmap(48));
    auto* version = new QLabel(QStringLiteral("VELK v 0.22.32ß  (Version 32 bits)"), this);
    version->setObjectName(QStringLiteral("ProductName"));
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);
    auto* author =
        new QLabel(QStringLiteral("Écrit par l'équipe de VELK, logiciel libre (GNU GPL v2 ou "
                                  "ultérieure)."),
                   this);
    author->setObjectName(QStringLiteral("Copyright"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(version);
    texts->addWidget(author);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace velk
