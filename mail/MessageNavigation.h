// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFont>
#include <QString>

#include <optional>

namespace velk {

class Diagnostics;
struct MailSession;
class UiServices;

enum class NavigationStep { First, Previous, Next, Last };

// The position a step leads to in a list of `count` messages, or nothing at either end
// (and in an empty list).
std::optional<int> navigationTarget(int current, int count, NavigationStep step);

// Reply mode: reads the header and text of the selected message of the reply file into
// CurrentHeader and MessageText (its kludge lines as its long fields where the board reads
// QWKE); false when no message of the
// table is selected. Packet mode reads with the browser's readListedMessage. Throws VelkError.
bool readSelectedReply(MailSession& session);

// Moves in the list of the viewer's mode and reads the message reached; false when it
// stayed where it was. Throws VelkError when the read fails (the position has moved).
bool navigateMessages(MailSession& session, Diagnostics& said, NavigationStep step);

inline const QString kFontChangeMessage =
    QStringLiteral("Cette fenêtre doit être fermée pour prendre en compte\nvos changements");

struct FontChange {
    bool wasNotTerminal = true;
    bool isNotTerminal = true;
};

// "P&olice": the font dialog preset with the message font; the choice is written to the
// settings file and read back into the settings. Nothing when the user cancels. Throws
// VelkError when the settings file cannot be written.
std::optional<FontChange> chooseMessageFont(MailSession& session, UiServices& ui);

} // namespace velk
