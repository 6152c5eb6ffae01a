// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/NewFilesList.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace velk {

struct Session;
class UiServices;

// "Nouveaux Fichiers": NEWFILES.DAT in the DOS font, searched and exported. The text may
// be edited on screen; the file is never written back, but an export writes the edits.
class TListeFiles : public QDialog {
    Q_OBJECT
public:
    TListeFiles(Session& session, UiServices& ui, QWidget* parent = nullptr);

    // Loads the file again; runs each time the window is shown.
    void FormActivate();
    void OKBtnClick();
    // Asks for the text to find until the user cancels; each answer is one "find next".
    void SearchBtnClick();
    void FindDialog1Find(const FindRequest& request);
    void ExportBtnClick();

    const NewFilesSearch& search() const { return search_; }

    QPlainTextEdit* ListFiles;
    QPushButton* OKBtn;
    QPushButton* SearchBtn;
    QPushButton* ExportBtn;
    QPushButton* HelpBtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    Session& session_;
    UiServices& ui_;
    NewFilesSearch search_;
    FindRequest lastFind_;
};

} // namespace velk
