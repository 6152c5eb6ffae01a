// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "reply/Editor.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QRandomGenerator>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class DosNameEdit;
struct Session;
class UiServices;
class TCarbon;
class TDestin;
class TListe;

// The message text: DOS bytes shown as their glyphs, typed characters converted on entry.
class MessageTextBox : public QPlainTextEdit {
public:
    explicit MessageTextBox(QWidget* parent);
    void setDosLines(const EditorLines& lines);
    // One entry per paragraph, as typed (not yet cut at the line width).
    EditorLines dosParagraphs() const;
    void insertDos(const std::string& dos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

// The message editor. An opener calls one preparation, then ShowModal when it succeeded.
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
    DosNameEdit* chDest;
    QPushButton* AmisBtn;
    QLineEdit* chSujet;
    MessageTextBox* Reponse;
    MessageTextBox* Tag;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;
    QPushButton* EnteteBtn;
    QPushButton* PdpBtn;
    QPushButton* TagBtn;
    QPushButton* ExportBtn;
    QPushButton* ImportBtn;
    QPushButton* CarbonBtn;

    // Preparations; false when the recipient dialog was cancelled.
    bool NewMsg(int preset);
    void AnswerMsg();
    void DisplayMsg(int quote, const ShownNames& shown = {});
    bool ForwardMsg(const ShownNames& shown);
    void UpDateMsg();
    void DisplayREPMsg();
    // Shows the editor modally; true when the message was written whole.
    bool ShowModal();
    bool LastWriteOk() const { return lastWriteOk_; }

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
    void EnteteBtnClick();
    void PdpBtnClick();
    void TagBtnClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void InitEditeur();
    void show(const EditorDocument& document);
    void applyColours();
    // Inserts library entry `index` of `kind` through the chooser; false when none chosen.
    int choose(int kind);

    Session& session_;
    UiServices& ui_;
    TListe* chooser_ = nullptr;
    TDestin* recipientDialog_ = nullptr;
    TCarbon* carbonDialog_ = nullptr;
    QRandomGenerator random_;
    bool SavedFlag = false;
    bool lastWriteOk_ = false;
    EditorDocument document_;
};
