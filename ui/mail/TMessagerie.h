// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/BrowserState.h"

#include "ui/widgets/WholeRowsList.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace velk {

class MessageListModel;
class TWriteMsg;
struct Session;
class UiServices;

// The conference and message browser: the conferences of the packet above, the messages of
// the selected one below in the chosen order. A click on a message shows it in the viewer.
class TMessagerie : public QDialog {
    Q_OBJECT
public:
    TMessagerie(Session& session, UiServices& ui, QWidget* parent = nullptr);

    // The conference list as the packet window builds it (DOS bytes): the first line is
    // selected, the list drawn in the DOS font with its hint. Loads nothing.
    void fillConferences(const std::vector<std::string>& lines);

    // The viewer of the message ListMsgClick has read. Until it is given, a click reads the
    // message and shows nothing.
    void setViewer(QDialog& viewer) { viewer_ = &viewer; }
    // "&Ecrire" stays disabled until the editor is given.
    void setEditor(TWriteMsg& editor);

    void ListConfClick();
    void ListMsgClick();
    void TriDateBtnClick();
    void TriAuteurBtnClick();
    void TriDestBtnClick();
    void TriSujetBtnClick();
    void WriteMsgBtnClick();
    // "Tout marquer comme lu" for the selected conference; "À suivre" on or off for the
    // selected message.
    void ToutLuBtnClick();
    void SuivreBtnClick();
    void FermerBtnClick();
    // Each time the window comes up: top-left corner, and the next selection reloads.
    void FormActivate();

    QListWidget* ListConf;
    LineList* ListMsg;
    QPushButton* FermerBtn;
    QPushButton* WriteMsgBtn;
    QPushButton* HelpBtn;
    QPushButton* TriDateBtn;
    QPushButton* TriAuteurBtn;
    QPushButton* TriDestBtn;
    QPushButton* TriSujetBtn;
    QPushButton* ToutLuBtn;
    QPushButton* SuivreBtn;
    QPushButton* TriFilBtn; // answers under what they answer

protected:
    void showEvent(QShowEvent* event) override;

private:
    void sortBy(MessageOrder order);
    void showMarks();

    Session& session_;
    UiServices& ui_;
    QDialog* viewer_ = nullptr;
    TWriteMsg* editor_ = nullptr;
    MessageListModel* messages_;
};

} // namespace velk
