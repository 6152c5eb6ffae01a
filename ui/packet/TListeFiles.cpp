// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/packet/TListeFiles.h"

#include "core/ActionGuard.h"
#include "core/DosFont.h"
#include "core/UiServices.h"
#include "session/Session.h"
#include "ui/widgets/Buttons.h"
#include "ui/widgets/Keyboard.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextCursor>
#include <QVBoxLayout>

namespace velk {

TListeFiles::TListeFiles(Session& session, UiServices& ui, QWidget* parent)
    : QDialog(parent), session_(session), ui_(ui) {
    setObjectName(QStringLiteral("ListeFiles"));
    setWindowTitle(QStringLiteral("Nouveaux Fichiers"));

    ListFiles = new QPlainTextEdit;
    ListFiles->setObjectName(QStringLiteral("ListFiles"));
    ListFiles->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ListFiles->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* buttons = new QHBoxLayout;
    OKBtn = addButton(buttons, QStringLiteral("&Fermer"), QStringLiteral("Sortir de la fenêtre"));
    SearchBtn = addButton(buttons, QStringLiteral("&Chercher"), QStringLiteral("Chercher un mot"));
    ExportBtn = addButton(buttons, QStringLiteral("&Exporter"),
                          QStringLiteral("Exporter la liste des fichiers"));
    buttons->addStretch();
    HelpBtn = addButton(buttons, QStringLiteral("&Aide"), QStringLiteral("Aide contextuelle"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListFiles, 1);
    layout->addLayout(buttons);

    connect(OKBtn, &QPushButton::clicked, this, &TListeFiles::OKBtnClick);
    connect(SearchBtn, &QPushButton::clicked, this, &TListeFiles::SearchBtnClick);
    connect(ExportBtn, &QPushButton::clicked, this, &TListeFiles::ExportBtnClick);
    connectHelp(*this, *HelpBtn, ui_, 2000);
    resize(800, 600);
}

void TListeFiles::showEvent(QShowEvent* event) {
    // Only when the program shows the window: a restore by the window system would
    // otherwise throw the user's edits away.
    if (!event->spontaneous())
        FormActivate();
    QDialog::showEvent(event);
}

void TListeFiles::FormActivate() {
    ListFiles->setFont(dosFont());
    ListFiles->clear();
    runAction(ui_, [&] { ListFiles->setPlainText(loadNewFiles(session_)); });
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().topLeft());
    resize(800, 600);
}

void TListeFiles::OKBtnClick() {
    accept();
}

void TListeFiles::SearchBtnClick() {
    search_ = NewFilesSearch{};
    // The text typed last time is offered again; the options start over.
    FindRequest request{lastFind_.text, false, false, true};
    while (const auto answer = ui_.find(request)) {
        request = *answer;
        lastFind_ = request;
        FindDialog1Find(request);
    }
}

void TListeFiles::FindDialog1Find(const FindRequest& request) {
    const FindOutcome found = velk::FindDialog1Find(ListFiles->toPlainText(), request, search_);
    if (!found.found) {
        if (!request.text.isEmpty())
            ui_.message(QStringLiteral("Texte non trouvé"), MessageKind::Information);
        return;
    }
    ListFiles->setFocus();
    // From the bottom, making the selection visible brings its line to the top, where
    // scrolling line by line from the previous match would put it.
    QScrollBar* bar = ListFiles->verticalScrollBar();
    bar->setValue(bar->maximum());
    QTextCursor cursor(ListFiles->document());
    cursor.setPosition(found.start);
    cursor.setPosition(found.start + found.length, QTextCursor::KeepAnchor);
    ListFiles->setTextCursor(cursor);
    ListFiles->ensureCursorVisible();
}

void TListeFiles::ExportBtnClick() {
    FileDialogRequest request;
    request.title = QStringLiteral("Exportation d'une liste fichiers");
    request.directory = session_.settings.velkPath;
    request.fileName = QStringLiteral("*.TXT");
    request.filters = QStringList{QStringLiteral("Fichiers texte (*.TXT)")};
    request.confirmOverwrite = false; // an existing list is appended to, never overwritten
    const auto path = ui_.saveFileName(request);
    if (!path)
        return;
    if (runAction(ui_, [&] { exportNewFiles(*path, ListFiles->toPlainText()); }))
        ui_.message(QStringLiteral("Liste de fichiers sauvegardée."), MessageKind::Information,
                    QStringLiteral("Confirmation"));
}

} // namespace velk
