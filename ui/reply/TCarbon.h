// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "ui/reply/NameDialogWindow.h"

#include <string>

namespace velk {

// The carbon-copy dialog: whom a copy of the message being written goes to.
class TCarbon : public NameDialogWindow {
    Q_OBJECT
public:
    TCarbon(Session& session, UiServices& ui);

    QLabel* Label2;
    QPushButton* OKBtn;

    // Shows the dialog, which keeps the previous name; CopyRecipient comes back (empty when
    // cancelled).
    std::string Ask() { return run(); }
};

} // namespace velk
