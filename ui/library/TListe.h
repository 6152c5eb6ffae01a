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
// through `ChooserResult`, "&Fermer" returns nothing.
class TListe : public QDialog {
    Q_OBJECT
public:
    TListe(Session& session, UiServices& ui);
    // The editors of the four libraries, opened by "Modifier", in LibraryKind order.
    void setEditors(TLibraryEditor& headers, TLibraryEditor& footers, TLibraryEditor& taglines,
                    TLibraryEditor& correspondents);

    QListWidget* ListeElem;
    QPushButton* OKBtn;
    QPushButton* ConfigBtn;
    QPushButton* TriBtn;

    // The results and the order in force.
    LibraryChooser chooser;

    void ShowTag(LibraryKind kind);
    // The whole contract at once: the result reset, ShowTag, the window shown modally; the
    // table index chosen in the freshly loaded list, or nothing.
    std::optional<int> Choose(LibraryKind kind);

    void ListeElemClick(int row);
    void TriBtnClick();
    void ConfigBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fill();
    TLibraryEditor* editorOf(LibraryKind kind) const;

    Session& session_;
    UiServices& ui_;
    std::array<TLibraryEditor*, 4> editors_{};
};
