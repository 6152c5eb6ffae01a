// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

class QLabel;

namespace velk {

// What the user sees while a merge runs: the window of the merge is hidden meanwhile.
class TWaitFusion : public QDialog {
    Q_OBJECT
public:
    explicit TWaitFusion(QWidget* parent = nullptr);

    // Shows the window on screen at once; the merge keeps the event loop busy afterwards.
    void showNow();
    // The step under way, painted at once.
    void ShowStatut(const QString& text);

    QLabel* Label1;
    QLabel* Image1;
    QLabel* Statut;

private:
    void paintNow();
};

} // namespace velk
