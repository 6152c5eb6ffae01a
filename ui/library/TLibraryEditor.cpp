// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/library/TLibraryEditor.h"

#include "core/ActionGuard.h"
#include "core/CodePage.h"
#include "core/DosFont.h"
#include "core/UiServices.h"
#include "library/LibraryText.h"
#include "session/Session.h"
#include "ui/widgets/Keyboard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QList>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

const char* const kMacros[] = {
    "%DATE%",     "%HEURE%", "%DATEMSG%", "%HEUREMSG%",      "%DEST%",       "%PRENOM_DEST%",
    "%NOM_DEST%", "%SUJET%", "%AUTEUR%",  "%PRENOM_AUTEUR%", "%NOM_AUTEUR%",
};

bool isLineBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Lengths as the file will hold them: a line break is CR LF.
int countedLength(const QString& text) {
    int n = 0;
    for (const QChar c : text)
        n += isLineBreak(c) ? 2 : 1;
    return n;
}

std::size_t dosCountedLength(std::string_view dos) {
    return dos.size() + std::size_t(std::count(dos.begin(), dos.end(), '\n'));
}

// What a key or an input method types: characters to store, not commands.
bool isTypedText(const QString& text, bool tabAllowed) {
    if (text.isEmpty())
        return false;
    for (const char32_t u : text.toUcs4()) {
        if (u == U'\t' ? !tabAllowed : (u < 0x20 || (u >= 0x7F && u < 0xA0)))
            return false;
    }
    return true;
}

QString shownText(std::string_view dos) {
    QStringList lines;
    std::size_t from = 0;
    while (true) {
        const std::size_t end = dos.find('\n', from);
        lines.append(dosLineForDisplay(
            dos.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from)));
        if (end == std::string_view::npos)
            break;
        from = end + 1;
    }
    return lines.join(QLatin1Char('\n'));
}

QPushButton* button(const QString& caption, const QString& hint, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

} // namespace

DosTextBox::DosTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setFont(dosFont());
    setTabChangesFocus(false);
}

void DosTextBox::setSingleLine(bool single) {
    single_ = single;
    setTabChangesFocus(single);
    if (!single)
        return;
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedHeight(fontMetrics().height() + 2 * frameWidth() +
                   2 * int(document()->documentMargin()));
}

void DosTextBox::setDosLines(const std::vector<std::string>& lines) {
    QStringList shown;
    for (const std::string& line : lines)
        shown.append(dosLineForDisplay(line));
    setPlainText(shown.join(QLatin1Char('\n')));
    document()->setModified(false);
}

std::vector<std::string> DosTextBox::dosLines() const {
    return entryLines(glyphsToDos(toPlainText()));
}

int DosTextBox::room() const {
    if (limit_ <= 0)
        return INT_MAX;
    const int used = countedLength(toPlainText()) - countedLength(textCursor().selectedText());
    return std::max(0, limit_ - used);
}

QString DosTextBox::shownAfterLimit(std::string dos) {
    if (single_)
        std::replace(dos.begin(), dos.end(), '\n', ' ');
    if (upper_)
        upperAsciiLetters(dos);
    const std::size_t room = std::size_t(this->room());
    while (dosCountedLength(dos) > room)
        dos.pop_back();
    return shownText(dos);
}

void DosTextBox::insertDos(std::string dos) {
    const QString shown = shownAfterLimit(std::move(dos));
    if (!shown.isEmpty())
        insertPlainText(shown);
}

void DosTextBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (single_) {
            event->ignore(); // the dialog's default button
            return;
        }
        // A plain line break whatever the modifiers, never a line separator.
        insertDos("\n");
        event->accept();
        return;
    }
    // Control with a letter is a command, as in any Qt text box.
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool command =
        mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier);
    if (!command && isTypedText(event->text(), !single_)) {
        insertDos(typedToDos(event->text()));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DosTextBox::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent typed(event->preeditString(), event->attributes());
    typed.setCommitString(shownAfterLimit(typedToDos(event->commitString())),
                          event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&typed);
}

void DosTextBox::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return;
    QString text = source->text();
    text.remove(QLatin1Char('\r'));
    insertDos(glyphsToDos(text));
}

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
    Texte->setUpperCase(kind == LibraryKind::Correspondents);
    Texte->setSingleLine(kind == LibraryKind::Correspondents);
    // Room for a line of 80 DOS characters.
    Texte->setMinimumWidth(Texte->fontMetrics().horizontalAdvance(QString(82, QLatin1Char('M'))) +
                           2 * Texte->frameWidth());
    if (kind != LibraryKind::Correspondents)
        Texte->setMinimumHeight(Texte->fontMetrics().height() *
                                (kind == LibraryKind::Taglines ? 6 : 14));

    NewBtn = button(QStringLiteral("&Nouveau"), newHint, this);
    DelBtn = button(QStringLiteral("&Effacer"), deleteHint, this);
    OKBtn = button(QStringLiteral("&Fermer"), QStringLiteral("Sortir de la fenêtre"), this);
    OKBtn->setDefault(true);
    HelpBtn = button(QStringLiteral("&Aide"), QStringLiteral("Aide contextuelle"), this);
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
        if (!LoadLibrary(session_.libraries, kind(), session_.settings.velkPath, ui_))
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
    LoadLibrary(session_.libraries, kind(), session_.settings.velkPath, ui_);
}

void TLibraryEditor::ChargeListe() {
    Choix->clear();
    Texte->clear();
    for (const std::string& item : editing_.ChargeListe())
        Choix->addItem(dosToUnicode(item));
}

void TLibraryEditor::AfficheEntry(int position) {
    const LibraryEditing::Shown shown = editing_.Affiche(position);
    Texte->setDosLines(shown.lines);
    if (Default)
        Default->setChecked(shown.isDefault);
}

void TLibraryEditor::SauveCur() {
    editing_.SauveCur(Texte->dosLines(), Default && Default->isChecked());
}

void TLibraryEditor::ChoixChange(int position) {
    SauveCur();
    AfficheEntry(position);
}

void TLibraryEditor::MacroBoxChange(int index) {
    // Put in at the caret directly: going through the clipboard would lose what it held.
    Texte->insertDos(MacroBox->itemText(index).toStdString());
    Texte->setFocus();
}

void TLibraryEditor::NewBtnClick() {
    // Saved even when only "Choix par défaut" changed.
    SauveCur();
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
    if (editing_.tableIndexAt(editing_.currentPosition()) < 0)
        return;
    if (!ui_.askYesNo(QStringLiteral("Confirmez-vous l'effacement ?")))
        return;
    const LibraryEditing::Deletion deletion = editing_.DeleteCurrent();
    if (deletion.wasLast) {
        ui_.message(LastEntryDeletedMessage(kind()));
        saved_ = true;
        runAction(ui_, [&] { editing_.SaveEmptied(session_.settings.velkPath, ui_); });
        accept();
        return;
    }
    ChargeListe();
    const int position = editing_.positionOf(deletion.nextTableIndex);
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
        editing_.Close(Texte->dosLines(), Default && Default->isChecked(),
                       session_.settings.velkPath, ui_);
    });
}
