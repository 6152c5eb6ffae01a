// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/library/TListe.h"

#include "core/ActionGuard.h"
#include "core/CharacterSet.h"
#include "core/DosFont.h"
#include "core/UiServices.h"
#include "session/Session.h"
#include "ui/library/TParam1.h"
#include "ui/library/TParam2.h"
#include "ui/library/TParam3.h"
#include "ui/library/TParam4.h"
#include "ui/widgets/Buttons.h"
#include "ui/widgets/Keyboard.h"
#include "ui/widgets/WholeRowsList.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace velk {

TListe::TListe(Session& session, UiServices& ui) : session_(session), ui_(ui) {
    setObjectName(QStringLiteral("Liste"));
    ListeElem = new WholeRowsList(this);
    ListeElem->setObjectName(QStringLiteral("ListeElem"));
    ListeElem->setFont(dosFont());
    ListeElem->setMinimumWidth(
        ListeElem->fontMetrics().horizontalAdvance(QString(82, QLatin1Char('M'))) +
        2 * ListeElem->frameWidth() + 20);
    ListeElem->setMinimumHeight(ListeElem->fontMetrics().height() * 16);

    OKBtn = dialogButton(QStringLiteral("&Fermer"), QStringLiteral("Sortir de la fenêtre"), this);
    ConfigBtn =
        dialogButton(QStringLiteral("&Configuration"), QStringLiteral("Gestion de la liste"), this);
    TriBtn = dialogButton(QStringLiteral("Tri alphabétique"), QString(), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ConfigBtn);
    buttons->addWidget(TriBtn);
    buttons->addStretch();
    buttons->addWidget(OKBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListeElem, 1);
    layout->addLayout(buttons);

    // Moving with the arrows does not choose.
    actOnClick(*ListeElem, [this](int row) { ListeElemClick(row); });
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ConfigBtn, &QPushButton::clicked, this, &TListe::ConfigBtnClick);
    connect(TriBtn, &QPushButton::clicked, this, &TListe::TriBtnClick);
}

void TListe::ShowTag(LibraryKind kind) {
    runAction(ui_, [&] { shown(chooser.ShowTag(kind, session_), ui_); });
    setWindowTitle(ChooserCaption(chooser.kind()));
    fill();
}

std::optional<int> TListe::Choose(LibraryKind kind) {
    chooser.resultOf(kind).reset();
    ShowTag(kind);
    ui_.runModal(*this);
    return chooser.resultOf(kind);
}

void TListe::fill() {
    ListeElem->clear();
    for (const ChooserLine& line : chooser.lines())
        ListeElem->addItem(dosToUnicode(line.text));
    TriBtn->setVisible(chooser.sortable());
    TriBtn->setText(chooser.sortRequested() ? QStringLiteral("Ordre normal")
                                            : QStringLiteral("Tri alphabétique"));
}

void TListe::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    TriBtn->setVisible(chooser.sortable());
}

void TListe::ListeElemClick(int row) {
    if (row < 0)
        return;
    chooser.choose(row);
    accept();
}

void TListe::TriBtnClick() {
    chooser.toggleSort();
    fill();
}

TLibraryEditor* TListe::editorOf(LibraryKind kind) const {
    return editors_[std::size_t(kind)];
}

void TListe::setEditors(TLibraryEditor& headers, TLibraryEditor& footers, TLibraryEditor& taglines,
                        TLibraryEditor& correspondents) {
    editors_ = {&headers, &footers, &taglines, &correspondents};
}

void TListe::ConfigBtnClick() {
    if (TLibraryEditor* editor = editorOf(chooser.kind()))
        editor->edit([this](QObject& window) { return ui_.runModal(window); });
    ShowTag(chooser.kind());
}

} // namespace velk
