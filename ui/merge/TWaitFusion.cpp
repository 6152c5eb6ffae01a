// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/merge/TWaitFusion.h"

#include "ui/widgets/ProgramIcon.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace velk {

TWaitFusion::TWaitFusion(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WaitFusion"));
    setWindowTitle(QStringLiteral("   "));
    // A title bar without buttons: the merge cannot be stopped half-way.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    Label1 = new QLabel(QStringLiteral("Fusion en cours. Veuillez patienter ..."), this);
    QFont big = Label1->font();
    big.setPixelSize(16);
    Label1->setFont(big);
    Image1 = new QLabel(this);
    Image1->setPixmap(programPixmap(48));
    Statut = new QLabel(this);
    Statut->setObjectName(QStringLiteral("Statut"));
    Statut->setAlignment(Qt::AlignCenter);
    Statut->setMinimumSize(249, 33);

    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addSpacing(8);
    top->addWidget(Label1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Statut, 0, Qt::AlignHCenter);
    // A long packet path widens the window rather than being cut.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TWaitFusion::showNow() {
    show();
    raise();
    paintNow();
}

void TWaitFusion::ShowStatut(const QString& text) {
    Statut->setText(text);
    paintNow();
}

void TWaitFusion::paintNow() {
    // Lets the window take its new size and reach the screen; the user's clicks and keys
    // wait until the merge is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (isVisible())
        repaint();
}

} // namespace velk
