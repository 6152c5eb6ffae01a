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

// The carbon-copy dialog: whom a copy of the message being written goes to.
class TCarbon : public QDialog {
    Q_OBJECT
public:
    TCarbon(Session& session, UiServices& ui);
    // The correspondents list opened by the "Amis" button.
    void setChooser(TListe& chooser) { chooser_ = &chooser; }

    QLabel* Label1;
    QLabel* Label2;
    DosTextBox* Name;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* AmisBtn;

    // CopyRecipient: the name chosen, empty when cancelled.
    std::string CopyRecipient;
    // Clears CopyRecipient and shows the dialog, which keeps the previous name.
    std::string Ask();

    void OKBtnClick();
    void CancelBtnClick();
    void AmisBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Session& session_;
    UiServices& ui_;
    TListe* chooser_ = nullptr;
};

} // namespace velk
