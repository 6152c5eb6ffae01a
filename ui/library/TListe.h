// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "library/LibraryChooser.h"

#include <array>

#include <QDialog>

class QListWidget;
class QPushButton;
class TLibraryEditor;
struct Session;
class UiServices;

// The chooser: one library as a list; clicking a line returns its entry to the caller
// through `ChooserResult`, "&Fermer" returns nothing (4095).
class TListe : public QDialog {
    Q_OBJECT
public:
    TListe(Session& session, UiServices& ui);
    // The editors of the four libraries, opened by "Modifier", in kind order 1 to 4.
    void setEditors(TLibraryEditor& headers, TLibraryEditor& footers, TLibraryEditor& taglines,
                    TLibraryEditor& correspondents);

    QListWidget* ListeElem;
    QPushButton* OKBtn;
    QPushButton* ConfigBtn;
    QPushButton* TriBtn;

    // The results and the order in force; ChooserResult[kind - 1] is the kind's result.
    LibraryChooser chooser;

    // kind: 1 headers, 2 footers, 3 taglines, 4 correspondents.
    void ShowTag(int kind);
    // The whole contract at once: the result set to 4095, ShowTag, the window shown
    // modally; the table index chosen in the freshly loaded list, or 4095.
    int Choose(int kind);

    void ListeElemClick(int row);
    void TriBtnClick();
    void ConfigBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fill();
    TLibraryEditor* editorOf(int kind) const;

    Session& session_;
    UiServices& ui_;
    std::array<TLibraryEditor*, 4> editors_{};
};
