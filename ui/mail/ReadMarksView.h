// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "board/ReadMarks.h"

#include <QIcon>

#include <vector>

class QAbstractItemView;
class QListWidget;
class QObject;

namespace velk {

struct Session;
class UiServices;

// The data role of a conference line that holds its unread count.
inline constexpr int kUnreadCountRole = 0x0100 + 7;

// The mark of a message line is drawn beside its text: a dot for unread (the line also in
// bold), a flag for "à suivre", nothing for read.
QIcon readMarkIcon(ReadMark mark, int size);
// The view draws the read mark its model gives each line (kReadMarkRole): the icon beside
// the text, and unread lines in bold.
void drawReadMarks(QAbstractItemView& view);
// Shows each conference's unread count at the right of its line.
void showUnreadCounts(QListWidget& list, const std::vector<std::int32_t>& counts);

// Writes the board's marks once they are due, and comes back later while some wait; a
// failure is told through `ui`. `now` writes at once.
void keepReadMarks(Session& session, UiServices& ui, QObject& context, bool now = false);

} // namespace velk
