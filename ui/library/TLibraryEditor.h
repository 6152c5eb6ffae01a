// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "library/LibraryEditing.h"

#include <QDialog>
#include <QPlainTextEdit>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
struct Session;
class UiServices;

// A text box holding DOS bytes shown as code page 437 glyphs. Typed characters go through
// the keyboard table, pasted text through the code page, and neither can bring in an entry
// marker; an optional limit counts a line break as two characters (CR LF).
class DosTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DosTextBox(QWidget* parent = nullptr);

    void setLimit(int characters) { limit_ = characters; }
    // One line, no line break taken, tab moves the focus.
    void setSingleLine(bool single);
    // Letters a to z become capitals as they are typed or pasted.
    void setUpperCase(bool upper) { upper_ = upper; }

    void setDosLines(const std::vector<std::string>& lines);
    std::vector<std::string> dosLines() const;
    // Inserts DOS bytes at the caret, as far as the limit allows.
    void insertDos(std::string dos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // How many more characters the limit allows once the selection is replaced.
    int room() const;
    QString shownAfterLimit(std::string dos);

    int limit_ = 0;
    bool single_ = false;
    bool upper_ = false;
};

// What the four library editors share: a drop-down of the entries, the macro box and the
// default mark (not for correspondents), the text of the entry shown, and the buttons.
// Changes stay in memory until the window closes, by "&Fermer" or any other way, when the
// file is rewritten.
class TLibraryEditor : public QDialog {
    Q_OBJECT
public:
    QLabel* Label1;
    QComboBox* Choix;
    QLabel* Label2 = nullptr;
    QComboBox* MacroBox = nullptr;
    QCheckBox* Default = nullptr;
    DosTextBox* Texte;
    QPushButton* NewBtn;
    QPushButton* DelBtn;
    QPushButton* OKBtn;
    QPushButton* HelpBtn;

    LibraryKind kind() const { return editing_.kind(); }
    const LibraryEditing& editing() const { return editing_; }

    // As the menu and the chooser open an editor: the file read afresh, the editor prepared,
    // shown through `show`, then its texts released. Nothing is shown when the file cannot
    // be read.
    void edit(const std::function<int(QObject&)>& show);

    // Affiche...: the drop-down filled, the first entry shown.
    void prepare();
    // Close...: the controls emptied and the list read back from the file, so that the
    // list in memory is what the file holds.
    void release();

    void ChoixChange(int position);
    void MacroBoxChange(int index);
    void NewBtnClick();
    void DelBtnClick();
    void OKBtnClick();

    void done(int result) override;

protected:
    TLibraryEditor(Session& session, UiServices& ui, LibraryKind kind, const QString& caption,
                   const QString& newHint, const QString& deleteHint, int helpContext);

private:
    void ChargeListe();
    void AfficheEntry(int position);
    void SauveCur();
    void saveOnClose();

    Session& session_;
    UiServices& ui_;
    LibraryEditing editing_;
    QString caption_;
    bool saved_ = false;
};
