// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace velk {

class DosTextBox;
struct Session;
class UiServices;
class TListe;

// The recipient dialog, asked before a new message or a forward.
class TDestin : public QDialog {
    Q_OBJECT
public:
    TDestin(Session& session, UiServices& ui);
    // The correspondents list opened by the "Amis" button.
    void setChooser(TListe& chooser) { chooser_ = &chooser; }

    QLabel* Label1;
    DosTextBox* Name;
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

} // namespace velk
