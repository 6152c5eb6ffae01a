// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

#include <string>

class DosNameEdit;
class QLabel;
class QPushButton;
struct Session;
class UiServices;
struct Windows;

// The carbon-copy dialog: whom a copy of the message being written goes to.
class TCarbon : public QDialog {
    Q_OBJECT
public:
    TCarbon(Session& session, UiServices& ui, Windows& windows);

    QLabel* Label1;
    QLabel* Label2;
    DosNameEdit* Name;
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
    Windows& windows_;
};
