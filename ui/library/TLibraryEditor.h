// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "library/LibraryEditing.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace velk {

class DosTextBox;
struct Session;
class UiServices;

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
    void keepCurrentEntry();
    void saveOnClose();

    Session& session_;
    UiServices& ui_;
    LibraryEditing editing_;
    QString caption_;
    bool saved_ = false;
};

} // namespace velk
