// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace velk {

struct Session;
class UiServices;

// "Conférences du BBS": every conference of the board, whether the user follows it where the
// board says so, and the requests to add or drop one, queued for the next reply packet.
class TConfBBS : public QDialog {
    Q_OBJECT
public:
    TConfBBS(Session& session, UiServices& ui, QWidget* parent = nullptr);

    // Lists the open packet's conferences and the queue; a damaged queue is told and left
    // out. Runs each time the window is shown.
    void FormActivate();
    void AjouterBtnClick();
    void RetirerBtnClick();

    QLabel* Titres;
    QListWidget* ListConf;
    QPushButton* AjouterBtn;
    QPushButton* RetirerBtn;
    QPushButton* FermerBtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void request(bool add);

    Session& session_;
    UiServices& ui_;
};

} // namespace velk
