// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace velk {

class DosTextBox;

// The name field of the editor and the name dialogs: one line of capitals, at most `width`
// characters.
DosTextBox* nameField(QWidget* parent, int width);

// The OK, cancel and choose-from-the-list buttons of the two name dialogs.
struct NameDialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
    QPushButton* choose;
};

// Gives a name dialog its buttons (`cancelHint` on the cancel one) and its layout: the labels,
// the name field, then the buttons in a row.
NameDialogButtons layOutNameDialog(QDialog& dialog, const QList<QLabel*>& labels, DosTextBox* name,
                                   const QString& cancelHint);

} // namespace velk
