// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

class QPushButton;

namespace velk {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    TAboutBox();

    QPushButton* OKButton;
};

} // namespace velk
