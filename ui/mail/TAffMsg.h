// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/MessageNavigation.h"
#include "mail/MessageView.h"
#include "reply/Editor.h"

#include <QDialog>
#include <QSet>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace velk {

class MessageBodyView;
class TReponses;
class TWriteMsg;
struct Session;
class UiServices;

// The message viewer: the header panel and the body of the current message, with its
// quotations in their colour, and the way through the list it was opened on.
//
// Packet mode (the browser or the personal list): `if (viewer.AfficheMsg())
// ui.runModal(viewer);` Reply mode: the manager sets ReplyMode, then AfficheRep().
class TAffMsg : public QDialog {
    Q_OBJECT
public:
    TAffMsg(Session& session, UiServices& ui, QWidget* parent = nullptr);

    // Read the list's current message (packet mode) or the selected reply (reply mode)
    // into CurrentHeader and MessageText and show it; false when the read failed, after
    // its message. While the window is hidden the showing waits for FormActivate.
    bool AfficheMsg();
    bool AfficheRep();

    // Shows CurrentHeader and MessageText.
    void DisplayMessage();
    void FormActivate();
    void FermerBtnClick();
    void FirstMsgBtnClick();
    void PrevMsgBtnClick();
    void NextMsgBtnClick();
    void LastMsgBtnClick();
    // "Suivant non lu" and "À suivre": the board's read marks, in packet mode only.
    void NextUnreadBtnClick();
    void FollowBtnClick();
    void PoliceBtnClick();
    void ExportBtnClick();
    void AnswerBtnClick();
    void ForwardBtnClick();
    void WriteMsgBtnClick();
    // The thread both ways: the message answered, and a choice among the answers.
    void OrigineBtnClick();
    void ReponsesBtnClick();

    // The editor and the recipient dialog, created after the viewer; until they are given,
    // the three writing buttons stay disabled.
    void setEditor(TWriteMsg& editor);

    // The written messages from the manager: "&Répondre" becomes "&Modifier" and "&Ecrire"
    // goes while they are shown. SelectedReply is set and ReplyMode on.
    void ShowReplies(QObject& opener);
    void ImprimeBtnClick();
    void Copier1Click();
    void Slectionnertout1Click();

    // What the last DisplayMessage computed.
    const MessageView& view() const { return view_; }

    QLabel* ChStatut;
    QLabel* ChDate;
    QLabel* ChAuteur;
    QLabel* ChDest;
    QLabel* ChSujet;
    QLabel* chConf;
    QLabel* chNum;
    QLabel* NbLabel;
    QLabel* NbLignesLabel;
    QPushButton* AnswerBtn;
    QPushButton* ExportBtn;
    QPushButton* ImprimeBtn;
    QPushButton* FermerBtn;
    QPushButton* WriteMsgBtn;
    QPushButton* ForwardBtn;
    QPushButton* PoliceBtn;
    QPushButton* HelpBtn;
    QPushButton* FirstMsgBtn;
    QPushButton* LastMsgBtn;
    QPushButton* PrevMsgBtn;
    QPushButton* NextMsgBtn;
    QPushButton* NextUnreadBtn;
    QPushButton* FollowBtn;
    QPushButton* OrigineBtn;
    QPushButton* ReponsesBtn;
    TReponses* Reponses;
    MessageBodyView* Msg;
    QMenu* PopupMenu1;
    QAction* Copier1;
    QAction* Slectionnertout1;

public Q_SLOTS:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ShownNames shownNames() const;
    template <typename Slot> void wire(QPushButton* button, Slot slot);
    void navigate(NavigationStep step);
    void fillBody();
    void rememberShownNames();
    void showReadMark();

    Session& session_;
    UiServices& ui_;
    // The body lines as the text area shows them, for export and printing.
    QStringList shownLines() const;

    MessageView view_;
    TWriteMsg* editor_ = nullptr;
    QSet<QPushButton*> wired_; // buttons whose window exists; the others stay disabled
};

} // namespace velk
