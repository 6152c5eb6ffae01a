// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/library/TLibraryEditor.h"

#include "core/ActionGuard.h"
#include "core/DosFont.h"
#include "core/UiServices.h"
#include "library/LibraryText.h"
#include "session/Session.h"
#include "ui/widgets/Buttons.h"
#include "ui/widgets/DosTextBox.h"
#include "ui/widgets/Keyboard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace velk {

namespace {

const char* const kMacros[] = {
    "%DATE%",     "%HEURE%", "%DATEMSG%", "%HEUREMSG%",      "%DEST%",       "%PRENOM_DEST%",
    "%NOM_DEST%", "%SUJET%", "%AUTEUR%",  "%PRENOM_AUTEUR%", "%NOM_AUTEUR%",
};

} // namespace

TLibraryEditor::TLibraryEditor(Session& session, UiServices& ui, LibraryKind kind,
                               const QString& caption, const QString& newHint,
                               const QString& deleteHint, int helpContext)
    : session_(session), ui_(ui), editing_(session.libraries, kind), caption_(caption) {
    setWindowTitle(caption);
    const bool hasDefault = EditorHasDefault(kind);

    Label1 = new QLabel(QStringLiteral("Sélection :"), this);
    Choix = new QComboBox(this);
    Choix->setObjectName(QStringLiteral("Choix"));
    Choix->setMaxVisibleItems(16);
    Choix->setFont(dosFont());
    Choix->setMinimumContentsLength(28);
    Label1->setBuddy(Choix);
    auto* top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addWidget(Choix);
    if (hasDefault) {
        Label2 = new QLabel(QStringLiteral("Macro :"), this);
        MacroBox = new QComboBox(this);
        MacroBox->setObjectName(QStringLiteral("MacroBox"));
        MacroBox->setMaxVisibleItems(11);
        MacroBox->setFont(dosFont());
        for (const char* macro : kMacros)
            MacroBox->addItem(QString::fromLatin1(macro));
        Label2->setBuddy(MacroBox);
        Default = new QCheckBox(QStringLiteral("Choix par défaut"), this);
        top->addSpacing(12);
        top->addWidget(Label2);
        top->addWidget(MacroBox);
        top->addSpacing(12);
        top->addWidget(Default);
    }
    top->addStretch();

    Texte = new DosTextBox(this);
    Texte->setObjectName(QStringLiteral("Texte"));
    Texte->setLimit(EditorTextLimit(kind));
    Texte->setRules({.capitals = kind == LibraryKind::Correspondents, .markersRefused = true});
    Texte->setSingleLine(kind == LibraryKind::Correspondents);
    // Room for a line of 80 DOS characters.
    Texte->setMinimumWidth(Texte->fontMetrics().horizontalAdvance(QString(82, QLatin1Char('M'))) +
                           2 * Texte->frameWidth());
    if (kind != LibraryKind::Correspondents)
        Texte->setMinimumHeight(Texte->fontMetrics().height() *
                                (kind == LibraryKind::Taglines ? 6 : 14));

    NewBtn = dialogButton(QStringLiteral("&Nouveau"), newHint, this);
    DelBtn = dialogButton(QStringLiteral("&Effacer"), deleteHint, this);
    OKBtn = dialogButton(QStringLiteral("&Fermer"), QStringLiteral("Sortir de la fenêtre"), this);
    OKBtn->setDefault(true);
    HelpBtn = dialogButton(QStringLiteral("&Aide"), QStringLiteral("Aide contextuelle"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(NewBtn);
    buttons->addWidget(DelBtn);
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(HelpBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Texte, 1);
    layout->addLayout(buttons);
    if (kind == LibraryKind::Correspondents)
        layout->setSizeConstraint(QLayout::SetFixedSize);

    // "activated" comes from the user only: filling the drop-downs changes nothing.
    connect(Choix, &QComboBox::activated, this, &TLibraryEditor::ChoixChange);
    if (MacroBox)
        connect(MacroBox, &QComboBox::activated, this, &TLibraryEditor::MacroBoxChange);
    connect(NewBtn, &QPushButton::clicked, this, &TLibraryEditor::NewBtnClick);
    connect(DelBtn, &QPushButton::clicked, this, &TLibraryEditor::DelBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TLibraryEditor::OKBtnClick);
    connectHelp(*this, *HelpBtn, ui_, helpContext);
}

void TLibraryEditor::edit(const std::function<int(QObject&)>& show) {
    runAction(ui_, [&] {
        if (!shown(LoadLibrary(session_.libraries, kind(), session_.settings.velkPath), ui_))
            return;
        prepare();
        show(*this);
        release();
    });
}

void TLibraryEditor::prepare() {
    saved_ = false;
    ChargeListe();
    if (MacroBox)
        MacroBox->setCurrentIndex(0);
    Choix->setCurrentIndex(0);
    AfficheEntry(0);
    setWindowTitle(caption_);
}

void TLibraryEditor::release() {
    Choix->clear();
    Texte->clear();
    LoadLibrary(session_.libraries, kind(), session_.settings.velkPath).diagnostics.showTo(ui_);
}

void TLibraryEditor::ChargeListe() {
    Choix->clear();
    Texte->clear();
    for (const std::string& item : editing_.rebuildMap())
        Choix->addItem(dosToUnicode(item));
}

void TLibraryEditor::AfficheEntry(int position) {
    const LibraryEditing::Shown shown = editing_.select(position);
    Texte->setDosLines(shown.lines);
    if (Default)
        Default->setChecked(shown.isDefault);
}

void TLibraryEditor::keepCurrentEntry() {
    editing_.keepCurrent(entryLines(Texte->dosText()), Default && Default->isChecked());
}

void TLibraryEditor::ChoixChange(int position) {
    keepCurrentEntry();
    AfficheEntry(position);
}

void TLibraryEditor::MacroBoxChange(int index) {
    // Put in at the caret directly: going through the clipboard would lose what it held.
    Texte->insertDos(MacroBox->itemText(index).toStdString());
    Texte->setFocus();
}

void TLibraryEditor::NewBtnClick() {
    // Saved even when only "Choix par défaut" changed.
    keepCurrentEntry();
    if (!editing_.NewEntry()) {
        ui_.message(LibraryFullMessage(kind()), MessageKind::Warning);
        return;
    }
    Choix->clear();
    Texte->clear();
    Texte->document()->setModified(false);
    if (Default)
        Default->setChecked(false);
    Texte->setFocus();
}

void TLibraryEditor::DelBtnClick() {
    if (!editing_.tableIndexAt(editing_.currentPosition()))
        return;
    if (!ui_.askYesNo(QStringLiteral("Confirmez-vous l'effacement ?")))
        return;
    const LibraryEditing::Deletion deletion = editing_.DeleteCurrent();
    if (deletion.wasLast) {
        ui_.message(LastEntryDeletedMessage(kind()));
        saved_ = true;
        runAction(ui_, [&] { shown(editing_.SaveEmptied(session_.settings.velkPath), ui_); });
        accept();
        return;
    }
    ChargeListe();
    // Qt's index for no item when the entry to show is not in the list.
    const int position = editing_.positionOf(*deletion.nextTableIndex).value_or(-1);
    Choix->setCurrentIndex(position);
    AfficheEntry(position);
}

void TLibraryEditor::OKBtnClick() {
    saveOnClose();
    accept();
}

void TLibraryEditor::done(int result) {
    if (!saved_)
        saveOnClose();
    QDialog::done(result);
}

void TLibraryEditor::saveOnClose() {
    saved_ = true;
    runAction(ui_, [&] {
        shown(editing_.Close(entryLines(Texte->dosText()), Default && Default->isChecked(),
                             session_.settings.velkPath),
              ui_);
    });
}

} // namespace velk
