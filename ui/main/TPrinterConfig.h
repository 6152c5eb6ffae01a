// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "ui/widgets/SavedOnCloseDialog.h"

class QLineEdit;
class QPushButton;

namespace velk {

struct Session;
class UiServices;

// The printer settings: line height and lines per page, written as typed whenever the
// dialog closes, provided they are whole numbers.
class TPrinterConfig : public SavedOnCloseDialog {
    Q_OBJECT
public:
    TPrinterConfig(Session& session, UiServices& ui);

    // Re-reads the two values from the file into the settings and shows them.
    void ChargeConfig();

    QLineEdit* Interligne;
    QLineEdit* NbLignes;

protected:
    bool save() override;

private:
    Session& session_;
    UiServices& ui_;
};

} // namespace velk
