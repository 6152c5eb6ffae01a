// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "reply/Recipients.h"

#include <QDialog>
#include <QList>

#include <string>

class QLabel;
class QPushButton;

namespace velk {

class DosTextBox;
struct Session;
class UiServices;
class TListe;

// What the recipient and the carbon-copy dialogs share: a name typed in capitals or taken
// from the correspondents, checked before the dialog closes with it.
class NameDialogWindow : public QDialog {
    Q_OBJECT
public:
    // The correspondents list opened by the "Amis" button.
    void setChooser(TListe& chooser) { chooser_ = &chooser; }

    QLabel* Label1;
    DosTextBox* Name;
    QPushButton* CancelBtn;
    QPushButton* AmisBtn;

    void OKBtnClick();
    void CancelBtnClick();
    void AmisBtnClick();

protected:
    // `question` is the dialog's text, one label a line; `cancelHint` the cancel button's hint.
    NameDialogWindow(Session& session, UiServices& ui, NameDialogKind kind,
                     const QStringList& question, const QString& cancelHint);
    void showEvent(QShowEvent* event) override;
    // Runs the dialog; the name chosen, empty when cancelled.
    std::string run();

    QList<QLabel*> questionLabels_; // one a line of the question
    QPushButton* okButton_ = nullptr;

private:
    Session& session_;
    UiServices& ui_;
    const NameDialogKind kind_;
    TListe* chooser_ = nullptr;
    std::string chosen_; // empty: cancelled
};

} // namespace velk
