// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/packet/TAffBulletins.h"

#include "core/ActionGuard.h"
#include "core/UiServices.h"
#include "session/Session.h"
#include "ui/widgets/AnsiImageLabel.h"
#include "ui/widgets/Buttons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

namespace velk {

TAffBulletins::TAffBulletins(Session& session, UiServices& ui, QWidget* parent)
    : QDialog(parent), ui_(ui), viewer_(session, ui) {
    setObjectName(QStringLiteral("AffBulletins"));

    Bulletin = new AnsiImageLabel;
    Bulletin->setObjectName(QStringLiteral("Bulletin"));
    Bulletin->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBulletin = new QScrollArea;
    ScrollBulletin->setObjectName(QStringLiteral("ScrollBulletin"));
    ScrollBulletin->setWidget(Bulletin);
    ScrollBulletin->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBulletin->setAutoFillBackground(true);
    ScrollBulletin->viewport()->setAutoFillBackground(true);
    // A whole screen of 80 columns and 25 rows without a horizontal bar.
    const int frame = 2 * ScrollBulletin->frameWidth();
    ScrollBulletin->setMinimumSize(kAnsiImageWidth + frame +
                                       ScrollBulletin->verticalScrollBar()->sizeHint().width(),
                                   25 * kAnsiCellHeight + frame);

    auto* buttons = new QHBoxLayout;
    OKBtn = addButton(buttons, QStringLiteral("&Fermer"), QStringLiteral("Ferme la fenêtre"));
    CouleursBtn = addButton(buttons, QStringLiteral("&Couleurs plus claires"),
                            QStringLiteral("Plus clair / Plus foncé"));
    buttons->addStretch();
    FirstBulBtn = addButton(buttons, QStringLiteral("Premier &Bulletin"),
                            QStringLiteral("Revenir au premier message"));
    PrevBulBtn = addButton(buttons, QStringLiteral("Bulletin &Préc."),
                           QStringLiteral("Aller au message précédent"));
    NextBulBtn = addButton(buttons, QStringLiteral("Bulletin &Suivant"),
                           QStringLiteral("Aller au message suivant"));
    LastBulBtn = addButton(buttons, QStringLiteral("&Dernier Bulletin"),
                           QStringLiteral("Aller au dernier message"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ScrollBulletin, 1);
    layout->addLayout(buttons);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CouleursBtn, &QPushButton::clicked, this, &TAffBulletins::CouleursBtnClick);
    connect(FirstBulBtn, &QPushButton::clicked, this, &TAffBulletins::FirstBulBtnClick);
    connect(PrevBulBtn, &QPushButton::clicked, this, &TAffBulletins::PrevBulBtnClick);
    connect(NextBulBtn, &QPushButton::clicked, this, &TAffBulletins::NextBulBtnClick);
    connect(LastBulBtn, &QPushButton::clicked, this, &TAffBulletins::LastBulBtnClick);
    // Home and End reach the ends of a long bulletin whatever button has the focus.
    QScrollBar* bar = ScrollBulletin->verticalScrollBar();
    connect(new QShortcut(QKeySequence(Qt::Key_Home), this), &QShortcut::activated, bar,
            [bar] { bar->setValue(bar->minimum()); });
    connect(new QShortcut(QKeySequence(Qt::Key_End), this), &QShortcut::activated, bar,
            [bar] { bar->setValue(bar->maximum()); });
    refresh();
}

void TAffBulletins::refresh() {
    const QImage& image = viewer_.image();
    Bulletin->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    Bulletin->resize(image.isNull() ? QSize(kAnsiImageWidth, 0) : image.size());
    QPalette palette = ScrollBulletin->palette();
    palette.setColor(QPalette::Window, QColor(viewer_.background()));
    ScrollBulletin->setPalette(palette);
    ScrollBulletin->viewport()->setPalette(palette);
    Bulletin->setPalette(palette);
    QScrollBar* bar = ScrollBulletin->verticalScrollBar();
    bar->setSingleStep(kAnsiCellHeight);
    bar->setValue(0);
    if (!viewer_.caption().isEmpty())
        setWindowTitle(viewer_.caption());
}

bool TAffBulletins::loadBulletin(int position) {
    bool drawn = false;
    runAction(ui_, [&] { drawn = viewer_.showBulletin(position); });
    refresh();
    return drawn;
}

bool TAffBulletins::loadNews() {
    bool drawn = false;
    runAction(ui_, [&] { drawn = viewer_.showNews(); });
    refresh();
    return drawn;
}

void TAffBulletins::setNavigationVisible(bool visible) {
    for (QPushButton* b : {FirstBulBtn, PrevBulBtn, NextBulBtn, LastBulBtn})
        b->setVisible(visible);
}

void TAffBulletins::MajBulletin() {
    runAction(ui_, [&] { viewer_.MajBulletin(); });
    refresh();
}

void TAffBulletins::FirstBulBtnClick() {
    runAction(ui_, [&] { viewer_.first(); });
    refresh();
}

void TAffBulletins::PrevBulBtnClick() {
    bool moved = false;
    // On the first bulletin nothing changes, not even the scroll position.
    if (!runAction(ui_, [&] { moved = viewer_.previous(); }) || moved)
        refresh();
}

void TAffBulletins::NextBulBtnClick() {
    bool moved = false;
    if (!runAction(ui_, [&] { moved = viewer_.next(); }) || moved)
        refresh();
}

void TAffBulletins::LastBulBtnClick() {
    runAction(ui_, [&] { viewer_.last(); });
    refresh();
}

void TAffBulletins::CouleursBtnClick() {
    runAction(ui_, [&] { viewer_.toggleColours(); });
    CouleursBtn->setText(viewer_.coloursCaption());
    refresh();
}

void TAffBulletins::FormClose() {
    viewer_.release();
}

void TAffBulletins::done(int result) {
    FormClose();
    QDialog::done(result);
}

} // namespace velk
