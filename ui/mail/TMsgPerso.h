// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "ui/widgets/WholeRowsList.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace velk {

struct ListedMessage;
class PersonalListModel;
struct Session;
class TAffMsg;
class TWriteMsg;
class UiServices;

// The written-messages manager: the packet's personal messages on the left, the messages
// written into the reply file on the right. From it the user reads a personal message,
// writes a new one, re-reads, modifies or deletes a written one.
class TMsgPerso : public QDialog {
    Q_OBJECT
public:
    TMsgPerso(Session& session, UiServices& ui, QWidget* parent = nullptr);

    // The personal list as the packet window reads it (loadPersonalMessages), in the DOS
    // font.
    void fillPersonal(std::vector<ListedMessage> messages);

    // The viewer, on the personal message just read (it may leave CurrentListIndex on
    // another line) and over the written messages. Until it is given a click only reads and
    // "&Relire les messages" stays disabled.
    void setViewer(TAffMsg& viewer);
    // Writing and modifying stay disabled until the editor is given.
    void setEditor(TWriteMsg& editor);

    // Rebuilds the written-messages list from the reply file; the selection is forgotten.
    void AfficheMsgREP();
    void FormCreate();
    void ListMsgPersoClick();
    void ListReponsesClick();
    void WriteMsgBtnClick();
    void DelBtnClick();
    void ModifBtnClick();
    void LireBtnClick();
    void FermerBtnClick();
    // The subscription requests queued for the next reply packet, under the written
    // messages; the list and its button show only when there are some.
    void AfficheDemandes();
    void RetirerDemandeBtnClick();

    QLabel* Label1;
    LineList* ListMsgPerso;
    QListWidget* ListReponses;
    QPushButton* WriteMsgBtn;
    QPushButton* DelBtn;
    QPushButton* ModifBtn;
    QPushButton* LireBtn;
    QPushButton* FermerBtn;
    QPushButton* HelpBtn;
    QListWidget* ListDemandes;
    QPushButton* RetirerDemandeBtn;

private:
    // The buttons that need a written message follow `available`; those whose window is
    // not given stay disabled.
    void enableReplyButtons(bool available);

    Session& session_;
    UiServices& ui_;
    TAffMsg* viewer_ = nullptr;
    TWriteMsg* editor_ = nullptr;
    PersonalListModel* personal_;
};

} // namespace velk
