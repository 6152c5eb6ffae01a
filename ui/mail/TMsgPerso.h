// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
struct Session;
class UiServices;

// The written-messages manager: the packet's personal messages on the left, the messages
// written into the reply file on the right. From it the user reads a personal message,
// writes a new one, re-reads, modifies or deletes a written one.
class TMsgPerso : public QDialog {
    Q_OBJECT
public:
    TMsgPerso(Session& session, UiServices& ui, QWidget* parent = nullptr);

    // The personal list as the packet window builds it (DOS bytes), in the DOS font.
    void fillPersonal(const std::vector<std::string>& lines);

    // The viewer on the personal message just read (CurrentListIndex), run modally; it may
    // leave CurrentListIndex on another line. Until it is set a click only reads.
    std::function<void()> showPersonalMessage;
    // The viewer over the written messages, from SelectedReply (already read, ReplyMode
    // set): it captions its answer button "&Modifier" and hides its write button, runs
    // modally, then puts both back. "&Relire les messages" stays disabled until it is given.
    void setRereader(std::function<void()> showReplies);
    // The editor: `newMessage` is NewMsg(0) (it asks for the recipient and leaves it in
    // ChosenRecipient), `prepareModification` is UpDateMsg then DisplayREPMsg on the written
    // message just read, `showEditor` runs the editor modally. Writing and modifying stay
    // disabled until they are given.
    void setEditor(std::function<void()> newMessage, std::function<void()> prepareModification,
                   std::function<void()> showEditor);

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

    QLabel* Label1;
    QListWidget* ListMsgPerso;
    QListWidget* ListReponses;
    QPushButton* WriteMsgBtn;
    QPushButton* DelBtn;
    QPushButton* ModifBtn;
    QPushButton* LireBtn;
    QPushButton* FermerBtn;
    QPushButton* HelpBtn;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The buttons that need a written message follow `available`; those whose window is
    // not given stay disabled.
    void enableReplyButtons(bool available);
    // Hides the manager while `run` shows another window modally, then shows it again.
    void runHidden(const std::function<void()>& run);

    Session& session_;
    UiServices& ui_;
    std::function<void()> showReplies_;
    std::function<void()> newMessage_;
    std::function<void()> prepareModification_;
    std::function<void()> showEditor_;
};
