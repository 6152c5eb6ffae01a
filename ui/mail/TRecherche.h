// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/PacketSearch.h"

#include "ui/widgets/WholeRowsList.h"

#include <QDialog>

#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace velk {

class SearchResultModel;
class TAffMsg;
struct Session;
class UiServices;

// "Recherche": messages of the open packet found by a text in their subject, author,
// recipient or text. The list fills as the search goes on; Enter or a double-click opens the
// message in the viewer, whose buttons then step through the results.
class TRecherche : public QDialog {
    Q_OBJECT
public:
    TRecherche(Session& session, UiServices& ui);
    ~TRecherche() override;
    void setViewer(TAffMsg& viewer) { viewer_ = &viewer; }

    void ChercherBtnClick();
    void ResultatsClick();
    bool searching() const { return search_ != nullptr; }

    QLineEdit* Texte;
    QCheckBox* Sujet;
    QCheckBox* Auteur;
    QCheckBox* Destinataire;
    QCheckBox* TexteMsg;
    QCheckBox* Majuscules;
    QCheckBox* MotEntier;
    LineList* Resultats;
    QLabel* Etat;
    QPushButton* ChercherBtn;
    QPushButton* HelpBtn;
    QPushButton* FermerBtn;

    // Closing the window ends the search; opening the viewer over it does not.
    void done(int result) override;

private:
    void searchSome();
    void stop();

    Session& session_;
    UiServices& ui_;
    TAffMsg* viewer_ = nullptr;
    std::unique_ptr<PacketSearch> search_;
    SearchResultModel* results_;
    QTimer* timer_;
};

} // namespace velk
