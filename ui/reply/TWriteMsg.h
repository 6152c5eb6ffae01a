// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "reply/Editor.h"
#include "reply/MessageWriting.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velk {

class DosTextBox;
struct Session;
class UiServices;
class TCarbon;
class TDestin;
class TListe;

// The message editor. Each of its flows writes one message over an opener, hidden meanwhile,
// through a MessageWriting.
class TWriteMsg : public QDialog {
    Q_OBJECT
public:
    TWriteMsg(Session& session, UiServices& ui);
    // The dialogs the editor opens: library chooser, recipient and carbon copy.
    void setDialogs(TListe& chooser, TDestin& recipient, TCarbon& carbon);

    QComboBox* chStatut;
    QComboBox* chConf;
    QLabel* ChDate;
    QLabel* ChAuteur;
    DosTextBox* chDest;
    QPushButton* AmisBtn;
    QLineEdit* chSujet;
    DosTextBox* Reponse;
    DosTextBox* Tag;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;
    QPushButton* EnteteBtn;
    QPushButton* PdpBtn;
    QPushButton* TagBtn;
    QPushButton* ExportBtn;
    QPushButton* ImportBtn;
    QPushButton* CarbonBtn;

    // True when a message was stored; false when the user cancelled or a write failed.
    bool writeNew(QObject& opener);
    bool answer(const MessageHeader& answered, const std::string& text, const ShownNames& shown,
                QObject& opener);
    // The viewer's "Ecrire": to the author, an answer without quotation; to anybody else, a
    // new message.
    bool writeFromMessage(const MessageHeader& shownHeader, const std::string& text,
                          const ShownNames& shown, QObject& opener);
    bool forward(const MessageHeader& forwarded, const std::string& text, const ShownNames& shown,
                 QObject& opener);
    // A new version of stored reply `index`, which replaces it when stored whole.
    bool modify(int index, QObject& opener);
    // The message being written, while the editor runs.
    MessageWriting* writing() { return writing_ ? &*writing_ : nullptr; }

    // What the fields hold, the text cut at the line width.
    EditorDocument Document() const;

    void OKBtnClick();
    void CancelBtnClick();
    void chStatutChange(int index);
    void chSujetExit();
    void ImportBtnClick();
    void ExportBtnClick();
    void AmisBtnClick();
    void CarbonBtnClick();
    // "E&n-tête", "&Pied de page" and "&Tag Line": the chosen entry of that library.
    void insertFromLibrary(LibraryKind kind);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void InitEditeur();
    using Start = std::function<std::optional<EditorDocument>(MessageWriting&)>;
    bool run(QObject& opener, const Start& start);
    // The fields take the document; the window is shown by its opener.
    void fillFields(const EditorDocument& document);
    void applyColours();

    Session& session_;
    UiServices& ui_;
    TListe* chooser_ = nullptr;
    TDestin* recipientDialog_ = nullptr;
    TCarbon* carbonDialog_ = nullptr;
    std::optional<MessageWriting> writing_;
    bool SavedFlag = false;
    EditorDocument document_;
};

} // namespace velk
