// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "reply/Recipients.h"

#include <QDialog>
#include <QLineEdit>

#include <functional>
#include <initializer_list>
#include <string>

class QLabel;
class QPushButton;
struct Session;
class UiServices;
class TListe;

// A name field of the two name dialogs: capitals, typed letters kept as DOS letters, Enter
// acting as OK.
class DosNameEdit : public QLineEdit {
public:
    explicit DosNameEdit(QWidget* parent);
    std::string dosText() const;
    void setDosText(const std::string& dos);
    std::function<void()> onEnter;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};

// A dialog button that Enter in a field never presses.
QPushButton* dialogButton(const QString& text, const QString& hint, QWidget* parent);

// The OK, cancel and choose-from-the-list buttons of the two name dialogs.
struct NameDialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
    QPushButton* choose;
};

// Gives a name dialog its buttons (`cancelHint` on the cancel one) and its layout: the labels,
// the name field, then the buttons in a row.
NameDialogButtons layOutNameDialog(QDialog& dialog, std::initializer_list<QLabel*> labels,
                                   DosNameEdit* name, const QString& cancelHint);

// The recipient dialog, asked before a new message or a forward.
class TDestin : public QDialog {
    Q_OBJECT
public:
    TDestin(Session& session, UiServices& ui);
    // The correspondents list opened by the "Amis" button.
    void setChooser(TListe& chooser) { chooser_ = &chooser; }

    QLabel* Label1;
    DosNameEdit* Name;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;
    QPushButton* AmisBtn;

    // Shows the dialog with `preset` in its field; ChosenRecipient comes back (empty when
    // cancelled).
    std::string Ask(const std::string& preset);

    void OKBtnClick();
    void CancelBtnClick();
    void AmisBtnClick();

private:
    Session& session_;
    UiServices& ui_;
    TListe* chooser_ = nullptr;
    std::string chosen_; // empty: cancelled
};
