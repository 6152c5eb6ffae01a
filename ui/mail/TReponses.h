// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace velk {

// "Réponses": the answers to the message the viewer shows, one browser line each, to
// choose the one to read.
class TReponses : public QDialog {
    Q_OBJECT
public:
    explicit TReponses(QWidget* parent = nullptr);

    // The lines (DOS bytes); the first is chosen.
    void fill(const std::vector<std::string>& lines);
    // The line chosen when the window was accepted.
    int chosen() const;

    QListWidget* ListReponses;
    QPushButton* LireBtn;
    QPushButton* AnnulerBtn;
};

} // namespace velk
