// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace velk {

class TAffBulletins;
class UiServices;

// "Liste des bulletins": a click on a bulletin shows it in the viewer.
class TListeBull : public QDialog {
    Q_OBJECT
public:
    explicit TListeBull(UiServices& ui, QWidget* parent = nullptr);

    // The viewer is created after the list; it is handed over once both exist.
    void setViewer(TAffBulletins& viewer) { viewer_ = &viewer; }

    // Replaces the lines of the list.
    void fill(const QStringList& lines);
    void ListBullClick(int position);

    QListWidget* ListBull;
    QPushButton* OKBtn;
    QPushButton* HelpBtn;

private:
    UiServices& ui_;
    TAffBulletins* viewer_ = nullptr;
};

} // namespace velk
