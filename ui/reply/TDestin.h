// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "ui/reply/NameDialogWindow.h"

#include <string>

namespace velk {

// The recipient dialog, asked before a new message or a forward.
class TDestin : public NameDialogWindow {
    Q_OBJECT
public:
    TDestin(Session& session, UiServices& ui);

    QPushButton* OkBtn;

    // Shows the dialog with `preset` in its field; ChosenRecipient comes back (empty when
    // cancelled).
    std::string Ask(const std::string& preset);
};

} // namespace velk
