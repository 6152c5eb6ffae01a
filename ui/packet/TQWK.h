// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/PacketOpening.h"

#include <QDialog>
#include <QSet>

#include <memory>

class QLineEdit;
class QPushButton;

namespace velk {

class TAffBulletins;
class TConfBBS;
class TListeBull;
class TListeFiles;
class TMessagerie;
class TMsgPerso;
class TRecherche;
struct Session;
class UiServices;

// The windows the packet window opens for the bulletins, the news and the new files.
struct PacketViewerWindows {
    TListeBull* ListeBull = nullptr;
    TAffBulletins* AffBulletins = nullptr;
    TListeFiles* ListeFiles = nullptr;
};

// The packet window: what the open packet is, and the way to its contents. Closing it by
// "&Fermer", the close box or Escape packs the replies and empties the work directory.
class TQWK : public QDialog {
    Q_OBJECT
public:
    TQWK(Session& session, UiServices& ui, QWidget* parent = nullptr);
    ~TQWK() override;

    // Hands over the viewer windows created with the others at start-up. Without it the
    // packet window makes its own, once, the first time it needs them.
    void setViewers(const PacketViewerWindows& viewers);
    const PacketViewerWindows& viewers();

    void fill(const PacketFields& fields);
    // The browser that "Co&urrier général" opens; the button stays disabled without it.
    void setMessagerie(TMessagerie& window);
    // The manager that "&Courrier personnel" opens; the button stays disabled without it.
    void setMsgPerso(TMsgPerso& window);
    // The search that "&Rechercher" opens; the button stays disabled without it.
    void setRecherche(TRecherche& window);

    // Sets the buttons for the packet now open; runs each time the window is shown.
    void FormActivate();
    void BullBtnClick();
    void NewsBtnClick();
    void FilesBtnClick();
    void MailBtnClick();
    void MsgPersoBtnClick();
    void RechercheBtnClick();
    // "Conférences du BBS": the board's conferences, and requests to add or drop them.
    void ConfBBSBtnClick();
    void FermerBtnClick();
    // Packs and cleans up when "&Fermer" has not done it; the window closes in any case.
    void FormClose();

    bool closedProperly() const { return closedProperly_; }

    QLineEdit* PaquetName;
    QLineEdit* PaquetDate;
    QLineEdit* PaquetTime;
    QLineEdit* PaquetUserName;
    QLineEdit* PaquetBBSID;
    QLineEdit* PaquetDoor;
    QPushButton* BullBtn;
    QPushButton* NewsBtn;
    QPushButton* FilesBtn;
    QPushButton* MailBtn;
    QPushButton* MsgPersoBtn;
    QPushButton* RechercheBtn;
    QPushButton* ConfBBSBtn;
    TConfBBS* ConfBBS = nullptr; // built at its first use
    QPushButton* FermerBtn;

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    template <typename Slot> void wire(QPushButton* button, Slot slot);
    void enableButtons();
    // Packs the reply file and the queued requests and empties the work directory; false when
    // packing failed.
    bool packAndClean();

    Session& session_;
    UiServices& ui_;
    bool closedProperly_ = false;
    TMessagerie* messagerie_ = nullptr;
    TMsgPerso* msgPerso_ = nullptr;
    TRecherche* recherche_ = nullptr;
    QSet<QPushButton*> wired_; // buttons whose window exists; the others stay disabled
    PacketButtons available_;  // what the packet on show has
    PacketViewerWindows viewers_;
    std::unique_ptr<TListeBull> ownListeBull_;
    std::unique_ptr<TAffBulletins> ownAffBulletins_;
    std::unique_ptr<TListeFiles> ownListeFiles_;
    std::unique_ptr<TConfBBS> ownConfBBS_;
};

// "&Ouvrir un paquet QWK" (and a packet named on the command line): opens the packet and,
// when that succeeds, fills the packet window and shows it modally over `opener`, which
// stays on screen under the busy cursor while the packet unpacks and hides only while the
// packet window runs. True when the packet window was shown.
bool openPacket(Session& session, UiServices& ui, TQWK& window, QObject* opener = nullptr);

} // namespace velk
