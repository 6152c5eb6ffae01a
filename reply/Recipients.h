// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/Diagnostics.h"

#include <QString>

#include <optional>
#include <string>

namespace velk {

struct ReplySession;

// The two name dialogs: the recipient of a new message or a forward, and a carbon copy's.
enum class NameDialogKind { Recipient, Carbon };

// What a button of a name dialog decided: close with this name, or stay open.
struct NameDialogOutcome {
    bool close = false;
    std::string name; // DOS bytes; empty when cancelled or staying
};

// "&OK" or Enter: an empty name is refused with its message; the carbon copy tells where
// the copy goes.
Diagnosed<NameDialogOutcome> NameOkClick(NameDialogKind kind, const std::string& name);
// A correspondent chosen in the list closes the dialog at once with its name.
Diagnosed<NameDialogOutcome> CorrespondentChosen(NameDialogKind kind, const std::string& name);
// The name of correspondent `index` without its line end; nothing when none was chosen or
// the index is bad.
std::optional<std::string> CorrespondentName(const ReplySession& session, std::optional<int> index);

} // namespace velk
