// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/BulletinViewer.h"

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;
class QScrollArea;

namespace velk {

struct Session;
class UiServices;

// The bulletin viewer: a bulletin or the sysop's news drawn as a BBS terminal shows it,
// with the steps through the bulletins and the choice of palette.
class TAffBulletins : public QDialog {
    Q_OBJECT
public:
    TAffBulletins(Session& session, UiServices& ui, QWidget* parent = nullptr);

    // Draws the bulletin at that position of the list and names the window after it;
    // false (after a message) when it cannot be read.
    bool loadBulletin(int position);
    // Draws the news under the caption "Nouvelles du Sysop"; false when it cannot be read.
    bool loadNews();
    // The four bulletin buttons: hidden while the news is shown.
    void setNavigationVisible(bool visible);

    void MajBulletin();
    void FirstBulBtnClick();
    void PrevBulBtnClick();
    void NextBulBtnClick();
    void LastBulBtnClick();
    void CouleursBtnClick();
    // Releases the file the renderer keeps.
    void FormClose();

    BulletinViewer& viewer() { return viewer_; }
    const BulletinViewer& viewer() const { return viewer_; }
    int CurrentBulletin() const { return viewer_.CurrentBulletin; }

    QScrollArea* ScrollBulletin;
    QLabel* Bulletin;
    QPushButton* OKBtn;
    QPushButton* CouleursBtn;
    QPushButton* FirstBulBtn;
    QPushButton* PrevBulBtn;
    QPushButton* NextBulBtn;
    QPushButton* LastBulBtn;

public Q_SLOTS:
    void done(int result) override;

private:
    // Shows the image just drawn from its top, and the caption of the file.
    void refresh();

    UiServices& ui_;
    BulletinViewer viewer_;
};

} // namespace velk
